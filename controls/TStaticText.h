// Static texts: text in a window of its own, optionally drawn over the parent's background.
#pragma once

#include "controls/TWinControl.h"

class TCustomStaticText : public TWinControl {
    ORV_CLASS(TCustomStaticText)
public:
    explicit TCustomStaticText(TComponent* owner);

    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool v) { FAutoSize = v; }
    TStaticBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TStaticBorderStyle v) { FBorderStyle = v; }
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool v) { FTransparent = v; }
    bool ShowAccelChar() const { return FShowAccelChar; }
    void SetShowAccelChar(bool v) { FShowAccelChar = v; }

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
