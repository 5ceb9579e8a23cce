// Landsat scenes of the course's landscape: the reflective bands of the ETM+ (Landsat 7), the haze
// and sun of a date, displays that keep or remove the haze, sheets of band panels beside the bands'
// place in the spectrum, and the furniture of a map (scale bar, north arrow, named places).
#pragma once

#include "content/toolkit/scenes/Sensors.h"

#include <QPainter>
#include <QString>
#include <QStringList>
#include <span>
#include <vector>

namespace Bands {
// Landsat 7 ETM+ bands 1 to 4, with the limits that differ slightly from the TM's.
extern const Band Etm1, Etm2, Etm3, Etm4;
} // namespace Bands

// The conditions of one acquisition: the sun, and the haze as a multiple of the standard path
// radiance of each band (0 for a perfectly clear sky).
struct SceneDate {
    Illumination Sun;
    float Haze = 1;
};

// Apparent reflectance at the top of the atmosphere: the ground's reflectance plus the date's haze.
std::vector<FloatImage> RenderScene(const View& view, std::span<const Band> bands, const SceneDate& date);

// Grey pictures of several bands under one linear stretch between the low and high fractions of all
// their values together, so that bands keep their brightness relative to one another (and the haze
// that lifts the shorter wavelengths stays visible).
std::vector<QImage> CommonStretch(std::span<const FloatImage> bands, double low = 0.005, double high = 0.995);
// A colour composite of three bands under one common stretch.
QImage CommonStretchComposite(const FloatImage& red, const FloatImage& green, const FloatImage& blue,
                              double low = 0.005, double high = 0.995);

// A scale bar of `metres` with its left end at `leftBottom`, dark ink on a light halo.
void DrawScaleBar(QPainter& p, QPointF leftBottom, double metresPerPixel, double metres, double fontPixels);
// A north arrow whose tip is at `tip`.
void DrawNorthArrow(QPainter& p, QPointF tip, double length, double fontPixels);
// A place name in a white box with its top-left corner at `at`, and a leader line to the point it
// names (none when the point lies inside the box).
void DrawPlaceLabel(QPainter& p, QPointF at, QPointF target, const QString& text, double fontPixels);

// Names the valley's main places (town, reservoir and dam, river, forest, fields, a dry stream bed, the
// flooded gravel pit, granite) on a north-up picture of it; places outside the view are left out.
void DrawValleyLabels(QPainter& p, const View& view, double fontPixels);

// Reflectance of vegetation, dry soil and clear water from 0.4 to 1.0 um, with the given bands shaded
// in the colour of the light they record and labelled.
void DrawBandPositions(QPainter& p, const QRectF& area, std::span<const Band> bands,
                       const QStringList& labels, double fontPixels, const QString& title);

// One band of a sheet: where its panel sits and the tag written inside it.
struct BandPanel {
    Band Of;
    QPoint At;
    QString Tag;
};

// A sheet of panels, one per band, all of the same scene and under one common stretch, with
// paragraphs of notes (the first word up to the colon in bold) and the bands' place in the spectrum.
QImage BandSheet(QSize size, const View& scene, const SceneDate& date, std::span<const BandPanel> panels,
                 const QRectF& notesBox, const QStringList& notes, const QRectF& chartBox);
