#include "Source/Vorn_shared.h"

#include "Source/Vorn_sharedInternal.h"
#include "host/components/model/Exception.h"
#include "host/data/dataset/SortFields.h"
#include "host/data/dataset/Table.h"

namespace vorn {

namespace {

const TTable* AsTable(const TDataSet* DataSet) {
    return dynamic_cast<const TTable*>(DataSet);
}

} // namespace

std::string ExtractSortFieldNames(const TDataSet* DataSet) {
    std::string Result;
    const TTable* Table = AsTable(DataSet);
    if (Table == nullptr)
        return Result;
    for (int Index = 0; Index < Table->IndexFieldCount(); ++Index) {
        if (Index > 0)
            Result += ';';
        Result += Table->IndexFields(Index)->FieldName();
        if (Table->IndexFieldDescending(Index))
            Result += DescendingMark;
    }
    return Result;
}

std::string ExtractFirstSortFieldName(const TDataSet* DataSet) {
    const TTable* Table = AsTable(DataSet);
    if (Table == nullptr || !Table->Active())
        return {};
    int LinkFieldCount = 0;
    const TDataSource* Master = Table->MasterSource();
    // A closed master restricts nothing, so its link fields are the user's order too.
    if (Master != nullptr && Master->DataSet() != nullptr && Master->DataSet()->Active())
        LinkFieldCount = SharedInternal::CountSortFields(Table->MasterFields());
    if (LinkFieldCount >= Table->IndexFieldCount())
        return {};
    return Table->IndexFields(LinkFieldCount)->FieldName();
}

TDataSource* GetMasterSource(const TDataSet* DataSet) {
    const TTable* Table = AsTable(DataSet);
    if (Table == nullptr)
        throw Exception("GetMasterSource() Unknown DataSet type.");
    return Table->MasterSource();
}

std::string GetMasterFields(const TDataSet* DataSet) {
    const TTable* Table = AsTable(DataSet);
    if (Table == nullptr)
        throw Exception("GetMasterFields() Unknown DataSet type.");
    return Table->MasterFields();
}

} // namespace vorn
