// Bitmap pictures: a device-independent bitmap held in memory, read from a BMP file (behind a 4-byte
// length in stored picture data) or built by the other kinds as the target of their decoding.
//
// The pixels are kept as the file stores them: rows padded to 4 bytes, the bottom row first unless the
// height is negative (top-down), 1, 4, 8, 16, 24 or 32 bits per pixel, colour-table indexes for 8 bits
// or less. ToBGRA() converts any of them to 32-bit pixels, top row first.
#pragma once

#include "graphics/PixelMemory.h"
#include "graphics/TGraphic.h"
#include "stream/Colors.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

// A colour-table entry in file order.
struct TRGBQuad {
    uint8_t Blue = 0, Green = 0, Red = 0, Reserved = 0;
    bool operator==(const TRGBQuad&) const = default;
};

// The 40-byte description of a bitmap. Wider headers in a file contribute only these fields (and, for
// bit fields, their colour masks).
struct TBitmapInfoHeader {
    uint32_t Size = 0;
    int32_t Width = 0;
    int32_t Height = 0; // negative: top-down rows
    uint16_t Planes = 0;
    uint16_t BitCount = 0;
    uint32_t Compression = 0;
    uint32_t SizeImage = 0;
    int32_t XPelsPerMeter = 0;
    int32_t YPelsPerMeter = 0;
    uint32_t ClrUsed = 0;
    uint32_t ClrImportant = 0;
};

inline constexpr uint32_t BI_RGB = 0;
inline constexpr uint32_t BI_RLE8 = 1;
inline constexpr uint32_t BI_RLE4 = 2;
inline constexpr uint32_t BI_BITFIELDS = 3;

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
// afIgnored: the fourth byte of a 32-bit pixel means nothing and pixels are opaque. afDefined: it is
// the pixel's alpha, not premultiplied.
enum TAlphaFormat { afIgnored, afDefined };

class TBitmap : public TGraphic {
    ORV_CLASS(TBitmap)
public:
    // No bitmap holds more pixel memory than this; a larger one is not valid.
    static constexpr size_t kMaxPixelBytes = size_t{256} << 20;

    bool Empty() const override { return FImage.Header.Width == 0; }
    int Width() const override { return FImage.Header.Width; }
    int Height() const override;
    std::vector<TPaletteEntry> Palette() override;
    // The 4-byte length L, then a BMP file of L bytes.
    void ReadData(TStream& stream) override;
    // A BMP file running to the end of the stream.
    void LoadFromStream(TStream& stream) override;
    const TBitmap* DecodedBitmap() override { return this; }
    // Every pixel of the transparent colour; built when first asked for after a change and kept.
    TTransparencyMask TransparencyMask() override;
    // The colour a transparent bitmap leaves out: that of its bottom-left pixel (clNone when empty).
    TColor TransparentColor() const;

    const TBitmapInfoHeader& InfoHeader() const { return FImage.Header; }
    int BitsPerPixel() const { return FImage.Header.BitCount; }
    TPixelFormat PixelFormat() const;
    bool TopDown() const { return FImage.Header.Height < 0; }
    bool OS2Format() const { return FImage.OS2Format; }
    // Bytes per stored row, a multiple of 4.
    int Stride() const { return static_cast<int>(StrideOf(FImage.Header.Width, FImage.Header.BitCount)); }
    // The colour table pixels of 8 bits or less go through; an index beyond it is black.
    const std::vector<TRGBQuad>& ColorTable() const { return FImage.ColorTable; }
    // Red, green and blue masks of a 16- or 32-bit pixel (the defaults unless the file gave bit fields).
    const std::array<uint32_t, 3>& ColorMasks() const { return FImage.Masks; }
    TAlphaFormat AlphaFormat() const { return FAlphaFormat; }
    void SetAlphaFormat(TAlphaFormat v) { FAlphaFormat = v; }

    // The rows in stored order. Read from a definition held in lasting memory, complete rows stay
    // where they are stored; the writable forms first copy them into the bitmap's own memory.
    std::span<const uint8_t> Bits() const { return {FImage.Bits.data(), FImage.Bits.size()}; }
    std::span<uint8_t> Bits() { return {FImage.Bits.data(), FImage.Bits.size()}; }
    bool BitsInPlace() const { return FImage.Bits.InPlace(); }
    // Row y counted from the top, whichever order the rows are stored in.
    const uint8_t* ScanLine(int y) const;
    uint8_t* ScanLine(int y);
    // Every pixel as 0xAARRGGBB, top row first, Width() x Height() of them.
    std::vector<uint32_t> ToBGRA() const;

    // Makes a bottom-up bitmap of the given size and depth (1, 4, 8, 16, 24 or 32 bits) with all pixel
    // bytes zero; 0 by 0 makes it empty. Raises "Bitmap image is not valid" for any other size or depth.
    void SetSize(int width, int height, int bitsPerPixel);
    // Replaces the colour table (at most 256 entries).
    void SetColorTable(std::vector<TRGBQuad> table);

    // Bytes per row of a bitmap of that width and depth, in 64 bits so that no header overflows it.
    static int64_t StrideOf(int64_t width, int bitsPerPixel);

private:
    struct TBitmapImage {
        TBitmapInfoHeader Header;
        std::vector<TRGBQuad> ColorTable;
        std::array<uint32_t, 3> Masks{};
        TPixelMemory Bits;
        bool OS2Format = false;
    };
    void ReadDIB(TStream& stream, uint32_t length);
    // Pixel x of a row in stored form, as 0xAARRGGBB.
    uint32_t PixelOf(const uint8_t* row, int x) const;

    TBitmapImage FImage;
    std::vector<uint8_t> FMask;
    uint64_t FMaskStamp = 0;
    TAlphaFormat FAlphaFormat = afIgnored;
};
