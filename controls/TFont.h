// The font of a control: height in pixels, face, character set, colour and style. Every change is
// reported through OnChange so the owning control can react. The font holds the shared cache entry for
// its logical-font record; the platform font behind it is made only when something draws with it.
#pragma once

#include "controls/ControlTypes.h"
#include "controls/TResourceCache.h"
#include "platform/Canvas.h"
#include "stream/Colors.h"
#include "stream/TPersistent.h"

#include <functional>
#include <string>

// The default font data, read once at start-up (screen density and default face).
struct TDefaultFontData {
    int PixelsPerInch = 96;
    std::string Name = "MS Sans Serif";
    TFontCharset Charset = DEFAULT_CHARSET;
    int Height() const;
};
TDefaultFontData& DefFontData();

int MulDiv(int number, int numerator, int denominator);

class TFont : public TPersistent {
    ORV_CLASS(TFont)
public:
    TFont();
    ~TFont() override;
    TFont(const TFont&) = delete;
    TFont& operator=(const TFont&) = delete;

    int Height() const { return FHeight; }
    void SetHeight(int value);
    int Size() const;
    void SetSize(int value);
    const std::string& Name() const { return FName; }
    void SetName(const std::string& value);
    TFontCharset Charset() const { return FCharset; }
    void SetCharset(int value);
    TColor Color() const { return FColor; }
    void SetColor(TColor value);
    TFontStyles Style() const { return FStyle; }
    void SetStyle(TFontStyles value);
    TFontPitch Pitch() const { return FPitch; }
    void SetPitch(TFontPitch value);
    int Orientation() const { return FOrientation; }
    void SetOrientation(int value);
    TFontQuality Quality() const { return FQuality; }
    void SetQuality(TFontQuality value);
    int PixelsPerInch() const { return FPixelsPerInch; }

    // Copies every attribute of another font, colour included.
    void Assign(const TFont& source);
    void SetAssigned(TFont* source) {
        if (source) Assign(*source);
    }

    // The logical-font record the platform font is realised from.
    TLogFont LogFont() const;
    // The platform font, shared by every font with an equal record; created on first use, and null
    // while no platform is installed.
    const IPlatformFont* Handle() const { return FontCache().Handle(FResource); }

    std::function<void()> OnChange;

private:
    void Changed();
    // Moves to the cache entry of the current record when an attribute of the record changed.
    void Resolve();

    int FHeight;
    std::string FName;
    TFontCharset FCharset;
    TColor FColor = clWindowText;
    TFontStyles FStyle = 0;
    TFontPitch FPitch = TFontPitch::fpDefault;
    int FOrientation = 0;
    TFontQuality FQuality = TFontQuality::fqDefault;
    int FPixelsPerInch;
    TFontCache::TEntry* FResource = nullptr;
};
