// Edit controls: text held by the platform edit control, editable unless read-only. The memo shows
// it as lines and gives it to the program as a list of lines.
#pragma once

#include "controls/TInMemoryEditPeer.h"
#include "controls/TMemoStrings.h"
#include "controls/TWinControl.h"
#include "platform/NativeControls.h"

#include <memory>
#include <optional>

class TCustomEdit : public TWinControl {
    ORV_CLASS(TCustomEdit)
public:
    explicit TCustomEdit(TComponent* owner);
    ~TCustomEdit() override;

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v);
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);

    // The whole text, lines separated by CR LF.
    std::string Text() const { return TextPeer().Text(); }
    void SetText(const std::string& v) { TextPeer().SetText(v); }
    int SelStart() const;
    void SetSelStart(int v);
    int SelLength() const;
    void SetSelLength(int v);
    std::string SelText() const { return TextPeer().SelectedText(); }
    void SetSelText(const std::string& v) { TextPeer().ReplaceSelection(v); }
    void SelectAll() { TextPeer().SetSelection(0, -1); }
    void CopyToClipboard() { TextPeer().CopyToClipboard(); }
    bool Modified() const { return TextPeer().Modified(); }
    void SetModified(bool v) { TextPeer().SetModified(v); }

    void FinishLoading() override;
    bool WantsKey(int key, TShiftState shift) const override;

    // The platform control, or null while the window does not exist.
    IEditPeer* EditPeer() const { return static_cast<IEditPeer*>(FPeer.get()); }
    // What holds the text: the window, created now where a platform is installed, or else an in-memory
    // edit.
    IEditPeer& TextPeer() const;

protected:
    // What the window is created with.
    virtual TEditParams CreateParams() const;
    std::unique_ptr<IWindowPeer> NewWindowPeer(IWindowPeer& parent) override;
    // The in-memory edit that holds the text without a platform.
    virtual std::unique_ptr<TInMemoryEditPeer> NewHeldText() const;
    void MeasureNow() override;
    // Hands the font and its colour to the window.
    virtual void ApplyFont(IEditPeer& edit);
    // Hands a new window the state every edit window keeps (the length limit).
    void ApplyWindowState(IEditPeer& edit);
    // Sets up a new window before it gets its text: the font and colours.
    virtual void InitializeWindow(IEditPeer& edit) { ApplyFont(edit); }
    // A text kept while there is no window, for the next window to show.
    struct TSavedText {
        std::string Content;
        bool PlainText = true;
        int SelStart = 0, SelEnd = 0;
        bool Modified = false;
        int Zoom = 0; // 0: not kept
    };
    // Keeps the window's text and state for the next window: as plain text unless the class says
    // otherwise.
    virtual TSavedText SaveText(IEditPeer& edit) const;
    virtual void RestoreText(IEditPeer& edit, const TSavedText& saved);
    // A window of the changed style, with the text of the old one; it comes now if the control is on
    // view, else when something needs it.
    void RecreateWindow();
    // The new window gets the font, the state and the text kept while there was none.
    void InitializeWindowPeer() override;
    void FontChanged() override;
    void ColorChanged() override;
    void Ctl3DChanged() override { RecreateWindow(); }

private:
    bool FReadOnly = false;
    int FMaxLength = 0;
    bool FHideSelection = true;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    // Without a platform the text lives here; between two windows it is kept in FSaved.
    mutable std::unique_ptr<TInMemoryEditPeer> FHeldText;
    std::optional<TSavedText> FSaved;
};

class TCustomMemo : public TCustomEdit {
    ORV_CLASS(TCustomMemo)
public:
    explicit TCustomMemo(TComponent* owner);

    TMemoStrings* Lines() const { return FLines.get(); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v);
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v);
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool v) { FWantReturns = v; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool v);

    bool WantsKey(int key, TShiftState shift) const override;

protected:
    TCustomMemo(TComponent* owner, std::unique_ptr<TMemoStrings> lines);
    TEditParams CreateParams() const override;

private:
    std::unique_ptr<TMemoStrings> FLines;
    TAlignment FAlignment = TAlignment::taLeftJustify;
    TScrollStyle FScrollBars = TScrollStyle::ssNone;
    bool FWordWrap = true;
    bool FWantReturns = true;
    bool FWantTabs = false;
};

class TMemo : public TCustomMemo {
    ORV_CLASS(TMemo)
public:
    using TCustomMemo::TCustomMemo;
};
