// Fonts and colours: colour resolution, font sizes, the logical-font record, the shared font cache, the
// symbol encoding, text layout, and text drawn and faces substituted on Qt's offscreen platform.
#include "FakePlatform.h"

#include "controls/Graphics.h"
#include "controls/TFont.h"
#include "controls/TResourceCache.h"
#include "platform/SymbolEncoding.h"
#include "platform/TextLayout.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtFont.h"
#include "platform/qt/QtPlatform.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <climits>
#include <gtest/gtest.h>
#include <thread>
#include <tuple>

namespace {

// Restores the default font data a test changes.
struct DefaultFontDataScope {
    TDefaultFontData Saved = DefFontData();
    ~DefaultFontDataScope() { DefFontData() = Saved; }
};

std::u16string FaceOf(const TLogFont& lf) {
    return std::u16string(lf.FaceName);
}

} // namespace

TEST(ColorToRGB, SystemColoursAskThePlatformOthersComeBackUnchanged) {
    EXPECT_EQ(ColorToRGB(clSkyBlue), 0x00F0CAA6u); // red 166, green 202, blue 240
    EXPECT_EQ(ColorToRGB(clNone), 0x1FFFFFFFu);
    EXPECT_EQ(ColorToRGB(clDefault), 0x20000000u);
    EXPECT_EQ(ColorToRGB(clBtnFace), 0x00F0F0F0u); // no platform: the palette the platform starts from
    EXPECT_EQ(ColorToRGB(clWindowText), 0x00000000u);
    struct DarkPlatform : FakePlatform {
        uint32_t GetSysColor(int index) const override { return index == 15 ? 0x00303030 : 0x00FFFFFF; }
    } platform;
    EXPECT_EQ(ColorToRGB(clBtnFace), 0x00303030u);
    EXPECT_EQ(ColorToRGB(clWindow), 0x00FFFFFFu);
}

TEST(FontSize, PointsAndPixelsAt96DpiRoundHalfAwayFromZero) {
    TFont font;
    for (auto [height, size] : {std::pair{-16, 12}, {-11, 8}, {-13, 10}, {-21, 16}}) {
        font.SetHeight(height);
        EXPECT_EQ(font.Size(), size) << height;
    }
    font.SetSize(10); // 13.33 pixels
    EXPECT_EQ(font.Height(), -13);
    EXPECT_EQ(MulDiv(3, 1, 2), 2);
    EXPECT_EQ(MulDiv(-3, 1, 2), -2);
    EXPECT_EQ(MulDiv(3, 1, -2), -2);
    EXPECT_EQ(MulDiv(1 << 30, 4, 8), 1 << 29); // no overflow in between
}

TEST(LogFontRecord, DefaultInAnyCaseNamesTheDefaultFace) {
    DefaultFontDataScope scope;
    DefFontData().Name = "Tahoma";
    TFont font;
    for (const char* name : {"Default", "DEFAULT", "dEfAuLt"}) {
        font.SetName(name);
        EXPECT_EQ(FaceOf(font.LogFont()), u"Tahoma") << name;
    }
    font.SetName("MS Sans Serif");
    EXPECT_EQ(FaceOf(font.LogFont()), u"MS Sans Serif");
    font.SetName("Defaults");
    EXPECT_EQ(FaceOf(font.LogFont()), u"Defaults");
}

TEST(LogFontRecord, WeightStyleAndOrientation) {
    TFont font;
    font.SetHeight(-19);
    font.SetStyle(1u << fsBold | 1u << fsUnderline);
    font.SetPitch(TFontPitch::fpFixed);
    TLogFont lf = font.LogFont();
    EXPECT_EQ(std::tuple(lf.Height, lf.Width, lf.Weight, lf.Italic, lf.Underline, lf.PitchAndFamily),
              std::tuple(-19, 0, 700, 0, 1, FIXED_PITCH));
    EXPECT_EQ(lf.OutPrecision, OUT_DEFAULT_PRECIS);
    font.SetStyle(1u << fsItalic);
    font.SetOrientation(900); // rotated text needs outline fonts
    lf = font.LogFont();
    EXPECT_EQ(std::tuple(lf.Weight, lf.Italic, lf.Escapement, lf.Orientation, lf.OutPrecision),
              std::tuple(400, 1, 900, 900, OUT_TT_ONLY_PRECIS));
}

TEST(LogFontRecord, DefaultCharsetTakesTheDefaultFontDataCharset) {
    DefaultFontDataScope scope;
    TFont font;
    EXPECT_EQ(font.LogFont().CharSet, DEFAULT_CHARSET);
    DefFontData().Charset = ANSI_CHARSET;
    EXPECT_EQ(font.LogFont().CharSet, ANSI_CHARSET);
    font.SetCharset(SYMBOL_CHARSET);
    EXPECT_EQ(font.LogFont().CharSet, SYMBOL_CHARSET);
}

