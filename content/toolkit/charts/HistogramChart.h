// Histograms of grey levels drawn as a picture-processing program shows them: bars over the 256
// levels, a grey ramp under the axis, level ticks, optional marks at chosen levels, and optionally the
// cumulative distribution F(g) as a curve with its own 0-100 % axis.
#pragma once

#include <QColor>
#include <QPainter>
#include <QString>
#include <array>
#include <vector>

struct LevelMark {
    int Level;
    QString Label;
    QColor Colour;
};

struct HistogramChartLayout {
    QString Title; // above the plot; none when empty
    QString XLabel = QString::fromUtf8("Nivel de gris");
    QColor Bars = QColor(40, 60, 140);
    QColor Background = Qt::white;
    bool Cumulative = false; // F(g) in red, with a percentage axis on the right
    std::vector<LevelMark> Marks;
    double FontPixels = 12;
    double Peak = 0;   // the count the plot's height stands for; 0: the highest bar
    int TickStep = 50; // level ticks every TickStep, and 255
};

// Draws into `area`; returns the plot rectangle (level g lies at LevelX(plot, g)).
QRectF DrawHistogramChart(QPainter& p, const QRectF& area, const std::array<int, 256>& counts,
                          const HistogramChartLayout& layout);
double LevelX(const QRectF& plot, double level);
