// Planetary surfaces for the course's orbiter pictures: a Martian terrain of wind-eroded sedimentary
// layers, sand and craters, seen by an orbiter's camera; and a Venusian volcanic plain with pancake
// domes, lava flows and fractures, for imaging through the radar model of Radar.h.
#pragma once

#include "content/toolkit/scenes/Radar.h"

#include <QImage>
#include <cstdint>
#include <vector>

// The Martian terrain: horizontal strata of varying thickness, brightness and hardness cut by an
// eroded topography, hard beds standing as ledges; grooves carved along the prevailing wind; dark
// rippled sand in the lows; impact craters. Coordinates in metres, x east, y south.
class MarsTerrain {
public:
    explicit MarsTerrain(uint32_t seed);
    struct Sample {
        double Height; // metres
        double Albedo; // 0 to 1
        bool Sand;
    };
    Sample At(double x, double y) const;

    static constexpr double WindAngle = 0.6; // radians from the x axis: the wind blows from the south-west

private:
    uint32_t FSeed;
    std::vector<double> FBase;   // base level of each stratum
    std::vector<double> FAlbedo; // brightness of each stratum
    std::vector<double> FHard;   // 0 soft to 1 hard: how far the stratum stands as a ledge
    int Stratum(double z) const;
};

// The course's Mars: one terrain, which every Mars picture views.
constexpr uint32_t kMarsTerrain = 47;

// A view of the Martian terrain from orbit: top-left corner and pixel size in metres, and the sun's
// elevation; the sun stands in the west, so light comes from the picture's left. Grey pictures span
// the full 0 to 255 range as a narrow-angle camera's frames do; colour pictures show the planet's
// ochre tones. The noise seed varies only the camera's faint noise.
struct MarsView {
    double X0 = 0, Y0 = 0;
    double PixelSize = 1.5;
    int Width = 640, Height = 480;
    bool Colour = false;
    double SunElevation = 25; // degrees
    uint32_t Terrain = kMarsTerrain;
    uint32_t NoiseSeed = 0;
};
QImage RenderMars(const MarsView& view);

// The course's Mars as an orbiter's camera shows it, for page 8: a layered mesa, dark rippled sand and
// small craters, in colour at 5 m a pixel, sunlit from the left. Any size (the scene is laid out for
// about 600 x 450); the seed varies only the camera's noise, not the terrain.
QImage MarsOrbiterScene(int width, int height, uint32_t seed);

// A Venusian plain seen by a side-looking radar: the surface on a ground grid (columns away from the
// radar, rows along its track) with the heights and backscatter of its domes, flows and fractures.
RadarSurface VenusSurface(double x0, double y0, double spacing, double rowSpacing, int columns, int rows,
                          uint32_t seed);
// Its radar image: width x height pixels of `pixel` metres, looking from the left at incidence angles
// near 40 degrees, speckled, as grey levels.
QImage VenusRadarImage(int width, int height, double pixel, uint32_t seed);
