// A platform without a display for the application tests: windows record what they are told, message
// boxes are recorded instead of shown, and the event loop returns at once.
#pragma once

#include "controls/TInMemoryEditPeer.h"
#include "controls/TInMemoryListBoxPeer.h"
#include "controls/TInMemoryWindow.h"
#include "platform/Canvas.h"
#include "platform/NativeControls.h"
#include "platform/Platform.h"
#include "platform/TabControlPeer.h"
#include "platform/WindowPeer.h"

#include <set>

#include <deque>
#include <string>
#include <vector>

struct FakeWindowState {
    std::string Caption;
    TRect Outer;
    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
    std::vector<uint8_t> Icon;
    int ShowCommand = 0;
    bool Visible = false;
    int ShowCount = 0;
    bool HorzBar = false, VertBar = false;
    int HorzPos = 0, VertPos = 0;
};

// A child window: bounds and visibility recorded, nothing drawn.
using FakeWindowPeer = TInMemoryWindow<IWindowPeer>;

// A tab control that keeps its items; the test plays the user through Click.
class FakeTabControl : public TInMemoryWindow<ITabControlPeer> {
public:
    explicit FakeTabControl(ITabControlEvents& events) : Events(events) {}
    // Items keep their selection and highlight when others come and go; the first tab of an empty row
    // is selected, and deleting the selected tab leaves none selected.
    void InsertTab(int index, const std::string& text) override {
        Tabs.insert(Tabs.begin() + index, text);
        if (Tabs.size() == 1)
            Selected = 0;
        else if (Selected >= index)
            ++Selected;
        std::set<int> moved;
        for (int h : Highlighted)
            moved.insert(h >= index ? h + 1 : h);
        Highlighted = moved;
    }
    void SetTabText(int index, const std::string& text) override {
        Tabs.at(static_cast<size_t>(index)) = text;
    }
    void DeleteTab(int index) override {
        Tabs.erase(Tabs.begin() + index);
        if (Selected == index)
            Selected = -1;
        else if (Selected > index)
            --Selected;
        std::set<int> moved;
        for (int h : Highlighted)
            if (h != index) moved.insert(h > index ? h - 1 : h);
        Highlighted = moved;
    }
    int TabCount() const override { return static_cast<int>(Tabs.size()); }
    int SelectedTab() const override { return Selected; }
    void SelectTab(int index) override { Selected = index >= 0 && index < TabCount() ? index : -1; }
    void HighlightTab(int index, bool on) override {
        if (on)
            Highlighted.insert(index);
        else
            Highlighted.erase(index);
    }
    bool TabHighlighted(int index) const override { return Highlighted.count(index) > 0; }
    void SetTabFont(const IPlatformFont*, uint32_t) override {}
    void SetRowStyle(const TTabRowStyle& style) override { Style = style; }
    TRect DisplayRect() const override { return {2, 24, Bounds().Width() - 2, Bounds().Height() - 2}; }
    TTabRowStyle Style;
    TRect TabRect(int) const override { return {}; }
    int FirstVisibleTab() const override { return First; }
    void ScrollTabs(int delta) override { First = std::max(0, First + delta); }
    // The user clicks a tab: asked first, then told.
    void Click(int index) {
        if (index == Selected || !Events.TabChanging()) return;
        Selected = index;
        Events.TabChanged();
    }
    ITabControlEvents& Events;
    std::vector<std::string> Tabs;
    std::set<int> Highlighted;
    int Selected = -1;
    int First = 0;
};

