// Static texts: a caption in a window of its own, wrapped at word boundaries, drawn over the parent's
// background or on a box of the control's colour.
#pragma once

#include "controls/TWinControl.h"

class TCustomStaticText : public TWinControl {
    ORV_CLASS(TCustomStaticText)
public:
    explicit TCustomStaticText(TComponent* owner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TStaticBorderStyle v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v);

    void FinishLoading() override;

protected:
    void TextChanged() override;
    void FontChanged() override;
    // Transparent: the parent's background and graphic children, as if the static text were not there;
    // opaque: the control's colour.
    void EraseBackground(ICanvas& canvas) override;
    // The border and the caption, in the font's colour.
    void PaintContent(ICanvas& canvas) override;
    // With AutoSize, takes the extent of the caption as one line plus two border widths on each side.
    void AdjustBounds();

private:
    TAlignment FAlignment = TAlignment::taLeftJustify;
    bool FAutoSize = true;
    TStaticBorderStyle FBorderStyle = TStaticBorderStyle::sbsNone;
    bool FTransparent = true;
    bool FShowAccelChar = true;
};

class TStaticText : public TCustomStaticText {
    ORV_CLASS(TStaticText)
public:
    using TCustomStaticText::TCustomStaticText;
};
