// The stream writer: the forms it picks for integers and texts, the exact bytes of its records, and
// that the reader reads back what it wrote.
#include "stream/Exceptions.h"
#include "stream/TFiler.h"
#include "stream/TReader.h"
#include "stream/TStream.h"
#include "stream/TWriter.h"
#include "tests/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

using namespace orv_test;
using VT = TValueType;

namespace {

template <class Op> std::string StreamErrorOf(Op&& op) {
    try {
        op();
    } catch (const EStreamError& e) {
        return e.Message();
    }
    return "no error";
}

std::vector<uint8_t> Text(std::string_view s) {
    return std::vector<uint8_t>(s.begin(), s.end());
}

} // namespace

TEST(WriterIntegers, NarrowestForm) {
    struct Case {
        int64_t value;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        {0, Bytes({0x02, 0x00})},
        {-1, Bytes({0x02, 0xFF})},
        {127, Bytes({0x02, 0x7F})},
        {-128, Bytes({0x02, 0x80})},
        {128, Bytes({0x03, 0x80, 0x00})},
        {-129, Bytes({0x03, 0x7F, 0xFF})},
        {32767, Bytes({0x03, 0xFF, 0x7F})},
        {-32768, Bytes({0x03, 0x00, 0x80})},
        {32768, Bytes({0x04, 0x00, 0x80, 0x00, 0x00})},
        {-32769, Bytes({0x04, 0xFF, 0x7F, 0xFF, 0xFF})},
        {INT32_MAX, Bytes({0x04, 0xFF, 0xFF, 0xFF, 0x7F})},
        {INT32_MIN, Bytes({0x04, 0x00, 0x00, 0x00, 0x80})},
        {int64_t{INT32_MAX} + 1, Bytes({0x13, 0x00, 0x00, 0x00, 0x80, 0x00, 0x00, 0x00, 0x00})},
        {int64_t{INT32_MIN} - 1, Bytes({0x13, 0xFF, 0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0xFF, 0xFF})},
        {INT64_MIN, Bytes({0x13, 0, 0, 0, 0, 0, 0, 0, 0x80})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("value " + std::to_string(c.value));
        TWriter w;
        w.WriteInteger(c.value);
        EXPECT_EQ(w.Bytes(), c.bytes);
        TMemoryStream stream(w.TakeBytes());
        TReader r(stream);
        EXPECT_EQ(r.ReadInt64(), c.value);
    }
}

TEST(WriterIntegers, ExplicitForms) {
    TWriter w;
    w.WriteIntegerAs(VT::vaInt32, 1);
    w.WriteIntegerAs(VT::vaInt16, -2);
    w.WriteIntegerAs(VT::vaInt64, 3);
    EXPECT_EQ(w.Bytes(),
              Bytes({0x04, 0x01, 0x00, 0x00, 0x00, 0x03, 0xFE, 0xFF, 0x13, 0x03, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(StreamErrorOf([&] { w.WriteIntegerAs(VT::vaString, 1); }), "Not an integer form");
}

TEST(WriterStrings, FormChoice) {
    struct Case {
        std::string text;
        VT form;
        std::vector<uint8_t> bytes;
    };
    const std::string ascii255(255, 'a');
    const std::string ascii256(256, 'a');
    const std::vector<Case> cases = {
        {"abc", VT::vaString, Bytes({0x06, 0x03, 'a', 'b', 'c'})},
        {ascii255, VT::vaString, Concat(Bytes({0x06, 0xFF}), Text(ascii255))},
        {ascii256, VT::vaLString, Concat(Bytes({0x0C, 0x00, 0x01, 0x00, 0x00}), Text(ascii256))},
        // No-break space: 2 UTF-8 bytes, 1 UTF-16 unit; 2 < 2 fails.
        {"\u00A0", VT::vaWString, Bytes({0x12, 0x01, 0x00, 0x00, 0x00, 0xA0, 0x00})},
        {"\u00E9", VT::vaWString, Bytes({0x12, 0x01, 0x00, 0x00, 0x00, 0xE9, 0x00})},
        // The euro sign exists in the 8-bit code page but is not ASCII: 3 bytes against 1 unit.
        {"\u20AC", VT::vaWString, Bytes({0x12, 0x01, 0x00, 0x00, 0x00, 0xAC, 0x20})},
        // 3 bytes against 2 units.
        {"\u00E9a", VT::vaUTF8String, Bytes({0x14, 0x03, 0x00, 0x00, 0x00, 0xC3, 0xA9, 'a'})},
        // "canción": 8 bytes against 7 units.
        {"canci\u00F3n", VT::vaUTF8String,
         Bytes({0x14, 0x08, 0x00, 0x00, 0x00, 'c', 'a', 'n', 'c', 'i', 0xC3, 0xB3, 'n'})},
        // Greek: two bytes per letter, never shorter than twice the units.
        {"\u03B1\u03B2\u03B3", VT::vaWString,
         Bytes({0x12, 0x03, 0x00, 0x00, 0x00, 0xB1, 0x03, 0xB2, 0x03, 0xB3, 0x03})},
        // One Greek letter among ASCII: 6 bytes against 5 units.
        {"\u03A9mega", VT::vaUTF8String,
         Bytes({0x14, 0x06, 0x00, 0x00, 0x00, 0xCE, 0xA9, 'm', 'e', 'g', 'a'})},
        // CJK: 6 bytes against 2 units.
        {"\u6F22\u5B57", VT::vaWString, Bytes({0x12, 0x02, 0x00, 0x00, 0x00, 0x22, 0x6F, 0x57, 0x5B})},
        // A character beyond the BMP: 4 bytes against a surrogate pair.
        {"\U0001F600", VT::vaWString, Bytes({0x12, 0x02, 0x00, 0x00, 0x00, 0x3D, 0xD8, 0x00, 0xDE})},
        {"a\U0001F600", VT::vaUTF8String, Bytes({0x14, 0x05, 0x00, 0x00, 0x00, 'a', 0xF0, 0x9F, 0x98, 0x80})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("text \"" + c.text.substr(0, 20) + "\"");
        EXPECT_EQ(TWriter::StringFormFor(c.text), c.form);
        TWriter w;
        w.WriteString(c.text);
        EXPECT_EQ(w.Bytes(), c.bytes);
        TMemoryStream stream(w.TakeBytes());
        TReader r(stream);
        EXPECT_EQ(r.ReadString(), c.text);
    }
}

TEST(WriterStrings, EmptyTextIsAnEmptyWideString) {
    EXPECT_EQ(TWriter::StringFormFor(""), VT::vaWString);
    TWriter w;
    w.WriteString("");
    // vaWString, count 0.
    EXPECT_EQ(w.Bytes(), Bytes({0x12, 0x00, 0x00, 0x00, 0x00}));
    TMemoryStream stream(w.TakeBytes());
    TReader r(stream);
    EXPECT_EQ(r.ReadString(), "");
    EXPECT_EQ(r.BytesLeft(), 0);
}

TEST(WriterStrings, FormChoiceForLongNonAsciiText) {
    // 300 two-byte letters: 600 bytes against 300 units, so wide.
    std::string enes;
    for (int i = 0; i < 300; ++i)
        enes += "\u00F1";
    EXPECT_EQ(TWriter::StringFormFor(enes), VT::vaWString);
    // 300 ASCII letters and one accented letter: 302 bytes against 301 units, so UTF-8, even though the
    // text is longer than a short string.
    std::string mostlyAscii(300, 'x');
    mostlyAscii += "\u00F1";
    EXPECT_EQ(TWriter::StringFormFor(mostlyAscii), VT::vaUTF8String);
    TWriter w;
    w.WriteString(enes);
    w.WriteString(mostlyAscii);
    TMemoryStream stream(w.TakeBytes());
    TReader r(stream);
    EXPECT_EQ(r.ReadString(), enes);
    EXPECT_EQ(r.ReadString(), mostlyAscii);
}

TEST(WriterStrings, ExplicitForms) {
    TWriter w;
    w.WriteStringAs(VT::vaString, "\u20AC\u00E9");
    w.WriteStringAs(VT::vaLString, "x");
    w.WriteStringAs(VT::vaUTF8String, "ab");
    w.WriteStringAs(VT::vaWString, "a");
    EXPECT_EQ(w.Bytes(), Bytes({0x06, 0x02, 0x80, 0xE9,                     // vaString in the 8-bit code page
                                0x0C, 0x01, 0x00, 0x00, 0x00, 'x',          // vaLString
                                0x14, 0x02, 0x00, 0x00, 0x00, 'a', 'b',     // vaUTF8String
                                0x12, 0x01, 0x00, 0x00, 0x00, 'a', 0x00})); // vaWString

    TWriter bad;
    EXPECT_EQ(StreamErrorOf([&] { bad.WriteStringAs(VT::vaString, "\u6F22"); }),
              "Text has characters outside the 8-bit code page");
    EXPECT_EQ(StreamErrorOf([&] { bad.WriteStringAs(VT::vaLString, "\u0100"); }),
              "Text has characters outside the 8-bit code page");
    EXPECT_EQ(StreamErrorOf([&] { bad.WriteStringAs(VT::vaString, std::string(256, 'a')); }),
              "Text too long for vaString");
    EXPECT_EQ(StreamErrorOf([&] { bad.WriteStringAs(VT::vaIdent, "a"); }), "Not a text form");
    EXPECT_TRUE(bad.Bytes().empty());
}

TEST(WriterExtended, EightyBitLayout) {
    struct Case {
        long double value;
        std::vector<uint8_t> bytes;
    };
    const std::vector<Case> cases = {
        // Mantissa (8 bytes, explicit integer bit), then sign and biased exponent (2 bytes).
        {1.5L, Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0xFF, 0x3F})},
        {-2.25L, Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0x90, 0x00, 0xC0})},
        {0.0L, Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {-0.0L, Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x80})},
        {1.0L, Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x3F})},
        {std::numeric_limits<long double>::infinity(), Bytes({0x05, 0, 0, 0, 0, 0, 0, 0, 0x80, 0xFF, 0x7F})},
        {std::numeric_limits<long double>::denorm_min(), Bytes({0x05, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.value));
        TWriter w;
        w.WriteExtended(c.value);
        EXPECT_EQ(w.Bytes(), c.bytes);
    }
}

