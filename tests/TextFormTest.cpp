// The text form of definitions: exact round trips with the binary stream, compile semantics and errors,
// and the dump's defences against malformed input.
#include "tools/TextForm.h"

#include "stream/Exceptions.h"
#include "stream/TWriter.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <random>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;
using VT = TValueType;

// A stream whose root TForm1 "Form1" has the properties fill writes and no children.
template <class F> Bytes RootWith(F fill) {
    TWriter w;
    w.WriteSignature(), w.WriteComponentHeader("TForm1", "Form1");
    fill(w);
    w.WriteListEnd(), w.WriteListEnd();
    return w.TakeBytes();
}

void ExpectRoundTrip(const Bytes& bytes) {
    std::string text = DumpTextForm(bytes);
    Bytes again;
    ASSERT_NO_THROW(again = CompileTextForm(text, {})) << text;
    ASSERT_EQ(again, bytes) << text;
    EXPECT_EQ(DumpTextForm(again), text);
}

void ExpectContains(const std::string& text, std::initializer_list<std::string> parts) {
    for (const std::string& part : parts)
        EXPECT_NE(text.find(part), std::string::npos) << part << "\nin:\n" << text;
}

template <class F> std::string ErrorOf(F action) {
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    ADD_FAILURE() << "no error";
    return {};
}
std::string CompileError(const std::string& source, const fs::path& base = {}) {
    return ErrorOf([&] { CompileTextForm(source, base); });
}
std::string DumpError(const Bytes& bytes) {
    return ErrorOf([&] { DumpTextForm(bytes); });
}

void WriteRawValue(TWriter& w, VT tag, Bytes payload) {
    w.WriteValue(tag), w.WriteRaw(payload);
}

