// orvanta-form picture: loads a picture file as stored picture data, through the picture kinds the
// program itself uses, and writes what a picture control shows of it as a PNG file.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class QImage;
class TImage;

// The file as a stored picture value: the kind's class name with its length byte, then for bitmaps and
// JPEG a 4-byte little-endian length and the file, for GIF the file alone. Raises EInvalidGraphic for a
// file no kind reads, or one too long for its length field.
std::vector<uint8_t> PictureDataOf(std::span<const uint8_t> file);

// Paints image, sized to its picture, at natural size onto a 24-bit surface of the same size filled
// with the button face first, as the control paints over its parent. Raises what painting raises, and
// EInvalidGraphic for an empty picture or one too large to draw.
QImage PaintPicture(TImage& image);

// Reads the file, loads it into a picture control, paints it and writes OUT as PNG. On failure prints
// the text the program's error box would show. Returns the exit code.
int RunPicture(const std::string& path, const std::string& outPath);
