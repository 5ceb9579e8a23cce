// The picture control: where the picture goes, when the control is opaque, and what it draws.
#include "FakePlatform.h"

#include "controls/TImage.h"
#include "stream/TStream.h"

#include <gtest/gtest.h>

namespace {

void Put(std::vector<uint8_t>& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        b.push_back(i < 4 ? static_cast<uint8_t>(v >> (8 * i)) : 0);
}

// Picture data as stored: the "TBitmap" tag, a 4-byte length, then a 24-bit BMP of w x h pixels.
std::vector<uint8_t> BitmapData(int w, int h) {
    int rowBytes = (w * 3 + 3) & ~3;
    std::vector<uint8_t> bmp;
    bmp.push_back('B');
    bmp.push_back('M');
    Put(bmp, static_cast<uint32_t>(54 + rowBytes * h), 4); // file size
    Put(bmp, 0, 4);                                        // reserved
    Put(bmp, 54, 4);                                       // offset of the pixels
    Put(bmp, 40, 4);                                       // info header size
    Put(bmp, static_cast<uint32_t>(w), 4);
    Put(bmp, static_cast<uint32_t>(h), 4);
    Put(bmp, 1, 2);  // planes
    Put(bmp, 24, 2); // bits per pixel
    Put(bmp, 0, 4);  // uncompressed
    Put(bmp, static_cast<uint32_t>(rowBytes * h), 4);
    Put(bmp, 0, 16); // resolution, colours used, colours important
    bmp.resize(bmp.size() + static_cast<size_t>(rowBytes * h), 0x80);
    std::vector<uint8_t> data = {7, 'T', 'B', 'i', 't', 'm', 'a', 'p'};
    Put(data, static_cast<uint32_t>(bmp.size()), 4);
    data.insert(data.end(), bmp.begin(), bmp.end());
    return data;
}

void Load(TImage& image, int w, int h) {
    TMemoryStream stream(BitmapData(w, h));
    image.Picture()->ReadData(stream);
}

} // namespace

TEST(PictureControl, DestinationRectangle) {
    TImage image(nullptr);
    image.SetBounds(0, 0, 150, 150);
    Load(image, 300, 200);
    // Natural size from the top-left corner, cut by the control.
    EXPECT_EQ(image.DestRect(), (TRect{0, 0, 300, 200}));
    image.SetStretch(true);
    EXPECT_EQ(image.DestRect(), (TRect{0, 0, 150, 150}));
    image.SetStretch(false);
    image.SetProportional(true);
    EXPECT_EQ(image.DestRect(), (TRect{0, 0, 150, 100}));
    image.SetCenter(true);
    EXPECT_EQ(image.DestRect(), (TRect{0, 25, 150, 125}));
    // Proportional leaves a picture that fits alone; Center still centres it.
    Load(image, 60, 40);
    EXPECT_EQ(image.DestRect(), (TRect{45, 55, 105, 95}));
    // Each axis on its own when stretched: a tall picture into a wide box.
    TImage tall(nullptr);
    tall.SetBounds(0, 0, 322, 266);
    tall.SetStretch(true);
    Load(tall, 2674, 3232);
    EXPECT_EQ(tall.DestRect(), (TRect{0, 0, 322, 266}));
}

TEST(PictureControl, OpaqueOnlyWhenThePictureCoversTheControl) {
    TImage image(nullptr);
    image.SetBounds(0, 0, 100, 80);
    EXPECT_FALSE(image.Opaque()); // empty
    Load(image, 120, 90);
    EXPECT_TRUE(image.Opaque());
    Load(image, 50, 90);
    EXPECT_FALSE(image.Opaque()); // the parent shows to the right of it
    image.SetStretch(true);
    EXPECT_TRUE(image.Opaque());
    image.SetTransparent(true);
    EXPECT_FALSE(image.Opaque());
    EXPECT_TRUE(image.Picture()->Graphic()->Transparent());
}

TEST(PictureControl, PaintsThePictureOnceDecodedAndNothingWhenEmpty) {
    FakeCanvas canvas;
    TImage image(nullptr);
    image.SetBounds(0, 0, 100, 80);
    image.Paint(canvas);
    EXPECT_TRUE(canvas.Drawn.empty());
    Load(image, 40, 30);
    image.Paint(canvas);
    ASSERT_EQ(canvas.Drawn.size(), 1u);
    EXPECT_EQ(canvas.Drawn[0].Dest, (TRect{0, 0, 40, 30}));
    EXPECT_EQ(canvas.Drawn[0].Width, 40);
    EXPECT_EQ(canvas.Drawn[0].Height, 30);
    // An unknown picture kind leaves an empty picture and no error.
    std::vector<uint8_t> unknown = {8, 'T', 'P', 'N', 'G', 'F', 'i', 'l', 'e', 1, 2, 3};
    TMemoryStream stream(unknown);
    image.Picture()->ReadData(stream);
    EXPECT_EQ(image.Picture()->Graphic(), nullptr);
    image.Paint(canvas);
    EXPECT_EQ(canvas.Drawn.size(), 1u);
}
