// GIF pictures: file structure, extensions, LZW decoding to exact pixels (every minimum code size, clear
// and end codes, a full code table, interlacing), what drawing needs, and malformed files with their
// exact messages. Fixtures are built here, one by hand and the rest around the picture writers' LZW
// encoder.
#include "content/toolkit/encoders/GifWriter.h"
#include "graphics/GIFDecoder.h"
#include "graphics/GraphicsConsts.h"
#include "graphics/GraphicsExceptions.h"
#include "graphics/TGIFImage.h"
#include "graphics/TPicture.h"
#include "tests/GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <string>
#include <utility>
#include <vector>

using namespace gfx_test;
using namespace SGraphics;

namespace {

// ---- Fixture builders -----------------------------------------------------------------------------

// Codes packed least significant bit first; each pair is a code and its width in bits.
std::vector<uint8_t> PackCodes(const std::vector<std::pair<int, int>>& codes) {
    std::vector<uint8_t> out;
    int bit = 0;
    for (auto [code, width] : codes)
        for (int i = 0; i < width; ++i, ++bit) {
            if (bit % 8 == 0) out.push_back(0);
            out.back() |= static_cast<uint8_t>((code >> i & 1) << (bit % 8));
        }
    return out;
}

// Data as sub-blocks of at most blockSize bytes, then the terminator.
std::vector<uint8_t> SubBlocks(const std::vector<uint8_t>& data, size_t blockSize = 255) {
    Bytes b;
    for (size_t i = 0; i < data.size(); i += blockSize) {
        size_t n = std::min(blockSize, data.size() - i);
        b.U8(static_cast<uint32_t>(n)).Raw(std::span(data).subspan(i, n));
    }
    b.U8(0);
    return b.v;
}

// Table size bits for a table of n entries (a power of two from 2 to 256).
uint8_t SizeBits(size_t n) {
    return static_cast<uint8_t>(std::bit_width(n) - 2);
}

Bytes& ColorTable(Bytes& b, const std::vector<uint32_t>& rgbs) {
    for (uint32_t c : rgbs)
        b.U8(c >> 16 & 0xFF).U8(c >> 8 & 0xFF).U8(c & 0xFF); // red, green, blue
    return b;
}

Bytes Header(uint16_t width, uint16_t height, const std::vector<uint32_t>& global = {},
             uint8_t background = 0, std::string_view version = "89a") {
    Bytes b;
    b.Str("GIF").Str(version).U16(width).U16(height);
    b.U8(global.empty() ? 0 : 0x80 | SizeBits(global.size())).U8(background).U8(0);
    return ColorTable(b, global);
}

Bytes& GCE(Bytes& b, bool transparent, uint8_t index, uint16_t delay = 0) {
    return b.U8(0x21).U8(0xF9).U8(4).U8(transparent ? 1 : 0).U16(delay).U8(index).U8(0);
}

struct FrameLayout {
    uint16_t Left = 0, Top = 0, Width = 1, Height = 1;
    std::vector<uint32_t> Local = {};
    bool Interlaced = false;
    int MinCodeSize = 2;
};

Bytes& Frame(Bytes& b, const FrameLayout& f, const std::vector<uint8_t>& lzw) {
    b.U8(0x2C).U16(f.Left).U16(f.Top).U16(f.Width).U16(f.Height);
    b.U8((f.Local.empty() ? 0 : 0x80 | SizeBits(f.Local.size())) | (f.Interlaced ? 0x40 : 0));
    ColorTable(b, f.Local).U8(static_cast<uint32_t>(f.MinCodeSize));
    return b.Raw(SubBlocks(lzw));
}

// A file of one frame covering a width x height screen, pixels encoded at the minimum code size.
std::vector<uint8_t> OneFrame(int width, int height, const std::vector<uint8_t>& pixels, int minCodeSize = 2,
                              LzwOptions o = {}) {
    std::vector<uint32_t> table(size_t{1} << std::max(1, minCodeSize));
    for (size_t i = 0; i < table.size(); ++i)
        table[i] = static_cast<uint32_t>(i * 0x010101);
    Bytes b = Header(static_cast<uint16_t>(width), static_cast<uint16_t>(height), table);
    Frame(b, {0, 0, static_cast<uint16_t>(width), static_cast<uint16_t>(height), {}, false, minCodeSize},
          EncodeLzw(pixels, minCodeSize, o));
    return b.U8(0x3B).v;
}

// Numbers below n from a seeded sequence; Seed moves on with each.
struct TRandom {
    uint32_t Seed;
    uint32_t operator()(uint32_t n) {
        Seed = Seed * 1103515245u + 12345u;
        return (Seed >> 8) % n;
    }
};

std::vector<uint8_t> Noise(size_t n, int bits, uint32_t seed) {
    std::vector<uint8_t> v(n);
    for (auto& p : v) {
        seed = seed * 1103515245u + 12345u;
        p = static_cast<uint8_t>((seed >> 16) & ((1u << bits) - 1));
    }
    return v;
}

// A loaded image with the warnings its reading gave. Never copied or moved: the image's handler
// refers to Warnings.
struct Loaded {
    explicit Loaded(const std::vector<uint8_t>& file) {
        Image->OnWarning = [this](TGIFSeverity, const std::string& m) { Warnings.push_back(m); };
        TMemoryStream s(file);
        Image->ReadData(s);
    }
    Loaded(const Loaded&) = delete;
    Loaded& operator=(const Loaded&) = delete;

