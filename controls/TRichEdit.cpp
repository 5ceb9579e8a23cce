// Rich edits on the platform rich edit control: the default character format, the window's style and
// its re-creation with the content kept.
#include "controls/TRichEdit.h"

#include "controls/ColorToRGB.h"
#include "stream/TextCodec.h"

namespace {
// The character set of the platform's system font: its 8-bit code page is Windows-1252.
constexpr TFontCharset kSystemFontCharset = ANSI_CHARSET;
} // namespace

TCustomRichEdit::TCustomRichEdit(TComponent* owner)
    : TCustomMemo(owner, std::make_unique<TRichEditStrings>(*this)) {
    SetDoubleBuffered(false);
    SetParentDoubleBuffered(false);
}

TEditParams TCustomRichEdit::CreateParams() const {
    TEditParams params = TCustomMemo::CreateParams();
    params.HideScrollBars = FHideScrollBars;
    return params;
}

std::unique_ptr<IWindowPeer> TCustomRichEdit::NewWindowPeer(IWindowPeer& parent) {
    return TPlatform::Current()->CreateRichEdit(parent, *this, CreateParams());
}

std::unique_ptr<TInMemoryEditPeer> TCustomRichEdit::NewHeldText() const {
    return std::make_unique<TInMemoryEditPeer>(true, CreateParams());
}

TCharFormat TCustomRichEdit::DefaultCharFormat() const {
    const TFont& font = *Font();
    TCharFormat format;
    std::u16string face = TextCodec::Utf16FromUtf8(font.Name());
    if (face.size() > 31) {
        // Never the first half of a surrogate pair without its second.
        size_t n = face[30] >= 0xD800 && face[30] < 0xDC00 ? 30 : 31;
        face.resize(n);
    }
    format.FaceName = TextCodec::Utf8FromUtf16(face);
    format.SizeTwips = font.Size() * 20;
    format.AutoColor = font.Color() == clWindowText;
    format.Color = format.AutoColor ? 0 : ColorToRGB(font.Color());
    format.CharSet = font.Charset();
    TFontStyles style = font.Style();
    format.Bold = style & (1u << fsBold);
    format.Italic = style & (1u << fsItalic);
    format.Underline = style & (1u << fsUnderline);
    format.StrikeOut = style & (1u << fsStrikeOut);
    return format;
}

// The rich edit takes the font as its default character format, not as a window font.
void TCustomRichEdit::ApplyFont(IEditPeer& edit) {
    static_cast<IRichEditPeer&>(edit).SetDefaultCharFormat(DefaultCharFormat());
}

void TCustomRichEdit::InitializeWindow(IEditPeer& edit) {
    auto& rich = static_cast<IRichEditPeer&>(edit);
    ApplyFont(rich);
    Font()->SetCharset(kSystemFontCharset);
    rich.SetBackgroundColor(ColorToRGB(Color()));
    if (FZoom != rich.Zoom()) rich.SetZoom(FZoom);
}

void TCustomRichEdit::ColorChanged() {
    TWinControl::ColorChanged();
    if (IRichEditPeer* rich = RichPeer()) rich->SetBackgroundColor(ColorToRGB(Color()));
}

TCustomEdit::TSavedText TCustomRichEdit::SaveText(IEditPeer& edit) const {
    if (ComponentState() & csLoading) return TCustomMemo::SaveText(edit);
    auto& rich = static_cast<IRichEditPeer&>(edit);
    TSavedText saved;
    saved.PlainText = FPlainText;
    saved.Content = rich.SaveContent(FPlainText);
    rich.GetSelection(saved.SelStart, saved.SelEnd);
    saved.Modified = rich.Modified();
    saved.Zoom = rich.Zoom();
    return saved;
}

void TCustomRichEdit::RestoreText(IEditPeer& edit, const TSavedText& saved) {
    auto& rich = static_cast<IRichEditPeer&>(edit);
    rich.LoadContent(saved.Content, saved.PlainText);
    rich.SetSelection(saved.SelStart, saved.SelEnd);
    rich.SetModified(saved.Modified);
    if (saved.Zoom > 0 && saved.Zoom != rich.Zoom()) rich.SetZoom(saved.Zoom);
}

int TCustomRichEdit::Zoom() const {
    IRichEditPeer* rich = RichPeer();
    return rich ? rich->Zoom() : FZoom;
}

void TCustomRichEdit::SetZoom(int v) {
    if (v <= 0) return;
    FZoom = v;
    if (IRichEditPeer* rich = RichPeer(); rich && rich->Zoom() != v) rich->SetZoom(v);
}

void TCustomRichEdit::SetHideScrollBars(bool v) {
    if (FHideScrollBars == v) return;
    FHideScrollBars = v;
    RecreateWindow();
}

static std::span<const TPropInfo> RichEditProperties() {
    using C = TCustomRichEdit;
    static const TPropInfo props[] = {
        OrdProp<C, &C::SetHideScrollBars>("HideScrollBars", TypeInfo_Boolean),
        OrdProp<C, &C::SetPlainText>("PlainText", TypeInfo_Boolean),
        OrdProp<C, &C::SetZoom>("Zoom", TypeInfo_Integer),
    };
    return props;
}

const TClassInfo TCustomRichEdit::ClassInfo{"TCustomRichEdit", &TCustomMemo::ClassInfo, RichEditProperties};
const TClassInfo TRichEdit::ClassInfo{"TRichEdit", &TCustomRichEdit::ClassInfo, nullptr,
                                      [](TComponent* o) -> TComponent* { return new TRichEdit(o); }};
