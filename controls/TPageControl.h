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

    // The look and place of the tab row; each change reaches the platform control at once.
    bool MultiLine() const { return FMultiLine; }
    void SetMultiLine(bool v) { SetStyleField(FMultiLine, v); }
    TTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TTabPosition v) { SetStyleField(FTabPosition, v); }
    TTabStyle Style() const { return FStyle; }
    void SetStyle(TTabStyle v) { SetStyleField(FStyle, v); }
    int TabHeight() const { return FTabHeight; }
    void SetTabHeight(int v) { SetStyleField(FTabHeight, v < 0 ? 0 : v); }
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int v) { SetStyleField(FTabWidth, v < 0 ? 0 : v); }
    bool HotTrack() const { return FHotTrack; }
    void SetHotTrack(bool v) { SetStyleField(FHotTrack, v); }
    bool RaggedRight() const { return FRaggedRight; }
    void SetRaggedRight(bool v) { SetStyleField(FRaggedRight, v); }
    // Rows of a multi-line row rotate next to the page area whether or not this is set.
    bool ScrollOpposite() const { return FScrollOpposite; }
    void SetScrollOpposite(bool v) { FScrollOpposite = v; }
    TTabRowStyle RowStyle() const;

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(TNotifyEvent v) { FOnChange = v; }
    // Asked before the user's change of page; its handler may refuse the change.
    TNotifyEvent OnChanging() const { return FOnChanging; }
    void SetOnChanging(TNotifyEvent v) { FOnChanging = v; }

protected:
    // The row's style changed.
    virtual void RowStyleChanged() {}

private:
    template <class T> void SetStyleField(T& field, T value) {
        if (field == value) return;
        field = value;
        RowStyleChanged();
    }

    bool FMultiLine = false;
    TTabPosition FTabPosition = TTabPosition::tpTop;
    TTabStyle FStyle = TTabStyle::tsTabs;
    int FTabHeight = 0;
    int FTabWidth = 0;
    bool FHotTrack = false;
    bool FRaggedRight = false;
    bool FScrollOpposite = false;
    TNotifyEvent FOnChange;
    TNotifyEvent FOnChanging;
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
    // Whether the pictures of the pages either side of the one on view are decoded ahead, on the
    // worker thread, once the user has left the program idle for a moment after a change of page, so
    // that turning to them takes no longer the first time than later. On by default.
    bool DecodeNeighboursAhead() const { return FDecodeNeighboursAhead; }
    void SetDecodeNeighboursAhead(bool v);

    void FinishLoading() override;
    bool WantsKey(int key, TShiftState shift) const override;
    bool KeyDown(int key, TShiftState shift) override;
    bool DialogKey(int key, TShiftState shift) override;

protected:
    TRect AlignmentRect() const override;
    std::unique_ptr<IWindowPeer> NewWindowPeer(IWindowPeer& parent) override;
    // The new tab row gets the row's look, the font and a tab for each page that shows one.
    void InitializeWindowPeer() override;
    void FontChanged() override;
    void RowStyleChanged() override;
    // The change check (OnChanging) and the change step.
    bool CanChange();
    void Change();

    // The platform tab control's reports.
    bool TabChanging() override;
    void TabChanged() override;

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
    void ScheduleNeighbours();
    void DecodeNeighbours();

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
    int FTabIndex = -1; // the selection while there is no platform control
    bool FActivating = false;
    bool FDecodeNeighboursAhead = true;
    std::unique_ptr<IIdleTimer> FIdleTimer;
};

inline constexpr std::string_view SPageIndexError =
    "%d is an invalid PageIndex value.  PageIndex must be between 0 and %d";
inline constexpr std::string_view SNoPageControl = "PageControl must first be assigned";
