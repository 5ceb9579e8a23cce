// Page 17: signal theory, third pair of panels. Sampling a continuous signal at a fixed interval (and
// the samples as the pixels of an image row), and aliasing: a sinusoid sampled below the Nyquist rate
// is indistinguishable from a slower one.
#include "content/toolkit/Recipe.h"

#include "content/toolkit/charts/Signals.h"

#include <algorithm>
#include <cmath>

namespace {

const QColor kBlue(25, 80, 200), kRed(205, 35, 35);

// A key entry for samples, in the style of DrawKey: a dot where the others have a line.
void SampleKey(QPainter& p, QPointF at, const QString& text) {
    p.save();
    p.setPen(QPen(kRed.darker(140), 1.5));
    p.setBrush(kRed);
    p.drawEllipse(at + QPointF(14, 0), 4.5, 4.5);
    p.setFont(SansFont(12));
    p.setPen(Qt::black);
    DrawText(p, at + QPointF(34, 0), text, Qt::AlignLeft | Qt::AlignVCenter);
    p.restore();
}

double Smooth(double t) {
    return 0.6 * std::sin(2 * M_PI * t) + 0.3 * std::sin(2 * M_PI * 2.5 * t + 0.6);
}

QImage Sampling() {
    double top = 0;
    QImage image = SignalPanel(600, 450, 5, QString::fromUtf8("Muestreo de una señal continua"), top);
    QPainter p;
    BeginPainting(p, image);
    const double step = 0.1;
    const int count = 21;
    ChartLayout chart;
    chart.XLabel = QString::fromUtf8("Tiempo t (s)");
    chart.YLabel = QString::fromUtf8("Amplitud");
    chart.X0 = 0, chart.X1 = 2, chart.XStep = 0.2, chart.XDecimals = 1;
    chart.Y0 = -1.2, chart.Y1 = 1.2, chart.YStep = 0.4, chart.YDecimals = 1;
    chart.Legend = false;
    chart.FontPixels = 12;
    std::vector<QPointF> samples = Sample(Smooth, 0, step, count);
    chart.Lines = {
        {QString::fromUtf8("señal continua s(t)"), kBlue, Trace(Smooth, 0, 2, 500), Qt::SolidLine, 2}};
    QRectF plot = DrawChart(p, QRectF(0, top + 4, 596, 236), chart);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawLine(ChartPoint(plot, chart, 0, 0), ChartPoint(plot, chart, 2, 0));
    DrawStems(p, plot, chart, samples, kRed, 3.5);
    p.setPen(QPen(Qt::black, 1.2));
    QPointF a = ChartPoint(plot, chart, 0.3, -1.0), b = ChartPoint(plot, chart, 0.4, -1.0);
    DrawDoubleArrow(p, a - QPointF(12, 0), a, 5);
    DrawDoubleArrow(p, b + QPointF(12, 0), b, 5);
    p.setPen(QPen(QColor(120, 120, 120), 1, Qt::DotLine));
    p.drawLine(ChartPoint(plot, chart, 0.3, 0), a);
    p.drawLine(ChartPoint(plot, chart, 0.4, 0), b);
    DrawTag(p, (a + b) / 2 + QPointF(0, 4), QString::fromUtf8("Δt"), Qt::AlignHCenter | Qt::AlignTop, 13,
            Qt::black, true);
    DrawKey(p, {60, top + 242}, chart.Lines, 12, 2, 230);
    SampleKey(p, {290, top + 242 + 9}, QString::fromUtf8("muestras s[n], una cada Δt = 0,1 s"));

    // The same samples as grey levels: one row of a picture.
    const double cell = 24, left = 48, rowTop = top + 294;
    p.setFont(SansFont(12, true));
    p.setPen(QColor(20, 35, 110));
    DrawText(p, {left, rowTop - 4},
             QString::fromUtf8("Las mismas muestras como píxeles de una fila de imagen:"),
             Qt::AlignLeft | Qt::AlignBottom);
    p.setFont(SansFont(10));
    for (int i = 0; i < count; ++i) {
        double v = samples[size_t(i)].y();
        int grey = std::clamp(int(std::lround((v - chart.Y0) / (chart.Y1 - chart.Y0) * 255)), 0, 255);
        QRectF px(left + i * cell, rowTop, cell, cell);
        p.fillRect(px, QColor(grey, grey, grey));
        p.setPen(QPen(QColor(90, 90, 90), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(px);
        p.setPen(Qt::black);
        DrawText(p, {px.center().x(), px.bottom() + 2}, QString::number(i), Qt::AlignHCenter | Qt::AlignTop);
    }
    p.setFont(SansFont(11));
    DrawText(p, {left + count * cell + 6, rowTop + cell + 2}, QString::fromUtf8("n"),
             Qt::AlignLeft | Qt::AlignTop);

    DrawFormulaBox(
        p, QRectF(30, 384, 540, 56),
        QString::fromUtf8("s[n] = s(n · Δt)\nfrecuencia de muestreo:  fs = 1 / Δt = 10 muestras por segundo"),
        17);
    p.end();
    return image;
}

QImage Aliasing() {
    double top = 0;
    QImage image = SignalPanel(600, 450, 6, QString::fromUtf8("Submuestreo: el efecto «aliasing»"), top);
    QPainter p;
    BeginPainting(p, image);
    const double f = 9, rate = 10, alias = AliasFrequency(f, rate);
    auto signal = [&](double t) { return std::cos(2 * M_PI * f * t); };
    auto seen = [&](double t) { return std::cos(2 * M_PI * alias * t); };
    ChartLayout chart;
    chart.XLabel = QString::fromUtf8("Tiempo t (s)");
    chart.YLabel = QString::fromUtf8("Amplitud");
    chart.X0 = 0, chart.X1 = 1, chart.XStep = 0.1, chart.XDecimals = 1;
    chart.Y0 = -1.3, chart.Y1 = 1.3, chart.YStep = 0.5, chart.YDecimals = 1;
    chart.Legend = false;
    chart.FontPixels = 12;
    chart.Lines = {{QString::fromUtf8("señal real: f = %1 Hz").arg(Decimal(f, 0)), kBlue,
                    Trace(signal, 0, 1, 1200), Qt::SolidLine, 1.5},
                   {QString::fromUtf8("lo que muestran las muestras: f = %1 Hz").arg(Decimal(alias, 0)), kRed,
                    Trace(seen, 0, 1, 400), Qt::DashLine, 2.5}};
    QRectF plot = DrawChart(p, QRectF(0, top + 4, 596, 250), chart);
    std::vector<QPointF> samples = Sample(signal, 0, 1 / rate, int(rate) + 1);
    p.save();
    p.setPen(QPen(kRed.darker(140), 1.5));
    p.setBrush(kRed);
    for (QPointF s : samples)
        p.drawEllipse(ChartPoint(plot, chart, s.x(), s.y()), 5, 5);
    p.restore();
    DrawKey(p, {60, top + 256}, chart.Lines, 12, 1, 480);
    SampleKey(p, {60, top + 256 + 18 * 2 + 9},
              QString::fromUtf8("muestras tomadas con fs = %1 muestras/s").arg(Decimal(rate, 0)));

    DrawFormulaBox(p, QRectF(30, top + 322, 540, 40),
                   QString::fromUtf8("Teorema del muestreo (Nyquist):  fs ≥ 2 · fmáx"), 19);
    p.setFont(SansFont(13));
    p.setPen(QColor(30, 30, 30));
    DrawTextBox(p, QRectF(30, top + 366, 540, 40),
                QString::fromUtf8(
                    "Con fs = %1 Hz, una señal de %2 Hz aparece como una señal falsa de |f − fs| = %3 Hz. "
                    "En una imagen, los detalles menores que dos píxeles crean así falsos patrones "
                    "(efecto moiré).")
                    .arg(Decimal(rate, 0), Decimal(f, 0), Decimal(alias, 0)),
                Qt::AlignLeft | Qt::AlignTop);
    p.end();
    return image;
}

} // namespace

std::vector<Recipe> Page17() {
    return {
        {"p17-muestreo.bmp", [] { return EncodeBitmap24(Sampling()); }},
        {"p17-aliasing.bmp", [] { return EncodeBitmap24(Aliasing()); }},
    };
}
