// Page 39: the 1988 Landsat 5 TM scene of page 38 as a false colour composite of bands 4, 3 and 2, and
// beside it the reflectance curve of green vegetation with the TM bands on it: band 4 falls on the
// near-infrared plateau that makes vegetation red in the composite.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/LandsatScenes.h"

namespace {

QImage Tm1988Composite432() {
    const View view{648, 3000, 10704, 0, 892, 609};
    const SceneDate date{{122, 58, false}, 5};
    const std::vector<Band> bands = {Bands::Tm4, Bands::Tm3, Bands::Tm2};
    std::vector<FloatImage> b = RenderScene(view, bands, date);
    QImage image = Composite(b[0], b[1], b[2], 0.01, 0.99);
    QPainter p;
    BeginPainting(p, image);
    DrawPlaceLabel(p, {10, 10}, {10, 10}, QString::fromUtf8("TM · R = banda 4 · V = banda 3 · A = banda 2"),
                   14);
    DrawScaleBar(p, QPointF(16, view.Height - 12), view.PixelSize(), 2000, 13);
    DrawNorthArrow(p, QPointF(860, 12), 30, 13);
    p.end();
    return image;
}

QImage VegetationCurve() {
    QImage image = Canvas(370, 294);
    QPainter p;
    BeginPainting(p, image);
    ChartLayout chart;
    chart.Title = QString::fromUtf8("Vegetación sana y bandas del TM");
    chart.XLabel = QString::fromUtf8("Longitud de onda (µm)");
    chart.YLabel = QString::fromUtf8("Reflectancia (%)");
    chart.X0 = 0.4, chart.X1 = 2.5, chart.XStep = 0.2;
    chart.Y0 = 0, chart.Y1 = 60, chart.YStep = 10;
    chart.FontPixels = 11;
    chart.Legend = false;
    const Band* tm[] = {&Bands::Tm1, &Bands::Tm2, &Bands::Tm3, &Bands::Tm4, &Bands::Tm5, &Bands::Tm7};
    const char* names[] = {"1", "2", "3", "4", "5", "7"};
    for (int i = 0; i < 6; ++i) {
        const double mid = (tm[i]->Lo + tm[i]->Hi) / 2;
        QColor c = mid < 0.7 ? SpectrumColour(mid).lighter(140) : QColor(232, 200, 200);
        chart.Spans.push_back({tm[i]->Lo, tm[i]->Hi, QString::fromUtf8(names[i]), c});
    }
    Series leaf{QString::fromUtf8("vegetación"), QColor(20, 130, 40), {}, Qt::SolidLine, 2.5};
    for (double um = 0.4; um <= 2.5001; um += 0.005)
        leaf.Points.push_back({um, 100 * Reflectance(Material::CropGreen, um)});
    chart.Lines.push_back(leaf);
    const QRectF plot = DrawChart(p, QRectF(0, 0, 368, 294), chart);
    p.setFont(SansFont(10.5));
    p.setPen(QColor(20, 20, 20));
    auto note = [&](double x, double y, double tx, double ty, const char* text) {
        const QPointF a = ChartPoint(plot, chart, x, y), b = ChartPoint(plot, chart, tx, ty);
        DrawArrow(p, b, a, 5);
        DrawText(p, b, QString::fromUtf8(text), Qt::AlignHCenter | Qt::AlignBottom);
    };
    note(0.66, 5, 0.95, 15, "absorción de la clorofila");
    note(0.84, 50, 1.45, 53, "banda 4: alta reflectancia");
    note(1.45, 20.5, 1.62, 40, "agua de la hoja");
    const QPointF second = ChartPoint(plot, chart, 1.95, 7.5), from = ChartPoint(plot, chart, 1.7, 40);
    DrawArrow(p, from + QPointF(14, 0), second, 5);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page39() {
    return {
        {"p39-landsat5-1988-432.bmp", [] { return EncodeBitmap24(Tm1988Composite432()); }},
        {"p39-curva-vegetacion.jpg", [] { return EncodeJpeg(VegetationCurve(), JpegColour(88)); }},
    };
}
