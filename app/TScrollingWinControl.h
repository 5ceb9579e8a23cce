// Windowed controls whose client area scrolls when it is smaller than the controls' extent: two
// scroll bars whose ranges follow the children, and children moved as the positions change.
#pragma once

#include "controls/TWinControl.h"

class TScrollingWinControl;

class TControlScrollBar {
public:
    explicit TControlScrollBar(TScrollBarKind kind) : FKind(kind) {}
    TScrollBarKind Kind() const { return FKind; }
    int Range() const { return FRange; }
    int Position() const { return FPosition; }
    int Increment() const { return FIncrement; }
    int Margin() const { return FMargin; }
    bool Tracking() const { return FTracking; }
    // How far the client area can move: the range less the visible extent, at least 0.
    int CalcRange() const { return FCalcRange; }
    bool Shown() const { return FShown; }

private:
    friend class TScrollingWinControl;
    TScrollBarKind FKind;
    int FRange = 0;
    int FPosition = 0;
    int FIncrement = 8;
    int FMargin = 0;
    bool FTracking = false;
    int FCalcRange = 0;
    int FVisibleExtent = 0;
    bool FShown = false;
};

class TScrollingWinControl : public TWinControl {
    ORV_CLASS(TScrollingWinControl)
public:
    using TWinControl::TWinControl;

    bool AutoScroll() const { return FAutoScroll; }
    void SetAutoScroll(bool v);
    const TControlScrollBar& HorzScrollBar() const { return FHorz; }
    const TControlScrollBar& VertScrollBar() const { return FVert; }

    // A scroll bar was operated (line, page, ends, thumb released; dragging is ignored).
    void ScrollMessage(TScrollBarKind kind, TScrollCode code, int pos);
    void SetScrollPosition(TScrollBarKind kind, int value);
    // Recalculates both ranges from the visible children and updates the scroll bars.
    void UpdateScrollRanges();

protected:
    TRect AlignmentRect() const override;
    void AlignControls() override;
    // The window that shows the scroll bars; none until the control has one.
    virtual IFormWindow* ScrollBarWindow() const { return nullptr; }

private:
    void CalcAutoRange();
    void UpdateScrollBars();
    void ApplyBar(TControlScrollBar& bar, int visibleExtent);
    void ScrollBy(int dx, int dy);

    bool FAutoScroll = true;
    TControlScrollBar FHorz{TScrollBarKind::sbHorizontal};
    TControlScrollBar FVert{TScrollBarKind::sbVertical};
    bool FUpdatingBars = false;
};
