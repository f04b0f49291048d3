#include "Source/Vorn_shared.h"

#include "host/data/dataset/Table.h"

namespace vorn {

const TClass& TSortDataLink::StaticClass() {
    static const TClass Class("TSortDataLink", &TDataLink::StaticClass());
    return Class;
}

void TSortDataLink::DataSetChanged() {
    const TDataSet* Linked = DataSet();
    if (Linked == nullptr || dynamic_cast<const TTable*>(Linked) == nullptr)
        return;
    const std::string Current = ExtractSortFieldNames(Linked);
    if (Current == FSortFields)
        return;
    // Taken as accepted before the handler runs: the handler may free the component that
    // owns this link, and with it the link. Only a handler that declines or raises, and
    // so leaves its component in place, has the change taken back.
    std::string Previous = std::move(FSortFields);
    FSortFields = Current;
    bool Done = true;
    if (OnSortChange) {
        try {
            OnSortChange(this, Previous, Current, Done);
        } catch (...) {
            FSortFields = std::move(Previous);
            throw;
        }
    }
    // A declined change stays pending: the next notification reports it again.
    if (!Done)
        FSortFields = std::move(Previous);
}

} // namespace vorn
