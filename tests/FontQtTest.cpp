// Text on Qt's offscreen platform: text drawn through the canvas, the font height convention, face
// substitution for the course's faces, and stored pixel rows drawn from any address.
#include "controls/TFont.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtFont.h"
#include "platform/qt/QtPlatform.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <climits>
#include <gtest/gtest.h>

namespace {

TPlatform* gQt = nullptr;

class QtEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        FPlatform = CreateQtPlatform("orv_tests_fonts");
        gQt = FPlatform.get();
    }
    void TearDown() override {
        gQt = nullptr;
        FPlatform.reset();
    }

private:
    std::unique_ptr<TPlatform> FPlatform;
};
[[maybe_unused]] auto* const gQtEnvironment = ::testing::AddGlobalTestEnvironment(new QtEnvironment);

std::unique_ptr<IPlatformFont> MakeFont(const char* face, int height, TFontCharset charset = DEFAULT_CHARSET,
                                        TFontStyles style = 0) {
    TFont font;
    font.SetName(face);
    font.SetHeight(height);
    font.SetCharset(charset);
    font.SetStyle(style);
    return gQt->CreateFontIndirect(font.LogFont());
}

const QFont& QFontOf(const std::unique_ptr<IPlatformFont>& font) {
    return static_cast<const QtFont&>(*font).Font();
}

struct Ink {
    int Left = INT_MAX, Top = INT_MAX, Right = -1, Bottom = -1; // inclusive
};

class QtText : public ::testing::Test {
protected:
    void SetUp() override {
        FImage.fill(Qt::white);
        FPainter = std::make_unique<QPainter>(&FImage);
        Canvas = std::make_unique<QtCanvas>(FPainter.get());
        SelectFont(MakeFont("Arial", -13));
    }
    void SelectFont(std::unique_ptr<IPlatformFont> font) {
        FFont = std::move(font);
        Canvas->SelectFont(FFont.get());
    }
    // Clears the image, draws, and returns where ink fell.
    Ink Draw(const std::string& text, TRect rect, unsigned format) {
        Canvas->FillRect({0, 0, FImage.width(), FImage.height()}, 0x00FFFFFF);
        Canvas->DrawText(text, rect, format);
        return InkNow();
    }
    Ink InkNow() const {
        Ink ink;
        const QImage& image = FImage;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != 0xFFFFFFFFu) {
                    ink.Left = std::min(ink.Left, x), ink.Right = std::max(ink.Right, x);
                    ink.Top = std::min(ink.Top, y), ink.Bottom = std::max(ink.Bottom, y);
                }
        return ink;
    }
    QImage Snapshot() const { return FImage.copy(); }

    std::unique_ptr<QtCanvas> Canvas;

private:
    QImage FImage{300, 120, QImage::Format_RGB32};
    std::unique_ptr<QPainter> FPainter;
    std::unique_ptr<IPlatformFont> FFont;
};

} // namespace

