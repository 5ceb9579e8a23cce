// Collections: an owned, ordered list of items of one class, read from a stream as a whole.
#pragma once

#include "stream/TPersistent.h"

#include <memory>
#include <vector>

class TCollection;

class TCollectionItem : public TPersistent {
    ORV_CLASS(TCollectionItem)
public:
    explicit TCollectionItem(TCollection* collection) : FCollection(collection) {}
    TCollection* Collection() const { return FCollection; }
    int Index() const;

protected:
    void Changed();

private:
    TCollection* FCollection;
};

class TCollection : public TPersistent {
    ORV_CLASS(TCollection)
public:
    using TItemFactory = std::unique_ptr<TCollectionItem> (*)(TCollection*);
    explicit TCollection(TItemFactory factory) : FFactory(factory) {}

    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int index) const { return FItems.at(static_cast<size_t>(index)).get(); }
    TCollectionItem* Add();
    void Clear();
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

protected:
    // Called after a change once no update is in progress.
    virtual void Update(TCollectionItem*) {}

private:
    friend class TCollectionItem;
    TItemFactory FFactory;
    std::vector<std::unique_ptr<TCollectionItem>> FItems;
    int FUpdateCount = 0;
};
