// The course's picture files from QImage and indexed pictures: Windows bitmaps of 24 and 8 bits, JPEG
// with optional metadata segments, and single-frame GIF built to an exact structure, all through the
// picture writers; colour reduction to a palette; the metadata a computed picture carries.
#pragma once

#include "content/toolkit/encoders/JpegWriter.h"

#include <QImage>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

// One byte per pixel into a palette of up to 256 colours, rows from top to bottom.
struct IndexedImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint8_t> Pixels;
    std::vector<QRgb> Palette;
};

// A 24-bit bitmap file (bottom-up rows, each padded to four bytes) of any QImage.
Bytes EncodeBitmap24(const QImage& image);
// An 8-bit bitmap file with a 256-entry colour table; a shorter palette is padded with black.
Bytes EncodeBitmap8(const IndexedImage& image);

// A greyscale image with the 256-entry grey ramp as its palette.
IndexedImage GreyIndexed(const QImage& image);
// Median-cut reduction to at most `colours` colours (deterministic), each pixel mapped to the nearest.
IndexedImage Quantize(const QImage& image, int colours);

// The course's JPEG settings: libjpeg's baseline sampling, Huffman tables made for the picture, and
// a JFIF 1.01 segment at 96 dots per inch.
inline JpegOptions JpegColour(int quality) {
    JpegOptions o;
    o.Quality = quality;
    o.OptimizeCoding = true;
    o.DotsPerInch = 96;
    return o;
}
inline JpegOptions JpegGrey(int quality) {
    JpegOptions o = JpegColour(quality);
    o.Grey = true;
    return o;
}

// A baseline JPEG file of any QImage (in grey when the options say so).
Bytes EncodeJpeg(const QImage& image, const JpegOptions& options);

// The exact structure of a single-frame GIF file without a global colour table: the frame sits at the
// top-left corner of the logical screen and carries a local colour table.
struct GifLayout {
    bool Gif89 = true;
    int ScreenWidth = 0;
    int ScreenHeight = 0;
    uint8_t AspectByte = 0;
    IndexedImage Frame;  // its palette is the local table, padded to a power of two (2 to 256)
    int MinCodeSize = 8; // the LZW minimum code size, 2 to 8
    std::optional<int> TransparentIndex; // writes a graphic control extension (GIF89a only)
    int Delay = 0;
    std::string Comment; // a comment extension when not empty (GIF89a only)
};
// Throws std::invalid_argument for what the format cannot hold.
Bytes EncodeGif(const GifLayout& layout);

// A minimal Exif structure naming the camera-less origin of a computed picture, and a small sRGB-like
// ICC profile, for pictures that carry such segments.
Bytes MakeExif(const std::string& description, const std::string& dateTime);
Bytes MakeIccProfile();
std::string MakeXmp(const std::string& title, const std::string& description);
