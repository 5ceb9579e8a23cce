// Status bar defaults and published tables.
#include "app/TStatusBar.h"

static std::span<const TPropInfo> PanelProperties() {
    using C = TStatusPanel;
    static const TPropInfo props[] = {
        OrdProp<C, &C::Alignment, &C::SetAlignment>("Alignment", TypeInfo_TAlignment),
        OrdProp<C, &C::Bevel, &C::SetBevel>("Bevel", TypeInfo_TStatusPanelBevel),
        OrdProp<C, &C::Style, &C::SetStyle>("Style", TypeInfo_TStatusPanelStyle),
        StrProp<C, &C::Text, &C::SetText>("Text"),
        OrdProp<C, &C::Width, &C::SetWidth>("Width", TypeInfo_Integer),
    };
    return props;
}

const TClassInfo TStatusPanel::ClassInfo{"TStatusPanel", &TCollectionItem::ClassInfo, PanelProperties};
const TClassInfo TStatusPanels::ClassInfo{"TStatusPanels", &TCollection::ClassInfo};

TStatusPanels::TStatusPanels()
    : TCollection([](TCollection* c) -> std::unique_ptr<TCollectionItem> {
          return std::make_unique<TStatusPanel>(c);
      }) {}

TCustomStatusBar::TCustomStatusBar(TComponent* owner)
    : TWinControl(owner), FPanels(std::make_unique<TStatusPanels>()) {
    SetBounds(0, 0, 0, 19);
    SetAlign(TAlign::alBottom);
    SetColor(clBtnFace);
}

void TCustomStatusBar::SetSimpleText(const std::string& v) {
    if (FSimpleText == v) return;
    FSimpleText = v;
}

static TPersistent* GetPanels(const TCustomStatusBar& c) {
    return c.Panels();
}
static void SetPanels(TCustomStatusBar&, TStatusPanels*) {}

static std::span<const TPropInfo> StatusBarProperties() {
    using C = TCustomStatusBar;
    static const TPropInfo props[] = {
        ObjProp<C, &GetPanels, &SetPanels>("Panels"),
        OrdProp<C, &C::SimplePanel, &C::SetSimplePanel>("SimplePanel", TypeInfo_Boolean),
        StrProp<C, &C::SimpleText, &C::SetSimpleText>("SimpleText"),
        OrdProp<C, &C::SizeGrip, &C::SetSizeGrip>("SizeGrip", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TCustomStatusBar::ClassInfo{"TCustomStatusBar", &TWinControl::ClassInfo,
                                             StatusBarProperties};
const TClassInfo TStatusBar::ClassInfo{"TStatusBar", &TCustomStatusBar::ClassInfo, nullptr,
                                       [](TComponent* o) -> TComponent* { return new TStatusBar(o); }};
