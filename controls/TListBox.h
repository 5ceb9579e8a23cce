// List boxes: a column of text items.
#pragma once

#include "controls/TWinControl.h"
#include "stream/TStrings.h"

#include <memory>

class TCustomListControl : public TWinControl {
    ORV_CLASS(TCustomListControl)
public:
    using TWinControl::TWinControl;
};

class TCustomMultiSelectListControl : public TCustomListControl {
    ORV_CLASS(TCustomMultiSelectListControl)
public:
    using TCustomListControl::TCustomListControl;
};

class TCustomListBox : public TCustomMultiSelectListControl {
    ORV_CLASS(TCustomListBox)
public:
    explicit TCustomListBox(TComponent* owner);

    TStrings* Items() const { return FItems.get(); }
    int ItemHeight() const { return FItemHeight; }
    void SetItemHeight(int v) {
        if (v > 0) FItemHeight = v;
    }
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle v) { FStyle = v; }
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v) { FSorted = v; }
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool v) { FIntegralHeight = v; }
    int Columns() const { return FColumns; }
    void SetColumns(int v) { FColumns = v < 0 ? 0 : v; }
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v) { FMultiSelect = v; }
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool v) { FExtendedSelect = v; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v) { FBorderStyle = v; }

private:
    std::unique_ptr<TStringList> FItems;
    int FItemHeight = 16;
    TListBoxStyle FStyle = TListBoxStyle::lbStandard;
    bool FSorted = false;
    bool FIntegralHeight = false;
    int FColumns = 0;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
};

class TListBox : public TCustomListBox {
    ORV_CLASS(TListBox)
public:
    using TCustomListBox::TCustomListBox;
};
