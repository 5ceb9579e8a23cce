// The landscape model, evaluated point by point. The order of the tests in At() is the order in which
// features cover each other: water over everything, then the dam, the town, roads, stream beds,
// riverside forest, the gravel pit, the plantation, hill forest and rock, and the fields last.
#include "content/toolkit/scenes/Landscape.h"

#include "content/toolkit/scenes/Noise.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kSeed = 1977;

double Clamp01(double v) {
    return std::clamp(v, 0.0, 1.0);
}

// Hills rise to the west; 1 on the western edge, 0 beyond x = 6500.
double Westness(double x) {
    return Clamp01((6500 - x) / 5000);
}

// The dry tributaries: three sinuous beds that run down from the hills to the river.
double StreamBedDistance(double x, double y) {
    double best = 1e9;
    const double starts[] = {4300, 5300, 6500};
    for (int i = 0; i < 3; ++i) {
        double x0 = starts[i] + 150 * std::sin(y / 310 + i) + 60 * std::sin(y / 97 + 2 * i);
        double river = Landscape::RiverY(x0);
        bool north = i == 0;
        if ((north && y > river) || (!north && y < river)) continue;
        if (std::abs(y - river) > 3600) continue;
        best = std::min(best, std::abs(x - x0));
    }
    return best;
}

// The main road from the town to the west edge, and the road south across the river.
double RoadDistance(double x, double y) {
    double west = x < Landmarks::TownX ? std::abs(y - (4650 + 260 * std::sin(x / 1500))) : 1e9;
    double south = y > Landmarks::TownY ? std::abs(x - (8650 + 0.12 * (y - Landmarks::TownY))) : 1e9;
    return std::min(west, south);
}

} // namespace

double Landscape::RiverY(double x) {
    return 6800 + 700 * std::sin(x / 1700 + 0.4) + 260 * std::sin(x / 560 + 1.1) + 90 * std::sin(x / 230);
}

double Landscape::RiverHalfWidth(double x) {
    return 13 + 17 * x / kWorldSize;
}

double Landscape::Elevation(double x, double y) const {
    double w = Westness(x);
    double base = 240 + 260 * std::pow(1 - x / kWorldSize, 1.5);
    double d = std::abs(y - RiverY(x));
    // The valley floor is free of hills, so it rises steadily upstream and the reservoir stays in it.
    double floor = 1 - std::exp(-(d / 900) * (d / 900));
    double hills = 260 * std::max(0.0, Fractal(x / 2600, y / 2600, kSeed, 5) + 0.25) * (w + 0.12) * floor;
    double detail = 18 * Fractal(x / 380, y / 380, kSeed + 1, 4);
    double carve = 120 * std::exp(-(d / 800) * (d / 800));
    return base + hills + detail - carve;
}

double Landscape::ReservoirLevel() {
    static const double level = [] {
        Landscape l;
        double x = Landmarks::DamX - 5;
        return l.Elevation(x, RiverY(x)) + 45;
    }();
    return level;
}

bool Landscape::InTown(double x, double y) const {
    double dx = x - Landmarks::TownX, dy = y - Landmarks::TownY;
    double angle = std::atan2(dy, dx);
    double edge = Landmarks::TownRadius * (1 + 0.16 * std::sin(3 * angle + 0.7) + 0.08 * std::sin(7 * angle));
    return std::hypot(dx, dy * 1.25) < edge && y < RiverY(x) - 140;
}