struct TempDir {
    fs::path Path = fs::temp_directory_path() / ("orv-textform-" + std::to_string(std::random_device{}()));
    TempDir() { fs::create_directories(Path / "pictures"); }
    ~TempDir() { fs::remove_all(Path); }
    void Write(const fs::path& name, const Bytes& bytes) const {
        std::ofstream(Path / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
};

} // namespace

TEST(TextForm, RoundTripsEveryTagAndForm) {
    Bytes bytes = RootWith([](TWriter& w) {
        for (int64_t v : {int64_t{-129}, int64_t{32767}, int64_t{-32769}, int64_t{INT32_MAX} + 1, INT64_MIN})
            w.WritePropName("I"), w.WriteInteger(v);
        w.WritePropName("Wide16"), w.WriteIntegerAs(VT::vaInt16, 5);
        w.WritePropName("Wide64"), w.WriteIntegerAs(VT::vaInt64, 7);
        for (VT form : {VT::vaString, VT::vaLString, VT::vaWString, VT::vaUTF8String})
            for (const char* text : {"abc", "", "caf\xC3\xA9"})
                w.WritePropName("Forms"), w.WriteStringAs(form, text);
        w.WritePropName("Long"), w.WriteString(std::string(300, 'x'));
        for (const char* id :
             {"clBtnFace", "Form2.Button1", "True", "Null", "int8", "collection", "two words", ""})
            w.WritePropName("Id"), w.WriteValue(VT::vaIdent), w.WriteStr(id);
        for (const char* id : {"True", "False", "nil", "Null"})
            w.WritePropName("Tags"), w.WriteIdent(id);
        w.WritePropName("Set"), w.WriteSet({});
        w.WritePropName("Set"), w.WriteSet({"fsBold", "True", "with space", "a.b"});
        w.WritePropName("Bin"), w.WriteBinary(Bytes{0, 1, 0xFE, 0xFF});
        for (long double v : {1.5L, -0.0L, -HUGE_VALL, std::numeric_limits<long double>::denorm_min()})
            w.WritePropName("Ext"), w.WriteExtended(v);
        for (float v :
             {0.1f, -0.0f, std::numeric_limits<float>::denorm_min(), std::numeric_limits<float>::max(),
              HUGE_VALF, std::numeric_limits<float>::quiet_NaN()})
            w.WritePropName("Sng"), w.WriteSingle(v);
        for (double v : {0.1, -0.0, 1e300, 5e-324, -HUGE_VAL, std::numeric_limits<double>::quiet_NaN()})
            w.WritePropName("Dbl"), w.WriteDouble(v), w.WritePropName("Dat"), w.WriteDate(v);
        for (int64_t v : {int64_t{123456}, int64_t{-1}, int64_t{50000}, INT64_MIN, INT64_MAX})
            w.WritePropName("Cur"), w.WriteCurrency(v);
    });
    ExpectRoundTrip(bytes);
    ExpectContains(DumpTextForm(bytes), {"I = -129\n",
                                         "Wide16 = int16 5\n",
                                         "Wide64 = int64 7\n",
                                         "Forms = lstring \"abc\"\n",
                                         "Forms = string \"\"\n",
                                         "Forms = string \"caf\xC3\xA9\"\n",
                                         "Forms = \"caf\xC3\xA9\"\n",
                                         "Id = Form2.Button1\n",
                                         "Id = ident \"True\"\n",
                                         "Id = ident \"int8\"\n",
                                         "Tags = Null\n",
                                         "Set = [fsBold, True, \"with space\", a.b]\n",
                                         "Bin = binary hex \"0001FEFF\"\n",
                                         "Ext = extended hex \"00000000000000C0FF3F\"\n",
                                         "Sng = single 0.1\n",
                                         "Dbl = double -0\n",
                                         "Dat = date 1e+300\n",
                                         "Dbl = double hex \"000000000000F0FF\"\n",
                                         "Cur = currency 12.3456\n",
                                         "Cur = currency 5\n",
                                         "Cur = currency -922337203685477.5808\n"});
}

TEST(TextForm, CompilesTheWrittenLayoutToTheWriterBytes) {
    TempDir dir;
    Bytes picture(1000);
    for (size_t i = 0; i < picture.size(); ++i)
        picture[i] = static_cast<uint8_t>(i * 7);
    dir.Write("pictures/photo.bin", picture);

    std::string source = R"(# comment to end of line
Form1 : TForm1 {
  Left = 303  # trailing comment
  Caption = "Orvanta " +
    "Software"
  Color = clBtnFace
  Visible = True
  Font.Style = [fsBold, fsItalic]
  Anchors = []
  Items.Strings = (
    "segunda línea"
    ""
    ( 1 int32 2 )
  )
  Panels = collection (
    item { Width = 50 Text = "a" }
    item 3 { Width = 60 }
    item int16 -4 {}
  )
  Picture.Data = binary file "pictures/photo.bin"
  Icon.Data = binary hex "00 01
                          0a0B" + "ff"
  "odd name" = extended 1.5
  Amount = currency -12.5
  [flags 6, childpos int16 2] Label1 : TLabel {
    Caption = "x"
  }
  "" : "T Odd" {}
}
)";
    TWriter w;
    w.WriteSignature(), w.WriteComponentHeader("TForm1", "Form1");
    w.WritePropName("Left"), w.WriteInteger(303);
    w.WritePropName("Caption"), w.WriteString("Orvanta Software");
    w.WritePropName("Color"), w.WriteIdent("clBtnFace");
    w.WritePropName("Visible"), w.WriteBoolean(true);
    w.WritePropName("Font.Style"), w.WriteSet({"fsBold", "fsItalic"});
    w.WritePropName("Anchors"), w.WriteSet({});
    w.WritePropName("Items.Strings"), w.WriteListBegin(), w.WriteString("segunda l\xC3\xADnea"),
        w.WriteString("");
    w.WriteListBegin(), w.WriteInteger(1), w.WriteIntegerAs(VT::vaInt32, 2), w.WriteListEnd(),
        w.WriteListEnd();
    w.WritePropName("Panels"), w.WriteCollectionBegin();
    w.WriteListBegin(), w.WritePropName("Width"), w.WriteInteger(50), w.WritePropName("Text"),
        w.WriteString("a");
    w.WriteListEnd(), w.WriteInteger(3), w.WriteListBegin(), w.WritePropName("Width"), w.WriteInteger(60);
    w.WriteListEnd(), w.WriteIntegerAs(VT::vaInt16, -4), w.WriteListBegin(), w.WriteListEnd(),
        w.WriteListEnd();
    w.WritePropName("Picture.Data"), w.WriteBinary(picture);
    w.WritePropName("Icon.Data"), w.WriteBinary(Bytes{0x00, 0x01, 0x0A, 0x0B, 0xFF});
    w.WritePropName("odd name"), w.WriteExtended(1.5L);
    w.WritePropName("Amount"), w.WriteCurrency(-125000);
    w.WriteListEnd();
    w.WriteRaw(Bytes{0xF6}), w.WriteIntegerAs(VT::vaInt16, 2), w.WriteStr("TLabel"), w.WriteStr("Label1");
    w.WritePropName("Caption"), w.WriteString("x"), w.WriteListEnd(), w.WriteListEnd();
    w.WriteComponentHeader("T Odd", ""), w.WriteListEnd(), w.WriteListEnd();
    w.WriteListEnd();

