// Page list bookkeeping and the published tables of the page control and its sheets.
#include "controls/TPageControl.h"

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
    if (auto* pc = dynamic_cast<TPageControl*>(parent))
        SetPageControl(pc);
    else {
        if (FPageControl) FPageControl->RemovePage(this);
        TWinControl::SetParent(parent);
    }
}

int TTabSheet::PageIndex() const {
    if (!FPageControl) return -1;
    const auto& pages = FPageControl->FPages;
    return static_cast<int>(std::find(pages.begin(), pages.end(), this) - pages.begin());
}

void TTabSheet::SetPageIndex(int value) {
    if (FPageControl) FPageControl->MovePage(this, value);
}

static std::span<const TPropInfo> TabSheetProperties() {
    using C = TTabSheet;
    static const TPropInfo props[] = {
        StrProp<TControl, &TControl::Caption, &TControl::SetCaption>("Caption"),
        OrdProp<C, &C::Highlighted, &C::SetHighlighted>("Highlighted", TypeInfo_Boolean),
        OrdProp<C, &C::ImageIndex, &C::SetImageIndex>("ImageIndex", TypeInfo_Integer),
        OrdProp<C, &C::PageIndex, &C::SetPageIndex>("PageIndex", TypeInfo_Integer),
        OrdProp<C, &C::TabVisible, &C::SetTabVisible>("TabVisible", TypeInfo_Boolean),
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

static std::span<const TPropInfo> TabControlProperties() {
    using C = TCustomTabControl;
    static const TPropInfo props[] = {
        OrdProp<C, &C::HotTrack, &C::SetHotTrack>("HotTrack", TypeInfo_Boolean),
        OrdProp<C, &C::MultiLine, &C::SetMultiLine>("MultiLine", TypeInfo_Boolean),
        EventProp<C, &C::OnChange, &C::SetOnChange>("OnChange"),
        OrdProp<C, &C::Style, &C::SetStyle>("Style", TypeInfo_TTabStyle),
        OrdProp<C, &C::TabHeight, &C::SetTabHeight>("TabHeight", TypeInfo_Integer),
        OrdProp<C, &C::TabPosition, &C::SetTabPosition>("TabPosition", TypeInfo_TTabPosition),
        OrdProp<C, &C::TabWidth, &C::SetTabWidth>("TabWidth", TypeInfo_Integer),
    };
    return props;
}

const TClassInfo TCustomTabControl::ClassInfo{"TCustomTabControl", &TWinControl::ClassInfo,
                                              TabControlProperties};

// ---- TPageControl ----

TPageControl::TPageControl(TComponent* owner) : TCustomTabControl(owner) {}

TPageControl::~TPageControl() {
    // Sheets are destroyed with the control; they must not call back into a page list being torn down.
    for (TTabSheet* page : FPages)
        page->FPageControl = nullptr;
    FPages.clear();
    FActivePage = nullptr;
}

void TPageControl::InsertPage(TTabSheet* page) {
    FPages.push_back(page);
    page->FPageControl = this;
}

void TPageControl::RemovePage(TTabSheet* page) {
    std::erase(FPages, page);
    page->FPageControl = nullptr;
    if (FActivePage == page) FActivePage = nullptr;
}

void TPageControl::MovePage(TTabSheet* page, int index) {
    auto it = std::find(FPages.begin(), FPages.end(), page);
    if (it == FPages.end()) return;
    FPages.erase(it);
    index = std::clamp(index, 0, static_cast<int>(FPages.size()));
    FPages.insert(FPages.begin() + index, page);
}

void TPageControl::SetActivePage(TTabSheet* page) {
    // Only a sheet of this control can be on view.
    if (page && page->PageControl() != this) return;
    if (FActivePage == page) return;
    if (FActivePage) FActivePage->SetVisible(false);
    FActivePage = page;
    if (page) page->SetVisible(true);
}

int TPageControl::ActivePageIndex() const {
    return FActivePage ? FActivePage->PageIndex() : -1;
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
