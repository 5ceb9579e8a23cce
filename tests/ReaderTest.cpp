// The reader's primitive operations: buffering against its source, every value form, skipping, and its
// behaviour on truncated, oversized and hostile input.
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
#include <span>
#include <string>
#include <utility>
#include <vector>

using namespace orv_test;
using VT = TValueType;

namespace {

const std::string kReadError(SConsts::SReadError);
const std::string kInvalidImage(SConsts::SInvalidImage);
const std::string kInvalidValue(SConsts::SInvalidPropertyValue);

// A value that every skip test writes after the value under test; reading it back proves the skip
// stopped exactly at the value's end.
constexpr int kSentinel = 0x5A5A;

std::vector<uint8_t> Filler(size_t n, uint8_t byte) {
    return std::vector<uint8_t>(n, byte);
}

// A collection of three items: one with an int8 index and two properties (one of them a nested
// collection holding a list), one with an int32 index, and one without index or properties.
void WriteSampleCollection(TWriter& w) {
    w.WriteCollectionBegin();
    w.WriteIntegerAs(VT::vaInt8, 0);
    w.WriteListBegin();
    w.WritePropName("Caption");
    w.WriteString("First");
    w.WritePropName("Items");
    w.WriteCollectionBegin();
    w.WriteListBegin();
    w.WritePropName("Tags");
    w.WriteListBegin();
    w.WriteString("a");
    w.WriteInteger(70000);
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteIntegerAs(VT::vaInt32, 1);
    w.WriteListBegin();
    w.WritePropName("Width");
    w.WriteInteger(-3);
    w.WriteListEnd();
    w.WriteListBegin();
    w.WriteListEnd();
    w.WriteListEnd();
}

// One value of each of the 22 tags, in tag order, behind a signature and a record header with a prefix.
constexpr int kEveryKindValues = 22;

std::vector<uint8_t> EveryKindStream() {
    TWriter w;
    w.WriteSignature();
    w.WriteComponentHeader("TBox", "Box1", ffInline | ffChildPos, 300);
    w.WriteValue(VT::vaNull);
    w.WriteListBegin();
    w.WriteInteger(1);
    w.WriteString("x");
    w.WriteListBegin();
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteIntegerAs(VT::vaInt8, -5);
    w.WriteIntegerAs(VT::vaInt16, 1000);
    w.WriteIntegerAs(VT::vaInt32, -100000);
    w.WriteExtended(1.5L);
    w.WriteStringAs(VT::vaString, "h\u00e9llo");
    w.WriteIdent("alClient");
    w.WriteBoolean(false);
    w.WriteBoolean(true);
    w.WriteBinary(Bytes({1, 0, 2}));
    w.WriteSet({"akLeft", "akTop"});
    w.WriteStringAs(VT::vaLString, "long");
    w.WriteIdent("nil");
    WriteSampleCollection(w);
    w.WriteSingle(0.5f);
    w.WriteCurrency(12345);
    w.WriteDate(45000.5);
    w.WriteStringAs(VT::vaWString, "\u03A9x\U0001F600");
    w.WriteIntegerAs(VT::vaInt64, int64_t{1} << 40);
    w.WriteStringAs(VT::vaUTF8String, "canci\u00f3n");
    w.WriteDouble(0.1);
    return w.TakeBytes();
}

// Reads EveryKindStream() with the typed operations, checking every value.
void ReadEveryKindTyped(TReader& r) {
    r.ReadSignature();
    TFilerFlags flags = 0;
    int childPos = -1;
    r.ReadPrefix(flags, childPos);
    EXPECT_EQ(flags, ffInline | ffChildPos);
    EXPECT_EQ(childPos, 300);
    EXPECT_EQ(r.ReadStr(), "TBox");
    EXPECT_EQ(r.ReadStr(), "Box1");
    EXPECT_EQ(r.ReadIdent(), "Null");
    r.ReadListBegin();
    EXPECT_EQ(r.ReadInteger(), 1);
    EXPECT_EQ(r.ReadString(), "x");
    r.ReadListBegin();
    r.ReadListEnd();
    r.ReadListEnd();
    EXPECT_EQ(r.ReadInteger(), -5);
    EXPECT_EQ(r.ReadInteger(), 1000);
    EXPECT_EQ(r.ReadInteger(), -100000);
    EXPECT_EQ(r.ReadFloat(), 1.5L);
    EXPECT_EQ(r.ReadString(), "h\u00e9llo");
    EXPECT_EQ(r.ReadIdent(), "alClient");
    EXPECT_FALSE(r.ReadBoolean());
    EXPECT_TRUE(r.ReadBoolean());
    r.CheckValue(VT::vaBinary);
    uint8_t len[4];
    r.Read(len, 4);
    EXPECT_EQ(len[0], 3);
    uint8_t data[3];
    r.Read(data, 3);
    EXPECT_EQ(std::vector<uint8_t>(data, data + 3), Bytes({1, 0, 2}));
    r.CheckValue(VT::vaSet);
    EXPECT_EQ(r.ReadStr(), "akLeft");
    EXPECT_EQ(r.ReadStr(), "akTop");
    EXPECT_EQ(r.ReadStr(), "");
    EXPECT_EQ(r.ReadString(), "long");
    EXPECT_EQ(r.ReadIdent(), "nil");
    r.CheckValue(VT::vaCollection);
    EXPECT_EQ(r.ReadInteger(), 0);
    r.ReadListBegin();
    EXPECT_EQ(r.ReadStr(), "Caption");
    EXPECT_EQ(r.ReadString(), "First");
    EXPECT_EQ(r.ReadStr(), "Items");
    r.CheckValue(VT::vaCollection);
    r.ReadListBegin();
    EXPECT_EQ(r.ReadStr(), "Tags");
    r.ReadListBegin();
    EXPECT_EQ(r.ReadString(), "a");
    EXPECT_EQ(r.ReadInteger(), 70000);
    r.ReadListEnd();
    r.ReadListEnd();
    r.ReadListEnd();
    r.ReadListEnd();
    EXPECT_EQ(r.ReadInteger(), 1);
    r.ReadListBegin();
    EXPECT_EQ(r.ReadStr(), "Width");
    EXPECT_EQ(r.ReadInteger(), -3);
    r.ReadListEnd();
    r.ReadListBegin();
    r.ReadListEnd();
    r.ReadListEnd();
    EXPECT_EQ(r.ReadSingle(), 0.5f);
    EXPECT_EQ(r.ReadCurrency(), 12345);
    EXPECT_EQ(r.ReadDate(), 45000.5);
    EXPECT_EQ(r.ReadString(), "\u03A9x\U0001F600");
    EXPECT_EQ(r.ReadInt64(), int64_t{1} << 40);
    EXPECT_EQ(r.ReadString(), "canci\u00f3n");
    EXPECT_EQ(r.ReadDouble(), 0.1);
}

// Reads EveryKindStream() by skipping every value after the record header.
void ReadEveryKindSkipping(TReader& r) {
    r.ReadSignature();
    TFilerFlags flags = 0;
    int childPos = 0;
    r.ReadPrefix(flags, childPos);
    r.ReadStr();
    r.ReadStr();
    for (int i = 0; i < kEveryKindValues; ++i)
        r.SkipValue();
}

std::vector<uint8_t> WithSentinel(const TWriter& w) {
    TWriter tail;
    tail.WriteInteger(kSentinel);
    return Concat(w.Bytes(), tail.Bytes());
}

std::vector<uint8_t> LE32(uint32_t v) {
    return Bytes({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF), static_cast<int>(v >> 24)});
}

} // namespace