    EXPECT_EQ(CompileTextForm(source, dir.Path), w.Bytes());
    ExpectRoundTrip(w.Bytes());

    // Values may sit on one line or spread over many; the bytes are the same.
    EXPECT_EQ(
        CompileTextForm("F : T { L = (1 (2 \"x\") [a,b] True) C = collection (item 2 {A=1 B=(3)}) }", {}),
        CompileTextForm("F:T{\nL=(\n1\n(\n2\n\"x\"\n)\n[\na\n,\nb\n]\nTrue\n)\n"
                        "C=collection(\nitem\n2\n{\nA\n=\n1\nB=(3)\n}\n)\n}",
                        {}));
}

TEST(TextForm, RoundTripsPrefixesAndNesting) {
    TWriter w;
    w.WriteSignature();
    w.WriteRaw(Bytes{0xF0}), w.WriteStr("TForm1"), w.WriteStr("Form1"); // flags 0 still has its prefix byte
    w.WritePropName("Items"), w.WriteCollectionBegin(), w.WriteListBegin(), w.WriteListEnd();
    w.WriteIntegerAs(VT::vaInt32, 1), w.WriteListBegin(), w.WritePropName("N"), w.WriteIdent("Null");
    w.WritePropName("Sub"), w.WriteCollectionBegin(), w.WriteInteger(-70000), w.WriteListBegin();
    w.WritePropName("L"), w.WriteListBegin(), w.WriteListBegin(), w.WriteListEnd(), w.WriteListEnd();
    w.WriteListEnd(), w.WriteListEnd(), w.WriteListEnd(), w.WriteListEnd();
    w.WritePropName("NoItems"), w.WriteCollectionBegin(), w.WriteListEnd();
    w.WriteListEnd();
    for (uint8_t flags = 1; flags < 16; ++flags) {
        w.WriteRaw(Bytes{static_cast<uint8_t>(0xF0 | flags)});
        if (flags & ffChildPos) w.WriteIntegerAs(flags & 8 ? VT::vaInt32 : VT::vaInt8, -flags);
        std::string name = flags == 5 ? "" : "C";
        if (flags != 5) name += std::to_string(flags);
        w.WriteStr(flags == 3 ? "" : "TChild"), w.WriteStr(name);
        w.WritePropName("Tag"), w.WriteInteger(flags), w.WriteListEnd();
        if (flags == 4) w.WriteComponentHeader("TGrandChild", "G"), w.WriteListEnd(), w.WriteListEnd();
        w.WriteListEnd();
    }
    // A class name whose length byte looks like a prefix is fine behind a real prefix.
    w.WriteRaw(Bytes{0xF1}), w.WriteStr(std::string(245, 'K')), w.WriteStr("Long"), w.WriteListEnd();
    w.WriteListEnd(), w.WriteListEnd();
    ExpectRoundTrip(w.Bytes());
    ExpectContains(DumpTextForm(w.Bytes()),
                   {"[flags 0] Form1 : TForm1 {\n  Items = collection (\n    item {}\n    item int32 1 {\n"
                    "      N = Null\n      Sub = collection (\n        item -70000 {\n          L = (\n"
                    "            ()\n          )\n",
                    "  NoItems = collection ()\n", "  [flags 10, childpos int32 -10] C10 : TChild {\n",
                    "  [flags 3, childpos -3] C3 : \"\" {\n", "    G : TGrandChild {}\n"});
}

