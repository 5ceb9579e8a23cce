// Picture data and the kind registry, bitmaps (every header, depth and row order, the size rules and
// their faults) and icons (directory, image choice, decoding).
#include "content/toolkit/encoders/BitmapWriter.h"
#include "graphics/GraphicsConsts.h"
#include "graphics/TBitmap.h"
#include "graphics/TIcon.h"
#include "graphics/TJPEGImage.h"
#include "graphics/TPicture.h"
#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"
#include "tests/GraphicsTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace gfx_test;

namespace {

const std::string kInvalidBitmap = E(SGraphics::SInvalidBitmap);
const std::string kInvalidIcon = E(SGraphics::SInvalidIcon);
const std::string kReadError = E(SConsts::SReadError);

constexpr uint32_t kRed = Rgb(255, 0, 0), kGreen = Rgb(0, 255, 0), kBlue = Rgb(0, 0, 255),
                   kWhite = Rgb(255, 255, 255), kBlack = Rgb(0, 0, 0);

struct BmpLayout {
    int32_t Width = 1, Height = 1;
    uint16_t BitCount = 24;
    uint32_t Compression = 0;
    uint32_t SizeImage = 0;
    uint32_t ClrUsed = 0;
    uint16_t Planes = 1;
    uint32_t PixelOffset = 0; // 0: where the pixels really start
};

// A BMP file with a 40-byte info header; extra holds masks (bit fields) and the colour table.
std::vector<uint8_t> Bmp(const BmpLayout& s, std::span<const uint8_t> extra,
                         std::span<const uint8_t> pixels) {
    const uint32_t offset = s.PixelOffset ? s.PixelOffset : 54 + static_cast<uint32_t>(extra.size());
    Bytes b;
    b.Str("BM")                                                        // signature
        .U32(54 + static_cast<uint32_t>(extra.size() + pixels.size())) // file size
        .U16(0)
        .U16(0)             // reserved
        .U32(offset)        // offset of pixels
        .U32(40)            // info header size
        .I32(s.Width)       // width
        .I32(s.Height)      // height: positive is bottom-up
        .U16(s.Planes)      // planes
        .U16(s.BitCount)    // bits per pixel
        .U32(s.Compression) // compression
        .U32(s.SizeImage)   // image size
        .I32(3780)          // horizontal resolution, pixels per metre
        .I32(3780)          // vertical resolution
        .U32(s.ClrUsed)     // colours used
        .U32(0)             // colours important
        .Raw(extra)
        .Raw(pixels);
    return b.v;
}

TBitmap LoadBitmap(const std::vector<uint8_t>& file) {
    TBitmap bitmap;
    ReadPayload(bitmap, WithLength(file));
    return bitmap;
}

std::vector<uint8_t> Quads(std::initializer_list<uint32_t> rgbs) {
    Bytes b;
    for (uint32_t c : rgbs)
        b.U8(c & 0xFF).U8(c >> 8 & 0xFF).U8(c >> 16 & 0xFF).U8(0); // blue, green, red, reserved
    return b.v;
}

std::string ReadBitmapError(const std::vector<uint8_t>& payload) {
    TBitmap bitmap;
    return ErrorOf<Exception>([&] { ReadPayload(bitmap, payload); });
}

// ---- Picture data and the registry -------------------------------------------------------------------

TEST(PictureRegistry, ListsTheFiveKindsAndFindsTheLastEntryOfAClass) {
    const auto& formats = TFileFormatsList::Instance().Formats();
    ASSERT_GE(formats.size(), 5u);
    const char* extensions[] = {"ico", "bmp", "gif", "jpeg", "jpg"};
    const char* descriptions[] = {"Icons", "Bitmaps", "GIF Image", "JPEG Image File", "JPEG Image File"};
    const char* classes[] = {"TIcon", "TBitmap", "TGIFImage", "TJPEGImage", "TJPEGImage"};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(formats[i].Extension, extensions[i]);
        EXPECT_EQ(formats[i].Description, descriptions[i]);
        EXPECT_EQ(formats[i].GraphicClass->ClassName, classes[i]);
    }
    EXPECT_EQ(TFileFormatsList::Instance().FindClassName("TJPEGImage"), &formats[4]);
    EXPECT_EQ(TFileFormatsList::Instance().FindClassName("TJPEGIMAGE"), nullptr);

    // A kind registered later is found first for its class, until it is taken back.
    const size_t kinds = formats.size();
    {
        RegisterFileFormat("DIB", "Device-independent bitmaps", TBitmap::ClassInfo,
                           []() -> std::unique_ptr<TGraphic> { return std::make_unique<TBitmap>(); });
        struct Unregister {
            ~Unregister() { UnregisterFileFormat("dib", TBitmap::ClassInfo); }
        } unregister;
        const auto& after = TFileFormatsList::Instance().Formats();
        EXPECT_EQ(after.back().Extension, "dib");
        EXPECT_EQ(TFileFormatsList::Instance().FindClassName("TBitmap"), &after.back());
    }
    EXPECT_EQ(formats.size(), kinds);
    EXPECT_EQ(TFileFormatsList::Instance().FindClassName("TBitmap"), &formats[1]);
}

