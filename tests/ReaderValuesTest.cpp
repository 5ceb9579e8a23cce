// The reader's value forms: names, integers, booleans, texts, identifiers, floating point, currency and
// dates; checking a value's tag and skipping a value of every tag.
#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TFiler.h"
#include "stream/TReader.h"
#include "stream/TStream.h"
#include "stream/TWriter.h"
#include "tests/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <utility>
#include <vector>

using namespace orv_test;
using VT = TValueType;

namespace {

const std::string kInvalidValue(SConsts::SInvalidPropertyValue);

// Every tag that accepts does not take is refused by read as an invalid value. Each tag is followed by
// zeros enough for the longest payload, so a tag read wrongly fails on its value rather than on a
// stream that ends too soon.
void ExpectOtherTagsRefused(const std::function<bool(int)>& accepts,
                            const std::function<void(TReader&)>& read) {
    for (int tag = 0; tag < 256; ++tag) {
        if (accepts(tag)) continue;
        SCOPED_TRACE("tag " + std::to_string(tag));
        auto bytes = Bytes({tag, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { read(r); }), kInvalidValue);
    }
}

} // namespace

// ---- Names and integers ----

TEST(ReaderStr, ShortStringsAreUtf8) {
    const std::string longest(255, 'n');
    TWriter w;
    w.WriteStr("Button1");
    w.WriteStr("");
    w.WriteStr("A\u00f1o\u65E5");
    w.WriteStr(longest);
    // Length 2, then a byte that cannot start a UTF-8 sequence and an ASCII letter.
    w.WriteRaw(Bytes({0x02, 0xFF, 'a'}));
    TMemoryStream stream(w.TakeBytes());
    TReader r(stream);
    EXPECT_EQ(r.ReadStr(), "Button1");
    EXPECT_EQ(r.ReadStr(), "");
    EXPECT_EQ(r.ReadStr(), "A\u00f1o\u65E5");
    EXPECT_EQ(r.ReadStr(), longest);
    EXPECT_EQ(r.ReadStr(), "\uFFFDa");
    EXPECT_EQ(r.BytesLeft(), 0);
}

