#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Input.h"

#include "tests/host/components/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorn;

namespace {

// A combo box that fills its list when it opens, the way the data-aware ones do, and logs
// what its handlers see.
class TFillingComboBox : public TComboBox {
public:
    using TComboBox::TComboBox;

    void DropDown() override {
        Log.push_back(std::string("dropdown ") + (DroppedDown() ? "open" : "closed"));
        Items()->Clear();
        for (const std::string& Item : Fill)
            Items()->Append(Item);
        SetDropDownCount(static_cast<int>(Fill.size()));
        TComboBox::DropDown();
    }
    void CloseUp() override {
        Log.push_back(std::string("closeup ") + (DroppedDown() ? "open" : "closed"));
        TComboBox::CloseUp();
    }
    void Click() override {
        Log.push_back("click " + Text() + " " + std::to_string(ItemIndex()) +
                      (DroppedDown() ? " open" : " closed"));
        TComboBox::Click();
    }
    void Change() override {
        Log.push_back("change " + Text());
        TComboBox::Change();
    }

    std::vector<std::string> Fill{"red", "green", "blue"};
    std::vector<std::string> Log;
};

struct TComboOnForm {
    TForm Form{nullptr};
    TFillingComboBox* Combo = new TFillingComboBox(&Form);
    TComboOnForm() { Combo->SetParent(&Form); }
};

TEST(ComboBox, ItemIndexAndTextFromCodeFollowEachOtherWithoutClick) {
    struct TCase {
        const char* Name;
        TComboBoxStyle Style;
        int ItemIndexBefore;
        const char* TextWritten; // nullptr: write ItemIndex -1 instead
        std::string ExpectedText;
        int ExpectedItemIndex;
    };
    const std::vector<TCase> Cases = {
        {.Name = "text selects its item",
         .Style = csDropDown,
         .ItemIndexBefore = -1,
         .TextWritten = "green",
         .ExpectedText = "green",
         .ExpectedItemIndex = 1},
        {.Name = "unknown text keeps the selection",
         .Style = csDropDown,
         .ItemIndexBefore = 2,
         .TextWritten = "teal",
         .ExpectedText = "teal",
         .ExpectedItemIndex = 2},
        {.Name = "empty text keeps the selection",
         .Style = csDropDown,
         .ItemIndexBefore = 0,
         .TextWritten = "",
         .ExpectedText = "",
         .ExpectedItemIndex = 0},
        {.Name = "list-only refuses unknown text",
         .Style = csDropDownList,
         .ItemIndexBefore = 2,
         .TextWritten = "teal",
         .ExpectedText = "",
         .ExpectedItemIndex = -1},
        {.Name = "list-only text selects its item",
         .Style = csDropDownList,
         .ItemIndexBefore = -1,
         .TextWritten = "blue",
         .ExpectedText = "blue",
         .ExpectedItemIndex = 2},
        {.Name = "minus one empties",
         .Style = csDropDown,
         .ItemIndexBefore = 1,
         .TextWritten = nullptr,
         .ExpectedText = "",
         .ExpectedItemIndex = -1},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TFillingComboBox Combo(nullptr);
        Combo.SetStyle(Case.Style);
        for (const std::string& Item : Combo.Fill)
            Combo.Items()->Append(Item);
        Combo.SetItemIndex(Case.ItemIndexBefore);
        EXPECT_EQ(Combo.Text(), Case.ItemIndexBefore >= 0 ? Combo.Fill[Case.ItemIndexBefore] : "");

        if (Case.TextWritten != nullptr)
            Combo.SetText(Case.TextWritten);
        else
            Combo.SetItemIndex(-1);

        EXPECT_EQ(Combo.Text(), Case.ExpectedText);
        EXPECT_EQ(Combo.ItemIndex(), Case.ExpectedItemIndex);
        for (const std::string& Entry : Combo.Log)
            EXPECT_NE(Entry.rfind("click", 0), 0u) << Entry;
    }
}

TEST(ComboBox, ItemIndexOutsideTheItemsIsRefusedWithoutChange) {
    TComboBox Combo(nullptr);
    Combo.Items()->SetText("a\nb\n");
    Combo.SetItemIndex(1);

    EXPECT_THROW(Combo.SetItemIndex(2), EListError);
    EXPECT_THROW(Combo.SetItemIndex(-2), EListError);
    EXPECT_THROW(Combo.SetDropDownCount(-1), EInvalidOperation);

    EXPECT_EQ(Combo.ItemIndex(), 1);
    EXPECT_EQ(Combo.Text(), "b");
}

TEST(ComboBox, ClearingTheItemsDropsTheSelectionButKeepsTheText) {
    TComboBox Combo(nullptr);
    Combo.Items()->SetText("a\nb\n");
    Combo.SetItemIndex(1);

    Combo.Items()->Clear();

    EXPECT_EQ(Combo.ItemIndex(), -1);
    EXPECT_EQ(Combo.Text(), "b");
}

TEST(ComboBox, SwitchingToListOnlyShowsTheSelectedItemOrNothing) {
    for (int Selected : {1, -1}) {
        TComboBox Combo(nullptr);
        Combo.Items()->SetText("a\nb\n");
        Combo.SetItemIndex(Selected);
        Combo.SetText("typed");

        Combo.SetStyle(csDropDownList);

        EXPECT_EQ(Combo.Text(), Selected >= 0 ? "b" : "");
        EXPECT_EQ(Combo.ItemIndex(), Selected);
    }
}

TEST(ComboBox, DropDownRunsBeforeTheListOpensAndItsRowCountHoldsForThatList) {
    TComboOnForm Fixture;
    TFillingComboBox& Combo = *Fixture.Combo;
    Combo.Fill = {"a", "b", "c", "d", "e"};

    EXPECT_TRUE(UserOpenList(Combo));
    Combo.SetDropDownCount(2);

    EXPECT_TRUE(Combo.DroppedDown());
    EXPECT_EQ(Combo.Log, std::vector<std::string>{"dropdown closed"});
    EXPECT_EQ(Combo.Items()->Count(), 5);
    EXPECT_EQ(Combo.OpenListRowCount(), 5);

    UserCloseList(Combo);
    EXPECT_EQ(Combo.OpenListRowCount(), 0);
    EXPECT_EQ(Combo.Log.back(), "closeup closed");
}

TEST(ComboBox, AFailingDropDownLeavesTheListClosed) {
    TComboBox Combo(nullptr);
    Combo.OnDropDown = [](TObject*) { throw Exception("TTable.Open() cannot read"); };

    EXPECT_THROW(Combo.SetDroppedDown(true), Exception);

    EXPECT_FALSE(Combo.DroppedDown());
}

TEST(ComboBox, UserSelectionClosesTheListThenClicksWithTheTextInPlace) {
    TComboOnForm Fixture;
    TFillingComboBox& Combo = *Fixture.Combo;
    std::vector<std::string> Peer;
    Combo.SetPeer(std::make_unique<vorn::testing::TRecordingPeer>(Peer));

    UserOpenList(Combo);
    EXPECT_TRUE(UserSelectItem(Combo, 1));

    EXPECT_EQ(Combo.Log, (std::vector<std::string>{"dropdown closed", "change green",
                                                   "closeup closed", "click green 1 closed"}));
    EXPECT_EQ(Combo.Text(), "green");
    ASSERT_GE(Peer.size(), 3u);
    EXPECT_EQ(std::vector<std::string>(Peer.end() - 3, Peer.end()),
              (std::vector<std::string>{"itemindex", "text", "droppeddown"}));
    EXPECT_THROW(UserSelectItem(Combo, 3), EListError);
}

TEST(ComboBox, KeysOpenBrowseAndCloseTheList) {
    struct TCase {
        const char* Name;
        std::vector<std::pair<int, TShiftState>> Keys;
        std::vector<std::string> ExpectedLog;
        bool ExpectedDroppedDown;
    };
    const std::vector<TCase> Cases = {
        {.Name = "alt down opens",
         .Keys = {{VK_DOWN, {ssAlt}}},
         .ExpectedLog = {"dropdown closed"},
         .ExpectedDroppedDown = true},
        {.Name = "f4 toggles",
         .Keys = {{VK_F4, {}}, {VK_F4, {}}},
         .ExpectedLog = {"dropdown closed", "closeup closed"},
         .ExpectedDroppedDown = false},
        {.Name = "down in a closed list does nothing",
         .Keys = {{VK_DOWN, {}}},
         .ExpectedLog = {},
         .ExpectedDroppedDown = false},
        {.Name = "down in an open list browses",
         .Keys = {{VK_DOWN, {ssAlt}}, {VK_DOWN, {}}, {VK_DOWN, {}}},
         .ExpectedLog = {"dropdown closed", "change red", "click red 0 open", "change green",
                         "click green 1 open"},
         .ExpectedDroppedDown = true},
        {.Name = "up at the top stays",
         .Keys = {{VK_UP, {ssAlt}}, {VK_UP, {}}},
         .ExpectedLog = {"dropdown closed"},
         .ExpectedDroppedDown = true},
        {.Name = "enter closes",
         .Keys = {{VK_DOWN, {ssAlt}}, {VK_RETURN, {}}},
         .ExpectedLog = {"dropdown closed", "closeup closed"},
         .ExpectedDroppedDown = false},
        {.Name = "escape closes",
         .Keys = {{VK_DOWN, {ssAlt}}, {VK_ESCAPE, {}}},
         .ExpectedLog = {"dropdown closed", "closeup closed"},
         .ExpectedDroppedDown = false},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TFillingComboBox Combo(nullptr);
        for (const auto& [Key, Shift] : Case.Keys) {
            int HandledKey = Key;
            Combo.KeyDown(HandledKey, Shift);
            EXPECT_EQ(HandledKey, Key);
        }
        EXPECT_EQ(Combo.Log, Case.ExpectedLog);
        EXPECT_EQ(Combo.DroppedDown(), Case.ExpectedDroppedDown);
    }
}

TEST(ComboBox, OnKeyDownZeroingTheKeyStopsTheComboBoxHandling) {
    TFillingComboBox Combo(nullptr);
    Combo.OnKeyDown = [](TObject*, int& Key, TShiftState) { Key = 0; };
    int Key = VK_F4;

    Combo.KeyDown(Key, {});

    EXPECT_FALSE(Combo.DroppedDown());
}

TEST(ComboBox, TypingEditsTheTextOrPicksByFirstLetter) {
    TComboOnForm Editable;
    Editable.Combo->Items()->SetText("red\ngreen\n");
    UserType(*Editable.Combo, "gre");
    EXPECT_EQ(Editable.Combo->Text(), "gre");
    EXPECT_EQ(Editable.Combo->ItemIndex(), -1);
    UserType(*Editable.Combo, "en");
    EXPECT_EQ(Editable.Combo->ItemIndex(), 1);

    TComboOnForm ListOnly;
    TFillingComboBox& Combo = *ListOnly.Combo;
    Combo.SetStyle(csDropDownList);
    Combo.Items()->SetText("Bob\nann\nAmy\n");
    UserType(Combo, "aA");
    EXPECT_EQ(Combo.Text(), "Amy");
    EXPECT_EQ(Combo.Log, (std::vector<std::string>{"change ann", "click ann 1 closed", "change Amy",
                                                   "click Amy 2 closed"}));
}

} // namespace