TEST(PictureData, TagChoosesTheKindAndTheKindReadsThePayload) {
    TPicture picture;
    int changes = 0;
    picture.OnChange = [&](TPicture*) { ++changes; };
    TMemoryStream s(
        PictureData("TBitmap", WithLength(Bmp({.Width = 2, .Height = 3}, {}, Bytes().Fill(24, 0).v))));
    picture.ReadData(s);
    ASSERT_NE(picture.Graphic(), nullptr);
    EXPECT_EQ(picture.Graphic()->ClassName(), "TBitmap");
    EXPECT_EQ(picture.Width(), 2);
    EXPECT_EQ(picture.Height(), 3);
    // The bitmap's own change while it read reached nobody; the picture reported once.
    EXPECT_EQ(changes, 1);
    picture.Graphic()->SetTransparent(true);
    EXPECT_EQ(changes, 2);
}

TEST(PictureData, TagsThatNameNoKindLeaveAnEmptyPictureWithoutError) {
    const std::vector<uint8_t> bmp = WithLength(Bmp({}, {}, Bytes().Fill(4, 0).v));
    for (const std::vector<uint8_t>& data :
         {PictureData("tbitmap", bmp), PictureData("TMetafile", bmp), PictureData("", bmp),
          // A tag length beyond the value: the missing bytes are zero and match nothing.
          Bytes().U8(20).Str("TBitm").v, std::vector<uint8_t>{}}) {
        TPicture picture;
        TMemoryStream good(PictureData("TBitmap", bmp));
        picture.ReadData(good);
        ASSERT_NE(picture.Graphic(), nullptr);
        TMemoryStream s(data);
        EXPECT_EQ(ErrorOf<Exception>([&] { picture.ReadData(s); }), "no error");
        EXPECT_EQ(picture.Graphic(), nullptr);
        EXPECT_EQ(picture.Width(), 0);
    }
}

TEST(PictureData, AnErrorOfTheKindKeepsThePreviousGraphic) {
    TPicture picture;
    TMemoryStream good(PictureData("TBitmap", WithLength(Bmp({}, {}, Bytes().Fill(4, 0).v))));
    picture.ReadData(good);
    TGraphic* before = picture.Graphic();
    std::vector<uint8_t> bad = Bmp({}, {}, Bytes().Fill(4, 0).v);
    bad[1] = 'A';
    TMemoryStream s(PictureData("TBitmap", WithLength(bad)));
    EXPECT_EQ(ErrorOf<EInvalidGraphic>([&] { picture.ReadData(s); }), kInvalidBitmap);
    EXPECT_EQ(picture.Graphic(), before);
}

// ---- Bitmaps: headers, depths, row order -------------------------------------------------------------

TEST(BitmapDepths, TwentyFourBitsBottomUp) {
    // Stored bottom row first, each row 9 bytes padded to 12.
    Bytes rows;
    rows.Raw({0, 0, 255, 0, 255, 0, 255, 0, 0}).Fill(3, 0xEE);          // bottom: red, green, blue
    rows.Raw({255, 255, 255, 0, 0, 0, 0x10, 0x20, 0x30}).Fill(3, 0xEE); // top: white, black, (30,20,10)
    TBitmap b = LoadBitmap(Bmp({.Width = 3, .Height = 2}, {}, rows.v));
    EXPECT_FALSE(b.Empty());
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.Height(), 2);
    EXPECT_EQ(b.BitsPerPixel(), 24);
    EXPECT_EQ(b.PixelFormat(), pf24bit);
    EXPECT_FALSE(b.TopDown());
    EXPECT_EQ(b.Stride(), 12);
    EXPECT_TRUE(b.ColorTable().empty());
    EXPECT_TRUE(b.Palette().empty());
    EXPECT_FALSE(b.PaletteModified());
    EXPECT_EQ(b.InfoHeader().XPelsPerMeter, 3780);
    EXPECT_EQ(b.ToBGRA(),
              (std::vector<uint32_t>{kWhite, kBlack, Rgb(0x30, 0x20, 0x10), kRed, kGreen, kBlue}));
    EXPECT_EQ(b.ScanLine(0), b.Bits().data() + 12);
}

TEST(BitmapDepths, NegativeHeightIsTopDown) {
    Bytes rows;
    rows.Raw({0, 0, 255, 0}).Raw({0, 255, 0, 0}); // first stored row is the top one
    TBitmap b = LoadBitmap(Bmp({.Width = 1, .Height = -2}, {}, rows.v));
    EXPECT_EQ(b.Height(), 2);
    EXPECT_TRUE(b.TopDown());
    EXPECT_EQ(b.ScanLine(0), b.Bits().data());
    EXPECT_EQ(b.ToBGRA(), (std::vector<uint32_t>{kRed, kGreen}));
}

