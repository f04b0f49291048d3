#include "tests/support/MariaDbScratch.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// The backend suites write each statement once; on MariaDB it must mean what it means on
// the other backends, or a suite compares the library with the wrong oracle.
struct TTranslationCase {
    const char* Name;
    const char* Sql;
    const char* Expected;
};

class MariaDbTestSqlTest : public ::testing::TestWithParam<TTranslationCase> {};

TEST_P(MariaDbTestSqlTest, MeansWhatItMeansOnTheOtherBackends) {
    EXPECT_EQ(vorn::testsupport::MariaDbSql(GetParam().Sql), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, MariaDbTestSqlTest,
    ::testing::Values(
        TTranslationCase{"Identifiers", R"(SELECT "ID" FROM "Cust" WHERE `Name` = ?1)",
                         "SELECT `ID` FROM `Cust` WHERE `Name` = ?1"},
        TTranslationCase{"QuotesInsideIdentifiers", R"(SELECT "it's", `say "x"` FROM "T")",
                         "SELECT `it's`, `say \"x\"` FROM `T`"},
        TTranslationCase{"BackslashIsNoEscape", R"(SELECT 'a\b', '"x"', 'it''s')",
                         R"(SELECT 'a\\b', '"x"', 'it''s')"},
        TTranslationCase{"NullsFirst", R"(SELECT 1 FROM "T" ORDER BY "X" NULLS FIRST, "ID")",
                         "SELECT 1 FROM `T` ORDER BY `X` IS NULL DESC, `X`, `ID`"},
        TTranslationCase{"NullsLastDescending", R"(SELECT 1 FROM "T" ORDER BY "X" DESC NULLS LAST)",
                         "SELECT 1 FROM `T` ORDER BY `X` IS NULL, `X` DESC"},
        TTranslationCase{"QualifiedColumnKeepsItsTable",
                         R"(SELECT 1 FROM "A" "t" ORDER BY "t"."X" ASC NULLS LAST)",
                         "SELECT 1 FROM `A` `t` ORDER BY `t`.`X` IS NULL, `t`.`X` ASC"},
        TTranslationCase{"LiteralsAreNoOrder", R"(SELECT '"X" NULLS FIRST' FROM "T")",
                         "SELECT '\"X\" NULLS FIRST' FROM `T`"},
        TTranslationCase{"Analyze", R"(ANALYZE "Cust")", "ANALYZE TABLE `Cust`"}),
    [](const ::testing::TestParamInfo<TTranslationCase>& Info) { return Info.param.Name; });

} // namespace
