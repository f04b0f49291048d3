#pragma once

#include "host/data/sql/SqlAst.h"

#include <memory>
#include <string>

namespace vorn {

// Parses one SELECT statement of the system's dialect. Raises ESqlSyntaxError,
// naming what was wrong and its position, for any text that is not one.
std::unique_ptr<TSqlSelect> ParseSqlStatement(const std::string& Text);

// Parses one condition (the text of a WHERE clause without the word WHERE).
TSqlExprPtr ParseSqlCondition(const std::string& Text);

} // namespace vorn
