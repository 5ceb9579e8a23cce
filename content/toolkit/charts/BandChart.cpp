// Band charts on top of DrawChart.
#include "content/toolkit/charts/BandChart.h"

#include <algorithm>

QRectF DrawBandChart(QPainter& p, const QRectF& area, const BandChartLayout& layout) {
    QRectF plot = DrawChart(p, area, layout.Chart);
    const ChartLayout& c = layout.Chart;
    p.save();
    p.setClipRect(plot);
    QFont font = SansFont(c.FontPixels * 0.8, true);
    p.setFont(font);
    double rowH = plot.height() * layout.RowHeight;
    for (const BandBar& bar : layout.Bars) {
        double top = plot.top() + 4 + bar.Row * (rowH + 3);
        QPointF a = ChartPoint(plot, c, std::max(bar.Lo, c.X0), c.Y0),
                b = ChartPoint(plot, c, std::min(bar.Hi, c.X1), c.Y0);
        QRectF box(a.x(), top, std::max(2.0, b.x() - a.x()), rowH);
        QColor fill = SpectrumColour((bar.Lo + bar.Hi) / 2);
        if (bar.Lo > 0.75)
            fill = bar.Lo > 3 ? QColor(200, 80, 60)
                              : QColor(150, 60, 60).lighter(100 + int(40 * (bar.Lo - 0.7)));
        p.setPen(QPen(Qt::black, 1));
        p.setBrush(fill);
        p.drawRect(box);
        p.setPen(fill.lightness() > 140 ? Qt::black : Qt::white);
        p.drawText(box, Qt::AlignCenter, bar.Label);
    }
    p.setPen(Qt::black);
    for (size_t r = 0; r < layout.RowNames.size(); ++r) {
        double top = plot.top() + 4 + double(r) * (rowH + 3);
        if (layout.RowNamesAt > 0)
            DrawText(p, {ChartPoint(plot, c, layout.RowNamesAt, c.Y0).x(), top + rowH / 2},
                     layout.RowNames[r], Qt::AlignCenter);
        else
            DrawText(p, {plot.right() - 6, top + rowH / 2}, layout.RowNames[r],
                     Qt::AlignRight | Qt::AlignVCenter);
    }
    p.restore();
    return plot;
}

Series ReflectanceSeries(Material m, const char* name, QColor colour, double from, double to, double width) {
    Series s{QString::fromUtf8(name), colour, {}, Qt::SolidLine, width};
    for (double um = from; um <= to + 1e-9; um += (to - from) / 300)
        s.Points.push_back({um, 100 * Reflectance(m, um)});
    return s;
}
