// Writers of sample picture files: BMP, ICO and GIF written byte by byte, JPEG through libjpeg.
#include "bench/SamplePictures.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include <jpeglib.h>

namespace SamplePictures {

namespace {

struct TBytes {
    std::vector<uint8_t> v;
    void U8(uint32_t x) { v.push_back(static_cast<uint8_t>(x)); }
    void U16(uint32_t x) {
        U8(x & 0xFF);
        U8(x >> 8 & 0xFF);
    }
    void U32(uint32_t x) {
        U16(x & 0xFFFF);
        U16(x >> 16);
    }
    void Str(std::string_view s) { v.insert(v.end(), s.begin(), s.end()); }
};

uint32_t Hash(uint32_t x) {
    x ^= x >> 16;
    x *= 0x7FEB352Du;
    x ^= x >> 15;
    x *= 0x846CA68Bu;
    x ^= x >> 16;
    return x;
}

uint8_t Clamp(double v) {
    return static_cast<uint8_t>(std::clamp(v, 0.0, 255.0));
}

uint32_t StrideOf(int width, int bitsPerPixel) {
    return static_cast<uint32_t>((static_cast<int64_t>(width) * bitsPerPixel + 31) / 32 * 4);
}

// The number of bits a colour-table index of that many entries needs, at least 1.
int IndexBits(size_t entries) {
    int bits = 1;
    while ((size_t{1} << bits) < entries)
        ++bits;
    return bits;
}

void PutColorTable(TBytes& b, const std::vector<uint32_t>& table, size_t entries, bool threeBytes) {
    for (size_t i = 0; i < entries; ++i) {
        uint32_t c = i < table.size() ? table[i] : 0;
        b.U8(c & 0xFF);
        b.U8(c >> 8 & 0xFF);
        b.U8(c >> 16 & 0xFF);
        if (!threeBytes) b.U8(0);
    }
}

// One stored row of pixels at a depth, padded to the stride.
void PutRow(TBytes& b, const uint32_t* row, int width, int bitsPerPixel, bool bitFields) {
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
            throw std::invalid_argument("unsupported depth");
        }
    }
}

// Sub-blocks of at most 255 bytes, then the zero-length terminator.
void PutSubBlocks(TBytes& b, std::span<const uint8_t> data) {
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        b.U8(static_cast<uint32_t>(n));
        b.v.insert(b.v.end(), data.begin() + static_cast<ptrdiff_t>(i),
                   data.begin() + static_cast<ptrdiff_t>(i + n));
    }
    b.U8(0);
}

// A GIF colour table's size field: the table holds 2 << field entries.
int TableSizeField(size_t entries) {
    return std::max(IndexBits(entries), 1) - 1;
}

} // namespace

TSampleImage MakeScene(int width, int height, int colors, uint32_t seed) {
    TSampleImage image{width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height)};
    const double s = seed * 0.7;
    for (int y = 0; y < height; ++y) {
        const double fy = static_cast<double>(y) / height;
        for (int x = 0; x < width; ++x) {
            const double fx = static_cast<double>(x) / width;
            const uint32_t h = Hash(static_cast<uint32_t>(y * width + x) ^ seed * 0x9E3779B9u);
            // Fields of flat colour with soft gradients, a round feature and a light grain.
            const int field = (x / std::max(1, width / 7) + 3 * (y / std::max(1, height / 5))) % 6;
            const double dx = fx - 0.6, dy = fy - 0.4;
            const bool inside = dx * dx + dy * dy < 0.04;
            const double grain = static_cast<int>(h & 7) - 3.5;
            double r = 60 + 30 * field + 80 * std::sin(fx * 5 + s) + grain;
            double g = 90 + 20 * field + 60 * std::cos(fy * 4 - s) + grain;
            double b = inside ? 220 - 100 * fy : 40 + 25 * field + 40 * fx + grain;
            size_t i = static_cast<size_t>(y) * width + x;
            if (colors > 0) {
                const double level =
                    (0.5 + 0.25 * std::sin(fx * 7 + s) + 0.2 * std::cos(fy * 5)) * (colors - 1);
                int index = static_cast<int>(level) + (inside ? colors / 3 : 0) + ((h & 0x30) == 0 ? 1 : 0);
                image.Pixels[i] = static_cast<uint32_t>(std::clamp(index, 0, colors - 1));
            } else {
                image.Pixels[i] =
                    static_cast<uint32_t>(Clamp(r)) << 16 | static_cast<uint32_t>(Clamp(g)) << 8 | Clamp(b);
            }
        }
    }
    return image;
}

