#pragma once

#include "host/data/sql/SqlAst.h"
#include "host/data/sql/SqlDialect.h"

#include <string>
#include <vector>

namespace vorn {

// Raises ESqlSyntaxError, naming the construct and its position, when a parsed
// condition uses more of the dialect than Form allows.
void CheckSqlCondition(const TSqlExpr& Condition, TSqlConditionForm Form);

// The names of the columns a condition refers to, without qualifier, each once, in
// order of first appearance.
std::vector<std::string> SqlReferencedFieldNames(const TSqlExpr& Condition);

} // namespace vorn
