// Reflectance curves as piecewise-linear tables, smooth enough at the sampling the charts use. The
// shapes follow the classic laboratory curves: water absorbing beyond the red, the chlorophyll
// absorptions at 0.45 and 0.67 um with the green peak and the red edge, the leaf water absorptions at
// 1.45 and 1.95 um, soils rising with wavelength and darkened by moisture.
#include "content/toolkit/scenes/Spectra.h"

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <iterator>
#include <utility>
#include <vector>

namespace {

using Curve = std::vector<std::pair<double, double>>;

const Curve& CurveOf(Material m) {
    static const Curve curves[] = {
        // ClearWater
        {{0.35, 0.07},
         {0.45, 0.065},
         {0.5, 0.055},
         {0.55, 0.045},
         {0.6, 0.03},
         {0.65, 0.018},
         {0.7, 0.01},
         {0.8, 0.005},
         {1.0, 0.003},
         {2.6, 0.002}},
        // TurbidWater
        {{0.35, 0.06},
         {0.45, 0.075},
         {0.5, 0.09},
         {0.55, 0.115},
         {0.6, 0.11},
         {0.65, 0.095},
         {0.7, 0.075},
         {0.75, 0.05},
         {0.8, 0.035},
         {0.9, 0.02},
         {1.1, 0.006},
         {2.6, 0.003}},
        // Conifer
        {{0.35, 0.03},  {0.45, 0.028}, {0.5, 0.035}, {0.55, 0.065}, {0.6, 0.042}, {0.67, 0.028},
         {0.69, 0.035}, {0.72, 0.13},  {0.75, 0.25}, {0.8, 0.29},   {1.0, 0.3},   {1.1, 0.29},
         {1.2, 0.26},   {1.3, 0.23},   {1.45, 0.1},  {1.55, 0.14},  {1.65, 0.16}, {1.8, 0.13},
         {1.95, 0.04},  {2.1, 0.07},   {2.2, 0.08},  {2.4, 0.05},   {2.6, 0.04}},
        // Broadleaf
        {{0.35, 0.035}, {0.45, 0.035}, {0.5, 0.045}, {0.55, 0.1},  {0.6, 0.06},  {0.67, 0.035},
         {0.69, 0.045}, {0.72, 0.2},   {0.75, 0.38}, {0.8, 0.44},  {1.0, 0.45},  {1.1, 0.44},
         {1.2, 0.4},    {1.3, 0.36},   {1.45, 0.16}, {1.55, 0.22}, {1.65, 0.25}, {1.8, 0.2},
         {1.95, 0.06},  {2.1, 0.1},    {2.2, 0.12},  {2.4, 0.07},  {2.6, 0.05}},
        // CropGreen
        {{0.35, 0.04}, {0.45, 0.04}, {0.5, 0.06},  {0.55, 0.13}, {0.6, 0.08},  {0.67, 0.04},
         {0.69, 0.06}, {0.72, 0.25}, {0.75, 0.44}, {0.8, 0.5},   {1.0, 0.52},  {1.1, 0.5},
         {1.2, 0.46},  {1.3, 0.42},  {1.45, 0.2},  {1.55, 0.25}, {1.65, 0.28}, {1.8, 0.22},
         {1.95, 0.07}, {2.1, 0.11},  {2.2, 0.13},  {2.4, 0.08},  {2.6, 0.06}},
        // CropMature
        {{0.35, 0.06},
         {0.45, 0.08},
         {0.5, 0.12},
         {0.55, 0.17},
         {0.6, 0.2},
         {0.67, 0.21},
         {0.72, 0.26},
         {0.8, 0.31},
         {1.0, 0.34},
         {1.3, 0.37},
         {1.45, 0.3},
         {1.65, 0.39},
         {1.8, 0.36},
         {1.95, 0.25},
         {2.2, 0.31},
         {2.6, 0.26}},
        // Pasture
        {{0.35, 0.04},
         {0.45, 0.045},
         {0.5, 0.06},
         {0.55, 0.1},
         {0.6, 0.08},
         {0.67, 0.06},
         {0.69, 0.07},
         {0.72, 0.19},
         {0.75, 0.32},
         {0.8, 0.37},
         {1.0, 0.39},
         {1.2, 0.36},
         {1.45, 0.2},
         {1.65, 0.3},
         {1.8, 0.26},
         {1.95, 0.1},
         {2.2, 0.18},
         {2.6, 0.12}},
        // SoilDry
        {{0.35, 0.14},
         {0.4, 0.17},
         {0.5, 0.24},
         {0.6, 0.31},
         {0.7, 0.36},
         {0.8, 0.39},
         {1.0, 0.43},
         {1.3, 0.46},
         {1.45, 0.44},
         {1.65, 0.5},
         {1.9, 0.44},
         {2.2, 0.45},
         {2.6, 0.41}},
        // SoilPloughed
        {{0.35, 0.04},
         {0.4, 0.05},
         {0.5, 0.07},
         {0.6, 0.1},
         {0.7, 0.13},
         {0.8, 0.15},
         {1.0, 0.17},
         {1.3, 0.19},
         {1.45, 0.12},
         {1.65, 0.21},
         {1.9, 0.1},
         {2.2, 0.19},
         {2.6, 0.15}},
        // Rock
        {{0.35, 0.16},
         {0.4, 0.18},
         {0.5, 0.22},
         {0.6, 0.26},
         {0.8, 0.3},
         {1.0, 0.32},
         {1.6, 0.36},
         {2.2, 0.3},
         {2.6, 0.28}},
        // Asphalt
        {{0.35, 0.045}, {0.4, 0.05}, {0.6, 0.065}, {1.0, 0.085}, {1.6, 0.1}, {2.6, 0.11}},
        // Concrete
        {{0.35, 0.18},
         {0.4, 0.22},
         {0.5, 0.28},
         {0.6, 0.31},
         {0.8, 0.34},
         {1.6, 0.38},
         {2.2, 0.34},
         {2.6, 0.32}},
        // RoofTile
        {{0.35, 0.05},
         {0.4, 0.06},
         {0.5, 0.07},
         {0.55, 0.09},
         {0.6, 0.2},
         {0.65, 0.3},
         {0.7, 0.35},
         {0.8, 0.4},
         {1.0, 0.45},
         {1.6, 0.5},
         {2.2, 0.45},
         {2.6, 0.42}},
        // RoofMetal
        {{0.35, 0.38}, {0.4, 0.4}, {0.8, 0.42}, {1.6, 0.44}, {2.6, 0.45}},
        // UrbanGrass
        {{0.35, 0.04},
         {0.45, 0.04},
         {0.5, 0.055},
         {0.55, 0.12},
         {0.6, 0.07},
         {0.67, 0.04},
         {0.69, 0.055},
         {0.72, 0.22},
         {0.75, 0.4},
         {0.8, 0.46},
         {1.0, 0.48},
         {1.2, 0.43},
         {1.45, 0.19},
         {1.65, 0.27},
         {1.95, 0.07},
         {2.2, 0.13},
         {2.6, 0.07}},
        // Sand
        {{0.35, 0.17},
         {0.4, 0.21},
         {0.5, 0.29},
         {0.6, 0.36},
         {0.7, 0.41},
         {0.8, 0.44},
         {1.0, 0.47},
         {1.6, 0.53},
         {2.2, 0.49},
         {2.6, 0.46}},
    };
    static_assert(std::size(curves) == size_t(kMaterialCount), "one reflectance curve for each material");
    return curves[static_cast<size_t>(m)];
}

} // namespace

