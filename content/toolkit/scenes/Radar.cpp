// The radar model. Each row of the surface is walked away from the antenna: an element is lit when
// nothing nearer rises above its line of sight, returns power by its local incidence angle, and lays
// that power over the slant ranges its width spans; the image column of a slant range is where the
// reference level would put it. A rise steep enough to be a wall adds its face and, where its foot is
// lit, the corner between wall and ground.
#include "content/toolkit/scenes/Radar.h"

#include "content/toolkit/charts/Drawing.h"
#include "content/toolkit/scenes/Noise.h"

#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <thread>

void ForEachRow(int rows, const std::function<void(int)>& f) {
    unsigned threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    std::vector<std::thread> pool;
    int step = (rows + int(threads) - 1) / int(threads);
    for (unsigned t = 0; t < threads; ++t) {
        int from = int(t) * step, to = std::min(rows, from + step);
        if (from < to)
            pool.emplace_back([&f, from, to] {
                for (int r = from; r < to; ++r)
                    f(r);
            });
    }
    for (std::thread& t : pool)
        t.join();
}

double Backscatter(const Scatterer& s, double localIncidence, bool crossPol) {
    double c = std::cos(localIncidence);
    if (c <= 0) return 0;
    double diffuse = s.Diffuse * std::pow(c, double(s.Exponent));
    double specular = 0;
    if (s.Specular > 0) {
        // Facets tilted towards the antenna, with a Gaussian distribution of slopes.
        double t = std::tan(std::min(localIncidence, 1.55)), m2 = double(s.Slope) * s.Slope;
        specular = s.Specular * std::exp(-t * t / (2 * m2)) / (2 * m2 * c * c * c * c);
    }
    if (crossPol) return s.CrossPol * diffuse + 0.01 * specular;
    return diffuse + specular;
}

Scatterer ScattererOf(Material m) {
    auto make = [](float diffuse, float exponent, float specular, float slope, float cross, float corner) {
        Scatterer s;
        s.Diffuse = diffuse, s.Exponent = exponent, s.Specular = specular, s.Slope = slope;
        s.CrossPol = cross, s.Dihedral = corner;
        return s;
    };
    switch (m) {
    case Material::ClearWater:
    case Material::TurbidWater:
        return make(0.001f, 1, 0.6f, 0.06f, 0.05f, 0);
    case Material::Conifer:
        return make(0.18f, 1.0f, 0, 0.2f, 0.30f, 0.25f);
    case Material::Broadleaf:
        return make(0.15f, 1.0f, 0, 0.2f, 0.28f, 0.25f);
    case Material::CropGreen:
        return make(0.10f, 1.0f, 0, 0.2f, 0.18f, 0);
    case Material::CropMature:
        return make(0.07f, 1.2f, 0, 0.2f, 0.12f, 0);
    case Material::Pasture:
        return make(0.045f, 1.5f, 0, 0.2f, 0.08f, 0);
    case Material::SoilDry:
        return make(0.03f, 2.0f, 0.05f, 0.25f, 0.05f, 0);
    case Material::SoilPloughed:
        return make(0.12f, 1.2f, 0, 0.2f, 0.08f, 0);
    case Material::Rock:
        return make(0.12f, 1.2f, 0, 0.2f, 0.06f, 0);
    case Material::Asphalt:
        return make(0.004f, 1.5f, 0.3f, 0.12f, 0.05f, 0);
    case Material::Concrete:
        return make(0.01f, 1.5f, 0.3f, 0.15f, 0.05f, 2.5f);
    case Material::RoofTile:
        return make(0.10f, 1.0f, 0.15f, 0.2f, 0.08f, 3.0f);
    case Material::RoofMetal:
        return make(0.02f, 1.0f, 0.8f, 0.08f, 0.05f, 3.0f);
    case Material::UrbanGrass:
        return make(0.04f, 1.5f, 0, 0.2f, 0.08f, 0);
    case Material::Sand:
        return make(0.008f, 2.0f, 0.05f, 0.15f, 0.05f, 0);
    case Material::Count:
        break;
    }
    return {};
}

namespace {

// Where a slant range falls in the image, and how much reference-level ground an image column covers.
struct RangeMapping {
    double Height; // antenna above the reference level
    double G0, G1; // ground ranges of the image's first and last edges
    double R0, R1; // the same as slant ranges
    int Columns;
    bool Slant;

