#include "BackendFixture.h"
#include "RecordingConnection.h"

#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/grid/DBGrid.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

using namespace vorn;
using vorn::test::BackendCaseTest;
using vorn::test::BackendCaseTestName;
using vorn::test::BackendTest;
using vorn::test::BackendTestName;
using vorn::test::ReadingBackends;
using vorn::test::TRecordedStatement;
using vorn::test::TRecordingConnection;

namespace {

constexpr int ItemCount = 30;
constexpr int GridRecords = 5;

// Counts what a link beside the grid is told.
class TCountingLink : public TDataLink {
public:
    int Changes = 0;
    int Scrolls = 0;

    void DataSetChanged() override { ++Changes; }
    void DataSetScrolled(int) override { ++Scrolls; }
};

// The items 1..30: "Name" runs backwards (ordering by it reverses the items), "Grp"
// cycles through 1, 2, 3; "Twice" is a calculated field. Pages of 4 rows make every
// grid read cross the edge of what the dataset holds.
class GridWindowFixture {
protected:
    void CreateItems(vorn::test::TBackendDatabase& Database) {
        Database.Execute("CREATE TABLE \"Items\" (\"ID\" INTEGER PRIMARY KEY, "
                         "\"Name\" VARCHAR(20), \"Grp\" INTEGER)");
        Database.Execute("CREATE INDEX \"ItemsName\" ON \"Items\" (\"Name\")");
        Database.Execute("CREATE INDEX \"ItemsGrp\" ON \"Items\" (\"Grp\")");
        Database.Execute("CREATE TABLE \"Groups\" (\"ID\" INTEGER PRIMARY KEY)");
        for (int Id = 1; Id <= ItemCount; ++Id)
            Database.Execute("INSERT INTO \"Items\" VALUES (?1, ?2, ?3)",
                             {Id, TVariant("N" + std::to_string(100 - Id)), (Id - 1) % 3 + 1});
        for (int Group = 1; Group <= 3; ++Group)
            Database.Execute("INSERT INTO \"Groups\" VALUES (?1)", {Group});
        Groups->SetDatabaseName(Database.Alias());
        Groups->SetTableName("Groups");
        GroupSource->SetDataSet(Groups);
        Items->SetDatabaseName(Database.Alias());
        Items->SetTableName("Items");
        Items->SetPageSize(4);
        Query->SetDatabaseName(Database.Alias());
        Query->SQL()->SetText("SELECT ID, Name, Grp FROM Items ORDER BY ID");
        Query->SetPageSize(4);
        for (TDataSet* DataSet : {static_cast<TDataSet*>(Items), static_cast<TDataSet*>(Query)}) {
            TField* Twice = DataSet->AddCalculatedField("Twice", ftInteger);
            DataSet->OnCalcFields = [Twice](TDataSet* Calculated) {
                Twice->SetAsInteger(Calculated->FieldByName("ID")->AsInteger() * 2);
            };
            DataSet->AfterScroll = [this](TDataSet*) { ++AfterScrolls; };
        }
        Grid->SetBounds(0, 0, 400, (GridRecords + 1) * 25);
    }

    // Links the grid and the counting link to DataSet, opens it and clears the counts.
    void Show(TDataSet& DataSet) {
        Source->SetDataSet(&DataSet);
        Grid->SetDataSource(Source);
        Link.SetDataSource(Source);
        DataSet.Open();
        ResetCounts();
    }

    void ResetCounts() {
        AfterScrolls = 0;
        Link.Changes = 0;
        Link.Scrolls = 0;
    }

    void ResizeGrid(int Records) { Grid->SetHeight((Records + 1) * 25); }

    // The shown records' values of a field, top to bottom.
    std::vector<int> Shown(const std::string& FieldName) const {
        const int Col = Grid->ColumnToGridCol(Grid->Columns()->FindColumn(FieldName));
        std::vector<int> Values;
        for (int Record = 0; Record < Grid->RecordCount(); ++Record)
            Values.push_back(std::stoi(Grid->CellText(Col, Grid->FixedRows() + Record)));
        return Values;
    }

