// The composer's building blocks, where a fault would hide behind AppendFilter's
// own checks.

#include "Source/Vorn_sharedInternal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorn::SharedInternal {
namespace {

constexpr std::size_t NotFound = std::string_view::npos;

TEST(VornSharedFilterSteps, FindUnescapedCharSkipsEscapedCharacters) {
    struct TCase {
        std::string S;
        std::string Set;
        std::size_t Start;
        char E;
        std::size_t Found;
    };
    const std::vector<TCase> Cases = {
        {.S = "a\\*b*", .Set = "*", .Start = 0, .E = '\\', .Found = 4},
        {.S = "\\\\*",
         .Set = "*",
         .Start = 0,
         .E = '\\',
         .Found = 2}, // an escaped escape escapes nothing more
        {.S = "\\*\\?", .Set = "*?", .Start = 0, .E = '\\', .Found = NotFound},
        {.S = "ab\\",
         .Set = "*",
         .Start = 0,
         .E = '\\',
         .Found = NotFound}, // a trailing escape ends the scan
        {.S = "*a*", .Set = "*", .Start = 1, .E = '\\', .Found = 2},
        {.S = "*a*", .Set = "*", .Start = 3, .E = '\\', .Found = NotFound},
        {.S = "*a*", .Set = "*", .Start = 10, .E = '\\', .Found = NotFound},
        {.S = "a#*b?", .Set = "*?", .Start = 0, .E = '#', .Found = 4},
        {.S = "a\\*",
         .Set = "*",
         .Start = 0,
         .E = '#',
         .Found = 2}, // the backslash is plain text under another escape
        {.S = "", .Set = "*", .Start = 0, .E = '\\', .Found = NotFound},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE("«" + Case.S + "» from " + std::to_string(Case.Start));
        EXPECT_EQ(FindUnescapedChar(Case.S, Case.Set, Case.Start, Case.E), Case.Found);
    }
    EXPECT_EQ(CountUnescaped("*\\**\\\\*", '*', '\\'), 3u);
}

TEST(VornSharedFilterSteps, EscapesAndRemovesEscapesPairwise) {
    struct TCase {
        std::string S;
        std::string Escaped; // EscapeChars with {_}
        std::string Removed; // RemoveEscapes
    };
    const std::vector<TCase> Cases = {
        {.S = "a_b", .Escaped = "a\\_b", .Removed = "a_b"},
        {.S = "a\\_b_", .Escaped = "a\\_b\\_", .Removed = "a_b_"},
        {.S = "\\\\_", .Escaped = "\\\\\\_", .Removed = "\\_"},
        {.S = "abc\\", .Escaped = "abc\\", .Removed = "abc"},
        {.S = "\\", .Escaped = "\\", .Removed = ""},
        {.S = "", .Escaped = "", .Removed = ""},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE("«" + Case.S + "»");
        EXPECT_EQ(EscapeChars(Case.S, "_", '\\'), Case.Escaped);
        EXPECT_EQ(RemoveEscapes(Case.S, '\\'), Case.Removed);
    }
}

TEST(VornSharedFilterSteps, TranslateWildcardsKeepsEscapedCharactersAndTheLength) {
    struct TCase {
        std::string S;
        std::string Translated;
    };
    const std::vector<TCase> Cases = {
        {"a*b?", "a%b_"}, {"\\*\\?*", "#*#?%"}, {"\\\\*", "#\\%"}, {"*\\", "%#"}, {"%_", "%_"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE("«" + Case.S + "»");
        const std::string Translated = TranslateWildcards(Case.S, '*', '?', '\\', '%', '_', '#');
        EXPECT_EQ(Translated, Case.Translated);
        EXPECT_EQ(Translated.size(), Case.S.size());
    }
}

// In a pattern backslash pairs are the pattern's own escapes and must survive
// quoting unchanged, while a quote after an escaped backslash still needs one.
TEST(VornSharedFilterSteps, QuoteValueKeepsPatternEscapesPaired) {
    struct TCase {
        std::string Pattern;
        std::string Quoted;
    };
    const std::vector<TCase> Cases = {
        {"a\\_b\\", "'a\\_b\\\\'"},
        {"a\\\\", "'a\\\\'"},
        {"a\\'b", "'a\\'b'"},
        {"a\\\\'b", "'a\\\\\\'b'"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE("«" + Case.Pattern + "»");
        EXPECT_EQ(QuoteValue(Case.Pattern, true), Case.Quoted);
    }
}

} // namespace
} // namespace vorn::SharedInternal
