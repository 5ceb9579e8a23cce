// LZW decoding for GIF: codes packed least significant bit first, a 4096-entry table of prefix and
// suffix, strings unwound on a stack of 8192 entries. The table stays in use without reset once full,
// until a clear code arrives.
#include "graphics/GIFDecoder.h"

#include "graphics/GraphicsConsts.h"

#include <algorithm>
#include <array>
#include <memory>

namespace {

constexpr int kTableSize = 4096;
constexpr int kMaxCode = kTableSize - 1;
constexpr int kStackSize = 8192;

// The bytes of consecutive data sub-blocks, up to a length of 0 or the end of the stream.
class TSubBlockSource {
public:
    explicit TSubBlockSource(TGIFReader& reader) : FReader(reader) {}

    size_t Read(uint8_t* buffer, size_t count) {
        size_t done = 0;
        while (done < count) {
            if (FLeft == 0) {
                if (FEnded) break;
                int length = FReader.ReadByte();
                if (length <= 0) {
                    FEnded = true;
                    break;
                }
                FLeft = static_cast<size_t>(length);
                if (FLeft > FReader.Remaining()) {
                    FReader.Warning(SGraphics::SGIFPrematureEndOfData);
                    FLeft = FReader.Remaining();
                    if (FLeft == 0) {
                        FEnded = true;
                        break;
                    }
                }
            }
            size_t n = count - done < FLeft ? count - done : FLeft;
            n = FReader.Read(buffer + done, n);
            done += n;
            FLeft -= n;
        }
        return done;
    }

    // Moves past the rest of the data: what is left of the current sub-block and every later one.
    void SkipRest() {
        FReader.Skip(FLeft);
        FLeft = 0;
        if (!FEnded) FReader.SkipSubBlocks();
        FEnded = true;
    }

private:
    TGIFReader& FReader;
    size_t FLeft = 0;
    bool FEnded = false;
};

// Places decoded pixels row by row; for an interlaced frame rows go in pass order: every 8th row from
// row 0, every 8th from row 4, every 4th from row 2, every 2nd from row 1.
class TPixelSink {
public:
    TPixelSink(uint8_t* pixels, int width, int height, bool interlaced,
               const std::function<void(size_t)>& progress)
        : FPixels(pixels), FWidth(width), FHeight(height), FInterlaced(interlaced), FProgress(progress) {
        FFull = width <= 0 || height <= 0;
        FRow = FPixels;
    }

    bool Full() const { return FFull; }

    // Where `count` pixels may be written in one run: before the next progress report, and within the
    // current row or, for a frame that is not interlaced, whose rows follow each other, within the
    // frame; null when they do not fit. Commit(count) then counts them as PutReversed would.
    uint8_t* Room(size_t count) const {
        if (FFull || count > FToReport) return nullptr;
        const size_t rowRoom = static_cast<size_t>(FWidth - FX);
        if (count > rowRoom && (FInterlaced || count > rowRoom + static_cast<size_t>(FHeight - FY - 1) *
                                                                     static_cast<size_t>(FWidth)))
            return nullptr;
        return FRow + FX;
    }
    void Commit(size_t count) {
        FCount += count;
        FToReport -= count;
        if (FToReport == 0) {
            FToReport = kGIFProgressPixels;
            if (FProgress) FProgress(FCount);
        }
        const size_t x = static_cast<size_t>(FX) + count;
        if (x < static_cast<size_t>(FWidth)) {
            FX = static_cast<int>(x);
            return;
        }
        // Whole rows passed: only a frame that is not interlaced writes past its row's end.
        FX = FWidth;
        if (FInterlaced) {
            NextRow();
            return;
        }
        FY += static_cast<int>(x / static_cast<size_t>(FWidth)) - 1;
        NextRow();
        FX = static_cast<int>(x % static_cast<size_t>(FWidth));
    }

