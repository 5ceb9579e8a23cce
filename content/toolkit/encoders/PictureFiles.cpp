// The course's picture files through the picture writers. Everything here is deterministic: the same
// pixels give the same bytes.
#include "content/toolkit/encoders/PictureFiles.h"

#include "content/toolkit/encoders/BitmapWriter.h"
#include "content/toolkit/encoders/GifWriter.h"
#include "stream/ByteOrder.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

PixelImage Indexes(const IndexedImage& image) {
    return {image.Width, image.Height, std::vector<uint32_t>(image.Pixels.begin(), image.Pixels.end())};
}

std::vector<uint32_t> RgbTable(const std::vector<QRgb>& palette) {
    std::vector<uint32_t> table;
    for (QRgb c : palette)
        table.push_back(c & 0xFFFFFF);
    return table;
}

} // namespace

Bytes EncodeBitmap24(const QImage& image) {
    QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    PixelImage pixels{rgb.width(), rgb.height(), {}};
    pixels.Pixels.reserve(size_t(pixels.Width) * size_t(pixels.Height));
    for (int y = 0; y < rgb.height(); ++y) {
        auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            pixels.Pixels.push_back(line[x] & 0xFFFFFF);
    }
    return EncodeBitmap(pixels, {.BitsPerPixel = 24});
}

Bytes EncodeBitmap8(const IndexedImage& image) {
    if (image.Palette.size() > 256) throw std::invalid_argument("an 8-bit bitmap holds at most 256 colours");
    return EncodeBitmap(Indexes(image), {.BitsPerPixel = 8, .ColorTable = RgbTable(image.Palette)});
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

Bytes EncodeJpeg(const QImage& image, const JpegOptions& options) {
    PixelImage pixels{image.width(), image.height(), {}};
    pixels.Pixels.reserve(size_t(pixels.Width) * size_t(pixels.Height));
    if (options.Grey) {
        QImage grey = image.convertToFormat(QImage::Format_Grayscale8);
        for (int y = 0; y < grey.height(); ++y) {
            const uchar* line = grey.constScanLine(y);
            for (int x = 0; x < grey.width(); ++x)
                pixels.Pixels.push_back(line[x]);
        }
    } else {
        QImage rgb = image.convertToFormat(QImage::Format_RGB888);
        for (int y = 0; y < rgb.height(); ++y) {
            const uchar* line = rgb.constScanLine(y);
            for (int x = 0; x < rgb.width(); ++x)
                pixels.Pixels.push_back(uint32_t(line[3 * x]) << 16 | uint32_t(line[3 * x + 1]) << 8 |
                                        line[3 * x + 2]);
        }
    }
    return EncodeJpeg(pixels, options);
}

Bytes EncodeGif(const GifLayout& layout) {
    const IndexedImage& f = layout.Frame;
    if (f.Palette.empty() || f.Palette.size() > 256)
        throw std::invalid_argument("a GIF table holds 2 to 256 colours");
    // The frame sits at the top-left corner of the logical screen and carries the only colour table.
    GifFrame frame{.Image = Indexes(f),
                   .TransparentIndex = layout.TransparentIndex.value_or(-1),
                   .DelayCs = layout.TransparentIndex ? layout.Delay : 0,
                   .LocalTable = RgbTable(f.Palette),
                   .MinCodeSize = layout.MinCodeSize};
    return EncodeGif(std::span(&frame, 1), {.Version = layout.Gif89 ? "89a" : "87a",
                                            .ScreenWidth = layout.ScreenWidth,
                                            .ScreenHeight = layout.ScreenHeight,
                                            .AspectByte = layout.AspectByte,
                                            .Comment = layout.Comment});
}

Bytes MakeExif(const std::string& description, const std::string& dateTime) {
    // Little-endian TIFF with one directory: ImageDescription, Software and DateTime, all ASCII.
    struct Entry {
        uint16_t Tag;
        std::string Text;
    };
    std::array<Entry, 3> entries{{{0x010E, description}, {0x0131, "Orvanta"}, {0x0132, dateTime}}};
    Bytes out = {'I', 'I', 42, 0};
    Put32LE(out, 8);
    uint32_t dataOffset = 8 + 2 + uint32_t(entries.size()) * 12 + 4;
    Bytes data;
    Put16LE(out, unsigned(entries.size()));
    for (const Entry& e : entries) {
        uint32_t count = uint32_t(e.Text.size()) + 1;
        Put16LE(out, e.Tag);
        Put16LE(out, 2);
        Put32LE(out, count);
        if (count <= 4) {
            Bytes inline4(4, 0);
            std::memcpy(inline4.data(), e.Text.c_str(), count);
            out.insert(out.end(), inline4.begin(), inline4.end());
        } else {
            Put32LE(out, dataOffset + uint32_t(data.size()));
            data.insert(data.end(), e.Text.begin(), e.Text.end());
            data.push_back(0);
            if (data.size() % 2) data.push_back(0);
        }
    }
    Put32LE(out, 0);
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
    // Each text with its terminating zero in one insertion: GCC 12 at -O3 took a separate push_back of
    // the zero for a write past the end and stopped the release build.
    desc.insert(desc.end(), text.c_str(), text.c_str() + text.size() + 1);
    desc.resize(desc.size() + 4 + 4 + 2 + 1 + 67, 0); // empty Unicode and ScriptCode parts
    Bytes cprt = {'t', 'e', 'x', 't', 0, 0, 0, 0};
    std::string c = "No copyright, computed picture";
    cprt.insert(cprt.end(), c.c_str(), c.c_str() + c.size() + 1);
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
