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
        {.Text = "Name = 'abc",
         .Message = "Unterminated string literal starting at position 8.",
         .Position = 8},
        {.Text = "Name = 'abc\\'",
         .Message = "Unterminated string literal (the backslash at position 12 escapes a quote) "
                    "starting at "
                    "position 8.",
         .Position = 8},
        {.Text = "Name = 'abc\\",
         .Message = "Lone backslash at the end of the string literal that starts at position 8.",
         .Position = 8},
        {.Text = "Name = '",
         .Message = "Unterminated string literal starting at position 8.",
         .Position = 8},
        {.Text = "(Name = 'a'",
         .Message =
             "Missing ')' for the '(' at position 1, found the end of the text at position 12.",
         .Position = 12},
        {.Text = "((Name = 'a') OR (Age = 1)",
         .Message =
             "Missing ')' for the '(' at position 1, found the end of the text at position 27.",
         .Position = 27},
        {.Text = "Name = 'a')",
         .Message = "Unexpected ')' without a matching '(' at position 11.",
         .Position = 11},
        {.Text = "Name =",
         .Message = "Expected an operand, found the end of the text at position 7.",
         .Position = 7},
        {.Text = "Name = 'a' AND",
         .Message = "Expected an operand, found the end of the text at position 15.",
         .Position = 15},
        {.Text = "AND Name = 'a'",
         .Message = "Expected an operand, found 'AND' at position 1.",
         .Position = 1},
        {.Text = "Name = = 'a'",
         .Message = "Expected an operand, found '=' at position 8.",
         .Position = 8},
        {.Text = "",
         .Message = "Expected an operand, found the end of the text at position 1.",
         .Position = 1},
        {.Text = "   ",
         .Message = "Expected an operand, found the end of the text at position 4.",
         .Position = 4},
        {.Text = "Name # 'a'", .Message = "Unknown character '#' at position 6.", .Position = 6},
        {.Text = "Name = ?", .Message = "Unknown character '?' at position 8.", .Position = 8},
        {.Text = "Name = :Value", .Message = "Unknown character ':' at position 8.", .Position = 8},
        {.Text = std::string("Name = 'a\0b'", 12),
         .Message = "NUL character in a string literal at position 10.",
         .Position = 10},
        {.Text = "Name\x01= 'a'",
         .Message = "Unknown character (code 1) at position 5.",
         .Position = 5},
        {.Text = "[Last Name = 'a'",
         .Message = "Unterminated bracketed name starting at position 1.",
         .Position = 1},
        {.Text = "[] = 'a'", .Message = "Empty bracketed name at position 1.", .Position = 1},
        {.Text = "\"Name = 'a'",
         .Message = "Unterminated quoted identifier starting at position 1.",
         .Position = 1},
        {.Text = "\"\" = 'a'", .Message = "Empty quoted identifier at position 1.", .Position = 1},
        {.Text = "Age = 1x", .Message = "Malformed number at position 7.", .Position = 7},
        {.Text = "Age = 1.2.3", .Message = "Malformed number at position 7.", .Position = 7},
        {.Text = "Age = 1e", .Message = "Malformed number at position 7.", .Position = 7},
        {.Text = "Name = 'a' -- rest",
         .Message = "Comments are not allowed at position 12.",
         .Position = 12},
        {.Text = "Name = 'a' /* rest */",
         .Message = "Comments are not allowed at position 12.",
         .Position = 12},
        {.Text = "Age = 1 --1",
         .Message = "Comments are not allowed at position 9.",
         .Position = 9},
        {.Text = "Name = 'a'; DELETE FROM People",
         .Message = "Unknown character ';' at position 11.",
         .Position = 11},
        {.Text = "Name = 'a' 'b'",
         .Message = "Expected the end of the text, found a string literal at position 12.",
         .Position = 12},
        {.Text = "Name STARTING 'a'",
         .Message = "Expected WITH, found a string literal at position 15.",
         .Position = 15},
        {.Text = "Name IS 'a'",
         .Message = "Expected NULL, found a string literal at position 9.",
         .Position = 9},
        {.Text = "Age BETWEEN 1 OR 3",
         .Message = "Expected AND, found 'OR' at position 15.",
         .Position = 15},
        {.Text = "Name IN 'a'",
         .Message = "Expected '(' after IN, found a string literal at position 9.",
         .Position = 9},
        {.Text = "UPPER(Name, City) = 'A'",
         .Message = "UPPER takes exactly one argument at position 1.",
         .Position = 1},
        {.Text = "UPPER() = 'A'",
         .Message = "UPPER takes exactly one argument at position 1.",
         .Position = 1},
        {.Text = "t. = 'a'",
         .Message = "Expected a name after '.', found '=' at position 4.",
         .Position = 4},
    };
    for (const TMalformed& Case : Cases) {
        SCOPED_TRACE("«" + Case.Text + "»");
        ExpectRefused(Case, false);
    }
}

TEST(SqlSyntaxError, MalformedStatementsRaiseSayingWhatAndWhere) {
    const std::vector<TMalformed> Cases = {
        {.Text = "DELETE FROM People",
         .Message = "Expected SELECT, found 'DELETE' at position 1.",
         .Position = 1},
        {.Text = "SELECT FROM People",
         .Message = "Expected an operand, found 'FROM' at position 8.",
         .Position = 8},
        {.Text = "SELECT Name FROM",
         .Message = "Expected a table name, found the end of the text at position 17.",
         .Position = 17},
        {.Text = "SELECT Name FROM People WHERE",
         .Message = "Expected an operand, found the end of the text at "
                    "position 30.",
         .Position = 30},
        {.Text = "SELECT Name FROM People ORDER Name",
         .Message = "Expected BY, found 'Name' at position 31.",
         .Position = 31},
        {.Text = "SELECT Name FROM People ORDER BY Name NULLS",
         .Message = "Expected FIRST or LAST after NULLS, found "
                    "the end of the text at position 44.",
         .Position = 44},
        {.Text = "SELECT Name FROM People LIMIT 'x'",
         .Message = "Expected a whole number after LIMIT, found a string literal at position 31.",
         .Position = 31},
        {.Text = "SELECT Name FROM People LIMIT 1.5",
         .Message = "Expected a whole number after LIMIT, found the number 1.5 at position 31.",
         .Position = 31},
        {.Text = "SELECT Name FROM People; DROP TABLE People",
         .Message = "Unknown character ';' at position 24.",
         .Position = 24},
        {.Text = "SELECT Name FROM People UNION SELECT City FROM People",
         .Message = "Expected the end of the text, found 'UNION' at position 25.",
         .Position = 25},
        {.Text = "SELECT Name FROM People a JOIN Towns b",
         .Message = "Expected ON, found the end of the text at "
                    "position 39.",
         .Position = 39},
        {.Text = "SELECT Name AS FROM People",
         .Message = "Expected an alias after AS, found 'FROM' at position 16.",
         .Position = 16},
        {.Text = "SELECT (SELECT Name FROM People",
         .Message = "Missing ')' for the '(' at position 8, found the end "
                    "of the text at position 32.",
         .Position = 32},
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
