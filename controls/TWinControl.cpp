// Child lists, windows, the layout pass, painting, the tab list and keys of windowed controls.
#include "controls/TWinControl.h"

#include "controls/ColorToRGB.h"
#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/TReader.h"

#include <algorithm>

TWinControl::TWinControl(TComponent* owner) : TControl(owner), FPadding(std::make_unique<TPadding>()) {
    FPadding->OnChange = [this] { Realign(); };
}

TWinControl::~TWinControl() {
    SetComponentStateFlag(csDestroying, true);
    if (IFocusHost* host = FocusHost(); host && host->ActiveControl() == this) host->FocusChangedTo(nullptr);
    DestroyChildren();
    FPeer.reset();
}

// Children are destroyed with their parent, whoever owns them; each leaves its owner's list itself.
// Their windows go before the parent's, while the parent's window still exists.
void TWinControl::DestroyChildren() {
    while (!FWinControls.empty())
        delete FWinControls.back();
    while (!FControls.empty())
        delete FControls.back();
}

TControl* TWinControl::Controls(int index) const {
    auto i = static_cast<size_t>(index);
    if (i < FControls.size()) return FControls[i];
    return FWinControls.at(i - FControls.size());
}

bool TWinControl::ContainsControl(const TControl* control) const {
    for (const TControl* c = control; c; c = c->Parent())
        if (c == this) return true;
    return false;
}

void TWinControl::GetTabOrderList(std::vector<TWinControl*>& list) const {
    for (TWinControl* c : FTabList) {
        list.push_back(c);
        c->GetTabOrderList(list);
    }
}

void TWinControl::InsertControl(TControl* control) {
    if (auto* win = dynamic_cast<TWinControl*>(control)) {
        FWinControls.push_back(win);
        FTabList.push_back(win);
    } else {
        FControls.push_back(control);
    }
    // The child's parent pointer is set here so that the lists and the pointer never disagree.
    control->FParent = this;
    if (!(control->ControlState() & csReadingState)) {
        control->ParentColorChanged();
        control->ParentFontChanged();
        control->ParentShowHintChanged();
        if (auto* win = dynamic_cast<TWinControl*>(control)) {
            win->ParentDoubleBufferedChanged();
            win->ParentCtl3DChanged();
        }
    }
    if (auto* win = dynamic_cast<TWinControl*>(control)) {
        // A window made under another parent moves here with the control.
        win->AttachToParentWindow();
        win->UpdateShowing();
    } else {
        control->Invalidate();
    }
    Realign();
}

void TWinControl::RemoveControl(TControl* control) {
    // Compared by address: a child leaving from its destructor no longer has its windowed type.
    control->Invalidate();
    auto same = [control](TWinControl* w) { return static_cast<TControl*>(w) == control; };
    std::erase_if(FWinControls, same);
    std::erase_if(FTabList, same);
    std::erase(FControls, control);
    control->FParent = nullptr;
    // A control that leaves its parent takes its window out of the parent's window too: otherwise it
    // would stay drawn there, and go with the parent's window when that is destroyed.
    if (auto* win = dynamic_cast<TWinControl*>(control)) win->AttachToParentWindow();
    ControlRemoved(control);
    if (!(ComponentState() & csDestroying)) Realign();
}

// ---- Tab order ----

