// Reading the text form of a definition as tokens: words, numbers, quoted texts and punctuation, with
// the quoted texts decoded and every error placed at its line and column.
#include "tools/TextFormLexer.h"

#include "tools/TextFormSyntax.h"

#include "stream/Exceptions.h"
#include "stream/TextCodec.h"

#include <charconv>
#include <cstring>

using namespace TextFormSyntax;

using Tok = TextFormLexer::Tok;
using Token = TextFormLexer::Token;

TextFormLexer::TextFormLexer(std::string_view source) : FSrc(source) {
    if (FSrc.starts_with("\xEF\xBB\xBF")) FPos = 3; // a byte order mark
}

// ---- Errors ----

void TextFormLexer::Error(size_t pos, const std::string& message) const {
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

std::string TextFormLexer::Describe(const Token& t) const {
    switch (t.Kind) {
    case Tok::End:
        return "end of input";
    case Tok::Text:
        return "a quoted text";
    case Tok::Number:
        return std::string("number ").append(TextOf(t));
    default:
        return std::string("'").append(TextOf(t)).append("'");
    }
}

// ---- Tokens ----

Token TextFormLexer::Lex() {
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
            Error(FPos, "unexpected byte 0x" + std::string{kHexDigits[uint8_t(c) >> 4], kHexDigits[c & 0xF]});
        Error(FPos, std::string("unexpected character '") + c + "'");
    }
    t.End = FPos;
    return t;
}

const Token& TextFormLexer::Peek(size_t ahead) {
    while (FLookCount <= ahead)
        FLook[FLookCount++] = Lex();
    return FLook[ahead];
}

Token TextFormLexer::Next() {
    Peek();
    Token t = FLook[0];
    FLook[0] = FLook[1];
    --FLookCount;
    return t;
}

Token TextFormLexer::Expect(char c, const char* context) {
    Token t = Next();
    if (!IsPunct(t, c))
        Error(t.Pos, std::string("expected '") + c + "' " + context + ", found " + Describe(t));
    return t;
}

// ---- Texts ----

std::string TextFormLexer::DecodeText(const Token& t) const {
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

std::string TextFormLexer::Text(const char* context) {
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

std::vector<uint8_t> TextFormLexer::HexText(const char* context) {
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

void TextFormLexer::CheckShort(const std::string& s, size_t pos, const char* what) const {
    if (s.size() > 255) Error(pos, std::string(what) + " is longer than 255 bytes");
}

std::string TextFormLexer::Name(bool allowDots, const char* what) {
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

// ---- Integers ----

int64_t TextFormLexer::Integer(const Token& t) const {
    if (t.Kind != Tok::Number) Error(t.Pos, "expected an integer, found " + Describe(t));
    std::string_view s = TextOf(t);
    if (s.find_first_of(".eE") != std::string_view::npos)
        Error(t.Pos, std::string(s) + " is not an integer; a fractional number needs a form word "
                                      "(single, double, extended, date or currency)");
    int64_t v;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec != std::errc{} || end != s.data() + s.size()) Error(t.Pos, std::string(s) + " is out of range");
    return v;
}