    std::unique_ptr<TGIFImage> Image = std::make_unique<TGIFImage>();
    std::vector<std::string> Warnings;
};

Loaded Load(const std::vector<uint8_t>& file) {
    return Loaded(file);
}

std::string LoadError(const std::vector<uint8_t>& file) {
    TGIFImage image;
    return ErrorOf<GIFException>([&] {
        TMemoryStream s(file);
        image.ReadData(s);
    });
}

const std::vector<uint32_t> kFour = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF}; // black, red, green, blue

// ---- Reading -----------------------------------------------------------------------------------------

TEST(GIFReading, HandBuiltTwoByTwo) {
    const std::vector<uint8_t> lzw = {0x8C, 0x14, 0x05};
    // Clear 4, then 1, 2, 2 at 3 bits, 1 at 4 bits (the table reached 8), end 5 at 4 bits.
    EXPECT_EQ(PackCodes({{4, 3}, {1, 3}, {2, 3}, {2, 3}, {1, 4}, {5, 4}}), lzw);
    EXPECT_EQ(EncodeLzw({1, 2, 2, 1}, 2), lzw);
    // The end code is read once the last code has added its entry: after 1, 2, 1 the table holds 8
    // entries and the end code takes 4 bits.
    EXPECT_EQ(EncodeLzw({1, 2, 1}, 2), PackCodes({{4, 3}, {1, 3}, {2, 3}, {1, 3}, {5, 4}}));
    for (std::string_view version : {"87a", "89a"}) {
        Bytes b;
        b.Str("GIF")
            .Str(version) // signature and version
            .U16(2)
            .U16(2) // logical screen 2 x 2
            .U8(0x81)
            .U8(0)
            .U8(0)                       // global table of 4, background 0, aspect 0
            .Raw({0, 0, 0, 255, 0, 0})   // black, red
            .Raw({0, 255, 0, 0, 0, 255}) // green, blue
            .U8(0x2C)
            .U16(0)
            .U16(0) // image at 0, 0
            .U16(2)
            .U16(2)
            .U8(0) // 2 x 2, no local table, not interlaced
            .U8(2) // minimum code size
            .U8(3)
            .Raw(lzw)
            .U8(0)     // one data sub-block, terminator
            .U8(0x3B); // trailer
        Loaded l = Load(b.v);
        EXPECT_TRUE(l.Warnings.empty());
        EXPECT_EQ(std::string(l.Image->Header().Version, 3), version);
        EXPECT_EQ(l.Image->Width(), 2);
        ASSERT_EQ(l.Image->Images().size(), 1u);
        EXPECT_EQ(l.Image->Images()[0]->Data(), (std::vector<uint8_t>{1, 2, 2, 1}));
        const TBitmap* bitmap = l.Image->DecodedBitmap();
        ASSERT_NE(bitmap, nullptr);
        EXPECT_EQ(bitmap->ToBGRA(),
                  (std::vector<uint32_t>{Rgb(255, 0, 0), Rgb(0, 255, 0), Rgb(0, 255, 0), Rgb(255, 0, 0)}));
        // An 8-bit bitmap whose 256-entry table holds the 4 colours and then black.
        EXPECT_EQ(bitmap->PixelFormat(), pf8bit);
        ASSERT_EQ(bitmap->ColorTable().size(), 256u);
        EXPECT_EQ(bitmap->ColorTable()[3], (TRGBQuad{255, 0, 0, 0}));
        EXPECT_EQ(bitmap->ColorTable()[4], TRGBQuad{});
        EXPECT_EQ(bitmap->InfoHeader().ClrImportant, 4u);
        EXPECT_EQ(l.Image->DecodedBitmap(), bitmap);
        EXPECT_EQ(l.Image->Palette().size(), 4u);
    }
}

TEST(GIFReading, LocalTablesOverrideTheGlobalOneFrameByFrame) {
    Bytes b = Header(2, 1, kFour);
    Frame(b, {.Width = 2, .Local = {0x111111, 0x222222}}, EncodeLzw({0, 1}, 2));
    Frame(b, {.Width = 2}, EncodeLzw({3, 2}, 2));
    Loaded l = Load(b.U8(0x3B).v);
    ASSERT_EQ(l.Image->Images().size(), 2u);
    EXPECT_EQ(l.Image->DecodedBitmap()->ToBGRA(),
              (std::vector<uint32_t>{Rgb(0x11, 0x11, 0x11), Rgb(0x22, 0x22, 0x22)}));
    EXPECT_EQ(l.Image->Images()[1]->Bitmap()->ToBGRA(),
              (std::vector<uint32_t>{Rgb(0, 0, 255), Rgb(0, 255, 0)}));
    EXPECT_EQ(l.Image->Palette()[1], (TPaletteEntry{255, 0, 0, 0})); // the global table
}

