// Colour resolution: a colour value to the platform's colour value.
#pragma once

#include "stream/Colors.h"

#include <cstdint>

// A system colour (negative as a signed 32-bit value) becomes the platform's current colour of that
// number; every other value is returned unchanged.
uint32_t ColorToRGB(TColor color);
