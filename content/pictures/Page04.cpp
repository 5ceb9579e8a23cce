// Page 4: the characteristic reflectance curves of soil, vegetation and water, and the same three
// covers in a false-colour composite, where the curves explain the colours.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Sensors.h"

namespace {

Series CurveOf(Material m, const char* name, QColor colour, double width = 3) {
    Series s{QString::fromUtf8(name), colour, {}, Qt::SolidLine, width};
    for (double um = 0.4; um <= 2.6001; um += 0.01)
        s.Points.push_back({um, 100 * Reflectance(m, um)});
    return s;
}

QImage ReflectanceChart() {
    QImage image = Canvas(900, 737);
    QPainter p;
    BeginPainting(p, image);
    ChartLayout chart;
    chart.Title = QString::fromUtf8("Reflectancia espectral: suelo, vegetación y agua");
    chart.XLabel = QString::fromUtf8("Longitud de onda (µm)");
    chart.YLabel = QString::fromUtf8("Reflectancia (%)");
    chart.X0 = 0.4, chart.X1 = 2.6, chart.XStep = 0.2;
    chart.Y0 = 0, chart.Y1 = 60, chart.YStep = 10;
    chart.FontPixels = 17;
    for (double um = 0.4; um < 0.7; um += 0.01)
        chart.Spans.push_back({um, um + 0.0101, {}, SpectrumColour(um + 0.005).lighter(160)});
    chart.Spans.push_back({0.7, 1.3, QString::fromUtf8("IR cercano"), QColor(250, 236, 236)});
    chart.Spans.push_back({1.3, 2.6, QString::fromUtf8("IR medio"), QColor(244, 240, 230)});
    chart.Lines = {CurveOf(Material::SoilDry, "Suelo desnudo (seco)", QColor(150, 95, 40)),
                   CurveOf(Material::SoilPloughed, "Suelo húmedo", QColor(150, 95, 40), 2),
                   CurveOf(Material::CropGreen, "Vegetación verde", QColor(20, 140, 40)),
                   CurveOf(Material::ClearWater, "Agua clara", QColor(30, 70, 200)),
                   CurveOf(Material::TurbidWater, "Agua turbia", QColor(30, 150, 210), 2)};
    chart.Lines[1].Style = Qt::DashLine;
    chart.Lines[4].Style = Qt::DashLine;
    QRectF plot = DrawChart(p, QRectF(0, 0, 900, 690), chart);
    // The features a student should find on the curves.
    p.setFont(SansFont(14));
    p.setPen(QColor(20, 20, 20));
    auto note = [&](double x, double y, double tx, double ty, const char* text) {
        QPointF a = ChartPoint(plot, chart, x, y), b = ChartPoint(plot, chart, tx, ty);
        DrawArrow(p, b, a, 7);
        DrawText(p, b, QString::fromUtf8(text), Qt::AlignHCenter | Qt::AlignBottom);
    };
    note(0.55, 13.5, 0.55, 27, "máximo verde");
    note(0.67, 4.5, 0.78, 13, "absorción de la clorofila");
    note(0.72, 25, 0.93, 32, "borde rojo");
    note(1.45, 20, 1.45, 33, "agua de la hoja");
    note(1.95, 7.5, 2.05, 24, "agua de la hoja");
    // At 1.45 µm, where the moist soil's dip lies well below the leaf's: at 1.9 µm the two curves meet.
    note(1.45, 12, 1.32, 4, "humedad del suelo");
    note(0.9, 2, 1.15, 9, "el agua absorbe el infrarrojo");
    p.setFont(SansFont(13));
    p.setPen(QColor(90, 90, 90));
    DrawText(p, {450, 712},
             QString::fromUtf8("Curvas de la biblioteca espectral del curso, medidas en laboratorio"),
             Qt::AlignHCenter | Qt::AlignVCenter);
    p.end();
    return image;
}

// TM bands 4, 3, 2 as red, green, blue over the reservoir, the hills south of it and the fields below
// the dam: vegetation red, clear water black, bare soil and rock in cyan and grey tones. The view lies
// within the landscape, at 6 m a pixel.
QImage FalseColourScene() {
    View view{2000, 6820, 1269 * 6.0, 0, 1269, 795};
    std::vector<Band> bands = {Bands::Tm4, Bands::Tm3, Bands::Tm2};
    auto b = RenderBands(view, bands);
    QImage image = Composite(b[0], b[1], b[2], 0.01, 0.995);
    QPainter p;
    BeginPainting(p, image);
    p.setFont(SansFont(15, true));
    auto tag = [&](QPointF at, const char* text) {
        QRectF box(at.x() - 4, at.y() - 2,
                   QFontMetricsF(p.font()).horizontalAdvance(QString::fromUtf8(text)) + 8, 22);
        p.fillRect(box, QColor(255, 255, 255, 215));
        p.setPen(Qt::black);
        DrawText(p, {box.left() + 4, box.top() + 2}, QString::fromUtf8(text));
    };
    // The picture control shows the top left 282 x 354 pixels: the tags name what lies there.
    tag({14, 10}, "TM 4-3-2 (RGB)");
    tag({172, 96}, "Agua");
    tag({20, 110}, "Vegetación");
    tag({62, 262}, "Suelo");
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page04() {
    return {
        {"p04-curvas-reflectancia.bmp", [] { return EncodeBitmap24(ReflectanceChart()); }},
        {"p04-falso-color.bmp", [] { return EncodeBitmap24(FalseColourScene()); }},
    };
}