TEST(TextForm, BinaryFromHexAndFromFiles) {
    TempDir dir;
    Bytes big(3 << 20);
    std::mt19937 rng(7);
    for (uint8_t& b : big)
        b = static_cast<uint8_t>(rng());
    dir.Write("pictures/big.bin", big);
    dir.Write("empty.bin", {});

    TWriter w;
    w.WriteSignature(), w.WriteComponentHeader("T", "F");
    w.WritePropName("A"), w.WriteBinary(big), w.WritePropName("B"), w.WriteBinary({});
    w.WritePropName("C"), w.WriteBinary({}), w.WritePropName("D"), w.WriteBinary(big);
    w.WriteListEnd(), w.WriteListEnd();
    Bytes compiled =
        CompileTextForm("F : T {\n  A = binary file \"pictures/big.bin\"\n  B = binary file \"empty.bin\"\n"
                        "  C = binary hex \"\"\n  D = binary file \"pictures/big.bin\"\n}",
                        dir.Path);
    ASSERT_EQ(compiled, w.Bytes());
    ExpectRoundTrip(compiled);

    // Dumped binaries are 64 hex digits a line, indented inside the quotes.
    std::string line;
    for (int i = 0; i < 32; ++i)
        line += "5A";
    ExpectContains(
        DumpTextForm(RootWith([](TWriter& w) { w.WritePropName("P"), w.WriteBinary(Bytes(33, 0x5A)); })),
        {"  P = binary hex \"\n    " + line + "\n    5A\n  \"\n"});
    EXPECT_NE(CompileError("F : T { A = binary file \"missing.bin\" }", dir.Path).find("1:25: binary file"),
              std::string::npos);
}

TEST(TextForm, TextsKeepEveryCharacter) {
    const std::string texts[] = {
        "segunda l\xC3\xADnea, a\xC3\xB1o",                                 // Spanish
        "\xCE\x95\xCE\xBB\xCE\xBB\xCE\xB7\xCE\xBD\xCE\xB9\xCE\xBA\xCE\xAC", // Greek
        "no\xC2\xA0"
        "break",                  // U+00A0
        "smile \xF0\x9F\x98\x80", // a surrogate pair in UTF-16
        "tab\t \"quoted\" back\\slash\r\n\x01\x7F",
        "zero\xE2\x80\x8Bwidth\xEF\xBB\xBF",
        "\xE2\x82\xAC \xC5\x93", // the Windows-1252 upper half
    };
    TWriter w;
    w.WriteSignature(), w.WriteComponentHeader("TForm1", "Form1");
    for (const std::string& t : texts) {
        w.WritePropName("Plain"), w.WriteString(t);
        w.WritePropName("Wide"), w.WriteStringAs(VT::vaWString, t);
        w.WritePropName("Utf8"), w.WriteStringAs(VT::vaUTF8String, t);
    }
    Bytes all8(256);
    for (int i = 0; i < 256; ++i)
        all8[i] = static_cast<uint8_t>(i);
    w.WritePropName("All8"), WriteRawValue(w, VT::vaLString, {0, 1, 0, 0}), w.WriteRaw(all8);
    // A lone surrogate in UTF-16 and bytes that are not UTF-8 at all.
    w.WritePropName("Lone"), WriteRawValue(w, VT::vaWString, {2, 0, 0, 0, 0x00, 0xD8, 0x41, 0x00});
    w.WritePropName("Raw"), WriteRawValue(w, VT::vaUTF8String, {3, 0, 0, 0, 0xFF, 'a', 0xC3});
    w.WritePropName("A\xC3\xB1o"), w.WriteString(std::string(150, 'y') + "\n" + std::string(250, 'z'));
    w.WriteListEnd();
    w.WriteComponentHeader("T\xFFx \"", ""), w.WriteListEnd(), w.WriteListEnd();
    w.WriteListEnd();
    ExpectRoundTrip(w.Bytes());
    ExpectContains(DumpTextForm(w.Bytes()),
                   {"Plain = \"segunda l\xC3\xADnea, a\xC3\xB1o\"", "Wide = \"\xCE\x95\xCE\xBB",
                    "Utf8 = utf8 \"\xCE\x95\xCE\xBB", "Plain = \"no\\u{A0}break\"",
                    "Plain = \"smile \xF0\x9F\x98\x80\"",
                    "\"tab\\t \\\"quoted\\\" back\\\\slash\\r\\n\\u{1}\\u{7F}\"",
                    "zero\\u{200B}width\\u{FEFF}", "Lone = \"\\u{D800}A\"", "Raw = \"\\x{FF}a\\x{C3}\"",
                    "\"A\xC3\xB1o\" = \"yyyy", "\" +\n    \"zzz", "\"\" : \"T\\x{FF}x \\\"\" {}"});

    // Escapes in the source compile to exactly those characters, in the form the writer picks.
    Bytes expected = RootWith([](TWriter& w) {
        w.WritePropName("P"), w.WriteString("a\xC2\xA0"
                                            "b\n\xF0\x9F\x98\x80\\\"");
    });
    EXPECT_EQ(CompileTextForm(R"(Form1 : TForm1 { P = "a\u{A0}b\n\u{1F600}\\\"" })", {}), expected);
}

