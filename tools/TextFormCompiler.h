// Compiling the text form of a definition to a component stream: texts and integers in the narrowest
// form the writer picks unless a form word says otherwise, binary files read straight into place.
#pragma once

#include "tools/TextFormLexer.h"

#include "stream/TWriter.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class TextFormCompiler {
public:
    // Binary and picture files are looked up relative to baseDir.
    TextFormCompiler(std::string_view source, std::filesystem::path baseDir)
        : FLex(source), FBaseDir(std::move(baseDir)) {}

    // The whole stream. Throws Exception with "line:column: message" on any error.
    std::vector<uint8_t> Run();

private:
    using Token = TextFormLexer::Token;

    // A binary file whose contents go into the output at Offset, read once the structure is complete.
    struct FilePart {
        size_t Offset;
        std::filesystem::path Path;
        uint64_t Size;
        size_t SourcePos;
    };

    static std::optional<TValueType> IntFormOf(std::string_view w);
    int64_t IntegerOfForm(TValueType form, const char* word);
    void WriteInt32(const char* what);
    void Float(const std::string& word);
    void Currency();
    void WriteText(TValueType tag, const std::string& text, size_t pos);

    void Component(bool child);
    void Property(int depth);
    void Value(int depth, bool inList);
    void Set();
    void List(int depth);
    void Collection(int depth);
    void Binary();
    void Picture();
    std::vector<uint8_t> Assemble();

    TextFormLexer FLex;
    std::filesystem::path FBaseDir;
    TWriter FW;
    std::vector<FilePart> FFiles;
    int FDepth = 0;
};
