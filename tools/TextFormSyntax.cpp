// Character classes, escapes and form words of the text form.
#include "tools/TextFormSyntax.h"

namespace TextFormSyntax {

namespace {

using VT = TValueType;

// Characters a reader could not see or tell apart in the dump.
bool IsInvisible(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0xA0) || cp == 0xAD || cp == 0x34F || cp == 0x61C ||
           cp == 0x115F || cp == 0x1160 || cp == 0x17B4 || cp == 0x17B5 || (cp >= 0x180B && cp <= 0x180F) ||
           (cp >= 0x2000 && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202F) ||
           (cp >= 0x205F && cp <= 0x206F) || cp == 0x3000 || cp == 0x3164 || (cp >= 0xD800 && cp <= 0xDFFF) ||
           (cp >= 0xFDD0 && cp <= 0xFDEF) || (cp >= 0xFE00 && cp <= 0xFE0F) || cp == 0xFEFF || cp == 0xFFA0 ||
           (cp >= 0xFFF0 && cp <= 0xFFFB) || (cp & 0xFFFE) == 0xFFFE || (cp >= 0xE0000 && cp <= 0xE0FFF);
}

} // namespace

bool IsBareWord(std::string_view s, bool allowDots) {
    bool segmentStart = true;
    for (char c : s) {
        if (segmentStart) {
            if (!IsIdentStart(c)) return false;
            segmentStart = false;
        } else if (c == '.' && allowDots) {
            segmentStart = true;
        } else if (!IsIdentChar(c)) {
            return false;
        }
    }
    return !segmentStart;
}

bool IsValueWord(std::string_view s) {
    static constexpr std::string_view kWords[] = {
        "True",   "False",  "nil",      "Null",     "int8",   "int16",      "int32",
        "int64",  "string", "lstring",  "wstring",  "utf8",   "ident",      "single",
        "double", "date",   "extended", "currency", "binary", "collection", "picture"};
    for (std::string_view w : kWords)
        if (s == w) return true;
    return false;
}

size_t DecodeUtf8(std::string_view s, size_t pos, char32_t& cp) {
    auto b0 = static_cast<uint8_t>(s[pos]);
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    size_t len;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4, cp = b0 & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (s.size() - pos < len) return 0;
    for (size_t i = 1; i < len; ++i) {
        auto c = static_cast<uint8_t>(s[pos + i]);
        if ((c & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (c & 0x3F);
    }
    return cp >= min && cp <= 0x10FFFF ? len : 0;
}

void AppendHexNumber(std::string& out, uint32_t v) {
    char buf[8];
    int n = 0;
    do {
        buf[n++] = kHexDigits[v & 0xF];
        v >>= 4;
    } while (v);
    while (n)
        out.push_back(buf[--n]);
}

size_t AppendEscapedChar(std::string& out, std::string_view s, size_t pos, char32_t* decoded) {
    char32_t cp;
    size_t len = DecodeUtf8(s, pos, cp);
    if (decoded) *decoded = len ? cp : 0xFFFD;
    if (len == 0) {
        out += "\\x{";
        AppendHexNumber(out, static_cast<uint8_t>(s[pos]));
        out += '}';
        return 1;
    }
    switch (cp) {
    case '"':
        out += "\\\"";
        break;
    case '\\':
        out += "\\\\";
        break;
    case '\n':
        out += "\\n";
        break;
    case '\r':
        out += "\\r";
        break;
    case '\t':
        out += "\\t";
        break;
    default:
        if (IsInvisible(cp)) {
            out += "\\u{";
            AppendHexNumber(out, cp);
            out += '}';
        } else {
            out.append(s.substr(pos, len));
        }
    }
    return len;
}

void AppendQuoted(std::string& out, std::string_view s) {
    out += '"';
    for (size_t pos = 0; pos < s.size();)
        pos += AppendEscapedChar(out, s, pos);
    out += '"';
}

TValueType NarrowestIntForm(int64_t v) {
    if (v >= INT8_MIN && v <= INT8_MAX) return VT::vaInt8;
    if (v >= INT16_MIN && v <= INT16_MAX) return VT::vaInt16;
    if (v >= INT32_MIN && v <= INT32_MAX) return VT::vaInt32;
    return VT::vaInt64;
}

const char* IntFormWord(TValueType tag) {
    switch (tag) {
    case VT::vaInt8:
        return "int8";
    case VT::vaInt16:
        return "int16";
    case VT::vaInt32:
        return "int32";
    default:
        return "int64";
    }
}

const char* TextFormWord(TValueType tag) {
    switch (tag) {
    case VT::vaString:
        return "string";
    case VT::vaLString:
        return "lstring";
    case VT::vaWString:
        return "wstring";
    default:
        return "utf8";
    }
}

} // namespace TextFormSyntax
