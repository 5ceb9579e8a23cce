// Page 16: signal theory, second pair of panels. The same square wave seen in time and as its
// amplitude spectrum (computed from its samples by the discrete Fourier transform), and the spectra of
// a long and a short pulse: the shorter the pulse, the wider the band of frequencies it needs.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Signals.h"

#include <cmath>

namespace {

const QColor kBlue(25, 80, 200), kRed(205, 35, 35);

QImage TimeAndFrequency() {
    double top = 0;
    QImage image = SignalPanel(600, 450, 3, QString::fromUtf8("Dominio del tiempo y de la frecuencia"), top);
    QPainter p;
    BeginPainting(p, image);

    // Two seconds of a 1 Hz square wave made of its odd harmonics up to the 15th.
    const int n = 256, highest = 15;
    const double record = 2;
    ChartLayout time;
    time.XLabel = QString::fromUtf8("Tiempo t (s)");
    time.YLabel = QString::fromUtf8("s(t)");
    time.X0 = 0, time.X1 = record, time.XStep = 0.25, time.XDecimals = 2;
    // Room above the crests' overshoot (1.18) for the label.
    time.Y0 = -1.5, time.Y1 = 2, time.YStep = 0.5, time.YDecimals = 1;
    time.Legend = false;
    time.FontPixels = 12;
    time.Lines = {{QString(), kRed,
                   Trace([&](double t) { return SquareWaveSum(t, 1, highest); }, 0, record, 800),
                   Qt::SolidLine, 2}};
    QRectF plot = DrawChart(p, QRectF(0, top + 4, 596, 180), time);
    DrawTag(p, plot.topRight() + QPointF(-6, 4),
            QString::fromUtf8("onda cuadrada de f₀ = 1 Hz (armónicos 1 a %1)").arg(highest),
            Qt::AlignRight | Qt::AlignTop, 12, kRed.darker(130), true);

    std::vector<double> samples(n);
    for (int i = 0; i < n; ++i)
        samples[size_t(i)] = SquareWaveSum(record * i / n, 1, highest);
    std::vector<double> spectrum = AmplitudeSpectrum(samples);

    ChartLayout freq;
    freq.XLabel = QString::fromUtf8("Frecuencia f (Hz)");
    freq.YLabel = QString::fromUtf8("Amplitud");
    freq.X0 = 0, freq.X1 = 20, freq.XStep = 1, freq.XDecimals = 0;
    freq.Y0 = 0, freq.Y1 = 1.5, freq.YStep = 0.25, freq.YDecimals = 2;
    freq.Legend = false;
    freq.FontPixels = 12;
    QRectF fplot = DrawChart(p, QRectF(0, top + 188, 596, 222), freq);
    std::vector<QPointF> lines;
    for (size_t k = 0; k < spectrum.size(); ++k) {
        double f = double(k) / record;
        if (f <= freq.X1 && spectrum[k] > 0.01) lines.push_back({f, spectrum[k]});
    }
    DrawStems(p, fplot, freq, lines, kBlue, 4);
    for (QPointF l : lines)
        if (l.x() <= 7)
            DrawTag(p, ChartPoint(fplot, freq, l.x(), l.y()) + QPointF(6, -4), Decimal(l.y(), 2),
                    Qt::AlignLeft | Qt::AlignBottom, 11, kBlue.darker(140));
    DrawTag(p, ChartPoint(fplot, freq, 1, spectrum[size_t(record)]) + QPointF(14, 10),
            QString::fromUtf8("fundamental f₀"), Qt::AlignLeft | Qt::AlignTop, 12, Qt::black, true);
    DrawFormulaBox(p, QRectF(fplot.right() - 300, fplot.top() + 10, 290, 56),
                   QString::fromUtf8("Aₖ = 4 / (k π),  k = 1, 3, 5, …\nsolo frecuencias k · f₀ impares"), 16);
    p.end();
    return image;
}

QImage PulseBandwidth() {
    double top = 0;
    QImage image = SignalPanel(600, 450, 4, QString::fromUtf8("Pulso rectangular y ancho de banda"), top);
    QPainter p;
    BeginPainting(p, image);
    // A long and a short pulse, apart in time; a shift in time leaves the amplitude spectrum as it is.
    const double wide = 0.5, wideAt = -0.5, narrow = 0.125, narrowAt = 0.5;
    auto pulse = [](double width, double centre) {
        return [width, centre](double t) { return std::abs(t - centre) <= width / 2 ? 1.0 : 0.0; };
    };
    ChartLayout time;
    time.XLabel = QString::fromUtf8("Tiempo t (s)");
    time.YLabel = QString::fromUtf8("s(t)");
    time.X0 = -1, time.X1 = 1, time.XStep = 0.25, time.XDecimals = 2;
    time.Y0 = 0, time.Y1 = 1.5, time.YStep = 0.5, time.YDecimals = 1;
    time.Legend = false;
    time.FontPixels = 12;
    time.Lines = {{QString(), kBlue, Trace(pulse(wide, wideAt), -1, 1, 4001), Qt::SolidLine, 2.5},
                  {QString(), kRed, Trace(pulse(narrow, narrowAt), -1, 1, 4001), Qt::SolidLine, 2.5}};
    QRectF plot = DrawChart(p, QRectF(0, top + 4, 596, 170), time);
    auto width = [&](double centre, double w, QColor colour, const QString& text) {
        p.setPen(QPen(colour, 1.4));
        DrawDoubleArrow(p, ChartPoint(plot, time, centre - w / 2, 1.15),
                        ChartPoint(plot, time, centre + w / 2, 1.15), 6);
        DrawTag(p, ChartPoint(plot, time, centre, 1.2), text, Qt::AlignHCenter | Qt::AlignBottom, 12,
                colour.darker(130), true);
    };
    width(wideAt, wide, kBlue, QString::fromUtf8("pulso largo: τ = 0,5 s"));
    width(narrowAt, narrow, kRed, QString::fromUtf8("pulso breve: τ = 0,125 s"));

    ChartLayout freq;
    freq.XLabel = QString::fromUtf8("Frecuencia f (Hz)");
    freq.YLabel = QString::fromUtf8("|X(f)| / τ");
    freq.X0 = 0, freq.X1 = 12, freq.XStep = 1, freq.XDecimals = 0;
    freq.Y0 = 0, freq.Y1 = 1.4, freq.YStep = 0.2, freq.YDecimals = 1;
    freq.Legend = false;
    freq.FontPixels = 12;
    freq.Lines = {
        {QString(), kBlue, Trace([&](double f) { return PulseSpectrum(f, wide) / wide; }, 0, 12, 1200),
         Qt::SolidLine, 2.5},
        {QString(), kRed, Trace([&](double f) { return PulseSpectrum(f, narrow) / narrow; }, 0, 12, 1200),
         Qt::SolidLine, 2.5}};
    QRectF fplot = DrawChart(p, QRectF(0, top + 176, 596, 190), freq);
    // The main lobe of each spectrum ends at f = 1 / tau: the band that carries most of the energy.
    auto band = [&](double w, double y, QColor colour, const QString& text) {
        double edge = 1 / w;
        p.setPen(QPen(colour, 1.2, Qt::DashLine));
        p.drawLine(ChartPoint(fplot, freq, edge, 0), ChartPoint(fplot, freq, edge, y));
        p.setPen(QPen(colour, 1.6));
        DrawDoubleArrow(p, ChartPoint(fplot, freq, 0, y), ChartPoint(fplot, freq, edge, y), 6);
        DrawTag(p, ChartPoint(fplot, freq, edge, y) + QPointF(6, 0), text, Qt::AlignLeft | Qt::AlignVCenter,
                12, colour.darker(130), true);
    };
    band(wide, 1.15, kBlue, QString::fromUtf8("1/τ = %1 Hz").arg(Decimal(1 / wide, 0)));
    band(narrow, 1.3, kRed, QString::fromUtf8("1/τ = %1 Hz").arg(Decimal(1 / narrow, 0)));
    DrawTag(p, ChartPoint(fplot, freq, 11.8, 0.62), QString::fromUtf8("cuanto más breve el pulso,"),
            Qt::AlignRight | Qt::AlignBottom, 13);
    DrawTag(p, ChartPoint(fplot, freq, 11.8, 0.62), QString::fromUtf8("más ancho su espectro"),
            Qt::AlignRight | Qt::AlignTop, 13);
    DrawFormulaBox(p, QRectF(20, 408, 560, 36),
                   QString::fromUtf8("|X(f)| = τ · | sen(π f τ) / (π f τ) |        ancho de banda ≈ 1 / τ"),
                   18);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page16() {
    return {
        {"p16-tiempo-frecuencia.bmp", [] { return EncodeBitmap24(TimeAndFrequency()); }},
        {"p16-pulso-ancho-banda.bmp", [] { return EncodeBitmap24(PulseBandwidth()); }},
    };
}
