// Bitmap reading (BMP files with core, info and wider headers, colour tables and bit fields), bitmaps
// built in memory, and the conversion of every depth to 32-bit pixels.
#include "graphics/TBitmap.h"

#include "graphics/GraphicsConsts.h"
#include "graphics/StreamReads.h"
#include "stream/ByteOrder.h"
#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>
#include <utility>

const TClassInfo TBitmap::ClassInfo{"TBitmap", &TGraphic::ClassInfo};

namespace {

[[noreturn]] void InvalidBitmap() {
    throw EInvalidGraphic(std::string(SGraphics::SInvalidBitmap));
}

int32_t I32(const uint8_t* p) {
    return static_cast<int32_t>(U32LE(p));
}

// The fields of a 40-byte info header, from its byte 4 on (the size is already read).
void ParseInfoHeader(const uint8_t* p, TBitmapInfoHeader& h) {
    h.Width = I32(p);
    h.Height = I32(p + 4);
    h.Planes = U16LE(p + 8);
    h.BitCount = U16LE(p + 10);
    h.Compression = U32LE(p + 12);
    h.SizeImage = U32LE(p + 16);
    h.XPelsPerMeter = I32(p + 20);
    h.YPelsPerMeter = I32(p + 24);
    h.ClrUsed = U32LE(p + 28);
    h.ClrImportant = U32LE(p + 32);
}

std::array<uint32_t, 3> DefaultMasks(int bitsPerPixel) {
    if (bitsPerPixel == 16) return {0x7C00, 0x03E0, 0x001F};
    if (bitsPerPixel == 32) return {0x00FF0000, 0x0000FF00, 0x000000FF};
    return {0, 0, 0};
}

bool SupportedDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32:
        return true;
    default:
        return false;
    }
}

// One channel of a bit-field pixel scaled to 0..255: wider fields keep their top 8 bits, narrower ones
// are scaled with rounding so that a full field gives 255.
uint8_t Channel(uint32_t pixel, uint32_t mask) {
    if (mask == 0) return 0;
    int shift = std::countr_zero(mask);
    uint32_t field = mask >> shift;
    int width = std::bit_width(field);
    uint32_t value = (pixel & mask) >> shift;
    if (width >= 8) return static_cast<uint8_t>(value >> (width - 8));
    uint32_t max = (1u << width) - 1;
    return static_cast<uint8_t>((value * 255 + max / 2) / max);
}

uint32_t Bgra(uint8_t r, uint8_t g, uint8_t b, uint8_t a = 0xFF) {
    return static_cast<uint32_t>(a) << 24 | static_cast<uint32_t>(r) << 16 | static_cast<uint32_t>(g) << 8 |
           b;
}

} // namespace

int64_t TBitmap::StrideOf(int64_t width, int bitsPerPixel) {
    int64_t bits = width * bitsPerPixel;
    return ((bits + 31) & ~int64_t{31}) / 8;
}

int TBitmap::Height() const {
    return std::abs(FImage.Header.Height);
}

TPixelFormat TBitmap::PixelFormat() const {
    const TBitmapInfoHeader& h = FImage.Header;
    switch (h.BitCount) {
    case 1:
        return pf1bit;
    case 4:
        return pf4bit;
    case 8:
        return pf8bit;
    case 16:
        if (FImage.Masks == std::array<uint32_t, 3>{0x7C00, 0x03E0, 0x001F}) return pf15bit;
        if (FImage.Masks == std::array<uint32_t, 3>{0xF800, 0x07E0, 0x001F}) return pf16bit;
        return pfCustom;
    case 24:
        return pf24bit;
    case 32:
        return FImage.Masks == DefaultMasks(32) ? pf32bit : pfCustom;
    default:
        return pfDevice;
    }
}

