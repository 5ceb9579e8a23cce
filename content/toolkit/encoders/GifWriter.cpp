// GIF files and their LZW code streams. Everything here is deterministic: the same pixels give the
// same bytes.
#include "content/toolkit/encoders/GifWriter.h"

#include "content/toolkit/encoders/LittleEndianBytes.h"

#include <algorithm>
#include <bit>
#include <stdexcept>

namespace {

constexpr int kTableSize = 4096;

// Variable-width codes packed least significant bit first.
class CodePacker {
public:
    void Put(int code, int width) {
        FAccumulator |= static_cast<uint32_t>(code) << FBits;
        FBits += width;
        while (FBits >= 8) {
            FOut.push_back(static_cast<uint8_t>(FAccumulator));
            FAccumulator >>= 8;
            FBits -= 8;
        }
    }
    std::vector<uint8_t> Finish() {
        if (FBits > 0) FOut.push_back(static_cast<uint8_t>(FAccumulator));
        return std::move(FOut);
    }

private:
    std::vector<uint8_t> FOut;
    uint32_t FAccumulator = 0;
    int FBits = 0;
};

// The number of bits a colour-table index of that many entries needs, at least 1.
int IndexBits(size_t entries) {
    int bits = 1;
    while ((size_t{1} << bits) < entries)
        ++bits;
    return bits;
}

// Sub-blocks of at most 255 bytes, then the zero-length terminator.
void PutSubBlocks(LittleEndianBytes& b, std::span<const uint8_t> data) {
    for (size_t i = 0; i < data.size(); i += 255) {
        const size_t n = std::min<size_t>(255, data.size() - i);
        b.U8(static_cast<uint32_t>(n));
        b.Raw(data.subspan(i, n));
    }
    b.U8(0);
}

// A colour table's size field: the table holds 2 << field entries.
int TableSizeField(size_t entries) {
    return IndexBits(entries) - 1;
}

void PutTable(LittleEndianBytes& b, const std::vector<uint32_t>& table, int field) {
    for (size_t i = 0; i < (size_t{2} << field); ++i) {
        const uint32_t c = i < table.size() ? table[i] : 0;
        b.U8(c >> 16 & 0xFF);
        b.U8(c >> 8 & 0xFF);
        b.U8(c & 0xFF);
    }
}

} // namespace

std::vector<uint8_t> EncodeLzw(const std::vector<uint8_t>& indexes, int minCodeSize, const LzwOptions& o) {
    const int clear = 1 << minCodeSize, end = clear + 1;
    // A code is as wide as the highest code the decoder's table may then hold; the decoder adds each
    // entry one code later than we do, so a data code is sized by the entries added before it and the
    // end code by all of them.
    auto width = [&](int highest) {
        return std::clamp(static_cast<int>(std::bit_width(static_cast<unsigned>(highest))), minCodeSize + 1,
                          12);
    };
    CodePacker out;
    // The string table as a map from (prefix code, next index) to code; the slots in use are
    // remembered so that a clear code resets only them.
    std::vector<int> table(static_cast<size_t>(kTableSize) * 256, -1);
    std::vector<size_t> used;
    int next = clear + 2, sinceClear = 0;
    out.Put(clear, width(next - 1));
    if (!indexes.empty()) {
        int prefix = indexes[0];
        for (size_t i = 1; i < indexes.size(); ++i) {
            const size_t slot = static_cast<size_t>(prefix) * 256 + indexes[i];
            if (table[slot] >= 0) {
                prefix = table[slot];
                continue;
            }
            out.Put(prefix, width(next - 1));
            if (next < kTableSize) {
                table[slot] = next++;
                used.push_back(slot);
            }
            ++sinceClear;
            if ((o.ClearWhenFull && next == kTableSize) || (o.ClearEvery > 0 && sinceClear >= o.ClearEvery)) {
                out.Put(clear, width(next - 1));
                for (size_t s : used)
                    table[s] = -1;
                used.clear();
                next = clear + 2;
                sinceClear = 0;
            }
            prefix = indexes[i];
        }
        out.Put(prefix, width(next - 1));
    }
    if (o.EndCode) out.Put(end, width(indexes.empty() ? next - 1 : next));
    return out.Finish();
}

