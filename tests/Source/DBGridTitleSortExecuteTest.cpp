#include "DBGridTitleSortTest.h"

#include "host/components/controls/Form.h"
#include "host/components/text/AsciiText.h"
#include "host/data/dataset/Query.h"
#include "host/data/drivers/DatabaseError.h"
#include "tests/Source/TestTables.h"

#include <algorithm>

namespace vorn::titlesorttest {
namespace {

using Names = std::vector<std::string>;

Names SortedItems(const std::string& SortFields) {
    Names Items = SplitList(SortFields, ';');
    std::sort(Items.begin(), Items.end());
    return Items;
}

// ---------------------------------------------------------------- checks and refusals

class TitleSortExecuteTest : public TitleSortTest {};

TEST_F(TitleSortExecuteTest, BadColumnsRaiseAndLeaveTheSortingGuardDown) {
    auto* NotADBGrid = new TCustomDBGrid(Form.get());
    TColumn* Foreign = NotADBGrid->Columns()->Add();
    TColumn Loose;
    struct TCase {
        TColumn* Column;
        const char* Message;
    };
    const TCase Cases[] = {
        {nullptr, "TDBGridTitleSort.Execute() Column is not assigned."},
        {&Loose, "TDBGridTitleSort.Execute() Column.Grid is not assigned."},
        {Foreign, "TDBGridTitleSort.Execute() Column.Grid must be of TDBGrid type."},
    };
    for (const TCase& Case : Cases) {
        try {
            Sorter->Execute(Case.Column);
            ADD_FAILURE() << "no error for: " << Case.Message;
        } catch (const Exception& Error) {
            EXPECT_EQ(Error.Message(), Case.Message);
        }
        EXPECT_FALSE(Sorter->Sorting());
    }
    EXPECT_TRUE(Sorts.empty());
}

TEST_F(TitleSortExecuteTest, ColumnsWithoutADataFieldAreIgnored) {
    auto* Table = new TTable(Form.get());
    Table->SetDatabaseName(LocalAlias());
    Table->SetTableName("item");
    Table->AddCalculatedField("Calc", ftString, 10);
    Table->SetIndexFieldNames("A");
    Table->Open();
    TDBGrid* Grid = GridOn(SourceFor(Table), {"A", "Calc", "Missing"});
    for (const char* FieldName : {"Calc", "Missing"}) {
        SCOPED_TRACE(FieldName);
        EXPECT_EQ(Click(ColumnOf(*Grid, FieldName)), "");
        EXPECT_EQ(Click(ColumnOf(*Grid, FieldName), {VK_CONTROL}), "");
    }
    EXPECT_EQ(Table->IndexFieldNames(), "A");
    EXPECT_TRUE(Sorts.empty());
    EXPECT_FALSE(Sorter->IsRegistered(Grid));
}

// ---------------------------------------------------------------- click sequences on tables

enum TBackend { Local, Server, Standby };

// The result of a click that changes nothing and reports nothing.
constexpr const char* Refused = nullptr;

struct TClick {
    const char* Field;
    std::vector<int> Keys;
    const char* Result; // Execute's result and what OnSort is told
    const char* Order;  // the table's order afterwards
};

struct TSequenceCase {
    const char* Title;
    TBackend Backend;
    const char* TableName;
    const char* MasterFields; // a detail of cust when not empty
    const char* StartOrder;
    bool UnSort;
    TDBGridMulticolumnSortMethods MultiColumnSort;
    bool StrictServerIndexing;
    std::vector<TClick> Clicks;
};

const std::vector<int> Ctrl{VK_CONTROL};
const std::vector<int> Shift{VK_SHIFT};
const std::vector<int> Alt{VK_MENU};
const TDBGridMulticolumnSortMethods CtrlOnly{mcsCtrl};

const std::vector<TSequenceCase> SequenceCases = {
    {.Title = "PlainClicksSortThenClear",
     .Backend = Server,
     .TableName = "item",
     .MasterFields = "",
     .StartOrder = "",
     .UnSort = true,
     .MultiColumnSort = CtrlOnly,
     .StrictServerIndexing = false,
     .Clicks = {{.Field = "A", .Keys = {}, .Result = "A", .Order = "A"},
                {.Field = "A", .Keys = {}, .Result = "", .Order = "Id"},
                {.Field = "B", .Keys = {}, .Result = "B", .Order = "B"}}},
    {.Title = "CtrlClicksAddAndTakeAway",
     .Backend = Server,
     .TableName = "item",
     .MasterFields = "",
     .StartOrder = "A",
     .UnSort = true,
     .MultiColumnSort = CtrlOnly,
     .StrictServerIndexing = false,
     .Clicks = {{.Field = "B", .Keys = Ctrl, .Result = "A;B", .Order = "A;B"},
                {.Field = "A", .Keys = Ctrl, .Result = "B", .Order = "B"},
                {.Field = "B", .Keys = Ctrl, .Result = "", .Order = "Id"}}},
    {.Title = "ShiftIsAPlainClickWhenOnlyCtrlIsChosen",
     .Backend = Server,
     .TableName = "item",
     .MasterFields = "",
     .StartOrder = "A",
     .UnSort = true,
     .MultiColumnSort = CtrlOnly,
     .StrictServerIndexing = false,
     .Clicks = {{.Field = "B", .Keys = Shift, .Result = "B", .Order = "B"}}},
    {.Title = "WithoutUnSortASecondClickSortsAgain",
     .Backend = Server,
     .TableName = "item",
     .MasterFields = "",
     .StartOrder = "",
     .UnSort = false,
     .MultiColumnSort = CtrlOnly,
     .StrictServerIndexing = false,
     .Clicks = {{.Field = "A", .Keys = {}, .Result = "A", .Order = "A"},
                {.Field = "A", .Keys = {}, .Result = "A", .Order = "A"}}},
    {.Title = "AnyChosenKeyMakesAMultiColumnClick",
     .Backend = Server,
     .TableName = "item",
     .MasterFields = "",
     .StartOrder = "A",
     .UnSort = true,
     .MultiColumnSort = {mcsShift, mcsAlt},
     .StrictServerIndexing = false,
     .Clicks = {{.Field = "B", .Keys = Alt, .Result = "A;B", .Order = "A;B"},
                {.Field = "C", .Keys = Ctrl, .Result = "C", .Order = "C"},
                {.Field = "A", .Keys = Shift, .Result = "C;A", .Order = "C;A"}}},
    {.Title = "StrictServerIndexingNeedsAnIndexExceptToClear",
     .Backend = Server,
     .TableName = "item",
     .MasterFields = "",
     .StartOrder = "",
     .UnSort = true,
     .MultiColumnSort = CtrlOnly,
     .StrictServerIndexing = true,
     .Clicks = {{.Field = "C", .Keys = {}, .Result = Refused, .Order = "Id"},
                {.Field = "A", .Keys = {}, .Result = "A", .Order = "A"},
                {.Field = "C", .Keys = Ctrl, .Result = Refused, .Order = "A"},
                {.Field = "B", .Keys = Ctrl, .Result = "A;B", .Order = "A;B"},
                {.Field = "B", .Keys = {}, .Result = "B", .Order = "B"},
                {.Field = "B", .Keys = {}, .Result = "", .Order = "Id"}}},
    {.Title = "DetailKeepsItsMasterFieldsInFront",
     .Backend = Server,
     .TableName = "ord",
     .MasterFields = "CustNo",
     .StartOrder = "CustNo",
     .UnSort = true,
     .MultiColumnSort = CtrlOnly,
     .StrictServerIndexing = false,
     .Clicks = {{.Field = "OrderDate",
                 .Keys = {},
                 .Result = "CustNo;OrderDate",
                 .Order = "CustNo;OrderDate"},
                {.Field = "OrderDate", .Keys = {}, .Result = "CustNo", .Order = "CustNo"},
                {.Field = "OrderDate",
                 .Keys = {},
                 .Result = "CustNo;OrderDate",
                 .Order = "CustNo;OrderDate"},
                {.Field = "CustNo",
                 .Keys = Ctrl,
                 .Result = "CustNo;OrderDate",
                 .Order = "CustNo;OrderDate"},
                // A field whose name begins like a master field's is no master field.
                {.Field = "Cust",
                 .Keys = Ctrl,
                 .Result = "CustNo;OrderDate;Cust",
                 .Order = "CustNo;OrderDate;Cust"},
                {.Field = "Cust",
                 .Keys = Ctrl,
                 .Result = "CustNo;OrderDate",
                 .Order = "CustNo;OrderDate"},
                {.Field = "CustNo", .Keys = {}, .Result = "CustNo", .Order = "CustNo"}}},
    {.Title = "EveryMasterFieldStaysInFront",
     .Backend = Server,
     .TableName = "ord",
     .MasterFields = "CustNo;Region",
     .StartOrder = "CustNo;Region",
     .UnSort = true,
     .MultiColumnSort = CtrlOnly,
     .StrictServerIndexing = false,
     .Clicks =
         {{.Field = "OrderDate",
           .Keys = {},
           .Result = "CustNo;Region;OrderDate",
           .Order = "CustNo;Region;OrderDate"},
          {.Field = "Region",
           .Keys = Ctrl,
           .Result = "CustNo;Region;OrderDate",
           .Order = "CustNo;Region;OrderDate"},
          {.Field = "Region", .Keys = {}, .Result = "CustNo;Region", .Order = "CustNo;Region"}}},
    // Local tables check indexes by default, the clearing of the sort included.
    {.Title = "StrictLocalIndexingNeedsAnIndex",
     .Backend = Local,
     .TableName = "item",
     .MasterFields = "",
     .StartOrder = "",
     .UnSort = true,
     .MultiColumnSort = CtrlOnly,
     .StrictServerIndexing = false,
     .Clicks = {{.Field = "C", .Keys = {}, .Result = Refused, .Order = "Id"},
                {.Field = "A", .Keys = {}, .Result = "A", .Order = "A"},
                {.Field = "A", .Keys = {}, .Result = Refused, .Order = "A"},
                {.Field = "B", .Keys = Ctrl, .Result = "A;B", .Order = "A;B"},
                {.Field = "C", .Keys = Ctrl, .Result = Refused, .Order = "A;B"},
                {.Field = "B", .Keys = {}, .Result = "B", .Order = "B"}}},
    {.Title = "StrictLocalDetail",
     .Backend = Local,
     .TableName = "ord",
     .MasterFields = "CustNo",
     .StartOrder = "CustNo",
     .UnSort = true,
     .MultiColumnSort = CtrlOnly,
     .StrictServerIndexing = false,
     .Clicks = {{.Field = "OrderDate",
                 .Keys = {},
                 .Result = "CustNo;OrderDate",
                 .Order = "CustNo;OrderDate"},
                {.Field = "Region", .Keys = Ctrl, .Result = Refused, .Order = "CustNo;OrderDate"},
                {.Field = "OrderDate", .Keys = {}, .Result = "CustNo", .Order = "CustNo"}}},
};

class TitleSortSequenceTest : public TitleSortTest,
                              public ::testing::WithParamInterface<TSequenceCase> {
protected:
    TTable* OpenCaseTable(const TSequenceCase& Case) {
        const bool OnServer = Case.Backend != Local;
        const std::string& Alias = !OnServer                 ? LocalAlias()
                                   : Case.Backend == Standby ? StandbyAlias()
                                                             : ServerAlias();
        auto Name = [&](const char* Table) { return OnServer ? ServerTable(Table) : Table; };
        auto* Table = new TTable(Form.get());
        Table->SetDatabaseName(Alias);
        Table->SetTableName(Name(Case.TableName));
        Table->SetIndexFieldNames(Case.StartOrder);
        if (*Case.MasterFields != '\0') {
            Table->SetMasterSource(SourceFor(OpenTable(Alias, Name("cust"))));
            Table->SetMasterFields(Case.MasterFields);
        }
        Table->Open();
        return Table;
    }
};

TEST_P(TitleSortSequenceTest, ClicksGiveTheseOrders) {
    const TSequenceCase& Case = GetParam();
    Sorter->SetUnSort(Case.UnSort);
    Sorter->SetMulticolumnSortMethod(Case.MultiColumnSort);
    Sorter->SetStrictServerIndexing(Case.StrictServerIndexing);
    TTable* Table = OpenCaseTable(Case);
    ASSERT_EQ(Table->IsSequenced(), Case.Backend == Local);
    const Names Fields = Case.MasterFields[0] == '\0'
                             ? Names{"A", "B", "C"}
                             : Names{"CustNo", "Cust", "Region", "OrderDate"};
    TDBGrid* Grid = GridOn(SourceFor(Table), Fields);

    Names Reported;
    for (const TClick& Step : Case.Clicks) {
        SCOPED_TRACE(std::string(Step.Field) + " after " + ExtractSortFieldNames(Table));
        EXPECT_EQ(Click(ColumnOf(*Grid, Step.Field), Step.Keys),
                  Step.Result != Refused ? Step.Result : "");
        EXPECT_EQ(ExtractSortFieldNames(Table), Step.Order);
        EXPECT_EQ(Sorter->RefusedSortFields().has_value(), Step.Result == Refused);
        Names Marked = Highlighted(*Grid);
        std::sort(Marked.begin(), Marked.end());
        Names Shown = SortedItems(Step.Order);
        std::erase_if(Shown, [&](const std::string& Name) {
            return std::find(Fields.begin(), Fields.end(), Name) == Fields.end();
        });
        EXPECT_EQ(Marked, Shown);
        if (Step.Result != Refused)
            Reported.push_back(Step.Result);
        EXPECT_EQ(Sorts, Reported);
        EXPECT_FALSE(Sorter->Sorting());
    }
}

INSTANTIATE_TEST_SUITE_P(TitleClicks, TitleSortSequenceTest, ::testing::ValuesIn(SequenceCases),
                         [](const auto& Info) { return std::string(Info.param.Title); });
INSTANTIATE_TEST_SUITE_P(PostgreSQLStandby, TitleSortSequenceTest,
                         ::testing::ValuesIn(testtables::ServerCasesOnStandby(SequenceCases, Server,
                                                                              Standby)),
                         [](const auto& Info) { return std::string(Info.param.Title); });

TEST_F(TitleSortExecuteTest, AFailedReorderChangesNothingAndReportsNothing) {
    Sorter->SetStrictLocalIndexing(false);
    TTable* Table = OpenTable(LocalAlias(), "item", "A");
    TDBGrid* Grid = GridOn(SourceFor(Table), {"A", "B", "C"});
    // The local database orders by indexes only, and C has none.
    EXPECT_THROW(Click(ColumnOf(*Grid, "C")), EDatabaseError);
    EXPECT_FALSE(Sorter->Sorting());
    EXPECT_EQ(Table->IndexFieldNames(), "A");
    EXPECT_FALSE(Sorter->IsRegistered(Grid));
    EXPECT_TRUE(Highlighted(*Grid).empty());
    EXPECT_TRUE(Sorts.empty());
    // The guard is down: the next click sorts and highlights.
    EXPECT_EQ(Click(ColumnOf(*Grid, "B")), "B");
    EXPECT_EQ(Highlighted(*Grid), (Names{"B"}));
}

TEST_F(TitleSortExecuteTest, OnSortGetsTheGridAndTheTable) {
    TTable* Table = OpenTable(ServerAlias(), ServerTable("item"));
    TDBGrid* Grid = GridOn(SourceFor(Table), {"A", "B"});
    std::vector<std::pair<TCustomGrid*, TDataSet*>> Calls;
    Sorter->OnSort = [&](TObject*, TCustomGrid* SortedGrid, TDataSet* DataSet, const std::string&) {
        Calls.emplace_back(SortedGrid, DataSet);
    };
    Click(ColumnOf(*Grid, "B"));
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].first, Grid);
    EXPECT_EQ(Calls[0].second, Table);
    EXPECT_TRUE(Sorter->IsRegistered(Grid));
}

