// Charts of a sensor's spectral bands: each band a labelled bar over the wavelengths it covers, on top
// of the reflectance curves that make the bands useful.
#pragma once

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Sensors.h"

struct BandBar {
    QString Label;
    double Lo, Hi; // micrometres
    int Row = 0;   // bars of one row share a height band; rows run from the top
};

struct BandChartLayout {
    ChartLayout Chart; // axes, title and the curves behind the bars
    std::vector<BandBar> Bars;
    std::vector<QString> RowNames; // drawn at the left of each row, inside the plot
    double RowHeight = 0.09;       // fraction of the plot height per row
    double RowNamesAt = 0;         // wavelength at which row names are centred; 0: right-aligned at the edge
};

// Draws the chart; bars take the colour of the wavelength they cover. Returns the plot rectangle.
QRectF DrawBandChart(QPainter& p, const QRectF& area, const BandChartLayout& layout);
// A reflectance curve of the library as chart data, in percent.
Series ReflectanceSeries(Material m, const char* name, QColor colour, double from, double to,
                         double width = 2);
