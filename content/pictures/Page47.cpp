// Page 47: a narrow-angle orbiter frame of Mars at 1,4 m a pixel, stretched over the full 0 to 255
// range: sedimentary strata laid bare by the wind on the flank of a mesa, dark rippled sand in the
// lows and a scatter of small impact craters.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Planet.h"

namespace {

QImage LayeredRock() {
    MarsView view;
    view.X0 = 4700, view.Y0 = 1700;
    view.PixelSize = 1.4;
    view.Width = 960, view.Height = 716;
    view.SunElevation = 30;
    QImage image = RenderMars(view).convertToFormat(QImage::Format_RGB32);
    QPainter p;
    BeginPainting(p, image);
    // The page shows the top 687 rows; the marks stay inside them.
    DrawOutlinedArrow(p, {150, 30}, {220, 30}, QString::fromUtf8("Iluminación solar"), 15);
    DrawScaleBar(p, {790, 650}, view.PixelSize, 200, QString::fromUtf8("200 m"), 15);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page47() {
    return {
        {"p47-estratos-marte.bmp", [] { return EncodeBitmap24(LayeredRock()); }},
    };
}
