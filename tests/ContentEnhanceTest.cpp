// The enhancement operations the course's pictures apply: convolution at the picture's edges and with
// clipping, and the lookup tables of the stretches and of equalisation on awkward histograms.
#include "content/toolkit/scenes/Enhance.h"

#include <gtest/gtest.h>

namespace {

QImage Grey(int w, int h, uint8_t (*level)(int x, int y)) {
    QImage image(w, h, QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.scanLine(y)[x] = level(x, y);
    return image;
}

int At(const QImage& grey, int x, int y) {
    return grey.constScanLine(y)[x];
}

std::array<int, 256> HistogramOf(std::initializer_list<std::pair<int, int>> levelsAndCounts) {
    std::array<int, 256> h{};
    for (auto [level, count] : levelsAndCounts)
        h[size_t(level)] = count;
    return h;
}

} // namespace

TEST(ContentEnhance, ConvolutionRepeatsEdgesRoundsAndClips) {
    // A flat picture stays flat up to its corners under a normalised kernel: the edges are repeated,
    // not read as black.
    const QImage flat = Grey(7, 5, [](int, int) -> uint8_t { return 90; });
    const QImage smooth = Convolve(flat, GaussianKernel(1.5));
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x)
            ASSERT_EQ(At(smooth, x, y), 90) << x << "," << y;
    // A zero-sum kernel has scale 1 and leaves only the bias where nothing changes.
    const QImage edges = Convolve(flat, MakeKernel(3, {-1, -1, -1, -1, 8, -1, -1, -1, -1}, 128));
    EXPECT_EQ(At(edges, 0, 0), 128);
    EXPECT_EQ(At(edges, 3, 2), 128);

    // A vertical step from 40 to 200: the sharpening kernel overshoots both ways and is clipped; the
    // 3 x 3 mean rounds (40 + 40 + 200) / 3 = 93.3 to 93 and (40 + 200 + 200) / 3 = 146.7 to 147.
    const QImage step = Grey(6, 3, [](int x, int) -> uint8_t { return x < 3 ? 40 : 200; });
    const QImage sharp = Convolve(step, MakeKernel(3, {-1, -1, -1, -1, 9, -1, -1, -1, -1}));
    EXPECT_EQ(At(sharp, 2, 1), 0);   // 9·40 − 5·40 − 3·200 < 0
    EXPECT_EQ(At(sharp, 3, 1), 255); // 9·200 − 5·200 − 3·40 > 255
    EXPECT_EQ(At(sharp, 0, 1), 40);
    const QImage mean = Convolve(step, MeanKernel(3));
    EXPECT_EQ(At(mean, 2, 1), 93);
    EXPECT_EQ(At(mean, 3, 1), 147);
    EXPECT_EQ(mean.format(), QImage::Format_Grayscale8);

    // Colour pictures are filtered channel by channel: a step in red leaves green and blue alone.
    QImage colour(6, 3, QImage::Format_RGB32);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 6; ++x)
            colour.setPixel(x, y, qRgb(x < 3 ? 40 : 200, 77, 15));
    const QImage blurred = Convolve(colour, MeanKernel(3));
    EXPECT_EQ(QColor(blurred.pixel(2, 1)), QColor(93, 77, 15));
}

TEST(ContentEnhance, StretchTablesFindTheirLimitsAndSurviveDegenerateRanges) {
    const LookupTable line = StretchTable(19, 247);
    EXPECT_EQ(line[0], 0);
    EXPECT_EQ(line[19], 0);
    EXPECT_EQ(line[133], 128); // 255 · 114 / 228 = 127.5
    EXPECT_EQ(line[247], 255);
    EXPECT_EQ(line[255], 255);

    // 1 % of the pixels at each far end: a 2 % stretch ignores them and spans the two inner levels.
    const LookupTable clip = PercentStretchTable(HistogramOf({{5, 1}, {80, 49}, {120, 49}, {250, 1}}), 0.02);
    EXPECT_EQ(clip[5], 0);
    EXPECT_EQ(clip[80], 0);
    EXPECT_EQ(clip[100], 128);
    EXPECT_EQ(clip[120], 255);
    EXPECT_EQ(clip[250], 255);
    // With no tails to discard, the stretch runs between the darkest and brightest levels present.
    const LookupTable full = PercentStretchTable(HistogramOf({{30, 10}, {130, 10}}), 0);
    EXPECT_EQ(full[30], 0);
    EXPECT_EQ(full[130], 255);

    // A picture of one level has no range: no division by zero, and the table still rises.
    const LookupTable single = PercentStretchTable(HistogramOf({{70, 500}}), 0.02);
    for (int g = 1; g < 256; ++g)
        ASSERT_LE(single[size_t(g - 1)], single[size_t(g)]) << g;
    const LookupTable empty = PercentStretchTable(std::array<int, 256>{}, 0.02);
    for (int g = 1; g < 256; ++g)
        ASSERT_LE(empty[size_t(g - 1)], empty[size_t(g)]) << g;
}

TEST(ContentEnhance, EqualisationFollowsTheCumulativeDistribution) {
    // Half of the pixels at 60 or below: level 60 becomes 255 · 0,5, rounded to 128.
    const LookupTable t = EqualisationTable(HistogramOf({{20, 25}, {60, 25}, {200, 50}}));
    EXPECT_EQ(t[0], 0);
    EXPECT_EQ(t[20], 64); // 63.75
    EXPECT_EQ(t[59], 64);
    EXPECT_EQ(t[60], 128);
    EXPECT_EQ(t[200], 255);
    EXPECT_EQ(t[255], 255);
    // An empty histogram has no distribution; the table leaves the levels as they are.
    const LookupTable none = EqualisationTable(std::array<int, 256>{});
    for (int g = 0; g < 256; ++g)
        ASSERT_EQ(none[size_t(g)], g);

    EXPECT_EQ(LevelRange(std::array<int, 256>{}), std::make_pair(0, 0));
    EXPECT_EQ(LevelRange(HistogramOf({{0, 3}, {255, 1}})), std::make_pair(0, 255));
    const auto [mean, deviation] = LevelStatistics(HistogramOf({{10, 1}, {30, 1}}));
    EXPECT_DOUBLE_EQ(mean, 20);
    EXPECT_DOUBLE_EQ(deviation, 10);
}

TEST(ContentEnhance, PointOperationsKeepTheirLevelsInRange) {
    EXPECT_EQ(BrightnessTable(100)[200], 255);
    EXPECT_EQ(BrightnessTable(-100)[50], 0);
    EXPECT_EQ(ContrastTable(2)[200], 255);
    EXPECT_EQ(ContrastTable(0.5)[0], 64);
    EXPECT_EQ(NegativeTable()[0], 255);
    EXPECT_EQ(SquareRootTable()[0], 0);
    EXPECT_EQ(SquareRootTable()[64], 128); // 255 · sqrt(64 / 255) = 127.7
    EXPECT_EQ(SquareRootTable()[255], 255);

    QImage colour(1, 1, QImage::Format_RGB32);
    colour.setPixel(0, 0, qRgb(0, 100, 255));
    EXPECT_EQ(QColor(ApplyTable(colour, NegativeTable()).pixel(0, 0)), QColor(255, 155, 0));
}
