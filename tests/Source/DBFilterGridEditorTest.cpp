#include "tests/Source/DBFilterGridEditorTest.h"

#include "tests/Source/DBFilterGridTest.h"
#include "tests/Source/TestTables.h"

#include "host/components/controls/Edit.h"

#include <variant>

namespace vorn::test {
namespace {

using testtables::TErrorRecorder;

// The People grid inside a form, away from the form's corner so that the combo box,
// which lives beside the grid, is placed in the form's coordinates.
class FilterGridEditorTest : public FilterGridTest {
protected:
    void SetUp() override {
        FilterGridTest::SetUp();
        Window = PutIntoWindow(*Grid, *Form);
    }

    TForm* Window = nullptr;
    TFilterGridUser User{Grid};
    TDBFilterGridComboBox& Combo() const { return *Grid->InCellEditor(); }
};

TEST_F(FilterGridEditorTest, HoverShowsTheEditorThatFitsTheCell) {
    ASSERT_EQ(Combo().Parent(), Window);
    SetRows({{"Name", "=", "Smith", ""}, {"Age", "", "", ""}});
    struct TCase {
        int Col, Row;
        bool ComboShown, ButtonShown;
    };
    const TCase Cases[] = {
        {.Col = 0, .Row = 0, .ComboShown = false, .ButtonShown = false}, // the fixed corner
        {.Col = 2, .Row = 0, .ComboShown = false, .ButtonShown = false}, // a title
        {.Col = 0,
         .Row = 2,
         .ComboShown = false,
         .ButtonShown = true}, // the fixed cell of a filter row
        {.Col = 3, .Row = 1, .ComboShown = true, .ButtonShown = false},
        {.Col = 1, .Row = 2, .ComboShown = true, .ButtonShown = false},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(std::to_string(Case.Col) + "," + std::to_string(Case.Row));
        ASSERT_TRUE(User.Hover(Case.Col, Case.Row));
        EXPECT_EQ(Combo().Visible(), Case.ComboShown);
        EXPECT_EQ(User.Button().Visible(), Case.ButtonShown);
        const TRect R = Grid->CellRect(Case.Col, Case.Row);
        if (Case.ComboShown) {
            EXPECT_EQ(Combo().Text(), Grid->Cells(Case.Col, Case.Row));
            EXPECT_EQ(Combo().BoundsRect(),
                      (TRect{Grid->Left() + R.Left + 2, Grid->Top() + R.Top + 2,
                             Grid->Left() + R.Right + 2, Grid->Top() + R.Bottom + 2}));
            EXPECT_EQ(Grid->CurrentComboCell(), (TGridCoord{Case.Col, Case.Row}));
        }
        if (Case.ButtonShown) {
            EXPECT_EQ(User.Button().TargetRow, Case.Row);
            EXPECT_EQ(User.Button().BoundsRect(), R);
        }
        User.Button().Hide();
    }
    EXPECT_FALSE(Grid->ValidCellCoordinates({-1, -1}));
    EXPECT_TRUE(Grid->ValidCellCoordinates({1, 1}));
}

TEST_F(FilterGridEditorTest, EachHideWritesTheTextIntoTheEditedCellOnce) {
    SetRows({{"Name", "=", "Smith", ""}});
    User.Hover(3, 1);
    ASSERT_TRUE(UserEditText(Combo(), "Jones"));
    User.Hover(2, 1); // the combo box moves on, writing back what was typed
    EXPECT_EQ(Grid->Cells(3, 1), "Jones");
    EXPECT_EQ(Combo().Text(), "=");
    EXPECT_EQ(Combo().Items()->Count(), 0);
    // A program writes the cell meanwhile; hiding again must not overwrite it with a
    // stale text, nor touch the cell the combo box left.
    Grid->SetCells(2, 1, "<>");
    User.Hover(0, 0);
    EXPECT_FALSE(Combo().Visible());
    EXPECT_EQ(Grid->Cells(2, 1), "=");
    EXPECT_EQ(Combo().CellCol, -1);
    Grid->SetCells(2, 1, "<>");
    Combo().Hide();
    User.Hover(0, 0);
    EXPECT_EQ(Grid->Cells(2, 1), "<>");
    EXPECT_EQ(Grid->Cells(3, 1), "Jones");
}

TEST_F(FilterGridEditorTest, MouseLeaveHidesOnlyAnIdleComboBox) {
    User.Hover(1, 1);
    UserEditText(Combo(), "City");
    ASSERT_TRUE(UserMouseLeave(Combo()));
    EXPECT_FALSE(Combo().Visible());
    EXPECT_EQ(Grid->Cells(1, 1), "City");

    User.Hover(1, 1);
    User.OpenList();
    UserMouseLeave(Combo());
    EXPECT_TRUE(Combo().Visible()) << "an open list stays";
    User.Hover(2, 1);
    EXPECT_EQ(Combo().CellCol, 1) << "nor does it follow the mouse";
    EXPECT_EQ(User.Items(), (std::vector<std::string>{"Name", "City", "Phone", "Age"}));
    UserCloseList(Combo());

    ASSERT_TRUE(UserSetFocus(Combo()));
    UserMouseLeave(Combo());
    EXPECT_TRUE(Combo().Visible()) << "a focused combo box stays";
    // Nor does the mouse over the grid take it away while the user types.
    User.Hover(3, 1);
    EXPECT_EQ(Combo().CellCol, 1);
}

TEST_F(FilterGridEditorTest, FocusReturnsToTheGridOnlyWhenItHadIt) {
    auto* Other = new TEdit(Form.get());
    Other->SetParent(Window);
    ASSERT_TRUE(UserSetFocus(*Other));
    User.Hover(1, 1);
    UserMouseLeave(Combo());
    EXPECT_TRUE(Other->Focused());

    ASSERT_TRUE(UserSetFocus(*Grid));
    User.Hover(1, 1);
    User.Pick("Age");
    EXPECT_TRUE(Grid->Focused());
    EXPECT_FALSE(Combo().Visible());
    EXPECT_EQ(Grid->Cells(1, 1), "Age");
}

TEST_F(FilterGridEditorTest, ListsFollowTheColumnAndTheCountIsCapped) {
    SetRows({{"[Age]", "", "", ""}});
    User.Hover(1, 1);
    EXPECT_EQ(User.OpenList(), (std::vector<std::string>{"Name", "City", "Phone", "Age"}));
    EXPECT_EQ(Combo().OpenListRowCount(), 4);
    UserCloseList(Combo());
    User.Hover(3, 1); // the bracketed name is looked up without its brackets
    EXPECT_EQ(User.OpenList(), (std::vector<std::string>{"5", "25", "30", "31", "45"}));
    UserCloseList(Combo());
    Grid->SetFilterMaxDropDownCount(3);
    User.OpenList();
    EXPECT_EQ(Combo().OpenListRowCount(), 3);
    UserCloseList(Combo());
    User.Hover(4, 1);
    EXPECT_EQ(User.OpenList(), (std::vector<std::string>{"AND", "OR"}));
    UserCloseList(Combo());
    Grid->BoolNames = fbnSerbian;
    EXPECT_EQ(User.OpenList(), (std::vector<std::string>{"i", "ili"}));
    EXPECT_THROW(Grid->SetFilterMaxDropDownCount(-1), Exception);
    EXPECT_EQ(Grid->FilterMaxDropDownCount(), 3);
}

TEST_F(FilterGridEditorTest, OperatorListFitsTheFieldAndTheFilterKind) {
    const std::vector<std::string> Comparisons{"<", "<=", "=", ">=", ">", "<>"};
    std::vector<std::string> Unquoted = Comparisons;
    Unquoted.insert(Unquoted.end(), {"IS NULL", "IS NOT NULL"});
    const std::vector<std::string> All(fonComputer.begin(), fonComputer.end());
    // The drop-down reads the Serbian names in the host code page ("ve\u0107e" under UTF-8).
    std::vector<std::string> Serbian;
    for (const std::string& Name : fonSerbian)
        Serbian.push_back(Windows1250ToHost(Name));
    struct TCase {
        const char* Field;
        TFilterKind Kind;
        const TFilterOperatorNames& Names;
        std::vector<std::string> Expected;
    };
    const TCase Cases[] = {
        {.Field = "Age", .Kind = fkSQL, .Names = fonComputer, .Expected = Unquoted},
        {.Field = "Age", .Kind = fkSimple, .Names = fonComputer, .Expected = Comparisons},
        {.Field = "Name", .Kind = fkSQL, .Names = fonComputer, .Expected = All},
        {.Field = "Name", .Kind = fkSimple, .Names = fonComputer, .Expected = Comparisons},
        {.Field = "[City]", .Kind = fkSQL, .Names = fonSerbian, .Expected = Serbian},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Field);
        SetRows({{Case.Field, "", "", ""}});
        Grid->SetFilterKind(Case.Kind);
        Grid->OperatorNames = Case.Names;
        User.Hover(2, 1);
        EXPECT_EQ(User.OpenList(), Case.Expected);
        UserCloseList(Combo());
    }
}

// Errors while a list fills: quiet without fgoExceptions, handed on with it.
TEST_F(FilterGridEditorTest, ListErrorsReachTheUserOnlyWithExceptions) {
    struct TCase {
        const char* Title;
        std::string Field;
        int Col;
        bool CloseTable;
        std::string Message; // with fgoExceptions; empty: no error even then
    };
    const TCase Cases[] = {
        {.Title = "FieldsOfClosedTable",
         .Field = "Name",
         .Col = 1,
         .CloseTable = true,
         .Message = ""},
        {.Title = "ValuesOfClosedTable",
         .Field = "Name",
         .Col = 3,
         .CloseTable = true,
         .Message = ""},
        {.Title = "OperatorsOfClosedTable",
         .Field = "Name",
         .Col = 2,
         .CloseTable = true,
         .Message = "TDBFilterGrid.QuotedType() DataSet is not active."},
        {.Title = "OperatorsOfUnknownField",
         .Field = "Nope",
         .Col = 2,
         .CloseTable = false,
         .Message = "Field 'Nope' not found"},
        {.Title = "ValuesOfUnknownField",
         .Field = "[Nope]",
         .Col = 3,
         .CloseTable = false,
         .Message = "TDBFilterGridComboBox.DropDown() Unknown field: \"Nope\"."},
        {.Title = "ValuesOfEmptyFieldCell",
         .Field = "",
         .Col = 3,
         .CloseTable = false,
         .Message = "TDBFilterGridComboBox.DropDown() Unknown field: \"\"."},
        {.Title = "Connectors", .Field = "Nope", .Col = 4, .CloseTable = true, .Message = ""},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Title);
        Table->Open();
        SetRows({{Case.Field, "", "", ""}});
        if (Case.CloseTable)
            Table->Close();
        for (const bool Raise : {false, true}) {
            Grid->SetFilterGridOptions(Raise ? TFilterGridOptions{fgoExceptions}
                                             : TFilterGridOptions{});
            User.Hover(Case.Col, 1);
            const TErrorRecorder Errors;
            const bool Opened = UserOpenList(Combo());
            const bool Fails = Raise && !Case.Message.empty();
            EXPECT_EQ(Opened, !Fails) << Raise;
            EXPECT_EQ(Combo().DroppedDown(), !Fails);
            if (Fails) {
                ASSERT_EQ(Errors.Messages().size(), 1u);
                EXPECT_NE(Errors.Messages()[0].find(Case.Message), std::string::npos)
                    << Errors.Messages()[0];
                EXPECT_THROW(Combo().DropDown(), Exception) << "a direct call lets it through";
            } else if (Case.Col != 4) {
                EXPECT_EQ(User.Items(), std::vector<std::string>{});
                EXPECT_EQ(Combo().OpenListRowCount(), 0);
            }
            UserCloseList(Combo());
        }
    }
}

