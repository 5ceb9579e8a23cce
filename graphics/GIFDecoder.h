// The LZW decoder of GIF image data.
#pragma once

#include "graphics/TGIFReader.h"

#include <cstddef>
#include <cstdint>
#include <functional>

// Decodes the LZW data sub-blocks at the reader's position (the minimum code size is already read) into
// width x height pixels, one colour index each, top row first; an interlaced frame's rows are placed in
// the order of the four passes. Pixels the data does not reach keep their value. Always leaves the
// reader after the frame's data sub-blocks. Raises "Circular decoder table entry" and "Invalid GIF data"
// for a corrupt code table; warns "Decoder bit buffer under-run" when the data ends without an end code.
// progress, when given, hears the number of pixels stored after every kGIFProgressPixels of them.
inline constexpr size_t kGIFProgressPixels = 10000;
void DecodeGIFPixels(TGIFReader& reader, int minCodeSize, uint8_t* pixels, int width, int height,
                     bool interlaced, const std::function<void(size_t pixelsDone)>& progress = {});

// For tests: off, every string is unwound on the stack, the way the fast path must match.
void SetGIFDirectStrings(bool on);
