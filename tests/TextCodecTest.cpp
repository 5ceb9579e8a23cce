// Text conversions and name comparison.
#include "stream/TextCodec.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <span>
#include <string>
#include <vector>

namespace {

std::string Cp1252(std::initializer_list<uint8_t> bytes) {
    std::vector<uint8_t> v(bytes);
    return TextCodec::Utf8FromCp1252(v);
}

} // namespace

TEST(TextCodecCp1252, EveryByteRoundTrips) {
    std::set<std::string> seen;
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE("byte " + std::to_string(b));
        const uint8_t byte = static_cast<uint8_t>(b);
        std::string utf8 = TextCodec::Utf8FromCp1252(std::span(&byte, 1));
        // Each byte decodes to exactly one code point.
        size_t pos = 0;
        TextCodec::NextCodePoint(utf8, pos);
        EXPECT_EQ(pos, utf8.size());
        EXPECT_TRUE(seen.insert(utf8).second);
        auto back = TextCodec::Cp1252FromUtf8(utf8);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, std::string(1, static_cast<char>(byte)));
    }
    // All 256 bytes in one text.
    std::vector<uint8_t> all(256);
    for (int b = 0; b < 256; ++b)
        all[static_cast<size_t>(b)] = static_cast<uint8_t>(b);
    auto back = TextCodec::Cp1252FromUtf8(TextCodec::Utf8FromCp1252(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(std::vector<uint8_t>(back->begin(), back->end()), all);
}

TEST(TextCodecCp1252, DecodesTheCodePageCharacters) {
    EXPECT_EQ(Cp1252({'A', 0x00, 0x7F}), std::string("A\0\x7F", 3));
    EXPECT_EQ(Cp1252({0x80}), "\u20AC");
    EXPECT_EQ(Cp1252({0x85}), "\u2026");
    EXPECT_EQ(Cp1252({0x8A}), "\u0160");
    EXPECT_EQ(Cp1252({0x99}), "\u2122");
    EXPECT_EQ(Cp1252({0x9F}), "\u0178");
    // The five unassigned bytes become the C1 controls of the same number.
    EXPECT_EQ(Cp1252({0x81, 0x8D, 0x8F, 0x90, 0x9D}), "\u0081\u008D\u008F\u0090\u009D");
    EXPECT_EQ(Cp1252({0xA0, 0xE9, 0xFF}), "\u00A0\u00E9\u00FF");
}

TEST(TextCodecCp1252, EncodingRefusesOtherCharacters) {
    EXPECT_EQ(TextCodec::Cp1252FromUtf8("\u20AC10"), std::string("\x80"
                                                                 "10"));
    EXPECT_EQ(TextCodec::Cp1252FromUtf8(""), std::string());
    EXPECT_FALSE(TextCodec::Cp1252FromUtf8("\u0100").has_value());
    EXPECT_FALSE(TextCodec::Cp1252FromUtf8("ok\u6F22").has_value());
    EXPECT_FALSE(TextCodec::Cp1252FromUtf8("\U0001F600").has_value());
    // U+0080 is not a character of the code page: byte 0x80 is the euro sign.
    EXPECT_FALSE(TextCodec::Cp1252FromUtf8("\u0080").has_value());
    // Malformed UTF-8 has no 8-bit form either.
    EXPECT_FALSE(TextCodec::Cp1252FromUtf8("\xFF").has_value());
}

TEST(TextCodecUtf16, ConversionsAndLength) {
    const std::string text = "A\u00F1\u65E5\U0001F600";
    EXPECT_EQ(TextCodec::Utf16FromUtf8(text), u"A\u00F1\u65E5\U0001F600");
    EXPECT_EQ(TextCodec::Utf8FromUtf16(u"A\u00F1\u65E5\U0001F600"), text);
    EXPECT_EQ(TextCodec::Utf16Length(text), 5u);
    EXPECT_EQ(TextCodec::Utf16Length(""), 0u);
    // The first and the last code point beyond the BMP.
    const std::u16string edges = {char16_t{0xD800}, char16_t{0xDC00}, char16_t{0xDBFF}, char16_t{0xDFFF}};
    EXPECT_EQ(TextCodec::Utf8FromUtf16(edges), "\U00010000\U0010FFFF");
    EXPECT_EQ(TextCodec::Utf16FromUtf8("\U00010000\U0010FFFF"), edges);
    // A high surrogate at the very end has no partner and is kept on its own.
    const std::u16string lone = {u'x', char16_t{0xD83D}};
    EXPECT_EQ(TextCodec::Utf8FromUtf16(lone), "x\xED\xA0\xBD");
    // A low surrogate first, then a high one: not a pair.
    const std::u16string reversed = {char16_t{0xDE00}, char16_t{0xD83D}};
    EXPECT_EQ(TextCodec::Utf8FromUtf16(reversed), "\xED\xB8\x80\xED\xA0\xBD");
}

TEST(TextCodecCompare, SameTextIgnoresCase) {
    EXPECT_TRUE(SameText("Button1", "BUTTON1"));
    EXPECT_TRUE(SameText("caption", "Caption"));
    EXPECT_TRUE(SameText("", ""));
    EXPECT_TRUE(SameText("\u00C1RBOL", "\u00E1rbol"));
    EXPECT_TRUE(SameText("\u00D1and\u00FA", "\u00F1AND\u00DA"));
    EXPECT_TRUE(SameText("\u0391\u03B2\u03B3", "\u03B1\u0392\u0393"));
    EXPECT_TRUE(SameText("\u0416\u0443\u043A", "\u0436\u0423\u041A"));
    // ASCII text against the same letters with different case, where lengths match byte for byte but one
    // side carries a non-ASCII letter.
    EXPECT_TRUE(SameText("caf\u00C9", "CAF\u00E9"));
    EXPECT_TRUE(SameText("Lago \u00D1and\u00FA", "LAGO \u00F1AND\u00DA"));
    EXPECT_FALSE(SameText("Lago \u00D1and\u00FA", "LAGO \u00F1AND\u00DAS"));

    EXPECT_FALSE(SameText("Button1", "Button2"));
    EXPECT_FALSE(SameText("Button", "Button1"));
    EXPECT_FALSE(SameText("\u00E9", "e"));
    EXPECT_FALSE(SameText("\u00C1rbol", "arbol"));
    // Only letters fold: characters that differ by the case bit but are not letters stay distinct.
    EXPECT_FALSE(SameText("@", "`"));
    EXPECT_FALSE(SameText("[", "{"));
    EXPECT_FALSE(SameText("^", "~"));
    EXPECT_FALSE(SameText("]", "}"));
    EXPECT_FALSE(SameText("_", "\x7F"));
}

TEST(TextCodecCompare, CompareTextOrdersWithoutCase) {
    EXPECT_EQ(CompareText("abc", "ABC"), 0);
    EXPECT_EQ(CompareText("\u00C1RBOL", "\u00E1rbol"), 0);
    EXPECT_LT(CompareText("abc", "ABD"), 0);
    EXPECT_GT(CompareText("ABD", "abc"), 0);
    EXPECT_LT(CompareText("a", "ab"), 0);
    EXPECT_GT(CompareText("ab", "A"), 0);
    EXPECT_LT(CompareText("", "a"), 0);
    EXPECT_GT(CompareText("b", "A"), 0);
    EXPECT_LT(CompareText("z", "\u00E9"), 0);
    EXPECT_GT(CompareText("\u00C9", "Z"), 0);
    EXPECT_LT(CompareText("\u00E1rbol", "\u00C1RBOLES"), 0);
}

TEST(TextCodecIdent, ValidIdentifiers) {
    for (const char* name :
         {"a", "_", "_9", "Button_2", "A\u00F1o1", "\u03A9mega", "\u65E5\u672C", "x\u00E9"}) {
        SCOPED_TRACE(name);
        EXPECT_TRUE(IsValidIdent(name));
    }
    for (const char* name : {"", "1abc", "9", "a b", "a-b", "a.b", " a", "a\t", "\u00E9?", "\xFF", "a\xC3"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(IsValidIdent(name));
    }
}
