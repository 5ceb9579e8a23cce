// Compiling the text form of a definition to a component stream.
#include "tools/TextFormCompiler.h"

#include "graphics/StoredPicture.h"
#include "tools/PictureFacts.h"
#include "tools/TextForm.h"
#include "tools/TextFormSyntax.h"

#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TextCodec.h"

#include <charconv>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

using namespace TextFormSyntax;

namespace {
using Tok = TextFormLexer::Tok;
using VT = TValueType;
} // namespace

std::vector<uint8_t> CompileTextForm(std::string_view source, const std::filesystem::path& baseDir) {
    return TextFormCompiler(source, baseDir).Run();
}

std::vector<uint8_t> TextFormCompiler::Run() {
    FW.WriteSignature();
    if (FLex.Peek().Kind == Tok::End) FLex.Error(FLex.Peek().Pos, "expected a component, found end of input");
    Component(false);
    if (FLex.Peek().Kind != Tok::End)
        FLex.Error(FLex.Peek().Pos, "unexpected " + FLex.Describe(FLex.Peek()) + " after the root component");
    return Assemble();
}

// ---- Integers and numbers ----

std::optional<TValueType> TextFormCompiler::IntFormOf(std::string_view w) {
    if (w == "int8") return VT::vaInt8;
    if (w == "int16") return VT::vaInt16;
    if (w == "int32") return VT::vaInt32;
    if (w == "int64") return VT::vaInt64;
    return std::nullopt;
}

// The number after an integer form word, checked against the form's range.
int64_t TextFormCompiler::IntegerOfForm(TValueType form, const char* word) {
    Token t = FLex.Next();
    int64_t v = FLex.Integer(t);
    if (form != VT::vaInt64 && (NarrowestIntForm(v) > form))
        FLex.Error(t.Pos, std::to_string(v) + " does not fit " + word);
    return v;
}

// An integer of at most 32 bits, with an optional form word (item indexes and child positions).
void TextFormCompiler::WriteInt32(const char* what) {
    Token t = FLex.Peek();
    TValueType form;
    int64_t v;
    if (t.Kind == Tok::Word) {
        auto f = IntFormOf(FLex.TextOf(t));
        if (!f) FLex.Error(t.Pos, std::string("expected ") + what + ", found " + FLex.Describe(t));
        if (*f == VT::vaInt64) FLex.Error(t.Pos, std::string(what) + " is at most int32");
        FLex.Next();
        form = *f;
        v = IntegerOfForm(form, IntFormWord(form));
    } else {
        FLex.Next();
        v = FLex.Integer(t);
        form = NarrowestIntForm(v);
        if (form == VT::vaInt64) FLex.Error(t.Pos, std::string(what) + " must fit int32");
    }
    FW.WriteIntegerAs(form, v);
}

void TextFormCompiler::Float(const std::string& word) {
    TValueType tag = word == "single"   ? VT::vaSingle
                     : word == "double" ? VT::vaDouble
                     : word == "date"   ? VT::vaDate
                                        : VT::vaExtended;
    size_t size = tag == VT::vaSingle ? 4 : tag == VT::vaExtended ? 10 : 8;
    Token t = FLex.Peek();
    if (FLex.IsWord(t, "hex")) {
        FLex.Next();
        Token digits = FLex.Peek();
        std::vector<uint8_t> bytes = FLex.HexText(("after '" + word + " hex'").c_str());
        if (bytes.size() != size)
            FLex.Error(digits.Pos, word + " hex needs exactly " + std::to_string(2 * size) + " hex digits");
        FW.WriteValue(tag);
        FW.WriteRaw(bytes);
        return;
    }
    if (t.Kind != Tok::Number)
        FLex.Error(t.Pos, "expected a number or 'hex' after '" + word + "', found " + FLex.Describe(t));
    FLex.Next();
    std::string_view s = FLex.TextOf(t);
    const char* first = s.data();
    const char* last = s.data() + s.size();
    auto check = [&](std::from_chars_result r) {
        if (r.ec == std::errc::result_out_of_range)
            FLex.Error(t.Pos, std::string(s) + " is out of range for " + word);
        if (r.ec != std::errc{} || r.ptr != last) FLex.Error(t.Pos, "malformed number " + std::string(s));
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

void TextFormCompiler::Currency() {
    Token t = FLex.Next();
    if (t.Kind != Tok::Number)
        FLex.Error(t.Pos, "expected a decimal number after 'currency', found " + FLex.Describe(t));
    std::string_view s = FLex.TextOf(t);
    bool negative = s[0] == '-';
    size_t i = negative ? 1 : 0;
    uint64_t whole = 0;
    auto overflow = [&] { FLex.Error(t.Pos, std::string(s) + " is out of range for currency"); };
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
        FLex.Error(t.Pos, "currency needs a plain decimal number with at most 4 fraction digits");
    for (; fractionDigits < 4; ++fractionDigits)
        fraction *= 10;
    if (whole > (UINT64_MAX - fraction) / 10000) overflow();
    uint64_t scaled = whole * 10000 + fraction;
    uint64_t limit = negative ? uint64_t{1} << 63 : (uint64_t{1} << 63) - 1;
    if (scaled > limit) overflow();
    FW.WriteCurrency(negative ? static_cast<int64_t>(0 - scaled) : static_cast<int64_t>(scaled));
}

// ---- Texts as values ----

void TextFormCompiler::WriteText(TValueType tag, const std::string& text, size_t pos) {
    if (text.size() > UINT32_MAX) FLex.Error(pos, "text too long");
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
            FLex.Error(pos, std::string("text cannot be stored as ") + TextFormWord(tag) + ": " + what +
                                " is not in the 8-bit code page");
        }
        if (tag == VT::vaString && bytes->size() > 255)
            FLex.Error(pos, "text of " + std::to_string(bytes->size()) +
                                " bytes is too long for string (at most 255)");
    } else if (tag == VT::vaWString) {
        for (size_t i = 0; i < text.size();) {
            char32_t cp;
            size_t len = DecodeUtf8(text, i, cp);
            if (len == 0)
                FLex.Error(pos, "text with malformed UTF-8 (from \\x escapes) can only be stored as utf8");
            i += len;
        }
    }
    FW.WriteStringAs(tag, text);
}

