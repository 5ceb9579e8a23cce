// Page 5: one area photographed on panchromatic and on black-and-white infrared film, side by side, and
// a colour infrared photograph of fields. On the infrared print vegetation is light, conifers darker than
// broadleaf trees and crops, and clear water black; the numbers mark the areas the caption names.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Photo.h"
#include "content/toolkit/scenes/Sensors.h"

namespace {

constexpr double kPixel = 4.4;
constexpr int kHalf = 420;
constexpr double kX0 = 3530, kY0 = 6760;

QPointF OnPhoto(double x, double y) {
    return {(x - kX0) / kPixel, (y - kY0) / kPixel};
}

QImage FilmPair() {
    View view{kX0, kY0, kHalf * kPixel, 0, kHalf, 532};
    std::vector<Band> bands = {Bands::FilmPan, Bands::FilmInfrared};
    auto b = RenderBands(view, bands);
    QImage pan = FilmPositive(b[0], 0.34f, 0.75), ir = FilmPositive(b[1], 0.55f, 0.8);
    Vignette(pan, 0.2);
    Vignette(ir, 0.2);
    AddGrain(pan, 4, 501);
    AddGrain(ir, 5, 502);
    QImage pair = Canvas(851, 532, Qt::white).convertToFormat(QImage::Format_Grayscale8);
    QPainter p;
    BeginPainting(p, pair);
    p.drawImage(0, 0, pan);
    p.drawImage(431, 0, ir);
    p.setFont(SansFont(15, true));
    auto title = [&](double x, const char* text) {
        QRectF box(x + 8, 8, 190, 24);
        p.fillRect(box, QColor(255, 255, 255));
        p.setPen(Qt::black);
        DrawText(p, box.center(), QString::fromUtf8(text), Qt::AlignCenter);
    };
    title(0, "PANCROMÁTICA");
    title(431, "INFRARROJA B/N");
    // The three areas, numbered on the infrared print.
    const struct {
        double X, Y;
        const char* Number;
    } areas[] = {{Landmarks::ConiferX, Landmarks::ConiferY, "1"},
                 {Landmarks::PlantationX, Landmarks::PlantationY, "2"},
                 {Landmarks::GravelPitX - 140, Landmarks::GravelPitY, "3"}};
    p.setFont(SansFont(18, true));
    for (const auto& a : areas) {
        QPointF c = OnPhoto(a.X, a.Y) + QPointF(431, 0);
        p.setPen(QPen(Qt::black, 2));
        p.setBrush(Qt::white);
        p.drawEllipse(c, 13, 13);
        p.setPen(Qt::black);
        DrawText(p, c, QString::fromLatin1(a.Number), Qt::AlignCenter);
    }
    p.end();
    return pair;
}

// Colour infrared film: its green, red and infrared sensitive layers print blue, green and red.
QImage ColourInfrared() {
    View view{9100, 7700, 502 * 1.4, 0, 502, 555};
    std::vector<Band> bands = {{"IR", 0.7, 0.9}, {"R", 0.6, 0.7}, {"V", 0.5, 0.6}};
    auto b = RenderBands(view, bands);
    QImage r = FilmPositive(b[0], 0.52f, 0.9), g = FilmPositive(b[1], 0.46f, 1.1),
           bl = FilmPositive(b[2], 0.44f, 1.1);
    QImage out(502, 555, QImage::Format_RGB32);
    for (int y = 0; y < 555; ++y) {
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < 502; ++x)
            line[x] = qRgb(r.constScanLine(y)[x], g.constScanLine(y)[x], bl.constScanLine(y)[x]);
    }
    Vignette(out, 0.18);
    AddGrain(out, 3, 503);
    return out;
}

} // namespace

std::vector<Recipe> Page05() {
    return {
        {"p05-pancromatica-infrarroja.bmp", [] { return EncodeBitmap8(GreyIndexed(FilmPair())); }},
        {"p05-infrarrojo-color.bmp", [] { return EncodeBitmap24(ColourInfrared()); }},
    };
}
