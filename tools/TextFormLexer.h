// The tokens of the text form of a definition, read with two tokens of lookahead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class TextFormLexer {
public:
    enum class Tok { End, Word, Number, Text, Punct };

    struct Token {
        Tok Kind = Tok::End;
        size_t Pos = 0; // byte offset of the first character
        size_t End = 0; // byte offset behind the last
        char Punct = 0;
    };

    explicit TextFormLexer(std::string_view source);

    // Throws Exception with "line:column: message" for the byte offset pos.
    [[noreturn]] void Error(size_t pos, const std::string& message) const;
    // The token as it is written in the source, and as error messages name it.
    std::string_view TextOf(const Token& t) const { return FSrc.substr(t.Pos, t.End - t.Pos); }
    std::string Describe(const Token& t) const;

    const Token& Peek(size_t ahead = 0);
    Token Next();
    static bool IsPunct(const Token& t, char c) { return t.Kind == Tok::Punct && t.Punct == c; }
    bool IsWord(const Token& t, std::string_view w) const { return t.Kind == Tok::Word && TextOf(t) == w; }
    // The next token, which must be the punctuation c; context completes the error message.
    Token Expect(char c, const char* context);

    // A quoted text, possibly joined from several literals with '+'.
    std::string Text(const char* context);
    // Hex digits from one or more joined literals; whitespace between digits is ignored.
    std::vector<uint8_t> HexText(const char* context);
    // A name: a bare word (dotted if allowDots) or a quoted text, at most 255 bytes.
    std::string Name(bool allowDots, const char* what);
    void CheckShort(const std::string& s, size_t pos, const char* what) const;
    // A number token as a 64-bit integer; fractions and exponents are refused.
    int64_t Integer(const Token& t) const;

private:
    Token Lex();
    std::string DecodeText(const Token& t) const;

    std::string_view FSrc;
    size_t FPos = 0;
    Token FLook[2];
    size_t FLookCount = 0;
};