TEST(BitmapDepths, IndexedDepthsGoThroughTheColourTable) {
    {
        // 1 bit, width 9: two bytes of bits and two of padding. Of the 4 entries read only the 2 an index
        // can reach stay.
        TBitmap b = LoadBitmap(Bmp({.Width = 9, .BitCount = 1, .ClrUsed = 4},
                                   Quads({0x000000, 0xFFFFFF, 0x123456, 0x123456}),
                                   Bytes().Raw({0xA0, 0x80, 0, 0}).v));
        EXPECT_EQ(b.PixelFormat(), pf1bit);
        EXPECT_EQ(b.ColorTable().size(), 2u);
        EXPECT_EQ(b.ToBGRA(), (std::vector<uint32_t>{kWhite, kBlack, kWhite, kBlack, kBlack, kBlack, kBlack,
                                                     kBlack, kWhite}));
    }
    {
        // 4 bits, 3 colours used: indexes 1, 2, 0.
        TBitmap b = LoadBitmap(Bmp({.Width = 3, .BitCount = 4, .ClrUsed = 3},
                                   Quads({0xFF0000, 0x00FF00, 0x0000FF}), Bytes().Raw({0x12, 0x00, 0, 0}).v));
        EXPECT_EQ(b.PixelFormat(), pf4bit);
        EXPECT_EQ(b.ColorTable().size(), 3u);
        EXPECT_EQ(b.ToBGRA(), (std::vector<uint32_t>{kGreen, kBlue, kRed}));
    }
    {
        // 8 bits with a 2-entry table: an index beyond the table is black.
        TBitmap b = LoadBitmap(Bmp({.Width = 3, .BitCount = 8, .ClrUsed = 2}, Quads({0x123456, 0xFFFFFF}),
                                   Bytes().Raw({1, 0, 5, 0}).v));
        EXPECT_EQ(b.ToBGRA(), (std::vector<uint32_t>{kWhite, Rgb(0x12, 0x34, 0x56), kBlack}));
    }
}

TEST(BitmapDepths, SixteenAndThirtyTwoBitsWithDefaultMasks) {
    {
        // 5-5-5: full fields give 255, blue 16 of 31 gives 132.
        TBitmap b = LoadBitmap(
            Bmp({.Width = 4, .BitCount = 16}, {}, Bytes().U16(0x7FFF).U16(0x001F).U16(0x0010).U16(0x7C00).v));
        EXPECT_EQ(b.PixelFormat(), pf15bit);
        EXPECT_EQ(b.ToBGRA(), (std::vector<uint32_t>{kWhite, kBlue, Rgb(0, 0, 132), kRed}));
    }
    {
        // The fourth byte means nothing: pixels are opaque.
        TBitmap b = LoadBitmap(Bmp({.Width = 1, .BitCount = 32}, {}, Bytes().Raw({1, 2, 3, 0x77}).v));
        EXPECT_EQ(b.PixelFormat(), pf32bit);
        EXPECT_EQ(b.ToBGRA(), std::vector<uint32_t>{Rgb(3, 2, 1)});
    }
}

TEST(BitmapHeaders, BitFieldMasksFollowAFortyByteHeader) {
    Bytes masks;
    masks.U32(0xF800).U32(0x07E0).U32(0x001F); // red, green, blue
    TBitmap b = LoadBitmap(Bmp({.Width = 3, .BitCount = 16, .Compression = 3}, masks.v,
                               Bytes().U16(0xF800).U16(0x0400).U16(0x001F).U16(0).v));
    EXPECT_EQ(b.PixelFormat(), pf16bit);
    EXPECT_EQ(b.ColorMasks(), (std::array<uint32_t, 3>{0xF800, 0x07E0, 0x001F}));
    // Green 32 of 63 gives 130.
    EXPECT_EQ(b.ToBGRA(), (std::vector<uint32_t>{kRed, Rgb(0, 130, 0), kBlue}));
}

// A header of size S > 40: the 40-byte fields, then masks and the rest of the wider header.
std::vector<uint8_t> WideHeaderBmp(uint32_t headerSize, int32_t width, uint16_t bitCount,
                                   std::array<uint32_t, 3> masks, std::span<const uint8_t> pixels) {
    Bytes b;
    b.Str("BM")
        .U32(0)
        .U32(0)
        .U32(0) // signature, file size, reserved, offset: ignored
        .U32(headerSize)
        .I32(width)
        .I32(1)
        .U16(1) // size, width, height, planes
        .U16(bitCount)
        .U32(3)
        .U32(0) // bits per pixel, bit fields, image size 0
        .I32(0)
        .I32(0)
        .U32(0)
        .U32(0) // resolutions, colours used and important
        .U32(masks[0])
        .U32(masks[1])
        .U32(masks[2])               // red, green, blue masks
        .Fill(headerSize - 52, 0xCC) // alpha mask, colour space and the rest
        .Raw(pixels);
    return b.v;
}

TEST(BitmapHeaders, VersionFourAndFiveHeadersCarryTheirMasks) {
    TBitmap v4 =
        LoadBitmap(WideHeaderBmp(108, 2, 16, {0xF800, 0x07E0, 0x001F}, Bytes().U16(0x07E0).U16(0xFFFF).v));
    EXPECT_EQ(v4.InfoHeader().Size, 40u);
    EXPECT_EQ(v4.ToBGRA(), (std::vector<uint32_t>{kGreen, kWhite}));

    // Red in the low byte, blue in the third.
    TBitmap v5 = LoadBitmap(WideHeaderBmp(124, 1, 32, {0x000000FF, 0x0000FF00, 0x00FF0000},
                                          Bytes().Raw({0x11, 0x22, 0x33, 0x44}).v));
    EXPECT_EQ(v5.PixelFormat(), pfCustom);
    EXPECT_EQ(v5.ToBGRA(), std::vector<uint32_t>{Rgb(0x11, 0x22, 0x33)});
}

