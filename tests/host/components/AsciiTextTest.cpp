#include "host/components/text/AsciiText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorn;

namespace {

// Bytes of the upper half: "š" in UTF-8 and in Windows-1250, and the Windows-1252 "ÿ".
const std::string SmallSUtf8 = "\xC5\xA1";
const std::string SmallS1250 = "\x9A";
const std::string SmallY1252 = "\xFF";

TEST(AsciiText, ChangesTheCaseOfAsciiLettersOnly) {
    struct TCase {
        std::string Text;
        std::string Upper;
        std::string Lower;
    };
    const TCase Cases[] = {
        {"", "", ""},
        {"abc xyz", "ABC XYZ", "abc xyz"},
        {"ABC XYZ", "ABC XYZ", "abc xyz"},
        {"MiXeD_09", "MIXED_09", "mixed_09"},
        // The bytes just outside the letters: '@' before A, '[' after Z, '`' before a,
        // '{' after z.
        {"@[`{", "@[`{", "@[`{"},
        {"a" + SmallSUtf8 + "b", "A" + SmallSUtf8 + "B", "a" + SmallSUtf8 + "b"},
        {SmallS1250 + SmallY1252, SmallS1250 + SmallY1252, SmallS1250 + SmallY1252},
        {std::string("a\0b", 3), std::string("A\0B", 3), std::string("a\0b", 3)},
    };
    for (const TCase& Case : Cases) {
        EXPECT_EQ(UpperCaseAscii(Case.Text), Case.Upper) << Case.Text;
        EXPECT_EQ(LowerCaseAscii(Case.Text), Case.Lower) << Case.Text;
    }
}

TEST(AsciiText, ComparesWithAsciiCaseIgnored) {
    struct TCase {
        std::string A;
        std::string B;
        int Result;
    };
    const TCase Cases[] = {
        {"", "", 0},
        {"Name", "NAME", 0},
        {"name", "NAMES", -1}, // the start of the other comes first
        {"Names", "name", 1},
        {"", "a", -1},
        {"a", "B", -1},
        {"B", "a", 1},
        // Letters fold to upper case, so '_' (between Z and a) sorts after them.
        {"_", "a", 1},
        {"_", "Z", 1},
        // Bytes of the upper half compare unsigned and never fold.
        {SmallS1250, "z", 1},
        {"\xC5\xA0", SmallSUtf8, -1},
        {SmallS1250, SmallS1250, 0},
    };
    for (const TCase& Case : Cases) {
        EXPECT_EQ(CompareTextAscii(Case.A, Case.B), Case.Result) << Case.A << " / " << Case.B;
        EXPECT_EQ(CompareTextAscii(Case.B, Case.A), -Case.Result) << Case.B << " / " << Case.A;
        EXPECT_EQ(SameTextAscii(Case.A, Case.B), Case.Result == 0) << Case.A << " / " << Case.B;
    }
}

TEST(AsciiText, TrimsItsOwnSetOfBlanks) {
    struct TCase {
        std::string Text;
        std::string ControlsAndSpaces;
        std::string SpacesAndTabs;
        std::string Spaces;
    };
    const TCase Cases[] = {
        {"", "", "", ""},
        {"   ", "", "", ""},
        {" a b ", "a b", "a b", "a b"},
        {"\ta\t", "a", "a", "\ta\t"},
        {"\r\n a \n", "a", "\r\n a \n", "\r\n a \n"},
        {" \t\x01 a\x1F", "a", "\x01 a\x1F", "\t\x01 a\x1F"},
        {std::string("\0a\0", 3), "a", std::string("\0a\0", 3), std::string("\0a\0", 3)},
        // '!' (33) is the first byte kept; the upper half is never taken for a blank.
        {" !x! ", "!x!", "!x!", "!x!"},
        {"\xA0"
         "a\xA0",
         "\xA0"
         "a\xA0",
         "\xA0"
         "a\xA0",
         "\xA0"
         "a\xA0"},
        {" " + SmallSUtf8 + " ", SmallSUtf8, SmallSUtf8, SmallSUtf8},
    };
    for (const TCase& Case : Cases) {
        EXPECT_EQ(TrimControlsAndSpaces(Case.Text), Case.ControlsAndSpaces) << Case.Text;
        EXPECT_EQ(TrimSpacesAndTabs(Case.Text), Case.SpacesAndTabs) << Case.Text;
        EXPECT_EQ(TrimSpaces(Case.Text), Case.Spaces) << Case.Text;
    }
}

TEST(AsciiText, SplitsAndJoinsLists) {
    using TItems = std::vector<std::string>;
    struct TCase {
        std::string Text;
        TItems Items;
    };
    const TCase Cases[] = {
        {"", {}},
        {"A", {"A"}},
        {"A;B", {"A", "B"}},
        {"A;;B", {"A", "", "B"}},
        {";", {"", ""}},
        {"A;", {"A", ""}},
        {";A", {"", "A"}},
        {" A ; B ", {" A ", " B "}}, // items are kept as written
        {"First Name;Last,Name", {"First Name", "Last,Name"}},
    };
    for (const TCase& Case : Cases) {
        EXPECT_EQ(SplitList(Case.Text, ';'), Case.Items) << Case.Text;
        EXPECT_EQ(JoinList(Case.Items, ';'), Case.Text) << Case.Text;
    }
    EXPECT_EQ(SplitList("a,b;c", ','), (TItems{"a", "b;c"}));
    EXPECT_EQ(JoinList({"a", "b"}, ','), "a,b");
    // One empty item joins to the empty text, which splits into no items.
    EXPECT_EQ(JoinList({""}, ';'), "");
}

} // namespace
