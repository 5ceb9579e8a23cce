// Header inspection of bitmap, JPEG and GIF files.
#include "tools/PictureFacts.h"

#include "stream/ByteOrder.h"

#include <algorithm>
#include <cstdio>

namespace {

void Bitmap(std::span<const uint8_t> b, PictureFacts& f) {
    if (b.size() < 54 || U32LE(b.data() + 14) < 40) {
        f.Error = "bitmap headers are short";
        return;
    }
    f.Width = int(int32_t(U32LE(b.data() + 18)));
    f.Height = int(int32_t(U32LE(b.data() + 22)));
    f.Depth = int(U16LE(b.data() + 28));
    f.Uncompressed = U32LE(b.data() + 30) == 0;
    uint32_t used = U32LE(b.data() + 46);
    f.PaletteEntries = f.Depth <= 8 ? int(used ? used : 1u << f.Depth) : int(used);
    size_t table = 14 + U32LE(b.data() + 14);
    if (f.Depth == 8 && f.PaletteEntries == 256 && table + 1024 <= b.size()) {
        f.GreyRamp = true;
        for (size_t i = 0; i < 256; ++i) {
            const uint8_t* e = b.data() + table + 4 * i;
            if (e[0] != i || e[1] != i || e[2] != i) f.GreyRamp = false;
        }
    }
    uint64_t rowBytes = (uint64_t(f.Width > 0 ? f.Width : 0) * uint64_t(f.Depth) + 31) / 32 * 4;
    uint64_t need = U32LE(b.data() + 10) + rowBytes * uint64_t(f.Height < 0 ? -int64_t(f.Height) : f.Height);
    if (need > b.size()) f.Error = "bitmap pixel data is short";
}

void Jpeg(std::span<const uint8_t> b, PictureFacts& f) {
    size_t at = 2;
    while (at + 4 <= b.size()) {
        if (b[at] != 0xFF) {
            f.Error = "JPEG marker expected";
            return;
        }
        uint8_t marker = b[at + 1];
        if (marker == 0xD9 || marker == 0xDA) return;
        size_t length = U16BE(b.data() + at + 2);
        if (length < 2 || at + 2 + length > b.size()) {
            f.Error = "JPEG segment runs past the end";
            return;
        }
        std::span<const uint8_t> seg = b.subspan(at + 4, length - 2);
        auto starts = [&](const char* s, size_t n) {
            return seg.size() >= n && std::equal(s, s + n, seg.begin());
        };
        if (marker == 0xE0 && starts("JFIF\0", 5) && seg.size() >= 7) f.JfifVersion = seg[5] * 100 + seg[6];
        if (marker == 0xE1 && starts("Exif\0\0", 6)) f.Exif = true;
        if (marker == 0xE1 && starts("http://ns.adobe.com/xap/1.0/\0", 29)) f.Xmp = true;
        if (marker == 0xE2 && starts("ICC_PROFILE\0", 12)) f.Icc = true;
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            if (seg.size() < 6) {
                f.Error = "JPEG frame header is short";
                return;
            }
            f.Baseline = marker == 0xC0 && seg[0] == 8;
            f.Depth = seg[0];
            f.Height = int(U16BE(seg.data() + 1));
            f.Width = int(U16BE(seg.data() + 3));
            f.Components = seg[5];
            for (size_t c = 0; c < size_t(f.Components) && 6 + 3 * c + 2 < seg.size(); ++c) {
                char s[16];
                std::snprintf(s, sizeof s, "%s%dx%d", c ? "," : "", seg[7 + 3 * c] >> 4, seg[7 + 3 * c] & 15);
                f.Sampling += s;
            }
        }
        at += 2 + length;
    }
}

