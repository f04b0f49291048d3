#pragma once

#include "host/data/dataset/Variant.h"

#include <string>
#include <vector>

namespace vorn {

// A statement whose numbered placeholders ("?1", "?2", ...) became MariaDB's positional
// "?": Order holds, for each "?" in turn, the number (from 1) of the value it takes.
struct TPositionalSql {
    std::string Sql;
    std::vector<int> Order;
};

// Rewrites the numbered placeholders of Sql outside identifiers in backticks, string
// literals and comments. A number may repeat and come in any order. Raises
// EDatabaseError for a "?" without a number.
TPositionalSql ToPositionalPlaceholders(const std::string& Sql);

// The values in the order of the positional placeholders; raises EDatabaseError for a
// placeholder number that has no value.
std::vector<TVariant> OrderParams(const TPositionalSql& Statement,
                                  const std::vector<TVariant>& Values);

} // namespace vorn