class FakeFormWindow : public IFormWindow {
public:
    FakeFormWindow(FakeWindowState& state, const TRect& workArea, IFormWindowEvents* events = nullptr)
        : FState(state), FWorkArea(workArea), FEvents(events) {}
    IWindowPeer* Client() override { return &FClient; }
    TSize ClientSize() const override {
        return {FState.Outer.Width() - TFrameMetrics::Left - TFrameMetrics::Right - (FState.VertBar ? 17 : 0),
                FState.Outer.Height() - TFrameMetrics::Top - TFrameMetrics::Bottom -
                    (FState.HorzBar ? 17 : 0)};
    }
    void SetScrollBar(TScrollBarKind kind, int min, int max, int page, int pos) override {
        bool shown = max > min;
        (kind == TScrollBarKind::sbHorizontal ? FState.HorzBar : FState.VertBar) = shown;
        (kind == TScrollBarKind::sbHorizontal ? FState.HorzPos : FState.VertPos) = pos;
        (void)page;
    }
    void SetCaption(const std::string& c) override { FState.Caption = c; }
    void SetOuterBounds(const TRect& r) override { FState.Outer = r; }
    TRect OuterBounds() const override { return FState.Outer; }
    void SetTrackingLimits(int minW, int minH, int maxW, int maxH) override {
        FState.MinWidth = minW, FState.MinHeight = minH, FState.MaxWidth = maxW, FState.MaxHeight = maxH;
    }
    void SetIcon(std::span<const uint8_t> ico) override { FState.Icon.assign(ico.begin(), ico.end()); }
    // Shown, the window becomes the active one, unless shown minimised without activation.
    void Show(int cmd) override {
        FState.ShowCommand = cmd;
        FState.Visible = true;
        ++FState.ShowCount;
        if (FEvents && cmd != SW_SHOWMINNOACTIVE) FEvents->WindowActivated(true);
    }
    void Hide() override { FState.Visible = false; }
    bool IsVisible() const override { return FState.Visible; }
    TRect MonitorWorkArea() const override { return FWorkArea; }

private:
    FakeWindowState& FState;
    TRect FWorkArea;
    IFormWindowEvents* FEvents;
    FakeWindowPeer FClient;
};

struct FakeMessageBox {
    std::string Text, Caption;
    unsigned Flags;
};

// Fonts and canvases with fixed metrics: every character is 6 pixels wide and lines are 13 high.
class FakeFont : public IPlatformFont {
public:
    explicit FakeFont(const TLogFont& lf) : LogFont(lf) {}
    uint8_t CharSet() const override { return LogFont.CharSet; }
    TLogFont LogFont;
};

class FakeCanvas : public ICanvas {
public:
    void FillRect(const TRect&, uint32_t) override {}
    void SelectFont(const IPlatformFont*) override {}
    void SetTextColor(uint32_t) override {}
    int DrawText(const std::string& text, TRect& rect, unsigned format) override {
        if (format & DT_CALCRECT) rect.Right = rect.Left + 6 * static_cast<int>(text.size());
        if (format & DT_CALCRECT) rect.Bottom = rect.Top + 13;
        return 13;
    }
    TSize TextExtent(const std::string& text) override { return {6 * static_cast<int>(text.size()), 13}; }
    int TextHeight() override { return 13; }
    void StretchDrawPixels(const TRect& dest, int w, int h, const uint32_t*, bool) override {
        Drawn.push_back({dest, w, h});
    }
    struct DrawnPicture {
        TRect Dest;
        int Width, Height;
    };
    std::vector<DrawnPicture> Drawn;
    void Save() override {}
    void Restore() override {}
    void Translate(int, int) override {}
    void IntersectClip(const TRect&) override {}
    void ExcludeClip(const TRect&) override {}
    bool ClipIsEmpty() const override { return false; }
};

// The platform's text controls, kept in memory. The list box's items are as high as the font's pixel
// height plus 2; calls that tests look for are counted, and typing is what the user would do.
class FakeListBoxPeer : public TInMemoryListBoxPeer {
public:
    FakeListBoxPeer(IListBoxEvents& events, const TListBoxParams& params)
        : TInMemoryListBoxPeer(params), Events(events), Params(params) {}
    int AddString(const std::string& s) override {
        return RefuseItems ? -1 : TInMemoryListBoxPeer::AddString(s);
    }
    int InsertString(int index, const std::string& s) override {
        return RefuseItems ? -1 : TInMemoryListBoxPeer::InsertString(index, s);
    }
    int ItemHeight() const override {
        auto* font = dynamic_cast<const FakeFont*>(Font());
        return font ? (font->LogFont.Height < 0 ? -font->LogFont.Height : font->LogFont.Height) + 2 : 13;
    }
    void SetRedraw(bool on) override {
        TInMemoryListBoxPeer::SetRedraw(on);
        ++(on ? RedrawOnCount : RedrawOffCount);
    }
    // A character typed while the list has the focus: the control sees it first, then, if it leaves it,
    // the list box (which does nothing with characters).
    bool Type(char32_t ch) { return Events.ListBoxChar(ch); }

    IListBoxEvents& Events;
    TListBoxParams Params;
    bool RefuseItems = false;
    int RedrawOffCount = 0, RedrawOnCount = 0;
};

