// The font of a control: height in pixels, face, character set, colour and style. Every change is
// reported through OnChange so the owning control can react.
#pragma once

#include "controls/ControlTypes.h"
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

    std::function<void()> OnChange;

private:
    void Changed();

    int FHeight;
    std::string FName;
    TFontCharset FCharset;
    TColor FColor = clWindowText;
    TFontStyles FStyle = 0;
    TFontPitch FPitch = TFontPitch::fpDefault;
    int FOrientation = 0;
    TFontQuality FQuality = TFontQuality::fqDefault;
    int FPixelsPerInch;
};