// ---- Structure ----

void TextFormCompiler::Component(bool child) {
    Token start = FLex.Peek();
    if (++FDepth > kMaxNesting) FLex.Error(start.Pos, "components nested deeper than 256 levels");
    bool hasPrefix = false;
    if (FLex.IsPunct(start, '[')) {
        FLex.Next();
        hasPrefix = true;
        Token w = FLex.Next();
        if (!FLex.IsWord(w, "flags"))
            FLex.Error(w.Pos, "expected 'flags' after '[', found " + FLex.Describe(w));
        Token n = FLex.Next();
        int64_t flags = FLex.Integer(n);
        if (flags < 0 || flags > 15) FLex.Error(n.Pos, "flags must be 0 to 15");
        const uint8_t prefix[1] = {static_cast<uint8_t>(0xF0 | flags)};
        FW.WriteRaw(prefix);
        bool hasChildPos = FLex.IsPunct(FLex.Peek(), ',');
        if (hasChildPos) {
            FLex.Next();
            Token c = FLex.Next();
            if (!FLex.IsWord(c, "childpos"))
                FLex.Error(c.Pos, "expected 'childpos' after ',', found " + FLex.Describe(c));
            if (!(flags & ffChildPos)) FLex.Error(c.Pos, "childpos needs flag 2 in flags");
            WriteInt32("child position");
        } else if (flags & ffChildPos) {
            FLex.Error(n.Pos, "flag 2 (child position) in flags needs a childpos");
        }
        FLex.Expect(']', "to close the prefix");
    }
    std::string name = FLex.Name(false, "component name");
    FLex.Expect(':', "after the component name");
    Token classTok = FLex.Peek();
    std::string className = FLex.Name(false, "class name");
    FLex.Expect('{', "after the class name");
    if (!hasPrefix && className.empty() && child)
        FLex.Error(classTok.Pos, "an empty class name needs a [flags] prefix");
    if (!hasPrefix && className.size() >= 0xF0)
        FLex.Error(classTok.Pos, "a class name of 240 bytes or more needs a [flags] prefix");
    FW.WriteStr(className);
    FW.WriteStr(name);

    bool inChildren = false;
    for (;;) {
        const Token& t = FLex.Peek();
        if (FLex.IsPunct(t, '}')) break;
        if (t.Kind == Tok::End)
            FLex.Error(t.Pos, "end of input inside component '" + name + "': '}' is missing");
        bool named = t.Kind == Tok::Word || t.Kind == Tok::Text;
        if (FLex.IsPunct(t, '[') || (named && FLex.IsPunct(FLex.Peek(1), ':'))) {
            if (!inChildren) FW.WriteListEnd();
            inChildren = true;
            Component(true);
        } else if (named && FLex.IsPunct(FLex.Peek(1), '=')) {
            if (inChildren) FLex.Error(t.Pos, "properties must come before child components");
            Property(0);
        } else {
            FLex.Error(t.Pos, "expected a property, a child component or '}', found " + FLex.Describe(t));
        }
    }
    FLex.Next();
    if (!inChildren) FW.WriteListEnd();
    FW.WriteListEnd();
    --FDepth;
}

