#include "host/components/controls/TextEditing.h"

#include "tests/support/CodePageGuard.h"

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

using namespace vorn;

namespace {

// One key on a text with a selection: a typed character (one or more bytes) or a virtual
// key. Every expected position counts characters, never bytes.
struct TEditCase {
    const char* Name;
    TCodePage CodePage;
    std::string Text;
    int SelStart;
    int SelLength;
    std::variant<std::string, int> Key;
    int MaxLength;
    bool ExpectedChange;
    std::string ExpectedText;
    int ExpectedSelStart;
    int ExpectedSelLength;
};

bool Apply(TEditState& State, const TEditCase& Case) {
    if (const auto* Key = std::get_if<int>(&Case.Key))
        return ApplyEditingKey(State, *Key);
    const std::string& Typed = std::get<std::string>(Case.Key);
    if (Typed.size() == 1)
        return ApplyTypedCharacter(State, Typed.front(), Case.MaxLength);
    return ApplyTypedText(State, Typed, Case.MaxLength);
}

TEST(TextEditing, KeysWorkOnWholeCharactersAndNeverSplitOne) {
    // "ša王" is 2 + 1 + 3 bytes; "😀" is four.
    const std::string Text = "\xC5\xA1"
                             "a"
                             "\xE7\x8E\x8B";
    const std::string Wang = "\xE7\x8E\x8B";
    const std::string Smile = "\xF0\x9F\x98\x80";
    const std::vector<TEditCase> Cases = {
        {"backspace after a three-byte character", cpUtf8, Text, 3, 0, "\b", 0, true,
         "\xC5\xA1"
         "a",
         2, 0},
        {"backspace after a two-byte character", cpUtf8, Text, 1, 0, "\b", 0, true, "a" + Wang, 0,
         0},
        {"backspace at the start", cpUtf8, Text, 0, 0, "\b", 0, false, Text, 0, 0},
        {"backspace deletes the selection", cpUtf8, Text, 1, 2, "\b", 0, true, "\xC5\xA1", 1, 0},
        {"delete before a two-byte character", cpUtf8, Text, 0, 0, VK_DELETE, 0, true, "a" + Wang,
         0, 0},
        {"delete before a four-byte character", cpUtf8, "x" + Smile + "y", 1, 0, VK_DELETE, 0, true,
         "xy", 1, 0},
        {"delete at the end", cpUtf8, Text, 3, 0, VK_DELETE, 0, false, Text, 3, 0},
        {"left steps over a whole character", cpUtf8, Text, 3, 0, VK_LEFT, 0, true, Text, 2, 0},
        {"right stops at the end in characters", cpUtf8, Text, 2, 0, VK_RIGHT, 0, true, Text, 3, 0},
        {"right at the end", cpUtf8, Text, 3, 0, VK_RIGHT, 0, false, Text, 3, 0},
        {"end is the character count", cpUtf8, Text, 0, 0, VK_END, 0, true, Text, 3, 0},
        {"typing a multi-byte character at the caret", cpUtf8, Text, 1, 0, Wang, 0, true,
         "\xC5\xA1" + Wang + "a" + Wang, 2, 0},
        {"typing replaces a selection of multi-byte characters", cpUtf8, Text, 0, 2, Smile, 0, true,
         Smile + Wang, 1, 0},
        {"max length counts characters, not bytes", cpUtf8, Text, 3, 0, Wang, 4, true, Text + Wang,
         4, 0},
        {"max length refuses a fifth character", cpUtf8, Text + Wang, 4, 0, "b", 4, false,
         Text + Wang, 4, 0},
        {"typing over the selection at max length", cpUtf8, Text, 2, 1, Smile, 3, true,
         "\xC5\xA1"
         "a" +
             Smile,
         3, 0},
        {"a lone upper-half byte is no UTF-8 character", cpUtf8, "ab", 1, 0, "\xE8", 0, false, "ab",
         1, 0},
        {"a cut sequence is no character", cpUtf8, "ab", 1, 0, "\xE7\x8E", 0, false, "ab", 1, 0},
        {"two characters are not one", cpUtf8, "ab", 1, 0, "xy", 0, false, "ab", 1, 0},
        {"a selection past the end is brought inside", cpUtf8, Text, 2, 9, "\b", 0, true,
         "\xC5\xA1"
         "a",
         2, 0},
        // Under a single-byte code page every byte is a character, as it always was.
        {"Windows-1250 backspace removes one byte", cpWindows1250, "\xE8\x9A", 2, 0, "\b", 0, true,
         "\xE8", 1, 0},
        {"Windows-1250 upper-half bytes are typed", cpWindows1250, "a", 1, 0, "\x9A", 0, true,
         "a\x9A", 2, 0},
        {"Windows-1250 max length counts bytes", cpWindows1250, "\xC5\xA1", 2, 0, "c", 2, false,
         "\xC5\xA1", 2, 0},
        {"Windows-1250 left steps one byte", cpWindows1250, "\xC5\xA1", 2, 0, VK_LEFT, 0, true,
         "\xC5\xA1", 1, 0},
    };
    for (const TEditCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        const test::TCodePageGuard CodePage(Case.CodePage);
        TEditState State{Case.Text, Case.SelStart, Case.SelLength};
        EXPECT_EQ(Apply(State, Case), Case.ExpectedChange);
        EXPECT_EQ(State.Text, Case.ExpectedText);
        EXPECT_EQ(State.SelStart, Case.ExpectedSelStart);
        EXPECT_EQ(State.SelLength, Case.ExpectedSelLength);
    }
}

TEST(TextEditing, SelectedTextAndLengthCountCharacters) {
    struct TCase {
        TCodePage CodePage;
        std::string Text;
        int SelStart;
        int SelLength;
        int ExpectedLength;
        std::string ExpectedSelected;
    };
    const std::vector<TCase> Cases = {
        {cpUtf8,
         "\xC5\xA1\xE7\x8E\x8B"
         "b",
         1, 1, 3, "\xE7\x8E\x8B"},
        {cpUtf8,
         "\xC5\xA1\xE7\x8E\x8B"
         "b",
         1, 9, 3,
         "\xE7\x8E\x8B"
         "b"},
        {cpUtf8, "\xC5\xA1", 5, 1, 1, ""},
        {cpWindows1250, "\xC5\xA1\xE7", 1, 1, 3, "\xA1"},
    };
    for (const TCase& Case : Cases) {
        const test::TCodePageGuard CodePage(Case.CodePage);
        EXPECT_EQ(TextLengthInCharacters(Case.Text), Case.ExpectedLength);
        EXPECT_EQ(SelectedText(Case.Text, Case.SelStart, Case.SelLength), Case.ExpectedSelected);
    }
}

} // namespace
