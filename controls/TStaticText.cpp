// Static text defaults and published table.
#include "controls/TStaticText.h"

TCustomStaticText::TCustomStaticText(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 65, 17);
}

static std::span<const TPropInfo> StaticTextProperties() {
    using C = TCustomStaticText;
    static const TPropInfo props[] = {
        OrdProp<C, &C::Alignment, &C::SetAlignment>("Alignment", TypeInfo_TAlignment),
        OrdProp<C, &C::AutoSize, &C::SetAutoSize>("AutoSize", TypeInfo_Boolean),
        OrdProp<C, &C::BorderStyle, &C::SetBorderStyle>("BorderStyle", TypeInfo_TStaticBorderStyle),
        StrProp<TControl, &TControl::Caption, &TControl::SetCaption>("Caption"),
        OrdProp<C, &C::ShowAccelChar, &C::SetShowAccelChar>("ShowAccelChar", TypeInfo_Boolean),
        OrdProp<C, &C::Transparent, &C::SetTransparent>("Transparent", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TCustomStaticText::ClassInfo{"TCustomStaticText", &TWinControl::ClassInfo};
const TClassInfo TStaticText::ClassInfo{"TStaticText", &TCustomStaticText::ClassInfo, StaticTextProperties,
                                        [](TComponent* o) -> TComponent* { return new TStaticText(o); }};
