// Page 15: signal theory, first pair of panels. A sinusoid and the quantities that define it
// (amplitude, period, frequency, phase), and a square wave built up as a sum of odd harmonics.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Signals.h"

#include <cmath>

namespace {

const QColor kBlue(25, 80, 200), kRed(205, 35, 35), kOrange(235, 130, 20), kGreen(30, 150, 60);

ChartLayout TimeChart(double y0, double y1) {
    ChartLayout c;
    c.XLabel = QString::fromUtf8("Tiempo t (s)");
    c.YLabel = QString::fromUtf8("Amplitud");
    c.X0 = 0, c.X1 = 2, c.XStep = 0.25, c.XDecimals = 2;
    c.Y0 = y0, c.Y1 = y1, c.YStep = 0.5, c.YDecimals = 1;
    c.Legend = false;
    c.FontPixels = 13;
    return c;
}

QImage Sinusoid() {
    double top = 0;
    QImage image = SignalPanel(600, 450, 1, QString::fromUtf8("Señal periódica: la senoide"), top);
    QPainter p;
    BeginPainting(p, image);
    ChartLayout chart = TimeChart(-1.5, 1.5);
    const double f = 1, phase = M_PI / 2;
    chart.Lines = {
        {QString::fromUtf8("s(t) = sen(2π t):  A = 1,  f = 1 Hz,  φ = 0"), kBlue,
         Trace([&](double t) { return std::sin(2 * M_PI * f * t); }, 0, 2, 400), Qt::SolidLine, 2.5},
        {QString::fromUtf8("la misma señal con fase φ = π/2 (90°)"), kOrange,
         Trace([&](double t) { return std::sin(2 * M_PI * f * t + phase); }, 0, 2, 400), Qt::DashLine, 2}};
    QRectF plot = DrawChart(p, QRectF(0, top + 6, 596, 292), chart);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawLine(ChartPoint(plot, chart, 0, 0), ChartPoint(plot, chart, 2, 0));

    // Amplitude: from the axis to the crest.
    p.setPen(QPen(Qt::black, 1.4));
    DrawDoubleArrow(p, ChartPoint(plot, chart, 0.25, 0), ChartPoint(plot, chart, 0.25, 1), 7);
    // The letter alone: a wider tag would cover the curve as it falls from the crest (the axis and the
    // key name the amplitude).
    DrawTag(p, ChartPoint(plot, chart, 0.27, 0.5), QString::fromUtf8("A"), Qt::AlignLeft | Qt::AlignVCenter,
            13, Qt::black, true);
    // Period: from crest to crest.
    QPointF c1 = ChartPoint(plot, chart, 0.25, 1.18), c2 = ChartPoint(plot, chart, 1.25, 1.18);
    p.setPen(QPen(QColor(150, 150, 150), 1, Qt::DotLine));
    p.drawLine(ChartPoint(plot, chart, 0.25, 1), c1 + QPointF(0, -8));
    p.drawLine(ChartPoint(plot, chart, 1.25, 1), c2 + QPointF(0, -8));
    p.setPen(QPen(Qt::black, 1.4));
    DrawDoubleArrow(p, c1, c2, 7);
    DrawTag(p, ChartPoint(plot, chart, 0.75, 1.2), QString::fromUtf8("T = 1 s (período)"),
            Qt::AlignHCenter | Qt::AlignBottom, 13, Qt::black, true);
    // Phase: the shifted wave reaches its trough a quarter period earlier.
    QPointF t1 = ChartPoint(plot, chart, 1.5, -1.1), t2 = ChartPoint(plot, chart, 1.75, -1.1);
    p.setPen(QPen(kOrange.darker(130), 1.4));
    DrawDoubleArrow(p, t1, t2, 6);
    DrawTag(p, ChartPoint(plot, chart, 1.625, -1.17), QString::fromUtf8("Δt = φ / (2π f) = 0,25 s"),
            Qt::AlignHCenter | Qt::AlignTop, 12, kOrange.darker(150), true);
    DrawKey(p, {60, top + 302}, chart.Lines, 13, 1, 500);
    DrawFormulaBox(p, QRectF(60, 386, 480, 50),
                   QString::fromUtf8("s(t) = A · sen(2π f t + φ)        f = 1 / T        ω = 2π f"), 20);
    p.end();
    return image;
}

QImage FourierSum() {
    double top = 0;
    QImage image = SignalPanel(600, 450, 2, QString::fromUtf8("Suma de senoides: serie de Fourier"), top);
    QPainter p;
    BeginPainting(p, image);
    ChartLayout chart = TimeChart(-1.5, 1.5);
    auto harmonic = [](int k) { return [k](double t) { return 4 / M_PI * std::sin(2 * M_PI * k * t) / k; }; };
    chart.Lines = {
        {QString::fromUtf8("ideal: onda cuadrada"), QColor(130, 130, 130),
         Trace([](double t) { return std::sin(2 * M_PI * t) >= 0 ? 1.0 : -1.0; }, 0, 2, 2001), Qt::DashLine,
         1.5},
        {QString::fromUtf8("fundamental (k = 1)"), kBlue, Trace(harmonic(1), 0, 2, 400), Qt::SolidLine, 1.3},
        {QString::fromUtf8("3.er armónico (k = 3)"), kGreen, Trace(harmonic(3), 0, 2, 400), Qt::SolidLine,
         1.3},
        {QString::fromUtf8("5.º armónico (k = 5)"), kOrange, Trace(harmonic(5), 0, 2, 400), Qt::SolidLine,
         1.3},
        {QString::fromUtf8("suma de los tres"), kRed,
         Trace([](double t) { return SquareWaveSum(t, 1, 5); }, 0, 2, 600), Qt::SolidLine, 3}};
    DrawChart(p, QRectF(0, top + 6, 596, 292), chart);
    DrawKey(p, {24, top + 298}, chart.Lines, 13, 3, 190);
    DrawFormulaBox(p, QRectF(30, 398, 540, 44),
                   QString::fromUtf8("s(t) = (4/π) · [ sen ωt + sen 3ωt / 3 + sen 5ωt / 5 + … ]"), 19);
    p.setFont(SansFont(12));
    p.setPen(QColor(60, 60, 60));
    DrawText(p, {300, 392},
             QString::fromUtf8("Cuantos más armónicos se suman, más se acerca la suma a la onda cuadrada"),
             Qt::AlignHCenter | Qt::AlignBottom);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page15() {
    return {
        {"p15-senoide.bmp", [] { return EncodeBitmap24(Sinusoid()); }},
        {"p15-serie-fourier.bmp", [] { return EncodeBitmap24(FourierSum()); }},
    };
}