    RangeMapping(const RadarSurface& s, const RadarGeometry& g, int columns, double first, double last)
        : Height(g.Altitude), G0(g.NearRange + first * s.Spacing), G1(g.NearRange + last * s.Spacing),
          R0(std::hypot(G0, Height)), R1(std::hypot(G1, Height)), Columns(columns), Slant(g.SlantRange) {}

    double Ground(double r) const { return std::sqrt(std::max(0.0, r * r - Height * Height)); }
    double Column(double r) const {
        if (Slant) return (r - R0) / (R1 - R0) * Columns;
        return (Ground(r) - G0) / (G1 - G0) * Columns;
    }
    double GroundLength(int k) const {
        if (!Slant) return (G1 - G0) / Columns;
        double a = R0 + (R1 - R0) * k / Columns, b = R0 + (R1 - R0) * (k + 1) / Columns;
        return Ground(b) - Ground(a);
    }
};

// Spreads power evenly over the image columns between two fractional positions.
void Deposit(std::vector<float>& bins, double a, double b, double power) {
    if (a > b) std::swap(a, b);
    const int n = int(bins.size());
    if (b <= 0 || a >= n || power <= 0) return;
    if (b - a < 1e-9) {
        bins[size_t(std::clamp(int(a), 0, n - 1))] += float(power);
        return;
    }
    double density = power / (b - a);
    int k0 = std::max(0, int(std::floor(a))), k1 = std::min(n - 1, int(std::floor(b)));
    for (int k = k0; k <= k1; ++k) {
        double overlap = std::min(b, k + 1.0) - std::max(a, double(k));
        if (overlap > 0) bins[size_t(k)] += float(density * overlap);
    }
}

bool IsWall(double rise, double spacing, double step) {
    return std::abs(rise) > step && std::abs(rise) > 1.5 * spacing;
}

// The slope of the ground across a sample from its neighbours, ignoring walls on either side.
double SlopeAt(double before, double here, double after, double spacing, double step) {
    bool wallBefore = IsWall(here - before, spacing, step), wallAfter = IsWall(after - here, spacing, step);
    if (!wallBefore && !wallAfter) return (after - before) / (2 * spacing);
    if (!wallBefore) return (here - before) / spacing;
    if (!wallAfter) return (after - here) / spacing;
    return 0;
}

RangeLine WalkRow(const RadarSurface& s, int row, const RadarGeometry& g, const RangeMapping& map) {
    RangeLine line;
    line.Power.assign(size_t(map.Columns), 0.f);
    line.Position.assign(size_t(s.Columns), -1.f);
    const double antenna = g.Reference + g.Altitude;
    auto h = [&](int c, int r) {
        return double(s.Height[s.Index(std::clamp(c, 0, s.Columns - 1), std::clamp(r, 0, s.Rows - 1))]);
    };
    auto range = [&](double ground, double z) { return std::hypot(ground, antenna - z); };
    double horizon = -1; // the largest look angle from the nadir met so far
    std::vector<bool> lit(size_t(s.Columns));
    for (int i = 0; i < s.Columns; ++i) {
        double gi = g.NearRange + i * s.Spacing, z = h(i, row);
        double look = std::atan2(gi, antenna - z);
        lit[size_t(i)] = look >= horizon - 1e-12;
        horizon = std::max(horizon, look);
    }
    for (int i = 0; i < s.Columns; ++i) {
        double gi = g.NearRange + i * s.Spacing, z = h(i, row);
        const Scatterer& sc = s.Surface[s.Index(i, row)];
        if (lit[size_t(i)]) {
            double dzdx = SlopeAt(h(i - 1, row), z, h(i + 1, row), s.Spacing, g.WallStep);
            double dzdy = SlopeAt(h(i, row - 1), z, h(i, row + 1), s.RowSpacing, g.WallStep);
            double n = std::sqrt(dzdx * dzdx + dzdy * dzdy + 1);
            double r = range(gi, z);
            // Unit vector from the ground towards the antenna: back towards the nadir and up.
            double cosLocal = (dzdx * gi + (antenna - z)) / (r * n);
            double power =
                Backscatter(sc, std::acos(std::clamp(cosLocal, -1.0, 1.0)), g.CrossPol) * s.Spacing * n;
            double half = s.Spacing / 2;
            Deposit(line.Power, map.Column(range(gi - half, z - dzdx * half)),
                    map.Column(range(gi + half, z + dzdx * half)), power);
            line.Position[size_t(i)] = float(map.Column(r));
        }
        if (i + 1 < s.Columns) {
            double top = h(i + 1, row), rise = top - z;
            if (rise > 0 && IsWall(rise, s.Spacing, g.WallStep)) {
                // A wall facing the antenna: its face lies over the ranges from its top to its foot.
                const Scatterer& upper = s.Surface[s.Index(i + 1, row)];
                double gw = gi + s.Spacing / 2;
                double rTop = range(gw, top), rFoot = range(gw, z);
                if (lit[size_t(i + 1)]) {
                    double face = Backscatter(upper, std::acos(std::clamp(gw / rTop, 0.0, 1.0)), g.CrossPol);
                    Deposit(line.Power, map.Column(rTop), map.Column(rFoot), face * rise);
                }
                if (lit[size_t(i)]) {
                    double corner = upper.Dihedral * rise * (g.CrossPol ? 0.03 : 1.0);
                    Deposit(line.Power, map.Column(rFoot), map.Column(rFoot), corner);
                }
            }
        }
    }
    for (int k = 0; k < map.Columns; ++k)
        line.Power[size_t(k)] /= float(map.GroundLength(k));
    return line;
}

} // namespace

