// Icon drawing. The motif is computed per pixel at any size, so every size is drawn rather than
// scaled; the picture writers make the icon files.
#include "content/IconArt.h"

#include "content/toolkit/encoders/BitmapWriter.h"

#include <array>
#include <cmath>
#include <cstring>

namespace {

struct Rgba {
    uint8_t R, G, B, A;
};

// The 16-colour palette of the small icon: black, the earth's blues and greens, greys and gold.
constexpr std::array<Rgba, 16> kPalette = {{
    {0, 0, 0, 255},
    {10, 34, 94, 255},
    {22, 78, 160, 255},
    {64, 140, 214, 255},
    {28, 110, 52, 255},
    {86, 160, 70, 255},
    {232, 240, 248, 255},
    {255, 255, 255, 255},
    {96, 96, 104, 255},
    {160, 164, 172, 255},
    {208, 212, 220, 255},
    {196, 150, 32, 255},
    {240, 200, 64, 255},
    {40, 60, 120, 255},
    {150, 200, 240, 255},
    {255, 0, 255, 255},
}};

// The motif at size n: the earth fills the lower left, its limb lit from the upper right; the
// satellite (body and two solar wings) sits in the upper right; a thin orbit arc joins them.
Rgba Motif(int x, int y, int n) {
    double s = n / 32.0;
    double fx = (x + 0.5) / s, fy = (y + 0.5) / s; // in 32-unit coordinates
    // Satellite: body, then wings along a diagonal.
    double u = (fx - 23.0 + fy - 9.0) / std::sqrt(2.0);   // along the wings
    double v = (fx - 23.0 - (fy - 9.0)) / std::sqrt(2.0); // across
    if (std::fabs(u) < 2.4 && std::fabs(v) < 2.4) return kPalette[12];
    if (std::fabs(u) < 2.8 && std::fabs(v) < 2.8) return kPalette[11];
    if (std::fabs(u) > 3.4 && std::fabs(u) < 9.5 && std::fabs(v) < 2.2) {
        bool seam = std::fmod(std::fabs(u) - 3.4, 2.0) < 0.45;
        return seam ? kPalette[9] : kPalette[2];
    }
    if (std::fabs(u) >= 2.8 && std::fabs(u) <= 3.4 && std::fabs(v) < 0.6) return kPalette[9];
    // Earth.
    double dx = fx - 9.0, dy = fy - 26.0;
    double r = std::sqrt(dx * dx + dy * dy);
    if (r < 17.0) {
        double land = std::sin(fx * 0.55) + std::cos(fy * 0.48 + fx * 0.21) + 0.6 * std::sin(fx * fy * 0.02);
        bool lit = dx + (-dy) > -4.0;
        if (r > 15.8) return kPalette[14];
        if (land > 0.9) return lit ? kPalette[5] : kPalette[4];
        return lit ? kPalette[3] : kPalette[2];
    }
    // Orbit arc.
    double orbit = std::sqrt((fx - 9.0) * (fx - 9.0) + (fy - 26.0) * (fy - 26.0));
    if (std::fabs(orbit - 21.5) < 0.5 && fx > 10.0) return kPalette[10];
    return {0, 0, 0, 0};
}

uint8_t PaletteIndex(Rgba c) {
    for (size_t i = 0; i < kPalette.size(); ++i)
        if (std::memcmp(&kPalette[i], &c, 3) == 0) return static_cast<uint8_t>(i);
    return 0;
}

// The motif at size n in 16 colours; what it leaves clear is index 0 under the mask.
IconImage Image4(int n) {
    IconImage icon{.Image = {n, n, {}}, .BitsPerPixel = 4};
    for (const Rgba& c : kPalette)
        icon.ColorTable.push_back(uint32_t(c.R) << 16 | uint32_t(c.G) << 8 | c.B);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            Rgba c = Motif(x, y, n);
            icon.Image.Pixels.push_back(c.A ? PaletteIndex(c) : 0);
            icon.Transparent.push_back(c.A == 0);
        }
    return icon;
}

// The motif at size n in 32 bits with alpha; the mask is set where alpha is 0.
IconImage Image32(int n) {
    IconImage icon{.Image = {n, n, {}}, .BitsPerPixel = 32};
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            Rgba c = Motif(x, y, n);
            icon.Image.Pixels.push_back(uint32_t(c.A) << 24 | uint32_t(c.R) << 16 | uint32_t(c.G) << 8 | c.B);
        }
    return icon;
}

} // namespace

std::vector<uint8_t> FormIconFile() {
    const IconImage images[] = {Image4(32)};
    return EncodeIcon(images);
}

std::vector<uint8_t> MainIconFile() {
    const IconImage images[] = {Image32(16), Image32(32), Image32(48)};
    return EncodeIcon(images);
}

std::vector<uint8_t> IconPixels(int size) {
    std::vector<uint8_t> rgba;
    rgba.reserve(static_cast<size_t>(size) * static_cast<size_t>(size) * 4);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            Rgba c = Motif(x, y, size);
            rgba.insert(rgba.end(), {c.R, c.G, c.B, c.A});
        }
    return rgba;
}
