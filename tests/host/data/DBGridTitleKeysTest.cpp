// Sorting from the keyboard: F3, and the title row that Ctrl+Up enters.

#include "tests/host/data/DBGridTestFixture.h"

#include "host/components/controls/Edit.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Input.h"

#include <string>
#include <vector>

namespace vorn::dbgridtest {

namespace {

struct TKeyStroke {
    int Key;
    TShiftState Shift;
};

class DBGridTitleKeysTest : public DBGridTest {
protected:
    DBGridTitleKeysTest() {
        // Wide enough to show every title.
        Grid->SetWidth(3000);
        Table->Open();
        Grid->OnTitleClick = [this](TColumn* Column) {
            Clicked.push_back(Column->FieldName());
            CtrlWasDown.push_back((GetKeyState(VK_CONTROL) & 0x8000) != 0);
        };
    }

    void Press(const std::vector<TKeyStroke>& Keys) {
        for (const TKeyStroke& Stroke : Keys)
            ASSERT_TRUE(UserKeyDown(*Grid, Stroke.Key, Stroke.Shift));
    }
    // The field of the focused title, or "" while the cells hold the focus.
    std::string FocusedTitle() const {
        const TColumn* Column = Grid->FocusedTitle();
        return Column != nullptr ? Column->FieldName() : std::string();
    }
    std::string CurrentCustNo() const { return Table->FieldByName("CustNo")->AsString(); }

