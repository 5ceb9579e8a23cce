// Bytes appended field by field, little-endian, for the picture writers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>
#include <vector>

struct LittleEndianBytes {
    std::vector<uint8_t> v;

    void U8(uint32_t x) { v.push_back(static_cast<uint8_t>(x)); }
    void U16(uint32_t x) {
        U8(x & 0xFF);
        U8(x >> 8 & 0xFF);
    }
    void U32(uint32_t x) {
        U16(x & 0xFFFF);
        U16(x >> 16);
    }
    void Str(std::string_view s) { Append(s.data(), s.size()); }
    void Raw(std::span<const uint8_t> b) { Append(b.data(), b.size()); }
    // Grows the vector first and copies into it: GCC 12 with ThreadSanitizer warns falsely about the
    // bounds of vector::insert once inlined deeply enough.
    void Append(const void* bytes, size_t n) {
        const size_t at = v.size();
        v.resize(at + n);
        if (n) std::memcpy(v.data() + at, bytes, n);
    }
};