TEST_F(QtText, CalcRectMeasuresWithoutDrawing) {
    int lh = Canvas->TextHeight();
    TRect r{5, 7, 5, 7};
    EXPECT_EQ(Canvas->DrawText("ab\r\nlonger line", r, DT_CALCRECT), 2 * lh);
    EXPECT_EQ(r, (TRect{5, 7, 5 + Canvas->TextExtent("longer line").cx, 7 + 2 * lh}));
    EXPECT_EQ(InkNow().Right, -1);
    // Wrapped text keeps the width and grows down.
    int two = Canvas->TextExtent("aaa bbb").cx;
    r = {0, 0, two, 0};
    EXPECT_EQ(Canvas->DrawText("aaa bbb ccc", r, DT_CALCRECT | DT_WORDBREAK), 2 * lh);
    EXPECT_EQ(r, (TRect{0, 0, two, 2 * lh}));
    // An unbreakable word wider than the rectangle widens it.
    r = {0, 0, 5, 0};
    Canvas->DrawText("abcdefghij", r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(r, (TRect{0, 0, Canvas->TextExtent("abcdefghij").cx, lh}));
}

TEST_F(QtText, AlignmentMovesLinesByTheSlack) {
    const TRect box{10, 10, 210, 40};
    int w = Canvas->TextExtent("Hi").cx;
    Ink left = Draw("Hi", box, 0), centre = Draw("Hi", box, DT_CENTER), right = Draw("Hi", box, DT_RIGHT);
    ASSERT_GE(left.Right, 0);
    EXPECT_EQ(centre.Left - left.Left, (10 + 210 - w) / 2 - 10);
    EXPECT_EQ(right.Left - left.Left, 210 - w - 10);

    int lh = Canvas->TextHeight();
    const TRect tall{10, 10, 210, 110};
    Ink top = Draw("Hi", tall, DT_SINGLELINE);
    EXPECT_EQ(Draw("Hi", tall, DT_SINGLELINE | DT_VCENTER).Top - top.Top, (100 - lh) / 2);
    EXPECT_EQ(Draw("Hi", tall, DT_SINGLELINE | DT_BOTTOM).Top - top.Top, 100 - lh);
    EXPECT_EQ(Draw("Hi", tall, DT_VCENTER).Top, top.Top); // only a single line is placed vertically
}

TEST_F(QtText, AmpersandUnderlinesTheAccessKey) {
    TRect r{0, 0, 0, 0};
    Canvas->DrawText("&Hello", r, DT_CALCRECT);
    EXPECT_EQ(r.Right, Canvas->TextExtent("Hello").cx);
    const TRect box{10, 10, 200, 60};
    Ink plain = Draw("H", box, DT_NOPREFIX);
    Ink marked = Draw("&H", box, 0);
    EXPECT_GT(marked.Bottom, plain.Bottom);
    EXPECT_EQ(marked.Left, box.Left); // the underline spans the advance, from the character's origin
    // Text is clipped to its rectangle unless asked not to be.
    EXPECT_LT(Draw("WWWWWWWW", {10, 10, 30, 40}, 0).Right, 30);
    EXPECT_GE(Draw("WWWWWWWW", {10, 10, 30, 40}, DT_NOCLIP).Right, 30);
}

TEST_F(QtText, SymbolCharsetDrawsTheGreekItEncodes) {
    const TRect box{10, 10, 290, 60};
    SelectFont(MakeFont("Symbol", -16, SYMBOL_CHARSET));
    Draw("b = a", box, 0);
    QImage symbol = Snapshot();
    EXPECT_EQ(Canvas->TextExtent("b").cx, Canvas->TextExtent("\xCE\xB2").cx);
    SelectFont(MakeFont("Symbol", -16, ANSI_CHARSET)); // the same face, without the encoding
    Draw("\xCE\xB2 = \xCE\xB1", box, 0);
    EXPECT_EQ(Snapshot(), symbol);
    Draw("b = a", box, 0);
    EXPECT_NE(Snapshot(), symbol);
}

TEST_F(QtText, ClipAndOriginNarrowAndMovePainting) {
    Canvas->Save();
    Canvas->Translate(20, 20);
    Canvas->IntersectClip({0, 0, 40, 10});
    Canvas->ExcludeClip({0, 0, 10, 10});
    Canvas->FillRect({-20, -20, 280, 100}, 0);
    Ink ink = InkNow();
    EXPECT_EQ(ink.Left, 30);
    EXPECT_EQ(ink.Right, 59);
    EXPECT_EQ(ink.Top, 20);
    EXPECT_EQ(ink.Bottom, 29);
    EXPECT_FALSE(Canvas->ClipIsEmpty());
    Canvas->IntersectClip({100, 100, 120, 120});
    EXPECT_TRUE(Canvas->ClipIsEmpty());
    Canvas->Restore();
    EXPECT_FALSE(Canvas->ClipIsEmpty());
    Canvas->FillRect({0, 0, 300, 120}, 0);
    EXPECT_EQ(InkNow().Right, 299);
}

TEST(QtFont, HeightSignConvention) {
    auto em = MakeFont("Arial", -16);
    EXPECT_EQ(QFontOf(em).pixelSize(), 16);
    for (int cell : {13, 16, 24}) {
        QFont font = QFontOf(MakeFont("Arial", cell));
        EXPECT_LE(QFontMetrics(font).height(), cell);
        font.setPixelSize(font.pixelSize() + 1);
        EXPECT_GT(QFontMetrics(font).height(), cell);
    }
}

TEST(FontSubstitution, EveryCourseFaceDrawsWithItsStandIn) {
    const std::pair<const char*, const char*> expected[] = {
        {"Arial", "Liberation Sans"},
        {"Arial Narrow", "Nimbus Sans Narrow"},
        {"BankGothic Lt BT", "URW Gothic"},
        {"BankGothic Md BT", "URW Gothic"},
        {"MS Sans Serif", "Tahoma"},
        {"Courier New", "Liberation Mono"},
        {"Symbol", "DejaVu Serif"},
        {"Swis721 BlkEx BT", "Nimbus Sans"},
        {"Swis721 BlkOul BT", "Nimbus Sans"},
        {"Swis721 WGL4 BT", "Nimbus Sans"},
        {"Tahoma", "Tahoma"},
        {"Times New Roman", "Liberation Serif"},
        {"Default", "Tahoma"},
        {"Garamond", "EB Garamond 12"},
        {"Copperplate Gothic Light", "URW Gothic"},
        {"Franklin Gothic Book", "Liberation Sans"},
        {"Bookman Old Style", "URW Bookman"},
        {"Trebuchet MS", "DejaVu Sans Condensed"},
        {"Wide Latin", "C059"},
        {"Baskerville Old Face", "C059"},
    };
    // Qt names the foundry after the family when several provide it ("Nimbus Sans [urw]").
    auto familyOf = [](const QFont& font) {
        return QFontInfo(font).family().section(QStringLiteral(" ["), 0, 0);
    };
    for (auto [face, family] : expected) {
        EXPECT_EQ(familyOf(QFont(QString::fromLatin1(face))), QString::fromLatin1(family)) << face;
        EXPECT_EQ(familyOf(QFontOf(MakeFont(face, -13))), QString::fromLatin1(family)) << face;
    }
    EXPECT_TRUE(QFontInfo(QFontOf(MakeFont("Swis721 BlkEx BT", -13))).bold());
    EXPECT_EQ(familyOf(QFontOf(MakeFont("No Such Face", -13))), QStringLiteral("Tahoma"));
    EXPECT_EQ(familyOf(QFontOf(MakeFont("Arial", -13, SYMBOL_CHARSET))), QStringLiteral("DejaVu Serif"));
}

// Stored rows are drawn where the definition keeps them, at whatever address a picture's rows happen
// to begin: every offset from a 4-byte boundary draws the same pixels.
TEST(QtRows, StoredRowsDrawTheSameAtAnyAddress) {
    // 3 x 2, bottom row first: red, green, blue / white, black, grey; 9-byte rows padded to 12.
    const uint8_t bgr[] = {0,   0,   255, 0, 255, 0, 255, 0,   0,   0, 0, 0,
                           255, 255, 255, 0, 0,   0, 128, 128, 128, 0, 0, 0};
    const uint8_t indexed[] = {0, 1, 2, 0, 3, 4, 5, 0};
    const uint32_t colors[] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF, 0x000000, 0x808080};
    const uint32_t expected[2][3] = {{0xFFFFFFFF, 0xFF000000, 0xFF808080},
                                     {0xFFFF0000, 0xFF00FF00, 0xFF0000FF}};
    for (bool eightBit : {false, true}) {
        std::span<const uint8_t> rows =
            eightBit ? std::span<const uint8_t>(indexed) : std::span<const uint8_t>(bgr);
        alignas(16) uint8_t block[64];
        for (int offset = 0; offset < 4; ++offset) {
            SCOPED_TRACE((eightBit ? "8 bits, offset " : "24 bits, offset ") + std::to_string(offset));
            std::copy(rows.begin(), rows.end(), block + offset);
            TPixelRows r;
            r.Layout = eightBit ? TPixelRows::Indexed8 : TPixelRows::BGR24;
            r.Width = 3;
            r.Height = 2;
            r.Stride = eightBit ? 4 : 12;
            r.BottomUp = true;
            r.Bits = block + offset;
            if (eightBit) r.Colors = colors;
            QImage image(6, 4, QImage::Format_RGB32);
            image.fill(Qt::magenta);
            {
                QPainter painter(&image);
                QtCanvas canvas(&painter);
                canvas.StretchDrawRows({0, 0, 6, 4}, r);
            }
            for (int y = 0; y < 4; ++y)
                for (int x = 0; x < 6; ++x)
                    EXPECT_EQ(image.pixel(x, y), expected[y / 2][x / 2]) << x << "," << y;
        }
    }
}
