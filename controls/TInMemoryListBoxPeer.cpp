// The in-memory list box.
#include "controls/TInMemoryListBoxPeer.h"

#include "stream/TextCodec.h"

#include <algorithm>

int TInMemoryListBoxPeer::AddString(const std::string& s) {
    if (!FParams.Sorted) {
        FItems.push_back(s);
        return Count() - 1;
    }
    // After every item that sorts before it or equal to it.
    std::string key = UpperCase(s);
    auto at = std::find_if(FItems.begin(), FItems.end(),
                           [&](const std::string& item) { return UpperCase(item) > key; });
    int index = static_cast<int>(at - FItems.begin());
    FItems.insert(at, s);
    if (FItemIndex >= index) ++FItemIndex;
    return index;
}

int TInMemoryListBoxPeer::InsertString(int index, const std::string& s) {
    if (index == -1) return AddString(s);
    if (index < 0 || index > Count()) return -1;
    FItems.insert(FItems.begin() + index, s);
    if (FItemIndex >= index) ++FItemIndex;
    return index;
}

void TInMemoryListBoxPeer::DeleteString(int index) {
    if (!Valid(index)) return;
    FItems.erase(FItems.begin() + index);
    if (FItemIndex == index)
        FItemIndex = -1;
    else if (FItemIndex > index)
        --FItemIndex;
    FTopIndex = std::clamp(FTopIndex, 0, std::max(0, Count() - 1));
}

void TInMemoryListBoxPeer::ResetContent() {
    FItems.clear();
    FItemIndex = -1;
    FTopIndex = 0;
}

std::string TInMemoryListBoxPeer::GetString(int index) const {
    return Valid(index) ? FItems[static_cast<size_t>(index)] : std::string();
}

int TInMemoryListBoxPeer::FindString(const std::string& prefix) const {
    std::string key = UpperCase(prefix);
    for (int i = 0; i < Count(); ++i)
        if (UpperCase(FItems[static_cast<size_t>(i)]).starts_with(key)) return i;
    return -1;
}

void TInMemoryListBoxPeer::SetItemIndex(int index) {
    FItemIndex = Valid(index) ? index : -1;
    // Scrolled into view as far as a list without a height can tell: never above the top.
    if (FItemIndex >= 0 && FItemIndex < FTopIndex) FTopIndex = FItemIndex;
}

void TInMemoryListBoxPeer::SetTopIndex(int index) {
    FTopIndex = std::clamp(index, 0, std::max(0, Count() - 1));
}

void TInMemoryListBoxPeer::SetColors(uint32_t text, uint32_t background) {
    FTextColor = text;
    FBackground = background;
}