TEST(LogFontRecord, FaceIsCutTo31Utf16Units) {
    TFont font;
    font.SetName(std::string(40, 'A'));
    EXPECT_EQ(FaceOf(font.LogFont()), std::u16string(31, u'A'));
    // A pair that would straddle the cut goes whole.
    font.SetName(std::string(30, 'A') + "\xF0\x9F\x98\x80");
    EXPECT_EQ(FaceOf(font.LogFont()), std::u16string(30, u'A'));
}

TEST(ResourceHash, RotatesLeftByFiveAndXorsEachByte) {
    EXPECT_EQ(ResourceHash({}), 0);
    const uint8_t small[] = {1, 2, 3}; // 0x0001, 0x0022, 0x0443
    EXPECT_EQ(ResourceHash(small), 0x0443);
    const uint8_t ones[] = {0xFF, 0xFF, 0xFF, 0xFF}; // 0x00FF, 0x1F1F, 0xE31C, 0x6363: bits wrap round
    EXPECT_EQ(ResourceHash(ones), 0x6363);
}

TEST(ResourceCache, EqualRecordsShareACountedEntryPerThread) {
    TBrushCache cache;
    auto* red = cache.Acquire({clRed});
    auto* red2 = cache.Acquire({clRed});
    auto* blue = cache.Acquire({clBlue});
    EXPECT_EQ(red, red2);
    EXPECT_NE(red, blue);
    EXPECT_EQ(cache.RefCount(red), 2);
    EXPECT_EQ(cache.Count(), 2u);
    TBrushCache::TEntry* other = nullptr;
    std::thread([&] { other = cache.Acquire({clRed}); }).join();
    EXPECT_NE(other, red);
    EXPECT_EQ(cache.Count(), 3u);
    cache.Release(other);
    cache.Release(red2);
    EXPECT_EQ(cache.RefCount(red), 1);
    cache.Release(red);
    cache.Release(blue);
    EXPECT_EQ(cache.Count(), 0u);
}

namespace {
class CountingPlatform : public FakePlatform {
public:
    struct CountedFont : FakeFont {
        CountedFont(const TLogFont& lf, int& deleted) : FakeFont(lf), Deleted(deleted) {}
        ~CountedFont() override { ++Deleted; }
        int& Deleted;
    };
    std::unique_ptr<IPlatformFont> CreateFontIndirect(const TLogFont& lf) override {
        ++Created;
        return std::make_unique<CountedFont>(lf, Deleted);
    }
    int Created = 0, Deleted = 0;
};
} // namespace

TEST(FontCache, EqualFontsShareOnePlatformFontMadeOnFirstUse) {
    CountingPlatform platform;
    size_t before = FontCache().Count();
    auto a = std::make_unique<TFont>();
    auto b = std::make_unique<TFont>();
    EXPECT_EQ(FontCache().Count(), before + 1);
    EXPECT_EQ(platform.Created, 0); // nothing drew yet
    const IPlatformFont* handle = a->Handle();
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(b->Handle(), handle);
    EXPECT_EQ(platform.Created, 1);
    a.reset();
    EXPECT_EQ(platform.Deleted, 0);
    b.reset();
    EXPECT_EQ(platform.Deleted, 1);
    EXPECT_EQ(FontCache().Count(), before);
}

TEST(FontCache, ChangingTheRecordMovesToAnotherEntry) {
    CountingPlatform platform;
    TFont a, b;
    int changes = 0;
    a.OnChange = [&] { ++changes; };
    const IPlatformFont* shared = b.Handle();
    a.SetHeight(-16);
    EXPECT_NE(a.Handle(), shared);
    EXPECT_EQ(static_cast<const FakeFont*>(a.Handle())->LogFont.Height, -16);
    const IPlatformFont* large = a.Handle();
    a.SetColor(clRed); // colour is not part of the record
    EXPECT_EQ(a.Handle(), large);
    a.SetHeight(b.Height());
    EXPECT_EQ(a.Handle(), shared);
    EXPECT_EQ(platform.Deleted, 1); // the -16 font had no other user
    EXPECT_EQ(changes, 3);
}

