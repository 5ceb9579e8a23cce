// Menu items and their published properties.
#include "controls/TMenuItem.h"

#include <algorithm>

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem() {
    for (TMenuItem* item : FItems)
        item->FParent = nullptr;
    if (FParent) FParent->Remove(this);
}

void TMenuItem::Add(TMenuItem* item) {
    if (!item || item->FParent == this) return;
    if (item->FParent) item->FParent->Remove(item);
    FItems.push_back(item);
    item->FParent = this;
}

void TMenuItem::Remove(TMenuItem* item) {
    auto it = std::find(FItems.begin(), FItems.end(), item);
    if (it == FItems.end()) return;
    FItems.erase(it);
    item->FParent = nullptr;
}

void TMenuItem::SetParentComponent(TComponent* parent) {
    if (auto* item = dynamic_cast<TMenuItem*>(parent)) item->Add(this);
}

static std::span<const TPropInfo> MenuItemProperties() {
    using C = TMenuItem;
    static const TPropInfo props[] = {
        StrProp<C, &C::SetCaption>("Caption"),
        OrdProp<C, &C::SetChecked>("Checked", TypeInfo_Boolean),
        OrdProp<C, &C::SetEnabled>("Enabled", TypeInfo_Boolean),
        OrdProp<C, &C::SetGroupIndex>("GroupIndex", TypeInfo_Integer),
        StrProp<C, &C::SetHint>("Hint"),
        OrdProp<C, &C::SetRadioItem>("RadioItem", TypeInfo_Boolean),
        OrdProp<C, &C::SetShortCut>("ShortCut", TypeInfo_Integer),
        OrdProp<C, &C::SetVisible>("Visible", TypeInfo_Boolean),
        EventProp<C, &C::SetOnClick>("OnClick"),
    };
    return props;
}

const TClassInfo TMenuItem::ClassInfo{"TMenuItem", &TComponent::ClassInfo, MenuItemProperties,
                                      [](TComponent* o) -> TComponent* { return new TMenuItem(o); }};