// ---- Buffering ----

TEST(ReaderBuffer, RefillsOnlyWhenExhaustedWithOneReadOfTheBufferSize) {
    TWriter w;
    w.WriteInteger(7);
    w.WriteBinary(Filler(6000, 0xAB));
    w.WriteInteger(9);
    TChunkedStream stream(w.TakeBytes(), SIZE_MAX); // 2 + 6005 + 2 = 6009 bytes

    TReader r(stream);
    EXPECT_EQ(r.ReadInteger(), 7);
    EXPECT_EQ(stream.Requests, std::vector<size_t>({4096}));
    EXPECT_EQ(stream.Position(), 4096);
    r.SkipValue();
    EXPECT_EQ(r.ReadInteger(), 9);
    EXPECT_EQ(stream.Requests, std::vector<size_t>({4096, 4096}));
    EXPECT_EQ(ReadErrorOf([&] { r.ReadInteger(); }), kReadError);
    EXPECT_EQ(stream.Requests, std::vector<size_t>({4096, 4096, 4096}));
}

TEST(ReaderBuffer, StreamSizeIsLearntOnceWhateverTheNumberOfLongValues) {
    auto seeksFor = [](int values) {
        TWriter w;
        for (int i = 0; i < values; ++i) {
            w.WriteStringAs(TValueType::vaUTF8String, std::string(300, 'a'));
            w.WriteBinary(Filler(5000, 0x5A));
        }
        TChunkedStream stream(w.TakeBytes(), SIZE_MAX);
        int beforeEnd;
        {
            TReader r(stream);
            for (int i = 0; i < values; ++i) {
                EXPECT_EQ(r.ReadString(), std::string(300, 'a'));
                r.SkipValue();
            }
            // A length beyond what is left is still refused.
            EXPECT_EQ(r.BytesLeft(), 0);
            beforeEnd = stream.Seeks;
        }
        EXPECT_EQ(stream.Position(), stream.Size());
        return beforeEnd;
    };
    const int few = seeksFor(2);
    EXPECT_LE(few, 4);
    EXPECT_EQ(seeksFor(60), few);
}

