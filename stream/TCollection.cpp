// Collection bookkeeping.
#include "stream/TCollection.h"

const TClassInfo TCollectionItem::ClassInfo{"TCollectionItem", &TPersistent::ClassInfo};
const TClassInfo TCollection::ClassInfo{"TCollection", &TPersistent::ClassInfo};

int TCollectionItem::Index() const {
    for (int i = 0; i < FCollection->Count(); ++i)
        if (FCollection->Items(i) == this) return i;
    return -1;
}

void TCollectionItem::Changed() {
    if (FCollection && FCollection->FUpdateCount == 0) FCollection->Update(this);
}

TCollectionItem* TCollection::Add() {
    FItems.push_back(FFactory(this));
    if (FUpdateCount == 0) Update(nullptr);
    return FItems.back().get();
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    FItems.clear();
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0) Update(nullptr);
}
