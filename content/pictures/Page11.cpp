// Page 11: the SPOT satellites. A multiband (XS) scene of the valley in false colour, the oblique
// viewing that gives stereo pairs, the bands of the successive instruments, and a 1.5 m natural-colour
// view of the town as the later satellites see it.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/BandChart.h"
#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Sensors.h"

#include <QPainterPath>
#include <cmath>

namespace {

QImage XsScene() {
    View view{0, 500, 800 * 15.0, 0, 800, 600};
    std::vector<Band> bands = {Bands::Xs3, Bands::Xs2, Bands::Xs1};
    auto b = RenderBands(view, bands);
    QImage image = Composite(b[0], b[1], b[2], 0.01, 0.995);
    QPainter p;
    BeginPainting(p, image);
    p.fillRect(QRectF(6, 6, 250, 22), QColor(0, 0, 0, 160));
    p.setPen(Qt::white);
    p.setFont(SansFont(13, true));
    DrawText(p, {131, 17}, QString::fromUtf8("SPOT HRV, XS3-XS2-XS1, 20 m"), Qt::AlignCenter);
    p.end();
    return image;
}

QImage ObliqueViewing() {
    QImage image = Canvas(308, 306, QColor(235, 243, 252));
    QPainter p;
    BeginPainting(p, image);
    p.setFont(SansFont(13, true));
    p.setPen(QColor(20, 30, 90));
    DrawText(p, {150, 6}, QString::fromUtf8("Visión oblicua y estéreo"), Qt::AlignHCenter | Qt::AlignTop);
    const double ground = 250;
    p.fillRect(QRectF(0, ground, 308, 56), QColor(170, 150, 110));
    // A hill seen from two passes.
    QPainterPath hill;
    hill.moveTo(110, ground);
    hill.cubicTo(135, ground - 60, 165, ground - 60, 190, ground);
    p.fillPath(hill, QColor(110, 140, 80));
    const QPointF a(50, 60), b(250, 60), target(150, ground - 40);
    for (QPointF s : {a, b}) {
        p.setPen(QPen(QColor(40, 40, 60), 1.5));
        p.setBrush(QColor(150, 150, 170));
        p.drawRect(QRectF(s.x() - 16, s.y() - 10, 32, 20));
        p.setBrush(QColor(40, 70, 160));
        p.drawRect(QRectF(s.x() - 34, s.y() - 5, 16, 10));
        p.drawRect(QRectF(s.x() + 18, s.y() - 5, 16, 10));
        QPolygonF cone;
        cone << s + QPointF(0, 10) << target + QPointF(-22, 36) << target + QPointF(22, 36);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(230, 120, 60, 90));
        p.drawPolygon(cone);
        p.setPen(QPen(QColor(200, 80, 30), 1.5, Qt::DashLine));
        p.drawLine(s + QPointF(0, 10), target);
    }
    p.setPen(QColor(20, 20, 20));
    p.setFont(SansFont(11));
    DrawText(p, a + QPointF(0, -16), QString::fromUtf8("pasada 1"), Qt::AlignHCenter | Qt::AlignBottom);
    DrawText(p, b + QPointF(0, -16), QString::fromUtf8("pasada 2"), Qt::AlignHCenter | Qt::AlignBottom);
    DrawText(p, {84, 150}, QString::fromUtf8("+27°"), Qt::AlignRight | Qt::AlignVCenter);
    DrawText(p, {218, 150}, QString::fromUtf8("−27°"), Qt::AlignLeft | Qt::AlignVCenter);
    p.setFont(SansFont(11));
    DrawTextBox(
        p, QRectF(6, ground + 6, 296, 48),
        QString::fromUtf8("Espejo orientable: franja de 60 km dentro de un corredor de 950 km; dos vistas "
                          "de la misma zona forman un par estereoscópico."),
        Qt::AlignCenter);
    p.end();
    return image;
}

QImage SpotBands() {
    QImage image = Canvas(762, 410);
    QPainter p;
    BeginPainting(p, image);
    BandChartLayout layout;
    layout.Chart.Title = QString::fromUtf8("Bandas de los satélites SPOT");
    layout.Chart.XLabel = QString::fromUtf8("Longitud de onda (µm)");
    layout.Chart.YLabel = QString::fromUtf8("Reflectancia (%)");
    layout.Chart.X0 = 0.4, layout.Chart.X1 = 1.8, layout.Chart.XStep = 0.1;
    layout.Chart.Y0 = 0, layout.Chart.Y1 = 100, layout.Chart.YStep = 20;
    layout.Chart.FontPixels = 15;
    layout.Chart.Legend = false;
    layout.Chart.Lines = {
        ReflectanceSeries(Material::CropGreen, "vegetación", QColor(30, 140, 40), 0.4, 1.8, 2.5),
        ReflectanceSeries(Material::SoilDry, "suelo", QColor(150, 95, 40), 0.4, 1.8, 2.5),
        ReflectanceSeries(Material::ClearWater, "agua", QColor(30, 70, 200), 0.4, 1.8, 2.5)};
    // Six rows above the curves: the vegetation's near-infrared plateau reaches 52 %.
    layout.RowHeight = 0.065;
    layout.RowNamesAt = 1.22;
    layout.Bars = {{"P 10 m", 0.51, 0.73, 0},     {"XS1", 0.50, 0.59, 1}, {"XS2", 0.61, 0.68, 1},
                   {"XS3", 0.79, 0.89, 1},        {"M", 0.61, 0.68, 2},   {"B1", 0.50, 0.59, 3},
                   {"B2", 0.61, 0.68, 3},         {"B3", 0.78, 0.89, 3},  {"SWIR", 1.58, 1.75, 3},
                   {"Pan 1,5 m", 0.45, 0.745, 4}, {"B0", 0.45, 0.525, 5}, {"B1", 0.53, 0.59, 5},
                   {"B2", 0.625, 0.695, 5},       {"B3", 0.76, 0.89, 5}};
    layout.RowNames = {QString::fromUtf8("SPOT 1-3 HRV"),
                       QString::fromUtf8("XS 20 m"),
                       QString::fromUtf8("SPOT 4 HRVIR, M 10 m"),
                       QString::fromUtf8("SPOT 4-5, 20/10 m"),
                       QString::fromUtf8("SPOT 6-7"),
                       QString::fromUtf8("6 m")};
    DrawBandChart(p, QRectF(0, 0, 762, 410), layout);
    p.end();
    return image;
}

QImage TownNatural() {
    View view{7900, 4800, 268 * 1.5, 0, 268, 140};
    std::vector<Band> bands = {{"R", 0.625, 0.695}, {"V", 0.53, 0.59}, {"A", 0.45, 0.525}};
    auto b = RenderBands(view, bands);
    return Composite(b[0], b[1], b[2], 0.005, 0.995);
}

} // namespace

std::vector<Recipe> Page11() {
    return {
        {"p11-spot-xs.jpg", [] { return EncodeJpeg(XsScene(), JpegColour(82)); }},
        {"p11-vision-oblicua.jpg", [] { return EncodeJpeg(ObliqueViewing(), JpegColour(88)); }},
        {"p11-bandas-spot.jpg", [] { return EncodeJpeg(SpotBands(), JpegColour(88)); }},
        {"p11-spot67-ciudad.jpg", [] { return EncodeJpeg(TownNatural(), JpegColour(88)); }},
    };
}
