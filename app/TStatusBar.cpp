// Status bar defaults and published tables.
#include "app/TStatusBar.h"

#include "app/TCustomForm.h"
#include "controls/ColorToRGB.h"
#include "stream/TextCodec.h"

#include <algorithm>

#include <algorithm>

namespace {
constexpr int kSizeGripWidth = 17;
}

static std::span<const TPropInfo> PanelProperties() {
    using C = TStatusPanel;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetAlignment>("Alignment", TypeInfo_TAlignment),
        OrdProp<C, &C::SetBevel>("Bevel", TypeInfo_TStatusPanelBevel),
        OrdProp<C, &C::SetStyle>("Style", TypeInfo_TStatusPanelStyle),
        StrProp<C, &C::SetText>("Text"),
        OrdProp<C, &C::SetWidth>("Width", TypeInfo_Integer),
    };
    return props;
}

const TClassInfo TStatusPanel::ClassInfo{"TStatusPanel", &TCollectionItem::ClassInfo, PanelProperties};
const TClassInfo TStatusPanels::ClassInfo{"TStatusPanels", &TCollection::ClassInfo};

TStatusPanels::TStatusPanels(TCustomStatusBar* bar)
    : TCollection([](TCollection* c) -> std::unique_ptr<TCollectionItem> {
          return std::make_unique<TStatusPanel>(c);
      }),
      FBar(bar) {}

void TStatusPanels::Update(TCollectionItem*) {
    if (FBar) FBar->Invalidate();
}

TCustomStatusBar::TCustomStatusBar(TComponent* owner)
    : TWinControl(owner), FPanels(std::make_unique<TStatusPanels>(this)) {
    SetBounds(0, 0, 0, 19);
    SetAlign(TAlign::alBottom);
    SetColor(clBtnFace);
    SetUseSystemFont(true);
    FParentFont = false;
    // A change of the platform's settings brings the bar the new status font.
    FSettingsListener = TPlatform::AddSettingsListener([this] {
        if (FUseSystemFont) ApplySystemFont();
    });
}

TCustomStatusBar::~TCustomStatusBar() {
    TPlatform::RemoveSettingsListener(FSettingsListener);
}

void TCustomStatusBar::SetUseSystemFont(bool v) {
    FUseSystemFont = v;
    if (v) ApplySystemFont();
}

void TCustomStatusBar::ApplySystemFont() {
    TLogFont lf;
    TPlatform* platform = TPlatform::Current();
    TFont& font = *Font();
    if (platform && platform->StatusFont(lf)) {
        // The face goes through the same substitution as every face a definition names.
        std::u16string face(lf.FaceName);
        font.SetName(TextCodec::Utf8FromUtf16(face));
        font.SetHeight(lf.Height);
        font.SetCharset(lf.CharSet);
        font.SetStyle((lf.Weight >= 700 ? 1u << fsBold : 0u) | (lf.Italic ? 1u << fsItalic : 0u));
    } else {
        font.SetName(DefFontData().Name);
        font.SetHeight(DefFontData().Height());
        font.SetCharset(DefFontData().Charset);
        font.SetStyle(0);
    }
    font.SetColor(clBtnText);
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

TRect TCustomStatusBar::SizeGripRect() const {
    if (!FSizeGrip || !SizeGripValid()) return {};
    TRect r = ClientRect();
    // As wide as a vertical scroll bar, the bar's full height.
    int width = std::min(kSizeGripWidth, r.Width());
    return {r.Right - width, r.Top, r.Right, r.Bottom};
}

void TCustomStatusBar::WindowMouseDown(TMouseButton button, int x, int y, TShiftState shift) {
    TWinControl::WindowMouseDown(button, x, y, shift);
    if (button != TMouseButton::mbLeft) return;
    TRect grip = SizeGripRect();
    if (x < grip.Left || x >= grip.Right || y < grip.Top || y >= grip.Bottom) return;
    if (auto* form = dynamic_cast<TCustomForm*>(Parent()))
        if (IFormWindow* window = form->Window()) window->StartSizeGripDrag();
}

void TCustomStatusBar::PaintContent(ICanvas& canvas) {
    TRect r = ClientRect();
    bool grip = FSizeGrip && SizeGripValid();
    canvas.SelectFont(Font()->Handle());
    canvas.SetTextColor(ColorToRGB(Font()->Color()));
    if (FSimplePanel) {
        TRect text{r.Left + 4, r.Top, r.Right - 4, r.Bottom};
        canvas.DrawText(FSimpleText, text, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    } else {
        PaintPanels(canvas, {r.Left, r.Top, grip ? r.Right - 14 : r.Right, r.Bottom});
    }
    if (grip) {
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

// The panels side by side from the left, each its Width wide and two pixels apart, the last reaching
// to the right end; each with its bevel and its text placed by its alignment.
void TCustomStatusBar::PaintPanels(ICanvas& canvas, const TRect& bar) {
    constexpr int kGap = 2;
    uint32_t shadow = ColorToRGB(clBtnShadow), light = ColorToRGB(clBtnHighlight);
    int x = bar.Left;
    for (int i = 0; i < FPanels->Count() && x < bar.Right; ++i) {
        const TStatusPanel& panel = *FPanels->Items(i);
        bool last = i == FPanels->Count() - 1;
        TRect p{x, bar.Top + 2, last ? bar.Right : std::min(bar.Right, x + std::max(0, panel.Width())),
                bar.Bottom};
        x = p.Right + kGap;
        if (p.IsEmpty()) continue;
        if (panel.Bevel() != TStatusPanelBevel::pbNone) {
            bool lowered = panel.Bevel() == TStatusPanelBevel::pbLowered;
            uint32_t topLeft = lowered ? shadow : light, bottomRight = lowered ? light : shadow;
            canvas.FillRect({p.Left, p.Top, p.Right, p.Top + 1}, topLeft);
            canvas.FillRect({p.Left, p.Top, p.Left + 1, p.Bottom}, topLeft);
            canvas.FillRect({p.Left, p.Bottom - 1, p.Right, p.Bottom}, bottomRight);
            canvas.FillRect({p.Right - 1, p.Top, p.Right, p.Bottom}, bottomRight);
        }
        // Owner-drawn panels are left to a handler this program does not have.
        if (panel.Style() != TStatusPanelStyle::psText || panel.Text().empty()) continue;
        unsigned align = panel.Alignment() == TAlignment::taCenter         ? DT_CENTER
                         : panel.Alignment() == TAlignment::taRightJustify ? DT_RIGHT
                                                                           : DT_LEFT;
        TRect text{p.Left + 3, p.Top + 1, p.Right - 3, p.Bottom - 1};
        canvas.Save();
        canvas.IntersectClip(text);
        canvas.DrawText(panel.Text(), text, align | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        canvas.Restore();
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
        OrdProp<C, &C::SetSimplePanel>("SimplePanel", TypeInfo_Boolean),
        StrProp<C, &C::SetSimpleText>("SimpleText"),
        OrdProp<C, &C::SetSizeGrip>("SizeGrip", TypeInfo_Boolean),
        OrdProp<C, &C::SetUseSystemFont>("UseSystemFont", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TCustomStatusBar::ClassInfo{"TCustomStatusBar", &TWinControl::ClassInfo,
                                             StatusBarProperties};
const TClassInfo TStatusBar::ClassInfo{"TStatusBar", &TCustomStatusBar::ClassInfo, nullptr,
                                       [](TComponent* o) -> TComponent* { return new TStatusBar(o); }};
