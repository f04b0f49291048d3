// The customers grid's titles, the sort order list and the locate edit, driven through
// their widgets.

#include "Source/DBFilterGrid.h"
#include "Source/DBLocateEdit.h"
#include "Source/DBSortComboBox.h"
#include "host/components/controls/Button.h"
#include "host/components/text/AsciiText.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"
#include "host/qt/QtConvert.h"
#include "tests/qt/DemoScenarioTest.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QBrush>
#include <QComboBox>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QToolTip>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

namespace vorn::qtscenario {

namespace {

// The title look of the demo's title sorter: light yellow behind navy text.
const QColor SortedTitleColor(0xFF, 0xFF, 0xC0);
const QColor SortedTitleFontColor(0, 0, 0x80);

class GridScenarioTest : public DemoScenarioTest {
protected:
    TDBGrid& Grid() const { return Find<TDBGrid>("CustomerGrid"); }

    // The title of FieldName's column: its caption in the model, and the caption and
    // colours that the header shows.
    void ExpectTitle(const std::string& FieldName, const std::string& Caption, bool Sorted) const {
        SCOPED_TRACE(FieldName);
        EXPECT_EQ(Grid().Columns()->FindColumn(FieldName)->Title()->Caption(), Caption);
        const QAbstractItemModel& Model = *TitlesOf(Grid()).model();
        const int Section = SectionOf(Grid(), FieldName);
        EXPECT_EQ(FromQString(Model.headerData(Section, Qt::Horizontal).toString()), Caption);
        const auto Colour = [&](Qt::ItemDataRole Role) {
            return Model.headerData(Section, Qt::Horizontal, Role).value<QBrush>().color();
        };
        EXPECT_EQ(Colour(Qt::BackgroundRole) == SortedTitleColor, Sorted);
        EXPECT_EQ(Colour(Qt::ForegroundRole) == SortedTitleFontColor, Sorted);
    }

