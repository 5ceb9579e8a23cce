// Page 38: a Landsat 5 TM scene of 1988 as a natural colour composite of bands 3, 2 and 1, the three
// bands under one stretch so that the haze of that summer day shows as it was recorded.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/LandsatScenes.h"

namespace {

QImage Tm1988Composite321() {
    const View view{1500, 2600, 9300, 0, 775, 660};
    const SceneDate date{{122, 58, false}, 5};
    const std::vector<Band> bands = {Bands::Tm3, Bands::Tm2, Bands::Tm1};
    std::vector<FloatImage> b = RenderScene(view, bands, date);
    QImage image = CommonStretchComposite(b[0], b[1], b[2]);
    QPainter p;
    BeginPainting(p, image);
    DrawPlaceLabel(p, {10, 10}, {10, 10}, QString::fromUtf8("TM · R = banda 3 · V = banda 2 · A = banda 1"),
                   14);
    DrawScaleBar(p, QPointF(16, view.Height - 12), view.PixelSize(), 2000, 13);
    DrawNorthArrow(p, QPointF(745, 12), 30, 13);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page38() {
    return {
        {"p38-landsat5-1988-321.bmp", [] { return EncodeBitmap24(Tm1988Composite321()); }},
    };
}
