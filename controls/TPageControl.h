// The tabbed book: a page control holding tab sheets, one of which is on view.
#pragma once

#include "controls/TWinControl.h"

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
    int PageIndex() const;
    void SetPageIndex(int value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int v) { FImageIndex = v; }
    bool Highlighted() const { return FHighlighted; }
    void SetHighlighted(bool v) { FHighlighted = v; }
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool v) { FTabVisible = v; }

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

class TPageControl : public TCustomTabControl {
    ORV_CLASS(TPageControl)
public:
    explicit TPageControl(TComponent* owner);
    ~TPageControl() override;

    int PageCount() const { return static_cast<int>(FPages.size()); }
    TTabSheet* Pages(int index) const { return FPages.at(static_cast<size_t>(index)); }
    TTabSheet* ActivePage() const { return FActivePage; }
    void SetActivePage(TTabSheet* page);
    int ActivePageIndex() const;

private:
    friend class TTabSheet;
    void InsertPage(TTabSheet* page);
    void RemovePage(TTabSheet* page);
    void MovePage(TTabSheet* page, int index);

    std::vector<TTabSheet*> FPages;
    TTabSheet* FActivePage = nullptr;
};
