// Signal theory: synthesis, sampling, quantisation, noise, spectra, and their drawing on charts.
#include "content/toolkit/charts/Signals.h"

#include "content/toolkit/scenes/Noise.h"

#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <complex>

std::vector<QPointF> Trace(const std::function<double(double)>& f, double t0, double t1, int points) {
    std::vector<QPointF> out;
    out.reserve(size_t(std::max(points, 2)));
    for (int i = 0; i < std::max(points, 2); ++i) {
        double t = t0 + (t1 - t0) * i / (std::max(points, 2) - 1);
        out.push_back({t, f(t)});
    }
    return out;
}

std::vector<QPointF> Sample(const std::function<double(double)>& f, double t0, double step, int count) {
    std::vector<QPointF> out;
    for (int i = 0; i < count; ++i)
        out.push_back({t0 + i * step, f(t0 + i * step)});
    return out;
}

double SquareWaveSum(double t, double period, int highest) {
    double sum = 0;
    for (int k = 1; k <= highest; k += 2)
        sum += std::sin(2 * M_PI * k * t / period) / k;
    return 4 / M_PI * sum;
}

double Sinc(double x) {
    if (std::abs(x) < 1e-12) return 1;
    return std::sin(M_PI * x) / (M_PI * x);
}

double PulseSpectrum(double frequency, double width) {
    return std::abs(width * Sinc(frequency * width));
}

double AliasFrequency(double frequency, double rate) {
    double f = std::abs(frequency);
    return std::abs(f - rate * std::floor(f / rate + 0.5));
}

int QuantizeLevel(double value, double lo, double hi, int bits) {
    const int levels = 1 << bits;
    double step = (hi - lo) / levels;
    return std::clamp(int(std::floor((value - lo) / step)), 0, levels - 1);
}

double LevelValue(int level, double lo, double hi, int bits) {
    return lo + (level + 0.5) * (hi - lo) / (1 << bits);
}

double GaussianNoise(int index, uint32_t seed) {
    // Box-Muller on two hashed uniforms; 1 - u keeps the logarithm away from zero.
    double u = 1 - Hash01(index, 0, seed), v = Hash01(index, 1, seed);
    return std::sqrt(-2 * std::log(u)) * std::cos(2 * M_PI * v);
}

std::vector<double> MovingAverage(std::span<const double> samples, int width) {
    const int n = int(samples.size()), half = std::max(width, 1) / 2;
    std::vector<double> out(samples.size());
    for (int i = 0; i < n; ++i) {
        int from = std::max(0, i - half), to = std::min(n - 1, i + half);
        double sum = 0;
        for (int j = from; j <= to; ++j)
            sum += samples[size_t(j)];
        out[size_t(i)] = sum / (to - from + 1);
    }
    return out;
}

double SignalToNoiseDb(std::span<const double> signal, std::span<const double> noise) {
    auto power = [](std::span<const double> v) {
        double sum = 0;
        for (double x : v)
            sum += x * x;
        return v.empty() ? 0 : sum / double(v.size());
    };
    return 10 * std::log10(power(signal) / power(noise));
}

std::vector<double> AmplitudeSpectrum(std::span<const double> samples) {
    const size_t n = samples.size();
    std::vector<double> out(n / 2 + 1);
    for (size_t k = 0; k <= n / 2 && n > 0; ++k) {
        std::complex<double> sum = 0;
        for (size_t i = 0; i < n; ++i)
            sum += samples[i] * std::polar(1.0, -2 * M_PI * double(k * i % n) / double(n));
        // Entry 0 and, for an even record, entry n / 2 have no mirror image among the negative
        // frequencies; every other component's amplitude is split between the two halves.
        bool single = k == 0 || 2 * k == n;
        out[k] = std::abs(sum) / double(n) * (single ? 1 : 2);
    }
    return out;
}

