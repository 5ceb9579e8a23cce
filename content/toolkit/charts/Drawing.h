// Drawing helpers for the course's charts and diagrams: fonts loaded by file (so every machine with
// the set-up's packages draws the same pixels), canvases, arrows, labels, plotted charts and histograms.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>
#include <array>
#include <vector>

// Loads the fonts pictures use; call once before drawing text.
void RegisterPictureFonts();
QFont SansFont(double pixels, bool bold = false);
QFont SerifFont(double pixels, bool bold = false);
QFont NarrowFont(double pixels, bool bold = false);

QImage Canvas(int width, int height, QColor background = Qt::white);
// A painter with antialiasing on, for a canvas.
void BeginPainting(QPainter& p, QImage& canvas);

void DrawArrow(QPainter& p, QPointF from, QPointF to, double head = 9);
void DrawDoubleArrow(QPainter& p, QPointF from, QPointF to, double head = 8);
// Text anchored at a point: the alignment says which side of the text touches it.
void DrawText(QPainter& p, QPointF at, const QString& text,
              Qt::Alignment anchor = Qt::AlignLeft | Qt::AlignTop);
// Where DrawText puts the text in the painter's font: its bounding box, moved to touch the point.
QRectF AnchoredTextBounds(const QPainter& p, QPointF at, const QString& text, Qt::Alignment anchor);
// A title in the sans-serif face, bold; the painter keeps the pen and the font.
void DrawHeading(QPainter& p, QPointF at, const QString& text, double fontPixels, QColor colour,
                 Qt::Alignment anchor = Qt::AlignLeft | Qt::AlignTop);

// A short bold label centred on a light box that keeps it readable over a picture.
struct TagStyle {
    double FontPixels;
    double Height;  // of the box
    double Padding; // the box is as wide as the text plus this
    int Opacity = 225;
    QColor Ink = Qt::black;
};
// The anchor says which side of the box touches the point; the painter keeps the pen and the font.
void DrawTagBox(QPainter& p, QPointF at, const QString& text, const TagStyle& style,
                Qt::Alignment anchor = Qt::AlignLeft | Qt::AlignTop);

// An arc of a circle between two directions given as screen angles (radians, y down), drawn as
// `segments` straight pieces with the painter's pen.
void DrawAngleArc(QPainter& p, QPointF centre, double radius, double from, double to, int segments);
// Text wrapped into a box.
void DrawTextBox(QPainter& p, const QRectF& box, const QString& text, Qt::Alignment align = Qt::AlignCenter);
// A rounded box with a centred caption.
void DrawCaptionBox(QPainter& p, const QRectF& box, const QString& text, QColor fill,
                    QColor border = Qt::black);

struct Series {
    QString Name;
    QColor Colour;
    std::vector<QPointF> Points;
    Qt::PenStyle Style = Qt::SolidLine;
    double Width = 2;
};

// A shaded span of the x axis with a label on top, for spectral bands and regions.
struct Span {
    double From, To;
    QString Label;
    QColor Colour;
};

struct ChartLayout {
    QString Title, XLabel, YLabel;
    double X0 = 0, X1 = 1, Y0 = 0, Y1 = 1;
    double XStep = 0.1, YStep = 0.1;
    int XDecimals = 1, YDecimals = 0;
    bool LogX = false;
    std::vector<Span> Spans;
    std::vector<Series> Lines;
    bool Legend = true;
    // The corner of the plot the legend sits in: top right, or bottom right where curves leave it free.
    bool LegendAtBottom = false;
    double FontPixels = 13;
    QColor Background = Qt::white;
    QColor Grid = QColor(220, 220, 220);
};

// Plots the chart into area: title above, axes with ticks and labels, spans, lines, legend in the top
// (or bottom) right of the plot. Returns the plot rectangle, for drawing annotations in data coordinates.
QRectF DrawChart(QPainter& p, const QRectF& area, const ChartLayout& chart);
// The point of the plot rectangle for a data point of the chart.
QPointF ChartPoint(const QRectF& plot, const ChartLayout& chart, double x, double y);

// A number as Spanish writes it, with a decimal comma.
QString Decimal(double value, int decimals);

// A wavelength as the visible colour it looks (grey outside the visible range).
QColor SpectrumColour(double micrometres);

// Counts of the 256 grey levels of an 8-bit picture.
std::array<int, 256> Histogram(const QImage& grey);
// A histogram drawn as bars in a box, with axis labels 0 and 255.
void DrawHistogram(QPainter& p, const QRectF& box, const std::array<int, 256>& counts, QColor bars,
                   const QString& title = {});
