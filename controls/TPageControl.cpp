// The page list, the tab row kept in step with it, the change of page by code and by the user, and the
// published tables of the page control and its sheets.
#include "controls/TPageControl.h"

#include "controls/ColorToRGB.h"
#include "controls/TImage.h"
#include "graphics/TJPEGImage.h"
#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TReader.h"

#include <algorithm>

// ---- TTabSheet ----

TTabSheet::TTabSheet(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 200, 200);
    SetAlign(TAlign::alClient);
    SetVisible(false);
}

TTabSheet::~TTabSheet() {
    if (FPageControl) FPageControl->RemovePage(this);
}

void TTabSheet::SetPageControl(TPageControl* value) {
    if (FPageControl == value) return;
    if (FPageControl) FPageControl->RemovePage(this);
    TWinControl::SetParent(value);
    if (value) value->InsertPage(this);
}

// A sheet placed on a page control joins its page list.
void TTabSheet::SetParent(TWinControl* parent) {
    if (auto* pc = dynamic_cast<TPageControl*>(parent)) {
        SetPageControl(pc);
        return;
    }
    if (FPageControl) FPageControl->RemovePage(this);
    TWinControl::SetParent(parent);
}

// While its entry is read the sheet stands alone; it joins its page control once its caption and
// children are known.
void TTabSheet::SetParentComponent(TComponent* parent) {
    if (FControlState & csReadingState) return;
    TWinControl::SetParentComponent(parent);
}

void TTabSheet::ReadEntry(TReader& reader) {
    TComponent* enclosing = reader.Parent();
    TWinControl::ReadEntry(reader);
    if (auto* pc = dynamic_cast<TPageControl*>(enclosing))
        SetPageControl(pc);
    else if (enclosing)
        TWinControl::SetParentComponent(enclosing);
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    const auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int value) {
    if (!FPageControl) return;
    int last = FPageControl->PageCount() - 1;
    if (value > last)
        throw EListError(Format(SPageIndexError, {std::to_string(value), std::to_string(last)}));
    FPageControl->MovePage(this, value);
}

int TTabSheet::TabIndex() const {
    if (!TabShowing()) return -1;
    int index = 0;
    for (TTabSheet* p : FPageControl->FPages) {
        if (p == this) return index;
        if (p->TabShowing()) ++index;
    }
    return -1;
}

void TTabSheet::SetHighlighted(bool v) {
    if (FControlState & csReadingState) {
        FHighlighted = v;
        return;
    }
    if (!FPageControl) throw EInvalidOperation(std::string(SNoPageControl));
    if (ITabControlPeer* peer = FPageControl->TabPeer(); peer && TabShowing())
        peer->HighlightTab(TabIndex(), v);
    FHighlighted = v;
}

void TTabSheet::SetTabVisible(bool v) {
    if (FTabVisible == v) return;
    if (FPageControl && FTabVisible) FPageControl->RemoveTabOf(this);
    FTabVisible = v;
    if (FPageControl && v) FPageControl->InsertTabOf(this);
}

void TTabSheet::TextChanged() {
    if (TabShowing())
        if (ITabControlPeer* peer = FPageControl->TabPeer()) peer->SetTabText(TabIndex(), Caption());
}

void TTabSheet::EraseBackground(ICanvas& canvas) {
    canvas.FillRect(ClientRect(), ColorToRGB(clWindow));
}

