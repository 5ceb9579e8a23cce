// The pixels every picture writer takes: a width, a height and one 32-bit value per pixel, top row
// first. True-colour pixels are 0x00RRGGBB (0xAARRGGBB where a writer keeps alpha); indexed pixels are
// colour-table indexes.
#pragma once

#include <cstdint>
#include <vector>

struct PixelImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels{};
};
