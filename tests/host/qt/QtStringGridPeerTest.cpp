#include "host/components/controls/Grid.h"
#include "tests/host/qt/QtPeerTestFixture.h"
#include "tests/support/CodePageGuard.h"

#include <QApplication>
#include <QBrush>
#include <QTableView>
#include <QWheelEvent>

#include <vector>

namespace vorn::qttest {

namespace {

// A 6 x 10 string grid with one fixed row and column, on a shown form.
class StringGridPeerTest : public QtPeerTest {
protected:
    StringGridPeerTest() {
        Grid = Add<TStringGrid>(0, 0, 300, 150);
        Grid->SetColCount(6);
        Grid->SetRowCount(10);
        Grid->SetColWidths(2, 90);
        Grid->OnMouseMove = [this](TObject*, TShiftState Shift, int X, int Y) {
            Moves.push_back(Grid->MouseCoord(X, Y));
            MoveShifts.push_back(Shift);
        };
        Realize();
    }

    QTableView& View() const { return WidgetOf<QTableView>(*Grid); }
    QPoint CentreOf(int ACol, int ARow) const {
        return View().visualRect(View().model()->index(ARow, ACol)).center();
    }

    TStringGrid* Grid = nullptr;
    std::vector<TGridCoord> Moves;
    std::vector<TShiftState> MoveShifts;
};

// With goColSizing a drag of a column's edge in the fixed row sizes the column; the same
// drag between data cells, or without the option, sizes nothing.
TEST_F(StringGridPeerTest, DraggingATitleEdgeSizesTheColumn) {
    const auto EdgeOf = [&](int ACol, int ARow) {
        const QRect Cell = View().visualRect(View().model()->index(ARow, ACol));
        return QPoint(Cell.right() + 1, Cell.center().y());
    };
    const int Width = Grid->ColWidths(1);
    SendDrag(*View().viewport(), EdgeOf(1, 0), EdgeOf(1, 0) + QPoint(25, 0));
    EXPECT_EQ(Grid->ColWidths(1), Width);

    Grid->SetOptions(Grid->Options() + TGridOptions{goColSizing});
    SendDrag(*View().viewport(), EdgeOf(1, 2), EdgeOf(1, 2) + QPoint(25, 0));
    EXPECT_EQ(Grid->ColWidths(1), Width);
    SendDrag(*View().viewport(), EdgeOf(1, 0), EdgeOf(1, 0) + QPoint(25, 0));
    EXPECT_EQ(Grid->ColWidths(1), Width + 25);
    EXPECT_EQ(View().columnWidth(1), Width + 25 + Grid->GridLineWidth());
}

TEST_F(StringGridPeerTest, MouseMovesReachTheModelInItsOwnCoordinates) {
    struct TCase {
        int TopRow;
        int ACol;
        int ARow;
    };
    // Fixed cells, a wide column, and rows after the grid scrolled (the fixed row stays).
    const std::vector<TCase> Cases = {
        {.TopRow = 1, .ACol = 0, .ARow = 0}, {.TopRow = 1, .ACol = 1, .ARow = 1},
        {.TopRow = 1, .ACol = 2, .ARow = 3}, {.TopRow = 1, .ACol = 3, .ARow = 2},
        {.TopRow = 4, .ACol = 2, .ARow = 5}, {.TopRow = 4, .ACol = 0, .ARow = 0},
        {.TopRow = 4, .ACol = 1, .ARow = 6},
    };
    for (const TCase& Case : Cases) {
        Grid->SetTopRow(Case.TopRow);
        Moves.clear();
        SendMouseMove(*View().viewport(), CentreOf(Case.ACol, Case.ARow), Qt::ShiftModifier);
        ASSERT_EQ(Moves.size(), 1u);
        EXPECT_EQ(Moves[0], (TGridCoord{Case.ACol, Case.ARow}))
            << "cell " << Case.ACol << "," << Case.ARow << " top row " << Case.TopRow;
        EXPECT_EQ(MoveShifts[0], TShiftState{ssShift});
    }
}

TEST_F(StringGridPeerTest, TheViewHidesWhatTheGridScrolledAway) {
    Grid->SetTopRow(4);
    Grid->SetLeftCol(2);

    EXPECT_FALSE(View().isRowHidden(0));
    EXPECT_TRUE(View().isRowHidden(1));
    EXPECT_TRUE(View().isRowHidden(3));
    EXPECT_FALSE(View().isRowHidden(4));
    EXPECT_FALSE(View().isColumnHidden(0));
    EXPECT_TRUE(View().isColumnHidden(1));
    EXPECT_FALSE(View().isColumnHidden(2));
}

TEST_F(StringGridPeerTest, LeavingTheGridCallsMouseLeave) {
    int Leaves = 0;
    Grid->OnMouseLeave = [&](TObject*) { ++Leaves; };

    SendLeave(View());

    EXPECT_EQ(Leaves, 1);
}

TEST_F(StringGridPeerTest, CellsLayoutAndTheCurrentCellMirrorIntoTheView) {
    // The texts of this test are written in Windows-1250.
    const vorn::test::TCodePageGuard CodePage(cpWindows1250);
    Grid->SetCells(2, 3, "Ni\x9A");
    Grid->SetCells(0, 0, "#");
    Grid->SetColWidths(4, 40);

    const QAbstractItemModel& Model = *View().model();
    EXPECT_EQ(Model.data(Model.index(3, 2)).toString(), QString::fromUtf16(u"Ni\u0161"));
    EXPECT_EQ(Model.data(Model.index(0, 0)).toString(), "#");
    EXPECT_EQ(View().columnWidth(4), 40 + Grid->GridLineWidth());
    // Fixed cells look like buttons of the application's palette, the others take the
    // grid's colour (0x00BBGGRR).
    const auto Background = [&](int ARow, int ACol) {
        return Model.data(Model.index(ARow, ACol), Qt::BackgroundRole).value<QBrush>().color();
    };
    EXPECT_EQ(Background(0, 2), QApplication::palette().color(QPalette::Button));
    Grid->SetColor(clAqua);
    EXPECT_EQ(Background(4, 3), QColor(0, 0xFF, 0xFF));

    Grid->SetRowCount(12);
    EXPECT_EQ(Model.rowCount(), 12);

    SendKey(View(), Qt::Key_Down, QString());
    SendKey(View(), Qt::Key_Right, QString());
    EXPECT_EQ(Grid->Row(), 2);
    EXPECT_EQ(Grid->Col(), 2);
    EXPECT_EQ(View().currentIndex(), Model.index(2, 2));
}

TEST_F(StringGridPeerTest, AClickMakesTheCellCurrentAndTheWheelScrollsTheGrid) {
    SendClick(*View().viewport(), CentreOf(3, 4));
    EXPECT_EQ(Grid->Col(), 3);
    EXPECT_EQ(Grid->Row(), 4);

    QWheelEvent Wheel(QPointF(10, 40), View().viewport()->mapToGlobal(QPointF(10, 40)), QPoint(),
                      QPoint(0, -240), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(View().viewport(), &Wheel);
    EXPECT_EQ(Grid->TopRow(), 3);
}

} // namespace

} // namespace vorn::qttest
