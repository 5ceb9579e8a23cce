// Multi-line edit controls: the text as a list of lines, editable unless read-only.
#pragma once

#include "controls/TWinControl.h"
#include "stream/TStrings.h"

#include <memory>

class TCustomEdit : public TWinControl {
    ORV_CLASS(TCustomEdit)
public:
    explicit TCustomEdit(TComponent* owner);

    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool v) { FReadOnly = v; }
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int v) { FMaxLength = v < 0 ? 0 : v; }
    bool HideSelection() const { return FHideSelection; }
    void SetHideSelection(bool v) { FHideSelection = v; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v) { FBorderStyle = v; }

private:
    bool FReadOnly = false;
    int FMaxLength = 0;
    bool FHideSelection = true;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
};

class TCustomMemo : public TCustomEdit {
    ORV_CLASS(TCustomMemo)
public:
    explicit TCustomMemo(TComponent* owner);

    TStrings* Lines() const { return FLines.get(); }
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment v) { FAlignment = v; }
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle v) { FScrollBars = v; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool v) { FWordWrap = v; }
    bool WantReturns() const { return FWantReturns; }
    void SetWantReturns(bool v) { FWantReturns = v; }
    bool WantTabs() const { return FWantTabs; }
    void SetWantTabs(bool v) { FWantTabs = v; }

private:
    std::unique_ptr<TStringList> FLines;
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