TEST(WriterRecords, HeaderPrefixAndWordValues) {
    TWriter w;
    w.WriteSignature();
    w.WriteComponentHeader("TBox", "Box1");
    w.WriteComponentHeader("TBox", "Box2", ffInherited | ffChildPos, 2);
    w.WriteIdent("False");
    w.WriteIdent("True");
    w.WriteIdent("nil");
    w.WriteIdent("Null");
    w.WriteIdent("clRed");
    w.WriteSet({"a", "bc"});
    w.WriteBinary(Bytes({0xDE, 0xAD}));
    EXPECT_EQ(w.Bytes(), Bytes({'T',  'P',  'F',  '0',                                   // signature
                                0x04, 'T',  'B',  'o',  'x',  0x04, 'B',  'o', 'x', '1', // no prefix
                                0xF3, 0x02, 0x02,                                        // prefix, vaInt8 2
                                0x04, 'T',  'B',  'o',  'x',  0x04, 'B',  'o', 'x', '2', //
                                0x08, 0x09, 0x0D, 0x00,                                  // word values
                                0x07, 0x05, 'c',  'l',  'R',  'e',  'd',                 // vaIdent
                                0x0B, 0x01, 'a',  0x02, 'b',  'c',  0x00,                // vaSet
                                0x0A, 0x02, 0x00, 0x00, 0x00, 0xDE, 0xAD}));             // vaBinary

    TWriter bad;
    EXPECT_EQ(StreamErrorOf([&] { bad.WriteStr(std::string(256, 'n')); }),
              "Name too long for a short string: " + std::string(40, 'n'));
}

