#include "tests/Source/VornSharedFilterTest.h"
#include "tests/support/CodePageGuard.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace vorn::test {
namespace {

const std::string None;
const std::string Star = "*?";
const std::string Percent = "%_";

// ---- The reference examples, with every parameter written back ------------

struct TExample {
    TFilterCall Call;
    TFilterOutcome Expected; // the result and the parameters written back
};

TEST(AppendFilter, ComposesTheReferenceExamples) {
    const std::vector<TExample> Examples = {
        {{None, "and", "Last Name", "=", "O'Brien", true, false, None, None, false, true},
         {"UPPER([Last Name]) = 'O\\'BRIEN'", "and", "[Last Name]", "=", "O'BRIEN", "O'Brien"}},
        {{"UPPER(City) = 'PARIS'", "or", "Salary", ">=", "5000", false, false, None, None, false,
          true},
         {"UPPER(City) = 'PARIS' OR Salary >= 5000", "OR", "Salary", ">=", "5000", "5000"}},
        {{"Salary >= 5000", " ", "Phone", "is null", "x", true, false, Star, Percent, false, true},
         {"Salary >= 5000 AND Phone IS NULL", "AND", "Phone", "IS NULL", "x", ""}},
        {{None, None, "Name", "=", "Sm*", true, false, Star, Percent, false, true},
         {"UPPER(Name) STARTING WITH 'SM'", "", "Name", "STARTING WITH", "SM", "Sm"}},
        {{None, None, "Name", "=", "*ith*", true, false, Star, Percent, false, true},
         {"Name CONTAINING 'ith'", "", "Name", "CONTAINING", "ith", "ith"}},
        {{None, None, "Name", "=", "*ith*", true, true, Star, Percent, false, true},
         {"Name LIKE '%ith%'", "", "Name", "LIKE", "%ith%", "*ith*"}},
        {{None, None, "Name", "=", "*ith*", true, false, Star, Percent, true, true},
         {"UPPER(Name) LIKE '%ITH%'", "", "Name", "LIKE", "%ITH%", "*ith*"}},
        {{None, None, "Name", "<>", "a*b", true, false, Star, Percent, false, true},
         {"UPPER(Name) LIKE 'A%B'", "", "Name", "LIKE", "A%B", "a*b"}},
        {{None, None, "Name", "=", "a_b?", true, false, Star, Percent, false, true},
         {"UPPER(Name) LIKE 'A\\_B_'", "", "Name", "LIKE", "A\\_B_", "a_b?"}},
        {{None, None, "Name", "containing", "ab", true, true, Star, Percent, false, true},
         {"Name LIKE '%ab%'", "", "Name", "LIKE", "%ab%", "ab"}},
        {{None, None, "Name", "containing", "ab", true, false, Star, Percent, true, true},
         {"UPPER(Name) CONTAINING 'AB'", "", "Name", "CONTAINING", "AB", "ab"}},
        {{None, None, "Name", "=", "50\\*", true, false, Star, Percent, false, true},
         {"UPPER(Name) = '50*'", "", "Name", "=", "50*", "50\\*"}},
        {{None, None, "Name", "=", "*", true, false, Star, Percent, false, true},
         {"UPPER(Name) STARTING WITH ''", "", "Name", "STARTING WITH", "", ""}},
        {{None, None, "Name", "=", "a*b", true, true, Star, None, false, true},
         {"Name LIKE 'a*b'", "", "Name", "LIKE", "a*b", "a*b"}},
    };
    for (const TExample& Example : Examples) {
        SCOPED_TRACE("value «" + Example.Call.Value + "», operator «" + Example.Call.Operator +
                     "»");
        const TFilterOutcome Outcome = RunAppendFilter(Example.Call);
        EXPECT_EQ(Outcome.Result, Example.Expected.Result);
        EXPECT_EQ(Outcome.BoolOperator, Example.Expected.BoolOperator);
        EXPECT_EQ(Outcome.FieldName, Example.Expected.FieldName);
        EXPECT_EQ(Outcome.Operator, Example.Expected.Operator);
        EXPECT_EQ(Outcome.Value, Example.Expected.Value);
        EXPECT_EQ(Outcome.CorrectedValue, Example.Expected.CorrectedValue);
    }
}

// ---- Errors: messages and the order in which conditions are tested ---------

struct TErrorCase {
    const char* Situation;
    TFilterCall Call;
    std::string Message;
};

TFilterCall Quoted(const std::string& Value, const std::string& Wildcards,
                   const std::string& TargetWildcards) {
    TFilterCall Call;
    Call.Value = Value;
    Call.Wildcards = Wildcards;
    Call.TargetWildcards = TargetWildcards;
    return Call;
}

TFilterCall WithField(const std::string& FieldName, const std::string& Operator,
                      const std::string& Wildcards) {
    TFilterCall Call;
    Call.FieldName = FieldName;
    Call.Operator = Operator;
    Call.Value = "x";
    Call.Wildcards = Wildcards;
    return Call;
}

TFilterCall Unquoted(const std::string& Value) {
    TFilterCall Call;
    Call.Quoted = false;
    Call.Value = Value;
    return Call;
}

TEST(AppendFilter, RaisesEachErrorWithItsMessageInTheDocumentedOrder) {
    const std::string FieldNameEmpty = "AppendFilter() FieldName is empty.";
    const std::string OperatorEmpty = "AppendFilter() Operator can't be empty.";
    const std::string ValueNotSet = "AppendFilter() Value must be set.";
    const std::vector<TErrorCase> Cases = {
        {"blank field name", WithField(" \t ", "=", Star), FieldNameEmpty},
        {"blank field name before a null test", WithField("  ", "IS NULL", Star), FieldNameEmpty},
        {"blank field name before a missing operator", WithField("", "", "*"), FieldNameEmpty},
        {"missing operator", WithField("Name", "  ", Star), OperatorEmpty},
        {"missing operator before a bad Wildcards", WithField("Name", "", "*"), OperatorEmpty},
        {"Wildcards of one character", Quoted("abc", "*", Percent),
         "AppendFilter() Wrong 'Wildcards' length: 1. Must be 0, 2 or 3."},
        {"Wildcards of four characters", Quoted("abc", "*?\\x", Percent),
         "AppendFilter() Wrong 'Wildcards' length: 4. Must be 0, 2 or 3."},
        {"bad Wildcards before a bad TargetWildcards", Quoted("a*", "*", "%"),
         "AppendFilter() Wrong 'Wildcards' length: 1. Must be 0, 2 or 3."},
        {"TargetWildcards of one character", Quoted("a*", Star, "%"),
         "AppendFilter() Wrong 'TargetWildcards' length: 1. Must be 0, 2 or 3."},
        {"TargetWildcards of twelve characters", Quoted("a?", Star, "%_\\%_\\%_\\%_\\"),
         "AppendFilter() Wrong 'TargetWildcards' length: 12. Must be 0, 2 or 3."},
        {"empty unquoted value", Unquoted(""), ValueNotSet},
    };
    for (const TErrorCase& Case : Cases) {
        SCOPED_TRACE(Case.Situation);
        TFilterOutcome Outcome;
        EXPECT_EQ(AppendFilterError(Case.Call, Outcome), Case.Message);
    }
}

TEST(AppendFilter, ChecksWildcardStringsOnlyWhereTheyAreUsed) {
    struct TCase {
        const char* Situation;
        TFilterCall Call;
        std::string Result;
    };
    TFilterCall UnquotedWithBadWildcards = Unquoted("5");
    UnquotedWithBadWildcards.Wildcards = "*";
    TFilterCall NullTestWithBadWildcards = WithField("Name", "is null", "*");
    const std::vector<TCase> Cases = {
        {"unquoted field", UnquotedWithBadWildcards, "Name = 5"},
        {"null test", NullTestWithBadWildcards, "Name IS NULL"},
        {"bad TargetWildcards, no wildcard in the value", Quoted("abc", Star, "%"),
         "UPPER(Name) = 'ABC'"},
        {"bad TargetWildcards, only escaped wildcards", Quoted("50\\*\\?", Star, "%_\\x"),
         "UPPER(Name) = '50*?'"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Situation);
        EXPECT_EQ(RunAppendFilter(Case.Call).Result, Case.Result);
    }
}

TEST(AppendFilter, AnErrorKeepsTheNormalizedNamesButNotAHalfDoneValue) {
    TFilterCall Call = Quoted("Sm*", Star, "%");
    Call.FilterText = "A = 1";
    Call.BoolOperator = " or ";
    Call.FieldName = " Last Name ";
    Call.Operator = " = ";
    TFilterOutcome Outcome;
    AppendFilterError(Call, Outcome);
    EXPECT_EQ(Outcome.BoolOperator, "OR");
    EXPECT_EQ(Outcome.FieldName, "[Last Name]");
    EXPECT_EQ(Outcome.Operator, "=");
    EXPECT_EQ(Outcome.Value, "Sm*");
}

// ---- Connector and field name ----------------------------------------------

TEST(AppendFilter, JoinsClausesWithTheNormalizedConnector) {
    struct TCase {
        std::string FilterText;
        std::string BoolOperator;
        std::string Result;
        std::string BoolOperatorAfter;
    };
    const std::vector<TCase> Cases = {
        {"", " or ", "Name = 5", " or "},
        {" \t\r\n", "or", "Name = 5", "or"},
        {"A = 1", " or ", "A = 1 OR Name = 5", "OR"},
        {"A = 1", "", "A = 1 AND Name = 5", "AND"},
        {"A = 1", "\t\n", "A = 1 AND Name = 5", "AND"},
        {"  A = 1  ", "and not", "A = 1 AND NOT Name = 5", "AND NOT"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE("«" + Case.FilterText + "» «" + Case.BoolOperator + "»");
        TFilterCall Call = Unquoted("5");
        Call.FilterText = Case.FilterText;
        Call.BoolOperator = Case.BoolOperator;
        const TFilterOutcome Outcome = RunAppendFilter(Call);
        EXPECT_EQ(Outcome.Result, Case.Result);
        EXPECT_EQ(Outcome.BoolOperator, Case.BoolOperatorAfter);
    }
}

TEST(AppendFilter, BracketsAFieldNameWithABlankInEveryShape) {
    struct TCase {
        TFilterCall Call;
        std::string Result;
    };
    TFilterCall NullTest = WithField(" Last Name ", "is not null", Star);
    TFilterCall Plain = Unquoted("5");
    Plain.FieldName = "Last Name";
    TFilterCall Folded = Quoted("x", Star, Percent);
    Folded.FieldName = "Last Name";
    TFilterCall AlreadyBracketed = Quoted("x", Star, Percent);
    AlreadyBracketed.FieldName = "[Last Name]";
    TFilterCall NoBlank = Quoted("x", Star, Percent);
    NoBlank.FieldName = "\tLast_Name\n";
    const std::vector<TCase> Cases = {
        {NullTest, "[Last Name] IS NOT NULL"}, {Plain, "[Last Name] = 5"},
        {Folded, "UPPER([Last Name]) = 'X'"},  {AlreadyBracketed, "UPPER([Last Name]) = 'X'"},
        {NoBlank, "UPPER(Last_Name) = 'X'"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Result);
        EXPECT_EQ(RunAppendFilter(Case.Call).Result, Case.Result);
    }
}

// ---- Operators and values --------------------------------------------------

TEST(AppendFilter, RecognizesOnlyExactNullTests) {
    struct TCase {
        std::string Operator;
        std::string Result;
        std::string ValueAfter;
    };
    const std::vector<TCase> Cases = {
        {" is not null ", "Name IS NOT NULL", "x"},
        {"Is Null", "Name IS NULL", "x"},
        {"\tIS NULL\r\n", "Name IS NULL", "x"},
        {"is  null", "UPPER(Name) IS  NULL 'X'", "X"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Operator);
        const TFilterOutcome Outcome = RunAppendFilter(WithField("Name", Case.Operator, Star));
        EXPECT_EQ(Outcome.Result, Case.Result);
        EXPECT_EQ(Outcome.Value, Case.ValueAfter);
    }
}

TEST(AppendFilter, WritesAnUnquotedValueExactlyAsGiven) {
    TFilterCall Call = Unquoted(" 5e3 ");
    Call.Operator = " >= ";
    const TFilterOutcome Outcome = RunAppendFilter(Call);
    EXPECT_EQ(Outcome.Result, "Name >=  5e3 ");
    EXPECT_EQ(Outcome.Value, " 5e3 ");
    EXPECT_EQ(Outcome.CorrectedValue, " 5e3 ");
    EXPECT_EQ(Outcome.Operator, ">=");
}

TEST(AppendFilter, WritesQuotedValuesByTheWildcardRules) {
    struct TCase {
        std::string Value;
        std::string Wildcards;
        bool CaseSensitive;
        std::string Operator;
        std::string OperatorAfter;
        std::string Result;
    };
    const std::string Hash = "*?#";
    const std::vector<TCase> Cases = {
        {"*a*b*", Star, false, "=", "LIKE", "UPPER(Name) LIKE '%A%B%'"},
        {"*a", Star, false, "=", "LIKE", "UPPER(Name) LIKE '%A'"},
        {"a*b", Star, false, "=", "LIKE", "UPPER(Name) LIKE 'A%B'"},
        {"a*", Star, false, "=", "STARTING WITH", "UPPER(Name) STARTING WITH 'A'"},
        {"*a?", Star, false, "=", "LIKE", "UPPER(Name) LIKE '%A_'"},
        {"**", Star, false, "=", "CONTAINING", "Name CONTAINING ''"},
        {"a\\**", Star, false, "=", "STARTING WITH", "UPPER(Name) STARTING WITH 'A*'"},
        {"a\\?", Star, false, "=", "=", "UPPER(Name) = 'A?'"},
        {"a%b_c", Star, true, "=", "=", "Name = 'a%b_c'"},
        {"*a%b_c", Star, true, "=", "LIKE", "Name LIKE '%a\\%b\\_c'"},
        {"a#*", Hash, false, "=", "=", "UPPER(Name) = 'A*'"},
        {"a#*", Hash, false, "like", "LIKE", "UPPER(Name) LIKE 'A#*'"},
        {"a#*b*", Hash, false, "=", "STARTING WITH", "UPPER(Name) STARTING WITH 'A*B'"},
        // Without wildcard handling "*" and "?" are plain characters.
        {"a*b?", None, false, "=", "=", "UPPER(Name) = 'A*B?'"},
        // A value that is already one literal is not quoted again.
        {"'abc'", None, false, "=", "=", "UPPER(Name) = 'ABC'"},
        {"'abc'", Star, false, "=", "=", "UPPER(Name) = 'ABC'"},
        {"''", Star, false, "=", "=", "UPPER(Name) = ''"},
        {"'it\\'s'", None, false, "=", "=", "UPPER(Name) = 'IT\\'S'"},
        {"'a*'", Star, false, "=", "LIKE", "UPPER(Name) LIKE 'A%'"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Value + " with " + Case.Wildcards);
        TFilterCall Call = Quoted(Case.Value, Case.Wildcards, Percent);
        Call.CaseSensitive = Case.CaseSensitive;
        Call.Operator = Case.Operator;
        const TFilterOutcome Outcome = RunAppendFilter(Call);
        EXPECT_EQ(Outcome.Operator, Case.OperatorAfter);
        EXPECT_EQ(Outcome.Result, Case.Result);
    }
}

TEST(AppendFilter, FoldsQuotedValuesByTheHostCodePage) {
    struct TCase {
        TCodePage CodePage;
        std::string Value;
        std::string Result;
    };
    const std::vector<TCase> Cases = {
        // Under a single-byte code page only a to z change: 0x9A and 0x8A are letters there.
        {cpWindows1250, "\x9A\x8Az{1}", "UPPER(Name) = '\x9A\x8AZ{1}'"},
        {cpUtf8, "\u0161a*", "UPPER(Name) STARTING WITH '\u0160A'"},
        {cpUtf8, "\u0111or\u0111e", "UPPER(Name) = '\u0110OR\u0110E'"},
        {cpUtf8, "*\u03B5\u03BB\u03BB?", "UPPER(Name) LIKE '%\u0395\u039B\u039B_'"},
        {cpUtf8, "\u0452\u043E*\u0435", "UPPER(Name) LIKE '\u0402\u041E%\u0415'"},
        {cpUtf8, "stra\u00DFe \u5317\u4EAC", "UPPER(Name) = 'STRASSE \u5317\u4EAC'"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Value);
        TCodePageGuard Guard(Case.CodePage);
        const TFilterOutcome Outcome = RunAppendFilter(Quoted(Case.Value, Star, Percent));
        EXPECT_EQ(Outcome.Result, Case.Result);
    }
}

// ---- Dropped conditions ----------------------------------------------------

TEST(AppendFilter, DropsAnIncompleteConditionWithItsConnector) {
    struct TCase {
        const char* Situation;
        TFilterCall Call;
    };
    TFilterCall NoOperator = WithField("Name", " ", Star);
    TFilterCall NoValue = Unquoted("");
    const std::vector<TCase> Cases = {{"missing operator", NoOperator},
                                      {"empty unquoted value", NoValue}};
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Situation);
        TFilterCall Call = Case.Call;
        Call.Exceptions = false;
        EXPECT_EQ(RunAppendFilter(Call).Result, "");

        Call.FilterText = " A = 1 ";
        Call.BoolOperator = " or ";
        const TFilterOutcome Outcome = RunAppendFilter(Call);
        EXPECT_EQ(Outcome.Result, "A = 1");
        EXPECT_EQ(Outcome.BoolOperator, "OR");
        EXPECT_EQ(Outcome.Value, Call.Value);
    }
}