TEST(SymbolEncoding, LatinLettersShowGreekAndOperators) {
    EXPECT_EQ(SymbolTextToUnicode(u"b = a"), u"\u03B2 = \u03B1");
    EXPECT_EQ(SymbolTextToUnicode(u"H * b"), u"\u0397 \u2217 \u03B2");
    EXPECT_EQ(SymbolTextToUnicode(u"g-d 0123456789"), u"\u03B3\u2212\u03B4 0123456789");
    EXPECT_EQ(SymbolToUnicode(u'\uF062'), u'\u03B2'); // the private-use form
    EXPECT_EQ(SymbolToUnicode(u'\u00FE'), u'\u23AD'); // the last code: the table is aligned
    EXPECT_EQ(SymbolToUnicode(u'\u0085'), u'\u0085'); // no glyph
    EXPECT_EQ(SymbolToUnicode(u'\u03B1'), u'\u03B1');
}

namespace {
// Every character is 10 wide; tab stops every 80.
const TTextMetrics kTenEach{[](std::u16string_view s) { return 10 * static_cast<int>(s.size()); }, 80};

std::vector<std::u16string> LineTexts(std::u16string_view text, unsigned format, int width) {
    std::vector<std::u16string> out;
    for (const TTextLine& line : LayoutText(text, format, width, kTenEach)) {
        std::u16string s;
        for (const TTextRun& run : line.Runs)
            s += run.Text;
        out.push_back(s);
    }
    return out;
}
using Lines = std::vector<std::u16string>;
} // namespace

TEST(TextLayout, WordBreakFillsLinesAtBlanks) {
    EXPECT_EQ(LineTexts(u"aaa bbb ccc", DT_WORDBREAK, 70), (Lines{u"aaa bbb", u"ccc"}));
    EXPECT_EQ(LineTexts(u"aaa bbb ccc", DT_WORDBREAK, 69), (Lines{u"aaa", u"bbb", u"ccc"}));
    EXPECT_EQ(LineTexts(u"  aa   bb  ", DT_WORDBREAK, 40), (Lines{u"  aa", u"bb"}));
    auto lines = LayoutText(u"x abcdefghij y", DT_WORDBREAK, 30, kTenEach);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[1].Width, 100); // too long, not broken
    EXPECT_EQ(LineTexts(u"aaa bbb ccc", DT_WORDBREAK | DT_SINGLELINE, 30), (Lines{u"aaa bbb ccc"}));
}

TEST(TextLayout, LineBreaks) {
    EXPECT_EQ(LineTexts(u"a\r\nb\nc", 0, 100), (Lines{u"a", u"b", u"c"}));
    EXPECT_EQ(LineTexts(u"a\n\nb\n", 0, 100), (Lines{u"a", u"", u"b"}));
    EXPECT_EQ(LineTexts(u"a\r\nb", DT_SINGLELINE, 100), (Lines{u"ab"}));
    EXPECT_TRUE(LineTexts(u"", DT_WORDBREAK, 100).empty());
}

TEST(TextLayout, AmpersandMarksTheNextCharacter) {
    auto lines = LayoutText(u"Save &As", 0, 100, kTenEach);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].Runs[0].Text, u"Save As");
    ASSERT_EQ(lines[0].Marks.size(), 1u);
    EXPECT_EQ(lines[0].Marks[0].X, 50);
    EXPECT_EQ(lines[0].Marks[0].Width, 10);
    EXPECT_EQ(LineTexts(u"a&&b&", 0, 100), (Lines{u"a&b"}));
    EXPECT_EQ(LineTexts(u"&File", DT_NOPREFIX, 100), (Lines{u"&File"}));
    // A mark on the next line of wrapped text is placed from that line's start.
    lines = LayoutText(u"aaa b&bc", DT_WORDBREAK, 40, kTenEach);
    ASSERT_EQ(lines.size(), 2u);
    ASSERT_EQ(lines[1].Marks.size(), 1u);
    EXPECT_EQ(lines[1].Marks[0].X, 10);
}

TEST(TextLayout, TabsExpandToStopsOnlyWhenAsked) {
    auto lines = LayoutText(u"a\tb\tc", DT_EXPANDTABS, 500, kTenEach);
    ASSERT_EQ(lines[0].Runs.size(), 3u);
    EXPECT_EQ(lines[0].Runs[1].X, 80);
    EXPECT_EQ(lines[0].Runs[2].X, 160);
    EXPECT_EQ(lines[0].Width, 170);
    EXPECT_EQ(LayoutText(u"12345678\tb", DT_EXPANDTABS, 500, kTenEach)[0].Width, 170);
    lines = LayoutText(u"a\tb", 0, 500, kTenEach);
    EXPECT_EQ(lines[0].Runs[0].Text, u"ab");
    EXPECT_EQ(lines[0].Width, 20);
}

// Text on Qt's offscreen platform.
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
