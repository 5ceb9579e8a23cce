// List box items through the platform list box.
#include "controls/TListBoxStrings.h"

#include "controls/TListBox.h"
#include "stream/Consts.h"
#include "stream/Exceptions.h"

const TClassInfo TListBoxStrings::ClassInfo{"TListBoxStrings", &TStrings::ClassInfo};

void TListBoxStrings::CheckIndex(int index, int count) const {
    if (index < 0 || index >= count)
        throw EListError(Format(SConsts::SListIndexError, {std::to_string(index)}));
}

int TListBoxStrings::Count() const {
    return FListBox.ItemsPeer().Count();
}

std::string TListBoxStrings::Get(int index) const {
    IListBoxPeer& list = FListBox.ItemsPeer();
    CheckIndex(index, list.Count());
    return list.GetString(index);
}

void TListBoxStrings::Put(int index, const std::string& s) {
    int selected = FListBox.ItemIndex();
    Delete(index);
    Insert(index, s);
    FListBox.SetItemIndex(selected);
}

void TListBoxStrings::Add(const std::string& s) {
    if (FListBox.ItemsPeer().AddString(s) < 0) throw EOutOfResources(std::string(SInsertLineError));
}

void TListBoxStrings::Insert(int index, const std::string& s) {
    IListBoxPeer& list = FListBox.ItemsPeer();
    CheckIndex(index, list.Count() + 1);
    if (list.InsertString(index, s) < 0) throw EOutOfResources(std::string(SInsertLineError));
}

void TListBoxStrings::Delete(int index) {
    IListBoxPeer& list = FListBox.ItemsPeer();
    CheckIndex(index, list.Count());
    list.DeleteString(index);
}

void TListBoxStrings::Clear() {
    FListBox.ItemsPeer().ResetContent();
}

void TListBoxStrings::SetUpdateState(bool updating) {
    IListBoxPeer& list = FListBox.ItemsPeer();
    list.SetRedraw(!updating);
    if (!updating) list.Invalidate(nullptr);
}