// ---- Target wildcards with an escape character of their own -----------------

TEST(AppendFilter, UsesTheTargetsEscapeOnlyInPatterns) {
    struct TCase {
        std::string Value;
        std::string Operator;
        std::string ValueAfter;
    };
    // The end user escapes with "\", the target with "#".
    const std::vector<TCase> Cases = {
        {"a\\*b*", "STARTING WITH", "a*b"}, {"a#b*", "STARTING WITH", "a#b"},
        {"*a\\?b*", "LIKE", "%a#?b%"},      {"a\\*b?", "LIKE", "a#*b_"},
        {"a%b?", "LIKE", "a#%b_"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Value);
        TFilterCall Call = Quoted(Case.Value, Star, "%_#");
        Call.CaseSensitive = true;
        const TFilterOutcome Outcome = RunAppendFilter(Call);
        EXPECT_EQ(Outcome.Operator, Case.Operator);
        EXPECT_EQ(Outcome.Value, Case.ValueAfter);
    }
}

TEST(AppendFilter, RemovesTheUsersEscapesFromAContainingValueUnderATargetEscape) {
    TFilterCall Call = Quoted("*a\\?b#*", Star, "%_#");
    const TFilterOutcome Outcome = RunAppendFilter(Call);
    EXPECT_EQ(Outcome.Operator, "CONTAINING");
    EXPECT_EQ(Outcome.Value, "a?b#");
    EXPECT_EQ(Outcome.Result, "Name CONTAINING 'a?b#'");
}

} // namespace
} // namespace vorn::test
