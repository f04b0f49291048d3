#include "host/data/DBGrid.h"
#include "host/data/Table.h"
#include "host/qt/QtGridPeers.h"
#include "tests/host/qt/QtPeerTestFixture.h"
#include "tests/support/CodePageGuard.h"
#include "tests/support/SampleDatabaseFile.h"

#include <QApplication>
#include <QBrush>
#include <QFile>
#include <QHeaderView>
#include <QMainWindow>
#include <QScrollBar>
#include <QTableView>
#include <QVBoxLayout>

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
                    Grid->CellText(Column + Grid->FixedCols(), Row + Grid->FixedRows()))
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
