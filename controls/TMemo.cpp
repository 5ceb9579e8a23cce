// Edit and memo defaults and published tables.
#include "controls/TMemo.h"

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 121, 21);
    FTabStop = true;
    SetColor(clWindow);
    FParentColor = false;
}

static std::span<const TPropInfo> EditProperties() {
    using C = TCustomEdit;
    static const TPropInfo props[] = {
        OrdProp<C, &C::BorderStyle, &C::SetBorderStyle>("BorderStyle", TypeInfo_TBorderStyle),
        OrdProp<C, &C::HideSelection, &C::SetHideSelection>("HideSelection", TypeInfo_Boolean),
        OrdProp<C, &C::MaxLength, &C::SetMaxLength>("MaxLength", TypeInfo_Integer),
        OrdProp<C, &C::ReadOnly, &C::SetReadOnly>("ReadOnly", TypeInfo_Boolean),
    };
    return props;
}

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomEdit(owner), FLines(std::make_unique<TStringList>()) {
    SetBounds(0, 0, 185, 89);
}

static TPersistent* GetLines(const TCustomMemo& c) {
    return c.Lines();
}

static std::span<const TPropInfo> MemoProperties() {
    using C = TCustomMemo;
    static const TPropInfo props[] = {
        OrdProp<C, &C::Alignment, &C::SetAlignment>("Alignment", TypeInfo_TAlignment),
        ObjProp<C, &GetLines, nullptr>("Lines"),
        OrdProp<C, &C::ScrollBars, &C::SetScrollBars>("ScrollBars", TypeInfo_TScrollStyle),
        OrdProp<C, &C::WantReturns, &C::SetWantReturns>("WantReturns", TypeInfo_Boolean),
        OrdProp<C, &C::WantTabs, &C::SetWantTabs>("WantTabs", TypeInfo_Boolean),
        OrdProp<C, &C::WordWrap, &C::SetWordWrap>("WordWrap", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TCustomEdit::ClassInfo{"TCustomEdit", &TWinControl::ClassInfo, EditProperties};
const TClassInfo TCustomMemo::ClassInfo{"TCustomMemo", &TCustomEdit::ClassInfo, MemoProperties};
const TClassInfo TMemo::ClassInfo{"TMemo", &TCustomMemo::ClassInfo, nullptr,
                                  [](TComponent* o) -> TComponent* { return new TMemo(o); }};
