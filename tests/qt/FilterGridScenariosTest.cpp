// The filter grid, driven through its widgets: hovering lays the combo box or the row
// button over a cell, and the lists and the button do the rest.

#include "Source/DBFilterGrid.h"
#include "host/components/controls/Button.h"
#include "host/components/controls/Edit.h"
#include "host/components/text/CaseMapping.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"
#include "host/qt/QtConvert.h"
#include "tests/qt/DemoScenarioTest.h"

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <algorithm>

namespace vorn::qtscenario {

namespace {

class FilterGridScenarioTest : public DemoScenarioTest {
protected:
    TDBFilterGrid& Grid() const { return Find<TDBFilterGrid>("FilterGrid"); }
    int FilterCol(TFilterColumnIndex Column) const { return Grid().FilterColumn(Column); }
    int GroupCol(TFilterGroupColumnIndex Column) const { return Grid().GroupColumn(Column); }
    // Types Text into the current cell from the keyboard alone: Enter opens the combo box
    // there, Enter again confirms.
    void TypeIntoCurrentCell(const std::string& Text) {
        QTableView& View = ViewOf(Grid());
        View.setFocus();
        QTest::keyClick(&View, Qt::Key_Return);
        auto& Combo = WidgetOf<QComboBox>(*Grid().InCellEditor());
        ASSERT_TRUE(Combo.isVisible() && Combo.hasFocus()) << "Enter opens no combo box";
        Combo.lineEdit()->selectAll();
        QTest::keyClicks(Combo.lineEdit(), ToQString(Text));
        QTest::keyClick(Combo.lineEdit(), Qt::Key_Return);
    }
    std::string Cell(TFilterColumnIndex Column, int Row) const {
        return Grid().Cells(FilterCol(Column), Row);
    }
};

TEST_F(FilterGridScenarioTest, PickingFromTheCellListsBuildsFilterRows) {
    const std::vector<std::string> Cities =
        Select("SELECT DISTINCT City FROM customer ORDER BY City");
    const std::vector<std::string> Limits = Select(
        "SELECT DISTINCT CreditLimit FROM customer WHERE CreditLimit IS NOT NULL ORDER BY 1");
    ASSERT_GE(Cities.size(), 3U);
    ASSERT_FALSE(Limits.empty());
    // The Serbian city, shown as stored, and matched in upper case ("\u010CA\u010CAK").
    const std::string City = "\u010Ca\u010Dak";
    const std::string UpperCity = "\u010CA\u010CAK";
    ASSERT_NE(std::find(Cities.begin(), Cities.end(), City), Cities.end());
    const std::string Limit = Limits.back();

    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciLeftArg), 1, "City"));
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciOperator), 1, "="));
    // The value list holds the field's distinct values, a missing city as an empty item.
    HoverCell(Grid(), FilterCol(fciRightArg), 1);
    auto& Combo = WidgetOf<QComboBox>(*Grid().InCellEditor());
    OpenList(Combo);
    std::vector<std::string> Offered = ListItems(Combo);
    std::replace(Offered.begin(), Offered.end(), std::string(), std::string("NULL"));
    EXPECT_EQ(Offered, Cities);
    QTest::keyClick(Combo.view(), Qt::Key_Escape);
    EXPECT_FALSE(Combo.view()->isVisible());
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciRightArg), 1, City));
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciBoolOperator), 1, "OR"));

    // The connector opened the next row.
    ASSERT_EQ(Grid().RowCount(), 3);
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciLeftArg), 2, "CreditLimit"));
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciOperator), 2, ">="));
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciRightArg), 2, Limit));

    EXPECT_EQ(Cell(fciLeftArg, 1), "City");
    EXPECT_EQ(Cell(fciOperator, 1), "=");
    EXPECT_EQ(Cell(fciRightArg, 1), City);
    EXPECT_EQ(Cell(fciBoolOperator, 1), "OR");
    const std::string Expected = "UPPER(City) = '" + UpperCity + "' OR CreditLimit >= " + Limit;
    EXPECT_EQ(Grid().GetFilterExpression(), Expected);

    // The demo's button applies it as the WHERE clause of its query and shows it.
    QTest::mouseClick(&WidgetOf<QToolButton>(Find<TSpeedButton>("ApplySQLButton")), Qt::LeftButton);
    EXPECT_EQ(FromQString(WidgetOf<QLineEdit>(Find<TEdit>("ExpressionEdit")).text()), Expected);
    const auto& QueryGrid = Find<TDBGrid>("QueryGrid");
    const std::vector<std::string> ShownCities = ShownColumn(QueryGrid, "City");
    const std::vector<std::string> ShownLimits = ShownColumn(QueryGrid, "CreditLimit");
    ASSERT_FALSE(ShownCities.empty());
    for (std::size_t Row = 0; Row < ShownCities.size(); ++Row)
        EXPECT_TRUE(ShownCities[Row] == City || ShownLimits[Row] == Limit)
            << ShownCities[Row] << ", " << ShownLimits[Row];
}