TEST(TextForm, RandomStreamsRoundTrip) {
    std::mt19937_64 rng(20240611);
    auto pick = [&](size_t n) { return static_cast<size_t>(rng() % n); };
    auto raw = [&](size_t n) {
        Bytes b(n);
        for (uint8_t& x : b)
            x = static_cast<uint8_t>(rng());
        return b;
    };
    const char* pieces[] = {"a",
                            "Z",
                            "_",
                            "9",
                            " ",
                            ".",
                            "\"",
                            "\\",
                            "\n",
                            "\xC3\xB1",
                            "\xE2\x82\xAC",
                            "\xCE\xA9",
                            "\xF0\x9F\x98\x80",
                            "\xC2\xA0",
                            "\x01"};
    auto text = [&](size_t maxLen) {
        std::string s;
        for (size_t n = pick(maxLen + 1); n > 0; --n)
            s += pieces[pick(std::size(pieces))];
        return s;
    };
    auto name = [&] {
        std::string s = text(12);
        return s.empty() ? std::string("N") : s;
    };
    std::function<void(TWriter&, int)> value = [&](TWriter& w, int depth) {
        switch (pick(depth < 4 ? 11 : 9)) {
        case 0:
            if (pick(4)) return w.WriteInteger(static_cast<int64_t>(rng()) >> pick(64));
            return w.WriteIntegerAs(VT::vaInt64, static_cast<int64_t>(rng()) >> pick(64));
        case 1:
            return w.WriteString(text(pick(4) ? 20 : 400));
        case 2:
            return w.WriteStringAs(pick(2) ? VT::vaWString : VT::vaUTF8String, text(30));
        case 3:
            return w.WriteValue(VT::vaIdent), w.WriteStr(name());
        case 4:
            return w.WriteSet(std::vector<std::string>{name(), name()});
        case 5: { // floats and currency of any bits
            static constexpr std::pair<VT, size_t> kForms[] = {{VT::vaExtended, 10},
                                                               {VT::vaDouble, 8},
                                                               {VT::vaDate, 8},
                                                               {VT::vaSingle, 4},
                                                               {VT::vaCurrency, 8}};
            auto [tag, size] = kForms[pick(std::size(kForms))];
            return w.WriteValue(tag), w.WriteRaw(raw(size));
        }
        case 6: { // stored texts of any content: 8-bit bytes, UTF-16 with stray surrogates, bytes that are
                  // not UTF-8
            static constexpr uint16_t kUnits[] = {0x41,   0,      0xA0,   0xD800, 0xDBFF,
                                                  0xDC00, 0xDFFF, 0xFEFF, 0xFFFF};
            auto n = static_cast<uint8_t>(pick(12));
            if (pick(3) == 0) return w.WriteValue(VT::vaString), w.WriteRaw(Bytes{n}), w.WriteRaw(raw(n));
            if (pick(2))
                return w.WriteValue(VT::vaUTF8String), w.WriteRaw(Bytes{n, 0, 0, 0}), w.WriteRaw(raw(n));
            w.WriteValue(VT::vaWString), w.WriteRaw(Bytes{n, 0, 0, 0});
            for (; n > 0; --n) {
                uint16_t u = kUnits[pick(std::size(kUnits))];
                w.WriteRaw(Bytes{static_cast<uint8_t>(u), static_cast<uint8_t>(u >> 8)});
            }
            return;
        }
        case 7:
            return w.WriteBinary(raw(pick(80)));
        case 8:
            return w.WriteIdent(std::array{"True", "False", "nil"}[pick(3)]);
        case 9:
            w.WriteListBegin();
            for (size_t n = pick(4); n > 0; --n)
                value(w, depth + 1);
            return w.WriteListEnd();
        default:
            w.WriteCollectionBegin();
            for (size_t n = pick(3); n > 0; --n) {
                if (pick(2))
                    w.WriteIntegerAs(std::array{VT::vaInt8, VT::vaInt16, VT::vaInt32}[pick(3)], pick(100));
                w.WriteListBegin();
                for (size_t p = pick(3); p > 0; --p)
                    w.WritePropName(name()), value(w, depth + 1);
                w.WriteListEnd();
            }
            return w.WriteListEnd();
        }
    };
    std::function<void(TWriter&, int)> component = [&](TWriter& w, int depth) {
        w.WriteComponentHeader(name(), pick(5) ? name() : "",
                               static_cast<TFilerFlags>(pick(3) ? 0 : pick(16)),
                               static_cast<int>(pick(100000)));
        for (size_t n = pick(5); n > 0; --n)
            w.WritePropName(name()), value(w, 0);
        w.WriteListEnd();
        for (size_t n = depth < 3 ? pick(3) : 0; n > 0; --n)
            component(w, depth + 1);
        w.WriteListEnd();
    };
    for (int i = 0; i < 300 && !HasFatalFailure(); ++i) {
        TWriter w;
        w.WriteSignature();
        component(w, 0);
        ExpectRoundTrip(w.Bytes());
    }
}