    // Stores `count` pixels taken from `last` backwards (the order in which the decoding stack holds
    // them), up to the end of the frame; returns how many went in.
    size_t PutReversed(const uint8_t* last, size_t count) {
        size_t done = 0;
        while (done < count && !FFull) {
            // As many as fit in the current row and before the next progress report.
            size_t n = count - done;
            n = std::min(n, static_cast<size_t>(FWidth - FX));
            n = std::min(n, FToReport);
            uint8_t* out = FRow + FX;
            for (size_t i = 0; i < n; ++i)
                out[i] = *(last - done - i);
            done += n;
            Commit(n);
        }
        return done;
    }

private:
    void NextRow() {
        FX = 0;
        if (!FInterlaced) {
            FFull = ++FY >= FHeight;
        } else {
            static constexpr int kStart[] = {0, 4, 2, 1}, kStep[] = {8, 8, 4, 2};
            FY += kStep[FPass];
            while (FY >= FHeight) {
                if (++FPass == 4) {
                    FFull = true;
                    return;
                }
                FY = kStart[FPass];
            }
        }
        if (!FFull) FRow = FPixels + static_cast<size_t>(FY) * static_cast<size_t>(FWidth);
    }

    uint8_t* FPixels;
    uint8_t* FRow;
    int FWidth, FHeight;
    bool FInterlaced;
    const std::function<void(size_t)>& FProgress;
    size_t FCount = 0;
    size_t FToReport = kGIFProgressPixels;
    int FX = 0, FY = 0, FPass = 0;
    bool FFull;
};

struct TLZWContext {
    TLZWContext(TGIFReader& reader, TSubBlockSource& source) : Reader(reader), Source(source) {}

    // The next code of the given width, or -1 (with a warning) when the data has run out. Bits are
    // loaded 254 bytes at a time, the last two bytes of the previous load kept in front; a load is due
    // as soon as a code needs as many bits as are left.
    int NextCode(int width) {
        if (CurrentBit + width >= LastBit) {
            if (Done) return Underrun();
            Buffer[0] = Buffer[static_cast<size_t>(LastByte - 2)];
            Buffer[1] = Buffer[static_cast<size_t>(LastByte - 1)];
            int count = static_cast<int>(Source.Read(Buffer.data() + 2, 254));
            if (count == 0) Done = true;
            LastByte = 2 + count;
            CurrentBit = CurrentBit - LastBit + 16;
            LastBit = LastByte * 8;
            if (CurrentBit + width > LastBit) return Underrun();
        }
        // A code of up to 12 bits starting anywhere in a byte lies within three bytes; the buffer's
        // padding makes the third readable at its end, and bits past the code are masked off.
        const size_t at = static_cast<size_t>(CurrentBit >> 3);
        const uint32_t bits = Buffer[at] | Buffer[at + 1] << 8 | Buffer[at + 2] << 16;
        const int code = static_cast<int>(bits >> (CurrentBit & 7) & ((1u << width) - 1));
        CurrentBit += width;
        return code;
    }

    int Underrun() {
        Reader.Warning(SGraphics::SGIFDecoderUnderrun);
        return -1;
    }

    // Codes below the clear code stand for themselves; every other entry is cleared. Length
    // is read only for entries below the first free one, all set since this reset.
    void ResetTable(int clear) {
        Prefix.fill(0);
        Suffix.fill(0);
        for (int i = 0; i < clear && i < kTableSize; ++i)
            Suffix[static_cast<size_t>(i)] = static_cast<uint8_t>(i);
    }

