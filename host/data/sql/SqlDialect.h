#pragma once

#include "host/data/sql/SqlSyntaxError.h"

#include <string>
#include <vector>

namespace vorn {

// The system writes its clause texts in one dialect: STARTING WITH, CONTAINING,
// UPPER(...), field names in square brackets, literals with backslash escapes.
// These functions parse that dialect and write the SQL of one backend, so that the
// drivers never see the dialect. Every string literal becomes a bound parameter;
// numbers stay in the text as validated numeric tokens; every identifier is written
// quoted exactly as spelt: in double quotes on SQLite and PostgreSQL, in backticks on
// MariaDB. LIKE is written with an escape character of backslash and must be
// case-sensitive on the connection (the SQLite driver makes it so when it opens a file;
// on MariaDB the text columns need a binary collation). The SQL written for MariaDB
// means the same whatever the session's sql_mode: no backslash in a literal, no ||.

// sbMariaDB serves MariaDB and MySQL servers.
enum TSqlBackend { sbSQLite, sbPostgreSQL, sbMariaDB };

// How much of the dialect a condition may use.
enum TSqlConditionForm {
    // A WHERE condition built by an application: expressions, function calls, IN,
    // BETWEEN, but no sub-select, and every comparison must involve a field.
    scfWhereClause,
    // A dataset's record filter: a field or UPPER(field) compared with a literal or a
    // number (=, <>, !=, <, <=, >, >=, STARTING WITH, CONTAINING, LIKE), IS [NOT] NULL,
    // joined by AND, OR and NOT, with parentheses.
    scfSimpleFilter
};

// Which values of the dialect become bound parameters.
enum TSqlValueBinding {
    // String literals only; numbers and truth values stay in the text.
    svbLiterals,
    // Numbers (with their sign) and truth values too, for a caller that binds each value
    // with a type of its own: a value compared with a field never reaches the text.
    svbAllValues
};

// What the value of a parameter is.
enum TSqlParameterKind {
    spkText,    // a string literal's text
    spkPattern, // the text that LIKE, STARTING WITH or CONTAINING matches: always text
    spkNumber,  // a numeric token, "-" before it when negated (svbAllValues only)
    spkBoolean  // a truth value: "1" or "0" on SQLite and MariaDB, "TRUE" or "FALSE" on
                // PostgreSQL (svbAllValues only)
};

// Where a parameter comes from.
struct TSqlParameterSource {
    TSqlParameterKind Kind = spkText;
    // The field that the value is compared with (without qualifier): the other side of a
    // comparison, the subject of LIKE, STARTING WITH, CONTAINING, IN or BETWEEN, when it
    // is a field or UPPER of a field. Empty when the value is no such operand.
    std::string FieldName;
};

struct TTranslatedSql {
    // The backend's SQL, with numbered placeholders: "?1".."?n" (SQLite, MariaDB) or
    // "$1".."$n" (PostgreSQL).
    std::string Text;
    // The values of the placeholders, in order, to be bound as text.
    std::vector<std::string> Parameters;
    // For each parameter, in the same order: what its value is and which field it meets.
    std::vector<TSqlParameterSource> ParameterSources;
    // For a condition: the fields it names (without qualifier), each once, in order of
    // first appearance, so that a dataset can check them against its own fields.
    std::vector<std::string> FieldNames;
};

// Translates one SELECT statement of the dialect. Raises ESqlSyntaxError for text
// that is no such statement.
TTranslatedSql TranslateStatement(const std::string& SystemSql, TSqlBackend Backend);

// Translates one condition (a WHERE clause without the word WHERE). Placeholders are
// numbered from FirstParameterNumber, so that the condition can join a statement that
// already has parameters, and be repeated in it. The text is one complete expression:
// put it in parentheses before joining it to other conditions with AND.
// Binding says which values become parameters.
// Raises ESqlSyntaxError for malformed text or text the form does not allow, and
// for an empty condition.
TTranslatedSql TranslateCondition(const std::string& ConditionText, TSqlBackend Backend,
                                  TSqlConditionForm Form = scfWhereClause,
                                  int FirstParameterNumber = 1,
                                  TSqlValueBinding Binding = svbLiterals);

// The ESCAPE clause, with its leading space, that makes the backslash the escape character
// of a LIKE pattern on Backend, read the same whatever the session's settings.
std::string SqlLikeEscapeClause(TSqlBackend Backend);

// ArgumentSql converted to text on Backend, for LIKE on a value of another type.
std::string SqlTextOf(TSqlBackend Backend, const std::string& ArgumentSql);

} // namespace vorn
