// Fonts and colours in the control layer: colour resolution, font sizes, the logical-font record and the
// shared font cache, on a platform without a display.
#include "FakePlatform.h"

#include "controls/ColorToRGB.h"
#include "controls/TFont.h"
#include "controls/TResourceCache.h"

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
    font.SetName(std::string(30, 'A').append("\xF0\x9F\x98\x80"));
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
    TFontCache cache;
    TLogFont redRecord{}, blueRecord{};
    redRecord.Height = -11;
    blueRecord.Height = -12;
    auto* red = cache.Acquire(redRecord);
    auto* red2 = cache.Acquire(redRecord);
    auto* blue = cache.Acquire(blueRecord);
    EXPECT_EQ(red, red2);
    EXPECT_NE(red, blue);
    EXPECT_EQ(cache.RefCount(red), 2);
    EXPECT_EQ(cache.Count(), 2u);
    TFontCache::TEntry* other = nullptr;
    std::thread([&] { other = cache.Acquire(redRecord); }).join();
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