TEST(TextForm, SyntaxErrorsNameLineAndColumn) {
    const std::pair<const char*, const char*> cases[] = {
        {"", "1:1: expected a component"},
        {"Form1 : TForm1 {\n  Left = \n}", "3:1: expected a value, found '}'"},
        {"Form1 TForm1 {}", "1:7: expected ':'"},
        {"F : T {\n  Left 5\n}", "2:3: expected a property, a child component or '}'"},
        {"F : T {\n  C = \"never closed\n}", "2:7: quoted text is not closed"},
        {"F : T {\n  C = \"a\nb\" }", "2:9: line break inside a quoted text"},
        {"F : T {\n  C = \"\\q\" }", "2:8: unknown escape '\\q'"},
        {"F : T {\n  C = \"\\u{110000}\" }", "2:8: code point beyond U+10FFFF"},
        {"F : T {\n  L = (1 2\n}", "3:1: expected a value or ')', found '}'"},
        {"F : T {\n  L = 3abc }", "2:7: malformed number"},
        {"F : T {\n  \xC3\xB1 = 1 }", "2:3: unexpected character U+F1"},
        {"F : T { A = 1 }\nG : T {}", "2:1: unexpected 'G' after the root component"},
        {"F : T {\n  A = 1.5 }", "2:7: 1.5 is not an integer"},
        {"F : T { S = [a b] }", "1:16: expected ',' or ']'"},
        {"F : T { C = collection ( thing {} ) }", "1:26: expected 'item' or ')'"},
        {"F : T { B = binary hex \"0g\" }", "1:26: expected a hex digit"},
        {"F : T { B = binary hex \"abc\" }", "1:24: odd number of hex digits"},
        {"F : T {\n  C : TC {}\n  A = 1\n}", "3:3: properties must come before child components"},
        {"F.G : T {}", "1:1: component name 'F.G' cannot contain '.'"},
        {"F : T { C = \"\xC3\" }", "1:14: malformed UTF-8"},
        {"F : T {", "1:8: end of input inside component 'F'"},
    };
    for (const auto& [source, expected] : cases)
        EXPECT_NE(CompileError(source).find(expected), std::string::npos)
            << source << "\nmessage: " << CompileError(source) << "\nexpected: " << expected;
}

