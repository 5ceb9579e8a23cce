// Windowed controls whose client area scrolls when it is smaller than the controls' extent.
#pragma once

#include "controls/TWinControl.h"

class TScrollingWinControl : public TWinControl {
    ORV_CLASS(TScrollingWinControl)
public:
    using TWinControl::TWinControl;

    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool v) { FAutoScroll = v; }

private:
    bool FAutoScroll = true;
};
