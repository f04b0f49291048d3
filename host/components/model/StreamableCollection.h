#pragma once

namespace vorn {

class TObject;

// A sub-object that form files store as an array of items, each item an object of its
// own published properties (a grid's columns). Reading clears the collection and adds one
// item per array element, in order. The names are distinct from a collection's own
// Count/Items/Add/Clear so that a class can implement both without clashes.
class IStreamableCollection {
public:
    virtual int StreamItemCount() const = 0;
    // The item at Index, 0 <= Index < StreamItemCount().
    virtual TObject& StreamItem(int Index) const = 0;
    // Appends a new item with its default property values and returns it.
    virtual TObject& AddStreamItem() = 0;
    virtual void ClearStreamItems() = 0;
    // Bracket the reading of all items, so that the collection's owner can react once
    // to the whole collection rather than once per item.
    virtual void BeginStreamUpdate() {}
    virtual void EndStreamUpdate() {}

protected:
    ~IStreamableCollection() = default;
};

} // namespace vorn
