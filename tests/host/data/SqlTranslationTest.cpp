#include "host/components/text/CodePage.h"
#include "host/data/sql/SqlDialect.h"
#include "host/data/sql/SqlUpperCase.h"
#include "tests/support/CodePageGuard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <string>
#include <vector>

using namespace vorn;

namespace {

using TTexts = std::vector<std::string>;
using test::TCodePageGuard;

const std::string PgUpper = "translate(CAST(\"Name\" AS text), 'abcdefghijklmnopqrstuvwxyz', "
                            "'ABCDEFGHIJKLMNOPQRSTUVWXYZ')";

// MariaDB's UPPER would fold every letter: a to z are replaced one by one instead.
std::string MariaDbAsciiUpper(const std::string& Sql) {
    return "(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE("
           "REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE("
           "REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(REPLACE(CAST(" +
           Sql +
           " AS CHAR CHARACTER SET utf8mb4), 'a', 'A'), 'b', 'B'), 'c', 'C'), 'd', 'D'), 'e', "
           "'E'), 'f', 'F'), 'g', 'G'), 'h', 'H'), 'i', 'I'), 'j', 'J'), 'k', 'K'), 'l', 'L'), "
           "'m', 'M'), 'n', 'N'), 'o', 'O'), 'p', 'P'), 'q', 'Q'), 'r', 'R'), 's', 'S'), 't', "
           "'T'), 'u', 'U'), 'v', 'V'), 'w', 'W'), 'x', 'X'), 'y', 'Y'), 'z', 'Z') COLLATE "
           "utf8mb4_bin)";
}

struct TTranslation {
    std::string Dialect;
    std::string SQLite;
    std::string PostgreSQL;
    std::string MariaDB;
    TTexts Parameters;
};

void ExpectCondition(const TTranslation& Case) {
    SCOPED_TRACE("«" + Case.Dialect + "»");
    const TTranslatedSql Lite = TranslateCondition(Case.Dialect, sbSQLite);
    EXPECT_EQ(Lite.Text, Case.SQLite);
    EXPECT_EQ(Lite.Parameters, Case.Parameters);
    const TTranslatedSql Pg = TranslateCondition(Case.Dialect, sbPostgreSQL);
    EXPECT_EQ(Pg.Text, Case.PostgreSQL);
    EXPECT_EQ(Pg.Parameters, Case.Parameters);
    const TTranslatedSql My = TranslateCondition(Case.Dialect, sbMariaDB);
    EXPECT_EQ(My.Text, Case.MariaDB);
    EXPECT_EQ(My.Parameters, Case.Parameters);
}

} // namespace

TEST(SqlTranslation, ClauseTextsOfTheComposerBecomeBackendSql) {
    // Written in Windows-1250, where UPPER folds a to z only.
    TCodePageGuard Guard(cpWindows1250);
    const std::vector<TTranslation> Cases = {
        {.Dialect = "UPPER([Last Name]) = 'O\\'BRIEN'",
         .SQLite = "UPPER(\"Last Name\") = ?1",
         .PostgreSQL = "translate(CAST(\"Last Name\" AS text), 'abcdefghijklmnopqrstuvwxyz', "
                       "'ABCDEFGHIJKLMNOPQRSTUVWXYZ') = $1",
         .MariaDB = MariaDbAsciiUpper("`Last Name`") + " = ?1",
         .Parameters = {"O'BRIEN"}},
        {.Dialect = "UPPER(City) = 'PARIS' OR Salary >= 5000",
         .SQLite = "UPPER(\"City\") = ?1 OR \"Salary\" >= 5000",
         .PostgreSQL = "translate(CAST(\"City\" AS text), 'abcdefghijklmnopqrstuvwxyz', "
                       "'ABCDEFGHIJKLMNOPQRSTUVWXYZ') = $1 OR \"Salary\" >= 5000",
         .MariaDB = MariaDbAsciiUpper("`City`") + " = ?1 OR `Salary` >= 5000",
         .Parameters = {"PARIS"}},
        {.Dialect = "Salary >= 5000 AND Phone IS NULL",
         .SQLite = "\"Salary\" >= 5000 AND \"Phone\" IS NULL",
         .PostgreSQL = "\"Salary\" >= 5000 AND \"Phone\" IS NULL",
         .MariaDB = "`Salary` >= 5000 AND `Phone` IS NULL",
         .Parameters = {}},
        {.Dialect = "UPPER(Name) STARTING WITH 'SM'",
         .SQLite = "UPPER(\"Name\") LIKE ?1 ESCAPE '\\'",
         .PostgreSQL = PgUpper + " LIKE $1 ESCAPE E'\\\\'",
         .MariaDB = MariaDbAsciiUpper("`Name`") + " LIKE ?1 ESCAPE _utf8mb4 X'5C'",
         .Parameters = {"SM%"}},
        {.Dialect = "Name CONTAINING 'ith'",
         .SQLite = "UPPER(\"Name\") LIKE ?1 ESCAPE '\\'",
         .PostgreSQL = PgUpper + " LIKE $1 ESCAPE E'\\\\'",
         .MariaDB = MariaDbAsciiUpper("`Name`") + " LIKE ?1 ESCAPE _utf8mb4 X'5C'",
         .Parameters = {"%ITH%"}},
        {.Dialect = "Name LIKE '%ith%'",
         .SQLite = "\"Name\" LIKE ?1 ESCAPE '\\'",
         .PostgreSQL = "CAST(\"Name\" AS text) LIKE $1 ESCAPE E'\\\\'",
         .MariaDB = "`Name` LIKE ?1 ESCAPE _utf8mb4 X'5C'",
         .Parameters = {"%ith%"}},
        {.Dialect = "UPPER(Name) LIKE 'A\\_B_'",
         .SQLite = "UPPER(\"Name\") LIKE ?1 ESCAPE '\\'",
         .PostgreSQL = PgUpper + " LIKE $1 ESCAPE E'\\\\'",
         .MariaDB = MariaDbAsciiUpper("`Name`") + " LIKE ?1 ESCAPE _utf8mb4 X'5C'",
         .Parameters = {"A\\_B_"}},
        {.Dialect = "UPPER(Name) = '50*'",
         .SQLite = "UPPER(\"Name\") = ?1",
         .PostgreSQL = PgUpper + " = $1",
         .MariaDB = MariaDbAsciiUpper("`Name`") + " = ?1",
         .Parameters = {"50*"}},
        {.Dialect = "UPPER(Name) STARTING WITH ''",
         .SQLite = "UPPER(\"Name\") LIKE ?1 ESCAPE '\\'",
         .PostgreSQL = PgUpper + " LIKE $1 ESCAPE E'\\\\'",
         .MariaDB = MariaDbAsciiUpper("`Name`") + " LIKE ?1 ESCAPE _utf8mb4 X'5C'",
         .Parameters = {"%"}},
        {.Dialect = "Name = 'Smith' AND City = ''",
         .SQLite = "\"Name\" = ?1 AND \"City\" = ?2",
         .PostgreSQL = "\"Name\" = $1 AND \"City\" = $2",
         .MariaDB = "`Name` = ?1 AND `City` = ?2",
         .Parameters = {"Smith", ""}},
        {.Dialect = "City IS NULL AND UPPER(Name) STARTING WITH 'SM'",
         .SQLite = "\"City\" IS NULL AND UPPER(\"Name\") LIKE ?1 ESCAPE '\\'",
         .PostgreSQL = "\"City\" IS NULL AND " + PgUpper + " LIKE $1 ESCAPE E'\\\\'",
         .MariaDB =
             "`City` IS NULL AND " + MariaDbAsciiUpper("`Name`") + " LIKE ?1 ESCAPE _utf8mb4 X'5C'",
         .Parameters = {"SM%"}},
        {.Dialect = "Phone IS NOT NULL",
         .SQLite = "\"Phone\" IS NOT NULL",
         .PostgreSQL = "\"Phone\" IS NOT NULL",
         .MariaDB = "`Phone` IS NOT NULL",
         .Parameters = {}},
        // Truth values, as the filter grid writes them for a boolean field.
        {.Dialect = "Active = true OR Active <> FALSE",
         .SQLite = "\"Active\" = 1 OR \"Active\" <> 0",
         .PostgreSQL = "\"Active\" = TRUE OR \"Active\" <> FALSE",
         .MariaDB = "`Active` = 1 OR `Active` <> 0",
         .Parameters = {}},
        {.Dialect = "[true] = True",
         .SQLite = "\"true\" = 1",
         .PostgreSQL = "\"true\" = TRUE",
         .MariaDB = "`true` = 1",
         .Parameters = {}},
    };
    for (const TTranslation& Case : Cases)
        ExpectCondition(Case);
}

