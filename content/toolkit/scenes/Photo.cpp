// Photographic effects applied after rendering.
#include "content/toolkit/scenes/Photo.h"

#include "content/toolkit/scenes/Noise.h"

#include <algorithm>
#include <cmath>

void AddGrain(QImage& image, double sigma, uint32_t seed) {
    bool grey = image.format() == QImage::Format_Grayscale8;
    if (!grey) image = image.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            // The sum of three uniforms is close enough to a normal distribution for grain.
            double n =
                (Hash01(x, y, seed) + Hash01(x, y, seed + 1) + Hash01(x, y, seed + 2) - 1.5) * 2 * sigma;
            if (grey) {
                line[x] = uchar(std::clamp(int(std::lround(line[x] + n)), 0, 255));
            } else {
                auto* px = reinterpret_cast<QRgb*>(line) + x;
                *px = qRgb(std::clamp(int(qRed(*px) + n), 0, 255), std::clamp(int(qGreen(*px) + n), 0, 255),
                           std::clamp(int(qBlue(*px) + n), 0, 255));
            }
        }
    }
}

void Vignette(QImage& image, double strength) {
    bool grey = image.format() == QImage::Format_Grayscale8;
    if (!grey) image = image.convertToFormat(QImage::Format_RGB32);
    double cx = image.width() / 2.0, cy = image.height() / 2.0, r = std::hypot(cx, cy);
    for (int y = 0; y < image.height(); ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy) / r;
            double f = 1 - strength * d * d * d * d;
            if (grey) {
                line[x] = uchar(std::lround(line[x] * f));
            } else {
                auto* px = reinterpret_cast<QRgb*>(line) + x;
                *px = qRgb(int(qRed(*px) * f), int(qGreen(*px) * f), int(qBlue(*px) * f));
            }
        }
    }
}

QImage Toned(const QImage& grey, double red, double green, double blue) {
    QImage g = grey.convertToFormat(QImage::Format_Grayscale8);
    QImage out(g.width(), g.height(), QImage::Format_RGB32);
    for (int y = 0; y < g.height(); ++y) {
        const uchar* in = g.constScanLine(y);
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < g.width(); ++x)
            line[x] = qRgb(std::min(255, int(in[x] * red)), std::min(255, int(in[x] * green)),
                           std::min(255, int(in[x] * blue)));
    }
    return out;
}