TEST(ReaderBuffer, RefillDeliveringNothingIsAReadError) {
    {
        TMemoryStream empty;
        TReader r(empty);
        EXPECT_EQ(ReadErrorOf([&] { r.ReadValue(); }), kReadError);
    }
    {
        // vaInt16 whose second payload byte is missing.
        auto bytes = Bytes({0x03, 0x01});
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { r.ReadInteger(); }), kReadError);
    }
    {
        // A list that is never closed: the end-of-list test must fail rather than loop.
        auto bytes = Bytes({0x01, 0x02, 0x05});
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        r.ReadListBegin();
        EXPECT_EQ(ReadErrorOf([&] {
                      while (!r.EndOfList())
                          r.ReadInteger();
                  }),
                  kReadError);
    }
}

TEST(ReaderBuffer, FailedRefillLeavesTheReaderConsistent) {
    // vaInt8 5, then nothing.
    auto bytes = Bytes({0x02, 0x05});
    TCustomMemoryStream stream(bytes);
    TReader r(stream);
    EXPECT_EQ(r.ReadInteger(), 5);
    EXPECT_EQ(ReadErrorOf([&] { r.ReadInteger(); }), kReadError);
    // Nothing is left; a reader that still counts its stale buffer would read freed-up garbage next.
    ASSERT_EQ(r.BytesLeft(), 0);
    EXPECT_EQ(ReadErrorOf([&] { r.ReadInteger(); }), kReadError);
    EXPECT_EQ(ReadErrorOf([&] { r.SkipValue(); }), kReadError);
}

