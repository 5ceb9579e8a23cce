// Scene corrections of the content toolkit: control-point polynomials, destriping, lost lines, haze
// subtraction and resampling, on small rasters whose right answers are known.
#include "content/toolkit/scenes/Correction.h"
#include "content/toolkit/scenes/Noise.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Correction, PolynomialFitsRecoverKnownMappingsAndRefuseDegenerateOnes) {
    // Map coordinates of hundreds of kilometres must not spoil the conditioning.
    std::vector<ControlPoint> affine;
    for (int i = 0; i < 7; ++i) {
        QPointF m(500000 + 3000 * Hash01(i, 0, 1), 4400000 + 3000 * Hash01(i, 1, 1));
        QPointF d = m - QPointF(500000, 4400000);
        affine.push_back({m, QPointF(0.03 * d.x() - 0.005 * d.y() + 12, 0.004 * d.x() + 0.031 * d.y() - 3)});
    }
    auto f = FitPolynomial(affine, 1);
    ASSERT_TRUE(f);
    EXPECT_LT(RmsError(*f, affine), 1e-6);

    std::vector<ControlPoint> curved;
    for (int i = 0; i < 12; ++i) {
        QPointF m(100 * Hash01(i, 0, 2), 100 * Hash01(i, 1, 2));
        curved.push_back({m, QPointF(m.x() + 0.01 * m.x() * m.y(), m.y() - 0.02 * m.x() * m.x())});
    }
    auto second = FitPolynomial(curved, 2), first = FitPolynomial(curved, 1);
    ASSERT_TRUE(second && first);
    EXPECT_LT(RmsError(*second, curved), 1e-6);
    EXPECT_GT(RmsError(*first, curved), 1);

    std::vector<ControlPoint> line, circle;
    for (int i = 0; i < 6; ++i) {
        line.push_back({QPointF(i, 2 * i), QPointF(i, i)});
        circle.push_back({QPointF(std::cos(i), std::sin(i)), QPointF(i, i)});
    }
    EXPECT_FALSE(FitPolynomial(line, 1));   // collinear points leave a direction free
    EXPECT_FALSE(FitPolynomial(circle, 2)); // points on a conic leave a quadratic free
    EXPECT_FALSE(FitPolynomial(std::span(affine).first(2), 1));
    EXPECT_FALSE(FitPolynomial(std::span(affine).first(5), 2));
    EXPECT_FALSE(FitPolynomial(std::vector<ControlPoint>(4, {QPointF(3, 3), QPointF(1, 1)}), 1));
}

TEST(Correction, RadiometricRepairs) {
    // Striping is removed detector by detector; a lost line is left for the repair.
    FloatImage band(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            band.At(x, y) = float(50 + 40 * Hash01(x, y, 3));
    double mean = 0;
    for (float v : band.Values)
        mean += v / 4096.0;
    AddDetectorStriping(band, 16, 0.1f, 5, 9);
    const int lost[] = {20};
    DropLines(band, lost);
    Destripe(band, 16);
    EXPECT_EQ(band.At(5, 20), 0);
    for (int d = 0; d < 16; ++d) {
        double m = 0;
        int n = 0;
        for (int y = d; y < 64; y += 16)
            for (int x = 0; y != 20 && x < 64; ++x)
                m += band.At(x, y), ++n;
        EXPECT_NEAR(m / n, mean, 1.5) << "detector " << d;
    }
    // A detector that read one value throughout is not divided by zero.
    FloatImage flat(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            flat.At(x, y) = y % 2 ? 7.f : float(x + 1);
    Destripe(flat, 2);
    for (float v : flat.Values)
        EXPECT_TRUE(std::isfinite(v));

    // Lost lines: at the edges a copy, inside a run an interpolation between the good lines.
    FloatImage ramp(4, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 4; ++x)
            ramp.At(x, y) = float(10 * y + 10);
    const int runs[] = {0, 2, 3, 5};
    DropLines(ramp, runs);
    EXPECT_EQ(RepairDroppedLines(ramp), 4);
    EXPECT_FLOAT_EQ(ramp.At(0, 0), 20);
    EXPECT_FLOAT_EQ(ramp.At(1, 2), 30);
    EXPECT_FLOAT_EQ(ramp.At(1, 3), 40);
    EXPECT_FLOAT_EQ(ramp.At(2, 5), 50);
    FloatImage empty(3, 3);
    EXPECT_EQ(RepairDroppedLines(empty), 0);

    FloatImage hazy(10, 10);
    for (int i = 0; i < 100; ++i)
        hazy.Values[size_t(i)] = float(12 + i);
    EXPECT_EQ(SubtractDarkObject(hazy, 0), 12);
    EXPECT_EQ(hazy.Values[0], 0);
}

TEST(Correction, ResamplingSamplesPixelCentres) {
    QImage source(5, 4, QImage::Format_RGB32);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            source.setPixel(x, y, qRgb(x * 40, y * 60, 7));
    auto same = [](QPointF p) { return p; };
    EXPECT_EQ(Resample(source, source.size(), same, Resampling::NearestNeighbour, Qt::red), source);
    EXPECT_EQ(Resample(source, source.size(), same, Resampling::Bilinear, Qt::red), source);
    QImage shifted = Resample(
        source, source.size(), [](QPointF p) { return p - QPointF(1, 0); }, Resampling::NearestNeighbour,
        Qt::red);
    EXPECT_EQ(shifted.pixel(0, 0), QColor(Qt::red).rgb());
    EXPECT_EQ(shifted.pixel(1, 0), source.pixel(0, 0));
}
