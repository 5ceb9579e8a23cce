// Child lists, the tab list and the windowed control's share of reading.
#include "controls/TWinControl.h"

#include "stream/TReader.h"

#include <algorithm>

TWinControl::TWinControl(TComponent* owner) : TControl(owner) {}

TWinControl::~TWinControl() {
    // Children are destroyed with their parent, whoever owns them; each leaves its owner's list itself.
    SetComponentStateFlag(csDestroying, true);
    while (!FWinControls.empty())
        delete FWinControls.back();
    while (!FControls.empty())
        delete FControls.back();
}

TControl* TWinControl::Controls(int index) const {
    auto i = static_cast<size_t>(index);
    if (i < FControls.size()) return FControls[i];
    return FWinControls.at(i - FControls.size());
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

void TWinControl::InsertControl(TControl* control) {
    if (auto* win = dynamic_cast<TWinControl*>(control)) {
        FWinControls.push_back(win);
        FTabList.push_back(win);
    } else {
        FControls.push_back(control);
    }
    // The child's parent pointer is set here so that the lists and the pointer never disagree.
    control->FParent = this;
    control->ParentFontChanged();
    control->ParentColorChanged();
    control->ParentShowHintChanged();
    if (auto* win = dynamic_cast<TWinControl*>(control)) win->ParentDoubleBufferedChanged();
}

void TWinControl::RemoveControl(TControl* control) {
    // Compared by address: a child leaving from its destructor no longer has its windowed type.
    auto same = [control](TWinControl* w) { return static_cast<TControl*>(w) == control; };
    std::erase_if(FWinControls, same);
    std::erase_if(FTabList, same);
    std::erase(FControls, control);
    control->FParent = nullptr;
    ControlRemoved(control);
}

int TWinControl::TabOrder() const {
    if (FControlState & csReadingState) return FStoredTabOrder;
    if (!Parent()) return -1;
    const auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int v) {
    if (FControlState & csReadingState)
        FStoredTabOrder = v;
    else
        UpdateTabOrder(v);
}

void TWinControl::UpdateTabOrder(int value) {
    if (!Parent()) return;
    auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    value = std::clamp(value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + value, this);
}

void TWinControl::SetDoubleBuffered(bool v) {
    FDoubleBuffered = v;
    FParentDoubleBuffered = false;
    for (TWinControl* c : FWinControls)
        c->ParentDoubleBufferedChanged();
}

void TWinControl::SetParentDoubleBuffered(bool v) {
    if (FParentDoubleBuffered == v) return;
    FParentDoubleBuffered = v;
    if (v) ParentDoubleBufferedChanged();
}

void TWinControl::ParentDoubleBufferedChanged() {
    if (!FParentDoubleBuffered || !Parent()) return;
    FDoubleBuffered = Parent()->DoubleBuffered();
    for (TWinControl* c : FWinControls)
        c->ParentDoubleBufferedChanged();
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    for (TControl* c : FControls)
        c->ParentFontChanged();
    for (TWinControl* c : FWinControls)
        c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
    TControl::ColorChanged();
    for (TControl* c : FControls)
        c->ParentColorChanged();
    for (TWinControl* c : FWinControls)
        c->ParentColorChanged();
}

void TWinControl::ReadEntry(TReader& reader) {
    DisableAlign();
    try {
        TControl::ReadEntry(reader);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
    // Rebuild the tab list from the stored orders: each child with a valid stored order takes that
    // place; the others fill the remaining places in insertion order.
    std::vector<TWinControl*> ordered(FWinControls.size(), nullptr);
    std::vector<TWinControl*> rest;
    for (TWinControl* c : FWinControls) {
        int j = c->FStoredTabOrder;
        if (j >= 0 && static_cast<size_t>(j) < ordered.size() && !ordered[static_cast<size_t>(j)])
            ordered[static_cast<size_t>(j)] = c;
        else
            rest.push_back(c);
    }
    auto next = rest.begin();
    for (auto& slot : ordered)
        if (!slot) slot = *next++;
    FTabList = std::move(ordered);
    if (Parent()) ParentDoubleBufferedChanged();
}

static std::span<const TPropInfo> WinControlProperties() {
    using C = TWinControl;
    static const TPropInfo props[] = {
        OrdProp<C, &C::DoubleBuffered, &C::SetDoubleBuffered>("DoubleBuffered", TypeInfo_Boolean),
        OrdProp<C, &C::ParentDoubleBuffered, &C::SetParentDoubleBuffered>("ParentDoubleBuffered",
                                                                          TypeInfo_Boolean),
        OrdProp<C, &C::TabOrder, &C::SetTabOrder>("TabOrder", TypeInfo_Integer),
        OrdProp<C, &C::TabStop, &C::SetTabStop>("TabStop", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TWinControl::ClassInfo{"TWinControl", &TControl::ClassInfo, WinControlProperties};
