#pragma once

#include "host/data/drivers/Driver.h"

#include <string>
#include <vector>

namespace vorn {

// One field of an index as a catalog lists it: the rows of one index adjacent, the
// primary key's first, then the other indexes by name, each index's fields in order.
struct TIndexColumn {
    std::string Index;
    bool Unique = false;
    bool Primary = false;
    std::string Field;
    bool NotNull = false;
    bool NullsFirst = false;
    bool Descending = false;
};

// The indexes that the rows describe, in their order; an index whose fields all ascend
// lists no directions.
std::vector<TIndexInfo> IndexesFromColumns(const std::vector<TIndexColumn>& Columns);

// The fields, quoted by Connection, of the first unique index whose fields are all NOT
// NULL (the primary key, listed first, where there is one). Raises EDatabaseError naming
// Operation, the database and Table where no index qualifies.
std::vector<std::string> RowKeyFromColumns(const std::vector<TIndexColumn>& Columns,
                                           const TDriverConnection& Connection,
                                           const char* Operation, const std::string& Table);

} // namespace vorn