TEST_F(FilterGridEditorTest, ComputedAndBlobFieldsAreNotOffered) {
    Table->Close();
    Table->AddCalculatedField("Shout", ftString, 40);
    auto* Other = new TTable(Form.get());
    Other->SetDatabaseName(Database.Alias());
    Other->SetTableName("People");
    Table->AddLookupField("Again", ftString, Other, "Name", "Name", "City", 40);
    Other->Open();
    Table->Open();
    User.Hover(1, 1);
    EXPECT_EQ(User.OpenList(), (std::vector<std::string>{"Name", "City", "Phone", "Age"}));
}

// Picking or confirming a connector name appends one row; nothing else does.
TEST_F(FilterGridEditorTest, ConnectorsAppendOneRowAtTheEnd) {
    struct TCase {
        const char* Title;
        std::vector<TFilterRow> Rows;
        int Col, Row;
        std::string Text;
        bool Typed; // typed and confirmed with Enter, else picked from the list
        int RowCountAfter;
    };
    const TCase Cases[] = {
        {.Title = "PickedOnFilledLastRow",
         .Rows = {{"Name", "=", "x", ""}},
         .Col = 4,
         .Row = 1,
         .Text = "OR",
         .Typed = false,
         .RowCountAfter = 3},
        {.Title = "PickedAgainWhileNewRowEmpty",
         .Rows = {{"Name", "=", "x", "OR"}, {"", "", "", ""}},
         .Col = 4,
         .Row = 1,
         .Text = "AND",
         .Typed = false,
         .RowCountAfter = 3},
        {.Title = "PickedOnEarlierRow",
         .Rows = {{"Name", "", "", ""}, {"Age", "", "", ""}},
         .Col = 4,
         .Row = 1,
         .Text = "AND",
         .Typed = false,
         .RowCountAfter = 4},
        {.Title = "PickedOnEmptyOnlyRow",
         .Rows = {{"", "", "", ""}},
         .Col = 4,
         .Row = 1,
         .Text = "OR",
         .Typed = false,
         .RowCountAfter = 2},
        {.Title = "TypedExactly",
         .Rows = {{"Name", "=", "x", ""}},
         .Col = 4,
         .Row = 1,
         .Text = "AND",
         .Typed = true,
         .RowCountAfter = 3},
        {.Title = "TypedInOtherCase",
         .Rows = {{"Name", "=", "x", ""}},
         .Col = 4,
         .Row = 1,
         .Text = "or",
         .Typed = true,
         .RowCountAfter = 2},
        {.Title = "TypedIntoValueColumn",
         .Rows = {{"Name", "=", "x", ""}},
         .Col = 3,
         .Row = 1,
         .Text = "OR",
         .Typed = true,
         .RowCountAfter = 2},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Title);
        SetRows(Case.Rows);
        Grid->SetCol(1);
        Grid->SetRow(1);
        User.MoveInto(Case.Col, Case.Row);
        if (Case.Typed) {
            User.Type(Case.Text);
            ASSERT_TRUE(User.Key(VK_RETURN));
        } else {
            User.Pick(Case.Text);
        }
        EXPECT_FALSE(Combo().Visible());
        EXPECT_EQ(Grid->Cells(Case.Col, Case.Row), Case.Text);
        EXPECT_EQ(Grid->RowCount(), Case.RowCountAfter);
        if (Case.RowCountAfter > static_cast<int>(Case.Rows.size()) + 1) {
            EXPECT_EQ(Grid->Row(), Case.RowCountAfter - 1);
            EXPECT_EQ(Grid->Col(), Grid->FixedCols());
            EXPECT_TRUE(Grid->UnexistinqOrEmptyRow(Case.RowCountAfter - 1));
        }
    }
}