RangeLine ImageRow(const RadarSurface& surface, int row, const RadarGeometry& geometry, int columns,
                   double firstColumn, double lastColumn) {
    return WalkRow(surface, row, geometry, RangeMapping(surface, geometry, columns, firstColumn, lastColumn));
}

FloatImage ImageSurface(const RadarSurface& surface, const RadarGeometry& geometry, int columns,
                        double firstColumn, double lastColumn) {
    const RangeMapping map(surface, geometry, columns, firstColumn, lastColumn);
    FloatImage out(columns, surface.Rows);
    ForEachRow(surface.Rows, [&](int r) {
        RangeLine line = WalkRow(surface, r, geometry, map);
        std::copy(line.Power.begin(), line.Power.end(), out.Values.begin() + long(r) * columns);
    });
    return out;
}

void AddSpeckle(FloatImage& power, int looks, uint32_t seed, float noiseFloor) {
    looks = std::max(1, looks);
    for (int y = 0; y < power.Height; ++y)
        for (int x = 0; x < power.Width; ++x) {
            // The mean of `looks` exponential variables: fully developed speckle, multilooked.
            double sum = 0;
            for (int k = 0; k < looks; ++k)
                sum -= std::log(1 - Hash01(x, y, seed + uint32_t(k) * 7919u));
            float& v = power.At(x, y);
            v = float((v + noiseFloor) * sum / looks);
        }
}

QImage RadarToGrey(const FloatImage& power, double low, double high, bool decibels) {
    FloatImage level = power;
    for (float& v : level.Values)
        v = decibels ? 10 * std::log10(std::max(1e-6f, v)) : std::sqrt(std::max(0.f, v));
    return Stretched(level, low, high);
}

namespace {

constexpr uint32_t kHeightSeed = 4242;

// A whole block paved as a square: concrete from the street edge to the block's centre.
bool IsSquare(const Landscape& land, double bu, double bv) {
    const double c = std::cos(Landscape::StreetAngle), s = std::sin(Landscape::StreetAngle);
    auto at = [&](double fu, double fv) {
        double u = bu * Landscape::BlockSize + fu, v = bv * Landscape::BlockSize + fv;
        GroundSample g = land.At(u * c - v * s, u * s + v * c, 1);
        return g.Kind == Material::Concrete && g.Moisture == 0;
    };
    double mid = Landscape::BlockSize / 2;
    return at(14, mid) && at(mid, mid);
}

} // namespace

