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
        {"", '\0', false, false},     {"", '[', false, false},
        {"[a]", '[', true, false},    {"[a]", ']', false, true},
        {"x", 'x', true, true},       {std::string(1, '\0'), '\0', true, true},
        {"\xE8", '\xE8', true, true},
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
        {"  Last Name ", "[Last Name]", "Last Name"},
        {"[Last Name]", "[Last Name]", "Last Name"},
        {" [First Name] ", "[First Name]", "First Name"},
        {"", "[]", ""},
        {"[", "[[]", "["},
        {"]", "[]]", "]"},
        {"[]", "[]", ""},
        {"[[a]]", "[[a]]", "[a]"},
        {"Name", "[Name]", "Name"},
        {"\t\r\n\x01Name\x1F ", "[Name]", "Name"},
        // Bytes above 127 are letters of the code page, never blanks.
        {"\xA0Name\xFF", "[\xA0Name\xFF]", "\xA0Name\xFF"},
        {"[ a ]", "[ a ]", " a "},
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
