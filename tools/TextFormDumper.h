// Dumping a component stream as its text form: every value in the form the compiler reads back to the
// same bytes, with form words only where the stored form is not the one the writer would pick.
#pragma once

#include "stream/TFiler.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

class TextFormDumper {
public:
    explicit TextFormDumper(std::span<const uint8_t> in) : FIn(in) {}

    // The whole stream as text. Throws EReadError on a malformed or truncated stream.
    std::string Run();

private:
    [[noreturn]] static void Fail(size_t offset, const std::string& what);
    void Need(uint64_t count) const;
    uint8_t Peek() const;
    uint8_t Byte();
    std::span<const uint8_t> Bytes(uint64_t count);
    template <class T> T LE();
    std::string_view ShortStr();

    void Indent(int level);
    void Name(std::string_view s, bool allowDots);
    void CloseBlock(size_t mark, int level);

    void Component(int level);
    void Property(int level, int depth);
    void Value(int level, int depth);
    void EnterValue(int depth, size_t at) const;

    // One function for each kind of value, called with the value's tag already read.
    void List(int level, int depth);
    void Int(TValueType tag, int64_t v);
    void TaggedInt32(const char* what);
    void Extended();
    void String(TValueType tag, int level);
    void Text(TValueType tag, std::string_view text, int level);
    void Ident();
    void Binary(std::span<const uint8_t> bytes, int level);
    void Set();
    void Collection(int level, int depth);
    template <class T> void Float(const char* word, std::span<const uint8_t> raw);
    void Currency(int64_t scaled);

    std::span<const uint8_t> FIn;
    size_t FPos = 0;
    std::string FOut;
    int FDepth = 0;
};