TEST(TextForm, RejectsValuesTheStreamCannotHold) {
    const std::pair<std::string, const char*> cases[] = {
        {"F : T { A = int8 128 }", "1:18: 128 does not fit int8"},
        {"F : T { A = 9223372036854775808 }", "1:13: 9223372036854775808 is out of range"},
        {"F : T { A = string \"\xCE\xA9\" }", "1:20: text cannot be stored as string: U+3A9"},
        {"F : T { A = string \"" + std::string(256, 'x') + "\" }", "too long for string"},
        {"F : T { A = wstring \"\\x{FF}\" }", "can only be stored as utf8"},
        {"F : T { A = \"\xE2\x82\xAC\xE2\x82\xAC\xE2\x82\xAC\\x{FF}\" }", "can only be stored as utf8"},
        {"F : T { A = ident \"" + std::string(256, 'x') + "\" }", "identifier is longer than 255 bytes"},
        {"F : T { S = [a, \"\"] }", "1:17: set element cannot be empty"},
        {"F : T { L = (1 Null) }", "1:16: Null cannot appear inside a list"},
        {"[flags 16] F : T {}", "1:8: flags must be 0 to 15"},
        {"[flags 2] F : T {}", "flag 2 (child position) in flags needs a childpos"},
        {"[flags 1, childpos 3] F : T {}", "1:11: childpos needs flag 2"},
        {"F : T { [flags 2, childpos int64 1] C : T {} }", "child position is at most int32"},
        {"F : T { C = collection ( item 3000000000 {} ) }", "an item index must fit int32"},
        {"F : T { \"\" : \"\" {} }", "an empty class name needs a [flags] prefix"},
        {"F : \"" + std::string(240, 'c') + "\" {}", "240 bytes or more needs a [flags] prefix"},
        {"F : T { A = currency 1.23456 }", "at most 4 fraction digits"},
        {"F : T { A = currency 922337203685477.5808 }", "out of range for currency"},
        {"F : T { A = single 1e39 }", "1:20: 1e39 is out of range for single"},
        {"F : T { A = extended hex \"0000\" }", "1:26: extended hex needs exactly 20 hex digits"},
        {"F : T { A = (" + std::string(300, '(') + std::string(301, ')') + " }",
         "values nested deeper than 256"},
    };
    for (const auto& [source, expected] : cases)
        EXPECT_NE(CompileError(source).find(expected), std::string::npos)
            << source.substr(0, 80) << "\nmessage: " << CompileError(source) << "\nexpected: " << expected;

    std::string deep;
    for (int i = 0; i < 300; ++i)
        deep += "C : T {\n";
    EXPECT_NE(CompileError(deep + std::string(300, '}')).find("257:1: components nested deeper than 256"),
              std::string::npos);
    // The limit itself is accepted both ways.
    ExpectRoundTrip(
        CompileTextForm("F : T { A = " + std::string(256, '(') + std::string(256, ')') + " }", {}));
}