void DrawStems(QPainter& p, const QRectF& plot, const ChartLayout& chart, std::span<const QPointF> samples,
               QColor colour, double radius) {
    p.save();
    p.setClipRect(plot.adjusted(-radius - 1, -radius - 1, radius + 1, radius + 1));
    double base = std::clamp(0.0, chart.Y0, chart.Y1);
    p.setPen(QPen(colour, 1.6));
    p.setBrush(colour);
    for (QPointF s : samples) {
        QPointF top = ChartPoint(plot, chart, s.x(), s.y());
        p.drawLine(ChartPoint(plot, chart, s.x(), base), top);
        p.drawEllipse(top, radius, radius);
    }
    p.restore();
}

void DrawStaircase(QPainter& p, const QRectF& plot, const ChartLayout& chart,
                   std::span<const QPointF> samples, double lastHold, QColor colour, double width) {
    if (samples.empty()) return;
    QPainterPath path;
    for (size_t i = 0; i < samples.size(); ++i) {
        double until = i + 1 < samples.size() ? samples[i + 1].x() : samples[i].x() + lastHold;
        QPointF a = ChartPoint(plot, chart, samples[i].x(), samples[i].y());
        QPointF b = ChartPoint(plot, chart, until, samples[i].y());
        if (i == 0)
            path.moveTo(a);
        else
            path.lineTo(a);
        path.lineTo(b);
    }
    p.save();
    p.setClipRect(plot.adjusted(-1, -1, 1, 1));
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
}

QImage SignalPanel(int width, int height, int figure, const QString& title, double& top) {
    QImage image = Canvas(width, height);
    QPainter p;
    BeginPainting(p, image);
    top = 40;
    p.fillRect(QRectF(0, 0, width, top), QColor(226, 234, 248));
    p.setPen(QPen(QColor(60, 80, 150), 2));
    p.drawLine(QPointF(0, top - 1), QPointF(width, top - 1));
    p.setFont(SansFont(15, true));
    p.setPen(QColor(200, 40, 40));
    const QString number = QString::fromUtf8("Fig. %1").arg(figure);
    DrawText(p, {12, top / 2}, number, Qt::AlignLeft | Qt::AlignVCenter);
    const double after = 12 + QFontMetricsF(p.font()).horizontalAdvance(number) + 12;
    p.setFont(SansFont(18, true));
    p.setPen(QColor(20, 35, 110));
    DrawText(p, {after, top / 2}, title, Qt::AlignLeft | Qt::AlignVCenter);
    p.end();
    return image;
}

void DrawFormulaBox(QPainter& p, const QRectF& box, const QString& text, double fontPixels) {
    p.save();
    p.setPen(QPen(QColor(150, 130, 60), 1.2));
    p.setBrush(QColor(255, 250, 225));
    p.drawRoundedRect(box, 5, 5);
    QFont font = SerifFont(fontPixels);
    font.setItalic(true);
    p.setFont(font);
    p.setPen(QColor(30, 30, 30));
    DrawTextBox(p, box.adjusted(6, 2, -6, -2), text, Qt::AlignCenter);
    p.restore();
}

void DrawTag(QPainter& p, QPointF at, const QString& text, Qt::Alignment anchor, double fontPixels,
             QColor colour, bool bold) {
    p.save();
    p.setFont(SansFont(fontPixels, bold));
    QRectF r = AnchoredTextBounds(p, at, text, anchor);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawRoundedRect(QRectF(r.x() - 3, r.y() - 1, r.width() + 6, r.height() + 2), 3, 3);
    p.setPen(colour);
    DrawText(p, r.topLeft(), text);
    p.restore();
}

void DrawKey(QPainter& p, QPointF topLeft, std::span<const Series> lines, double fontPixels, int columns,
             double columnWidth) {
    p.save();
    p.setFont(SansFont(fontPixels));
    const double rowH = fontPixels * 1.5;
    int i = 0;
    for (const Series& line : lines) {
        if (line.Name.isEmpty()) continue;
        QPointF at = topLeft + QPointF((i % columns) * columnWidth, (i / columns) * rowH + rowH / 2);
        p.setPen(QPen(line.Colour, line.Width, line.Style, Qt::FlatCap));
        p.drawLine(at, at + QPointF(28, 0));
        p.setPen(Qt::black);
        DrawText(p, at + QPointF(34, 0), line.Name, Qt::AlignLeft | Qt::AlignVCenter);
        ++i;
    }
    p.restore();
}
