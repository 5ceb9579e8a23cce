// Enumerations and sets of the control classes, with the type information through which the loader
// matches their stored names.
#pragma once

#include "stream/TypInfo.h"

#include <cstdint>

enum class TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient, alCustom };
enum TAnchorKind { akLeft, akTop, akRight, akBottom };
using TAnchors = TSetBits;
inline constexpr TAnchors AnchorBit(TAnchorKind k) {
    return TAnchors{1} << k;
}

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
enum class TBorderStyle { bsNone, bsSingle };
enum class TStaticBorderStyle { sbsNone, sbsSingle, sbsSunken };
enum class TListBoxStyle { lbStandard, lbOwnerDrawFixed, lbOwnerDrawVariable, lbVirtual, lbVirtualOwnerDraw };
enum class TTabPosition { tpTop, tpBottom, tpLeft, tpRight };
enum class TTabStyle { tsTabs, tsButtons, tsFlatButtons };
enum class TStatusPanelStyle { psText, psOwnerDraw };
enum class TStatusPanelBevel { pbNone, pbLowered, pbRaised };

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = TSetBits;
enum class TFontPitch { fpDefault, fpVariable, fpFixed };
enum class TFontQuality {
    fqDefault,
    fqDraft,
    fqProof,
    fqNonAntialiased,
    fqAntialiased,
    fqClearType,
    fqClearTypeNatural
};

extern const TTypeInfo TypeInfo_TAlign;
extern const TTypeInfo TypeInfo_TAnchorKind;
extern const TTypeInfo TypeInfo_TAnchors;
extern const TTypeInfo TypeInfo_TAlignment;
extern const TTypeInfo TypeInfo_TTextLayout;
extern const TTypeInfo TypeInfo_TScrollStyle;
extern const TTypeInfo TypeInfo_TBorderStyle;
extern const TTypeInfo TypeInfo_TStaticBorderStyle;
extern const TTypeInfo TypeInfo_TListBoxStyle;
extern const TTypeInfo TypeInfo_TTabPosition;
extern const TTypeInfo TypeInfo_TTabStyle;
extern const TTypeInfo TypeInfo_TStatusPanelStyle;
extern const TTypeInfo TypeInfo_TStatusPanelBevel;
extern const TTypeInfo TypeInfo_TFontStyle;
extern const TTypeInfo TypeInfo_TFontStyles;
extern const TTypeInfo TypeInfo_TFontPitch;
extern const TTypeInfo TypeInfo_TFontQuality;
