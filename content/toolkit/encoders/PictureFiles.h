// Encoders for the picture files of the course: Windows bitmaps of 24 and 8 bits, baseline JPEG with
// optional metadata segments, and GIF built to an exact structure with our own LZW encoder.
#pragma once

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

struct JpegOptions {
    int Quality = 85;
    bool Grey = false;              // one component instead of YCbCr sampled 2x2, 1x1, 1x1
    std::optional<Bytes> Exif;      // a TIFF structure, stored in APP1 behind "Exif\0\0"
    std::optional<Bytes> Icc;       // an ICC profile, in APP2 segments
    std::optional<std::string> Xmp; // an XMP packet, in APP1 behind its namespace
};
inline JpegOptions JpegColour(int quality) {
    JpegOptions o;
    o.Quality = quality;
    return o;
}
inline JpegOptions JpegGrey(int quality) {
    JpegOptions o;
    o.Quality = quality;
    o.Grey = true;
    return o;
}

// A baseline JPEG file with a JFIF 1.01 segment.
Bytes EncodeJpeg(const QImage& image, const JpegOptions& options = {});

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
Bytes EncodeGif(const GifLayout& layout);

// A minimal Exif structure naming the camera-less origin of a computed picture, and a small sRGB-like
// ICC profile, for pictures that carry such segments.
Bytes MakeExif(const std::string& description, const std::string& dateTime);
Bytes MakeIccProfile();
std::string MakeXmp(const std::string& title, const std::string& description);
