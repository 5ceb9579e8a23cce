// Labels: measuring the caption for AutoSize, and painting it on the parent's surface.
#include "controls/TLabel.h"

#include "controls/ColorToRGB.h"
#include "controls/TWinControl.h"

TCustomLabel::TCustomLabel(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 65, 17);
}

void TCustomLabel::SetAlignment(TAlignment v) {
    if (FAlignment == v) return;
    FAlignment = v;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout v) {
    if (FLayout == v) return;
    FLayout = v;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool v) {
    if (FWordWrap == v) return;
    FWordWrap = v;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool v) {
    if (FAutoSize == v) return;
    FAutoSize = v;
    AdjustBounds();
}

void TCustomLabel::SetTransparent(bool v) {
    if (FTransparent == v) return;
    FTransparent = v;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool v) {
    if (FShowAccelChar == v) return;
    FShowAccelChar = v;
    Invalidate();
}

void TCustomLabel::TextChanged() {
    Invalidate();
    AdjustBounds();
}

void TCustomLabel::FontChanged() {
    TGraphicControl::FontChanged();
    Invalidate();
    AdjustBounds();
}

void TCustomLabel::FinishLoading() {
    TGraphicControl::FinishLoading();
    // Out of view while the program loads, the caption is measured when it is about to show.
    if (FAutoSize && MeasureHiddenLater() && OutOfView())
        PutOffMeasuring();
    else
        AdjustBounds();
}

void TCustomLabel::MeasureNow() {
    AdjustBounds();
}

unsigned TCustomLabel::DrawTextFlags() const {
    static constexpr unsigned kAlign[] = {DT_LEFT, DT_RIGHT, DT_CENTER};
    unsigned flags = DT_EXPANDTABS | kAlign[static_cast<int>(FAlignment)];
    if (FWordWrap) flags |= DT_WORDBREAK;
    if (!FShowAccelChar) flags |= DT_NOPREFIX;
    return flags;
}

void TCustomLabel::AdjustBounds() {
    FMeasurePending = false;
    if (!FAutoSize || (ComponentState() & csLoading) || (FControlState & csReadingState)) return;
    TPlatform* platform = TPlatform::Current();
    if (!platform) return;
    std::unique_ptr<ICanvas> canvas = platform->CreateMeasuringCanvas();
    canvas->SelectFont(Font()->Handle());
    // Wrapping keeps the current width (a single line shrinks to its own); an empty caption measures as
    // one blank, so an empty label keeps the height of a line.
    const std::string text = Caption().empty() ? std::string(" ") : Caption();
    unsigned flags = (DrawTextFlags() & ~(DT_CENTER | DT_RIGHT)) | DT_CALCRECT;
    TRect r = ClientRect();
    canvas->DrawText(text, r, flags);
    // Text that wraps to a single line takes its own width, not the label's.
    if (FWordWrap && r.Height() <= canvas->TextHeight()) {
        r = ClientRect();
        canvas->DrawText(text, r, flags & ~DT_WORDBREAK);
    }
    int left = Left();
    if (FAlignment == TAlignment::taRightJustify) left += Width() - r.Right;
    SetBounds(left, Top(), r.Right, r.Bottom);
}

void TCustomLabel::Paint(ICanvas& canvas) {
    TRect r = ClientRect();
    if (!FTransparent) {
        // clDefault has no colour of its own: the label shows what it stands on.
        TColor fill = Color() != clDefault ? Color() : Parent() ? Parent()->Color() : clBtnFace;
        canvas.FillRect(r, ColorToRGB(fill));
    }
    if (Caption().empty()) return;
    canvas.SelectFont(Font()->Handle());
    canvas.SetTextColor(ColorToRGB(Font()->Color()));
    unsigned flags = DrawTextFlags();
    if (FLayout != TTextLayout::tlTop) {
        TRect text = r;
        canvas.DrawText(Caption(), text, flags | DT_CALCRECT);
        int slack = Height() - text.Bottom;
        r = r.Offset(0, FLayout == TTextLayout::tlBottom ? slack : slack / 2);
    }
    canvas.DrawText(Caption(), r, flags);
}

static std::span<const TPropInfo> LabelProperties() {
    using C = TCustomLabel;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetAlignment>("Alignment", TypeInfo_TAlignment),
        OrdProp<C, &C::SetAutoSize>("AutoSize", TypeInfo_Boolean),
        StrProp<TControl, &TControl::SetCaption>("Caption"),
        OrdProp<C, &C::SetLayout>("Layout", TypeInfo_TTextLayout),
        OrdProp<C, &C::SetShowAccelChar>("ShowAccelChar", TypeInfo_Boolean),
        OrdProp<C, &C::SetTransparent>("Transparent", TypeInfo_Boolean),
        OrdProp<C, &C::SetWordWrap>("WordWrap", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TCustomLabel::ClassInfo{"TCustomLabel", &TGraphicControl::ClassInfo};
const TClassInfo TLabel::ClassInfo{"TLabel", &TCustomLabel::ClassInfo, LabelProperties,
                                   [](TComponent* o) -> TComponent* { return new TLabel(o); }};