TEST(ReaderBuffer, PeekingDoesNotConsume) {
    TWriter w;
    w.WriteListBegin();
    w.WriteInteger(-1);
    w.WriteListEnd();
    TMemoryStream stream(w.TakeBytes());
    TReader r(stream);
    EXPECT_EQ(r.NextValue(), VT::vaList);
    EXPECT_EQ(r.NextValue(), VT::vaList);
    EXPECT_FALSE(r.EndOfList());
    r.ReadListBegin();
    EXPECT_EQ(r.NextValue(), VT::vaInt8);
    EXPECT_FALSE(r.EndOfList());
    EXPECT_EQ(r.ReadInteger(), -1);
    EXPECT_TRUE(r.EndOfList());
    EXPECT_TRUE(r.EndOfList());
    EXPECT_EQ(r.BytesLeft(), 1);
    r.ReadListEnd();
    EXPECT_EQ(r.BytesLeft(), 0);
}

TEST(ReaderBuffer, DestroyingTheReaderLeavesTheStreamBehindTheLastByteUsed) {
    TWriter w;
    w.WriteInteger(1);      // 2 bytes
    w.WriteInteger(300);    // 3 bytes
    w.WriteString("abc");   // 5 bytes
    w.WriteInteger(100000); // 5 bytes
    std::vector<uint8_t> bytes = w.TakeBytes();

    {
        TMemoryStream stream(bytes);
        {
            TReader r(stream);
            EXPECT_EQ(r.ReadInteger(), 1);
            EXPECT_EQ(r.ReadInteger(), 300);
        }
        EXPECT_EQ(stream.Position(), 5);
        {
            // A second reader continues exactly where the first one stopped.
            TReader r(stream);
            EXPECT_EQ(r.ReadString(), "abc");
            EXPECT_EQ(r.NextValue(), VT::vaInt32); // peeking is not using
        }
        EXPECT_EQ(stream.Position(), 10);
        {
            TReader r(stream);
            EXPECT_EQ(r.ReadInteger(), 100000);
        }
        EXPECT_EQ(stream.Position(), 15);
    }
    {
        // The reader starts wherever the stream stands.
        TCustomMemoryStream stream(bytes);
        stream.SetPosition(2);
        {
            TReader r(stream);
            EXPECT_EQ(r.ReadInteger(), 300);
        }
        EXPECT_EQ(stream.Position(), 5);
    }
    {
        // Only a look at the next tag and an absent prefix: nothing is used.
        TCustomMemoryStream stream(bytes);
        {
            TReader r(stream);
            TFilerFlags flags = 0;
            int childPos = 0;
            r.ReadPrefix(flags, childPos);
            EXPECT_FALSE(r.EndOfList());
        }
        EXPECT_EQ(stream.Position(), 0);
    }
    {
        // A source that hands out 7 bytes at a time.
        TChunkedStream stream(bytes);
        {
            TReader r(stream);
            EXPECT_EQ(r.ReadInteger(), 1);
            EXPECT_EQ(r.ReadInteger(), 300);
            EXPECT_EQ(r.ReadString(), "abc");
        }
        EXPECT_EQ(stream.Position(), 10);
    }
}

