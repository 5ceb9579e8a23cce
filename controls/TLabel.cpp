// Label defaults and published table.
#include "controls/TLabel.h"

#include "controls/Graphics.h"

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::Paint(ICanvas& canvas) {
    TRect r = ClientRect();
    if (!FTransparent) canvas.FillRect(r, ColorToRGB(Color()));
    canvas.SelectFont(Font()->Handle());
    canvas.SetTextColor(ColorToRGB(Font()->Color()));
    static constexpr unsigned kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    unsigned format = DT_EXPANDTABS | kAlign[static_cast<int>(FAlignment)];
    if (FWordWrap) format |= DT_WORDBREAK;
    if (!FShowAccelChar) format |= DT_NOPREFIX;
    canvas.DrawText(Caption(), r, format);
}

static std::span<const TPropInfo> LabelProperties() {
    using C = TCustomLabel;
    static const TPropInfo props[] = {
        OrdProp<C, &C::Alignment, &C::SetAlignment>("Alignment", TypeInfo_TAlignment),
        OrdProp<C, &C::AutoSize, &C::SetAutoSize>("AutoSize", TypeInfo_Boolean),
        StrProp<TControl, &TControl::Caption, &TControl::SetCaption>("Caption"),
        OrdProp<C, &C::Layout, &C::SetLayout>("Layout", TypeInfo_TTextLayout),
        OrdProp<C, &C::ShowAccelChar, &C::SetShowAccelChar>("ShowAccelChar", TypeInfo_Boolean),
        OrdProp<C, &C::Transparent, &C::SetTransparent>("Transparent", TypeInfo_Boolean),
        OrdProp<C, &C::WordWrap, &C::SetWordWrap>("WordWrap", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TCustomLabel::ClassInfo{"TCustomLabel", &TGraphicControl::ClassInfo};
const TClassInfo TLabel::ClassInfo{"TLabel", &TCustomLabel::ClassInfo, LabelProperties,
                                   [](TComponent* o) -> TComponent* { return new TLabel(o); }};
