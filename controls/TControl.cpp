// Control bounds, inherited values and the published table every control shares.
#include "controls/TControl.h"

#include "controls/TWinControl.h"
#include "stream/Exceptions.h"
#include "stream/IdentMaps.h"
#include "stream/TReader.h"

TControl::TControl(TComponent* owner)
    : TComponent(owner), FMargins(std::make_unique<TMargins>()),
      FConstraints(std::make_unique<TSizeConstraints>()), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this] { FontChanged(); };
    FConstraints->OnChange = [this] { ConstraintsChanged(); };
}

TControl::~TControl() {
    if (FParent) FParent->RemoveControl(this);
}

void TControl::SetParent(TWinControl* parent) {
    if (FParent == parent) return;
    // A control inside itself would make every walk up or down the tree endless.
    for (TControl* c = parent; c; c = c->Parent())
        if (c == this) throw EInvalidOperation("A control cannot have itself as its parent");
    if (FParent) FParent->RemoveControl(this);
    if (parent) parent->InsertControl(this);
}

void TControl::SetParentComponent(TComponent* parent) {
    if (auto* win = dynamic_cast<TWinControl*>(parent)) SetParent(win);
}

void TControl::ConstrainSize(int& width, int& height) const {
    if ((FControlState & csReadingState) || (ComponentState() & csLoading)) return;
    const TSizeConstraints& c = *FConstraints;
    if (c.MaxWidth() > 0 && width > c.MaxWidth())
        width = c.MaxWidth();
    else if (c.MinWidth() > 0 && width < c.MinWidth())
        width = c.MinWidth();
    if (c.MaxHeight() > 0 && height > c.MaxHeight())
        height = c.MaxHeight();
    else if (c.MinHeight() > 0 && height < c.MinHeight())
        height = c.MinHeight();
}

void TControl::ConstraintsChanged() {
    SetBounds(FLeft, FTop, FWidth, FHeight);
}

void TControl::SetBounds(int left, int top, int width, int height) {
    ConstrainSize(width, height);
    if (left == FLeft && top == FTop && width == FWidth && height == FHeight) return;
    Invalidate();
    FLeft = left;
    FTop = top;
    FWidth = width;
    FHeight = height;
    if (!(FParent && FParent->InLayoutPass())) RecordAnchors();
    Invalidate();
    BoundsChanged();
    if (FParent) FParent->Realign();
}

void TControl::RecordAnchors() {
    if (!FParent) return;
    TRect client = FParent->ClientRect();
    FAnchorRight = client.Width() - (FLeft + FWidth);
    FAnchorBottom = client.Height() - (FTop + FHeight);
}

void TControl::FinishLoading() {
    TComponent::FinishLoading();
    RecordAnchors();
}

void TControl::Invalidate() {
    if (FParent && FVisible) FParent->InvalidateRect(BoundsRect());
}

void TControl::VisibleChanged() {
    if (!FParent) return;
    FParent->InvalidateRect(BoundsRect());
    FParent->Realign();
}

bool TControl::CanFocus() const {
    for (const TControl* c = this; c; c = c->FParent)
        if (!c->FVisible || !c->FEnabled) return false;
    return true;
}

std::string TControl::HintText() const {
    const TControl* c = this;
    while (c && !c->FShowHint)
        c = c->FParent;
    for (; c; c = c->FParent)
        if (!c->FHint.empty()) return c->FHint;
    return {};
}

IFocusHost* TControl::FocusHost() const {
    const TControl* c = this;
    while (c->FParent)
        c = c->FParent;
    return dynamic_cast<IFocusHost*>(const_cast<TControl*>(c));
}

void TControl::SetAlign(TAlign v) {
    if (FAlign == v) return;
    FAlign = v;
    if (FParent) FParent->Realign();
}
void TControl::SetAnchors(TAnchors v) {
    FAnchors = v & 0x0F;
}
void TControl::SetAlignWithMargins(bool v) {
    if (FAlignWithMargins == v) return;
    FAlignWithMargins = v;
    if (FParent) FParent->Realign();
}
namespace {
bool gMeasureHiddenLater = false;
} // namespace

void TControl::SetMeasureHiddenLater(bool v) {
    gMeasureHiddenLater = v;
}

bool TControl::MeasureHiddenLater() {
    return gMeasureHiddenLater;
}

bool TControl::OutOfView() const {
    for (const TWinControl* p = Parent(); p; p = p->Parent()) {
        if (!p->Parent()) return !p->Showing();
        if (!p->Visible()) return true;
    }
    return false;
}

bool TControl::LoadingOutOfView() const {
    return gMeasureHiddenLater && (ComponentState() & csLoading) && OutOfView();
}

void TControl::PutOffMeasuring() {
    FMeasurePending = true;
    for (TWinControl* p = Parent(); p; p = p->Parent())
        p->FMeasuresPending = true;
}