TEST(TextForm, DumpRejectsMalformedStreams) {
    EXPECT_EQ(DumpError({}), "Invalid stream format");
    EXPECT_EQ(DumpError({'T', 'P', 'F', '1', 0, 0, 0, 0}), "Invalid stream format");

    // Cut anywhere, a stream is a read error and never a half dump.
    Bytes full = RootWith([](TWriter& w) {
        w.WritePropName("S"), w.WriteString("text"), w.WritePropName("W"),
            w.WriteStringAs(VT::vaWString, "w");
        w.WritePropName("L"), w.WriteListBegin(), w.WriteInteger(70000), w.WriteSet({"a"}), w.WriteListEnd();
        w.WritePropName("C"), w.WriteCollectionBegin(), w.WriteInteger(1), w.WriteListBegin();
        w.WritePropName("D"), w.WriteDouble(1), w.WriteListEnd(), w.WriteListEnd();
        w.WritePropName("B"), w.WriteBinary(Bytes(5)), w.WritePropName("E"), w.WriteExtended(2);
    });
    for (size_t cut = 4; cut < full.size(); ++cut)
        EXPECT_EQ(DumpError(Bytes(full.begin(), full.begin() + static_cast<ptrdiff_t>(cut))),
                  "Stream read error")
            << "cut at " << cut;

    // Length fields far beyond the input are refused before anything is allocated.
    for (VT tag : {VT::vaLString, VT::vaWString, VT::vaUTF8String, VT::vaBinary})
        for (uint8_t top : {0x7F, 0x80, 0xFF})
            EXPECT_EQ(DumpError(RootWith([&](TWriter& w) {
                          w.WritePropName("P"), WriteRawValue(w, tag, {0xFF, 0xFF, 0xFF, top, 'a', 'b'});
                      })),
                      "Stream read error");

    // Tags outside the table, including ones with the high bit set.
    const size_t tagOffset = 4 + 7 + 6 + 2; // signature, class, name, property name "P"
    for (auto [tag, hex] : {std::pair{22, "16"}, {0x2A, "2A"}, {0x82, "82"}, {0xFF, "FF"}})
        EXPECT_EQ(DumpError(RootWith([&](TWriter& w) { w.WritePropName("P"), w.WriteValue(VT(tag)); })),
                  std::string("Unknown value tag 0x") + hex + " at offset " + std::to_string(tagOffset));

    // Nesting too deep for the stack, in values and in components.
    Bytes lists = RootWith([](TWriter& w) {
        w.WritePropName("P");
        for (int i = 0; i < 100000; ++i)
            w.WriteListBegin();
    });
    EXPECT_NE(DumpError(lists).find("Values nested deeper than 256 levels at offset"), std::string::npos);
    TWriter deep;
    deep.WriteSignature();
    for (int i = 0; i < 100000; ++i)
        deep.WriteComponentHeader("T", "C"), deep.WriteListEnd();
    EXPECT_NE(DumpError(deep.Bytes()).find("Components nested deeper than 256 levels"), std::string::npos);

    // Structure errors name where they are.
    EXPECT_EQ(DumpError(RootWith([](TWriter& w) {
                  w.WritePropName("P"), w.WriteCollectionBegin(), w.WriteInteger(1), w.WriteInteger(2);
              })),
              "Expected a collection item at offset " + std::to_string(tagOffset + 3));
    EXPECT_EQ(DumpError({'T', 'P', 'F', '0', 0xF2, 6, 0, 1, 'T', 0, 0, 0}),
              "Expected an integer child position at offset 5");
    Bytes trailing = RootWith([](TWriter&) {});
    trailing.push_back(0);
    EXPECT_EQ(DumpError(trailing), "Unexpected data after the root component at offset 19");
}

TEST(TextForm, MutatedInputFailsCleanlyOrRoundTrips) {
    Bytes seed = CompileTextForm(R"([flags 2, childpos 1] F : T {
  A = (1 int16 2 "tx" [a, b] ())
  B = collection ( item 1 { C = wstring "w\u{D800}" D = single 1.5 } item { } )
  E = binary hex "00FF10"  F = currency 1.5  G = utf8 "u"  H = lstring "l"  I = ident "True"  J = nil
  K : L { M = extended 1 }
})",
                                 {});
    std::string seedText = DumpTextForm(seed);
    std::mt19937 rng(99);
    for (int i = 0; i < 3000; ++i) {
        Bytes bytes = seed;
        for (int n = 1 + rng() % 3; n > 0; --n) {
            auto at = static_cast<ptrdiff_t>(4 + rng() % (bytes.size() - 4));
            if (int how = rng() % 3; how == 0)
                bytes[at] = static_cast<uint8_t>(rng());
            else if (how == 1)
                bytes.erase(bytes.begin() + at);
            else
                bytes.insert(bytes.begin() + at, static_cast<uint8_t>(rng()));
        }
        std::string text;
        try {
            text = DumpTextForm(bytes);
        } catch (const Exception&) {
            continue;
        }
        ASSERT_EQ(CompileTextForm(text, {}), bytes) << text;
    }
    for (int i = 0; i < 3000 && !HasFatalFailure(); ++i) {
        std::string text = seedText;
        for (int n = 1 + rng() % 3; n > 0; --n) {
            static constexpr char kChars[] = "{}()[]=:+,\" \n\\#-.0a9xu";
            if (size_t at = rng() % text.size(); rng() % 2)
                text[at] = kChars[rng() % (sizeof kChars - 1)];
            else
                text.erase(at, 1 + rng() % 4);
        }
        Bytes bytes;
        try {
            bytes = CompileTextForm(text, {});
        } catch (const Exception& e) {
            EXPECT_TRUE(std::isdigit(static_cast<unsigned char>(e.Message()[0])))
                << e.Message(); // line:column
            continue;
        }
        ExpectRoundTrip(bytes);
    }
}