TEST(GIFReading, PictureDataWithOrWithoutALengthInFront) {
    std::vector<uint8_t> file = OneFrame(3, 1, {1, 0, 3});
    for (const auto& payload : {file, WithLength(file)}) {
        TPicture picture;
        std::vector<std::string> progress;
        picture.OnProgress = [&](TObject*, TProgressStage, int, bool, const TRect&, const std::string& m) {
            progress.push_back(m);
        };
        TMemoryStream s(PictureData("TGIFImage", payload));
        picture.ReadData(s);
        ASSERT_NE(picture.Graphic(), nullptr);
        EXPECT_EQ(picture.Width(), 3);
        EXPECT_TRUE(picture.Graphic()->Transparent()); // until a picture control says otherwise
        EXPECT_EQ(static_cast<TGIFImage*>(picture.Graphic())->Images()[0]->Data(),
                  (std::vector<uint8_t>{1, 0, 3}));
        ASSERT_FALSE(progress.empty());
        EXPECT_EQ(progress.front(), SGIFLoading);
    }
}

TEST(GIFReading, ProgressWhileDecodingAndWhileTheFrameBitmapIsBuilt) {
    // 100 x 120 pixels: one report after 10,000 decoded pixels; 120 rows: reports after rows 32, 64, 96.
    TPicture picture;
    std::vector<std::string> reports;
    picture.OnProgress = [&](TObject*, TProgressStage stage, int percent, bool redrawNow, const TRect& r,
                             const std::string& m) {
        EXPECT_FALSE(redrawNow);
        EXPECT_TRUE(r.IsEmpty());
        reports.push_back(std::to_string(static_cast<int>(stage)) + " " + std::to_string(percent) + " " + m);
    };
    TMemoryStream s(PictureData("TGIFImage", OneFrame(100, 120, Noise(12000, 2, 7))));
    picture.ReadData(s);
    EXPECT_EQ(reports, (std::vector<std::string>{"0 0 Loading", "1 83 ", "1 100 ", "2 100 "}));
    reports.clear();
    ASSERT_NE(picture.Graphic()->DecodedBitmap(), nullptr);
    EXPECT_EQ(reports, (std::vector<std::string>{"0 0 Rendering", "1 26 Rendering", "1 53 Rendering",
                                                 "1 80 Rendering", "2 100 Rendering"}));
    reports.clear();
    picture.Graphic()->DecodedBitmap(); // built once
    EXPECT_TRUE(reports.empty());

    // A handler that aborts the building leaves the frame without a bitmap for that draw only.
    picture.OnProgress = [](TObject*, TProgressStage stage, int, bool, const TRect&, const std::string& m) {
        if (stage == TProgressStage::psRunning && m == SGIFRendering) throw EAbort("");
    };
    TMemoryStream again(PictureData("TGIFImage", OneFrame(100, 40, Noise(4000, 2, 7))));
    picture.ReadData(again);
    EXPECT_EQ(picture.Graphic()->DecodedBitmap(), nullptr);
    picture.OnProgress = nullptr;
    ASSERT_NE(picture.Graphic()->DecodedBitmap(), nullptr);
    EXPECT_EQ(picture.Graphic()->DecodedBitmap()->Height(), 40);
}

// ---- LZW ---------------------------------------------------------------------------------------------

TEST(GIFLZW, EveryMinimumCodeSizeFromTwoToEight) {
    for (int size = 2; size <= 8; ++size) {
        std::vector<uint8_t> pixels = Noise(37 * 23, size, static_cast<uint32_t>(size));
        Loaded l = Load(OneFrame(37, 23, pixels, size));
        ASSERT_EQ(l.Image->Images().size(), 1u) << size;
        EXPECT_EQ(l.Image->Images()[0]->Data(), pixels) << size;
        EXPECT_TRUE(l.Warnings.empty()) << size;
    }
}

TEST(GIFLZW, AFullTableStaysInUseUntilAClearCode) {
    for (int size : {2, 8}) {
        // Noise said three times over: the repeats reuse long strings, up to the table's last entry.
        const std::vector<uint8_t> noise = Noise(12000, size, 7);
        std::vector<uint8_t> pixels = noise;
        for (int repeat = 0; repeat < 2; ++repeat)
            pixels.insert(pixels.end(), noise.begin(), noise.end());
        // The table fills: kept in use, it gives other codes than when cleared.
        ASSERT_NE(EncodeLzw(pixels, size, {.ClearWhenFull = false}), EncodeLzw(pixels, size));
        for (LzwOptions o :
             {LzwOptions{.ClearWhenFull = false}, LzwOptions{}, LzwOptions{.ClearEvery = 50}}) {
            Loaded l = Load(OneFrame(200, 180, pixels, size, o));
            EXPECT_EQ(l.Image->Images()[0]->Data(), pixels)
                << size << " " << o.ClearWhenFull << " " << o.ClearEvery;
        }
    }
}

TEST(GIFLZW, AnEndCodeStopsDecodingAndTheRestKeepsTheFill) {
    // Six pixels, data for three; a transparent frame is filled with its transparent index.
    for (bool transparent : {false, true}) {
        Bytes b = Header(3, 2, kFour);
        if (transparent) GCE(b, true, 3);
        std::vector<uint8_t> data = EncodeLzw({1, 2, 1}, 2);
        data.insert(data.end(), 600, 0xDE); // after the end code, over several sub-blocks: passed over
        Frame(b, {.Width = 3, .Height = 2}, data);
        Frame(b, {.Width = 1}, EncodeLzw({2}, 2));
        Loaded l = Load(b.U8(0x3B).v);
        uint8_t fill = transparent ? 3 : 0;
        ASSERT_EQ(l.Image->Images().size(), 2u);
        EXPECT_EQ(l.Image->Images()[0]->Data(), (std::vector<uint8_t>{1, 2, 1, fill, fill, fill}));
        EXPECT_EQ(l.Image->Images()[1]->Data(), std::vector<uint8_t>{2});
        EXPECT_TRUE(l.Warnings.empty());
    }
}