TEST(BitmapHeaders, CoreHeaderWidensItsThreeByteColourEntries) {
    Bytes b;
    b.Str("BM")
        .U32(0)
        .U32(0)
        .U32(0) // file header, fields ignored
        .U32(12)
        .U16(2)
        .U16(2)
        .U16(1)
        .U16(4); // core header: size, width, height, planes, bits per pixel
    for (int i = 0; i < 16; ++i)
        b.U8(i).U8(2 * i).U8(3 * i);             // blue, green, red
    b.Raw({0x1F, 0, 0, 0}).Raw({0x20, 0, 0, 0}); // bottom row 1, 15; top row 2, 0
    TBitmap bitmap = LoadBitmap(b.v);
    EXPECT_TRUE(bitmap.OS2Format());
    EXPECT_EQ(bitmap.InfoHeader().Size, 40u);
    ASSERT_EQ(bitmap.ColorTable().size(), 16u);
    EXPECT_EQ(bitmap.ColorTable()[1], (TRGBQuad{1, 2, 3, 0}));
    EXPECT_EQ(bitmap.ToBGRA(),
              (std::vector<uint32_t>{Rgb(6, 4, 2), Rgb(0, 0, 0), Rgb(3, 2, 1), Rgb(45, 30, 15)}));
}

// ---- Bitmaps: the size rules ---------------------------------------------------------------------------

TEST(BitmapSizes, ColourTableOfAtMost1024Bytes) {
    std::vector<uint8_t> greys;
    for (int i = 0; i < 256; ++i)
        greys.insert(greys.end(),
                     {static_cast<uint8_t>(i), static_cast<uint8_t>(i), static_cast<uint8_t>(i), 0});
    TBitmap b =
        LoadBitmap(Bmp({.Width = 1, .BitCount = 8, .ClrUsed = 256}, greys, Bytes().Raw({200, 0, 0, 0}).v));
    EXPECT_EQ(b.ToBGRA(), std::vector<uint32_t>{Rgb(200, 200, 200)});
    ASSERT_EQ(b.Palette().size(), 256u);
    EXPECT_EQ(b.Palette()[200], (TPaletteEntry{200, 200, 200, 0}));
    EXPECT_TRUE(b.PaletteModified());

    // Colours used 0 means 256 entries at 8 bits.
    TBitmap implicit = LoadBitmap(Bmp({.Width = 1, .BitCount = 8}, greys, Bytes().Raw({7, 0, 0, 0}).v));
    EXPECT_EQ(implicit.ToBGRA(), std::vector<uint32_t>{Rgb(7, 7, 7)});

    greys.insert(greys.end(), {1, 2, 3, 0});
    EXPECT_EQ(ReadBitmapError(
                  WithLength(Bmp({.Width = 1, .BitCount = 8, .ClrUsed = 257}, greys, Bytes().Fill(4, 0).v))),
              kInvalidBitmap);

    // At 24 bits colours used 0 means no table, and a table that is there is passed over.
    EXPECT_EQ(LoadBitmap(Bmp({}, {}, Bytes().Raw({0, 0, 255, 0}).v)).ToBGRA(), std::vector<uint32_t>{kRed});
    EXPECT_EQ(LoadBitmap(Bmp({.ClrUsed = 2}, Quads({1, 2}), Bytes().Raw({0, 0, 255, 0}).v)).ToBGRA(),
              std::vector<uint32_t>{kRed});
}

TEST(BitmapSizes, ImageSizeIsStrideTimesHeightUnlessBitFieldsGiveOne) {
    TBitmap wide = LoadBitmap(Bmp({.Width = 440}, {}, Bytes().Fill(1320, 0).v));
    EXPECT_EQ(wide.Stride(), 1320);
    EXPECT_EQ(wide.InfoHeader().SizeImage, 1320u);
    EXPECT_EQ(LoadBitmap(Bmp({.Width = 851, .BitCount = 8}, Bytes().Fill(1024, 0).v, Bytes().Fill(852, 0).v))
                  .Stride(),
              852);

    // Uncompressed: a wrong image size is replaced, so both pixels are read.
    EXPECT_EQ(LoadBitmap(Bmp({.Width = 2, .SizeImage = 1}, {}, Bytes().Raw({0, 0, 255, 0, 255, 0, 0, 0}).v))
                  .ToBGRA(),
              (std::vector<uint32_t>{kRed, kGreen}));
    // Bit fields: the header's image size of 2 bytes covers the first pixel only.
    Bytes masks;
    masks.U32(0x7C00).U32(0x03E0).U32(0x001F);
    EXPECT_EQ(LoadBitmap(Bmp({.Width = 2, .BitCount = 16, .Compression = 3, .SizeImage = 2}, masks.v,
                             Bytes().U16(0x7C00).U16(0x7C00).v))
                  .ToBGRA(),
              (std::vector<uint32_t>{kRed, kBlack}));
}

TEST(BitmapSizes, PixelsFollowTheTableWhateverTheOffsetFieldSays) {
    EXPECT_EQ(LoadBitmap(Bmp({.PixelOffset = 999}, {}, Bytes().Raw({0, 0, 255, 0}).v)).ToBGRA(),
              std::vector<uint32_t>{kRed});
}