TEST_F(FilterGridEditorTest, EnterEscapeAndDownInTheComboBox) {
    SetRows({{"Name", "=", "Smith", "AND"}, {"Age", "", "", ""}});
    struct TCase {
        const char* Title;
        int Col;
        std::string Typed; // empty: the text is emptied
        int Key;
        std::string CellAfter;
        int ColAfter;
    };
    const TCase Cases[] = {
        {.Title = "EnterMovesRight",
         .Col = 2,
         .Typed = "<>",
         .Key = VK_RETURN,
         .CellAfter = "<>",
         .ColAfter = 3},
        {.Title = "EnterWithEmptyTextStays",
         .Col = 3,
         .Typed = "",
         .Key = VK_RETURN,
         .CellAfter = "",
         .ColAfter = 3},
        {.Title = "EnterInLastColumnStays",
         .Col = 4,
         .Typed = "x",
         .Key = VK_RETURN,
         .CellAfter = "x",
         .ColAfter = 4},
        {.Title = "EscapeDiscards",
         .Col = 1,
         .Typed = "City",
         .Key = VK_ESCAPE,
         .CellAfter = "Name",
         .ColAfter = 1},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Title);
        User.MoveInto(Case.Col, 1);
        ASSERT_TRUE(UserSetFocus(Combo()));
        UserEditText(Combo(), Case.Typed);
        ASSERT_TRUE(User.Key(Case.Key));
        EXPECT_FALSE(Combo().Visible());
        EXPECT_EQ(Grid->Cells(Case.Col, 1), Case.CellAfter);
        EXPECT_EQ(Grid->Col(), Case.ColAfter);
        EXPECT_EQ(Grid->Row(), 1);
        EXPECT_TRUE(Grid->Focused());
        EXPECT_EQ(Grid->RowCount(), 3);
    }
    // Enter leaves the arrow-key flag: the next mouse move only clears it.
    User.MoveInto(2, 1);
    UserSetFocus(Combo());
    User.Key(VK_RETURN);
    EXPECT_TRUE(Grid->ArrowKeyFlag());
    User.Hover(3, 1);
    EXPECT_FALSE(Combo().Visible());
    EXPECT_FALSE(Grid->ArrowKeyFlag());
    User.Hover(3, 1);
    EXPECT_TRUE(Combo().Visible());

    // Down opens the list with the column's items.
    ASSERT_TRUE(User.Key(VK_DOWN));
    EXPECT_TRUE(Combo().DroppedDown());
    EXPECT_EQ(User.Items(),
              (std::vector<std::string>{"Jane", "John", "Jones", "Smith", "Smithers"}));
    // Browsing the open list commits nothing.
    const std::string CellBefore = Grid->Cells(3, 1);
    ASSERT_TRUE(User.Key(VK_DOWN));
    EXPECT_EQ(Combo().Text(), "Jane");
    EXPECT_TRUE(Combo().Visible());
    EXPECT_EQ(Grid->Cells(3, 1), CellBefore);
}