    TComponent Owner{nullptr};
    TTable* Groups = new TTable(&Owner);
    TDataSource* GroupSource = new TDataSource(&Owner);
    TTable* Items = new TTable(&Owner);
    TQuery* Query = new TQuery(&Owner);
    TDataSource* Source = new TDataSource(&Owner);
    TDBGrid* Grid = new TDBGrid(&Owner);
    TCountingLink Link;
    int AfterScrolls = 0;
};

enum TGridWindowDataSet { gwTable, gwDetail, gwQuery };

struct TGridWindowCase {
    const char* Name;
    TGridWindowDataSet DataSet;
    // Moves the dataset before the counting starts.
    int MoveBy;
    bool FromLast;
    // What makes the grid read again while counted.
    enum { aResize, aRefresh, aFilter, aResort, aMasterMove } Action;
    int RecordsAfterResize;
    int ExpectedChanges; // DataSetChanged that the action itself sends to every link
    std::vector<int> ExpectedIds;
    int ExpectedCurrentId;
};

void PrintTo(const TGridWindowCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class GridWindowTest : public BackendCaseTest<TGridWindowCase>, protected GridWindowFixture {
protected:
    void SetUp() override {
        BackendCaseTest::SetUp();
        CreateItems(*Database);
    }
};

// The grid reads its records without moving the dataset: no AfterScroll, no scroll and
// no extra DataSetChanged reach the other links, the current record and its Bof and Eof
// stay, and the grid shows the right records around it.
TEST_P(GridWindowTest, ReadingTheShownRecordsMovesNothing) {
    const TGridWindowCase& C = Case();
    TDataSet* DataSet = C.DataSet == gwQuery ? static_cast<TDataSet*>(Query) : Items;
    if (C.DataSet == gwDetail) {
        Groups->Open();
        Items->SetIndexFieldNames("Grp");
        Items->SetMasterFields("ID");
        Items->SetMasterSource(GroupSource);
    }
    if (C.Action == TGridWindowCase::aFilter)
        Items->SetFilter("Grp = 3");
    Show(*DataSet);
    if (C.FromLast)
        DataSet->Last();
    DataSet->MoveBy(C.MoveBy);
    ResetCounts();
    const bool WasBof = DataSet->Bof();
    const bool WasEof = DataSet->Eof();

    switch (C.Action) {
    case TGridWindowCase::aResize:
        ResizeGrid(C.RecordsAfterResize);
        break;
    case TGridWindowCase::aRefresh:
        DataSet->Refresh();
        break;
    case TGridWindowCase::aFilter:
        Items->SetFiltered(true);
        break;
    case TGridWindowCase::aResort:
        Items->SetIndexFieldNames("Name");
        break;
    case TGridWindowCase::aMasterMove:
        Groups->Next();
        break;
    }

    EXPECT_EQ(AfterScrolls, 0);
    EXPECT_EQ(Link.Scrolls, 0);
    EXPECT_EQ(Link.Changes, C.ExpectedChanges);
    EXPECT_EQ(Shown("ID"), C.ExpectedIds);
    std::vector<int> Twice;
    for (int Id : C.ExpectedIds)
        Twice.push_back(Id * 2);
    EXPECT_EQ(Shown("Twice"), Twice);
    EXPECT_EQ(DataSet->FieldByName("ID")->AsInteger(), C.ExpectedCurrentId);
    EXPECT_EQ(DataSet->FieldByName("Twice")->AsInteger(), C.ExpectedCurrentId * 2);
    EXPECT_EQ(Grid->CurrentRecordRow() - Grid->FixedRows(),
              std::find(C.ExpectedIds.begin(), C.ExpectedIds.end(), C.ExpectedCurrentId) -
                  C.ExpectedIds.begin());
    if (C.Action == TGridWindowCase::aResize) {
        EXPECT_EQ(DataSet->Bof(), WasBof);
        EXPECT_EQ(DataSet->Eof(), WasEof);
    }
}

const TGridWindowCase GridWindowCases[] = {
    {.Name = "Start",
     .DataSet = gwTable,
     .MoveBy = 0,
     .FromLast = false,
     .Action = TGridWindowCase::aResize,
     .RecordsAfterResize = 7,
     .ExpectedChanges = 0,
     .ExpectedIds = {1, 2, 3, 4, 5, 6, 7},
     .ExpectedCurrentId = 1},
    {.Name = "Middle",
     .DataSet = gwTable,
     .MoveBy = 14,
     .FromLast = false,
     .Action = TGridWindowCase::aRefresh,
     .RecordsAfterResize = 0,
     .ExpectedChanges = 1,
     .ExpectedIds = {11, 12, 13, 14, 15},
     .ExpectedCurrentId = 15},
    {.Name = "End",
     .DataSet = gwTable,
     .MoveBy = 0,
     .FromLast = true,
     .Action = TGridWindowCase::aResize,
     .RecordsAfterResize = 7,
     .ExpectedChanges = 0,
     .ExpectedIds = {24, 25, 26, 27, 28, 29, 30},
     .ExpectedCurrentId = 30},
    {.Name = "NearEndFilledFromBefore",
     .DataSet = gwTable,
     .MoveBy = 27,
     .FromLast = false,
     .Action = TGridWindowCase::aResize,
     .RecordsAfterResize = 9,
     .ExpectedChanges = 0,
     .ExpectedIds = {22, 23, 24, 25, 26, 27, 28, 29, 30},
     .ExpectedCurrentId = 28},
    {.Name = "Filter",
     .DataSet = gwTable,
     .MoveBy = 0,
     .FromLast = false,
     .Action = TGridWindowCase::aFilter,
     .RecordsAfterResize = 0,
     .ExpectedChanges = 1,
     .ExpectedIds = {3, 6, 9, 12, 15},
     .ExpectedCurrentId = 3},
    {.Name = "Resort",
     .DataSet = gwTable,
     .MoveBy = 14,
     .FromLast = false,
     .Action = TGridWindowCase::aResort,
     .RecordsAfterResize = 0,
     .ExpectedChanges = 1,
     .ExpectedIds = {19, 18, 17, 16, 15},
     .ExpectedCurrentId = 15},
    {.Name = "MasterDetail",
     .DataSet = gwDetail,
     .MoveBy = 0,
     .FromLast = false,
     .Action = TGridWindowCase::aMasterMove,
     .RecordsAfterResize = 0,
     .ExpectedChanges = 1,
     .ExpectedIds = {2, 5, 8, 11, 14},
     .ExpectedCurrentId = 2},
    {.Name = "QueryRowsLeftTheCache",
     .DataSet = gwQuery,
     .MoveBy = 24,
     .FromLast = false,
     .Action = TGridWindowCase::aResize,
     .RecordsAfterResize = 20,
     .ExpectedChanges = 0,
     .ExpectedIds = {11, 12, 13, 14, 15, 16, 17, 18, 19, 20,
                     21, 22, 23, 24, 25, 26, 27, 28, 29, 30},
     .ExpectedCurrentId = 25},
    {.Name = "QueryEnd",
     .DataSet = gwQuery,
     .MoveBy = 0,
     .FromLast = true,
     .Action = TGridWindowCase::aResize,
     .RecordsAfterResize = 7,
     .ExpectedChanges = 0,
     .ExpectedIds = {24, 25, 26, 27, 28, 29, 30},
     .ExpectedCurrentId = 30},
};

INSTANTIATE_TEST_SUITE_P(Cases, GridWindowTest,
                         ::testing::Combine(::testing::ValuesIn(ReadingBackends()),
                                            ::testing::ValuesIn(GridWindowCases)),
                         BackendCaseTestName<TGridWindowCase>);

class GridRefreshTest : public BackendTest, protected GridWindowFixture {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        CreateItems(*Database);
    }
};

// A row written by someone else shows in the grid after a Refresh: on a standby too,
// once it has replayed the row (the test database waits for that).
TEST_P(GridRefreshTest, ARowWrittenElsewhereShowsAfterARefresh) {
    for (TDataSet* DataSet : {static_cast<TDataSet*>(Items), static_cast<TDataSet*>(Query)}) {
        SCOPED_TRACE(DataSet == Items ? "table" : "query");
        Database->Execute("DELETE FROM \"Items\" WHERE \"ID\" = 3");
        Show(*DataSet);
        ASSERT_EQ(Shown("ID"), (std::vector<int>{1, 2, 4, 5, 6}));
        Database->Execute("INSERT INTO \"Items\" VALUES (3, 'N97', 3)");
        DataSet->Refresh();
        EXPECT_EQ(Shown("ID"), (std::vector<int>{1, 2, 3, 4, 5}));
        EXPECT_EQ(Shown("Twice"), (std::vector<int>{2, 4, 6, 8, 10}));
        DataSet->Close();
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, GridRefreshTest, ::testing::ValuesIn(ReadingBackends()),
                         BackendTestName);

class RecordWindowTest : public BackendTest, protected GridWindowFixture {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        CreateItems(*Database);
    }

    static std::vector<int> Ids(const TRecordWindow& Window) {
        std::vector<int> Result;
        for (const auto& Values : Window.Values)
            Result.push_back(static_cast<int>(Values.front().AsInteger()));
        return Result;
    }
};

// The window is cut short at either end of the dataset, its bookmarks lead to its
// records, and bad requests raise instead of returning something.
TEST_P(RecordWindowTest, WindowsAtTheEdgesAndTheirBookmarks) {
    for (TDataSet* DataSet : {static_cast<TDataSet*>(Items), static_cast<TDataSet*>(Query)}) {
        SCOPED_TRACE(DataSet->ClassName());
        EXPECT_THROW(DataSet->ReadRecordWindow(1, 1), EDatabaseError);
        DataSet->Open();
        EXPECT_THROW(DataSet->ReadRecordWindow(-1, 1), EDatabaseError);

        const TRecordWindow AtStart = DataSet->ReadRecordWindow(3, 2);
        EXPECT_EQ(Ids(AtStart), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(AtStart.Current, 0);
        DataSet->MoveBy(27);
        const TRecordWindow NearEnd = DataSet->ReadRecordWindow(9, 9);
        EXPECT_EQ(Ids(NearEnd), (std::vector<int>{19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30}));
        EXPECT_EQ(NearEnd.Current, 9);
        EXPECT_EQ(DataSet->FieldByName("ID")->AsInteger(), 28);

        DataSet->SetBookmark(NearEnd.Bookmarks[2]);
        EXPECT_EQ(DataSet->FieldByName("ID")->AsInteger(), 21);
        DataSet->Close();
    }
}

TEST_P(RecordWindowTest, AnEmptyDataSetHasAnEmptyWindow) {
    Items->SetFilter("ID > 100");
    Items->SetFiltered(true);
    Items->Open();

    const TRecordWindow Window = Items->ReadRecordWindow(5, 5);

    EXPECT_EQ(Window.Count(), 0);
    EXPECT_EQ(Window.Current, -1);
}

// A failing OnCalcFields for another record lets its error through and leaves the
// current record's calculated values as they were.
TEST_P(RecordWindowTest, AFailingCalculationKeepsTheCurrentRecordsValues) {
    Items->Open();
    Items->MoveBy(4);
    ASSERT_EQ(Items->FieldByName("Twice")->AsInteger(), 10);
    Items->OnCalcFields = [](TDataSet* DataSet) {
        if (DataSet->FieldByName("ID")->AsInteger() != 5)
            throw EDatabaseError("cannot calculate");
        DataSet->FieldByName("Twice")->SetAsInteger(-1);
    };

    EXPECT_THROW(Items->ReadRecordWindow(1, 1), EDatabaseError);

    EXPECT_EQ(Items->FieldByName("Twice")->AsInteger(), 10);
    EXPECT_EQ(Items->FieldByName("ID")->AsInteger(), 5);
}

// The number that ends a statement's LIMIT clause.
int TrailingLimit(const std::string& Sql) {
    const std::size_t Limit = Sql.rfind(" LIMIT ");
    return Limit == std::string::npos ? 0 : std::stoi(Sql.substr(Limit + 7));
}

// A jump keeps the current record on its row: the grid reads the records that the rows
// above and below show, no more; where the dataset ends above, the rows below fill in.
TEST_P(RecordWindowTest, AJumpReadsTheRecordsThatTheRowsShow) {
    std::vector<TRecordedStatement> Log;
    const std::string Alias = Database->Alias() + "Logged";
    RegisterDatabase(
        Alias, [&] { return std::make_unique<TRecordingConnection>(Database->Connection(), Log); });
    Items->SetDatabaseName(Alias);
    Show(*Items);
    Items->MoveBy(2);
    ASSERT_EQ(Grid->CurrentRecordRow() - Grid->FixedRows(), 2);
    Log.clear();

    ASSERT_TRUE(Items->Locate("ID", TVariant(20), {}));
    EXPECT_EQ(Shown("ID"), (std::vector<int>{18, 19, 20, 21, 22}));
    int RowsAsked = 0;
    for (const TRecordedStatement& Statement : Log)
        RowsAsked += TrailingLimit(Statement.Sql);
    EXPECT_EQ(RowsAsked, GridRecords) << "the located record and two on each side";

    ASSERT_TRUE(Items->Locate("ID", TVariant(2), {}));
    EXPECT_EQ(Shown("ID"), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_EQ(Grid->CurrentRecordRow() - Grid->FixedRows(), 1);
    Items->Close();
    UnregisterDatabase(Alias);
}

// The estimate comes from the database's bookkeeping: SQLite's row id span before
// ANALYZE, the statistics of both databases after it; PostgreSQL has none for a table it
// has not analysed yet.
TEST_P(RecordWindowTest, TheDatabaseEstimatesATablesRowsWithoutCountingThem) {
    TTableStatistics* Statistics = Database->Connection().TableStatistics();
    ASSERT_NE(Statistics, nullptr);
    // InnoDB keeps an estimate from the start, refreshed in the background: near the count.
    const auto ExpectNear = [&](const char* Table, std::int64_t Count) {
        const std::optional<std::int64_t> Estimate = Statistics->EstimatedRowCount(Table);
        ASSERT_TRUE(Estimate.has_value()) << Table;
        EXPECT_GT(*Estimate, 0) << Table;
        EXPECT_LE(*Estimate, 2 * Count) << Table;
    };
    if (Database->IsMariaDB())
        ExpectNear("Items", ItemCount);
    else
        EXPECT_EQ(Statistics->EstimatedRowCount("Items"),
                  Database->IsSQLite() ? std::optional<std::int64_t>(ItemCount) : std::nullopt);
    Database->Execute("DELETE FROM \"Items\" WHERE \"ID\" > 20");
    Database->Execute("ANALYZE \"Items\"");
    EXPECT_EQ(Statistics->EstimatedRowCount("Items"), 20);
    if (Database->IsMariaDB())
        ExpectNear("Groups", 3);
    else
        EXPECT_EQ(Statistics->EstimatedRowCount("Groups"),
                  Database->IsSQLite() ? std::optional<std::int64_t>(3) : std::nullopt);
    EXPECT_THROW(Statistics->EstimatedRowCount("NoSuchTable"), EDatabaseError);
}

// Positions count the rows before the current one in the order in force; a fraction
// jumps to the record that many rows in. A restricted table or a query has neither.
TEST_P(RecordWindowTest, PositionsAndFractionJumpsFollowTheOrder) {
    Database->Execute("ANALYZE \"Items\"");
    Items->Open();
    Items->MoveBy(13);
    const auto Position = Items->EstimatedRecordPosition();
    ASSERT_TRUE(Position);
    EXPECT_EQ(Position->Before, 13);
    EXPECT_EQ(Position->Count, ItemCount);

    ASSERT_TRUE(Items->MoveToFraction(0.5));
    EXPECT_EQ(Items->FieldByName("ID")->AsInteger(), 16);
    EXPECT_EQ(Items->EstimatedRecordPosition()->Before, 15);
    Items->MoveBy(-3);
    EXPECT_EQ(Items->EstimatedRecordPosition()->Before, 12);
    ASSERT_TRUE(Items->MoveToFraction(1.0));
    EXPECT_EQ(Items->FieldByName("ID")->AsInteger(), ItemCount);
    Items->Next();
    EXPECT_TRUE(Items->Eof());

    // A place inside a run of equal values lands on the first record of the run.
    Items->SetIndexFieldNames("Grp");
    ASSERT_TRUE(Items->MoveToFraction(0.5));
    EXPECT_EQ(Items->FieldByName("ID")->AsInteger(), 2);
    Items->Prior();
    EXPECT_EQ(Items->FieldByName("Grp")->AsInteger(), 1);

    Items->SetIndexFieldNames("Name");
    ASSERT_TRUE(Items->MoveToFraction(0.0));
    EXPECT_EQ(Items->FieldByName("ID")->AsInteger(), ItemCount);
    Items->MoveBy(9);
    EXPECT_EQ(Items->EstimatedRecordPosition()->Before, 9);
    // The place a jump reaches is known once counted; steps from it need no count.
    ASSERT_TRUE(Items->Locate("ID", TVariant(20), {}));
    EXPECT_FALSE(Items->EstimatedRecordPosition(false));
    EXPECT_EQ(Items->EstimatedRecordPosition()->Before, 10);
    Items->Next();
    EXPECT_EQ(Items->EstimatedRecordPosition(false)->Before, 11);

    Items->SetFilter("Grp = 1");
    Items->SetFiltered(true);
    EXPECT_FALSE(Items->EstimatedRecordPosition());
    const auto Id = Items->FieldByName("ID")->AsInteger();
    EXPECT_FALSE(Items->MoveToFraction(0.5));
    EXPECT_EQ(Items->FieldByName("ID")->AsInteger(), Id);
    Query->Open();
    EXPECT_FALSE(Query->EstimatedRecordPosition());
    EXPECT_FALSE(Query->MoveToFraction(0.5));
}

INSTANTIATE_TEST_SUITE_P(Backends, RecordWindowTest, ::testing::ValuesIn(ReadingBackends()),
                         BackendTestName);

} // namespace