bool Landscape::IsBuilding(double x, double y) const {
    if (!InTown(x, y)) return false;
    double c = std::cos(StreetAngle), s = std::sin(StreetAngle);
    double u = x * c + y * s, v = -x * s + y * c;
    double bu = std::floor(u / BlockSize), bv = std::floor(v / BlockSize);
    double fu = u - bu * BlockSize, fv = v - bv * BlockSize;
    uint32_t block = Hash(int32_t(bu), int32_t(bv), kSeed + 40);
    if (block % 100 < 12) return false; // parks and squares
    bool industrial = x > Landmarks::TownX + 700;
    double setback = industrial ? 16 : 7;
    if (fu < setback || fu > BlockSize - setback + 7 || fv < setback || fv > BlockSize - setback + 7)
        return false;
    if (industrial) return Hash(int32_t(bu), int32_t(bv), kSeed + 41) % 4 != 0;
    // Row houses: lots of 18 m along the street, each built to some depth from the front.
    double lot = std::floor(fu / 18);
    uint32_t h = Hash(int32_t(bu * 16 + lot), int32_t(bv), kSeed + 42);
    double depth = 16 + (h % 14);
    bool front = fv < setback + depth || fv > BlockSize - setback + 7 - depth;
    return front && (h >> 8) % 10 != 0;
}

GroundSample Landscape::Town(double x, double y, double px) const {
    double c = std::cos(StreetAngle), s = std::sin(StreetAngle);
    double u = x * c + y * s, v = -x * s + y * c;
    double bu = std::floor(u / BlockSize), bv = std::floor(v / BlockSize);
    double fu = u - bu * BlockSize, fv = v - bv * BlockSize;
    bool avenueU = int64_t(bu) % 5 == 0, avenueV = int64_t(bv) % 5 == 0;
    double texture = ValueNoise(x / 3, y / 3, kSeed + 50) * 0.5;
    if (fu < (avenueU ? 24 : 12) || fv < (avenueV ? 24 : 12)) {
        // Avenues carry a planted median.
        if ((avenueU && std::abs(fu - 12) < 2) || (avenueV && std::abs(fv - 12) < 2))
            return {Material::UrbanGrass, texture, 1, 0};
        return {Material::Asphalt, texture * 0.4, 1, 0};
    }
    uint32_t block = Hash(int32_t(bu), int32_t(bv), kSeed + 40);
    if (block % 100 < 8) {
        // A park: lawn under scattered trees.
        CellNoise crowns = Cells(x / 9, y / 9, kSeed + 51);
        if (crowns.Distance < 0.35) return {Material::Broadleaf, 1 - crowns.Distance * 2, 1, 0};
        return {Material::UrbanGrass, texture, 1, 0};
    }
    if (block % 100 < 12) return {Material::Concrete, texture, 1, 0};
    if (IsBuilding(x, y)) {
        bool industrial = x > Landmarks::TownX + 700;
        uint32_t roof = Hash(int32_t(std::floor(fu / 18) + bu * 16),
                             int32_t(bv + (fv > BlockSize / 2 ? 1000 : 0)), kSeed + 43);
        Material m = industrial        ? (roof % 3 ? Material::RoofMetal : Material::Concrete)
                     : roof % 100 < 62 ? Material::RoofTile
                     : roof % 100 < 88 ? Material::Concrete
                                       : Material::RoofMetal;
        // Pitched roofs: the half facing the sun is lighter.
        double ridge = std::fmod(fv, BlockSize / 2) < BlockSize / 4 ? 0.12 : -0.12;
        return {m, ridge + texture * 0.3, 1, 0};
    }
    // Yards: gardens, bare ground and paving.
    double shadow = 1;
    if (px < 6) {
        const double sx = 0.7071, sy = 0.7071;
        if (IsBuilding(x + 3.5 * sx, y + 3.5 * sy) || IsBuilding(x + 7 * sx, y + 7 * sy)) shadow = 0.42;
    }
    // One use per lot and side of the block: a garden, bare ground or paving.
    uint32_t yard =
        Hash(int32_t(std::floor(fu / 18) + bu * 16), int32_t(bv * 2 + (fv > BlockSize / 2)), kSeed + 44);
    Material m = yard % 10 < 6   ? Material::UrbanGrass
                 : yard % 10 < 8 ? Material::SoilDry
                                 : Material::Concrete;
    if (m == Material::UrbanGrass && Cells(x / 7, y / 7, kSeed + 52).Distance < 0.3) m = Material::Broadleaf;
    return {m, texture, shadow, 0.2};
}

