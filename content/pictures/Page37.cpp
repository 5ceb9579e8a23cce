// Page 37: a Landsat 7 ETM+ natural colour composite (bands 3, 2, 1) of a later date, processed as its
// caption says: each band stretched linearly between its 2 % and 98 % points and brought to 8 bits
// through an ordered dither.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/LandsatScenes.h"

#include <algorithm>
#include <cmath>

namespace {

// The 4 x 4 Bayer matrix: thresholds spread evenly over one grey level, so the fraction a stretch
// leaves between two levels becomes a pattern instead of a step.
constexpr int kBayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

QImage DitheredComposite(const FloatImage& red, const FloatImage& green, const FloatImage& blue) {
    const FloatImage* bands[] = {&red, &green, &blue};
    float lo[3], scale[3];
    for (int b = 0; b < 3; ++b) {
        auto [l, h] = Percentiles(*bands[b], 0.02, 0.98);
        lo[b] = l, scale[b] = 255.f / (h - l);
    }
    QImage out(red.Width, red.Height, QImage::Format_RGB32);
    for (int y = 0; y < red.Height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < red.Width; ++x) {
            const float threshold = (float(kBayer[y % 4][x % 4]) + 0.5f) / 16.f;
            int c[3];
            for (int b = 0; b < 3; ++b)
                c[b] =
                    std::clamp(int(std::floor((bands[b]->At(x, y) - lo[b]) * scale[b] + threshold)), 0, 255);
            line[x] = qRgb(c[0], c[1], c[2]);
        }
    }
    return out;
}

QImage NaturalColour2011() {
    // Only the top 686 rows show on the page; the rest continues the scene to the south.
    const View view{336, 1500, 11328, 0, 944, 841};
    const SceneDate date{{145, 42, false}, 3};
    const std::vector<Band> bands = {Bands::Etm3, Bands::Etm2, Bands::Etm1};
    std::vector<FloatImage> b = RenderScene(view, bands, date);
    QImage image = DitheredComposite(b[0], b[1], b[2]);
    QPainter p;
    BeginPainting(p, image);
    DrawPlaceLabel(p, {10, 10}, {10, 10},
                   QString::fromUtf8("ETM+ · R = banda 3 · V = banda 2 · A = banda 1 · estiramiento lineal "
                                     "al 2 % y tramado (dithering)"),
                   14);
    DrawScaleBar(p, QPointF(16, 672), view.PixelSize(), 2000, 13);
    DrawNorthArrow(p, QPointF(900, 12), 30, 13);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page37() {
    return {
        {"p37-landsat7-2011-color-natural.bmp", [] { return EncodeBitmap24(NaturalColour2011()); }},
    };
}
