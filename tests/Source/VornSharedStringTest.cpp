#include "Source/Vorn_shared.h"
#include "Source/Vorn_sharedInternal.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorn {
namespace {

TEST(VornSharedStrings, BeginsWithAndEndsWithLookAtOneEnd) {
    struct TCase {
        std::string S;
        char C;
        bool Begins;
        bool Ends;
    };
    const std::vector<TCase> Cases = {
        {.S = "", .C = '\0', .Begins = false, .Ends = false},
        {.S = "", .C = '[', .Begins = false, .Ends = false},
        {.S = "[a]", .C = '[', .Begins = true, .Ends = false},
        {.S = "[a]", .C = ']', .Begins = false, .Ends = true},
        {.S = "x", .C = 'x', .Begins = true, .Ends = true},
        {.S = std::string(1, '\0'), .C = '\0', .Begins = true, .Ends = true},
        {.S = "\xE8", .C = '\xE8', .Begins = true, .Ends = true},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE("«" + Case.S + "» with «" + std::string(1, Case.C) + "»");
        EXPECT_EQ(BeginsWith(Case.S, Case.C), Case.Begins);
        EXPECT_EQ(EndsWith(Case.S, Case.C), Case.Ends);
    }
}

TEST(VornSharedStrings, BracketAndUnbracketTrimAndHandleOnePair) {
    struct TCase {
        std::string S;
        std::string Bracketed;
        std::string Unbracketed;
    };
    const std::vector<TCase> Cases = {
        {.S = "  Last Name ", .Bracketed = "[Last Name]", .Unbracketed = "Last Name"},
        {.S = "[Last Name]", .Bracketed = "[Last Name]", .Unbracketed = "Last Name"},
        {.S = " [First Name] ", .Bracketed = "[First Name]", .Unbracketed = "First Name"},
        {.S = "", .Bracketed = "[]", .Unbracketed = ""},
        {.S = "[", .Bracketed = "[[]", .Unbracketed = "["},
        {.S = "]", .Bracketed = "[]]", .Unbracketed = "]"},
        {.S = "[]", .Bracketed = "[]", .Unbracketed = ""},
        {.S = "[[a]]", .Bracketed = "[[a]]", .Unbracketed = "[a]"},
        {.S = "Name", .Bracketed = "[Name]", .Unbracketed = "Name"},
        {.S = "\t\r\n\x01Name\x1F ", .Bracketed = "[Name]", .Unbracketed = "Name"},
        // Bytes above 127 are letters of the code page, never blanks.
        {.S = "\xA0Name\xFF", .Bracketed = "[\xA0Name\xFF]", .Unbracketed = "\xA0Name\xFF"},
        {.S = "[ a ]", .Bracketed = "[ a ]", .Unbracketed = " a "},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE("«" + Case.S + "»");
        EXPECT_EQ(BracketString(Case.S), Case.Bracketed);
        EXPECT_EQ(UnbracketString(Case.S), Case.Unbracketed);
    }
}

TEST(VornSharedStrings, CountSortFieldsCountsEveryItemOnce) {
    struct TCase {
        std::string List;
        int Count;
    };
    const std::vector<TCase> Cases = {
        {"", 0},     {"Name", 1}, {"Name;City", 2}, {"Name;", 1}, {";", 1},
        {"A;;B", 3}, {";;", 2},   {";A", 2},        {" ", 1},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE("«" + Case.List + "»");
        EXPECT_EQ(SharedInternal::CountSortFields(Case.List), Case.Count);
    }
}

} // namespace
} // namespace vorn
