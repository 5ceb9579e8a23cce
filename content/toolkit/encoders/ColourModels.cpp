// Colour distance, popularity palettes, palette mapping and luminance grey scale.
#include "content/toolkit/encoders/ColourModels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

int ColourDistance2(QRgb a, QRgb b) {
    int dr = qRed(a) - qRed(b), dg = qGreen(a) - qGreen(b), db = qBlue(a) - qBlue(b);
    return dr * dr + dg * dg + db * db;
}

double ColourDistance(QRgb a, QRgb b) {
    return std::sqrt(double(ColourDistance2(a, b)));
}

int NearestColour(QRgb colour, const std::vector<QRgb>& palette) {
    int best = -1, bestD = 0;
    for (size_t i = 0; i < palette.size(); ++i) {
        int d = ColourDistance2(colour, palette[i]);
        if (best < 0 || d < bestD) {
            best = int(i);
            bestD = d;
        }
    }
    return best;
}

int DistinctColours(const QImage& image) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    std::unordered_set<QRgb> seen;
    for (int y = 0; y < rgb.height(); ++y) {
        auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            seen.insert(line[x] & 0xFFFFFFu);
    }
    return int(seen.size());
}

std::vector<QRgb> PopularityPalette(const QImage& image, int colours, int bits) {
    bits = std::clamp(bits, 1, 8);
    const int shift = 8 - bits;
    struct Cell {
        uint32_t Key;
        uint64_t Count = 0, R = 0, G = 0, B = 0;
    };
    std::vector<Cell> cells(size_t(1) << (3 * bits));
    for (size_t k = 0; k < cells.size(); ++k)
        cells[k].Key = uint32_t(k);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < rgb.height(); ++y) {
        auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            QRgb c = line[x];
            uint32_t key = uint32_t((qRed(c) >> shift) << (2 * bits) | (qGreen(c) >> shift) << bits |
                                    (qBlue(c) >> shift));
            Cell& cell = cells[key];
            ++cell.Count;
            cell.R += uint64_t(qRed(c));
            cell.G += uint64_t(qGreen(c));
            cell.B += uint64_t(qBlue(c));
        }
    }
    std::erase_if(cells, [](const Cell& c) { return c.Count == 0; });
    std::stable_sort(cells.begin(), cells.end(),
                     [](const Cell& a, const Cell& b) { return a.Count > b.Count; });
    std::vector<QRgb> palette;
    for (size_t i = 0; i < cells.size() && int(i) < colours; ++i) {
        const Cell& c = cells[i];
        const uint64_t n = c.Count;
        palette.push_back(qRgb(int((c.R + n / 2) / n), int((c.G + n / 2) / n), int((c.B + n / 2) / n)));
    }
    return palette;
}

IndexedImage MapToPalette(const QImage& image, const std::vector<QRgb>& palette) {
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    IndexedImage out{rgb.width(), rgb.height(), {}, palette};
    out.Pixels.resize(size_t(out.Width) * size_t(out.Height));
    std::unordered_map<QRgb, uint8_t> nearest;
    for (int y = 0; y < out.Height; ++y) {
        auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < out.Width; ++x) {
            QRgb c = line[x] & 0xFFFFFFu;
            auto it = nearest.find(c);
            if (it == nearest.end())
                it = nearest.emplace(c, uint8_t(std::max(0, NearestColour(c, palette)))).first;
            out.Pixels[size_t(y) * size_t(out.Width) + size_t(x)] = it->second;
        }
    }
    return out;
}

QImage ToTrueColour(const IndexedImage& image) {
    QImage out(image.Width, image.Height, QImage::Format_RGB32);
    for (int y = 0; y < image.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < image.Width; ++x) {
            size_t index = image.Pixels[size_t(y) * size_t(image.Width) + size_t(x)];
            line[x] = index < image.Palette.size() ? image.Palette[index] | 0xFF000000u : qRgb(0, 0, 0);
        }
    }
    return out;
}

int Luminance(QRgb colour) {
    return (30 * qRed(colour) + 59 * qGreen(colour) + 11 * qBlue(colour)) / 100;
}

int MeanGrey(QRgb colour) {
    return (qRed(colour) + qGreen(colour) + qBlue(colour)) / 3;
}

QImage LuminanceImage(const QImage& image) {
    QImage out = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < out.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            int g = Luminance(line[x]);
            line[x] = qRgb(g, g, g);
        }
    }
    return out;
}

IndexedImage LuminancePalette(const IndexedImage& image) {
    IndexedImage out = image;
    for (QRgb& entry : out.Palette) {
        int g = Luminance(entry);
        entry = qRgb(g, g, g);
    }
    return out;
}
