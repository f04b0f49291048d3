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
        {{.FilterText = None,
          .BoolOperator = "and",
          .FieldName = "Last Name",
          .Operator = "=",
          .Value = "O'Brien",
          .Quoted = true,
          .CaseSensitive = false,
          .Wildcards = None,
          .TargetWildcards = None,
          .CaseSensitiveContaining = false,
          .Exceptions = true},
         {.Result = "UPPER([Last Name]) = 'O\\'BRIEN'",
          .BoolOperator = "and",
          .FieldName = "[Last Name]",
          .Operator = "=",
          .Value = "O'BRIEN",
          .CorrectedValue = "O'Brien"}},
        {{.FilterText = "UPPER(City) = 'PARIS'",
          .BoolOperator = "or",
          .FieldName = "Salary",
          .Operator = ">=",
          .Value = "5000",
          .Quoted = false,
          .CaseSensitive = false,
          .Wildcards = None,
          .TargetWildcards = None,
          .CaseSensitiveContaining = false,
          .Exceptions = true},
         {.Result = "UPPER(City) = 'PARIS' OR Salary >= 5000",
          .BoolOperator = "OR",
          .FieldName = "Salary",
          .Operator = ">=",
          .Value = "5000",
          .CorrectedValue = "5000"}},
        {{.FilterText = "Salary >= 5000",
          .BoolOperator = " ",
          .FieldName = "Phone",
          .Operator = "is null",
          .Value = "x",
          .Quoted = true,
          .CaseSensitive = false,
          .Wildcards = Star,
          .TargetWildcards = Percent,
          .CaseSensitiveContaining = false,
          .Exceptions = true},
         {.Result = "Salary >= 5000 AND Phone IS NULL",
          .BoolOperator = "AND",
          .FieldName = "Phone",
          .Operator = "IS NULL",
          .Value = "x",
          .CorrectedValue = ""}},
        {{.FilterText = None,
          .BoolOperator = None,
          .FieldName = "Name",
          .Operator = "=",
          .Value = "Sm*",
          .Quoted = true,
          .CaseSensitive = false,
          .Wildcards = Star,
          .TargetWildcards = Percent,
          .CaseSensitiveContaining = false,
          .Exceptions = true},
         {.Result = "UPPER(Name) STARTING WITH 'SM'",
          .BoolOperator = "",
          .FieldName = "Name",
          .Operator = "STARTING WITH",
          .Value = "SM",
          .CorrectedValue = "Sm"}},
        {{.FilterText = None,
          .BoolOperator = None,
          .FieldName = "Name",
          .Operator = "=",
          .Value = "*ith*",
          .Quoted = true,
          .CaseSensitive = false,
          .Wildcards = Star,
          .TargetWildcards = Percent,
          .CaseSensitiveContaining = false,
          .Exceptions = true},
         {.Result = "Name CONTAINING 'ith'",
          .BoolOperator = "",
          .FieldName = "Name",
          .Operator = "CONTAINING",
          .Value = "ith",
          .CorrectedValue = "ith"}},
        {{.FilterText = None,
          .BoolOperator = None,
          .FieldName = "Name",
          .Operator = "=",
          .Value = "*ith*",
          .Quoted = true,
          .CaseSensitive = true,
          .Wildcards = Star,
          .TargetWildcards = Percent,
          .CaseSensitiveContaining = false,
          .Exceptions = true},
         {.Result = "Name LIKE '%ith%'",
          .BoolOperator = "",
          .FieldName = "Name",
          .Operator = "LIKE",
          .Value = "%ith%",
          .CorrectedValue = "*ith*"}},
        {{.FilterText = None,
          .BoolOperator = None,
          .FieldName = "Name",
          .Operator = "=",
          .Value = "*ith*",
          .Quoted = true,
          .CaseSensitive = false,
          .Wildcards = Star,
          .TargetWildcards = Percent,
          .CaseSensitiveContaining = true,
          .Exceptions = true},
         {.Result = "UPPER(Name) LIKE '%ITH%'",
          .BoolOperator = "",
          .FieldName = "Name",
          .Operator = "LIKE",
          .Value = "%ITH%",
          .CorrectedValue = "*ith*"}},
        {{.FilterText = None,
          .BoolOperator = None,
          .FieldName = "Name",
          .Operator = "<>",
          .Value = "a*b",
          .Quoted = true,
          .CaseSensitive = false,
          .Wildcards = Star,
          .TargetWildcards = Percent,
          .CaseSensitiveContaining = false,
          .Exceptions = true},
         {.Result = "UPPER(Name) LIKE 'A%B'",
          .BoolOperator = "",
          .FieldName = "Name",
          .Operator = "LIKE",
          .Value = "A%B",
          .CorrectedValue = "a*b"}},
        {{.FilterText = None,
          .BoolOperator = None,
          .FieldName = "Name",
          .Operator = "=",
          .Value = "a_b?",
          .Quoted = true,
          .CaseSensitive = false,
          .Wildcards = Star,
          .TargetWildcards = Percent,
          .CaseSensitiveContaining = false,
          .Exceptions = true},
         {.Result = "UPPER(Name) LIKE 'A\\_B_'",
          .BoolOperator = "",
          .FieldName = "Name",
          .Operator = "LIKE",
          .Value = "A\\_B_",
          .CorrectedValue = "a_b?"}},
        {{.FilterText = None,
          .BoolOperator = None,
          .FieldName = "Name",
          .Operator = "containing",
          .Value = "ab",
          .Quoted = true,
          .CaseSensitive = true,
          .Wildcards = Star,
          .TargetWildcards = Percent,
          .CaseSensitiveContaining = false,
          .Exceptions = true},
         {.Result = "Name LIKE '%ab%'",
          .BoolOperator = "",
          .FieldName = "Name",
          .Operator = "LIKE",
          .Value = "%ab%",
          .CorrectedValue = "ab"}},
        {{.FilterText = None,
          .BoolOperator = None,
          .FieldName = "Name",
          .Operator = "containing",
          .Value = "ab",
          .Quoted = true,
          .CaseSensitive = false,
          .Wildcards = Star,
          .TargetWildcards = Percent,
          .CaseSensitiveContaining = true,
          .Exceptions = true},
         {.Result = "UPPER(Name) CONTAINING 'AB'",
          .BoolOperator = "",
          .FieldName = "Name",
          .Operator = "CONTAINING",
          .Value = "AB",
          .CorrectedValue = "ab"}},
        {{.FilterText = None,
          .BoolOperator = None,
          .FieldName = "Name",
          .Operator = "=",
          .Value = "50\\*",
          .Quoted = true,
          .CaseSensitive = false,
          .Wildcards = Star,
          .TargetWildcards = Percent,
          .CaseSensitiveContaining = false,
          .Exceptions = true},
         {.Result = "UPPER(Name) = '50*'",
          .BoolOperator = "",
          .FieldName = "Name",
          .Operator = "=",
          .Value = "50*",
          .CorrectedValue = "50\\*"}},
        {{.FilterText = None,
          .BoolOperator = None,
          .FieldName = "Name",
          .Operator = "=",
          .Value = "*",
          .Quoted = true,
          .CaseSensitive = false,
          .Wildcards = Star,
          .TargetWildcards = Percent,
          .CaseSensitiveContaining = false,
          .Exceptions = true},
         {.Result = "UPPER(Name) STARTING WITH ''",
          .BoolOperator = "",
          .FieldName = "Name",
          .Operator = "STARTING WITH",
          .Value = "",
          .CorrectedValue = ""}},
        {{.FilterText = None,
          .BoolOperator = None,
          .FieldName = "Name",
          .Operator = "=",
          .Value = "a*b",
          .Quoted = true,
          .CaseSensitive = true,
          .Wildcards = Star,
          .TargetWildcards = None,
          .CaseSensitiveContaining = false,
          .Exceptions = true},
         {.Result = "Name LIKE 'a*b'",
          .BoolOperator = "",
          .FieldName = "Name",
          .Operator = "LIKE",
          .Value = "a*b",
          .CorrectedValue = "a*b"}},
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
        {.Situation = "blank field name",
         .Call = WithField(" \t ", "=", Star),
         .Message = FieldNameEmpty},
        {.Situation = "blank field name before a null test",
         .Call = WithField("  ", "IS NULL", Star),
         .Message = FieldNameEmpty},
        {.Situation = "blank field name before a missing operator",
         .Call = WithField("", "", "*"),
         .Message = FieldNameEmpty},
        {.Situation = "missing operator",
         .Call = WithField("Name", "  ", Star),
         .Message = OperatorEmpty},
        {.Situation = "missing operator before a bad Wildcards",
         .Call = WithField("Name", "", "*"),
         .Message = OperatorEmpty},
        {.Situation = "Wildcards of one character",
         .Call = Quoted("abc", "*", Percent),
         .Message = "AppendFilter() Wrong 'Wildcards' length: 1. Must be 0, 2 or 3."},
        {.Situation = "Wildcards of four characters",
         .Call = Quoted("abc", "*?\\x", Percent),
         .Message = "AppendFilter() Wrong 'Wildcards' length: 4. Must be 0, 2 or 3."},
        {.Situation = "bad Wildcards before a bad TargetWildcards",
         .Call = Quoted("a*", "*", "%"),
         .Message = "AppendFilter() Wrong 'Wildcards' length: 1. Must be 0, 2 or 3."},
        {.Situation = "TargetWildcards of one character",
         .Call = Quoted("a*", Star, "%"),
         .Message = "AppendFilter() Wrong 'TargetWildcards' length: 1. Must be 0, 2 or 3."},
        {.Situation = "TargetWildcards of twelve characters",
         .Call = Quoted("a?", Star, "%_\\%_\\%_\\%_\\"),
         .Message = "AppendFilter() Wrong 'TargetWildcards' length: 12. Must be 0, 2 or 3."},
        {.Situation = "empty unquoted value", .Call = Unquoted(""), .Message = ValueNotSet},
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
        {.Situation = "unquoted field", .Call = UnquotedWithBadWildcards, .Result = "Name = 5"},
        {.Situation = "null test", .Call = NullTestWithBadWildcards, .Result = "Name IS NULL"},
        {.Situation = "bad TargetWildcards, no wildcard in the value",
         .Call = Quoted("abc", Star, "%"),
         .Result = "UPPER(Name) = 'ABC'"},
        {.Situation = "bad TargetWildcards, only escaped wildcards",
         .Call = Quoted("50\\*\\?", Star, "%_\\x"),
         .Result = "UPPER(Name) = '50*?'"},
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
        {.FilterText = "",
         .BoolOperator = " or ",
         .Result = "Name = 5",
         .BoolOperatorAfter = " or "},
        {.FilterText = " \t\r\n",
         .BoolOperator = "or",
         .Result = "Name = 5",
         .BoolOperatorAfter = "or"},
        {.FilterText = "A = 1",
         .BoolOperator = " or ",
         .Result = "A = 1 OR Name = 5",
         .BoolOperatorAfter = "OR"},
        {.FilterText = "A = 1",
         .BoolOperator = "",
         .Result = "A = 1 AND Name = 5",
         .BoolOperatorAfter = "AND"},
        {.FilterText = "A = 1",
         .BoolOperator = "\t\n",
         .Result = "A = 1 AND Name = 5",
         .BoolOperatorAfter = "AND"},
        {.FilterText = "  A = 1  ",
         .BoolOperator = "and not",
         .Result = "A = 1 AND NOT Name = 5",
         .BoolOperatorAfter = "AND NOT"},
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
        {.Operator = " is not null ", .Result = "Name IS NOT NULL", .ValueAfter = "x"},
        {.Operator = "Is Null", .Result = "Name IS NULL", .ValueAfter = "x"},
        {.Operator = "\tIS NULL\r\n", .Result = "Name IS NULL", .ValueAfter = "x"},
        {.Operator = "is  null", .Result = "UPPER(Name) IS  NULL 'X'", .ValueAfter = "X"},
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
        {.Value = "*a*b*",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "LIKE",
         .Result = "UPPER(Name) LIKE '%A%B%'"},
        {.Value = "*a",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "LIKE",
         .Result = "UPPER(Name) LIKE '%A'"},
        {.Value = "a*b",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "LIKE",
         .Result = "UPPER(Name) LIKE 'A%B'"},
        {.Value = "a*",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "STARTING WITH",
         .Result = "UPPER(Name) STARTING WITH 'A'"},
        {.Value = "*a?",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "LIKE",
         .Result = "UPPER(Name) LIKE '%A_'"},
        {.Value = "**",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "CONTAINING",
         .Result = "Name CONTAINING ''"},
        {.Value = "a\\**",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "STARTING WITH",
         .Result = "UPPER(Name) STARTING WITH 'A*'"},
        {.Value = "a\\?",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "=",
         .Result = "UPPER(Name) = 'A?'"},
        {.Value = "a%b_c",
         .Wildcards = Star,
         .CaseSensitive = true,
         .Operator = "=",
         .OperatorAfter = "=",
         .Result = "Name = 'a%b_c'"},
        {.Value = "*a%b_c",
         .Wildcards = Star,
         .CaseSensitive = true,
         .Operator = "=",
         .OperatorAfter = "LIKE",
         .Result = "Name LIKE '%a\\%b\\_c'"},
        {.Value = "a#*",
         .Wildcards = Hash,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "=",
         .Result = "UPPER(Name) = 'A*'"},
        {.Value = "a#*",
         .Wildcards = Hash,
         .CaseSensitive = false,
         .Operator = "like",
         .OperatorAfter = "LIKE",
         .Result = "UPPER(Name) LIKE 'A#*'"},
        {.Value = "a#*b*",
         .Wildcards = Hash,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "STARTING WITH",
         .Result = "UPPER(Name) STARTING WITH 'A*B'"},
        // Without wildcard handling "*" and "?" are plain characters.
        {.Value = "a*b?",
         .Wildcards = None,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "=",
         .Result = "UPPER(Name) = 'A*B?'"},
        // A value that is already one literal is not quoted again.
        {.Value = "'abc'",
         .Wildcards = None,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "=",
         .Result = "UPPER(Name) = 'ABC'"},
        {.Value = "'abc'",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "=",
         .Result = "UPPER(Name) = 'ABC'"},
        {.Value = "''",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "=",
         .Result = "UPPER(Name) = ''"},
        {.Value = "'it\\'s'",
         .Wildcards = None,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "=",
         .Result = "UPPER(Name) = 'IT\\'S'"},
        {.Value = "'a*'",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Operator = "=",
         .OperatorAfter = "LIKE",
         .Result = "UPPER(Name) LIKE 'A%'"},
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
        {.CodePage = cpWindows1250,
         .Value = "\x9A\x8Az{1}",
         .Result = "UPPER(Name) = '\x9A\x8AZ{1}'"},
        {.CodePage = cpUtf8, .Value = "\u0161a*", .Result = "UPPER(Name) STARTING WITH '\u0160A'"},
        {.CodePage = cpUtf8,
         .Value = "\u0111or\u0111e",
         .Result = "UPPER(Name) = '\u0110OR\u0110E'"},
        {.CodePage = cpUtf8,
         .Value = "*\u03B5\u03BB\u03BB?",
         .Result = "UPPER(Name) LIKE '%\u0395\u039B\u039B_'"},
        {.CodePage = cpUtf8,
         .Value = "\u0452\u043E*\u0435",
         .Result = "UPPER(Name) LIKE '\u0402\u041E%\u0415'"},
        {.CodePage = cpUtf8,
         .Value = "stra\u00DFe \u5317\u4EAC",
         .Result = "UPPER(Name) = 'STRASSE \u5317\u4EAC'"},
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
        {.Value = "a\\*b*", .Operator = "STARTING WITH", .ValueAfter = "a*b"},
        {.Value = "a#b*", .Operator = "STARTING WITH", .ValueAfter = "a#b"},
        {.Value = "*a\\?b*", .Operator = "LIKE", .ValueAfter = "%a#?b%"},
        {.Value = "a\\*b?", .Operator = "LIKE", .ValueAfter = "a#*b_"},
        {.Value = "a%b?", .Operator = "LIKE", .ValueAfter = "a#%b_"},
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