TEST(ReaderBuffer, ValuesStraddlingTheBufferBoundaryReadIntact) {
    const std::string longText(300, 'L');
    // The first value after the filler starts at every offset from 4060 to 4100, so each value of the
    // sequence crosses the 4096-byte boundary at some offset and at every byte position of its own.
    for (size_t start = 4060; start <= 4100; ++start) {
        SCOPED_TRACE("first value at offset " + std::to_string(start));
        TWriter w;
        w.WriteBinary(Filler(start - 5, 0x01));
        w.WriteStringAs(VT::vaString, "straddling text");
        w.WriteIntegerAs(VT::vaInt32, -123456789);
        w.WriteDouble(-0.1);
        w.WriteExtended(-2.25L);
        w.WriteStringAs(VT::vaWString, "\u65E5\u672C\U0001F600");
        w.WriteIntegerAs(VT::vaInt16, -2);
        w.WriteIdent("taRightJustify");
        w.WriteIntegerAs(VT::vaInt64, INT64_MIN);
        w.WriteStringAs(VT::vaLString, longText);
        w.WriteSingle(0.25f);
        std::vector<uint8_t> bytes = w.TakeBytes();
        TCustomMemoryStream stream(bytes);
        {
            TReader r(stream);
            r.SkipValue();
            EXPECT_EQ(r.ReadString(), "straddling text");
            EXPECT_EQ(r.ReadInteger(), -123456789);
            EXPECT_EQ(r.ReadDouble(), -0.1);
            EXPECT_EQ(r.ReadFloat(), -2.25L);
            EXPECT_EQ(r.ReadString(), "\u65E5\u672C\U0001F600");
            EXPECT_EQ(r.ReadInteger(), -2);
            EXPECT_EQ(r.ReadIdent(), "taRightJustify");
            EXPECT_EQ(r.ReadInt64(), INT64_MIN);
            EXPECT_EQ(r.ReadString(), longText);
            EXPECT_EQ(r.ReadSingle(), 0.25f);
            EXPECT_EQ(r.BytesLeft(), 0);
        }
        EXPECT_EQ(stream.Position(), static_cast<int64_t>(bytes.size()));
    }
}

TEST(ReaderBuffer, SourceDeliveringFewerBytesThanAskedReadsCorrectly) {
    std::vector<uint8_t> bytes = EveryKindStream();
    TChunkedStream stream(bytes);
    {
        TReader r(stream);
        ReadEveryKindTyped(r);
        EXPECT_EQ(r.BytesLeft(), 0);
    }
    EXPECT_EQ(stream.Position(), static_cast<int64_t>(bytes.size()));
    // Every pull from the source asked for a full buffer.
    for (size_t request : stream.Requests)
        EXPECT_EQ(request, 4096u);

    // A 6000-byte text crosses a buffer refill and many short deliveries.
    TWriter w;
    w.WriteStringAs(VT::vaLString, std::string(6000, 'q'));
    w.WriteInteger(kSentinel);
    TChunkedStream longStream(w.TakeBytes());
    TReader r(longStream);
    EXPECT_EQ(r.ReadString(), std::string(6000, 'q'));
    EXPECT_EQ(r.ReadInteger(), kSentinel);
}

// ---- Signature and prefix ----

TEST(ReaderSignature, AcceptsTheSignatureAndUsesExactlyFourBytes) {
    TWriter w;
    w.WriteSignature();
    w.WriteInteger(12);
    TMemoryStream stream(w.TakeBytes());
    TReader r(stream);
    r.ReadSignature();
    EXPECT_EQ(r.ReadInteger(), 12);
}

TEST(ReaderSignature, ShortStreamsAreReadErrorsAndOtherBytesAreNoStream) {
    // Fewer than four bytes: the signature is read through the buffer like any other bytes.
    for (size_t n = 0; n < 4; ++n) {
        SCOPED_TRACE("stream of " + std::to_string(n) + " bytes");
        std::vector<uint8_t> bytes(std::string_view("TPF0").substr(0, n).begin(),
                                   std::string_view("TPF0").substr(0, n).end());
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { r.ReadSignature(); }), kReadError);
    }
    const std::vector<std::vector<uint8_t>> bad = {
        Bytes({'T', 'P', 'F', '1'}),
        Bytes({'t', 'p', 'f', '0'}),
        Bytes({0xFF, 0xFE, 'T', 'P', 'F', '0'}),
        Bytes({'X', 'P', 'F', '0', 0x02, 0x01}),
    };
    for (const auto& bytes : bad) {
        SCOPED_TRACE("stream of " + std::to_string(bytes.size()) + " bytes");
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { r.ReadSignature(); }), kInvalidImage);
    }
}

