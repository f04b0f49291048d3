#pragma once

// The demo window on a small sample database, shown offscreen with the Qt widget set and
// driven through its real widgets with simulated input.

#include "apps/demo/DemoWindow.h"
#include "host/components/model/Exception.h"
#include "host/qt/QtWidgetSet.h"
#include "tests/support/SampleDatabaseFile.h"

#include <gtest/gtest.h>

#include <QPoint>
#include <Qt>

#include <memory>
#include <string>
#include <vector>

class QComboBox;
class QHeaderView;
class QTableView;

namespace vorn {

class TDBFilterGrid;
class TDBGrid;
class TTable;

namespace qtscenario {

class DemoScenarioTest : public ::testing::Test {
protected:
    static constexpr int Customers = 40;

    static void SetUpTestSuite() { SetUpSampleDatabase(Customers); }
    // A suite that needs more customers calls this from its own SetUpTestSuite.
    static void SetUpSampleDatabase(int CustomerCount);
    static void TearDownTestSuite();

    DemoScenarioTest();
    ~DemoScenarioTest() override;
    // Writes the window as it ends the scenario to <screenshot folder>/<test>.png.
    void TearDown() override;
    // Writes the window as it is now to <screenshot folder>/<test>-<Moment>.png (to
    // <test>.png for no Moment) and prints where.
    void SaveScreenshot(const std::string& Moment = {});

    // The demo form's component of that name and class.
    template <class TComponentClass>
    TComponentClass& Find(const std::string& Name) const {
        auto* Component = dynamic_cast<TComponentClass*>(Window->Form().FindComponent(Name));
        if (Component == nullptr)
            throw Exception("The demo form has no component " + Name + " of the expected class");
        return *Component;
    }
    // The widget that shows Control, of the expected Qt class.
    template <class TWidget>
    static TWidget& WidgetOf(const TControl& Control) {
        auto* Widget = dynamic_cast<TWidget*>(TQtWidgetSet::WidgetOf(Control));
        if (Widget == nullptr)
            throw Exception("The control has no widget of the expected kind");
        return *Widget;
    }

    // ---- Data grids
    static QTableView& ViewOf(const TDBGrid& Grid);
    static QHeaderView& TitlesOf(const TDBGrid& Grid);
    // The header section that shows the title of FieldName's column.
    static int SectionOf(const TDBGrid& Grid, const std::string& FieldName);
    // A left click on the middle of the title, as the window system delivers it.
    static void ClickTitle(const TDBGrid& Grid, const std::string& FieldName,
                           Qt::KeyboardModifiers Modifiers = Qt::NoModifier);
    // The texts of one column of the records the grid's view shows, top down.
    static std::vector<std::string> ShownColumn(const TDBGrid& Grid, const std::string& FieldName);

    // ---- Filter grid
    static QTableView& ViewOf(const TDBFilterGrid& Grid);
    // Moves the mouse pointer over the grid cell (ACol, ARow).
    static void HoverCell(const TDBFilterGrid& Grid, int ACol, int ARow);
    // Hovers the cell, clicks the combo box laid over it open and clicks the list's item
    // Item; fails the test when the list does not offer it.
    void PickFromCell(const TDBFilterGrid& Grid, int ACol, int ARow, const std::string& Item);
    // Clicks the arrow of Combo, as a user opens its list.
    static void OpenList(QComboBox& Combo);
    // The items of the open list of Combo.
    static std::vector<std::string> ListItems(const QComboBox& Combo);

    // ---- Assistive tools
    // Qt renews the accessible cells of a table whose model was reset only while a tool
    // listens, and offscreen none does: a test renews them as Qt then would.
    static void RenewAccessibleCells(QTableView& View);

    // ---- The database, read past the components
    static std::vector<std::string> Select(const std::string& Sql) { return Database->Column(Sql); }

    TTable& CustomerTable() const;

    // The texts of the error boxes shown so far, each closed as a user would; a box that
    // was not application-modal is marked "(not modal)".
    std::vector<std::string> ShownErrors;

    static std::unique_ptr<testsupport::TSampleDatabaseFile> Database;
    TQtWidgetSet WidgetSet;
    std::unique_ptr<TDemoWindow> Window;
};

} // namespace qtscenario
} // namespace vorn
