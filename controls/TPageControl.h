// The tabbed book: a page control holding tab sheets, one of which is on view, and the platform's tab
// row kept in step with the page list.
#pragma once

#include "controls/TWinControl.h"
#include "platform/TabControlPeer.h"

#include <vector>

class TPageControl;

class TTabSheet : public TWinControl {
    ORV_CLASS(TTabSheet)
public:
    explicit TTabSheet(TComponent* owner);
    ~TTabSheet() override;

    TPageControl* PageControl() const { return FPageControl; }
    void SetPageControl(TPageControl* value);
    void SetParent(TWinControl* parent) override;
    void SetParentComponent(TComponent* parent) override;
    void ReadEntry(TReader& reader) override;
    int PageIndex() const;
    void SetPageIndex(int value);
    // Position of the sheet's tab among the tabs; -1 without a tab.
    int TabIndex() const;
    bool TabShowing() const { return FPageControl && FTabVisible; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool v);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool v);

protected:
    void TextChanged() override;
    // The theme's tab pane: on this platform the window colour.
    void EraseBackground(ICanvas& canvas) override;

private:
    friend class TPageControl;
    TPageControl* FPageControl = nullptr;
    int FImageIndex = 0;
    bool FHighlighted = false;
    bool FTabVisible = true;
};

class TCustomTabControl : public TWinControl {
    ORV_CLASS(TCustomTabControl)
public:
    explicit TCustomTabControl(TComponent* owner);

    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool v) { FMultiLine = v; }
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition v) { FTabPosition = v; }
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle v) { FStyle = v; }
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int v) { FTabHeight = v; }
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int v) { FTabWidth = v; }
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool v) { FHotTrack = v; }

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent v) { FOnChange = v; }

private:
    bool FMultiLine = false;
    TTabPosition FTabPosition = TTabPosition::tpTop;
    TTabStyle FStyle = TTabStyle::tsTabs;
    int FTabHeight = 0;
    int FTabWidth = 0;
    bool FHotTrack = false;
    TNotifyEvent FOnChange;
};

class TPageControl : public TCustomTabControl, protected ITabControlEvents {
    ORV_CLASS(TPageControl)
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int index) const { return FPages.at(static_cast<size_t>(index)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;
    void SetActivePageIndex(int index);
    // The platform control's selection, by tab position; -1 when none.
    int TabIndex() const;
    void SetTabIndex(int index);
    TTabSheet* FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const;
    void SelectNextPage(bool goForward, bool checkTabVisible = true);
    ITabControlPeer* TabPeer() const { return static_cast<ITabControlPeer*>(FPeer.get()); }

    void FinishLoading() override;
    bool WantsKey(int key, TShiftState shift) const override;
    bool KeyDown(int key, TShiftState shift) override;
    bool DialogKey(int key, TShiftState shift) override;

protected:
    TRect AlignmentRect() const override;
    void CreateWindowPeer() override;
    void FontChanged() override;
    // The change check (OnChanging would be asked here) and the change step.
    bool CanChange();
    void Change();

    // The platform tab control's reports.
    bool TabChanging() override;
    void TabChanged() override;
    void WindowPaint(ICanvas& canvas, const TRect& update) override {
        TWinControl::WindowPaint(canvas, update);
    }
    bool WindowKeyDown(int key, TShiftState shift) override { return TWinControl::WindowKeyDown(key, shift); }
    void WindowMouseDown(TMouseButton b, int x, int y, TShiftState s) override {
        TWinControl::WindowMouseDown(b, x, y, s);
    }
    void WindowFocusChanged(bool focused) override { TWinControl::WindowFocusChanged(focused); }

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);
    void ChangeActivePage(TTabSheet* page);
    TTabSheet* SheetOfTab(int tabIndex) const;
    void InsertTabOf(TTabSheet* page);
    void RemoveTabOf(TTabSheet* page);
    void TabsChanged();

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    int FTabIndex = -1; // the selection while there is no platform control
    bool FActivating = false;
};

inline constexpr std::string_view SPageIndexError =
    "%d is an invalid PageIndex value.  PageIndex must be between 0 and %d";
inline constexpr std::string_view SNoPageControl = "PageControl must first be assigned";
