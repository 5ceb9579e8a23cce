// Text as the platform lays it out: the symbol encoding and line layout (word breaks, line breaks,
// access-key marks, tabs), measured with a fixed-width stand-in.
#include "platform/TextLayout.h"
#include "platform/Canvas.h"
#include "platform/SymbolEncoding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

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