class FakeEditPeer : public TInMemoryEditPeer {
public:
    using TInMemoryEditPeer::TInMemoryEditPeer;
    void ReplaceSelection(const std::string& text) override {
        TInMemoryEditPeer::ReplaceSelection(text);
        if (CaretSlip != 0) {
            int start = 0, end = 0;
            GetSelection(start, end);
            SetSelection(end + CaretSlip, end + CaretSlip);
        }
    }
    void SetZoom(int percent) override {
        TInMemoryEditPeer::SetZoom(percent);
        ++ZoomCalls;
    }
    void SetRedraw(bool on) override {
        TInMemoryEditPeer::SetRedraw(on);
        ++(on ? RedrawOnCount : RedrawOffCount);
    }

    int CaretSlip = 0; // moves the caret after each replacement, as a misbehaving control would
    int ZoomCalls = 0;
    int RedrawOffCount = 0, RedrawOnCount = 0;
};

class FakePlatform : public TPlatform {
public:
    FakePlatform() { TPlatform::SetCurrent(this); }
    ~FakePlatform() override { TPlatform::SetCurrent(nullptr); }

    std::unique_ptr<ITabControlPeer> CreateTabControl(IWindowPeer&, IWindowEvents&,
                                                      ITabControlEvents& events) override {
        auto peer = std::make_unique<FakeTabControl>(events);
        TabControls.push_back(peer.get());
        return peer;
    }
    std::vector<FakeTabControl*> TabControls;
    std::unique_ptr<IWindowPeer> CreateChildWindow(IWindowPeer&, IWindowEvents&) override {
        return std::make_unique<FakeWindowPeer>();
    }
    IFormWindowEvents& FormEvents(size_t i) { return *Events.at(i); }
    std::unique_ptr<IFormWindow> CreateFormWindow(IFormWindowEvents& events, IWindowEvents&) override {
        Events.push_back(&events);
        Windows.emplace_back();
        return std::make_unique<FakeFormWindow>(Windows.back(), WorkArea, &events);
    }
    void SetApplicationIcon(std::span<const uint8_t>) override {}
    void SetApplicationTitle(const std::string& title) override { AppTitle = title; }
    void MessageBox(const std::string& text, const std::string& caption, unsigned flags) override {
        Boxes.push_back({text, caption, flags});
    }
    // The loop "runs" by delivering the user's close request to the first window.
    void RunEventLoop() override {
        ++LoopRuns;
        if (CloseOnRun && !Events.empty()) Events.front()->WindowCloseRequested();
    }
    void Quit() override { ++QuitCount; }
    void SetEndSessionQuery(std::function<bool()> query) override { EndSessionQuery = std::move(query); }
    std::function<bool()> EndSessionQuery;
    std::unique_ptr<IPlatformFont> CreateFontIndirect(const TLogFont& lf) override {
        return std::make_unique<FakeFont>(lf);
    }
    std::unique_ptr<ICanvas> CreateMeasuringCanvas() override { return std::make_unique<FakeCanvas>(); }
    std::unique_ptr<IListBoxPeer> CreateListBox(IWindowPeer&, IWindowEvents&, IListBoxEvents& events,
                                                const TListBoxParams& params) override {
        ++ListBoxesCreated;
        return std::make_unique<FakeListBoxPeer>(events, params);
    }
    std::unique_ptr<IEditPeer> CreateEdit(IWindowPeer&, IWindowEvents&, const TEditParams& params) override {
        ++EditsCreated;
        return std::make_unique<FakeEditPeer>(false, params);
    }
    std::unique_ptr<IRichEditPeer> CreateRichEdit(IWindowPeer&, IWindowEvents&,
                                                  const TEditParams& params) override {
        ++RichEditsCreated;
        return std::make_unique<FakeEditPeer>(true, params);
    }
    int ListBoxesCreated = 0, EditsCreated = 0, RichEditsCreated = 0;

    TRect WorkArea{0, 0, 1920, 1040};
    std::vector<IFormWindowEvents*> Events;
    std::deque<FakeWindowState> Windows; // a deque: windows keep references to their states
    std::vector<FakeMessageBox> Boxes;
    std::string AppTitle;
    int LoopRuns = 0;
    int QuitCount = 0;
    bool CloseOnRun = true;
};
