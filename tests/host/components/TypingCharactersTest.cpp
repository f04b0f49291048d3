#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Edit.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Input.h"

#include "tests/support/CodePageGuard.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace vorn;

namespace {

const std::string Wang = "\xE7\x8E\x8B"; // 王
const std::string SCaron = "\xC5\xA1";   // š
const std::string Smile = "\xF0\x9F\x98\x80";

// An edit and an editable combo box take typed text the same way: the table runs on both.
struct TTextControl {
    const char* Kind;
    // The form owns the control.
    std::function<TWinControl*(TForm&)> Create;
};

const std::vector<TTextControl>& TextControls() {
    static const std::vector<TTextControl> Controls = {
        {"edit", [](TForm& Form) -> TWinControl* { return new TEdit(&Form); }},
        {"combo box", [](TForm& Form) -> TWinControl* { return new TComboBox(&Form); }},
    };
    return Controls;
}

// Text, selection and maximum length go through the control's own interface.
struct TTextAccess {
    TWinControl& Control;
    int SelStart() const { return Edit() ? Edit()->SelStart() : Combo()->SelStart(); }
    int SelLength() const { return Edit() ? Edit()->SelLength() : Combo()->SelLength(); }
    std::string SelText() const { return Edit() ? Edit()->SelText() : Combo()->SelText(); }
    void SetSelStart(int Value) {
        Edit() ? Edit()->SetSelStart(Value) : Combo()->SetSelStart(Value);
    }
    void SetSelLength(int Value) {
        Edit() ? Edit()->SetSelLength(Value) : Combo()->SetSelLength(Value);
    }
    void SetMaxLength(int Value) {
        Edit() ? Edit()->SetMaxLength(Value) : Combo()->SetMaxLength(Value);
    }
    void SelectAll() { Edit() ? Edit()->SelectAll() : Combo()->SelectAll(); }
    TCustomEdit* Edit() const { return dynamic_cast<TCustomEdit*>(&Control); }
    TCustomComboBox* Combo() const { return dynamic_cast<TCustomComboBox*>(&Control); }
};

TEST(TypingCharacters, MultiByteCharactersAreTypedWholeIntoEditsAndComboBoxes) {
    struct TCase {
        const char* Name;
        std::string Start;
        int SelStart;
        int SelLength;
        int MaxLength;
        std::string Typed;
        std::string ExpectedText;
        int ExpectedSelStart;
        int ExpectedChanges;
    };
    const std::vector<TCase> Cases = {
        {.Name = "typing into an empty text",
         .Start = "",
         .SelStart = 0,
         .SelLength = 0,
         .MaxLength = 0,
         .Typed = Wang + SCaron + "a",
         .ExpectedText = Wang + SCaron + "a",
         .ExpectedSelStart = 3,
         .ExpectedChanges = 3},
        {.Name = "typing at the caret between characters",
         .Start = Wang + Wang,
         .SelStart = 1,
         .SelLength = 0,
         .MaxLength = 0,
         .Typed = SCaron,
         .ExpectedText = Wang + SCaron + Wang,
         .ExpectedSelStart = 2,
         .ExpectedChanges = 1},
        {.Name = "typing over a selection",
         .Start = "a" + Wang + "b",
         .SelStart = 1,
         .SelLength = 1,
         .MaxLength = 0,
         .Typed = Smile,
         .ExpectedText = "a" + Smile + "b",
         .ExpectedSelStart = 2,
         .ExpectedChanges = 1},
        {.Name = "backspace removes the whole character typed",
         .Start = "",
         .SelStart = 0,
         .SelLength = 0,
         .MaxLength = 0,
         .Typed = "x" + Wang + "\b",
         .ExpectedText = "x",
         .ExpectedSelStart = 1,
         .ExpectedChanges = 3},
        {.Name = "the maximum length counts characters",
         .Start = Wang,
         .SelStart = 1,
         .SelLength = 0,
         .MaxLength = 3,
         .Typed = SCaron + Smile + "z",
         .ExpectedText = Wang + SCaron + Smile,
         .ExpectedSelStart = 3,
         .ExpectedChanges = 2},
    };
    for (const TTextControl& Kind : TextControls()) {
        for (const TCase& Case : Cases) {
            SCOPED_TRACE(std::string(Kind.Kind) + ": " + Case.Name);
            TForm Form(nullptr);
            TWinControl* Control = Kind.Create(Form);
            Control->SetParent(&Form);
            TTextAccess Access{*Control};
            Control->SetText(Case.Start);
            Access.SetSelStart(Case.SelStart);
            Access.SetSelLength(Case.SelLength);
            Access.SetMaxLength(Case.MaxLength);
            int Changes = 0;
            if (auto* Edit = Access.Edit())
                Edit->OnChange = [&](TObject*) { ++Changes; };
            else
                Access.Combo()->OnChange = [&](TObject*) { ++Changes; };

            EXPECT_TRUE(UserType(*Control, Case.Typed));

            EXPECT_EQ(Control->Text(), Case.ExpectedText);
            EXPECT_EQ(Access.SelStart(), Case.ExpectedSelStart);
            EXPECT_EQ(Changes, Case.ExpectedChanges);
        }
    }
}

TEST(TypingCharacters, SelectionPropertiesCountCharacters) {
    for (const TTextControl& Kind : TextControls()) {
        SCOPED_TRACE(Kind.Kind);
        TForm Form(nullptr);
        TWinControl* Control = Kind.Create(Form);
        TTextAccess Access{*Control};
        Control->SetText(SCaron + Wang + "b");

        Access.SelectAll();
        EXPECT_EQ(Access.SelLength(), 3);
        Access.SetSelStart(1);
        Access.SetSelLength(1);
        EXPECT_EQ(Access.SelText(), Wang);
        Access.SetSelStart(9);
        EXPECT_EQ(Access.SelStart(), 3);

        EXPECT_TRUE(UserEditText(*Control, Wang + Smile));
        EXPECT_EQ(Access.SelStart(), 2);
    }
}

TEST(TypingCharacters, OnlyWholeCharactersAreTyped) {
    TEdit Edit(nullptr);
    std::vector<char> KeyPresses;
    Edit.OnKeyPress = [&](TObject*, char& Key) { KeyPresses.push_back(Key); };

    EXPECT_THROW(UserTypeCharacter(Edit, Wang + "a"), EInvalidOperation);
    EXPECT_THROW(UserTypeCharacter(Edit, ""), EInvalidOperation);
    EXPECT_THROW(UserTypeCharacter(Edit, "\xE7\x8E"), EInvalidOperation);
    EXPECT_THROW(UserType(Edit, "a\xE8"), EInvalidOperation);
    EXPECT_TRUE(UserTypeCharacter(Edit, "a"));
    EXPECT_TRUE(UserTypeCharacter(Edit, Wang));

    // A char cannot hold a multi-byte character: OnKeyPress sees only the one-byte one.
    EXPECT_EQ(KeyPresses, std::vector<char>{'a'});
    EXPECT_EQ(Edit.Text(), "a" + Wang);

    Edit.SetReadOnly(true);
    EXPECT_TRUE(UserType(Edit, SCaron));
    EXPECT_EQ(Edit.Text(), "a" + Wang);
}

TEST(TypingCharacters, SingleByteCodePagesTypeEveryByteAsACharacter) {
    const test::TCodePageGuard CodePage(cpWindows1250);
    TEdit Edit(nullptr);
    std::string KeyPresses;
    Edit.OnKeyPress = [&](TObject*, char& Key) { KeyPresses += Key; };

    EXPECT_TRUE(UserType(Edit, "\x9A\xE8"
                               "a"));

    EXPECT_EQ(KeyPresses, "\x9A\xE8"
                          "a");
    EXPECT_EQ(Edit.Text(), "\x9A\xE8"
                           "a");
    EXPECT_EQ(Edit.SelStart(), 3);
}

TEST(TypingCharacters, AListOnlyComboBoxPicksTheNextItemByItsWholeFirstCharacter) {
    struct TCase {
        const char* Name;
        TCodePage CodePage;
        std::vector<std::string> Items;
        std::string Typed;
        std::vector<std::string> ExpectedPicks;
    };
    const std::vector<TCase> Cases = {
        {.Name = "a multi-byte first character",
         .CodePage = cpUtf8,
         .Items = {"sit", SCaron + "e", Wang + "x", SCaron + "a"},
         .Typed = SCaron + SCaron + Wang,
         .ExpectedPicks = {SCaron + "e", SCaron + "a", Wang + "x"}},
        // "š" and "ś" share their first byte: only the whole character tells them apart.
        {.Name = "characters that share a lead byte",
         .CodePage = cpUtf8,
         .Items = {"\xC5\x9B"
                   "a",
                   SCaron + "b"},
         .Typed = SCaron,
         .ExpectedPicks = {SCaron + "b"}},
        {.Name = "ASCII letters ignore case",
         .CodePage = cpUtf8,
         .Items = {"Bob", "ann", "Amy"},
         .Typed = "aA",
         .ExpectedPicks = {"ann", "Amy"}},
        {.Name = "no item starts with it",
         .CodePage = cpUtf8,
         .Items = {"a", "b"},
         .Typed = Wang,
         .ExpectedPicks = {}},
        {.Name = "Windows-1250 compares bytes",
         .CodePage = cpWindows1250,
         .Items = {"\x9A"
                   "a",
                   "\x8A"
                   "b",
                   "\x9A"
                   "c"},
         .Typed = "\x9A\x9A",
         .ExpectedPicks = {"\x9A"
                           "a",
                           "\x9A"
                           "c"}},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        const test::TCodePageGuard CodePage(Case.CodePage);
        TForm Form(nullptr);
        auto* Combo = new TComboBox(&Form);
        Combo->SetParent(&Form);
        Combo->SetStyle(csDropDownList);
        for (const std::string& Item : Case.Items)
            Combo->Items()->Append(Item);
        std::vector<std::string> Picks;
        Combo->OnClick = [&](TObject*) { Picks.push_back(Combo->Text()); };

        EXPECT_TRUE(UserType(*Combo, Case.Typed));

        EXPECT_EQ(Picks, Case.ExpectedPicks);
    }
}

} // namespace
