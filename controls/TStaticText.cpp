// Static texts: sizing to the caption and painting it in the control's own window.
#include "controls/TStaticText.h"

#include "controls/ColorToRGB.h"

namespace {
// The platform's thin border, in pixels (one each way).
constexpr int kBorderWidth = 1;
} // namespace

TCustomStaticText::TCustomStaticText(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 65, 17);
}

void TCustomStaticText::SetAlignment(TAlignment v) {
    if (FAlignment == v) return;
    FAlignment = v;
    Invalidate();
}

void TCustomStaticText::SetAutoSize(bool v) {
    if (FAutoSize == v) return;
    FAutoSize = v;
    AdjustBounds();
}

void TCustomStaticText::SetBorderStyle(TStaticBorderStyle v) {
    if (FBorderStyle == v) return;
    FBorderStyle = v;
    Invalidate();
}

void TCustomStaticText::SetTransparent(bool v) {
    if (FTransparent == v) return;
    FTransparent = v;
    Invalidate();
}

void TCustomStaticText::SetShowAccelChar(bool v) {
    if (FShowAccelChar == v) return;
    FShowAccelChar = v;
    Invalidate();
}

void TCustomStaticText::TextChanged() {
    Invalidate();
    AdjustBounds();
}

void TCustomStaticText::FontChanged() {
    TWinControl::FontChanged();
    AdjustBounds();
}

void TCustomStaticText::FinishLoading() {
    TWinControl::FinishLoading();
    AdjustBounds();
}

void TCustomStaticText::AdjustBounds() {
    if (!FAutoSize || (ComponentState() & csLoading) || (FControlState & csReadingState)) return;
    TPlatform* platform = TPlatform::Current();
    if (!platform) return;
    std::unique_ptr<ICanvas> canvas = platform->CreateMeasuringCanvas();
    canvas->SelectFont(Font()->Handle());
    TSize extent = canvas->TextExtent(Caption());
    SetBounds(Left(), Top(), extent.cx + 4 * kBorderWidth, extent.cy + 4 * kBorderWidth);
}

void TCustomStaticText::EraseBackground(ICanvas& canvas) {
    if (!FTransparent || !Parent()) {
        canvas.FillRect(ClientRect(), ColorToRGB(Color()));
        return;
    }
    canvas.Save();
    canvas.IntersectClip(ClientRect());
    canvas.Translate(-Left(), -Top());
    Parent()->PaintHandler(canvas, BoundsRect());
    canvas.Restore();
}

void TCustomStaticText::PaintContent(ICanvas& canvas) {
    TRect r = ClientRect();
    if (FBorderStyle == TStaticBorderStyle::sbsSingle) {
        uint32_t frame = ColorToRGB(clWindowFrame);
        canvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1}, frame);
        canvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, frame);
        canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, frame);
        canvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, frame);
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    } else if (FBorderStyle == TStaticBorderStyle::sbsSunken) {
        uint32_t shadow = ColorToRGB(clBtnShadow), light = ColorToRGB(clBtnHighlight);
        canvas.FillRect({r.Left, r.Top, r.Right, r.Top + 1}, shadow);
        canvas.FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, shadow);
        canvas.FillRect({r.Left, r.Bottom - 1, r.Right, r.Bottom}, light);
        canvas.FillRect({r.Right - 1, r.Top, r.Right, r.Bottom}, light);
        r = {r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
    }
    if (Caption().empty()) return;
    static constexpr unsigned kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    unsigned flags = DT_WORDBREAK | DT_EXPANDTABS | kAlign[static_cast<int>(FAlignment)];
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    canvas.SelectFont(Font()->Handle());
    canvas.SetTextColor(ColorToRGB(Font()->Color()));
    canvas.DrawText(Caption(), r, flags);
}

static std::span<const TPropInfo> StaticTextProperties() {
    using C = TCustomStaticText;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetAlignment>("Alignment", TypeInfo_TAlignment),
        OrdProp<C, &C::SetAutoSize>("AutoSize", TypeInfo_Boolean),
        OrdProp<C, &C::SetBorderStyle>("BorderStyle", TypeInfo_TStaticBorderStyle),
        StrProp<TControl, &TControl::SetCaption>("Caption"),
        OrdProp<C, &C::SetShowAccelChar>("ShowAccelChar", TypeInfo_Boolean),
        OrdProp<C, &C::SetTransparent>("Transparent", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TCustomStaticText::ClassInfo{"TCustomStaticText", &TWinControl::ClassInfo};
const TClassInfo TStaticText::ClassInfo{"TStaticText", &TCustomStaticText::ClassInfo, StaticTextProperties,
                                        [](TComponent* o) -> TComponent* { return new TStaticText(o); }};
