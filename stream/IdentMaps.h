// Identifier mappings: named integer constants for integer-valued properties (colours, character sets).
// The registry holds (type, mapping) pairs; the most recently registered mapping for a type wins.
#pragma once

#include "stream/TypInfo.h"

#include <cstdint>
#include <string>
#include <string_view>

using TIdentToInt = bool (*)(std::string_view ident, int32_t& value);
using TIntToIdent = bool (*)(int32_t value, std::string& ident);

extern const TTypeInfo TypeInfo_TColor;
extern const TTypeInfo TypeInfo_TFontCharset;

void RegisterIntegerConsts(const TTypeInfo& type, TIdentToInt identToInt, TIntToIdent intToIdent);
TIdentToInt FindIdentToInt(const TTypeInfo& type);
TIntToIdent FindIntToIdent(const TTypeInfo& type);

// The colour table (52 identifiers) and the character-set table.
bool IdentToColor(std::string_view ident, int32_t& color);
bool ColorToIdent(int32_t color, std::string& ident);
int ColorIdentCount();
bool IdentToCharset(std::string_view ident, int32_t& charset);
bool CharsetToIdent(int32_t charset, std::string& ident);
