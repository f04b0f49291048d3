// The conditions of one statement on a table's rows, as the table and its searches build them.
#pragma once

#include "host/data/drivers/Driver.h"

#include <string>
#include <vector>

namespace vorn {

// Conditions and their values for one statement.
struct TTableConditions {
    explicit TTableConditions(const TDriverConnection& Connection) : Params(Connection) {}
    std::vector<std::string> Where;
    TBoundParams Params;
    // True when the conditions leave rows that are all NULL, or all not NULL, in the
    // leading order term (as a keyset segment or a single row does).
    bool LeadingNullsSettled = false;
    // True when they leave only rows whose leading order term is NULL.
    bool LeadingTermNull = false;
};

} // namespace vorn
