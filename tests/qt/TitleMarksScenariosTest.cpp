// The customers grid's sort arrows, and sorting it from the keyboard, seen through its
// widgets.

#include "host/data/dataset/SortFields.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtDBGridHeader.h"
#include "tests/qt/DemoScenarioTest.h"

#include <QAccessible>
#include <QHeaderView>
#include <QImage>
#include <QTableView>
#include <QTest>

#include <map>
#include <string>
#include <vector>

namespace vorn::qtscenario {

namespace {

// What the mark part of a title shows: the arrow's direction read from its shape, and
// whether a number stands beside it.
struct TDrawnMark {
    TTitleSortDirection Direction = tsdNone;
    bool Number = false;
    bool operator==(const TDrawnMark&) const = default;
};

std::ostream& operator<<(std::ostream& Stream, const TDrawnMark& Mark) {
    const char* Names[] = {"none", "up", "down"};
    return Stream << Names[Mark.Direction] << (Mark.Number ? " with number" : "");
}

class TitleMarksScenarioTest : public DemoScenarioTest {
protected:
    TDBGrid& Grid() const { return Find<TDBGrid>("CustomerGrid"); }
    TColumnTitle& Title(const std::string& FieldName) const {
        return *Grid().Columns()->FindColumn(FieldName)->Title();
    }
    TQtDBGridHeader& Header() const {
        auto* Header = dynamic_cast<TQtDBGridHeader*>(&TitlesOf(Grid()));
        if (Header == nullptr)
            throw Exception("The customers grid's titles are not the data grid header");
        return *Header;
    }
    // The title of FieldName as the header paints it now.
    QImage TitleImage(const std::string& FieldName) const {
        const int Section = SectionOf(Grid(), FieldName);
        const QRect Rect(Header().sectionViewportPosition(Section), 0,
                         Header().sectionSize(Section), Header().height());
        return Header().viewport()->grab(Rect).toImage();
    }

    // Sets the marks the sorter sets for the order Fields (a sort field list, descending
    // fields marked), and clears every other title's.
    void MarkOrder(const std::string& Fields) const {
        const std::vector<TSortField> Order = ParseSortFields(Fields);
        for (int Index = 0; Index < Grid().Columns()->Count(); ++Index) {
            TColumnTitle& Other = *Grid().Columns()->Items(Index)->Title();
            Other.SetSortMark({});
            for (std::size_t Place = 0; Place < Order.size(); ++Place)
                if (Order[Place].Name == Other.Column().FieldName())
                    Other.SetSortMark({Order[Place].Descending ? tsdDescending : tsdAscending,
                                       static_cast<int>(Place) + 1,
                                       static_cast<int>(Order.size())});
        }
    }

    // The right end of FieldName's title, where its mark goes.
    QImage MarkPart(const std::string& FieldName) const {
        const QImage Image = TitleImage(FieldName);
        const int Width = Header().MarkWidth(SectionOf(Grid(), FieldName));
        return Image.copy(Image.width() - Width, 0, Width, Image.height());
    }

    // Reads the mark that FieldName's title shows from the pixels of its mark part that
    // differ from the same title painted without its mark.
    TDrawnMark DrawnMark(const std::string& FieldName) const {
        const TTitleSortMark Mark = Title(FieldName).SortMark();
        const QImage Marked = MarkPart(FieldName);
        Title(FieldName).SetSortMark({});
        const QImage Image = TitleImage(FieldName);
        const QImage Plain =
            Image.copy(Image.width() - Marked.width(), 0, Marked.width(), Marked.height());
        Title(FieldName).SetSortMark(Mark);
        std::vector<int> InkPerColumn(static_cast<std::size_t>(Marked.width()), 0);
        std::map<int, std::vector<int>> InkByRow;
        for (int Y = 0; Y < Marked.height(); ++Y)
            for (int X = 0; X < Marked.width(); ++X)
                if (std::abs(qGray(Marked.pixel(X, Y)) - qGray(Plain.pixel(X, Y))) > 60) {
                    ++InkPerColumn[static_cast<std::size_t>(X)];
                    InkByRow[Y].push_back(X);
                }
        if (InkByRow.empty())
            return {};
        // The arrow is the first run of inked columns; anything after a gap is the number.
        int X = 0;
        while (InkPerColumn[static_cast<std::size_t>(X)] == 0)
            ++X;
        const int ArrowLeft = X;
        while (X < Marked.width() && InkPerColumn[static_cast<std::size_t>(X)] > 0)
            ++X;
        const int ArrowRight = X;
        bool Number = false;
        for (; X < Marked.width(); ++X)
            Number = Number || InkPerColumn[static_cast<std::size_t>(X)] > 0;
        // An arrow up is wide at its bottom row, an arrow down at its top row.
        const auto WidthOfRow = [&](const std::vector<int>& Xs) {
            return std::count_if(Xs.begin(), Xs.end(),
                                 [&](int Ink) { return Ink >= ArrowLeft && Ink < ArrowRight; });
        };
        std::vector<long> ArrowRows;
        for (const auto& [Y, Xs] : InkByRow)
            if (WidthOfRow(Xs) > 0)
                ArrowRows.push_back(WidthOfRow(Xs));
        const long Top = ArrowRows.front();
        const long Bottom = ArrowRows.back();
        return {Bottom > Top ? tsdAscending : tsdDescending, Number};
    }

