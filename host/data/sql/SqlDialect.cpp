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

std::string SqlLikeEscapeClause(TSqlBackend Backend) {
    switch (Backend) {
    case sbPostgreSQL:
        // An escape-string literal reads its backslashes whatever standard_conforming_strings.
        return " ESCAPE E'\\\\'";
    case sbMariaDB:
        // A plain literal would read its backslash by the session's sql_mode.
        return " ESCAPE _utf8mb4 X'5C'";
    case sbSQLite:
        break;
    }
    return " ESCAPE '\\'";
}

std::string SqlTextOf(TSqlBackend Backend, const std::string& ArgumentSql) {
    return "CAST(" + ArgumentSql + (Backend == sbMariaDB ? " AS CHAR)" : " AS TEXT)");
}

} // namespace vorn