int TWinControl::TabOrder() const {
    if (FControlState & csReadingState) return FStoredTabOrder;
    if (!Parent()) return -1;
    const auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

void TWinControl::SetTabOrder(int v) {
    if (FControlState & csReadingState)
        FStoredTabOrder = v;
    else
        UpdateTabOrder(v);
}

void TWinControl::UpdateTabOrder(int value) {
    if (!Parent()) return;
    auto& list = Parent()->FTabList;
    auto it = std::find(list.begin(), list.end(), this);
    if (it == list.end()) return;
    list.erase(it);
    value = std::clamp(value, 0, static_cast<int>(list.size()));
    list.insert(list.begin() + value, this);
}

// ---- Inherited values ----

void TWinControl::SetDoubleBuffered(bool v) {
    FParentDoubleBuffered = false;
    if (FDoubleBuffered == v) return;
    FDoubleBuffered = v;
    if (FPeer) FPeer->SetDoubleBuffered(v);
    for (TWinControl* c : FWinControls)
        c->ParentDoubleBufferedChanged();
}

void TWinControl::SetParentDoubleBuffered(bool v) {
    if (FParentDoubleBuffered == v) return;
    FParentDoubleBuffered = v;
    if (v && !(FControlState & csReadingState)) ParentDoubleBufferedChanged();
}

void TWinControl::ParentDoubleBufferedChanged() {
    if (!FParentDoubleBuffered || !Parent()) return;
    SetDoubleBuffered(Parent()->DoubleBuffered());
    FParentDoubleBuffered = true;
}

void TWinControl::SetCtl3D(bool v) {
    if (!FUpdatingCtl3D) FParentCtl3D = false;
    if (FCtl3D == v) return;
    FCtl3D = v;
    Ctl3DChanged();
    for (TWinControl* c : FWinControls)
        c->ParentCtl3DChanged();
}

void TWinControl::SetParentCtl3D(bool v) {
    if (FParentCtl3D == v) return;
    FParentCtl3D = v;
    if (v && !(FControlState & csReadingState)) ParentCtl3DChanged();
}

void TWinControl::ParentCtl3DChanged() {
    if (!FParentCtl3D || !Parent()) return;
    FUpdatingCtl3D = true;
    SetCtl3D(Parent()->Ctl3D());
    FUpdatingCtl3D = false;
}

void TWinControl::FontChanged() {
    TControl::FontChanged();
    Invalidate();
    for (TControl* c : FControls)
        c->ParentFontChanged();
    for (TWinControl* c : FWinControls)
        c->ParentFontChanged();
}

void TWinControl::ColorChanged() {
    TControl::ColorChanged();
    Invalidate();
    for (TControl* c : FControls)
        c->ParentColorChanged();
    for (TWinControl* c : FWinControls)
        c->ParentColorChanged();
}

void TWinControl::ShowHintChanged() {
    for (TControl* c : FControls)
        c->ParentShowHintChanged();
    for (TWinControl* c : FWinControls)
        c->ParentShowHintChanged();
}

// ---- Reading ----

void TWinControl::ReadEntry(TReader& reader) {
    DisableAlign();
    try {
        TControl::ReadEntry(reader);
    } catch (...) {
        --FAlignLevel;
        throw;
    }
    // Rebuild the tab list from the stored orders: each child goes into the slot its number names (a
    // later child with the same number takes the slot); then, slot by slot, each slotted child moves to
    // that position. Children without a valid number keep their relative order.
    std::vector<TWinControl*> slots(FWinControls.size(), nullptr);
    for (TWinControl* c : FWinControls) {
        int j = c->FStoredTabOrder;
        if (j >= 0 && static_cast<size_t>(j) < slots.size()) slots[static_cast<size_t>(j)] = c;
    }
    for (size_t i = 0; i < slots.size(); ++i) {
        if (!slots[i]) continue;
        auto it = std::find(FTabList.begin(), FTabList.end(), slots[i]);
        if (it == FTabList.end()) continue;
        FTabList.erase(it);
        FTabList.insert(FTabList.begin() + static_cast<std::ptrdiff_t>(std::min(i, FTabList.size())),
                        slots[i]);
    }
    if (Parent()) {
        ParentDoubleBufferedChanged();
        ParentCtl3DChanged();
    }
    EnableAlign();
    UpdateShowing();
}

// ---- Layout ----

void TWinControl::EnableAlign() {
    if (FAlignLevel > 0 && --FAlignLevel == 0 && FAlignPending) Realign();
}

void TWinControl::Realign() {
    if (FInLayoutPass) return;
    if (AlignDisabled() || !HandleAllocated()) {
        FAlignPending = true;
        return;
    }
    FAlignPending = false;
    AlignControls();
}

TRect TWinControl::AlignmentRect() const {
    return ClientRect();
}

TRect TWinControl::PaddedAlignmentRect() const {
    TRect r = AlignmentRect();
    const TPadding& p = *FPadding;
    r = {r.Left + p.Left(), r.Top + p.Top(), r.Right - p.Right(), r.Bottom - p.Bottom()};
    // Padding wider than the area leaves an empty rectangle, never an inverted one.
    r.Right = std::max(r.Right, r.Left);
    r.Bottom = std::max(r.Bottom, r.Top);
    return r;
}

void TWinControl::PlaceChild(TControl* child, const TRect& box) {
    TRect r = box;
    if (child->AlignWithMargins()) {
        const TMargins& m = *child->Margins();
        r = {box.Left + m.Left(), box.Top + m.Top(), box.Right - m.Right(), box.Bottom - m.Bottom()};
    }
    child->SetBounds(r.Left, r.Top, std::max(0, r.Width()), std::max(0, r.Height()));
}

void TWinControl::AlignControls() {
    constexpr TAnchors kDefaultAnchors = AnchorBit(akLeft) | AnchorBit(akTop);
    std::vector<TControl*> children;
    for (int i = 0; i < ControlCount(); ++i)
        children.push_back(Controls(i));
    bool needed = std::any_of(children.begin(), children.end(), [&](TControl* c) {
        return c->Align() != TAlign::alNone || c->Anchors() != kDefaultAnchors;
    });
    if (!needed) return;
    FInLayoutPass = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{FInLayoutPass};

    TRect r = PaddedAlignmentRect();
    auto outer = [](TControl* c, int size, bool horizontal) {
        if (!c->AlignWithMargins()) return size;
        const TMargins& m = *c->Margins();
        return size + (horizontal ? m.Left() + m.Right() : m.Top() + m.Bottom());
    };
    for (TAlign kind : {TAlign::alTop, TAlign::alBottom, TAlign::alLeft, TAlign::alRight, TAlign::alClient}) {
        for (TControl* c : children) {
            if (c->Align() != kind || !c->Visible()) continue;
            switch (kind) {
            case TAlign::alTop: {
                int h = outer(c, c->Height(), false);
                PlaceChild(c, {r.Left, r.Top, r.Right, r.Top + h});
                r.Top += h;
                break;
            }
            case TAlign::alBottom: {
                int h = outer(c, c->Height(), false);
                PlaceChild(c, {r.Left, r.Bottom - h, r.Right, r.Bottom});
                r.Bottom -= h;
                break;
            }
            case TAlign::alLeft: {
                int w = outer(c, c->Width(), true);
                PlaceChild(c, {r.Left, r.Top, r.Left + w, r.Bottom});
                r.Left += w;
                break;
            }
            case TAlign::alRight: {
                int w = outer(c, c->Width(), true);
                PlaceChild(c, {r.Right - w, r.Top, r.Right, r.Bottom});
                r.Right -= w;
                break;
            }
            default:
                PlaceChild(c, r);
                break;
            }
        }
    }
    // Unaligned children move only as their anchors require, keeping the recorded distances.
    TRect client = ClientRect();
    for (TControl* c : children) {
        if (c->Align() != TAlign::alNone || c->Anchors() == kDefaultAnchors) continue;
        int left = c->Left(), top = c->Top(), width = c->Width(), height = c->Height();
        TAnchors a = c->Anchors();
        if (a & AnchorBit(akRight)) {
            if (a & AnchorBit(akLeft))
                width = client.Width() - c->AnchorRight() - left;
            else
                left = client.Width() - c->AnchorRight() - width;
        }
        if (a & AnchorBit(akBottom)) {
            if (a & AnchorBit(akTop))
                height = client.Height() - c->AnchorBottom() - top;
            else
                top = client.Height() - c->AnchorBottom() - height;
        }
        c->SetBounds(left, top, std::max(0, width), std::max(0, height));
    }
}

void TWinControl::BoundsChanged() {
    TControl::BoundsChanged();
    if (FPeer) FPeer->SetBounds(BoundsRect());
    Realign();
}

// ---- The window ----

bool TWinControl::Showing() const {
    return Visible() && Parent() && Parent()->Showing();
}

void TWinControl::HandleNeeded() {
    if (HandleAllocated()) return;
    if (!Parent()) {
        throw EInvalidOperation(Format(SParentRequired, {Name()}));
    }
    Parent()->HandleNeeded();
    if (!Parent()->ClientPeer() || !TPlatform::Current()) return;
    CreateWindowPeer();
    FParentWindow = Parent()->ClientPeer();
    if (FPeer && !Enabled()) FPeer->SetEnabled(false);
}

void TWinControl::AttachToParentWindow() {
    if (!FPeer) return;
    IWindowPeer* target = Parent() && Parent()->HandleAllocated() ? Parent()->ClientPeer() : nullptr;
    if (target == FParentWindow) return;
    FPeer->SetParentWindow(target);
    FParentWindow = target;
    if (!target) return;
    FPeer->SetBounds(BoundsRect());
    StackAmongSiblings();
}

std::unique_ptr<IWindowPeer> TWinControl::NewWindowPeer(IWindowPeer& parent) {
    return TPlatform::Current()->CreateChildWindow(parent, *this);
}

void TWinControl::CreateWindowPeer() {
    FPeer = NewWindowPeer(*Parent()->ClientPeer());
    FPeer->SetBounds(BoundsRect());
    FPeer->SetDoubleBuffered(FDoubleBuffered);
    InitializeWindowPeer();
    StackAmongSiblings();
    FPeer->SetVisible(Showing());
}

void TWinControl::StackAmongSiblings() {
    const auto& siblings = Parent()->FWinControls;
    auto self = std::find(siblings.begin(), siblings.end(), this);
    for (auto it = self == siblings.end() ? self : self + 1; it != siblings.end(); ++it) {
        if (IWindowPeer* next = (*it)->HandleAllocated() ? (*it)->ClientPeer() : nullptr) {
            FPeer->StackUnder(*next);
            break;
        }
    }
}

bool TWinControl::SettleMeasuresStep() {
    if (!FMeasuresPending) return false;
    for (TWinControl* windowed : FWinControls)
        if (windowed->SettleMeasuresStep()) return true;
    SettleOwnMeasures();
    FMeasuresPending = false;
    return true;
}

void TWinControl::SettleOwnMeasures() {
    if (!FMeasuresPending) return;
    for (int i = 0; i < ControlCount(); ++i) {
        TControl* control = Controls(i);
        if (!control->FMeasurePending) continue;
        control->FMeasurePending = false;
        control->MeasureNow();
    }
}

void TWinControl::UpdateShowing() {
    if (FControlState & csReadingState) return;
    if (Showing()) {
        // What put off measuring takes its size before anything of it is placed or shown; the windowed
        // children that show do the same below.
        SettleOwnMeasures();
        HandleNeeded();
        if (!FPeer) return;
        AttachToParentWindow();
        FPeer->SetBounds(BoundsRect());
        FPeer->SetVisible(true);
        if (FAlignPending) Realign();
        for (TWinControl* c : FWinControls)
            c->UpdateShowing();
    } else if (FPeer) {
        FPeer->SetVisible(false);
    }
}

void TWinControl::VisibleChanged() {
    if (!Visible())
        if (IFocusHost* host = FocusHost();
            host && host->ActiveControl() && ContainsControl(host->ActiveControl()))
            host->FocusChangedTo(nullptr);
    TControl::VisibleChanged();
    UpdateShowing();
}

// A disabled control gives up the focus, as a hidden one does, and its window takes no input.
void TWinControl::EnabledChanged() {
    if (!Enabled())
        if (IFocusHost* host = FocusHost();
            host && host->ActiveControl() && ContainsControl(host->ActiveControl()))
            host->FocusChangedTo(nullptr);
    TControl::EnabledChanged();
    if (IWindowPeer* peer = HandleAllocated() ? ClientPeer() : nullptr) peer->SetEnabled(Enabled());
}

void TWinControl::InvalidateRect(const TRect& rect) {
    if (IWindowPeer* peer = ClientPeer()) peer->Invalidate(&rect);
}

void TWinControl::Invalidate() {
    if (IWindowPeer* peer = ClientPeer()) peer->Invalidate(nullptr);
}

void TWinControl::Repaint() {
    Invalidate();
    if (IWindowPeer* peer = ClientPeer()) peer->Update();
}

// ---- Painting ----

void TWinControl::EraseBackground(ICanvas& canvas) {
    canvas.FillRect(ClientRect(), ColorToRGB(Color()));
}

void TWinControl::PaintHandler(ICanvas& canvas, const TRect& update) {
    EraseBackground(canvas);
    canvas.Save();
    // Opaque graphic children paint their whole rectangle: the control's own content need not go there.
    for (TControl* c : FControls)
        if (c->Visible() && c->Opaque()) canvas.ExcludeClip(c->BoundsRect());
    if (!canvas.ClipIsEmpty()) PaintContent(canvas);
    canvas.Restore();
    // Graphic children in list order: a later one paints over an earlier one.
    for (TControl* c : FControls) {
        if (!c->Visible() || !c->BoundsRect().Intersects(update)) continue;
        canvas.Save();
        canvas.Translate(c->Left(), c->Top());
        canvas.IntersectClip({0, 0, c->Width(), c->Height()});
        static_cast<TGraphicControl*>(c)->Paint(canvas);
        canvas.Restore();
    }
}

void TWinControl::WindowPaint(ICanvas& canvas, const TRect& update) {
    PaintHandler(canvas, update);
}

// ---- Focus and keys ----

bool TWinControl::Focused() const {
    return FPeer && FPeer->Focused();
}

void TWinControl::SetFocus() {
    IFocusHost* host = FocusHost();
    if (!host) throw EInvalidOperation(std::string(SCannotFocus));
    host->FocusControl(this);
}

bool TWinControl::DialogKey(int key, TShiftState shift) {
    for (TWinControl* c : FWinControls)
        if (c->Visible() && c->DialogKey(key, shift)) return true;
    return false;
}

bool TWinControl::WindowKeyDown(int key, TShiftState shift) {
    // The control's own keys first (false leaves them to the platform control's own handling); what it
    // does not want becomes a dialog key of the form.
    if (WantsKey(key, shift)) return KeyDown(key, shift);
    IFocusHost* host = FocusHost();
    return host && host->DialogKey(key, shift);
}

void TWinControl::WindowMouseDown(TMouseButton, int, int, TShiftState) {}

void TWinControl::WindowFocusChanged(bool focused) {
    if (!focused) return;
    if (IFocusHost* host = FocusHost()) host->FocusChangedTo(this);
}

std::string TWinControl::WindowHint(int x, int y) {
    for (auto it = FControls.rbegin(); it != FControls.rend(); ++it) {
        TRect r = (*it)->BoundsRect();
        if ((*it)->Visible() && x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom)
            return (*it)->HintText();
    }
    return HintText();
}

static TPersistent* GetPadding(const TWinControl& c) {
    return c.Padding();
}

static std::span<const TPropInfo> WinControlProperties() {
    using C = TWinControl;
    static const TPropInfo props[] = {
        ObjProp<C, &GetPadding, nullptr>("Padding"),
        OrdProp<C, &C::SetDoubleBuffered>("DoubleBuffered", TypeInfo_Boolean),
        OrdProp<C, &C::SetParentDoubleBuffered>("ParentDoubleBuffered", TypeInfo_Boolean),
        OrdProp<C, &C::SetTabOrder>("TabOrder", TypeInfo_Integer),
        OrdProp<C, &C::SetTabStop>("TabStop", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TWinControl::ClassInfo{"TWinControl", &TControl::ClassInfo, WinControlProperties};
