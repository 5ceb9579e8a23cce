// A sample picture for the benchmarks, the fuzzers' seed corpus and the tests.
#pragma once

#include "content/toolkit/encoders/PixelImage.h"

#include <cstdint>

// A deterministic picture with smooth gradients, edges and a little grain, so that it compresses like
// a photograph or a diagram rather than like noise or a flat fill. With colors > 0 the pixels are
// indexes below colors.
PixelImage MakeScene(int width, int height, int colors = 0, uint32_t seed = 1);
