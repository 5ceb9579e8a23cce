// Font attributes and their published table.
#include "controls/TFont.h"

#include "stream/IdentMaps.h"
#include "stream/TextCodec.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

int MulDiv(int number, int numerator, int denominator) {
    if (denominator == 0) return -1;
    long long product = static_cast<long long>(number) * numerator;
    long long half = std::llabs(denominator) / 2;
    long long q = (product >= 0) == (denominator > 0)
                      ? (std::llabs(product) + half) / std::llabs(denominator)
                      : -((std::llabs(product) + half) / std::llabs(denominator));
    return static_cast<int>(q);
}

int TDefaultFontData::Height() const {
    return -MulDiv(8, PixelsPerInch, 72);
}

TDefaultFontData& DefFontData() {
    static TDefaultFontData data;
    return data;
}

TFont::TFont()
    : FHeight(DefFontData().Height()), FName(DefFontData().Name), FCharset(DEFAULT_CHARSET),
      FPixelsPerInch(DefFontData().PixelsPerInch) {
    Resolve();
}

TFont::~TFont() {
    FontCache().Release(FResource);
}

void TFont::Changed() {
    Resolve();
    if (OnChange) OnChange();
}

void TFont::Resolve() {
    TLogFont record = LogFont();
    // The record of an entry never changes after it is made, so it is read without the cache's lock.
    if (FResource && std::memcmp(&FResource->Record, &record, sizeof record) == 0) return;
    TFontCache::TEntry* next = FontCache().Acquire(record);
    FontCache().Release(FResource);
    FResource = next;
}

TLogFont TFont::LogFont() const {
    const TDefaultFontData& defaults = DefFontData();
    TLogFont lf;
    lf.Height = FHeight;
    lf.Width = 0;
    lf.Escapement = FOrientation;
    lf.Orientation = FOrientation;
    lf.Weight = FStyle & (1u << fsBold) ? 700 : 400;
    lf.Italic = FStyle >> fsItalic & 1;
    lf.Underline = FStyle >> fsUnderline & 1;
    lf.StrikeOut = FStyle >> fsStrikeOut & 1;
    lf.CharSet =
        FCharset == DEFAULT_CHARSET && defaults.Charset != DEFAULT_CHARSET ? defaults.Charset : FCharset;
    lf.OutPrecision = FOrientation != 0 ? OUT_TT_ONLY_PRECIS : OUT_DEFAULT_PRECIS;
    lf.ClipPrecision = 0;
    lf.Quality = static_cast<uint8_t>(FQuality);
    lf.PitchAndFamily = FPitch == TFontPitch::fpFixed      ? FIXED_PITCH
                        : FPitch == TFontPitch::fpVariable ? VARIABLE_PITCH
                                                           : DEFAULT_PITCH;
    std::u16string face = TextCodec::Utf16FromUtf8(SameText(FName, "Default") ? defaults.Name : FName);
    constexpr size_t kMaxFace = std::size(lf.FaceName) - 1;
    size_t n = std::min(face.size(), kMaxFace);
    // Never keep the first half of a surrogate pair without its second.
    if (n == kMaxFace && face.size() > n && face[n - 1] >= 0xD800 && face[n - 1] < 0xDC00) --n;
    std::copy_n(face.begin(), n, lf.FaceName);
    return lf;
}

void TFont::SetHeight(int value) {
    if (FHeight == value) return;
    FHeight = value;
    Changed();
}

int TFont::Size() const {
    return -MulDiv(FHeight, 72, FPixelsPerInch);
}
void TFont::SetSize(int value) {
    SetHeight(-MulDiv(value, FPixelsPerInch, 72));
}

void TFont::SetName(const std::string& value) {
    if (FName == value || value.empty()) return;
    FName = value;
    Changed();
}

void TFont::SetCharset(int value) {
    auto charset = static_cast<TFontCharset>(value);
    if (FCharset == charset) return;
    FCharset = charset;
    Changed();
}

void TFont::SetColor(TColor value) {
    if (FColor == value) return;
    FColor = value;
    Changed();
}

void TFont::SetStyle(TFontStyles value) {
    value &= 0x0F;
    if (FStyle == value) return;
    FStyle = value;
    Changed();
}

void TFont::SetPitch(TFontPitch value) {
    if (FPitch == value) return;
    FPitch = value;
    Changed();
}

void TFont::SetOrientation(int value) {
    if (FOrientation == value) return;
    FOrientation = value;
    Changed();
}

void TFont::SetQuality(TFontQuality value) {
    if (FQuality == value) return;
    FQuality = value;
    Changed();
}

void TFont::Assign(const TFont& source) {
    if (&source == this) return;
    FHeight = source.FHeight;
    FName = source.FName;
    FCharset = source.FCharset;
    FColor = source.FColor;
    FStyle = source.FStyle;
    FPitch = source.FPitch;
    FOrientation = source.FOrientation;
    FQuality = source.FQuality;
    FPixelsPerInch = source.FPixelsPerInch;
    Changed();
}

static std::span<const TPropInfo> FontProperties() {
    static const TPropInfo props[] = {
        OrdProp<TFont, &TFont::SetCharset>("Charset", TypeInfo_TFontCharset),
        OrdProp<TFont, &TFont::SetColor>("Color", TypeInfo_TColor),
        OrdProp<TFont, &TFont::SetHeight>("Height", TypeInfo_Integer),
        StrProp<TFont, &TFont::SetName>("Name"),
        OrdProp<TFont, &TFont::SetOrientation>("Orientation", TypeInfo_Integer),
        OrdProp<TFont, &TFont::SetPitch>("Pitch", TypeInfo_TFontPitch),
        OrdProp<TFont, &TFont::SetQuality>("Quality", TypeInfo_TFontQuality),
        OrdProp<TFont, &TFont::SetSize>("Size", TypeInfo_Integer),
        OrdProp<TFont, &TFont::SetStyle>("Style", TypeInfo_TFontStyles),
    };
    return props;
}

const TClassInfo TFont::ClassInfo{"TFont", &TPersistent::ClassInfo, FontProperties};