GroundSample Landscape::Fields(double x, double y, double px) const {
    const double a = 0.08, c = std::cos(a), s = std::sin(a);
    double u = x * c + y * s, v = -x * s + y * c;
    double wu = 330, wv = 210;
    double iv = std::floor(v / wv);
    u += wu * Hash01(0, int32_t(iv), kSeed + 63); // rows of parcels do not line up
    double iu = std::floor(u / wu);
    // Parcels are split again along their length at a hashed place.
    uint32_t h = Hash(int32_t(iu), int32_t(iv), kSeed + 60);
    double split = wu * (0.35 + 0.3 * ((h >> 12) % 100) / 100.0);
    double fu = u - iu * wu, fv = v - iv * wv;
    uint32_t parcel = Hash(int32_t(iu * 2 + (fu > split)), int32_t(iv), kSeed + 61);
    double edge = std::min({fu, wu - fu, fv, wv - fv, std::abs(fu - split)});
    if (edge < 2.5) return {parcel % 3 ? Material::SoilDry : Material::Broadleaf, 0, 1, 0.1};
    double texture = 0.35 * Fractal(x / 60, y / 60, kSeed + 62, 3);
    int kind = int(parcel % 100);
    // Rows and furrows run along each parcel; they show only when the pixels are fine enough.
    double rows = px < 2.5 ? std::sin(v * 2 * M_PI / 1.6) : 0;
    if (kind < 28) return {Material::CropGreen, texture + 0.25 * rows, 1, 0.4};
    if (kind < 46) return {Material::CropMature, texture + 0.2 * rows, 1, 0.1};
    if (kind < 66) return {Material::Pasture, texture, 1, 0.3};
    if (kind < 82) return {Material::SoilPloughed, texture + 0.35 * rows, 1, 0.7};
    if (kind < 94) return {Material::SoilDry, texture, 1, 0.15};
    // Orchards: trees on a square grid.
    double gu = std::fmod(u, 7) - 3.5, gv = std::fmod(v, 7) - 3.5;
    if (gu * gu + gv * gv < 6) return {Material::Broadleaf, 0.3, 1, 0};
    return {Material::Pasture, texture, px < 3 && gu > 0 && gv > 0 ? 0.7 : 1, 0.3};
}

