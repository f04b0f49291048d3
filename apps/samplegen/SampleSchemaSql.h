#pragma once

#include "apps/samplegen/SampleDatabase.h"

#include <string>

namespace vorn::sampledata {

// The schema's statements as both backends accept them: identifiers double-quoted, the
// first column the primary key. Only a column's type name differs between backends.
using TSampleColumnTypeName = std::string (*)(const TSampleColumn& Column);

std::string QuoteIdentifier(const std::string& Name);
std::string CreateTableSql(const TSampleTable& Table, TSampleColumnTypeName ColumnType);

// How a backend's indexes must be written for the server to walk them in the order the
// data-access layer reads: its index fields, then the row key to settle their ties.
struct TSampleIndexStyle {
    // NULLs at the start of each column, where the data-access layer reads them. SQLite's
    // indexes hold NULLs first already (and it has no such clause).
    bool NullsFirst = false;
    // The primary key as the last column. SQLite's indexes end in the rowid (the integer
    // primary key) of their own accord; a PostgreSQL index keeps the rows of equal values
    // in no order the planner knows, so that each page of a long run of equal values (a
    // common name in a large table) would be read whole and sorted by key.
    bool EndsInKey = false;
};

std::string CreateIndexSql(const TSampleTable& Table, const TSampleIndex& Index,
                           TSampleIndexStyle Style);

} // namespace vorn::sampledata
