// The course's one synthetic landscape: a 12 x 12 km valley with hills in the west, a river running
// east through a reservoir behind a dam, forest on the hills and along the river, fields on the plain,
// a flooded gravel pit, dry sandy stream beds, granite outcrops and a town with streets and blocks.
// Every picture of the course that shows the ground samples this one model, at its own scale.
#pragma once

#include "content/toolkit/scenes/Spectra.h"

#include <cstdint>

// World coordinates are metres, x to the east and y to the south, origin at the north-west corner.
constexpr double kWorldSize = 12000;

// Places the course's pictures name.
struct Landmarks {
    static constexpr double TownX = 8200, TownY = 5000, TownRadius = 1700;
    static constexpr double DamX = 3500;
    // The gravel pit, the young plantation and a stand of tall conifers lie close together south of
    // the river, so one aerial photograph can show all three.
    static constexpr double GravelPitX = 5050, GravelPitY = 7950;
    static constexpr double PlantationX = 4250, PlantationY = 8350;
    static constexpr double ConiferX = 4000, ConiferY = 7550, ConiferRadius = 330;
};

struct GroundSample {
    Material Kind;
    double Texture;  // within-class variation, about -1 to 1
    double Shadow;   // 1 in the open, less in the shadow of a building or a tree crown
    double Moisture; // 0 to 1, darkens soils
};

class Landscape {
public:
    double Elevation(double x, double y) const;
    GroundSample At(double x, double y, double pixelSize) const;

    // The river's centre line (y at a given x) and its half width.
    static double RiverY(double x);
    static double RiverHalfWidth(double x);
    static double ReservoirLevel();
    // The street grid's rotation and block size.
    static constexpr double StreetAngle = 0.24;
    static constexpr double BlockSize = 110;

private:
    bool InTown(double x, double y) const;
    GroundSample Town(double x, double y, double pixelSize) const;
    GroundSample Fields(double x, double y, double pixelSize) const;
    bool IsBuilding(double x, double y) const;
};
