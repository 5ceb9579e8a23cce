// Deterministic noise for the synthetic landscape: integer hashing, value noise and its fractal sums.
// No state and no global seed: every function of the same arguments gives the same result everywhere.
#pragma once

#include <cstdint>

uint32_t Hash(int32_t x, int32_t y, uint32_t seed);
// Uniform in [0, 1) for a lattice point.
double Hash01(int32_t x, int32_t y, uint32_t seed);
// Smoothly interpolated lattice noise in [-1, 1], one lattice cell per unit.
double ValueNoise(double x, double y, uint32_t seed);
// Sum of octaves of value noise, each twice as fine and half as strong; roughly in [-1, 1].
double Fractal(double x, double y, uint32_t seed, int octaves);
// Distance to the nearest of jittered lattice points (one per cell) and that point's cell hash.
struct CellNoise {
    double Distance;
    double Second; // distance to the second nearest point
    uint32_t Cell;
};
CellNoise Cells(double x, double y, uint32_t seed);
