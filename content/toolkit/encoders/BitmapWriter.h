// Windows bitmap and icon files written field by field: every depth a bitmap may have, bottom-up or
// top-down rows, the 12-byte core header, bit-field masks; icons of several images with their masks.
#pragma once

#include "content/toolkit/encoders/PixelImage.h"

#include <cstdint>
#include <span>
#include <vector>

struct BitmapOptions {
    int BitsPerPixel = 24;              // 1, 4, 8 (pixels are indexes), 16, 24 or 32 (pixels are colours)
    bool TopDown = false;               // negative height, top row stored first
    bool CoreHeader = false;            // the 12-byte header with 3-byte colour-table entries
    bool BitFields = false;             // 16 and 32 bits: masks after the header (5-6-5 for 16 bits)
    std::vector<uint32_t> ColorTable{}; // 0x00RRGGBB for 8 bits or less, padded with black to 2^bits
};
// The header says 96 dots per inch; the colour table holds 2^bits entries.
std::vector<uint8_t> EncodeBitmap(const PixelImage& image, const BitmapOptions& options = {});

// One image of an icon: 32-bit pixels with alpha in the top byte (0xAARRGGBB), or indexes into
// ColorTable for 4 or 8 bits. The AND mask is set where Transparent holds a non-zero byte; without
// Transparent, where alpha is 0 (32 bits) or nowhere (fewer bits).
struct IconImage {
    PixelImage Image{};
    int BitsPerPixel = 32;
    std::vector<uint32_t> ColorTable{};
    std::vector<uint8_t> Transparent{};
};
std::vector<uint8_t> EncodeIcon(std::span<const IconImage> images);
