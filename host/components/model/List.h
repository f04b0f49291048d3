#pragma once

#include "host/components/model/Component.h"

#include <algorithm>
#include <iterator>
#include <vector>

namespace vorn {

// The largest number of items a list may hold or reserve room for.
inline constexpr int MaxListSize = 134217727;

// Raise EListError: "List index out of bounds (Index)".
[[noreturn]] void RaiseListIndexError(int Index);
// Raise EListError: "List capacity out of bounds (Capacity)".
[[noreturn]] void RaiseListCapacityError(int Capacity);

// Makes Items reserve room for exactly NewCapacity elements; raises EListError for a
// capacity below the element count or above MaxListSize.
template <class T>
void SetListCapacity(std::vector<T>& Items, int NewCapacity) {
    if (NewCapacity < static_cast<int>(Items.size()) || NewCapacity > MaxListSize)
        RaiseListCapacityError(NewCapacity);
    const auto Wanted = static_cast<std::size_t>(NewCapacity);
    if (Wanted >= Items.capacity()) {
        Items.reserve(Wanted);
        return;
    }
    // A vector only grows its reservation; shrinking needs a fresh one.
    std::vector<T> Smaller;
    Smaller.reserve(Wanted);
    std::move(Items.begin(), Items.end(), std::back_inserter(Smaller));
    Items.swap(Smaller);
}

// A list of untyped pointers. The list owns none of them.
class TList : public TObject {
public:
    TList() = default;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    int Count() const { return static_cast<int>(FItems.size()); }
    // Room reserved for items; never less than Count.
    int Capacity() const { return static_cast<int>(FItems.capacity()); }
    // Raises EListError for a capacity below Count or above MaxListSize.
    void SetCapacity(int NewCapacity);

    // The item at Index; raises EListError outside 0..Count-1.
    void* Items(int Index) const;
    void SetItem(int Index, void* Item);

    // Appends Item and returns its index.
    int Add(void* Item);
    // Inserts Item before Index; Index == Count appends.
    void Insert(int Index, void* Item);
    void Delete(int Index);
    // Deletes the first occurrence of Item and returns its former index, or -1.
    int Remove(void* Item);
    // Takes the first occurrence of Item out of the list and returns it, or nullptr.
    void* Extract(void* Item);
    // The index of the first occurrence of Item, or -1.
    int IndexOf(void* Item) const;
    void Clear();
    // Deletes every nullptr item.
    void Pack();

private:
    void CheckIndex(int Index) const;
    void CheckRoomForOneMore() const;

    std::vector<void*> FItems;
};

} // namespace vorn
