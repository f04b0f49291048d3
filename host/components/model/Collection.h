#pragma once

#include "host/components/model/Component.h"

#include <memory>
#include <vector>

namespace vorn {

class TCollection;

// An item of a TCollection. The collection owns it; an item gets an ID when it joins a
// collection, unique among all items that collection ever held.
class TCollectionItem : public TPersistent {
public:
    TCollectionItem() = default;
    ~TCollectionItem() override = default;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TCollection* Collection() const { return FCollection; }
    int ID() const { return FID; }
    // The position in the collection; -1 outside a collection.
    int Index() const;
    // Moves the item to another position; raises EListError outside the collection.
    void SetIndex(int Value);

    // The text the designer shows for the item; the class name unless a descendant
    // knows better.
    virtual std::string DisplayName() const { return ClassName(); }

protected:
    // Tells the collection that the item changed; AllItems for a change that affects
    // the other items as well (such as a new position).
    void Changed(bool AllItems);

private:
    friend class TCollection;

    TCollection* FCollection = nullptr;
    int FID = -1;
};

// An ordered list of items of one kind that it owns and frees. Descendants create their
// items (CreateItem) and react to changes (Update, Notify).
class TCollection : public TPersistent {
public:
    TCollection() = default;
    ~TCollection() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError outside 0..Count-1.
    TCollectionItem* Items(int Index) const;

    // A new item at the end (Add) or at Index (Insert; Count appends, else EListError).
    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    // Frees the item at Index; raises EListError outside 0..Count-1.
    void Delete(int Index);
    // Frees every item.
    void Clear();

    // The item with this ID, or nullptr.
    TCollectionItem* FindItemID(int ID) const;
    // The ID the next new item gets.
    int NextID() const { return FNextID; }

    // Changes between BeginUpdate and the last EndUpdate are told once, as a change of
    // the whole collection.
    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

protected:
    enum TCollectionNotification { cnAdded, cnDeleting };

    // A new item of the collection's kind.
    virtual std::unique_ptr<TCollectionItem> CreateItem() = 0;
    // Item was added, or is about to be freed.
    virtual void Notify(TCollectionItem* Item, TCollectionNotification Action);
    // Something changed: Item, or the whole collection (Item nullptr).
    virtual void Update(TCollectionItem* Item);
    void Changed();

private:
    friend class TCollectionItem;

    void ItemChanged(TCollectionItem* Item);
    void MoveItem(TCollectionItem* Item, int NewIndex);
    void CheckIndex(const char* Operation, int Index, int Limit) const;

    std::vector<std::unique_ptr<TCollectionItem>> FItems;
    int FNextID = 0;
    int FUpdateCount = 0;
};

} // namespace vorn
