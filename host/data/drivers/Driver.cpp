#include "host/data/drivers/Driver.h"

namespace vorn {

std::string TDriverConnection::QuoteIdentifier(const std::string& Name) const {
    std::string Quoted = "\"";
    for (char C : Name) {
        if (C == '"')
            Quoted += '"';
        Quoted += C;
    }
    return Quoted + "\"";
}

TTableSchema TDriverConnection::Schema(const std::string& Table) {
    TTableSchema Schema;
    Schema.Columns = Columns(Table);
    Schema.RowKey = RowKey(Table);
    Schema.Indexes = Indexes(Table);
    return Schema;
}

std::string TBoundParams::Add(TVariant Value) {
    FValues.push_back(std::move(Value));
    return FConnection->Placeholder(static_cast<int>(FValues.size()));
}

} // namespace vorn