    TGIFReader& Reader;
    TSubBlockSource& Source;
    std::array<uint8_t, 256 + 2> Buffer{}; // 2 bytes of padding for reading codes
    int CurrentBit = 0, LastBit = 0, LastByte = 2;
    bool Done = false;
    std::array<uint16_t, kTableSize> Prefix{};
    std::array<uint8_t, kTableSize> Suffix{};
    std::array<uint8_t, kStackSize> Stack{};
    // For a straight entry, one each of whose chain has a prefix below itself down to a single
    // character, the length of its string, which unwinding it meets no corrupt entry on; 0 otherwise.
    std::array<uint16_t, kTableSize> Length{};
};

bool gDirectStrings = true;

// The previous string followed by `first` becomes the next free entry, while the table has room; the
// code width grows when the next code needs one more bit.
void AddEntry(TLZWContext& lzw, int& firstFree, int& limit, int& width, int clear, int previous,
              uint8_t first) {
    if (firstFree > kMaxCode) return;
    const size_t entry = static_cast<size_t>(firstFree);
    lzw.Prefix[entry] = static_cast<uint16_t>(previous);
    lzw.Suffix[entry] = first;
    const int prefixLength = previous < clear       ? 1
                             : previous < firstFree ? lzw.Length[static_cast<size_t>(previous)]
                                                    : 0;
    lzw.Length[entry] = static_cast<uint16_t>(prefixLength > 0 ? prefixLength + 1 : 0);
    if (++firstFree >= limit && limit <= kMaxCode) {
        limit *= 2;
        ++width;
    }
}

void Decode(TLZWContext& lzw, int minCodeSize, TPixelSink& sink) {
    const int clear = 1 << minCodeSize, end = clear + 1;
    int width = 0, limit = 0, firstFree = 0;
    auto reset = [&] {
        lzw.ResetTable(clear);
        width = minCodeSize + 1;
        limit = 2 * clear;
        firstFree = clear + 2;
    };
    reset();
    bool afterClear = true; // decoding starts as if a clear code had just been read
    int previous = 0;
    uint8_t first = 0;
    while (!sink.Full()) {
        int code = lzw.NextCode(width);
        if (code < 0 || code == end) return;
        if (code == clear) {
            reset();
            afterClear = true;
            continue;
        }
        if (afterClear) {
            // The first code after a clear is output as it is.
            afterClear = false;
            previous = code;
            first = static_cast<uint8_t>(code);
            sink.PutReversed(&first, 1);
            continue;
        }
        const int incoming = code;
        // A straight string that fits the current row is written where it goes, last character first,
        // instead of being unwound onto the stack and copied from there.
        const bool unknown = code >= firstFree; // the previous string and its own first character
        const int base = unknown ? previous : code;
        const size_t baseLength = base < clear       ? 1
                                  : base < firstFree ? lzw.Length[static_cast<size_t>(base)]
                                                     : 0;
        if (gDirectStrings && baseLength > 0) {
            const size_t length = baseLength + (unknown ? 1 : 0);
            if (uint8_t* out = sink.Room(length)) {
                uint8_t* p = out + length;
                if (unknown) *--p = first;
                int c = base;
                while (c >= clear) {
                    *--p = lzw.Suffix[static_cast<size_t>(c)];
                    c = lzw.Prefix[static_cast<size_t>(c)];
                }
                *--p = static_cast<uint8_t>(c);
                first = static_cast<uint8_t>(c);
                AddEntry(lzw, firstFree, limit, width, clear, previous, first);
                previous = incoming;
                sink.Commit(length);
                continue;
            }
        }
        size_t top = 0;
        if (code >= firstFree) {
            // Not yet in the table: the previous string followed by its own first character.
            lzw.Stack[top++] = first;
            code = previous;
        }
        while (code >= clear) {
            if (code > kMaxCode || top >= kStackSize) GIFError(SGraphics::SGIFInvalidData);
            lzw.Stack[top++] = lzw.Suffix[static_cast<size_t>(code)];
            if (lzw.Prefix[static_cast<size_t>(code)] == code) GIFError(SGraphics::SGIFCircularTableEntry);
            code = lzw.Prefix[static_cast<size_t>(code)];
        }
        if (top >= kStackSize) GIFError(SGraphics::SGIFInvalidData);
        first = static_cast<uint8_t>(code);
        lzw.Stack[top++] = first;
        AddEntry(lzw, firstFree, limit, width, clear, previous, first);
        previous = incoming;
        sink.PutReversed(&lzw.Stack[top - 1], top);
    }
}

} // namespace

void SetGIFDirectStrings(bool on) {
    gDirectStrings = on;
}

void DecodeGIFPixels(TGIFReader& reader, int minCodeSize, uint8_t* pixels, int width, int height,
                     bool interlaced, const std::function<void(size_t pixelsDone)>& progress) {
    TSubBlockSource source(reader);
    TPixelSink sink(pixels, width, height, interlaced, progress);
    // The context holds the table and stack, too large for the stack of a deep call chain.
    auto lzw = std::make_unique<TLZWContext>(reader, source);
    Decode(*lzw, minCodeSize, sink);
    source.SkipRest();
}
