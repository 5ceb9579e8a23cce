// Dumping a component stream as its text form.
#include "tools/TextFormDumper.h"

#include "tools/TextForm.h"
#include "tools/TextFormSyntax.h"

#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TWriter.h"
#include "stream/TextCodec.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

using namespace TextFormSyntax;

namespace {

// Dump splits texts longer than this many characters into joined literals.
constexpr size_t kTextChunk = 100;
constexpr size_t kHexBytesPerLine = 32;

using VT = TValueType;

std::string_view AsText(std::span<const uint8_t> b) {
    return {reinterpret_cast<const char*>(b.data()), b.size()};
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

} // namespace

std::string DumpTextForm(std::span<const uint8_t> stream) {
    return TextFormDumper(stream).Run();
}

std::string TextFormDumper::Run() {
    if (FIn.size() < 4 || std::memcmp(FIn.data(), "TPF0", 4) != 0)
        throw EReadError(std::string(SConsts::SInvalidImage));
    FPos = 4;
    FOut.reserve(std::min<size_t>(FIn.size(), size_t{1} << 30) * 2 + 256);
    Component(0);
    if (FPos != FIn.size()) Fail(FPos, "Unexpected data after the root component");
    return std::move(FOut);
}

// ---- Reading the stream ----

void TextFormDumper::Fail(size_t offset, const std::string& what) {
    throw EReadError(what + " at offset " + std::to_string(offset));
}

void TextFormDumper::Need(uint64_t count) const {
    if (count > FIn.size() - FPos) throw EReadError(std::string(SConsts::SReadError));
}

uint8_t TextFormDumper::Peek() const {
    Need(1);
    return FIn[FPos];
}

uint8_t TextFormDumper::Byte() {
    Need(1);
    return FIn[FPos++];
}

std::span<const uint8_t> TextFormDumper::Bytes(uint64_t count) {
    Need(count);
    auto s = FIn.subspan(FPos, static_cast<size_t>(count));
    FPos += s.size();
    return s;
}

template <class T> T TextFormDumper::LE() {
    T v;
    std::memcpy(&v, Bytes(sizeof v).data(), sizeof v); // the build ensures a little-endian host
    return v;
}

std::string_view TextFormDumper::ShortStr() {
    return AsText(Bytes(Byte()));
}

// ---- Writing the text ----

void TextFormDumper::Indent(int level) {
    FOut.append(2 * static_cast<size_t>(level), ' ');
}

void TextFormDumper::Name(std::string_view s, bool allowDots) {
    if (IsBareWord(s, allowDots))
        FOut += s;
    else
        AppendQuoted(FOut, s);
}

// Closes a block opened with " {\n"; an empty block collapses to "{}".
void TextFormDumper::CloseBlock(size_t mark, int level) {
    if (FOut.size() == mark) {
        FOut.back() = '}';
    } else {
        Indent(level);
        FOut += '}';
    }
}

// ---- Structure ----

void TextFormDumper::Component(int level) {
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

void TextFormDumper::Property(int level, int depth) {
    Indent(level);
    Name(ShortStr(), true);
    FOut += " = ";
    Value(level, depth);
    FOut += '\n';
}

void TextFormDumper::EnterValue(int depth, size_t at) const {
    if (depth + 1 > kMaxNesting) Fail(at, "Values nested deeper than 256 levels");
}

void TextFormDumper::Value(int level, int depth) {
    size_t at = FPos;
    uint8_t tag = Byte();
    switch (static_cast<VT>(tag)) {
    case VT::vaNull:
        FOut += "Null";
        return;
    case VT::vaFalse:
        FOut += "False";
        return;
    case VT::vaTrue:
        FOut += "True";
        return;
    case VT::vaNil:
        FOut += "nil";
        return;
    case VT::vaList:
        EnterValue(depth, at);
        return List(level, depth);
    case VT::vaInt8:
        return Int(VT::vaInt8, LE<int8_t>());
    case VT::vaInt16:
        return Int(VT::vaInt16, LE<int16_t>());
    case VT::vaInt32:
        return Int(VT::vaInt32, LE<int32_t>());
    case VT::vaInt64:
        return Int(VT::vaInt64, LE<int64_t>());
    case VT::vaExtended:
        return Extended();
    case VT::vaString:
    case VT::vaLString:
    case VT::vaWString:
    case VT::vaUTF8String:
        return String(static_cast<VT>(tag), level);
    case VT::vaIdent:
        return Ident();
    case VT::vaBinary:
        return Binary(Bytes(LE<uint32_t>()), level);
    case VT::vaSet:
        return Set();
    case VT::vaCollection:
        EnterValue(depth, at);
        return Collection(level, depth + 1);
    case VT::vaSingle:
        return Float<float>("single", Bytes(4));
    case VT::vaDouble:
        return Float<double>("double", Bytes(8));
    case VT::vaDate:
        return Float<double>("date", Bytes(8));
    case VT::vaCurrency:
        return Currency(LE<int64_t>());
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X", tag);
    Fail(at, std::string("Unknown value tag ") + hex);
}

// ---- Values ----

void TextFormDumper::List(int level, int depth) {
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
}

void TextFormDumper::Int(TValueType tag, int64_t v) {
    if (NarrowestIntForm(v) != tag) {
        FOut += IntFormWord(tag);
        FOut += ' ';
    }
    FOut += std::to_string(v);
}

void TextFormDumper::TaggedInt32(const char* what) {
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

void TextFormDumper::Extended() {
    FOut += "extended hex \"";
    AppendHexBytes(FOut, Bytes(10));
    FOut += '"';
}

void TextFormDumper::String(TValueType tag, int level) {
    switch (tag) {
    case VT::vaString:
        return Text(tag, TextCodec::Utf8FromCp1252(Bytes(Byte())), level);
    case VT::vaLString:
        return Text(tag, TextCodec::Utf8FromCp1252(Bytes(LE<uint32_t>())), level);
    case VT::vaWString:
        return Text(tag, TextCodec::Utf8FromUtf16LE(Bytes(uint64_t{LE<uint32_t>()} * 2)), level);
    default:
        return Text(tag, AsText(Bytes(LE<uint32_t>())), level);
    }
}

void TextFormDumper::Text(TValueType tag, std::string_view text, int level) {
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

void TextFormDumper::Ident() {
    std::string_view name = ShortStr();
    if (IsBareWord(name, true) && !IsValueWord(name)) {
        FOut += name;
    } else {
        FOut += "ident ";
        AppendQuoted(FOut, name);
    }
}

void TextFormDumper::Set() {
    FOut += '[';
    for (bool first = true;; first = false) {
        std::string_view element = ShortStr();
        if (element.empty()) break;
        if (!first) FOut += ", ";
        Name(element, true);
    }
    FOut += ']';
}

void TextFormDumper::Binary(std::span<const uint8_t> bytes, int level) {
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
template <class T> void TextFormDumper::Float(const char* word, std::span<const uint8_t> raw) {
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

void TextFormDumper::Currency(int64_t scaled) {
    uint64_t mag = scaled < 0 ? 0 - static_cast<uint64_t>(scaled) : static_cast<uint64_t>(scaled);
    FOut += "currency ";
    if (scaled < 0) FOut += '-';
    FOut += std::to_string(mag / 10000);
    if (unsigned frac = mag % 10000) {
        char digits[5] = {char('0' + frac / 1000), char('0' + frac / 100 % 10), char('0' + frac / 10 % 10),
                          char('0' + frac % 10), 0};
        size_t n = 4;
        while (digits[n - 1] == '0')
            --n;
        FOut += '.';
        FOut.append(digits, n);
    }
}

void TextFormDumper::Collection(int level, int depth) {
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
