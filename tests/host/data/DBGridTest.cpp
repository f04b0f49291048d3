#include "host/components/controls/Application.h"
#include "host/components/controls/Input.h"
#include "host/components/controls/Keyboard.h"
#include "host/data/dataset/Query.h"
#include "tests/host/data/DBGridTestFixture.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace vorn::dbgridtest {
namespace {

// The shown records must be a run of consecutive records of the full order (read with
// plain SQL), and the grid's current row must show the dataset's current record.
void ExpectWindowFollowsDataSet(const DBGridTest& Test, const TDBGrid& Grid, const TTable& Table,
                                const std::vector<std::string>& Order,
                                const std::vector<std::string>& Shown, int ColCustNo) {
    ASSERT_EQ(Shown.size(), std::min<std::size_t>(Order.size(), Grid.RecordCapacity()));
    const auto First = std::find(Order.begin(), Order.end(), Shown.front());
    ASSERT_NE(First, Order.end());
    ASSERT_LE(static_cast<std::size_t>(First - Order.begin()) + Shown.size(), Order.size());
    EXPECT_TRUE(std::equal(Shown.begin(), Shown.end(), First));
    ASSERT_GE(Grid.CurrentRecordRow(), Grid.FixedRows());
    EXPECT_EQ(Grid.Row(), Grid.CurrentRecordRow());
    EXPECT_EQ(Grid.CellText(ColCustNo, Grid.CurrentRecordRow()),
              Table.FieldByName("CustNo")->AsString());
    (void)Test;
}

struct TMoveCase {
    const char* Name;
    const char* IndexFieldNames;
    const char* OrderBy;
    std::function<void(TTable&)> Move;
    int ExpectedRow; // the grid row of the current record; 0 when any row will do
};

class DBGridMoveTest : public DBGridTest, public ::testing::WithParamInterface<TMoveCase> {};

TEST_P(DBGridMoveTest, ShownRecordsFollowTheCurrentRecord) {
    Table->SetIndexFieldNames(GetParam().IndexFieldNames);
    Table->Open();
    GetParam().Move(*Table);
    const std::vector<std::string> Order =
        Database->Column(std::string("SELECT CustNo FROM customer ORDER BY ") + GetParam().OrderBy);
    ExpectWindowFollowsDataSet(*this, *Grid, *Table, Order, Shown("CustNo"), ColOf("CustNo"));
    if (GetParam().ExpectedRow > 0) {
        EXPECT_EQ(Grid->CurrentRecordRow(), GetParam().ExpectedRow);
    }
}

void Repeat(int Count, const std::function<void()>& Step) {
    for (int Index = 0; Index < Count; ++Index)
        Step();
}

INSTANTIATE_TEST_SUITE_P(
    Moves, DBGridMoveTest,
    ::testing::Values(TMoveCase{.Name = "Open",
                                .IndexFieldNames = "",
                                .OrderBy = "CustNo",
                                .Move = [](TTable&) {},
                                .ExpectedRow = 1},
                      TMoveCase{.Name = "NextInsideTheWindow",
                                .IndexFieldNames = "",
                                .OrderBy = "CustNo",
                                .Move = [](TTable& T) { Repeat(3, [&] { T.Next(); }); },
                                .ExpectedRow = 4},
                      TMoveCase{.Name = "NextPastTheBottom",
                                .IndexFieldNames = "",
                                .OrderBy = "CustNo",
                                .Move = [](TTable& T) { Repeat(9, [&] { T.Next(); }); },
                                .ExpectedRow = 5},
                      TMoveCase{.Name = "PriorPastTheTop",
                                .IndexFieldNames = "",
                                .OrderBy = "CustNo",
                                .Move =
                                    [](TTable& T) {
                                        T.MoveBy(40);
                                        Repeat(7, [&] { T.Prior(); });
                                    },
                                .ExpectedRow = 1},
                      TMoveCase{.Name = "JumpForward",
                                .IndexFieldNames = "",
                                .OrderBy = "CustNo",
                                .Move = [](TTable& T) { T.MoveBy(50); },
                                .ExpectedRow = 5},
                      TMoveCase{.Name = "JumpBackward",
                                .IndexFieldNames = "",
                                .OrderBy = "CustNo",
                                .Move =
                                    [](TTable& T) {
                                        T.MoveBy(60);
                                        T.MoveBy(-30);
                                    },
                                .ExpectedRow = 1},
                      TMoveCase{.Name = "Last",
                                .IndexFieldNames = "",
                                .OrderBy = "CustNo",
                                .Move = [](TTable& T) { T.Last(); },
                                .ExpectedRow = 5},
                      TMoveCase{.Name = "LastThenFirst",
                                .IndexFieldNames = "",
                                .OrderBy = "CustNo",
                                .Move =
                                    [](TTable& T) {
                                        T.Last();
                                        T.First();
                                    },
                                .ExpectedRow = 1},
                      TMoveCase{.Name = "LocateFarAway",
                                .IndexFieldNames = "",
                                .OrderBy = "CustNo",
                                .Move =
                                    [](TTable& T) {
                                        ASSERT_TRUE(
                                            T.Locate("CustNo", TVariant(std::int64_t{1077}), {}));
                                    },
                                .ExpectedRow = 0},
                      TMoveCase{.Name = "SortedByName",
                                .IndexFieldNames = "Name",
                                .OrderBy = "Name, CustNo",
                                .Move = [](TTable& T) { T.MoveBy(10); },
                                .ExpectedRow = 5},
                      TMoveCase{.Name = "ResortKeepsTheCurrentRecord",
                                .IndexFieldNames = "",
                                .OrderBy = "City, Name, CustNo",
                                .Move =
                                    [](TTable& T) {
                                        T.MoveBy(20);
                                        T.SetIndexFieldNames("City;Name");
                                    },
                                .ExpectedRow = 0}),
    [](const auto& Info) { return std::string(Info.param.Name); });

// Bof and Eof of a table with a grid must be those of the same table without one: the
// grid's reading must not end an application's "while not Eof" loop early.
struct TFlagCase {
    const char* Name;
    std::function<void(TTable&)> Move;
    bool GridTallerThanTable = false;
};

class DBGridFlagTest : public DBGridTest, public ::testing::WithParamInterface<TFlagCase> {};

TEST_P(DBGridFlagTest, BofAndEofAreThoseOfATableWithoutGrid) {
    auto* Plain = new TTable(&Owner);
    Plain->SetDatabaseName(Database->Alias());
    Plain->SetTableName("customer");
    if (GetParam().GridTallerThanTable)
        Grid->SetHeight((Customers + 10) * 25);
    for (TTable* Each : {Table, Plain}) {
        Each->Open();
        GetParam().Move(*Each);
    }
    EXPECT_EQ(Table->Bof(), Plain->Bof());
    EXPECT_EQ(Table->Eof(), Plain->Eof());
    EXPECT_EQ(Table->FieldByName("CustNo")->AsString(), Plain->FieldByName("CustNo")->AsString());
}

INSTANTIATE_TEST_SUITE_P(Flags, DBGridFlagTest,
                         ::testing::Values(TFlagCase{.Name = "Open", .Move = [](TTable&) {}},
                                           TFlagCase{.Name = "Last",
                                                     .Move = [](TTable& T) { T.Last(); }},
                                           TFlagCase{.Name = "RereadOnTheLastRecordReachedByNext",
                                                     .Move =
                                                         [](TTable& T) {
                                                             T.Last();
                                                             T.MoveBy(-1);
                                                             T.Next();
                                                             T.Refresh();
                                                         }},
                                           TFlagCase{.Name = "RereadOnTheFirstRecordReachedByPrior",
                                                     .Move =
                                                         [](TTable& T) {
                                                             T.MoveBy(1);
                                                             T.Prior();
                                                             T.Refresh();
                                                         }},
                                           TFlagCase{.Name = "RereadOnTheFirstRecordOfAShortTable",
                                                     .Move =
                                                         [](TTable& T) {
                                                             T.MoveBy(1);
                                                             T.Prior();
                                                             T.Refresh();
                                                         },
                                                     .GridTallerThanTable = true},
                                           TFlagCase{.Name = "ResortInTheMiddle",
                                                     .Move =
                                                         [](TTable& T) {
                                                             T.MoveBy(30);
                                                             T.SetIndexFieldNames("Name");
                                                         }}),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(DBGridTest, AGridOnAQueryFollowsItsMoves) {
    auto* Query = new TQuery(&Owner);
    Query->SetDatabaseName(Database->Alias());
    Query->SQL()->SetText("SELECT CustNo, Name FROM customer ORDER BY Name DESC, CustNo DESC");
    Query->SetPageSize(7);
    Source->SetDataSet(Query);
    Query->Open();
    const std::vector<std::string> Order =
        Database->Column("SELECT CustNo FROM customer ORDER BY Name DESC, CustNo DESC");
    const std::vector<std::function<void()>> Moves = {
        [&] { Repeat(8, [&] { Query->Next(); }); }, [&] { Query->MoveBy(50); },
        [&] { Repeat(6, [&] { Query->Prior(); }); }, [&] { Query->Last(); },
        [&] { Query->First(); }};
    for (const auto& Move : Moves) {
        Move();
        ASSERT_EQ(Grid->Columns()->Count(), 2);
        const int ColCustNo = ColOf("CustNo");
        std::vector<std::string> Shown;
        for (int Record = 0; Record < Grid->RecordCount(); ++Record)
            Shown.push_back(Grid->CellText(ColCustNo, Grid->FixedRows() + Record));
        ASSERT_FALSE(Shown.empty());
        const auto First = std::find(Order.begin(), Order.end(), Shown.front());
        ASSERT_NE(First, Order.end());
        EXPECT_TRUE(std::equal(Shown.begin(), Shown.end(), First));
        EXPECT_EQ(Grid->CellText(ColCustNo, Grid->CurrentRecordRow()),
                  Query->FieldByName("CustNo")->AsString());
    }
}

TEST_F(DBGridTest, AScanWithAGridAttachedVisitsEveryRecord) {
    Table->Open();
    int Visited = 0;
    for (Table->First(); !Table->Eof(); Table->Next())
        ++Visited;
    EXPECT_EQ(Visited, Customers);
}

TEST_F(DBGridTest, ShapeWithFewRecordsNoRecordsAndAClosedDataSet) {
    Database->Execute("CREATE TABLE few (Id INTEGER PRIMARY KEY, Word TEXT);"
                      "INSERT INTO few (Word) VALUES ('one'), ('two'), ('three');"
                      "CREATE TABLE empty_table (Id INTEGER PRIMARY KEY, Word TEXT);");
    Table->SetTableName("few");
    Table->Open();
    Table->Last();
    EXPECT_EQ(Grid->RecordCount(), 3);
    EXPECT_EQ(Grid->RowCount(), 4);
    EXPECT_EQ(Shown("Word"), (std::vector<std::string>{"one", "two", "three"}));
    EXPECT_EQ(Grid->CurrentRecordRow(), 3);

    Table->Close();
    Table->SetTableName("empty_table");
    Table->Open();
    EXPECT_EQ(Grid->RecordCount(), 0);
    EXPECT_EQ(Grid->RowCount(), 2);
    EXPECT_EQ(Grid->CurrentRecordRow(), -1);
    EXPECT_EQ(Grid->CellText(ColOf("Word"), 1), "");
    EXPECT_EQ(Grid->CellText(ColOf("Word"), 0), "Word");

    Table->Close();
    EXPECT_EQ(Grid->RecordCount(), 0);
    EXPECT_EQ(Grid->Columns()->Count(), 0);
    EXPECT_EQ(Grid->ColCount(), 2); // the indicator and one empty column
    EXPECT_EQ(Grid->CellText(1, 1), "");
    EXPECT_THROW(Grid->CellText(2, 1), EListError);
}

TEST_F(DBGridTest, AHigherGridShowsMoreRecords) {
    Table->Open();
    Table->MoveBy(3);
    Grid->SetHeight(10 * 25);
    EXPECT_EQ(Grid->RecordCount(), 9);
    EXPECT_EQ(Shown("CustNo").front(), "1001");
    EXPECT_EQ(Grid->CellText(ColOf("CustNo"), Grid->CurrentRecordRow()), "1004");
}

struct TKeyCase {
    const char* Name;
    int Key;
    TShiftState Shift;
    int StartMove;
    const char* ExpectedCustNo;
};

class DBGridKeyTest : public DBGridTest, public ::testing::WithParamInterface<TKeyCase> {};

TEST_P(DBGridKeyTest, KeysMoveTheDataSet) {
    Table->Open();
    Table->MoveBy(GetParam().StartMove);
    ASSERT_TRUE(UserKeyDown(*Grid, GetParam().Key, GetParam().Shift));
    EXPECT_EQ(Table->FieldByName("CustNo")->AsString(), GetParam().ExpectedCustNo);
    EXPECT_EQ(Grid->CellText(ColOf("CustNo"), Grid->Row()), GetParam().ExpectedCustNo);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, DBGridKeyTest,
    ::testing::Values(
        TKeyCase{
            .Name = "Down", .Key = VK_DOWN, .Shift = {}, .StartMove = 0, .ExpectedCustNo = "1002"},
        TKeyCase{.Name = "UpAtTheFirst",
                 .Key = VK_UP,
                 .Shift = {},
                 .StartMove = 0,
                 .ExpectedCustNo = "1001"},
        TKeyCase{
            .Name = "Up", .Key = VK_UP, .Shift = {}, .StartMove = 10, .ExpectedCustNo = "1010"},
        TKeyCase{.Name = "PageDown",
                 .Key = VK_NEXT,
                 .Shift = {},
                 .StartMove = 2,
                 .ExpectedCustNo = "1008"},
        TKeyCase{.Name = "PageUp",
                 .Key = VK_PRIOR,
                 .Shift = {},
                 .StartMove = 20,
                 .ExpectedCustNo = "1016"},
        TKeyCase{.Name = "CtrlEnd",
                 .Key = VK_END,
                 .Shift = {ssCtrl},
                 .StartMove = 0,
                 .ExpectedCustNo = "1120"},
        TKeyCase{.Name = "CtrlHome",
                 .Key = VK_HOME,
                 .Shift = {ssCtrl},
                 .StartMove = 30,
                 .ExpectedCustNo = "1001"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(DBGridTest, OnKeyDownCanSwallowAMove) {
    Table->Open();
    Grid->OnKeyDown = [](TObject*, int& Key, TShiftState) { Key = 0; };
    ASSERT_TRUE(UserKeyDown(*Grid, VK_DOWN));
    EXPECT_EQ(Table->FieldByName("CustNo")->AsString(), "1001");
}

TEST_F(DBGridTest, PressingARecordMakesItCurrent) {
    Table->Open();
    const TRect Cell = Grid->CellRect(ColOf("Name"), 4);
    ASSERT_TRUE(UserMouseDown(*Grid, mbLeft, {}, Cell.Left + 2, Cell.Top + 2));
    EXPECT_EQ(Table->FieldByName("CustNo")->AsString(), "1004");
    EXPECT_EQ(Grid->Row(), 4);
}

class DBGridTitleClickTest : public DBGridTest {
protected:
    DBGridTitleClickTest() {
        // Wide enough to show every title.
        Grid->SetWidth(3000);
        Table->Open();
        Grid->OnTitleClick = [this](TColumn* Column) {
            Clicked.push_back(Column);
            CtrlWasDown.push_back((GetKeyState(VK_CONTROL) & 0x8000) != 0);
        };
    }

    TColumn* Column(const std::string& FieldName) const {
        return Grid->Columns()->FindColumn(FieldName);
    }
    TRect TitleRect(const std::string& FieldName) const {
        return Grid->CellRect(ColOf(FieldName), 0);
    }

    std::vector<TColumn*> Clicked;
    std::vector<bool> CtrlWasDown;
};

TEST_F(DBGridTitleClickTest, AClickOnATitleHandsOverItsColumnWithTheModifiers) {
    EXPECT_TRUE(UserClickTitle(*Grid, *Column("City")));
    EXPECT_TRUE(UserClickTitle(*Grid, *Column("Name"), {ssCtrl}));
    EXPECT_EQ(Clicked, (std::vector<TColumn*>{Column("City"), Column("Name")}));
    EXPECT_EQ(CtrlWasDown, (std::vector<bool>{false, true}));
}

TEST_F(DBGridTitleClickTest, OnlyAPressAndReleaseOnOneTitleIsAClick) {
    const TRect Name = TitleRect("Name");
    const TRect City = TitleRect("City");
    const TRect Record = Grid->CellRect(ColOf("Name"), 2);
    // Pressed on one title, released on another.
    UserMouseDown(*Grid, mbLeft, {}, Name.Left + 1, Name.Top + 1);
    UserMouseUp(*Grid, mbLeft, {}, City.Left + 1, City.Top + 1);
    // Pressed on a record, released on a title.
    UserMouseDown(*Grid, mbLeft, {}, Record.Left + 1, Record.Top + 1);
    UserMouseUp(*Grid, mbLeft, {}, Name.Left + 1, Name.Top + 1);
    // The right button.
    UserMouseDown(*Grid, mbRight, {}, Name.Left + 1, Name.Top + 1);
    UserMouseUp(*Grid, mbRight, {}, Name.Left + 1, Name.Top + 1);
    // The indicator's title.
    UserMouseDown(*Grid, mbLeft, {}, 2, 2);
    UserMouseUp(*Grid, mbLeft, {}, 2, 2);
    EXPECT_TRUE(Clicked.empty());
}

TEST_F(DBGridTitleClickTest, AnErrorInTheHandlerGoesToTheApplicationHandler) {
    std::vector<std::string> Errors;
    const TApplicationErrorHandler Previous = SetApplicationErrorHandler(
        [&](const std::exception& Error) { Errors.push_back(Error.what()); });
    Grid->OnTitleClick = [](TColumn*) { throw Exception("sorting failed"); };
    EXPECT_FALSE(UserClickTitle(*Grid, *Column("Name")));
    SetApplicationErrorHandler(Previous);
    EXPECT_EQ(Errors, (std::vector<std::string>{"sorting failed"}));
}

TEST_F(DBGridTitleClickTest, AHiddenColumnOrAGridWithoutTitlesCannotBeClicked) {
    Column("City")->SetVisible(false);
    EXPECT_FALSE(UserClickTitle(*Grid, *Column("City")));
    Grid->SetOptions(Grid->Options() - TDBGridOptions{dgTitles});
    EXPECT_FALSE(UserClickTitle(*Grid, *Column("Name")));
    EXPECT_TRUE(Clicked.empty());
    // Without titles the first row shows a record.
    EXPECT_EQ(Grid->CellText(ColOf("CustNo"), 0), "1001");
}

// Receives the removal notices of its owner's components.
class TRemovalWatcher : public TComponent {
public:
    using TComponent::TComponent;
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        if (Operation == opRemove && AComponent == Watched) {
            SawCustomDBGrid = dynamic_cast<TCustomDBGrid*>(AComponent) != nullptr;
            SawDBGrid = dynamic_cast<TDBGrid*>(AComponent) != nullptr;
            SawDestroying = AComponent->ComponentState().Contains(csDestroying);
        }
    }
    TComponent* Watched = nullptr;
    bool SawCustomDBGrid = false;
    bool SawDBGrid = false;
    bool SawDestroying = false;
};

TEST_F(DBGridTest, TheOwnersComponentsAreToldOfAFreedGridWhileItIsStillAGrid) {
    auto* Watcher = new TRemovalWatcher(&Owner);
    Watcher->Watched = Grid;
    Table->Open();
    delete Grid;
    EXPECT_TRUE(Watcher->SawCustomDBGrid);
    EXPECT_TRUE(Watcher->SawDBGrid);
    EXPECT_TRUE(Watcher->SawDestroying);
    EXPECT_EQ(Owner.ComponentCount(), 3);
    // The dataset keeps working without the grid's link.
    Table->Next();
    EXPECT_EQ(Table->FieldByName("CustNo")->AsString(), "1002");
}

TEST_F(DBGridTest, AFreedDataSourceIsDropped) {
    Table->Open();
    delete Source;
    EXPECT_EQ(Grid->DataSource(), nullptr);
    EXPECT_EQ(Grid->RecordCount(), 0);
    EXPECT_EQ(Grid->CellText(1, 1), "");
    Table->Next();
}

TEST_F(DBGridTest, TwoGridsOnOneDataSourceBothFollowIt) {
    auto* Second = new TDBGrid(&Owner);
    Second->SetBounds(0, 0, 400, 4 * 25);
    Second->SetDataSource(Source);
    Table->Open();
    Table->MoveBy(40);
    Table->SetIndexFieldNames("Name");
    const std::string Current = Table->FieldByName("CustNo")->AsString();
    EXPECT_EQ(Grid->CellText(ColOf("CustNo"), Grid->CurrentRecordRow()), Current);
    const int SecondCol = Second->ColumnToGridCol(Second->Columns()->FindColumn("CustNo"));
    EXPECT_EQ(Second->CellText(SecondCol, Second->CurrentRecordRow()), Current);
    EXPECT_EQ(Second->RecordCount(), 3);
}

} // namespace
} // namespace vorn::dbgridtest
