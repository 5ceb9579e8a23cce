// Noise functions built on a 32-bit integer hash.
#include "content/toolkit/scenes/Noise.h"

#include <cmath>

uint32_t Hash(int32_t x, int32_t y, uint32_t seed) {
    uint32_t h = seed * 0x9E3779B1u ^ uint32_t(x) * 0x85EBCA77u ^ uint32_t(y) * 0xC2B2AE3Du;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

double Hash01(int32_t x, int32_t y, uint32_t seed) {
    return (Hash(x, y, seed) >> 8) * (1.0 / 16777216.0);
}

double ValueNoise(double x, double y, uint32_t seed) {
    double fx = std::floor(x), fy = std::floor(y);
    auto ix = int32_t(fx), iy = int32_t(fy);
    double tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    double a = Hash01(ix, iy, seed), b = Hash01(ix + 1, iy, seed);
    double c = Hash01(ix, iy + 1, seed), d = Hash01(ix + 1, iy + 1, seed);
    double v = a + (b - a) * tx + (c - a) * ty + (a - b - c + d) * tx * ty;
    return v * 2 - 1;
}

double Fractal(double x, double y, uint32_t seed, int octaves) {
    double sum = 0, amplitude = 0.5, scale = 1;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * ValueNoise(x * scale, y * scale, seed + uint32_t(i) * 101u);
        amplitude *= 0.5;
        scale *= 2.03;
    }
    return sum * 1.6;
}

CellNoise Cells(double x, double y, uint32_t seed) {
    auto ix = int32_t(std::floor(x)), iy = int32_t(std::floor(y));
    CellNoise best{1e9, 1e9, 0};
    for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
            int32_t cx = ix + dx, cy = iy + dy;
            double px = cx + Hash01(cx, cy, seed), py = cy + Hash01(cx, cy, seed + 7);
            double d = std::hypot(x - px, y - py);
            if (d < best.Distance) {
                best.Second = best.Distance;
                best.Distance = d;
                best.Cell = Hash(cx, cy, seed + 13);
            } else if (d < best.Second) {
                best.Second = d;
            }
        }
    return best;
}