void TextFormCompiler::Property(int depth) {
    Token t = FLex.Peek();
    std::string path = FLex.Name(true, "property name");
    if (path.empty()) FLex.Error(t.Pos, "property name cannot be empty");
    FLex.Expect('=', "after the property name");
    FW.WritePropName(path);
    Value(depth, false);
}

void TextFormCompiler::Value(int depth, bool inList) {
    Token t = FLex.Peek();
    if (t.Kind == Tok::Number) {
        FW.WriteInteger(FLex.Integer(FLex.Next()));
        return;
    }
    if (t.Kind == Tok::Text) {
        std::string text = FLex.Text("");
        WriteText(TWriter::StringFormFor(text), text, t.Pos);
        return;
    }
    if (FLex.IsPunct(t, '[')) return Set();
    if (FLex.IsPunct(t, '(')) return List(depth);
    if (t.Kind != Tok::Word)
        FLex.Error(t.Pos, std::string(inList ? "expected a value or ')'" : "expected a value") + ", found " +
                              FLex.Describe(t));
    FLex.Next();
    std::string word(FLex.TextOf(t));
    if (word == "True") {
        FW.WriteValue(VT::vaTrue);
    } else if (word == "False") {
        FW.WriteValue(VT::vaFalse);
    } else if (word == "nil") {
        FW.WriteValue(VT::vaNil);
    } else if (word == "Null") {
        if (inList) FLex.Error(t.Pos, "Null cannot appear inside a list: it would end the list");
        FW.WriteValue(VT::vaNull);
    } else if (auto form = IntFormOf(word)) {
        FW.WriteIntegerAs(*form, IntegerOfForm(*form, word.c_str()));
    } else if (word == "string" || word == "lstring" || word == "wstring" || word == "utf8") {
        TValueType tag = word == "string"    ? VT::vaString
                         : word == "lstring" ? VT::vaLString
                         : word == "wstring" ? VT::vaWString
                                             : VT::vaUTF8String;
        size_t pos = FLex.Peek().Pos;
        WriteText(tag, FLex.Text(("after '" + word + "'").c_str()), pos);
    } else if (word == "ident") {
        size_t pos = FLex.Peek().Pos;
        std::string text = FLex.Text("after 'ident'");
        FLex.CheckShort(text, pos, "identifier");
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
        FLex.CheckShort(word, t.Pos, "identifier");
        FW.WriteValue(VT::vaIdent);
        FW.WriteStr(word);
    }
}

void TextFormCompiler::Set() {
    FLex.Next();
    FW.WriteValue(VT::vaSet);
    if (FLex.IsPunct(FLex.Peek(), ']')) {
        FLex.Next();
    } else {
        for (;;) {
            Token t = FLex.Peek();
            std::string element = FLex.Name(true, "set element");
            if (element.empty()) FLex.Error(t.Pos, "set element cannot be empty");
            FW.WriteStr(element);
            Token sep = FLex.Next();
            if (FLex.IsPunct(sep, ']')) break;
            if (!FLex.IsPunct(sep, ','))
                FLex.Error(sep.Pos, "expected ',' or ']' in a set, found " + FLex.Describe(sep));
        }
    }
    FW.WriteStr("");
}

void TextFormCompiler::List(int depth) {
    Token open = FLex.Next();
    if (depth + 1 > kMaxNesting) FLex.Error(open.Pos, "values nested deeper than 256 levels");
    FW.WriteListBegin();
    while (!FLex.IsPunct(FLex.Peek(), ')')) {
        if (FLex.Peek().Kind == Tok::End)
            FLex.Error(FLex.Peek().Pos, "end of input inside a list: ')' is missing");
        Value(depth + 1, true);
    }
    FLex.Next();
    FW.WriteListEnd();
}

void TextFormCompiler::Collection(int depth) {
    Token open = FLex.Expect('(', "after 'collection'");
    if (depth + 1 > kMaxNesting) FLex.Error(open.Pos, "values nested deeper than 256 levels");
    FW.WriteCollectionBegin();
    while (!FLex.IsPunct(FLex.Peek(), ')')) {
        Token t = FLex.Next();
        if (!FLex.IsWord(t, "item"))
            FLex.Error(t.Pos, "expected 'item' or ')' in a collection, found " + FLex.Describe(t));
        if (!FLex.IsPunct(FLex.Peek(), '{')) WriteInt32("an item index");
        FLex.Expect('{', "to open the item");
        FW.WriteListBegin();
        while (!FLex.IsPunct(FLex.Peek(), '}')) {
            const Token& p = FLex.Peek();
            if ((p.Kind != Tok::Word && p.Kind != Tok::Text) || !FLex.IsPunct(FLex.Peek(1), '='))
                FLex.Error(p.Pos,
                           "expected a property or '}' in a collection item, found " + FLex.Describe(p));
            Property(depth + 1);
        }
        FLex.Next();
        FW.WriteListEnd();
    }
    FLex.Next();
    FW.WriteListEnd();
}

