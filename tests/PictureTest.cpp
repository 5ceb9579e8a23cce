// orvanta-form picture: which kind a file is taken for, the stored picture data it becomes, the pixels
// the picture control paints, and the exact texts of its failures.
#include "tools/Picture.h"
#include "content/toolkit/encoders/BitmapWriter.h"
#include "content/toolkit/encoders/GifWriter.h"
#include "content/toolkit/encoders/JpegWriter.h"
#include "content/toolkit/encoders/SampleScene.h"
#include "controls/TImage.h"
#include "graphics/StoredPicture.h"
#include "platform/qt/QtCanvas.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"
#include "tests/QtTestEnvironment.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const auto* const gQtEnvironment =
    ::testing::AddGlobalTestEnvironment(new TQtTestEnvironment("orvanta-form"));

std::vector<uint8_t> Bytes(std::initializer_list<uint8_t> b) {
    return b;
}

// Loads a file the way the command does and paints it.
QImage Paint(const std::vector<uint8_t>& file) {
    TImage image(nullptr);
    TMemoryStream data(PictureDataOf(file));
    image.Picture()->ReadData(data);
    return PaintPicture(image);
}

QRgb Rgb(uint32_t rgb) {
    return qRgb(rgb >> 16 & 0xFF, rgb >> 8 & 0xFF, rgb & 0xFF);
}

// A temporary folder for the command's files, removed with the test.
class PictureCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "orv-picture-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        Dir = pattern;
    }
    void TearDown() override { fs::remove_all(Dir); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        std::ofstream(Dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return (Dir / name).string();
    }
    // Runs the command; returns its exit code and what it printed.
    std::pair<int, std::string> Run(const std::string& in, const std::string& out) {
        ::testing::internal::CaptureStdout();
        int code = RunPicture(in, out);
        return {code, ::testing::internal::GetCapturedStdout()};
    }

    fs::path Dir;
};

} // namespace

TEST(PictureFileKind, ChosenByTheFirstBytesOnly) {
    EXPECT_EQ(PictureKindOf(Bytes({'B', 'M'})), "TBitmap");
    EXPECT_EQ(PictureKindOf(Bytes({0xFF, 0xD8, 0xFF})), "TJPEGImage");
    EXPECT_EQ(PictureKindOf(Bytes({'G', 'I', 'F', '8', '9', 'a'})), "TGIFImage");
    EXPECT_EQ(PictureKindOf(Bytes({'G', 'I', 'F', '8'})), "TGIFImage");
    // Too short for a signature, or another one.
    EXPECT_EQ(PictureKindOf(Bytes({})), "");
    EXPECT_EQ(PictureKindOf(Bytes({'B'})), "");
    EXPECT_EQ(PictureKindOf(Bytes({'G', 'I', 'F'})), "");
    EXPECT_EQ(PictureKindOf(Bytes({'G', 'I', 'F', '7'})), "");
    EXPECT_EQ(PictureKindOf(Bytes({'b', 'm'})), "");
    EXPECT_EQ(PictureKindOf(Bytes({0xD8, 0xFF})), "");
    EXPECT_EQ(PictureKindOf(Bytes({0x00, 0x00, 0x01, 0x00})), ""); // an icon is not a file this reads
}

TEST(PictureFileData, TagLengthAndFile) {
    // Bitmaps and JPEG: the tag, a 4-byte little-endian length, the file.
    EXPECT_EQ(PictureDataOf(Bytes({'B', 'M', 1, 2, 3})),
              Bytes({7, 'T', 'B', 'i', 't', 'm', 'a', 'p', 5, 0, 0, 0, 'B', 'M', 1, 2, 3}));
    std::vector<uint8_t> jpeg(0x1234, 0);
    jpeg[0] = 0xFF;
    jpeg[1] = 0xD8;
    std::vector<uint8_t> data = PictureDataOf(jpeg);
    ASSERT_EQ(data.size(), 1 + 10 + 4 + jpeg.size());
    EXPECT_EQ(std::string(data.begin(), data.begin() + 11), "\x0ATJPEGImage");
    EXPECT_EQ(Bytes({data[11], data[12], data[13], data[14]}), Bytes({0x34, 0x12, 0, 0}));
    EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), data.begin() + 15));
    // GIF: the tag, then the file to the end of the value.
    EXPECT_EQ(PictureDataOf(Bytes({'G', 'I', 'F', '8', '7', 'a'})),
              Bytes({9, 'T', 'G', 'I', 'F', 'I', 'm', 'a', 'g', 'e', 'G', 'I', 'F', '8', '7', 'a'}));
    try {
        PictureDataOf(Bytes({'P', 'K', 3, 4}));
        FAIL() << "no error";
    } catch (const EInvalidGraphic& e) {
        EXPECT_EQ(e.Message(), "Unknown picture format: the file is not a bitmap, JPEG or GIF file");
    }
}

