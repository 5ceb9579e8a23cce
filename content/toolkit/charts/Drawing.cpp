// Drawing helpers on Qt's raster painter.
#include "content/toolkit/charts/Drawing.h"

#include <QFontDatabase>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

void RegisterPictureFonts() {
    static const char* const files[] = {
        "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf",
        "/usr/share/fonts/truetype/liberation2/LiberationSans-Bold.ttf",
        "/usr/share/fonts/truetype/liberation2/LiberationSerif-Regular.ttf",
        "/usr/share/fonts/truetype/liberation2/LiberationSerif-Bold.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed.ttf",
        "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf",
    };
    for (const char* f : files)
        QFontDatabase::addApplicationFont(QString::fromLatin1(f));
}

namespace {
QFont Font(const char* family, double pixels, bool bold) {
    QFont f(QString::fromLatin1(family));
    f.setPixelSize(std::max(1, int(std::lround(pixels))));
    f.setBold(bold);
    f.setHintingPreference(QFont::PreferFullHinting);
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}
} // namespace

QFont SansFont(double pixels, bool bold) {
    return Font("Liberation Sans", pixels, bold);
}
QFont SerifFont(double pixels, bool bold) {
    return Font("Liberation Serif", pixels, bold);
}
QFont NarrowFont(double pixels, bool bold) {
    return Font("DejaVu Sans Condensed", pixels, bold);
}

QImage Canvas(int width, int height, QColor background) {
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(background);
    return image;
}

void BeginPainting(QPainter& p, QImage& canvas) {
    p.begin(&canvas);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
}

void DrawArrow(QPainter& p, QPointF from, QPointF to, double head) {
    p.drawLine(from, to);
    double a = std::atan2(to.y() - from.y(), to.x() - from.x());
    QPointF l = to - QPointF(std::cos(a - 0.4) * head, std::sin(a - 0.4) * head);
    QPointF r = to - QPointF(std::cos(a + 0.4) * head, std::sin(a + 0.4) * head);
    QPainterPath tip;
    tip.moveTo(to);
    tip.lineTo(l);
    tip.lineTo(r);
    tip.closeSubpath();
    p.fillPath(tip, p.pen().color());
}

void DrawDoubleArrow(QPainter& p, QPointF from, QPointF to, double head) {
    DrawArrow(p, from, to, head);
    DrawArrow(p, to, from, head);
}

QRectF AnchoredTextBounds(const QPainter& p, QPointF at, const QString& text, Qt::Alignment anchor) {
    QFontMetricsF m(p.font());
    QRectF r = m.boundingRect(QRectF(0, 0, 4000, 4000), Qt::AlignLeft | Qt::AlignTop, text);
    double x = at.x(), y = at.y();
    if (anchor & Qt::AlignHCenter)
        x -= r.width() / 2;
    else if (anchor & Qt::AlignRight)
        x -= r.width();
    if (anchor & Qt::AlignVCenter)
        y -= r.height() / 2;
    else if (anchor & Qt::AlignBottom)
        y -= r.height();
    return {x, y, r.width(), r.height()};
}

void DrawText(QPainter& p, QPointF at, const QString& text, Qt::Alignment anchor) {
    QRectF r = AnchoredTextBounds(p, at, text, anchor);
    p.drawText(QRectF(r.x(), r.y(), r.width() + 1, r.height() + 1), Qt::AlignLeft | Qt::AlignTop, text);
}

void DrawHeading(QPainter& p, QPointF at, const QString& text, double fontPixels, QColor colour,
                 Qt::Alignment anchor) {
    p.setPen(colour);
    p.setFont(SansFont(fontPixels, true));
    DrawText(p, at, text, anchor);
}

void DrawTagBox(QPainter& p, QPointF at, const QString& text, const TagStyle& style, Qt::Alignment anchor) {
    p.setFont(SansFont(style.FontPixels, true));
    QSizeF size(QFontMetricsF(p.font()).horizontalAdvance(text) + style.Padding, style.Height);
    QPointF corner = at;
    if (anchor & Qt::AlignRight) corner.rx() -= size.width();
    if (anchor & Qt::AlignHCenter) corner.rx() -= size.width() / 2;
    if (anchor & Qt::AlignBottom) corner.ry() -= size.height();
    QRectF box(corner, size);
    p.fillRect(box, QColor(255, 255, 255, style.Opacity));
    p.setPen(style.Ink);
    DrawText(p, box.center(), text, Qt::AlignCenter);
}

void DrawAngleArc(QPainter& p, QPointF centre, double radius, double from, double to, int segments) {
    QPainterPath path;
    for (int k = 0; k <= segments; ++k) {
        double a = from + (to - from) * k / segments;
        QPointF q = centre + QPointF(std::cos(a), std::sin(a)) * radius;
        k ? path.lineTo(q) : path.moveTo(q);
    }
    p.save();
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.restore();
}