std::vector<uint8_t> EncodeGif(std::span<const GifFrame> frames, const GifOptions& o) {
    const bool gif87 = o.Version == "87a";
    if (o.GlobalTable.size() > 256) throw std::invalid_argument("a GIF table holds 2 to 256 colours");
    if (gif87 && (!o.Comment.empty() || o.LoopExtension))
        throw std::invalid_argument("GIF87a has no extensions");
    LittleEndianBytes b;
    b.Str("GIF");
    b.Str(o.Version);
    const int screenWidth = o.ScreenWidth ? o.ScreenWidth : frames.empty() ? 0 : frames[0].Image.Width;
    const int screenHeight = o.ScreenHeight ? o.ScreenHeight : frames.empty() ? 0 : frames[0].Image.Height;
    b.U16(static_cast<uint32_t>(screenWidth));
    b.U16(static_cast<uint32_t>(screenHeight));
    const int globalField = TableSizeField(o.GlobalTable.size());
    b.U8(o.GlobalTable.empty() ? 0x70 : 0x80 | 0x70 | globalField); // 8 bits of colour resolution
    b.U8(static_cast<uint32_t>(o.BackgroundIndex));
    b.U8(o.AspectByte);
    if (!o.GlobalTable.empty()) PutTable(b, o.GlobalTable, globalField);
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
    for (const GifFrame& f : frames) {
        if (f.LocalTable.size() > 256) throw std::invalid_argument("a GIF table holds 2 to 256 colours");
        if (f.TransparentIndex >= 0 || f.DelayCs > 0) {
            if (gif87) throw std::invalid_argument("GIF87a has no extensions");
            b.U8(0x21);
            b.U8(0xF9);
            b.U8(4);
            b.U8(f.TransparentIndex >= 0 ? 1 : 0); // no disposal
            b.U16(static_cast<uint32_t>(f.DelayCs));
            b.U8(static_cast<uint32_t>(std::max(f.TransparentIndex, 0)));
            b.U8(0);
        }
        b.U8(0x2C);
        b.U16(static_cast<uint32_t>(f.Left));
        b.U16(static_cast<uint32_t>(f.Top));
        b.U16(static_cast<uint32_t>(f.Image.Width));
        b.U16(static_cast<uint32_t>(f.Image.Height));
        const int localField = TableSizeField(f.LocalTable.size());
        b.U8((f.LocalTable.empty() ? 0 : 0x80 | localField) | (f.Interlaced ? 0x40 : 0));
        if (!f.LocalTable.empty()) PutTable(b, f.LocalTable, localField);
        const size_t entries = f.LocalTable.empty() ? o.GlobalTable.size() : f.LocalTable.size();
        const int minCodeSize = f.MinCodeSize ? f.MinCodeSize : std::max(2, IndexBits(entries));
        if (minCodeSize < 2 || minCodeSize > 8)
            throw std::invalid_argument("LZW minimum code size out of range");
        // Rows go in the order the decoder places them: for interlacing, four passes.
        std::vector<uint8_t> indexes;
        indexes.reserve(f.Image.Pixels.size());
        auto putRow = [&](int y) {
            for (int x = 0; x < f.Image.Width; ++x) {
                const uint32_t p = f.Image.Pixels[static_cast<size_t>(y) * f.Image.Width + x];
                if (p >= (1u << minCodeSize))
                    throw std::invalid_argument("pixel index beyond the LZW code size");
                indexes.push_back(static_cast<uint8_t>(p));
            }
        };
        if (f.Interlaced) {
            static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
            for (int pass = 0; pass < 4; ++pass)
                for (int y = kStart[pass]; y < f.Image.Height; y += kStep[pass])
                    putRow(y);
        } else {
            for (int y = 0; y < f.Image.Height; ++y)
                putRow(y);
        }
        b.U8(static_cast<uint32_t>(minCodeSize));
        PutSubBlocks(b, EncodeLzw(indexes, minCodeSize, {.ClearEvery = f.ClearEvery}));
    }
    b.U8(0x3B);
    return std::move(b.v);
}