// ---------------------------------------------------------------- other datasets

TEST_F(TitleSortExecuteTest, AQueryGridKeepsItsOrderInTheTitlesAndHandsItToOnSort) {
    auto* Query = new TQuery(Form.get());
    Query->SetDatabaseName(LocalAlias());
    Query->SQL()->SetText("SELECT * FROM item");
    Query->Open();
    TDBGrid* Grid = GridOn(SourceFor(Query), {"A", "B", "C"});
    struct TStep {
        const char* Field;
        std::vector<int> Keys;
        const char* Result;
        Names Highlighted;
    };
    const TStep Steps[] = {
        {.Field = "A", .Keys = {}, .Result = "A", .Highlighted = {"A"}},
        {.Field = "B", .Keys = Ctrl, .Result = "A;B", .Highlighted = {"A", "B"}},
        {.Field = "C", .Keys = Ctrl, .Result = "A;B;C", .Highlighted = {"A", "B", "C"}},
        {.Field = "A", .Keys = Ctrl, .Result = "B;C", .Highlighted = {"B", "C"}},
        {.Field = "C", .Keys = {}, .Result = "C", .Highlighted = {"C"}},
        {.Field = "C", .Keys = {}, .Result = "", .Highlighted = {}},
        {.Field = "B", .Keys = Shift, .Result = "B", .Highlighted = {"B"}},
    };
    Names Reported;
    for (const TStep& Step : Steps) {
        SCOPED_TRACE(Step.Field);
        EXPECT_EQ(Click(ColumnOf(*Grid, Step.Field), Step.Keys), Step.Result);
        EXPECT_EQ(Highlighted(*Grid), Step.Highlighted);
        Reported.push_back(Step.Result);
    }
    EXPECT_EQ(Sorts, Reported);
    EXPECT_EQ(Query->SQL()->Text(), "SELECT * FROM item\n");
    EXPECT_TRUE(Query->Active());
    // A refresh of the titles forgets such an order.
    Sorter->UpdateTitle(Grid);
    EXPECT_TRUE(Highlighted(*Grid).empty());
}

TEST_F(TitleSortExecuteTest, ACtrlClickOfTheUserReachesTheSortThroughTheGrid) {
    auto& Window = static_cast<TForm&>(*Form);
    Window.SetBounds(0, 0, 640, 480);
    TTable* Table = OpenTable(ServerAlias(), ServerTable("item"), "A");
    TDBGrid* Grid = GridOn(SourceFor(Table), {"A", "B"});
    Grid->SetParent(&Window);
    Grid->SetBounds(0, 0, 400, 200);
    Window.Show();
    Grid->OnTitleClick = [this](TColumn* Column) { Sorter->Execute(Column); };
    ASSERT_TRUE(UserClickTitle(*Grid, *ColumnOf(*Grid, "B"), {ssCtrl}));
    EXPECT_EQ(Table->IndexFieldNames(), "A;B");
    EXPECT_EQ(Highlighted(*Grid), (Names{"A", "B"}));
    ASSERT_TRUE(UserClickTitle(*Grid, *ColumnOf(*Grid, "B")));
    EXPECT_EQ(Table->IndexFieldNames(), "B");
}

} // namespace
} // namespace vorn::titlesorttest
