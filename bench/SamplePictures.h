// Picture files written in memory for the benchmarks and the fuzzers' seed corpus: BMP and ICO files
// written field by field, GIF files with a small LZW encoder of our own, JPEG files encoded by libjpeg.
// Nothing here reads a file; the readers under test are the program's own.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace SamplePictures {

// Pixels of a sample, top row first: 0x00RRGGBB for true colour, colour-table indexes otherwise.
struct TSampleImage {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels{};
};

// A deterministic picture with smooth gradients, edges and a little noise, so that it compresses
// like a photograph or a diagram rather than like noise or a flat fill. With colors > 0 the pixels
// are indexes below colors.
TSampleImage MakeScene(int width, int height, int colors = 0, uint32_t seed = 1);

// ---- BMP ----
struct TBMPOptions {
    int BitsPerPixel = 24;              // 1, 4, 8 (pixels are indexes), 16, 24 or 32 (pixels are colours)
    bool TopDown = false;               // negative height, top row stored first
    bool CoreHeader = false;            // the 12-byte header with 3-byte colour-table entries
    bool BitFields = false;             // 16 and 32 bits: masks after the header (5-6-5 for 16 bits)
    std::vector<uint32_t> ColorTable{}; // 0x00RRGGBB, for 8 bits or less
};
std::vector<uint8_t> EncodeBMP(const TSampleImage& image, const TBMPOptions& options = {});

// ---- ICO ----
// One image of an icon: 32-bit pixels with alpha in the top byte (0xAARRGGBB), or indexes into
// ColorTable for 4 or 8 bits. The AND mask is set where alpha is 0 (32 bits) or the index is
// MaskIndex (fewer bits).
struct TIconImage {
    TSampleImage Image{};
    int BitsPerPixel = 32;
    std::vector<uint32_t> ColorTable{};
    int MaskIndex = -1;
};
std::vector<uint8_t> EncodeICO(std::span<const TIconImage> images);

// ---- GIF ----
// Codes for indexes at the given minimum code size (2 to 8): a clear code first, a clear code whenever
// the table fills (or every clearEvery codes when that is not 0), the end code last; packed least
// significant bit first, without sub-block framing.
std::vector<uint8_t> EncodeLZW(std::span<const uint8_t> indexes, int minCodeSize, int clearEvery = 0);

struct TSampleGIFFrameOptions {
    int Left = 0, Top = 0;
    bool Interlaced = false;
    int TransparentIndex = -1;          // >= 0: a graphic control extension naming it
    int DelayCs = 0;                    // with a graphic control extension
    std::vector<uint32_t> LocalTable{}; // 0x00RRGGBB; empty: the global table applies
    int ClearEvery = 0;
};
struct TSampleGIFFrame {
    TSampleImage Image{}; // indexes
    TSampleGIFFrameOptions Options{};
};
struct TGIFOptions {
    std::string_view Version = "89a";
    int ScreenWidth = 0, ScreenHeight = 0; // 0: the first frame's size
    std::vector<uint32_t> GlobalTable{};   // 0x00RRGGBB; padded to a power of two
    int BackgroundIndex = 0;
    std::string_view Comment{}; // a comment extension when not empty
    bool LoopExtension = false; // the application extension of looping animations
};
std::vector<uint8_t> EncodeGIF(std::span<const TSampleGIFFrame> frames, const TGIFOptions& options);

// ---- JPEG ----
struct TJPEGOptions {
    int Quality = 75;
    bool Progressive = false;
    bool Arithmetic = false;
    bool OptimizeCoding = false;
    int RestartInterval = 0; // in MCUs; 0 for none
    bool Subsample = true;   // 2x2 chroma subsampling for colour input, else none
    bool CMYK = false;       // colour input written as Adobe CMYK
};
// Encodes true-colour pixels (or, when grey, the low byte of each pixel as the grey level) with
// libjpeg; the default options are libjpeg's baseline defaults.
std::vector<uint8_t> EncodeJPEG(const TSampleImage& image, bool grey, const TJPEGOptions& options = {});

} // namespace SamplePictures
