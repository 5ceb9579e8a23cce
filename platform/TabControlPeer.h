// The platform's tab control: one row of tabs along the top of its window, scroll arrows when the row
// is wider than the window, the frame of the page area, a selected tab and highlighted tabs. It keeps
// the items; the page control decides what a selection means.
#pragma once

#include "platform/Canvas.h"
#include "platform/WindowPeer.h"

#include <string>

// What the tab row reports beyond what every window reports (IWindowEvents).
class ITabControlEvents {
public:
    virtual ~ITabControlEvents() = default;
    // The user is about to select another tab (click or arrow key); false refuses.
    virtual bool TabChanging() = 0;
    // The user selected another tab.
    virtual void TabChanged() = 0;
};

// How the tab row looks and where it lies. With MultiLine the tabs wrap into as many rows as they
// need instead of scrolling, the row of the selected tab lying next to the page area; without
// RaggedRight each row of several is stretched to the full width. TabWidth and TabHeight, when not 0,
// give every tab that size (along and across the row).
struct TTabRowStyle {
    enum TPosition { Top, Bottom, Left, Right };
    enum TLook { Tabs, Buttons, FlatButtons };
    TPosition Position = Top;
    TLook Look = Tabs;
    bool MultiLine = false;
    bool RaggedRight = false;
    bool HotTrack = false;
    int TabWidth = 0;
    int TabHeight = 0;
    bool operator==(const TTabRowStyle&) const = default;
};

class ITabControlPeer : public IWindowPeer {
public:
    // The row's look and place; the display rectangle follows.
    virtual void SetRowStyle(const TTabRowStyle&) {}
    virtual void InsertTab(int index, const std::string& text) = 0;
    virtual void SetTabText(int index, const std::string& text) = 0;
    virtual void DeleteTab(int index) = 0;
    virtual int TabCount() const = 0;
    virtual int SelectedTab() const = 0;
    // Selects a tab without telling the events (code, not the user); -1 selects none.
    virtual void SelectTab(int index) = 0;
    virtual void HighlightTab(int index, bool highlighted) = 0;
    virtual bool TabHighlighted(int index) const = 0;
    virtual void SetTabFont(const IPlatformFont* font, uint32_t textColor) = 0;
    // The page area inside the window: the client rectangle less the tab row and the frame.
    virtual TRect DisplayRect() const = 0;
    // The rectangle of a tab in the window, empty when it is scrolled out of view.
    virtual TRect TabRect(int index) const = 0;
    // Index of the first tab in view (the row scrolls a tab at a time).
    virtual int FirstVisibleTab() const = 0;
    // The scroll arrows: shift the row by one tab; no selection changes.
    virtual void ScrollTabs(int delta) = 0;
};
