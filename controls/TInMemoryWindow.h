// The window part of a text control kept in memory only: bounds and visibility are recorded, nothing
// is drawn and nothing takes the focus.
#pragma once

#include "platform/WindowPeer.h"

template <class TPeer> class TInMemoryWindow : public TPeer {
public:
    void SetBounds(const TRect& bounds) override { FBounds = bounds; }
    void SetVisible(bool visible) override { FVisible = visible; }
    void Invalidate(const TRect*) override {}
    void Update() override {}
    void SetFocus() override {}
    bool Focused() const override { return false; }
    void StackUnder(IWindowPeer&) override {}
    void SetDoubleBuffered(bool) override {}
    void Scroll(int, int) override {}
    void SetEnabled(bool enabled) override { FEnabled = enabled; }
    void SetParentWindow(IWindowPeer* parent) override {
        FParentWindow = parent;
        if (!parent) FVisible = false;
    }

    const TRect& Bounds() const { return FBounds; }
    bool Visible() const { return FVisible; }
    bool Enabled() const { return FEnabled; }
    IWindowPeer* ParentWindow() const { return FParentWindow; }

private:
    TRect FBounds;
    bool FVisible = false;
    bool FEnabled = true;
    IWindowPeer* FParentWindow = nullptr;
};
