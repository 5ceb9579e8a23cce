// The sample scene the benchmarks, the fuzzers' seeds and the tests encode.
#include "content/toolkit/encoders/SampleScene.h"

#include <algorithm>
#include <cmath>

namespace {

uint32_t Hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

uint8_t Clamp(double v) {
    return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
}

} // namespace

PixelImage MakeScene(int width, int height, int colors, uint32_t seed) {
    PixelImage image{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    const double s = seed * 0.7;
    for (int y = 0; y < height; ++y) {
        const double fy = static_cast<double>(y) / height;
        for (int x = 0; x < width; ++x) {
            const double fx = static_cast<double>(x) / width;
            const uint32_t h = Hash(static_cast<uint32_t>(y * width + x) ^ seed * 0x9E3779B9u);
            // Fields of flat colour with soft gradients, a round feature and a light grain.
            const int field = (x / std::max(1, width / 7) + 3 * (y / std::max(1, height / 5))) % 6;
            const double dx = fx - 0.6, dy = fy - 0.4;
            const bool inside = dx * dx + dy * dy < 0.04;
            const double grain = static_cast<int>(h & 7) - 3.5;
            double r = 60 + 30 * field + 80 * std::sin(fx * 5 + s) + grain;
            double g = 90 + 20 * field + 60 * std::cos(fy * 4 - s) + grain;
            double b = inside ? 220 - 100 * fy : 40 + 25 * field + 40 * fx + grain;
            size_t i = static_cast<size_t>(y) * width + x;
            if (colors > 0) {
                const double level =
                    (0.5 + 0.25 * std::sin(fx * 7 + s) + 0.2 * std::cos(fy * 5)) * (colors - 1);
                int index = static_cast<int>(level) + (inside ? colors / 3 : 0) + ((h & 0x30) == 0 ? 1 : 0);
                image.Pixels[i] = static_cast<uint32_t>(std::clamp(index, 0, colors - 1));
            } else {
                image.Pixels[i] =
                    static_cast<uint32_t>(Clamp(r)) << 16 | static_cast<uint32_t>(Clamp(g)) << 8 | Clamp(b);
            }
        }
    }
    return image;
}
