// Rich edits: a memo on the platform rich edit control, whose text takes a default character format
// made from the font; the lines are paragraphs. Never double-buffered.
#pragma once

#include "controls/TMemo.h"
#include "controls/TRichEditStrings.h"

class TCustomRichEdit : public TCustomMemo {
    ORV_CLASS(TCustomRichEdit)
public:
    explicit TCustomRichEdit(TComponent* owner);

    TRichEditStrings* Lines() const { return static_cast<TRichEditStrings*>(TCustomMemo::Lines()); }
    // Display magnification in percent; setting the value the control already has sends nothing.
    int Zoom() const;
    void SetZoom(int v);
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool v) { FPlainText = v; }
    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool v);

    IRichEditPeer* RichPeer() const { return static_cast<IRichEditPeer*>(FPeer.get()); }
    // The font as the default character format: face as stored (at most 31 characters), size in whole
    // points, the automatic colour for clWindowText.
    TCharFormat DefaultCharFormat() const;

protected:
    TEditParams CreateParams() const override;
    std::unique_ptr<IWindowPeer> NewWindowPeer(IWindowPeer& parent) override;
    std::unique_ptr<TInMemoryEditPeer> NewHeldText() const override;
    void ApplyFont(IEditPeer& edit) override;
    void InitializeWindow(IEditPeer& edit) override;
    // Outside loading the content goes as rich text (unless PlainText) with selection and zoom; while
    // loading, the window's plain text is kept.
    TSavedText SaveText(IEditPeer& edit) const override;
    void RestoreText(IEditPeer& edit, const TSavedText& saved) override;
    void ColorChanged() override;

private:
    int FZoom = 100;
    bool FPlainText = false;
    bool FHideScrollBars = true;
};

class TRichEdit : public TCustomRichEdit {
    ORV_CLASS(TRichEdit)
public:
    using TCustomRichEdit::TCustomRichEdit;
};
