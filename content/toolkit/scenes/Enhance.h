// Enhancements the course teaches, applied to pictures: area operations (convolution with a kernel,
// scale factor and bias) and point operations through a 256-entry lookup table (brightness, contrast,
// negative, linear and percentage stretches, histogram equalisation, square root), and grey-level
// profiles along a row. Grey pictures (Format_Grayscale8) stay grey; other pictures are processed
// channel by channel and come back as RGB32.
#pragma once

#include <QImage>
#include <array>
#include <cstdint>
#include <vector>

// A convolution kernel: weights row by row, the scale factor k and the bias b of y = k·A*x + b.
struct Kernel {
    int Width = 0, Height = 0;
    std::vector<double> Weights;
    double Scale = 1;
    double Bias = 0;
};

// A square kernel of odd size. Its scale is 1 / (sum of the weights), or 1 when they sum to zero.
Kernel MakeKernel(int size, std::vector<double> weights, double bias = 0);
// The mean of a size x size window.
Kernel MeanKernel(int size);
// A sampled Gaussian of the given standard deviation in pixels, three deviations each way.
Kernel GaussianKernel(double sigma);

// Each output pixel is k times the weighted sum of the window centred on it, plus b, rounded and
// clipped to 0 to 255. The weights are applied as laid out (correlation; the course's kernels are
// symmetric). Outside the picture the edge pixels are repeated.
QImage Convolve(const QImage& image, const Kernel& kernel);

using LookupTable = std::array<uint8_t, 256>;

// Replaces every level (of every channel) by its entry in the table.
QImage ApplyTable(const QImage& image, const LookupTable& table);
// v + delta, clipped.
LookupTable BrightnessTable(int delta);
// (v - 128) · factor + 128, clipped.
LookupTable ContrastTable(double factor);
// 255 - v.
LookupTable NegativeTable();
// The straight line through (lo, 0) and (hi, 255), clipped outside [lo, hi].
LookupTable StretchTable(int lo, int hi);
// A linear stretch between the levels that leave `fraction` of the pixels below and above: those
// pixels end at 0 and 255.
LookupTable PercentStretchTable(const std::array<int, 256>& histogram, double fraction);
// Equalisation: level g becomes round(255 · F(g)), F the cumulative fraction of pixels up to g.
LookupTable EqualisationTable(const std::array<int, 256>& histogram);
// 255 · sqrt(v / 255): lifts the dark tones.
LookupTable SquareRootTable();

// F(g): the fraction of the pixels whose level is g or less (all zero for an empty histogram).
std::array<double, 256> CumulativeFraction(const std::array<int, 256>& histogram);
// The lowest and highest levels present; {0, 0} for an empty histogram.
std::pair<int, int> LevelRange(const std::array<int, 256>& histogram);
// Mean and standard deviation of the levels.
std::pair<double, double> LevelStatistics(const std::array<int, 256>& histogram);
// The grey levels along row y from column x0 to x1 (inclusive), of any picture's luminance.
std::vector<int> RowProfile(const QImage& image, int y, int x0, int x1);
