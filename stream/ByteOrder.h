// Integers in file headers: reading them from bytes and appending them to a buffer, in the byte order
// each format uses (little-endian for bitmaps, icons, GIF and the stream's own lengths; big-endian for
// JPEG markers and colour profiles).
#pragma once

#include <cstdint>
#include <vector>

inline uint16_t U16LE(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}
inline uint32_t U32LE(const uint8_t* p) {
    return static_cast<uint32_t>(p[0] | p[1] << 8 | p[2] << 16) | static_cast<uint32_t>(p[3]) << 24;
}
inline uint16_t U16BE(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] << 8 | p[1]);
}

inline void Put16LE(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
inline void Put32LE(std::vector<uint8_t>& out, uint32_t v) {
    Put16LE(out, v & 0xFFFF);
    Put16LE(out, v >> 16);
}
inline void Put16BE(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v >> 8));
    out.push_back(static_cast<uint8_t>(v));
}
inline void Put32BE(std::vector<uint8_t>& out, uint32_t v) {
    Put16BE(out, v >> 16);
    Put16BE(out, v & 0xFFFF);
}
