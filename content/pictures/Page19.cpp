// Page 19: signal theory applied to images. A band of the valley with one row marked and the grey
// levels along that row plotted as a signal (uniform covers vary slowly, the town quickly); and two
// strips: a grating whose spatial frequency rises from left to right, and the same grating sampled
// every third pixel, where the frequencies beyond the Nyquist limit come back as false, coarser bars.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Signals.h"
#include "content/toolkit/scenes/Sensors.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsUrban(Material m) {
    return m == Material::Asphalt || m == Material::Concrete || m == Material::RoofTile ||
           m == Material::RoofMetal;
}
bool IsForest(Material m) {
    return m == Material::Conifer || m == Material::Broadleaf || m == Material::Rock;
}

QImage ImageAsSignal() {
    double top = 0;
    QImage image =
        SignalPanel(600, 450, 9, QString::fromUtf8("La imagen como señal de dos dimensiones"), top);
    QPainter p;
    BeginPainting(p, image);

    // The chart's plot starts 4.2 font sizes from its left edge; the picture is placed to match, so each
    // column of the picture stands right above its point of the profile.
    const double font = 12, left = font * 4.2;
    const int w = 530, h = 146;
    const double pixel = kWorldSize / w;
    View view{0, Landmarks::TownY - h / 2 * pixel, kWorldSize, 0, w, h};
    QImage band =
        Stretched(RenderBand(view, Bands::Tm4), 0.005, 0.998).convertToFormat(QImage::Format_Grayscale8);
    const int row = h / 2;
    const double imageTop = top + 8;
    p.drawImage(QPointF(left, imageTop), band);
    p.setPen(QPen(QColor(255, 40, 40), 1));
    p.drawLine(QPointF(left - 10, imageTop + row + 0.5), QPointF(left, imageTop + row + 0.5));
    p.drawLine(QPointF(left + w, imageTop + row + 0.5), QPointF(left + w + 10, imageTop + row + 0.5));
    p.setPen(QPen(QColor(255, 40, 40, 150), 1));
    p.drawLine(QPointF(left, imageTop + row + 0.5), QPointF(left + w, imageTop + row + 0.5));
    DrawTag(p, {left - 12, imageTop + row}, QString::fromUtf8("y₀"), Qt::AlignRight | Qt::AlignVCenter, 13,
            QColor(200, 20, 20), true);
    DrawTag(p, {left + 4, imageTop + 3}, QString::fromUtf8("TM banda 4 (infrarrojo cercano)"),
            Qt::AlignLeft | Qt::AlignTop, 11);

    std::vector<QPointF> profile;
    const uchar* line = band.constScanLine(row);
    for (int x = 0; x < w; ++x)
        profile.push_back({x + 0.5, double(line[x])});
    ChartLayout chart;
    chart.XLabel = QString::fromUtf8("Columna x (píxeles)");
    chart.YLabel = QString::fromUtf8("Nivel digital f(x, y₀)");
    chart.X0 = 0, chart.X1 = w, chart.XStep = 50, chart.XDecimals = 0;
    chart.Y0 = 0, chart.Y1 = 300, chart.YStep = 50, chart.YDecimals = 0;
    chart.Legend = false;
    chart.FontPixels = font;
    chart.Lines = {{QString(), QColor(200, 30, 30), profile, Qt::SolidLine, 1.2}};
    QRectF area(0, imageTop + h + 4, left + w + font * 1.2, 200);
    QRectF plot = DrawChart(p, area, chart);

    // Spans of the row over the covers the ground model puts there: the town and the hill forest.
    const Landscape land;
    int townFrom = w, townTo = -1, forestTo = 0;
    for (int x = 0; x < w; ++x) {
        Material m = land.At((x + 0.5) * pixel, view.Y0 + (row + 0.5) * pixel, pixel).Kind;
        if (IsUrban(m)) townFrom = std::min(townFrom, x), townTo = std::max(townTo, x);
    }
    // The forest reaches as far east as the last column with mostly forest in the 20 around it.
    for (int x = 10; x < townFrom - 10; ++x) {
        int trees = 0;
        for (int d = -10; d < 10; ++d)
            trees += IsForest(land.At((x + d + 0.5) * pixel, view.Y0 + (row + 0.5) * pixel, pixel).Kind);
        if (trees >= 14) forestTo = x;
    }
    auto span = [&](double from, double to, double y, const QString& text) {
        QPointF a = ChartPoint(plot, chart, from, y), b = ChartPoint(plot, chart, to, y);
        p.setPen(QPen(QColor(20, 35, 110), 1.3));
        DrawDoubleArrow(p, a, b, 5);
        DrawTag(p, (a + b) / 2 - QPointF(0, 2), text, Qt::AlignHCenter | Qt::AlignBottom, 11,
                QColor(20, 35, 110), true);
    };
    span(0, forestTo, 262, QString::fromUtf8("sierra con bosque"));
    span(forestTo, townFrom, 262, QString::fromUtf8("campos de cultivo"));
    span(townFrom, townTo + 1, 262, QString::fromUtf8("ciudad"));
    for (int x : {forestTo, townFrom, townTo + 1}) {
        p.setPen(QPen(QColor(20, 35, 110, 120), 1, Qt::DotLine));
        p.drawLine(QPointF(left + x, imageTop), ChartPoint(plot, chart, x, 255));
    }

    DrawFormulaBox(p, QRectF(20, 398, 560, 46),
                   QString::fromUtf8(
                       "imagen f(x, y):  la fila y₀ es una señal de una variable, f(x, y₀)\n"
                       "zonas uniformes → frecuencias bajas;  bordes y detalles finos → frecuencias altas"),
                   15);
    p.end();
    return image;
}

