// Convolution, lookup tables and profiles for the course's enhanced pictures.
#include "content/toolkit/scenes/Enhance.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

uint8_t ClampLevel(double v) {
    return uint8_t(std::clamp<long>(std::lround(v), 0, 255));
}

// The picture as planes of 8-bit levels: one for grey, three (red, green, blue) otherwise.
struct Planes {
    int Width = 0, Height = 0;
    bool Grey = false;
    std::vector<std::vector<uint8_t>> Levels;
};

Planes Split(const QImage& image) {
    Planes planes;
    planes.Width = image.width(), planes.Height = image.height();
    planes.Grey = image.format() == QImage::Format_Grayscale8;
    const size_t n = size_t(planes.Width) * size_t(planes.Height);
    if (planes.Grey) {
        planes.Levels.assign(1, std::vector<uint8_t>(n));
        for (int y = 0; y < planes.Height; ++y)
            std::copy_n(image.constScanLine(y), planes.Width, planes.Levels[0].begin() + y * planes.Width);
        return planes;
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    planes.Levels.assign(3, std::vector<uint8_t>(n));
    for (int y = 0; y < planes.Height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < planes.Width; ++x) {
            const size_t i = size_t(y) * size_t(planes.Width) + size_t(x);
            planes.Levels[0][i] = uint8_t(qRed(line[x]));
            planes.Levels[1][i] = uint8_t(qGreen(line[x]));
            planes.Levels[2][i] = uint8_t(qBlue(line[x]));
        }
    }
    return planes;
}

QImage Join(const Planes& planes) {
    if (planes.Grey) {
        QImage out(planes.Width, planes.Height, QImage::Format_Grayscale8);
        for (int y = 0; y < planes.Height; ++y)
            std::copy_n(planes.Levels[0].begin() + y * planes.Width, planes.Width, out.scanLine(y));
        return out;
    }
    QImage out(planes.Width, planes.Height, QImage::Format_RGB32);
    for (int y = 0; y < planes.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < planes.Width; ++x) {
            const size_t i = size_t(y) * size_t(planes.Width) + size_t(x);
            line[x] = qRgb(planes.Levels[0][i], planes.Levels[1][i], planes.Levels[2][i]);
        }
    }
    return out;
}

} // namespace

Kernel MakeKernel(int size, std::vector<double> weights, double bias) {
    Kernel k;
    k.Width = k.Height = size;
    const double sum = std::accumulate(weights.begin(), weights.end(), 0.0);
    k.Weights = std::move(weights);
    k.Scale = std::abs(sum) < 1e-12 ? 1 : 1 / sum;
    k.Bias = bias;
    return k;
}

Kernel MeanKernel(int size) {
    return MakeKernel(size, std::vector<double>(size_t(size) * size_t(size), 1.0));
}

Kernel GaussianKernel(double sigma) {
    const int radius = std::max(1, int(std::ceil(3 * sigma)));
    const int size = 2 * radius + 1;
    std::vector<double> weights;
    for (int j = -radius; j <= radius; ++j)
        for (int i = -radius; i <= radius; ++i)
            weights.push_back(std::exp(-(i * i + j * j) / (2 * sigma * sigma)));
    return MakeKernel(size, std::move(weights));
}

QImage Convolve(const QImage& image, const Kernel& kernel) {
    const Planes in = Split(image);
    Planes out = in;
    const int w = in.Width, h = in.Height, cx = kernel.Width / 2, cy = kernel.Height / 2;
    for (size_t c = 0; c < in.Levels.size(); ++c) {
        const std::vector<uint8_t>& src = in.Levels[c];
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                double sum = 0;
                for (int j = 0; j < kernel.Height; ++j) {
                    const int sy = std::clamp(y + j - cy, 0, h - 1);
                    for (int i = 0; i < kernel.Width; ++i) {
                        const int sx = std::clamp(x + i - cx, 0, w - 1);
                        sum += kernel.Weights[size_t(j * kernel.Width + i)] *
                               src[size_t(sy) * size_t(w) + size_t(sx)];
                    }
                }
                out.Levels[c][size_t(y) * size_t(w) + size_t(x)] =
                    ClampLevel(kernel.Scale * sum + kernel.Bias);
            }
    }
    return Join(out);
}

