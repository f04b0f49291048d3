#include "host/data/sql/SqlDialect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorn;

namespace {

struct TMalformed {
    std::string Text;
    std::string Message;
    std::size_t Position;
};

// Raises for both backends with the same message; returns nothing so that a text
// that translates fails the test.
void ExpectRefused(const TMalformed& Case, bool Statement) {
    for (TSqlBackend Backend : {sbSQLite, sbPostgreSQL}) {
        SCOPED_TRACE(Backend == sbSQLite ? "SQLite" : "PostgreSQL");
        try {
            const TTranslatedSql Result = Statement ? TranslateStatement(Case.Text, Backend)
                                                    : TranslateCondition(Case.Text, Backend);
            ADD_FAILURE() << "translated to: " << Result.Text;
        } catch (const ESqlSyntaxError& Error) {
            EXPECT_EQ(Error.Message(), Case.Message);
            EXPECT_EQ(Error.Position(), Case.Position);
        }
    }
}

} // namespace

TEST(SqlSyntaxError, MalformedConditionsRaiseSayingWhatAndWhere) {
    const std::vector<TMalformed> Cases = {
        {"Name = 'abc", "Unterminated string literal starting at position 8.", 8},
        {"Name = 'abc\\'",
         "Unterminated string literal (the backslash at position 12 escapes a quote) starting at "
         "position 8.",
         8},
        {"Name = 'abc\\",
         "Lone backslash at the end of the string literal that starts at position 8.", 8},
        {"Name = '", "Unterminated string literal starting at position 8.", 8},
        {"(Name = 'a'",
         "Missing ')' for the '(' at position 1, found the end of the text at position 12.", 12},
        {"((Name = 'a') OR (Age = 1)",
         "Missing ')' for the '(' at position 1, found the end of the text at position 27.", 27},
        {"Name = 'a')", "Unexpected ')' without a matching '(' at position 11.", 11},
        {"Name =", "Expected an operand, found the end of the text at position 7.", 7},
        {"Name = 'a' AND", "Expected an operand, found the end of the text at position 15.", 15},
        {"AND Name = 'a'", "Expected an operand, found 'AND' at position 1.", 1},
        {"Name = = 'a'", "Expected an operand, found '=' at position 8.", 8},
        {"", "Expected an operand, found the end of the text at position 1.", 1},
        {"   ", "Expected an operand, found the end of the text at position 4.", 4},
        {"Name # 'a'", "Unknown character '#' at position 6.", 6},
        {"Name = ?", "Unknown character '?' at position 8.", 8},
        {"Name = :Value", "Unknown character ':' at position 8.", 8},
        {std::string("Name = 'a\0b'", 12), "NUL character in a string literal at position 10.", 10},
        {"Name\x01= 'a'", "Unknown character (code 1) at position 5.", 5},
        {"[Last Name = 'a'", "Unterminated bracketed name starting at position 1.", 1},
        {"[] = 'a'", "Empty bracketed name at position 1.", 1},
        {"\"Name = 'a'", "Unterminated quoted identifier starting at position 1.", 1},
        {"\"\" = 'a'", "Empty quoted identifier at position 1.", 1},
        {"Age = 1x", "Malformed number at position 7.", 7},
        {"Age = 1.2.3", "Malformed number at position 7.", 7},
        {"Age = 1e", "Malformed number at position 7.", 7},
        {"Name = 'a' -- rest", "Comments are not allowed at position 12.", 12},
        {"Name = 'a' /* rest */", "Comments are not allowed at position 12.", 12},
        {"Age = 1 --1", "Comments are not allowed at position 9.", 9},
        {"Name = 'a'; DELETE FROM People", "Unknown character ';' at position 11.", 11},
        {"Name = 'a' 'b'", "Expected the end of the text, found a string literal at position 12.",
         12},
        {"Name STARTING 'a'", "Expected WITH, found a string literal at position 15.", 15},
        {"Name IS 'a'", "Expected NULL, found a string literal at position 9.", 9},
        {"Age BETWEEN 1 OR 3", "Expected AND, found 'OR' at position 15.", 15},
        {"Name IN 'a'", "Expected '(' after IN, found a string literal at position 9.", 9},
        {"UPPER(Name, City) = 'A'", "UPPER takes exactly one argument at position 1.", 1},
        {"UPPER() = 'A'", "UPPER takes exactly one argument at position 1.", 1},
        {"t. = 'a'", "Expected a name after '.', found '=' at position 4.", 4},
    };
    for (const TMalformed& Case : Cases) {
        SCOPED_TRACE("«" + Case.Text + "»");
        ExpectRefused(Case, false);
    }
}

