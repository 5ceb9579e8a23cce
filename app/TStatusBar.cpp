// Status bar defaults and published tables.
#include "app/TStatusBar.h"

#include "app/TCustomForm.h"
#include "controls/Graphics.h"

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
    SetUseSystemFont(true);
    FParentFont = false;
}

// The platform's status-bar font: its message face at 9 points, in the button text colour.
void TCustomStatusBar::SetUseSystemFont(bool v) {
    FUseSystemFont = v;
    if (!v) return;
    Font()->SetName("Segoe UI");
    Font()->SetHeight(-12);
    Font()->SetColor(clBtnText);
    FParentFont = false;
}

void TCustomStatusBar::SetSimpleText(const std::string& v) {
    if (FSimpleText == v) return;
    FSimpleText = v;
    Invalidate();
}

bool TCustomStatusBar::SizeGripValid() const {
    auto* form = dynamic_cast<const TCustomForm*>(Parent());
    if (!form || (form->BorderStyle() != TFormBorderStyle::bsSizeable &&
                  form->BorderStyle() != TFormBorderStyle::bsSizeToolWin))
        return false;
    TRect client = form->ClientRect();
    return Left() + Width() == client.Width() && Top() + Height() == client.Height();
}

void TCustomStatusBar::PaintContent(ICanvas& canvas) {
    TRect r = ClientRect();
    if (FSimplePanel) {
        canvas.SelectFont(Font()->Handle());
        canvas.SetTextColor(ColorToRGB(Font()->Color()));
        TRect text{r.Left + 4, r.Top, r.Right - 4, r.Bottom};
        canvas.DrawText(FSimpleText, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    if (FSizeGrip && SizeGripValid()) {
        // Three diagonal rows of dots in the bottom-right corner.
        uint32_t shadow = ColorToRGB(clBtnShadow), light = ColorToRGB(clBtnHighlight);
        for (int row = 0; row < 3; ++row)
            for (int i = 0; i <= row; ++i) {
                int x = r.Right - 4 - 4 * (row - i), y = r.Bottom - 4 - 4 * i;
                canvas.FillRect({x + 1, y + 1, x + 3, y + 3}, light);
                canvas.FillRect({x, y, x + 2, y + 2}, shadow);
            }
    }
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
        OrdProp<C, &C::UseSystemFont, &C::SetUseSystemFont>("UseSystemFont", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TCustomStatusBar::ClassInfo{"TCustomStatusBar", &TWinControl::ClassInfo,
                                             StatusBarProperties};
const TClassInfo TStatusBar::ClassInfo{"TStatusBar", &TCustomStatusBar::ClassInfo, nullptr,
                                       [](TComponent* o) -> TComponent* { return new TStatusBar(o); }};
