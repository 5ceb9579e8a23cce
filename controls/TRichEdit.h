// Rich edits: a memo whose paragraphs carry character formats; never double-buffered.
#pragma once

#include "controls/TMemo.h"

class TCustomRichEdit : public TCustomMemo {
    ORV_CLASS(TCustomRichEdit)
public:
    explicit TCustomRichEdit(TComponent* owner);

    int Zoom() const { return FZoom; }
    void SetZoom(int v) { FZoom = v; }
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool v) { FPlainText = v; }
    bool HideScrollBars() const { return FHideScrollBars; }
    void SetHideScrollBars(bool v) { FHideScrollBars = v; }

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
