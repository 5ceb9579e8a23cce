// Rendering the landscape into bands. Each pixel averages several ground samples so that features
// smaller than a pixel mix as they do in a real sensor's instantaneous field of view.
#include "content/toolkit/scenes/Sensors.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace Bands {
const Band Mss4{"MSS 4", 0.5, 0.6}, Mss5{"MSS 5", 0.6, 0.7}, Mss6{"MSS 6", 0.7, 0.8}, Mss7{"MSS 7", 0.8, 1.1};
const Band Tm1{"TM 1", 0.45, 0.52}, Tm2{"TM 2", 0.52, 0.60}, Tm3{"TM 3", 0.63, 0.69}, Tm4{"TM 4", 0.76, 0.90},
    Tm5{"TM 5", 1.55, 1.75}, Tm6{"TM 6", 10.4, 12.5, true}, Tm7{"TM 7", 2.08, 2.35},
    Etm8{"ETM+ 8", 0.52, 0.90};
const Band Xs1{"XS1", 0.50, 0.59}, Xs2{"XS2", 0.61, 0.68}, Xs3{"XS3", 0.79, 0.89}, SpotPan{"P", 0.51, 0.73};
const Band Ik1{"IKONOS 1", 0.445, 0.516}, Ik2{"IKONOS 2", 0.506, 0.595}, Ik3{"IKONOS 3", 0.632, 0.698},
    Ik4{"IKONOS 4", 0.757, 0.853}, IkPan{"IKONOS Pan", 0.45, 0.90};
const Band FilmPan{"Pancromática", 0.40, 0.70}, FilmInfrared{"Infrarroja B/N", 0.70, 0.90};
} // namespace Bands

namespace {

// Terrain shading on a coarse grid: relief finer than 15 m is not worth the elevation evaluations.
class ShadeGrid {
public:
    ShadeGrid(const Landscape& land, const View& view, const Illumination& sun) {
        FStep = std::max(15.0, view.PixelSize());
        FX0 = view.X0 - FStep;
        FY0 = view.Y0 - FStep;
        FW = int(view.Extent / FStep) + 4;
        FH = int((view.ExtentY > 0 ? view.ExtentY : view.PixelSizeY() * view.Height) / FStep) + 4;
        std::vector<double> h(size_t(FW + 2) * size_t(FH + 2));
        for (int j = 0; j < FH + 2; ++j)
            for (int i = 0; i < FW + 2; ++i)
                h[size_t(j) * size_t(FW + 2) + size_t(i)] =
                    land.Elevation(FX0 + (i - 1) * FStep, FY0 + (j - 1) * FStep);
        double az = sun.SunAzimuth * M_PI / 180, el = sun.SunElevation * M_PI / 180;
        // Towards the sun: east is +x, south is +y.
        double sx = std::sin(az) * std::cos(el), sy = -std::cos(az) * std::cos(el), sz = std::sin(el);
        FShade.resize(size_t(FW) * size_t(FH));
        for (int j = 0; j < FH; ++j)
            for (int i = 0; i < FW; ++i) {
                auto H = [&](int di, int dj) {
                    return h[size_t(j + 1 + dj) * size_t(FW + 2) + size_t(i + 1 + di)];
                };
                double dzdx = (H(1, 0) - H(-1, 0)) / (2 * FStep), dzdy = (H(0, 1) - H(0, -1)) / (2 * FStep);
                double nx = -dzdx, ny = -dzdy, nz = 1, n = std::sqrt(nx * nx + ny * ny + 1);
                double cosi = (nx * sx + ny * sy + nz * sz) / n;
                FShade[size_t(j) * size_t(FW) + size_t(i)] = float(std::max(0.05, cosi) / sz);
            }
    }
    float At(double x, double y) const {
        double fx = (x - FX0) / FStep, fy = (y - FY0) / FStep;
        int i = std::clamp(int(fx), 0, FW - 2), j = std::clamp(int(fy), 0, FH - 2);
        double tx = std::clamp(fx - i, 0.0, 1.0), ty = std::clamp(fy - j, 0.0, 1.0);
        auto S = [&](int a, int b) { return FShade[size_t(b) * size_t(FW) + size_t(a)]; };
        return float((S(i, j) * (1 - tx) + S(i + 1, j) * tx) * (1 - ty) +
                     (S(i, j + 1) * (1 - tx) + S(i + 1, j + 1) * tx) * ty);
    }

private:
    double FStep, FX0, FY0;
    int FW, FH;
    std::vector<float> FShade;
};

bool IsSoil(Material m) {
    return m == Material::SoilDry || m == Material::SoilPloughed || m == Material::Sand;
}

} // namespace