TEST(ReaderIntegers, SignedLittleEndianForms) {
    struct Case {
        std::vector<uint8_t> bytes;
        int32_t value;
    };
    const std::vector<Case> cases = {
        {Bytes({0x02, 0xFF}), -1},
        {Bytes({0x02, 0x7F}), 127},
        {Bytes({0x02, 0x80}), -128},
        {Bytes({0x02, 0x00}), 0},
        {Bytes({0x03, 0xFF, 0x7F}), 32767},
        {Bytes({0x03, 0x00, 0x80}), -32768},
        {Bytes({0x03, 0x34, 0x12}), 0x1234},
        {Bytes({0x03, 0xFF, 0xFF}), -1},
        {Bytes({0x04, 0x78, 0x56, 0x34, 0x12}), 0x12345678},
        {Bytes({0x04, 0xFF, 0xFF, 0xFF, 0x7F}), INT32_MAX},
        {Bytes({0x04, 0x00, 0x00, 0x00, 0x80}), INT32_MIN},
        {Bytes({0x04, 0xFE, 0xFF, 0xFF, 0xFF}), -2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("value " + std::to_string(c.value));
        TCustomMemoryStream stream(c.bytes);
        TReader r(stream);
        EXPECT_EQ(r.ReadInteger(), c.value);
        EXPECT_EQ(r.BytesLeft(), 0);
        TCustomMemoryStream again(c.bytes);
        TReader r64(again);
        EXPECT_EQ(r64.ReadInt64(), int64_t{c.value});
    }
}

TEST(ReaderIntegers, OtherTagsAreInvalid) {
    auto integer = [](int tag) { return tag >= 2 && tag <= 4; };
    ExpectOtherTagsRefused(integer, [](TReader& r) { r.ReadInteger(); });
    ExpectOtherTagsRefused([&](int tag) { return integer(tag) || tag == static_cast<int>(VT::vaInt64); },
                           [](TReader& r) { r.ReadInt64(); });
}

TEST(ReaderIntegers, Int64Form) {
    for (int64_t v : {int64_t{0}, int64_t{-1}, INT64_MIN, INT64_MAX, int64_t{0x0123456789ABCDEF}}) {
        TWriter w;
        w.WriteIntegerAs(VT::vaInt64, v);
        TMemoryStream stream(w.TakeBytes());
        TReader r(stream);
        EXPECT_EQ(r.ReadInt64(), v);
        EXPECT_EQ(r.BytesLeft(), 0);
    }
    // The payload is little-endian: 0x0102030405060708.
    auto bytes = Bytes({0x13, 0x08, 0x07, 0x06, 0x05, 0x04, 0x03, 0x02, 0x01});
    TCustomMemoryStream stream(bytes);
    TReader r(stream);
    EXPECT_EQ(r.ReadInt64(), int64_t{0x0102030405060708});
}

TEST(ReaderBooleans, FalseAndTrueOnly) {
    auto bytes = Bytes({0x08, 0x09});
    TCustomMemoryStream stream(bytes);
    TReader r(stream);
    EXPECT_FALSE(r.ReadBoolean());
    EXPECT_TRUE(r.ReadBoolean());

    // vaInt8 1, vaNil, vaIdent "True", vaNull.
    for (const auto& bad :
         {Bytes({0x02, 0x01}), Bytes({0x0D}), Bytes({0x07, 4, 'T', 'r', 'u', 'e'}), Bytes({0x00})}) {
        TCustomMemoryStream s(bad);
        TReader br(s);
        EXPECT_EQ(ReadErrorOf([&] { br.ReadBoolean(); }), kInvalidValue);
    }
}

// ---- Texts ----

TEST(ReaderStrings, EightBitFormsDecodeAsWindows1252) {
    // vaString: 5 bytes: 'a', 0x80 (euro sign), 0xE9 (e acute), 0x81 (unassigned), 0xFF (y diaeresis).
    auto bytes = Bytes({0x06, 0x05, 'a', 0x80, 0xE9, 0x81, 0xFF});
    // vaString of length 0.
    bytes = Concat(bytes, Bytes({0x06, 0x00}));
    // vaLString: 4-byte length 3: 0x93 (left double quote), 'x', 0x94 (right double quote).
    bytes = Concat(bytes, Bytes({0x0C, 0x03, 0x00, 0x00, 0x00, 0x93, 'x', 0x94}));
    // vaLString of length 0.
    bytes = Concat(bytes, Bytes({0x0C, 0x00, 0x00, 0x00, 0x00}));
    TCustomMemoryStream stream(bytes);
    TReader r(stream);
    EXPECT_EQ(r.ReadString(), "a\u20AC\u00E9\u0081\u00FF");
    EXPECT_EQ(r.ReadString(), "");
    EXPECT_EQ(r.ReadString(), "\u201Cx\u201D");
    EXPECT_EQ(r.ReadString(), "");
    EXPECT_EQ(r.BytesLeft(), 0);

    // A vaLString longer than a short string can be.
    std::string text(70000, 'z');
    text[0] = '\xE9';
    TWriter w;
    w.WriteValue(VT::vaLString);
    w.WriteRaw(LE32(70000));
    w.WriteRaw(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    TMemoryStream longStream(w.TakeBytes());
    TReader lr(longStream);
    EXPECT_EQ(lr.ReadString(), "\u00E9" + std::string(69999, 'z'));
}

TEST(ReaderStrings, WideFormIsUtf16LittleEndian) {
    // vaWString: 5 units: 'A', U+00F1, U+65E5, then U+1F600 as the pair D83D DE00.
    auto bytes =
        Bytes({0x12, 0x05, 0x00, 0x00, 0x00, 'A', 0x00, 0xF1, 0x00, 0xE5, 0x65, 0x3D, 0xD8, 0x00, 0xDE});
    // vaWString with count 0.
    bytes = Concat(bytes, Bytes({0x12, 0x00, 0x00, 0x00, 0x00}));
    // vaWString: a lone high surrogate D800 followed by 'b' is kept as its three-byte form.
    bytes = Concat(bytes, Bytes({0x12, 0x02, 0x00, 0x00, 0x00, 0x00, 0xD8, 'b', 0x00}));
    // vaWString: a NUL unit inside the text is kept.
    bytes = Concat(bytes, Bytes({0x12, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 'c', 0x00}));
    TCustomMemoryStream stream(bytes);
    TReader r(stream);
    EXPECT_EQ(r.ReadString(), "A\u00F1\u65E5\U0001F600");
    EXPECT_EQ(r.ReadString(), "");
    EXPECT_EQ(r.ReadString(), "\xED\xA0\x80"
                              "b");
    EXPECT_EQ(r.ReadString(), std::string("\0c", 2));
    EXPECT_EQ(r.BytesLeft(), 0);
}

TEST(ReaderStrings, Utf8Form) {
    // vaUTF8String: 8 bytes "canción".
    auto bytes = Bytes({0x14, 0x08, 0x00, 0x00, 0x00, 'c', 'a', 'n', 'c', 'i', 0xC3, 0xB3, 'n'});
    // vaUTF8String of length 0.
    bytes = Concat(bytes, Bytes({0x14, 0x00, 0x00, 0x00, 0x00}));
    // vaUTF8String: 'x', a truncated two-byte sequence, 'y'.
    bytes = Concat(bytes, Bytes({0x14, 0x03, 0x00, 0x00, 0x00, 'x', 0xC3, 'y'}));
    TCustomMemoryStream stream(bytes);
    TReader r(stream);
    EXPECT_EQ(r.ReadString(), "canci\u00F3n");
    EXPECT_EQ(r.ReadString(), "");
    EXPECT_EQ(r.ReadString(), "x\uFFFDy");
    EXPECT_EQ(r.BytesLeft(), 0);
}

TEST(ReaderStrings, ListMixingFormsReadsInOrder) {
    TWriter w;
    w.WriteListBegin();
    w.WriteStringAs(VT::vaString, "Intro");
    w.WriteStringAs(VT::vaWString, "\u0395\u03B9\u03C3\u03B1\u03B3\u03C9\u03B3\u03AE");
    w.WriteStringAs(VT::vaUTF8String, "Lecci\u00F3n 2");
    w.WriteStringAs(VT::vaLString, "\u20AC 5");
    w.WriteStringAs(VT::vaWString, "");
    w.WriteStringAs(VT::vaString, "End");
    w.WriteListEnd();
    TMemoryStream stream(w.TakeBytes());
    TReader r(stream);
    std::vector<std::string> items;
    r.ReadListBegin();
    while (!r.EndOfList())
        items.push_back(r.ReadString());
    r.ReadListEnd();
    EXPECT_EQ(items, std::vector<std::string>({"Intro", "\u0395\u03B9\u03C3\u03B1\u03B3\u03C9\u03B3\u03AE",
                                               "Lecci\u00F3n 2", "\u20AC 5", "", "End"}));
}

TEST(ReaderStrings, OtherTagsAreInvalid) {
    ExpectOtherTagsRefused([](int tag) { return tag == 6 || tag == 12 || tag == 18 || tag == 20; },
                           [](TReader& r) { r.ReadString(); });
}

TEST(ReaderIdents, NamesAndWordValues) {
    struct Case {
        std::vector<uint8_t> bytes;
        std::string ident;
    };
    const std::vector<Case> cases = {
        {Bytes({0x07, 0x08, 'a', 'l', 'C', 'l', 'i', 'e', 'n', 't'}), "alClient"},
        {Bytes({0x87, 0x03, 'b', 's', 'X'}), "bsX"}, // the tag's top bit is ignored
        {Bytes({0x07, 0x00}), ""},
        {Bytes({0x07, 0x03, 0xC3, 0xB1, 'o'}), "\u00F1o"},
        {Bytes({0x00}), "Null"},
        {Bytes({0x80}), "Null"},
        {Bytes({0x08}), "False"},
        {Bytes({0x88}), "False"},
        {Bytes({0x09}), "True"},
        {Bytes({0x89}), "True"},
        {Bytes({0x0D}), "nil"},
        {Bytes({0x8D}), "nil"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ident);
        TCustomMemoryStream stream(c.bytes);
        TReader r(stream);
        EXPECT_EQ(r.ReadIdent(), c.ident);
        EXPECT_EQ(r.BytesLeft(), 0);
    }
    ExpectOtherTagsRefused(
        [](int tag) {
            int low = tag & 0x7F;
            return low == 0 || low == 7 || low == 8 || low == 9 || low == 13;
        },
        [](TReader& r) { r.ReadIdent(); });
}

// ---- Floating point, currency and dates ----

TEST(ReaderFloats, ExtendedValuesReadBackExactly) {
    const long double values[] = {1.5L,          -2.25L,      0.0L,        1e300L,   -1e-300L,
                                  1e4000L,       1e-4000L,    1e-4940L,    LDBL_MIN, LDBL_MAX,
                                  LDBL_TRUE_MIN, 1.0L / 3.0L, -123456.789L};
    for (long double v : values) {
        SCOPED_TRACE(std::to_string(static_cast<double>(v)));
        TWriter w;
        w.WriteExtended(v);
        TMemoryStream stream(w.TakeBytes());
        TReader r(stream);
        long double got = r.ReadFloat();
        EXPECT_EQ(got, v);
        EXPECT_EQ(std::signbit(got), std::signbit(v));
        EXPECT_EQ(r.BytesLeft(), 0);
    }
    TWriter w;
    w.WriteExtended(-0.0L);
    w.WriteExtended(std::numeric_limits<long double>::infinity());
    w.WriteExtended(-std::numeric_limits<long double>::infinity());
    w.WriteExtended(std::numeric_limits<long double>::quiet_NaN());
    TMemoryStream stream(w.TakeBytes());
    TReader r(stream);
    long double negZero = r.ReadFloat();
    EXPECT_EQ(negZero, 0.0L);
    EXPECT_TRUE(std::signbit(negZero));
    EXPECT_EQ(r.ReadFloat(), std::numeric_limits<long double>::infinity());
    EXPECT_EQ(r.ReadFloat(), -std::numeric_limits<long double>::infinity());
    EXPECT_TRUE(std::isnan(r.ReadFloat()));
}

TEST(ReaderFloats, ExtendedFromRawBytes) {
    // vaExtended 1.0: mantissa 0x8000000000000000, exponent 0x3FFF.
    auto one = Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F});
    // vaExtended -3.0: mantissa 0xC000000000000000, exponent 0x4000 with the sign bit.
    auto minusThree = Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0x00, 0xC0});
    // vaExtended smallest denormal: mantissa 1, exponent 0.
    auto tiny = Bytes({0x05, 1, 0, 0, 0, 0, 0, 0, 0, 0x00, 0x00});
    auto all = Concat(Concat(one, minusThree), tiny);
    TCustomMemoryStream s(all);
    TReader r(s);
    EXPECT_EQ(r.ReadFloat(), 1.0L);
    EXPECT_EQ(r.ReadFloat(), -3.0L);
    EXPECT_EQ(r.ReadFloat(), LDBL_TRUE_MIN);
}

