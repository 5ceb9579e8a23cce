// Colour film and tree shadows for large-scale aerial photographs.
#include "content/toolkit/scenes/AerialPhoto.h"

#include <algorithm>
#include <cmath>
#include <vector>

QImage FilmColour(const View& view, float white, double gamma) {
    const std::vector<Band> bands = {{"R", 0.6, 0.7}, {"V", 0.5, 0.6}, {"A", 0.4, 0.5}};
    const std::vector<FloatImage> b = RenderBands(view, bands);
    const QImage r = FilmPositive(b[0], white, gamma), g = FilmPositive(b[1], white * 0.95f, gamma),
                 bl = FilmPositive(b[2], white * 0.9f, gamma);
    QImage out(view.Width, view.Height, QImage::Format_RGB32);
    for (int y = 0; y < view.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < view.Width; ++x)
            line[x] = qRgb(r.constScanLine(y)[x], g.constScanLine(y)[x], bl.constScanLine(y)[x]);
    }
    return out;
}

QImage WithTreeShadows(const QImage& photo, const View& view, double reach) {
    const Landscape land;
    const double px = view.PixelSize(), py = view.PixelSizeY();
    // Shadows fall north-west: a pixel is shaded by a crown k pixels to its south-east.
    const int steps = int(reach / std::hypot(px, py)) + 1;
    const int w = view.Width + steps, h = view.Height + steps;
    std::vector<uint8_t> crown(size_t(w) * size_t(h));
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            const GroundSample g = land.At(view.X0 + (i + 0.5) * px, view.Y0 + (j + 0.5) * py, px);
            crown[size_t(j) * size_t(w) + size_t(i)] =
                g.Kind == Material::Broadleaf || g.Kind == Material::Conifer;
        }
    const bool grey = photo.format() == QImage::Format_Grayscale8;
    QImage out = photo.convertToFormat(grey ? QImage::Format_Grayscale8 : QImage::Format_RGB32);
    // Shade keeps 40 % of the light; the open sky adds a little blue.
    auto dim = [](int v) { return v * 4 / 10; };
    for (int j = 0; j < view.Height; ++j)
        for (int i = 0; i < view.Width; ++i) {
            if (crown[size_t(j) * size_t(w) + size_t(i)]) continue;
            bool shadow = false;
            for (int k = 1; k <= steps && !shadow; ++k)
                shadow = crown[size_t(j + k) * size_t(w) + size_t(i + k)];
            if (!shadow) continue;
            if (grey) {
                uchar& v = out.scanLine(j)[i];
                v = uchar(dim(v));
            } else {
                QRgb& c = reinterpret_cast<QRgb*>(out.scanLine(j))[i];
                c = qRgb(dim(qRed(c)), dim(qGreen(c)), std::min(255, dim(qBlue(c)) + 6));
            }
        }
    return out;
}