void DrawTextBox(QPainter& p, const QRectF& box, const QString& text, Qt::Alignment align) {
    p.drawText(box, int(align) | Qt::TextWordWrap, text);
}

void DrawCaptionBox(QPainter& p, const QRectF& box, const QString& text, QColor fill, QColor border) {
    p.save();
    p.setPen(QPen(border, 1.5));
    p.setBrush(fill);
    p.drawRoundedRect(box, 6, 6);
    p.restore();
    DrawTextBox(p, box.adjusted(4, 2, -4, -2), text);
}

QPointF ChartPoint(const QRectF& plot, const ChartLayout& s, double x, double y) {
    double fx = s.LogX ? (std::log10(x) - std::log10(s.X0)) / (std::log10(s.X1) - std::log10(s.X0))
                       : (x - s.X0) / (s.X1 - s.X0);
    double fy = (y - s.Y0) / (s.Y1 - s.Y0);
    return {plot.left() + fx * plot.width(), plot.bottom() - fy * plot.height()};
}

QString Decimal(double value, int decimals) {
    return QString::number(value, 'f', decimals).replace(QLatin1Char('.'), QLatin1Char(','));
}

QRectF DrawChart(QPainter& p, const QRectF& area, const ChartLayout& s) {
    const double f = s.FontPixels;
    p.save();
    p.fillRect(area, s.Background);
    QFont tickFont = SansFont(f * 0.85), labelFont = SansFont(f), titleFont = SansFont(f * 1.15, true);
    double top = area.top() + (s.Title.isEmpty() ? f * 0.8 : f * 2.4);
    QRectF plot(area.left() + f * 4.2, top, area.width() - f * 5.4, area.bottom() - top - f * 3.6);
    if (!s.Title.isEmpty()) {
        p.setFont(titleFont);
        p.setPen(Qt::black);
        DrawText(p, {area.center().x(), area.top() + f * 0.5}, s.Title, Qt::AlignHCenter | Qt::AlignTop);
    }
    p.setClipRect(plot);
    for (const Span& span : s.Spans) {
        QPointF a = ChartPoint(plot, s, span.From, s.Y1), b = ChartPoint(plot, s, span.To, s.Y0);
        p.fillRect(QRectF(a, b), span.Colour);
    }
    p.setClipping(false);
    // Grid and ticks.
    p.setFont(tickFont);
    auto ticks = [](double from, double to, double step) {
        std::vector<double> v;
        for (double t = std::ceil(from / step - 1e-9) * step; t <= to + step * 1e-6; t += step)
            v.push_back(std::abs(t) < step * 1e-9 ? 0 : t);
        return v;
    };
    std::vector<double> xs;
    if (s.LogX) {
        for (double d = std::pow(10, std::floor(std::log10(s.X0))); d <= s.X1; d *= 10)
            for (double m : {1.0, 2.0, 5.0})
                if (d * m >= s.X0 - 1e-9 && d * m <= s.X1 + 1e-9) xs.push_back(d * m);
    } else {
        xs = ticks(s.X0, s.X1, s.XStep);
    }
    for (double x : xs) {
        QPointF a = ChartPoint(plot, s, x, s.Y0);
        p.setPen(QPen(s.Grid, 1));
        p.drawLine(QPointF(a.x(), plot.top()), QPointF(a.x(), plot.bottom()));
        p.setPen(Qt::black);
        p.drawLine(a, a + QPointF(0, 4));
        DrawText(p, a + QPointF(0, 5), Decimal(x, s.XDecimals), Qt::AlignHCenter | Qt::AlignTop);
    }
    for (double y : ticks(s.Y0, s.Y1, s.YStep)) {
        QPointF a = ChartPoint(plot, s, s.X0, y);
        p.setPen(QPen(s.Grid, 1));
        p.drawLine(QPointF(plot.left(), a.y()), QPointF(plot.right(), a.y()));
        p.setPen(Qt::black);
        p.drawLine(a, a - QPointF(4, 0));
        DrawText(p, a - QPointF(6, 0), Decimal(y, s.YDecimals), Qt::AlignRight | Qt::AlignVCenter);
    }
    for (const Span& span : s.Spans) {
        if (span.Label.isEmpty()) continue;
        QPointF a = ChartPoint(plot, s, (span.From + span.To) / 2, s.Y1);
        p.setPen(Qt::black);
        DrawText(p, a + QPointF(0, 2), span.Label, Qt::AlignHCenter | Qt::AlignTop);
    }
    p.setPen(QPen(Qt::black, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);
    p.setFont(labelFont);
    DrawText(p, {plot.center().x(), plot.bottom() + f * 1.6}, s.XLabel, Qt::AlignHCenter | Qt::AlignTop);
    p.save();
    p.translate(area.left() + f * 0.3, plot.center().y());
    p.rotate(-90);
    DrawText(p, {0, 0}, s.YLabel, Qt::AlignHCenter | Qt::AlignTop);
    p.restore();
    // Lines, clipped to the plot.
    p.setClipRect(plot.adjusted(-1, -1, 1, 1));
    for (const Series& line : s.Lines) {
        QPainterPath path;
        for (size_t i = 0; i < line.Points.size(); ++i) {
            QPointF q = ChartPoint(plot, s, line.Points[i].x(), line.Points[i].y());
            if (i == 0)
                path.moveTo(q);
            else
                path.lineTo(q);
        }
        p.setPen(QPen(line.Colour, line.Width, line.Style, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    }
    p.setClipping(false);
    if (s.Legend) {
        int named = 0;
        double wide = 0;
        QFontMetricsF m(tickFont);
        for (const Series& line : s.Lines)
            if (!line.Name.isEmpty()) {
                ++named;
                wide = std::max(wide, m.horizontalAdvance(line.Name));
            }
        if (named) {
            double rowH = m.height() + 3;
            const double high = named * rowH + 8;
            QRectF box(plot.right() - wide - 44, s.LegendAtBottom ? plot.bottom() - 8 - high : plot.top() + 8,
                       wide + 36, high);
            p.setPen(QPen(Qt::gray, 1));
            p.setBrush(QColor(255, 255, 255, 235));
            p.drawRect(box);
            p.setFont(tickFont);
            double y = box.top() + 4 + rowH / 2;
            for (const Series& line : s.Lines) {
                if (line.Name.isEmpty()) continue;
                p.setPen(QPen(line.Colour, line.Width, line.Style));
                p.drawLine(QPointF(box.left() + 5, y), QPointF(box.left() + 25, y));
                p.setPen(Qt::black);
                DrawText(p, {box.left() + 30, y}, line.Name, Qt::AlignLeft | Qt::AlignVCenter);
                y += rowH;
            }
        }
    }
    p.restore();
    return plot;
}

QColor SpectrumColour(double um) {
    double nm = um * 1000;
    if (nm < 380 || nm > 750) return QColor(190, 190, 190);
    double r = 0, g = 0, b = 0;
    if (nm < 440)
        r = (440 - nm) / 60, b = 1;
    else if (nm < 490)
        g = (nm - 440) / 50, b = 1;
    else if (nm < 510)
        g = 1, b = (510 - nm) / 20;
    else if (nm < 580)
        r = (nm - 510) / 70, g = 1;
    else if (nm < 645)
        r = 1, g = (645 - nm) / 65;
    else
        r = 1;
    double fade = nm < 420 ? 0.3 + 0.7 * (nm - 380) / 40 : nm > 700 ? 0.3 + 0.7 * (750 - nm) / 50 : 1;
    return QColor(int(255 * std::pow(r * fade, 0.8)), int(255 * std::pow(g * fade, 0.8)),
                  int(255 * std::pow(b * fade, 0.8)));
}

std::array<int, 256> Histogram(const QImage& grey) {
    QImage g = grey.convertToFormat(QImage::Format_Grayscale8);
    std::array<int, 256> counts{};
    for (int y = 0; y < g.height(); ++y) {
        const uchar* line = g.constScanLine(y);
        for (int x = 0; x < g.width(); ++x)
            ++counts[line[x]];
    }
    return counts;
}

void DrawHistogram(QPainter& p, const QRectF& box, const std::array<int, 256>& counts, QColor bars,
                   const QString& title) {
    p.save();
    p.fillRect(box, Qt::white);
    QFont font = SansFont(11);
    p.setFont(font);
    double top = box.top() + (title.isEmpty() ? 4 : 18);
    QRectF plot(box.left() + 6, top, box.width() - 12, box.bottom() - top - 16);
    if (!title.isEmpty()) {
        p.setPen(Qt::black);
        DrawText(p, {box.center().x(), box.top() + 2}, title, Qt::AlignHCenter | Qt::AlignTop);
    }
    int peak = std::max(1, *std::max_element(counts.begin(), counts.end()));
    double w = plot.width() / 256;
    for (int i = 0; i < 256; ++i) {
        double h = plot.height() * counts[size_t(i)] / peak;
        p.fillRect(QRectF(plot.left() + i * w, plot.bottom() - h, std::max(w, 1.0), h), bars);
    }
    p.setPen(QPen(Qt::black, 1));
    p.drawLine(plot.bottomLeft(), plot.bottomRight());
    DrawText(p, plot.bottomLeft() + QPointF(0, 2), "0", Qt::AlignLeft | Qt::AlignTop);
    DrawText(p, plot.bottomRight() + QPointF(0, 2), "255", Qt::AlignRight | Qt::AlignTop);
    p.restore();
}
