// Page 28: histograms. Two histogram windows of one near-infrared image of the reservoir and the
// fields below the dam: the whole image, whose levels run from 0 to 255, and a part of it (fields and
// forest, no water) whose levels run only from 19 to 247. A figure with the two transfer functions the
// list ends on, equalisation and linear stretch, plotted for that part.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/charts/HistogramChart.h"
#include "content/toolkit/scenes/Enhance.h"
#include "content/toolkit/scenes/Noise.h"
#include "content/toolkit/scenes/Sensors.h"

#include <QPainterPath>
#include <algorithm>

namespace {

constexpr int kWidth = 400, kHeight = 300;
const QRect kPart(0, 0, 160, 120); // the analysed part, in image pixels
constexpr int kPartLow = 19, kPartHigh = 247;

// The image: near-infrared reflectance at 8 m with a little sensor noise, quantised so that the
// part's darkest pixel reads 19 and its brightest 247. The whole image reaches further both ways
// (black water, bright bare soil), so its levels clip at 0 and 255.
const QImage& Image() {
    static const QImage image = [] {
        View view{2400, 6000, kWidth * 8.0, 0, kWidth, kHeight};
        FloatImage nir = RenderBand(view, Bands::Tm4);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                nir.At(x, y) += float(0.006 * (Hash01(x, y, 2801) - 0.5));
        float lo = 1e9f, hi = -1e9f;
        for (int y = kPart.top(); y <= kPart.bottom(); ++y)
            for (int x = kPart.left(); x <= kPart.right(); ++x)
                lo = std::min(lo, nir.At(x, y)), hi = std::max(hi, nir.At(x, y));
        QImage grey(kWidth, kHeight, QImage::Format_Grayscale8);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) {
                const double v = kPartLow + (nir.At(x, y) - lo) * (kPartHigh - kPartLow) / (hi - lo);
                grey.scanLine(y)[x] = uchar(std::clamp<long>(std::lround(v), 0, 255));
            }
        return grey;
    }();
    return image;
}