TEST(ReaderFloats, FallbackForms) {
    TWriter w;
    w.WriteDouble(0.1);               // ReadFloat accepts vaDouble
    w.WriteIntegerAs(VT::vaInt8, -3); // ReadFloat accepts integers
    w.WriteIntegerAs(VT::vaInt64, int64_t{1} << 60);
    w.WriteDouble(-1e-310);                 // ReadDouble: a denormal double keeps its bits
    w.WriteIntegerAs(VT::vaInt32, -100000); // ReadDouble accepts integers
    w.WriteIntegerAs(VT::vaInt64, -(int64_t{1} << 53));
    w.WriteSingle(0.1f);
    w.WriteIntegerAs(VT::vaInt16, 1000); // ReadSingle accepts integers
    w.WriteDate(45000.25);
    w.WriteIntegerAs(VT::vaInt32, 45000); // ReadDate accepts integers
    TMemoryStream stream(w.TakeBytes());
    TReader r(stream);
    EXPECT_EQ(r.ReadFloat(), static_cast<long double>(0.1));
    EXPECT_EQ(r.ReadFloat(), -3.0L);
    EXPECT_EQ(r.ReadFloat(), 1152921504606846976.0L);
    EXPECT_EQ(r.ReadDouble(), -1e-310);
    EXPECT_EQ(r.ReadDouble(), -100000.0);
    EXPECT_EQ(r.ReadDouble(), -9007199254740992.0);
    EXPECT_EQ(r.ReadSingle(), 0.1f);
    EXPECT_EQ(r.ReadSingle(), 1000.0f);
    EXPECT_EQ(r.ReadDate(), 45000.25);
    EXPECT_EQ(r.ReadDate(), 45000.0);
    EXPECT_EQ(r.BytesLeft(), 0);

    // Forms none of them accept: a text, a single to the double reads, a double to the single read.
    struct Bad {
        std::vector<uint8_t> bytes;
        std::function<void(TReader&)> read;
    };
    TWriter text;
    text.WriteString("1.5");
    TWriter single;
    single.WriteSingle(1.5f);
    TWriter dbl;
    dbl.WriteDouble(1.5);
    TWriter ext;
    ext.WriteExtended(1.5L);
    const std::vector<Bad> bad = {
        {text.Bytes(), [](TReader& rd) { rd.ReadFloat(); }},
        {text.Bytes(), [](TReader& rd) { rd.ReadDouble(); }},
        {text.Bytes(), [](TReader& rd) { rd.ReadSingle(); }},
        {text.Bytes(), [](TReader& rd) { rd.ReadDate(); }},
        {text.Bytes(), [](TReader& rd) { rd.ReadCurrency(); }},
        {single.Bytes(), [](TReader& rd) { rd.ReadDouble(); }},
        {single.Bytes(), [](TReader& rd) { rd.ReadFloat(); }},
        {dbl.Bytes(), [](TReader& rd) { rd.ReadSingle(); }},
        {ext.Bytes(), [](TReader& rd) { rd.ReadDouble(); }},
        {dbl.Bytes(), [](TReader& rd) { rd.ReadCurrency(); }},
    };
    for (size_t i = 0; i < bad.size(); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        TCustomMemoryStream s(bad[i].bytes);
        TReader br(s);
        EXPECT_EQ(ReadErrorOf([&] { bad[i].read(br); }), kInvalidValue);
    }
}

