// Helpers shared by the stream tests: byte-level streams with unusual read behaviour and a way to
// capture the message of the read error an operation raises.
#pragma once

#include "stream/Exceptions.h"
#include "stream/TStream.h"
#include "stream/TWriter.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace orv_test {

// Runs op and reports how it ended: the message of the EReadError it raised, "no error", or a note
// naming any other exception, so one EXPECT_EQ checks both the exception class and the exact text.
template <class Op> std::string ReadErrorOf(Op&& op) {
    try {
        op();
    } catch (const EReadError& e) {
        return e.Message();
    } catch (const std::exception& e) {
        return std::string("unexpected exception: ") + e.what();
    }
    return "no error";
}

// A read-only stream over owned bytes that hands out at most MaxChunk bytes per Read and records every
// request, so tests can see how the reader pulls from its source.
class TChunkedStream : public TStream {
public:
    explicit TChunkedStream(std::vector<uint8_t> bytes, size_t maxChunk = 7)
        : FData(std::move(bytes)), FMaxChunk(maxChunk) {}

    size_t Read(void* buffer, size_t count) override {
        Requests.push_back(count);
        if (FPosition >= FData.size()) return 0;
        size_t n = std::min({count, FMaxChunk, FData.size() - FPosition});
        std::memcpy(buffer, FData.data() + FPosition, n);
        FPosition += n;
        return n;
    }
    size_t Write(const void*, size_t) override { return 0; }
    int64_t Seek(int64_t offset, TSeekOrigin origin) override {
        ++Seeks;
        int64_t base = origin == TSeekOrigin::soBeginning ? 0
                       : origin == TSeekOrigin::soCurrent ? static_cast<int64_t>(FPosition)
                                                          : static_cast<int64_t>(FData.size());
        FPosition = static_cast<size_t>(std::max<int64_t>(base + offset, 0));
        return static_cast<int64_t>(FPosition);
    }

    std::vector<size_t> Requests;
    int Seeks = 0;

private:
    std::vector<uint8_t> FData;
    size_t FMaxChunk;
    size_t FPosition = 0;
};

// While alive, any single allocation larger than maxBytes fails with std::bad_alloc.
class TAllocationLimit {
public:
    explicit TAllocationLimit(size_t maxBytes);
    ~TAllocationLimit();
    TAllocationLimit(const TAllocationLimit&) = delete;
    TAllocationLimit& operator=(const TAllocationLimit&) = delete;

private:
    size_t FPrevious;
};

inline std::vector<uint8_t> Bytes(std::initializer_list<int> values) {
    std::vector<uint8_t> out;
    for (int v : values)
        out.push_back(static_cast<uint8_t>(v));
    return out;
}

inline std::vector<uint8_t> Concat(std::vector<uint8_t> a, const std::vector<uint8_t>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// A value that every skip test writes after the value under test; reading it back proves the skip
// stopped exactly at the value's end.
constexpr int kSentinel = 0x5A5A;

inline std::vector<uint8_t> Filler(size_t n, uint8_t byte) {
    return std::vector<uint8_t>(n, byte);
}

// The bytes w holds followed by the sentinel.
inline std::vector<uint8_t> WithSentinel(const TWriter& w) {
    TWriter tail;
    tail.WriteInteger(kSentinel);
    return Concat(w.Bytes(), tail.Bytes());
}

inline std::vector<uint8_t> LE32(uint32_t v) {
    return Bytes({static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                  static_cast<int>((v >> 16) & 0xFF), static_cast<int>(v >> 24)});
}

// A collection of three items: one with an int8 index and two properties (one of them a nested
// collection holding a list), one with an int32 index, and one without index or properties.
inline void WriteSampleCollection(TWriter& w) {
    w.WriteCollectionBegin();
    w.WriteIntegerAs(TValueType::vaInt8, 0);
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
    w.WriteIntegerAs(TValueType::vaInt32, 1);
    w.WriteListBegin();
    w.WritePropName("Width");
    w.WriteInteger(-3);
    w.WriteListEnd();
    w.WriteListBegin();
    w.WriteListEnd();
    w.WriteListEnd();
}

} // namespace orv_test