// The editing options, off by default: a pick from the list moves on as Enter after typing
// does, and F4 or Alt+Down in the grid open the current cell's list.
TEST_F(FilterGridEditorTest, EditingOptionsMoveOnAfterAPickAndOpenListsByKey) {
    struct TPickCase {
        const char* Title;
        bool Option;
        std::vector<TFilterRow> Rows;
        int Col;
        std::string Item;
        int ColAfter, RowAfter;
    };
    const TPickCase Picks[] = {
        {.Title = "PickStays",
         .Option = false,
         .Rows = {{"", "", "", ""}},
         .Col = 1,
         .Item = "Name",
         .ColAfter = 1,
         .RowAfter = 1},
        {.Title = "PickMovesOn",
         .Option = true,
         .Rows = {{"", "", "", ""}},
         .Col = 1,
         .Item = "Name",
         .ColAfter = 2,
         .RowAfter = 1},
        {.Title = "PickedEmptyValueStays",
         .Option = true,
         .Rows = {{"Name", "=", "", ""}},
         .Col = 3,
         .Item = "",
         .ColAfter = 3,
         .RowAfter = 1},
        {.Title = "PickedConnectorOpensARow",
         .Option = true,
         .Rows = {{"Name", "=", "x", ""}},
         .Col = 4,
         .Item = "OR",
         .ColAfter = 1,
         .RowAfter = 2},
    };
    for (const TPickCase& Case : Picks) {
        SCOPED_TRACE(Case.Title);
        SetRows(Case.Rows);
        Grid->SetAdvanceAfterPick(Case.Option);
        User.MoveInto(Case.Col, 1);
        if (Case.Item.empty()) {
            Combo().Items()->Add("");
            ASSERT_TRUE(UserSelectItem(Combo(), 0));
        } else {
            User.Pick(Case.Item);
        }
        EXPECT_FALSE(Combo().Visible());
        EXPECT_EQ(Grid->Cells(Case.Col, 1), Case.Item);
        EXPECT_EQ(Grid->Col(), Case.ColAfter);
        EXPECT_EQ(Grid->Row(), Case.RowAfter);
        EXPECT_TRUE(Grid->Focused());
        EXPECT_FALSE(Grid->ArrowKeyFlag()) << "a pick is made with the mouse";
    }

    struct TKeyCase {
        const char* Title;
        bool Option;
        int Key;
        TShiftState Shift;
    };
    const TKeyCase Keys[] = {
        {.Title = "F4Opens", .Option = true, .Key = VK_F4, .Shift = {}},
        {.Title = "AltDownOpens", .Option = true, .Key = VK_DOWN, .Shift = {ssAlt}},
        {.Title = "F4WithoutOptionDoesNothing", .Option = false, .Key = VK_F4, .Shift = {}},
    };
    for (const TKeyCase& Case : Keys) {
        SCOPED_TRACE(Case.Title);
        SetRows({{"Name", "", "", ""}});
        Grid->SetListKeys(Case.Option);
        ASSERT_TRUE(UserSetFocus(*Grid));
        Grid->SetCol(2);
        Grid->SetRow(1);
        User.GridKey(Case.Key, Case.Shift);
        EXPECT_EQ(Combo().Visible(), Case.Option);
        EXPECT_EQ(Combo().DroppedDown(), Case.Option);
        EXPECT_EQ(Combo().Focused(), Case.Option);
        if (Case.Option) {
            EXPECT_EQ(Grid->CurrentComboCell(), (TGridCoord{2, 1}));
            EXPECT_FALSE(User.Items().empty());
            User.Key(VK_ESCAPE);
            User.Key(VK_ESCAPE);
        }
    }
}

