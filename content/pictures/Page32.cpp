// Page 32: band combinations. The valley in Landsat TM bands 3, 2, 1 as red, green and blue (natural
// colour, under one common stretch so the haze of band 1 stays as a bluish veil) and in bands 4, 3, 2
// (false colour: vegetation red); and the NDVI scale with the index of the landscape's covers computed
// from their reflectance in bands 3 and 4.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/LandsatScenes.h"

#include <QLinearGradient>

namespace {

// Both composites show the same ground at 22 m per pixel; the false-colour one is narrower.
constexpr double kPixel = 22;
constexpr double kX0 = 0, kY0 = 3500;
const SceneDate kDate{{135, 50, false}, 3};

const TagStyle kTag{14, 24, 14};

QImage NaturalColour() {
    const View view{kX0, kY0, 545 * kPixel, 0, 545, 282};
    const std::vector<Band> bands = {Bands::Tm3, Bands::Tm2, Bands::Tm1};
    const std::vector<FloatImage> b = RenderScene(view, bands, kDate);
    QImage image = CommonStretchComposite(b[0], b[1], b[2]);
    QPainter p;
    BeginPainting(p, image);
    // The top-left corner lies under the picture beside it on the page: the tag goes to the bottom.
    DrawTagBox(p, {8, 250}, QString::fromUtf8("TM 3-2-1 = R-V-A: color natural"), kTag);
    p.end();
    return image;
}

QImage FalseColour() {
    const View view{kX0, kY0, 476 * kPixel, 0, 476, 281};
    const std::vector<Band> bands = {Bands::Tm4, Bands::Tm3, Bands::Tm2};
    const std::vector<FloatImage> b = RenderScene(view, bands, kDate);
    QImage image = Composite(b[0], b[1], b[2], 0.01, 0.99);
    QPainter p;
    BeginPainting(p, image);
    DrawTagBox(p, {8, 249}, QString::fromUtf8("TM 4-3-2 = R-V-A: falso color"), kTag);
    p.end();
    return image;
}

double Ndvi(Material m) {
    const double red = BandReflectance(m, Bands::Tm3.Lo, Bands::Tm3.Hi),
                 nir = BandReflectance(m, Bands::Tm4.Lo, Bands::Tm4.Hi);
    return (nir - red) / (nir + red);
}

// The NDVI colour scale from -1 to +1, with the index of each cover marked on it.
QImage NdviScale() {
    QImage image = Canvas(350, 130);
    QPainter p;
    BeginPainting(p, image);
    p.setPen(QColor(0, 0, 130));
    p.setFont(SansFont(15, true));
    DrawText(p, {175, 3}, QString::fromUtf8("NDVI = (IRC − R) / (IRC + R)"), Qt::AlignHCenter | Qt::AlignTop);
    const QRectF bar(18, 58, 314, 16);
    QLinearGradient ramp(bar.topLeft(), bar.topRight());
    ramp.setColorAt(0.0, QColor(30, 60, 170));
    ramp.setColorAt(0.45, QColor(150, 170, 210));
    ramp.setColorAt(0.5, QColor(190, 160, 110));
    ramp.setColorAt(0.6, QColor(225, 215, 130));
    ramp.setColorAt(0.75, QColor(120, 190, 70));
    ramp.setColorAt(1.0, QColor(10, 100, 30));
    p.fillRect(bar, ramp);
    p.setPen(QPen(QColor(80, 80, 80), 1));
    p.drawRect(bar);
    auto at = [&](double v) { return bar.left() + (v + 1) / 2 * bar.width(); };
    p.setFont(SansFont(11));
    p.setPen(Qt::black);
    for (double v : {-1.0, -0.5, 0.0, 0.5, 1.0}) {
        p.drawLine(QPointF(at(v), bar.bottom()), QPointF(at(v), bar.bottom() + 3));
        DrawText(p, {at(v), bar.bottom() + 3}, v > 0 ? "+" + Decimal(v, 1) : Decimal(v, 1),
                 Qt::AlignHCenter | Qt::AlignTop);
    }
    // Covers alternate above and below the bar so that their names do not collide.
    const struct {
        Material Kind;
        const char* Name;
        bool Above;
    } covers[] = {{Material::ClearWater, "agua", true},
                  {Material::Asphalt, "ciudad", false},
                  {Material::SoilDry, "suelo", true},
                  {Material::Pasture, "pastura", false},
                  {Material::Broadleaf, "bosque", true}};
    p.setFont(SansFont(11, true));
    for (const auto& c : covers) {
        const double x = at(Ndvi(c.Kind));
        const QString label =
            QString::fromUtf8("%1 %2").arg(QString::fromUtf8(c.Name)).arg(Decimal(Ndvi(c.Kind), 2));
        p.setPen(QPen(Qt::black, 1.5));
        if (c.Above) {
            p.drawLine(QPointF(x, bar.top() - 9), QPointF(x, bar.top() + 4));
            DrawText(p, {x, bar.top() - 10}, label, Qt::AlignHCenter | Qt::AlignBottom);
        } else {
            p.drawLine(QPointF(x, bar.bottom() - 4), QPointF(x, bar.bottom() + 22));
            DrawText(p, {x, bar.bottom() + 23}, label, Qt::AlignHCenter | Qt::AlignTop);
        }
    }
    p.setFont(SansFont(10));
    p.setPen(QColor(90, 90, 90));
    DrawText(p, {175, 126},
             QString::fromUtf8("calculados de las curvas de reflectancia en las bandas TM 3 y TM 4"),
             Qt::AlignHCenter | Qt::AlignBottom);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page32() {
    return {
        {"p32-falso-color-432.bmp", [] { return EncodeBitmap24(FalseColour()); }},
        {"p32-color-natural-321.jpg", [] { return EncodeJpeg(NaturalColour(), JpegColour(85)); }},
        {"p32-escala-ndvi.bmp", [] { return EncodeBitmap24(NdviScale()); }},
    };
}