GroundSample Landscape::At(double x, double y, double px) const {
    // Elevation is the costliest part of a sample; only the reservoir, the dam and the hills need it.
    double elevationCache = 0;
    bool elevationKnown = false;
    auto elevation = [&] {
        if (!elevationKnown) elevationCache = Elevation(x, y), elevationKnown = true;
        return elevationCache;
    };
    const double river = RiverY(x), d = std::abs(y - river), hw = RiverHalfWidth(x);
    const double texture = 0.4 * Fractal(x / 35, y / 35, kSeed + 2, 3);

    // Reservoir behind the dam, and the river.
    if (x < Landmarks::DamX && x > 600 && d < 2400 && elevation() < ReservoirLevel())
        return {Material::ClearWater, texture * 0.3, 1, 1};
    if (x >= Landmarks::DamX && x < Landmarks::DamX + 22 && d < 420 && elevation() < ReservoirLevel() + 8)
        return {Material::Concrete, 0, 1, 0};
    if (d < hw) return {x > 9000 ? Material::TurbidWater : Material::ClearWater, texture * 0.3, 1, 1};
    // Sand bars on the inside of the bends downstream of the dam.
    if (x > Landmarks::DamX && d < hw + 22 && std::sin(x / 560 + 1.1 + (y > river ? M_PI : 0)) > 0.55)
        return {Material::Sand, texture, 1, 0.2};

    if (InTown(x, y)) return Town(x, y, px);
    if (RoadDistance(x, y) < 6) return {Material::Asphalt, texture * 0.3, 1, 0};
    double bed = StreamBedDistance(x, y);
    if (bed < 9) return {Material::Sand, texture, 1, 0};
    if (bed < 28) return {Material::Broadleaf, texture, 1, 0.3};

    // Gallery forest along the river.
    if (d < hw + 70 + 30 * ValueNoise(x / 150, y / 150, kSeed + 3)) {
        if (px < 3) {
            CellNoise crowns = Cells(x / 6, y / 6, kSeed + 4);
            if (crowns.Distance > 0.45) return {Material::Pasture, texture, 0.55, 0.5};
            return {Material::Broadleaf, 0.8 - crowns.Distance * 1.6, 1, 0};
        }
        return {Material::Broadleaf, texture, 1, 0.3};
    }

    // The flooded gravel pit: three ponds on a worked, bare pad.
    double gx = x - Landmarks::GravelPitX, gy = y - Landmarks::GravelPitY;
    if (std::abs(gx) < 330 && std::abs(gy) < 190) {
        double r = 0.3, c = std::cos(r), s = std::sin(r);
        double pu = gx * c + gy * s, pv = -gx * s + gy * c;
        if (std::abs(pu + 150) < 110 && std::abs(pv) < 80) return {Material::ClearWater, 0, 1, 1};
        if (std::abs(pu - 80) < 90 && std::abs(pv + 40) < 60) return {Material::ClearWater, 0, 1, 1};
        if (std::abs(pu - 90) < 60 && std::abs(pv - 95) < 35) return {Material::TurbidWater, 0, 1, 1};
        return {Material::SoilDry, texture, 1, 0.1};
    }

    // The young plantation: small conifers in rows on bare ground.
    double qx = x - Landmarks::PlantationX, qy = y - Landmarks::PlantationY;
    if (std::abs(qx) < 260 && std::abs(qy) < 170) {
        double gu = std::fmod(qx + 1000, 4.0) - 2, gv = std::fmod(qy + 1000, 4.0) - 2;
        if (px < 3)
            return gu * gu + gv * gv < 1.3 ? GroundSample{Material::Conifer, 0.2, 1, 0}
                                           : GroundSample{Material::SoilDry, texture, 1, 0.2};
        // Seen from higher up, the young trees are a sparse sprinkle over the bare ground.
        return Hash01(int32_t(x / 2), int32_t(y / 2), kSeed + 10) < 0.3
                   ? GroundSample{Material::Conifer, 0, 1, 0}
                   : GroundSample{Material::SoilDry, texture, 1, 0.2};
    }

    // Hill forest, clearings and granite outcrops.
    double w = Westness(x);
    double cover = Fractal(x / 900, y / 900, kSeed + 5, 4) + 1.2 * w - 0.35;
    double cx = x - Landmarks::ConiferX, cy = y - Landmarks::ConiferY;
    bool stand = cx * cx + cy * cy < Landmarks::ConiferRadius * Landmarks::ConiferRadius *
                                         (1 + 0.3 * ValueNoise(x / 90, y / 90, kSeed + 11));
    if (stand) cover = 1;
    if (!stand && x < 6500 && elevation() > 600 && Fractal(x / 120, y / 120, kSeed + 6, 3) > 0.05)
        return {Material::Rock, texture + 0.5 * Fractal(x / 8, y / 8, kSeed + 7, 2), 1, 0};
    if (cover > 0.25) {
        Material m = stand || elevation() > 430 ? Material::Conifer : Material::Broadleaf;
        if (px < 3) {
            CellNoise crowns = Cells(x / (m == Material::Conifer ? 4.0 : 7.0),
                                     y / (m == Material::Conifer ? 4.0 : 7.0), kSeed + 8);
            if (crowns.Distance > 0.5) return {m, -0.6, 0.45, 0.5};
            return {m, 0.7 - crowns.Distance * 1.8, 1, 0};
        }
        return {m, texture + 0.3 * Fractal(x / 12, y / 12, kSeed + 9, 2), 1, 0.3};
    }
    if (cover > 0.05) return {Material::Pasture, texture, 1, 0.3};
    return Fields(x, y, px);
}