static std::span<const TPropInfo> TabSheetProperties() {
    using C = TTabSheet;
    static const TPropInfo props[] = {
        StrProp<TControl, &TControl::SetCaption>("Caption"),
        OrdProp<C, &C::SetHighlighted>("Highlighted", TypeInfo_Boolean),
        OrdProp<C, &C::SetImageIndex>("ImageIndex", TypeInfo_Integer),
        OrdProp<C, &C::SetPageIndex>("PageIndex", TypeInfo_Integer),
        OrdProp<C, &C::SetTabVisible>("TabVisible", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TTabSheet::ClassInfo{"TTabSheet", &TWinControl::ClassInfo, TabSheetProperties,
                                      [](TComponent* o) -> TComponent* { return new TTabSheet(o); }};

// ---- TCustomTabControl ----

TCustomTabControl::TCustomTabControl(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 289, 193);
    FTabStop = true;
}

TTabRowStyle TCustomTabControl::RowStyle() const {
    TTabRowStyle style;
    style.Position = static_cast<TTabRowStyle::TPosition>(FTabPosition);
    style.Look = static_cast<TTabRowStyle::TLook>(FStyle);
    style.MultiLine = FMultiLine;
    style.RaggedRight = FRaggedRight;
    style.HotTrack = FHotTrack;
    style.TabWidth = FTabWidth;
    style.TabHeight = FTabHeight;
    return style;
}

static std::span<const TPropInfo> TabControlProperties() {
    using C = TCustomTabControl;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetHotTrack>("HotTrack", TypeInfo_Boolean),
        OrdProp<C, &C::SetMultiLine>("MultiLine", TypeInfo_Boolean),
        EventProp<C, &C::SetOnChange>("OnChange"),
        EventProp<C, &C::SetOnChanging>("OnChanging"),
        OrdProp<C, &C::SetRaggedRight>("RaggedRight", TypeInfo_Boolean),
        // Accepted; the rows of a multi-line row rotate next to the page area either way here.
        OrdProp<C, &C::SetScrollOpposite>("ScrollOpposite", TypeInfo_Boolean),
        OrdProp<C, &C::SetStyle>("Style", TypeInfo_TTabStyle),
        OrdProp<C, &C::SetTabHeight>("TabHeight", TypeInfo_Integer),
        OrdProp<C, &C::SetTabPosition>("TabPosition", TypeInfo_TTabPosition),
        OrdProp<C, &C::SetTabWidth>("TabWidth", TypeInfo_Integer),
    };
    return props;
}

const TClassInfo TCustomTabControl::ClassInfo{"TCustomTabControl", &TWinControl::ClassInfo,
                                              TabControlProperties};

// ---- TPageControl: the page list and the tabs ----

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

TPageControl::~TPageControl() {
    FIdleTimer.reset();
    // Sheets are destroyed with the control; they must not call back into a page list being torn down.
    for (TTabSheet* page : FPages)
        page->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

TTabSheet* TPageControl::SheetOfTab(int tabIndex) const {
    if (tabIndex < 0) return nullptr;
    for (TTabSheet* p : FPages)
        if (p->TabShowing() && tabIndex-- == 0) return p;
    return nullptr;
}

// The platform control lays its row out again, and the sheets are placed in the new page area.
void TPageControl::TabsChanged() {
    Realign();
}

void TPageControl::InsertTabOf(TTabSheet* page) {
    // Making the window inserts every tab, this one included.
    bool hadWindow = TabPeer() != nullptr;
    if (!hadWindow && !(ComponentState() & csDestroying) && TPlatform::Current()) HandleNeeded();
    if (ITabControlPeer* peer = TabPeer()) {
        if (hadWindow) {
            peer->InsertTab(page->TabIndex(), page->Caption());
            if (page->FHighlighted) peer->HighlightTab(page->TabIndex(), true);
        }
    } else if (FTabIndex < 0) {
        FTabIndex = 0; // like the platform's, the first tab of a row is selected
    }
    TabsChanged();
}

void TPageControl::RemoveTabOf(TTabSheet* page) {
    int index = page->TabIndex();
    if (ITabControlPeer* peer = TabPeer())
        peer->DeleteTab(index);
    else if (FTabIndex >= index && FTabIndex >= 0)
        --FTabIndex;
    TabsChanged();
}

void TPageControl::InsertPage(TTabSheet* page) {
    FPages.push_back(page);
    page->FPageControl = this;
    if (page->FTabVisible) InsertTabOf(page);
    // Bring the active page in line with the selected tab.
    SetActivePage(SheetOfTab(TabIndex()));
}

void TPageControl::RemovePage(TTabSheet* page) {
    TTabSheet* next = FActivePage == page ? FindNextPage(page, true, true) : nullptr;
    if (page->TabShowing() && !(ComponentState() & csDestroying)) RemoveTabOf(page);
    std::erase(FPages, page);
    page->FPageControl = nullptr;
    if (FActivePage == page) {
        FActivePage = nullptr;
        if (next != page) SetActivePage(next);
    }
}

void TPageControl::MovePage(TTabSheet* page, int index) {
    auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end()) return;
    bool tab = page->TabShowing();
    if (tab) RemoveTabOf(page);
    FPages.erase(it);
    index = std::clamp(index, 0, static_cast<int>(FPages.size()));
    FPages.insert(FPages.begin() + index, page);
    if (tab) InsertTabOf(page);
    if (FActivePage == page) SetTabIndex(page->TabIndex());
}

std::unique_ptr<IWindowPeer> TPageControl::NewWindowPeer(IWindowPeer& parent) {
    return TPlatform::Current()->CreateTabControl(parent, *this, *this);
}

void TPageControl::InitializeWindowPeer() {
    ITabControlPeer* tabs = TabPeer();
    tabs->SetRowStyle(RowStyle());
    tabs->SetTabFont(Font()->Handle(), ColorToRGB(Font()->Color()));
    for (TTabSheet* p : FPages) {
        if (!p->TabShowing()) continue;
        tabs->InsertTab(p->TabIndex(), p->Caption());
        if (p->FHighlighted) tabs->HighlightTab(p->TabIndex(), true);
    }
    // The selection made so far stands; with none, the platform's own choice does.
    if (FActivePage)
        tabs->SelectTab(FActivePage->TabIndex());
    else if (FTabIndex >= 0)
        tabs->SelectTab(FTabIndex);
}

void TPageControl::FontChanged() {
    TCustomTabControl::FontChanged();
    if (ITabControlPeer* peer = TabPeer()) peer->SetTabFont(Font()->Handle(), ColorToRGB(Font()->Color()));
    TabsChanged();
}

void TPageControl::RowStyleChanged() {
    if (ITabControlPeer* peer = TabPeer()) peer->SetRowStyle(RowStyle());
    TabsChanged();
}

void TPageControl::FinishLoading() {
    TCustomTabControl::FinishLoading();
    // The stored highlight states reach the tab row once everything is read.
    if (ITabControlPeer* peer = TabPeer())
        for (TTabSheet* p : FPages)
            if (p->TabShowing()) peer->HighlightTab(p->TabIndex(), p->FHighlighted);
}

TRect TPageControl::AlignmentRect() const {
    // The page area less the tab row and frame, its edge along the row moved in by a further 2 pixels.
    TRect r = TabPeer() ? TabPeer()->DisplayRect() : ClientRect();
    switch (TabPosition()) {
    case TTabPosition::tpTop:
        r.Top += 2;
        break;
    case TTabPosition::tpBottom:
        r.Bottom -= 2;
        break;
    case TTabPosition::tpLeft:
        r.Left += 2;
        break;
    case TTabPosition::tpRight:
        r.Right -= 2;
        break;
    }
    return r;
}

// ---- The active page ----

int TPageControl::TabIndex() const {
    return TabPeer() ? TabPeer()->SelectedTab() : FTabIndex;
}

void TPageControl::SetTabIndex(int index) {
    if (ITabControlPeer* peer = TabPeer())
        peer->SelectTab(index);
    else
        FTabIndex = index;
    if (!FActivating)
        if (TTabSheet* page = SheetOfTab(index)) SetActivePage(page);
}

void TPageControl::SetActivePage(TTabSheet* page) {
    if (page && page->PageControl() != this) return;
    FActivating = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{FActivating};
    ChangeActivePage(page);
    if (!page)
        SetTabIndex(-1);
    else if (page == FActivePage)
        SetTabIndex(page->TabIndex());
}

int TPageControl::ActivePageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
}