TEST(GIFLZW, PixelsTheDataNeverReachesTakeNoMemory) {
    // Frames of the most pixels a picture may hold, each with data for three. A definition can hold
    // many such pictures: they must cost what their files bring, not half a gigabyte for four. A
    // transparent index of 0 leaves the missing pixels as they are made.
    for (bool transparent : {false, true}) {
        const int64_t before = ResidentBytes();
        std::vector<std::unique_ptr<Loaded>> held;
        for (int i = 0; i < 4; ++i) {
            Bytes b = Header(16384, 8192, kFour);
            if (transparent) GCE(b, true, 0);
            Frame(b, {.Width = 16384, .Height = 8192}, EncodeLzw({1, 2, 1}, 2));
            held.push_back(std::make_unique<Loaded>(b.U8(0x3B).v));
            ASSERT_EQ(held.back()->Image->Images().size(), 1u);
        }
        EXPECT_LT(ResidentBytes() - before, int64_t{128} << 20) << transparent;
    }
}

TEST(GIFLZW, DataEndingWithoutEndCodeIsAnUnderRun) {
    // Clear, 1, 2, 2, then 1 in the last four bits exactly: it is still decoded.
    std::vector<uint8_t> data = PackCodes({{4, 3}, {1, 3}, {2, 3}, {2, 3}, {1, 4}});
    ASSERT_EQ(data.size(), 2u);
    Bytes b = Header(3, 2, kFour);
    Frame(b, {.Width = 3, .Height = 2}, data);
    Loaded l = Load(b.U8(0x3B).v);
    EXPECT_EQ(l.Image->Images()[0]->Data(), (std::vector<uint8_t>{1, 2, 2, 1, 0, 0}));
    EXPECT_EQ(l.Warnings, std::vector<std::string>{std::string(SGIFDecoderUnderrun)});
}

TEST(GIFLZW, InterlacedRowsComeInFourPasses) {
    for (int height = 1; height <= 17; ++height) {
        std::vector<uint8_t> pixels =
            Noise(static_cast<size_t>(3 * height), 2, static_cast<uint32_t>(height));
        std::vector<uint8_t> passOrder;
        for (auto [start, step] : {std::pair{0, 8}, {4, 8}, {2, 4}, {1, 2}})
            for (int y = start; y < height; y += step)
                passOrder.insert(passOrder.end(), pixels.begin() + 3 * y, pixels.begin() + 3 * y + 3);
        Bytes b = Header(3, static_cast<uint16_t>(height), kFour);
        Frame(b, {.Width = 3, .Height = static_cast<uint16_t>(height), .Interlaced = true},
              EncodeLzw(passOrder, 2));
        Loaded l = Load(b.U8(0x3B).v);
        EXPECT_EQ(l.Image->Images()[0]->Data(), pixels) << "height " << height;
    }
}

// Strings whose chain is known to be sound are written straight into their row; every other string
// is unwound on a stack. Both ways must give the same pixels, warnings, reports and errors, on sound
// data and on data with flipped bytes and plain noise (corrupt tables, codes beyond the table).
TEST(GIFLZW, StringsWrittenInPlaceGiveWhatTheStackGives) {
    auto outcome = [](const std::vector<uint8_t>& file) {
        TGIFImage image;
        std::string seen;
        image.OnWarning = [&](TGIFSeverity, const std::string& m) { seen += "warning " + m + "\n"; };
        image.OnProgress = [&](TObject*, TProgressStage stage, int percent, bool, const TRect&,
                               const std::string&) {
            seen +=
                "progress " + std::to_string(static_cast<int>(stage)) + " " + std::to_string(percent) + "\n";
        };
        seen += "error " + ErrorOf<GIFException>([&] {
                    TMemoryStream s(file);
                    image.ReadData(s);
                }) +
                "\n";
        for (const auto& frame : image.Images()) {
            const auto data = frame->Data();
            seen.append(data.begin(), data.end()).append("\n");
        }
        return seen;
    };
    TRandom random{11};
    int failed = 0;
    for (int round = 0; round < 60; ++round) {
        const int size = 2 + static_cast<int>(random(7));
        const uint16_t width = static_cast<uint16_t>(1 + random(300)),
                       height = static_cast<uint16_t>(1 + random(90));
        // Runs make long strings; noise short ones.
        std::vector<uint8_t> pixels = Noise(size_t{width} * height, size, random.Seed);
        for (size_t i = 1; i < pixels.size(); ++i)
            if (random(4) != 0) pixels[i] = pixels[i - 1];
        LzwOptions o;
        o.ClearWhenFull = random(2) == 0;
        if (random(3) == 0) o.ClearEvery = static_cast<int>(20 + random(400));
        std::vector<uint8_t> lzw = EncodeLzw(pixels, size, o);
        if (round % 3 == 1)
            for (int flips = 1 + static_cast<int>(random(4)); flips > 0; --flips)
                lzw[random(static_cast<uint32_t>(lzw.size()))] ^= static_cast<uint8_t>(1 + random(255));
        if (round % 3 == 2) lzw = Noise(lzw.size(), 8, random.Seed);
        std::vector<uint32_t> table(size_t{1} << size);
        Bytes b = Header(width, height, table);
        Frame(b, {.Width = width, .Height = height, .Interlaced = random(2) == 0, .MinCodeSize = size}, lzw);
        const std::vector<uint8_t> file = b.U8(0x3B).v;
        SetGIFDirectStrings(false);
        const std::string stacked = outcome(file);
        SetGIFDirectStrings(true);
        EXPECT_EQ(outcome(file), stacked) << "round " << round;
        failed += stacked.find("error no error\n") == std::string::npos;
    }
    // Both kinds of ending were met.
    EXPECT_GT(failed, 3);
    EXPECT_LT(failed, 40);
}

