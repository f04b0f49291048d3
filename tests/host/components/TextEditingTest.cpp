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
        {.Name = "backspace after a three-byte character",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 3,
         .SelLength = 0,
         .Key = "\b",
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = "\xC5\xA1"
                         "a",
         .ExpectedSelStart = 2,
         .ExpectedSelLength = 0},
        {.Name = "backspace after a two-byte character",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 1,
         .SelLength = 0,
         .Key = "\b",
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = "a" + Wang,
         .ExpectedSelStart = 0,
         .ExpectedSelLength = 0},
        {.Name = "backspace at the start",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 0,
         .SelLength = 0,
         .Key = "\b",
         .MaxLength = 0,
         .ExpectedChange = false,
         .ExpectedText = Text,
         .ExpectedSelStart = 0,
         .ExpectedSelLength = 0},
        {.Name = "backspace deletes the selection",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 1,
         .SelLength = 2,
         .Key = "\b",
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = "\xC5\xA1",
         .ExpectedSelStart = 1,
         .ExpectedSelLength = 0},
        {.Name = "delete before a two-byte character",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 0,
         .SelLength = 0,
         .Key = VK_DELETE,
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = "a" + Wang,
         .ExpectedSelStart = 0,
         .ExpectedSelLength = 0},
        {.Name = "delete before a four-byte character",
         .CodePage = cpUtf8,
         .Text = "x" + Smile + "y",
         .SelStart = 1,
         .SelLength = 0,
         .Key = VK_DELETE,
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = "xy",
         .ExpectedSelStart = 1,
         .ExpectedSelLength = 0},
        {.Name = "delete at the end",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 3,
         .SelLength = 0,
         .Key = VK_DELETE,
         .MaxLength = 0,
         .ExpectedChange = false,
         .ExpectedText = Text,
         .ExpectedSelStart = 3,
         .ExpectedSelLength = 0},
        {.Name = "left steps over a whole character",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 3,
         .SelLength = 0,
         .Key = VK_LEFT,
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = Text,
         .ExpectedSelStart = 2,
         .ExpectedSelLength = 0},
        {.Name = "right stops at the end in characters",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 2,
         .SelLength = 0,
         .Key = VK_RIGHT,
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = Text,
         .ExpectedSelStart = 3,
         .ExpectedSelLength = 0},
        {.Name = "right at the end",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 3,
         .SelLength = 0,
         .Key = VK_RIGHT,
         .MaxLength = 0,
         .ExpectedChange = false,
         .ExpectedText = Text,
         .ExpectedSelStart = 3,
         .ExpectedSelLength = 0},
        {.Name = "end is the character count",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 0,
         .SelLength = 0,
         .Key = VK_END,
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = Text,
         .ExpectedSelStart = 3,
         .ExpectedSelLength = 0},
        {.Name = "typing a multi-byte character at the caret",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 1,
         .SelLength = 0,
         .Key = Wang,
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = "\xC5\xA1" + Wang + "a" + Wang,
         .ExpectedSelStart = 2,
         .ExpectedSelLength = 0},
        {.Name = "typing replaces a selection of multi-byte characters",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 0,
         .SelLength = 2,
         .Key = Smile,
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = Smile + Wang,
         .ExpectedSelStart = 1,
         .ExpectedSelLength = 0},
        {.Name = "max length counts characters, not bytes",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 3,
         .SelLength = 0,
         .Key = Wang,
         .MaxLength = 4,
         .ExpectedChange = true,
         .ExpectedText = Text + Wang,
         .ExpectedSelStart = 4,
         .ExpectedSelLength = 0},
        {.Name = "max length refuses a fifth character",
         .CodePage = cpUtf8,
         .Text = Text + Wang,
         .SelStart = 4,
         .SelLength = 0,
         .Key = "b",
         .MaxLength = 4,
         .ExpectedChange = false,
         .ExpectedText = Text + Wang,
         .ExpectedSelStart = 4,
         .ExpectedSelLength = 0},
        {.Name = "typing over the selection at max length",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 2,
         .SelLength = 1,
         .Key = Smile,
         .MaxLength = 3,
         .ExpectedChange = true,
         .ExpectedText = "\xC5\xA1"
                         "a" +
                         Smile,
         .ExpectedSelStart = 3,
         .ExpectedSelLength = 0},
        {.Name = "a lone upper-half byte is no UTF-8 character",
         .CodePage = cpUtf8,
         .Text = "ab",
         .SelStart = 1,
         .SelLength = 0,
         .Key = "\xE8",
         .MaxLength = 0,
         .ExpectedChange = false,
         .ExpectedText = "ab",
         .ExpectedSelStart = 1,
         .ExpectedSelLength = 0},
        {.Name = "a cut sequence is no character",
         .CodePage = cpUtf8,
         .Text = "ab",
         .SelStart = 1,
         .SelLength = 0,
         .Key = "\xE7\x8E",
         .MaxLength = 0,
         .ExpectedChange = false,
         .ExpectedText = "ab",
         .ExpectedSelStart = 1,
         .ExpectedSelLength = 0},
        {.Name = "two characters are not one",
         .CodePage = cpUtf8,
         .Text = "ab",
         .SelStart = 1,
         .SelLength = 0,
         .Key = "xy",
         .MaxLength = 0,
         .ExpectedChange = false,
         .ExpectedText = "ab",
         .ExpectedSelStart = 1,
         .ExpectedSelLength = 0},
        {.Name = "a selection past the end is brought inside",
         .CodePage = cpUtf8,
         .Text = Text,
         .SelStart = 2,
         .SelLength = 9,
         .Key = "\b",
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = "\xC5\xA1"
                         "a",
         .ExpectedSelStart = 2,
         .ExpectedSelLength = 0},
        // Under a single-byte code page every byte is a character, as it always was.
        {.Name = "Windows-1250 backspace removes one byte",
         .CodePage = cpWindows1250,
         .Text = "\xE8\x9A",
         .SelStart = 2,
         .SelLength = 0,
         .Key = "\b",
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = "\xE8",
         .ExpectedSelStart = 1,
         .ExpectedSelLength = 0},
        {.Name = "Windows-1250 upper-half bytes are typed",
         .CodePage = cpWindows1250,
         .Text = "a",
         .SelStart = 1,
         .SelLength = 0,
         .Key = "\x9A",
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = "a\x9A",
         .ExpectedSelStart = 2,
         .ExpectedSelLength = 0},
        {.Name = "Windows-1250 max length counts bytes",
         .CodePage = cpWindows1250,
         .Text = "\xC5\xA1",
         .SelStart = 2,
         .SelLength = 0,
         .Key = "c",
         .MaxLength = 2,
         .ExpectedChange = false,
         .ExpectedText = "\xC5\xA1",
         .ExpectedSelStart = 2,
         .ExpectedSelLength = 0},
        {.Name = "Windows-1250 left steps one byte",
         .CodePage = cpWindows1250,
         .Text = "\xC5\xA1",
         .SelStart = 2,
         .SelLength = 0,
         .Key = VK_LEFT,
         .MaxLength = 0,
         .ExpectedChange = true,
         .ExpectedText = "\xC5\xA1",
         .ExpectedSelStart = 1,
         .ExpectedSelLength = 0},
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
        {.CodePage = cpUtf8,
         .Text = "\xC5\xA1\xE7\x8E\x8B"
                 "b",
         .SelStart = 1,
         .SelLength = 1,
         .ExpectedLength = 3,
         .ExpectedSelected = "\xE7\x8E\x8B"},
        {.CodePage = cpUtf8,
         .Text = "\xC5\xA1\xE7\x8E\x8B"
                 "b",
         .SelStart = 1,
         .SelLength = 9,
         .ExpectedLength = 3,
         .ExpectedSelected = "\xE7\x8E\x8B"
                             "b"},
        {.CodePage = cpUtf8,
         .Text = "\xC5\xA1",
         .SelStart = 5,
         .SelLength = 1,
         .ExpectedLength = 1,
         .ExpectedSelected = ""},
        {.CodePage = cpWindows1250,
         .Text = "\xC5\xA1\xE7",
         .SelStart = 1,
         .SelLength = 1,
         .ExpectedLength = 3,
         .ExpectedSelected = "\xA1"},
    };
    for (const TCase& Case : Cases) {
        const test::TCodePageGuard CodePage(Case.CodePage);
        EXPECT_EQ(TextLengthInCharacters(Case.Text), Case.ExpectedLength);
        EXPECT_EQ(SelectedText(Case.Text, Case.SelStart, Case.SelLength), Case.ExpectedSelected);
    }
}

} // namespace
