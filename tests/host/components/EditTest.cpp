#include "host/components/controls/Edit.h"
#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Input.h"

#include "tests/host/components/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorn;

namespace {

// An edit box that logs the text each Change sees.
class TChangeLoggingEdit : public TEdit {
public:
    using TEdit::TEdit;
    void Change() override {
        Changes.push_back(Text() + "|" + std::to_string(SelStart()));
        TEdit::Change();
    }
    std::vector<std::string> Changes;
};

TEST(Edit, SetTextCallsChangeOncePerChangeOfTheText) {
    struct TCase {
        std::vector<std::string> Writes;
        int ExpectedChanges;
    };
    const std::vector<TCase> Cases = {
        {{"a"}, 1}, {{"a", "a"}, 1}, {{"a", "b", "a"}, 3}, {{""}, 0}, {{"x", ""}, 2},
    };
    for (const TCase& Case : Cases) {
        TEdit Edit(nullptr);
        int Changes = 0;
        Edit.OnChange = [&](TObject* Sender) {
            EXPECT_EQ(Sender, &Edit);
            ++Changes;
        };
        for (const std::string& Text : Case.Writes)
            Edit.SetText(Text);
        EXPECT_EQ(Changes, Case.ExpectedChanges) << ::testing::PrintToString(Case.Writes);
    }
}

TEST(Edit, TypingEditsAtTheCaretAndCallsChangeForEveryCharacter) {
    TForm Form(nullptr);
    auto* Edit = new TChangeLoggingEdit(&Form);
    Edit->SetParent(&Form);
    Edit->SetText("ac");
    Edit->SetSelStart(1);

    EXPECT_TRUE(UserType(*Edit, "b"));
    EXPECT_TRUE(UserKeyDown(*Edit, VK_END));
    EXPECT_TRUE(UserType(*Edit, "d\b\b"));
    EXPECT_TRUE(UserKeyDown(*Edit, VK_HOME));
    EXPECT_TRUE(UserKeyDown(*Edit, VK_DELETE));

    EXPECT_EQ(Edit->Text(), "b");
    EXPECT_EQ(Edit->Changes,
              (std::vector<std::string>{"ac|0", "abc|2", "abcd|4", "abc|3", "ab|2", "b|0"}));
}

TEST(Edit, FocusSelectsAllSoThatTypingReplacesTheText) {
    TForm Form(nullptr);
    TEdit* Edit = new TEdit(&Form);
    Edit->SetParent(&Form);
    Edit->SetText("old");

    UserSetFocus(*Edit);
    UserType(*Edit, "n");

    EXPECT_EQ(Edit->Text(), "n");
}

TEST(Edit, RefusedKeysChangeNothing) {
    struct TCase {
        const char* Name;
        int MaxLength;
        bool ReadOnly;
        bool SwallowKeys;
        std::string Expected;
        int ExpectedChanges;
    };
    // Each case types "cd" at the end, then deletes the first character.
    const std::vector<TCase> Cases = {
        {.Name = "max length",
         .MaxLength = 3,
         .ReadOnly = false,
         .SwallowKeys = false,
         .Expected = "bc",
         .ExpectedChanges = 2},
        {.Name = "read-only",
         .MaxLength = 0,
         .ReadOnly = true,
         .SwallowKeys = false,
         .Expected = "ab",
         .ExpectedChanges = 0},
        {.Name = "handlers zero the key",
         .MaxLength = 0,
         .ReadOnly = false,
         .SwallowKeys = true,
         .Expected = "ab",
         .ExpectedChanges = 0},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TEdit Edit(nullptr);
        Edit.SetText("ab");
        Edit.SetSelStart(2);
        Edit.SetMaxLength(Case.MaxLength);
        Edit.SetReadOnly(Case.ReadOnly);
        if (Case.SwallowKeys) {
            Edit.OnKeyPress = [](TObject*, char& Key) { Key = 0; };
            Edit.OnKeyDown = [](TObject*, int& Key, TShiftState) { Key = 0; };
        }
        int Changes = 0;
        Edit.OnChange = [&](TObject*) { ++Changes; };

        UserType(Edit, "cd");
        UserKeyDown(Edit, VK_HOME);
        UserKeyDown(Edit, VK_DELETE);

        EXPECT_EQ(Edit.Text(), Case.Expected);
        EXPECT_EQ(Changes, Case.ExpectedChanges);
    }
}

TEST(Edit, OnKeyPressCanReplaceTheTypedCharacter) {
    TEdit Edit(nullptr);
    Edit.OnKeyPress = [](TObject*, char& Key) { Key = static_cast<char>(std::toupper(Key)); };

    UserType(Edit, "sm");

    EXPECT_EQ(Edit.Text(), "SM");
}

TEST(Edit, SelectionIsCheckedAndKeptInsideTheText) {
    std::vector<std::string> Log;
    TEdit Edit(nullptr);
    Edit.SetPeer(std::make_unique<vorn::testing::TRecordingPeer>(Log));
    Edit.SetText("hello");

    Edit.SetSelStart(99);
    EXPECT_EQ(Edit.SelStart(), 5);
    Edit.SetSelStart(1);
    Edit.SetSelLength(99);
    EXPECT_EQ(Edit.SelText(), "ello");
    EXPECT_THROW(Edit.SetSelStart(-1), EInvalidOperation);
    EXPECT_THROW(Edit.SetSelLength(-1), EInvalidOperation);
    EXPECT_THROW(Edit.SetMaxLength(-1), EInvalidOperation);
    EXPECT_EQ(Edit.SelText(), "ello");

    Edit.SetText("hi");
    EXPECT_EQ(Edit.SelStart(), 1);
    EXPECT_EQ(Edit.SelLength(), 1);
    EXPECT_EQ(Log.front(), "text");
}

} // namespace

namespace {

TEST(Edit, AWholeTextEditByTheUserChangesOnceAndPutsTheCaretAtTheEnd) {
    TChangeLoggingEdit Edit(nullptr);
    TComboBox Combo(nullptr);
    Combo.Items()->SetText("pasted\n");

    EXPECT_TRUE(UserEditText(Edit, "pasted"));
    EXPECT_TRUE(UserEditText(Combo, "pasted"));

    EXPECT_EQ(Edit.Changes.size(), 1u);
    EXPECT_EQ(Edit.SelStart(), 6);
    EXPECT_EQ(Combo.ItemIndex(), 0);
    EXPECT_EQ(Combo.SelStart(), 6);

    Edit.SetReadOnly(true);
    TWinControl Panel(nullptr);
    EXPECT_THROW(UserEditText(Edit, "other"), EInvalidOperation);
    EXPECT_THROW(UserEditText(Panel, "other"), EInvalidOperation);
    EXPECT_EQ(Edit.Text(), "pasted");
}

} // namespace