// A literal means its text, except as the pattern of LIKE, where its backslash pairs
// stay the pattern's escapes; STARTING WITH and CONTAINING escape what their text holds.
TEST(SqlTranslation, UnderUtf8UpperFoldsEveryLetterOnBothBackends) {
    TCodePageGuard Guard(cpUtf8);
    const std::string LiteUpper = "vorn_upper(\"Name\")";
    const std::string PgIcuUpper =
        "(upper(CAST(\"Name\" AS text) COLLATE \"und-x-icu\") COLLATE \"default\")";
    // Its content is checked by MariaDbUpperCaseFoldsAsTheComponentsDo.
    const std::string MariaDbUpper = SqlUpperCaseOf(sbMariaDB, "`Name`");
    const std::vector<TTranslation> Cases = {
        {.Dialect = "UPPER(Name) = '\u0160ABAN'",
         .SQLite = LiteUpper + " = ?1",
         .PostgreSQL = PgIcuUpper + " = $1",
         .MariaDB = MariaDbUpper + " = ?1",
         .Parameters = {"\u0160ABAN"}},
        {.Dialect = "UPPER(Name) STARTING WITH '\u0110O'",
         .SQLite = LiteUpper + " LIKE ?1 ESCAPE '\\'",
         .PostgreSQL = PgIcuUpper + " LIKE $1 ESCAPE E'\\\\'",
         .MariaDB = MariaDbUpper + " LIKE ?1 ESCAPE _utf8mb4 X'5C'",
         .Parameters = {"\u0110O%"}},
        // CONTAINING folds its literal in C++ as the database folds the field.
        {.Dialect = "Name CONTAINING '\u03B5\u03BB\u03BB_'",
         .SQLite = LiteUpper + " LIKE ?1 ESCAPE '\\'",
         .PostgreSQL = PgIcuUpper + " LIKE $1 ESCAPE E'\\\\'",
         .MariaDB = MariaDbUpper + " LIKE ?1 ESCAPE _utf8mb4 X'5C'",
         .Parameters = {"%\u0395\u039B\u039B\\_%"}},
        {.Dialect = "Name CONTAINING 'stra\u00DFe'",
         .SQLite = LiteUpper + " LIKE ?1 ESCAPE '\\'",
         .PostgreSQL = PgIcuUpper + " LIKE $1 ESCAPE E'\\\\'",
         .MariaDB = MariaDbUpper + " LIKE ?1 ESCAPE _utf8mb4 X'5C'",
         .Parameters = {"%STRASSE%"}},
        // Case-sensitive forms stay as they are.
        {.Dialect = "Name STARTING WITH '\u0161a'",
         .SQLite = "\"Name\" LIKE ?1 ESCAPE '\\'",
         .PostgreSQL = "CAST(\"Name\" AS text) LIKE $1 ESCAPE E'\\\\'",
         .MariaDB = "`Name` LIKE ?1 ESCAPE _utf8mb4 X'5C'",
         .Parameters = {"\u0161a%"}},
    };
    for (const TTranslation& Case : Cases)
        ExpectCondition(Case);
}