TEST(ReaderCurrency, FixedPointFormAndIntegerScaling) {
    TWriter w;
    w.WriteCurrency(12345678); // 1234.5678, returned in its fixed-point form
    w.WriteCurrency(INT64_MIN);
    w.WriteIntegerAs(VT::vaInt8, 3); // integers are whole units
    w.WriteIntegerAs(VT::vaInt32, -7);
    w.WriteIntegerAs(VT::vaInt64, 922337203685477); // the largest whole amount that fits
    TMemoryStream stream(w.TakeBytes());
    TReader r(stream);
    EXPECT_EQ(r.ReadCurrency(), 12345678);
    EXPECT_EQ(r.ReadCurrency(), INT64_MIN);
    EXPECT_EQ(r.ReadCurrency(), 30000);
    EXPECT_EQ(r.ReadCurrency(), -70000);
    EXPECT_EQ(r.ReadCurrency(), int64_t{9223372036854770000});
    EXPECT_EQ(r.BytesLeft(), 0);

    // vaCurrency payload is little-endian: 0x10000 units.
    auto bytes = Bytes({0x10, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00});
    TCustomMemoryStream s(bytes);
    TReader br(s);
    EXPECT_EQ(br.ReadCurrency(), 65536);
}

// ---- CheckValue ----

