// Text conversions between the stream's encodings and the UTF-8 text the program holds, and the
// case-insensitive name comparison used for every lookup by name.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace TextCodec {
// 8-bit texts use the Windows-1252 code page. Its five unassigned bytes map to the C1 controls of the
// same number, so decoding is one-to-one and Cp1252FromUtf8 inverts it.
std::string Utf8FromCp1252(std::span<const uint8_t> bytes);
std::optional<std::string> Cp1252FromUtf8(std::string_view utf8);

// UTF-16LE to UTF-8. A lone surrogate is kept as its three-byte form so the text converts back intact.
std::string Utf8FromUtf16LE(std::span<const uint8_t> bytes);
std::u16string Utf16FromUtf8(std::string_view utf8);
std::string Utf8FromUtf16(std::u16string_view utf16);
size_t Utf16Length(std::string_view utf8);
bool IsAscii(std::string_view text);

// Decodes one code point at pos and advances it; malformed bytes decode as U+FFFD.
char32_t NextCodePoint(std::string_view utf8, size_t& pos);
void AppendUtf8(std::string& out, char32_t cp);
} // namespace TextCodec

// Name comparison without regard to case: ASCII folded by clearing bit 5, other characters upper-cased
// one code point at a time by the Unicode tables of the C library.
int CompareText(std::string_view a, std::string_view b);
// Inline: looking a property or a field up by name compares it with every candidate.
inline bool SameText(std::string_view a, std::string_view b) {
    // ASCII letters fold by one bit; from the first other character on the full comparison decides.
    const size_t n = std::min(a.size(), b.size());
    size_t i = 0;
    for (; i < n; ++i) {
        uint8_t x = static_cast<uint8_t>(a[i]), y = static_cast<uint8_t>(b[i]);
        if ((x | y) >= 0x80) break;
        if (x == y) continue;
        if (((x ^ y) != 0x20) || ((x | 0x20) < 'a') || ((x | 0x20) > 'z')) return false;
    }
    if (i == n) return a.size() == b.size();
    return CompareText(a.substr(i), b.substr(i)) == 0;
}

std::string UpperCase(std::string_view text);
bool IsUnicodeLetter(char32_t cp);
// A letter or "_" first, then letters, decimal digits or "_".
bool IsValidIdent(std::string_view name);