// Frames decoded later, at their first request, give what decoding while loading gives: the same frames,
// pixels, bitmaps, warnings (later ones come when the frame decodes) and error; a frame decodes once.
TEST(GIFLZW, FramesDecodedLaterGiveWhatLoadingDecodes) {
    // Later, the frames decode at DecodeFrames or, on demand, when the bitmap and the pixels are asked for.
    enum { kNow, kLater, kOnDemand };
    auto outcome = [](const std::vector<uint8_t>& file, int when) {
        TGIFImage::SetDecodeFramesLater(when != kNow);
        TGIFImage image;
        std::vector<std::string> warnings;
        image.OnWarning = [&](TGIFSeverity, const std::string& m) { warnings.push_back(m); };
        std::string seen = "error " + ErrorOf<GIFException>([&] {
                               TMemoryStream s(file);
                               image.ReadData(s);
                               TGIFImage::SetDecodeFramesLater(false);
                               if (when != kNow) {
                                   EXPECT_TRUE(image.FramesPending());
                               }
                               if (when == kLater) image.DecodeFrames();
                           });
        TGIFImage::SetDecodeFramesLater(false);
        std::string bitmap;
        if (seen.starts_with("error no error") && image.DecodedBitmap()) {
            const std::vector<uint32_t> bgra = image.DecodedBitmap()->ToBGRA();
            bitmap = "\nbitmap " + std::to_string(std::hash<std::string_view>{}(std::string_view(
                                       reinterpret_cast<const char*>(bgra.data()), bgra.size() * 4)));
        }
        for (const auto& frame : image.Images()) {
            const auto data = frame->Data();
            seen += "\nframe " + std::to_string(frame->Width()) + "x" + std::to_string(frame->Height()) + " ";
            seen.append(data.begin(), data.end());
        }
        EXPECT_FALSE(image.FramesPending());
        std::sort(warnings.begin(), warnings.end());
        for (const std::string& w : warnings)
            seen += "\nwarning " + w;
        return seen + bitmap;
    };
    TRandom random{5};
    int faulty = 0;
    for (int round = 0; round < 40; ++round) {
        // Damaged data in files of one frame: decoding stops at the first fault, later frames unread.
        const bool damaged = round % 2 == 1;
        const int frames = damaged ? 1 : 1 + static_cast<int>(random(3));
        const uint16_t width = static_cast<uint16_t>(1 + random(200)),
                       height = static_cast<uint16_t>(1 + random(60));
        Bytes b = Header(width, height, kFour);
        for (int f = 0; f < frames; ++f) {
            if (random(2) == 0) GCE(b, true, static_cast<uint8_t>(random(4)));
            const uint16_t w = static_cast<uint16_t>(1 + random(width)),
                           h = static_cast<uint16_t>(1 + random(height));
            std::vector<uint8_t> lzw = EncodeLzw(Noise(size_t{w} * h, 2, random.Seed), 2, {});
            if (damaged) {
                if (random(2) == 0)
                    lzw = Noise(lzw.size(), 8, random.Seed);
                else
                    lzw.resize(lzw.size() / 2);
            }
            Frame(b, {.Width = w, .Height = h, .Interlaced = random(2) == 0}, lzw);
        }
        const std::vector<uint8_t> file = b.U8(0x3B).v;
        const std::string now = outcome(file, kNow);
        EXPECT_EQ(outcome(file, kLater), now) << "round " << round;
        // Decoding on demand happens outside the check for errors: sound files only.
        if (!damaged) {
            EXPECT_EQ(outcome(file, kOnDemand), now) << "round " << round;
        }
        faulty += !now.starts_with("error no error") || now.find("\nwarning ") != std::string::npos;
    }
    EXPECT_GT(faulty, 5);
}

// ---- Extensions --------------------------------------------------------------------------------------

