// The items of a list box: a view on the platform list box, which holds them. Reading or changing the
// list creates the list box's window first (where a platform is installed).
#pragma once

#include "stream/TStrings.h"

class TCustomListBox;

class TListBoxStrings : public TStrings {
    ORV_CLASS(TListBoxStrings)
public:
    explicit TListBoxStrings(TCustomListBox& listBox) : FListBox(listBox) {}

    int Count() const override;
    std::string Get(int index) const override;
    // Replaces an item, keeping the selection.
    void Put(int index, const std::string& s);
    void Add(const std::string& s) override;
    void Insert(int index, const std::string& s);
    void Delete(int index);
    void Clear() override;

protected:
    // The list box's redrawing is off inside the outermost bracket; closing it repaints the list once.
    void SetUpdateState(bool updating) override;

private:
    void CheckIndex(int index, int count) const;

    TCustomListBox& FListBox;
};

inline constexpr std::string_view SInsertLineError = "Unable to insert a line";
