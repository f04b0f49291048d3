#include "host/data/sql/SqlDialect.h"
#include "tests/support/CodePageGuard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorn::test {
namespace {

struct TBindingCase {
    const char* Condition;
    TSqlBackend Backend;
    const char* Text;
    std::vector<std::string> Parameters;
    std::vector<TSqlParameterKind> Kinds;
    std::vector<std::string> Fields; // the field each parameter meets
};

class SqlValueBindingTest : public ::testing::TestWithParam<TBindingCase> {};

// With every value bound, each parameter reports the field that it is compared with, so
// that a caller can bind it with that field's type.
TEST_P(SqlValueBindingTest, BindsEveryValueAndNamesItsField) {
    const TBindingCase& Case = GetParam();
    // UPPER is written as it folds under UTF-8.
    const TCodePageGuard Guard(cpUtf8);
    const TTranslatedSql Sql =
        TranslateCondition(Case.Condition, Case.Backend, scfWhereClause, 1, svbAllValues);
    EXPECT_EQ(Sql.Text, Case.Text);
    EXPECT_EQ(Sql.Parameters, Case.Parameters);
    std::vector<TSqlParameterKind> Kinds;
    std::vector<std::string> Fields;
    for (const TSqlParameterSource& Source : Sql.ParameterSources) {
        Kinds.push_back(Source.Kind);
        Fields.push_back(Source.FieldName);
    }
    EXPECT_EQ(Kinds, Case.Kinds);
    EXPECT_EQ(Fields, Case.Fields);
}

const TBindingCase BindingCases[] = {
    {"Age > -5", sbPostgreSQL, "\"Age\" > $1", {"-5"}, {spkNumber}, {"Age"}},
    {"- 2.5e3 <= t.Age", sbSQLite, "?1 <= \"t\".\"Age\"", {"-2.5e3"}, {spkNumber}, {"Age"}},
    {"Age = - -1", sbSQLite, "\"Age\" = -(?1)", {"-1"}, {spkNumber}, {""}},
    {"UPPER(City) = 'A\\'B' AND Active = TRUE",
     sbSQLite,
     "vorn_upper(\"City\") = ?1 AND \"Active\" = ?2",
     {"A'B", "1"},
     {spkText, spkBoolean},
     {"City", "Active"}},
    {"Active <> FALSE", sbPostgreSQL, "\"Active\" <> $1", {"FALSE"}, {spkBoolean}, {"Active"}},
    // MariaDB keeps truth values as 1 and 0, and a parameter bound as the text TRUE would
    // compare as the number 0.
    {"Active <> FALSE OR Age BETWEEN -1 AND 2 OR Active = TRUE",
     sbMariaDB,
     "`Active` <> ?1 OR `Age` BETWEEN ?2 AND ?3 OR `Active` = ?4",
     {"0", "-1", "2", "1"},
     {spkBoolean, spkNumber, spkNumber, spkBoolean},
     {"Active", "Age", "Age", "Active"}},
    {"Age BETWEEN -1 AND 2 OR Age NOT IN (3, -4)",
     sbPostgreSQL,
     "\"Age\" BETWEEN $1 AND $2 OR \"Age\" NOT IN ($3, $4)",
     {"-1", "2", "3", "-4"},
     {spkNumber, spkNumber, spkNumber, spkNumber},
     {"Age", "Age", "Age", "Age"}},
    {"Name LIKE 'a\\_%' OR Name STARTING WITH '5%' OR Name CONTAINING 'x'",
     sbSQLite,
     "\"Name\" LIKE ?1 ESCAPE '\\' OR \"Name\" LIKE ?2 ESCAPE '\\' OR vorn_upper(\"Name\") LIKE "
     "?3 ESCAPE '\\'",
     {"a\\_%", "5\\%%", "%X%"},
     {spkPattern, spkPattern, spkPattern},
     {"Name", "Name", "Name"}},
    // A value inside an expression meets the expression, not a field.
    {"Age + 1 > 2 AND length(Name) = 3",
     sbSQLite,
     "\"Age\" + ?1 > ?2 AND length(\"Name\") = ?3",
     {"1", "2", "3"},
     {spkNumber, spkNumber, spkNumber},
     {"", "", ""}},
};

INSTANTIATE_TEST_SUITE_P(SqlDialect, SqlValueBindingTest, ::testing::ValuesIn(BindingCases));

// By default numbers and truth values stay in the text; the string literals are still
// reported with their fields.
TEST(SqlValueBindingDefaultTest, KeepsNumbersInTheText) {
    const TTranslatedSql Sql = TranslateCondition("Age > -5 AND Active = TRUE AND Name = 'x'",
                                                  sbSQLite, scfSimpleFilter, 3);
    EXPECT_EQ(Sql.Text, "\"Age\" > -5 AND \"Active\" = 1 AND \"Name\" = ?3");
    EXPECT_EQ(Sql.Parameters, std::vector<std::string>{"x"});
    ASSERT_EQ(Sql.ParameterSources.size(), 1u);
    EXPECT_EQ(Sql.ParameterSources[0].Kind, spkText);
    EXPECT_EQ(Sql.ParameterSources[0].FieldName, "Name");
}

} // namespace
} // namespace vorn::test
