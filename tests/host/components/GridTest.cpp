#include "host/components/controls/Grid.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Input.h"

#include "tests/host/components/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace vorn;

namespace {

std::vector<std::string> Column(const TStringGrid& Grid, int ACol) {
    std::vector<std::string> Result;
    for (int ARow = 0; ARow < Grid.RowCount(); ++ARow)
        Result.push_back(Grid.Cells(ACol, ARow));
    return Result;
}

// 5 x 6 grid, 2 fixed columns and 1 fixed row; rows numbered in column 0.
void Fill(TStringGrid& Grid) {
    Grid.SetColCount(5);
    Grid.SetRowCount(6);
    Grid.SetFixedCols(2);
    for (int ARow = 0; ARow < Grid.RowCount(); ++ARow)
        Grid.SetCells(0, ARow, "r" + std::to_string(ARow));
}

TEST(Grid, StartsWithTheUsualShape) {
    TStringGrid Grid(nullptr);
    EXPECT_EQ(Grid.ColCount(), 5);
    EXPECT_EQ(Grid.RowCount(), 5);
    EXPECT_EQ(Grid.FixedCols(), 1);
    EXPECT_EQ(Grid.FixedRows(), 1);
    EXPECT_EQ(Grid.DefaultColWidth(), 64);
    EXPECT_EQ(Grid.DefaultRowHeight(), 24);
    EXPECT_EQ(Grid.GridLineWidth(), 1);
    EXPECT_EQ(Grid.Options(), (TGridOptions{goFixedVertLine, goFixedHorzLine, goVertLine,
                                            goHorzLine, goRangeSelect}));
    EXPECT_EQ((TGridCoord{Grid.Col(), Grid.Row()}), (TGridCoord{1, 1}));
}

TEST(Grid, ShrinkingDropsRowsAndGrowingAppendsEmptyOnes) {
    TStringGrid Grid(nullptr);
    Fill(Grid);
    Grid.SetRowHeights(5, 40);
    Grid.SetRow(5);

    Grid.SetRowCount(3);
    EXPECT_EQ(Grid.Row(), 2);
    Grid.SetRowCount(6);

    EXPECT_EQ(Column(Grid, 0), (std::vector<std::string>{"r0", "r1", "r2", "", "", ""}));
    EXPECT_EQ(Grid.RowHeights(5), 24);
    EXPECT_EQ(Grid.Objects(0, 5), nullptr);
}

TEST(Grid, ShapeErrorsChangeNothing) {
    struct TCase {
        const char* Name;
        std::function<void(TStringGrid&)> Act;
    };
    const std::vector<TCase> Cases = {
        {"fixed rows equal to the count", [](TStringGrid& G) { G.SetFixedRows(6); }},
        {"fixed cols above the count", [](TStringGrid& G) { G.SetFixedCols(9); }},
        {"negative fixed rows", [](TStringGrid& G) { G.SetFixedRows(-1); }},
        {"no rows", [](TStringGrid& G) { G.SetRowCount(0); }},
        {"no columns", [](TStringGrid& G) { G.SetColCount(0); }},
        {"negative width", [](TStringGrid& G) { G.SetColWidths(1, -1); }},
        {"negative default height", [](TStringGrid& G) { G.SetDefaultRowHeight(-2); }},
        {"negative scroll bar height", [](TStringGrid& G) { G.SetScrollBarHeight(-1); }},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TStringGrid Grid(nullptr);
        Fill(Grid);
        EXPECT_THROW(Case.Act(Grid), EInvalidGridOperation);
        EXPECT_EQ(Grid.RowCount(), 6);
        EXPECT_EQ(Grid.ColCount(), 5);
        EXPECT_EQ(Grid.FixedRows(), 1);
        EXPECT_EQ(Grid.FixedCols(), 2);
        EXPECT_EQ(Grid.ColWidths(1), 64);
        EXPECT_EQ(Grid.RowHeights(1), 24);
    }
}

TEST(Grid, IndexErrorsNameTheIndex) {
    TStringGrid Grid(nullptr);
    Fill(Grid);
    const std::vector<std::function<void()>> Acts = {
        [&] { Grid.Cells(5, 0); },  [&] { Grid.SetCells(0, 6, "x"); }, [&] { Grid.Objects(-1, 0); },
        [&] { Grid.ColWidths(5); }, [&] { Grid.SetCol(1); },           [&] { Grid.SetRow(0); },
        [&] { Grid.SetTopRow(6); }, [&] { Grid.DeleteRow(6); },        [&] { Grid.MoveRow(0, -1); },
        [&] { Grid.Rows(6); },
    };
    for (std::size_t Index = 0; Index < Acts.size(); ++Index) {
        SCOPED_TRACE(Index);
        try {
            Acts[Index]();
            ADD_FAILURE() << "no exception";
        } catch (const EListError& Error) {
            EXPECT_NE(Error.Message().find("out"), std::string::npos) << Error.Message();
        }
    }
}

TEST(Grid, DeleteRowMovesTheLaterRowsUp) {
    TStringGrid Grid(nullptr);
    Fill(Grid);
    Grid.SetRowHeights(3, 30);

    Grid.DeleteRow(2);

    EXPECT_EQ(Column(Grid, 0), (std::vector<std::string>{"r0", "r1", "r3", "r4", "r5"}));
    EXPECT_EQ(Grid.RowHeights(2), 30);

    Grid.InsertRow(1);
    Grid.MoveRow(5, 0);
    EXPECT_EQ(Column(Grid, 0), (std::vector<std::string>{"r5", "r0", "", "r1", "r3", "r4"}));
}

TEST(Grid, TheLastNonFixedRowCannotBeDeleted) {
    TStringGrid Grid(nullptr);
    Grid.SetRowCount(2);
    Grid.SetCells(0, 1, "kept");

    EXPECT_THROW(Grid.DeleteRow(1), EInvalidGridOperation);

    EXPECT_EQ(Grid.RowCount(), 2);
    EXPECT_EQ(Grid.Cells(0, 1), "kept");
}

// Columns 10 wide, rows 5 high, grid lines 1: column c of the scrolled part starts at
// 22 + 11 * (c - LeftCol), behind two fixed columns of 11 pixels each.
struct TGeometryCase {
    int LeftCol;
    int TopRow;
    int X;
    int Y;
    TGridCoord Expected;
};

class GridGeometry : public ::testing::TestWithParam<TGeometryCase> {};

TEST_P(GridGeometry, MouseCoordFindsTheCellUnderThePoint) {
    const TGeometryCase& Case = GetParam();
    TDrawGrid Grid(nullptr);
    Grid.SetColCount(8);
    Grid.SetRowCount(8);
    Grid.SetFixedCols(2);
    Grid.SetDefaultColWidth(10);
    Grid.SetDefaultRowHeight(5);
    Grid.SetBounds(0, 0, 60, 30);
    Grid.SetLeftCol(Case.LeftCol);
    Grid.SetTopRow(Case.TopRow);

    const TGridCoord Coord = Grid.MouseCoord(Case.X, Case.Y);

    EXPECT_EQ(Coord, Case.Expected) << Coord.X << "," << Coord.Y;
    if (Coord.X < 0)
        return;
    const TRect Rect = Grid.CellRect(Coord.X, Coord.Y);
    EXPECT_GE(Case.X, Rect.Left);
    EXPECT_LE(Case.X, Rect.Right); // the grid line after the cell belongs to it
    EXPECT_EQ(Rect.Width(), 10);
    EXPECT_EQ(Grid.MouseCoord(Rect.Left, Rect.Top), Coord);
}

INSTANTIATE_TEST_SUITE_P(
    FixedAndScrolled, GridGeometry,
    ::testing::Values(
        TGeometryCase{
            .LeftCol = 2, .TopRow = 1, .X = 0, .Y = 0, .Expected = {0, 0}}, // fixed corner
        TGeometryCase{
            .LeftCol = 2, .TopRow = 1, .X = 10, .Y = 5, .Expected = {0, 0}}, // its grid lines
        TGeometryCase{.LeftCol = 2,
                      .TopRow = 1,
                      .X = 11,
                      .Y = 6,
                      .Expected = {1, 1}}, // second fixed column, first row
        TGeometryCase{
            .LeftCol = 2, .TopRow = 1, .X = 22, .Y = 6, .Expected = {2, 1}}, // first scrolled cell
        TGeometryCase{.LeftCol = 5,
                      .TopRow = 4,
                      .X = 22,
                      .Y = 6,
                      .Expected = {5, 4}}, // the same point, scrolled
        TGeometryCase{.LeftCol = 5,
                      .TopRow = 4,
                      .X = 5,
                      .Y = 2,
                      .Expected = {0, 0}}, // fixed cells do not scroll
        TGeometryCase{.LeftCol = 5,
                      .TopRow = 4,
                      .X = 5,
                      .Y = 8,
                      .Expected = {0, 4}}, // fixed column, scrolled row
        TGeometryCase{.LeftCol = 5,
                      .TopRow = 4,
                      .X = 40,
                      .Y = 2,
                      .Expected = {6, 0}}, // fixed row, scrolled column
        TGeometryCase{.LeftCol = 7,
                      .TopRow = 7,
                      .X = 34,
                      .Y = 6,
                      .Expected = {-1, -1}}, // right of the last column
        TGeometryCase{.LeftCol = 2,
                      .TopRow = 1,
                      .X = 59,
                      .Y = 29,
                      .Expected = {5, 4}}, // bottom right of the client
        TGeometryCase{.LeftCol = 2,
                      .TopRow = 1,
                      .X = 60,
                      .Y = 6,
                      .Expected = {-1, -1}}, // beyond the client area
        TGeometryCase{
            .LeftCol = 2, .TopRow = 1, .X = -1, .Y = 6, .Expected = {-1, -1}}, // left of the grid
        TGeometryCase{.LeftCol = 2, .TopRow = 1, .X = 22, .Y = -1, .Expected = {-1, -1}}));

TEST(Grid, CellRectIsEmptyForCellsThatAreNotShown) {
    TDrawGrid Grid(nullptr);
    Grid.SetColCount(8);
    Grid.SetRowCount(8);
    Grid.SetFixedCols(2);
    Grid.SetDefaultColWidth(10);
    Grid.SetDefaultRowHeight(5);
    Grid.SetBounds(0, 0, 60, 30);
    Grid.SetLeftCol(4);
    Grid.SetTopRow(3);

    EXPECT_EQ(Grid.CellRect(4, 3), (TRect{22, 6, 32, 11}));
    EXPECT_EQ(Grid.CellRect(1, 0), (TRect{11, 0, 21, 5}));
    EXPECT_EQ(Grid.CellRect(7, 3), (TRect{55, 6, 65, 11})); // partly shown: not cut
    EXPECT_TRUE(Grid.CellRect(3, 3).IsEmpty());             // scrolled away
    EXPECT_TRUE(Grid.CellRect(4, 2).IsEmpty());
    EXPECT_TRUE(Grid.CellRect(8, 3).IsEmpty()); // missing
    Grid.SetLeftCol(2);
    EXPECT_TRUE(Grid.CellRect(7, 3).IsEmpty()); // beyond the client area
    EXPECT_EQ(Grid.VisibleColCount(), 3);
}

TEST(Grid, KeysMoveTheCurrentCellInsideTheNonFixedCellsAndScrollIt) {
    struct TCase {
        const char* Name;
        std::vector<std::pair<int, TShiftState>> Keys;
        TGridCoord Expected;
        int ExpectedTopRow;
    };
    // 8 x 10 grid, 1 fixed column, 2 fixed rows, 3 scrolled rows fit below the fixed ones.
    const std::vector<TCase> Cases = {
        {.Name = "up stops at the fixed rows",
         .Keys = {{VK_UP, {}}},
         .Expected = {1, 2},
         .ExpectedTopRow = 2},
        {.Name = "left stops at the fixed columns",
         .Keys = {{VK_LEFT, {}}},
         .Expected = {1, 2},
         .ExpectedTopRow = 2},
        {.Name = "down scrolls",
         .Keys = {{VK_DOWN, {}}, {VK_DOWN, {}}, {VK_DOWN, {}}},
         .Expected = {1, 5},
         .ExpectedTopRow = 3},
        {.Name = "ctrl end goes to the last cell",
         .Keys = {{VK_END, {ssCtrl}}},
         .Expected = {7, 9},
         .ExpectedTopRow = 7},
        {.Name = "end stays in the row",
         .Keys = {{VK_END, {}}},
         .Expected = {7, 2},
         .ExpectedTopRow = 2},
        {.Name = "page down moves a page",
         .Keys = {{VK_NEXT, {}}},
         .Expected = {1, 5},
         .ExpectedTopRow = 3},
        {.Name = "back up scrolls back",
         .Keys = {{VK_END, {ssCtrl}}, {VK_HOME, {ssCtrl}}},
         .Expected = {1, 2},
         .ExpectedTopRow = 2},
        {.Name = "tab without goTabs stays",
         .Keys = {{VK_TAB, {}}},
         .Expected = {1, 2},
         .ExpectedTopRow = 2},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TStringGrid Grid(nullptr);
        Grid.SetColCount(8);
        Grid.SetRowCount(10);
        Grid.SetFixedRows(2);
        Grid.SetDefaultRowHeight(9);
        Grid.SetBounds(0, 0, 200, 50);
        for (const auto& [Key, Shift] : Case.Keys) {
            int HandledKey = Key;
            Grid.KeyDown(HandledKey, Shift);
        }
        EXPECT_EQ((TGridCoord{Grid.Col(), Grid.Row()}), Case.Expected);
        EXPECT_EQ(Grid.TopRow(), Case.ExpectedTopRow);
    }
}

TEST(Grid, TabsWalkTheCellsWithGoTabsAndKeepTheFocus) {
    TForm Form(nullptr);
    auto* Grid = new TStringGrid(&Form);
    auto* Next = new TStringGrid(&Form);
    Grid->SetParent(&Form);
    Next->SetParent(&Form);
    Grid->SetOptions(Grid->Options() + TGridOptions{goTabs});
    Grid->SetCol(4);
    Grid->SetFocus();

    UserKeyDown(*Grid, VK_TAB);
    EXPECT_EQ((TGridCoord{Grid->Col(), Grid->Row()}), (TGridCoord{1, 2}));
    EXPECT_TRUE(Grid->Focused());
    UserKeyDown(*Grid, VK_TAB, {ssShift});
    EXPECT_EQ((TGridCoord{Grid->Col(), Grid->Row()}), (TGridCoord{4, 1}));

    Grid->SetOptions({});
    UserKeyDown(*Grid, VK_TAB);
    EXPECT_TRUE(Next->Focused());
}

TEST(Grid, OnKeyDownCanStopTheMove) {
    TStringGrid Grid(nullptr);
    Grid.OnKeyDown = [](TObject*, int& Key, TShiftState) {
        if (Key == VK_DOWN)
            Key = 0;
    };
    int Key = VK_DOWN;
    Grid.KeyDown(Key, {});
    EXPECT_EQ(Grid.Row(), 1);
}

TEST(Grid, ClickingACellMakesItCurrentBeforeOnMouseDown) {
    TStringGrid Grid(nullptr);
    Grid.SetBounds(0, 0, 400, 200);
    TGridCoord Seen{};
    Grid.OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
        Seen = {Grid.Col(), Grid.Row()};
    };

