// Text drawn in a font with the symbol character set: each character code names a glyph of the
// symbol encoding (a is alpha, b is beta, * is the asterisk operator), whichever face stands in for
// the symbol font. These functions give the Unicode characters those glyphs show, so that any face
// with Greek and mathematical characters draws the text as intended.
#pragma once

#include <string>
#include <string_view>

// The character that code shows. Codes 0x20..0xFF and their private-use forms U+F020..U+F0FF are
// mapped; codes with no glyph in the encoding, and every other character, come back unchanged.
char16_t SymbolToUnicode(char16_t code);
std::u16string SymbolTextToUnicode(std::u16string_view text);
