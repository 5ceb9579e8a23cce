// GIF files built to an exact structure, with our own LZW encoder: global and local colour tables,
// several frames, interlacing, transparency, comments and the looping extension.
#pragma once

#include "content/toolkit/encoders/PixelImage.h"

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

// Deliberate departures from the plain code stream, for files that test a decoder's limits.
struct LzwOptions {
    bool ClearWhenFull = true; // else the full table stays in use until the end
    int ClearEvery = 0;        // also a clear code after this many codes; 0 for never
    bool EndCode = true;
};
// The codes for indexes at the given minimum code size (2 to 8): a clear code first, each code as wide
// as the decoder's table then needs, the end code last; packed least significant bit first, without
// the sub-block framing.
std::vector<uint8_t> EncodeLzw(const std::vector<uint8_t>& indexes, int minCodeSize,
                               const LzwOptions& options = {});

struct GifFrame {
    PixelImage Image{}; // indexes
    int Left = 0, Top = 0;
    bool Interlaced = false;
    int TransparentIndex = -1;          // >= 0: a graphic control extension naming it
    int DelayCs = 0;                    // > 0: a graphic control extension with this delay
    std::vector<uint32_t> LocalTable{}; // 0x00RRGGBB, padded to a power of two; empty: the global one
    int MinCodeSize = 0;                // 2 to 8; 0: the fewest bits the table's indexes need, at least 2
    int ClearEvery = 0;                 // as LzwOptions::ClearEvery
};
struct GifOptions {
    std::string_view Version = "89a";      // "87a" files carry no extensions
    int ScreenWidth = 0, ScreenHeight = 0; // 0: the first frame's size
    std::vector<uint32_t> GlobalTable{};   // 0x00RRGGBB, padded to a power of two
    int BackgroundIndex = 0;
    uint8_t AspectByte = 0;
    std::string_view Comment{}; // a comment extension when not empty
    bool LoopExtension = false; // the application extension of looping animations
};
// Throws std::invalid_argument for what the format cannot hold: a table of more than 256 colours, an
// extension in a GIF87a file, a code size out of range or an index beyond it.
std::vector<uint8_t> EncodeGif(std::span<const GifFrame> frames, const GifOptions& options);