    UserMouseDown(Grid, mbLeft, {}, 3 * 65 + 5, 2 * 25 + 5);
    EXPECT_EQ(Seen, (TGridCoord{3, 2}));
    UserMouseDown(Grid, mbLeft, {}, 5, 5); // a fixed cell is never current
    EXPECT_EQ((TGridCoord{Grid.Col(), Grid.Row()}), (TGridCoord{3, 2}));
}

TEST(Grid, RowsAndColsAreLiveViewsOfTheCells) {
    TStringGrid Grid(nullptr);
    Fill(Grid);
    TStrings* Row = Grid.Rows(2);

    Row->SetString(3, "x");
    Grid.Cols(4)->SetString(2, "y");
    Grid.SetCells(1, 2, "z");

    EXPECT_EQ(Grid.Cells(3, 2), "x");
    EXPECT_EQ(Row->Text(), "r2\nz\n\nx\ny\n");
    EXPECT_THROW(Row->Add("more"), EInvalidGridOperation);
    EXPECT_THROW(Row->Delete(0), EInvalidGridOperation);

    TStringList Three;
    Three.SetText("a\nb\nc\n");
    Row->Assign(&Three);
    EXPECT_EQ(Row->Text(), "a\nb\nc\n\n\n");
    Three.SetText("1\n2\n3\n4\n5\n6\n");
    EXPECT_THROW(Row->Assign(&Three), EInvalidGridOperation);
    EXPECT_EQ(Grid.Cells(0, 2), "a");

    Grid.SetRowCount(2);
    EXPECT_EQ(Row->Count(), 0);
    EXPECT_THROW(Row->SetString(0, "gone"), EListError);
}

