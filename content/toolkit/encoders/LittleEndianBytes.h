// Bytes appended field by field, little-endian, for the picture writers.
#pragma once

#include <cstdint>
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
    void Str(std::string_view s) { v.insert(v.end(), s.begin(), s.end()); }
    void Raw(std::span<const uint8_t> b) { v.insert(v.end(), b.begin(), b.end()); }
};
