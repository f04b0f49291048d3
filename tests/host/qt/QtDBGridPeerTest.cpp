#include "host/components/controls/Edit.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtGridPeers.h"
#include "tests/host/qt/QtPeerTestFixture.h"
#include "tests/support/CodePageGuard.h"
#include "tests/support/SampleDatabaseFile.h"

#include <QApplication>
#include <QBrush>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>
#include <QWheelEvent>

#include <memory>
#include <vector>

namespace vorn::qttest {

namespace {

// A customer table shown in a data grid five records high on a shown form.
class DBGridPeerTest : public QtPeerTest {
protected:
    static constexpr int Customers = 60;
    static constexpr int GridRecords = 5;

    static void SetUpTestSuite() {
        Database = std::make_unique<testsupport::TSampleDatabaseFile>(Customers);
    }
    static void TearDownTestSuite() { Database.reset(); }

    DBGridPeerTest() {
        Table = new TTable(Form.get());
        Table->SetDatabaseName(Database->Alias());
        Table->SetTableName("customer");
        Source = new TDataSource(Form.get());
        Source->SetDataSet(Table);
        Grid = Add<TDBGrid>(0, 0, 460, (GridRecords + 1) * 25);
        Grid->SetDataSource(Source);
        Grid->OnTitleClick = [this](TColumn* Column) { Clicked.push_back(Column); };
        Table->Open();
        Realize();
    }

    TQtDBGridPeer& Peer() const { return dynamic_cast<TQtDBGridPeer&>(*Grid->Peer()); }
    QTableView& View() const { return Peer().TableView(); }
    QHeaderView& Titles() const { return *View().horizontalHeader(); }
    // The view column that shows FieldName.
    int ViewColumnOf(const std::string& FieldName) const {
        return Grid->ColumnToGridCol(Grid->Columns()->FindColumn(FieldName)) - Grid->FixedCols();
    }
    std::string CurrentName() const { return Table->FieldByName("Name")->AsString(); }