TEST_F(FilterGridScenarioTest, TheRowButtonDeletesTheRowItStandsOn) {
    TDBFilterGrid& FilterGrid = Grid();
    FilterGrid.SetRowCount(4);
    const std::vector<std::string> Fields{"Company", "Name", "City"};
    for (int Row = 1; Row <= 3; ++Row)
        FilterGrid.SetCells(FilterCol(fciLeftArg), Row, Fields[static_cast<std::size_t>(Row - 1)]);

    HoverCell(FilterGrid, 0, 2);
    auto& Button = WidgetOf<QToolButton>(*FilterGrid.RowButton());
    ASSERT_TRUE(Button.isVisible());
    QTableView& View = ViewOf(FilterGrid);
    const QRect ShownCell = View.visualRect(View.model()->index(2, 0));
    const QRect CellInView(View.viewport()->mapTo(&View, ShownCell.topLeft()), ShownCell.size());
    EXPECT_TRUE(CellInView.contains(Button.geometry().center()))
        << "the button stands over the row it deletes";
    EXPECT_EQ(QApplication::widgetAt(Button.mapToGlobal(Button.rect().center())), &Button)
        << "the button lies under another widget";
    QTest::mouseMove(&Button);
    QTest::mouseClick(&Button, Qt::LeftButton);

    EXPECT_EQ(FilterGrid.RowCount(), 3);
    EXPECT_EQ(Cell(fciLeftArg, 1), "Company");
    EXPECT_EQ(Cell(fciLeftArg, 2), "City");
    EXPECT_FALSE(Button.isVisible());
}

// The pointer crosses the field cell of the first row pixel by pixel, over the combo
// box's text and on to its arrow: the combo box stays, over the whole cell.
TEST_F(FilterGridScenarioTest, TheComboBoxCoversItsCellWhileThePointerSweepsAcrossIt) {
    const int ACol = FilterCol(fciLeftArg);
    HoverCell(Grid(), ACol, 1);
    auto& Combo = WidgetOf<QComboBox>(*Grid().InCellEditor());
    QTableView& View = ViewOf(Grid());
    const QRect Cell = View.visualRect(View.model()->index(1, ACol));
    const QRect CellOnScreen(View.viewport()->mapToGlobal(Cell.topLeft()), Cell.size());
    QWidget& Window = *View.window();
    for (const int Y : {Cell.top(), Cell.center().y(), Cell.bottom()}) {
        for (int X = Cell.left(); X <= Cell.right(); ++X) {
            const QPoint Global = View.viewport()->mapToGlobal(QPoint(X, Y));
            QTest::mouseMove(&Window, Window.mapFromGlobal(Global));
            ASSERT_TRUE(Combo.isVisible()) << "at " << X << ", " << Y;
            const QRect ComboOnScreen(Combo.mapToGlobal(QPoint(0, 0)), Combo.size());
            ASSERT_TRUE(ComboOnScreen.contains(CellOnScreen)) << "at " << X << ", " << Y;
            ASSERT_EQ(Grid().CurrentComboCell(), (TGridCoord{ACol, 1}));
        }
    }
}

