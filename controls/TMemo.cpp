// Edits and memos on the platform edit control: the window and its style, the text it holds, keys.
#include "controls/TMemo.h"

#include "controls/ColorToRGB.h"

namespace {
TNativeAlignment NativeAlignment(TAlignment a) {
    switch (a) {
    case TAlignment::taRightJustify:
        return TNativeAlignment::Right;
    case TAlignment::taCenter:
        return TNativeAlignment::Center;
    default:
        return TNativeAlignment::Left;
    }
}
} // namespace

TCustomEdit::TCustomEdit(TComponent* owner) : TWinControl(owner) {
    SetBounds(0, 0, 121, 21);
    FTabStop = true;
    SetColor(clWindow);
    FParentColor = false;
}

// The window goes first, while the control it reports to is still whole.
TCustomEdit::~TCustomEdit() {
    FPeer.reset();
}

IEditPeer& TCustomEdit::TextPeer() const {
    // Reading the text needs the platform control, as it does on the platform itself.
    // Out of view while the program loads, a text the window would lay out waits for it held.
    auto* self = const_cast<TCustomEdit*>(this);
    if (!FPeer && TPlatform::Current()) {
        if (LoadingOutOfView())
            self->PutOffMeasuring();
        else
            self->HandleNeeded();
    }
    if (IEditPeer* edit = EditPeer()) return *edit;
    if (!FHeldText) {
        FHeldText = NewHeldText();
        FHeldText->SetMaxLength(FMaxLength);
    }
    return *FHeldText;
}

TEditParams TCustomEdit::CreateParams() const {
    TEditParams params;
    params.ClientEdge = FBorderStyle == TBorderStyle::bsSingle && Ctl3D();
    params.Border = FBorderStyle == TBorderStyle::bsSingle && !Ctl3D();
    params.WordWrap = false;
    params.ReadOnly = FReadOnly;
    params.HideSelection = FHideSelection;
    return params;
}

std::unique_ptr<IWindowPeer> TCustomEdit::NewWindowPeer(IWindowPeer& parent) {
    return TPlatform::Current()->CreateEdit(parent, *this, CreateParams());
}

void TCustomEdit::MeasureNow() {
    HandleNeeded();
}

std::unique_ptr<TInMemoryEditPeer> TCustomEdit::NewHeldText() const {
    return std::make_unique<TInMemoryEditPeer>(false, CreateParams());
}

void TCustomEdit::ApplyWindowState(IEditPeer& edit) {
    edit.SetMaxLength(FMaxLength);
}

void TCustomEdit::ApplyFont(IEditPeer& edit) {
    edit.SetFont(Font()->Handle());
    edit.SetColors(ColorToRGB(Font()->Color()), ColorToRGB(Color()));
}

TCustomEdit::TSavedText TCustomEdit::SaveText(IEditPeer& edit) const {
    TSavedText saved;
    saved.Content = edit.Text();
    edit.GetSelection(saved.SelStart, saved.SelEnd);
    saved.Modified = edit.Modified();
    return saved;
}

void TCustomEdit::RestoreText(IEditPeer& edit, const TSavedText& saved) {
    edit.SetText(saved.Content);
    edit.SetSelection(saved.SelStart, saved.SelEnd);
    edit.SetModified(saved.Modified);
}

void TCustomEdit::InitializeWindowPeer() {
    IEditPeer& edit = *EditPeer();
    InitializeWindow(edit);
    ApplyWindowState(edit);
    if (FHeldText) {
        RestoreText(edit, TCustomEdit::SaveText(*FHeldText));
        FHeldText.reset();
    } else if (FSaved) {
        RestoreText(edit, *FSaved);
        FSaved.reset();
    }
}

void TCustomEdit::RecreateWindow() {
    IEditPeer* old = EditPeer();
    if (!old) return;
    TSavedText saved = SaveText(*old);
    bool focused = Focused();
    FPeer.reset();
    FSaved = std::move(saved);
    UpdateShowing();
    if (focused && FPeer) FPeer->SetFocus();
}

void TCustomEdit::FontChanged() {
    TWinControl::FontChanged();
    if (IEditPeer* edit = EditPeer()) ApplyFont(*edit);
}

void TCustomEdit::ColorChanged() {
    TWinControl::ColorChanged();
    if (IEditPeer* edit = EditPeer()) edit->SetColors(ColorToRGB(Font()->Color()), ColorToRGB(Color()));
}

void TCustomEdit::SetReadOnly(bool v) {
    if (FReadOnly == v) return;
    FReadOnly = v;
    if (IEditPeer* edit = EditPeer()) edit->SetReadOnly(v);
}

void TCustomEdit::SetMaxLength(int v) {
    v = v < 0 ? 0 : v;
    if (FMaxLength == v) return;
    FMaxLength = v;
    if (IEditPeer* edit = EditPeer()) edit->SetMaxLength(v);
    if (FHeldText) FHeldText->SetMaxLength(v);
}

void TCustomEdit::SetHideSelection(bool v) {
    if (FHideSelection == v) return;
    FHideSelection = v;
    RecreateWindow();
}

