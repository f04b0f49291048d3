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
        {"typing into an empty text", "", 0, 0, 0, Wang + SCaron + "a", Wang + SCaron + "a", 3, 3},
        {"typing at the caret between characters", Wang + Wang, 1, 0, 0, SCaron,
         Wang + SCaron + Wang, 2, 1},
        {"typing over a selection", "a" + Wang + "b", 1, 1, 0, Smile, "a" + Smile + "b", 2, 1},
        {"backspace removes the whole character typed", "", 0, 0, 0, "x" + Wang + "\b", "x", 1, 3},
        {"the maximum length counts characters", Wang, 1, 0, 3, SCaron + Smile + "z",
         Wang + SCaron + Smile, 3, 2},
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
        {"a multi-byte first character",
         cpUtf8,
         {"sit", SCaron + "e", Wang + "x", SCaron + "a"},
         SCaron + SCaron + Wang,
         {SCaron + "e", SCaron + "a", Wang + "x"}},
        // "š" and "ś" share their first byte: only the whole character tells them apart.
        {"characters that share a lead byte",
         cpUtf8,
         {"\xC5\x9B"
          "a",
          SCaron + "b"},
         SCaron,
         {SCaron + "b"}},
        {"ASCII letters ignore case", cpUtf8, {"Bob", "ann", "Amy"}, "aA", {"ann", "Amy"}},
        {"no item starts with it", cpUtf8, {"a", "b"}, Wang, {}},
        {"Windows-1250 compares bytes",
         cpWindows1250,
         {"\x9A"
          "a",
          "\x8A"
          "b",
          "\x9A"
          "c"},
         "\x9A\x9A",
         {"\x9A"
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
