// Compiling the text form of a definition to a component stream, and dumping a stream back to text.
#include "tools/TextForm.h"

#include "tools/PictureFacts.h"

#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TWriter.h"
#include "stream/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>

namespace {

// Components, and lists and collections inside one value, nest at most this deep on both sides.
constexpr int kMaxNesting = 256;
// Dump splits texts longer than this many characters into joined literals.
constexpr size_t kTextChunk = 100;
constexpr size_t kHexBytesPerLine = 32;

using VT = TValueType;

bool IsIdentStart(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_';
}
bool IsIdentChar(char c) {
    return IsIdentStart(c) || (c >= '0' && c <= '9');
}
bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// ASCII identifier segments, joined by dots when allowDots.
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

// Words with a meaning of their own at the start of a value; identifiers spelled so need "ident".
bool IsValueWord(std::string_view s) {
    static constexpr std::string_view kWords[] = {
        "True",   "False",  "nil",      "Null",     "int8",   "int16",      "int32",
        "int64",  "string", "lstring",  "wstring",  "utf8",   "ident",      "single",
        "double", "date",   "extended", "currency", "binary", "collection", "picture"};
    for (std::string_view w : kWords)
        if (s == w) return true;
    return false;
}

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

constexpr char kHexDigits[] = "0123456789ABCDEF";

// Strict UTF-8, except that the three-byte forms of surrogates are accepted: TextCodec keeps lone
// surrogates that way. Returns the sequence length, or 0 for a malformed byte at pos.
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

// Characters a reader could not see or tell apart in the dump.
bool IsInvisible(char32_t cp) {
    return cp < 0x20 || (cp >= 0x7F && cp <= 0xA0) || cp == 0xAD || cp == 0x34F || cp == 0x61C ||
           cp == 0x115F || cp == 0x1160 || cp == 0x17B4 || cp == 0x17B5 || (cp >= 0x180B && cp <= 0x180F) ||
           (cp >= 0x2000 && cp <= 0x200F) || (cp >= 0x2028 && cp <= 0x202F) ||
           (cp >= 0x205F && cp <= 0x206F) || cp == 0x3000 || cp == 0x3164 || (cp >= 0xD800 && cp <= 0xDFFF) ||
           (cp >= 0xFDD0 && cp <= 0xFDEF) || (cp >= 0xFE00 && cp <= 0xFE0F) || cp == 0xFEFF || cp == 0xFFA0 ||
           (cp >= 0xFFF0 && cp <= 0xFFFB) || (cp & 0xFFFE) == 0xFFFE || (cp >= 0xE0000 && cp <= 0xE0FFF);
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

// One character (or one malformed byte) of a quoted text; returns the bytes consumed.
size_t AppendEscapedChar(std::string& out, std::string_view s, size_t pos, char32_t* decoded = nullptr) {
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

void AppendHexBytes(std::string& out, std::span<const uint8_t> bytes) {
    size_t at = out.size();
    out.resize(at + 2 * bytes.size());
    char* p = out.data() + at;
    for (uint8_t b : bytes) {
        *p++ = kHexDigits[b >> 4];
        *p++ = kHexDigits[b & 0xF];
    }
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

// ---------------------------------------------------------------------------------------------------
// Dumping

class Dumper {
public:
    explicit Dumper(std::span<const uint8_t> in) : FIn(in) {}

    std::string Run() {
        if (FIn.size() < 4 || std::memcmp(FIn.data(), "TPF0", 4) != 0)
            throw EReadError(std::string(SConsts::SInvalidImage));
        FPos = 4;
        FOut.reserve(std::min<size_t>(FIn.size(), size_t{1} << 30) * 2 + 256);
        Component(0);
        if (FPos != FIn.size()) Fail(FPos, "Unexpected data after the root component");
        return std::move(FOut);
    }

private:
    [[noreturn]] static void Fail(size_t offset, const std::string& what) {
        throw EReadError(what + " at offset " + std::to_string(offset));
    }
    void Need(uint64_t count) const {
        if (count > FIn.size() - FPos) throw EReadError(std::string(SConsts::SReadError));
    }
    uint8_t Peek() const {
        Need(1);
        return FIn[FPos];
    }
    uint8_t Byte() {
        Need(1);
        return FIn[FPos++];
    }
    std::span<const uint8_t> Bytes(uint64_t count) {
        Need(count);
        auto s = FIn.subspan(FPos, static_cast<size_t>(count));
        FPos += s.size();
        return s;
    }
    template <class T> T LE() {
        T v;
        std::memcpy(&v, Bytes(sizeof v).data(), sizeof v); // the build ensures a little-endian host
        return v;
    }
    static std::string_view AsText(std::span<const uint8_t> b) {
        return {reinterpret_cast<const char*>(b.data()), b.size()};
    }
    std::string_view ShortStr() { return AsText(Bytes(Byte())); }
    void Indent(int level) { FOut.append(2 * static_cast<size_t>(level), ' '); }
    void Name(std::string_view s, bool allowDots) {
        if (IsBareWord(s, allowDots))
            FOut += s;
        else
            AppendQuoted(FOut, s);
    }
    // Closes a block opened with " {\n"; an empty block collapses to "{}".
    void CloseBlock(size_t mark, int level) {
        if (FOut.size() == mark) {
            FOut.back() = '}';
        } else {
            Indent(level);
            FOut += '}';
        }
    }

    void Component(int level) {
        if (++FDepth > kMaxNesting) Fail(FPos, "Components nested deeper than 256 levels");
        Indent(level);
        if (Peek() >= 0xF0) {
            uint8_t flags = Byte() & 0x0F;
            FOut += "[flags " + std::to_string(flags);
            if (flags & ffChildPos) {
                FOut += ", childpos ";
                TaggedInt32("child position");
            }
            FOut += "] ";
        }
        std::string_view className = ShortStr();
        Name(ShortStr(), false);
        FOut += " : ";
        Name(className, false);
        FOut += " {\n";
        size_t mark = FOut.size();
        while (Peek() != 0)
            Property(level + 1, 0);
        ++FPos;
        while (Peek() != 0)
            Component(level + 1);
        ++FPos;
        CloseBlock(mark, level);
        FOut += '\n';
        --FDepth;
    }

    void Property(int level, int depth) {
        Indent(level);
        Name(ShortStr(), true);
        FOut += " = ";
        Value(level, depth);
        FOut += '\n';
    }

    void Int(TValueType tag, int64_t v) {
        if (NarrowestIntForm(v) != tag) {
            FOut += IntFormWord(tag);
            FOut += ' ';
        }
        FOut += std::to_string(v);
    }

    void TaggedInt32(const char* what) {
        size_t at = FPos;
        switch (static_cast<VT>(Byte())) {
        case VT::vaInt8:
            return Int(VT::vaInt8, LE<int8_t>());
        case VT::vaInt16:
            return Int(VT::vaInt16, LE<int16_t>());
        case VT::vaInt32:
            return Int(VT::vaInt32, LE<int32_t>());
        default:
            Fail(at, std::string("Expected an integer ") + what);
        }
    }

    void Text(TValueType tag, std::string_view text, int level) {
        if (TWriter::StringFormFor(text) != tag) {
            FOut += TextFormWord(tag);
            FOut += ' ';
        }
        size_t units = 0;
        for (size_t pos = 0; pos < text.size() && units <= kTextChunk; ++units) {
            char32_t cp;
            size_t len = DecodeUtf8(text, pos, cp);
            pos += len ? len : 1;
        }
        if (units <= kTextChunk) return AppendQuoted(FOut, text);
        // Long texts: one literal per line, cut after line breaks and every kTextChunk characters.
        FOut += '"';
        size_t inChunk = 0;
        for (size_t pos = 0; pos < text.size();) {
            char32_t cp;
            pos += AppendEscapedChar(FOut, text, pos, &cp);
            if ((cp == '\n' || ++inChunk == kTextChunk) && pos < text.size()) {
                FOut += "\" +\n";
                Indent(level + 1);
                FOut += '"';
                inChunk = 0;
            }
        }
        FOut += '"';
    }

    void Binary(std::span<const uint8_t> bytes, int level) {
        FOut += "binary hex \"";
        if (bytes.size() <= kHexBytesPerLine) {
            AppendHexBytes(FOut, bytes);
        } else {
            for (size_t i = 0; i < bytes.size(); i += kHexBytesPerLine) {
                FOut += '\n';
                Indent(level + 1);
                AppendHexBytes(FOut, bytes.subspan(i, std::min(kHexBytesPerLine, bytes.size() - i)));
            }
            FOut += '\n';
            Indent(level);
        }
        FOut += '"';
    }

    // Floats print in the shortest form that reads back to the same bits; anything else as raw bytes.
    template <class T> void Float(const char* word, std::span<const uint8_t> raw) {
        T v;
        std::memcpy(&v, raw.data(), sizeof v);
        FOut += word;
        if (std::isfinite(v)) {
            char buf[64];
            auto [end, ec] = std::to_chars(buf, buf + sizeof buf, v);
            T back;
            if (ec == std::errc{} && std::from_chars(buf, end, back).ec == std::errc{} &&
                std::memcmp(&back, &v, sizeof v) == 0) {
                FOut += ' ';
                FOut.append(buf, end);
                return;
            }
        }
        FOut += " hex \"";
        AppendHexBytes(FOut, raw);
        FOut += '"';
    }

    void Currency(int64_t scaled) {
        uint64_t mag = scaled < 0 ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
        FOut += "currency ";
        if (scaled < 0) FOut += '-';
        FOut += std::to_string(mag / 10000);
        if (unsigned frac = mag % 10000) {
            char digits[5] = {char('0' + frac / 1000), char('0' + frac / 100 % 10),
                              char('0' + frac / 10 % 10), char('0' + frac % 10), 0};
            size_t n = 4;
            while (digits[n - 1] == '0')
                --n;
            FOut += '.';
            FOut.append(digits, n);
        }
    }

    void EnterValue(int depth, size_t at) const {
        if (depth + 1 > kMaxNesting) Fail(at, "Values nested deeper than 256 levels");
    }

    void Value(int level, int depth) {
        size_t at = FPos;
        uint8_t tag = Byte();
        switch (static_cast<VT>(tag)) {
        case VT::vaNull:
            FOut += "Null";
            break;
        case VT::vaList:
            EnterValue(depth, at);
            if (Peek() == 0) {
                FOut += "()";
            } else {
                FOut += "(\n";
                while (Peek() != 0) {
                    Indent(level + 1);
                    Value(level + 1, depth + 1);
                    FOut += '\n';
                }
                Indent(level);
                FOut += ')';
            }
            ++FPos;
            break;
        case VT::vaInt8:
            Int(VT::vaInt8, LE<int8_t>());
            break;
        case VT::vaInt16:
            Int(VT::vaInt16, LE<int16_t>());
            break;
        case VT::vaInt32:
            Int(VT::vaInt32, LE<int32_t>());
            break;
        case VT::vaInt64:
            Int(VT::vaInt64, LE<int64_t>());
            break;
        case VT::vaExtended:
            FOut += "extended hex \"";
            AppendHexBytes(FOut, Bytes(10));
            FOut += '"';
            break;
        case VT::vaString: {
            auto bytes = Bytes(Byte());
            Text(VT::vaString, TextCodec::Utf8FromCp1252(bytes), level);
            break;
        }
        case VT::vaLString: {
            auto bytes = Bytes(LE<uint32_t>());
            Text(VT::vaLString, TextCodec::Utf8FromCp1252(bytes), level);
            break;
        }
        case VT::vaWString: {
            auto bytes = Bytes(uint64_t{LE<uint32_t>()} * 2);
            Text(VT::vaWString, TextCodec::Utf8FromUtf16LE(bytes), level);
            break;
        }
        case VT::vaUTF8String:
            Text(VT::vaUTF8String, AsText(Bytes(LE<uint32_t>())), level);
            break;
        case VT::vaIdent: {
            std::string_view name = ShortStr();
            if (IsBareWord(name, true) && !IsValueWord(name)) {
                FOut += name;
            } else {
                FOut += "ident ";
                AppendQuoted(FOut, name);
            }
            break;
        }
        case VT::vaFalse:
            FOut += "False";
            break;
        case VT::vaTrue:
            FOut += "True";
            break;
        case VT::vaNil:
            FOut += "nil";
            break;
        case VT::vaBinary:
            Binary(Bytes(LE<uint32_t>()), level);
            break;
        case VT::vaSet: {
            FOut += '[';
            for (bool first = true;; first = false) {
                std::string_view element = ShortStr();
                if (element.empty()) break;
                if (!first) FOut += ", ";
                Name(element, true);
            }
            FOut += ']';
            break;
        }
        case VT::vaCollection:
            EnterValue(depth, at);
            Collection(level, depth + 1);
            break;
        case VT::vaSingle:
            Float<float>("single", Bytes(4));
            break;
        case VT::vaCurrency:
            Currency(LE<int64_t>());
            break;
        case VT::vaDate:
            Float<double>("date", Bytes(8));
            break;
        case VT::vaDouble:
            Float<double>("double", Bytes(8));
            break;
        default: {
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", tag);
            Fail(at, std::string("Unknown value tag ") + hex);
        }
        }
    }

    void Collection(int level, int depth) {
        FOut += "collection (";
        if (Peek() == 0) {
            ++FPos;
            FOut += ')';
            return;
        }
        FOut += '\n';
        while (Peek() != 0) {
            Indent(level + 1);
            FOut += "item";
            uint8_t next = Peek();
            if (next == uint8_t(VT::vaInt8) || next == uint8_t(VT::vaInt16) || next == uint8_t(VT::vaInt32)) {
                FOut += ' ';
                TaggedInt32("item index");
            }
            if (Peek() != uint8_t(VT::vaList)) Fail(FPos, "Expected a collection item");
            ++FPos;
            FOut += " {\n";
            size_t mark = FOut.size();
            while (Peek() != 0)
                Property(level + 2, depth);
            ++FPos;
            CloseBlock(mark, level + 1);
            FOut += '\n';
        }
        ++FPos;
        Indent(level);
        FOut += ')';
    }

    std::span<const uint8_t> FIn;
    size_t FPos = 0;
    std::string FOut;
    int FDepth = 0;
};

// ---------------------------------------------------------------------------------------------------
// Compiling

enum class Tok { End, Word, Number, Text, Punct };

struct Token {
    Tok Kind = Tok::End;
    size_t Pos = 0; // byte offset of the first character
    size_t End = 0; // byte offset behind the last
    char Punct = 0;
};

// A binary file whose contents go into the output at Offset, read once the structure is complete.
struct FilePart {
    size_t Offset;
    std::filesystem::path Path;
    uint64_t Size;
    size_t SourcePos;
};

class Compiler {
public:
    Compiler(std::string_view source, std::filesystem::path baseDir)
        : FSrc(source), FBaseDir(std::move(baseDir)) {}

    std::vector<uint8_t> Run() {
        if (FSrc.starts_with("\xEF\xBB\xBF")) FPos = 3; // a byte order mark
        FW.WriteSignature();
        if (Peek().Kind == Tok::End) Error(Peek().Pos, "expected a component, found end of input");
        Component(false);
        if (Peek().Kind != Tok::End)
            Error(Peek().Pos, "unexpected " + Describe(Peek()) + " after the root component");
        return Assemble();
    }

private:
    // ---- Errors ----
    [[noreturn]] void Error(size_t pos, const std::string& message) const {
        size_t line = 1, column = 1;
        for (size_t i = FSrc.starts_with("\xEF\xBB\xBF") ? 3 : 0; i < pos && i < FSrc.size(); ++i) {
            auto c = static_cast<uint8_t>(FSrc[i]);
            if (c == '\n') {
                ++line;
                column = 1;
            } else if ((c & 0xC0) != 0x80) {
                ++column;
            }
        }
        throw Exception(std::to_string(line) + ":" + std::to_string(column) + ": " + message);
    }

    std::string_view TextOf(const Token& t) const { return FSrc.substr(t.Pos, t.End - t.Pos); }

    std::string Describe(const Token& t) const {
        switch (t.Kind) {
        case Tok::End:
            return "end of input";
        case Tok::Text:
            return "a quoted text";
        case Tok::Number:
            return "number " + std::string(TextOf(t));
        default:
            return "'" + std::string(TextOf(t)) + "'";
        }
    }

    // ---- Tokens ----
    Token Lex() {
        for (;;) {
            while (FPos < FSrc.size() &&
                   (FSrc[FPos] == ' ' || FSrc[FPos] == '\t' || FSrc[FPos] == '\r' || FSrc[FPos] == '\n'))
                ++FPos;
            if (FPos < FSrc.size() && FSrc[FPos] == '#') {
                while (FPos < FSrc.size() && FSrc[FPos] != '\n')
                    ++FPos;
                continue;
            }
            break;
        }
        Token t;
        t.Pos = FPos;
        if (FPos == FSrc.size()) {
            t.End = FPos;
            return t;
        }
        char c = FSrc[FPos];
        auto at = [&](size_t i) { return i < FSrc.size() ? FSrc[i] : '\0'; };
        if (IsIdentStart(c)) {
            t.Kind = Tok::Word;
            size_t i = FPos;
            for (;;) {
                while (IsIdentChar(at(i)))
                    ++i;
                if (at(i) == '.' && IsIdentStart(at(i + 1)))
                    ++i;
                else
                    break;
            }
            FPos = i;
        } else if (IsDigit(c) || (c == '-' && IsDigit(at(FPos + 1)))) {
            t.Kind = Tok::Number;
            size_t i = FPos + 1;
            while (IsDigit(at(i)))
                ++i;
            if (at(i) == '.' && IsDigit(at(i + 1))) {
                i += 2;
                while (IsDigit(at(i)))
                    ++i;
            }
            if (at(i) == 'e' || at(i) == 'E') {
                size_t j = i + 1;
                if (at(j) == '+' || at(j) == '-') ++j;
                if (IsDigit(at(j))) {
                    while (IsDigit(at(j)))
                        ++j;
                    i = j;
                }
            }
            if (IsIdentChar(at(i)) || at(i) == '.') Error(FPos, "malformed number");
            FPos = i;
        } else if (c == '"') {
            t.Kind = Tok::Text;
            size_t i = FPos + 1;
            while (i < FSrc.size() && FSrc[i] != '"')
                i += FSrc[i] == '\\' ? 2 : 1;
            if (i >= FSrc.size()) Error(FPos, "quoted text is not closed");
            FPos = i + 1;
        } else if (c != '\0' && std::strchr(":{}=[](),+", c)) {
            t.Kind = Tok::Punct;
            t.Punct = c;
            ++FPos;
        } else {
            char32_t cp;
            if (static_cast<uint8_t>(c) >= 0x80 && DecodeUtf8(FSrc, FPos, cp)) {
                std::string name = "U+";
                AppendHexNumber(name, cp);
                Error(FPos, "unexpected character " + name);
            }
            if (static_cast<uint8_t>(c) < 0x20 || static_cast<uint8_t>(c) >= 0x7F)
                Error(FPos,
                      "unexpected byte 0x" + std::string{kHexDigits[uint8_t(c) >> 4], kHexDigits[c & 0xF]});
            Error(FPos, std::string("unexpected character '") + c + "'");
        }
        t.End = FPos;
        return t;
    }

    const Token& Peek(size_t ahead = 0) {
        while (FLookCount <= ahead)
            FLook[FLookCount++] = Lex();
        return FLook[ahead];
    }
    Token Next() {
        Peek();
        Token t = FLook[0];
        FLook[0] = FLook[1];
        --FLookCount;
        return t;
    }
    static bool IsPunct(const Token& t, char c) { return t.Kind == Tok::Punct && t.Punct == c; }
    bool IsWord(const Token& t, std::string_view w) const { return t.Kind == Tok::Word && TextOf(t) == w; }
    Token Expect(char c, const char* context) {
        Token t = Next();
        if (!IsPunct(t, c))
            Error(t.Pos, std::string("expected '") + c + "' " + context + ", found " + Describe(t));
        return t;
    }

    // ---- Texts ----
    std::string DecodeText(const Token& t) const {
        std::string out;
        size_t end = t.End - 1;
        out.reserve(end - t.Pos);
        for (size_t i = t.Pos + 1; i < end;) {
            char c = FSrc[i];
            if (c == '\n' || c == '\r') Error(i, "line break inside a quoted text (write \\n)");
            if (static_cast<uint8_t>(c) >= 0x80) {
                char32_t cp;
                size_t len = DecodeUtf8(FSrc, i, cp);
                if (len == 0 || i + len > end) Error(i, "malformed UTF-8 in a quoted text");
                out.append(FSrc.substr(i, len));
                i += len;
                continue;
            }
            if (c != '\\') {
                out.push_back(c);
                ++i;
                continue;
            }
            char e = FSrc[i + 1];
            switch (e) {
            case '\\':
            case '"':
                out.push_back(e);
                break;
            case 'n':
                out.push_back('\n');
                break;
            case 'r':
                out.push_back('\r');
                break;
            case 't':
                out.push_back('\t');
                break;
            case 'u':
            case 'x': {
                size_t maxDigits = e == 'u' ? 6 : 2;
                size_t j = i + 2;
                if (j >= end || FSrc[j] != '{') Error(i, std::string("expected '{' after \\") + e);
                uint32_t v = 0;
                size_t digits = 0;
                for (++j; j < end && HexValue(FSrc[j]) >= 0; ++j, ++digits)
                    v = v * 16 + HexValue(FSrc[j]);
                if (j >= end || FSrc[j] != '}' || digits == 0 || digits > maxDigits)
                    Error(i, e == 'u' ? "malformed \\u{...} escape (1 to 6 hex digits)"
                                      : "malformed \\x{...} escape (1 or 2 hex digits)");
                if (e == 'x') {
                    out.push_back(static_cast<char>(v));
                } else {
                    if (v > 0x10FFFF) Error(i, "code point beyond U+10FFFF");
                    TextCodec::AppendUtf8(out, v);
                }
                i = j + 1;
                continue;
            }
            default:
                Error(i, std::string("unknown escape '\\") +
                             (static_cast<uint8_t>(e) < 0x80 ? std::string(1, e) : "") + "'");
            }
            i += 2;
        }
        return out;
    }

    // A quoted text, possibly joined from several literals with '+'.
    std::string Text(const char* context) {
        Token t = Next();
        if (t.Kind != Tok::Text)
            Error(t.Pos, std::string("expected a quoted text ") + context + ", found " + Describe(t));
        std::string out = DecodeText(t);
        while (IsPunct(Peek(), '+')) {
            Next();
            Token more = Next();
            if (more.Kind != Tok::Text)
                Error(more.Pos, "expected a quoted text after '+', found " + Describe(more));
            out += DecodeText(more);
        }
        return out;
    }

    // Hex digits from one or more joined literals; whitespace between digits is ignored.
    std::vector<uint8_t> HexText(const char* context) {
        std::vector<Token> parts;
        parts.push_back(Next());
        if (parts[0].Kind != Tok::Text)
            Error(parts[0].Pos,
                  std::string("expected quoted hex digits ") + context + ", found " + Describe(parts[0]));
        while (IsPunct(Peek(), '+')) {
            Next();
            parts.push_back(Next());
            if (parts.back().Kind != Tok::Text)
                Error(parts.back().Pos, "expected a quoted text after '+', found " + Describe(parts.back()));
        }
        size_t digits = 0;
        for (const Token& t : parts) {
            for (size_t i = t.Pos + 1; i + 1 < t.End; ++i) {
                char c = FSrc[i];
                if (HexValue(c) >= 0)
                    ++digits;
                else if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
                    Error(i, "expected a hex digit");
            }
        }
        if (digits % 2) Error(parts[0].Pos, "odd number of hex digits");
        std::vector<uint8_t> bytes(digits / 2);
        size_t n = 0;
        int high = -1;
        for (const Token& t : parts) {
            for (size_t i = t.Pos + 1; i + 1 < t.End; ++i) {
                int v = HexValue(FSrc[i]);
                if (v < 0) continue;
                if (high < 0) {
                    high = v;
                } else {
                    bytes[n++] = static_cast<uint8_t>(high << 4 | v);
                    high = -1;
                }
            }
        }
        return bytes;
    }

    void CheckShort(const std::string& s, size_t pos, const char* what) const {
        if (s.size() > 255) Error(pos, std::string(what) + " is longer than 255 bytes");
    }

    // A name: a bare word (dotted if allowDots) or a quoted text.
    std::string Name(bool allowDots, const char* what) {
        Token t = Next();
        std::string name;
        if (t.Kind == Tok::Word) {
            name = TextOf(t);
            if (!allowDots && name.find('.') != std::string::npos)
                Error(t.Pos, std::string(what) + " '" + name + "' cannot contain '.' unless quoted");
        } else if (t.Kind == Tok::Text) {
            name = DecodeText(t);
        } else {
            Error(t.Pos, std::string("expected ") + what + ", found " + Describe(t));
        }
        CheckShort(name, t.Pos, what);
        return name;
    }

    // ---- Integers and numbers ----
    int64_t Integer(const Token& t) const {
        if (t.Kind != Tok::Number) Error(t.Pos, "expected an integer, found " + Describe(t));
        std::string_view s = TextOf(t);
        if (s.find_first_of(".eE") != std::string_view::npos)
            Error(t.Pos, std::string(s) + " is not an integer; a fractional number needs a form word "
                                          "(single, double, extended, date or currency)");
        int64_t v;
        auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
        if (ec != std::errc{} || end != s.data() + s.size())
            Error(t.Pos, std::string(s) + " is out of range");
        return v;
    }

    static std::optional<TValueType> IntFormOf(std::string_view w) {
        if (w == "int8") return VT::vaInt8;
        if (w == "int16") return VT::vaInt16;
        if (w == "int32") return VT::vaInt32;
        if (w == "int64") return VT::vaInt64;
        return std::nullopt;
    }

    // The number after an integer form word, checked against the form's range.
    int64_t IntegerOfForm(TValueType form, const char* word) {
        Token t = Next();
        int64_t v = Integer(t);
        if (form != VT::vaInt64 && (NarrowestIntForm(v) > form))
            Error(t.Pos, std::to_string(v) + " does not fit " + word);
        return v;
    }

    // An integer of at most 32 bits, with an optional form word (item indexes and child positions).
    void WriteInt32(const char* what) {
        Token t = Peek();
        TValueType form;
        int64_t v;
        if (t.Kind == Tok::Word) {
            auto f = IntFormOf(TextOf(t));
            if (!f) Error(t.Pos, std::string("expected ") + what + ", found " + Describe(t));
            if (*f == VT::vaInt64) Error(t.Pos, std::string(what) + " is at most int32");
            Next();
            form = *f;
            v = IntegerOfForm(form, IntFormWord(form));
        } else {
            Next();
            v = Integer(t);
            form = NarrowestIntForm(v);
            if (form == VT::vaInt64) Error(t.Pos, std::string(what) + " must fit int32");
        }
        FW.WriteIntegerAs(form, v);
    }

    void Float(const std::string& word) {
        TValueType tag = word == "single"   ? VT::vaSingle
                         : word == "double" ? VT::vaDouble
                         : word == "date"   ? VT::vaDate
                                            : VT::vaExtended;
        size_t size = tag == VT::vaSingle ? 4 : tag == VT::vaExtended ? 10 : 8;
        Token t = Peek();
        if (IsWord(t, "hex")) {
            Next();
            Token digits = Peek();
            std::vector<uint8_t> bytes = HexText(("after '" + word + " hex'").c_str());
            if (bytes.size() != size)
                Error(digits.Pos, word + " hex needs exactly " + std::to_string(2 * size) + " hex digits");
            FW.WriteValue(tag);
            FW.WriteRaw(bytes);
            return;
        }
        if (t.Kind != Tok::Number)
            Error(t.Pos, "expected a number or 'hex' after '" + word + "', found " + Describe(t));
        Next();
        std::string_view s = TextOf(t);
        const char* first = s.data();
        const char* last = s.data() + s.size();
        auto check = [&](std::from_chars_result r) {
            if (r.ec == std::errc::result_out_of_range)
                Error(t.Pos, std::string(s) + " is out of range for " + word);
            if (r.ec != std::errc{} || r.ptr != last) Error(t.Pos, "malformed number " + std::string(s));
        };
        if (tag == VT::vaSingle) {
            float v;
            check(std::from_chars(first, last, v));
            FW.WriteSingle(v);
        } else if (tag == VT::vaExtended) {
            long double v;
            check(std::from_chars(first, last, v));
            FW.WriteExtended(v);
        } else {
            double v;
            check(std::from_chars(first, last, v));
            if (tag == VT::vaDate)
                FW.WriteDate(v);
            else
                FW.WriteDouble(v);
        }
    }

    void Currency() {
        Token t = Next();
        if (t.Kind != Tok::Number)
            Error(t.Pos, "expected a decimal number after 'currency', found " + Describe(t));
        std::string_view s = TextOf(t);
        bool negative = s[0] == '-';
        size_t i = negative ? 1 : 0;
        uint64_t whole = 0;
        auto overflow = [&] { Error(t.Pos, std::string(s) + " is out of range for currency"); };
        for (; i < s.size() && IsDigit(s[i]); ++i) {
            if (whole > (UINT64_MAX - 9) / 10) overflow();
            whole = whole * 10 + static_cast<uint64_t>(s[i] - '0');
        }
        uint64_t fraction = 0;
        size_t fractionDigits = 0;
        if (i < s.size() && s[i] == '.') {
            for (++i; i < s.size() && IsDigit(s[i]); ++i, ++fractionDigits)
                fraction = fraction * 10 + static_cast<uint64_t>(s[i] - '0');
        }
        if (i != s.size() || fractionDigits > 4)
            Error(t.Pos, "currency needs a plain decimal number with at most 4 fraction digits");
        for (; fractionDigits < 4; ++fractionDigits)
            fraction *= 10;
        if (whole > (UINT64_MAX - fraction) / 10000) overflow();
        uint64_t scaled = whole * 10000 + fraction;
        uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
        if (scaled > limit) overflow();
        FW.WriteCurrency(negative ? static_cast<int64_t>(0 - scaled) : static_cast<int64_t>(scaled));
    }

    // ---- Texts as values ----
    void WriteText(TValueType tag, const std::string& text, size_t pos) {
        if (text.size() > UINT32_MAX) Error(pos, "text too long");
        if (tag == VT::vaString || tag == VT::vaLString) {
            auto bytes = TextCodec::Cp1252FromUtf8(text);
            if (!bytes) {
                std::string what = "a malformed byte";
                for (size_t i = 0; i < text.size();) {
                    char32_t cp;
                    size_t len = DecodeUtf8(text, i, cp);
                    if (len == 0) break;
                    if (!TextCodec::Cp1252FromUtf8(text.substr(i, len))) {
                        what = "U+";
                        AppendHexNumber(what, cp);
                        break;
                    }
                    i += len;
                }
                Error(pos, std::string("text cannot be stored as ") + TextFormWord(tag) + ": " + what +
                               " is not in the 8-bit code page");
            }
            if (tag == VT::vaString && bytes->size() > 255)
                Error(pos, "text of " + std::to_string(bytes->size()) +
                               " bytes is too long for string (at most 255)");
        } else if (tag == VT::vaWString) {
            for (size_t i = 0; i < text.size();) {
                char32_t cp;
                size_t len = DecodeUtf8(text, i, cp);
                if (len == 0)
                    Error(pos, "text with malformed UTF-8 (from \\x escapes) can only be stored as utf8");
                i += len;
            }
        }
        FW.WriteStringAs(tag, text);
    }

    // ---- Structure ----
    void Component(bool child) {
        Token start = Peek();
        if (++FDepth > kMaxNesting) Error(start.Pos, "components nested deeper than 256 levels");
        bool hasPrefix = false;
        if (IsPunct(start, '[')) {
            Next();
            hasPrefix = true;
            Token w = Next();
            if (!IsWord(w, "flags")) Error(w.Pos, "expected 'flags' after '[', found " + Describe(w));
            Token n = Next();
            int64_t flags = Integer(n);
            if (flags < 0 || flags > 15) Error(n.Pos, "flags must be 0 to 15");
            const uint8_t prefix[1] = {static_cast<uint8_t>(0xF0 | flags)};
            FW.WriteRaw(prefix);
            bool hasChildPos = IsPunct(Peek(), ',');
            if (hasChildPos) {
                Next();
                Token c = Next();
                if (!IsWord(c, "childpos"))
                    Error(c.Pos, "expected 'childpos' after ',', found " + Describe(c));
                if (!(flags & ffChildPos)) Error(c.Pos, "childpos needs flag 2 in flags");
                WriteInt32("child position");
            } else if (flags & ffChildPos) {
                Error(n.Pos, "flag 2 (child position) in flags needs a childpos");
            }
            Expect(']', "to close the prefix");
        }
        std::string name = Name(false, "component name");
        Expect(':', "after the component name");
        Token classTok = Peek();
        std::string className = Name(false, "class name");
        Expect('{', "after the class name");
        if (!hasPrefix && className.empty() && child)
            Error(classTok.Pos, "an empty class name needs a [flags] prefix");
        if (!hasPrefix && className.size() >= 0xF0)
            Error(classTok.Pos, "a class name of 240 bytes or more needs a [flags] prefix");
        FW.WriteStr(className);
        FW.WriteStr(name);

        bool inChildren = false;
        for (;;) {
            const Token& t = Peek();
            if (IsPunct(t, '}')) break;
            if (t.Kind == Tok::End)
                Error(t.Pos, "end of input inside component '" + name + "': '}' is missing");
            bool named = t.Kind == Tok::Word || t.Kind == Tok::Text;
            if (IsPunct(t, '[') || (named && IsPunct(Peek(1), ':'))) {
                if (!inChildren) FW.WriteListEnd();
                inChildren = true;
                Component(true);
            } else if (named && IsPunct(Peek(1), '=')) {
                if (inChildren) Error(t.Pos, "properties must come before child components");
                Property(0);
            } else {
                Error(t.Pos, "expected a property, a child component or '}', found " + Describe(t));
            }
        }
        Next();
        if (!inChildren) FW.WriteListEnd();
        FW.WriteListEnd();
        --FDepth;
    }

    void Property(int depth) {
        Token t = Peek();
        std::string path = Name(true, "property name");
        if (path.empty()) Error(t.Pos, "property name cannot be empty");
        Expect('=', "after the property name");
        FW.WritePropName(path);
        Value(depth, false);
    }

    void Value(int depth, bool inList) {
        Token t = Peek();
        if (t.Kind == Tok::Number) {
            FW.WriteInteger(Integer(Next()));
            return;
        }
        if (t.Kind == Tok::Text) {
            std::string text = Text("");
            WriteText(TWriter::StringFormFor(text), text, t.Pos);
            return;
        }
        if (IsPunct(t, '[')) return Set();
        if (IsPunct(t, '(')) return List(depth);
        if (t.Kind != Tok::Word)
            Error(t.Pos, std::string(inList ? "expected a value or ')'" : "expected a value") + ", found " +
                             Describe(t));
        Next();
        std::string word(TextOf(t));
        if (word == "True") {
            FW.WriteValue(VT::vaTrue);
        } else if (word == "False") {
            FW.WriteValue(VT::vaFalse);
        } else if (word == "nil") {
            FW.WriteValue(VT::vaNil);
        } else if (word == "Null") {
            if (inList) Error(t.Pos, "Null cannot appear inside a list: it would end the list");
            FW.WriteValue(VT::vaNull);
        } else if (auto form = IntFormOf(word)) {
            FW.WriteIntegerAs(*form, IntegerOfForm(*form, word.c_str()));
        } else if (word == "string" || word == "lstring" || word == "wstring" || word == "utf8") {
            TValueType tag = word == "string"    ? VT::vaString
                             : word == "lstring" ? VT::vaLString
                             : word == "wstring" ? VT::vaWString
                                                 : VT::vaUTF8String;
            size_t pos = Peek().Pos;
            WriteText(tag, Text(("after '" + word + "'").c_str()), pos);
        } else if (word == "ident") {
            size_t pos = Peek().Pos;
            std::string text = Text("after 'ident'");
            CheckShort(text, pos, "identifier");
            FW.WriteValue(VT::vaIdent);
            FW.WriteStr(text);
        } else if (word == "single" || word == "double" || word == "date" || word == "extended") {
            Float(word);
        } else if (word == "currency") {
            Currency();
        } else if (word == "binary") {
            Binary();
        } else if (word == "picture") {
            Picture();
        } else if (word == "collection") {
            Collection(depth);
        } else {
            CheckShort(word, t.Pos, "identifier");
            FW.WriteValue(VT::vaIdent);
            FW.WriteStr(word);
        }
    }

    void Set() {
        Next();
        FW.WriteValue(VT::vaSet);
        if (IsPunct(Peek(), ']')) {
            Next();
        } else {
            for (;;) {
                Token t = Peek();
                std::string element = Name(true, "set element");
                if (element.empty()) Error(t.Pos, "set element cannot be empty");
                FW.WriteStr(element);
                Token sep = Next();
                if (IsPunct(sep, ']')) break;
                if (!IsPunct(sep, ','))
                    Error(sep.Pos, "expected ',' or ']' in a set, found " + Describe(sep));
            }
        }
        FW.WriteStr("");
    }

    void List(int depth) {
        Token open = Next();
        if (depth + 1 > kMaxNesting) Error(open.Pos, "values nested deeper than 256 levels");
        FW.WriteListBegin();
        while (!IsPunct(Peek(), ')')) {
            if (Peek().Kind == Tok::End) Error(Peek().Pos, "end of input inside a list: ')' is missing");
            Value(depth + 1, true);
        }
        Next();
        FW.WriteListEnd();
    }

    void Collection(int depth) {
        Token open = Expect('(', "after 'collection'");
        if (depth + 1 > kMaxNesting) Error(open.Pos, "values nested deeper than 256 levels");
        FW.WriteCollectionBegin();
        while (!IsPunct(Peek(), ')')) {
            Token t = Next();
            if (!IsWord(t, "item"))
                Error(t.Pos, "expected 'item' or ')' in a collection, found " + Describe(t));
            if (!IsPunct(Peek(), '{')) WriteInt32("an item index");
            Expect('{', "to open the item");
            FW.WriteListBegin();
            while (!IsPunct(Peek(), '}')) {
                const Token& p = Peek();
                if ((p.Kind != Tok::Word && p.Kind != Tok::Text) || !IsPunct(Peek(1), '='))
                    Error(p.Pos, "expected a property or '}' in a collection item, found " + Describe(p));
                Property(depth + 1);
            }
            Next();
            FW.WriteListEnd();
        }
        Next();
        FW.WriteListEnd();
    }

    void Binary() {
        Token how = Next();
        if (IsWord(how, "hex")) {
            std::vector<uint8_t> bytes = HexText("after 'binary hex'");
            if (bytes.size() > UINT32_MAX) Error(how.Pos, "binary value larger than 4 GiB");
            FW.WriteBinary(bytes);
        } else if (IsWord(how, "file")) {
            size_t pos = Peek().Pos;
            std::filesystem::path path = FBaseDir / std::filesystem::path(Text("after 'binary file'"));
            std::error_code ec;
            if (!std::filesystem::is_regular_file(path, ec))
                Error(pos, "binary file '" + path.string() + "' does not exist or is not a regular file");
            uint64_t size = std::filesystem::file_size(path, ec);
            if (ec) Error(pos, "cannot read binary file '" + path.string() + "': " + ec.message());
            if (size > UINT32_MAX) Error(pos, "binary file '" + path.string() + "' is larger than 4 GiB");
            uint32_t size32 = static_cast<uint32_t>(size);
            FW.WriteValue(VT::vaBinary);
            uint8_t le[4] = {uint8_t(size32), uint8_t(size32 >> 8), uint8_t(size32 >> 16),
                             uint8_t(size32 >> 24)};
            FW.WriteRaw(le);
            FFiles.push_back({FW.Bytes().size(), std::move(path), size, pos});
        } else {
            Error(how.Pos, "expected 'hex' or 'file' after 'binary', found " + Describe(how));
        }
    }

    // picture KIND WIDTH x HEIGHT "file": a picture file as stored picture data, refused unless its
    // headers show the declared kind and size.
    void Picture() {
        Token kindToken = Next();
        if (kindToken.Kind != Tok::Word)
            Error(kindToken.Pos, "expected a picture kind after 'picture', found " + Describe(kindToken));
        std::string kind(TextOf(kindToken));
        Token wt = Next();
        int64_t width = Integer(wt);
        Token x = Next();
        if (!IsWord(x, "x"))
            Error(x.Pos, "expected 'x' between a picture's width and height, found " + Describe(x));
        Token ht = Next();
        int64_t height = Integer(ht);
        if (width <= 0 || height <= 0 || width > 65535 || height > 65535)
            Error(wt.Pos, "picture size out of range");
        size_t pos = Peek().Pos;
        std::filesystem::path path = FBaseDir / std::filesystem::path(Text("after the picture's size"));
        std::ifstream in(path, std::ios::binary);
        if (!in) Error(pos, "cannot open picture file '" + path.string() + "'");
        std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::string problem = CheckDeclaredPicture(InspectPicture(file), kind, static_cast<int>(width),
                                                   static_cast<int>(height));
        if (!problem.empty())
            Error(pos, "picture file '" + path.string() + "' is not " + kind + " " + std::to_string(width) +
                           " x " + std::to_string(height) + ": " + problem);
        std::vector<uint8_t> data = StoredPictureData(file);
        if (data.empty() || data.size() > UINT32_MAX)
            Error(pos, "picture file '" + path.string() + "' cannot be stored");
        FW.WriteBinary(data);
    }

    // The structure with the binary files read straight into their places.
    std::vector<uint8_t> Assemble() {
        std::vector<uint8_t> structure = FW.TakeBytes();
        if (FFiles.empty()) return structure;
        size_t total = structure.size();
        for (const FilePart& f : FFiles)
            total += f.Size;
        std::vector<uint8_t> out(total);
        size_t from = 0, to = 0;
        for (const FilePart& f : FFiles) {
            std::memcpy(out.data() + to, structure.data() + from, f.Offset - from);
            to += f.Offset - from;
            from = f.Offset;
            std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(f.Path.c_str(), "rb"),
                                                                 &std::fclose);
            if (!file) Error(f.SourcePos, "cannot open binary file '" + f.Path.string() + "'");
            if (std::fread(out.data() + to, 1, f.Size, file.get()) != f.Size || std::fgetc(file.get()) != EOF)
                Error(f.SourcePos, "binary file '" + f.Path.string() + "' changed while being read");
            to += f.Size;
        }
        std::memcpy(out.data() + to, structure.data() + from, structure.size() - from);
        return out;
    }

    std::string_view FSrc;
    std::filesystem::path FBaseDir;
    size_t FPos = 0;
    Token FLook[2];
    size_t FLookCount = 0;
    TWriter FW;
    std::vector<FilePart> FFiles;
    int FDepth = 0;
};

} // namespace

std::vector<uint8_t> CompileTextForm(std::string_view source, const std::filesystem::path& baseDir) {
    return Compiler(source, baseDir).Run();
}

std::string DumpTextForm(std::span<const uint8_t> stream) {
    return Dumper(stream).Run();
}