// The cell editor edits multi-byte text by whole characters, and the cell takes the
// text as it was typed.
TEST_F(FilterGridEditorTest, TheCellEditorEditsMultiByteTextByWholeCharacters) {
    const std::string Wang = "\xE7\x8E\x8B";
    const std::string SCaron = "\xC5\xA1";
    const std::string Smile = "\xF0\x9F\x98\x80";
    SetRows({{"Name", "=", "Smith", "AND"}});
    struct TCase {
        const char* Title;
        std::vector<std::variant<std::string, int>> Input; // typed text or a key
        std::string CellAfter;
    };
    const std::vector<TCase> Cases = {
        {.Title = "typing replaces the selected text",
         .Input = {Wang + SCaron},
         .CellAfter = Wang + SCaron},
        {.Title = "left and backspace remove one whole character",
         .Input = {Wang + SCaron + Smile, VK_LEFT, std::string("\b"), std::string("a")},
         .CellAfter = Wang + "a" + Smile},
        {.Title = "home and delete remove one whole character",
         .Input = {Smile + Wang, VK_HOME, VK_DELETE, std::string("x")},
         .CellAfter = "x" + Wang},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Title);
        User.MoveInto(3, 1);
        ASSERT_TRUE(UserSetFocus(Combo()));
        for (const auto& Step : Case.Input) {
            if (const auto* Typed = std::get_if<std::string>(&Step))
                ASSERT_TRUE(UserType(Combo(), *Typed));
            else
                ASSERT_TRUE(User.Key(std::get<int>(Step)));
        }
        ASSERT_TRUE(User.Key(VK_RETURN));
        EXPECT_EQ(Grid->Cells(3, 1), Case.CellAfter);
    }
}

