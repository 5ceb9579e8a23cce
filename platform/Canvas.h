// Drawing as the system sees it: a canvas with a current font and text colour, fills, text drawn and
// measured by the platform's rules, and a clip and origin that painting narrows and moves. Colours
// here are platform colour values (0x00BBGGRR); system colours are resolved before they get here.
#pragma once

#include "platform/Platform.h"

#include <cstdint>
#include <memory>
#include <span>
#include <string>

// The logical-font record handed to the platform. Its bytes are what the font cache hashes, so it has
// no padding and every field is always set.
struct TLogFont {
    int32_t Height = 0;
    int32_t Width = 0;
    int32_t Escapement = 0;
    int32_t Orientation = 0;
    int32_t Weight = 400;
    uint8_t Italic = 0;
    uint8_t Underline = 0;
    uint8_t StrikeOut = 0;
    uint8_t CharSet = 1;
    uint8_t OutPrecision = 0;
    uint8_t ClipPrecision = 0;
    uint8_t Quality = 0;
    uint8_t PitchAndFamily = 0;
    char16_t FaceName[32] = {};
};
static_assert(sizeof(TLogFont) == 92, "TLogFont must have no padding");

inline constexpr uint8_t OUT_DEFAULT_PRECIS = 0;
inline constexpr uint8_t OUT_TT_ONLY_PRECIS = 7;
inline constexpr uint8_t DEFAULT_PITCH = 0;
inline constexpr uint8_t FIXED_PITCH = 1;
inline constexpr uint8_t VARIABLE_PITCH = 2;

// Text drawing formats.
inline constexpr unsigned DT_LEFT = 0x0;
inline constexpr unsigned DT_CENTER = 0x1;
inline constexpr unsigned DT_RIGHT = 0x2;
inline constexpr unsigned DT_VCENTER = 0x4;
inline constexpr unsigned DT_BOTTOM = 0x8;
inline constexpr unsigned DT_WORDBREAK = 0x10;
inline constexpr unsigned DT_SINGLELINE = 0x20;
inline constexpr unsigned DT_EXPANDTABS = 0x40;
inline constexpr unsigned DT_NOCLIP = 0x100;
inline constexpr unsigned DT_CALCRECT = 0x400;
inline constexpr unsigned DT_NOPREFIX = 0x800;

// A realised platform font. Created from a TLogFont; the font cache shares one per distinct record.
class IPlatformFont {
public:
    virtual ~IPlatformFont() = default;
    // The character set the font was realised for (text in SYMBOL_CHARSET is drawn through the
    // symbol encoding).
    virtual uint8_t CharSet() const = 0;
};

// A picture's rows as they are stored, for drawing without a converted copy: 24-bit pixels of blue,
// green and red bytes, or 8-bit indexes into Colors (0x00RRGGBB; an index beyond them is black). Rows
// are Stride bytes apart, the bottom row first when BottomUp.
struct TPixelRows {
    enum TLayout { BGR24, Indexed8 };
    TLayout Layout = BGR24;
    int Width = 0;
    int Height = 0;
    int Stride = 0;
    bool BottomUp = false;
    const uint8_t* Bits = nullptr;
    std::span<const uint32_t> Colors{};

    // Pixel (x, y), counted from the top row, as 0xFFRRGGBB.
    uint32_t Pixel(int x, int y) const;
};

class ICanvas {
public:
    virtual ~ICanvas() = default;
    virtual void FillRect(const TRect& rect, uint32_t color) = 0;
    virtual void SelectFont(const IPlatformFont* font) = 0;
    virtual void SetTextColor(uint32_t color) = 0;
    // Draws (or with DT_CALCRECT measures, widening or lowering rect to the text) the UTF-8 text in rect
    // by the given format; returns the height of the text drawn.
    virtual int DrawText(const std::string& text, TRect& rect, unsigned format) = 0;
    virtual TSize TextExtent(const std::string& text) = 0;
    // Line height of the selected font (ascent + descent, internal leading included).
    virtual int TextHeight() = 0;
    // Copies a picture of width x height pixels (0xAARRGGBB, top row first) into dest, dropping or
    // repeating whole rows and columns to fit; with alpha, transparent pixels leave what is beneath.
    virtual void StretchDrawPixels(const TRect& dest, int width, int height, const uint32_t* pixels,
                                   bool alpha) = 0;
    // The same for stored rows, opaque. Platforms that can read the rows where they are override this;
    // by default they are converted first.
    virtual void StretchDrawRows(const TRect& dest, const TPixelRows& rows);

    virtual void Save() = 0;
    virtual void Restore() = 0;
    virtual void Translate(int dx, int dy) = 0;
    virtual void IntersectClip(const TRect& rect) = 0;
    virtual void ExcludeClip(const TRect& rect) = 0;
    virtual bool ClipIsEmpty() const = 0;
};
