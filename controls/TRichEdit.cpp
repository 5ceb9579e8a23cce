// Rich edit defaults and published table.
#include "controls/TRichEdit.h"

TCustomRichEdit::TCustomRichEdit(TComponent* owner) : TCustomMemo(owner) {
    SetDoubleBuffered(false);
    SetParentDoubleBuffered(false);
}

static std::span<const TPropInfo> RichEditProperties() {
    using C = TCustomRichEdit;
    static const TPropInfo props[] = {
        OrdProp<C, &C::HideScrollBars, &C::SetHideScrollBars>("HideScrollBars", TypeInfo_Boolean),
        OrdProp<C, &C::PlainText, &C::SetPlainText>("PlainText", TypeInfo_Boolean),
        OrdProp<C, &C::Zoom, &C::SetZoom>("Zoom", TypeInfo_Integer),
    };
    return props;
}

const TClassInfo TCustomRichEdit::ClassInfo{"TCustomRichEdit", &TCustomMemo::ClassInfo, RichEditProperties};
const TClassInfo TRichEdit::ClassInfo{"TRichEdit", &TCustomRichEdit::ClassInfo, nullptr,
                                      [](TComponent* o) -> TComponent* { return new TRichEdit(o); }};