void TControl::SetVisible(bool v) {
    if (FVisible == v) return;
    if (!v) Invalidate();
    FVisible = v;
    VisibleChanged();
}
void TControl::SetEnabled(bool v) {
    if (FEnabled == v) return;
    FEnabled = v;
    EnabledChanged();
}

void TControl::EnabledChanged() {
    Invalidate();
}

void TControl::SetColor(TColor v) {
    if (FColor != v) {
        FColor = v;
        ColorChanged();
    }
    if (!FUpdatingFromParent) FParentColor = false;
}

void TControl::SetParentColor(bool v) {
    if (FParentColor == v) return;
    FParentColor = v;
    if (v) ParentColorChanged();
}

void TControl::SetParentFont(bool v) {
    if (FParentFont == v) return;
    FParentFont = v;
    if (v) ParentFontChanged();
}

void TControl::SetShowHint(bool v) {
    if (!FUpdatingFromParent) FParentShowHint = false;
    if (FShowHint == v) return;
    FShowHint = v;
    ShowHintChanged();
}

void TControl::SetParentShowHint(bool v) {
    if (FParentShowHint == v) return;
    FParentShowHint = v;
    if (v) ParentShowHintChanged();
}

void TControl::SetCaption(const std::string& v) {
    if (FText == v) return;
    FText = v;
    TextChanged();
}

// A font set on the control itself ends its inheritance from the parent.
void TControl::FontChanged() {
    if (!FUpdatingFromParent) FParentFont = false;
}

void TControl::ParentFontChanged() {
    if (!FParentFont || !FParent) return;
    FUpdatingFromParent = true;
    FFont->Assign(*FParent->Font());
    FUpdatingFromParent = false;
}

void TControl::ParentColorChanged() {
    if (!FParentColor || !FParent) return;
    FUpdatingFromParent = true;
    SetColor(FParent->Color());
    FUpdatingFromParent = false;
}

void TControl::ParentShowHintChanged() {
    if (!FParentShowHint || !FParent) return;
    FUpdatingFromParent = true;
    SetShowHint(FParent->ShowHint());
    FUpdatingFromParent = false;
}

void TControl::ReadEntry(TReader& reader) {
    FControlState |= csReadingState;
    SetParentComponent(reader.Parent());
    try {
        TComponent::ReadEntry(reader);
    } catch (...) {
        FControlState &= ~csReadingState;
        throw;
    }
    FControlState &= ~csReadingState;
    if (FParent) {
        ParentFontChanged();
        ParentColorChanged();
        ParentShowHintChanged();
    }
}

static TPersistent* GetMargins(const TControl& c) {
    return c.Margins();
}
static TPersistent* GetConstraints(const TControl& c) {
    return c.Constraints();
}
static TPersistent* GetFont(const TControl& c) {
    return c.Font();
}

static std::span<const TPropInfo> ControlProperties() {
    using C = TControl;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetAlign>("Align", TypeInfo_TAlign),
        OrdProp<C, &C::SetAlignWithMargins>("AlignWithMargins", TypeInfo_Boolean),
        OrdProp<C, &C::SetAnchors>("Anchors", TypeInfo_TAnchors),
        OrdProp<C, &C::SetColor>("Color", TypeInfo_TColor),
        ObjProp<C, &GetConstraints, nullptr>("Constraints"),
        OrdProp<C, &C::SetEnabled>("Enabled", TypeInfo_Boolean),
        ObjProp<C, &GetFont, &C::SetFont>("Font"),
        OrdProp<C, &C::SetHeight>("Height", TypeInfo_Integer),
        StrProp<C, &C::SetHint>("Hint"),
        OrdProp<C, &C::SetLeft>("Left", TypeInfo_Integer),
        ObjProp<C, &GetMargins, nullptr>("Margins"),
        OrdProp<C, &C::SetParentColor>("ParentColor", TypeInfo_Boolean),
        OrdProp<C, &C::SetParentFont>("ParentFont", TypeInfo_Boolean),
        OrdProp<C, &C::SetParentShowHint>("ParentShowHint", TypeInfo_Boolean),
        OrdProp<C, &C::SetShowHint>("ShowHint", TypeInfo_Boolean),
        OrdProp<C, &C::SetTop>("Top", TypeInfo_Integer),
        OrdProp<C, &C::SetVisible>("Visible", TypeInfo_Boolean),
        OrdProp<C, &C::SetWidth>("Width", TypeInfo_Integer),
    };
    return props;
}

const TClassInfo TControl::ClassInfo{"TControl", &TComponent::ClassInfo, ControlProperties};
const TClassInfo TGraphicControl::ClassInfo{"TGraphicControl", &TControl::ClassInfo};
