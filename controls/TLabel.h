// Labels: text painted by the parent, sized to the text unless told otherwise.
#pragma once

#include "controls/TControl.h"

class TCustomLabel : public TGraphicControl {
    ORV_CLASS(TCustomLabel)
public:
    explicit TCustomLabel(TComponent* owner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v);
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v);
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v);

    bool Opaque() const override { return !FTransparent; }
    void Paint(ICanvas& canvas) override;
    void FinishLoading() override;
    // The text format of both measuring and drawing.
    unsigned DrawTextFlags() const;

protected:
    void TextChanged() override;
    void FontChanged() override;
    void ColorChanged() override { Invalidate(); }
    // With AutoSize, takes the size of the caption as the text drawing measures it (not while loading).
    void AdjustBounds();
    void MeasureNow() override;

private:
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TTextLayout FLayout = TTextLayout::tlTop;
    bool FWordWrap = false;
    bool FAutoSize = true;
    bool FTransparent = true; // visual styles are in force
    bool FShowAccelChar = true;
};

class TLabel : public TCustomLabel {
    ORV_CLASS(TLabel)
public:
    using TCustomLabel::TCustomLabel;
};
