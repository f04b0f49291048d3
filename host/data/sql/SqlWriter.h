#pragma once

#include "host/data/sql/SqlAst.h"
#include "host/data/sql/SqlDialect.h"

namespace vorn {

// Writes a parsed statement as the SQL of one backend into Out (text and parameters).
void WriteSqlStatement(const TSqlSelect& Select, TSqlBackend Backend, TTranslatedSql& Out);

// Writes a parsed condition; its placeholders are numbered from FirstParameterNumber.
void WriteSqlCondition(const TSqlExpr& Condition, TSqlBackend Backend, int FirstParameterNumber,
                       TTranslatedSql& Out, TSqlValueBinding Binding = svbLiterals);

} // namespace vorn