TEST(PicturePainting, BitmapPixelsExactlyOnA24BitSurface) {
    PixelImage scene = MakeScene(7, 5, 0, 1);
    for (BitmapOptions o :
         {BitmapOptions{}, BitmapOptions{.TopDown = true}, BitmapOptions{.BitsPerPixel = 32}}) {
        QImage surface = Paint(EncodeBitmap(scene, o));
        ASSERT_EQ(surface.size(), QSize(7, 5));
        EXPECT_EQ(surface.format(), QImage::Format_RGB888);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x)
                ASSERT_EQ(surface.pixel(x, y), Rgb(scene.Pixels[y * 7 + x])) << x << "," << y;
    }
    // An indexed bitmap goes through its colour table.
    PixelImage indexed{2, 2, {0, 1, 1, 0}};
    QImage surface = Paint(EncodeBitmap(indexed, {.BitsPerPixel = 1, .ColorTable = {0x102030, 0xF0E0D0}}));
    EXPECT_EQ(surface.pixel(0, 0), qRgb(0x10, 0x20, 0x30));
    EXPECT_EQ(surface.pixel(1, 0), qRgb(0xF0, 0xE0, 0xD0));
}

// Stored rows drawn where they lie: either row order, doubled in size, and indexes past the colour table.
TEST(PicturePainting, StoredRowsScaledInEitherOrder) {
    // 3 x 2 blue-green-red pixels, rows padded to 12 bytes; top row red, green, blue; bottom row grey.
    const uint8_t topFirst[24] = {0, 0, 255, 0, 255, 0, 255, 0, 0, 0, 0, 0,
                                  9, 9, 9,   9, 9,   9, 9,   9, 9, 0, 0, 0};
    uint8_t bottomFirst[24];
    std::copy(topFirst + 12, topFirst + 24, bottomFirst);
    std::copy(topFirst, topFirst + 12, bottomFirst + 12);
    const QRgb want[2][3] = {{qRgb(255, 0, 0), qRgb(0, 255, 0), qRgb(0, 0, 255)},
                             {qRgb(9, 9, 9), qRgb(9, 9, 9), qRgb(9, 9, 9)}};
    for (bool bottomUp : {false, true}) {
        QImage surface(6, 4, QImage::Format_RGB32);
        {
            QPainter painter(&surface);
            QtCanvas canvas(&painter);
            canvas.StretchDrawRows({0, 0, 6, 4}, {.Layout = TPixelRows::BGR24,
                                                  .Width = 3,
                                                  .Height = 2,
                                                  .Stride = 12,
                                                  .BottomUp = bottomUp,
                                                  .Bits = bottomUp ? bottomFirst : topFirst});
        }
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 6; ++x)
                ASSERT_EQ(surface.pixel(x, y), want[y / 2][x / 2]) << bottomUp << " " << x << "," << y;
    }
    const uint8_t indexes[4] = {0, 1, 7, 255};
    const uint32_t colors[2] = {0x102030, 0xF0E0D0};
    QImage surface(4, 1, QImage::Format_RGB32);
    surface.fill(Qt::white);
    {
        QPainter painter(&surface);
        QtCanvas canvas(&painter);
        canvas.StretchDrawRows({0, 0, 4, 1}, {.Layout = TPixelRows::Indexed8,
                                              .Width = 4,
                                              .Height = 1,
                                              .Stride = 4,
                                              .Bits = indexes,
                                              .Colors = colors});
    }
    EXPECT_EQ(surface.pixel(0, 0), qRgb(0x10, 0x20, 0x30));
    EXPECT_EQ(surface.pixel(1, 0), qRgb(0xF0, 0xE0, 0xD0));
    EXPECT_EQ(surface.pixel(2, 0), qRgb(0, 0, 0));
    EXPECT_EQ(surface.pixel(3, 0), qRgb(0, 0, 0));
}

TEST(PicturePainting, GIFFirstFrameThroughItsColourTable) {
    const std::vector<uint32_t> table = {0xFF0000, 0x00FF00, 0x0000FF, 0x808080};
    GifFrame frame{.Image = {3, 2, {0, 1, 2, 3, 3, 0}}, .TransparentIndex = 3};
    GifFrame second{.Image = {3, 2, {1, 1, 1, 1, 1, 1}}};
    std::vector<GifFrame> frames = {frame, second};
    QImage surface = Paint(EncodeGif(frames, {.GlobalTable = table}));
    ASSERT_EQ(surface.size(), QSize(3, 2));
    // The control is opaque: the transparent index keeps its table colour; only the first frame shows.
    const QRgb want[] = {qRgb(255, 0, 0),     qRgb(0, 255, 0),     qRgb(0, 0, 255),
                         qRgb(128, 128, 128), qRgb(128, 128, 128), qRgb(255, 0, 0)};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(surface.pixel(i % 3, i / 3), want[i]) << i;
}