TEST(ReaderPrefix, AbsentPrefixConsumesNothing) {
    // A record without prefix starts with the class name's length byte.
    for (int first : {0x00, 0x05, 0x7F, 0xEF}) {
        SCOPED_TRACE("first byte " + std::to_string(first));
        auto bytes = Bytes({first});
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        TFilerFlags flags = 0xFF;
        int childPos = -77;
        r.ReadPrefix(flags, childPos);
        EXPECT_EQ(flags, 0);
        EXPECT_EQ(childPos, -77);
        EXPECT_EQ(r.BytesLeft(), 1);
    }
    TWriter w;
    w.WriteComponentHeader("TBox", "Box1");
    TMemoryStream stream(w.TakeBytes());
    TReader r(stream);
    TFilerFlags flags = 0;
    int childPos = 0;
    r.ReadPrefix(flags, childPos);
    EXPECT_EQ(r.ReadStr(), "TBox");
    EXPECT_EQ(r.ReadStr(), "Box1");
}

TEST(ReaderPrefix, FlagsAndChildPosition) {
    struct Case {
        std::vector<uint8_t> bytes;
        TFilerFlags flags;
        int childPos;
    };
    const std::vector<Case> cases = {
        {Bytes({0xF0, 0x04}), 0, -1},                       // prefix byte with no flag set
        {Bytes({0xF1, 0x04}), ffInherited, -1},             // inherited
        {Bytes({0xF4, 0x04}), ffInline, -1},                // inline
        {Bytes({0xF2, 0x02, 0x05, 0x04}), ffChildPos, 5},   // child position, vaInt8 5
        {Bytes({0xF3, 0x03, 0x2C, 0x01, 0x04}), 3, 300},    // inherited + child position, vaInt16 300
        {Bytes({0xF6, 0x02, 0xFF, 0x04}), 6, -1},           // inline + child position, vaInt8 -1
        {Bytes({0xFA, 0x04, 0, 0, 1, 0, 0x04}), 10, 65536}, // unknown bit 8 kept, vaInt32 65536
        {Bytes({0xFD, 0x04}), 13, -1},                      // inherited, inline, unknown bit 8
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("prefix byte " + std::to_string(c.bytes[0]));
        TCustomMemoryStream stream(c.bytes);
        TReader r(stream);
        TFilerFlags flags = 0;
        int childPos = -1;
        r.ReadPrefix(flags, childPos);
        EXPECT_EQ(flags, c.flags);
        EXPECT_EQ(childPos, c.childPos);
        // The class name's length byte follows the prefix.
        EXPECT_EQ(r.BytesLeft(), 1);
    }
    // A child position that is not an integer.
    auto bytes = Bytes({0xF2, 0x06, 0x01, 'x'});
    TCustomMemoryStream stream(bytes);
    TReader r(stream);
    TFilerFlags flags = 0;
    int childPos = 0;
    EXPECT_EQ(ReadErrorOf([&] { r.ReadPrefix(flags, childPos); }), kInvalidValue);
}

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
    for (int tag = 0; tag < 256; ++tag) {
        if (tag >= 2 && tag <= 4) continue;
        SCOPED_TRACE("tag " + std::to_string(tag));
        auto bytes = Bytes({tag, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { r.ReadInteger(); }), kInvalidValue);
        if (tag == static_cast<int>(VT::vaInt64)) continue;
        TCustomMemoryStream again(bytes);
        TReader r64(again);
        EXPECT_EQ(ReadErrorOf([&] { r64.ReadInt64(); }), kInvalidValue);
    }
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
    for (int tag = 0; tag < 256; ++tag) {
        if (tag == 6 || tag == 12 || tag == 18 || tag == 20) continue;
        SCOPED_TRACE("tag " + std::to_string(tag));
        auto bytes = Bytes({tag, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { r.ReadString(); }), kInvalidValue);
    }
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
    for (int tag = 0; tag < 256; ++tag) {
        int low = tag & 0x7F;
        if (low == 0 || low == 7 || low == 8 || low == 9 || low == 13) continue;
        SCOPED_TRACE("tag " + std::to_string(tag));
        auto bytes = Bytes({tag, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { r.ReadIdent(); }), kInvalidValue);
    }
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