TEST(Grid, PeersHearAboutCellsLayoutAndEditor) {
    std::vector<std::string> Log;
    TStringGrid Grid(nullptr);
    Grid.SetPeer(std::make_unique<vorn::testing::TRecordingPeer>(Log));
    Grid.SetOptions(Grid.Options() + TGridOptions{goEditing});
    Log.clear();

    Grid.SetCells(2, 3, "a");
    Grid.SetCells(2, 3, "a");
    Grid.ShowEditor();
    EXPECT_TRUE(Grid.EditorMode());
    Grid.HideEditor();
    EXPECT_FALSE(Grid.EditorMode());
    Grid.SetRowCount(3);

    EXPECT_EQ(Log, (std::vector<std::string>{"cell 2,3", "layout"}));
}

} // namespace

namespace {

TEST(Grid, DrawStateMarksFixedSelectedAndFocusedCells) {
    TStringGrid Grid(nullptr);
    Grid.SetCol(2);
    Grid.SetRow(3);
    struct TCase {
        int ACol;
        int ARow;
        bool Focused;
        bool RowSelect;
        TGridDrawState Expected;
    };
    const std::vector<TCase> Cases = {
        {.ACol = 0, .ARow = 3, .Focused = false, .RowSelect = false, .Expected = {gdFixed}},
        {.ACol = 2, .ARow = 0, .Focused = true, .RowSelect = false, .Expected = {gdFixed}},
        {.ACol = 2, .ARow = 3, .Focused = false, .RowSelect = false, .Expected = {gdSelected}},
        {.ACol = 2,
         .ARow = 3,
         .Focused = true,
         .RowSelect = false,
         .Expected = {gdSelected, gdFocused}},
        {.ACol = 3, .ARow = 3, .Focused = true, .RowSelect = false, .Expected = {}},
        {.ACol = 3, .ARow = 3, .Focused = true, .RowSelect = true, .Expected = {gdSelected}},
        {.ACol = 2, .ARow = 4, .Focused = true, .RowSelect = true, .Expected = {}},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(std::to_string(Case.ACol) + "," + std::to_string(Case.ARow));
        Grid.SetOptions(Case.RowSelect ? TGridOptions{goRowSelect} : TGridOptions{});
        if (Case.Focused)
            Grid.SetFocus();
        else
            Grid.RemoveFocus();
        EXPECT_EQ(Grid.DrawState(Case.ACol, Case.ARow), Case.Expected);
    }
}

} // namespace
