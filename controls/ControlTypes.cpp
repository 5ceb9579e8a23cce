// Type information of the control enumerations.
#include "controls/ControlTypes.h"

namespace {
constexpr std::string_view kAlign[] = {"alNone",  "alTop",    "alBottom", "alLeft",
                                       "alRight", "alClient", "alCustom"};
constexpr std::string_view kAnchorKind[] = {"akLeft", "akTop", "akRight", "akBottom"};
constexpr std::string_view kAlignment[] = {"taLeftJustify", "taRightJustify", "taCenter"};
constexpr std::string_view kTextLayout[] = {"tlTop", "tlCenter", "tlBottom"};
constexpr std::string_view kScrollStyle[] = {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"};
constexpr std::string_view kBorderStyle[] = {"bsNone", "bsSingle"};
constexpr std::string_view kStaticBorderStyle[] = {"sbsNone", "sbsSingle", "sbsSunken"};
constexpr std::string_view kListBoxStyle[] = {"lbStandard", "lbOwnerDrawFixed", "lbOwnerDrawVariable",
                                              "lbVirtual", "lbVirtualOwnerDraw"};
constexpr std::string_view kTabPosition[] = {"tpTop", "tpBottom", "tpLeft", "tpRight"};
constexpr std::string_view kTabStyle[] = {"tsTabs", "tsButtons", "tsFlatButtons"};
constexpr std::string_view kStatusPanelStyle[] = {"psText", "psOwnerDraw"};
constexpr std::string_view kStatusPanelBevel[] = {"pbNone", "pbLowered", "pbRaised"};
constexpr std::string_view kFontStyle[] = {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"};
constexpr std::string_view kFontPitch[] = {"fpDefault", "fpVariable", "fpFixed"};
constexpr std::string_view kFontQuality[] = {"fqDefault",         "fqDraft",       "fqProof",
                                             "fqNonAntialiased",  "fqAntialiased", "fqClearType",
                                             "fqClearTypeNatural"};
} // namespace

using enum TTypeKind;
const TTypeInfo TypeInfo_TAlign{"TAlign", tkEnumeration, kAlign};
const TTypeInfo TypeInfo_TAnchorKind{"TAnchorKind", tkEnumeration, kAnchorKind};
const TTypeInfo TypeInfo_TAnchors{"TAnchors", tkSet, {}, &TypeInfo_TAnchorKind};
const TTypeInfo TypeInfo_TAlignment{"TAlignment", tkEnumeration, kAlignment};
const TTypeInfo TypeInfo_TTextLayout{"TTextLayout", tkEnumeration, kTextLayout};
const TTypeInfo TypeInfo_TScrollStyle{"TScrollStyle", tkEnumeration, kScrollStyle};
const TTypeInfo TypeInfo_TBorderStyle{"TBorderStyle", tkEnumeration, kBorderStyle};
const TTypeInfo TypeInfo_TStaticBorderStyle{"TStaticBorderStyle", tkEnumeration, kStaticBorderStyle};
const TTypeInfo TypeInfo_TListBoxStyle{"TListBoxStyle", tkEnumeration, kListBoxStyle};
const TTypeInfo TypeInfo_TTabPosition{"TTabPosition", tkEnumeration, kTabPosition};
const TTypeInfo TypeInfo_TTabStyle{"TTabStyle", tkEnumeration, kTabStyle};
const TTypeInfo TypeInfo_TStatusPanelStyle{"TStatusPanelStyle", tkEnumeration, kStatusPanelStyle};
const TTypeInfo TypeInfo_TStatusPanelBevel{"TStatusPanelBevel", tkEnumeration, kStatusPanelBevel};
const TTypeInfo TypeInfo_TFontStyle{"TFontStyle", tkEnumeration, kFontStyle};
const TTypeInfo TypeInfo_TFontStyles{"TFontStyles", tkSet, {}, &TypeInfo_TFontStyle};
const TTypeInfo TypeInfo_TFontPitch{"TFontPitch", tkEnumeration, kFontPitch};
const TTypeInfo TypeInfo_TFontQuality{"TFontQuality", tkEnumeration, kFontQuality};
