// What assistive tools read from the demo window's data controls.

#include "Source/DBFieldComboBox.h"
#include "Source/DBFilterGrid.h"
#include "Source/DBLocateEdit.h"
#include "Source/DBSortComboBox.h"
#include "host/data/grid/DBGrid.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtPeer.h"
#include "tests/qt/DemoScenarioTest.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLineEdit>
#include <QTableView>

#include <memory>
#include <string>

namespace vorn::qtscenario {

namespace {

class AccessibilityScenarioTest : public DemoScenarioTest {
protected:
    TDBGrid& Grid() const { return Find<TDBGrid>("CustomerGrid"); }

    // The interface of the part of Control's widget that takes the keyboard focus, where a
    // tool meets the control first.
    static QAccessibleInterface& AccessibleOf(const TControl& Control) {
        QWidget* Widget = TQtWidgetSet::WidgetOf(Control);
        if (Widget != nullptr && Widget->focusProxy() != nullptr)
            Widget = Widget->focusProxy();
        QAccessibleInterface* Interface = QAccessible::queryAccessibleInterface(Widget);
        if (Interface == nullptr)
            throw Exception("The control " + Control.Name() + " has no accessible interface");
        return *Interface;
    }
    static std::string Text(QAccessibleInterface* Interface, QAccessible::Text Which) {
        return Interface != nullptr ? FromQString(Interface->text(Which)) : "(none)";
    }
    // The title (column header) of FieldName's column in the customers grid, freed after use.
    using TLooseInterface = std::unique_ptr<QAccessibleInterface, void (*)(QAccessibleInterface*)>;
    TLooseInterface TitleOf(const std::string& FieldName) const {
        RenewAccessibleCells(ViewOf(Grid()));
        QAccessibleInterface* Cell =
            AccessibleOf(Grid()).tableInterface()->cellAt(0, SectionOf(Grid(), FieldName));
        QList<QAccessibleInterface*> Titles = Cell != nullptr
                                                  ? Cell->tableCellInterface()->columnHeaderCells()
                                                  : QList<QAccessibleInterface*>();
        TLooseInterface First(Titles.isEmpty() ? nullptr : Titles.takeFirst(),
                              &TQtPeer::FreeLooseAccessible);
        for (QAccessibleInterface* Other : Titles)
            TQtPeer::FreeLooseAccessible(Other);
        return First;
    }
    // The cell (ACol, ARow) of the filter grid.
    QAccessibleInterface* FilterCell(int ACol, int ARow) const {
        RenewAccessibleCells(ViewOf(Find<TDBFilterGrid>("FilterGrid")));
        return AccessibleOf(Find<TDBFilterGrid>("FilterGrid")).tableInterface()->cellAt(ARow, ACol);
    }
};

struct TNamedControl {
    const char* Component;
    const char* Name;
    QAccessible::Role Role;
};

// Each data control says what it is, whatever label the form puts beside it.
TEST_F(AccessibilityScenarioTest, EveryDataControlHasANameAndItsRole) {
    const TNamedControl Controls[] = {
        {"CustomerGrid", "Data grid", QAccessible::Table},
        {"OrdersGrid", "Data grid", QAccessible::Table},
        {"FilterGrid", "Filter", QAccessible::Table},
        {"SortCombo", "Sort order", QAccessible::ComboBox},
        {"LocateEdit", "Locate", QAccessible::EditableText},
        {"LocateFieldCombo", "Field", QAccessible::ComboBox},
    };
    for (const TNamedControl& Expected : Controls) {
        SCOPED_TRACE(Expected.Component);
        const auto& Control = Find<TControl>(Expected.Component);
        QAccessibleInterface& Interface = AccessibleOf(Control);
        EXPECT_EQ(Text(&Interface, QAccessible::Name), Expected.Name);
        EXPECT_EQ(Interface.role(), Expected.Role);
        // The widget around the focus part carries the name too.
        EXPECT_EQ(FromQString(TQtWidgetSet::WidgetOf(Control)->accessibleName()), Expected.Name);
    }
}

// A combo box keeps what assistive tools use to read its list and to open it.
TEST_F(AccessibilityScenarioTest, AComboBoxOffersItsListAndOpensIt) {
    const auto& Control = Find<TDBSortComboBox>("SortCombo");
    auto& Combo = WidgetOf<QComboBox>(Control);
    QAccessibleInterface& Interface = AccessibleOf(Control);
    ASSERT_EQ(Interface.childCount(), 1);
    EXPECT_EQ(Interface.child(0)->object(), Combo.view());
    EXPECT_EQ(Interface.indexOfChild(Interface.child(0)), 0);
    QAccessibleActionInterface* Actions = Interface.actionInterface();
    ASSERT_NE(Actions, nullptr);
    EXPECT_TRUE(Actions->actionNames().contains(QAccessibleActionInterface::showMenuAction()));
    Actions->doAction(QAccessibleActionInterface::showMenuAction());
    EXPECT_TRUE(Combo.view()->isVisible());
    Combo.hidePopup();
}

// A Hint names the control instead, shows as its tooltip, and gives the name back when
// cleared.
TEST_F(AccessibilityScenarioTest, AHintNamesTheControl) {
    auto& LocateEdit = Find<TDBLocateEdit>("LocateEdit");
    LocateEdit.SetHint("Customer name");
    EXPECT_EQ(Text(&AccessibleOf(LocateEdit), QAccessible::Name), "Customer name");
    EXPECT_EQ(FromQString(WidgetOf<QLineEdit>(LocateEdit).toolTip()), "Customer name");
    LocateEdit.SetHint("");
    EXPECT_EQ(Text(&AccessibleOf(LocateEdit), QAccessible::Name), "Locate");
    EXPECT_TRUE(WidgetOf<QLineEdit>(LocateEdit).toolTip().isEmpty());
}

// A sorted title says how it sorts, and its place in an order of several columns.
TEST_F(AccessibilityScenarioTest, SortedTitlesDescribeTheirOrder) {
    const auto Mark = [&](const std::string& FieldName, TTitleSortMark Value) {
        Grid().Columns()->FindColumn(FieldName)->Title()->SetSortMark(Value);
    };
    struct TStep {
        const char* Name;
        TTitleSortMark City;
        TTitleSortMark Company;
        const char* CityDescription;
        const char* CompanyDescription;
    };
    const TStep Steps[] = {
        {"one column", {tsdAscending, 1, 1}, {}, "City, sorted ascending", ""},
        {"one column descending", {tsdDescending, 1, 1}, {}, "City, sorted descending", ""},
        {"two columns",
         {tsdAscending, 1, 2},
         {tsdDescending, 2, 2},
         "City, sorted ascending, 1 of 2",
         "Company, sorted descending, 2 of 2"},
        {"none", {}, {}, "", ""},
    };
    for (const TStep& Step : Steps) {
        SCOPED_TRACE(Step.Name);
        Mark("City", Step.City);
        Mark("Company", Step.Company);
        EXPECT_EQ(Text(TitleOf("City").get(), QAccessible::Name), "City");
        EXPECT_EQ(Text(TitleOf("City").get(), QAccessible::Description), Step.CityDescription);
        EXPECT_EQ(Text(TitleOf("Company").get(), QAccessible::Description),
                  Step.CompanyDescription);
        EXPECT_EQ(Text(TitleOf("Name").get(), QAccessible::Description), "");
    }
}

// A filter cell reads as its column, its row and its value.
TEST_F(AccessibilityScenarioTest, FilterCellsSayTheirColumnAndRow) {
    auto& FilterGrid = Find<TDBFilterGrid>("FilterGrid");
    const int FieldCol = FilterGrid.FilterColumn(fciLeftArg);
    EXPECT_EQ(Text(FilterCell(FieldCol, 1), QAccessible::Name), "Field, row 1");
    ASSERT_NO_FATAL_FAILURE(PickFromCell(FilterGrid, FieldCol, 1, "City"));
    ASSERT_NO_FATAL_FAILURE(
        PickFromCell(FilterGrid, FilterGrid.FilterColumn(fciBoolOperator), 1, "OR"));
    EXPECT_EQ(Text(FilterCell(FieldCol, 1), QAccessible::Name), "Field, row 1: City");
    EXPECT_EQ(Text(FilterCell(FilterGrid.FilterColumn(fciOperator), 2), QAccessible::Name),
              "Operator, row 2");
    // The titles read as themselves.
    EXPECT_EQ(Text(FilterCell(FieldCol, 0), QAccessible::Name), "Field");
}

} // namespace

} // namespace vorn::qtscenario
