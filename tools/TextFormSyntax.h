// The pieces of the text form that compiling and dumping must agree on: which characters make a bare
// word, the words that start a value, the escapes of quoted texts, and the form words of integers and
// texts. The grammar itself is described in tools/TextForm.h.
#pragma once

#include "stream/TFiler.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace TextFormSyntax {

// Components, and lists and collections inside one value, nest at most this deep on both sides.
constexpr int kMaxNesting = 256;

constexpr char kHexDigits[] = "0123456789ABCDEF";

inline bool IsIdentStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
inline bool IsIdentChar(char c) {
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}
inline bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}
inline int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// ASCII identifier segments, joined by dots when allowDots.
bool IsBareWord(std::string_view s, bool allowDots);

// Words with a meaning of their own at the start of a value; identifiers spelled so need "ident".
bool IsValueWord(std::string_view s);

// Strict UTF-8, except that the three-byte forms of surrogates are accepted: TextCodec keeps lone
// surrogates that way. Returns the sequence length, or 0 for a malformed byte at pos.
size_t DecodeUtf8(std::string_view s, size_t pos, char32_t& cp);

// v in upper-case hex digits, without leading zeros.
void AppendHexNumber(std::string& out, uint32_t v);

// One character (or one malformed byte) of s at pos as it is written inside a quoted text; returns the
// bytes consumed. decoded receives the character, or U+FFFD for a malformed byte.
size_t AppendEscapedChar(std::string& out, std::string_view s, size_t pos, char32_t* decoded = nullptr);

// s as one quoted text.
void AppendQuoted(std::string& out, std::string_view s);

// The integer form the writer picks for v; a form word is written only where the stored one differs.
TValueType NarrowestIntForm(int64_t v);
const char* IntFormWord(TValueType tag);
const char* TextFormWord(TValueType tag);

} // namespace TextFormSyntax
