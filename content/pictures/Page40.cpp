// Page 40: one area of a 1987 Landsat 5 TM scene in two composites, 3-2-1 on the left and 4-3-2 on the
// right, with the places the commentary below them names: natural woodland, cultivated fields, land
// cleared for farming, the reservoir and the dry stream beds.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/LandsatScenes.h"

#include <cmath>

namespace {

// Both pictures start at the same corner with the same pixel, so the places fall on the same pixels.
constexpr double kX0 = 800, kY0 = 5000, kPixel = 11.08;
const SceneDate kDate{{128, 54, false}, 5};

QPointF Pixel(double x, double y) {
    return {(x - kX0) / kPixel, (y - kY0) / kPixel};
}

// The places of the commentary, named on both pictures alike (label corners in pixels).
void NamePlaces(QPainter& p) {
    const double bedY = 8650, bedX = 5300 + 150 * std::sin(bedY / 310 + 1) + 60 * std::sin(bedY / 97 + 2);
    const double damY = Landscape::RiverY(Landmarks::DamX);
    const struct {
        const char* Name;
        QPointF Label, Target;
    } places[] = {
        {"Monte natural", {24, 48}, Pixel(1580, 6200)},
        {"Desmonte", {150, 22}, Pixel(3180, 6060)},
        {"Embalse", {44, 236}, Pixel(Landmarks::DamX - 500, damY)},
        {"Cultivos", {486, 268}, Pixel(6050, 7640)},
        {"Cauce seco", {424, 352}, Pixel(bedX, bedY)},
    };
    for (const auto& place : places)
        DrawPlaceLabel(p, place.Label, place.Target, QString::fromUtf8(place.Name), 13);
}

QImage Tm1987(int width, int height, bool falseColour) {
    const View view{kX0, kY0, width * kPixel, 0, width, height};
    const std::vector<Band> bands = falseColour ? std::vector<Band>{Bands::Tm4, Bands::Tm3, Bands::Tm2}
                                                : std::vector<Band>{Bands::Tm3, Bands::Tm2, Bands::Tm1};
    std::vector<FloatImage> b = RenderScene(view, bands, kDate);
    QImage image =
        falseColour ? Composite(b[0], b[1], b[2], 0.01, 0.99) : CommonStretchComposite(b[0], b[1], b[2]);
    QPainter p;
    BeginPainting(p, image);
    NamePlaces(p);
    DrawScaleBar(p, QPointF(14, 388), kPixel, 1000, 12);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page40() {
    return {
        {"p40-landsat5-1987-321.bmp", [] { return EncodeBitmap24(Tm1987(693, 404, false)); }},
        {"p40-landsat5-1987-432.bmp", [] { return EncodeBitmap24(Tm1987(700, 412, true)); }},
    };
}
