#include "host/components/model/List.h"

#include <algorithm>

namespace vorn {

void RaiseListIndexError(int Index) {
    throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
}

void RaiseListCapacityError(int Capacity) {
    throw EListError("List capacity out of bounds (" + std::to_string(Capacity) + ")");
}

const TClass& TList::StaticClass() {
    static const TClass Class("TList", &TObject::StaticClass());
    return Class;
}

void TList::CheckIndex(int Index) const {
    if (Index < 0 || Index >= Count())
        RaiseListIndexError(Index);
}

void TList::CheckRoomForOneMore() const {
    if (Count() >= MaxListSize)
        RaiseListCapacityError(Count() + 1);
}

void TList::SetCapacity(int NewCapacity) {
    SetListCapacity(FItems, NewCapacity);
}

void* TList::Items(int Index) const {
    CheckIndex(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

void TList::SetItem(int Index, void* Item) {
    CheckIndex(Index);
    FItems[static_cast<std::size_t>(Index)] = Item;
}

int TList::Add(void* Item) {
    CheckRoomForOneMore();
    FItems.push_back(Item);
    return Count() - 1;
}

void TList::Insert(int Index, void* Item) {
    if (Index < 0 || Index > Count())
        RaiseListIndexError(Index);
    CheckRoomForOneMore();
    FItems.insert(FItems.begin() + Index, Item);
}

void TList::Delete(int Index) {
    CheckIndex(Index);
    FItems.erase(FItems.begin() + Index);
}

int TList::Remove(void* Item) {
    const int Index = IndexOf(Item);
    if (Index >= 0)
        Delete(Index);
    return Index;
}

void* TList::Extract(void* Item) {
    return Remove(Item) >= 0 ? Item : nullptr;
}

int TList::IndexOf(void* Item) const {
    auto Position = std::find(FItems.begin(), FItems.end(), Item);
    return Position == FItems.end() ? -1 : static_cast<int>(Position - FItems.begin());
}

void TList::Clear() {
    FItems.clear();
}

void TList::Pack() {
    std::erase(FItems, nullptr);
}

} // namespace vorn