void TCustomEdit::SetBorderStyle(TBorderStyle v) {
    if (FBorderStyle == v) return;
    FBorderStyle = v;
    RecreateWindow();
}

int TCustomEdit::SelStart() const {
    int start = 0, end = 0;
    TextPeer().GetSelection(start, end);
    return start;
}

void TCustomEdit::SetSelStart(int v) {
    TextPeer().SetSelection(v, v);
}

int TCustomEdit::SelLength() const {
    int start = 0, end = 0;
    TextPeer().GetSelection(start, end);
    return end - start;
}

void TCustomEdit::SetSelLength(int v) {
    int start = SelStart();
    TextPeer().SetSelection(start, start + v);
}

void TCustomEdit::FinishLoading() {
    TWinControl::FinishLoading();
    if (IEditPeer* edit = EditPeer()) edit->SetModified(false);
    if (FHeldText) FHeldText->SetModified(false);
    if (FSaved) FSaved->Modified = false;
}

// The edit moves its caret with the arrow and Home/End keys itself.
bool TCustomEdit::WantsKey(int key, TShiftState) const {
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
    case VK_HOME:
    case VK_END:
        return true;
    default:
        return false;
    }
}

static std::span<const TPropInfo> EditProperties() {
    using C = TCustomEdit;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetBorderStyle>("BorderStyle", TypeInfo_TBorderStyle),
        OrdProp<TWinControl, &TWinControl::SetCtl3D>("Ctl3D", TypeInfo_Boolean),
        OrdProp<C, &C::SetHideSelection>("HideSelection", TypeInfo_Boolean),
        OrdProp<C, &C::SetMaxLength>("MaxLength", TypeInfo_Integer),
        OrdProp<TWinControl, &TWinControl::SetParentCtl3D>("ParentCtl3D", TypeInfo_Boolean),
        OrdProp<C, &C::SetReadOnly>("ReadOnly", TypeInfo_Boolean),
    };
    return props;
}

// ---- Memo ----

TCustomMemo::TCustomMemo(TComponent* owner) : TCustomMemo(owner, nullptr) {}

TCustomMemo::TCustomMemo(TComponent* owner, std::unique_ptr<TMemoStrings> lines)
    : TCustomEdit(owner), FLines(lines ? std::move(lines) : std::make_unique<TMemoStrings>(*this)) {
    SetBounds(0, 0, 185, 89);
}

TEditParams TCustomMemo::CreateParams() const {
    TEditParams params = TCustomEdit::CreateParams();
    params.WordWrap = FWordWrap;
    params.HorzScrollBar = FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth;
    params.VertScrollBar = FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth;
    params.Alignment = NativeAlignment(FAlignment);
    params.WantTabs = FWantTabs;
    return params;
}

void TCustomMemo::SetAlignment(TAlignment v) {
    if (FAlignment == v) return;
    FAlignment = v;
    RecreateWindow();
}

void TCustomMemo::SetScrollBars(TScrollStyle v) {
    if (FScrollBars == v) return;
    FScrollBars = v;
    RecreateWindow();
}

void TCustomMemo::SetWordWrap(bool v) {
    if (FWordWrap == v) return;
    FWordWrap = v;
    RecreateWindow();
}

void TCustomMemo::SetWantTabs(bool v) {
    if (FWantTabs == v) return;
    FWantTabs = v;
    if (IEditPeer* edit = EditPeer()) edit->SetWantTabs(v);
}

// A memo also pages with its own keys; Enter (and Escape with it) when it takes returns, Tab when it
// takes tabs. Everything else it does not want moves the focus or reaches the form.
bool TCustomMemo::WantsKey(int key, TShiftState shift) const {
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
        return true;
    case VK_RETURN:
    case VK_ESCAPE:
        return FWantReturns;
    case VK_TAB:
        return FWantTabs && !(shift & ssCtrl);
    default:
        return TCustomEdit::WantsKey(key, shift);
    }
}

static TPersistent* GetLines(const TCustomMemo& c) {
    return c.Lines();
}

static std::span<const TPropInfo> MemoProperties() {
    using C = TCustomMemo;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetAlignment>("Alignment", TypeInfo_TAlignment),
        ObjProp<C, &GetLines, nullptr>("Lines"),
        OrdProp<C, &C::SetScrollBars>("ScrollBars", TypeInfo_TScrollStyle),
        OrdProp<C, &C::SetWantReturns>("WantReturns", TypeInfo_Boolean),
        OrdProp<C, &C::SetWantTabs>("WantTabs", TypeInfo_Boolean),
        OrdProp<C, &C::SetWordWrap>("WordWrap", TypeInfo_Boolean),
    };
    return props;
}

const TClassInfo TCustomEdit::ClassInfo{"TCustomEdit", &TWinControl::ClassInfo, EditProperties};
const TClassInfo TCustomMemo::ClassInfo{"TCustomMemo", &TCustomEdit::ClassInfo, MemoProperties};
const TClassInfo TMemo::ClassInfo{"TMemo", &TCustomMemo::ClassInfo, nullptr,
                                  [](TComponent* o) -> TComponent* { return new TMemo(o); }};