TEST(BitmapSizes, ShortPixelDataFillsTheFirstStoredRowsAndLeavesTheRestZero) {
    std::vector<uint8_t> file =
        Bmp({.Width = 1, .Height = 3}, {}, Bytes().Raw({0, 0, 255, 0}).Fill(8, 0xFF).v);
    file.resize(file.size() - 8); // the length field and the value end after the bottom row
    TBitmap b = LoadBitmap(file);
    EXPECT_EQ(b.ToBGRA(), (std::vector<uint32_t>{kBlack, kBlack, kRed}));

    // Bytes beyond stride times height are left unread.
    std::vector<uint8_t> longer = Bmp({}, {}, Bytes().Raw({0, 0, 255, 0}).Fill(8, 0xAB).v);
    TMemoryStream s(WithLength(longer));
    TBitmap b2;
    b2.ReadData(s);
    EXPECT_EQ(s.Position(), s.Size() - 8);
    EXPECT_EQ(b2.ToBGRA(), std::vector<uint32_t>{kRed});
}

TEST(BitmapSizes, RowsAShortFileLeavesOutTakeNoMemory) {
    // Headers of the largest bitmap there may be, 16384 x 4096 at 32 bits (256 MiB), each with one
    // pixel. A definition can hold many such pictures: they must cost what their files bring, not a
    // gigabyte for four.
    const std::vector<uint8_t> file =
        Bmp({.Width = 16384, .Height = 4096, .BitCount = 32}, {}, Bytes().Raw({0, 0, 255, 0}).v);
    const int64_t before = ResidentBytes();
    std::vector<TBitmap> held(4);
    for (TBitmap& b : held)
        ReadPayload(b, WithLength(file));
    EXPECT_LT(ResidentBytes() - before, int64_t{256} << 20);
    for (const TBitmap& b : held) {
        ASSERT_EQ(b.Bits().size(), size_t{256} << 20);
        const uint8_t* bottom = b.ScanLine(4095);
        EXPECT_EQ((std::vector<uint8_t>(bottom, bottom + 8)),
                  (std::vector<uint8_t>{0, 0, 255, 0, 0, 0, 0, 0}));
        EXPECT_EQ(b.ScanLine(0)[16383 * 4 + 2], 0);
    }
}

// ---- Pictures read where the definition stores them ----------------------------------------------

// Picture data in a block that only the returned view keeps alive, as a mapped file is.
TByteView KeptBytes(std::vector<uint8_t> bytes) {
    auto block = std::make_shared<const std::vector<uint8_t>>(std::move(bytes));
    return {std::span(*block), block, true};
}

bool Inside(const uint8_t* p, std::span<const uint8_t> block) {
    return p >= block.data() && p < block.data() + block.size();
}

TEST(PicturesInPlace, CompleteRowsOfLastingBytesAreReadWhereTheyLie) {
    Bytes rows;
    rows.Raw({0, 0, 255, 0, 255, 0}).Fill(2, 0).Raw({255, 0, 0, 255, 255, 255}).Fill(2, 0);
    const std::vector<uint8_t> payload = WithLength(Bmp({.Width = 2, .Height = 2}, {}, rows.v));
    const std::vector<uint32_t> pixels{kBlue, kWhite, kRed, kGreen};

    TByteView lasting = KeptBytes(payload);
    TCustomMemoryStream inPlace(lasting);
    TBitmap a;
    a.ReadData(inPlace);
    EXPECT_TRUE(a.BitsInPlace());
    EXPECT_TRUE(Inside(std::as_const(a).Bits().data(), lasting.Bytes));
    EXPECT_EQ(inPlace.Position(), inPlace.Size());
    EXPECT_EQ(a.ToBGRA(), pixels);

    // Bytes that may go with their stream, and rows cut short, are copied.
    TCustomMemoryStream borrowed{std::span<const uint8_t>(payload)};
    TBitmap b;
    b.ReadData(borrowed);
    EXPECT_FALSE(b.BitsInPlace());
    EXPECT_EQ(b.ToBGRA(), pixels);
    std::vector<uint8_t> shortFile = Bmp({.Width = 2, .Height = 2}, {}, rows.v);
    shortFile.resize(shortFile.size() - 8);
    TCustomMemoryStream cut(KeptBytes(WithLength(shortFile)));
    TBitmap c;
    c.ReadData(cut);
    EXPECT_FALSE(c.BitsInPlace());
    EXPECT_EQ(c.ToBGRA(), (std::vector<uint32_t>{kBlack, kBlack, kRed, kGreen}));
}

