// The content toolkit's picture encoders, checked through the program's own readers and the header
// inspection the course compiler uses, and the compiler's refusal of pictures unlike their declaration.
#include "content/toolkit/encoders/PictureFiles.h"
#include "graphics/TGIFFrame.h"
#include "graphics/TGIFImage.h"
#include "graphics/TJPEGImage.h"
#include "stream/Exceptions.h"
#include "stream/TStream.h"
#include "tools/PictureFacts.h"
#include "tools/TextForm.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace {

IndexedImage Noise(int w, int h, int colours, uint32_t seed) {
    IndexedImage image{w, h, std::vector<uint8_t>(size_t(w) * size_t(h)), {}};
    std::mt19937 rng(seed);
    for (uint8_t& p : image.Pixels)
        p = uint8_t(rng() % uint32_t(colours));
    for (int i = 0; i < colours; ++i)
        image.Palette.push_back(qRgb(i, 255 - i, i / 2));
    return image;
}

std::vector<uint8_t> DecodedGifPixels(const Bytes& file) {
    TGIFImage gif;
    TMemoryStream s(file);
    gif.LoadFromStream(s);
    EXPECT_EQ(gif.Images().size(), 1u);
    return gif.Images().empty() ? std::vector<uint8_t>{} : gif.Images().front()->Data();
}

QImage Gradient(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 255 / w, y * 255 / h, 128));
    return image;
}

} // namespace

TEST(ContentGif, LzwRoundTripsThroughTheProgramsDecoder) {
    // Noise defeats the string table, so codes widen to 12 bits and the table is cleared many times;
    // a flat image builds long strings instead. Both code sizes the course uses are covered.
    for (auto [colours, minCode] : {std::pair{4, 2}, std::pair{256, 8}, std::pair{2, 2}}) {
        GifLayout layout;
        layout.ScreenWidth = 640, layout.ScreenHeight = 480, layout.MinCodeSize = minCode;
        layout.Frame = Noise(640, 480, colours, uint32_t(colours));
        EXPECT_EQ(DecodedGifPixels(EncodeGif(layout)), layout.Frame.Pixels) << colours << " colours";
        std::fill(layout.Frame.Pixels.begin(), layout.Frame.Pixels.end(), uint8_t(colours - 1));
        EXPECT_EQ(DecodedGifPixels(EncodeGif(layout)), layout.Frame.Pixels) << colours << " colours, flat";
    }
}

TEST(ContentGif, WritesTheDeclaredStructure) {
    GifLayout layout;
    layout.ScreenWidth = 565, layout.ScreenHeight = 303, layout.AspectByte = 49, layout.MinCodeSize = 2;
    layout.TransparentIndex = 0, layout.Comment = std::string(28, 'c');
    layout.Frame = Noise(564, 302, 3, 1);
    layout.Frame.Palette.front() = qRgb(0, 0, 0);
    PictureFacts f = InspectPicture(EncodeGif(layout));
    EXPECT_EQ(f.Error, "");
    EXPECT_EQ(f.GifVersion, "89a");
    EXPECT_EQ(f.Width, 565);
    EXPECT_EQ(f.Height, 303);
    EXPECT_EQ(f.AspectByte, 49);
    EXPECT_EQ(f.Frames, 1);
    EXPECT_FALSE(f.GlobalTable);
    EXPECT_EQ(f.FrameLeft, 0);
    EXPECT_EQ(f.FrameTop, 0);
    EXPECT_EQ(f.FrameWidth, 564);
    EXPECT_EQ(f.FrameHeight, 302);
    EXPECT_EQ(f.LocalTableEntries, 4);
    EXPECT_EQ(f.LocalEntry0, 0u);
    EXPECT_EQ(f.MinCodeSize, 2);
    EXPECT_TRUE(f.Transparent);
    EXPECT_EQ(f.TransparentIndex, 0);
    EXPECT_EQ(f.Delay, 0);
    EXPECT_EQ(f.CommentBytes, 28);
    EXPECT_TRUE(f.Trailer);

    GifLayout old;
    old.Gif89 = false, old.ScreenWidth = 50, old.ScreenHeight = 40, old.MinCodeSize = 8;
    old.Frame = Noise(50, 40, 256, 2);
    f = InspectPicture(EncodeGif(old));
    EXPECT_EQ(f.GifVersion, "87a");
    EXPECT_EQ(f.LocalTableEntries, 256);
    EXPECT_FALSE(f.Transparent);
    EXPECT_EQ(f.CommentBytes, -1);
    // Extensions do not exist in the older version, and pixels must fit the code size.
    old.TransparentIndex = 1;
    EXPECT_THROW(EncodeGif(old), std::invalid_argument);
    layout.MinCodeSize = 2, layout.Frame.Pixels[7] = 4;
    EXPECT_THROW(EncodeGif(layout), std::invalid_argument);
}