TEST(SqlSyntaxError, MalformedStatementsRaiseSayingWhatAndWhere) {
    const std::vector<TMalformed> Cases = {
        {"DELETE FROM People", "Expected SELECT, found 'DELETE' at position 1.", 1},
        {"SELECT FROM People", "Expected an operand, found 'FROM' at position 8.", 8},
        {"SELECT Name FROM", "Expected a table name, found the end of the text at position 17.",
         17},
        {"SELECT Name FROM People WHERE",
         "Expected an operand, found the end of the text at "
         "position 30.",
         30},
        {"SELECT Name FROM People ORDER Name", "Expected BY, found 'Name' at position 31.", 31},
        {"SELECT Name FROM People ORDER BY Name NULLS",
         "Expected FIRST or LAST after NULLS, found "
         "the end of the text at position 44.",
         44},
        {"SELECT Name FROM People LIMIT 'x'",
         "Expected a whole number after LIMIT, found a string literal at position 31.", 31},
        {"SELECT Name FROM People LIMIT 1.5",
         "Expected a whole number after LIMIT, found the number 1.5 at position 31.", 31},
        {"SELECT Name FROM People; DROP TABLE People", "Unknown character ';' at position 24.", 24},
        {"SELECT Name FROM People UNION SELECT City FROM People",
         "Expected the end of the text, found 'UNION' at position 25.", 25},
        {"SELECT Name FROM People a JOIN Towns b",
         "Expected ON, found the end of the text at "
         "position 39.",
         39},
        {"SELECT Name AS FROM People", "Expected an alias after AS, found 'FROM' at position 16.",
         16},
        {"SELECT (SELECT Name FROM People",
         "Missing ')' for the '(' at position 8, found the end "
         "of the text at position 32.",
         32},
    };
    for (const TMalformed& Case : Cases) {
        SCOPED_TRACE("«" + Case.Text + "»");
        ExpectRefused(Case, true);
    }
}

// Text nested or chained beyond any real query is refused instead of exhausting the
// stack while it is parsed, written or freed.
TEST(SqlSyntaxError, HostileNestingIsRefusedWithoutCrashing) {
    const std::string Deep = std::string(5000, '(') + "Age = 1" + std::string(5000, ')');
    std::string Negations;
    for (int Index = 0; Index < 5000; ++Index)
        Negations += "NOT ";
    std::string Arithmetic = "Age = 1";
    for (int Index = 0; Index < 5000; ++Index)
        Arithmetic += " + 1";
    for (const std::string& Text : {Deep, Negations + "Age = 1", Arithmetic}) {
        try {
            TranslateCondition(Text, sbSQLite);
            ADD_FAILURE() << "accepted text of " << Text.size() << " characters";
        } catch (const ESqlSyntaxError& Error) {
            EXPECT_NE(Error.Message().find("nested too deeply"), std::string::npos)
                << Error.Message();
        }
    }
}

TEST(SqlSyntaxError, LongFlatConditionsAreNoNesting) {
    std::string Condition = "Age = 0";
    for (int Index = 1; Index < 5000; ++Index)
        Condition += " OR Age = " + std::to_string(Index) + " AND Name = 'x'";
    const TTranslatedSql Result = TranslateCondition(Condition, sbPostgreSQL);
    EXPECT_EQ(Result.Parameters.size(), 4999u);
    EXPECT_NE(Result.Text.find("\"Name\" = $4999"), std::string::npos);
}