    static std::unique_ptr<testsupport::TSampleDatabaseFile> Database;
    TTable* Table = nullptr;
    TDataSource* Source = nullptr;
    TDBGrid* Grid = nullptr;
    std::vector<TColumn*> Clicked;
};

std::unique_ptr<testsupport::TSampleDatabaseFile> DBGridPeerTest::Database;

TEST_F(DBGridPeerTest, TheViewHoldsTheGridsRecordWindowNotTheTable) {
    const QAbstractItemModel& Model = *View().model();
    ASSERT_EQ(Model.rowCount(), Grid->RecordCount());
    EXPECT_LT(Model.rowCount(), Customers);
    const int NameColumn = ViewColumnOf("Name");
    EXPECT_EQ(Model.data(Model.index(0, NameColumn)).toString().toStdString(), CurrentName());

    Table->MoveBy(7);
    EXPECT_EQ(Model.data(Model.index(Grid->CurrentRecordRow() - Grid->FixedRows(), NameColumn))
                  .toString()
                  .toStdString(),
              CurrentName());
    EXPECT_EQ(Model.headerData(Grid->CurrentRecordRow() - Grid->FixedRows(), Qt::Vertical),
              QString::fromUtf16(u"\u25B6"));
}

TEST_F(DBGridPeerTest, AGridInAQtLayoutShowsAsManyRecordsAsItsNewHeightHolds) {
    QWidget& GridWidget = *TQtWidgetSet::WidgetOf(*Grid);
    QMainWindow Window;
    auto* Central = new QWidget;
    auto* Layout = new QVBoxLayout(Central);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(&GridWidget);
    Window.setCentralWidget(Central);
    Window.resize(500, 400);
    Window.show();
    QApplication::processEvents();

    EXPECT_EQ(Grid->Width(), GridWidget.width());
    EXPECT_EQ(Grid->Height(), GridWidget.height());
    const int Tall = Grid->RecordCount();
    EXPECT_GT(Tall, GridRecords + 5);
    EXPECT_EQ(View().model()->rowCount(), Tall);

    Window.resize(500, 150);
    QApplication::processEvents();
    EXPECT_EQ(Grid->Height(), GridWidget.height());
    EXPECT_LT(Grid->RecordCount(), Tall);
    EXPECT_EQ(View().model()->rowCount(), Grid->RecordCount());

    // The grid's widget goes back into the form before the main window frees it.
    Layout->removeWidget(&GridWidget);
    GridWidget.setParent(TQtWidgetSet::WidgetOf(*Form));
}

TEST_F(DBGridPeerTest, ClickingATitleCallsOnTitleClickWithItsColumn) {
    // Titles on screen: the first columns of a narrow grid.
    for (const char* FieldName : {"Company", "CustNo", "Company"}) {
        const int Section = ViewColumnOf(FieldName);
        const QPoint Centre(Titles().sectionViewportPosition(Section) +
                                Titles().sectionSize(Section) / 2,
                            Titles().height() / 2);
        SendClick(*Titles().viewport(), Centre);
    }

    const auto Column = [&](const char* FieldName) {
        return Grid->Columns()->FindColumn(FieldName);
    };
    EXPECT_EQ(Clicked,
              (std::vector<TColumn*>{Column("Company"), Column("CustNo"), Column("Company")}));
}

TEST_F(DBGridPeerTest, TitlesShowTheirCaptionColourAndFont) {
    // The texts of this test are written in Windows-1250.
    const vorn::test::TCodePageGuard CodePage(cpWindows1250);
    TColumn* City = Grid->Columns()->FindColumn("City");
    City->Title()->SetCaption("Grad \x9A");
    City->Title()->SetColor(clYellow);
    City->Title()->Font()->SetStyle({fsBold});
    City->Title()->Font()->SetColor(clNavy);

    const QAbstractItemModel& Model = *View().model();
    const int Section = ViewColumnOf("City");
    EXPECT_EQ(Model.headerData(Section, Qt::Horizontal).toString(),
              QString::fromUtf16(u"Grad \u0161"));
    EXPECT_EQ(Model.headerData(Section, Qt::Horizontal, Qt::BackgroundRole).value<QBrush>().color(),
              QColor(0xFF, 0xFF, 0));
    EXPECT_EQ(Model.headerData(Section, Qt::Horizontal, Qt::ForegroundRole).value<QBrush>().color(),
              QColor(0, 0, 0x80));
    EXPECT_TRUE(Model.headerData(Section, Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
    // Text that could hardly be read on the title's colour turns black or white.
    const auto Foreground = [&] {
        return Model.headerData(Section, Qt::Horizontal, Qt::ForegroundRole)
            .value<QBrush>()
            .color();
    };
    City->Title()->Font()->SetColor(clWhite);
    EXPECT_EQ(Foreground(), QColor(Qt::black));
    City->Title()->SetColor(clNavy);
    EXPECT_EQ(Foreground(), QColor(Qt::white));
    City->Title()->Font()->SetColor(clNavy);
    EXPECT_EQ(Foreground(), QColor(Qt::white));
    City->Title()->Font()->SetColor(clYellow);
    EXPECT_EQ(Foreground(), QColor(Qt::yellow));
    EXPECT_FALSE(
        Model.headerData(ViewColumnOf("Name"), Qt::Horizontal, Qt::FontRole).value<QFont>().bold());
}

TEST_F(DBGridPeerTest, TheScrollBarMovesTheDataSet) {
    QScrollBar& ScrollBar = Peer().ScrollBar();
    EXPECT_EQ(ScrollBar.value(), ScrollBar.minimum());

    ScrollBar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    const std::string Second = CurrentName();
    ScrollBar.triggerAction(QAbstractSlider::SliderPageStepAdd);
    ScrollBar.triggerAction(QAbstractSlider::SliderPageStepSub);
    EXPECT_EQ(CurrentName(), Second);
    EXPECT_GT(ScrollBar.value(), ScrollBar.minimum());

    ScrollBar.triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_TRUE(Table->Eof());
    EXPECT_EQ(ScrollBar.value(), ScrollBar.maximum());

    ScrollBar.triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_TRUE(Table->Bof());
    EXPECT_EQ(ScrollBar.value(), ScrollBar.minimum());

    Table->Close();
    EXPECT_FALSE(ScrollBar.isEnabled());
    ScrollBar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_FALSE(Table->Active());
}

// Numbers sit at the right with their column's decimals (Balance is NUMERIC(12,2), stored
// by SQLite as a floating-point number); texts at the left.
TEST_F(DBGridPeerTest, FixedPointNumbersShowTheirScaleAtTheRight) {
    const QAbstractItemModel& Model = *View().model();
    const int Balance = ViewColumnOf("Balance");
    int Shown = 0;
    for (int Row = 0; Row < Model.rowCount(); ++Row) {
        const QString Text = Model.index(Row, Balance).data().toString();
        if (Text.isEmpty())
            continue;
        ++Shown;
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^-?\\d+\\.\\d\\d$")).match(Text).hasMatch())
            << Text.toStdString();
        EXPECT_EQ(Model.index(Row, Balance).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
                      Qt::AlignHorizontal_Mask,
                  Qt::AlignRight);
    }
    EXPECT_GT(Shown, 0);
    EXPECT_EQ(
        Model.index(0, ViewColumnOf("Name")).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
            Qt::AlignHorizontal_Mask,
        Qt::AlignLeft);
}

// Only the grid with the focus shows the palette's highlight on its current cell; another
// shows a dimmed one, with text that reads on it.
TEST_F(DBGridPeerTest, OnlyTheFocusedGridShowsTheActiveHighlight) {
    auto* Edit = Add<TEdit>(0, 200, 100, 24);
    Realize();
    const QAbstractItemModel& Model = *View().model();
    const QModelIndex Current =
        Model.index(Grid->Row() - Grid->FixedRows(), Grid->Col() - Grid->FixedCols());
    const auto Background = [&] {
        return Current.data(Qt::BackgroundRole).value<QBrush>().color();
    };
    const QPalette Palette = QApplication::palette();

    Grid->SetFocus();
    EXPECT_EQ(Background(), Palette.color(QPalette::Highlight));
    EXPECT_EQ(Current.data(Qt::ForegroundRole).value<QBrush>().color(),
              Palette.color(QPalette::HighlightedText));
    Edit->SetFocus();
    EXPECT_EQ(Background(), InactiveHighlight());
    EXPECT_NE(Background(), Palette.color(QPalette::Highlight));
    EXPECT_GE(ContrastRatio(Background(), Current.data(Qt::ForegroundRole).value<QBrush>().color()),
              MinimumTextContrast);
}

// Tab and Shift+Tab pass the focus on from a grid; with dgTabs they walk its cells.
TEST_F(DBGridPeerTest, TabLeavesTheGridUnlessItTabsBetweenCells) {
    auto* Edit = Add<TEdit>(0, 200, 100, 24);
    Realize();
    Grid->SetFocus();
    SendKey(View(), Qt::Key_Tab, QStringLiteral("\t"));
    EXPECT_TRUE(Edit->Focused());
    SendKey(WidgetOf<QLineEdit>(*Edit), Qt::Key_Backtab, QString(), Qt::ShiftModifier);
    EXPECT_TRUE(Grid->Focused());

    Grid->SetOptions(Grid->Options() + TDBGridOptions{dgTabs});
    const int Col = Grid->Col();
    SendKey(View(), Qt::Key_Tab, QStringLiteral("\t"));
    EXPECT_TRUE(Grid->Focused());
    EXPECT_EQ(Grid->Col(), Col + 1);
}

// The wheel scrolls the shown records; the current record stays until it would leave
// them, and then is the one at the edge.
TEST_F(DBGridPeerTest, TheWheelScrollsTheRecordsNotTheCurrentRecord) {
    const auto Turn = [&](int Notches) {
        QWheelEvent Wheel(QPointF(20, 40), View().viewport()->mapToGlobal(QPointF(20, 40)),
                          QPoint(), QPoint(0, -120 * Notches), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(View().viewport(), &Wheel);
    };
    QApplication::setWheelScrollLines(1);
    Table->MoveBy(GridRecords - 1);
    const std::string Current = CurrentName();
    ASSERT_EQ(Grid->CurrentRecordRow() - Grid->FixedRows(), GridRecords - 1);

    Turn(2);
    EXPECT_EQ(CurrentName(), Current);
    EXPECT_EQ(Grid->CurrentRecordRow() - Grid->FixedRows(), GridRecords - 3);
    Turn(-1);
    EXPECT_EQ(CurrentName(), Current);
    EXPECT_EQ(Grid->CurrentRecordRow() - Grid->FixedRows(), GridRecords - 2);

    Turn(GridRecords);
    EXPECT_EQ(Grid->CurrentRecordRow(), Grid->FixedRows());
    Table->MoveBy(-2);
    EXPECT_EQ(CurrentName(), Current);
    QApplication::setWheelScrollLines(3);
}

// The columns do not fit the grid: a bar below scrolls them, hiding those scrolled away;
// a grid they fit has no bar.
TEST_F(DBGridPeerTest, AColumnScrollBarShowsWhileTheColumnsDoNotFit) {
    QScrollBar& Bar = Peer().ColumnScrollBar();
    ASSERT_TRUE(Bar.isVisible());
    EXPECT_EQ(Bar.value(), Grid->FixedCols());
    // The bar covers the bottom of the grid: the record that no longer fits above it goes.
    QApplication::processEvents();
    EXPECT_EQ(Grid->ScrollBarHeight(), Bar.sizeHint().height());
    EXPECT_EQ(Grid->RecordCount(), GridRecords - 1);

    Bar.triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(Grid->LeftCol(), Grid->FixedCols() + 1);
    EXPECT_TRUE(View().isColumnHidden(0));
    EXPECT_FALSE(View().isColumnHidden(1));

    Grid->SetLeftCol(Grid->FixedCols());
    Grid->SetBounds(0, 0, 3000, Grid->Height());
    EXPECT_FALSE(Bar.isVisible());
    EXPECT_FALSE(View().isColumnHidden(0));
    QApplication::processEvents();
    EXPECT_EQ(Grid->ScrollBarHeight(), 0);
    EXPECT_EQ(Grid->RecordCount(), GridRecords);
}

// A table of many customers: the thumb stands where the current record is, as long as the
// shown part, and a drag jumps to the record at the thumb's place.
class DBGridPeerScrollTest : public QtPeerTest {
protected:
    static constexpr int Customers = 20000;

    static void SetUpTestSuite() {
        Database = std::make_unique<testsupport::TSampleDatabaseFile>(Customers, 0);
    }
    static void TearDownTestSuite() { Database.reset(); }

    DBGridPeerScrollTest() {
        Table = new TTable(Form.get());
        Table->SetDatabaseName(Database->Alias());
        Table->SetTableName("customer");
        auto* Source = new TDataSource(Form.get());
        Source->SetDataSet(Table);
        Grid = Add<TDBGrid>(0, 0, 460, 250);
        Grid->SetDataSource(Source);
        Table->Open();
        Realize();
    }

    QScrollBar& ScrollBar() const {
        return dynamic_cast<TQtDBGridPeer&>(*Grid->Peer()).ScrollBar();
    }
    // The place of a record reached by a jump is counted a moment after it.
    double ThumbFraction() const {
        auto& Peer = dynamic_cast<TQtDBGridPeer&>(*Grid->Peer());
        QElapsedTimer Waited;
        Waited.start();
        while (Peer.PositionCountPending() && Waited.elapsed() < 5000)
            QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return static_cast<double>(ScrollBar().value()) / ScrollBar().maximum();
    }
    // The current customer's place among all, from 0 to 1.
    double CurrentFraction() const {
        const auto Before = Database->Column("SELECT count(*) FROM customer WHERE CustNo < " +
                                             Table->FieldByName("CustNo")->AsString());
        return std::stod(Before.front()) / (Customers - 1);
    }

    static std::unique_ptr<testsupport::TSampleDatabaseFile> Database;
    TTable* Table = nullptr;
    TDBGrid* Grid = nullptr;
};

std::unique_ptr<testsupport::TSampleDatabaseFile> DBGridPeerScrollTest::Database;

TEST_F(DBGridPeerScrollTest, TheThumbFollowsJumpsAndADragLandsWhereItIsDropped) {
    EXPECT_LT(ScrollBar().pageStep(), ScrollBar().maximum() / 100);
    const std::string Middle =
        Database
            ->Column("SELECT CustNo FROM customer ORDER BY CustNo LIMIT 1 OFFSET " +
                     std::to_string(Customers / 2))
            .front();
    ASSERT_TRUE(
        Table->Locate("CustNo", TVariant(static_cast<std::int64_t>(std::stoll(Middle))), {}));
    EXPECT_NEAR(ThumbFraction(), 0.5, 0.01);
    Table->MoveBy(Customers / 10);
    EXPECT_NEAR(ThumbFraction(), 0.6, 0.01);

    for (const double Place : {0.25, 0.5, 0.9}) {
        ScrollBar().setSliderPosition(static_cast<int>(Place * ScrollBar().maximum()));
        ScrollBar().triggerAction(QAbstractSlider::SliderMove);
        EXPECT_NEAR(CurrentFraction(), Place, 0.01) << Place;
        EXPECT_NEAR(ThumbFraction(), Place, 0.01) << Place;
    }
}

// With dgColumnResize a drag of a title's edge sizes its column; without it the titles
// keep their widths.
TEST_F(DBGridPeerTest, DraggingATitleEdgeSizesTheColumn) {
    TColumn& Name = *Grid->Columns()->FindColumn("Name");
    const int Section = ViewColumnOf("Name");
    const auto Edge = [&] {
        return QPoint(Titles().sectionViewportPosition(Section) + Titles().sectionSize(Section) - 1,
                      Titles().height() / 2);
    };
    const int Width = Name.Width();
    SendDrag(*Titles().viewport(), Edge(), Edge() + QPoint(30, 0));
    EXPECT_EQ(Name.Width(), Width + 30);
    EXPECT_EQ(Grid->ColWidths(Section + Grid->FixedCols()), Width + 30);
    EXPECT_TRUE(Clicked.empty());

    Grid->SetOptions(Grid->Options() - TDBGridOptions{dgColumnResize});
    SendDrag(*Titles().viewport(), Edge(), Edge() + QPoint(30, 0));
    EXPECT_EQ(Name.Width(), Width + 30);
}

TEST_F(DBGridPeerTest, MouseMovesOverTitlesAndRecordsReachTheRightCells) {
    std::vector<TGridCoord> Moves;
    Grid->OnMouseMove = [&](TObject*, TShiftState, int X, int Y) {
        Moves.push_back(Grid->MouseCoord(X, Y));
    };
    const int Section = ViewColumnOf("Company");

    SendMouseMove(*Titles().viewport(),
                  QPoint(Titles().sectionViewportPosition(Section) + 3, Titles().height() / 2));
    SendMouseMove(*View().viewport(),
                  View().visualRect(View().model()->index(2, Section)).topLeft() + QPoint(3, 3));

    const int GridCol = Section + Grid->FixedCols();
    EXPECT_EQ(Moves, (std::vector<TGridCoord>{{GridCol, 0}, {GridCol, Grid->FixedRows() + 2}}));
}

TEST_F(DBGridPeerTest, AScreenshotOfTheFormIsAPng) {
    const QString Path = QStringLiteral(VORN_QT_TEST_OUTPUT_DIR "/dbgrid.png");
    QFile::remove(Path);

    ASSERT_TRUE(TQtWidgetSet::WidgetOf(*Form)->grab().save(Path));

    QFile File(Path);
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    EXPECT_GT(File.size(), 1000);
    EXPECT_EQ(File.read(8), QByteArray("\x89PNG\r\n\x1a\n", 8));
}

// A handler's many changes (a re-sort re-captions every title and reads new records) reach
// the view once, when the handler returns; outside handlers each change shows at once.
class DBGridPeerLayoutTest : public DBGridPeerTest {
protected:
    DBGridPeerLayoutTest() {
        QObject::connect(View().model(), &QAbstractItemModel::modelReset, [this] { ++Layouts; });
    }

    void Retitle(const std::string& Suffix) {
        for (int Index = 0; Index < Grid->Columns()->Count(); ++Index) {
            TColumn& Column = *Grid->Columns()->Items(Index);
            Column.Title()->SetCaption(Column.FieldName() + Suffix);
            Column.Title()->Font()->SetStyle({fsBold});
        }
    }
    QString ShownTitle(const std::string& FieldName) const {
        return View().model()->headerData(ViewColumnOf(FieldName), Qt::Horizontal).toString();
    }
    // Whether every cell of the view shows the grid's text of its cell.
    bool ViewShowsTheGrid() const {
        const QAbstractItemModel& Model = *View().model();
        if (Model.rowCount() != Grid->RowCount() - Grid->FixedRows())
            return false;
        for (int Row = 0; Row < Model.rowCount(); ++Row)
            for (int Column = 0; Column < Model.columnCount(); ++Column)
                if (Model.index(Row, Column).data().toString().toStdString() !=
                    Grid->DisplayText(Column + Grid->FixedCols(), Row + Grid->FixedRows()))
                    return false;
        return true;
    }

    int Layouts = 0;
};

TEST_F(DBGridPeerLayoutTest, AHandlersChangesShowOnceWhenItReturns) {
    TQtPeer::Guarded([&] {
        Retitle(" (1)");
        Table->SetIndexFieldNames("Name");
        Table->MoveBy(2);
        EXPECT_EQ(Layouts, 0);
    });

    EXPECT_EQ(Layouts, 1);
    EXPECT_EQ(ShownTitle("City"), QStringLiteral("City (1)"));
    EXPECT_TRUE(ViewShowsTheGrid());
    EXPECT_EQ(View().currentIndex().row(), Grid->Row() - Grid->FixedRows());
    EXPECT_EQ(View().currentIndex().column(), Grid->Col() - Grid->FixedCols());
}

TEST_F(DBGridPeerLayoutTest, ChangesOutsideHandlersShowAtOnce) {
    Grid->Columns()->FindColumn("City")->Title()->SetCaption("Town");
    EXPECT_GT(Layouts, 0);
    EXPECT_EQ(ShownTitle("City"), QStringLiteral("Town"));

    Table->SetIndexFieldNames("City");
    EXPECT_TRUE(ViewShowsTheGrid());
}

TEST_F(DBGridPeerLayoutTest, AHandlerRunningItsOwnEventLoopSeesTheChangesThere) {
    TQtPeer::Guarded([&] {
        Retitle(" *");
        for (int Turn = 0; Turn < 100 && Layouts == 0; ++Turn)
            QApplication::processEvents();
        EXPECT_EQ(Layouts, 1);
        EXPECT_EQ(ShownTitle("Name"), QStringLiteral("Name *"));
    });
    EXPECT_EQ(Layouts, 1);
}

TEST_F(DBGridPeerLayoutTest, AGridFreedByTheHandlerThatChangedItIsNotLaidOut) {
    TQtPeer::Guarded([&] {
        Retitle(" (1)");
        delete Grid;
        Grid = nullptr;
    });
    DeleteWaitingWidgets();
    QApplication::processEvents();
    EXPECT_EQ(Layouts, 0);
}

TEST_F(DBGridPeerLayoutTest, AnErrorInsideTheHandlerStillLaysTheGridOut) {
    TQtPeer::Guarded([&] {
        Retitle(" (2)");
        throw Exception("The sort failed");
    });
    EXPECT_EQ(Layouts, 1);
    EXPECT_EQ(ShownTitle("Company"), QStringLiteral("Company (2)"));
    EXPECT_EQ(ErrorBoxTexts(), QStringList{QStringLiteral("The sort failed")});
}

} // namespace

} // namespace vorn::qttest
