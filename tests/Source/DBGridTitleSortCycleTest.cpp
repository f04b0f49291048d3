#include "DBGridTitleSortTest.h"

#include "host/data/dataset/IndexDefs.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/SortFields.h"
#include "tests/Source/TestTables.h"

#include <array>

namespace vorn::titlesorttest {
namespace {

// The shared test tables of both databases.
using namespace testtables;
using Names = std::vector<std::string>;

// The result of a click that changes nothing and reports nothing.
constexpr const char* Refused = nullptr;

const std::vector<int> Ctrl{VK_CONTROL};

// The title sorter on the shared customer and orders tables of each backend.
class TitleSortCycleTest : public TitleSortTest {
protected:
    static void TearDownTestSuite() {
        for (auto& Database : Databases)
            Database.reset();
    }

    static const TTestDatabase& CustomerOrders(TTestBackend Backend) {
        auto& Database = Databases[static_cast<std::size_t>(Backend)];
        if (!Database)
            Database = CreateCustomerOrders(Backend);
        return *Database;
    }

    // The orders of the current customer, restricted through a master table on customer.
    TTable* OpenDetail(TTestBackend Backend, const std::string& StartOrder) {
        const TTestDatabase& Database = CustomerOrders(Backend);
        TDataSource* MasterSource = SourceFor(CreateTable(*Form, Database, "customer", ""));
        TTable* Detail = CreateTable(*Form, Database, "orders", StartOrder, false);
        Detail->SetMasterSource(MasterSource);
        Detail->SetMasterFields("CustNo");
        Detail->Open();
        return Detail;
    }

    // "Name" for an ascending mark, "Name:D" for a descending one, and " 2/3" after it in
    // an order of several columns; unmarked columns are left out.
    static Names Marks(const TDBGrid& Grid) {
        Names Result;
        for (int Index = 0; Index < Grid.Columns()->Count(); ++Index) {
            const TColumn& Column = *Grid.Columns()->Items(Index);
            const TTitleSortMark& Mark = Column.Title()->SortMark();
            if (Mark.Direction == tsdNone)
                continue;
            std::string Text = SortFieldText({Column.FieldName(), Mark.Direction == tsdDescending});
            if (Mark.Count != 1 || Mark.Priority != 1)
                Text += " " + std::to_string(Mark.Priority) + "/" + std::to_string(Mark.Count);
            Result.push_back(Text);
        }
        return Result;
    }