TEST_F(FilterGridEditorTest, KeysInTheGrid) {
    ASSERT_TRUE(UserSetFocus(*Grid));
    // Down on an empty last row stays.
    ASSERT_TRUE(User.GridKey(VK_DOWN));
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_EQ(Grid->Row(), 1);
    // On a filled last row it moves into a new empty row.
    Grid->SetCells(3, 1, " ");
    User.GridKey(VK_DOWN);
    EXPECT_EQ(Grid->RowCount(), 3);
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_TRUE(Grid->ArrowKeyFlag());

    // A key in the grid puts the hovering combo box away, writing its text back.
    Grid->SetCells(1, 2, "Age");
    User.Hover(2, 2);
    User.Hover(2, 2);
    ASSERT_TRUE(Combo().Visible());
    UserEditText(Combo(), ">");
    User.GridKey(VK_INSERT);
    EXPECT_FALSE(Combo().Visible());
    EXPECT_EQ(Grid->Cells(2, 2), ">");

    // Enter opens the combo box on the current cell, with the focus; Down then lists.
    Grid->SetCol(1);
    ASSERT_TRUE(User.GridKey(VK_RETURN));
    EXPECT_TRUE(Combo().Visible());
    EXPECT_TRUE(Combo().Focused());
    EXPECT_EQ(Grid->CurrentComboCell(), (TGridCoord{1, 2}));
    EXPECT_EQ(Combo().Text(), "Age");
    User.Key(VK_DOWN);
    EXPECT_EQ(User.Items(), (std::vector<std::string>{"Name", "City", "Phone", "Age"}));
    User.Key(VK_ESCAPE); // closes the list
    User.Key(VK_ESCAPE); // leaves the combo box
    EXPECT_TRUE(Grid->Focused());

    // Ctrl+Delete removes one of several rows, and only empties the last one left.
    SetRows({{"Name", "", "", ""}, {"Age", "", "", ""}});
    Grid->SetRow(1);
    ASSERT_TRUE(User.GridKey(VK_DELETE, {ssCtrl}));
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"Age", "", "", ""}}));
    User.GridKey(VK_DELETE);
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"Age", "", "", ""}})) << "Delete alone";
    User.GridKey(VK_DELETE, {ssCtrl});
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"", "", "", ""}}));
    EXPECT_EQ(Grid->RowCount(), 2);
}

