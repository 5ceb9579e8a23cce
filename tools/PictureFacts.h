// What a picture file's headers say about it: kind, size, depth and the structure details the course
// relies on. Reads headers only; the pixels are the decoders' business.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

struct PictureFacts {
    enum class Type { Unknown, Bitmap, Jpeg, Gif };
    Type Kind = Type::Unknown;
    int Width = 0;
    int Height = 0;
    int Depth = 0; // bits per pixel of a bitmap; 8 per component of a JPEG; colour-table bits of a GIF
    // Bitmaps: uncompressed, and for 8 bits whether the 256-entry table is the grey ramp.
    bool Uncompressed = false;
    int PaletteEntries = 0;
    bool GreyRamp = false;
    // JPEG: baseline frame, JFIF version, components and their sampling ("2x2,1x1,1x1"), metadata.
    bool Baseline = false;
    int JfifVersion = 0; // major * 100 + minor
    int Components = 0;
    std::string Sampling;
    bool Exif = false, Icc = false, Xmp = false;
    // GIF: version, the single frame's place and size, local table, LZW code size, extensions.
    std::string GifVersion;
    int AspectByte = 0;
    int Frames = 0;
    int FrameLeft = 0, FrameTop = 0, FrameWidth = 0, FrameHeight = 0;
    bool GlobalTable = false;
    int LocalTableEntries = 0;
    uint32_t LocalEntry0 = 0, LocalEntryLast = 0; // 0xRRGGBB
    int MinCodeSize = 0;
    bool Transparent = false;
    int TransparentIndex = -1;
    int Delay = 0;
    int CommentBytes = -1; // -1: no comment extension
    bool Trailer = false;
    std::string Error; // why the headers could not be read; empty when they could
};

PictureFacts InspectPicture(std::span<const uint8_t> file);

// "bitmap24", "bitmap8grey", "bitmap8", "jpeg", "jpeggrey", "gif": the words a definition uses to
// declare a picture. Returns an empty text when the file conforms to the declaration, else what differs.
std::string CheckDeclaredPicture(const PictureFacts& facts, const std::string& kind, int width, int height);