TEST(PicturePainting, AGIFWithoutFramesLeavesTheButtonFace) {
    QImage surface =
        Paint(EncodeGif({}, {.ScreenWidth = 4, .ScreenHeight = 3, .GlobalTable = {0x000000, 0xFFFFFF}}));
    ASSERT_EQ(surface.size(), QSize(4, 3));
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(surface.pixel(x, y), qRgb(240, 240, 240));
}

TEST(PicturePainting, JPEGDecodedCloseToWhatWasEncoded) {
    PixelImage flat{16, 16, std::vector<uint32_t>(256, 0x3C78B4)};
    QImage surface = Paint(EncodeJpeg(flat, {.Quality = 95}));
    ASSERT_EQ(surface.size(), QSize(16, 16));
    for (QRgb p : {surface.pixel(0, 0), surface.pixel(15, 15), surface.pixel(8, 3)}) {
        EXPECT_NEAR(qRed(p), 0x3C, 3);
        EXPECT_NEAR(qGreen(p), 0x78, 3);
        EXPECT_NEAR(qBlue(p), 0xB4, 3);
    }
}

TEST(PicturePainting, EmptyAndOversizedPicturesAreRefused) {
    auto error = [](const std::vector<uint8_t>& file) -> std::string {
        try {
            Paint(file);
        } catch (const EInvalidGraphic& e) {
            return e.Message();
        }
        return "no error";
    };
    EXPECT_EQ(error(EncodeGif({}, {.GlobalTable = {0, 0}})), "The picture is empty");
    // A logical screen far beyond any bitmap the picture kinds may make.
    EXPECT_EQ(error(EncodeGif({}, {.ScreenWidth = 65535, .ScreenHeight = 65535, .GlobalTable = {0, 0}})),
              "The picture is too large to draw (65535 x 65535 pixels)");
}

TEST_F(PictureCommand, WritesAPNGOfTheNaturalSize) {
    PixelImage scene = MakeScene(9, 4, 0, 2);
    std::string in = Write("scene.bmp", EncodeBitmap(scene));
    std::string out = (Dir / "scene.png").string();
    auto [code, printed] = Run(in, out);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(printed, "ok: TBitmap, 9 x 4\n");
    QImage png(QString::fromStdString(out), "PNG");
    ASSERT_EQ(png.size(), QSize(9, 4));
    EXPECT_EQ(png.pixel(8, 3), Rgb(scene.Pixels[3 * 9 + 8]));
}

TEST_F(PictureCommand, FailuresPrintTheErrorBoxTextAndWriteNothing) {
    std::string out = (Dir / "out.png").string();
    auto expectFailure = [&](const std::string& in, const std::string& text) {
        auto [code, printed] = Run(in, out);
        EXPECT_EQ(code, 1) << in;
        EXPECT_EQ(printed, text + "\n") << in;
        EXPECT_FALSE(fs::exists(out)) << in;
    };
    expectFailure((Dir / "missing.bmp").string(),
                  "Cannot open file \"" + (Dir / "missing.bmp").string() + "\".");
    expectFailure(Dir.string(), "Cannot open file \"" + Dir.string() + "\".");
    expectFailure(Write("notes.txt", Bytes({'h', 'e', 'l', 'l', 'o'})),
                  "Unknown picture format: the file is not a bitmap, JPEG or GIF file.");
    expectFailure(Write("empty.bmp", {}),
                  "Unknown picture format: the file is not a bitmap, JPEG or GIF file.");
    // The picture kinds' own errors, as the program shows them.
    expectFailure(Write("short.bmp", Bytes({'B', 'M', 0x10, 0})), "Stream read error.");
    std::vector<uint8_t> wide = EncodeBitmap(MakeScene(2, 2));
    wide[28] = 3; // 3 bits per pixel
    expectFailure(Write("depth.bmp", wide), "Bitmap image is not valid.");
    expectFailure(Write("header.jpg", Bytes({0xFF, 0xD8, 0xFF, 0xD9})), "JPEG error #51.");
    expectFailure(Write("short.gif", Bytes({'G', 'I', 'F', '8', '9', 'a', 1})), "Premature end of data.");
    expectFailure(Write("blank.gif", EncodeGif({}, {.GlobalTable = {0, 0}})), "The picture is empty.");
    // A picture that loads but cannot be written.
    auto [code, printed] =
        Run(Write("fine.bmp", EncodeBitmap(MakeScene(2, 2))), (Dir / "no/such/dir.png").string());
    EXPECT_EQ(code, 1);
    EXPECT_EQ(printed, "Cannot create file \"" + (Dir / "no/such/dir.png").string() + "\".\n");
}
