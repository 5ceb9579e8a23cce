// Bitmap and icon files written field by field.
#include "content/toolkit/encoders/BitmapWriter.h"

#include "content/toolkit/encoders/LittleEndianBytes.h"

#include <stdexcept>

namespace {

constexpr uint32_t kPixelsPerMetre = 3780; // 96 dots per inch

uint32_t StrideOf(int width, int bitsPerPixel) {
    return static_cast<uint32_t>((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32 * 4);
}

void PutColorTable(LittleEndianBytes& b, const std::vector<uint32_t>& table, size_t entries,
                   bool threeBytes) {
    for (size_t i = 0; i < entries; ++i) {
        uint32_t c = i < table.size() ? table[i] : 0;
        b.U8(c & 0xFF);
        b.U8(c >> 8 & 0xFF);
        b.U8(c >> 16 & 0xFF);
        if (!threeBytes) b.U8(0);
    }
}

// One stored row of pixels at a depth, padded to the stride.
void PutRow(LittleEndianBytes& b, const uint32_t* row, int width, int bitsPerPixel, bool bitFields) {
    const size_t start = b.v.size();
    const uint32_t stride = StrideOf(width, bitsPerPixel);
    b.v.resize(start + stride, 0);
    uint8_t* out = b.v.data() + start;
    for (int x = 0; x < width; ++x) {
        const uint32_t p = row[x];
        switch (bitsPerPixel) {
        case 1:
            out[x >> 3] |= static_cast<uint8_t>((p & 1) << (7 - (x & 7)));
            break;
        case 4:
            out[x >> 1] |= static_cast<uint8_t>((p & 0x0F) << ((x & 1) ? 0 : 4));
            break;
        case 8:
            out[x] = static_cast<uint8_t>(p);
            break;
        case 16: {
            const uint32_t r = p >> 16 & 0xFF, g = p >> 8 & 0xFF, bl = p & 0xFF;
            const uint32_t v = bitFields ? (r >> 3) << 11 | (g >> 2) << 5 | bl >> 3
                                         : (r >> 3) << 10 | (g >> 3) << 5 | bl >> 3;
            out[2 * x] = static_cast<uint8_t>(v);
            out[2 * x + 1] = static_cast<uint8_t>(v >> 8);
            break;
        }
        case 24:
            out[3 * x] = static_cast<uint8_t>(p);
            out[3 * x + 1] = static_cast<uint8_t>(p >> 8);
            out[3 * x + 2] = static_cast<uint8_t>(p >> 16);
            break;
        case 32:
            for (int k = 0; k < 4; ++k)
                out[4 * x + k] = static_cast<uint8_t>(p >> (8 * k));
            break;
        default:
            throw std::invalid_argument("a bitmap has 1, 4, 8, 16, 24 or 32 bits per pixel");
        }
    }
}

} // namespace

std::vector<uint8_t> EncodeBitmap(const PixelImage& image, const BitmapOptions& o) {
    const int bpp = o.BitsPerPixel;
    if (bpp <= 8 && o.ColorTable.size() > (size_t{1} << bpp))
        throw std::invalid_argument("the colour table is longer than the depth allows");
    const bool bitFields = o.BitFields && (bpp == 16 || bpp == 32);
    const size_t tableEntries = bpp <= 8 ? size_t{1} << bpp : 0;
    const uint32_t entrySize = o.CoreHeader ? 3 : 4;
    const uint32_t headerSize = o.CoreHeader ? 12 : 40;
    const uint32_t offset =
        14 + headerSize + (bitFields ? 12 : 0) + static_cast<uint32_t>(tableEntries) * entrySize;
    const uint32_t stride = StrideOf(image.Width, bpp);
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(image.Height);

    LittleEndianBytes b;
    b.v.reserve(offset + pixelBytes);
    b.Str("BM");
    b.U32(offset + pixelBytes);
    b.U32(0);
    b.U32(offset);
    b.U32(headerSize);
    if (o.CoreHeader) {
        b.U16(static_cast<uint32_t>(image.Width));
        b.U16(static_cast<uint32_t>(image.Height));
        b.U16(1);
        b.U16(static_cast<uint32_t>(bpp));
    } else {
        b.U32(static_cast<uint32_t>(image.Width));
        b.U32(static_cast<uint32_t>(o.TopDown ? -image.Height : image.Height));
        b.U16(1);
        b.U16(static_cast<uint32_t>(bpp));
        b.U32(bitFields ? 3 : 0); // BI_BITFIELDS or BI_RGB
        b.U32(pixelBytes);
        b.U32(kPixelsPerMetre);
        b.U32(kPixelsPerMetre);
        b.U32(0);
        b.U32(0);
    }
    if (bitFields) {
        b.U32(bpp == 16 ? 0xF800 : 0x00FF0000);
        b.U32(bpp == 16 ? 0x07E0 : 0x0000FF00);
        b.U32(bpp == 16 ? 0x001F : 0x000000FF);
    }
    PutColorTable(b, o.ColorTable, tableEntries, o.CoreHeader);
    for (int i = 0; i < image.Height; ++i) {
        const int y = o.TopDown && !o.CoreHeader ? i : image.Height - 1 - i;
        PutRow(b, image.Pixels.data() + static_cast<size_t>(y) * image.Width, image.Width, bpp, bitFields);
    }
    return std::move(b.v);
}

std::vector<uint8_t> EncodeIcon(std::span<const IconImage> images) {
    std::vector<std::vector<uint8_t>> bodies;
    for (const IconImage& icon : images) {
        const PixelImage& im = icon.Image;
        const int bpp = icon.BitsPerPixel;
        const size_t tableEntries = bpp <= 8 ? size_t{1} << bpp : 0;
        const uint32_t xorBytes = StrideOf(im.Width, bpp) * static_cast<uint32_t>(im.Height);
        const uint32_t andBytes = StrideOf(im.Width, 1) * static_cast<uint32_t>(im.Height);
        LittleEndianBytes b;
        b.U32(40);
        b.U32(static_cast<uint32_t>(im.Width));
        b.U32(static_cast<uint32_t>(im.Height * 2)); // colour rows and mask rows
        b.U16(1);
        b.U16(static_cast<uint32_t>(bpp));
        b.U32(0);
        b.U32(xorBytes + andBytes);
        b.U32(0);
        b.U32(0);
        b.U32(static_cast<uint32_t>(tableEntries));
        b.U32(0);
        PutColorTable(b, icon.ColorTable, tableEntries, false);
        for (int y = im.Height - 1; y >= 0; --y)
            PutRow(b, im.Pixels.data() + static_cast<size_t>(y) * im.Width, im.Width, bpp, false);
        std::vector<uint32_t> mask(im.Pixels.size());
        for (size_t i = 0; i < mask.size(); ++i)
            mask[i] = !icon.Transparent.empty() ? icon.Transparent.at(i) != 0
                                                : bpp == 32 && (im.Pixels[i] >> 24) == 0;
        for (int y = im.Height - 1; y >= 0; --y)
            PutRow(b, mask.data() + static_cast<size_t>(y) * im.Width, im.Width, 1, false);
        bodies.push_back(std::move(b.v));
    }
    LittleEndianBytes b;
    b.U16(0);
    b.U16(1); // an icon, not a cursor
    b.U16(static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const IconImage& icon = images[i];
        b.U8(icon.Image.Width >= 256 ? 0 : static_cast<uint32_t>(icon.Image.Width));
        b.U8(icon.Image.Height >= 256 ? 0 : static_cast<uint32_t>(icon.Image.Height));
        b.U8(icon.BitsPerPixel < 8 ? 1u << icon.BitsPerPixel : 0);
        b.U8(0);
        b.U16(1);
        b.U16(static_cast<uint32_t>(icon.BitsPerPixel));
        b.U32(static_cast<uint32_t>(bodies[i].size()));
        b.U32(offset);
        offset += static_cast<uint32_t>(bodies[i].size());
    }
    for (const auto& body : bodies)
        b.Raw(body);
    return std::move(b.v);
}
