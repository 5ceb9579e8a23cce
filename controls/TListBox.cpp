// List boxes on the platform list box: the window, its items, selection and the typing search.
#include "controls/TListBox.h"

#include "controls/ColorToRGB.h"
#include "stream/Exceptions.h"
#include "stream/TextCodec.h"

#include <chrono>

TCustomListBox::TCustomListBox(TComponent* owner)
    : TCustomMultiSelectListControl(owner), FItems(std::make_unique<TListBoxStrings>(*this)) {
    SetBounds(0, 0, 121, 97);
    FTabStop = true;
    SetColor(clWindow);
    FParentColor = false;
}

// The window goes first, while the control it reports to is still whole.
TCustomListBox::~TCustomListBox() {
    FPeer.reset();
}

IListBoxPeer& TCustomListBox::ItemsPeer() {
    // The window measures the items; out of view while the program loads, they wait for it held.
    if (!FPeer && TPlatform::Current()) {
        if (LoadingOutOfView())
            PutOffMeasuring();
        else
            HandleNeeded();
    }
    if (IListBoxPeer* list = ListPeer()) return *list;
    if (!FHeldItems) FHeldItems = std::make_unique<TInMemoryListBoxPeer>(ListParams());
    return *FHeldItems;
}

void TCustomListBox::MeasureNow() {
    HandleNeeded();
}

TListBoxParams TCustomListBox::ListParams() const {
    TListBoxParams params;
    // A single border is the sunken client edge with the 3-D look, a flat line without it.
    params.ClientEdge = FBorderStyle == TBorderStyle::bsSingle && Ctl3D();
    params.Border = FBorderStyle == TBorderStyle::bsSingle && !Ctl3D();
    params.Sorted = FSorted;
    params.MultiSelect = FMultiSelect;
    params.ExtendedSelect = FExtendedSelect;
    // Columns share the control's width.
    params.ColumnWidth = FColumns > 0 ? std::max(1, Width() / FColumns) : 0;
    params.TabWidth = FTabWidth;
    // The owner-drawn styles draw at ItemHeight; with no drawing handler of its own, the control draws
    // the item's text itself.
    bool ownerDrawn = FStyle == TListBoxStyle::lbOwnerDrawFixed ||
                      FStyle == TListBoxStyle::lbOwnerDrawVariable ||
                      FStyle == TListBoxStyle::lbVirtualOwnerDraw;
    params.ItemHeight = ownerDrawn ? FItemHeight : 0;
    return params;
}

// The column width follows the control's width.
void TCustomListBox::BoundsChanged() {
    TCustomMultiSelectListControl::BoundsChanged();
    if (IListBoxPeer* list = ListPeer(); list && FColumns > 0) list->SetColumnWidth(ListParams().ColumnWidth);
}

// The list is filled before it becomes the control's window: an item the platform refuses leaves the
// control without a window and its items still held.
std::unique_ptr<IWindowPeer> TCustomListBox::NewWindowPeer(IWindowPeer& parent) {
    TListBoxParams params = ListParams();
    std::unique_ptr<IListBoxPeer> peer = TPlatform::Current()->CreateListBox(parent, *this, *this, params);
    IListBoxPeer& list = *peer;
    list.SetFont(Font()->Handle());
    list.SetColors(ColorToRGB(Font()->Color()), ColorToRGB(Color()));
    if (FHeldItems) {
        list.SetRedraw(false);
        for (const std::string& item : FHeldItems->Items())
            if (list.AddString(item) < 0) throw EOutOfResources(std::string(SInsertLineError));
        list.SetRedraw(true);
        list.SetItemIndex(FHeldItems->ItemIndex());
        list.SetTopIndex(FHeldItems->TopIndex());
        FHeldItems.reset();
    }
    return peer;
}

void TCustomListBox::RecreateWindow() {
    IListBoxPeer* old = ListPeer();
    if (!old) {
        // Without a window the held items take the new style.
        if (!FHeldItems) return;
        auto held = std::make_unique<TInMemoryListBoxPeer>(ListParams());
        for (const std::string& item : FHeldItems->Items())
            held->AddString(item);
        held->SetItemIndex(FHeldItems->ItemIndex());
        FHeldItems = std::move(held);
        return;
    }
    auto held = std::make_unique<TInMemoryListBoxPeer>();
    for (int i = 0; i < old->Count(); ++i)
        held->AddString(old->GetString(i));
    held->SetTopIndex(old->TopIndex());
    held->SetItemIndex(old->ItemIndex());
    bool focused = Focused();
    FPeer.reset();
    FHeldItems = std::move(held);
    // The new window comes now if the control is on view, else when something needs it.
    UpdateShowing();
    if (focused && FPeer) FPeer->SetFocus();
}

int TCustomListBox::ItemIndex() const {
    if (IListBoxPeer* list = ListPeer()) return list->ItemIndex();
    return FHeldItems ? FHeldItems->ItemIndex() : -1;
}

void TCustomListBox::SetItemIndex(int v) {
    if (ItemIndex() != v) ItemsPeer().SetItemIndex(v);
}

