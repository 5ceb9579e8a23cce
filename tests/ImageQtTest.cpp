// The picture control painting on the real platform (Qt's offscreen screen): the pixels it leaves on
// its parent's surface when pictures change, are transparent or are still decoding.
#include "content/toolkit/encoders/BitmapWriter.h"
#include "content/toolkit/encoders/JpegWriter.h"
#include "controls/ColorToRGB.h"
#include "controls/TImage.h"
#include "controls/TMenuItem.h"
#include "graphics/TBitmap.h"
#include "graphics/TJPEGImage.h"
#include "platform/qt/QtCanvas.h"
#include "stream/Exceptions.h"
#include "stream/TReader.h"
#include "stream/TStream.h"
#include "stream/TWriter.h"
#include "tests/GraphicsTestSupport.h"
#include "tests/QtTestEnvironment.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

using gfx_test::Bytes;

namespace {

const auto* const gQtEnvironment = ::testing::AddGlobalTestEnvironment(new TQtTestEnvironment("orvanta"));

constexpr QRgb kGreen = 0x00FF00;
constexpr QRgb kRed = 0xFF0000;

// A BMP file of 24 or 32 bits per pixel from colours 0xRRGGBB, top row first (stored bottom up).
std::vector<uint8_t> BmpFile(int width, int height, int bitsPerPixel, const std::vector<uint32_t>& rgbs) {
    return EncodeBitmap({width, height, rgbs}, {.BitsPerPixel = bitsPerPixel});
}

std::vector<uint8_t> BitmapData(int width, int height, int bitsPerPixel, const std::vector<uint32_t>& rgbs) {
    return PictureData("TBitmap", WithLength(BmpFile(width, height, bitsPerPixel, rgbs)));
}

// A GIF file with one frame that covers its screen, a 4-entry local colour table (0xRRGGBB) and, when
// transparentIndex is not -1, a graphic control extension that makes that index transparent. The pixels
// (indexes below 4) go as literal codes of 3 bits, a clear code before every second one so that the
// code table never widens them; minCodeSize 13 stores no pixels at all.
std::vector<uint8_t> GifFile(int width, int height, const std::vector<uint32_t>& colors,
                             const std::vector<uint8_t>& pixels, int transparentIndex, int minCodeSize = 2) {
    Bytes b;
    b.Str("GIF89a").U16(static_cast<uint32_t>(width)).U16(static_cast<uint32_t>(height)).U8(0).U8(0).U8(0);
    if (transparentIndex >= 0)
        b.U8(0x21).U8(0xF9).U8(4).U8(1).U16(0).U8(static_cast<uint32_t>(transparentIndex)).U8(0);
    b.U8(0x2C).U16(0).U16(0).U16(static_cast<uint32_t>(width)).U16(static_cast<uint32_t>(height)).U8(0x81);
    for (uint32_t c : colors)
        b.U8(c >> 16 & 0xFF).U8(c >> 8 & 0xFF).U8(c & 0xFF);
    b.U8(static_cast<uint32_t>(minCodeSize));
    std::vector<int> codes;
    for (size_t i = 0; i < pixels.size(); ++i) {
        if (i % 2 == 0) codes.push_back(4);
        codes.push_back(pixels[i]);
    }
    codes.push_back(5);
    std::vector<uint8_t> packed((codes.size() * 3 + 7) / 8 + 2, 0);
    for (size_t i = 0; i < codes.size() * 3; ++i)
        packed[i / 8] |= static_cast<uint8_t>((codes[i / 3] >> (i % 3) & 1) << (i % 8));
    for (size_t i = 0; i < packed.size(); i += 255) {
        size_t n = std::min<size_t>(255, packed.size() - i);
        b.U8(static_cast<uint32_t>(n)).Raw(std::span(packed).subspan(i, n));
    }
    b.U8(0).U8(0x3B);
    return b.v;
}

// A baseline JPEG file of one colour (0xRRGGBB).
std::vector<uint8_t> JpegFile(int width, int height, uint32_t rgb) {
    return EncodeJpeg({width, height, std::vector<uint32_t>(static_cast<size_t>(width) * height, rgb)},
                      {.Quality = 95});
}

// While alive, every reading of the progress clock is a second after the one before, so every
// report the decoder may give is given.
struct FastClock {
    uint64_t Now = 0;
    std::function<uint64_t()> Previous = ProgressTickCount;
    FastClock() {
        ProgressTickCount = [this] { return Now += 1000; };
    }
    ~FastClock() { ProgressTickCount = Previous; }
};

bool Reddish(QRgb c) {
    return qRed(c) > 200 && qGreen(c) < 60 && qBlue(c) < 60;
}

// A definition of one picture control as the loader reads it: bounds, the picture, then whatever
// extra writes.
// Reads what w has written as the definition of root.
void ReadRoot(TComponent& root, TWriter& w) {
    std::vector<uint8_t> bytes = w.TakeBytes();
    TCustomMemoryStream stream(bytes);
    TReader reader(stream);
    reader.ReadRootComponent(&root);
}

void LoadDefinition(TImage& image, int width, int height, const std::vector<uint8_t>& pictureData,
                    const std::function<void(TWriter&)>& extra) {
    TWriter w;
    w.WriteSignature();
    w.WriteComponentHeader("TImage", "Image1");
    w.WritePropName("Width");
    w.WriteInteger(width);
    w.WritePropName("Height");
    w.WriteInteger(height);
    w.WritePropName("Picture.Data");
    w.WriteBinary(pictureData);
    extra(w);
    w.WriteListEnd();
    w.WriteListEnd();
    ReadRoot(image, w);
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

// A platform colour value (0x00BBGGRR) as the surface holds it.
QRgb Surface(TColor color) {
    uint32_t c = ColorToRGB(color);
    return qRgb(c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF) & 0xFFFFFF;
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

TEST(PictureControlOnQt, FillsBehindATransparentGifFrameEvenWhenItKeptNoPixels) {
    // The control turns the picture's transparency off, so the frame's transparent colour asks for the
    // background fill first; a frame whose data could not be decoded still asks for it.
    TImage image(nullptr);
    image.SetBounds(0, 0, 6, 5);
    Load(image, PictureData("TGIFImage", GifFile(4, 3, {0, kRed, kGreen, 0xFFFFFF}, {}, 0, 13)));
    QImage s = Paint(image, kRed);
    EXPECT_EQ(At(s, 0, 0), Surface(clWindow));
    EXPECT_EQ(At(s, 3, 2), Surface(clWindow));
    EXPECT_EQ(At(s, 4, 0), kRed); // beyond the picture
    EXPECT_EQ(At(s, 0, 3), kRed);
}

TEST(PictureControlOnQt, TransparentPicturesLeaveTheirTransparentPixelsOut) {
    auto transparent = [](TWriter& w) {
        w.WritePropName("Transparent");
        w.WriteBoolean(true);
    };
    constexpr uint32_t kBlue = 0x0000FF, kMagenta = 0xFF00FF, kBlack = 0;

    // A bitmap leaves out every pixel of the colour of its bottom-left pixel.
    TImage bitmap(nullptr);
    LoadDefinition(bitmap, 5, 4,
                   BitmapData(3, 2, 24,
                              {kMagenta, kBlue, kMagenta, //
                               kMagenta, kRed, kBlue}),
                   transparent);
    ASSERT_TRUE(bitmap.Transparent());
    EXPECT_FALSE(bitmap.Opaque());
    QImage b = Paint(bitmap);
    EXPECT_EQ(At(b, 0, 0), kGreen);
    EXPECT_EQ(At(b, 1, 0), kBlue);
    EXPECT_EQ(At(b, 2, 0), kGreen);
    EXPECT_EQ(At(b, 0, 1), kGreen);
    EXPECT_EQ(At(b, 1, 1), kRed);
    EXPECT_EQ(At(b, 2, 1), kBlue);

    // A GIF frame leaves out its transparent index, with no background fill, also when stretched.
    TImage gif(nullptr);
    LoadDefinition(
        gif, 8, 4,
        PictureData("TGIFImage", GifFile(4, 2, {kBlack, kRed, kBlue, kBlack}, {0, 1, 2, 0, 3, 0, 1, 2}, 0)),
        [&](TWriter& w) {
            transparent(w);
            w.WritePropName("Stretch");
            w.WriteBoolean(true);
        });
    QImage g = Paint(gif);
    EXPECT_EQ(At(g, 0, 0), kGreen);
    EXPECT_EQ(At(g, 1, 1), kGreen);
    EXPECT_EQ(At(g, 2, 0), kRed);
    EXPECT_EQ(At(g, 4, 0), kBlue);
    EXPECT_EQ(At(g, 6, 0), kGreen);
    EXPECT_EQ(At(g, 0, 2), kBlack); // index 3 has the same colour as index 0 and stays
    EXPECT_EQ(At(g, 2, 3), kGreen);
}

TEST(PictureControlOnQt, IncrementalDisplayPaintsTheRowsDecodedSoFar) {
    FastClock clock;
    for (bool incremental : {true, false}) {
        TImage image(nullptr);
        image.SetBounds(0, 0, 16, 160);
        image.SetIncrementalDisplay(incremental);
        Load(image, PictureData("TJPEGImage", WithLength(JpegFile(16, 160, kRed))));

        QImage surface(16, 160, QImage::Format_RGB32);
        surface.fill(kGreen);
        std::vector<std::string> stages;
        int expectedTop = 0, lastPercent = -1, checked = 0;
        image.OnProgress = [&](TObject*, TProgressStage stage, int percent, bool redrawNow, const TRect& r,
                               const std::string&) {
            stages.push_back(std::to_string(static_cast<int>(stage)));
            if (stage != TProgressStage::psRunning) return;
            EXPECT_GT(percent, lastPercent);
            lastPercent = percent;
            ASSERT_TRUE(redrawNow);
            // The rows decoded since the report before, one after the other.
            EXPECT_EQ(r.Left, 0);
            EXPECT_EQ(r.Right, 16);
            EXPECT_EQ(r.Top, expectedTop);
            EXPECT_GT(r.Bottom, r.Top);
            expectedTop = r.Bottom;
            // Painted before the report: the rows decoded, and the rest of the picture still black.
            if (r.Bottom < 150 && checked++ < 3) {
                if (incremental) {
                    EXPECT_TRUE(Reddish(surface.pixel(8, r.Bottom - 1))) << r.Bottom;
                    EXPECT_EQ(surface.pixel(8, 159) & 0xFFFFFF, 0u);
                } else {
                    EXPECT_EQ(surface.pixel(8, 0) & 0xFFFFFF, kGreen);
                }
            }
        };
        {
            QPainter painter(&surface);
            QtCanvas canvas(&painter);
            image.Paint(canvas);
        }
        EXPECT_EQ(stages.front(), "0");
        EXPECT_EQ(stages.back(), "2");
        EXPECT_GT(stages.size(), 10u);
        EXPECT_GE(checked, 3);
        EXPECT_TRUE(Reddish(surface.pixel(8, 159)));
    }
}

// A form-like root that publishes a progress handler and a plain one, as a form class would.
class TProgressRoot : public TComponent {
    ORV_CLASS(TProgressRoot)
public:
    using TComponent::TComponent;
    std::vector<TProgressStage> Stages;
    TObject* Sender = nullptr;
    TImage* Image1 = nullptr;
};

std::span<const TFieldInfo> ProgressRootFields() {
    static const TFieldInfo fields[] = {
        {"Image1", &TImage::ClassInfo,
         [](TComponent& o, TComponent* v) {
             static_cast<TProgressRoot&>(o).Image1 = static_cast<TImage*>(v);
         }},
        {"Item1", &TMenuItem::ClassInfo, [](TComponent&, TComponent*) {}},
    };
    return fields;
}

std::span<const TMethodInfo> ProgressRootMethods() {
    static const TMethodInfo methods[] = {
        ProgressMethod("ImageProgress",
                       [](TObject* self, TObject* sender, TProgressStage stage, int, bool, const TRect&,
                          const std::string&) {
                           auto* root = static_cast<TProgressRoot*>(self);
                           root->Stages.push_back(stage);
                           root->Sender = sender;
                       }),
        {"Clicked", [](TObject*, TObject*) {}},
    };
    return methods;
}

const TClassInfo TProgressRoot::ClassInfo{"TProgressRoot", &TComponent::ClassInfo, nullptr,
                                          nullptr,         ProgressRootFields,     ProgressRootMethods};

// Reads a root holding one component of the given class with one event property naming handler.
void LoadWithHandler(TProgressRoot& root, std::string_view childClass, std::string_view event,
                     std::string_view handler) {
    TWriter w;
    w.WriteSignature();
    w.WriteComponentHeader("TProgressRoot", "Root1");
    w.WriteListEnd();
    w.WriteComponentHeader(childClass, childClass == "TImage" ? "Image1" : "Item1");
    if (childClass == "TImage") {
        for (const char* side : {"Width", "Height"}) {
            w.WritePropName(side);
            w.WriteInteger(side[0] == 'W' ? 16 : 160);
        }
        w.WritePropName("Picture.Data");
        w.WriteBinary(PictureData("TJPEGImage", WithLength(JpegFile(16, 160, kRed))));
    }
    w.WritePropName(event);
    if (handler.empty())
        w.WriteValue(TValueType::vaNil);
    else
        w.WriteIdent(handler);
    w.WriteListEnd();
    w.WriteListEnd();
    w.WriteListEnd();
    ReadRoot(root, w);
}

TEST(PictureControlOnQt, AStoredProgressHandlerIsBoundToTheRootsMethodOfThatKind) {
    FastClock clock;
    {
        TProgressRoot root(nullptr);
        LoadWithHandler(root, "TImage", "OnProgress", "imageprogress");
        TImage* image = root.Image1;
        ASSERT_NE(image, nullptr);
        Paint(*image);
        ASSERT_GT(root.Stages.size(), 2u);
        EXPECT_EQ(root.Stages.front(), TProgressStage::psStarting);
        EXPECT_EQ(root.Stages.back(), TProgressStage::psEnding);
        EXPECT_EQ(root.Sender, image->Picture()->Graphic());
    }
    {
        TProgressRoot root(nullptr);
        LoadWithHandler(root, "TImage", "OnProgress", "");
        TImage* image = root.Image1;
        ASSERT_NE(image, nullptr);
        EXPECT_FALSE(image->OnProgress);
    }
    // A method of the other kind would be called with arguments it does not take.
    for (auto [cls, event, handler, where] :
         {std::tuple{"TImage", "OnProgress", "Clicked", "Image1.OnProgress"},
          std::tuple{"TMenuItem", "OnClick", "ImageProgress", "Item1.OnClick"},
          std::tuple{"TImage", "OnProgress", "Missing", "Image1.OnProgress"}}) {
        TProgressRoot root(nullptr);
        EXPECT_EQ(
            gfx_test::ErrorOf<EReadError>([&] { LoadWithHandler(root, cls, event, handler); }),
            gfx_test::E(std::string("Error reading ").append(where).append(": Invalid property value")));
    }
}

TEST(PictureControlOnQt, AProgressHandlerMayStopDecoding) {
    FastClock clock;
    // An abort keeps what was decoded and ends painting without an error.
    TImage image(nullptr);
    image.SetBounds(0, 0, 16, 160);
    Load(image, PictureData("TJPEGImage", WithLength(JpegFile(16, 160, kRed))));
    int reports = 0;
    image.OnProgress = [&](TObject*, TProgressStage stage, int, bool, const TRect&, const std::string&) {
        if (stage == TProgressStage::psRunning && ++reports == 5) throw EAbort("stop");
    };
    QImage s = Paint(image);
    EXPECT_EQ(reports, 5);
    EXPECT_TRUE(Reddish(s.pixel(8, 0)));
    EXPECT_EQ(s.pixel(8, 159) & 0xFFFFFF, 0u);
    auto* jpeg = dynamic_cast<TJPEGImage*>(image.Picture()->Graphic());
    ASSERT_NE(jpeg, nullptr);
    EXPECT_TRUE(jpeg->Decoded()); // and is not decoded again

    // Any other error passes out of painting as it was raised.
    TImage failing(nullptr);
    failing.SetBounds(0, 0, 16, 160);
    Load(failing, PictureData("TJPEGImage", WithLength(JpegFile(16, 160, kRed))));
    failing.OnProgress = [](TObject*, TProgressStage stage, int, bool, const TRect&, const std::string&) {
        if (stage == TProgressStage::psRunning) throw EReadError("handler failed");
    };
    EXPECT_EQ(gfx_test::ErrorOf<EReadError>([&] { Paint(failing); }), gfx_test::E("handler failed"));
}