double ObjectHeight(const Landscape& land, const GroundSample& g, double x, double y) {
    switch (g.Kind) {
    case Material::Conifer:
    case Material::Broadleaf: {
        double qx = x - Landmarks::PlantationX, qy = y - Landmarks::PlantationY;
        if (std::abs(qx) < 260 && std::abs(qy) < 170) return 2.5; // the young plantation
        // Trees in the town's yards and parks are smaller than in the forest.
        double dx = x - Landmarks::TownX, dy = y - Landmarks::TownY;
        bool town = dx * dx + dy * dy < 1.3 * Landmarks::TownRadius * Landmarks::TownRadius;
        double tall = g.Kind == Material::Conifer ? 17 : town ? 2 : 12;
        return tall * std::clamp(0.75 + 0.4 * g.Texture, 0.3, 1.0);
    }
    case Material::RoofTile:
    case Material::RoofMetal:
    case Material::Concrete: {
        if (g.Moisture != 0 || std::abs(x - Landmarks::DamX) < 60) return 0;
        double dx = x - Landmarks::TownX, dy = y - Landmarks::TownY;
        if (dx * dx + dy * dy > 4 * Landmarks::TownRadius * Landmarks::TownRadius) return 0;
        const double c = std::cos(Landscape::StreetAngle), s = std::sin(Landscape::StreetAngle);
        double u = x * c + y * s, v = -x * s + y * c;
        double bu = std::floor(u / Landscape::BlockSize), bv = std::floor(v / Landscape::BlockSize);
        if (g.Kind == Material::Concrete && IsSquare(land, bu, bv)) return 0;
        if (x > Landmarks::TownX + 700) return 8 + 2.0 * (Hash(int32_t(bu), int32_t(bv), kHeightSeed) % 3);
        double fu = u - bu * Landscape::BlockSize, fv = v - bv * Landscape::BlockSize;
        uint32_t lot =
            Hash(int32_t(std::floor(fu / 18) + bu * 16), int32_t(bv * 2 + (fv > 55)), kHeightSeed + 1);
        return 6 + 3.0 * (lot % 4);
    }
    default:
        return 0;
    }
}

double RadarIncidence(const RadarView& view, double fromNearEdge) {
    double nearGround = view.Altitude * std::tan(view.NearIncidence * M_PI / 180);
    return std::atan((nearGround + fromNearEdge) / view.Altitude) * 180 / M_PI;
}

FloatImage RadarImage(const RadarView& view) {
    const Landscape land;
    const double pixel = view.Across / view.Width;
    const double spacing = pixel / view.Oversample;
    const double rowSpacing = view.Along / view.Height;
    // The area's mean level and relief, from a coarse look: hills beyond the far edge lay over into
    // the picture, so the surface reaches past it by what the highest ground can move; ground below the
    // mean level appears farther out, so the surface reaches back before the near edge by what the
    // lowest ground can move (to the nadir if such ground cannot reach the near edge at all).
    double sum = 0, top = -1e9, bottom = 1e9;
    for (int j = 0; j < 24; ++j)
        for (int i = 0; i < 24; ++i) {
            double z =
                land.Elevation(view.X0 + (i + 0.5) * view.Across / 24, view.Y0 + (j + 0.5) * view.Along / 24);
            sum += z, top = std::max(top, z), bottom = std::min(bottom, z);
        }
    const double reference = sum / (24 * 24);
    const double farIncidence = RadarIncidence(view, view.Across) * M_PI / 180;
    const double nearGround = view.Altitude * std::tan(view.NearIncidence * M_PI / 180);
    const double depth = std::max(0.0, reference - bottom + 20);
    const double lowest = nearGround * nearGround - (2 * view.Altitude + depth) * depth;
    const double nearMargin = nearGround - std::sqrt(std::max(0.0, lowest)) + 4 * pixel;
    const double farMargin = std::max(0.0, top + 20 - reference) / std::tan(farIncidence) + 4 * pixel;
    const int columns = int(std::ceil((view.Across + nearMargin + farMargin) / spacing));
    RadarSurface surface(columns, view.Height, spacing, rowSpacing);
    const double nearEdgeX = view.LookEast ? view.X0 - nearMargin : view.X0 + view.Across + nearMargin;
    const double direction = view.LookEast ? 1 : -1;
    ForEachRow(view.Height, [&](int r) {
        double y = view.Y0 + (r + 0.5) * rowSpacing;
        for (int i = 0; i < columns; ++i) {
            double x = nearEdgeX + direction * (i + 0.5) * spacing;
            // Cover is looked up at a jittered point, so that regular patterns finer than the samples
            // (orchards, crop rows) turn into texture instead of moiré.
            double jx = x + (Hash01(i, r, view.Seed + 11) - 0.5) * spacing,
                   jy = y + (Hash01(i, r, view.Seed + 12) - 0.5) * rowSpacing;
            GroundSample g = land.At(jx, jy, spacing);
            size_t k = surface.Index(i, r);
            surface.Height[k] = float(land.Elevation(x, y) + ObjectHeight(land, g, jx, jy));
            Scatterer sc = ScattererOf(g.Kind);
            // Texture varies the return a little within a class; moist soil returns more.
            sc.Diffuse *= float(1 + 0.25 * g.Texture) *
                          float(1 + 0.8 * g.Moisture * (g.Kind == Material::SoilPloughed));
            surface.Surface[k] = sc;
        }
    });
    RadarGeometry geometry;
    geometry.Altitude = view.Altitude;
    geometry.Reference = reference;
    // Column i's centre lies (i + 0.5) samples beyond the near margin's edge.
    geometry.NearRange = view.Altitude * std::tan(view.NearIncidence * M_PI / 180) - nearMargin + spacing / 2;
    geometry.SlantRange = view.SlantRange;
    geometry.CrossPol = view.CrossPol;
    const double first = nearMargin / spacing - 0.5, last = first + view.Across / spacing;
    FloatImage image = ImageSurface(surface, geometry, view.Width, first, last);
    AddSpeckle(image, view.Looks, view.Seed, view.CrossPol ? 0.0005f : 0.002f);
    if (!view.LookEast)
        for (int y = 0; y < image.Height; ++y)
            std::reverse(image.Values.begin() + long(y) * image.Width,
                         image.Values.begin() + long(y + 1) * image.Width);
    return image;
}

