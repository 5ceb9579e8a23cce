// Greyscale JPEG output reduced to 236 grey levels with Floyd-Steinberg error diffusion, giving exactly
// the indexes libjpeg's one-pass quantiser gives for one component: the same levels, the same errors in
// sixteenths with the same rounding, the same serpentine order (even rows left to right, odd rows right
// to left, counted from the first row reduced), in a fraction of the time of the library's pass,
// which costs more than decoding the picture.
#pragma once

#include <array>
#include <cstdint>

namespace GreyDither {

inline constexpr int kLevels = 236;

// The grey of each index, from black to white.
const std::array<uint8_t, kLevels>& Levels();

// Reduces one row of `width` greys to indexes into Levels(). `errors` carries the errors owed to the
// next row: width + 2 entries, all zero before the first row. `rightToLeft` is set for the odd rows.
void Row(const uint8_t* grey, uint8_t* indexes, int width, int16_t* errors, bool rightToLeft);

} // namespace GreyDither
