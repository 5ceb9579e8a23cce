// Page 30: brightness and the negative. A panchromatic photograph of the south-west edge of the town
// (blocks, fields, the river and its sand bars), scanned dark; the histogram of that scan and of the
// scan with 100 added to every level, the whole histogram shifted and the lightest tones piled up at
// 255; the scan stretched linearly with 2 % of its pixels saturated at each end, and its negative.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/charts/HistogramChart.h"
#include "content/toolkit/scenes/AerialPhoto.h"
#include "content/toolkit/scenes/Enhance.h"
#include "content/toolkit/scenes/Photo.h"
#include "content/toolkit/scenes/Sensors.h"

#include <algorithm>

namespace {

constexpr int kBrightness = 100;

// The scan of the negative film as it comes from the scanner: dark and flat, levels from about 15 to
// 170 (0.6 v + 15 of a normal print).
const QImage& Scan() {
    static const QImage scan = [] {
        const View view{6450, 5800, 828.0, 0, 828, 611};
        QImage grey = WithTreeShadows(FilmPositive(RenderBand(view, Bands::FilmPan), 0.42f, 0.8), view);
        grey = ApplyTable(grey, ContrastTable(0.6));
        grey = ApplyTable(grey, BrightnessTable(-36));
        Vignette(grey, 0.15);
        AddGrain(grey, 1.5, 3001);
        return grey.convertToFormat(QImage::Format_Grayscale8);
    }();
    return scan;
}

QImage Stretched() {
    return ApplyTable(Scan(), PercentStretchTable(Histogram(Scan()), 0.02));
}

// A label in the top-left corner, in the part of the picture that its box shows.
QImage Tagged(const QImage& grey, const QString& text) {
    QImage image = grey.convertToFormat(QImage::Format_RGB32);
    QPainter p;
    BeginPainting(p, image);
    p.setFont(SansFont(15, true));
    const double w = QFontMetricsF(p.font()).horizontalAdvance(text) + 16;
    p.fillRect(QRectF(8, 8, w, 26), QColor(255, 255, 255, 225));
    p.setPen(Qt::black);
    DrawText(p, {16, 21}, text, Qt::AlignLeft | Qt::AlignVCenter);
    p.end();
    return image.convertToFormat(QImage::Format_Grayscale8);
}

// The two histograms share one vertical scale, so that only the shift differs between them; the top
// quarter of the plot stays free for the notes.
double CommonPeak() {
    const std::array<int, 256> a = Histogram(Scan()),
                               b = Histogram(ApplyTable(Scan(), BrightnessTable(kBrightness)));
    return 1.4 * std::max(*std::max_element(a.begin() + 1, a.end() - 1),
                          *std::max_element(b.begin() + 1, b.end() - 1));
}

// Each picture is 309 x 223; the chart keeps to the top 208 rows, all that the second one's box shows.
QImage BrightnessHistogram(bool brightened) {
    QImage image = Canvas(309, 223);
    const QImage shown = brightened ? ApplyTable(Scan(), BrightnessTable(kBrightness)) : Scan();
    const std::array<int, 256> counts = Histogram(shown);
    QPainter p;
    BeginPainting(p, image);
    HistogramChartLayout chart;
    chart.Title =
        brightened ? QString::fromUtf8("Brillo + %1").arg(kBrightness) : QString::fromUtf8("Imagen original");
    chart.FontPixels = 12;
    chart.Peak = CommonPeak();
    chart.TickStep = 64;
    const QRectF plot = DrawHistogramChart(p, QRectF(0, 0, 309, 208), counts, chart);
    const auto [mean, deviation] = LevelStatistics(counts);
    p.setFont(SansFont(12));
    p.setPen(Qt::black);
    if (brightened) {
        // The shift of the whole histogram, from the original mean to the new one.
        const double original = LevelStatistics(Histogram(Scan())).first;
        const double y = plot.top() + 30;
        p.setPen(QPen(QColor(210, 30, 30), 2));
        DrawArrow(p, {LevelX(plot, original), y}, {LevelX(plot, original + kBrightness), y}, 8);
        p.setPen(QColor(210, 30, 30));
        DrawText(p, {LevelX(plot, original + kBrightness) + 4, y}, QString::fromUtf8("+%1").arg(kBrightness),
                 Qt::AlignLeft | Qt::AlignVCenter);
        DrawText(p, {plot.right() - 4, plot.top() + 4},
                 QString::fromUtf8("%1 píxeles en 255").arg(counts[255]), Qt::AlignRight | Qt::AlignTop);
        p.setPen(Qt::black);
    }
    DrawText(p, {plot.left() + 4, plot.top() + 4}, QString::fromUtf8("media %1").arg(Decimal(mean, 1)));
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page30() {
    return {
        {"p30-foto-estirada.bmp",
         [] {
             return EncodeBitmap8(
                 GreyIndexed(Tagged(Stretched(), QString::fromUtf8("Positivo, estiramiento lineal al 2 %"))));
         }},
        {"p30-histograma-original.bmp", [] { return EncodeBitmap24(BrightnessHistogram(false)); }},
        {"p30-histograma-brillo.bmp", [] { return EncodeBitmap24(BrightnessHistogram(true)); }},
        {"p30-foto-negativo.bmp",
         [] {
             const QImage negative = ApplyTable(Stretched(), NegativeTable());
             return EncodeBitmap8(GreyIndexed(Tagged(negative, QString::fromUtf8("Negativo: 255 − valor"))));
         }},
    };
}
