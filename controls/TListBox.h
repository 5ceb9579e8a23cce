// List boxes: a column of text items held by the platform list box, single selection, and a search
// by typing the first letters of an item.
#pragma once

#include "controls/TInMemoryListBoxPeer.h"
#include "controls/TListBoxStrings.h"
#include "controls/TWinControl.h"
#include "platform/NativeControls.h"

#include <cstdint>
#include <functional>
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

class TCustomListBox : public TCustomMultiSelectListControl, private IListBoxEvents {
    ORV_CLASS(TCustomListBox)
public:
    explicit TCustomListBox(TComponent* owner);
    ~TCustomListBox() override;

    TListBoxStrings* Items() const { return FItems.get(); }
    int Count() const { return FItems->Count(); }
    // The selected item, -1 for none.
    int ItemIndex() const;
    void SetItemIndex(int v);
    // The first visible item.
    int TopIndex() const;
    void SetTopIndex(int v);
    // The platform's item height while the window exists (a standard list box's items are as high as
    // its font makes them); the stored value otherwise, which only owner-drawn styles would use.
    int ItemHeight() const;
    void SetItemHeight(int v);
    // Each of these is a style of the platform list box: a change makes its window again.
    TListBoxStyle Style() const { return FStyle; }
    void SetStyle(TListBoxStyle v) { Restyle(FStyle, v); }
    bool Sorted() const { return FSorted; }
    void SetSorted(bool v) { Restyle(FSorted, v); }
    bool IntegralHeight() const { return FIntegralHeight; }
    void SetIntegralHeight(bool v) { FIntegralHeight = v; }
    int Columns() const { return FColumns; }
    void SetColumns(int v) { Restyle(FColumns, v < 0 ? 0 : v); }
    int TabWidth() const { return FTabWidth; }
    void SetTabWidth(int v) { Restyle(FTabWidth, v < 0 ? 0 : v); }
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool v) { Restyle(FMultiSelect, v); }
    bool ExtendedSelect() const { return FExtendedSelect; }
    void SetExtendedSelect(bool v) { Restyle(FExtendedSelect, v); }
    // What the platform list box is made with.
    TListBoxParams ListParams() const;
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle v);
    bool AutoComplete() const { return FAutoComplete; }
    void SetAutoComplete(bool v) { FAutoComplete = v; }
    // Milliseconds of pause after which typing starts a new search.
    int AutoCompleteDelay() const { return FAutoCompleteDelay; }
    void SetAutoCompleteDelay(int v) { FAutoCompleteDelay = v < 0 ? 0 : v; }
    // The clock the search measures pauses by, in milliseconds; a steady clock unless replaced.
    void SetClock(std::function<uint64_t()> clock) { FClock = std::move(clock); }

    // The platform list box, or null while the window does not exist.
    IListBoxPeer* ListPeer() const { return static_cast<IListBoxPeer*>(FPeer.get()); }
    // What holds the items: the window, created now where a platform is installed, or else an
    // in-memory list.
    IListBoxPeer& ItemsPeer();

    // The list uses the arrow and paging keys itself; the platform list box moves the selection.
    bool WantsKey(int key, TShiftState shift) const override;

protected:
    std::unique_ptr<IWindowPeer> NewWindowPeer(IWindowPeer& parent) override;
    void FontChanged() override;
    void ColorChanged() override;
    void Ctl3DChanged() override { RecreateWindow(); }
    // A typed character: the incremental search.
    bool ListBoxChar(char32_t ch) override;

    void BoundsChanged() override;
    void MeasureNow() override;

private:
    // A new window with the items, selection and first visible item of the old one.
    void RecreateWindow();
    template <class T> void Restyle(T& field, T value) {
        if (field == value) return;
        field = value;
        RecreateWindow();
    }

    std::unique_ptr<TListBoxStrings> FItems;
    // The items while there is no window to hold them: without a platform, or between the windows of a
    // re-creation.
    std::unique_ptr<TInMemoryListBoxPeer> FHeldItems;
    int FItemHeight = 16;
    TListBoxStyle FStyle = TListBoxStyle::lbStandard;
    bool FSorted = false;
    bool FIntegralHeight = false;
    int FColumns = 0;
    int FTabWidth = 0;
    bool FMultiSelect = false;
    bool FExtendedSelect = true;
    TBorderStyle FBorderStyle = TBorderStyle::bsSingle;
    bool FAutoComplete = true;
    int FAutoCompleteDelay = 500;
    std::function<uint64_t()> FClock;
    std::string FFilter;
    uint64_t FLastTime = 0;
};

class TListBox : public TCustomListBox {
    ORV_CLASS(TListBox)
public:
    using TCustomListBox::TCustomListBox;
};