TEST(ReaderCheckValue, MatchingTagIsConsumed) {
    TWriter w;
    w.WriteListBegin();
    w.WriteInteger(4);
    w.WriteListEnd();
    w.WriteValue(VT::vaNil);
    TMemoryStream stream(w.TakeBytes());
    TReader r(stream);
    r.CheckValue(VT::vaList);
    EXPECT_EQ(r.ReadInteger(), 4);
    r.ReadListEnd();
    r.CheckValue(VT::vaNil);
    EXPECT_EQ(r.BytesLeft(), 0);
}

TEST(ReaderCheckValue, MismatchSkipsTheWholeValueAndLeavesTheReaderBehindIt) {
    struct Case {
        const char* what;
        std::function<void(TWriter&)> write;
        TValueType expected;
    };
    const std::vector<Case> cases = {
        {"integer for a list", [](TWriter& w) { w.WriteIntegerAs(VT::vaInt16, 300); }, VT::vaList},
        {"nested list for an integer",
         [](TWriter& w) {
             w.WriteListBegin();
             w.WriteListBegin();
             w.WriteStringAs(VT::vaString, std::string_view("\x00\x02\x01", 3));
             w.WriteListEnd();
             w.WriteBinary(Bytes({0, 0, 1}));
             w.WriteListEnd();
         },
         VT::vaInt8},
        {"long text for a short one",
         [](TWriter& w) { w.WriteStringAs(VT::vaLString, std::string(300, '\x02')); }, VT::vaString},
        {"collection for a list", [](TWriter& w) { WriteSampleCollection(w); }, VT::vaList},
        {"end of list for a list", [](TWriter& w) { w.WriteListEnd(); }, VT::vaList},
        {"set for a list",
         [](TWriter& w) {
             w.WriteSet({"a", "bc"});
         },
         VT::vaList},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TWriter w;
        c.write(w);
        std::vector<uint8_t> bytes = WithSentinel(w);
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { r.CheckValue(c.expected); }), kInvalidValue);
        EXPECT_EQ(r.ReadInteger(), kSentinel);
        EXPECT_EQ(r.BytesLeft(), 0);
    }
}

