// Page 34: the Landsat 7 scene of pages 33 to 36 as a natural colour composite of bands 3, 2 and 1. All
// three bands share one stretch, so the haze that lifts the blue band shows as a bluish veil.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/LandsatScenes.h"

namespace {

QImage Composite321() {
    const View view{240, 2463, 11520, 0, 960, 628};
    const SceneDate date{{130, 55, false}, 4};
    const std::vector<Band> bands = {Bands::Etm3, Bands::Etm2, Bands::Etm1};
    std::vector<FloatImage> b = RenderScene(view, bands, date);
    QImage image = CommonStretchComposite(b[0], b[1], b[2]);
    QPainter p;
    BeginPainting(p, image);
    DrawValleyLabels(p, view, 14);
    DrawPlaceLabel(p, {10, 10}, {10, 10}, QString::fromUtf8("R = banda 3 · V = banda 2 · A = banda 1"), 14);
    DrawScaleBar(p, QPointF(16, view.Height - 12), view.PixelSize(), 2000, 13);
    DrawNorthArrow(p, QPointF(925, 12), 30, 13);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page34() {
    return {
        {"p34-landsat7-321.bmp", [] { return EncodeBitmap24(Composite321()); }},
    };
}