namespace {

void OutlinedText(QPainter& p, QPointF at, const QString& text, Qt::Alignment anchor, double fontPixels) {
    QFont font = SansFont(fontPixels, true);
    QFontMetricsF m(font);
    QRectF r = m.boundingRect(text);
    double x = at.x(), y = at.y();
    if (anchor & Qt::AlignHCenter) x -= r.width() / 2;
    if (anchor & Qt::AlignRight) x -= r.width();
    if (anchor & Qt::AlignVCenter) y -= r.height() / 2;
    if (anchor & Qt::AlignBottom) y -= r.height();
    QPainterPath path;
    path.addText(QPointF(x, y + m.ascent()), font, text);
    p.save();
    p.setPen(QPen(QColor(0, 0, 0, 200), 3.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.fillPath(path, Qt::white);
    p.restore();
}

} // namespace

void DrawScaleBar(QPainter& p, QPointF at, double pixel, double metres, const QString& label,
                  double fontPixels) {
    double length = metres / pixel;
    p.save();
    QRectF bar(at.x(), at.y(), length, 6);
    p.setPen(QPen(QColor(0, 0, 0, 200), 1.5));
    p.setBrush(Qt::white);
    p.drawRect(bar);
    p.fillRect(QRectF(at.x() + length / 2, at.y(), length / 2, 6), Qt::black);
    p.restore();
    OutlinedText(p, {at.x() + length / 2, at.y() - 3}, label, Qt::AlignHCenter | Qt::AlignBottom, fontPixels);
}

void DrawOutlinedArrow(QPainter& p, QPointF from, QPointF to, const QString& label, double fontPixels) {
    p.save();
    p.setPen(QPen(QColor(0, 0, 0, 200), 5, Qt::SolidLine, Qt::RoundCap));
    DrawArrow(p, from, to, 13);
    p.setPen(QPen(Qt::white, 2.2, Qt::SolidLine, Qt::RoundCap));
    DrawArrow(p, from, to, 11);
    p.restore();
    // The label sits beside the arrow's tail, on the side away from its head.
    bool horizontal = std::abs(to.x() - from.x()) >= std::abs(to.y() - from.y());
    if (horizontal) {
        bool right = to.x() > from.x();
        OutlinedText(p, from + QPointF(right ? -6 : 6, 0), label,
                     (right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter, fontPixels);
    } else {
        bool down = to.y() > from.y();
        OutlinedText(p, from + QPointF(0, down ? -4 : 4), label,
                     Qt::AlignHCenter | (down ? Qt::AlignBottom : Qt::AlignTop), fontPixels);
    }
}