TEST(PicturesInPlace, PicturesKeepTheirBytesAfterTheStreamAndItsOwnerAreGone) {
    Bytes rows;
    rows.Raw({0, 0, 255}).Fill(1, 0).Raw({255, 0, 0}).Fill(1, 0);
    std::weak_ptr<const void> block;
    TPicture picture;
    {
        TByteView bytes =
            KeptBytes(PictureData("TBitmap", WithLength(Bmp({.Width = 1, .Height = 2}, {}, rows.v))));
        block = bytes.Keeper;
        auto stream = std::make_unique<TCustomMemoryStream>(std::move(bytes));
        picture.ReadData(*stream);
    }
    EXPECT_FALSE(block.expired());
    const TBitmap* bitmap = picture.Graphic()->DecodedBitmap();
    ASSERT_NE(bitmap, nullptr);
    EXPECT_TRUE(bitmap->BitsInPlace());
    EXPECT_EQ(bitmap->ToBGRA(), (std::vector<uint32_t>{kBlue, kRed}));
    // Replacing the picture lets the block go.
    TMemoryStream other(PictureData("TBitmap", WithLength(Bmp({}, {}, Bytes().Fill(4, 0).v))));
    picture.ReadData(other);
    EXPECT_TRUE(block.expired());
}

TEST(PicturesInPlace, ABitmapChangedAfterLoadingTakesItsOwnCopy) {
    Bytes rows;
    rows.Raw({0, 0, 255}).Fill(1, 0).Raw({255, 0, 0}).Fill(1, 0);
    const std::vector<uint8_t> payload = WithLength(Bmp({.Width = 1, .Height = 2}, {}, rows.v));
    TByteView lasting = KeptBytes(payload);
    TCustomMemoryStream stream(lasting);
    TBitmap b;
    b.ReadData(stream);
    ASSERT_TRUE(b.BitsInPlace());
    TBitmap copy = b;
    b.ScanLine(0)[1] = 0xFF; // the top row, blue, gains green
    EXPECT_FALSE(b.BitsInPlace());
    EXPECT_EQ(b.ToBGRA(), (std::vector<uint32_t>{Rgb(0, 255, 255), kRed}));
    // The stored bytes and a copy made before the change are untouched.
    EXPECT_TRUE(std::equal(lasting.Bytes.begin(), lasting.Bytes.end(), payload.begin(), payload.end()));
    EXPECT_TRUE(copy.BitsInPlace());
    EXPECT_EQ(copy.ToBGRA(), (std::vector<uint32_t>{kBlue, kRed}));
    // Resizing replaces the rows with zeroed memory of the bitmap's own.
    copy.SetSize(2, 1, 24);
    EXPECT_FALSE(copy.BitsInPlace());
    EXPECT_EQ(copy.ToBGRA(), (std::vector<uint32_t>{kBlack, kBlack}));
}

TEST(BitmapSizes, LengthZeroIsAnEmptyBitmap) {
    TBitmap b;
    int changes = 0;
    b.OnChange = [&](TGraphic*) { ++changes; };
    ReadPayload(b, Bytes().U32(0).v);
    EXPECT_TRUE(b.Empty());
    EXPECT_EQ(b.Width(), 0);
    EXPECT_EQ(b.Height(), 0);
    EXPECT_TRUE(b.ToBGRA().empty());
    EXPECT_EQ(changes, 0);
}

// ---- Bitmaps: faults ------------------------------------------------------------------------------------

TEST(BitmapMalformed, InvalidHeadersAndLayouts) {
    auto withHeader = [](auto patch) {
        std::vector<uint8_t> f = Bmp({}, {}, Bytes().Fill(4, 0).v);
        patch(f);
        return WithLength(f);
    };
    EXPECT_EQ(ReadBitmapError(withHeader([](auto& f) { f[0] = 'X'; })), kInvalidBitmap); // signature
    EXPECT_EQ(ReadBitmapError(withHeader([](auto& f) { f[26] = 2; })), kInvalidBitmap);  // planes
    EXPECT_EQ(ReadBitmapError(withHeader([](auto& f) { f[14] = 20; })), kInvalidBitmap); // header size
    EXPECT_EQ(ReadBitmapError(withHeader([](auto& f) { f[28] = 2; })), kInvalidBitmap);  // 2 bits per pixel
    EXPECT_EQ(ReadBitmapError(withHeader([](auto& f) { f[18] = 0; })), kInvalidBitmap);  // width 0
    EXPECT_EQ(ReadBitmapError(withHeader([](auto& f) { f[22] = 0; })), kInvalidBitmap);  // height 0
    EXPECT_EQ(ReadBitmapError(withHeader([](auto& f) { f[30] = 1; })), kInvalidBitmap);  // run-length
    EXPECT_EQ(ReadBitmapError(withHeader([](auto& f) { f[30] = 3; })),
              kInvalidBitmap); // bit fields at 24 bits
    // A width of 100000 by 100000 at 24 bits needs 30 GB: refused before anything is allocated.
    EXPECT_EQ(ReadBitmapError(WithLength(Bmp({.Width = 100000, .Height = 100000}, {}, Bytes().Fill(4, 0).v))),
              kInvalidBitmap);
}

