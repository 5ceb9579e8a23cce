// The picture control painting on the real platform (Qt's offscreen screen): the pixels it leaves on
// its parent's surface when pictures change, are transparent or are still decoding.
#include "controls/Graphics.h"
#include "controls/TImage.h"
#include "graphics/TBitmap.h"
#include "platform/qt/QtCanvas.h"
#include "stream/TStream.h"
#include "tests/GraphicsTestSupport.h"
#include "tests/QtTestEnvironment.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

using gfx_test::Bytes;

namespace {

const auto* const gQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtTestEnvironment("orvanta"));

constexpr QRgb kGreen = 0x00FF00;
constexpr QRgb kRed = 0xFF0000;

// A BMP file of 24 or 32 bits per pixel from colours 0xRRGGBB, top row first (stored bottom up).
std::vector<uint8_t> BmpFile(int width, int height, int bitsPerPixel, const std::vector<uint32_t>& rgbs) {
    const int bytesPerPixel = bitsPerPixel / 8;
    const int stride = (width * bytesPerPixel + 3) & ~3;
    Bytes b;
    b.Str("BM").U32(static_cast<uint32_t>(54 + stride * height)).U32(0).U32(54);
    b.U32(40).I32(width).I32(height).U16(1).U16(static_cast<uint32_t>(bitsPerPixel)).U32(0);
    b.U32(static_cast<uint32_t>(stride * height)).Fill(16, 0);
    for (int y = height - 1; y >= 0; --y) {
        for (int x = 0; x < width; ++x) {
            uint32_t c = rgbs[static_cast<size_t>(y * width + x)];
            b.U8(c & 0xFF).U8(c >> 8 & 0xFF).U8(c >> 16 & 0xFF);
            if (bytesPerPixel == 4) b.U8(0);
        }
        b.Fill(static_cast<size_t>(stride - width * bytesPerPixel), 0);
    }
    return b.v;
}

std::vector<uint8_t> BitmapData(int width, int height, int bitsPerPixel, const std::vector<uint32_t>& rgbs) {
    return gfx_test::PictureData("TBitmap", gfx_test::WithLength(BmpFile(width, height, bitsPerPixel, rgbs)));
}

void Load(TImage& image, const std::vector<uint8_t>& pictureData) {
    TMemoryStream stream(pictureData);
    image.Picture()->ReadData(stream);
}

// What the control leaves on a surface of its own size that its parent painted in one colour.
QImage Paint(TImage& image, QRgb background = kGreen) {
    QImage surface(image.Width(), image.Height(), QImage::Format_RGB32);
    surface.fill(background);
    QPainter painter(&surface);
    QtCanvas canvas(&painter);
    image.Paint(canvas);
    return surface;
}

QRgb At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFF;
}

} // namespace

TEST(PictureControlOnQt, DrawsAGraphicAtItsSizeAfterTheGraphicChanges) {
    // A 32-bit bitmap is drawn from a converted copy; the copy must follow the bitmap when it grows.
    TImage image(nullptr);
    image.SetBounds(0, 0, 40, 40);
    Load(image, BitmapData(10, 10, 32, std::vector<uint32_t>(100, kRed)));
    QImage before = Paint(image);
    EXPECT_EQ(At(before, 9, 9), kRed);
    EXPECT_EQ(At(before, 10, 10), kGreen);

    auto* bitmap = dynamic_cast<TBitmap*>(image.Picture()->Graphic());
    ASSERT_NE(bitmap, nullptr);
    bitmap->SetSize(40, 40, 32); // all black
    QImage after = Paint(image);
    EXPECT_EQ(At(after, 0, 0), 0u);
    EXPECT_EQ(At(after, 39, 39), 0u);

    // Rows written in place are seen once the bitmap says it changed.
    std::fill_n(bitmap->ScanLine(0), 4 * 40, 0xFF);
    bitmap->Changed();
    EXPECT_EQ(At(Paint(image), 5, 0), 0xFFFFFFu);
}