void Gif(std::span<const uint8_t> b, PictureFacts& f) {
    if (b.size() < 13) {
        f.Error = "GIF header is short";
        return;
    }
    f.GifVersion.assign(b.begin() + 3, b.begin() + 6);
    f.Width = int(U16LE(b.data() + 6));
    f.Height = int(U16LE(b.data() + 8));
    f.AspectByte = b[12];
    f.GlobalTable = b[10] & 0x80;
    size_t at = 13 + (f.GlobalTable ? 3u << ((b[10] & 7) + 1) : 0u);
    auto skipBlocks = [&](size_t& p, int* total) {
        while (p < b.size() && b[p] != 0) {
            if (total) *total += b[p];
            p += 1 + b[p];
        }
        ++p;
    };
    while (at < b.size()) {
        uint8_t kind = b[at];
        if (kind == 0x3B) {
            f.Trailer = true;
            return;
        }
        if (kind == 0x21 && at + 2 < b.size()) {
            uint8_t label = b[at + 1];
            at += 2;
            if (label == 0xF9 && at + 5 < b.size() && b[at] == 4) {
                f.Transparent = b[at + 1] & 1;
                f.Delay = int(U16LE(b.data() + at + 2));
                f.TransparentIndex = f.Transparent ? b[at + 4] : -1;
            }
            int total = 0;
            skipBlocks(at, label == 0xFE ? &total : nullptr);
            if (label == 0xFE) f.CommentBytes = total;
        } else if (kind == 0x2C && at + 10 < b.size()) {
            ++f.Frames;
            f.FrameLeft = int(U16LE(b.data() + at + 1));
            f.FrameTop = int(U16LE(b.data() + at + 3));
            f.FrameWidth = int(U16LE(b.data() + at + 5));
            f.FrameHeight = int(U16LE(b.data() + at + 7));
            uint8_t packed = b[at + 9];
            at += 10;
            if (packed & 0x80) {
                f.LocalTableEntries = 2 << (packed & 7);
                size_t bytes = 3 * size_t(f.LocalTableEntries);
                if (at + bytes > b.size()) break;
                auto rgb = [&](size_t i) {
                    return uint32_t(b[at + 3 * i]) << 16 | uint32_t(b[at + 3 * i + 1]) << 8 |
                           b[at + 3 * i + 2];
                };
                f.LocalEntry0 = rgb(0);
                f.LocalEntryLast = rgb(size_t(f.LocalTableEntries) - 1);
                at += bytes;
            }
            f.Depth = packed & 0x80 ? (packed & 7) + 1 : f.Depth;
            if (at >= b.size()) break;
            f.MinCodeSize = b[at++];
            skipBlocks(at, nullptr);
        } else {
            f.Error = "unknown GIF block";
            return;
        }
    }
    f.Error = "GIF file ends before its trailer";
}

} // namespace

PictureFacts InspectPicture(std::span<const uint8_t> file) {
    PictureFacts f;
    if (file.size() >= 2 && file[0] == 'B' && file[1] == 'M') {
        f.Kind = PictureFacts::Type::Bitmap;
        Bitmap(file, f);
    } else if (file.size() >= 3 && file[0] == 0xFF && file[1] == 0xD8 && file[2] == 0xFF) {
        f.Kind = PictureFacts::Type::Jpeg;
        Jpeg(file, f);
        if (f.Error.empty() && f.Components == 0) f.Error = "JPEG file has no frame header";
    } else if (file.size() >= 6 && file[0] == 'G' && file[1] == 'I' && file[2] == 'F') {
        f.Kind = PictureFacts::Type::Gif;
        Gif(file, f);
    } else {
        f.Error = "not a bitmap, JPEG or GIF file";
    }
    return f;
}

std::string CheckDeclaredPicture(const PictureFacts& f, const std::string& kind, int width, int height) {
    using K = PictureFacts::Type;
    if (!f.Error.empty()) return f.Error;
    std::string problems;
    auto expect = [&](bool ok, const std::string& what) {
        if (!ok) problems += (problems.empty() ? "" : "; ") + what;
    };
    if (kind == "bitmap24" || kind == "bitmap8grey" || kind == "bitmap8") {
        expect(f.Kind == K::Bitmap, "not a bitmap");
        expect(f.Uncompressed, "compressed");
        expect(f.Depth == (kind == "bitmap24" ? 24 : 8), "depth " + std::to_string(f.Depth));
        if (kind != "bitmap24") {
            expect(f.PaletteEntries == 256, std::to_string(f.PaletteEntries) + " palette entries");
            expect(f.GreyRamp == (kind == "bitmap8grey"),
                   f.GreyRamp ? "grey palette" : "palette is not a grey ramp");
        }
    } else if (kind == "jpeg" || kind == "jpeggrey") {
        expect(f.Kind == K::Jpeg, "not a JPEG file");
        expect(f.Baseline, "not baseline");
        expect(f.JfifVersion == 101, "no JFIF 1.01 segment");
        if (kind == "jpeg")
            expect(f.Components == 3 && f.Sampling == "2x2,1x1,1x1", "sampling " + f.Sampling);
        else
            expect(f.Components == 1, std::to_string(f.Components) + " components");
    } else if (kind == "gif") {
        expect(f.Kind == K::Gif, "not a GIF file");
        expect(f.Frames == 1 && f.Trailer, "not a single frame closed by the trailer");
    } else {
        return "unknown picture kind '" + kind + "'";
    }
    expect(f.Width == width && f.Height == height,
           "size " + std::to_string(f.Width) + " x " + std::to_string(f.Height));
    return problems;
}