TEST(BitmapMalformed, ValuesEndingInsideTheFileAreReadErrors) {
    const std::vector<uint8_t> file =
        Bmp({.Width = 2, .BitCount = 8, .ClrUsed = 2}, Quads({0, 0}), Bytes().Fill(4, 0).v);
    for (size_t cut : {size_t{3}, size_t{10}, size_t{20}, size_t{58}}) { // file header, info header, table
        std::vector<uint8_t> payload = Bytes().U32(static_cast<uint32_t>(file.size())).Raw(file).v;
        payload.resize(4 + cut);
        EXPECT_EQ(ReadBitmapError(payload), kReadError) << "cut at " << cut;
    }
    // The length field promises more pixels than the value holds.
    std::vector<uint8_t> payload = Bytes().U32(static_cast<uint32_t>(file.size())).Raw(file).v;
    payload.resize(payload.size() - 1);
    EXPECT_EQ(ReadBitmapError(payload), kReadError);
    // A header size of nearly 4 GB is not allocated.
    std::vector<uint8_t> huge = file;
    huge[14] = huge[15] = huge[16] = 0xFF;
    huge[17] = 0xF0;
    EXPECT_EQ(ReadBitmapError(WithLength(huge)), kReadError);
    // A payload too short for its length field.
    EXPECT_EQ(ReadBitmapError({1, 0}), kReadError);
}

TEST(BitmapMalformed, AFailedReadKeepsThePreviousImage) {
    TBitmap b = LoadBitmap(Bmp({}, {}, Bytes().Raw({0, 0, 255, 0}).v));
    int changes = 0;
    b.OnChange = [&](TGraphic*) { ++changes; };
    std::vector<uint8_t> bad = Bmp({.Width = 5}, {}, Bytes().Fill(16, 0).v);
    bad[26] = 0; // planes
    EXPECT_EQ(ErrorOf<EInvalidGraphic>([&] { ReadPayload(b, WithLength(bad)); }), kInvalidBitmap);
    EXPECT_EQ(b.Width(), 1);
    EXPECT_EQ(b.ToBGRA(), std::vector<uint32_t>{kRed});
    EXPECT_EQ(changes, 0);
}

// ---- Icons -----------------------------------------------------------------------------------------------

struct IconEntry {
    uint8_t Width, Height;
    uint16_t Colors; // the colour-count byte and the reserved byte
    uint16_t BitCount;
    std::vector<uint8_t> Image;
    uint32_t Offset = 0; // 0: where the image really is
};

std::vector<uint8_t> Ico(const std::vector<IconEntry>& entries, uint16_t type = 1) {
    Bytes b;
    b.U16(0).U16(type).U16(static_cast<uint32_t>(entries.size())); // reserved, type, image count
    uint32_t offset = 6 + 16 * static_cast<uint32_t>(entries.size());
    for (const IconEntry& e : entries) {
        b.U8(e.Width)
            .U8(e.Height)
            .U16(e.Colors) // size (0 = 256), colour count (0 = unlimited)
            .U16(1)
            .U16(e.BitCount) // planes, bits per pixel
            .U32(static_cast<uint32_t>(e.Image.size()))
            .U32(e.Offset ? e.Offset : offset);
        offset += static_cast<uint32_t>(e.Image.size());
    }
    for (const IconEntry& e : entries)
        b.Raw(e.Image);
    return b.v;
}

// A 2 by 2 image at 4 bits: bottom row indexes 1, 2 with the right pixel masked, top row 3, 0.
std::vector<uint8_t> IconImage2x2() {
    Bytes b;
    b.U32(40)
        .I32(2)
        .I32(4)
        .U16(1)
        .U16(4)
        .U32(0)
        .U32(0) // header: height counts colour and mask rows
        .I32(0)
        .I32(0)
        .U32(0)
        .U32(0)
        .Raw(Quads({0x000000, 0xFF0000, 0x00FF00, 0x0000FF}))
        .Fill(12 * 4, 0) // 16 entries in all
        .Raw({0x12, 0, 0, 0})
        .Raw({0x30, 0, 0, 0}) // colour rows, bottom first
        .Raw({0x40, 0, 0, 0})
        .Raw({0x00, 0, 0, 0}); // mask rows: bottom right is transparent
    return b.v;
}

TIcon LoadIcon(const std::vector<uint8_t>& file) {
    TIcon icon;
    ReadPayload(icon, file);
    return icon;
}

TEST(IconChoice, ClosestSizeWithTheMostColoursTheDisplayCanShow) {
    TIcon icon = LoadIcon(Ico({{16, 16, 16, 4, {}, 9000},
                               {32, 32, 16, 4, {}, 9000},
                               {32, 32, 256, 8, {}, 9000},
                               {48, 48, 0, 32, {}, 9000},
                               {0, 0, 0, 32, {}, 9000}}));
    ASSERT_EQ(icon.Entries().size(), 5u);
    EXPECT_EQ(icon.Entries()[4].PixelWidth(), 256);
    EXPECT_EQ(icon.ChooseImage(32, 32, 32), 2);
    EXPECT_EQ(icon.ChooseImage(32, 32, 8), 2);  // 256 colours fit
    EXPECT_EQ(icon.ChooseImage(32, 32, 4), 1);  // only 16 do
    EXPECT_EQ(icon.ChooseImage(16, 16, 32), 0); // nothing later is as close
    EXPECT_EQ(icon.ChooseImage(40, 40, 32), 2); // 48 is as close as 32 but larger than requested
    EXPECT_EQ(icon.ChooseImage(256, 256, 32), 4);
    // A smaller image that is farther from the request than the current choice does not replace it.
    EXPECT_EQ(LoadIcon(Ico({{24, 24, 16, 4, {}, 9000}, {16, 16, 16, 4, {}, 9000}})).ChooseImage(32, 32, 32),
              0);
    EXPECT_EQ(icon.Width(), 32); // the large-icon size by default
    icon.SetRequestedSize(16, 16);
    EXPECT_EQ(icon.Height(), 16);
}

