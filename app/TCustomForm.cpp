// Form defaults, the form's stored properties and the loading of its definition.
#include "app/TCustomForm.h"

#include "app/TApplication.h"
#include "controls/TMenuItem.h"

#include <algorithm>

#include "stream/Consts.h"
#include "stream/Exceptions.h"
#include "stream/Loader.h"
#include "stream/Registries.h"
#include "stream/TReader.h"

namespace {
constexpr std::string_view kPosition[] = {"poDesigned",        "poDefault",        "poDefaultPosOnly",
                                          "poDefaultSizeOnly", "poScreenCenter",   "poDesktopCenter",
                                          "poMainFormCenter",  "poOwnerFormCenter"};
constexpr std::string_view kFormBorderStyle[] = {"bsNone",   "bsSingle",     "bsSizeable",
                                                 "bsDialog", "bsToolWindow", "bsSizeToolWin"};
constexpr std::string_view kBorderIcon[] = {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"};
constexpr std::string_view kWindowState[] = {"wsNormal", "wsMinimized", "wsMaximized"};
constexpr std::string_view kFormStyle[] = {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"};
constexpr std::string_view kDefaultMonitor[] = {"dmDesktop", "dmPrimary", "dmMainForm", "dmActiveForm"};

using enum TTypeKind;
const TTypeInfo TypeInfo_TPosition{"TPosition", tkEnumeration, kPosition};
const TTypeInfo TypeInfo_TFormBorderStyle{"TFormBorderStyle", tkEnumeration, kFormBorderStyle};
const TTypeInfo TypeInfo_TBorderIcon{"TBorderIcon", tkEnumeration, kBorderIcon};
const TTypeInfo TypeInfo_TBorderIcons{"TBorderIcons", tkSet, {}, &TypeInfo_TBorderIcon};
const TTypeInfo TypeInfo_TWindowState{"TWindowState", tkEnumeration, kWindowState};
const TTypeInfo TypeInfo_TFormStyle{"TFormStyle", tkEnumeration, kFormStyle};
const TTypeInfo TypeInfo_TDefaultMonitor{"TDefaultMonitor", tkEnumeration, kDefaultMonitor};
} // namespace

TCustomForm::TCustomForm(TComponent* owner)
    : TScrollingWinControl(owner), FPixelsPerInch(DefFontData().PixelsPerInch),
      FIcon(std::make_unique<TIcon>()) {
    SetBounds(0, 0, 320, 240);
    SetColor(clBtnFace);
    FParentFont = false;
    FParentColor = false;
    SetVisible(false);
    FIcon->OnChange = [this](TGraphic*) { ApplyIcon(); };
    // The one class a definition may name beyond a form's own fields; registered with its ancestors,
    // once, before the first definition is read.
    static const bool menuClassesRegistered = (RegisterClass(TMenuItem::ClassInfo), true);
    (void)menuClassesRegistered;
    RegisterRoot(this);
}

TCustomForm::~TCustomForm() {
    UnregisterRoot(this);
    FActiveControl = nullptr;
    // The children's windows go before the top-level window that holds them.
    DestroyChildren();
    FWindow.reset();
}

TRect TCustomForm::ClientRect() const {
    if (FWindow) {
        TSize size = FWindow->ClientSize();
        return {0, 0, size.cx, size.cy};
    }
    return {0, 0, Width() - TFrameMetrics::Left - TFrameMetrics::Right,
            Height() - TFrameMetrics::Top - TFrameMetrics::Bottom};
}

void TCustomForm::FocusControl(TWinControl* control) {
    if (!control || !ContainsControl(control) || !control->CanFocus())
        throw EInvalidOperation(std::string(SCannotFocus));
    FActiveControl = control;
    control->HandleNeeded();
    if (IWindowPeer* peer = control->ClientPeer()) peer->SetFocus();
}

void TCustomForm::FocusChangedTo(TWinControl* control) {
    FActiveControl = control && ContainsControl(control) ? control : nullptr;
}

TWinControl* TCustomForm::FindNextControl(TWinControl* current, bool forward, bool checkTabStop,
                                          bool checkParent) const {
    std::vector<TWinControl*> list;
    GetTabOrderList(list);
    if (list.empty()) return nullptr;
    auto it = std::find(list.begin(), list.end(), current);
    size_t n = list.size();
    // With no current control the search begins with the first (or, backward, the last) of the list.
    size_t start = it == list.end() ? (forward ? n - 1 : 0) : static_cast<size_t>(it - list.begin());
    for (size_t step = 1; step <= n; ++step) {
        size_t i = forward ? (start + step) % n : (start + n - step % n) % n;
        TWinControl* c = list[i];
        if (checkParent && current && c->Parent() != current->Parent()) continue;
        if (c->CanFocus() && (!checkTabStop || c->TabStop())) return c;
    }
    return nullptr;
}

void TCustomForm::SelectNext(TWinControl* current, bool forward, bool checkTabStop) {
    if (TWinControl* next = FindNextControl(current, forward, checkTabStop, !checkTabStop))
        FocusControl(next);
}

bool TCustomForm::DialogKey(int key, unsigned shift) {
    if (!(shift & ssAlt)) {
        if (key == VK_TAB && !(shift & ssCtrl)) {
            SelectNext(FActiveControl, !(shift & ssShift), true);
            return true;
        }
        if ((key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) && FActiveControl) {
            SelectNext(FActiveControl, key == VK_RIGHT || key == VK_DOWN, false);
            return true;
        }
    }
    // The other navigation keys are offered to the children, one after another.
    return TScrollingWinControl::DialogKey(key, shift);
}

void TCustomForm::WindowResized(int, int) {
    // The client area changed size (the window, or a scroll bar shown or hidden).
    Realign();
}

void TCustomForm::WindowScroll(TScrollBarKind kind, TScrollCode code, int pos) {
    ScrollMessage(kind, code, pos);
}

TPoint TCustomForm::CenteredPosition(const TRect& workArea, int width, int height) {
    TPoint p{workArea.Left + (workArea.Width() - width) / 2, workArea.Top + (workArea.Height() - height) / 2};
    if (p.X < workArea.Left) p.X = workArea.Left;
    if (p.Y < workArea.Top) p.Y = workArea.Top;
    return p;
}

void TCustomForm::HandleNeeded() {
    if (FWindow) return;
    TPlatform* platform = TPlatform::Current();
    if (!platform) return;
    FWindow = platform->CreateFormWindow(*this, *this);
    if (!Enabled() && FWindow->Client()) FWindow->Client()->SetEnabled(false);
    FWindow->SetCaption(Caption());
    ApplyIcon();
    ApplyTrackingLimits();
    // Until the first show centres it, the window stands at the platform's default place.
    FWindow->SetOuterBounds({0, 0, Width(), Height()});
}

void TCustomForm::ApplyTrackingLimits() {
    if (!FWindow || (FControlState & csReadingState)) return;
    const TSizeConstraints& c = *Constraints();
    FWindow->SetTrackingLimits(c.MinWidth(), c.MinHeight(), c.MaxWidth(), c.MaxHeight());
}

// The window shows the form's own icon, or the application's when the form has none.
void TCustomForm::ApplyIcon() {
    if (!FWindow) return;
    if (!FIcon->Empty())
        FWindow->SetIcon(FIcon->FileBytes());
    else if (Application)
        FWindow->SetIcon(Application->IconFile());
}

void TCustomForm::TextChanged() {
    if (FWindow) FWindow->SetCaption(Caption());
}

void TCustomForm::ConstraintsChanged() {
    TScrollingWinControl::ConstraintsChanged();
    ApplyTrackingLimits();
}

void TCustomForm::SetBounds(int left, int top, int width, int height) {
    TScrollingWinControl::SetBounds(left, top, width, height);
    if (FWindow && !FSyncingFromWindow && FShownOnce)
        FWindow->SetOuterBounds({Left(), Top(), Left() + Width(), Top() + Height()});
}

void TCustomForm::FirstShow() {
    FShownOnce = true;
    if (FPosition == TPosition::poScreenCenter || FPosition == TPosition::poDesktopCenter) {
        TPoint p = CenteredPosition(FWindow->MonitorWorkArea(), Width(), Height());
        SetBounds(p.X, p.Y, Width(), Height());
        FPosition = TPosition::poDesigned;
    } else {
        FWindow->SetOuterBounds({Left(), Top(), Left() + Width(), Top() + Height()});
    }
}

void TCustomForm::Close() {
    if (!CloseQuery()) return;
    TCloseAction action = TCloseAction::caHide;
    DoClose(action);
    if (action == TCloseAction::caNone) return;
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else
        SetVisible(false);
}

void TCustomForm::WindowCloseRequested() {
    // Nothing raised while closing may cross the platform's event loop.
    try {
        Close();
    } catch (...) {
        if (Application) Application->HandleException(this);
    }
}

void TCustomForm::WindowMoved(const TRect& outer) {
    if (!FShownOnce) return;
    FSyncingFromWindow = true;
    TControl::SetBounds(outer.Left, outer.Top, outer.Width(), outer.Height());
    FSyncingFromWindow = false;
}

int TCustomForm::PixelsPerInch() const {
    return FScaled ? FPixelsPerInch : DefFontData().PixelsPerInch;
}

void TCustomForm::SetPixelsPerInch(int v) {
    if (v != FPixelsPerInch && v > 35) FPixelsPerInch = v;
}

// While the form is being created, Visible only records the wish; it is acted on after loading.
void TCustomForm::SetVisible(bool v) {
    if (FFormState & fsCreating) {
        if (v)
            FFormState |= fsVisible;
        else
            FFormState &= ~fsVisible;
        return;
    }
    TScrollingWinControl::SetVisible(v);
    if (ComponentState() & csLoading) return;
    if (v) HandleNeeded();
    if (!FWindow) return;
    if (!v) {
        FWindow->Hide();
        return;
    }
    if (FWindow->IsVisible()) return;
    if (!FShownOnce) FirstShow();
    static constexpr int kShowCommand[] = {SW_SHOWNORMAL, SW_SHOWMINNOACTIVE, SW_SHOWMAXIMIZED};
    FWindow->Show(kShowCommand[static_cast<int>(FWindowState)]);
    FWindow->Client()->SetDoubleBuffered(DoubleBuffered());
    // Now showing: what was put off while the form was created is measured, the children get their
    // windows, and the layout pass its first run.
    SettleOwnMeasures();
    for (TWinControl* c : WindowedChildren())
        c->UpdateShowing();
    Realign();
}

// On activation the focus returns to the active control, or, with none (or one that can no longer
// take it), goes to the first control of the tab order that can.
void TCustomForm::WindowActivated(bool active) {
    if (!active || !Visible() || !Enabled()) return;
    try {
        if (FActiveControl && FActiveControl->CanFocus()) {
            FocusControl(FActiveControl);
            return;
        }
        FActiveControl = nullptr;
        if (TWinControl* first = FindNextControl(nullptr, true, true, false)) FocusControl(first);
    } catch (...) {
        if (Application) Application->HandleException(this);
    }
}

void TCustomForm::DeclareProperties(TFiler& filer) {
    TScrollingWinControl::DeclareProperties(filer);
    filer.DefineProperty(
        "TextHeight", [this](TReader& r) { FTextHeight = r.ReadInteger(); }, true);
}

void TCustomForm::ReadEntry(TReader& reader) {
    if (ClassType().Parent == &TForm::ClassInfo) FOldCreateOrder = false;
    DisableAlign();
    try {
        TScrollingWinControl::ReadEntry(reader);
    } catch (...) {
        EnableAlign();
        throw;
    }
    EnableAlign();
}

void TCustomForm::LoadFromDefinition() {
    FFormState |= fsCreating;
    DisableAlign();
    try {
        if (!InitInheritedComponent(this, TForm::ClassInfo))
            throw EResNotFound(Format(SConsts::SResNotFound, {ClassName()}));
    } catch (...) {
        EnableAlign();
        FFormState &= ~fsCreating;
        throw;
    }
    EnableAlign();
    // A window made while the definition was read gets the size limits now that they are known.
    ApplyTrackingLimits();
    FFormState &= ~fsCreating;
    if (FOldCreateOrder && (FFormState & fsVisible)) SetVisible(true);
}

static TPersistent* GetIcon(const TCustomForm& f) {
    return f.Icon();
}

static std::span<const TPropInfo> FormProperties() {
    using C = TCustomForm;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetBorderIcons>("BorderIcons", TypeInfo_TBorderIcons),
        OrdProp<C, &C::SetBorderStyle>("BorderStyle", TypeInfo_TFormBorderStyle),
        StrProp<TControl, &TControl::SetCaption>("Caption"),
        // The form's own 3-D look is the platform frame's; its controls follow the value.
        OrdProp<TWinControl, &TWinControl::SetCtl3D>("Ctl3D", TypeInfo_Boolean),
        OrdProp<C, &C::SetDefaultMonitor>("DefaultMonitor", TypeInfo_TDefaultMonitor),
        OrdProp<C, &C::SetFormStyle>("FormStyle", TypeInfo_TFormStyle),
        ObjProp<C, &GetIcon, &C::SetIcon>("Icon"),
        OrdProp<C, &C::SetOldCreateOrder>("OldCreateOrder", TypeInfo_Boolean),
        OrdProp<C, &C::SetPixelsPerInch>("PixelsPerInch", TypeInfo_Integer),
        OrdProp<C, &C::SetPosition>("Position", TypeInfo_TPosition),
        OrdProp<C, &C::SetScaled>("Scaled", TypeInfo_Boolean),
        OrdProp<C, &C::SetWindowState>("WindowState", TypeInfo_TWindowState),
    };
    return props;
}

const TClassInfo TCustomForm::ClassInfo{"TCustomForm", &TScrollingWinControl::ClassInfo, FormProperties};
const TClassInfo TForm::ClassInfo{"TForm", &TCustomForm::ClassInfo};
