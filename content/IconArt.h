// The program's icons, drawn in code: a small satellite over the earth.
#pragma once

#include <cstdint>
#include <vector>

// The form's icon: one 32 x 32 image of 16 colours, 766 bytes.
std::vector<uint8_t> FormIconFile();
// The application's icon: the same motif in full colour at 16, 32 and 48 pixels.
std::vector<uint8_t> MainIconFile();
// The motif at any size as rows of red, green, blue and alpha bytes, top row first: the desktop's
// icons of every size are drawn from it.
std::vector<uint8_t> IconPixels(int size);
