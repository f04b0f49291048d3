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
        {.Text = "", .Upper = "", .Lower = ""},
        {.Text = "abc xyz", .Upper = "ABC XYZ", .Lower = "abc xyz"},
        {.Text = "ABC XYZ", .Upper = "ABC XYZ", .Lower = "abc xyz"},
        {.Text = "MiXeD_09", .Upper = "MIXED_09", .Lower = "mixed_09"},
        // The bytes just outside the letters: '@' before A, '[' after Z, '`' before a,
        // '{' after z.
        {.Text = "@[`{", .Upper = "@[`{", .Lower = "@[`{"},
        {.Text = "a" + SmallSUtf8 + "b",
         .Upper = "A" + SmallSUtf8 + "B",
         .Lower = "a" + SmallSUtf8 + "b"},
        {.Text = SmallS1250 + SmallY1252,
         .Upper = SmallS1250 + SmallY1252,
         .Lower = SmallS1250 + SmallY1252},
        {.Text = std::string("a\0b", 3),
         .Upper = std::string("A\0B", 3),
         .Lower = std::string("a\0b", 3)},
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
        {.A = "", .B = "", .Result = 0},
        {.A = "Name", .B = "NAME", .Result = 0},
        {.A = "name", .B = "NAMES", .Result = -1}, // the start of the other comes first
        {.A = "Names", .B = "name", .Result = 1},
        {.A = "", .B = "a", .Result = -1},
        {.A = "a", .B = "B", .Result = -1},
        {.A = "B", .B = "a", .Result = 1},
        // Letters fold to upper case, so '_' (between Z and a) sorts after them.
        {.A = "_", .B = "a", .Result = 1},
        {.A = "_", .B = "Z", .Result = 1},
        // Bytes of the upper half compare unsigned and never fold.
        {.A = SmallS1250, .B = "z", .Result = 1},
        {.A = "\xC5\xA0", .B = SmallSUtf8, .Result = -1},
        {.A = SmallS1250, .B = SmallS1250, .Result = 0},
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
        {.Text = "", .ControlsAndSpaces = "", .SpacesAndTabs = "", .Spaces = ""},
        {.Text = "   ", .ControlsAndSpaces = "", .SpacesAndTabs = "", .Spaces = ""},
        {.Text = " a b ", .ControlsAndSpaces = "a b", .SpacesAndTabs = "a b", .Spaces = "a b"},
        {.Text = "\ta\t", .ControlsAndSpaces = "a", .SpacesAndTabs = "a", .Spaces = "\ta\t"},
        {.Text = "\r\n a \n",
         .ControlsAndSpaces = "a",
         .SpacesAndTabs = "\r\n a \n",
         .Spaces = "\r\n a \n"},
        {.Text = " \t\x01 a\x1F",
         .ControlsAndSpaces = "a",
         .SpacesAndTabs = "\x01 a\x1F",
         .Spaces = "\t\x01 a\x1F"},
        {.Text = std::string("\0a\0", 3),
         .ControlsAndSpaces = "a",
         .SpacesAndTabs = std::string("\0a\0", 3),
         .Spaces = std::string("\0a\0", 3)},
        // '!' (33) is the first byte kept; the upper half is never taken for a blank.
        {.Text = " !x! ", .ControlsAndSpaces = "!x!", .SpacesAndTabs = "!x!", .Spaces = "!x!"},
        {.Text = "\xA0"
                 "a\xA0",
         .ControlsAndSpaces = "\xA0"
                              "a\xA0",
         .SpacesAndTabs = "\xA0"
                          "a\xA0",
         .Spaces = "\xA0"
                   "a\xA0"},
        {.Text = " " + SmallSUtf8 + " ",
         .ControlsAndSpaces = SmallSUtf8,
         .SpacesAndTabs = SmallSUtf8,
         .Spaces = SmallSUtf8},
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
