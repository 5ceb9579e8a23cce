// Page 29: one scanned panchromatic photograph of the north-west of the town, taken to grey and
// linearly stretched, and the same photograph equalised; under each, its histogram with the cumulative
// distribution F(g): an S-shaped curve for the stretch, nearly a straight line after equalisation.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/charts/HistogramChart.h"
#include "content/toolkit/scenes/AerialPhoto.h"
#include "content/toolkit/scenes/Enhance.h"
#include "content/toolkit/scenes/Photo.h"
#include "content/toolkit/scenes/Sensors.h"

#include <algorithm>

namespace {

// The scan as it comes from the scanner: a soft print that uses only the middle of the grey scale.
// The stretch takes its darkest and brightest 0.1 % to the ends of the scale.
const QImage& Stretched() {
    static const QImage image = [] {
        const View view{7280, 4300, 550 * 0.8, 0, 550, 440};
        QImage scan = WithTreeShadows(FilmPositive(RenderBand(view, Bands::FilmPan), 0.45f, 0.8), view);
        scan = ApplyTable(scan, ContrastTable(0.55));
        Vignette(scan, 0.1);
        AddGrain(scan, 2, 2901);
        scan = scan.convertToFormat(QImage::Format_Grayscale8);
        return ApplyTable(scan, PercentStretchTable(Histogram(scan), 0.001));
    }();
    return image;
}

QImage Equalised() {
    return ApplyTable(Stretched(), EqualisationTable(Histogram(Stretched())));
}

QImage HistogramOf(const QImage& grey, const QString& title) {
    QImage image = Canvas(520, 210);
    QPainter p;
    BeginPainting(p, image);
    const std::array<int, 256> counts = Histogram(grey);
    HistogramChartLayout chart;
    chart.Title = title;
    chart.Cumulative = true;
    chart.FontPixels = 13;
    chart.Peak = 1.1 * *std::max_element(counts.begin() + 1, counts.end() - 1);
    const QRectF plot = DrawHistogramChart(p, QRectF(0, 0, 520, 210), counts, chart);
    p.setFont(SansFont(13, true));
    p.setPen(QColor(210, 30, 30));
    DrawText(p, {plot.left() + 6, plot.top() + 4}, QString::fromUtf8("F(g), acumulado"));
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page29() {
    return {
        {"p29-foto-estiramiento-lineal.bmp",
         [] { return EncodeBitmap24(Stretched().convertToFormat(QImage::Format_RGB32)); }},
        {"p29-foto-ecualizada.bmp", [] { return EncodeBitmap8(GreyIndexed(Equalised())); }},
        {"p29-histograma-estiramiento.bmp",
         [] {
             return EncodeBitmap24(
                 HistogramOf(Stretched(), QString::fromUtf8("Histograma con estiramiento lineal")));
         }},
        {"p29-histograma-ecualizado.bmp",
         [] { return EncodeBitmap24(HistogramOf(Equalised(), QString::fromUtf8("Histograma ecualizado"))); }},
    };
}
