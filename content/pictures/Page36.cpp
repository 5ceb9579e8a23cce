// Page 36: the Landsat 7 scene of page 34 as a false colour composite of bands 4, 3 and 2, each band
// stretched on its own: vegetation red, water black, soil, rock and town in cyan and grey.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/LandsatScenes.h"

namespace {

QImage Composite432() {
    const View view{240, 2463, 11520, 0, 960, 614};
    const SceneDate date{{130, 55, false}, 4};
    const std::vector<Band> bands = {Bands::Etm4, Bands::Etm3, Bands::Etm2};
    std::vector<FloatImage> b = RenderScene(view, bands, date);
    QImage image = Composite(b[0], b[1], b[2], 0.01, 0.99);
    QPainter p;
    BeginPainting(p, image);
    DrawValleyLabels(p, view, 14);
    DrawPlaceLabel(p, {10, 10}, {10, 10}, QString::fromUtf8("R = banda 4 · V = banda 3 · A = banda 2"), 14);
    DrawScaleBar(p, QPointF(16, view.Height - 12), view.PixelSize(), 2000, 13);
    DrawNorthArrow(p, QPointF(925, 12), 30, 13);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page36() {
    return {
        {"p36-landsat7-432.bmp", [] { return EncodeBitmap24(Composite432()); }},
    };
}