// ---- SkipValue ----

TEST(ReaderSkipValue, StepsOverExactlyOneValueOfEveryTag) {
    struct Case {
        const char* what;
        std::function<void(TWriter&)> write;
    };
    const std::vector<Case> cases = {
        {"null", [](TWriter& w) { w.WriteValue(VT::vaNull); }},
        {"empty list",
         [](TWriter& w) {
             w.WriteListBegin();
             w.WriteListEnd();
         }},
        {"list of mixed values",
         [](TWriter& w) {
             w.WriteListBegin();
             w.WriteInteger(1);
             w.WriteStringAs(VT::vaString, std::string_view("\x00\x01", 2));
             w.WriteBinary(Filler(5, 0));
             w.WriteIdent("x");
             w.WriteListEnd();
         }},
        {"nested lists",
         [](TWriter& w) {
             w.WriteListBegin();
             w.WriteListBegin();
             w.WriteListBegin();
             w.WriteInteger(70000);
             w.WriteListEnd();
             w.WriteListEnd();
             w.WriteListBegin();
             w.WriteListEnd();
             w.WriteSet({"a"});
             w.WriteListEnd();
         }},
        {"int8", [](TWriter& w) { w.WriteIntegerAs(VT::vaInt8, 0); }},
        {"int16", [](TWriter& w) { w.WriteIntegerAs(VT::vaInt16, 0); }},
        {"int32", [](TWriter& w) { w.WriteIntegerAs(VT::vaInt32, 0x01010101); }},
        {"extended", [](TWriter& w) { w.WriteExtended(-2.25L); }},
        {"string", [](TWriter& w) { w.WriteStringAs(VT::vaString, "hello"); }},
        {"empty string", [](TWriter& w) { w.WriteStringAs(VT::vaString, ""); }},
        {"string of 255", [](TWriter& w) { w.WriteStringAs(VT::vaString, std::string(255, '\x01')); }},
        {"ident", [](TWriter& w) { w.WriteIdent("clRed"); }},
        {"false", [](TWriter& w) { w.WriteBoolean(false); }},
        {"true", [](TWriter& w) { w.WriteBoolean(true); }},
        {"binary", [](TWriter& w) { w.WriteBinary(Filler(300, 0x00)); }},
        {"empty binary", [](TWriter& w) { w.WriteBinary({}); }},
        {"set",
         [](TWriter& w) {
             w.WriteSet({"akLeft", "akTop", "akRight"});
         }},
        {"empty set", [](TWriter& w) { w.WriteSet({}); }},
        {"lstring", [](TWriter& w) { w.WriteStringAs(VT::vaLString, std::string(300, '\x00')); }},
        {"nil", [](TWriter& w) { w.WriteIdent("nil"); }},
        {"empty collection",
         [](TWriter& w) {
             w.WriteCollectionBegin();
             w.WriteListEnd();
         }},
        {"collection with and without indices", [](TWriter& w) { WriteSampleCollection(w); }},
        {"collection with int16 indices",
         [](TWriter& w) {
             w.WriteCollectionBegin();
             for (int i : {1000, 1001}) {
                 w.WriteIntegerAs(VT::vaInt16, i);
                 w.WriteListBegin();
                 w.WritePropName("Data");
                 w.WriteBinary(Filler(3, 0));
                 w.WritePropName("Flags");
                 w.WriteSet({"a"});
                 w.WriteListEnd();
             }
             w.WriteListEnd();
         }},
        {"single", [](TWriter& w) { w.WriteSingle(0.5f); }},
        {"currency", [](TWriter& w) { w.WriteCurrency(-1); }},
        {"date", [](TWriter& w) { w.WriteDate(45000.5); }},
        {"wstring", [](TWriter& w) { w.WriteStringAs(VT::vaWString, "\u0100\U0001F600"); }},
        {"empty wstring", [](TWriter& w) { w.WriteStringAs(VT::vaWString, ""); }},
        {"int64", [](TWriter& w) { w.WriteIntegerAs(VT::vaInt64, 0); }},
        {"utf8string", [](TWriter& w) { w.WriteStringAs(VT::vaUTF8String, "canci\u00F3n"); }},
        {"double", [](TWriter& w) { w.WriteDouble(0.0); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TWriter w;
        c.write(w);
        std::vector<uint8_t> bytes = WithSentinel(w);
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        r.SkipValue();
        EXPECT_EQ(r.ReadInteger(), kSentinel);
        EXPECT_EQ(r.BytesLeft(), 0);
    }
}

TEST(ReaderSkipValue, TagsBeyondTheTableCarryNoPayload) {
    std::vector<int> wrong;
    for (int tag = kLastValueType + 1; tag < 0x80; ++tag) {
        // The tag, then vaInt16 kSentinel.
        auto bytes = Bytes({tag, 0x03, kSentinel & 0xFF, kSentinel >> 8});
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        std::string outcome = ReadErrorOf([&] {
            r.SkipValue();
            if (r.ReadInteger() != kSentinel) throw EReadError("wrong sentinel");
        });
        if (outcome != "no error") wrong.push_back(tag);
    }
    EXPECT_EQ(wrong, std::vector<int>());
}

TEST(ReaderSkipValue, TheTopBitOfATagIsIgnored) {
    // 0x82 skips as vaInt8 (one payload byte), 0x86 as vaString; the sentinel after them reads intact.
    auto bytes = Bytes({0x82, 0x7F, 0x86, 0x01, 'x', 0x03, kSentinel & 0xFF, kSentinel >> 8});
    TCustomMemoryStream stream(bytes);
    TReader r(stream);
    r.SkipValue();
    r.SkipValue();
    EXPECT_EQ(r.ReadInteger(), kSentinel);
}
