#include "host/components/model/Collection.h"

#include "host/components/model/CheckedArithmetic.h"
#include "host/components/model/Exception.h"

#include <algorithm>

namespace vorn {

// ---------------------------------------------------------------- TCollectionItem

const TClass& TCollectionItem::StaticClass() {
    static const TClass Class("TCollectionItem", &TPersistent::StaticClass());
    return Class;
}

int TCollectionItem::Index() const {
    if (FCollection == nullptr)
        return -1;
    const auto& Items = FCollection->FItems;
    const auto Position = std::find_if(Items.begin(), Items.end(),
                                       [this](const auto& Item) { return Item.get() == this; });
    return static_cast<int>(Position - Items.begin());
}

void TCollectionItem::SetIndex(int Value) {
    if (FCollection == nullptr)
        throw EListError("TCollectionItem.SetIndex() The item belongs to no collection");
    FCollection->MoveItem(this, Value);
}

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection == nullptr)
        return;
    FCollection->ItemChanged(AllItems ? nullptr : this);
}

// ---------------------------------------------------------------- TCollection

const TClass& TCollection::StaticClass() {
    static const TClass Class("TCollection", &TPersistent::StaticClass());
    return Class;
}

TCollection::~TCollection() {
    // Items go without notifications: the descendant that would hear them is gone.
    for (auto& Item : FItems)
        Item->FCollection = nullptr;
}

TCollectionItem* TCollection::Items(int Index) const {
    CheckIndex("Items()", Index, Count());
    return FItems[static_cast<std::size_t>(Index)].get();
}

TCollectionItem* TCollection::Add() {
    return Insert(Count());
}

TCollectionItem* TCollection::Insert(int Index) {
    CheckIndex("Insert()", Index, Count() + 1);
    std::unique_ptr<TCollectionItem> Item = CreateItem();
    VORN_ASSERT(Item != nullptr);
    const int ID = FNextID;
    FNextID = CheckedAdd(FNextID, 1);
    Item->FCollection = this;
    Item->FID = ID;
    TCollectionItem* Added = Item.get();
    FItems.insert(FItems.begin() + Index, std::move(Item));
    Notify(Added, cnAdded);
    Changed();
    return Added;
}

void TCollection::Delete(int Index) {
    CheckIndex("Delete()", Index, Count());
    TCollectionItem* Item = FItems[static_cast<std::size_t>(Index)].get();
    Notify(Item, cnDeleting);
    // Notify may have moved or removed items: find the item again.
    const auto Position = std::find_if(FItems.begin(), FItems.end(),
                                       [Item](const auto& Owned) { return Owned.get() == Item; });
    if (Position == FItems.end())
        return;
    std::unique_ptr<TCollectionItem> Removed = std::move(*Position);
    FItems.erase(Position);
    Removed->FCollection = nullptr;
    Removed.reset();
    Changed();
}

void TCollection::Clear() {
    if (FItems.empty())
        return;
    BeginUpdate();
    try {
        while (!FItems.empty())
            Delete(Count() - 1);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (const auto& Item : FItems)
        if (Item->FID == ID)
            return Item.get();
    return nullptr;
}

void TCollection::BeginUpdate() {
    FUpdateCount = CheckedAdd(FUpdateCount, 1);
}

void TCollection::EndUpdate() {
    if (FUpdateCount == 0)
        return;
    if (--FUpdateCount == 0)
        Changed();
}

void TCollection::Notify(TCollectionItem*, TCollectionNotification) {}

void TCollection::Update(TCollectionItem*) {}

void TCollection::Changed() {
    if (FUpdateCount == 0)
        Update(nullptr);
}

void TCollection::ItemChanged(TCollectionItem* Item) {
    if (FUpdateCount == 0)
        Update(Item);
}

void TCollection::MoveItem(TCollectionItem* Item, int NewIndex) {
    CheckIndex("SetIndex()", NewIndex, Count());
    const int OldIndex = Item->Index();
    if (OldIndex == NewIndex)
        return;
    auto Moving = std::move(FItems[static_cast<std::size_t>(OldIndex)]);
    FItems.erase(FItems.begin() + OldIndex);
    FItems.insert(FItems.begin() + NewIndex, std::move(Moving));
    Changed();
}

void TCollection::CheckIndex(const char* Operation, int Index, int Limit) const {
    if (Index < 0 || Index >= Limit)
        throw EListError(ClassName() + "." + Operation + " List index out of bounds (" +
                         std::to_string(Index) + ")");
}

} // namespace vorn