std::vector<uint8_t> EncodeBMP(const TSampleImage& image, const TBMPOptions& o) {
    const int bpp = o.BitsPerPixel;
    const bool bitFields = o.BitFields && (bpp == 16 || bpp == 32);
    const size_t tableEntries = bpp <= 8 ? size_t{1} << bpp : 0;
    const uint32_t entrySize = o.CoreHeader ? 3 : 4;
    const uint32_t headerSize = o.CoreHeader ? 12 : 40;
    const uint32_t offset =
        14 + headerSize + (bitFields ? 12 : 0) + static_cast<uint32_t>(tableEntries) * entrySize;
    const uint32_t stride = StrideOf(image.Width, bpp);
    const uint32_t pixelBytes = stride * static_cast<uint32_t>(image.Height);

    TBytes b;
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
        b.U32(bitFields ? 3 : 0);
        b.U32(pixelBytes);
        b.U32(2835); // 72 dots per inch
        b.U32(2835);
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

std::vector<uint8_t> EncodeICO(std::span<const TIconImage> images) {
    std::vector<std::vector<uint8_t>> bodies;
    for (const TIconImage& icon : images) {
        const TSampleImage& im = icon.Image;
        const size_t tableEntries = icon.BitsPerPixel <= 8 ? size_t{1} << icon.BitsPerPixel : 0;
        const uint32_t xorBytes = StrideOf(im.Width, icon.BitsPerPixel) * static_cast<uint32_t>(im.Height);
        const uint32_t andBytes = StrideOf(im.Width, 1) * static_cast<uint32_t>(im.Height);
        TBytes b;
        b.U32(40);
        b.U32(static_cast<uint32_t>(im.Width));
        b.U32(static_cast<uint32_t>(im.Height * 2)); // colour rows and mask rows
        b.U16(1);
        b.U16(static_cast<uint32_t>(icon.BitsPerPixel));
        b.U32(0);
        b.U32(xorBytes + andBytes);
        b.U32(0);
        b.U32(0);
        b.U32(0);
        b.U32(0);
        PutColorTable(b, icon.ColorTable, tableEntries, false);
        for (int y = im.Height - 1; y >= 0; --y)
            PutRow(b, im.Pixels.data() + static_cast<size_t>(y) * im.Width, im.Width, icon.BitsPerPixel,
                   false);
        std::vector<uint32_t> mask(im.Pixels.size());
        for (size_t i = 0; i < mask.size(); ++i) {
            const uint32_t p = im.Pixels[i];
            mask[i] = icon.BitsPerPixel == 32 ? (p >> 24) == 0 : static_cast<int>(p) == icon.MaskIndex;
        }
        for (int y = im.Height - 1; y >= 0; --y)
            PutRow(b, mask.data() + static_cast<size_t>(y) * im.Width, im.Width, 1, false);
        bodies.push_back(std::move(b.v));
    }
    TBytes b;
    b.U16(0);
    b.U16(1);
    b.U16(static_cast<uint32_t>(images.size()));
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        const TIconImage& icon = images[i];
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
        b.v.insert(b.v.end(), body.begin(), body.end());
    return std::move(b.v);
}

std::vector<uint8_t> EncodeLZW(std::span<const uint8_t> indexes, int minCodeSize, int clearEvery) {
    constexpr int kTableSize = 4096;
    const int clear = 1 << minCodeSize, end = clear + 1;
    // The string table as a trie: child[code * 256 + next index] is the code of that extension, or 0.
    std::vector<uint16_t> child(static_cast<size_t>(kTableSize) * 256, 0);
    std::vector<uint8_t> out;
    uint32_t bits = 0;
    int bitCount = 0;
    int nextCode = clear + 2;
    int sinceClear = 0;
    // The decoder reads a code with the narrowest width that can hold the table's next free entry as it
    // stands before this code is read, which is one behind the encoder's.
    auto emit = [&](int code) {
        int width = minCodeSize + 1;
        while (width < 12 && (1 << width) < nextCode)
            ++width;
        bits |= static_cast<uint32_t>(code) << bitCount;
        bitCount += width;
        while (bitCount >= 8) {
            out.push_back(static_cast<uint8_t>(bits));
            bits >>= 8;
            bitCount -= 8;
        }
    };
    auto reset = [&] {
        std::fill(child.begin(), child.end(), 0);
        nextCode = clear + 2;
        sinceClear = 0;
    };
    emit(clear);
    if (!indexes.empty()) {
        int current = indexes[0];
        for (size_t i = 1; i < indexes.size(); ++i) {
            const uint8_t next = indexes[i];
            const size_t slot = static_cast<size_t>(current) * 256 + next;
            if (child[slot] != 0) {
                current = child[slot];
                continue;
            }
            emit(current);
            ++sinceClear;
            if (nextCode < kTableSize) child[slot] = static_cast<uint16_t>(nextCode++);
            if (nextCode == kTableSize || (clearEvery > 0 && sinceClear >= clearEvery)) {
                emit(clear);
                reset();
            }
            current = next;
        }
        emit(current);
    }
    emit(end);
    if (bitCount > 0) out.push_back(static_cast<uint8_t>(bits));
    return out;
}

std::vector<uint8_t> EncodeGIF(std::span<const TSampleGIFFrame> frames, const TGIFOptions& o) {
    TBytes b;
    b.Str("GIF");
    b.Str(o.Version);
    const int screenWidth = o.ScreenWidth ? o.ScreenWidth : frames.empty() ? 0 : frames[0].Image.Width;
    const int screenHeight = o.ScreenHeight ? o.ScreenHeight : frames.empty() ? 0 : frames[0].Image.Height;
    b.U16(static_cast<uint32_t>(screenWidth));
    b.U16(static_cast<uint32_t>(screenHeight));
    const int globalField = TableSizeField(o.GlobalTable.size());
    b.U8(o.GlobalTable.empty() ? 0x70 : 0x80 | 0x70 | globalField);
    b.U8(static_cast<uint32_t>(o.BackgroundIndex));
    b.U8(0);
    auto putTable = [&](const std::vector<uint32_t>& table, int field) {
        for (size_t i = 0; i < (size_t{2} << field); ++i) {
            const uint32_t c = i < table.size() ? table[i] : 0;
            b.U8(c >> 16 & 0xFF);
            b.U8(c >> 8 & 0xFF);
            b.U8(c & 0xFF);
        }
    };
    if (!o.GlobalTable.empty()) putTable(o.GlobalTable, globalField);
    if (o.LoopExtension) {
        b.U8(0x21);
        b.U8(0xFF);
        b.U8(11);
        b.Str("NETSCAPE2.0");
        const uint8_t loop[] = {1, 0, 0};
        PutSubBlocks(b, loop);
    }
    if (!o.Comment.empty()) {
        b.U8(0x21);
        b.U8(0xFE);
        PutSubBlocks(b, {reinterpret_cast<const uint8_t*>(o.Comment.data()), o.Comment.size()});
    }
    for (const TSampleGIFFrame& f : frames) {
        const TSampleGIFFrameOptions& fo = f.Options;
        if (fo.TransparentIndex >= 0 || fo.DelayCs > 0) {
            b.U8(0x21);
            b.U8(0xF9);
            b.U8(4);
            b.U8(fo.TransparentIndex >= 0 ? 1 : 0);
            b.U16(static_cast<uint32_t>(fo.DelayCs));
            b.U8(static_cast<uint32_t>(std::max(fo.TransparentIndex, 0)));
            b.U8(0);
        }
        b.U8(0x2C);
        b.U16(static_cast<uint32_t>(fo.Left));
        b.U16(static_cast<uint32_t>(fo.Top));
        b.U16(static_cast<uint32_t>(f.Image.Width));
        b.U16(static_cast<uint32_t>(f.Image.Height));
        const int localField = TableSizeField(fo.LocalTable.size());
        b.U8((fo.LocalTable.empty() ? 0 : 0x80 | localField) | (fo.Interlaced ? 0x40 : 0));
        if (!fo.LocalTable.empty()) putTable(fo.LocalTable, localField);
        const size_t entries = fo.LocalTable.empty() ? o.GlobalTable.size() : fo.LocalTable.size();
        const int minCodeSize = std::max(2, IndexBits(entries));
        // Rows go in the order the decoder places them: for interlacing, four passes.
        std::vector<uint8_t> indexes;
        indexes.reserve(f.Image.Pixels.size());
        auto putRow = [&](int y) {
            for (int x = 0; x < f.Image.Width; ++x)
                indexes.push_back(
                    static_cast<uint8_t>(f.Image.Pixels[static_cast<size_t>(y) * f.Image.Width + x]));
        };
        if (fo.Interlaced) {
            static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = kStart[pass]; y < f.Image.Height; y += kStep[pass])
                    putRow(y);
        } else {
            for (int y = 0; y < f.Image.Height; ++y)
                putRow(y);
        }
        b.U8(static_cast<uint32_t>(minCodeSize));
        PutSubBlocks(b, EncodeLZW(indexes, minCodeSize, fo.ClearEvery));
    }
    b.U8(0x3B);
    return std::move(b.v);
}