TEST(IconImages, ColourRowsAndMaskBecomeOnePictureWithAlpha) {
    std::vector<uint8_t> file = Ico({{2, 2, 16, 4, IconImage2x2()}});
    TIcon icon = LoadIcon(file);
    EXPECT_EQ(icon.FileBytes(), file);
    EXPECT_EQ(icon.IconType(), 1);
    EXPECT_EQ(icon.Width(), 2);
    const TBitmap* image = icon.DecodedBitmap();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->AlphaFormat(), afDefined);
    EXPECT_EQ(image->ToBGRA(), (std::vector<uint32_t>{kBlue, kBlack, kRed, 0x0000FF00u}));
    EXPECT_EQ(icon.DecodedBitmap(), image);

    // A 32-bit image with alpha keeps it and ignores the mask.
    Bytes one;
    one.U32(40)
        .I32(1)
        .I32(2)
        .U16(1)
        .U16(32)
        .U32(0)
        .U32(0)
        .I32(0)
        .I32(0)
        .U32(0)
        .U32(0)
        .Raw({10, 20, 30, 128}) // blue, green, red, alpha
        .Raw({0x80, 0, 0, 0});  // mask: set, yet the alpha decides
    EXPECT_EQ(LoadIcon(Ico({{1, 1, 0, 32, one.v}})).DecodedBitmap()->ToBGRA(),
              std::vector<uint32_t>{0x801E140Au});
}

// Icons from the picture writers: each image's colours, and its mask as alpha 0.
TEST(IconImages, WrittenIconsReadBackWithTheirMasks) {
    IconImage indexed;
    indexed.Image = {2, 2, {1, 0, 2, 1}};
    indexed.BitsPerPixel = 4;
    indexed.ColorTable = {0x000000, 0xFF0000, 0x0000FF};
    indexed.Transparent = {0, 1, 0, 0};
    std::vector<uint32_t> pixels = LoadIcon(EncodeIcon(std::span(&indexed, 1))).DecodedBitmap()->ToBGRA();
    ASSERT_EQ(pixels.size(), 4u);
    EXPECT_EQ(pixels[0], kRed);
    EXPECT_EQ(pixels[1] >> 24, 0u);
    EXPECT_EQ(pixels[2], kBlue);
    EXPECT_EQ(pixels[3], kRed);

    IconImage full;
    full.Image = {3, 1, {0xFF00FF00u, 0x00FFFFFFu, 0xFFFF0000u}};
    pixels = LoadIcon(EncodeIcon(std::span(&full, 1))).DecodedBitmap()->ToBGRA();
    ASSERT_EQ(pixels.size(), 3u);
    EXPECT_EQ(pixels[0], kGreen);
    EXPECT_EQ(pixels[1] >> 24, 0u);
    EXPECT_EQ(pixels[2], kRed);
}

TEST(IconMalformed, DirectoryTypeAndImagesOutsideTheFile) {
    TIcon icon = LoadIcon(Ico({{2, 2, 16, 4, IconImage2x2()}}));
    EXPECT_EQ(ErrorOf<EInvalidGraphic>([&] { ReadPayload(icon, Ico({}, 2)); }), kInvalidIcon);
    EXPECT_EQ(icon.IconType(), 1); // the previous icon stays
    EXPECT_EQ(ErrorOf<EReadError>([&] { ReadPayload(icon, {0, 0, 1, 0}); }), kReadError);

    // Type 0 is the platform's stock icon: nothing to decode here.
    TIcon stock = LoadIcon(Ico({}, 0));
    EXPECT_EQ(stock.DecodedBitmap(), nullptr);
    EXPECT_EQ(stock.Width(), TIcon::kLargeIconSize);

    std::vector<uint8_t> shortDirectory = Ico({{2, 2, 16, 4, IconImage2x2()}});
    shortDirectory[4] = 9; // nine entries claimed, one there
    TIcon claims = LoadIcon(shortDirectory);
    EXPECT_EQ(ErrorOf<EInvalidGraphic>([&] { claims.Entries(); }), kInvalidIcon);
    EXPECT_EQ(claims.Width(), 0);

    TIcon beyond = LoadIcon(Ico({{2, 2, 16, 4, IconImage2x2(), 0xFFFFFFF0u}}));
    EXPECT_EQ(ErrorOf<EInvalidGraphic>([&] { beyond.DecodedBitmap(); }), kInvalidIcon);

    std::vector<uint8_t> cut = IconImage2x2();
    cut.resize(cut.size() - 4); // the last mask row is missing
    EXPECT_EQ(ErrorOf<EInvalidGraphic>([&] {
                  LoadIcon(Ico({{2, 2, 16, 4, cut}})).DecodedBitmap();
              }),
              kInvalidIcon);

    std::vector<uint8_t> png = Bytes().Raw({0x89, 'P', 'N', 'G'}).Fill(60, 0).v;
    EXPECT_EQ(ErrorOf<EInvalidGraphic>([&] {
                  LoadIcon(Ico({{2, 2, 0, 32, png}})).DecodedBitmap();
              }),
              kInvalidIcon);
}

} // namespace