// ---- Untrusted input ----

TEST(ReaderUntrustedLengths, LengthBeyondTheStreamIsAReadError) {
    // A length is checked before anything is allocated for it: nothing here needs more than a megabyte.
    TAllocationLimit limit(1 << 20);
    // Ten bytes of text follow each length field.
    const std::vector<uint8_t> tail = Filler(10, 'a');
    struct Case {
        VT tag;
        uint32_t length;
        bool text;
    };
    const std::vector<Case> cases = {
        {VT::vaLString, 0xFFFFFFFF, true},    {VT::vaLString, 11, true},
        {VT::vaUTF8String, 0xFFFFFFFF, true}, {VT::vaUTF8String, 11, true},
        {VT::vaBinary, 0xFFFFFFFF, false},    {VT::vaBinary, 11, false},
        {VT::vaWString, 0xFFFFFFFF, true},    {VT::vaWString, 6, true},
        {VT::vaWString, 0x80000000, true},    {VT::vaWString, 0x80000001, true},
        {VT::vaWString, 0x80000005, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("tag " + std::to_string(static_cast<int>(c.tag)) + " length " +
                     std::to_string(c.length));
        std::vector<uint8_t> bytes = Concat(Concat(Bytes({static_cast<int>(c.tag)}), LE32(c.length)), tail);
        if (c.text) {
            TCustomMemoryStream stream(bytes);
            TReader r(stream);
            EXPECT_EQ(ReadErrorOf([&] { r.ReadString(); }), kReadError);
        }
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { r.SkipValue(); }), kReadError);
        // The same value met by a tag check skips it and reports the shortfall.
        TCustomMemoryStream again(bytes);
        TReader cr(again);
        EXPECT_EQ(ReadErrorOf([&] { cr.CheckValue(VT::vaInt8); }), kReadError);
    }
    // An odd remainder: a vaWString count of 6 needs 12 bytes, one more than the 11 that follow.
    std::vector<uint8_t> odd = Concat(Concat(Bytes({0x12}), LE32(6)), Filler(11, 'a'));
    TCustomMemoryStream stream(odd);
    TReader r(stream);
    EXPECT_EQ(ReadErrorOf([&] { r.ReadString(); }), kReadError);
}

TEST(ReaderUntrustedLengths, LengthMatchingTheRestIsRead) {
    const std::vector<uint8_t> tail = Filler(10, 'a');
    for (VT tag : {VT::vaLString, VT::vaUTF8String, VT::vaWString}) {
        uint32_t length = tag == VT::vaWString ? 5 : 10;
        std::vector<uint8_t> bytes = Concat(Concat(Bytes({static_cast<int>(tag)}), LE32(length)), tail);
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        EXPECT_EQ(r.ReadString(), tag == VT::vaWString ? "\u6161\u6161\u6161\u6161\u6161" : "aaaaaaaaaa");
        EXPECT_EQ(r.BytesLeft(), 0);
    }
}

TEST(ReaderUntrustedLengths, ShortLengthsBeyondTheStream) {
    // vaString of length 9 with 2 bytes; vaIdent of length 200 with 1 byte; a set whose second name
    // claims 50 bytes; a short string read directly.
    const std::vector<std::vector<uint8_t>> values = {
        Bytes({0x06, 0x09, 'a', 'b'}),
        Bytes({0x07, 200, 'a'}),
        Bytes({0x0B, 0x01, 'a', 50, 'b', 'c'}),
    };
    for (const auto& bytes : values) {
        SCOPED_TRACE("tag " + std::to_string(bytes[0]));
        TCustomMemoryStream stream(bytes);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { r.SkipValue(); }), kReadError);
    }
    auto str = Bytes({0x06, 0x09, 'a', 'b'});
    TCustomMemoryStream s1(str);
    TReader r1(s1);
    EXPECT_EQ(ReadErrorOf([&] { r1.ReadString(); }), kReadError);
    auto ident = Bytes({0x07, 200, 'a'});
    TCustomMemoryStream s2(ident);
    TReader r2(s2);
    EXPECT_EQ(ReadErrorOf([&] { r2.ReadIdent(); }), kReadError);
    auto name = Bytes({0x10, 'a'});
    TCustomMemoryStream s3(name);
    TReader r3(s3);
    EXPECT_EQ(ReadErrorOf([&] { r3.ReadStr(); }), kReadError);
}