std::vector<uint8_t> EncodeJPEG(const TSampleImage& image, bool grey, const TJPEGOptions& o) {
    jpeg_compress_struct c{};
    jpeg_error_mgr error{};
    c.err = jpeg_std_error(&error); // a failure here is a bug in the caller: the library exits
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(image.Width);
    c.image_height = static_cast<JDIMENSION>(image.Height);
    c.input_components = grey ? 1 : o.CMYK ? 4 : 3;
    c.in_color_space = grey ? JCS_GRAYSCALE : o.CMYK ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, o.Quality, TRUE);
    if (!grey && !o.Subsample)
        for (int i = 0; i < c.num_components; ++i)
            c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    if (o.Progressive) jpeg_simple_progression(&c);
    c.arith_code = o.Arithmetic ? TRUE : FALSE;
    c.optimize_coding = o.OptimizeCoding ? TRUE : FALSE;
    c.restart_interval = static_cast<unsigned>(o.RestartInterval);
    jpeg_start_compress(&c, TRUE);
    std::vector<JSAMPLE> row(static_cast<size_t>(image.Width) * c.input_components);
    while (c.next_scanline < c.image_height) {
        const uint32_t* src = image.Pixels.data() + static_cast<size_t>(c.next_scanline) * image.Width;
        for (int x = 0; x < image.Width; ++x) {
            const uint32_t p = src[x];
            if (grey) {
                row[x] = static_cast<JSAMPLE>(p & 0xFF);
            } else if (o.CMYK) {
                // Adobe's inverted CMYK, as the decoder reads it: 255 is no ink, so the colour passes as is.
                row[4 * x] = static_cast<JSAMPLE>(p >> 16);
                row[4 * x + 1] = static_cast<JSAMPLE>(p >> 8);
                row[4 * x + 2] = static_cast<JSAMPLE>(p);
                row[4 * x + 3] = 255;
            } else {
                row[3 * x] = static_cast<JSAMPLE>(p >> 16);
                row[3 * x + 1] = static_cast<JSAMPLE>(p >> 8);
                row[3 * x + 2] = static_cast<JSAMPLE>(p);
            }
        }
        JSAMPROW rows[] = {row.data()};
        jpeg_write_scanlines(&c, rows, 1);
    }
    jpeg_finish_compress(&c);
    std::vector<uint8_t> out(buffer, buffer + size);
    jpeg_destroy_compress(&c);
    std::free(buffer);
    return out;
}

} // namespace SamplePictures
