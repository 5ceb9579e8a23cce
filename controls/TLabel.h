// Labels: text painted by the parent, sized to the text unless told otherwise.
#pragma once

#include "controls/TControl.h"

class TCustomLabel : public TGraphicControl {
    ORV_CLASS(TCustomLabel)
public:
    explicit TCustomLabel(TComponent* owner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    TTextLayout Layout() const { return FLayout; }
    void SetLayout(TTextLayout v) { FLayout = v; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v) { FTransparent = v; }
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v) { FShowAccelChar = v; }

    bool Opaque() const override { return !FTransparent; }
    void Paint(ICanvas& canvas) override;

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