// A pick from a list and typing with Enter both move the current cell one column on; in
// the connector column both open the next row. F4 in the grid opens the list of the
// current cell, Ctrl+Delete deletes the current row.
TEST_F(FilterGridScenarioTest, APickMovesOnAsTypingAndEnterDoAndTheKeyboardReachesEverything) {
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciLeftArg), 1, "City"));
    EXPECT_EQ(Grid().Col(), FilterCol(fciOperator));
    EXPECT_EQ(Grid().Row(), 1);

    HoverCell(Grid(), FilterCol(fciOperator), 1);
    auto& Combo = WidgetOf<QComboBox>(*Grid().InCellEditor());
    QTest::mouseClick(Combo.lineEdit(), Qt::LeftButton);
    Combo.lineEdit()->selectAll();
    QTest::keyClicks(Combo.lineEdit(), "=");
    QTest::keyClick(Combo.lineEdit(), Qt::Key_Return);
    EXPECT_EQ(Cell(fciOperator, 1), "=");
    EXPECT_EQ(Grid().Col(), FilterCol(fciRightArg));

    // From the keyboard alone: F4 opens the value cell's list, Down and Enter pick.
    QTableView& View = ViewOf(Grid());
    View.setFocus();
    QTest::keyClick(&View, Qt::Key_F4);
    ASSERT_TRUE(Combo.isVisible());
    ASSERT_TRUE(Combo.view()->isVisible()) << "F4 opens the list of the current cell";
    EXPECT_EQ(Grid().CurrentComboCell(), (TGridCoord{FilterCol(fciRightArg), 1}));
    // The first city that is not missing (an empty item, which would not move on).
    do
        QTest::keyClick(Combo.view(), Qt::Key_Down);
    while (Combo.view()->currentIndex().data().toString().isEmpty());
    const std::string Picked = FromQString(Combo.view()->currentIndex().data().toString());
    QTest::keyClick(Combo.view(), Qt::Key_Return);
    EXPECT_FALSE(Combo.view()->isVisible());
    EXPECT_EQ(Cell(fciRightArg, 1), Picked);
    EXPECT_EQ(Grid().Col(), FilterCol(fciRightArg) + 1);

    // After Enter the grid ignores one mouse move: the pointer catching up with the keys.
    HoverCell(Grid(), FilterCol(fciLeftArg), 1);
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciBoolOperator), 1, "AND"));
    EXPECT_EQ(Grid().RowCount(), 3);
    EXPECT_EQ(Grid().Row(), 2);
    EXPECT_EQ(Grid().Col(), FilterCol(fciLeftArg));

    View.setFocus();
    QTest::keyClick(&View, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Grid().RowCount(), 2);
    EXPECT_EQ(Cell(fciLeftArg, 1), "City");
}

// "(City = A OR City = B) AND NOT Balance < 0", built with the mouse in the first row, the
// keyboard alone in the second and both in the third; the demo applies it as a WHERE clause.
TEST_F(FilterGridScenarioTest, GroupsAndNegationAreBuiltWithTheMouseAndTheKeyboard) {
    ASSERT_EQ(Grid().ColCount(), Grid().FixedCols() + 7) << "the demo shows the group columns";
    // The window fits the test screen, so that the pointer reaches every row of the filter.
    QWidget& FormWidget = *TQtWidgetSet::WidgetOf(Window->Form());
    FormWidget.resize(QSize(1280, 760));
    QApplication::processEvents();
    std::vector<std::string> Cities =
        Select("SELECT DISTINCT City FROM customer WHERE City GLOB '[A-Z]*' AND City NOT GLOB "
               "'*[^A-Za-z ]*' ORDER BY City");
    ASSERT_GE(Cities.size(), 2U);
    const std::string CityA = Cities[0];
    const std::string CityB = Cities[1];

    // Row 1, by mouse: ( City = A ... OR
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), GroupCol(fgciOpen), 1, "("));
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciLeftArg), 1, "City"));
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciOperator), 1, "="));
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciRightArg), 1, CityA));
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciBoolOperator), 1, "OR"));
    ASSERT_EQ(Grid().RowCount(), 3);
    EXPECT_EQ(Grid().Row(), 2);
    EXPECT_EQ(Grid().Col(), FilterCol(fciLeftArg));

    // Row 2, by keyboard: Enter moves on one column after each typed cell.
    for (const std::string Text : {"City", "=", CityB.c_str(), ")", "AND"})
        ASSERT_NO_FATAL_FAILURE(TypeIntoCurrentCell(Text)) << Text;
    ASSERT_EQ(Grid().RowCount(), 4) << "the typed connector opens the next row";
    EXPECT_EQ(Grid().Row(), 3);

    // Row 3: the arrow keys reach the negation column, the mouse picks the condition and
    // the keyboard types the value.
    QTableView& View = ViewOf(Grid());
    View.setFocus();
    while (Grid().Col() > GroupCol(fgciNot))
        QTest::keyClick(&View, Qt::Key_Left);
    ASSERT_NO_FATAL_FAILURE(TypeIntoCurrentCell("NOT"));
    // After Enter the grid ignores one mouse move: the pointer catching up with the keys.
    HoverCell(Grid(), FilterCol(fciLeftArg), 3);
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciLeftArg), 3, "Balance"));
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciOperator), 3, "<"));
    EXPECT_EQ(Grid().Col(), FilterCol(fciRightArg));
    ASSERT_NO_FATAL_FAILURE(TypeIntoCurrentCell("0"));

    const std::vector<std::vector<std::string>> Rows{{"", "(", "City", "=", CityA, "", "OR"},
                                                     {"", "", "City", "=", CityB, ")", "AND"},
                                                     {"NOT", "", "Balance", "<", "0", "", ""}};
    for (int Row = 1; Row <= 3; ++Row)
        for (int Column = 0; Column < 7; ++Column)
            EXPECT_EQ(Grid().Cells(Grid().FixedCols() + Column, Row),
                      Rows[static_cast<std::size_t>(Row - 1)][static_cast<std::size_t>(Column)])
                << "row " << Row << ", column " << Column;
    SaveScreenshot("built");

    QTest::mouseClick(&WidgetOf<QToolButton>(Find<TSpeedButton>("ApplySQLButton")), Qt::LeftButton);
    const std::string Expected = "(UPPER(City) = '" + UpperCaseText(CityA) +
                                 "' OR UPPER(City) = '" + UpperCaseText(CityB) +
                                 "') AND NOT Balance < 0";
    EXPECT_EQ(FromQString(WidgetOf<QLineEdit>(Find<TEdit>("ExpressionEdit")).text()), Expected);
    const auto& QueryGrid = Find<TDBGrid>("QueryGrid");
    const std::vector<std::string> ShownCities = ShownColumn(QueryGrid, "City");
    const std::vector<std::string> ShownBalances = ShownColumn(QueryGrid, "Balance");
    ASSERT_FALSE(ShownCities.empty());
    for (std::size_t Row = 0; Row < ShownCities.size(); ++Row) {
        EXPECT_TRUE(ShownCities[Row] == CityA || ShownCities[Row] == CityB) << ShownCities[Row];
        EXPECT_FALSE(ShownBalances[Row].empty() || ShownBalances[Row][0] == '-')
            << ShownBalances[Row];
    }
    const std::vector<std::string> ExpectedRows =
        Select("SELECT CustNo FROM customer WHERE City IN ('" + CityA + "', '" + CityB +
               "') AND NOT Balance < 0");
    EXPECT_EQ(ShownCities.size(), ExpectedRows.size());
}

