// Mars and Venus. Both surfaces are functions of position built from the course's noise; Mars is lit
// by the sun with cast shadows, Venus is imaged by the radar model.
#include "content/toolkit/scenes/Planet.h"

#include "content/toolkit/scenes/Noise.h"

#include <algorithm>
#include <cmath>

namespace {

double Smoothstep(double a, double b, double x) {
    double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

// Height of a simple bowl crater of radius r at distance d from its centre: a bowl a fifth as deep as
// it is wide, a raised rim and an ejecta apron that fades within a radius.
double Crater(double d, double r) {
    if (d < r) return -0.4 * r * (1 - (d / r) * (d / r)) + 0.08 * r;
    return 0.08 * r * std::exp(-3 * (d - r) / r);
}

} // namespace

MarsTerrain::MarsTerrain(uint32_t seed) : FSeed(seed) {
    double z = -300;
    for (int k = 0; z < 600; ++k) {
        FBase.push_back(z);
        // Beds come in packets: a slow swing of brightness with bed-to-bed variation on top of it.
        double a = 0.5 + 0.2 * std::sin(k * 0.55 + 1.5 * ValueNoise(k * 0.15, 0.5, seed + 1)) +
                   0.34 * (Hash01(k, 1, seed) - 0.5);
        FAlbedo.push_back(std::clamp(a, 0.22, 0.9));
        double hard = Hash01(k, 2, seed);
        FHard.push_back(hard > 0.5 ? 0.6 + 0.4 * hard : 0.3 * hard);
        z += 2.5 + 9 * std::pow(Hash01(k, 0, seed), 2);
    }
}

int MarsTerrain::Stratum(double z) const {
    auto it = std::upper_bound(FBase.begin(), FBase.end(), z);
    return std::clamp(int(it - FBase.begin()) - 1, 0, int(FBase.size()) - 2);
}

MarsTerrain::Sample MarsTerrain::At(double x, double y) const {
    const double c = std::cos(WindAngle), s = std::sin(WindAngle);
    const double u = x * c + y * s, v = -x * s + y * c;
    // Mesas of layered rock standing above lower plains.
    double mesa = Smoothstep(-0.35, 0.45, Fractal(x / 1400, y / 1400, FSeed + 10, 5));
    double h = 190 * mesa + 30 * Fractal(x / 500, y / 500, FSeed + 11, 4) +
               4 * Fractal(x / 50, y / 50, FSeed + 12, 3);
    // Grooves scoured along the wind, deepest on the high ground.
    double n = Fractal(u / 500, v / 60, FSeed + 13, 3);
    h -= (1.5 + 6 * mesa) * Smoothstep(0.45, 0.0, std::abs(n));
    // Each stratum erodes to a slope; a hard one keeps a flat ledge on top and breaks off in a step.
    int k = Stratum(h);
    double base = FBase[size_t(k)], top = FBase[size_t(k) + 1];
    double f = std::clamp((h - base) / (top - base), 0.0, 1.0);
    h = base + (top - base) * std::pow(f, 1 + 5 * FHard[size_t(k)]);

    Sample out{h, 0, false};
    // Sand collects in the lows, rippled across the wind.
    double sandLevel = 16 + 22 * Fractal(x / 800, y / 800, FSeed + 14, 3);
    double ripple = std::sin(2 * M_PI * (u / 26 + 0.9 * Fractal(x / 160, y / 160, FSeed + 15, 2)));
    if (h < sandLevel) {
        out.Height = sandLevel + 0.45 * ripple;
        out.Albedo = 0.2 + 0.03 * ripple + 0.03 * Fractal(x / 40, y / 40, FSeed + 16, 2);
        out.Sand = true;
    } else {
        // The bed exposed at this level, with fine laminae and some mottling of dust.
        out.Albedo = FAlbedo[size_t(Stratum(h - 0.3))] + 0.025 * std::sin(2 * M_PI * h / 1.3) +
                     0.05 * Fractal(x / 25, y / 25, FSeed + 17, 3);
    }
    // Craters of two populations: sparse larger ones and many small ones.
    CellNoise big = Cells(x / 240, y / 240, FSeed + 18);
    if ((big.Cell & 0xff) < 80)
        out.Height += Crater(big.Distance * 240, 6 + 40 * std::pow(((big.Cell >> 8) & 0xff) / 255.0, 2));
    CellNoise small = Cells(x / 70, y / 70, FSeed + 19);
    if ((small.Cell & 0xff) < 70)
        out.Height += Crater(small.Distance * 70, 1.5 + 7 * ((small.Cell >> 8) & 0xff) / 255.0);
    out.Albedo = std::clamp(out.Albedo, 0.05, 1.0);
    return out;
}

QImage RenderMars(const MarsView& view) {
    const MarsTerrain terrain(view.Terrain);
    const double px = view.PixelSize;
    const double el = view.SunElevation * M_PI / 180;
    const double rise = std::tan(el) * px; // how much the sun's rays climb per pixel towards the west
    // Heights reach past the picture's west edge far enough for the tallest cliff's shadow to fall in.
    const int margin = std::clamp(int(std::ceil(220 / rise)), 2, 600);
    const int gw = view.Width + margin + 1, gh = view.Height + 2;
    std::vector<float> height(size_t(gw) * size_t(gh)), albedo(size_t(gw) * size_t(gh));
    std::vector<uint8_t> sand(size_t(gw) * size_t(gh));
    ForEachRow(gh, [&](int j) {
        for (int i = 0; i < gw; ++i) {
            auto s = terrain.At(view.X0 + (i - margin + 0.5) * px, view.Y0 + (j - 1 + 0.5) * px);
            size_t k = size_t(j) * size_t(gw) + size_t(i);
            height[k] = float(s.Height), albedo[k] = float(s.Albedo), sand[k] = s.Sand;
        }
    });
    auto H = [&](int i, int j) {
        return double(
            height[size_t(std::clamp(j, 0, gh - 1)) * size_t(gw) + size_t(std::clamp(i, 0, gw - 1))]);
    };
    // The sun stands in the west: light comes from the picture's left.
    const double lx = -std::cos(el), lz = std::sin(el);
    std::vector<float> radiance(size_t(view.Width) * size_t(view.Height));
    ForEachRow(view.Height, [&](int y) {
        const int j = y + 1;
        // Sweep eastwards along the row: the shadow line falls by `rise` a pixel from the last
        // ground that stood above it.
        double shadowLine = -1e9;
        for (int i = 0; i < gw - 1; ++i) {
            double z = H(i, j);
            shadowLine -= rise;
            bool lit = z >= shadowLine;
            if (lit) shadowLine = z;
            int x = i - margin;
            if (x < 0 || x >= view.Width) continue;
            double dzdx = (H(i + 1, j) - H(i - 1, j)) / (2 * px),
                   dzdy = (H(i, j + 1) - H(i, j - 1)) / (2 * px);
            double n = std::sqrt(dzdx * dzdx + dzdy * dzdy + 1);
            double direct = lit ? std::max(0.0, (-dzdx * lx + lz) / n) : 0.0;
            // The dusty sky lights the shadows a little.
            radiance[size_t(y) * size_t(view.Width) + size_t(x)] =
                float(albedo[size_t(j) * size_t(gw) + size_t(i)] * (0.85 * direct / lz + 0.14));
        }
    });
    // The stretch of a camera frame: the darkest and brightest few pixels to 0 and 255.
    std::vector<float> sorted = radiance;
    std::sort(sorted.begin(), sorted.end());
    double lo = sorted[sorted.size() / 400], hi = sorted[sorted.size() - 1 - sorted.size() / 400];
    QImage out(view.Width, view.Height, view.Colour ? QImage::Format_RGB32 : QImage::Format_Grayscale8);
    for (int y = 0; y < view.Height; ++y) {
        uchar* line = out.scanLine(y);
        for (int x = 0; x < view.Width; ++x) {
            double r = radiance[size_t(y) * size_t(view.Width) + size_t(x)];
            double noise = (Hash01(x, y, view.NoiseSeed + 99) - 0.5) * 0.012;
            double t = std::clamp((r - lo) / (hi - lo) + noise, 0.0, 1.0);
            if (!view.Colour) {
                line[x] = uchar(std::lround(255 * t));
                continue;
            }
            // Sand is dark and grey-brown, the layered rock and dust ochre.
            bool dark = sand[size_t(y + 1) * size_t(gw) + size_t(x + margin)];
            double red = 255 * std::pow(t, 0.8);
            double green = red * (dark ? 0.7 : 0.66), blue = red * (dark ? 0.6 : 0.46);
            reinterpret_cast<QRgb*>(line)[x] = qRgb(
                std::clamp(int(red), 0, 255), std::clamp(int(green), 0, 255), std::clamp(int(blue), 0, 255));
        }
    }
    return out;
}

QImage MarsOrbiterScene(int width, int height, uint32_t seed) {
    MarsView view;
    view.X0 = 4000, view.Y0 = 1200;
    view.PixelSize = 5;
    view.Width = width, view.Height = height;
    view.Colour = true;
    view.SunElevation = 30;
    view.NoiseSeed = seed;
    return RenderMars(view);
}

namespace {

struct Dome {
    double X, Y, Radius, Height;
};

// Pancake domes in a loose chain across the scene, and the plains' other features, all placed from the
// seed.
class Venus {
public:
    explicit Venus(uint32_t seed) : FSeed(seed) {
        double x = 9000, y = 9000;
        for (int k = 0; k < 7; ++k) {
            double r = 3200 + 2600 * Hash01(k, 0, seed);
            FDomes.push_back({x, y, r, 450 + 300 * Hash01(k, 1, seed)});
            double a = 0.35 + 0.9 * (Hash01(k, 2, seed) - 0.5);
            double next = 3400 + 2600 * Hash01(k + 1, 0, seed);
            x += (r + next) * 0.92 * std::cos(a), y += (r + next) * 0.92 * std::sin(a);
        }
    }