void TextFormCompiler::Binary() {
    Token how = FLex.Next();
    if (FLex.IsWord(how, "hex")) {
        std::vector<uint8_t> bytes = FLex.HexText("after 'binary hex'");
        if (bytes.size() > UINT32_MAX) FLex.Error(how.Pos, "binary value larger than 4 GiB");
        FW.WriteBinary(bytes);
    } else if (FLex.IsWord(how, "file")) {
        size_t pos = FLex.Peek().Pos;
        std::filesystem::path path = FBaseDir / std::filesystem::path(FLex.Text("after 'binary file'"));
        std::error_code ec;
        if (!std::filesystem::is_regular_file(path, ec))
            FLex.Error(pos, "binary file '" + path.string() + "' does not exist or is not a regular file");
        uint64_t size = std::filesystem::file_size(path, ec);
        if (ec) FLex.Error(pos, "cannot read binary file '" + path.string() + "': " + ec.message());
        if (size > UINT32_MAX) FLex.Error(pos, "binary file '" + path.string() + "' is larger than 4 GiB");
        uint32_t size32 = static_cast<uint32_t>(size);
        FW.WriteValue(VT::vaBinary);
        uint8_t le[4] = {uint8_t(size32), uint8_t(size32 >> 8), uint8_t(size32 >> 16), uint8_t(size32 >> 24)};
        FW.WriteRaw(le);
        FFiles.push_back({FW.Bytes().size(), std::move(path), size, pos});
    } else {
        FLex.Error(how.Pos, "expected 'hex' or 'file' after 'binary', found " + FLex.Describe(how));
    }
}

// picture KIND WIDTH x HEIGHT "file": a picture file as stored picture data, refused unless its
// headers show the declared kind and size.
void TextFormCompiler::Picture() {
    Token kindToken = FLex.Next();
    if (kindToken.Kind != Tok::Word)
        FLex.Error(kindToken.Pos,
                   "expected a picture kind after 'picture', found " + FLex.Describe(kindToken));
    std::string kind(FLex.TextOf(kindToken));
    Token wt = FLex.Next();
    int64_t width = FLex.Integer(wt);
    Token x = FLex.Next();
    if (!FLex.IsWord(x, "x"))
        FLex.Error(x.Pos, "expected 'x' between a picture's width and height, found " + FLex.Describe(x));
    Token ht = FLex.Next();
    int64_t height = FLex.Integer(ht);
    if (width <= 0 || height <= 0 || width > 65535 || height > 65535)
        FLex.Error(wt.Pos, "picture size out of range");
    size_t pos = FLex.Peek().Pos;
    std::filesystem::path path = FBaseDir / std::filesystem::path(FLex.Text("after the picture's size"));
    std::ifstream in(path, std::ios::binary);
    if (!in) FLex.Error(pos, "cannot open picture file '" + path.string() + "'");
    std::vector<uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::string problem =
        CheckDeclaredPicture(InspectPicture(file), kind, static_cast<int>(width), static_cast<int>(height));
    if (!problem.empty())
        FLex.Error(pos, "picture file '" + path.string() + "' is not " + kind + " " + std::to_string(width) +
                            " x " + std::to_string(height) + ": " + problem);
    std::vector<uint8_t> data = StoredPictureData(file);
    if (data.empty() || data.size() > UINT32_MAX)
        FLex.Error(pos, "picture file '" + path.string() + "' cannot be stored");
    FW.WriteBinary(data);
}

// The structure with the binary files read straight into their places.
std::vector<uint8_t> TextFormCompiler::Assemble() {
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
        std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(f.Path.c_str(), "rb"), &std::fclose);
        if (!file) FLex.Error(f.SourcePos, "cannot open binary file '" + f.Path.string() + "'");
        if (std::fread(out.data() + to, 1, f.Size, file.get()) != f.Size || std::fgetc(file.get()) != EOF)
            FLex.Error(f.SourcePos, "binary file '" + f.Path.string() + "' changed while being read");
        to += f.Size;
    }
    std::memcpy(out.data() + to, structure.data() + from, structure.size() - from);
    return out;
}