std::vector<TPaletteEntry> TBitmap::Palette() {
    // Only tables of bitmaps up to 16 bits per pixel become a palette. A true-colour bitmap needs none
    // on a display of more than 8 bits per pixel, the only kind this program supports.
    std::vector<TPaletteEntry> palette;
    if (FImage.Header.BitCount > 16) return palette;
    size_t n = std::min<size_t>(FImage.ColorTable.size(), 256);
    for (size_t i = 0; i < n; ++i) {
        const TRGBQuad& q = FImage.ColorTable[i];
        palette.push_back({q.Red, q.Green, q.Blue, 0});
    }
    return palette;
}

void TBitmap::ReadData(TStream& stream) {
    ReadDIB(stream, ReadLength(stream));
}

void TBitmap::LoadFromStream(TStream& stream) {
    uint64_t rest = BytesRemaining(stream);
    ReadDIB(stream, static_cast<uint32_t>(std::min<uint64_t>(rest, std::numeric_limits<uint32_t>::max())));
}

void TBitmap::ReadDIB(TStream& stream, uint32_t length) {
    if (length == 0) {
        FImage = TBitmapImage{};
        RenewChangeStamp();
        return;
    }
    uint8_t fileHeader[14];
    ReadExact(stream, fileHeader, sizeof fileHeader);
    if (U16LE(fileHeader) != 0x4D42) InvalidBitmap();
    // What the length field says is left; the pixels are cut to it. It may run negative for a header
    // that claims more than the length allows, which leaves no pixel bytes at all.
    int64_t remaining = static_cast<int64_t>(length) - 14;

    TBitmapImage image;
    TBitmapInfoHeader& h = image.Header;
    uint8_t sizeBytes[4];
    ReadExact(stream, sizeBytes, 4);
    uint32_t headerSize = U32LE(sizeBytes);
    std::vector<uint8_t> header;
    if (headerSize == 12) {
        uint8_t core[8];
        ReadExact(stream, core, sizeof core);
        h.Width = U16LE(core);
        h.Height = U16LE(core + 2);
        h.Planes = U16LE(core + 4);
        h.BitCount = U16LE(core + 6);
        image.OS2Format = true;
        remaining -= 12;
    } else {
        // Header sizes between the core header and the info header leave the fields undefined.
        if (headerSize < 40) InvalidBitmap();
        // The whole header is read, but nothing is allocated for more than the stream holds.
        if (headerSize - 4 > BytesRemaining(stream)) throw EReadError(std::string(SConsts::SReadError));
        header.resize(headerSize - 4);
        ReadExact(stream, header.data(), header.size());
        ParseInfoHeader(header.data(), h);
        remaining -= headerSize;
    }
    h.Size = 40;
    const bool bitFields = h.Compression == BI_BITFIELDS;
    const bool compressed = h.Compression != BI_RGB && !bitFields;
    if (h.Planes != 1) InvalidBitmap();

    image.Masks = DefaultMasks(h.BitCount);
    bool masksKnown = !bitFields;
    if (bitFields && headerSize == 40 && (h.BitCount == 16 || h.BitCount == 32)) {
        uint8_t masks[12];
        ReadExact(stream, masks, sizeof masks);
        image.Masks = {U32LE(masks), U32LE(masks + 4), U32LE(masks + 8)};
        masksKnown = true;
        remaining -= 12;
    } else if (bitFields && headerSize >= 52) {
        // Version 2 and later headers carry the masks themselves, right after the 40-byte part.
        image.Masks = {U32LE(header.data() + 36), U32LE(header.data() + 40), U32LE(header.data() + 44)};
        masksKnown = true;
    }

    uint64_t entries = h.ClrUsed;
    if (entries == 0) entries = h.BitCount == 1 ? 2 : h.BitCount == 4 ? 16 : h.BitCount == 8 ? 256 : 0;
    const uint64_t entrySize = image.OS2Format ? 3 : 4;
    if (entries * entrySize > 1024) InvalidBitmap();
    std::vector<uint8_t> table(static_cast<size_t>(entries * entrySize));
    ReadExact(stream, table.data(), table.size());
    remaining -= static_cast<int64_t>(table.size());
    for (size_t i = 0; i < entries; ++i) {
        const uint8_t* e = table.data() + i * entrySize;
        image.ColorTable.push_back({e[0], e[1], e[2], 0});
    }
    // A bitmap of 8 bits or less keeps only the entries its indexes can reach.
    if (h.BitCount <= 8 && image.ColorTable.size() > (size_t{1} << h.BitCount))
        image.ColorTable.resize(size_t{1} << h.BitCount);

    // The pixel memory the bitmap needs, in 64-bit arithmetic so no header can overflow it.
    const int64_t height = std::abs(static_cast<int64_t>(h.Height));
    const int64_t stride = StrideOf(std::max(h.Width, 0), h.BitCount);
    // An absurd depth or size would overflow even 64 bits; no such bitmap is valid.
    if (stride > 0 && height > INT64_MAX / stride) InvalidBitmap();
    const int64_t dibBytes = stride * height;
    int64_t imageSize = (h.SizeImage == 0 || h.Compression == BI_RGB) ? dibBytes : int64_t{h.SizeImage};
    // Pixels beyond the bitmap's memory are never read, whatever the image-size field claims.
    int64_t pixelBytes = std::max<int64_t>(0, std::min({remaining, imageSize, dibBytes}));

    if (compressed) {
        // Run-length and embedded encodings have no decoder here.
        if (static_cast<uint64_t>(std::max<int64_t>(0, std::min(remaining, imageSize))) >
            BytesRemaining(stream))
            throw EReadError(std::string(SConsts::SReadError));
        InvalidBitmap();
    }
    if (h.Width <= 0 || height == 0 || height > std::numeric_limits<int32_t>::max() ||
        !SupportedDepth(h.BitCount) || (bitFields && (h.BitCount != 16 && h.BitCount != 32)) || !masksKnown ||
        dibBytes > static_cast<int64_t>(kMaxPixelBytes))
        InvalidBitmap();
    if (static_cast<uint64_t>(pixelBytes) > BytesRemaining(stream))
        throw EReadError(std::string(SConsts::SReadError));

    // Complete rows in bytes that outlive the bitmap are drawn where they are stored; short rows are
    // copied into zeroed memory so that the missing ones read as zero.
    std::optional<TByteView> stored;
    if (pixelBytes == dibBytes)
        if (auto* memory = dynamic_cast<TCustomMemoryStream*>(&stream))
            stored = memory->ReadInPlace(static_cast<uint64_t>(pixelBytes));
    if (stored) {
        image.Bits = TPixelMemory(std::move(*stored));
    } else {
        image.Bits = TPixelMemory(static_cast<size_t>(dibBytes));
        ReadExact(stream, image.Bits.data(), static_cast<uint64_t>(pixelBytes));
    }
    h.SizeImage = static_cast<uint32_t>(dibBytes);

    FImage = std::move(image);
    SetPaletteModified(!Palette().empty());
    Changed();
}

