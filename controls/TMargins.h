// Four-sided spacing values owned by a control: margins kept around it by the layout pass.
#pragma once

#include "stream/TPersistent.h"

#include <functional>

class TMargins : public TPersistent {
    ORV_CLASS(TMargins)
public:
    explicit TMargins(int initial = 3) : FLeft(initial), FTop(initial), FRight(initial), FBottom(initial) {}

    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Right() const { return FRight; }
    int Bottom() const { return FBottom; }
    void SetLeft(int v) { Set(FLeft, v); }
    void SetTop(int v) { Set(FTop, v); }
    void SetRight(int v) { Set(FRight, v); }
    void SetBottom(int v) { Set(FBottom, v); }

    std::function<void()> OnChange;

private:
    void Set(int& field, int value) {
        if (field == value) return;
        field = value;
        if (OnChange) OnChange();
    }
    int FLeft, FTop, FRight, FBottom;
};

// Space kept inside a windowed control's client area by its layout pass; none unless stored.
class TPadding : public TMargins {
    ORV_CLASS(TPadding)
public:
    TPadding() : TMargins(0) {}
};

// Limits on a control's outer size; 0 means no limit.
class TSizeConstraints : public TPersistent {
    ORV_CLASS(TSizeConstraints)
public:
    int MaxHeight() const { return FMaxHeight; }
    int MaxWidth() const { return FMaxWidth; }
    int MinHeight() const { return FMinHeight; }
    int MinWidth() const { return FMinWidth; }
    // A maximum below the current minimum lowers the minimum; a minimum above a set maximum raises it.
    void SetMaxHeight(int v);
    void SetMaxWidth(int v);
    void SetMinHeight(int v);
    void SetMinWidth(int v);

    std::function<void()> OnChange;

private:
    void Changed() {
        if (OnChange) OnChange();
    }
    int FMaxHeight = 0, FMaxWidth = 0, FMinHeight = 0, FMinWidth = 0;
};