TEST(GIFExtensions, EachKindKeepsWhatItRead) {
    Bytes b = Header(1, 1, kFour);
    b.U8(0x21).U8(0xFE).U8(8).Str("first\r\ns").U8(11).Str("econd\nthird").U8(0); // comment in two sub-blocks
    b.U8(0x21).U8(0xFF).U8(11).Str("NETSCAPE2.0").U8(3).U8(1).U16(5).U8(0);       // loop 5 times
    b.U8(0x21).U8(0xFF).U8(11).Str("XYZWARE1.0a").U8(2).U8(7).U8(8).U8(0);        // unknown application
    b.U8(0x21).U8(0xFF).U8(12).Str("LONGERBLOCK!").U8(1).U8(9).U8(0);             // 12-byte identifying block
    b.U8(0x21).U8(0xFF).U8(10).Str("TENBYTES!!").U8(1).U8(4).U8(0);               // 10-byte identifying block
    b.U8(0x21)
        .U8(0x01)
        .U8(12)
        .U16(1)
        .U16(2)
        .U16(30)
        .U16(40)
        .U8(8)
        .U8(16)
        .U8(1)
        .U8(0) // plain text
        .U8(2)
        .Str("hi")
        .U8(0);
    GCE(b, true, 2, 150);
    GCE(b, false, 1); // a second one only warns
    Frame(b, {}, EncodeLzw({2}, 2));
    Loaded l = Load(b.U8(0x3B).v);
    EXPECT_EQ(l.Warnings, std::vector<std::string>{std::string(SGIFMultipleGCE)});
    const TGIFFrame& f = *l.Image->Images()[0];
    ASSERT_EQ(f.Extensions().size(), 8u);
    auto* comment = dynamic_cast<const TGIFCommentExtension*>(f.Extensions()[0].get());
    ASSERT_NE(comment, nullptr);
    EXPECT_EQ(comment->Comment(), (std::vector<std::string>{"first", "second", "third"}));
    auto* loop = dynamic_cast<const TGIFAppExtNSLoop*>(f.Extensions()[1].get());
    ASSERT_NE(loop, nullptr);
    EXPECT_EQ(loop->Loops(), 5);
    auto* unknown = dynamic_cast<const TGIFUnknownAppExtension*>(f.Extensions()[2].get());
    ASSERT_NE(unknown, nullptr);
    EXPECT_EQ(unknown->Identifier(), "XYZWARE1.0a");
    EXPECT_EQ(unknown->Blocks(), (std::vector<std::vector<uint8_t>>{{7, 8}}));
    auto* plainApp = f.Extensions()[3].get();
    EXPECT_EQ(typeid(*plainApp), typeid(TGIFApplicationExtension));
    EXPECT_EQ(static_cast<const TGIFApplicationExtension*>(plainApp)->Identifier(), "LONGERBLOCK");
    auto* ten = dynamic_cast<const TGIFUnknownAppExtension*>(f.Extensions()[4].get());
    ASSERT_NE(ten, nullptr);
    EXPECT_EQ(ten->Identifier(), std::string(11, '\0')); // a 10-byte block identifies nothing
    EXPECT_EQ(ten->Blocks(), (std::vector<std::vector<uint8_t>>{{4}}));
    auto* text = dynamic_cast<const TGIFTextExtension*>(f.Extensions()[5].get());
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->Rec().Width, 30);
    EXPECT_EQ(text->Rec().CellHeight, 16);
    EXPECT_EQ(text->Text(), std::vector<std::string>{"hi"});
    ASSERT_NE(f.GraphicControlExtension(), nullptr);
    EXPECT_EQ(f.GraphicControlExtension(), f.Extensions()[6].get());
    EXPECT_EQ(f.GraphicControlExtension()->TransparentColorIndex(), 2);
    EXPECT_EQ(f.GraphicControlExtension()->Delay(), 150);
    EXPECT_TRUE(f.Transparent());
}

// ---- What drawing needs --------------------------------------------------------------------------------

TEST(GIFDrawing, TransparentFramesFillFirstAndKeepTheirTableColour) {
    Bytes b = Header(3, 2);
    GCE(b, true, 0);
    Frame(b, {.Width = 3, .Height = 2, .Local = kFour}, EncodeLzw({0, 1, 0, 1, 1, 0}, 2));
    Loaded l = Load(b.U8(0x3B).v);
    TGIFImage& image = *l.Image;
    EXPECT_FALSE(image.NeedsBackgroundFill()); // the picture itself is transparent
    image.SetTransparent(false);
    EXPECT_TRUE(image.NeedsBackgroundFill());
    EXPECT_EQ(image.BackgroundColor(), clWindow); // no global table
    const TBitmap* bitmap = image.DecodedBitmap();
    EXPECT_EQ(bitmap->ToBGRA()[0], Rgb(0, 0, 0)); // the transparent index shows its table colour
    const TGIFFrame& f = *image.Images()[0];
    EXPECT_EQ(f.MaskStride(), 2);
    EXPECT_EQ(f.Mask(), (std::vector<uint8_t>{0xA0, 0, 0x20, 0}));
    image.SetDrawBackgroundColor(clRed);
    EXPECT_EQ(image.BackgroundColor(), clRed);

    // With a global table the background entry is used; an index beyond it warns and takes entry 0.
    Bytes g = Header(1, 1, kFour, 2);
    Frame(g, {}, EncodeLzw({1}, 2));
    Loaded withGlobal = Load(g.U8(0x3B).v);
    EXPECT_EQ(withGlobal.Image->BackgroundColor(), 0x00FF00);
    EXPECT_TRUE(withGlobal.Image->Images()[0]->Mask().empty());
    Bytes h = Header(1, 1, kFour, 9);
    Frame(h, {}, EncodeLzw({1}, 2));
    Loaded beyond = Load(h.U8(0x3B).v);
    EXPECT_EQ(beyond.Image->BackgroundColor(), 0x000000);
    EXPECT_EQ(beyond.Warnings, std::vector<std::string>{std::string(SGIFInvalidColorIndex)});
}