    std::vector<std::string> Clicked;
    std::vector<bool> CtrlWasDown;
};

struct TTitleKeysCase {
    const char* Name;
    std::vector<TKeyStroke> Keys;
    // The title clicks the keys made, with whether Ctrl was down for each.
    std::vector<std::string> Clicked;
    std::vector<bool> CtrlWasDown;
    // The title holding the focus at the end ("" for the cells) and the current column.
    std::string FocusedTitle;
    std::string CurrentColumn;
};

class DBGridTitleKeysCaseTest : public DBGridTitleKeysTest,
                                public ::testing::WithParamInterface<TTitleKeysCase> {};

// Every case starts on City (columns: CustNo, Company, Name, City, Country, ...) at the
// sixth record, which no key of the title row may move.
TEST_P(DBGridTitleKeysCaseTest, KeysOnTheTitles) {
    const TTitleKeysCase& Case = GetParam();
    Grid->SetCol(ColOf("City"));
    Table->MoveBy(5);
    const std::string CustNo = CurrentCustNo();

    Press(Case.Keys);

    EXPECT_EQ(Clicked, Case.Clicked);
    EXPECT_EQ(CtrlWasDown, Case.CtrlWasDown);
    EXPECT_EQ(FocusedTitle(), Case.FocusedTitle);
    EXPECT_EQ(Grid->TitleFocused(), !Case.FocusedTitle.empty());
    EXPECT_EQ(Grid->Col(), ColOf(Case.CurrentColumn));
    EXPECT_EQ(CurrentCustNo(), CustNo);
}

const TKeyStroke F3{VK_F3, {}};
const TKeyStroke CtrlUp{VK_UP, {ssCtrl}};

INSTANTIATE_TEST_SUITE_P(
    Keys, DBGridTitleKeysCaseTest,
    ::testing::Values(
        TTitleKeysCase{"F3ClicksTheCurrentTitle", {F3}, {"City"}, {false}, "", "City"},
        TTitleKeysCase{"CtrlF3IsACtrlClick", {{VK_F3, {ssCtrl}}}, {"City"}, {true}, "", "City"},
        TTitleKeysCase{"CtrlUpFocusesTheCurrentTitle", {CtrlUp}, {}, {}, "City", "City"},
        TTitleKeysCase{"UpStaysOnTheTitles", {CtrlUp, {VK_UP, {}}, CtrlUp}, {}, {}, "City", "City"},
        TTitleKeysCase{"LeftAndSpaceClickThePreviousTitle",
                       {CtrlUp, {VK_LEFT, {}}, {VK_SPACE, {}}},
                       {"Name"},
                       {false},
                       "Name",
                       "Name"},
        TTitleKeysCase{"CtrlEnterAndF3ClickTheFocusedTitle",
                       {CtrlUp, {VK_RIGHT, {}}, {VK_RETURN, {ssCtrl}}, F3},
                       {"Country", "Country"},
                       {true, false},
                       "Country",
                       "Country"},
        TTitleKeysCase{"HomeAndLeftStopAtTheFirstTitle",
                       {CtrlUp, {VK_HOME, {}}, {VK_LEFT, {}}},
                       {},
                       {},
                       "CustNo",
                       "CustNo"},
        TTitleKeysCase{"EndAndRightStopAtTheLastTitle",
                       {CtrlUp, {VK_END, {}}, {VK_RIGHT, {}}},
                       {},
                       {},
                       "Since",
                       "Since"},
        TTitleKeysCase{"EscapeReturnsToTheCells", {CtrlUp, {VK_ESCAPE, {}}}, {}, {}, "", "City"},
        TTitleKeysCase{"DownReturnsToTheCellsWithoutMoving",
                       {CtrlUp, {VK_RIGHT, {}}, {VK_DOWN, {}}},
                       {},
                       {},
                       "",
                       "Country"},
        // Keys that move records in the cells do nothing on a title.
        TTitleKeysCase{"RecordKeysDoNothingOnTheTitles",
                       {CtrlUp, {VK_NEXT, {}}, {VK_PRIOR, {}}, {VK_END, {ssCtrl}}},
                       {},
                       {},
                       "City",
                       "City"},
        // Space and Enter click only a focused title.
        TTitleKeysCase{"SpaceAndEnterInTheCellsClickNothing",
                       {{VK_SPACE, {}}, {VK_RETURN, {}}},
                       {},
                       {},
                       "",
                       "City"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(DBGridTitleKeysTest, WithoutATitleRowF3AndCtrlUpKeepTheirFormerMeaning) {
    Grid->SetOptions(Grid->Options() - TDBGridOptions{dgTitles});
    Table->MoveBy(5);
    Press({F3, CtrlUp});
    EXPECT_TRUE(Clicked.empty());
    EXPECT_FALSE(Grid->TitleFocused());
    // Ctrl+Up, as Up, moved one record back.
    EXPECT_EQ(CurrentCustNo(), "1005");
}

TEST_F(DBGridTitleKeysTest, OnKeyDownSeesTheTitleKeysFirstAndCanSwallowThem) {
    std::vector<int> Seen;
    Grid->OnKeyDown = [&](TObject*, int& Key, TShiftState) {
        Seen.push_back(Key);
        Key = 0;
    };
    Press({F3, CtrlUp});
    EXPECT_EQ(Seen, (std::vector<int>{VK_F3, VK_UP}));
    EXPECT_TRUE(Clicked.empty());
    EXPECT_FALSE(Grid->TitleFocused());
}

// The title focus ends whenever the grid can no longer keep it, and a grid entered again
// starts in its cells.
TEST_F(DBGridTitleKeysTest, LeavingTheGridPressingACellOrHidingTheTitlesEndsTheTitleFocus) {
    TForm Form(nullptr);
    Grid->SetParent(&Form);
    auto* Edit = new TEdit(&Form);
    Edit->SetParent(&Form);
    Edit->SetBounds(0, 300, 100, 20);
    ASSERT_TRUE(UserSetFocus(*Grid));

    const std::vector<std::pair<const char*, std::function<void()>>> Ends{
        {"focus elsewhere", [&] { ASSERT_TRUE(UserSetFocus(*Edit)); }},
        {"press on a cell",
         [&] {
             const TRect Cell = Grid->CellRect(ColOf("Name"), 2);
             ASSERT_TRUE(UserMouseDown(*Grid, mbLeft, {}, Cell.Left + 2, Cell.Top + 2));
         }},
        {"title row hidden", [&] { Grid->SetOptions(Grid->Options() - TDBGridOptions{dgTitles}); }},
    };
    for (const auto& [Name, End] : Ends) {
        SCOPED_TRACE(Name);
        Grid->SetOptions(Grid->Options() + TDBGridOptions{dgTitles});
        ASSERT_TRUE(UserSetFocus(*Grid));
        Press({CtrlUp});
        ASSERT_TRUE(Grid->TitleFocused());
        End();
        EXPECT_FALSE(Grid->TitleFocused());
    }
}

} // namespace

} // namespace vorn::dbgridtest