const char* MaterialName(Material m) {
    static const char* const names[] = {
        "Agua clara",         "Agua turbia",    "Coníferas",     "Latifoliadas",
        "Cultivo verde",      "Cultivo maduro", "Pastizal",      "Suelo seco",
        "Suelo arado húmedo", "Roca granítica", "Asfalto",       "Hormigón",
        "Tejas cerámicas",    "Chapa metálica", "Césped urbano", "Arena"};
    static_assert(std::size(names) == size_t(kMaterialCount), "one name for each material");
    return names[static_cast<size_t>(m)];
}

double Reflectance(Material m, double um) {
    const Curve& c = CurveOf(m);
    if (um <= c.front().first) return c.front().second;
    if (um >= c.back().first) return c.back().second;
    // Monotone cubic interpolation: smooth curves that never overshoot the measured points.
    size_t i =
        size_t(std::lower_bound(c.begin(), c.end(), um, [](const auto& p, double v) { return p.first < v; }) -
               c.begin()) -
        1;
    auto slope = [&](size_t k) { return (c[k + 1].second - c[k].second) / (c[k + 1].first - c[k].first); };
    auto tangent = [&](size_t k) {
        if (k == 0) return slope(0);
        if (k == c.size() - 1) return slope(k - 1);
        double a = slope(k - 1), b = slope(k);
        return a * b <= 0 ? 0.0 : 2 / (1 / a + 1 / b);
    };
    double h = c[i + 1].first - c[i].first, t = (um - c[i].first) / h;
    double t2 = t * t, t3 = t2 * t;
    return (2 * t3 - 3 * t2 + 1) * c[i].second + (t3 - 2 * t2 + t) * h * tangent(i) +
           (-2 * t3 + 3 * t2) * c[i + 1].second + (t3 - t2) * h * tangent(i + 1);
}

double BandReflectance(Material m, double lo, double hi) {
    constexpr int kSteps = 24;
    double sum = 0;
    for (int i = 0; i < kSteps; ++i)
        sum += Reflectance(m, lo + (hi - lo) * (i + 0.5) / kSteps);
    return sum / kSteps;
}

double Emissivity(Material m) {
    static const double e[] = {0.99, 0.985, 0.98, 0.975, 0.98, 0.96, 0.97, 0.92,
                               0.95, 0.9,   0.95, 0.92,  0.9,  0.25, 0.98, 0.91};
    static_assert(std::size(e) == size_t(kMaterialCount), "one emissivity for each material");
    return e[static_cast<size_t>(m)];
}

double SurfaceTemperature(Material m, bool night) {
    // Degrees Celsius; water is the coolest surface by day and among the warmest before dawn.
    static const double day[] = {21, 22, 26, 25, 27, 35, 30, 43, 33, 41, 49, 41, 45, 47, 27, 45};
    static const double dawn[] = {17, 17, 12, 12, 11, 9, 9, 8, 11, 13, 19, 17, 12, 5, 11, 7};
    static_assert(std::size(day) == size_t(kMaterialCount) && std::size(dawn) == size_t(kMaterialCount),
                  "one day and one dawn temperature for each material");
    return 273.15 + (night ? dawn : day)[static_cast<size_t>(m)];
}

double Planck(double um, double kelvin) {
    constexpr double h = 6.62607015e-34, c = 2.99792458e8, k = 1.380649e-23;
    double lambda = um * 1e-6;
    double radiance = 2 * h * c * c / std::pow(lambda, 5) / (std::exp(h * c / (lambda * k * kelvin)) - 1);
    return radiance * 1e-6; // per micrometre
}

double WienPeak(double kelvin) {
    return 2897.77 / kelvin;
}
