// The reader's buffering against its source, the signature and record prefixes, and its behaviour on
// truncated, oversized and hostile input.
#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TFiler.h"
#include "stream/TReader.h"
#include "stream/TStream.h"
#include "stream/TWriter.h"
#include "tests/StreamTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
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