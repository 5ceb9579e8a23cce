// Code page tables and UTF conversions.
#include "stream/TextCodec.h"

#include <clocale>
#include <cwctype>
#include <locale.h>

namespace {
// Windows-1252 bytes 0x80-0x9F; the rest of the upper half equals Latin-1.
constexpr char16_t kCp1252High[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                      0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                      0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                      0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

locale_t Utf8Locale() {
    static locale_t loc = [] {
        locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(nullptr));
        return l ? l : newlocale(LC_CTYPE_MASK, "C", static_cast<locale_t>(nullptr));
    }();
    return loc;
}

char32_t FoldCase(char32_t cp) {
    if (cp < 0x80) return (cp >= 'a' && cp <= 'z') ? cp - 32 : cp;
    return static_cast<char32_t>(towupper_l(static_cast<wint_t>(cp), Utf8Locale()));
}
} // namespace

namespace TextCodec {

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

char32_t NextCodePoint(std::string_view s, size_t& pos) {
    auto byte = [&](size_t i) { return static_cast<uint8_t>(s[i]); };
    uint8_t b = byte(pos);
    if (b < 0x80) {
        ++pos;
        return b;
    }
    int extra = b >= 0xF8 ? -1 : b >= 0xF0 ? 3 : b >= 0xE0 ? 2 : b >= 0xC0 ? 1 : -1;
    if (extra < 0 || pos + static_cast<size_t>(extra) >= s.size()) {
        ++pos;
        return 0xFFFD;
    }
    char32_t cp = b & (0x3F >> extra);
    for (int i = 1; i <= extra; ++i) {
        uint8_t c = byte(pos + i);
        if ((c & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        cp = (cp << 6) | (c & 0x3F);
    }
    // Overlong forms and values beyond the Unicode range are malformed too.
    static constexpr char32_t kMinimum[] = {0, 0x80, 0x800, 0x10000};
    if (cp < kMinimum[extra] || cp > 0x10FFFF) {
        ++pos;
        return 0xFFFD;
    }
    pos += static_cast<size_t>(extra) + 1;
    return cp;
}

std::string Utf8FromCp1252(std::span<const uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (uint8_t b : bytes) {
        if (b < 0x80)
            out.push_back(static_cast<char>(b));
        else if (b < 0xA0)
            AppendUtf8(out, kCp1252High[b - 0x80]);
        else
            AppendUtf8(out, b);
    }
    return out;
}

std::optional<std::string> Cp1252FromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t cp = NextCodePoint(utf8, pos);
        if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
            out.push_back(static_cast<char>(cp));
            continue;
        }
        int found = -1;
        for (int i = 0; i < 32; ++i)
            if (kCp1252High[i] == cp) found = i;
        if (found < 0) return std::nullopt;
        out.push_back(static_cast<char>(0x80 + found));
    }
    return out;
}

std::string Utf8FromUtf16LE(std::span<const uint8_t> bytes) {
    std::string out;
    out.reserve(bytes.size());
    size_t n = bytes.size() / 2;
    auto unit = [&](size_t i) { return static_cast<char16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)); };
    for (size_t i = 0; i < n; ++i) {
        char32_t u = unit(i);
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n) {
            char32_t lo = unit(i + 1);
            if (lo >= 0xDC00 && lo <= 0xDFFF) {
                AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (lo - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, u);
    }
    return out;
}

std::u16string Utf16FromUtf8(std::string_view utf8) {
    std::u16string out;
    out.reserve(utf8.size());
    for (size_t pos = 0; pos < utf8.size();) {
        char32_t cp = NextCodePoint(utf8, pos);
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string Utf8FromUtf16(std::u16string_view utf16) {
    std::string bytes;
    bytes.reserve(utf16.size() * 2);
    for (char16_t u : utf16) {
        bytes.push_back(static_cast<char>(u & 0xFF));
        bytes.push_back(static_cast<char>(u >> 8));
    }
    return Utf8FromUtf16LE(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
}

size_t Utf16Length(std::string_view utf8) {
    size_t n = 0;
    for (size_t pos = 0; pos < utf8.size();)
        n += NextCodePoint(utf8, pos) >= 0x10000 ? 2 : 1;
    return n;
}

bool IsAscii(std::string_view text) {
    for (char c : text)
        if (static_cast<uint8_t>(c) >= 0x80) return false;
    return true;
}

} // namespace TextCodec

int CompareText(std::string_view a, std::string_view b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        uint8_t ca = static_cast<uint8_t>(a[i]), cb = static_cast<uint8_t>(b[j]);
        char32_t x, y;
        if (ca < 0x80 && cb < 0x80) {
            // ASCII fast path: letters fold by clearing bit 5.
            x = (ca >= 'a' && ca <= 'z') ? ca & ~0x20u : ca;
            y = (cb >= 'a' && cb <= 'z') ? cb & ~0x20u : cb;
            ++i;
            ++j;
        } else {
            x = FoldCase(TextCodec::NextCodePoint(a, i));
            y = FoldCase(TextCodec::NextCodePoint(b, j));
        }
        if (x != y) return x < y ? -1 : 1;
    }
    if (i < a.size()) return 1;
    if (j < b.size()) return -1;
    return 0;
}

std::string UpperCase(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t pos = 0; pos < text.size();)
        TextCodec::AppendUtf8(out, FoldCase(TextCodec::NextCodePoint(text, pos)));
    return out;
}

bool IsUnicodeLetter(char32_t cp) {
    if (cp < 0x80) return (cp | 0x20) >= 'a' && (cp | 0x20) <= 'z';
    return iswalpha_l(static_cast<wint_t>(cp), Utf8Locale()) != 0;
}

bool IsValidIdent(std::string_view name) {
    if (name.empty()) return false;
    size_t pos = 0;
    bool first = true;
    while (pos < name.size()) {
        char32_t cp = TextCodec::NextCodePoint(name, pos);
        bool ok = cp == '_' || IsUnicodeLetter(cp) || (!first && cp >= '0' && cp <= '9');
        if (!ok) return false;
        first = false;
    }
    return true;
}