int TCustomListBox::TopIndex() const {
    if (IListBoxPeer* list = ListPeer()) return list->TopIndex();
    return FHeldItems ? FHeldItems->TopIndex() : 0;
}

void TCustomListBox::SetTopIndex(int v) {
    if (TopIndex() != v) ItemsPeer().SetTopIndex(v);
}

int TCustomListBox::ItemHeight() const {
    IListBoxPeer* list = ListPeer();
    return list && FStyle == TListBoxStyle::lbStandard ? list->ItemHeight() : FItemHeight;
}

void TCustomListBox::SetItemHeight(int v) {
    if (v <= 0 || v == FItemHeight) return;
    FItemHeight = v;
    RecreateWindow();
}

void TCustomListBox::SetBorderStyle(TBorderStyle v) {
    if (FBorderStyle == v) return;
    FBorderStyle = v;
    RecreateWindow();
}

void TCustomListBox::FontChanged() {
    TCustomMultiSelectListControl::FontChanged();
    if (IListBoxPeer* list = ListPeer()) {
        list->SetFont(Font()->Handle());
        list->SetColors(ColorToRGB(Font()->Color()), ColorToRGB(Color()));
    }
}

void TCustomListBox::ColorChanged() {
    TCustomMultiSelectListControl::ColorChanged();
    if (IListBoxPeer* list = ListPeer()) list->SetColors(ColorToRGB(Font()->Color()), ColorToRGB(Color()));
}

bool TCustomListBox::WantsKey(int key, TShiftState) const {
    switch (key) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_HOME:
    case VK_END:
        return true;
    default:
        return false;
    }
}

// Each character typed within the delay of the previous one extends the search text; after a longer
// pause the search starts afresh. The first item that begins with the text is selected, the first item
// when the text is empty. Backspace, Enter and Escape also reach the platform list box.
bool TCustomListBox::ListBoxChar(char32_t ch) {
    constexpr char32_t kBackspace = 8, kEnter = 13, kEscape = 27;
    if (!FAutoComplete || ch == kEnter || ch == kEscape) return false;
    uint64_t now = FClock ? FClock()
                          : static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                                      std::chrono::steady_clock::now().time_since_epoch())
                                                      .count());
    if (now - FLastTime > static_cast<uint64_t>(FAutoCompleteDelay)) FFilter.clear();
    FLastTime = now;
    if (ch == kBackspace) {
        // The last character, however many bytes it takes.
        while (!FFilter.empty() && (static_cast<unsigned char>(FFilter.back()) & 0xC0) == 0x80)
            FFilter.pop_back();
        if (!FFilter.empty()) FFilter.pop_back();
    } else {
        TextCodec::AppendUtf8(FFilter, ch);
    }
    if (FFilter.empty()) {
        SetItemIndex(0);
    } else if (int found = ItemsPeer().FindString(FFilter); found >= 0) {
        SetItemIndex(found);
    }
    return ch != kBackspace;
}

static TPersistent* GetItems(const TCustomListBox& c) {
    return c.Items();
}

static std::span<const TPropInfo> ListBoxProperties() {
    using C = TCustomListBox;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetAutoComplete>("AutoComplete", TypeInfo_Boolean),
        OrdProp<C, &C::SetAutoCompleteDelay>("AutoCompleteDelay", TypeInfo_Integer),
        OrdProp<C, &C::SetBorderStyle>("BorderStyle", TypeInfo_TBorderStyle),
        OrdProp<C, &C::SetColumns>("Columns", TypeInfo_Integer),
        OrdProp<TWinControl, &TWinControl::SetCtl3D>("Ctl3D", TypeInfo_Boolean),
        OrdProp<C, &C::SetExtendedSelect>("ExtendedSelect", TypeInfo_Boolean),
        // Accepted; the list box here always keeps its exact height.
        OrdProp<C, &C::SetIntegralHeight>("IntegralHeight", TypeInfo_Boolean),
        OrdProp<C, &C::SetItemHeight>("ItemHeight", TypeInfo_Integer),
        ObjProp<C, &GetItems, nullptr>("Items"),
        OrdProp<C, &C::SetMultiSelect>("MultiSelect", TypeInfo_Boolean),
        OrdProp<TWinControl, &TWinControl::SetParentCtl3D>("ParentCtl3D", TypeInfo_Boolean),
        OrdProp<C, &C::SetSorted>("Sorted", TypeInfo_Boolean),
        OrdProp<C, &C::SetStyle>("Style", TypeInfo_TListBoxStyle),
        OrdProp<C, &C::SetTabWidth>("TabWidth", TypeInfo_Integer),
    };
    return props;
}

const TClassInfo TCustomListControl::ClassInfo{"TCustomListControl", &TWinControl::ClassInfo};
const TClassInfo TCustomMultiSelectListControl::ClassInfo{"TCustomMultiSelectListControl",
                                                          &TCustomListControl::ClassInfo};
const TClassInfo TCustomListBox::ClassInfo{"TCustomListBox", &TCustomMultiSelectListControl::ClassInfo};
const TClassInfo TListBox::ClassInfo{"TListBox", &TCustomListBox::ClassInfo, ListBoxProperties,
                                     [](TComponent* o) -> TComponent* { return new TListBox(o); }};