    static std::array<std::unique_ptr<TTestDatabase>, testtables::BackendCount> Databases;
};

std::array<std::unique_ptr<TTestDatabase>, testtables::BackendCount> TitleSortCycleTest::Databases;

// ---------------------------------------------------------------- click sequences on tables

struct TCycleClick {
    const char* Field;
    std::vector<int> Keys;
    const char* Result; // Execute's result, what OnSort is told and the table's order after
};

struct TCycleCase {
    const char* Title;
    TTestBackend Backend = tbPostgreSQL;
    bool Detail = false; // orders of a customer, else the customer table
    TDBGridSortCycle Cycle = scAscending;
    bool UnSort = true;
    bool StrictLocalIndexing = false;
    bool StrictServerIndexing = false;
    const char* StartOrder = "";
    std::vector<TCycleClick> Clicks;
};

// The customer table's indexes: City, City;Name, Company;City, Name and the key CustNo.
// The local database orders by indexes only, so its orders are those an index serves,
// read either way.
const std::vector<TCycleCase> CycleCases = {
    {.Title = "DefaultCycleTreatsADescendingFieldSetByCodeAsSorted",
     .StartOrder = "City:D",
     .Clicks = {{.Field = "City", .Keys = {}, .Result = ""},
                {.Field = "City", .Keys = {}, .Result = "City"},
                {.Field = "Name", .Keys = Ctrl, .Result = "City;Name"},
                {.Field = "Name", .Keys = Ctrl, .Result = "City"}}},
    {.Title = "DefaultCycleRemovesADescendingItemOnACtrlClick",
     .UnSort = false,
     .StartOrder = "City:D;Name",
     .Clicks = {{.Field = "City", .Keys = Ctrl, .Result = "Name"},
                {.Field = "Name", .Keys = {}, .Result = "Name"}}},
    {.Title = "AscendingDescendingPlainClicks",
     .Cycle = scAscendingDescending,
     .Clicks = {{.Field = "City", .Keys = {}, .Result = "City"},
                {.Field = "City", .Keys = {}, .Result = "City:D"},
                {.Field = "City", .Keys = {}, .Result = ""},
                {.Field = "City", .Keys = {}, .Result = "City"},
                {.Field = "Name", .Keys = {}, .Result = "Name"},
                {.Field = "CustNo", .Keys = {}, .Result = "CustNo"}}},
    {.Title = "AscendingDescendingWithoutUnSortToggles",
     .Cycle = scAscendingDescending,
     .UnSort = false,
     .Clicks = {{.Field = "City", .Keys = {}, .Result = "City"},
                {.Field = "City", .Keys = {}, .Result = "City:D"},
                {.Field = "City", .Keys = {}, .Result = "City"},
                {.Field = "City", .Keys = {}, .Result = "City:D"}}},
    {.Title = "AscendingDescendingCtrlClicksTurnThenRemove",
     .Cycle = scAscendingDescending,
     .StartOrder = "City",
     .Clicks = {{.Field = "Name", .Keys = Ctrl, .Result = "City;Name"},
                {.Field = "Name", .Keys = Ctrl, .Result = "City;Name:D"},
                {.Field = "City", .Keys = Ctrl, .Result = "City:D;Name:D"},
                {.Field = "Name", .Keys = Ctrl, .Result = "City:D"},
                {.Field = "City", .Keys = Ctrl, .Result = ""},
                // The default order is the key's.
                {.Field = "City", .Keys = Ctrl, .Result = "CustNo;City"}}},
    // A plain click on a field of an order of several starts that field's cycle over.
    {.Title = "AscendingDescendingPlainClickInAnOrderOfSeveral",
     .Cycle = scAscendingDescending,
     .StartOrder = "City:D;Name",
     .Clicks = {{.Field = "City", .Keys = {}, .Result = "City"}}},
    {.Title = "NumbersStartDescending",
     .Cycle = scDescendingFirstForNumbersAndDates,
     .Clicks = {{.Field = "CustNo", .Keys = {}, .Result = "CustNo:D"},
                {.Field = "CustNo", .Keys = {}, .Result = "CustNo"},
                {.Field = "CustNo", .Keys = {}, .Result = ""},
                {.Field = "City", .Keys = {}, .Result = "City"},
                {.Field = "City", .Keys = {}, .Result = "City:D"},
                {.Field = "City", .Keys = {}, .Result = ""}}},
    {.Title = "NumbersWithoutUnSortToggle",
     .Cycle = scDescendingFirstForNumbersAndDates,
     .UnSort = false,
     .Clicks = {{.Field = "CustNo", .Keys = {}, .Result = "CustNo:D"},
                {.Field = "CustNo", .Keys = {}, .Result = "CustNo"},
                {.Field = "CustNo", .Keys = {}, .Result = "CustNo:D"}}},
    {.Title = "NumbersCtrlClicks",
     .Cycle = scDescendingFirstForNumbersAndDates,
     .StartOrder = "City",
     .Clicks = {{.Field = "CustNo", .Keys = Ctrl, .Result = "City;CustNo:D"},
                {.Field = "CustNo", .Keys = Ctrl, .Result = "City;CustNo"},
                {.Field = "CustNo", .Keys = Ctrl, .Result = "City"},
                {.Field = "City", .Keys = Ctrl, .Result = "City:D"},
                {.Field = "City", .Keys = Ctrl, .Result = ""}}},
    {.Title = "DetailKeepsItsMasterFieldInFront",
     .Detail = true,
     .Cycle = scAscendingDescending,
     .StartOrder = "CustNo",
     .Clicks = {{.Field = "OrderDate", .Keys = {}, .Result = "CustNo;OrderDate"},
                {.Field = "OrderDate", .Keys = {}, .Result = "CustNo;OrderDate:D"},
                {.Field = "CustNo", .Keys = Ctrl, .Result = "CustNo;OrderDate:D"},
                {.Field = "Amount", .Keys = Ctrl, .Result = "CustNo;OrderDate:D;Amount"},
                {.Field = "OrderDate", .Keys = Ctrl, .Result = "CustNo;Amount"},
                {.Field = "OrderDate", .Keys = {}, .Result = "CustNo;OrderDate"},
                {.Field = "OrderDate", .Keys = {}, .Result = "CustNo;OrderDate:D"},
                {.Field = "OrderDate", .Keys = {}, .Result = "CustNo"},
                {.Field = "CustNo", .Keys = {}, .Result = "CustNo"}}},
    {.Title = "DetailDatesStartDescending",
     .Detail = true,
     .Cycle = scDescendingFirstForNumbersAndDates,
     .UnSort = false,
     .StartOrder = "CustNo",
     .Clicks = {{.Field = "OrderDate", .Keys = {}, .Result = "CustNo;OrderDate:D"},
                {.Field = "OrderDate", .Keys = {}, .Result = "CustNo;OrderDate"},
                {.Field = "OrderDate", .Keys = {}, .Result = "CustNo;OrderDate:D"},
                {.Field = "Amount", .Keys = Ctrl, .Result = "CustNo;OrderDate:D;Amount:D"},
                {.Field = "CustNo", .Keys = {}, .Result = "CustNo"}}},
    // An ascending index read backwards serves a descending order; mixed directions need an
    // index kept that way, and clearing needs an index without fields.
    {.Title = "StrictLocalIndexingReadsIndexesBackwards",
     .Backend = tbSQLite,
     .Cycle = scAscendingDescending,
     .StrictLocalIndexing = true,
     .Clicks = {{.Field = "City", .Keys = {}, .Result = "City"},
                {.Field = "City", .Keys = {}, .Result = "City:D"},
                {.Field = "City", .Keys = {}, .Result = Refused},
                {.Field = "Name", .Keys = Ctrl, .Result = Refused},
                {.Field = "Company", .Keys = {}, .Result = "Company"},
                {.Field = "City", .Keys = Ctrl, .Result = "Company;City"},
                {.Field = "Company", .Keys = Ctrl, .Result = Refused},
                {.Field = "City", .Keys = Ctrl, .Result = Refused}}},
    // The link field holds one value: the index on CustNo;OrderDate read backwards serves
    // a detail's dates descending.
    {.Title = "StrictLocalIndexingOnADetailReadsItsIndexBackwards",
     .Backend = tbSQLite,
     .Detail = true,
     .Cycle = scAscendingDescending,
     .StrictLocalIndexing = true,
     .StartOrder = "CustNo",
     .Clicks = {{.Field = "OrderDate", .Keys = {}, .Result = "CustNo;OrderDate"},
                {.Field = "OrderDate", .Keys = {}, .Result = "CustNo;OrderDate:D"}}},
    {.Title = "StrictServerIndexingReadsIndexesBackwards",
     .Cycle = scAscendingDescending,
     .StrictLocalIndexing = true,
     .StrictServerIndexing = true,
     .StartOrder = "Company:D;City",
     .Clicks = {{.Field = "City", .Keys = Ctrl, .Result = "Company:D;City:D"},
                {.Field = "Company", .Keys = Ctrl, .Result = "City:D"},
                {.Field = "Name", .Keys = Ctrl, .Result = Refused},
                // Clearing needs no index on the server.
                {.Field = "City", .Keys = {}, .Result = ""},
                {.Field = "City", .Keys = {}, .Result = "City"},
                {.Field = "City", .Keys = {}, .Result = "City:D"}}},
    {.Title = "LocalTableAcrossTheWholeCycle",
     .Backend = tbSQLite,
     .Cycle = scDescendingFirstForNumbersAndDates,
     .Clicks = {{.Field = "CustNo", .Keys = {}, .Result = "CustNo:D"},
                {.Field = "CustNo", .Keys = {}, .Result = "CustNo"},
                {.Field = "CustNo", .Keys = {}, .Result = ""},
                {.Field = "City", .Keys = {}, .Result = "City"},
                {.Field = "Name", .Keys = Ctrl, .Result = "City;Name"}}},
};

class TitleSortCycleSequenceTest : public TitleSortCycleTest,
                                   public ::testing::WithParamInterface<TCycleCase> {};

TEST_P(TitleSortCycleSequenceTest, ClicksGiveTheseOrders) {
    const TCycleCase& Case = GetParam();
    Sorter->SetSortCycle(Case.Cycle);
    Sorter->SetUnSort(Case.UnSort);
    Sorter->SetStrictLocalIndexing(Case.StrictLocalIndexing);
    Sorter->SetStrictServerIndexing(Case.StrictServerIndexing);
    TTable* Table =
        Case.Detail ? OpenDetail(Case.Backend, Case.StartOrder)
                    : CreateTable(*Form, CustomerOrders(Case.Backend), "customer", Case.StartOrder);
    const Names Fields = Case.Detail ? Names{"CustNo", "OrderDate", "Amount"}
                                     : Names{"CustNo", "Company", "City", "Name"};
    TDBGrid* Grid = GridOn(SourceFor(Table), Fields);

    Names Reported;
    std::string Order = Case.StartOrder;
    for (const TCycleClick& Step : Case.Clicks) {
        SCOPED_TRACE(std::string(Step.Field) + (Step.Keys.empty() ? "" : " with Ctrl") + " after " +
                     Order);
        EXPECT_EQ(Click(ColumnOf(*Grid, Step.Field), Step.Keys),
                  Step.Result != Refused ? Step.Result : "");
        if (Step.Result != Refused) {
            Order = Step.Result;
            Reported.push_back(Step.Result);
        }
        EXPECT_EQ(Sorter->RefusedSortFields().has_value(), Step.Result == Refused);
        EXPECT_EQ(Sorts, Reported);
        EXPECT_EQ(Table->IndexFieldNames(), Order);
        // The titles show the order in force, the table's own order when it was cleared.
        const std::string Shown = ExtractSortFieldNames(Table);
        Names Expected;
        for (const TSortField& Field : ParseSortFields(Shown))
            if (std::find(Fields.begin(), Fields.end(), Field.Name) != Fields.end())
                Expected.push_back(SortFieldText(Field));
        Names Marked;
        for (const std::string& Mark : Marks(*Grid))
            Marked.push_back(Mark.substr(0, Mark.find(' ')));
        std::sort(Expected.begin(), Expected.end());
        std::sort(Marked.begin(), Marked.end());
        EXPECT_EQ(Marked, Expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cycles, TitleSortCycleSequenceTest, ::testing::ValuesIn(CycleCases),
                         [](const auto& Info) { return std::string(Info.param.Title); });
INSTANTIATE_TEST_SUITE_P(PostgreSQLStandby, TitleSortCycleSequenceTest,
                         ::testing::ValuesIn(testtables::ServerCasesOnStandby(CycleCases)),
                         [](const auto& Info) { return std::string(Info.param.Title); });
INSTANTIATE_TEST_SUITE_P(MariaDB, TitleSortCycleSequenceTest,
                         ::testing::ValuesIn(testtables::ServerCasesOn(CycleCases,
                                                                       testtables::tbMariaDB)),
                         [](const auto& Info) { return std::string(Info.param.Title); });

// ---------------------------------------------------------------- which fields start descending

struct TKindCase {
    const char* Column;
    const char* LocalType;   // nullptr: not on the local database
    const char* ServerType;  // nullptr: not on the server
    const char* MariaDbType; // nullptr: not on MariaDB
    bool StartsDescending;
};

const TKindCase KindCases[] = {
    {"Small", "SMALLINT", "SMALLINT", "SMALLINT", true},
    {"Whole", "INTEGER", "INTEGER", "INTEGER", true},
    {"Word", "WORD", nullptr, "SMALLINT UNSIGNED", true},
    {"Big", "BIGINT", "BIGINT", "BIGINT", true},
    {"Serial", nullptr, "SERIAL", "SERIAL", true},
    {"Real", "REAL", "DOUBLE PRECISION", "DOUBLE", true},
    {"Money", "MONEY", "MONEY", nullptr, true},
    {"Exact", "NUMERIC(10,2)", "NUMERIC(10,2)", "NUMERIC(10,2)", true},
    {"Day", "DATE", "DATE", "DATE", true},
    {"Hour", "TIME", "TIME", "TIME", true},
    {"Moment", "TIMESTAMP", "TIMESTAMP", "DATETIME", true},
    {"Flag", "BOOLEAN", "BOOLEAN", "BOOLEAN", false},
    {"Text", "VARCHAR(10)", "VARCHAR(10)", "VARCHAR(10)", false},
    {"Fixed", "CHAR(2)", "CHAR(2)", "CHAR(2)", false},
    {"Memo", "TEXT", "TEXT", "TEXT", false},
};

class TitleSortFieldKindTest : public TitleSortCycleTest,
                               public ::testing::WithParamInterface<TTestBackend> {};

TEST_P(TitleSortFieldKindTest, NumbersDatesAndTimesStartDescending) {
    const TTestBackend Backend = GetParam();
    const TTestDatabase& Database = CustomerOrders(Backend);
    std::string Columns = R"("Id" INTEGER PRIMARY KEY)";
    Names Fields;
    for (const TKindCase& Case : KindCases) {
        const char* Type = Backend == tbSQLite    ? Case.LocalType
                           : Backend == tbMariaDB ? Case.MariaDbType
                                                  : Case.ServerType;
        if (Type == nullptr)
            continue;
        Columns += std::string(", \"") + Case.Column + "\" " + Type;
        Fields.push_back(Case.Column);
    }
    Database.Execute("CREATE TABLE kinds (" + Columns + ")");
    // The local database orders by indexes only. (MariaDB indexes no whole TEXT column,
    // and a server table needs none.)
    for (const std::string& Field : Fields)
        if (Backend != tbMariaDB)
            Database.Execute("CREATE INDEX \"By" + Field + "\" ON kinds (\"" + Field + "\")");
    TTable* Table = CreateTable(*Form, Database, "kinds", "");
    TDBGrid* Grid = GridOn(SourceFor(Table), Fields);

    for (TDBGridSortCycle Cycle :
         {scAscending, scAscendingDescending, scDescendingFirstForNumbersAndDates}) {
        Sorter->SetSortCycle(Cycle);
        for (const TKindCase& Case : KindCases) {
            if (std::find(Fields.begin(), Fields.end(), Case.Column) == Fields.end())
                continue;
            SCOPED_TRACE(std::string(Case.Column) + " under cycle " + std::to_string(Cycle));
            const bool Descends =
                Cycle == scDescendingFirstForNumbersAndDates && Case.StartsDescending;
            EXPECT_EQ(Click(ColumnOf(*Grid, Case.Column)), SortFieldText({Case.Column, Descends}));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, TitleSortFieldKindTest,
                         ::testing::ValuesIn(testtables::ReadingBackends()),
                         [](const auto& Info) { return testtables::BackendName(Info.param); });

// A single-field index kept descending serves its field either way; no index serves a
// field after it.
class TitleSortDescendingIndexTest : public TitleSortCycleTest,
                                     public ::testing::WithParamInterface<TTestBackend> {};

TEST_P(TitleSortDescendingIndexTest, ServesBothDirectionsUnderStrictIndexing) {
    const TTestDatabase& Database = CustomerOrders(GetParam());
    Database.Execute(R"(CREATE TABLE "scores" ("Id" INTEGER PRIMARY KEY, "Points" INTEGER,
                        "Player" VARCHAR(20)))");
    Database.Execute(R"(CREATE INDEX "ByPointsDesc" ON "scores" ("Points" DESC))");
    Database.Execute(R"(INSERT INTO "scores" VALUES (1, 5, 'Ann'), (2, 9, 'Bob'))");
    Sorter->SetSortCycle(scDescendingFirstForNumbersAndDates);
    Sorter->SetStrictServerIndexing(true);
    TTable* Table = CreateTable(*Form, Database, "scores", "");
    TDBGrid* Grid = GridOn(SourceFor(Table), {"Points", "Player"});
    // A re-sort keeps the current record: the first one shows the order.
    EXPECT_EQ(Click(ColumnOf(*Grid, "Points")), "Points:D");
    Table->First();
    EXPECT_EQ(Table->FieldByName("Player")->AsString(), "Bob");
    EXPECT_EQ(Click(ColumnOf(*Grid, "Points")), "Points");
    Table->First();
    EXPECT_EQ(Table->FieldByName("Player")->AsString(), "Ann");
    EXPECT_EQ(Click(ColumnOf(*Grid, "Player"), Ctrl), "");
    EXPECT_EQ(Sorter->RefusedSortFields(), "Points;Player");
    EXPECT_EQ(Table->IndexFieldNames(), "Points");
}

INSTANTIATE_TEST_SUITE_P(Backends, TitleSortDescendingIndexTest,
                         ::testing::ValuesIn(testtables::ReadingBackends()),
                         [](const auto& Info) { return testtables::BackendName(Info.param); });

// ---------------------------------------------------------------- other datasets

struct TQueryClick {
    const char* Field;
    std::vector<int> Keys;
    const char* Result; // Execute's result and what OnSort is told
    Names Marks;
};

struct TQueryCase {
    const char* Title;
    TDBGridSortCycle Cycle;
    bool UnSort;
    std::vector<TQueryClick> Clicks;
};

const TQueryCase QueryCases[] = {
    {.Title = "DefaultCycle",
     .Cycle = scAscending,
     .UnSort = true,
     .Clicks =
         {{.Field = "City", .Keys = {}, .Result = "City", .Marks = {"City"}},
          {.Field = "Name", .Keys = Ctrl, .Result = "City;Name", .Marks = {"City 1/2", "Name 2/2"}},
          {.Field = "City", .Keys = Ctrl, .Result = "Name", .Marks = {"Name"}},
          {.Field = "Name", .Keys = {}, .Result = "", .Marks = {}}}},
    {.Title = "AscendingDescending",
     .Cycle = scAscendingDescending,
     .UnSort = true,
     .Clicks = {{.Field = "City", .Keys = {}, .Result = "City", .Marks = {"City"}},
                {.Field = "City", .Keys = {}, .Result = "City:D", .Marks = {"City:D"}},
                {.Field = "Name",
                 .Keys = Ctrl,
                 .Result = "City:D;Name",
                 .Marks = {"City:D 1/2", "Name 2/2"}},
                {.Field = "Name",
                 .Keys = Ctrl,
                 .Result = "City:D;Name:D",
                 .Marks = {"City:D 1/2", "Name:D 2/2"}},
                {.Field = "City", .Keys = Ctrl, .Result = "Name:D", .Marks = {"Name:D"}},
                {.Field = "Name", .Keys = {}, .Result = "", .Marks = {}},
                {.Field = "Name", .Keys = {}, .Result = "Name", .Marks = {"Name"}}}},
    {.Title = "AscendingDescendingWithoutUnSort",
     .Cycle = scAscendingDescending,
     .UnSort = false,
     .Clicks = {{.Field = "City", .Keys = {}, .Result = "City", .Marks = {"City"}},
                {.Field = "City", .Keys = {}, .Result = "City:D", .Marks = {"City:D"}},
                {.Field = "City", .Keys = {}, .Result = "City", .Marks = {"City"}}}},
    {.Title = "NumbersFirstDescending",
     .Cycle = scDescendingFirstForNumbersAndDates,
     .UnSort = true,
     .Clicks = {{.Field = "CustNo", .Keys = {}, .Result = "CustNo:D", .Marks = {"CustNo:D"}},
                {.Field = "City",
                 .Keys = Ctrl,
                 .Result = "CustNo:D;City",
                 .Marks = {"CustNo:D 1/2", "City 2/2"}},
                {.Field = "CustNo",
                 .Keys = Ctrl,
                 .Result = "CustNo;City",
                 .Marks = {"CustNo 1/2", "City 2/2"}},
                {.Field = "CustNo", .Keys = Ctrl, .Result = "City", .Marks = {"City"}},
                {.Field = "CustNo", .Keys = {}, .Result = "CustNo:D", .Marks = {"CustNo:D"}},
                {.Field = "CustNo", .Keys = {}, .Result = "CustNo", .Marks = {"CustNo"}},
                {.Field = "CustNo", .Keys = {}, .Result = "", .Marks = {}}}},
};

class TitleSortQueryCycleTest : public TitleSortCycleTest,
                                public ::testing::WithParamInterface<TQueryCase> {};

TEST_P(TitleSortQueryCycleTest, OnSortGetsTheDirections) {
    const TQueryCase& Case = GetParam();
    Sorter->SetSortCycle(Case.Cycle);
    Sorter->SetUnSort(Case.UnSort);
    TQuery* Query =
        testtables::OpenQuery(*Form, CustomerOrders(tbSQLite), R"(SELECT * FROM "customer")");
    TDBGrid* Grid = GridOn(SourceFor(Query), {"CustNo", "City", "Name"});
    Names Reported;
    for (const TQueryClick& Step : Case.Clicks) {
        SCOPED_TRACE(std::string(Step.Field) + (Step.Keys.empty() ? "" : " with Ctrl"));
        EXPECT_EQ(Click(ColumnOf(*Grid, Step.Field), Step.Keys), Step.Result);
        Reported.push_back(Step.Result);
        EXPECT_EQ(Marks(*Grid), Step.Marks);
    }
    EXPECT_EQ(Sorts, Reported);
}

INSTANTIATE_TEST_SUITE_P(Cycles, TitleSortQueryCycleTest, ::testing::ValuesIn(QueryCases),
                         [](const auto& Info) { return std::string(Info.param.Title); });

// ---------------------------------------------------------------- sort marks

// Marks are no saved look: they follow every highlight whatever the title options.
class TitleSortMarkTest : public TitleSortCycleTest, public ::testing::WithParamInterface<bool> {};

TEST_P(TitleSortMarkTest, MarksShowTheOrderOfEveryHighlightAndGoWithTheHighlight) {
    const bool TitleOptions = GetParam();
    Sorter->SetUseClickedTitleFontColor(TitleOptions);
    Sorter->SetUseClickedTitleFontStyle(TitleOptions);
    Sorter->SetSortCycle(scAscendingDescending);
    TTable* Table = CreateTable(*Form, CustomerOrders(tbPostgreSQL), "customer", "Company");
    TDBGrid* Grid = GridOn(SourceFor(Table), {"CustNo", "Company", "City", "Name"});
    struct TStep {
        const char* Field;
        std::vector<int> Keys;
        Names Marks;
    };
    const TStep Steps[] = {
        {.Field = "City", .Keys = {}, .Marks = {"City"}},
        {.Field = "Name", .Keys = Ctrl, .Marks = {"City 1/2", "Name 2/2"}},
        {.Field = "Name", .Keys = Ctrl, .Marks = {"City 1/2", "Name:D 2/2"}},
        {.Field = "Company", .Keys = {}, .Marks = {"Company"}},
    };
    for (const TStep& Step : Steps) {
        SCOPED_TRACE(Step.Field);
        Click(ColumnOf(*Grid, Step.Field), Step.Keys);
        EXPECT_EQ(Marks(*Grid), Step.Marks);
    }
    // An order set elsewhere reaches the marks through the table's notification.
    Table->SetIndexFieldNames("Name:D;City");
    const Names ByCode{"City 2/2", "Name:D 1/2"};
    EXPECT_EQ(Marks(*Grid), ByCode);
    Sorter->RestoreTitles(Grid);
    EXPECT_TRUE(Marks(*Grid).empty());
    Sorter->UpdateTitle(Grid);
    EXPECT_EQ(Marks(*Grid), ByCode);
    Sorter->UnregisterGrid(Grid);
    EXPECT_TRUE(Marks(*Grid).empty());
    // The default cycle marks titles too.
    Sorter->SetSortCycle(scAscending);
    Sorter->RegisterGrid(Grid);
    EXPECT_EQ(Marks(*Grid), ByCode);

    // A query grid's marks last until the next refresh, like its highlight.
    TQuery* Query =
        testtables::OpenQuery(*Form, CustomerOrders(tbPostgreSQL), R"(SELECT * FROM "customer")");
    TDBGrid* QueryGrid = GridOn(SourceFor(Query), {"City", "Name"});
    Click(ColumnOf(*QueryGrid, "Name"));
    EXPECT_EQ(Marks(*QueryGrid), (Names{"Name"}));
    Sorter->UpdateTitle(QueryGrid);
    EXPECT_TRUE(Marks(*QueryGrid).empty());
}

INSTANTIATE_TEST_SUITE_P(TitleOptions, TitleSortMarkTest, ::testing::Bool(),
                         [](const auto& Info) { return Info.param ? "Default" : "None"; });

// ---------------------------------------------------------------- the index check

// An index's catalog entry: its fields, and the descending ones among them.
TIndexInfo Index(const std::string& Name, const Names& Fields, std::vector<bool> Descending = {}) {
    TIndexInfo Info;
    Info.Name = Name;
    Info.Fields = Fields;
    Info.Descending = std::move(Descending);
    Info.Descending.resize(Fields.size(), false);
    Info.NullsFirst.assign(Fields.size(), true);
    return Info;
}

TEST(TitleSortIndexCheckTest, IndexesServeOrdersReadEitherWay) {
    struct TCase {
        std::vector<TIndexInfo> Indexes;
        const char* Order;
        bool Served;
        std::size_t LinkFields = 0;
    };
    const TIndexInfo Ascending = Index("AB", {"A", "B"});
    const TIndexInfo Descending = Index("ADesc", {"A"}, {true});
    const TIndexInfo Mixed = Index("AMixed", {"A", "B"}, {false, true});
    const TCase Cases[] = {
        // Lists of ascending fields keep the plain comparison of texts.
        {{Ascending}, "A", true},
        {{Ascending}, "A;B", true},
        {{Ascending}, "B", false},
        {{Ascending}, "A;B;C", false},
        // An ascending index read backwards.
        {{Ascending}, "A:D", true},
        {{Ascending}, "A:D;B:D", true},
        {{Ascending}, "A:D;B", false},
        {{Ascending}, "B:D", false},
        // An index kept descending, read either way.
        {{Descending}, "A:D", true},
        {{Descending}, "A", true},
        {{Mixed}, "A;B:D", true},
        {{Mixed}, "A:D;B", true},
        {{Mixed}, "A:D;B:D", false},
        // Lists of ascending fields compare names, whatever directions the index keeps.
        {{Mixed}, "A;B", true},
        // Link fields of a detail table hold one value: their direction does not count.
        {{Ascending}, "A;B:D", true, 1},
        {{Ascending}, "A:D;B", true, 1},
        {{Ascending}, "A;B:D", false, 0},
        // Clearing the sort needs an index without fields, whatever the others keep.
        {{Ascending, Descending, Mixed}, "", false},
        {{Index("None", {}), Descending}, "", true},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Order);
        TIndexDefs Indexes([&Case] { return Case.Indexes; });
        Indexes.Update();
        EXPECT_EQ(TInspectableTitleSort::IndexesServe(Indexes, Case.Order, Case.LinkFields),
                  Case.Served);
    }
}

} // namespace
} // namespace vorn::titlesorttest