void TPageControl::SetActivePageIndex(int index) {
    SetActivePage(index >= 0 && index < PageCount() ? FPages[static_cast<size_t>(index)] : nullptr);
}

void TPageControl::ChangeActivePage(TTabSheet* page) {
    if (FActivePage == page) return;
    IFocusHost* host = FocusHost();
    TWinControl* focused = host ? host->ActiveControl() : nullptr;
    // The focus leaves the old page first; if it cannot, the page stays.
    if (FActivePage && focused && focused != FActivePage && FActivePage->ContainsControl(focused)) {
        if (FActivePage->CanFocus()) host->FocusControl(FActivePage);
        if (host->ActiveControl() != FActivePage) {
            SetTabIndex(FActivePage->TabIndex());
            return;
        }
        focused = FActivePage;
    }
    if (page) {
        page->SetVisible(true);
        if (host && focused && focused == FActivePage) {
            if (page->CanFocus())
                host->FocusControl(page);
            else if (CanFocus())
                host->FocusControl(this);
        }
    }
    if (FActivePage) FActivePage->SetVisible(false);
    FActivePage = page;
    // With the focus on the new page, it goes on to the page's first control that can take it.
    if (page && host && host->ActiveControl() == page) {
        std::vector<TWinControl*> order;
        page->GetTabOrderList(order);
        auto pick = [&](bool tabStop) -> TWinControl* {
            for (TWinControl* c : order)
                if (c->CanFocus() && (!tabStop || c->TabStop())) return c;
            return nullptr;
        };
        if (TWinControl* first = pick(true) ? pick(true) : pick(false)) host->FocusControl(first);
    }
    ScheduleNeighbours();
}

