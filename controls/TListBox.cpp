// List box defaults and published table.
#include "controls/TListBox.h"

TCustomListBox::TCustomListBox(TComponent* owner)
    : TCustomMultiSelectListControl(owner), FItems(std::make_unique<TStringList>()) {
    SetBounds(0, 0, 121, 97);
    FTabStop = true;
    SetColor(clWindow);
    FParentColor = false;
}

static TPersistent* GetItems(const TCustomListBox& c) {
    return c.Items();
}

static std::span<const TPropInfo> ListBoxProperties() {
    using C = TCustomListBox;
    static const TPropInfo props[] = {
        OrdProp<C, &C::BorderStyle, &C::SetBorderStyle>("BorderStyle", TypeInfo_TBorderStyle),
        OrdProp<C, &C::Columns, &C::SetColumns>("Columns", TypeInfo_Integer),
        OrdProp<C, &C::ExtendedSelect, &C::SetExtendedSelect>("ExtendedSelect", TypeInfo_Boolean),
        OrdProp<C, &C::IntegralHeight, &C::SetIntegralHeight>("IntegralHeight", TypeInfo_Boolean),
        OrdProp<C, &C::ItemHeight, &C::SetItemHeight>("ItemHeight", TypeInfo_Integer),
        ObjProp<C, &GetItems, nullptr>("Items"),
        OrdProp<C, &C::MultiSelect, &C::SetMultiSelect>("MultiSelect", TypeInfo_Boolean),
        OrdProp<C, &C::Sorted, &C::SetSorted>("Sorted", TypeInfo_Boolean),
        OrdProp<C, &C::Style, &C::SetStyle>("Style", TypeInfo_TListBoxStyle),
    };
    return props;
}

const TClassInfo TCustomListControl::ClassInfo{"TCustomListControl", &TWinControl::ClassInfo};
const TClassInfo TCustomMultiSelectListControl::ClassInfo{"TCustomMultiSelectListControl",
                                                          &TCustomListControl::ClassInfo};
const TClassInfo TCustomListBox::ClassInfo{"TCustomListBox", &TCustomMultiSelectListControl::ClassInfo};
const TClassInfo TListBox::ClassInfo{"TListBox", &TCustomListBox::ClassInfo, ListBoxProperties,
                                     [](TComponent* o) -> TComponent* { return new TListBox(o); }};