TEST(SqlTranslation, LiteralsBecomeParametersByTheLiteralRule) {
    // Written in Windows-1250, where UPPER folds a to z only.
    TCodePageGuard Guard(cpWindows1250);
    struct TCase {
        std::string Condition;
        std::string Parameter;
    };
    const std::vector<TCase> Cases = {
        {"Name = 'O\\'Brien'", "O'Brien"},
        {"Name = 'a\\\\b'", "a\\b"},
        {"Name = 'a\\_b'", "a_b"},
        {"Name = '\\x'", "x"},
        {"Name = 'STARTING WITH x'", "STARTING WITH x"},
        {"Name = '\\' OR 1=1 --'", "' OR 1=1 --"},
        {"Name = '[a] \"b\" ; -- /*'", "[a] \"b\" ; -- /*"},
        {"Name LIKE 'O\\'Brien'", "O'Brien"},
        {"Name LIKE 'a\\\\b'", "a\\\\b"},
        {"Name LIKE 'a\\_b%'", "a\\_b%"},
        {"Name LIKE '50\\%'", "50\\%"},
        {"Name LIKE '\\x'", "\\x"},
        {"Name STARTING WITH 'a_b'", "a\\_b%"},
        {"Name STARTING WITH '50%'", "50\\%%"},
        {"Name STARTING WITH 'a\\\\'", "a\\\\%"},
        {"Name STARTING WITH 'a\\_'", "a\\_%"},
        {"Name CONTAINING 'ab_c'", "%AB\\_C%"},
        {"Name CONTAINING '\\''", "%'%"},
        {"Name CONTAINING '\x9A\x8A'", "%\x9A\x8A%"},
        {"Name = UPPER('x\\'y')", "x'y"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE("«" + Case.Condition + "»");
        for (TSqlBackend Backend : {sbSQLite, sbPostgreSQL})
            EXPECT_EQ(TranslateCondition(Case.Condition, Backend).Parameters,
                      TTexts{Case.Parameter});
    }
}

// SQLite refuses a LIKE pattern of more than 50,000 bytes of UTF-8. Past that, STARTING WITH
// and CONTAINING compare without LIKE on SQLite, and LIKE itself is refused on every
// backend, so that a clause means the same rows everywhere or nothing.
TEST(SqlTranslation, TextMatchesPastTheLikePatternLimit) {
    SetHostCodePage(cpWindows1250);
    const auto Xs = [](std::size_t Count) { return std::string(Count, 'x'); };
    const std::string Ss(25000, '\x9A'); // two bytes each in UTF-8
    const std::string SqliteLike = "\"Name\" LIKE ?1 ESCAPE '\\'";
    const std::string PgLike = "CAST(\"Name\" AS text) LIKE $1 ESCAPE E'\\\\'";
    const std::string PgContaining = PgUpper + " LIKE $1 ESCAPE E'\\\\'";
    const std::string Prefix = "substr(\"Name\", 1, length(?1)) = ?1";
    struct TCase {
        std::string Dialect;
        std::string SQLite;
        TTexts SQLiteParameters;
        std::string PostgreSQL;
        TTexts PostgresParameters;
    };
    const std::vector<TCase> Cases = {
        {.Dialect = "Name STARTING WITH '" + Xs(49999) + "'",
         .SQLite = SqliteLike,
         .SQLiteParameters = {Xs(49999) + "%"},
         .PostgreSQL = PgLike,
         .PostgresParameters = {Xs(49999) + "%"}},
        {.Dialect = "Name STARTING WITH '" + Xs(50000) + "'",
         .SQLite = Prefix,
         .SQLiteParameters = {Xs(50000)},
         .PostgreSQL = PgLike,
         .PostgresParameters = {Xs(50000) + "%"}},
        {.Dialect = "Name NOT STARTING WITH '" + Xs(50000) + "'",
         .SQLite = "substr(\"Name\", 1, length(?1)) <> ?1",
         .SQLiteParameters = {Xs(50000)},
         .PostgreSQL = "CAST(\"Name\" AS text) NOT LIKE $1 ESCAPE E'\\\\'",
         .PostgresParameters = {Xs(50000) + "%"}},
        {.Dialect = "Name STARTING WITH '" + Ss.substr(1) + "'",
         .SQLite = SqliteLike,
         .SQLiteParameters = {Ss.substr(1) + "%"},
         .PostgreSQL = PgLike,
         .PostgresParameters = {Ss.substr(1) + "%"}},
        {.Dialect = "Name STARTING WITH '" + Ss + "'",
         .SQLite = Prefix,
         .SQLiteParameters = {Ss},
         .PostgreSQL = PgLike,
         .PostgresParameters = {Ss + "%"}},
        {.Dialect = "UPPER(Name) STARTING WITH '" + std::string(25000, '_') + "'",
         .SQLite = "substr(UPPER(\"Name\"), 1, length(?1)) = ?1",
         .SQLiteParameters = {std::string(25000, '_')},
         .PostgreSQL = PgContaining,
         .PostgresParameters = {[] {
             std::string Pattern;
             for (int Count = 0; Count < 25000; ++Count)
                 Pattern += "\\_";
             return Pattern + "%";
         }()}},
        {.Dialect = "Id = 'a' AND Name STARTING WITH '" + Xs(50000) + "'",
         .SQLite = "\"Id\" = ?1 AND substr(\"Name\", 1, length(?2)) = ?2",
         .SQLiteParameters = {"a", Xs(50000)},
         .PostgreSQL = "\"Id\" = $1 AND CAST(\"Name\" AS text) LIKE $2 ESCAPE E'\\\\'",
         .PostgresParameters = {"a", Xs(50000) + "%"}},
        {.Dialect = "Name CONTAINING '" + Xs(49998) + "'",
         .SQLite = "UPPER(\"Name\") LIKE ?1 ESCAPE '\\'",
         .SQLiteParameters = {"%" + std::string(49998, 'X') + "%"},
         .PostgreSQL = PgContaining,
         .PostgresParameters = {"%" + std::string(49998, 'X') + "%"}},
        {.Dialect = "Name CONTAINING '" + Xs(49999) + "'",
         .SQLite = "instr(UPPER(\"Name\"), ?1) > 0",
         .SQLiteParameters = {std::string(49999, 'X')},
         .PostgreSQL = PgContaining,
         .PostgresParameters = {"%" + std::string(49999, 'X') + "%"}},
        {.Dialect = "Name NOT CONTAINING '" + Xs(49999) + "'",
         .SQLite = "instr(UPPER(\"Name\"), ?1) = 0",
         .SQLiteParameters = {std::string(49999, 'X')},
         .PostgreSQL = PgUpper + " NOT LIKE $1 ESCAPE E'\\\\'",
         .PostgresParameters = {"%" + std::string(49999, 'X') + "%"}},
        {.Dialect = "Name LIKE '" + Xs(50000) + "'",
         .SQLite = SqliteLike,
         .SQLiteParameters = {Xs(50000)},
         .PostgreSQL = PgLike,
         .PostgresParameters = {Xs(50000)}},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE("«" + Case.Dialect.substr(0, 60) + "»");
        const TTranslatedSql Lite = TranslateCondition(Case.Dialect, sbSQLite);
        EXPECT_EQ(Lite.Text, Case.SQLite);
        EXPECT_EQ(Lite.Parameters, Case.SQLiteParameters);
        const TTranslatedSql Pg = TranslateCondition(Case.Dialect, sbPostgreSQL);
        EXPECT_EQ(Pg.Text, Case.PostgreSQL);
        EXPECT_EQ(Pg.Parameters, Case.PostgresParameters);
    }

    const std::vector<std::pair<std::string, std::string>> Refused = {
        {"Name LIKE '" + Xs(50001) + "'",
         "LIKE pattern of 50001 bytes is longer than the 50000 bytes allowed at position 11."},
        {"Name NOT LIKE '" + Ss + "%'",
         "LIKE pattern of 50001 bytes is longer than the 50000 bytes allowed at position 15."},
        {"Name LIKE '" + std::string(50002, '\\') + "'",
         "LIKE pattern of 50002 bytes is longer than the 50000 bytes allowed at position 11."},
    };
    for (const auto& [Dialect, Message] : Refused) {
        SCOPED_TRACE("«" + Dialect.substr(0, 60) + "»");
        for (TSqlBackend Backend : {sbSQLite, sbPostgreSQL}) {
            try {
                TranslateCondition(Dialect, Backend);
                ADD_FAILURE() << "accepted on backend " << Backend;
            } catch (const ESqlSyntaxError& Error) {
                EXPECT_EQ(Error.Message(), Message);
            }
        }
        EXPECT_THROW(TranslateStatement("SELECT * FROM People WHERE " + Dialect, sbSQLite),
                     ESqlSyntaxError);
    }
}

TEST(SqlTranslation, NamesAreQuotedExactlyAsWrittenAndKeywordsAreNot) {
    const std::vector<TTranslation> Cases = {
        {.Dialect = "CustNo = 1",
         .SQLite = "\"CustNo\" = 1",
         .PostgreSQL = "\"CustNo\" = 1",
         .MariaDB = "`CustNo` = 1",
         .Parameters = {}},
        {.Dialect = "[Cust No] = 1",
         .SQLite = "\"Cust No\" = 1",
         .PostgreSQL = "\"Cust No\" = 1",
         .MariaDB = "`Cust No` = 1",
         .Parameters = {}},
        {.Dialect = "\"Say \"\"hi\"\"\" = 1",
         .SQLite = "\"Say \"\"hi\"\"\" = 1",
         .PostgreSQL = "\"Say \"\"hi\"\"\" = 1",
         .MariaDB = "`Say \"hi\"` = 1",
         .Parameters = {}},
        {.Dialect = "[a\"b] = 1",
         .SQLite = "\"a\"\"b\" = 1",
         .PostgreSQL = "\"a\"\"b\" = 1",
         .MariaDB = "`a\"b` = 1",
         .Parameters = {}},
        {.Dialect = "[a`b] = 1",
         .SQLite = "\"a`b\" = 1",
         .PostgreSQL = "\"a`b\" = 1",
         .MariaDB = "`a``b` = 1",
         .Parameters = {}},
        {.Dialect = "o.CustNo = c.\"CustNo\"",
         .SQLite = "\"o\".\"CustNo\" = \"c\".\"CustNo\"",
         .PostgreSQL = "\"o\".\"CustNo\" = \"c\".\"CustNo\"",
         .MariaDB = "`o`.`CustNo` = `c`.`CustNo`",
         .Parameters = {}},
        {.Dialect = "Date = 1 and Value is not null",
         .SQLite = "\"Date\" = 1 AND \"Value\" IS NOT NULL",
         .PostgreSQL = "\"Date\" = 1 AND \"Value\" IS NOT NULL",
         .MariaDB = "`Date` = 1 AND `Value` IS NOT NULL",
         .Parameters = {}},
        {.Dialect = "\x8Aifra = 1",
         .SQLite = "\"\x8Aifra\" = 1",
         .PostgreSQL = "\"\x8Aifra\" = 1",
         .MariaDB = "`\x8Aifra` = 1",
         .Parameters = {}},
        {.Dialect = "[Order] = 1",
         .SQLite = "\"Order\" = 1",
         .PostgreSQL = "\"Order\" = 1",
         .MariaDB = "`Order` = 1",
         .Parameters = {}},
        {.Dialect = "lower(Name) = 'a'",
         .SQLite = "lower(\"Name\") = ?1",
         .PostgreSQL = "lower(\"Name\") = $1",
         .MariaDB = "lower(`Name`) = ?1",
         .Parameters = {"a"}},
        {.Dialect = "Age IN (1, 2.5, .5, 1e3, 2E-2)",
         .SQLite = "\"Age\" IN (1, 2.5, .5, 1e3, 2E-2)",
         .PostgreSQL = "\"Age\" IN (1, 2.5, .5, 1e3, 2E-2)",
         .MariaDB = "`Age` IN (1, 2.5, .5, 1e3, 2E-2)",
         .Parameters = {}},
        {.Dialect = "Age NOT BETWEEN -1 AND +2",
         .SQLite = "\"Age\" NOT BETWEEN -1 AND +2",
         .PostgreSQL = "\"Age\" NOT BETWEEN -1 AND +2",
         .MariaDB = "`Age` NOT BETWEEN -1 AND +2",
         .Parameters = {}},
        {.Dialect = "Name NOT IN ('a', 'b')",
         .SQLite = "\"Name\" NOT IN (?1, ?2)",
         .PostgreSQL = "\"Name\" NOT IN ($1, $2)",
         .MariaDB = "`Name` NOT IN (?1, ?2)",
         .Parameters = {"a", "b"}},
        {.Dialect = "Age != 3",
         .SQLite = "\"Age\" <> 3",
         .PostgreSQL = "\"Age\" <> 3",
         .MariaDB = "`Age` <> 3",
         .Parameters = {}},
        {.Dialect = "Name NOT STARTING WITH 'a'",
         .SQLite = "\"Name\" NOT LIKE ?1 ESCAPE '\\'",
         .PostgreSQL = "CAST(\"Name\" AS text) NOT LIKE $1 ESCAPE E'\\\\'",
         .MariaDB = "`Name` NOT LIKE ?1 ESCAPE _utf8mb4 X'5C'",
         .Parameters = {"a%"}},
    };
    for (const TTranslation& Case : Cases)
        ExpectCondition(Case);
}

// The writer puts back the parentheses the tree needs, also where the backends would
// read the same bare text differently.
TEST(SqlTranslation, ParenthesesFollowTheTree) {
    const std::vector<std::pair<std::string, std::string>> Cases = {
        {"(Age = 1 OR Age = 2) AND Name = 'a'", "(\"Age\" = 1 OR \"Age\" = 2) AND \"Name\" = ?1"},
        {"Age = 1 OR Age = 2 AND Name = 'a'", "\"Age\" = 1 OR \"Age\" = 2 AND \"Name\" = ?1"},
        {"((Age = 1))", "\"Age\" = 1"},
        {"Age = 1 OR (Age = 2 OR Age = 3)", "\"Age\" = 1 OR (\"Age\" = 2 OR \"Age\" = 3)"},
        {"NOT Age = 1", "NOT \"Age\" = 1"},
        {"NOT (Age = 1 AND Name = 'a')", "NOT (\"Age\" = 1 AND \"Name\" = ?1)"},
        {"NOT NOT Age = 1", "NOT (NOT \"Age\" = 1)"},
        {"Age - (Salary - 1) > 0", "\"Age\" - (\"Salary\" - 1) > 0"},
        {"Age - Salary - 1 > 0", "\"Age\" - \"Salary\" - 1 > 0"},
        {"(Age + 1) * 2 > 0", "(\"Age\" + 1) * 2 > 0"},
        {"Name || Age + 1 = 'a'", "\"Name\" || (\"Age\" + 1) = ?1"},
        {"(Name || Age) + 1 = 2", "(\"Name\" || \"Age\") + 1 = 2"},
        {"Age - -1 > 0", "\"Age\" - -1 > 0"},
        {"- -Age > 0", "-(-\"Age\") > 0"},
        {"(Age = 1) = (Name = 'a')", "(\"Age\" = 1) = (\"Name\" = ?1)"},
        {"Age = 1 IS NULL", "(\"Age\" = 1) IS NULL"},
        {"Age BETWEEN 1 + 1 AND 3 AND Name = 'a'", "\"Age\" BETWEEN 1 + 1 AND 3 AND \"Name\" = ?1"},
    };
    for (const auto& [Dialect, SQLite] : Cases) {
        SCOPED_TRACE("«" + Dialect + "»");
        EXPECT_EQ(TranslateCondition(Dialect, sbSQLite).Text, SQLite);
    }
}

TEST(SqlTranslation, ValueListStatementsOfTheFilterGrid) {
    const std::vector<TTranslation> Cases = {
        {.Dialect =
             "SELECT DISTINCT ValueTable.\"Name\" ValueField FROM \"customer\" ValueTable ORDER BY "
             "ValueField",
         .SQLite = "SELECT DISTINCT \"ValueTable\".\"Name\" AS \"ValueField\" FROM \"customer\" AS "
                   "\"ValueTable\" ORDER BY \"ValueField\"",
         .PostgreSQL =
             "SELECT DISTINCT \"ValueTable\".\"Name\" AS \"ValueField\" FROM \"customer\" AS "
             "\"ValueTable\" ORDER BY \"ValueField\" NULLS FIRST",
         .MariaDB = "SELECT DISTINCT `ValueTable`.`Name` AS `ValueField` FROM `customer` AS "
                    "`ValueTable` ORDER BY `ValueField`",
         .Parameters = {}},
        {.Dialect =
             "SELECT DISTINCT ValueTable.\"Last Name\" ValueField FROM \"Name Table\" ValueTable "
             "ORDER BY ValueField",
         .SQLite = "SELECT DISTINCT \"ValueTable\".\"Last Name\" AS \"ValueField\" FROM \"Name "
                   "Table\" AS "
                   "\"ValueTable\" ORDER BY \"ValueField\"",
         .PostgreSQL = "SELECT DISTINCT \"ValueTable\".\"Last Name\" AS \"ValueField\" FROM \"Name "
                       "Table\" AS "
                       "\"ValueTable\" ORDER BY \"ValueField\" NULLS FIRST",
         .MariaDB = "SELECT DISTINCT `ValueTable`.`Last Name` AS `ValueField` FROM `Name Table` "
                    "AS `ValueTable` ORDER BY `ValueField`",
         .Parameters = {}},
        {.Dialect = "SELECT DISTINCT Name FROM customer ORDER BY Name",
         .SQLite = "SELECT DISTINCT \"Name\" FROM \"customer\" ORDER BY \"Name\"",
         .PostgreSQL = "SELECT DISTINCT \"Name\" FROM \"customer\" ORDER BY \"Name\" NULLS FIRST",
         .MariaDB = "SELECT DISTINCT `Name` FROM `customer` ORDER BY `Name`",
         .Parameters = {}},
        {.Dialect = "SELECT DISTINCT [Last Name] FROM [Name Table] ORDER BY [Last Name]",
         .SQLite = "SELECT DISTINCT \"Last Name\" FROM \"Name Table\" ORDER BY \"Last Name\"",
         .PostgreSQL =
             "SELECT DISTINCT \"Last Name\" FROM \"Name Table\" ORDER BY \"Last Name\" NULLS FIRST",
         .MariaDB = "SELECT DISTINCT `Last Name` FROM `Name Table` ORDER BY `Last Name`",
         .Parameters = {}},
    };
    for (const TTranslation& Case : Cases) {
        SCOPED_TRACE("«" + Case.Dialect + "»");
        EXPECT_EQ(TranslateStatement(Case.Dialect, sbSQLite).Text, Case.SQLite);
        EXPECT_EQ(TranslateStatement(Case.Dialect, sbPostgreSQL).Text, Case.PostgreSQL);
        EXPECT_EQ(TranslateStatement(Case.Dialect, sbMariaDB).Text, Case.MariaDB);
    }
}

TEST(SqlTranslation, PlainSelectStatementsPassThrough) {
    // Written in Windows-1250, where UPPER folds a to z only.
    TCodePageGuard Guard(cpWindows1250);
    const std::vector<TTranslation> Cases = {
        {.Dialect =
             "select * from People p where p.Name starting with 'S' order by p.Name desc, Age asc "
             "limit 10 offset 20",
         .SQLite =
             "SELECT * FROM \"People\" AS \"p\" WHERE \"p\".\"Name\" LIKE ?1 ESCAPE '\\' ORDER BY "
             "\"p\".\"Name\" DESC, \"Age\" LIMIT 10 OFFSET 20",
         .PostgreSQL =
             "SELECT * FROM \"People\" AS \"p\" WHERE CAST(\"p\".\"Name\" AS text) LIKE $1 ESCAPE "
             "E'\\\\' ORDER BY "
             "\"p\".\"Name\" DESC NULLS LAST, \"Age\" NULLS FIRST LIMIT 10 OFFSET 20",
         .MariaDB = "SELECT * FROM `People` AS `p` WHERE `p`.`Name` LIKE ?1 ESCAPE _utf8mb4 X'5C' "
                    "ORDER BY `p`.`Name` DESC, `Age` LIMIT 10 OFFSET 20",
         .Parameters = {"S%"}},
        {.Dialect =
             "SELECT City, COUNT(*) AS N, count(DISTINCT Name) FROM People GROUP BY City HAVING "
             "COUNT(*) > 1 ORDER BY N NULLS LAST",
         .SQLite = "SELECT \"City\", COUNT(*) AS \"N\", count(DISTINCT \"Name\") FROM \"People\" "
                   "GROUP BY "
                   "\"City\" HAVING COUNT(*) > 1 ORDER BY \"N\" NULLS LAST",
         .PostgreSQL = "SELECT \"City\", COUNT(*) AS \"N\", count(DISTINCT \"Name\") FROM "
                       "\"People\" GROUP BY "
                       "\"City\" HAVING COUNT(*) > 1 ORDER BY \"N\" NULLS LAST",
         .MariaDB = "SELECT `City`, COUNT(*) AS `N`, count(DISTINCT `Name`) FROM `People` GROUP BY "
                    "`City` HAVING COUNT(*) > 1 ORDER BY COUNT(*) IS NULL, `N`",
         .Parameters = {}},
        {.Dialect = "SELECT o.*, c.Name FROM Orders o LEFT OUTER JOIN Customers AS c ON o.CustNo = "
                    "c.CustNo, Towns t CROSS JOIN Zones",
         .SQLite =
             "SELECT \"o\".*, \"c\".\"Name\" FROM \"Orders\" AS \"o\" LEFT JOIN \"Customers\" AS "
             "\"c\" ON \"o\".\"CustNo\" = \"c\".\"CustNo\", \"Towns\" AS \"t\" CROSS JOIN "
             "\"Zones\"",
         .PostgreSQL =
             "SELECT \"o\".*, \"c\".\"Name\" FROM \"Orders\" AS \"o\" LEFT JOIN \"Customers\" AS "
             "\"c\" ON \"o\".\"CustNo\" = \"c\".\"CustNo\", \"Towns\" AS \"t\" CROSS JOIN "
             "\"Zones\"",
         .MariaDB = "SELECT `o`.*, `c`.`Name` FROM `Orders` AS `o` LEFT JOIN `Customers` AS `c` ON "
                    "`o`.`CustNo` = `c`.`CustNo`, `Towns` AS `t` CROSS JOIN `Zones`",
         .Parameters = {}},
        {.Dialect = "SELECT Name, 'x' Tag FROM People WHERE Age IN (SELECT Age FROM Ages WHERE "
                    "Kind = 'a') "
                    "AND EXISTS (SELECT 1 FROM Towns WHERE Towns.Name = People.City)",
         .SQLite =
             "SELECT \"Name\", ?1 AS \"Tag\" FROM \"People\" WHERE \"Age\" IN (SELECT \"Age\" FROM "
             "\"Ages\" WHERE \"Kind\" = ?2) AND EXISTS (SELECT 1 FROM \"Towns\" WHERE "
             "\"Towns\".\"Name\" = \"People\".\"City\")",
         .PostgreSQL =
             "SELECT \"Name\", $1 AS \"Tag\" FROM \"People\" WHERE \"Age\" IN (SELECT \"Age\" FROM "
             "\"Ages\" WHERE \"Kind\" = $2) AND EXISTS (SELECT 1 FROM \"Towns\" WHERE "
             "\"Towns\".\"Name\" = \"People\".\"City\")",
         .MariaDB = "SELECT `Name`, ?1 AS `Tag` FROM `People` WHERE `Age` IN (SELECT `Age` FROM "
                    "`Ages` WHERE `Kind` = ?2) AND EXISTS (SELECT 1 FROM `Towns` WHERE "
                    "`Towns`.`Name` = `People`.`City`)",
         .Parameters = {"x", "a"}},
        {.Dialect = "SELECT n FROM (SELECT Name n FROM People) AS sub WHERE n CONTAINING sub.n",
         .SQLite = "SELECT \"n\" FROM (SELECT \"Name\" AS \"n\" FROM \"People\") AS \"sub\" WHERE "
                   "UPPER(\"n\") LIKE ('%' || replace(replace(replace(UPPER(\"sub\".\"n\"), '\\', "
                   "'\\\\'), "
                   "'%', '\\%'), '_', '\\_') || '%') ESCAPE '\\'",
         .PostgreSQL =
             "SELECT \"n\" FROM (SELECT \"Name\" AS \"n\" FROM \"People\") AS \"sub\" WHERE "
             "translate(CAST(\"n\" AS text), 'abcdefghijklmnopqrstuvwxyz', "
             "'ABCDEFGHIJKLMNOPQRSTUVWXYZ') LIKE ('%' || "
             "replace(replace(replace(CAST(translate(CAST(\"sub\".\"n\" AS text), "
             "'abcdefghijklmnopqrstuvwxyz', 'ABCDEFGHIJKLMNOPQRSTUVWXYZ') AS text), E'\\\\', "
             "E'\\\\\\\\'), '%', E'\\\\%'), '_', E'\\\\_') || '%') ESCAPE E'\\\\'",
         .MariaDB = "SELECT `n` FROM (SELECT `Name` AS `n` FROM `People`) AS `sub` WHERE " +
                    MariaDbAsciiUpper("`n`") + " LIKE CONCAT('%', replace(replace(replace(" +
                    MariaDbAsciiUpper("`sub`.`n`") +
                    ", _utf8mb4 X'5C', _utf8mb4 X'5C5C'), '%', _utf8mb4 X'5C25'), '_', "
                    "_utf8mb4 X'5C5F'), '%') ESCAPE _utf8mb4 X'5C'",
         .Parameters = {}},
        {.Dialect = "SELECT left(Name, 2) FROM People",
         .SQLite = "SELECT left(\"Name\", 2) FROM \"People\"",
         .PostgreSQL = "SELECT left(\"Name\", 2) FROM \"People\"",
         .MariaDB = "SELECT left(`Name`, 2) FROM `People`",
         .Parameters = {}},
    };
    for (const TTranslation& Case : Cases) {
        SCOPED_TRACE("«" + Case.Dialect + "»");
        const TTranslatedSql Lite = TranslateStatement(Case.Dialect, sbSQLite);
        EXPECT_EQ(Lite.Text, Case.SQLite);
        EXPECT_EQ(Lite.Parameters, Case.Parameters);
        const TTranslatedSql Pg = TranslateStatement(Case.Dialect, sbPostgreSQL);
        EXPECT_EQ(Pg.Text, Case.PostgreSQL);
        EXPECT_EQ(Pg.Parameters, Case.Parameters);
        const TTranslatedSql My = TranslateStatement(Case.Dialect, sbMariaDB);
        EXPECT_EQ(My.Text, Case.MariaDB);
        EXPECT_EQ(My.Parameters, Case.Parameters);
    }
}

TEST(SqlTranslation, ConditionPlaceholdersContinueTheStatementsNumbering) {
    const std::string Condition = "Name = 'a' OR City STARTING WITH 'b'";
    EXPECT_EQ(TranslateCondition(Condition, sbPostgreSQL, scfSimpleFilter, 3).Text,
              "\"Name\" = $3 OR CAST(\"City\" AS text) LIKE $4 ESCAPE E'\\\\'");
    EXPECT_EQ(TranslateCondition(Condition, sbSQLite, scfSimpleFilter, 3).Text,
              "\"Name\" = ?3 OR \"City\" LIKE ?4 ESCAPE '\\'");
    const int Last = std::numeric_limits<int>::max();
    EXPECT_EQ(TranslateCondition("Name = 'a'", sbPostgreSQL, scfWhereClause, Last).Text,
              "\"Name\" = $" + std::to_string(Last));
    EXPECT_THROW(TranslateCondition(Condition, sbPostgreSQL, scfWhereClause, Last), EIntOverflow);
    for (int Wrong : {0, -1}) {
        try {
            TranslateCondition(Condition, sbPostgreSQL, scfWhereClause, Wrong);
            ADD_FAILURE() << "accepted " << Wrong;
        } catch (const EDatabaseError& Error) {
            EXPECT_EQ(Error.Message(), "TranslateCondition() FirstParameterNumber must be 1 or "
                                       "more, not " +
                                           std::to_string(Wrong) + ".");
        }
    }
}

TEST(SqlTranslation, ConditionsNameTheFieldsTheyUse) {
    const TTranslatedSql Result = TranslateCondition(
        "UPPER([Last Name]) = 'X' OR Age > 3 AND ([Last Name] IS NULL OR t.City = 'Age')",
        sbSQLite);
    EXPECT_EQ(Result.FieldNames, (TTexts{"Last Name", "Age", "City"}));
}

// MariaDB reads || as OR and backslashes in literals by the session's sql_mode, and has no
// NULLS FIRST or LAST: the SQL written for it avoids all three.
TEST(SqlTranslation, MariaDbSqlMeansTheSameInEverySqlMode) {
    TCodePageGuard Guard(cpWindows1250);
    const std::string Escaped = "replace(replace(replace(`City`, _utf8mb4 X'5C', _utf8mb4 "
                                "X'5C5C'), '%', _utf8mb4 X'5C25'), '_', _utf8mb4 X'5C5F')";
    const std::vector<std::pair<std::string, std::string>> Conditions = {
        {"Name || 'x' = 'ax'", "CONCAT(`Name`, ?1) = ?2"},
        {"Name || City || 'x' = 'a'", "CONCAT(CONCAT(`Name`, `City`), ?1) = ?2"},
        {"Name || Age + 1 = 'a'", "CONCAT(`Name`, `Age` + 1) = ?1"},
        {"(Name || Age) + 1 = 2", "CONCAT(`Name`, `Age`) + 1 = 2"},
        {"Name || Age IS NULL", "CONCAT(`Name`, `Age`) IS NULL"},
        {"Name STARTING WITH City",
         "`Name` LIKE CONCAT(" + Escaped + ", '%') ESCAPE _utf8mb4 X'5C'"},
        {"Name NOT LIKE City", "`Name` NOT LIKE `City` ESCAPE _utf8mb4 X'5C'"},
        {"Age LIKE '1%'", "`Age` LIKE ?1 ESCAPE _utf8mb4 X'5C'"},
        {"Name = 'a' OR City STARTING WITH 'b'",
         "`Name` = ?1 OR `City` LIKE ?2 ESCAPE _utf8mb4 X'5C'"},
    };
    for (const auto& [Dialect, MariaDB] : Conditions) {
        SCOPED_TRACE("«" + Dialect + "»");
        EXPECT_EQ(TranslateCondition(Dialect, sbMariaDB).Text, MariaDB);
    }

    const std::vector<std::pair<std::string, std::string>> Statements = {
        {"SELECT Name FROM People ORDER BY Name, Age DESC, City NULLS FIRST, Town DESC NULLS "
         "LAST LIMIT 10 OFFSET 20",
         "SELECT `Name` FROM `People` ORDER BY `Name`, `Age` DESC, `City`, `Town` DESC LIMIT 10 "
         "OFFSET 20"},
        {"SELECT Name FROM People ORDER BY Name NULLS LAST, Age DESC NULLS FIRST",
         "SELECT `Name` FROM `People` ORDER BY `Name` IS NULL, `Name`, `Age` IS NOT NULL, `Age` "
         "DESC"},
        // MariaDB would read the alias inside the test for NULL as a column of the table.
        {"SELECT Age + 1 AS N FROM People ORDER BY Age + 1 NULLS LAST, n DESC NULLS FIRST",
         "SELECT `Age` + 1 AS `N` FROM `People` ORDER BY `Age` + 1 IS NULL, `Age` + 1, `Age` + 1 "
         "IS NOT NULL, `n` DESC"},
        {"SELECT DISTINCT ValueTable.\"Name\" ValueField FROM \"customer\" ValueTable ORDER BY "
         "ValueField",
         "SELECT DISTINCT `ValueTable`.`Name` AS `ValueField` FROM `customer` AS `ValueTable` "
         "ORDER BY `ValueField`"},
        {"SELECT n, 'x' Tag FROM (SELECT Name n FROM People) AS sub WHERE n CONTAINING sub.n",
         "SELECT `n`, ?1 AS `Tag` FROM (SELECT `Name` AS `n` FROM `People`) AS `sub` WHERE " +
             MariaDbAsciiUpper("`n`") + " LIKE CONCAT('%', replace(replace(replace(" +
             MariaDbAsciiUpper("`sub`.`n`") +
             ", _utf8mb4 X'5C', _utf8mb4 X'5C5C'), '%', _utf8mb4 X'5C25'), '_', _utf8mb4 "
             "X'5C5F'), '%') ESCAPE _utf8mb4 X'5C'"},
        {"SELECT o.*, c.Name FROM Orders o LEFT OUTER JOIN Customers AS c ON o.CustNo = c.CustNo",
         "SELECT `o`.*, `c`.`Name` FROM `Orders` AS `o` LEFT JOIN `Customers` AS `c` ON "
         "`o`.`CustNo` = `c`.`CustNo`"},
    };
    for (const auto& [Dialect, MariaDB] : Statements) {
        SCOPED_TRACE("«" + Dialect + "»");
        EXPECT_EQ(TranslateStatement(Dialect, sbMariaDB).Text, MariaDB);
    }

    // What MariaDB cannot say is refused rather than read as something else.
    EXPECT_THROW(TranslateStatement("SELECT Name FROM People ORDER BY 1 NULLS LAST", sbMariaDB),
                 ESqlSyntaxError);
    EXPECT_EQ(TranslateStatement("SELECT Name FROM People ORDER BY 1 NULLS FIRST", sbMariaDB).Text,
              "SELECT `Name` FROM `People` ORDER BY 1");
    EXPECT_THROW(TranslateStatement("SELECT * FROM a FULL JOIN b ON a.x = b.x", sbMariaDB),
                 EDatabaseError);
}

// Under UTF-8 MariaDB upper-cases under its Unicode 14 collation, which maps one code point
// to one as ICU does, and then spells out the characters that ICU maps to several.
TEST(SqlTranslation, MariaDbUpperCaseFoldsAsTheComponentsDo) {
    TCodePageGuard Guard(cpUtf8);
    const std::string Text = TranslateCondition("UPPER(Name) = 'X'", sbMariaDB).Text;
    const std::string Core =
        "UPPER(CAST(`Name` AS CHAR CHARACTER SET utf8mb4) COLLATE utf8mb4_uca1400_as_cs)";
    ASSERT_NE(Text.find(Core), std::string::npos) << Text;
    const std::string End = " COLLATE utf8mb4_bin) = ?1";
    EXPECT_EQ(Text.substr(Text.size() - End.size()), End);
    for (const char* Replaced : {"'\u00DF', 'SS'", "'\uFB01', 'FI'", "'\u0149', '\u02BCN'",
                                 "'\u1FB3', '\u0391\u0399'", "'\u1FBC', '\u0391\u0399'"})
        EXPECT_NE(Text.find(Replaced), std::string::npos) << Replaced;
    // Letters with a one-to-one upper case are left to UPPER.
    for (const char* Kept : {"'a'", "'\u0161'", "'\u03B5'", "'\u10D0'"})
        EXPECT_EQ(Text.find(Kept), std::string::npos) << Kept;
    const auto Replacements = static_cast<std::size_t>(
        std::count(Text.begin(), Text.begin() + static_cast<std::ptrdiff_t>(Text.find(Core)), 'R'));
    EXPECT_GT(Replacements, 90u);
    EXPECT_LT(Replacements, 120u);
}
