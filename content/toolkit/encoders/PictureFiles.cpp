// Picture file encoders. Everything here is deterministic: the same pixels give the same bytes.
#include "content/toolkit/encoders/PictureFiles.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <jpeglib.h>
#include <stdexcept>

namespace {

void Put16(Bytes& out, unsigned v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
void Put32(Bytes& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void Put16BE(Bytes& out, unsigned v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}
void Put32BE(Bytes& out, uint32_t v) {
    Put16BE(out, v >> 16);
    Put16BE(out, v & 0xFFFF);
}

// File header and 40-byte information header of an uncompressed bottom-up bitmap.
Bytes BitmapHeaders(int width, int height, int bits, int rowBytes, int paletteEntries) {
    uint32_t offBits = 14 + 40 + 4 * uint32_t(paletteEntries);
    uint32_t imageSize = uint32_t(rowBytes) * uint32_t(height);
    Bytes out;
    out.reserve(offBits + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offBits + imageSize);
    Put32(out, 0);
    Put32(out, offBits);
    Put32(out, 40);
    Put32(out, uint32_t(width));
    Put32(out, uint32_t(height));
    Put16(out, 1);
    Put16(out, unsigned(bits));
    Put32(out, 0); // BI_RGB
    Put32(out, imageSize);
    Put32(out, 3780); // 96 dots per inch
    Put32(out, 3780);
    Put32(out, 0);
    Put32(out, 0);
    return out;
}

} // namespace

Bytes EncodeBitmap24(const QImage& image) {
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int w = rgb.width(), h = rgb.height();
    int rowBytes = (w * 3 + 3) & ~3;
    Bytes out = BitmapHeaders(w, h, 24, rowBytes, 0);
    for (int y = h - 1; y >= 0; --y) {
        auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            out.push_back(uint8_t(qBlue(line[x])));
            out.push_back(uint8_t(qGreen(line[x])));
            out.push_back(uint8_t(qRed(line[x])));
        }
        out.resize(out.size() + size_t(rowBytes - w * 3), 0);
    }
    return out;
}

Bytes EncodeBitmap8(const IndexedImage& image) {
    if (image.Palette.size() > 256) throw std::invalid_argument("an 8-bit bitmap holds at most 256 colours");
    int rowBytes = (image.Width + 3) & ~3;
    Bytes out = BitmapHeaders(image.Width, image.Height, 8, rowBytes, 256);
    for (int i = 0; i < 256; ++i) {
        QRgb c = i < int(image.Palette.size()) ? image.Palette[size_t(i)] : qRgb(0, 0, 0);
        out.push_back(uint8_t(qBlue(c)));
        out.push_back(uint8_t(qGreen(c)));
        out.push_back(uint8_t(qRed(c)));
        out.push_back(0);
    }
    for (int y = image.Height - 1; y >= 0; --y) {
        const uint8_t* row = image.Pixels.data() + size_t(y) * size_t(image.Width);
        out.insert(out.end(), row, row + image.Width);
        out.resize(out.size() + size_t(rowBytes - image.Width), 0);
    }
    return out;
}

IndexedImage GreyIndexed(const QImage& image) {
    QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
    IndexedImage out{grey.width(), grey.height(), {}, {}};
    out.Pixels.resize(size_t(out.Width) * size_t(out.Height));
    for (int y = 0; y < out.Height; ++y)
        std::memcpy(out.Pixels.data() + size_t(y) * size_t(out.Width), grey.constScanLine(y),
                    size_t(out.Width));
    for (int i = 0; i < 256; ++i)
        out.Palette.push_back(qRgb(i, i, i));
    return out;
}

namespace {

// A box of the median cut: a range of the sorted colour list.
struct Box {
    size_t Begin, End;
    uint64_t Weight;
};

struct Bin {
    uint32_t Key; // 5 bits per channel
    uint64_t Count;
    uint64_t R, G, B;
};

int Channel(uint32_t key, int c) {
    return int((key >> (10 - 5 * c)) & 31);
}

} // namespace

IndexedImage Quantize(const QImage& image, int colours) {
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    int w = rgb.width(), h = rgb.height();
    std::vector<Bin> bins(32768);
    for (uint32_t k = 0; k < bins.size(); ++k)
        bins[k] = {k, 0, 0, 0, 0};
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            QRgb c = line[x];
            uint32_t key = uint32_t((qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3));
            Bin& b = bins[key];
            ++b.Count;
            b.R += uint64_t(qRed(c));
            b.G += uint64_t(qGreen(c));
            b.B += uint64_t(qBlue(c));
        }
    }
    std::vector<Bin> used;
    for (const Bin& b : bins)
        if (b.Count) used.push_back(b);

    std::vector<Box> boxes{{0, used.size(), uint64_t(w) * uint64_t(h)}};
    while (int(boxes.size()) < colours) {
        // Split the box with the largest weighted range along its widest channel at the weighted median.
        int best = -1, bestChannel = 0;
        uint64_t bestScore = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            const Box& b = boxes[i];
            if (b.End - b.Begin < 2) continue;
            for (int c = 0; c < 3; ++c) {
                int lo = 31, hi = 0;
                for (size_t j = b.Begin; j < b.End; ++j) {
                    lo = std::min(lo, Channel(used[j].Key, c));
                    hi = std::max(hi, Channel(used[j].Key, c));
                }
                uint64_t score = uint64_t(hi - lo) * (b.Weight + 1);
                if (hi > lo && score > bestScore) {
                    bestScore = score;
                    best = int(i);
                    bestChannel = c;
                }
            }
        }
        if (best < 0) break;
        Box b = boxes[size_t(best)];
        std::stable_sort(used.begin() + long(b.Begin), used.begin() + long(b.End),
                         [&](const Bin& p, const Bin& q) {
                             return Channel(p.Key, bestChannel) < Channel(q.Key, bestChannel);
                         });
        uint64_t half = b.Weight / 2, sum = 0;
        size_t split = b.Begin;
        while (split < b.End - 1 && sum + used[split].Count <= half)
            sum += used[split++].Count;
        if (split == b.Begin) sum += used[split++].Count;
        boxes[size_t(best)] = {b.Begin, split, sum};
        boxes.push_back({split, b.End, b.Weight - sum});
    }

    IndexedImage out{w, h, {}, {}};
    std::vector<int> binIndex(32768, -1);
    for (const Box& b : boxes) {
        uint64_t n = 0, r = 0, g = 0, bl = 0;
        for (size_t j = b.Begin; j < b.End; ++j) {
            n += used[j].Count;
            r += used[j].R;
            g += used[j].G;
            bl += used[j].B;
        }
        if (n == 0) continue;
        out.Palette.push_back(qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((bl + n / 2) / n)));
    }
    // Each bin maps to its nearest palette colour, measured from the bin's mean.
    for (const Bin& b : used) {
        int mr = int(b.R / b.Count), mg = int(b.G / b.Count), mb = int(b.B / b.Count);
        int best = 0, bestD = INT32_MAX;
        for (size_t i = 0; i < out.Palette.size(); ++i) {
            QRgb p = out.Palette[i];
            int dr = qRed(p) - mr, dg = qGreen(p) - mg, db = qBlue(p) - mb;
            int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
            if (d < bestD) {
                bestD = d;
                best = int(i);
            }
        }
        binIndex[b.Key] = best;
    }
    out.Pixels.resize(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            QRgb c = line[x];
            uint32_t key = uint32_t((qRed(c) >> 3) << 10 | (qGreen(c) >> 3) << 5 | (qBlue(c) >> 3));
            out.Pixels[size_t(y) * size_t(w) + size_t(x)] = uint8_t(binIndex[key]);
        }
    }
    return out;
}

