// Corrections applied to satellite scenes before interpretation. Radiometric: the defects of a
// scanner with several detectors per band (striping, lost lines) and the haze of the atmosphere, and
// their removal. Geometric: a polynomial fitted by least squares to ground control points, its error,
// and the resampling of an image onto a new grid.
#pragma once

#include "content/toolkit/scenes/Sensors.h"

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QSize>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

// Line y of a band is recorded by detector y % detectors. Each detector gets its own gain (1 +- up to
// gainSpread) and offset (+- up to offsetSpread), the way an uncalibrated scanner bands its image.
void AddDetectorStriping(FloatImage& image, int detectors, float gainSpread, float offsetSpread,
                         uint32_t seed);
// Matches the histogram of every detector's lines to the histogram of the whole band (lost lines, zero
// throughout, are left out and left alone). Equal values share their mean rank, so a detector that
// read one value everywhere maps to the band's median.
void Destripe(FloatImage& image, int detectors);
// Lost lines read zero.
void DropLines(FloatImage& image, std::span<const int> lines);
// Replaces every line that is zero throughout by interpolation between the nearest good lines above
// and below (a copy of the one good neighbour at the edges). Returns how many lines it replaced.
int RepairDroppedLines(FloatImage& image);
// Dark-object subtraction: the value below which `fraction` of the pixels lie would be zero without
// the atmosphere, so it is taken as the haze and subtracted from the band (clipped at zero). Repair
// lost lines first, or their zeros hide the haze. Returns the value subtracted.
float SubtractDarkObject(FloatImage& image, double fraction = 0.001);

// A polynomial mapping of degree 1 or 2 from map coordinates to image coordinates (column, row).
// Coordinates are centred and scaled before fitting, so metres and pixels both fit well.
struct Polynomial2D {
    int Degree = 1;
    QPointF Centre;
    double Scale = 1;
    std::vector<double> Column, Row; // coefficients of 1, x, y (and x^2, xy, y^2)
    QPointF operator()(QPointF map) const;
};

struct ControlPoint {
    QPointF Map;   // where the point lies on the map
    QPointF Image; // where it was found in the image
};

// Least-squares fit of the control points. None when there are too few points (3 for degree 1, 6 for
// degree 2) or they do not fix the polynomial (all on one line, for instance).
std::optional<Polynomial2D> FitPolynomial(std::span<const ControlPoint> points, int degree);
// Root mean square of the distances between where the polynomial puts the points and where they were
// found, in image pixels.
double RmsError(const Polynomial2D& f, std::span<const ControlPoint> points);

enum class Resampling { NearestNeighbour, Bilinear };

// An image of the given size whose pixel (i, j) takes the input's value at source(i + 0.5, j + 0.5)
// (pixel centres; the input's pixel (c, r) covers c..c+1, r..r+1). Outside the input: `outside`.
QImage Resample(const QImage& input, QSize size, const std::function<QPointF(QPointF)>& source,
                Resampling how, QColor outside);
