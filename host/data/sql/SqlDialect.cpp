#include "host/data/sql/SqlDialect.h"

#include "host/data/sql/SqlConditionRules.h"
#include "host/data/sql/SqlParser.h"
#include "host/data/sql/SqlWriter.h"

namespace vorn {

TTranslatedSql TranslateStatement(const std::string& SystemSql, TSqlBackend Backend) {
    const auto Select = ParseSqlStatement(SystemSql);
    TTranslatedSql Result;
    WriteSqlStatement(*Select, Backend, Result);
    return Result;
}

TTranslatedSql TranslateCondition(const std::string& ConditionText, TSqlBackend Backend,
                                  TSqlConditionForm Form, int FirstParameterNumber,
                                  TSqlValueBinding Binding) {
    if (FirstParameterNumber < 1)
        throw EDatabaseError("TranslateCondition() FirstParameterNumber must be 1 or more, not " +
                             std::to_string(FirstParameterNumber) + ".");
    const TSqlExprPtr Condition = ParseSqlCondition(ConditionText);
    CheckSqlCondition(*Condition, Form);
    TTranslatedSql Result;
    WriteSqlCondition(*Condition, Backend, FirstParameterNumber, Result, Binding);
    Result.FieldNames = SqlReferencedFieldNames(*Condition);
    return Result;
}

} // namespace vorn