    void ExpectDrawnMarks(const std::map<std::string, TDrawnMark>& Expected) const {
        for (const auto& [FieldName, Mark] : Expected)
            EXPECT_EQ(DrawnMark(FieldName), Mark) << FieldName;
    }

    std::string CurrentCustNo() const { return CustomerTable().FieldByName("CustNo")->AsString(); }
};

// The marks a click, a Ctrl-click and a further click leave: an arrow per sorted title,
// numbered in an order of several columns; the other titles keep their look.
TEST_F(TitleMarksScenarioTest, SortedTitlesShowArrowsAndTheirPlaceInTheOrder) {
    const QImage CountryBefore = TitleImage("Country");

    // A click: the sorter (in its default cycle) marks City alone.
    ClickTitle(Grid(), "City");
    ASSERT_EQ(CustomerTable().IndexFieldNames(), "City");
    EXPECT_EQ(Title("City").SortMark(), (TTitleSortMark{tsdAscending, 1, 1}));
    ExpectDrawnMarks({{"City", {tsdAscending, false}}});
    SaveScreenshot("Clicked");

    // A Ctrl-click adds Name: both numbered, each with its own number.
    ClickTitle(Grid(), "Name", Qt::ControlModifier);
    ASSERT_EQ(CustomerTable().IndexFieldNames(), "City;Name");
    EXPECT_EQ(Title("City").SortMark(), (TTitleSortMark{tsdAscending, 1, 2}));
    EXPECT_EQ(Title("Name").SortMark(), (TTitleSortMark{tsdAscending, 2, 2}));
    ExpectDrawnMarks({{"City", {tsdAscending, true}}, {"Name", {tsdAscending, true}}});
    EXPECT_NE(MarkPart("City"), MarkPart("Name"));
    SaveScreenshot("CtrlClicked");

    // A further click, in a cycle that turns City descending and drops Name.
    MarkOrder("City:D");
    ExpectDrawnMarks({{"City", {tsdDescending, false}}});
    EXPECT_EQ(Header().MarkWidth(SectionOf(Grid(), "Name")), 0);
    SaveScreenshot("Descending");

    // A title never marked looks as it always did, and so does one whose mark went.
    MarkOrder("");
    EXPECT_EQ(TitleImage("Country"), CountryBefore);
    const QImage CityPlain = TitleImage("City");
    Title("City").SetSortMark({tsdAscending, 1, 1});
    EXPECT_NE(TitleImage("City"), CityPlain);
    Title("City").SetSortMark({});
    EXPECT_EQ(TitleImage("City"), CityPlain);
}

// F3 sorts by the current column; Ctrl+Up enters the titles, Left moves along them,
// Ctrl+Space adds the focused title's column, Escape returns to the records. Assistive
// tools hear each move of the focus.
TEST_F(TitleMarksScenarioTest, TheKeyboardSortsThroughTheTitles) {
    std::vector<std::string> Announced;
    WidgetSet.SetAccessibleEventHook([&](QAccessibleEvent& Event) {
        if (Event.type() == QAccessible::Focus && Event.accessibleInterface() != nullptr)
            Announced.push_back(FromQString(Event.accessibleInterface()->text(QAccessible::Name)));
    });
    QTableView& View = ViewOf(Grid());
    const auto Press = [&](Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
        RenewAccessibleCells(View);
        QTest::keyClick(&View, Key, Modifiers);
    };
    const QModelIndex Cell = View.model()->index(2, SectionOf(Grid(), "City"));
    QTest::mouseClick(View.viewport(), Qt::LeftButton, Qt::NoModifier,
                      View.visualRect(Cell).center());
    ASSERT_EQ(Grid().Col(), SectionOf(Grid(), "City") + Grid().FixedCols());

    Press(Qt::Key_F3);
    EXPECT_EQ(CustomerTable().IndexFieldNames(), "City");
    EXPECT_FALSE(Grid().TitleFocused());

    const QImage CityUnfocused = TitleImage("City");
    Press(Qt::Key_Up, Qt::ControlModifier);
    ASSERT_EQ(Grid().FocusedTitle(), Grid().Columns()->FindColumn("City"));
    EXPECT_NE(TitleImage("City"), CityUnfocused) << "no focus frame";
    SaveScreenshot("TitleFocused");
    Press(Qt::Key_Left);
    ASSERT_EQ(Grid().FocusedTitle(), Grid().Columns()->FindColumn("Name"));
    EXPECT_EQ(TitleImage("City"), CityUnfocused) << "the focus frame stayed behind";
    Press(Qt::Key_Space, Qt::ControlModifier);
    EXPECT_EQ(CustomerTable().IndexFieldNames(), "City;Name");
    EXPECT_TRUE(Grid().TitleFocused());

    const std::string NameShown =
        ShownColumn(Grid(), "Name")
            .at(static_cast<std::size_t>(Grid().CurrentRecordRow() - Grid().FixedRows()));
    Press(Qt::Key_Escape);
    EXPECT_FALSE(Grid().TitleFocused());
    const std::string Before = CurrentCustNo();
    Press(Qt::Key_Down);
    EXPECT_NE(CurrentCustNo(), Before);

    // The sorted title as re-captioned, the next title, and the current cell again.
    EXPECT_EQ(Announced, (std::vector<std::string>{Title("City").Caption(), "Name", NameShown}));
}

} // namespace

} // namespace vorn::qtscenario
