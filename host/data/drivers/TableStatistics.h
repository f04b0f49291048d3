#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vorn {

// What a database can tell about a table from the statistics it keeps, without reading
// the table: a driver whose database keeps such statistics offers this capability
// (TDriverConnection::TableStatistics).
class TTableStatistics {
public:
    virtual ~TTableStatistics() = default;

    // About how many rows Table holds, by the database's own bookkeeping (never by
    // counting them); nothing where the database has no figure for it. Raises
    // EDatabaseError for a table that does not exist.
    virtual std::optional<std::int64_t> EstimatedRowCount(const std::string& Table) = 0;
};

} // namespace vorn
