// Identifier mappings: named integer constants for integer-valued properties (colours, character sets).
// The registry holds (type, mapping) pairs; the most recently registered mapping for a type wins.
#pragma once

#include "stream/TypInfo.h"

#include <cstdint>
#include <string>
#include <string_view>

using TIdentToInt = bool (*)(std::string_view ident, int32_t& value);

extern const TTypeInfo TypeInfo_TColor;
extern const TTypeInfo TypeInfo_TFontCharset;

// The colour table (52 identifiers) and the character-set table are registered from the start.
void RegisterIntegerConsts(const TTypeInfo& type, TIdentToInt identToInt);
TIdentToInt FindIdentToInt(const TTypeInfo& type);