TEST(GIFDrawing, TheFirstFrameIsMappedFromTheLogicalScreen) {
    Bytes b = Header(100, 100, kFour);
    Frame(b, {.Left = 10, .Top = 20, .Width = 30, .Height = 40}, EncodeLzw(std::vector<uint8_t>(1200, 1), 2));
    Frame(b, {}, EncodeLzw({2}, 2));
    Loaded l = Load(b.U8(0x3B).v);
    EXPECT_EQ(l.Image->FrameRect(50, 50), (TGIFFrameRect{5, 10, 20, 30}));
    EXPECT_EQ(l.Image->FrameRect(15, 100), (TGIFFrameRect{2, 20, 6, 60})); // 1.5 rounds up
    EXPECT_EQ(l.Image->DecodedBitmap()->Width(), 30);
}

TEST(GIFDrawing, FramesBeyondTheScreenEnlargeIt) {
    Bytes b = Header(4, 4, kFour);
    Frame(b, {.Left = 2, .Top = 3, .Width = 3, .Height = 2}, EncodeLzw(std::vector<uint8_t>(6, 1), 2));
    Loaded l = Load(b.U8(0x3B).v);
    EXPECT_EQ(l.Image->Width(), 5);
    EXPECT_EQ(l.Image->Height(), 5);
    EXPECT_EQ(l.Warnings, std::vector<std::string>{std::string(SGIFImageExceedsScreen)});

    Bytes z = Header(0, 0, kFour);
    Frame(z, {.Width = 2, .Height = 2}, EncodeLzw(std::vector<uint8_t>(4, 1), 2));
    Loaded zero = Load(z.U8(0x3B).v);
    EXPECT_EQ(zero.Image->Width(), 2);
    EXPECT_TRUE(zero.Warnings.empty());

    // A frame of width 0 takes the screen's size.
    Bytes w = Header(2, 2, kFour);
    Frame(w, {.Width = 0, .Height = 5}, EncodeLzw(std::vector<uint8_t>(4, 3), 2));
    Loaded sized = Load(w.U8(0x3B).v);
    EXPECT_EQ(sized.Image->Images()[0]->Width(), 2);
    EXPECT_EQ(sized.Image->Images()[0]->Height(), 2);
    EXPECT_EQ(sized.Warnings, std::vector<std::string>{std::string(SGIFImageExceedsScreen)});

    // A frame reaching beyond 65535 is cut to it.
    Bytes far = Header(1, 1, kFour);
    Frame(far, {.Left = 65530, .Width = 10}, EncodeLzw(std::vector<uint8_t>(5, 1), 2));
    Loaded cut = Load(far.U8(0x3B).v);
    EXPECT_EQ(cut.Image->Images()[0]->Width(), 5);
    EXPECT_EQ(cut.Warnings.front(), SGIFInvalidImageSize);
}

// ---- Structure ---------------------------------------------------------------------------------------

TEST(GIFStructure, TrailerZerosAndUnknownBlocks) {
    Bytes b = Header(1, 1, kFour);
    b.Fill(3, 0); // zero bytes between blocks are passed over
    Frame(b, {}, EncodeLzw({1}, 2));
    Loaded noTrailer = Load(b.v);
    EXPECT_EQ(noTrailer.Image->Images().size(), 1u);
    EXPECT_TRUE(noTrailer.Warnings.empty());

    Bytes unknown = b;
    unknown.Str("?");
    Frame(unknown, {}, EncodeLzw({2}, 2));
    Loaded stopped = Load(unknown.v);
    EXPECT_EQ(stopped.Image->Images().size(), 1u); // reading stopped, the frame read so far stays
    EXPECT_EQ(stopped.Warnings,
              (std::vector<std::string>{std::string(SGIFUnknownBlockType), std::string(SGIFInvalidTrailer)}));

    // Extensions without an image make a frame that is kept but has nothing to draw.
    Bytes only = Header(1, 1, kFour);
    GCE(only, false, 0);
    Loaded extensionsOnly = Load(only.U8(0x3B).v);
    EXPECT_EQ(extensionsOnly.Image->Images().size(), 1u);
    EXPECT_FALSE(extensionsOnly.Image->Empty());
    EXPECT_EQ(extensionsOnly.Image->DecodedBitmap(), nullptr);

    // The stream is left after the trailer.
    std::vector<uint8_t> file = OneFrame(1, 1, {1});
    file.insert(file.end(), {'x', 'y'});
    TGIFImage image;
    TMemoryStream s(file);
    image.ReadData(s);
    EXPECT_EQ(s.Position(), s.Size() - 2);
}