    struct Point {
        double Height;
        Scatterer Surface;
    };

    Point At(double x, double y) const {
        // Plains with a gentle swell, cut by a set of parallel fractures (graben) running NNE.
        double h =
            60 * Fractal(x / 9000, y / 9000, FSeed + 10, 3) + 6 * Fractal(x / 700, y / 700, FSeed + 11, 3);
        double fu =
            x * std::cos(1.2) + y * std::sin(1.2) + 900 * Fractal(x / 12000, y / 12000, FSeed + 12, 2);
        double phase = fu / 1300 - std::floor(fu / 1300);
        uint32_t line = Hash(int32_t(std::floor(fu / 1300)), 0, FSeed + 13);
        double fade = Smoothstep(-0.2, 0.3, Fractal(x / 15000, y / 15000, FSeed + 16 + line % 5, 2));
        if (line % 2 == 0) h -= 120 * fade * std::exp(-std::pow((phase - 0.5) * 1300 / 100, 2));
        // Lava flows: lobes of rough, radar-bright lava spread from the south-west over smoother,
        // darker plains, with every grade between.
        double flow = Fractal((x + 0.6 * y) / 9000, (y - 0.3 * x) / 3000, FSeed + 14, 6) +
                      0.25 * Fractal(x / 900, y / 900, FSeed + 15, 3);
        double rough = 0.55 * Smoothstep(-0.1, 0.05, flow) + 0.45 * Smoothstep(0.15, 0.3, flow);
        Scatterer s;
        s.Diffuse = float(0.025 + 0.2 * rough);
        s.Exponent = 1.4f;
        s.Specular = float(0.25 * (1 - rough));
        s.Slope = 0.18f;
        s.CrossPol = 0.1f;
        // An impact crater: a dark smooth floor and a rough, bright, lobed ejecta blanket.
        const double cx = 42000, cy = 7000, cr = 2300;
        double cd = std::hypot(x - cx, y - cy), ca = std::atan2(y - cy, x - cx);
        double ejecta = cr * (2.3 + 0.5 * std::sin(5 * ca + 1) + 0.3 * std::sin(11 * ca));
        h += 0.3 * Crater(cd, cr);
        if (cd < 0.75 * cr)
            s.Diffuse = 0.02f, s.Specular = 0.3f;
        else if (cd < ejecta)
            s.Diffuse = float(0.2 + 0.15 * (1 - cd / ejecta)), s.Specular = 0;
        // The domes: flat tops, steep margins, a central pit, and fractures on top that run out from
        // the centre and round it.
        for (size_t k = 0; k < FDomes.size(); ++k) {
            const Dome& d = FDomes[k];
            double r = std::hypot(x - d.X, y - d.Y);
            if (r > 1.1 * d.Radius) continue;
            double q = r / d.Radius;
            double dome = d.Height * std::sqrt(std::max(0.0, 1 - std::pow(q, 10)));
            dome -= 70 * std::exp(-std::pow(q / 0.1, 2));
            double a = std::atan2(y - d.Y, x - d.X) + 0.25 * Fractal(q * 3, double(k), FSeed + 20, 2);
            int spokes = 9 + int(Hash(int32_t(k), 3, FSeed) % 7);
            double sector = 2 * M_PI / spokes, w = std::fmod(a + 4 * M_PI, sector) - sector / 2;
            uint32_t spoke = Hash(int32_t(k), int32_t(std::floor((a + 4 * M_PI) / sector)), FSeed + 21);
            double reach = 0.35 + 0.55 * ((spoke & 0xff) / 255.0);
            if (q > 0.12 && q < reach) dome -= 26 * std::exp(-std::pow(r * std::sin(w) / 60, 2));
            dome -=
                20 * std::exp(-std::pow((q - 0.55 - 0.1 * Hash01(int32_t(k), 4, FSeed)) * d.Radius / 55, 2));
            if (dome > 0) {
                h = std::max(h, h * 0.3 + dome);
                s.Diffuse = float(0.05 + 0.03 * Fractal(x / 600, y / 600, FSeed + 22, 2)), s.Specular = 0.12f;
            }
        }
        return {h, s};
    }

private:
    uint32_t FSeed;
    std::vector<Dome> FDomes;
};

} // namespace

RadarSurface VenusSurface(double x0, double y0, double spacing, double rowSpacing, int columns, int rows,
                          uint32_t seed) {
    const Venus venus(seed);
    RadarSurface surface(columns, rows, spacing, rowSpacing);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            Venus::Point p = venus.At(x0 + (c + 0.5) * spacing, y0 + (r + 0.5) * rowSpacing);
            surface.Height[surface.Index(c, r)] = float(p.Height);
            surface.Surface[surface.Index(c, r)] = p.Surface;
        }
    return surface;
}

QImage VenusRadarImage(int width, int height, double pixel, uint32_t seed) {
    const int oversample = 3, margin = 8 * oversample;
    const double spacing = pixel / oversample;
    const int columns = width * oversample + 2 * margin;
    RadarSurface surface = VenusSurface(-margin * spacing, 0, spacing, pixel, columns, height, seed);
    RadarGeometry geometry;
    geometry.Altitude = 1'000'000;
    geometry.NearRange = geometry.Altitude * std::tan(40 * M_PI / 180);
    FloatImage power =
        ImageSurface(surface, geometry, width, margin - 0.5, margin - 0.5 + width * oversample);
    AddSpeckle(power, 4, seed + 1, 0.004f);
    return RadarToGrey(power, 0.01, 0.995);
}