// Enough customers that the value list of a column takes SQLite many steps.
class SlowValueListScenarioTest : public FilterGridScenarioTest {
protected:
    static void SetUpTestSuite() { SetUpSampleDatabase(20000); }
};

// The value list runs long: the busy cursor appears, then the progress dialog, whose
// Cancel stops the statement. The error box says so; the table, its current record and
// the grid are as they were, and the next list opens.
TEST_F(SlowValueListScenarioTest, CancelStopsAValueListAndLeavesTheGridUsable) {
    TTable& Table = CustomerTable();
    Table.First();
    Table.MoveBy(3);
    const std::string Current = Table.FieldByName("CustNo")->AsString();
    TQtLongOperationMonitor& Monitor = WidgetSet.LongOperations();
    bool BusyCursor = false;
    bool DialogModal = false;
    Monitor.OnBusyCursorShown = [&] {
        BusyCursor = QGuiApplication::overrideCursor() != nullptr &&
                     QGuiApplication::overrideCursor()->shape() == Qt::BusyCursor;
    };
    Monitor.OnProgressShown = [&](QProgressDialog& Dialog) {
        DialogModal = Dialog.windowModality() == Qt::ApplicationModal;
        QTest::mouseClick(Dialog.findChild<QPushButton*>(), Qt::LeftButton);
    };
    Monitor.SetThresholds(
        {std::chrono::milliseconds(0), std::chrono::milliseconds(0), std::chrono::milliseconds(0)});

    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciLeftArg), 1, "City"));
    HoverCell(Grid(), FilterCol(fciRightArg), 1);
    auto& Combo = WidgetOf<QComboBox>(*Grid().InCellEditor());
    OpenList(Combo);

    EXPECT_TRUE(BusyCursor);
    EXPECT_TRUE(DialogModal);
    EXPECT_EQ(ShownErrors, std::vector<std::string>{"Operation cancelled by the user"});
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
    EXPECT_FALSE(Combo.view()->isVisible());
    EXPECT_EQ(Table.State(), dsBrowse);
    EXPECT_EQ(Table.FieldByName("CustNo")->AsString(), Current);

    Monitor.OnProgressShown = nullptr;
    Monitor.SetThresholds({});
    const std::vector<std::string> City =
        Select("SELECT City FROM customer WHERE City IS NOT NULL ORDER BY City LIMIT 1");
    ASSERT_EQ(City.size(), 1U);
    ASSERT_NO_FATAL_FAILURE(PickFromCell(Grid(), FilterCol(fciRightArg), 1, City.front()));
    EXPECT_EQ(ShownErrors.size(), 1U);
}

} // namespace

} // namespace vorn::qtscenario
