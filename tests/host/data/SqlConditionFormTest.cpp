#include "host/components/text/CodePage.h"
#include "host/data/sql/SqlDialect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorn;

namespace {

struct TRefusal {
    std::string Condition;
    std::string Message;
};

void ExpectRefusedIn(TSqlConditionForm Form, const TRefusal& Case) {
    SCOPED_TRACE("«" + Case.Condition + "»");
    for (TSqlBackend Backend : {sbSQLite, sbPostgreSQL}) {
        try {
            const TTranslatedSql Result = TranslateCondition(Case.Condition, Backend, Form);
            ADD_FAILURE() << "translated to: " << Result.Text;
        } catch (const ESqlSyntaxError& Error) {
            EXPECT_EQ(Error.Message(), Case.Message);
        }
    }
}

void ExpectAcceptedIn(TSqlConditionForm Form, const std::vector<std::string>& Conditions) {
    for (const std::string& Condition : Conditions) {
        SCOPED_TRACE("«" + Condition + "»");
        for (TSqlBackend Backend : {sbSQLite, sbPostgreSQL})
            EXPECT_NO_THROW(TranslateCondition(Condition, Backend, Form));
    }
}

} // namespace

TEST(SqlConditionForm, FiltersAcceptComparisonsOfAFieldWithAValue) {
    ExpectAcceptedIn(scfSimpleFilter, {"UPPER([Last Name]) = 'O\\'BRIEN'",
                                       "UPPER(City) = 'PARIS' OR Salary >= 5000",
                                       "Salary >= 5000 AND Phone IS NULL",
                                       "UPPER(Name) STARTING WITH 'SM'",
                                       "Name CONTAINING 'ith'",
                                       "UPPER(Name) LIKE 'A\\_B_'",
                                       "Name = 'Smith' AND City = ''",
                                       "'Smith' = Name",
                                       "Age >= -5.5e1",
                                       "NOT (Name = 'a' OR [Last Name] IS NOT NULL)",
                                       "Name NOT LIKE 'a%'",
                                       "upper(Name) <> 'A'",
                                       "Age != 3",
                                       "UPPER(City) IN ('A', 'B\\'C')",
                                       "Age IN (1, -2, 3.5)",
                                       "Age NOT IN (1)",
                                       "Age BETWEEN -1 AND 3",
                                       "UPPER(Name) BETWEEN 'A' AND 'M'",
                                       "Born NOT BETWEEN '2020-01-01' AND "
                                       "'2020-12-31'",
                                       "Active IN (TRUE)",
                                       "NOT (Age BETWEEN 1 AND 2) OR [Last Name] IN ('x')"});
}

TEST(SqlConditionForm, FiltersRefuseEverythingElse) {
    const std::vector<TRefusal> Cases = {
        {"Name = (SELECT Name FROM People)", "A sub-select is not allowed in a condition at "
                                             "position 8."},
        {"EXISTS (SELECT 1 FROM People)", "A sub-select is not allowed in a condition at "
                                          "position 1."},
        {"Name IN (SELECT Name FROM People)", "A sub-select is not allowed in a condition at "
                                              "position 1."},
        {"Name = 'x' OR 'a'='a'", "A filter comparison must name a field at position 15."},
        {"1 = 1", "A filter comparison must name a field at position 1."},
        {"Name = City", "A filter compares a field with a literal or a number, not with another "
                        "field at position 1."},
        {"Age + 1 > 3", "An arithmetic expression is not allowed in a filter comparison at "
                        "position 1."},
        {"Name || 'a' = 'ba'", "A concatenation is not allowed in a filter comparison at "
                               "position 1."},
        {"LOWER(Name) = 'a'", "The function LOWER is not allowed in a filter comparison at "
                              "position 1."},
        {"UPPER('a') = 'A'", "The function UPPER is not allowed in a filter comparison at "
                             "position 1."},
        {"t.Name = 'a'", "A qualified name is not allowed in a filter comparison at position 1."},
        {"Name = NULL", "NULL is not allowed in a filter comparison at position 8."},
        {"Name IN ('a', City)", "A field name is not allowed after IN in a filter: it takes "
                                "string literals and numbers at position 15."},
        {"Name IN ('a', NULL)", "NULL is not allowed after IN in a filter: it takes string "
                                "literals and numbers at position 15."},
        {"Age IN (1 + 1)", "An arithmetic expression is not allowed after IN in a filter: it "
                           "takes string literals and numbers at position 9."},
        {"Age BETWEEN 1 AND Age", "A field name is not allowed after BETWEEN in a filter: it "
                                  "takes string literals and numbers at position 19."},
        {"Age BETWEEN UPPER('a') AND 3", "The function UPPER is not allowed after BETWEEN in a "
                                         "filter: it takes string literals and numbers at "
                                         "position 13."},
        {"1 BETWEEN 0 AND 2", "A number is not allowed in a filter: it takes a field or "
                              "UPPER(field) here at position 1."},
        {"LOWER(Name) IN ('a')", "The function LOWER is not allowed in a filter: it takes a "
                                 "field or UPPER(field) here at position 1."},
        {"Name", "A field name is no condition: a filter needs a comparison at position 1."},
        {"Name = 'a' OR 'b'", "A string literal is no condition: a filter needs a comparison at "
                              "position 15."},
        {"Name LIKE City", "A field name is not allowed after LIKE in a filter: it takes a "
                           "string literal at position 11."},
        {"Name STARTING WITH 5", "A number is not allowed after STARTING WITH in a filter: it "
                                 "takes a string literal at position 20."},
        {"'a' LIKE 'a'", "A string literal is not allowed in a filter: it takes a field or "
                         "UPPER(field) here at position 1."},
        {"1 IS NULL", "A number is not allowed in a filter: it takes a field or UPPER(field) "
                      "here at position 1."},
    };
    for (const TRefusal& Case : Cases)
        ExpectRefusedIn(scfSimpleFilter, Case);
}