    // The grid, back at the first record, shows the customers in the order that OrderBy
    // (with the key last, as the table breaks ties) gives in SQL. A table ordered by the
    // leading fields of a longer index breaks ties by the index's further fields first.
    void ExpectCustomerOrder(const std::string& OrderBy) const {
        CustomerTable().First();
        const std::vector<std::string> Shown = ShownColumn(Grid(), "CustNo");
        ASSERT_GE(Shown.size(), 5U);
        std::vector<std::string> Expected =
            Select("SELECT CustNo FROM customer ORDER BY " + OrderBy + ", CustNo");
        Expected.resize(Shown.size());
        EXPECT_EQ(Shown, Expected) << "ordered by " << OrderBy;
    }
};

// Every visible control lies inside its parent: nothing is cut off at the window's edge.
void ExpectInsideItsParent(const TWinControl& Parent) {
    for (int Index = 0; Index < Parent.ControlCount(); ++Index) {
        const TControl& Child = *Parent.Controls(Index);
        if (!Child.Visible())
            continue;
        const TRect Bounds = Child.BoundsRect();
        EXPECT_TRUE(Bounds.Left >= 0 && Bounds.Top >= 0 && Bounds.Right <= Parent.ClientWidth() &&
                    Bounds.Bottom <= Parent.ClientHeight() && !Bounds.IsEmpty())
            << Child.Name() << " lies at " << Bounds.Left << "," << Bounds.Top << " - "
            << Bounds.Right << "," << Bounds.Bottom << " in " << Parent.Name();
        if (const auto* WinChild = dynamic_cast<const TWinControl*>(&Child))
            ExpectInsideItsParent(*WinChild);
    }
}

TEST_F(GridScenarioTest, TheControlsFollowTheWindowAndTheCustomersGridShowsMoreRecordsWhenItGrows) {
    QWidget& FormWidget = *TQtWidgetSet::WidgetOf(Window->Form());
    int ShownBefore = 0;
    for (const QSize Size : {QSize(800, 600), QSize(1280, 1024), QSize(1600, 1200)}) {
        const std::string Moment =
            std::to_string(Size.width()) + "x" + std::to_string(Size.height());
        SCOPED_TRACE(Moment);
        FormWidget.resize(Size);
        QApplication::processEvents();

        EXPECT_EQ(Window->Form().Width(), Size.width());
        EXPECT_EQ(Window->Form().Height(), Size.height());
        const int Shown = ViewOf(Grid()).model()->rowCount();
        EXPECT_EQ(Shown, Grid().RecordCount());
        EXPECT_GT(Shown, ShownBefore);
        ShownBefore = Shown;
        for (const char* Name : {"CustomerGrid", "OrdersGrid", "QueryGrid"})
            EXPECT_EQ(TQtWidgetSet::WidgetOf(Find<TDBGrid>(Name))->width(), Size.width()) << Name;
        // The filter grid grows with the window, its buttons keep to the right edge.
        EXPECT_EQ(Find<TDBFilterGrid>("FilterGrid").Width(), Size.width() - 298);
        EXPECT_EQ(Find<TSpeedButton>("ApplySQLButton").BoundsRect().Right, Size.width() - 8);
        ExpectInsideItsParent(Window->Form());
        SaveScreenshot(Moment);
    }
}

TEST_F(GridScenarioTest, ATitleClickSortsAndRecaptionsTheTitle) {
    ClickTitle(Grid(), "City");

    EXPECT_EQ(CustomerTable().IndexFieldNames(), "City");
    ExpectCustomerOrder("City, Name"); // the index ByCityName
    ExpectTitle("City", "City (1)", true);
    ExpectTitle("Name", "Name", false);

    // The demo's title sorter goes on to descending: the grid starts at the last city.
    ClickTitle(Grid(), "City");
    EXPECT_EQ(CustomerTable().IndexFieldNames(), "City:D");
    CustomerTable().First();
    EXPECT_EQ(ShownColumn(Grid(), "City").at(0),
              Select("SELECT City FROM customer ORDER BY City DESC LIMIT 1").at(0));
    ExpectTitle("City", "City (1)", true);
    SaveScreenshot("Descending");
}

TEST_F(GridScenarioTest, ACtrlClickAddsASecondSortColumnAndAPlainClickStartsOver) {
    ClickTitle(Grid(), "City");
    ClickTitle(Grid(), "Name", Qt::ControlModifier);

    EXPECT_EQ(CustomerTable().IndexFieldNames(), "City;Name");
    ExpectCustomerOrder("City, Name");
    ExpectTitle("City", "City (1)", true);
    ExpectTitle("Name", "Name (2)", true);
    SaveScreenshot("CtrlClicked");

    // Ctrl was let go: the next click sorts by its column alone.
    ClickTitle(Grid(), "Company");
    EXPECT_EQ(CustomerTable().IndexFieldNames(), "Company");
    ExpectCustomerOrder("Company, City"); // the index ByCompanyCity
    ExpectTitle("Company", "Company (1)", true);
    ExpectTitle("City", "City", false);
    ExpectTitle("Name", "Name", false);
}

// The sort order list offers each index of the customers read both ways, and an order
// typed with a descending field sorts the customers by it.
TEST_F(GridScenarioTest, TheSortOrderListOffersTheIndexesBothWaysAndATypedOrderSorts) {
    auto& SortCombo = Find<TDBSortComboBox>("SortCombo");
    auto& Combo = WidgetOf<QComboBox>(SortCombo);
    OpenList(Combo);
    const std::vector<std::string> Items = ListItems(Combo);
    QTest::keyClick(Combo.view(), Qt::Key_Escape);
    const auto CityName = std::find(Items.begin(), Items.end(), "City;Name");
    ASSERT_NE(CityName, Items.end());
    ASSERT_NE(CityName + 1, Items.end());
    EXPECT_EQ(*(CityName + 1), "City:D;Name:D");

    QLineEdit& Edit = *Combo.lineEdit();
    QTest::mouseClick(&Edit, Qt::LeftButton);
    Edit.selectAll();
    QTest::keyClicks(&Edit, "Name:D");
    QTest::keyClick(&Edit, Qt::Key_Return);

    EXPECT_EQ(CustomerTable().IndexFieldNames(), "Name:D");
    EXPECT_EQ(SortCombo.Text(), "Name:D");
    CustomerTable().First();
    EXPECT_EQ(CustomerTable().FieldByName("Name")->AsString(),
              Select("SELECT Name FROM customer ORDER BY Name DESC LIMIT 1").at(0));
}

TEST_F(GridScenarioTest, TypingIntoTheLocateEditMovesToTheFirstMatchingCustomer) {
    // The start of a name, in lower case, that several customers share but not the first:
    // the search must pass over customers and stop at the first match.
    const std::vector<std::string> Names = Select("SELECT Name FROM customer ORDER BY CustNo");
    const auto Start = [](const std::string& Name) { return LowerCaseAscii(Name.substr(0, 3)); };
    // Typed as ASCII letters here; other scripts have a scenario of their own.
    const auto Ascii = [](const std::string& Text) {
        return std::all_of(Text.begin(), Text.end(), [](unsigned char C) { return C < 0x80; });
    };
    const auto Shared = std::find_if(Names.begin() + 1, Names.end(), [&](const std::string& Name) {
        return Ascii(Start(Name)) && Start(Name) != Start(Names.front()) &&
               std::count_if(Names.begin(), Names.end(), [&](const std::string& Other) {
                   return Start(Other) == Start(Name);
               }) >= 2;
    });
    ASSERT_NE(Shared, Names.end());
    const std::string Typed = Start(*Shared);
    const std::vector<std::string> Expected =
        Select("SELECT CustNo FROM customer WHERE lower(substr(Name, 1, 3)) = '" + Typed +
               "' ORDER BY CustNo LIMIT 1");
    ASSERT_EQ(Expected.size(), 1U);

    auto& LocateEdit = Find<TDBLocateEdit>("LocateEdit");
    auto& LineEdit = WidgetOf<QLineEdit>(LocateEdit);
    QTest::mouseClick(&LineEdit, Qt::LeftButton);
    QTest::keyClicks(&LineEdit, QString::fromStdString(Typed));

    EXPECT_TRUE(LocateEdit.Located());
    EXPECT_EQ(CustomerTable().FieldByName("CustNo")->AsString(), Expected.front());
    // The typed text stays as typed, and the grid marks the customer found.
    EXPECT_EQ(FromQString(LineEdit.text()), Typed);
    const int CurrentViewRow = Grid().CurrentRecordRow() - Grid().FixedRows();
    EXPECT_EQ(ShownColumn(Grid(), "CustNo").at(static_cast<std::size_t>(CurrentViewRow)),
              Expected.front());

    // A Ctrl shortcut types nothing, even where the platform reports its letter as text.
    QTest::keyClick(&LineEdit, Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(LocateEdit.Text(), Typed);
    EXPECT_EQ(FromQString(LineEdit.text()), Typed);
}

// Acts that change nothing say why, in a tooltip beside their control: a title no index
// can sort by, a search that finds nothing.
TEST_F(GridScenarioTest, ATitleThatCannotSortAndASearchThatFindsNothingSayWhy) {
    const std::string Order = CustomerTable().IndexFieldNames();

    ClickTitle(Grid(), "Balance");
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(FromQString(QToolTip::text()),
              "No index of table customer begins with Balance: this title cannot sort the table");
    EXPECT_EQ(CustomerTable().IndexFieldNames(), Order);
    QToolTip::hideText();

    auto& LineEdit = WidgetOf<QLineEdit>(Find<TDBLocateEdit>("LocateEdit"));
    QTest::mouseClick(&LineEdit, Qt::LeftButton);
    QTest::keyClicks(&LineEdit, "zzq");
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(FromQString(QToolTip::text()), "No Name begins with zzq");
    // A title that sorts says nothing.
    QToolTip::hideText();
    ClickTitle(Grid(), "City");
    EXPECT_FALSE(QToolTip::isVisible());
}

// Text of other scripts is typed, matched without regard to case and shown as stored: "ša"
// finds the first Šaban, whose name the grid and the line edit show with its letters.
TEST_F(GridScenarioTest, TypingLowerCaseSerbianLettersFindsTheCustomerInUpperCase) {
    const std::vector<std::string> Expected =
        Select("SELECT CustNo FROM customer WHERE substr(Name, 1, 2) = '\u0160a' ORDER BY CustNo "
               "LIMIT 1");
    ASSERT_EQ(Expected.size(), 1U) << "the sample has a customer named \u0160aban";
    const std::string Typed = "\u0161a";

    auto& LocateEdit = Find<TDBLocateEdit>("LocateEdit");
    auto& LineEdit = WidgetOf<QLineEdit>(LocateEdit);
    QTest::mouseClick(&LineEdit, Qt::LeftButton);
    // QTest types ASCII letters only: "\u0161" comes as the key event a keyboard sends.
    QTest::sendKeyEvent(QTest::Click, &LineEdit, Qt::Key_unknown, QString::fromUtf8("\u0161"),
                        Qt::NoModifier);
    QTest::keyClick(&LineEdit, Qt::Key_A);

    EXPECT_EQ(LocateEdit.Text(), Typed);
    EXPECT_EQ(FromQString(LineEdit.text()), Typed);
    EXPECT_TRUE(LocateEdit.Located());
    EXPECT_EQ(CustomerTable().FieldByName("CustNo")->AsString(), Expected.front());
    const auto Row = static_cast<std::size_t>(Grid().CurrentRecordRow() - Grid().FixedRows());
    EXPECT_EQ(ShownColumn(Grid(), "CustNo").at(Row), Expected.front());
    const std::string Name = CustomerTable().FieldByName("Name")->AsString();
    EXPECT_EQ(Name.rfind("\u0160aban", 0), 0U) << Name;
    EXPECT_EQ(ShownColumn(Grid(), "Name").at(Row), Name);
}

// Under a dark palette the demo is dark, its grids included; the sorted title keeps the
// sorter's colours and its text stays readable on them.
TEST_F(GridScenarioTest, ADarkPaletteMakesTheDemoDark) {
    const QPalette Light = QApplication::palette();
    // Made from a dark button colour: black base, white text.
    QApplication::setPalette(QPalette(QColor(0x35, 0x35, 0x35)));
    // Qt tells the windows of the change from the event loop.
    QApplication::processEvents();
    ClickTitle(Grid(), "City");
    SaveScreenshot("Dark");
    QWidget& FormWidget = *TQtWidgetSet::WidgetOf(Window->Form());
    const QImage Image = FormWidget.grab().toImage();
    QTableView& View = ViewOf(Grid());
    const QRect Cell = View.visualRect(View.model()->index(2, SectionOf(Grid(), "Name")));
    const QPoint InCell = View.viewport()->mapTo(&FormWidget, Cell.topLeft() + QPoint(2, 2));
    const QPoint InForm(FormWidget.width() - 3, FormWidget.height() - 3);
    QApplication::setPalette(Light);
    QApplication::processEvents();

    EXPECT_LT(Image.pixelColor(InCell).lightness(), 80);
    EXPECT_LT(Image.pixelColor(InForm).lightness(), 80);
    const QAbstractItemModel& Titles = *TitlesOf(Grid()).model();
    const auto Colour = [&](const std::string& FieldName, Qt::ItemDataRole Role) {
        return Titles.headerData(SectionOf(Grid(), FieldName), Qt::Horizontal, Role)
            .value<QBrush>()
            .color();
    };
    EXPECT_EQ(Colour("City", Qt::BackgroundRole), SortedTitleColor);
    EXPECT_GE(ContrastRatio(Colour("City", Qt::BackgroundRole), Colour("City", Qt::ForegroundRole)),
              MinimumTextContrast);
}

} // namespace

} // namespace vorn::qtscenario