TEST(ContentBitmap, RowsArePaddedBottomUpWithTheirPalette) {
    IndexedImage grey = GreyIndexed(Gradient(851, 3));
    Bytes file = EncodeBitmap8(grey);
    EXPECT_EQ(file.size(), 14u + 40 + 1024 + 852 * 3); // 851 pixels pad to 852 bytes a row
    PictureFacts f = InspectPicture(file);
    EXPECT_EQ(f.Depth, 8);
    EXPECT_TRUE(f.GreyRamp);
    EXPECT_EQ(f.PaletteEntries, 256);
    EXPECT_EQ(CheckDeclaredPicture(f, "bitmap8grey", 851, 3), "");
    EXPECT_NE(CheckDeclaredPicture(f, "bitmap8", 851, 3), "");

    QImage colour(3, 2, QImage::Format_RGB32);
    colour.fill(qRgb(1, 2, 3));
    colour.setPixel(0, 0, qRgb(10, 20, 30)); // top-left: stored in the last row
    Bytes bmp = EncodeBitmap24(colour);
    ASSERT_EQ(bmp.size(), 14u + 40 + 2 * 12);
    EXPECT_EQ((std::vector<uint8_t>{bmp[66], bmp[67], bmp[68]}), (std::vector<uint8_t>{30, 20, 10}));
    EXPECT_EQ(CheckDeclaredPicture(InspectPicture(bmp), "bitmap24", 3, 2), "");
    EXPECT_NE(CheckDeclaredPicture(InspectPicture(bmp), "bitmap24", 3, 3).find("size 3 x 2"),
              std::string::npos);
}

TEST(ContentJpeg, BaselineJfifWithTheCoursesSamplingAndSegments) {
    QImage image = Gradient(97, 61);
    PictureFacts colour = InspectPicture(EncodeJpeg(image, JpegColour(85)));
    EXPECT_TRUE(colour.Baseline);
    EXPECT_EQ(colour.JfifVersion, 101);
    EXPECT_EQ(colour.Sampling, "2x2,1x1,1x1");
    EXPECT_FALSE(colour.Exif || colour.Icc || colour.Xmp);
    EXPECT_EQ(CheckDeclaredPicture(colour, "jpeg", 97, 61), "");
    EXPECT_NE(CheckDeclaredPicture(colour, "jpeggrey", 97, 61), "");

    JpegOptions options = JpegGrey(80);
    options.Exif = MakeExif("Imagen calculada", "2026:12:09 10:00:00");
    options.Icc = MakeIccProfile();
    options.Xmp = MakeXmp("Título", "Descripción");
    Bytes file = EncodeJpeg(image, options);
    PictureFacts grey = InspectPicture(file);
    EXPECT_EQ(grey.Components, 1);
    EXPECT_TRUE(grey.Exif);
    EXPECT_TRUE(grey.Icc);
    EXPECT_TRUE(grey.Xmp);
    EXPECT_EQ(CheckDeclaredPicture(grey, "jpeggrey", 97, 61), "");
    // The program's own reader takes the file, segments and all.
    TJPEGImage jpeg;
    TMemoryStream s(file);
    jpeg.LoadFromStream(s);
    EXPECT_EQ(jpeg.Width(), 97);
    EXPECT_EQ(jpeg.Height(), 61);
}

TEST(ContentQuantize, KeepsFewColoursExactlyAndIsDeterministic) {
    QImage image(40, 30, QImage::Format_RGB32);
    const QRgb colours[] = {qRgb(255, 255, 255), qRgb(16, 32, 120), qRgb(200, 30, 30)};
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            image.setPixel(x, y, colours[(x / 7 + y / 5) % 3]);
    IndexedImage q = Quantize(image, 256);
    ASSERT_EQ(q.Palette.size(), 3u);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(q.Palette[q.Pixels[size_t(y) * 40 + size_t(x)]], image.pixel(x, y));
    IndexedImage a = Quantize(Gradient(300, 200), 16), b = Quantize(Gradient(300, 200), 16);
    EXPECT_EQ(a.Palette.size(), 16u);
    EXPECT_EQ(a.Pixels, b.Pixels);
    EXPECT_EQ(a.Palette, b.Palette);
}

TEST(ContentCompiler, StoresDeclaredPicturesAndRefusesOthers) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "orv-content-test";
    std::filesystem::create_directories(dir / "pictures");
    Bytes jpeg = EncodeJpeg(Gradient(20, 10), JpegColour(80));
    std::ofstream(dir / "pictures/a.jpg", std::ios::binary)
        .write(reinterpret_cast<const char*>(jpeg.data()), std::streamsize(jpeg.size()));
    Bytes stream = CompileTextForm("F : T {\n  P = picture jpeg 20 x 10 \"pictures/a.jpg\"\n}", dir);
    // The value: binary, its length, the class name as a short string, the file's length and the file.
    const std::string tag = "\x0ATJPEGImage";
    auto at = std::search(stream.begin(), stream.end(), tag.begin(), tag.end());
    ASSERT_NE(at, stream.end());
    EXPECT_TRUE(std::equal(jpeg.begin(), jpeg.end(), at + long(tag.size()) + 4));

    auto error = [&](const std::string& source) {
        try {
            CompileTextForm(source, dir);
        } catch (const Exception& e) {
            return e.Message();
        }
        return std::string("no error");
    };
    EXPECT_NE(error("F : T {\n  P = picture jpeg 21 x 10 \"pictures/a.jpg\"\n}").find("2:28: picture file"),
              std::string::npos);
    EXPECT_NE(error("F : T {\n  P = picture jpeggrey 20 x 10 \"pictures/a.jpg\"\n}").find("3 components"),
              std::string::npos);
    EXPECT_NE(error("F : T {\n  P = picture png 20 x 10 \"pictures/a.jpg\"\n}").find("unknown picture kind"),
              std::string::npos);
    EXPECT_NE(error("F : T {\n  P = picture jpeg 20 10 \"pictures/a.jpg\"\n}").find("expected 'x'"),
              std::string::npos);
    EXPECT_NE(error("F : T {\n  P = picture jpeg 20 x 10 \"pictures/none.jpg\"\n}").find("cannot open"),
              std::string::npos);
    std::filesystem::remove_all(dir);
}
