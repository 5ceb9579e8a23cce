// Icon drawing and ICO encoding. The motif is computed per pixel at any size, so every size is drawn
// rather than scaled.
#include "content/IconArt.h"

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

void Put16(std::vector<uint8_t>& b, uint32_t v) {
    b.push_back(static_cast<uint8_t>(v));
    b.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& b, uint32_t v) {
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// The 40-byte header of an icon image: the height counts the colour rows and the mask rows.
void PutInfoHeader(std::vector<uint8_t>& b, int n, int bits, uint32_t imageSize) {
    Put32(b, 40);
    Put32(b, static_cast<uint32_t>(n));
    Put32(b, static_cast<uint32_t>(2 * n));
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(bits));
    Put32(b, 0);
    Put32(b, imageSize);
    Put32(b, 0);
    Put32(b, 0);
    Put32(b, bits <= 8 ? 1u << bits : 0);
    Put32(b, 0);
}

// The AND mask: 1 where the icon is transparent, rows padded to 4 bytes, bottom row first.
void PutMask(std::vector<uint8_t>& b, int n) {
    int rowBytes = ((n + 31) / 32) * 4;
    for (int y = n - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(rowBytes), 0);
        for (int x = 0; x < n; ++x)
            if (Motif(x, y, n).A == 0)
                row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
}

uint8_t PaletteIndex(Rgba c) {
    for (size_t i = 0; i < kPalette.size(); ++i)
        if (std::memcmp(&kPalette[i], &c, 3) == 0) return static_cast<uint8_t>(i);
    return 0;
}

std::vector<uint8_t> Image4(int n) {
    std::vector<uint8_t> b;
    uint32_t xorSize = static_cast<uint32_t>(n * n / 2),
             andSize = static_cast<uint32_t>(((n + 31) / 32) * 4 * n);
    PutInfoHeader(b, n, 4, xorSize + andSize);
    for (const Rgba& c : kPalette) {
        b.push_back(c.B);
        b.push_back(c.G);
        b.push_back(c.R);
        b.push_back(0);
    }
    for (int y = n - 1; y >= 0; --y)
        for (int x = 0; x < n; x += 2) {
            Rgba a = Motif(x, y, n), c = Motif(x + 1, y, n);
            uint8_t hi = a.A ? PaletteIndex(a) : 0, lo = c.A ? PaletteIndex(c) : 0;
            b.push_back(static_cast<uint8_t>(hi << 4 | lo));
        }
    PutMask(b, n);
    return b;
}

std::vector<uint8_t> Image32(int n) {
    std::vector<uint8_t> b;
    uint32_t xorSize = static_cast<uint32_t>(n * n * 4),
             andSize = static_cast<uint32_t>(((n + 31) / 32) * 4 * n);
    PutInfoHeader(b, n, 32, xorSize + andSize);
    for (int y = n - 1; y >= 0; --y)
        for (int x = 0; x < n; ++x) {
            Rgba c = Motif(x, y, n);
            b.push_back(c.B);
            b.push_back(c.G);
            b.push_back(c.R);
            b.push_back(c.A);
        }
    PutMask(b, n);
    return b;
}

struct IconImage {
    int Size;
    int Bits;
    std::vector<uint8_t> Bytes;
};

std::vector<uint8_t> IcoFile(const std::vector<IconImage>& images) {
    std::vector<uint8_t> b;
    Put16(b, 0);
    Put16(b, 1);
    Put16(b, static_cast<uint32_t>(images.size()));
    uint32_t offset = static_cast<uint32_t>(6 + 16 * images.size());
    for (const IconImage& im : images) {
        b.push_back(static_cast<uint8_t>(im.Size));
        b.push_back(static_cast<uint8_t>(im.Size));
        b.push_back(im.Bits <= 8 ? static_cast<uint8_t>(1u << im.Bits) : 0);
        b.push_back(0);
        Put16(b, 1);
        Put16(b, static_cast<uint32_t>(im.Bits));
        Put32(b, static_cast<uint32_t>(im.Bytes.size()));
        Put32(b, offset);
        offset += static_cast<uint32_t>(im.Bytes.size());
    }
    for (const IconImage& im : images)
        b.insert(b.end(), im.Bytes.begin(), im.Bytes.end());
    return b;
}

} // namespace

std::vector<uint8_t> FormIconFile() {
    return IcoFile({{32, 4, Image4(32)}});
}

std::vector<uint8_t> MainIconFile() {
    return IcoFile({{16, 32, Image32(16)}, {32, 32, Image32(32)}, {48, 32, Image32(48)}});
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