TEST(WriterRoundTrip, EveryWrittenValueReadsBack) {
    TWriter w;
    w.WriteSignature();
    w.WriteComponentHeader("TPage", "Page1", ffInline, 0);
    w.WritePropName("Tag");
    w.WriteInteger(-70000);
    w.WritePropName("Big");
    w.WriteInteger(int64_t{1} << 50);
    w.WritePropName("Visible");
    w.WriteBoolean(false);
    w.WritePropName("Caption");
    w.WriteString("Lecci\u00F3n \u2116 1");
    w.WritePropName("Align");
    w.WriteIdent("alTop");
    w.WritePropName("Ratio");
    w.WriteExtended(-0.375L);
    w.WritePropName("Scale");
    w.WriteSingle(3.5f);
    w.WritePropName("Price");
    w.WriteCurrency(-15000);
    w.WritePropName("When");
    w.WriteDate(45123.75);
    w.WritePropName("Exact");
    w.WriteDouble(1e-300);
    w.WriteListEnd();
    TMemoryStream stream(w.TakeBytes());
    TReader r(stream);
    r.ReadSignature();
    TFilerFlags flags = 0;
    int childPos = 0;
    r.ReadPrefix(flags, childPos);
    EXPECT_EQ(flags, ffInline);
    EXPECT_EQ(r.ReadStr(), "TPage");
    EXPECT_EQ(r.ReadStr(), "Page1");
    EXPECT_EQ(r.ReadStr(), "Tag");
    EXPECT_EQ(r.ReadInteger(), -70000);
    EXPECT_EQ(r.ReadStr(), "Big");
    EXPECT_EQ(r.ReadInt64(), int64_t{1} << 50);
    EXPECT_EQ(r.ReadStr(), "Visible");
    EXPECT_FALSE(r.ReadBoolean());
    EXPECT_EQ(r.ReadStr(), "Caption");
    EXPECT_EQ(r.ReadString(), "Lecci\u00F3n \u2116 1");
    EXPECT_EQ(r.ReadStr(), "Align");
    EXPECT_EQ(r.ReadIdent(), "alTop");
    EXPECT_EQ(r.ReadStr(), "Ratio");
    EXPECT_EQ(r.ReadFloat(), -0.375L);
    EXPECT_EQ(r.ReadStr(), "Scale");
    EXPECT_EQ(r.ReadSingle(), 3.5f);
    EXPECT_EQ(r.ReadStr(), "Price");
    EXPECT_EQ(r.ReadCurrency(), -15000);
    EXPECT_EQ(r.ReadStr(), "When");
    EXPECT_EQ(r.ReadDate(), 45123.75);
    EXPECT_EQ(r.ReadStr(), "Exact");
    EXPECT_EQ(r.ReadDouble(), 1e-300);
    EXPECT_TRUE(r.EndOfList());
    r.ReadListEnd();
    EXPECT_EQ(r.BytesLeft(), 0);
}