TEST(GIFStructure, DataThatIsLostWarnsAndReadingGoesOn) {
    Bytes b = Header(2, 1, kFour);
    Frame(b, {.MinCodeSize = 13}, {0x00}); // no pixels: the frame is dropped
    Frame(b, {.Width = 2}, EncodeLzw({3, 1}, 2));
    Loaded l = Load(b.U8(0x3B).v);
    ASSERT_EQ(l.Image->Images().size(), 1u);
    EXPECT_EQ(l.Image->Images()[0]->Data(), (std::vector<uint8_t>{3, 1}));
    EXPECT_EQ(l.Warnings, std::vector<std::string>{std::string(SGIFInvalidData)});

    // The file ends where the minimum code size should be.
    Bytes missing = Header(1, 1, kFour);
    missing.U8(0x2C).U16(0).U16(0).U16(1).U16(1).U8(0);
    Loaded m = Load(missing.v);
    EXPECT_TRUE(m.Image->Empty());
    EXPECT_EQ(m.Warnings, std::vector<std::string>{std::string(SGIFPrematureEndOfData)});

    // A sub-block longer than the file is cut to what is there.
    Bytes longer = Header(3, 1, kFour);
    std::vector<uint8_t> data = EncodeLzw({1, 2, 3}, 2);
    longer.U8(0x2C).U16(0).U16(0).U16(3).U16(1).U8(0).U8(2).U8(200).Raw(data);
    Loaded cut = Load(longer.v);
    EXPECT_EQ(cut.Image->Images()[0]->Data(), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(cut.Warnings, std::vector<std::string>{std::string(SGIFPrematureEndOfData)});

    // Without a handler warnings are passed over and errors raised.
    TGIFImage quiet;
    EXPECT_EQ(ErrorOf<Exception>([&] { quiet.Warning(gsWarning, "w"); }), "no error");
    EXPECT_EQ(ErrorOf<GIFException>([&] { quiet.Warning(gsError, "bad"); }), E("bad"));
}

// ---- Malformed files ---------------------------------------------------------------------------------

TEST(GIFMalformed, ExactMessages) {
    auto withFrame = [](auto build) {
        Bytes b = Header(10, 1, kFour);
        build(b);
        return b.U8(0x3B).v;
    };
    const std::vector<std::pair<std::vector<uint8_t>, std::string_view>> cases = {
        {{}, SGIFPrematureEndOfData},
        {Bytes().Str("GIF8").v, SGIFPrematureEndOfData},
        {Bytes().Str("GIX89a").Fill(7, 0).v, SGIFInvalidSignature},
        {Bytes().Str("GIF89a").U16(1).v, SGIFPrematureEndOfData}, // screen descriptor
        {Bytes().Str("GIF89a").U16(1).U16(1).U8(0x82).U8(0).U8(0).Fill(9, 0).v,
         SGIFPrematureEndOfData},                                                        // table of 8
        {withFrame([](Bytes& b) { b.U8(0x2C).U16(0).U16(0); }), SGIFPrematureEndOfData}, // image descriptor
        {withFrame([](Bytes& b) { b.U8(0x2C).U16(0).U16(0).U16(1).U16(1).U8(0x81).Fill(5, 0); }),
         SGIFPrematureEndOfData},
        {withFrame([](Bytes& b) { b.U8(0x21).U8(0x99).U8(0); }), SGIFUnknownExtension},
        {withFrame([](Bytes& b) { GCE(b, false, 0).Str("X").Fill(12, 0); }), SGIFInvalidData}, // no separator
        {withFrame([](Bytes& b) { b.U8(0x21).U8(0xFF).U8(5).Str("ABCDE").U8(0); }),
         SGIFUnsupportedAppExtSize},
        // A loop-count sub-block of 2 bytes where 3 are needed.
        {withFrame([](Bytes& b) { b.U8(0x21).U8(0xFF).U8(11).Str("NETSCAPE2.0").U8(2).U8(1).U8(5).U8(0); }),
         SGIFInvalidData},
        {withFrame([](Bytes& b) { b.U8(0x21).U8(0xFE).U8(9).Str("cut"); }), SGIFPrematureEndOfData},
        // Clear, 7 (not a code yet), 7 again, 1: entry 7 becomes its own prefix; then 7 is looked up.
        {withFrame([](Bytes& b) {
             Frame(b, {.Width = 10}, PackCodes({{4, 3}, {7, 3}, {7, 3}, {1, 3}, {7, 4}}));
         }),
         SGIFCircularTableEntry},
        // Entries 6 and 7 become each other's prefix: the string never ends.
        {withFrame([](Bytes& b) {
             Frame(b, {.Width = 10}, PackCodes({{4, 3}, {7, 3}, {6, 3}, {1, 3}, {6, 4}}));
         }),
         SGIFInvalidData},
        // 65535 x 65535 one-byte pixels (4 GB) are refused before they are allocated.
        {withFrame([](Bytes& b) { Frame(b, {.Width = 65535, .Height = 65535}, EncodeLzw({1}, 2)); }),
         SGIFInvalidImageSize},
        // Width 0 takes the screen's 10, which from 65530 reaches beyond 65535.
        {withFrame([](Bytes& b) { Frame(b, {.Left = 65530, .Width = 0}, EncodeLzw({1}, 2)); }),
         SGIFInvalidImageSize},
    };
    for (size_t i = 0; i < cases.size(); ++i)
        EXPECT_EQ(LoadError(cases[i].first), E(cases[i].second)) << "case " << i;
}

TEST(GIFMalformed, AFailedReadPutsTheStreamBack) {
    std::vector<uint8_t> bytes = Bytes().Str("pre").Str("GIF89a").U16(1).v;
    TMemoryStream s(bytes);
    s.SetPosition(3);
    TGIFImage image;
    EXPECT_EQ(ErrorOf<GIFException>([&] { image.ReadData(s); }), E(SGIFPrematureEndOfData));
    EXPECT_EQ(s.Position(), 3);
}

} // namespace