// A grating across the strip: grey levels of a cosine whose frequency rises linearly from `lowest` to
// `highest` cycles per pixel between columns `from` and `to`.
double Grating(double x, double from, double to, double lowest, double highest) {
    double u = x - from, length = to - from;
    double phase = 2 * M_PI * (lowest * u + (highest - lowest) * u * u / (2 * length));
    return 128 + 112 * std::cos(phase);
}

constexpr int kGratingFrom = 156, kGratingTo = 545, kEvery = 3;
constexpr double kLowest = 0.01, kHighest = 0.25;

// A strip's name in bold, and a line of detail under it.
void StripLabel(QPainter& p, const QRectF& box, const QString& name, const QString& detail) {
    p.setPen(QColor(20, 35, 110));
    p.setFont(SansFont(12, true));
    DrawText(p, {box.left(), box.center().y() + 1}, name, Qt::AlignLeft | Qt::AlignBottom);
    p.setFont(SansFont(11));
    DrawText(p, {box.left(), box.center().y() + 3}, detail, Qt::AlignLeft | Qt::AlignTop);
}

QImage GratingStrip() {
    QImage image = Canvas(552, 58);
    for (int y = 0; y < image.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = kGratingFrom; x < image.width(); ++x) {
            int g = std::clamp(
                int(std::lround(Grating(x + 0.5, kGratingFrom, kGratingTo, kLowest, kHighest))), 0, 255);
            px[x] = qRgb(g, g, g);
        }
    }
    QPainter p;
    BeginPainting(p, image);
    StripLabel(p, QRectF(4, 0, kGratingFrom - 8, 57), QString::fromUtf8("Frecuencia creciente →"),
               QString::fromUtf8("de %1 a %2 ciclos/píxel").arg(Decimal(kLowest, 2), Decimal(kHighest, 2)));
    p.end();
    return image;
}

QImage SampledStrip() {
    QImage image = Canvas(644, 61);
    // Each block of kEvery pixels takes the grating's value at its centre: sampling without the
    // smoothing that a sensor's field of view would give.
    for (int y = 0; y < image.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = kGratingFrom; x < kGratingTo; ++x) {
            int block = (x - kGratingFrom) / kEvery;
            double centre = kGratingFrom + block * kEvery + kEvery / 2.0;
            int g = std::clamp(int(std::lround(Grating(centre, kGratingFrom, kGratingTo, kLowest, kHighest))),
                               0, 255);
            px[x] = qRgb(g, g, g);
        }
    }
    QPainter p;
    BeginPainting(p, image);
    StripLabel(p, QRectF(4, 0, kGratingFrom - 8, 57), QString::fromUtf8("La misma, muestreada"),
               QString::fromUtf8("1 muestra cada %1 píxeles").arg(kEvery));
    // Where the grating passes half the sampling frequency, 1 / (2 * 3) cycles per pixel.
    const double nyquist = 1.0 / (2 * kEvery);
    double at = kGratingFrom + (nyquist - kLowest) / (kHighest - kLowest) * (kGratingTo - kGratingFrom);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 30, 30));
    p.drawPolygon(QPolygonF{QPointF(at - 6, 0), QPointF(at + 6, 0), QPointF(at, 9)});
    p.drawPolygon(QPolygonF{QPointF(at - 6, 57), QPointF(at + 6, 57), QPointF(at, 48)});
    p.setFont(SansFont(10, true));
    p.setPen(QColor(200, 20, 20));
    DrawTextBox(p, QRectF(kGratingTo + 5, 0, 641 - kGratingTo - 6, 57),
                QString::fromUtf8("marca roja: fs/2;\na su derecha,\nfalsas barras\n(aliasing)"),
                Qt::AlignLeft | Qt::AlignVCenter);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page19() {
    return {
        {"p19-imagen-senal.bmp", [] { return EncodeBitmap24(ImageAsSignal()); }},
        {"p19-frecuencia-espacial.bmp", [] { return EncodeBitmap24(GratingStrip()); }},
        {"p19-muestreo-aliasing.bmp", [] { return EncodeBitmap24(SampledStrip()); }},
    };
}
