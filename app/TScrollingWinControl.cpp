// Automatic scrolling: ranges, scroll bars and moving the children.
#include "app/TScrollingWinControl.h"

#include <algorithm>

void TScrollingWinControl::SetAutoScroll(bool v) {
    if (FAutoScroll == v) return;
    FAutoScroll = v;
    if (!(FControlState & csReadingState)) UpdateScrollRanges();
}

void TScrollingWinControl::CalcAutoRange() {
    int hExtent = 0, vExtent = 0, hMargin = 0, vMargin = 0;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        if (!c->Visible()) continue;
        TAnchors horizontal = c->Anchors() & (AnchorBit(akLeft) | AnchorBit(akRight));
        TAnchors vertical = c->Anchors() & (AnchorBit(akTop) | AnchorBit(akBottom));
        if (c->Align() == TAlign::alLeft || (c->Align() == TAlign::alNone && horizontal == AnchorBit(akLeft)))
            hExtent = std::max(hExtent, c->Left() + c->Width() + FHorz.FPosition);
        else if (c->Align() == TAlign::alRight)
            hMargin += c->Width();
        if (c->Align() == TAlign::alTop || (c->Align() == TAlign::alNone && vertical == AnchorBit(akTop)))
            vExtent = std::max(vExtent, c->Top() + c->Height() + FVert.FPosition);
        else if (c->Align() == TAlign::alBottom)
            vMargin += c->Height();
    }
    FHorz.FRange = hExtent + hMargin + FHorz.FMargin;
    FVert.FRange = vExtent + vMargin + FVert.FMargin;
}

void TScrollingWinControl::UpdateScrollRanges() {
    if (!FAutoScroll) return;
    CalcAutoRange();
    UpdateScrollBars();
}

void TScrollingWinControl::ApplyBar(TControlScrollBar& bar, int visibleExtent) {
    bar.FVisibleExtent = std::max(0, visibleExtent);
    bar.FCalcRange = std::max(0, bar.FRange - bar.FVisibleExtent);
    bar.FShown = bar.FCalcRange >= 1;
    bar.FPosition = std::clamp(bar.FPosition, 0, bar.FCalcRange);
    if (IFormWindow* window = ScrollBarWindow())
        window->SetScrollBar(bar.FKind, 0, bar.FShown ? bar.FRange : 0, bar.FVisibleExtent + 1,
                             bar.FPosition);
}

void TScrollingWinControl::UpdateScrollBars() {
    if (FUpdatingBars) return;
    FUpdatingBars = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{FUpdatingBars};
    int oldH = FHorz.FPosition, oldV = FVert.FPosition;
    // The client area without any bar; each bar shown takes its thickness from the other axis. A bar is
    // needed when its range exceeds the visible extent, corrected for the other bar when that one is
    // needed too.
    IFormWindow* window = ScrollBarWindow();
    int thickness = window ? window->ScrollBarThickness() : 17;
    TRect client = ClientRect();
    int width = client.Width() + (FVert.FShown ? thickness : 0);
    int height = client.Height() + (FHorz.FShown ? thickness : 0);
    bool horz = FHorz.FRange > width, vert = FVert.FRange > height;
    if (horz && !vert) vert = FVert.FRange > height - thickness;
    if (vert && !horz) horz = FHorz.FRange > width - thickness;
    if (horz && !vert) vert = FVert.FRange > height - thickness;
    ApplyBar(FVert, height - (horz ? thickness : 0));
    ApplyBar(FHorz, width - (vert ? thickness : 0));
    // A position clamped by a smaller range moves the content back.
    ScrollBy(oldH - FHorz.FPosition, oldV - FVert.FPosition);
}

void TScrollingWinControl::ScrollMessage(TScrollBarKind kind, TScrollCode code, int pos) {
    TControlScrollBar& bar = kind == TScrollBarKind::sbHorizontal ? FHorz : FVert;
    int target = bar.FPosition;
    switch (code) {
    case TScrollCode::scLineUp:
        target -= bar.FIncrement;
        break;
    case TScrollCode::scLineDown:
        target += bar.FIncrement;
        break;
    case TScrollCode::scPageUp:
        target -= bar.FVisibleExtent;
        break;
    case TScrollCode::scPageDown:
        target += bar.FVisibleExtent;
        break;
    case TScrollCode::scTop:
        target = 0;
        break;
    case TScrollCode::scBottom:
        target = bar.FCalcRange;
        break;
    case TScrollCode::scPosition:
        target = pos;
        break;
    case TScrollCode::scTrack:
        if (!bar.FTracking) return;
        target = pos;
        break;
    case TScrollCode::scEndScroll:
        return;
    }
    SetScrollPosition(kind, target);
}

void TScrollingWinControl::SetScrollPosition(TScrollBarKind kind, int value) {
    TControlScrollBar& bar = kind == TScrollBarKind::sbHorizontal ? FHorz : FVert;
    value = std::clamp(value, 0, bar.FCalcRange);
    int delta = bar.FPosition - value;
    bar.FPosition = value;
    if (delta != 0) {
        if (kind == TScrollBarKind::sbHorizontal)
            ScrollBy(delta, 0);
        else
            ScrollBy(0, delta);
    }
    if (IFormWindow* window = ScrollBarWindow())
        window->SetScrollBar(bar.FKind, 0, bar.FShown ? bar.FRange : 0, bar.FVisibleExtent + 1,
                             bar.FPosition);
}

void TScrollingWinControl::ScrollBy(int dx, int dy) {
    if (dx == 0 && dy == 0) return;
    DisableAlign();
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* c = Controls(i);
        c->SetBounds(c->Left() + dx, c->Top() + dy, c->Width(), c->Height());
    }
    EnableAlign();
    Invalidate();
}

TRect TScrollingWinControl::AlignmentRect() const {
    TRect client = ClientRect();
    int left = -FHorz.FPosition, top = -FVert.FPosition;
    return {left, top, left + std::max(client.Width(), FHorz.FRange),
            top + std::max(client.Height(), FVert.FRange)};
}

void TScrollingWinControl::AlignControls() {
    // The ranges are recalculated before every layout pass.
    if (FAutoScroll) UpdateScrollRanges();
    TWinControl::AlignControls();
}

static std::span<const TPropInfo> ScrollingProperties() {
    using C = TScrollingWinControl;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetAutoScroll>("AutoScroll", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TScrollingWinControl::ClassInfo{"TScrollingWinControl", &TWinControl::ClassInfo,
                                                 ScrollingProperties};
