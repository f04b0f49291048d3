// The filter grid, driven through its widgets: hovering lays the combo box or the row
// button over a cell, and the lists and the button do the rest.

#include "Source/DBFilterGrid.h"
#include "host/components/Button.h"
#include "host/components/Edit.h"
#include "host/data/DBGrid.h"
#include "host/qt/QtConvert.h"
#include "tests/qt/DemoScenarioTest.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolButton>

#include <algorithm>

namespace vorn::qtscenario {

namespace {

class FilterGridScenarioTest : public DemoScenarioTest {
protected:
    TDBFilterGrid& Grid() const { return Find<TDBFilterGrid>("FilterGrid"); }
    int FilterCol(TFilterColumnIndex Column) const { return Grid().FixedCols() + Column; }
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

} // namespace

} // namespace vorn::qtscenario