TEST(ReaderTruncation, EveryCutOfAValidStreamIsAReadError) {
    const std::vector<uint8_t> full = EveryKindStream();
    {
        TCustomMemoryStream stream(full);
        TReader r(stream);
        ReadEveryKindTyped(r);
        EXPECT_EQ(r.BytesLeft(), 0);
    }
    {
        TCustomMemoryStream stream(full);
        TReader r(stream);
        ReadEveryKindSkipping(r);
        EXPECT_EQ(r.BytesLeft(), 0);
    }
    for (size_t cut = 0; cut < full.size(); ++cut) {
        SCOPED_TRACE("cut at " + std::to_string(cut) + " of " + std::to_string(full.size()));
        std::span<const uint8_t> part(full.data(), cut);
        const std::string expected = kReadError;
        {
            TCustomMemoryStream stream(part);
            TReader r(stream);
            EXPECT_EQ(ReadErrorOf([&] { ReadEveryKindTyped(r); }), expected);
        }
        {
            TCustomMemoryStream stream(part);
            TReader r(stream);
            EXPECT_EQ(ReadErrorOf([&] { ReadEveryKindSkipping(r); }), expected);
        }
        {
            TChunkedStream stream(std::vector<uint8_t>(part.begin(), part.end()));
            TReader r(stream);
            EXPECT_EQ(ReadErrorOf([&] { ReadEveryKindTyped(r); }), expected);
        }
        if (HasFailure()) break; // one cut's report is enough
    }
}

TEST(ReaderNesting, HostileDepthIsRefusedWithoutExhaustingTheStack) {
    // 100000 list openings.
    const std::vector<uint8_t> lists = Filler(100000, 0x01);
    {
        TCustomMemoryStream stream(lists);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { r.SkipValue(); }), kInvalidImage);
    }
    {
        TCustomMemoryStream stream(lists);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { r.CheckValue(VT::vaInt8); }), kInvalidImage);
    }
    // Collections nested through their items' properties: vaCollection, vaList, property name "P".
    std::vector<uint8_t> collections;
    for (int i = 0; i < 30000; ++i)
        collections = Concat(std::move(collections), Bytes({0x0E, 0x01, 0x01, 'P'}));
    {
        TCustomMemoryStream stream(collections);
        TReader r(stream);
        EXPECT_EQ(ReadErrorOf([&] { r.SkipValue(); }), kInvalidImage);
    }
}

TEST(ReaderNesting, ReasonableDepthStillSkipsAfterARefusal) {
    // A refused stream must not leave the depth count raised for later reads on the same thread.
    for (int round = 0; round < 3; ++round) {
        const std::vector<uint8_t> lists = Filler(5000, 0x01);
        TCustomMemoryStream hostile(lists);
        TReader hr(hostile);
        EXPECT_EQ(ReadErrorOf([&] { hr.SkipValue(); }), kInvalidImage);
    }
    TWriter w;
    for (int i = 0; i < 100; ++i)
        w.WriteListBegin();
    w.WriteString("deep");
    for (int i = 0; i < 100; ++i)
        w.WriteListEnd();
    std::vector<uint8_t> bytes = WithSentinel(w);
    TCustomMemoryStream stream(bytes);
    TReader r(stream);
    r.SkipValue();
    EXPECT_EQ(r.ReadInteger(), kSentinel);
}