TEST_F(FilterGridEditorTest, RowButtonDeletesItsRowAndHides) {
    SetRows({{"Name", "", "", ""}, {"Age", "", "", ""}, {"City", "", "", ""}});
    TDBFilterGridSpeedButton& Button = User.Button();
    User.Hover(0, 2);
    ASSERT_TRUE(Button.Visible());
    ASSERT_TRUE(UserMouseLeave(Button));
    EXPECT_FALSE(Button.Visible());
    EXPECT_EQ(Grid->RowCount(), 4);

    User.Hover(0, 2);
    ASSERT_TRUE(UserClick(Button));
    EXPECT_FALSE(Button.Visible());
    EXPECT_EQ(Rows(), (std::vector<TFilterRow>{{"Name", "", "", ""}, {"City", "", "", ""}}));

    // A target inside the fixed rows deletes nothing, not even the title.
    Button.TargetRow = 0;
    Button.Show();
    UserClick(Button);
    EXPECT_EQ(Grid->Cells(1, 0), "Field");
    EXPECT_EQ(Grid->RowCount(), 3);
}

// A dataset that is no table is scanned; its position and its controls come back.
TEST_F(FilterGridEditorTest, NonTableValuesAreScannedSortedAndExactlyUnique) {
    {
        const TConnectionLease Lease(Database.Alias());
        Lease.Connection().ExecuteCommand("CREATE TABLE Letters (L VARCHAR(5), N INTEGER)", {});
        Lease.Connection().ExecuteCommand(
            "INSERT INTO Letters VALUES ('b', 1), ('a', 2), ('b', 3), ('A', 4), ('a', 5), "
            "('\u0160c', 6), ('\u0161b', 7)",
            {});
    }
    auto* Query = new TQuery(Form.get());
    Query->SetDatabaseName(Database.Alias());
    Query->SQL()->SetText("SELECT L, N FROM Letters ORDER BY N");
    Source->SetDataSet(Query);
    Query->Open();
    Query->Next();
    Query->Next();
    SetRows({{"L", "", "", ""}});
    User.Hover(3, 1);
    // Every letter's case is ignored: "\u0161b" sorts before "\u0160c".
    EXPECT_EQ(User.OpenList(), (std::vector<std::string>{"a", "A", "b", "\u0161b", "\u0160c"}));
    EXPECT_EQ(Query->FieldByName("N")->AsString(), "3");
    EXPECT_FALSE(Query->ControlsDisabled());
    UserCloseList(Combo());

    Grid->SetFilterGridOptions({fgoCorrect});
    EXPECT_EQ(User.OpenList(), std::vector<std::string>{});
    UserCloseList(Combo());

    // A scan that fails on the way still puts the record and the controls back.
    Query->Close();
    Query->AddCalculatedField("Fragile", ftString, 5);
    bool Break = false;
    Query->OnCalcFields = [&](TDataSet* DataSet) {
        if (Break && DataSet->FieldByName("N")->AsString() == "4")
            throw Exception("calculation failed");
    };
    Query->Open();
    Query->Next();
    Break = true;
    Grid->SetFilterGridOptions({fgoNonTableValueList});
    Grid->SetCells(1, 1, "Fragile");
    const TErrorRecorder Errors;
    EXPECT_FALSE(UserOpenList(Combo()));
    EXPECT_EQ(Errors.Messages(), std::vector<std::string>{"calculation failed"});
    EXPECT_EQ(Query->FieldByName("N")->AsString(), "2");
    EXPECT_FALSE(Query->ControlsDisabled());
}

} // namespace
} // namespace vorn::test
