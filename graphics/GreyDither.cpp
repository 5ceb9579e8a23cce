// How the pass is made fast without changing a single index.
//
// The library's levels are j * 255 / 235 rounded, and a grey v goes to the level whose range holds it;
// v minus that level, the error the pass spreads, is always 0 or 1 (checked below at compile time). A
// pixel's error goes 7/16 to the next pixel of the row and 3/16, 5/16 and 1/16 to the three below, so
// what a pixel receives from the row above is 0 to 9 sixteenths, and what it adds to its grey,
// (7 * previous error + from above + 8) / 16 rounded down, is 0 or 1. The row's only chain from pixel to
// pixel is thus one bit, the previous pixel's error. For each pixel both outcomes (previous error 0 or
// 1) come from one table indexed by what the row above left and the grey; the chain itself is a choice
// between the two.
#include "graphics/GreyDither.h"

#include <cstddef>

namespace GreyDither {
namespace {

constexpr int kMaxFromAbove = 1 + 5 + 3; // sixteenths, when every pixel's error is 1

constexpr std::array<uint8_t, kLevels> MakeLevels() {
    std::array<uint8_t, kLevels> levels{};
    constexpr int top = kLevels - 1;
    for (int j = 0; j < kLevels; ++j)
        levels[j] = static_cast<uint8_t>((j * 255 + top / 2) / top);
    return levels;
}

// The index each grey goes to: ranges end halfway between levels, as the library rounds it.
constexpr std::array<uint8_t, 256> MakeIndexes() {
    std::array<uint8_t, 256> indexes{};
    constexpr int top = kLevels - 1;
    auto largest = [](int j) { return ((2 * j + 1) * 255 + top) / (2 * top); };
    int index = 0;
    for (int v = 0; v < 256; ++v) {
        while (v > largest(index))
            ++index;
        indexes[v] = static_cast<uint8_t>(index);
    }
    return indexes;
}

constexpr std::array<uint8_t, kLevels> kLevelGreys = MakeLevels();
constexpr std::array<uint8_t, 256> kIndexes = MakeIndexes();

constexpr bool ErrorsAreOneBit() {
    for (int v = 0; v < 256; ++v) {
        int error = v - kLevelGreys[kIndexes[v]];
        if (error < 0 || error > 1) return false;
    }
    return true;
}
static_assert(ErrorsAreOneBit(), "the one-bit chain below needs every error to be 0 or 1");

// For what the row above left (0..9) and a grey: the index and error when the previous pixel's error was
// 0 (low half: index, then error in bit 8) and when it was 1 (the same in the high half).
constexpr std::array<std::array<uint32_t, 256>, kMaxFromAbove + 1> MakeSteps() {
    std::array<std::array<uint32_t, 256>, kMaxFromAbove + 1> steps{};
    for (int above = 0; above <= kMaxFromAbove; ++above)
        for (int grey = 0; grey < 256; ++grey) {
            uint32_t step = 0;
            for (int previous = 0; previous <= 1; ++previous) {
                int v = grey + ((7 * previous + above + 8) >> 4);
                v = v > 255 ? 255 : v;
                uint32_t index = kIndexes[v];
                uint32_t error = static_cast<uint32_t>(v - kLevelGreys[index]);
                step |= (index | error << 8) << (16 * previous);
            }
            steps[above][grey] = step;
        }
    return steps;
}

constexpr auto kSteps = MakeSteps();

// `errors` is laid out as the library lays it out: entry x + 1 belongs to column x, entries 0 and
// width + 1 take what falls beyond the edges. Each pixel reads its own entry, left by the row above,
// and then fills the entry of the pixel before it, which nothing reads again in this row.
template <int Dir> void Pass(const uint8_t* grey, uint8_t* indexes, int width, int16_t* errors) {
    ptrdiff_t x = Dir > 0 ? 0 : width - 1;
    uint32_t error = 0, before = 0, beforeThat = 0; // errors of the last two pixels in row order
    for (int n = 0; n < width; ++n, x += Dir) {
        const int above = errors[x + 1];
        const uint32_t step = kSteps[static_cast<size_t>(above)][grey[x]];
        const uint32_t chosen = error ? step >> 16 : step;
        indexes[x] = static_cast<uint8_t>(chosen);
        beforeThat = before;
        before = error;
        error = chosen >> 8 & 1;
        errors[x + 1 - Dir] = static_cast<int16_t>(beforeThat + 5 * before + 3 * error);
    }
    errors[x + 1 - Dir] = static_cast<int16_t>(before + 5 * error);
}

} // namespace

const std::array<uint8_t, kLevels>& Levels() {
    return kLevelGreys;
}

void Row(const uint8_t* grey, uint8_t* indexes, int width, int16_t* errors, bool rightToLeft) {
    if (width <= 0) return;
    if (rightToLeft)
        Pass<-1>(grey, indexes, width, errors);
    else
        Pass<1>(grey, indexes, width, errors);
}

} // namespace GreyDither
