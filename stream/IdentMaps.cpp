// The colour and character-set identifier tables and the registry of identifier mappings.
#include "stream/IdentMaps.h"

#include "stream/Colors.h"
#include "stream/TextCodec.h"

#include <iterator>
#include <mutex>
#include <vector>

const TTypeInfo TypeInfo_TColor{"TColor", TTypeKind::tkInteger};
const TTypeInfo TypeInfo_TFontCharset{"TFontCharset", TTypeKind::tkInteger};

namespace {
struct IdentEntry {
    int32_t Value;
    std::string_view Name;
};

constexpr IdentEntry kColors[] = {
    {clBlack, "clBlack"},
    {clMaroon, "clMaroon"},
    {clGreen, "clGreen"},
    {clOlive, "clOlive"},
    {clNavy, "clNavy"},
    {clPurple, "clPurple"},
    {clTeal, "clTeal"},
    {clGray, "clGray"},
    {clSilver, "clSilver"},
    {clRed, "clRed"},
    {clLime, "clLime"},
    {clYellow, "clYellow"},
    {clBlue, "clBlue"},
    {clFuchsia, "clFuchsia"},
    {clAqua, "clAqua"},
    {clWhite, "clWhite"},
    {clMoneyGreen, "clMoneyGreen"},
    {clSkyBlue, "clSkyBlue"},
    {clCream, "clCream"},
    {clMedGray, "clMedGray"},
    {clActiveBorder, "clActiveBorder"},
    {clActiveCaption, "clActiveCaption"},
    {clAppWorkSpace, "clAppWorkSpace"},
    {clBackground, "clBackground"},
    {clBtnFace, "clBtnFace"},
    {clBtnHighlight, "clBtnHighlight"},
    {clBtnShadow, "clBtnShadow"},
    {clBtnText, "clBtnText"},
    {clCaptionText, "clCaptionText"},
    {clDefault, "clDefault"},
    {clGradientActiveCaption, "clGradientActiveCaption"},
    {clGradientInactiveCaption, "clGradientInactiveCaption"},
    {clGrayText, "clGrayText"},
    {clHighlight, "clHighlight"},
    {clHighlightText, "clHighlightText"},
    {clHotLight, "clHotLight"},
    {clInactiveBorder, "clInactiveBorder"},
    {clInactiveCaption, "clInactiveCaption"},
    {clInactiveCaptionText, "clInactiveCaptionText"},
    {clInfoBk, "clInfoBk"},
    {clInfoText, "clInfoText"},
    {clMenu, "clMenu"},
    {clMenuBar, "clMenuBar"},
    {clMenuHighlight, "clMenuHighlight"},
    {clMenuText, "clMenuText"},
    {clNone, "clNone"},
    {clScrollBar, "clScrollBar"},
    {cl3DDkShadow, "cl3DDkShadow"},
    {cl3DLight, "cl3DLight"},
    {clWindow, "clWindow"},
    {clWindowFrame, "clWindowFrame"},
    {clWindowText, "clWindowText"},
};
static_assert(std::size(kColors) == 52);

constexpr IdentEntry kCharsets[] = {
    {0, "ANSI_CHARSET"},      {1, "DEFAULT_CHARSET"},    {2, "SYMBOL_CHARSET"},
    {77, "MAC_CHARSET"},      {128, "SHIFTJIS_CHARSET"}, {129, "HANGEUL_CHARSET"},
    {130, "JOHAB_CHARSET"},   {134, "GB2312_CHARSET"},   {136, "CHINESEBIG5_CHARSET"},
    {161, "GREEK_CHARSET"},   {162, "TURKISH_CHARSET"},  {163, "VIETNAMESE_CHARSET"},
    {177, "HEBREW_CHARSET"},  {178, "ARABIC_CHARSET"},   {186, "BALTIC_CHARSET"},
    {204, "RUSSIAN_CHARSET"}, {222, "THAI_CHARSET"},     {238, "EASTEUROPE_CHARSET"},
    {255, "OEM_CHARSET"},
};

template <size_t N> bool IdentToInt(const IdentEntry (&table)[N], std::string_view ident, int32_t& value) {
    for (const IdentEntry& e : table) {
        if (SameText(e.Name, ident)) {
            value = e.Value;
            return true;
        }
    }
    return false;
}

bool IdentToColor(std::string_view ident, int32_t& color) {
    return IdentToInt(kColors, ident, color);
}
bool IdentToCharset(std::string_view ident, int32_t& charset) {
    return IdentToInt(kCharsets, ident, charset);
}

struct Mapping {
    const TTypeInfo* Type;
    TIdentToInt ToInt;
};

struct Registry {
    std::mutex Lock;
    // The colour and character-set mappings are there from the start, before any definition is read.
    std::vector<Mapping> Maps{{&TypeInfo_TColor, IdentToColor}, {&TypeInfo_TFontCharset, IdentToCharset}};
};

Registry& TheRegistry() {
    static Registry registry;
    return registry;
}

const Mapping* FindMapping(const TTypeInfo& type) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.Lock);
    for (auto it = r.Maps.rbegin(); it != r.Maps.rend(); ++it)
        if (it->Type == &type) return &*it;
    return nullptr;
}
} // namespace

void RegisterIntegerConsts(const TTypeInfo& type, TIdentToInt identToInt) {
    Registry& r = TheRegistry();
    std::lock_guard lock(r.Lock);
    r.Maps.push_back({&type, identToInt});
}

TIdentToInt FindIdentToInt(const TTypeInfo& type) {
    const Mapping* m = FindMapping(type);
    return m ? m->ToInt : nullptr;
}
