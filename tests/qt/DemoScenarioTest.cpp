#include "tests/qt/DemoScenarioTest.h"

#include "Source/DBFilterGrid.h"
#include "host/data/dataset/Database.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtGridPeers.h"

#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QDir>
#include <QHeaderView>
#include <QMessageBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTest>

#include <iostream>

namespace vorn::qtscenario {

namespace {

// The alias the demo's form file names.
constexpr const char* DemoAlias = "VornDemo";

} // namespace

std::unique_ptr<testsupport::TSampleDatabaseFile> DemoScenarioTest::Database;

void DemoScenarioTest::SetUpSampleDatabase(int CustomerCount) {
    Database = std::make_unique<testsupport::TSampleDatabaseFile>(CustomerCount);
    RegisterSQLiteDatabase(DemoAlias, Database->Path());
}

void DemoScenarioTest::TearDownTestSuite() {
    UnregisterDatabase(DemoAlias);
    Database.reset();
}

DemoScenarioTest::DemoScenarioTest() {
    WidgetSet.SetErrorBoxHook([this](QMessageBox& Box) {
        const bool Modal = Box.windowModality() == Qt::ApplicationModal;
        ShownErrors.push_back((Modal ? "" : "(not modal) ") + FromQString(Box.text()));
        Box.done(QMessageBox::Ok);
    });
    Window = std::make_unique<TDemoWindow>(VORN_DEMO_FORM_FILE);
    WidgetSet.CreatePeers(Window->Form());
    Window->Form().Show();
    QWidget* FormWidget = TQtWidgetSet::WidgetOf(Window->Form());
    if (FormWidget == nullptr || !QTest::qWaitForWindowExposed(FormWidget))
        throw Exception("The demo window could not be shown");
}

DemoScenarioTest::~DemoScenarioTest() {
    Window.reset();
    // Widgets whose controls went inside one of their events go once Qt is back in its loop.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void DemoScenarioTest::TearDown() {
    SaveScreenshot();
}

void DemoScenarioTest::SaveScreenshot(const std::string& Moment) {
    const QString Folder = QStringLiteral(VORN_SCREENSHOT_DIR);
    std::string Name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    if (!Moment.empty())
        Name += "-" + Moment;
    const QString Path = Folder + "/" + QString::fromStdString(Name) + ".png";
    QWidget* FormWidget = TQtWidgetSet::WidgetOf(Window->Form());
    ASSERT_TRUE(QDir().mkpath(Folder)) << Folder.toStdString();
    ASSERT_TRUE(FormWidget != nullptr && FormWidget->grab().save(Path, "PNG"))
        << Path.toStdString();
    RecordProperty(Moment.empty() ? "screenshot" : "screenshot-" + Moment, Path.toStdString());
    std::cout << "Screenshot of the demo window: " << Path.toStdString() << std::endl;
}

TTable& DemoScenarioTest::CustomerTable() const {
    return Find<TTable>("CustomerTable");
}

QTableView& DemoScenarioTest::ViewOf(const TDBGrid& Grid) {
    auto* Peer = dynamic_cast<TQtDBGridPeer*>(Grid.Peer());
    if (Peer == nullptr)
        throw Exception("The data grid " + Grid.Name() + " has no Qt peer");
    return Peer->TableView();
}

QHeaderView& DemoScenarioTest::TitlesOf(const TDBGrid& Grid) {
    return *ViewOf(Grid).horizontalHeader();
}

int DemoScenarioTest::SectionOf(const TDBGrid& Grid, const std::string& FieldName) {
    const TColumn* Column = Grid.Columns()->FindColumn(FieldName);
    if (Column == nullptr)
        throw Exception("The data grid " + Grid.Name() + " shows no column " + FieldName);
    return Grid.ColumnToGridCol(Column) - Grid.FixedCols();
}

void DemoScenarioTest::ClickTitle(const TDBGrid& Grid, const std::string& FieldName,
                                  Qt::KeyboardModifiers Modifiers) {
    QHeaderView& Titles = TitlesOf(Grid);
    const int Section = SectionOf(Grid, FieldName);
    const QPoint Middle(Titles.sectionViewportPosition(Section) + Titles.sectionSize(Section) / 2,
                        Titles.height() / 2);
    QTest::mouseClick(Titles.viewport(), Qt::LeftButton, Modifiers, Middle);
}

std::vector<std::string> DemoScenarioTest::ShownColumn(const TDBGrid& Grid,
                                                       const std::string& FieldName) {
    const QAbstractItemModel& Model = *ViewOf(Grid).model();
    const int Section = SectionOf(Grid, FieldName);
    std::vector<std::string> Texts;
    for (int Row = 0; Row < Model.rowCount(); ++Row)
        Texts.push_back(FromQString(Model.data(Model.index(Row, Section)).toString()));
    return Texts;
}

QTableView& DemoScenarioTest::ViewOf(const TDBFilterGrid& Grid) {
    auto* View = dynamic_cast<QTableView*>(TQtWidgetSet::WidgetOf(Grid));
    if (View == nullptr)
        throw Exception("The filter grid has no table view");
    return *View;
}

void DemoScenarioTest::HoverCell(const TDBFilterGrid& Grid, int ACol, int ARow) {
    QTableView& View = ViewOf(Grid);
    const QPoint Target = View.visualRect(View.model()->index(ARow, ACol)).center();
    // The pointer reports only real moves: one that already rests on the target first
    // steps aside, so that the grid hears the move onto it.
    if (View.viewport()->mapFromGlobal(QCursor::pos()) == Target)
        QTest::mouseMove(View.viewport(), Target + QPoint(1, 1));
    QTest::mouseMove(View.viewport(), Target);
}

void DemoScenarioTest::PickFromCell(const TDBFilterGrid& Grid, int ACol, int ARow,
                                    const std::string& Item) {
    HoverCell(Grid, ACol, ARow);
    ASSERT_NE(Grid.InCellEditor(), nullptr);
    auto& Combo = WidgetOf<QComboBox>(*Grid.InCellEditor());
    ASSERT_TRUE(Combo.isVisible()) << "no combo box over cell " << ACol << ", " << ARow;
    const QWidget* OnTop = QApplication::widgetAt(Combo.mapToGlobal(Combo.rect().center()));
    ASSERT_TRUE(OnTop == &Combo || Combo.isAncestorOf(OnTop))
        << "the combo box over cell " << ACol << ", " << ARow << " lies under "
        << (OnTop != nullptr ? OnTop->metaObject()->className() : "nothing");
    OpenList(Combo);
    ASSERT_TRUE(Combo.view()->isVisible()) << "the list of cell " << ACol << ", " << ARow;
    const int Index = Combo.findText(ToQString(Item), Qt::MatchExactly);
    ASSERT_GE(Index, 0) << "the list of cell " << ACol << ", " << ARow << " lacks " << Item;
    QAbstractItemView& List = *Combo.view();
    // A long list shows only its first items: the user scrolls to the one wanted.
    const QModelIndex ItemIndex = List.model()->index(Index, 0);
    List.scrollTo(ItemIndex);
    const QPoint ItemCentre = List.visualRect(ItemIndex).center();
    QTest::mouseMove(List.viewport(), ItemCentre);
    QTest::mouseClick(List.viewport(), Qt::LeftButton, Qt::NoModifier, ItemCentre);
    EXPECT_FALSE(Combo.view()->isVisible()) << "the list stays open after the pick of " << Item;
    ASSERT_EQ(Grid.Cells(ACol, ARow), Item)
        << "picked from the list of cell " << ACol << ", " << ARow;
}

void DemoScenarioTest::OpenList(QComboBox& Combo) {
    // An editable combo box opens its list from the arrow only; a click on the text goes
    // to its line edit.
    QStyleOptionComboBox Option;
    Option.initFrom(&Combo);
    Option.editable = Combo.isEditable();
    const QPoint Arrow =
        Combo.style()
            ->subControlRect(QStyle::CC_ComboBox, &Option, QStyle::SC_ComboBoxArrow, &Combo)
            .center();
    QTest::mouseMove(&Combo, Arrow);
    QTest::mouseClick(&Combo, Qt::LeftButton, Qt::NoModifier, Arrow);
}

void DemoScenarioTest::RenewAccessibleCells(QTableView& View) {
    QAccessibleInterface* Table = QAccessible::queryAccessibleInterface(&View);
    if (Table == nullptr || Table->tableInterface() == nullptr)
        throw Exception("The table view has no accessible table");
    QAccessibleTableModelChangeEvent Reset(&View, QAccessibleTableModelChangeEvent::ModelReset);
    Table->tableInterface()->modelChange(&Reset);
}

std::vector<std::string> DemoScenarioTest::ListItems(const QComboBox& Combo) {
    std::vector<std::string> Items;
    for (int Index = 0; Index < Combo.count(); ++Index)
        Items.push_back(FromQString(Combo.itemText(Index)));
    return Items;
}

} // namespace vorn::qtscenario
