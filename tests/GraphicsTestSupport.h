// Helpers shared by the picture tests: a little-endian byte builder for hand-made files, and a way to
// capture the exact class and message of the error an operation raises. Stored picture data is made
// by graphics/StoredPicture.h.
#pragma once

#include "graphics/StoredPicture.h"
#include "graphics/TGraphic.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace gfx_test {

// Bytes written field by field, little-endian.
struct Bytes {
    std::vector<uint8_t> v;

    Bytes& U8(uint32_t x) {
        const uint8_t b = static_cast<uint8_t>(x);
        return Append(&b, 1);
    }
    Bytes& U16(uint32_t x) { return U8(x & 0xFF).U8(x >> 8 & 0xFF); }
    Bytes& U32(uint32_t x) { return U16(x & 0xFFFF).U16(x >> 16); }
    Bytes& I32(int32_t x) { return U32(static_cast<uint32_t>(x)); }
    Bytes& Str(std::string_view s) { return Append(s.data(), s.size()); }
    Bytes& Raw(std::span<const uint8_t> b) { return Append(b.data(), b.size()); }
    Bytes& Raw(std::initializer_list<uint8_t> b) { return Append(b.begin(), b.size()); }
    Bytes& Fill(size_t n, uint8_t b) {
        v.resize(v.size() + n, b);
        return *this;
    }
    // Grows the vector first and copies into it: GCC 12's optimiser warns falsely about the bounds of
    // vector::insert once inlined deeply enough.
    Bytes& Append(const void* bytes, size_t n) {
        const size_t at = v.size();
        v.resize(at + n);
        if (n) std::memcpy(v.data() + at, bytes, n);
        return *this;
    }
    size_t Size() const { return v.size(); }
};

// Runs op and reports how it ended: "E: message" when it raised E, "no error", or a note naming any
// other exception, so one EXPECT_EQ checks both the class and the exact text.
template <class E, class Op> std::string ErrorOf(Op&& op) {
    try {
        op();
    } catch (const E& e) {
        return "E: " + e.Message();
    } catch (const std::exception& e) {
        return std::string("unexpected exception: ") + e.what();
    }
    return "no error";
}

inline std::string E(std::string_view message) {
    return "E: " + std::string(message);
}

// Reads a kind's payload from its own stream, as picture data reading does.
template <class G> void ReadPayload(G& graphic, const std::vector<uint8_t>& payload) {
    TMemoryStream s(payload);
    graphic.ReadData(s);
}

// 0xAARRGGBB of an opaque colour.
constexpr uint32_t Rgb(uint8_t r, uint8_t g, uint8_t b) {
    return 0xFF000000u | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 | b;
}

// The process's resident memory, from /proc/self/statm (Linux).
inline int64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    int64_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

} // namespace gfx_test