QPoint FindGround(const View& view, Material material, QPoint near, int margin, int radius) {
    const Landscape land;
    const double px = view.PixelSize(), py = view.PixelSizeY();
    auto is = [&](int x, int y) {
        return land.At(view.X0 + (x + 0.5) * px, view.Y0 + (y + 0.5) * py, px).Kind == material;
    };
    auto fits = [&](int x, int y) {
        for (int dy = -margin; dy <= margin; ++dy)
            for (int dx = -margin; dx <= margin; ++dx)
                if (!is(x + dx, y + dy)) return false;
        return true;
    };
    // Rings of growing size around the wanted place, so the nearest match wins.
    for (int r = 0; r <= radius; ++r)
        for (int dy = -r; dy <= r; ++dy)
            for (int dx = -r; dx <= r; ++dx) {
                if (std::max(std::abs(dx), std::abs(dy)) != r) continue;
                int x = near.x() + dx, y = near.y() + dy;
                if (x >= margin && y >= margin && x < view.Width - margin && y < view.Height - margin &&
                    fits(x, y))
                    return {x, y};
            }
    return near;
}

std::vector<FloatImage> RenderBands(const View& view, std::span<const Band> bands, const Illumination& sun) {
    const Landscape land;
    const ShadeGrid shade(land, view, sun);
    const size_t nb = bands.size();
    // Per material and band: mean reflectance, or emitted radiance for thermal bands.
    std::vector<float> table(size_t(kMaterialCount) * nb);
    for (int m = 0; m < kMaterialCount; ++m)
        for (size_t b = 0; b < nb; ++b) {
            auto mat = Material(m);
            table[size_t(m) * nb + b] =
                bands[b].Thermal ? float(Emissivity(mat) * Planck(11.0, SurfaceTemperature(mat, sun.Night)))
                                 : float(BandReflectance(mat, bands[b].Lo, bands[b].Hi));
        }
    std::vector<FloatImage> out(nb, FloatImage(view.Width, view.Height));
    const double px = view.PixelSize(), py = view.PixelSizeY();
    const int n = std::clamp(int(std::ceil(std::max(px, py) / 6)), 1, 4);
    auto rows = [&](int from, int to) {
        std::vector<float> acc(nb);
        for (int y = from; y < to; ++y)
            for (int x = 0; x < view.Width; ++x) {
                std::fill(acc.begin(), acc.end(), 0.f);
                for (int sj = 0; sj < n; ++sj)
                    for (int si = 0; si < n; ++si) {
                        double wx = view.X0 + (x + (si + 0.5) / n) * px,
                               wy = view.Y0 + (y + (sj + 0.5) / n) * py;
                        GroundSample g = land.At(wx, wy, px);
                        float bright = float(1 + 0.12 * g.Texture) * float(g.Shadow);
                        if (IsSoil(g.Kind)) bright *= float(1 - 0.25 * g.Moisture);
                        const float* t = &table[size_t(g.Kind) * nb];
                        for (size_t b = 0; b < nb; ++b) {
                            if (bands[b].Thermal) {
                                // Sunlit slopes and open ground run warmer by day; shadows cooler.
                                double dt = sun.Night ? 0 : 3 * (g.Shadow - 1) + 0.8 * g.Texture;
                                acc[b] += t[b] * float(1 + 0.016 * dt);
                            } else {
                                acc[b] += t[b] * bright;
                            }
                        }
                    }
                float s = shade.At(view.X0 + (x + 0.5) * px, view.Y0 + (y + 0.5) * py);
                for (size_t b = 0; b < nb; ++b) {
                    float v = acc[b] / float(n * n);
                    if (!bands[b].Thermal)
                        v *= s;
                    else if (!sun.Night)
                        v *= float(1 + 0.03 * (s - 1));
                    out[b].At(x, y) = v;
                }
            }
    };
    unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::vector<std::thread> pool;
    int step = (view.Height + int(threads) - 1) / int(threads);
    for (unsigned t = 0; t < threads; ++t) {
        int from = int(t) * step, to = std::min(view.Height, from + step);
        if (from < to) pool.emplace_back(rows, from, to);
    }
    for (std::thread& t : pool)
        t.join();
    return out;
}

