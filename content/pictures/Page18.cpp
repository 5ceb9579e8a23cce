// Page 18: signal theory, fourth pair of panels. Quantisation of samples into the levels of a 3-bit
// code, with the error it leaves, and noise: a signal buried in random noise, the signal-to-noise ratio
// before and after smoothing with a moving average.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Signals.h"

#include <cmath>

namespace {

const QColor kBlue(25, 80, 200), kRed(205, 35, 35), kDark(40, 40, 40);

QImage Quantisation() {
    double top = 0;
    QImage image =
        SignalPanel(600, 450, 7, QString::fromUtf8("Cuantificación: de la muestra al número"), top);
    QPainter p;
    BeginPainting(p, image);
    const int bits = 3, levels = 1 << bits, count = 26;
    const double lo = -1, hi = 1, step = 0.04, interval = (hi - lo) / levels;
    auto signal = [](double t) {
        return 0.8 * std::sin(2 * M_PI * t) + 0.15 * std::sin(2 * M_PI * 3 * t + 1);
    };
    std::vector<QPointF> samples = Sample(signal, 0, step, count), quantised, error;
    for (QPointF s : samples) {
        double q = LevelValue(QuantizeLevel(s.y(), lo, hi, bits), lo, hi, bits);
        quantised.push_back({s.x(), q});
        error.push_back({s.x(), q - s.y()});
    }

    // The grid lines fall on the limits between levels; each level's code stands at the right.
    ChartLayout chart;
    chart.YLabel = QString::fromUtf8("Amplitud");
    chart.X0 = 0, chart.X1 = 1, chart.XStep = 0.1, chart.XDecimals = 1;
    chart.Y0 = lo, chart.Y1 = hi, chart.YStep = interval, chart.YDecimals = 2;
    chart.Legend = false;
    chart.FontPixels = 12;
    chart.Grid = QColor(190, 190, 190);
    chart.Lines = {
        {QString::fromUtf8("señal continua"), kBlue, Trace(signal, 0, 1, 400), Qt::SolidLine, 1.5},
        {QString::fromUtf8("valor cuantificado con %1 bits").arg(bits), kRed, {}, Qt::SolidLine, 2.5}};
    QRectF plot = DrawChart(p, QRectF(0, top + 4, 560, 238), chart);
    DrawStaircase(p, plot, chart, quantised, step, kRed, 2.5);
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(kBlue);
    for (QPointF s : samples)
        p.drawEllipse(ChartPoint(plot, chart, s.x(), s.y()), 2.8, 2.8);
    p.restore();
    p.setFont(NarrowFont(11, true));
    p.setPen(kRed.darker(140));
    for (int level = 0; level < levels; ++level) {
        QString code;
        for (int b = bits - 1; b >= 0; --b)
            code += (level >> b) & 1 ? '1' : '0';
        DrawText(p, ChartPoint(plot, chart, chart.X1, LevelValue(level, lo, hi, bits)) + QPointF(4, 0), code,
                 Qt::AlignLeft | Qt::AlignVCenter);
    }
    p.setPen(QPen(Qt::black, 1.2));
    QPointF a = ChartPoint(plot, chart, 0.955, lo + 6 * interval),
            b = ChartPoint(plot, chart, 0.955, lo + 7 * interval);
    DrawDoubleArrow(p, a, b, 5);
    DrawTag(p, (a + b) / 2 - QPointF(6, 0), QString::fromUtf8("Δ = 2 / 2³ = 0,25"),
            Qt::AlignRight | Qt::AlignVCenter, 11, Qt::black, true);
    DrawKey(p, {60, top + 240}, chart.Lines, 12, 2, 220);

    ChartLayout err;
    err.XLabel = QString::fromUtf8("Tiempo t (s)");
    err.YLabel = QString::fromUtf8("Error");
    err.X0 = 0, err.X1 = 1, err.XStep = 0.1, err.XDecimals = 1;
    err.Y0 = -0.2, err.Y1 = 0.2, err.YStep = 0.1, err.YDecimals = 1;
    err.Legend = false;
    err.FontPixels = 12;
    QRectF eplot = DrawChart(p, QRectF(0, top + 262, 560, 102), err);
    p.setPen(QPen(QColor(150, 150, 150), 1, Qt::DashLine));
    for (double bound : {-interval / 2, interval / 2})
        p.drawLine(ChartPoint(eplot, err, 0, bound), ChartPoint(eplot, err, 1, bound));
    DrawStems(p, eplot, err, error, QColor(110, 60, 150), 2.5);
    DrawTag(p, ChartPoint(eplot, err, 1, interval / 2) + QPointF(4, 0), QString::fromUtf8("+Δ/2"),
            Qt::AlignLeft | Qt::AlignVCenter, 11);
    DrawTag(p, ChartPoint(eplot, err, 1, -interval / 2) + QPointF(4, 0), QString::fromUtf8("−Δ/2"),
            Qt::AlignLeft | Qt::AlignVCenter, 11);

    DrawFormulaBox(
        p, QRectF(20, 408, 560, 36),
        QString::fromUtf8("n bits → 2ⁿ niveles:   3 bits = 8 niveles;   8 bits = 256 niveles (0 a 255)"), 17);
    p.end();
    return image;
}

QImage Noise() {
    double top = 0;
    QImage image = SignalPanel(600, 450, 8, QString::fromUtf8("Ruido y relación señal/ruido"), top);
    QPainter p;
    BeginPainting(p, image);
    const int n = 400, window = 15;
    const double record = 2, sigma = 0.35;
    auto clean = [](double t) {
        return 0.7 * std::sin(2 * M_PI * t) + 0.25 * std::sin(2 * M_PI * 3 * t + 0.5);
    };
    std::vector<double> truth(n), noisy(n), noise(n), smoothed, residual(n);
    std::vector<QPointF> noisyLine, smoothLine;
    for (int i = 0; i < n; ++i) {
        double t = record * i / n;
        truth[size_t(i)] = clean(t);
        noise[size_t(i)] = sigma * GaussianNoise(i, 1815);
        noisy[size_t(i)] = truth[size_t(i)] + noise[size_t(i)];
        noisyLine.push_back({t, noisy[size_t(i)]});
    }
    smoothed = MovingAverage(noisy, window);
    for (int i = 0; i < n; ++i) {
        residual[size_t(i)] = smoothed[size_t(i)] - truth[size_t(i)];
        smoothLine.push_back({record * i / n, smoothed[size_t(i)]});
    }
    const double before = SignalToNoiseDb(truth, noise), after = SignalToNoiseDb(truth, residual);

    auto chart = [&](const QString& label) {
        ChartLayout c;
        c.XLabel = label;
        c.YLabel = QString::fromUtf8("Amplitud");
        c.X0 = 0, c.X1 = record, c.XStep = 0.25, c.XDecimals = 2;
        c.Y0 = -2, c.Y1 = 2, c.YStep = 1, c.YDecimals = 0;
        c.Legend = false;
        c.FontPixels = 12;
        return c;
    };
    const Series truthLine{QString::fromUtf8("señal sin ruido"), kDark, Trace(clean, 0, record, 400),
                           Qt::DashLine, 1.8};
    ChartLayout upper = chart(QString());
    upper.Lines = {{QString::fromUtf8("señal + ruido"), QColor(90, 120, 190), noisyLine, Qt::SolidLine, 1.1},
                   truthLine};
    QRectF plot = DrawChart(p, QRectF(0, top + 4, 596, 160), upper);
    DrawTag(p, plot.topLeft() + QPointF(8, 5),
            QString::fromUtf8("señal + ruido aleatorio:  S/R = %1 dB").arg(Decimal(before, 1)),
            Qt::AlignLeft | Qt::AlignTop, 13, QColor(40, 70, 150), true);
    ChartLayout lower = chart(QString::fromUtf8("Tiempo t (s)"));
    lower.Lines = {{QString::fromUtf8("filtrada: media móvil de %1 muestras").arg(window), kRed, smoothLine,
                    Qt::SolidLine, 2},
                   truthLine};
    QRectF lplot = DrawChart(p, QRectF(0, top + 144, 596, 180), lower);
    DrawTag(p, lplot.topLeft() + QPointF(8, 5),
            QString::fromUtf8("tras un filtro pasa bajos:  S/R = %1 dB").arg(Decimal(after, 1)),
            Qt::AlignLeft | Qt::AlignTop, 13, kRed.darker(130), true);
    const Series key[] = {upper.Lines[0], lower.Lines[0], truthLine};
    DrawKey(p, {40, top + 324}, key, 12, 2, 280);
    DrawFormulaBox(p, QRectF(20, 406, 560, 36),
                   QString::fromUtf8("S/R (dB) = 10 · log₁₀ ( P señal / P ruido )      P: potencia media"),
                   17);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page18() {
    return {
        {"p18-cuantificacion.bmp", [] { return EncodeBitmap24(Quantisation()); }},
        {"p18-ruido-senal.bmp", [] { return EncodeBitmap24(Noise()); }},
    };
}
