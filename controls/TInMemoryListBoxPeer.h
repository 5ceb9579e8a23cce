// A list box kept in memory, with the platform list box's rules for items, selection and search. It
// holds a list box's items while no platform is installed (the authoring tools read definitions without
// one) and stands in for the platform control in tests.
#pragma once

#include "controls/TInMemoryWindow.h"
#include "platform/NativeControls.h"

#include <string>
#include <vector>

class TInMemoryListBoxPeer : public TInMemoryWindow<IListBoxPeer> {
public:
    explicit TInMemoryListBoxPeer(const TListBoxParams& params = {}) : FParams(params) {}

    // Sorted, the item goes to its place among the others.
    int AddString(const std::string& s) override;
    // -1 appends, as the platform's insertion does.
    int InsertString(int index, const std::string& s) override;
    void DeleteString(int index) override;
    void ResetContent() override;
    int Count() const override { return static_cast<int>(FItems.size()); }
    std::string GetString(int index) const override;
    int FindString(const std::string& prefix) const override;
    int ItemIndex() const override { return FItemIndex; }
    void SetItemIndex(int index) override;
    int TopIndex() const override { return FTopIndex; }
    void SetTopIndex(int index) override;
    // Without metrics of its own: one line of the platform's default font, or the fixed height.
    int ItemHeight() const override { return FParams.ItemHeight > 0 ? FParams.ItemHeight : 13; }
    void SetFont(const IPlatformFont* font) override { FFont = font; }
    void SetColors(uint32_t text, uint32_t background) override;
    void SetRedraw(bool on) override { FRedraw = on; }
    void SetColumnWidth(int width) override { FParams.ColumnWidth = width; }

    const std::vector<std::string>& Items() const { return FItems; }
    const TListBoxParams& ListParams() const { return FParams; }
    const IPlatformFont* Font() const { return FFont; }
    uint32_t TextColor() const { return FTextColor; }
    uint32_t BackgroundColor() const { return FBackground; }
    bool Redraw() const { return FRedraw; }

private:
    bool Valid(int index) const { return index >= 0 && index < Count(); }

    TListBoxParams FParams;
    std::vector<std::string> FItems;
    int FItemIndex = -1;
    int FTopIndex = 0;
    const IPlatformFont* FFont = nullptr;
    uint32_t FTextColor = 0, FBackground = 0xFFFFFF;
    bool FRedraw = true;
};