FloatImage RenderBand(const View& view, const Band& band, const Illumination& sun) {
    return std::move(RenderBands(view, std::span<const Band>(&band, 1), sun)[0]);
}

std::pair<float, float> Percentiles(const FloatImage& image, double low, double high) {
    std::vector<float> v = image.Values;
    if (v.empty()) return {0, 1};
    auto at = [&](double f) {
        size_t k = std::min(v.size() - 1, size_t(f * double(v.size() - 1)));
        std::nth_element(v.begin(), v.begin() + long(k), v.end());
        return v[k];
    };
    float lo = at(low), hi = at(high);
    if (hi <= lo) hi = lo + 1e-6f;
    return {lo, hi};
}

QImage ToGrey(const FloatImage& image, float lo, float hi) {
    QImage out(image.Width, image.Height, QImage::Format_Grayscale8);
    float scale = 255.f / (hi - lo);
    for (int y = 0; y < image.Height; ++y) {
        uchar* line = out.scanLine(y);
        for (int x = 0; x < image.Width; ++x)
            line[x] = uchar(std::clamp(std::lround((image.At(x, y) - lo) * scale), 0L, 255L));
    }
    return out;
}

QImage Stretched(const FloatImage& image, double low, double high) {
    auto [lo, hi] = Percentiles(image, low, high);
    return ToGrey(image, lo, hi);
}

QImage FilmPositive(const FloatImage& image, float white, double gamma) {
    QImage out(image.Width, image.Height, QImage::Format_Grayscale8);
    for (int y = 0; y < image.Height; ++y) {
        uchar* line = out.scanLine(y);
        for (int x = 0; x < image.Width; ++x) {
            double v = std::max(0.0, double(image.At(x, y)) / white);
            double d = std::pow(v, gamma);
            double print = (1 - std::exp(-1.6 * d)) / (1 - std::exp(-1.6));
            line[x] = uchar(std::clamp(std::lround(255 * print), 0L, 255L));
        }
    }
    return out;
}

QImage Composite(const FloatImage& red, const FloatImage& green, const FloatImage& blue, double low,
                 double high) {
    QImage r = Stretched(red, low, high), g = Stretched(green, low, high), b = Stretched(blue, low, high);
    QImage out(red.Width, red.Height, QImage::Format_RGB32);
    for (int y = 0; y < red.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        const uchar *lr = r.constScanLine(y), *lg = g.constScanLine(y), *lb = b.constScanLine(y);
        for (int x = 0; x < red.Width; ++x)
            line[x] = qRgb(lr[x], lg[x], lb[x]);
    }
    return out;
}

float PathRadiance(const Band& band) {
    double mid = (band.Lo + band.Hi) / 2;
    return band.Thermal ? 0.f : float(0.02 * std::pow(0.45 / mid, 4));
}

FloatImage ToDigitalNumbers(const FloatImage& image, const Band& band, float full, int bits) {
    FloatImage out(image.Width, image.Height);
    float top = float((1 << bits) - 1), haze = PathRadiance(band);
    for (size_t i = 0; i < image.Values.size(); ++i)
        out.Values[i] = std::clamp(std::round((image.Values[i] + haze) / full * top), 0.f, top);
    return out;
}

FloatImage Mix(std::span<const FloatImage* const> images, std::span<const float> weights) {
    FloatImage out(images[0]->Width, images[0]->Height);
    for (size_t k = 0; k < images.size(); ++k)
        for (size_t i = 0; i < out.Values.size(); ++i)
            out.Values[i] += images[k]->Values[i] * weights[k];
    return out;
}
