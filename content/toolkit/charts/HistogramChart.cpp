// Grey-level histogram charts for the course's enhancement pages.
#include "content/toolkit/charts/HistogramChart.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Enhance.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainterPath>
#include <algorithm>

double LevelX(const QRectF& plot, double level) {
    return plot.left() + (level + 0.5) * plot.width() / 256;
}

QRectF DrawHistogramChart(QPainter& p, const QRectF& area, const std::array<int, 256>& counts,
                          const HistogramChartLayout& layout) {
    p.save();
    p.fillRect(area, layout.Background);
    const double f = layout.FontPixels;
    p.setFont(SansFont(f));
    const QFontMetricsF metrics(p.font());
    const double titleHeight = layout.Title.isEmpty() ? 4 : f * 1.6;
    const double right = layout.Cumulative ? metrics.horizontalAdvance("100 %") + 14 : 10;
    const double bottom = f * 1.4 + 10 + (layout.XLabel.isEmpty() ? 0 : f * 1.3);
    QRectF plot(area.left() + 10, area.top() + titleHeight + f * 0.6, area.width() - 10 - right,
                area.height() - titleHeight - f * 0.6 - bottom);

    if (!layout.Title.isEmpty()) {
        p.setFont(SansFont(f * 1.1, true));
        p.setPen(Qt::black);
        DrawText(p, {area.center().x(), area.top() + 3}, layout.Title, Qt::AlignHCenter | Qt::AlignTop);
        p.setFont(SansFont(f));
    }

    // Marks at chosen levels, under the bars, so that a bar piled up at a marked level still shows.
    for (const LevelMark& m : layout.Marks) {
        const double x = LevelX(plot, m.Level);
        p.setPen(QPen(m.Colour, 1.5, Qt::DashLine));
        p.drawLine(QPointF(x, plot.top()), QPointF(x, plot.bottom()));
        if (m.Label.isEmpty()) continue;
        p.setPen(m.Colour);
        p.setFont(SansFont(f, true));
        const double tw = QFontMetricsF(p.font()).horizontalAdvance(m.Label);
        const bool leftSide = x + tw + 4 > plot.right();
        DrawText(p, {leftSide ? x - 3 : x + 3, plot.top() + 2}, m.Label,
                 (leftSide ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
        p.setFont(SansFont(f));
    }

    // Bars.
    const double peak =
        layout.Peak > 0 ? layout.Peak : std::max(1, *std::max_element(counts.begin(), counts.end()));
    const double w = plot.width() / 256;
    for (int g = 0; g < 256; ++g) {
        const double h = std::min(1.0, counts[size_t(g)] / peak) * plot.height();
        if (h > 0)
            p.fillRect(QRectF(plot.left() + g * w, plot.bottom() - h, std::max(w, 1.0), h), layout.Bars);
    }

    // The frame stands a little off the level range, so that it hides neither the bar of 0 nor that of 255.
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot.adjusted(-3, 0, 3, 0));

    // The cumulative distribution and its axis.
    if (layout.Cumulative) {
        const std::array<double, 256> cf = CumulativeFraction(counts);
        QPainterPath path;
        for (int g = 0; g < 256; ++g) {
            QPointF pt(LevelX(plot, g), plot.bottom() - cf[size_t(g)] * plot.height());
            g == 0 ? path.moveTo(pt) : path.lineTo(pt);
        }
        p.setPen(QPen(QColor(210, 30, 30), 2));
        p.drawPath(path);
        p.setPen(QColor(210, 30, 30));
        for (int pct = 0; pct <= 100; pct += 50) {
            const double y = plot.bottom() - pct / 100.0 * plot.height();
            p.drawLine(QPointF(plot.right() + 3, y), QPointF(plot.right() + 7, y));
            DrawText(p, {plot.right() + 9, y}, QString("%1 %").arg(pct), Qt::AlignLeft | Qt::AlignVCenter);
        }
    }

    // The grey ramp and the level ticks.
    QRectF ramp(plot.left(), plot.bottom() + 3, plot.width(), 7);
    QLinearGradient gradient(ramp.topLeft(), ramp.topRight());
    gradient.setColorAt(0, Qt::black);
    gradient.setColorAt(1, Qt::white);
    p.fillRect(ramp, gradient);
    p.setPen(QPen(QColor(120, 120, 120), 1));
    p.drawRect(ramp);
    p.setPen(Qt::black);
    std::vector<int> ticks;
    for (int g = 0; g < 255; g += layout.TickStep)
        if (255 - g >= layout.TickStep / 2) ticks.push_back(g);
    ticks.push_back(255);
    for (int g : ticks) {
        const double x = LevelX(plot, g);
        p.drawLine(QPointF(x, ramp.bottom()), QPointF(x, ramp.bottom() + 3));
        DrawText(p, {x, ramp.bottom() + 3}, QString::number(g), Qt::AlignHCenter | Qt::AlignTop);
    }
    if (!layout.XLabel.isEmpty())
        DrawText(p, {plot.center().x(), ramp.bottom() + 3 + f * 1.3}, layout.XLabel,
                 Qt::AlignHCenter | Qt::AlignTop);
    p.restore();
    return plot;
}