const uint8_t* TBitmap::ScanLine(int y) const {
    int height = Height();
    if (y < 0 || y >= height) return nullptr;
    int row = TopDown() ? y : height - 1 - y;
    return FImage.Bits.data() + static_cast<size_t>(row) * static_cast<size_t>(Stride());
}

uint8_t* TBitmap::ScanLine(int y) {
    if (y < 0 || y >= Height()) return nullptr;
    // Rows handed out for writing are the bitmap's own, never the stored ones.
    uint8_t* bits = FImage.Bits.data();
    int row = TopDown() ? y : Height() - 1 - y;
    return bits + static_cast<size_t>(row) * static_cast<size_t>(Stride());
}

uint32_t TBitmap::PixelOf(const uint8_t* row, int x) const {
    const std::vector<TRGBQuad>& table = FImage.ColorTable;
    auto indexed = [&](unsigned index) {
        if (index >= table.size()) return Bgra(0, 0, 0);
        const TRGBQuad& q = table[index];
        return Bgra(q.Red, q.Green, q.Blue);
    };
    const auto& masks = FImage.Masks;
    switch (BitsPerPixel()) {
    case 1:
        return indexed(row[x >> 3] >> (7 - (x & 7)) & 1);
    case 4:
        return indexed((x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4);
    case 8:
        return indexed(row[x]);
    case 16: {
        uint32_t v = U16LE(row + 2 * x);
        return Bgra(Channel(v, masks[0]), Channel(v, masks[1]), Channel(v, masks[2]));
    }
    case 24:
        return Bgra(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    case 32: {
        uint32_t v = U32LE(row + 4 * x);
        const uint32_t alphaMask = ~(masks[0] | masks[1] | masks[2]);
        uint8_t alpha = FAlphaFormat == afDefined ? Channel(v, alphaMask & 0xFF000000u) : 0xFF;
        return Bgra(Channel(v, masks[0]), Channel(v, masks[1]), Channel(v, masks[2]), alpha);
    }
    default:
        return 0;
    }
}

std::vector<uint32_t> TBitmap::ToBGRA() const {
    const int width = Width(), height = Height();
    std::vector<uint32_t> out(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const uint8_t* row = ScanLine(y);
        uint32_t* dst = out.data() + static_cast<size_t>(y) * static_cast<size_t>(width);
        for (int x = 0; x < width; ++x)
            dst[x] = PixelOf(row, x);
    }
    return out;
}

TColor TBitmap::TransparentColor() const {
    if (Empty() || Height() == 0) return clNone;
    uint32_t argb = PixelOf(ScanLine(Height() - 1), 0);
    return static_cast<TColor>((argb >> 16 & 0xFF) | (argb & 0xFF00) | (argb & 0xFF) << 16);
}

TTransparencyMask TBitmap::TransparencyMask() {
    const int width = Width(), height = Height(), stride = (width + 15) / 16 * 2;
    if (Empty() || height == 0) return {};
    if (FMaskStamp != ChangeStamp()) {
        FMask.assign(static_cast<size_t>(stride) * static_cast<size_t>(height), 0);
        const uint32_t key = PixelOf(ScanLine(height - 1), 0) & 0xFFFFFF;
        bool any = false;
        for (int y = 0; y < height; ++y) {
            const uint8_t* row = ScanLine(y);
            uint8_t* bits = FMask.data() + static_cast<size_t>(y) * static_cast<size_t>(stride);
            for (int x = 0; x < width; ++x)
                if ((PixelOf(row, x) & 0xFFFFFF) == key) {
                    bits[x >> 3] |= static_cast<uint8_t>(0x80 >> (x & 7));
                    any = true;
                }
        }
        if (!any) FMask.clear();
        FMaskStamp = ChangeStamp();
    }
    return {{FMask.data(), FMask.size()}, stride};
}

void TBitmap::SetSize(int width, int height, int bitsPerPixel) {
    TBitmapImage image;
    if (width != 0 || height != 0) {
        if (width <= 0 || height <= 0 || !SupportedDepth(bitsPerPixel)) InvalidBitmap();
        int64_t bytes = StrideOf(width, bitsPerPixel) * height;
        if (bytes > static_cast<int64_t>(kMaxPixelBytes)) InvalidBitmap();
        TBitmapInfoHeader& h = image.Header;
        h.Size = 40;
        h.Width = width;
        h.Height = height;
        h.Planes = 1;
        h.BitCount = static_cast<uint16_t>(bitsPerPixel);
        h.SizeImage = static_cast<uint32_t>(bytes);
        image.Masks = DefaultMasks(bitsPerPixel);
        image.Bits = TPixelMemory(static_cast<size_t>(bytes));
    }
    FImage = std::move(image);
    Changed();
}

void TBitmap::SetColorTable(std::vector<TRGBQuad> table) {
    if (table.size() > 256) table.resize(256);
    FImage.ColorTable = std::move(table);
    FImage.Header.ClrUsed = static_cast<uint32_t>(FImage.ColorTable.size());
    SetPaletteModified(true);
    Changed();
}
