// Side-looking radar imaging: backscatter that depends on the local incidence angle of each surface
// element, echoes sorted by their slant range (so that slopes facing the antenna are foreshortened or
// laid over and slopes facing away are stretched or lost in shadow), double bounce at walls, and
// speckle. The same model images the course's landscape and the planetary surfaces of Planet.h.
#pragma once

#include "content/toolkit/scenes/Sensors.h"

#include <QImage>
#include <QPainter>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

// Runs f(row) for rows 0 to rows - 1, spread over the machine's cores; rows must be independent.
void ForEachRow(int rows, const std::function<void(int)>& f);

// How a surface element returns microwaves: a diffuse (volume and rough-surface) part that falls off
// as cos^Exponent of the local incidence angle, and a quasi-specular part whose lobe narrows as the
// surface gets smoother (Slope is the rms slope, tan of the facets' tilt).
struct Scatterer {
    float Diffuse = 0.05f;
    float Exponent = 1.5f;
    float Specular = 0.f;
    float Slope = 0.2f;
    float CrossPol = 0.1f; // share of the diffuse part returned with the other polarisation
    float Dihedral = 0.f;  // corner return per metre of wall height where this stands on the ground
};

// Backscatter coefficient (power per unit ground area) at a local incidence angle in radians.
double Backscatter(const Scatterer& s, double localIncidence, bool crossPol = false);
// The landscape's materials as a C-band radar sees them.
Scatterer ScattererOf(Material m);

// A surface on a regular ground grid. Columns run away from the radar (ground range), rows along the
// flight line (azimuth); the first column lies NearRange metres from the antenna's nadir.
struct RadarSurface {
    int Columns = 0, Rows = 0;
    double Spacing = 1;    // metres between columns
    double RowSpacing = 1; // metres between rows
    std::vector<float> Height;
    std::vector<Scatterer> Surface;
    RadarSurface(int columns, int rows, double spacing, double rowSpacing)
        : Columns(columns), Rows(rows), Spacing(spacing), RowSpacing(rowSpacing),
          Height(size_t(columns) * size_t(rows)), Surface(size_t(columns) * size_t(rows)) {}
    size_t Index(int column, int row) const { return size_t(row) * size_t(Columns) + size_t(column); }
};

struct RadarGeometry {
    double Altitude = 5000;  // antenna height above the reference level, metres
    double NearRange = 2000; // ground distance from the nadir to the surface's first column
    double Reference = 0;    // reference level of the ground-range projection, metres
    bool SlantRange = false; // image columns equally spaced in slant range instead of ground range
    bool CrossPol = false;   // HV instead of HH
    double WallStep = 2.5;   // a rise steeper than this between neighbouring columns is a wall
};

// Power image, one row per surface row, `columns` columns covering the ground ranges of the surface
// from `firstColumn` to `lastColumn` (in surface columns) projected onto the reference level; in slant
// range the same span is divided equally in slant range. Values are backscatter per unit area of the
// reference level, so flat ground shows its coefficient; shadows hold zero.
FloatImage ImageSurface(const RadarSurface& surface, const RadarGeometry& geometry, int columns,
                        double firstColumn, double lastColumn);

// The same for one row, returned with where each surface column appears in the image (image column,
// fractional, or -1 in shadow): for diagrams of foreshortening, layover and shadow.
struct RangeLine {
    std::vector<float> Power;
    std::vector<float> Position;
};
RangeLine ImageRow(const RadarSurface& surface, int row, const RadarGeometry& geometry, int columns,
                   double firstColumn, double lastColumn);

// Multiplicative speckle of an image averaged over `looks` independent looks, plus a noise floor.
void AddSpeckle(FloatImage& power, int looks, uint32_t seed, float noiseFloor = 0.002f);
// Amplitude (square root of power), or power in decibels, stretched between the given fractions of
// its pixels.
QImage RadarToGrey(const FloatImage& power, double low = 0.01, double high = 0.99, bool decibels = false);

// A strip of the landscape imaged by a side-looking radar flying north-south along its west or east
// side. The picture is north-up with west on the left whichever side the radar looks from.
struct RadarView {
    double X0 = 0, Y0 = 0;         // north-west corner of the imaged area, metres
    double Across = 6000;          // east-west extent
    double Along = 6000;           // north-south extent
    int Width = 500, Height = 500; // pixels
    double Altitude = 5000;        // metres above the area's mean ground level
    double NearIncidence = 30;     // incidence angle at the near edge, degrees
    bool LookEast = true;          // radar west of the area, looking east
    bool SlantRange = false;       // slant-range presentation (near range compressed)
    bool CrossPol = false;         // HV instead of HH
    int Looks = 3;
    uint32_t Seed = 1;
    double Oversample = 3; // ground samples per image column
};
// Its power image, speckled.
FloatImage RadarImage(const RadarView& view);
// Incidence angle in degrees at a ground distance from the area's near edge, on flat ground.
double RadarIncidence(const RadarView& view, double fromNearEdge);

// Height above the ground of what stands on it, as the radar sees it: tree crowns and buildings.
double ObjectHeight(const Landscape& land, const GroundSample& g, double x, double y);

// Annotations of orbital and radar pictures, in white with a dark outline so that they read on any
// ground: a scale bar of `metres` at `pixel` metres a pixel with its label above it, starting at `at`;
// and an arrow with a label, for the radar's look direction, the flight line or the sun.
void DrawScaleBar(QPainter& p, QPointF at, double pixel, double metres, const QString& label,
                  double fontPixels = 14);
void DrawOutlinedArrow(QPainter& p, QPointF from, QPointF to, const QString& label, double fontPixels = 14);
