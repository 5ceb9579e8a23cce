// Page 12: very high resolution. A 1 m natural-colour view of the town centre (four multispectral bands
// at 4 m sharpened with the 1 m panchromatic band), the characteristics of QuickBird in a table, and the
// IKONOS bands over the spectrum.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/BandChart.h"
#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Sensors.h"

#include <algorithm>

namespace {

// Pan-sharpening by ratio: each 4 m colour band times the 1 m panchromatic over its own 4 m average.
QImage PanSharpened() {
    const int w = 536, h = 355;
    View fine{Landmarks::TownX - 300, Landmarks::TownY - 150, double(w), 0, w, h};
    View coarse{fine.X0, fine.Y0, double(w), 0, w / 4 + 1, h / 4 + 1};
    FloatImage pan = RenderBand(fine, Bands::IkPan);
    std::vector<Band> bands = {Bands::Ik3, Bands::Ik2, Bands::Ik1, Bands::IkPan};
    auto ms = RenderBands(coarse, bands);
    std::vector<FloatImage> sharp(3, FloatImage(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            int cx = std::min(x / 4, coarse.Width - 1), cy = std::min(y / 4, coarse.Height - 1);
            float ratio = pan.At(x, y) / std::max(1e-4f, ms[3].At(cx, cy));
            for (int c = 0; c < 3; ++c)
                sharp[size_t(c)].At(x, y) = ms[size_t(c)].At(cx, cy) * ratio;
        }
    QImage image = Composite(sharp[0], sharp[1], sharp[2], 0.005, 0.997);
    QPainter p;
    BeginPainting(p, image);
    p.fillRect(QRectF(6, 6, 300, 22), QColor(0, 0, 0, 160));
    p.setPen(Qt::white);
    p.setFont(SansFont(13, true));
    DrawText(p, {156, 17}, QString::fromUtf8("IKONOS: color natural fusionado a 1 m"), Qt::AlignCenter);
    p.end();
    return image;
}

QImage QuickBirdTable() {
    QImage image = Canvas(602, 465);
    QPainter p;
    BeginPainting(p, image);
    p.setFont(SansFont(17, true));
    p.setPen(QColor(20, 30, 90));
    DrawText(p, {245, 8}, QString::fromUtf8("Características de QuickBird"), Qt::AlignHCenter | Qt::AlignTop);
    const char* rows[][2] = {{"Lanzamiento", "18 de octubre de 2001"},
                             {"Órbita", "450 km, heliosincrónica"},
                             {"Inclinación", "97,2°"},
                             {"Hora de paso", "10:30 (nodo descendente)"},
                             {"Revisita", "1 a 3,5 días (según latitud)"},
                             {"Ancho de barrido", "16,5 km en el nadir"},
                             {"Pancromática", "0,45–0,90 µm, 0,61 m"},
                             {"Azul", "0,45–0,52 µm, 2,44 m"},
                             {"Verde", "0,52–0,60 µm, 2,44 m"},
                             {"Rojo", "0,63–0,69 µm, 2,44 m"},
                             {"Infrarrojo cercano", "0,76–0,90 µm, 2,44 m"},
                             {"Cuantificación", "11 bits por píxel"}};
    const double left = 8, mid = 180, right = 490, top = 40, rowH = 33;
    p.setFont(SansFont(14));
    for (int i = 0; i < 12; ++i) {
        QRectF row(left, top + i * rowH, right - left, rowH);
        p.fillRect(row, i % 2 ? QColor(240, 244, 250) : QColor(225, 233, 246));
        p.setPen(QColor(20, 30, 90));
        p.setFont(SansFont(14, true));
        DrawText(p, {left + 8, row.center().y()}, QString::fromUtf8(rows[i][0]),
                 Qt::AlignLeft | Qt::AlignVCenter);
        p.setPen(Qt::black);
        p.setFont(SansFont(14));
        DrawText(p, {mid + 8, row.center().y()}, QString::fromUtf8(rows[i][1]),
                 Qt::AlignLeft | Qt::AlignVCenter);
    }
    p.setPen(QPen(QColor(120, 130, 160), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(left, top, right - left, 12 * rowH));
    p.drawLine(QPointF(mid, top), QPointF(mid, top + 12 * rowH));
    // The satellite, drawn in the margin.
    p.setPen(QPen(QColor(40, 40, 60), 1.5));
    p.setBrush(QColor(190, 170, 90));
    p.drawRect(QRectF(528, 180, 40, 70));
    p.setBrush(QColor(40, 70, 160));
    p.drawRect(QRectF(505, 140, 86, 30));
    p.end();
    return image;
}

QImage IkonosBands() {
    QImage image = Canvas(664, 290);
    QPainter p;
    BeginPainting(p, image);
    BandChartLayout layout;
    layout.Chart.Title = QString::fromUtf8("IKONOS: resolución espectral");
    layout.Chart.XLabel = QString::fromUtf8("Longitud de onda (µm)");
    layout.Chart.YLabel = QString::fromUtf8("Reflectancia (%)");
    layout.Chart.X0 = 0.4, layout.Chart.X1 = 1.0, layout.Chart.XStep = 0.1;
    // Room above the vegetation's near-infrared plateau (52 %) for the bands and the legend.
    layout.Chart.Y0 = 0, layout.Chart.Y1 = 100, layout.Chart.YStep = 20;
    layout.Chart.FontPixels = 12;
    layout.Chart.Lines = {ReflectanceSeries(Material::CropGreen, "vegetación", QColor(30, 140, 40), 0.4, 1.0),
                          ReflectanceSeries(Material::Concrete, "hormigón", QColor(120, 120, 120), 0.4, 1.0),
                          ReflectanceSeries(Material::ClearWater, "agua", QColor(30, 70, 200), 0.4, 1.0)};
    layout.RowHeight = 0.11;
    layout.Bars = {{"1", 0.445, 0.516, 0},
                   {"2", 0.506, 0.595, 1},
                   {"3", 0.632, 0.698, 0},
                   {"4", 0.757, 0.853, 0},
                   {"Pancromática 1 m", 0.45, 0.90, 2}};
    DrawBandChart(p, QRectF(0, 0, 664, 216), layout);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page12() {
    return {
        {"p12-ikonos-fusion.jpg", [] { return EncodeJpeg(PanSharpened(), JpegColour(86)); }},
        {"p12-quickbird-tabla.bmp", [] { return EncodeBitmap24(QuickBirdTable()); }},
        {"p12-ikonos-bandas.bmp", [] { return EncodeBitmap24(IkonosBands()); }},
    };
}