namespace {
// How long the user must leave the program alone before the neighbours' pictures are decoded: short
// enough to be done before the next page is asked for at a reading pace, long enough not to start
// while the user is still leafing through the pages.
constexpr int kIdleBeforeNeighboursMs = 200;

// Starts decoding ahead the JPEG pictures that showing parent will need: those of visible picture
// controls whose owner neither draws nor hears the reports made while they decode.
void DecodeAhead(const TWinControl& parent) {
    for (int i = 0; i < parent.ControlCount(); ++i) {
        TControl* control = parent.Controls(i);
        if (!control->Visible()) continue;
        if (auto* windowed = dynamic_cast<TWinControl*>(control)) DecodeAhead(*windowed);
        auto* image = dynamic_cast<TImage*>(control);
        if (!image || image->IncrementalDisplay() || image->OnProgress) continue;
        if (auto* jpeg = dynamic_cast<TJPEGImage*>(image->Picture()->Graphic())) jpeg->DecodeInBackground();
    }
}
} // namespace

void TPageControl::SetDecodeNeighboursAhead(bool v) {
    if (FDecodeNeighboursAhead == v) return;
    FDecodeNeighboursAhead = v;
    if (!v && FIdleTimer) FIdleTimer->Stop();
}

void TPageControl::ScheduleNeighbours() {
    if (!FDecodeNeighboursAhead || !FActivePage) return;
    if (!FIdleTimer) {
        TPlatform* platform = TPlatform::Current();
        if (!platform) return;
        FIdleTimer = platform->CreateIdleTimer([this] { DecodeNeighbours(); });
        if (!FIdleTimer) return;
    }
    FIdleTimer->Start(kIdleBeforeNeighboursMs);
}

void TPageControl::DecodeNeighbours() {
    if (!FDecodeNeighboursAhead || !FActivePage) return;
    // The page a click on the next tab would show first, then the one before.
    for (bool forward : {true, false})
        if (TTabSheet* page = FindNextPage(FActivePage, forward, true); page && page != FActivePage)
            DecodeAhead(*page);
}

TTabSheet* TPageControl::FindNextPage(TTabSheet* current, bool goForward, bool checkTabVisible) const {
    if (FPages.empty()) return nullptr;
    int n = PageCount();
    auto it = std::find(FPages.begin(), FPages.end(), current);
    int start = it == FPages.end() ? (goForward ? n - 1 : 0) : static_cast<int>(it - FPages.begin());
    int i = start;
    do {
        i = goForward ? (i + 1) % n : (i + n - 1) % n;
        TTabSheet* p = FPages[static_cast<size_t>(i)];
        if (!checkTabVisible || p->TabVisible()) return p;
    } while (i != start);
    return nullptr;
}

bool TPageControl::CanChange() {
    return OnChanging().Ask(this);
}

void TPageControl::Change() {
    if (TabIndex() != -1) ChangeActivePage(SheetOfTab(TabIndex()));
    if (OnChange()) OnChange()(this);
}

void TPageControl::SelectNextPage(bool goForward, bool checkTabVisible) {
    TTabSheet* page = FindNextPage(FActivePage, goForward, checkTabVisible);
    if (!page || page == FActivePage || !CanChange()) return;
    SetActivePage(page);
    Change();
}

bool TPageControl::TabChanging() {
    return CanChange();
}

void TPageControl::TabChanged() {
    Change();
}

// ---- Keys ----

// The tab row moves its selection with the arrow keys.
bool TPageControl::WantsKey(int key, TShiftState shift) const {
    return !(shift & (ssCtrl | ssAlt)) &&
           (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN);
}

bool TPageControl::KeyDown(int key, TShiftState) {
    int target = TabIndex() + (key == VK_RIGHT || key == VK_DOWN ? 1 : -1);
    TTabSheet* page = SheetOfTab(target);
    if (!page || !CanChange()) return true;
    if (ITabControlPeer* peer = TabPeer())
        peer->SelectTab(target);
    else
        FTabIndex = target;
    Change();
    return true;
}

// Ctrl+Tab and Ctrl+Shift+Tab, from the page control or anything inside it.
bool TPageControl::DialogKey(int key, TShiftState shift) {
    if (key == VK_TAB && (shift & ssCtrl) && !(shift & ssAlt)) {
        IFocusHost* host = FocusHost();
        TWinControl* focused = host ? host->ActiveControl() : nullptr;
        if (focused && ContainsControl(focused)) {
            SelectNextPage(!(shift & ssShift), true);
            return true;
        }
    }
    return TCustomTabControl::DialogKey(key, shift);
}

static TTabSheet* GetActivePage(const TPageControl& c) {
    return c.ActivePage();
}

static std::span<const TPropInfo> PageControlProperties() {
    using C = TPageControl;
    static const TPropInfo props[] = {
        ObjProp<C, &GetActivePage, &C::SetActivePage>("ActivePage"),
    };
    return props;
}

const TClassInfo TPageControl::ClassInfo{"TPageControl", &TCustomTabControl::ClassInfo, PageControlProperties,
                                         [](TComponent* o) -> TComponent* { return new TPageControl(o); }};