QImage ApplyTable(const QImage& image, const LookupTable& table) {
    Planes planes = Split(image);
    for (auto& plane : planes.Levels)
        for (uint8_t& v : plane)
            v = table[v];
    return Join(planes);
}

LookupTable BrightnessTable(int delta) {
    LookupTable t;
    for (int v = 0; v < 256; ++v)
        t[size_t(v)] = ClampLevel(v + delta);
    return t;
}

LookupTable ContrastTable(double factor) {
    LookupTable t;
    for (int v = 0; v < 256; ++v)
        t[size_t(v)] = ClampLevel((v - 128) * factor + 128);
    return t;
}

LookupTable NegativeTable() {
    LookupTable t;
    for (int v = 0; v < 256; ++v)
        t[size_t(v)] = uint8_t(255 - v);
    return t;
}

LookupTable StretchTable(int lo, int hi) {
    LookupTable t;
    // A range of one level has no slope to stretch: it becomes a threshold at that level.
    if (hi <= lo) {
        for (int v = 0; v < 256; ++v)
            t[size_t(v)] = v < lo ? 0 : 255;
        return t;
    }
    for (int v = 0; v < 256; ++v)
        t[size_t(v)] = ClampLevel(255.0 * (v - lo) / (hi - lo));
    return t;
}

LookupTable PercentStretchTable(const std::array<int, 256>& histogram, double fraction) {
    const std::array<double, 256> f = CumulativeFraction(histogram);
    int lo = 0, hi = 255;
    while (lo < 255 && f[size_t(lo)] <= fraction)
        ++lo;
    while (hi > 0 && f[size_t(hi - 1)] >= 1 - fraction)
        --hi;
    return StretchTable(lo, std::max(lo, hi));
}

LookupTable EqualisationTable(const std::array<int, 256>& histogram) {
    const std::array<double, 256> f = CumulativeFraction(histogram);
    LookupTable t;
    const bool empty = f[255] == 0;
    for (int v = 0; v < 256; ++v)
        t[size_t(v)] = empty ? uint8_t(v) : ClampLevel(255 * f[size_t(v)]);
    return t;
}

LookupTable SquareRootTable() {
    LookupTable t;
    for (int v = 0; v < 256; ++v)
        t[size_t(v)] = ClampLevel(255 * std::sqrt(v / 255.0));
    return t;
}

std::array<double, 256> CumulativeFraction(const std::array<int, 256>& histogram) {
    const double total = std::accumulate(histogram.begin(), histogram.end(), 0.0);
    std::array<double, 256> f{};
    if (total == 0) return f;
    double running = 0;
    for (size_t g = 0; g < 256; ++g) {
        running += histogram[g];
        f[g] = running / total;
    }
    return f;
}

std::pair<int, int> LevelRange(const std::array<int, 256>& histogram) {
    int lo = 0, hi = 255;
    while (lo < 256 && histogram[size_t(lo)] == 0)
        ++lo;
    if (lo == 256) return {0, 0};
    while (histogram[size_t(hi)] == 0)
        --hi;
    return {lo, hi};
}

std::pair<double, double> LevelStatistics(const std::array<int, 256>& histogram) {
    double n = 0, sum = 0, squares = 0;
    for (size_t g = 0; g < 256; ++g) {
        n += histogram[g];
        sum += double(g) * histogram[g];
        squares += double(g) * double(g) * histogram[g];
    }
    if (n == 0) return {0, 0};
    const double mean = sum / n;
    return {mean, std::sqrt(std::max(0.0, squares / n - mean * mean))};
}

std::vector<int> RowProfile(const QImage& image, int y, int x0, int x1) {
    const QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    std::vector<int> levels;
    const uchar* line = grey.constScanLine(y);
    for (int x = x0; x <= x1; ++x)
        levels.push_back(line[x]);
    return levels;
}