namespace {

[[noreturn]] void JpegFail(j_common_ptr info) {
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    // The encoder only ever sees pictures computed here; a failure is a defect of the generator.
    std::fprintf(stderr, "JPEG encoder: %s\n", message);
    std::abort();
}

} // namespace

Bytes EncodeJpeg(const QImage& image, const JpegOptions& options) {
    QImage src = options.Grey ? image.convertToFormat(QImage::Format_Grayscale8)
                              : image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    err.error_exit = JpegFail;
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(src.width());
    info.image_height = JDIMENSION(src.height());
    info.input_components = options.Grey ? 1 : 3;
    info.in_color_space = options.Grey ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, options.Quality, TRUE);
    info.write_JFIF_header = TRUE;
    info.JFIF_major_version = 1;
    info.JFIF_minor_version = 1;
    info.density_unit = 1;
    info.X_density = 96;
    info.Y_density = 96;
    info.optimize_coding = TRUE;
    if (!options.Grey) {
        info.comp_info[0].h_samp_factor = 2;
        info.comp_info[0].v_samp_factor = 2;
        info.comp_info[1].h_samp_factor = info.comp_info[1].v_samp_factor = 1;
        info.comp_info[2].h_samp_factor = info.comp_info[2].v_samp_factor = 1;
    }
    jpeg_start_compress(&info, TRUE);
    if (options.Exif) {
        Bytes app1 = {'E', 'x', 'i', 'f', 0, 0};
        app1.insert(app1.end(), options.Exif->begin(), options.Exif->end());
        jpeg_write_marker(&info, JPEG_APP0 + 1, app1.data(), unsigned(app1.size()));
    }
    if (options.Xmp) {
        std::string app1 = std::string("http://ns.adobe.com/xap/1.0/") + '\0' + *options.Xmp;
        jpeg_write_marker(&info, JPEG_APP0 + 1, reinterpret_cast<const JOCTET*>(app1.data()),
                          unsigned(app1.size()));
    }
    if (options.Icc) jpeg_write_icc_profile(&info, options.Icc->data(), unsigned(options.Icc->size()));
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(src.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

namespace {

// Variable-length LZW codes packed least significant bit first into 255-byte data sub-blocks.
class LzwWriter {
public:
    explicit LzwWriter(Bytes& out) : FOut(out) {}

    void Write(int code, int bits) {
        FAccumulator |= uint32_t(code) << FBits;
        FBits += bits;
        while (FBits >= 8) {
            Byte(uint8_t(FAccumulator));
            FAccumulator >>= 8;
            FBits -= 8;
        }
    }

    void Finish() {
        if (FBits > 0) Byte(uint8_t(FAccumulator));
        if (!FBlock.empty()) Flush();
        FOut.push_back(0);
    }

private:
    void Byte(uint8_t b) {
        FBlock.push_back(b);
        if (FBlock.size() == 255) Flush();
    }
    void Flush() {
        FOut.push_back(uint8_t(FBlock.size()));
        FOut.insert(FOut.end(), FBlock.begin(), FBlock.end());
        FBlock.clear();
    }

    Bytes& FOut;
    Bytes FBlock;
    uint32_t FAccumulator = 0;
    int FBits = 0;
};

void EncodeLzw(const std::vector<uint8_t>& pixels, int minCodeSize, Bytes& out) {
    const int clear = 1 << minCodeSize, end = clear + 1;
    LzwWriter writer(out);
    // The string table as a map from (prefix code, next index) to code.
    std::vector<int> table(size_t(4096) * 256, -1);
    std::vector<int> usedSlots;
    int codeSize = minCodeSize + 1, next = end + 1;
    auto reset = [&] {
        for (int slot : usedSlots)
            table[size_t(slot)] = -1;
        usedSlots.clear();
        codeSize = minCodeSize + 1;
        next = end + 1;
    };
    writer.Write(clear, codeSize);
    if (pixels.empty()) {
        writer.Write(end, codeSize);
        writer.Finish();
        return;
    }
    int prefix = pixels[0];
    for (size_t i = 1; i < pixels.size(); ++i) {
        int k = pixels[i];
        int slot = prefix * 256 + k;
        if (table[size_t(slot)] >= 0) {
            prefix = table[size_t(slot)];
            continue;
        }
        writer.Write(prefix, codeSize);
        table[size_t(slot)] = next;
        usedSlots.push_back(slot);
        // The decoder widens its codes once its table reaches the current code space; it adds each
        // entry one code later than we do, so we widen as we add the entry that fills the space.
        if (next == (1 << codeSize) && codeSize < 12) ++codeSize;
        if (++next == 4096) {
            writer.Write(clear, codeSize);
            reset();
        }
        prefix = k;
    }
    writer.Write(prefix, codeSize);
    writer.Write(end, codeSize);
    writer.Finish();
}

int TableBits(size_t entries) {
    int bits = 1;
    while ((size_t(1) << bits) < entries)
        ++bits;
    return bits;
}

} // namespace

Bytes EncodeGif(const GifLayout& layout) {
    const IndexedImage& f = layout.Frame;
    if (f.Palette.empty() || f.Palette.size() > 256)
        throw std::invalid_argument("a GIF table holds 2 to 256 colours");
    if (!layout.Gif89 && (layout.TransparentIndex || !layout.Comment.empty()))
        throw std::invalid_argument("GIF87a has no extensions");
    if (layout.MinCodeSize < 2 || layout.MinCodeSize > 8)
        throw std::invalid_argument("LZW minimum code size out of range");
    for (uint8_t p : f.Pixels)
        if (p >= (1 << layout.MinCodeSize))
            throw std::invalid_argument("pixel index beyond the LZW code size");
    Bytes out = {'G', 'I', 'F', '8', uint8_t(layout.Gif89 ? '9' : '7'), 'a'};
    Put16(out, unsigned(layout.ScreenWidth));
    Put16(out, unsigned(layout.ScreenHeight));
    out.push_back(0x70); // no global table, 8 bits of colour resolution
    out.push_back(0);
    out.push_back(layout.AspectByte);
    if (!layout.Comment.empty()) {
        out.push_back(0x21);
        out.push_back(0xFE);
        for (size_t at = 0; at < layout.Comment.size(); at += 255) {
            size_t n = std::min<size_t>(255, layout.Comment.size() - at);
            out.push_back(uint8_t(n));
            out.insert(out.end(), layout.Comment.begin() + long(at), layout.Comment.begin() + long(at + n));
        }
        out.push_back(0);
    }
    if (layout.TransparentIndex) {
        out.push_back(0x21);
        out.push_back(0xF9);
        out.push_back(4);
        out.push_back(0x01); // transparent colour flag, no disposal
        Put16(out, unsigned(layout.Delay));
        out.push_back(uint8_t(*layout.TransparentIndex));
        out.push_back(0);
    }
    int bits = TableBits(f.Palette.size());
    out.push_back(0x2C);
    Put16(out, 0);
    Put16(out, 0);
    Put16(out, unsigned(f.Width));
    Put16(out, unsigned(f.Height));
    out.push_back(uint8_t(0x80 | (bits - 1)));
    for (int i = 0; i < (1 << bits); ++i) {
        QRgb c = i < int(f.Palette.size()) ? f.Palette[size_t(i)] : qRgb(0, 0, 0);
        out.push_back(uint8_t(qRed(c)));
        out.push_back(uint8_t(qGreen(c)));
        out.push_back(uint8_t(qBlue(c)));
    }
    out.push_back(uint8_t(layout.MinCodeSize));
    EncodeLzw(f.Pixels, layout.MinCodeSize, out);
    out.push_back(0x3B);
    return out;
}

Bytes MakeExif(const std::string& description, const std::string& dateTime) {
    // Little-endian TIFF with one directory: ImageDescription, Software and DateTime, all ASCII.
    struct Entry {
        uint16_t Tag;
        std::string Text;
    };
    std::array<Entry, 3> entries{{{0x010E, description}, {0x0131, "Orvanta"}, {0x0132, dateTime}}};
    Bytes out = {'I', 'I', 42, 0};
    Put32(out, 8);
    uint32_t dataOffset = 8 + 2 + uint32_t(entries.size()) * 12 + 4;
    Bytes data;
    Put16(out, unsigned(entries.size()));
    for (const Entry& e : entries) {
        uint32_t count = uint32_t(e.Text.size()) + 1;
        Put16(out, e.Tag);
        Put16(out, 2);
        Put32(out, count);
        if (count <= 4) {
            Bytes inline4(4, 0);
            std::memcpy(inline4.data(), e.Text.c_str(), count);
            out.insert(out.end(), inline4.begin(), inline4.end());
        } else {
            Put32(out, dataOffset + uint32_t(data.size()));
            data.insert(data.end(), e.Text.begin(), e.Text.end());
            data.push_back(0);
            if (data.size() % 2) data.push_back(0);
        }
    }
    Put32(out, 0);
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

Bytes MakeIccProfile() {
    // A version 2 display profile of the sRGB primaries (D50-adapted) with a gamma of 2.2.
    struct Tag {
        const char* Sig;
        Bytes Data;
    };
    auto xyz = [](double x, double y, double z) {
        Bytes d = {'X', 'Y', 'Z', ' ', 0, 0, 0, 0};
        for (double v : {x, y, z})
            Put32BE(d, uint32_t(int32_t(v * 65536.0 + 0.5)));
        return d;
    };
    Bytes curve = {'c', 'u', 'r', 'v', 0, 0, 0, 0, 0, 0, 0, 1, 0x02, 0x33, 0, 0}; // gamma 2.2 in u8.8
    std::string text = "Orvanta sRGB";
    Bytes desc = {'d', 'e', 's', 'c', 0, 0, 0, 0};
    Put32BE(desc, uint32_t(text.size() + 1));
    desc.insert(desc.end(), text.begin(), text.end());
    desc.push_back(0);
    desc.resize(desc.size() + 4 + 4 + 2 + 1 + 67, 0); // empty Unicode and ScriptCode parts
    Bytes cprt = {'t', 'e', 'x', 't', 0, 0, 0, 0};
    std::string c = "No copyright, computed picture";
    cprt.insert(cprt.end(), c.begin(), c.end());
    cprt.push_back(0);
    std::vector<Tag> tags = {{"desc", desc},
                             {"cprt", cprt},
                             {"wtpt", xyz(0.9642, 1.0, 0.8249)},
                             {"rXYZ", xyz(0.4361, 0.2225, 0.0139)},
                             {"gXYZ", xyz(0.3851, 0.7169, 0.0971)},
                             {"bXYZ", xyz(0.1431, 0.0606, 0.7141)},
                             {"rTRC", curve},
                             {"gTRC", curve},
                             {"bTRC", curve}};
    Bytes table;
    Bytes data;
    uint32_t offset = 128 + 4 + uint32_t(tags.size()) * 12;
    for (Tag& t : tags) {
        while (data.size() % 4)
            data.push_back(0);
        table.insert(table.end(), t.Sig, t.Sig + 4);
        Put32BE(table, offset + uint32_t(data.size()));
        Put32BE(table, uint32_t(t.Data.size()));
        data.insert(data.end(), t.Data.begin(), t.Data.end());
    }
    uint32_t total = offset + uint32_t(data.size());
    Bytes out;
    Put32BE(out, total);
    out.insert(out.end(),
               {0, 0, 0, 0, 0x02, 0x10, 0, 0, 'm', 'n', 't', 'r', 'R', 'G', 'B', ' ', 'X', 'Y', 'Z', ' '});
    out.insert(out.end(), {0x07, 0xEA, 0, 12, 0, 9, 0, 0, 0, 0, 0, 0}); // date: 2026-12-09
    out.insert(out.end(), {'a', 'c', 's', 'p'});
    out.resize(68, 0); // platform, flags, maker, model, attributes, perceptual rendering intent
    for (double v : {0.9642, 1.0, 0.8249})
        Put32BE(out, uint32_t(int32_t(v * 65536.0 + 0.5)));
    out.resize(128, 0);
    Put32BE(out, uint32_t(tags.size()));
    out.insert(out.end(), table.begin(), table.end());
    out.insert(out.end(), data.begin(), data.end());
    return out;
}

std::string MakeXmp(const std::string& title, const std::string& description) {
    return "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>\n"
           "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\">\n"
           " <rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">\n"
           "  <rdf:Description rdf:about=\"\" xmlns:dc=\"http://purl.org/dc/elements/1.1/\">\n"
           "   <dc:title><rdf:Alt><rdf:li xml:lang=\"es\">" +
           title +
           "</rdf:li></rdf:Alt></dc:title>\n"
           "   <dc:description><rdf:Alt><rdf:li xml:lang=\"es\">" +
           description +
           "</rdf:li></rdf:Alt></dc:description>\n"
           "  </rdf:Description>\n"
           " </rdf:RDF>\n"
           "</x:xmpmeta>\n"
           "<?xpacket end=\"r\"?>";
}