// A histogram window: title bar, the picture analysed, its statistics, and the histogram.
QImage HistogramWindow(int height, const QImage& analysed, const QString& title, bool showPart) {
    QImage image = Canvas(609, height, QColor(236, 236, 240));
    QPainter p;
    BeginPainting(p, image);
    p.fillRect(QRectF(0, 0, 609, 26), QColor(40, 70, 150));
    p.setPen(Qt::white);
    p.setFont(SansFont(15, true));
    DrawText(p, {10, 13}, title, Qt::AlignLeft | Qt::AlignVCenter);

    // The picture, scaled to 200 pixels across.
    const QImage shown = analysed.scaled(200, 150, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QPointF at(12, 36);
    p.drawImage(at, shown);
    p.setPen(QPen(QColor(80, 80, 80), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(at, QSizeF(shown.size())).adjusted(-0.5, -0.5, 0.5, 0.5));
    if (showPart) {
        const double s = double(shown.width()) / analysed.width();
        p.setPen(QPen(QColor(255, 210, 0), 2));
        p.drawRect(QRectF(at.x() + kPart.left() * s, at.y() + kPart.top() * s, kPart.width() * s,
                          kPart.height() * s));
    }

    const std::array<int, 256> counts = Histogram(analysed);
    const auto [lo, hi] = LevelRange(counts);
    const auto [mean, deviation] = LevelStatistics(counts);
    p.setPen(Qt::black);
    p.setFont(SansFont(14));
    const QString lines[] = {
        QString::fromUtf8("Píxeles: %1 x %2 = %3")
            .arg(analysed.width())
            .arg(analysed.height())
            .arg(analysed.width() * analysed.height()),
        QString::fromUtf8("Media: %1").arg(Decimal(mean, 1)),
        QString::fromUtf8("Desviación típica: %1").arg(Decimal(deviation, 1)),
        QString::fromUtf8("Mínimo: %1    Máximo: %2").arg(lo).arg(hi),
    };
    double y = at.y() + shown.height() + 10;
    for (const QString& line : lines) {
        DrawText(p, {12, y}, line);
        y += 21;
    }

    HistogramChartLayout chart;
    chart.FontPixels = 14;
    // Pixels clipped at 0 or 255 pile up in one bar; the height is set by the levels between, so that
    // such a bar runs off the top instead of flattening the rest.
    chart.Peak = 1.1 * *std::max_element(counts.begin() + 1, counts.end() - 1);
    chart.Marks = {{lo, QString::fromUtf8("mín %1").arg(lo), QColor(200, 30, 30)},
                   {hi, QString::fromUtf8("máx %1").arg(hi), QColor(200, 30, 30)}};
    DrawHistogramChart(p, QRectF(226, 34, 375, height - 42), counts, chart);
    p.end();
    return image;
}

// The two transfer functions for the part of the image, with their formulas.
QImage TransferFunctions() {
    QImage image = Canvas(269, 285);
    const QImage part = Image().copy(kPart);
    const std::array<int, 256> counts = Histogram(part);
    const auto [lo, hi] = LevelRange(counts);
    const LookupTable equalise = EqualisationTable(counts), stretch = StretchTable(lo, hi);

    QPainter p;
    BeginPainting(p, image);
    p.setPen(QColor(0, 0, 150));
    p.setFont(SansFont(14, true));
    DrawText(p, {6, 4}, QString::fromUtf8("Ecualizado:"));
    DrawText(p, {6, 62}, QString::fromUtf8("Estiramiento:"));
    p.setPen(Qt::black);
    p.setFont(SerifFont(16));
    DrawText(p, {22, 22}, QString::fromUtf8("g' = 255 · F(g)"));
    DrawText(p, {22, 40}, QString::fromUtf8("F(g) = (H[0] + … + H[g]) / N"));
    DrawText(p, {22, 80}, QString::fromUtf8("g' = δ · (g − mín)"));
    DrawText(p, {22, 98}, QString::fromUtf8("δ = 255 / (máx − mín)"));

    // Both functions for the part (mín 19, máx 247). The picture control shows 265 of the 269 pixels:
    // the plot ends far enough inside for the "255" below its right end.
    const QRectF plot(42, 128, 208, 118);
    p.fillRect(plot, QColor(248, 248, 248));
    p.setPen(QPen(QColor(150, 150, 150), 1));
    p.drawRect(plot);
    auto point = [&](double g, double out) {
        return QPointF(plot.left() + g / 255 * plot.width(), plot.bottom() - out / 255 * plot.height());
    };
    QPainterPath eq, st;
    for (int g = 0; g < 256; ++g) {
        g ? eq.lineTo(point(g, equalise[size_t(g)])) : eq.moveTo(point(g, equalise[size_t(g)]));
        g ? st.lineTo(point(g, stretch[size_t(g)])) : st.moveTo(point(g, stretch[size_t(g)]));
    }
    p.setPen(QPen(QColor(0, 0, 190), 2));
    p.drawPath(eq);
    p.setPen(QPen(QColor(200, 30, 30), 2));
    p.drawPath(st);
    p.setFont(SansFont(11));
    p.setPen(Qt::black);
    for (int g : {0, 128, 255})
        DrawText(p, point(g, 0) + QPointF(0, 2), QString::number(g), Qt::AlignHCenter | Qt::AlignTop);
    for (int g : {0, 255})
        DrawText(p, point(0, g) - QPointF(3, 0), QString::number(g), Qt::AlignRight | Qt::AlignVCenter);
    DrawText(p, {plot.center().x(), plot.bottom() + 14}, QString::fromUtf8("g (original)"),
             Qt::AlignHCenter | Qt::AlignTop);
    p.setFont(SansFont(13, true));
    DrawText(p, {plot.left() - 18, plot.center().y()}, "g'", Qt::AlignHCenter | Qt::AlignVCenter);
    p.setFont(SansFont(11, true));
    p.setPen(QColor(0, 0, 190));
    DrawText(p, {plot.left() + 6, plot.top() + 4}, QString::fromUtf8("ecualizado"));
    p.setPen(QColor(200, 30, 30));
    DrawText(p, {plot.left() + 6, plot.top() + 20}, QString::fromUtf8("estiramiento %1-%2").arg(lo).arg(hi));
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page28() {
    return {
        {"p28-histograma-completa.jpg",
         [] {
             return EncodeJpeg(
                 HistogramWindow(317, Image(), QString::fromUtf8("Histograma: imagen completa"), true),
                 JpegColour(90));
         }},
        {"p28-histograma-parcial.jpg",
         [] {
             return EncodeJpeg(HistogramWindow(315, Image().copy(kPart),
                                               QString::fromUtf8("Histograma: parte de la imagen"), false),
                               JpegColour(90));
         }},
        {"p28-funciones-transferencia.bmp", [] { return EncodeBitmap24(TransferFunctions()); }},
    };
}
