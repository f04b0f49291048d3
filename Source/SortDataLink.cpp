#include "Source/Vorn_shared.h"

#include "host/data/Table.h"

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
    bool Done = true;
    if (OnSortChange)
        OnSortChange(this, FSortFields, Current, Done);
    // A declined change stays pending: the next notification reports it again.
    if (Done)
        FSortFields = Current;
}

} // namespace vorn