TEST(SqlConditionForm, WhereClausesAcceptExpressionsThatInvolveAField) {
    ExpectAcceptedIn(scfWhereClause,
                     {"Age + 1 > 3", "LOWER(Name) = 'a'", "t.Name = 'a'", "Name IN ('a', 'b')",
                      "Age BETWEEN 1 AND 3", "Active", "Active AND Name = City",
                      "Name LIKE City || '%'", "'Smith' = Name", "NOT Active"});
}

// A predicate without any field decides nothing about a row; in a condition it is
// what text that escaped its literal looks like.
TEST(SqlConditionForm, WhereClausesRefuseSubSelectsAndConstantConditions) {
    const std::vector<TRefusal> Cases = {
        {"1 = 1", "The condition does not involve any field at position 1."},
        {"Name = 'x' OR 'a'='a'", "The condition does not involve any field at position 15."},
        {"Name = 'x' OR 'a' LIKE '%'", "The condition does not involve any field at position 15."},
        {"NULL IS NULL", "The condition does not involve any field at position 1."},
        {"Name = 'x' OR 1", "A number is no condition at position 15."},
        {"Name = 'x' OR '1'", "A string literal is no condition at position 15."},
        {"Age + 1", "An arithmetic expression is no condition at position 1."},
        {"Name = 'x' OR EXISTS (SELECT 1 FROM Secrets)", "A sub-select is not allowed in a "
                                                         "condition at position 15."},
        {"Age > (SELECT MAX(Age) FROM People)", "A sub-select is not allowed in a condition at "
                                                "position 7."},
    };
    for (const TRefusal& Case : Cases)
        ExpectRefusedIn(scfWhereClause, Case);
}

// What the composer writes for values an end user may type: the value either stays
// inside its literal (one parameter holding all of it) or the text is refused.
TEST(SqlConditionForm, HostileValuesStayInsideTheirLiteralOrAreRefused) {
    // A single-byte host code page: the upper-case calls then name no collation, so that a
    // dash or semicolon in the text can only have come from a value.
    SetHostCodePage(cpWindows1250);
    struct TCase {
        std::string Composed;
        std::string Parameter; // empty: the text must be refused
    };
    const std::vector<TCase> Cases = {
        {"UPPER(Name) = '\\' OR 1=1 --'", "' OR 1=1 --"},
        {"UPPER(Name) = 'X\\'; DROP TABLE PEOPLE; --'", "X'; DROP TABLE PEOPLE; --"},
        {"UPPER(Name) LIKE '%\\' OR \\'A\\'=\\'A%'", "%' OR 'A'='A%"},
        {"Name STARTING WITH '\\\\'", "\\\\%"},
        {"UPPER(Name) = '", ""},
        {"UPPER(Name) = 'ABC\\'", ""},
        {"UPPER(Name) = 'X' OR 'A'='A'", ""},
        {"UPPER(Name) = 'X' OR 1=1", ""},
        {"Name = 'x'; DROP TABLE People; --'", ""},
        {"Name = 'x' -- '", ""},
        {"Name = 'x' OR Name IN (SELECT Password FROM Users)", ""},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE("«" + Case.Composed + "»");
        for (TSqlConditionForm Form : {scfSimpleFilter, scfWhereClause})
            for (TSqlBackend Backend : {sbSQLite, sbPostgreSQL}) {
                if (Case.Parameter.empty()) {
                    EXPECT_THROW(TranslateCondition(Case.Composed, Backend, Form), ESqlSyntaxError);
                    continue;
                }
                const TTranslatedSql Result = TranslateCondition(Case.Composed, Backend, Form);
                EXPECT_EQ(Result.Parameters, std::vector<std::string>{Case.Parameter});
                EXPECT_EQ(Result.Text.find_first_of(";-"), std::string::npos) << Result.Text;
            }
    }
}
