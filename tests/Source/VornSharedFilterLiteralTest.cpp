// Values typed by an end user must stay inside the one literal that the composer
// writes, and mean there what was typed. The clause is read back here the way
// every reader of the filter text reads it: a literal runs from ' to the next '
// that no backslash escapes, and a backslash escapes the one character after it.

#include "tests/Source/VornSharedFilterTest.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace vorn::test {
namespace {

// The literals of a clause as the reader sees them.
struct TLiteralScan {
    std::vector<std::string> Bodies; // raw text between the quotes, escapes kept
    std::string Before;              // clause text before the first literal
    std::string After;               // clause text after the last literal
    bool Unterminated = false;
};

TLiteralScan ScanLiterals(const std::string& Clause) {
    TLiteralScan Scan;
    bool Inside = false;
    std::string Body;
    for (std::size_t Position = 0; Position < Clause.size(); ++Position) {
        const char C = Clause[Position];
        if (!Inside) {
            if (C != '\'')
                continue;
            if (Scan.Bodies.empty())
                Scan.Before = Clause.substr(0, Position);
            Inside = true;
            Body.clear();
        } else if (C == '\\') {
            Body += C;
            if (Position + 1 < Clause.size())
                Body += Clause[++Position];
        } else if (C == '\'') {
            Inside = false;
            Scan.Bodies.push_back(Body);
            Scan.After = Clause.substr(Position + 1);
        } else {
            Body += C;
        }
    }
    Scan.Unterminated = Inside;
    return Scan;
}

// Outside a LIKE pattern "\x" stands for x.
std::string DecodePlain(const std::string& Body) {
    std::string Text;
    for (std::size_t Position = 0; Position < Body.size(); ++Position) {
        if (Body[Position] == '\\' && Position + 1 < Body.size())
            ++Position;
        Text += Body[Position];
    }
    return Text;
}

// As a LIKE pattern backslash pairs stay the pattern's escapes; only "\'" becomes "'".
std::string DecodePattern(const std::string& Body) {
    std::string Pattern;
    for (std::size_t Position = 0; Position < Body.size(); ++Position) {
        if (Body[Position] == '\\' && Position + 1 < Body.size()) {
            if (Body[Position + 1] != '\'')
                Pattern += '\\';
            ++Position;
        }
        Pattern += Body[Position];
    }
    return Pattern;
}

// Asserts that Clause is Before, one literal and nothing else, and that the
// literal means Meaning (as plain text, or as a pattern when Pattern is set).
::testing::AssertionResult HoldsOneLiteral(const std::string& Clause, const std::string& Before,
                                           bool Pattern, const std::string& Meaning) {
    const TLiteralScan Scan = ScanLiterals(Clause);
    if (Scan.Unterminated)
        return ::testing::AssertionFailure() << "unterminated literal in «" << Clause << "»";
    if (Scan.Bodies.size() != 1)
        return ::testing::AssertionFailure()
               << Scan.Bodies.size() << " literals in «" << Clause << "»";
    if (Scan.Before != Before || !Scan.After.empty())
        return ::testing::AssertionFailure() << "text around the literal in «" << Clause << "»";
    const std::string Decoded =
        Pattern ? DecodePattern(Scan.Bodies.front()) : DecodePlain(Scan.Bodies.front());
    if (Decoded != Meaning)
        return ::testing::AssertionFailure()
               << "«" << Clause << "» means «" << Decoded << "», not «" << Meaning << "»";
    return ::testing::AssertionSuccess();
}

struct THostileCase {
    std::string Value;
    std::string Wildcards;
    bool CaseSensitive;
    std::string Before; // field and operator in front of the literal
    bool Pattern;
    std::string Meaning;
};

const std::string None;
const std::string Star = "*?";
const std::string Hash = "*?#";

TEST(AppendFilterLiteral, KeepsEveryTypedValueInsideOneLiteral) {
    const std::string Equal = "Name = ";
    const std::string Like = "Name LIKE ";
    const std::vector<THostileCase> Cases = {
        // Simple form: quotes and backslashes are plain characters.
        {.Value = "'",
         .Wildcards = None,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "'"},
        {.Value = "\\",
         .Wildcards = None,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "\\"},
        {.Value = "abc\\",
         .Wildcards = None,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "abc\\"},
        {.Value = "' OR 1=1 --",
         .Wildcards = None,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "' OR 1=1 --"},
        {.Value = "\\' OR 1=1 --",
         .Wildcards = None,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "\\' OR 1=1 --"},
        {.Value = "'x' OR 'a'='a'",
         .Wildcards = None,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "'x' OR 'a'='a'"},
        {.Value = "'abc\\'",
         .Wildcards = None,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "'abc\\'"},
        // SQL form with the backslash as the end user's escape.
        {.Value = "'",
         .Wildcards = Star,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "'"},
        {.Value = "abc\\",
         .Wildcards = Star,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "abc"},
        {.Value = "' OR 1=1 --",
         .Wildcards = Star,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "' OR 1=1 --"},
        {.Value = "\\' OR 1=1 --",
         .Wildcards = Star,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "' OR 1=1 --"},
        {.Value = "\\\\' OR 1=1 --",
         .Wildcards = Star,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "\\' OR 1=1 --"},
        {.Value = "'x' OR 'a'='a'",
         .Wildcards = Star,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "'x' OR 'a'='a'"},
        {.Value = "'x' OR 'a'='a'",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Before = "UPPER(Name) = ",
         .Pattern = false,
         .Meaning = "'X' OR 'A'='A'"},
        {.Value = "' OR 1=1 --*",
         .Wildcards = Star,
         .CaseSensitive = true,
         .Before = "Name STARTING WITH ",
         .Pattern = false,
         .Meaning = "' OR 1=1 --"},
        {.Value = "*' OR 'a'='a*",
         .Wildcards = Star,
         .CaseSensitive = false,
         .Before = "Name CONTAINING ",
         .Pattern = false,
         .Meaning = "' OR 'a'='a"},
        {.Value = "*' OR 1=1 --?",
         .Wildcards = Star,
         .CaseSensitive = true,
         .Before = Like,
         .Pattern = true,
         .Meaning = "%' OR 1=1 --_"},
        {.Value = "a?\\",
         .Wildcards = Star,
         .CaseSensitive = true,
         .Before = Like,
         .Pattern = true,
         .Meaning = "a_\\\\"},
        {.Value = "*'x' OR 'a'='a'*",
         .Wildcards = Star,
         .CaseSensitive = true,
         .Before = Like,
         .Pattern = true,
         .Meaning = "%'x' OR 'a'='a'%"},
        // SQL form with "#" as the end user's escape: a backslash is plain text.
        {.Value = "'",
         .Wildcards = Hash,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "'"},
        {.Value = "abc\\",
         .Wildcards = Hash,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "abc\\"},
        {.Value = "abc#",
         .Wildcards = Hash,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "abc"},
        {.Value = "#' OR 1=1 --",
         .Wildcards = Hash,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "' OR 1=1 --"},
        {.Value = "\\' OR 1=1 --",
         .Wildcards = Hash,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "\\' OR 1=1 --"},
        {.Value = "'x' OR 'a'='a'",
         .Wildcards = Hash,
         .CaseSensitive = true,
         .Before = Equal,
         .Pattern = false,
         .Meaning = "'x' OR 'a'='a'"},
        {.Value = "' OR 1=1 --\\*",
         .Wildcards = Hash,
         .CaseSensitive = true,
         .Before = "Name STARTING WITH ",
         .Pattern = false,
         .Meaning = "' OR 1=1 --\\"},
        {.Value = "a?\\",
         .Wildcards = Hash,
         .CaseSensitive = true,
         .Before = Like,
         .Pattern = true,
         .Meaning = "a_\\\\"},
        {.Value = "a?#",
         .Wildcards = Hash,
         .CaseSensitive = true,
         .Before = Like,
         .Pattern = true,
         .Meaning = "a_#"},
        {.Value = "*x' OR 'a'='a?",
         .Wildcards = Hash,
         .CaseSensitive = true,
         .Before = Like,
         .Pattern = true,
         .Meaning = "%x' OR 'a'='a_"},
    };
    for (const THostileCase& Case : Cases) {
        SCOPED_TRACE("«" + Case.Value + "» with «" + Case.Wildcards + "»");
        TFilterCall Call;
        Call.Value = Case.Value;
        Call.Wildcards = Case.Wildcards;
        Call.TargetWildcards = Case.Wildcards.empty() ? None : "%_";
        Call.CaseSensitive = Case.CaseSensitive;
        const TFilterOutcome Outcome = RunAppendFilter(Call);
        EXPECT_TRUE(HoldsOneLiteral(Outcome.Result, Case.Before, Case.Pattern, Case.Meaning));
    }
}

// A value turned into a substring pattern must match its own %, _ and \ literally.
TEST(AppendFilterLiteral, CaseSensitiveContainingMatchesPatternCharactersLiterally) {
    struct TCase {
        std::string Value;
        std::string Operator;
        std::string Pattern;
    };
    const std::vector<TCase> Cases = {
        {.Value = "*50%*", .Operator = "=", .Pattern = "%50\\%%"},
        {.Value = "*a_b*", .Operator = "=", .Pattern = "%a\\_b%"},
        {.Value = "*C:\\\\dir*", .Operator = "=", .Pattern = "%C:\\\\dir%"},
        {.Value = "it's", .Operator = "containing", .Pattern = "%it's%"},
        {.Value = "100%", .Operator = "containing", .Pattern = "%100\\%%"},
        {.Value = "a_b", .Operator = "containing", .Pattern = "%a\\_b%"},
        {.Value = "a\\\\b", .Operator = "containing", .Pattern = "%a\\\\b%"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Value);
        TFilterCall Call;
        Call.Value = Case.Value;
        Call.Operator = Case.Operator;
        Call.CaseSensitive = true;
        const TFilterOutcome Outcome = RunAppendFilter(Call);
        EXPECT_EQ(Outcome.Operator, "LIKE");
        EXPECT_TRUE(HoldsOneLiteral(Outcome.Result, "Name LIKE ", true, Case.Pattern));
    }
}

// Whatever the characters and wildcard settings, including quotes and backslashes
// used as wildcards, a quoted value ends the clause as exactly one literal.
TEST(AppendFilterLiteral, NoGeneratedValueLeavesItsLiteral) {
    const std::string Alphabet = "a'\\*?#%_ ";
    const std::vector<std::string> WildcardSets = {"", "*?", "*?#", "*?'", "'?", "\\?", "*?\\"};
    const std::vector<std::string> TargetSets = {"", "%_", "%_\\", "%_#", "'_", "\\_"};
    const std::vector<std::string> Operators = {"=", "like", "containing", "starting with"};
    std::mt19937 Random(20260101);
    auto Pick = [&Random](std::size_t Count) {
        return std::uniform_int_distribution<std::size_t>(0, Count - 1)(Random);
    };
    for (int Round = 0; Round < 20000; ++Round) {
        TFilterCall Call;
        Call.Value.clear();
        for (std::size_t Length = Pick(9); Length > 0; --Length)
            Call.Value += Alphabet[Pick(Alphabet.size())];
        Call.Wildcards = WildcardSets[Pick(WildcardSets.size())];
        Call.TargetWildcards = TargetSets[Pick(TargetSets.size())];
        Call.Operator = Operators[Pick(Operators.size())];
        Call.CaseSensitive = Pick(2) == 1;
        Call.CaseSensitiveContaining = Pick(2) == 1;
        const TFilterOutcome Outcome = RunAppendFilter(Call);
        const TLiteralScan Scan = ScanLiterals(Outcome.Result);
        const bool OneLiteralAtTheEnd = !Scan.Unterminated && Scan.Bodies.size() == 1 &&
                                        Scan.After.empty() &&
                                        Scan.Before.ends_with(" " + Outcome.Operator + " ");
        ASSERT_TRUE(OneLiteralAtTheEnd)
            << "value «" << Call.Value << "», wildcards «" << Call.Wildcards << "», target «"
            << Call.TargetWildcards << "»: «" << Outcome.Result << "»";
    }
}

} // namespace
} // namespace vorn::test
