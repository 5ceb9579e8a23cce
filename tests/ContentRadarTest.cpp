// The side-looking radar model of the course's radar pictures: calibration of flat ground in both
// presentations, foreshortening and layover of slopes facing the antenna, shadow behind a wall, the
// power kept when echoes overlap, and the statistics of multilook speckle.
#include "content/toolkit/scenes/Radar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>

namespace {

constexpr double kDegree = M_PI / 180;

// A surface of one row, `columns` samples `spacing` apart, with heights from a profile.
template <typename F> RadarSurface Profile(int columns, double spacing, F&& height, Scatterer s = {}) {
    RadarSurface surface(columns, 1, spacing, 1);
    for (int i = 0; i < columns; ++i) {
        surface.Height[size_t(i)] = float(height((i + 0.5) * spacing));
        surface.Surface[size_t(i)] = s;
    }
    return surface;
}

// A far antenna, so that the incidence angle hardly changes across the surface.
RadarGeometry FarAntenna(double incidenceDeg) {
    RadarGeometry g;
    g.Altitude = 1e6;
    g.NearRange = g.Altitude * std::tan(incidenceDeg * kDegree);
    return g;
}

} // namespace

TEST(ContentRadar, FlatGroundShowsItsBackscatterInBothPresentations) {
    Scatterer rough;
    rough.Diffuse = 0.2f, rough.Exponent = 1.5f;
    const RadarSurface flat = Profile(
        400, 1, [](double) { return 0.0; }, rough);
    const double expected = Backscatter(rough, 35 * kDegree);
    for (bool slant : {false, true}) {
        RadarGeometry g = FarAntenna(35);
        g.SlantRange = slant;
        const FloatImage image = ImageSurface(flat, g, 100, 0, 399);
        // Away from the ends, where the first and last samples spill half a sample outside.
        for (int k = 2; k < 98; ++k)
            ASSERT_NEAR(image.At(k, 0), expected, expected * 0.01) << (slant ? "slant " : "ground ") << k;
    }
}

TEST(ContentRadar, SlopesFacingTheAntennaAreShortenedOrLaidOver) {
    // Seen at 40 degrees of incidence, a point h metres up moves h cot 40 towards the antenna: a
    // 20-degree slope facing it keeps its order but shrinks to 1 - tan 20 / tan 40 of its length; a
    // 60-degree slope comes out reversed, its top first.
    const RadarGeometry g = FarAntenna(40);
    auto image = [&](double slopeDeg) {
        double t = std::tan(slopeDeg * kDegree);
        RadarSurface s = Profile(600, 0.1, [&](double x) {
            return x < 20 ? 0.0 : x < 30 ? (x - 20) * t : 10 * t;
        });
        return ImageRow(s, 0, g, 600, -0.5, 599.5);
    };
    const RangeLine gentle = image(20);
    const double foot = gentle.Position[200], top = gentle.Position[299];
    EXPECT_GT(top, foot);
    EXPECT_NEAR((top - foot) / 99, 1 - std::tan(20 * kDegree) / std::tan(40 * kDegree), 0.01);
    const RangeLine steep = image(60);
    ASSERT_GE(steep.Position[299], 0) << "the top of a slope facing the antenna is lit";
    EXPECT_LT(steep.Position[299], steep.Position[200]);
    // The plateau behind it lands in front of the slope's foot, moved by its height times cot 40.
    const double height = 10 * std::tan(60 * kDegree);
    EXPECT_NEAR(steep.Position[400], 400.5 - height / std::tan(40 * kDegree) / 0.1, 0.5);
    EXPECT_LT(steep.Position[400], steep.Position[199]);
}

TEST(ContentRadar, WallCastsItsShadowAndReturnsFromItsFoot) {
    // A 6 m block from 20 to 30 m seen at 30 degrees: the ground behind it is unlit for 6 tan 30 m,
    // and the corner at the near wall's foot is the brightest return.
    Scatterer building;
    building.Dihedral = 3;
    const double spacing = 0.05;
    RadarSurface s = Profile(
        1000, spacing, [](double x) { return x > 20 && x < 30 ? 6.0 : 0.0; }, building);
    const RangeLine line = ImageRow(s, 0, FarAntenna(30), 1000, -0.5, 999.5);
    int dark = 0;
    for (int i = int(30 / spacing); i < 1000 && line.Position[size_t(i)] < 0; ++i)
        ++dark;
    EXPECT_NEAR(dark * spacing, 6 * std::tan(30 * kDegree), 2 * spacing);
    const auto brightest = std::max_element(line.Power.begin(), line.Power.end()) - line.Power.begin();
    EXPECT_NEAR(double(brightest), 20 / spacing, 2);
}

TEST(ContentRadar, OverlappingEchoesKeepAllThePower) {
    // Layover sends several stretches of ground to the same columns and backward intervals through
    // the accumulation; what the image holds, times the ground each column covers, is what the
    // lit samples returned.
    const RadarGeometry g = FarAntenna(25);
    Scatterer s;
    s.Diffuse = 0.1f, s.Exponent = 1;
    const double spacing = 0.1;
    RadarSurface hill = Profile(
        800, spacing,
        [](double x) {
            return x < 30 ? 0.0 : x < 36 ? (x - 30) * 2.5 : x < 44 ? 15 - (x - 36) * 0.3 : 12.6;
        },
        s);
    const RangeLine line = ImageRow(hill, 0, g, 400, -0.5, 799.5);
    double image = std::accumulate(line.Power.begin(), line.Power.end(), 0.0) * (800 * spacing / 400);
    double returned = 0;
    for (int i = 1; i + 1 < 800; ++i) {
        if (line.Position[size_t(i)] < 0) continue;
        double dzdx = (hill.Height[size_t(i + 1)] - hill.Height[size_t(i - 1)]) / (2 * spacing);
        double n = std::sqrt(1 + dzdx * dzdx);
        double gi = g.NearRange + i * spacing;
        double r = std::hypot(gi, g.Altitude - hill.Height[size_t(i)]);
        double cosLocal = (dzdx * gi + (g.Altitude - hill.Height[size_t(i)])) / (r * n);
        returned += Backscatter(s, std::acos(cosLocal)) * spacing * n;
    }
    // The end samples lie half outside the image.
    EXPECT_NEAR(image, returned, returned * 0.01);
}

TEST(ContentRadar, SpeckleAveragesToTheSignalWithVarianceOneOverLooks) {
    for (int looks : {1, 4}) {
        FloatImage power(200, 200);
        std::fill(power.Values.begin(), power.Values.end(), 1.f);
        AddSpeckle(power, looks, 7, 0);
        double mean =
            std::accumulate(power.Values.begin(), power.Values.end(), 0.0) / double(power.Values.size());
        double variance = 0;
        for (float v : power.Values)
            variance += (v - mean) * (v - mean);
        variance /= double(power.Values.size());
        EXPECT_NEAR(mean, 1, 0.02) << looks;
        EXPECT_NEAR(variance, 1.0 / looks, 0.05 / looks) << looks;
    }
}
