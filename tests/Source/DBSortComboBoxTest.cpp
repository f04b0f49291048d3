#include "Source/DBSortComboBox.h"
#include "Source/DBGridTitleSort.h"
#include "host/components/controls/Input.h"
#include "host/components/controls/Keyboard.h"
#include "host/components/model/ClassRegistry.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"
#include "tests/Source/TestTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace vorn {
namespace {

using testtables::CreateCustomerOrders;
using testtables::CreateTable;
using testtables::OpenQuery;
using testtables::tbPostgreSQL;
using testtables::tbSQLite;
using testtables::TErrorRecorder;
using testtables::TTestBackend;
using testtables::TTestDatabase;

std::vector<std::string> ItemsOf(const TDBSortComboBox& ComboBox) {
    std::vector<std::string> Items;
    for (int Index = 0; Index < ComboBox.Items()->Count(); ++Index)
        Items.push_back(ComboBox.Items()->Strings(Index));
    return Items;
}

struct TSortReport {
    TObject* Sender;
    TDataSet* DataSet;
    std::string SortFieldNames;
    bool operator==(const TSortReport&) const = default;
};

// A sort combo box on a form with its data source, recording what it reports.
class SortComboBoxTest : public ::testing::TestWithParam<TTestBackend> {
protected:
    static void TearDownTestSuite() {
        for (auto& Database : Databases)
            Database.reset();
    }

    SortComboBoxTest() {
        ComboBox->OnSort = [this](TObject* Sender, TDataSet* DataSet, const std::string& Fields) {
            Sorts.push_back({Sender, DataSet, Fields});
        };
        ComboBox->AfterSortChange = [this](TDataSet* DataSet) { SortChanges.push_back(DataSet); };
    }

    const TTestDatabase& Database() {
        auto& Database = Databases[static_cast<std::size_t>(GetParam())];
        if (!Database)
            Database = CreateCustomerOrders(GetParam());
        return *Database;
    }

    TTable* Connect(const std::string& TableName, const std::string& IndexFieldNames) {
        TTable* Table = CreateTable(Form, Database(), TableName, IndexFieldNames);
        Source->SetDataSet(Table);
        ComboBox->SetDataSource(Source);
        return Table;
    }

    // The orders of customer 1, restricted through a master table on customer.
    TTable* ConnectDetail(const std::string& IndexFieldNames) {
        TTable* Master = CreateTable(Form, Database(), "customer", "");
        auto* MasterSource = new TDataSource(&Form);
        MasterSource->SetDataSet(Master);
        TTable* Detail = CreateTable(Form, Database(), "orders", IndexFieldNames, false);
        Detail->SetMasterSource(MasterSource);
        Detail->SetMasterFields("CustNo");
        Detail->Open();
        Source->SetDataSet(Detail);
        ComboBox->SetDataSource(Source);
        return Detail;
    }

    static std::array<std::unique_ptr<TTestDatabase>, testtables::BackendCount> Databases;
    TComponent Form{nullptr};
    TDataSource* Source = new TDataSource(&Form);
    TDBSortComboBox* ComboBox = new TDBSortComboBox(&Form);
    std::vector<TSortReport> Sorts;
    std::vector<TDataSet*> SortChanges;
};

std::array<std::unique_ptr<TTestDatabase>, testtables::BackendCount> SortComboBoxTest::Databases;

INSTANTIATE_TEST_SUITE_P(Backends, SortComboBoxTest,
                         ::testing::ValuesIn(testtables::ReadingBackends()),
                         [](const auto& Info) { return testtables::BackendName(Info.param); });

// ---------------------------------------------------------------- the list

struct TListCase {
    const char* Name;
    TTestBackend Backend;
    bool StrictServerIndexing;
    bool Detail;
    bool ListDescending = false;
    // A query on customer instead of a table.
    bool Query = false;
    std::vector<std::string> Expected;
};

void PrintTo(const TListCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class SortComboBoxListTest : public ::testing::TestWithParam<TListCase> {};

const std::vector<std::string> CustomerIndexes{"CustNo", "City", "City;Name", "Company;City",
                                               "Name"};
// Only the indexes that lead with the link field, whole: not OrderNo, CustNoX or OrderDate.
const std::vector<std::string> DetailIndexes{"CustNo", "CustNo;OrderDate"};
// Each order followed by the same order read backwards.
const std::vector<std::string> CustomerIndexesBothWays{
    "CustNo",       "CustNo:D",         "City", "City:D", "City;Name", "City:D;Name:D",
    "Company;City", "Company:D;City:D", "Name", "Name:D"};
const std::vector<std::string> DetailIndexesBothWays{"CustNo", "CustNo:D", "CustNo;OrderDate",
                                                     "CustNo:D;OrderDate:D"};

const std::vector<TListCase> ListCases{
    TListCase{.Name = "LocalTableIndexes",
              .Backend = tbSQLite,
              .StrictServerIndexing = false,
              .Detail = false,
              .Expected = CustomerIndexes},
    TListCase{.Name = "LocalDetailIndexes",
              .Backend = tbSQLite,
              .StrictServerIndexing = false,
              .Detail = true,
              .Expected = DetailIndexes},
    TListCase{.Name = "ServerTableFields",
              .Backend = tbPostgreSQL,
              .StrictServerIndexing = false,
              .Detail = false,
              .Expected = {"CustNo", "Company", "City", "Name"}},
    TListCase{.Name = "ServerDetailFieldsBehindTheLink",
              .Backend = tbPostgreSQL,
              .StrictServerIndexing = false,
              .Detail = true,
              .Expected = {"CustNo;OrderNo", "CustNo", "CustNo;CustNoX", "CustNo;OrderDate",
                           "CustNo;Amount"}},
    TListCase{.Name = "StrictServerTableIndexes",
              .Backend = tbPostgreSQL,
              .StrictServerIndexing = true,
              .Detail = false,
              .Expected = CustomerIndexes},
    TListCase{.Name = "StrictServerDetailIndexes",
              .Backend = tbPostgreSQL,
              .StrictServerIndexing = true,
              .Detail = true,
              .Expected = DetailIndexes},
    TListCase{.Name = "StrictLocalTableIndexes",
              .Backend = tbSQLite,
              .StrictServerIndexing = true,
              .Detail = false,
              .Expected = CustomerIndexes},
    TListCase{.Name = "LocalTableIndexesBothWays",
              .Backend = tbSQLite,
              .StrictServerIndexing = false,
              .Detail = false,
              .ListDescending = true,
              .Expected = CustomerIndexesBothWays},
    TListCase{.Name = "LocalDetailIndexesBothWays",
              .Backend = tbSQLite,
              .StrictServerIndexing = false,
              .Detail = true,
              .ListDescending = true,
              .Expected = DetailIndexesBothWays},
    TListCase{.Name = "ServerTableFieldsBothWays",
              .Backend = tbPostgreSQL,
              .StrictServerIndexing = false,
              .Detail = false,
              .ListDescending = true,
              .Expected = {"CustNo", "CustNo:D", "Company", "Company:D", "City", "City:D", "Name",
                           "Name:D"}},
    // The link field keeps its own text in front of a descending field.
    TListCase{.Name = "ServerDetailFieldsBothWays",
              .Backend = tbPostgreSQL,
              .StrictServerIndexing = false,
              .Detail = true,
              .ListDescending = true,
              .Expected = {"CustNo;OrderNo", "CustNo;OrderNo:D", "CustNo", "CustNo:D",
                           "CustNo;CustNoX", "CustNo;CustNoX:D", "CustNo;OrderDate",
                           "CustNo;OrderDate:D", "CustNo;Amount", "CustNo;Amount:D"}},
    TListCase{.Name = "StrictServerDetailIndexesBothWays",
              .Backend = tbPostgreSQL,
              .StrictServerIndexing = true,
              .Detail = true,
              .ListDescending = true,
              .Expected = DetailIndexesBothWays},
    TListCase{.Name = "LocalQueryFields",
              .Backend = tbSQLite,
              .StrictServerIndexing = false,
              .Detail = false,
              .Query = true,
              .Expected = {"Name", "City"}},
    TListCase{.Name = "ServerQueryFieldsBothWays",
              .Backend = tbPostgreSQL,
              .StrictServerIndexing = true,
              .Detail = false,
              .ListDescending = true,
              .Query = true,
              .Expected = {"Name", "Name:D", "City", "City:D"}},
    TListCase{.Name = "LocalQueryFieldsBothWays",
              .Backend = tbSQLite,
              .StrictServerIndexing = false,
              .Detail = false,
              .ListDescending = true,
              .Query = true,
              .Expected = {"Name", "Name:D", "City", "City:D"}}};

INSTANTIATE_TEST_SUITE_P(Lists, SortComboBoxListTest, ::testing::ValuesIn(ListCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });
INSTANTIATE_TEST_SUITE_P(PostgreSQLStandby, SortComboBoxListTest,
                         ::testing::ValuesIn(testtables::ServerCasesOnStandby(ListCases)),
                         [](const auto& Info) { return std::string(Info.param.Name); });
INSTANTIATE_TEST_SUITE_P(MariaDB, SortComboBoxListTest,
                         ::testing::ValuesIn(testtables::ServerCasesOn(ListCases,
                                                                       testtables::tbMariaDB)),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_P(SortComboBoxListTest, OpeningTheListOffersWhatTheTableCanBeSortedBy) {
    const TListCase& Case = GetParam();
    auto Database = CreateCustomerOrders(Case.Backend);
    {
        TComponent Form(nullptr);
        TTable* Master = CreateTable(Form, *Database, "customer", "");
        auto* MasterSource = new TDataSource(&Form);
        MasterSource->SetDataSet(Master);
        TTable* Table =
            CreateTable(Form, *Database, Case.Detail ? "orders" : "customer", "", false);
        if (Case.Detail) {
            Table->SetMasterSource(MasterSource);
            Table->SetMasterFields("CustNo");
        }
        // Fields beside the columns are never offered: the database cannot sort by them.
        Table->AddCalculatedField("Twice", ftInteger);
        Table->AddLookupField("Looked", ftString, Master, "CustNo", "CustNo", "Name", 40);
        Table->Open();
        auto* Source = new TDataSource(&Form);
        if (Case.Query)
            Source->SetDataSet(
                OpenQuery(Form, *Database, R"(SELECT "Name", "Notes", "City" FROM "customer")"));
        else
            Source->SetDataSet(Table);
        auto* ComboBox = new TDBSortComboBox(&Form);
        ComboBox->Items()->Append("typed at design time");
        ComboBox->SetStrictServerIndexing(Case.StrictServerIndexing);
        ComboBox->SetListDescending(Case.ListDescending);
        ComboBox->SetDataSource(Source);
        int DropDowns = 0;
        ComboBox->OnDropDown = [&](TObject*) { ++DropDowns; };

        ASSERT_TRUE(UserOpenList(*ComboBox));
        EXPECT_EQ(ItemsOf(*ComboBox), Case.Expected);
        EXPECT_EQ(DropDowns, 1);
        // Built anew at every opening, not appended to the last list.
        UserCloseList(*ComboBox);
        UserOpenList(*ComboBox);
        EXPECT_EQ(ItemsOf(*ComboBox), Case.Expected);
    }
}

TEST_P(SortComboBoxTest, AListWithoutDatasetKeepsItsDesignTimeEntries) {
    ComboBox->Items()->SetText("Name\nCity;Name\n");
    const std::vector<std::string> DesignTime{"Name", "City;Name"};
    UserOpenList(*ComboBox);
    EXPECT_EQ(ItemsOf(*ComboBox), DesignTime);
    // A data source without dataset is no better.
    ComboBox->SetDataSource(Source);
    UserCloseList(*ComboBox);
    UserOpenList(*ComboBox);
    EXPECT_EQ(ItemsOf(*ComboBox), DesignTime);
}

TEST_P(SortComboBoxTest, AQueryOffersItsNonBlobFieldsWhateverTheIndexingSwitch) {
    TQuery* Query =
        OpenQuery(Form, Database(), R"(SELECT "Name", "Notes", "City" FROM "customer")");
    Source->SetDataSet(Query);
    ComboBox->SetDataSource(Source);
    for (bool Strict : {false, true}) {
        ComboBox->SetStrictServerIndexing(Strict);
        UserCloseList(*ComboBox);
        UserOpenList(*ComboBox);
        EXPECT_EQ(ItemsOf(*ComboBox), (std::vector<std::string>{"Name", "City"}));
    }
}

// ---------------------------------------------------------------- sorting

TEST_P(SortComboBoxTest, AssigningTheDataSourceShowsTheTablesOrder) {
    Connect("customer", "City;Name");
    EXPECT_EQ(ComboBox->Text(), "City;Name");
    EXPECT_TRUE(SortChanges.empty());
}

TEST_P(SortComboBoxTest, ChoosingAnEntrySortsTheTableAndReportsIt) {
    TTable* Table = Connect("customer", "");
    UserOpenList(*ComboBox);
    const int NameEntry = ComboBox->Items()->IndexOf("Name");
    ASSERT_GE(NameEntry, 0);
    ASSERT_TRUE(UserSelectItem(*ComboBox, NameEntry));
    EXPECT_EQ(Table->IndexFieldNames(), "Name");
    Table->First();
    EXPECT_EQ(Table->FieldByName("Name")->AsString(), "Adams");
    EXPECT_EQ(Sorts, (std::vector<TSortReport>{
                         {.Sender = ComboBox, .DataSet = Table, .SortFieldNames = "Name"}}));
    // The table's own report of the new order comes back once.
    EXPECT_EQ(SortChanges, (std::vector<TDataSet*>{Table}));
    EXPECT_EQ(ComboBox->Text(), "Name");
}

TEST_P(SortComboBoxTest, EnterKeepsTheLinkFieldsOfADetailTableInFront) {
    struct TCase {
        const char* Typed;
        const char* Applied;
        bool LocalIndexServes = true;
    };
    // Only the whole master list counts as its beginning: "CustNoX" is another field.
    // Directions do not count: a link field read backwards still leads the order.
    const TCase Cases[] = {{"OrderDate", "CustNo;OrderDate"},
                           {"", "CustNo"},
                           {"CustNo;OrderDate", "CustNo;OrderDate"},
                           {"CustNoX", "CustNo;CustNoX", false},
                           {"CustNo:D;OrderDate:D", "CustNo:D;OrderDate:D"},
                           {"CustNo:D", "CustNo:D"},
                           {"OrderDate:D", "CustNo;OrderDate:D", false},
                           {"CustNoX:D", "CustNo;CustNoX:D", false}};
    TTable* Detail = ConnectDetail("CustNo");
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Typed);
        // The local table orders by its indexes, read one way or the other, only.
        if (GetParam() == tbSQLite && !Case.LocalIndexServes)
            continue;
        Sorts.clear();
        ComboBox->SetText(Case.Typed);
        ASSERT_TRUE(UserKeyDown(*ComboBox, VK_RETURN));
        EXPECT_EQ(Detail->IndexFieldNames(), Case.Applied);
        EXPECT_EQ(ComboBox->Text(), Case.Applied);
        EXPECT_EQ(Sorts,
                  (std::vector<TSortReport>{
                      {.Sender = ComboBox, .DataSet = Detail, .SortFieldNames = Case.Applied}}));
    }
    // The detail still shows the master's orders only, in the new order.
    Detail->SetIndexFieldNames("CustNo;OrderDate");
    Detail->First();
    EXPECT_EQ(Detail->FieldByName("OrderNo")->AsString(), "11");
    Detail->Next();
    EXPECT_EQ(Detail->FieldByName("OrderNo")->AsString(), "10");
    Detail->Next();
    EXPECT_TRUE(Detail->Eof());
}

TEST_P(SortComboBoxTest, EnterSortsWhateverModifierIsHeldAndOtherKeysDoNot) {
    TTable* Table = Connect("customer", "");
    ComboBox->SetText("Name");
    UserKeyDown(*ComboBox, VK_RIGHT);
    EXPECT_EQ(Table->IndexFieldNames(), "");
    UserKeyDown(*ComboBox, VK_RETURN, {ssShift, ssCtrl});
    EXPECT_EQ(Table->IndexFieldNames(), "Name");
    // A handler that swallows the key swallows the sort too.
    ComboBox->OnKeyDown = [](TObject*, int& Key, TShiftState) { Key = 0; };
    ComboBox->SetText("City");
    UserKeyDown(*ComboBox, VK_RETURN);
    EXPECT_EQ(Table->IndexFieldNames(), "Name");
}

TEST_P(SortComboBoxTest, AQueryIsSortedByTheApplicationAlone) {
    TQuery* Query = OpenQuery(Form, Database(), R"(SELECT "Name", "City" FROM "customer")");
    const std::string Sql = Query->SQL()->Text();
    Source->SetDataSet(Query);
    ComboBox->SetDataSource(Source);
    UserOpenList(*ComboBox);
    ASSERT_TRUE(UserSelectItem(*ComboBox, 0));
    EXPECT_EQ(Sorts, (std::vector<TSortReport>{
                         {.Sender = ComboBox, .DataSet = Query, .SortFieldNames = "Name"}}));
    EXPECT_EQ(Query->SQL()->Text(), Sql);
    EXPECT_TRUE(SortChanges.empty());
    ComboBox->Refresh();
    EXPECT_EQ(ComboBox->Text(), "Name");
}

TEST_P(SortComboBoxTest, EnterAppliesATypedDescendingOrder) {
    TTable* Table = Connect("customer", "Name");
    ComboBox->SetText("Name:D");
    ASSERT_TRUE(UserKeyDown(*ComboBox, VK_RETURN));
    EXPECT_EQ(Table->IndexFieldNames(), "Name:D");
    EXPECT_EQ(ExtractSortFieldNames(Table), "Name:D");
    // Name order is byte order, read backwards: smythe, Zed, Smith, Baker, Adams.
    auto Name = [&] { return Table->FieldByName("Name")->AsString(); };
    Table->First();
    EXPECT_EQ(Name(), "smythe");
    Table->Next();
    EXPECT_EQ(Name(), "Zed");
    Table->Last();
    EXPECT_EQ(Name(), "Adams");
    EXPECT_EQ(ComboBox->Text(), "Name:D");
    EXPECT_EQ(Sorts, (std::vector<TSortReport>{
                         {.Sender = ComboBox, .DataSet = Table, .SortFieldNames = "Name:D"}}));
}

// Whatever the table offers can be chosen: the table takes the entry as its order, and
// the order it reports back selects that same entry.
TEST_P(SortComboBoxTest, EveryOrderListedBothWaysCanBeChosen) {
    for (bool Detail : {false, true}) {
        SCOPED_TRACE(Detail ? "detail" : "customer");
        TTable* Table = Detail ? ConnectDetail("") : Connect("customer", "");
        ComboBox->SetListDescending(true);
        UserOpenList(*ComboBox);
        const std::vector<std::string> Entries = ItemsOf(*ComboBox);
        ASSERT_FALSE(Entries.empty());
        UserCloseList(*ComboBox);
        for (int Entry = 0; Entry < static_cast<int>(Entries.size()); ++Entry) {
            const std::string& Order = Entries[static_cast<std::size_t>(Entry)];
            SCOPED_TRACE(Order);
            Sorts.clear();
            UserOpenList(*ComboBox);
            ASSERT_TRUE(UserSelectItem(*ComboBox, Entry));
            EXPECT_EQ(Table->IndexFieldNames(), Order);
            EXPECT_EQ(ExtractSortFieldNames(Table), Order);
            EXPECT_EQ(ComboBox->Text(), Order);
            EXPECT_EQ(ComboBox->ItemIndex(), Entry);
            ASSERT_EQ(Sorts.size(), 1u);
            EXPECT_EQ(Sorts[0].SortFieldNames, Order);
            UserCloseList(*ComboBox);
        }
    }
}

TEST_P(SortComboBoxTest, SortWithoutDataSourceIsDroppedAndWithoutDatasetReported) {
    ComboBox->SetText("Name");
    ComboBox->Sort();
    EXPECT_TRUE(Sorts.empty());
    ComboBox->SetDataSource(Source);
    ComboBox->Sort();
    EXPECT_EQ(Sorts, (std::vector<TSortReport>{
                         {.Sender = ComboBox, .DataSet = nullptr, .SortFieldNames = "Name"}}));
}

TEST_P(SortComboBoxTest, ARejectedOrderLeavesTheTableAsItWasAndReachesTheUser) {
    struct TCase {
        const char* Text;
        bool RejectedLocally;  // by the SQLite table
        bool RejectedOnServer; // by the PostgreSQL table, on the primary or the standby
    };
    // The local table sorts by the leading fields of an index only.
    const TCase Cases[] = {{"Nope", true, true},
                           {"Name;Nope", true, true},
                           {"Notes", true, false},
                           {"Name;City", true, false}};
    TTable* Table = Connect("customer", "City");
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        if (!(GetParam() == tbSQLite ? Case.RejectedLocally : Case.RejectedOnServer))
            continue;
        Sorts.clear();
        ComboBox->SetText(Case.Text);
        EXPECT_THROW(ComboBox->Sort(), Exception);
        EXPECT_EQ(Table->IndexFieldNames(), "City");
        EXPECT_TRUE(Table->Active());
        EXPECT_EQ(ComboBox->Text(), Case.Text);
        EXPECT_TRUE(Sorts.empty());
        TErrorRecorder Errors;
        EXPECT_FALSE(UserKeyDown(*ComboBox, VK_RETURN));
        EXPECT_EQ(Errors.Messages().size(), 1u);
        EXPECT_EQ(Table->IndexFieldNames(), "City");
    }
}

TEST_P(SortComboBoxTest, ARejectedOrderKeepsAnOrderChosenByIndexName) {
    TTable* Table = Connect("customer", "");
    Table->SetIndexName("ByCompanyCity");
    ComboBox->SetText("Nope");
    EXPECT_THROW(ComboBox->Sort(), Exception);
    EXPECT_EQ(Table->IndexName(), "ByCompanyCity");
    EXPECT_EQ(ExtractSortFieldNames(Table), "Company;City");
}

// The table is dropped behind the dataset's back, so that the new order cannot be read
// and the table closes; the application puts it back when the table closes.
class SortComboBoxReopenTest : public ::testing::TestWithParam<bool> {};

INSTANTIATE_TEST_SUITE_P(ReopenAfterError, SortComboBoxReopenTest, ::testing::Bool());

TEST_P(SortComboBoxReopenTest, ATableClosedByAFailedSortIsOpenedAgainOnRequest) {
    const bool Reopen = GetParam();
    auto Database = std::make_unique<TTestDatabase>(tbSQLite);
    const std::string Create = R"(CREATE TABLE "t" ("Id" INTEGER PRIMARY KEY, "Name" TEXT))";
    Database->Execute(Create);
    Database->Execute(R"(CREATE INDEX "ByName" ON "t" ("Name"))");
    {
        TComponent Form(nullptr);
        TTable* Table = CreateTable(Form, *Database, "t", "");
        Table->AfterClose = [&](TDataSet*) { Database->Execute(Create); };
        auto* Source = new TDataSource(&Form);
        Source->SetDataSet(Table);
        auto* ComboBox = new TDBSortComboBox(&Form);
        ComboBox->SetReopenAfterError(Reopen);
        ComboBox->SetDataSource(Source);
        bool Sorted = false;
        ComboBox->OnSort = [&](TObject*, TDataSet*, const std::string&) { Sorted = true; };
        Database->Execute(R"(DROP TABLE "t")");

        ComboBox->SetText("Name");
        try {
            ComboBox->Sort();
            ADD_FAILURE() << "the sort of a dropped table succeeded";
        } catch (const Exception& Error) {
            // The sort's own error, not one of the reopening.
            EXPECT_NE(std::string(Error.what()).find("no such table"), std::string::npos)
                << Error.what();
        }
        Table->AfterClose = nullptr;
        EXPECT_EQ(Table->Active(), Reopen);
        EXPECT_EQ(Table->IndexFieldNames(), "");
        EXPECT_FALSE(Sorted);
    }
}

// ---------------------------------------------------------------- following the table

TEST_P(SortComboBoxTest, AnOrderSetByCodeIsShownAndSelected) {
    TTable* Table = Connect("customer", "");
    UserOpenList(*ComboBox);
    UserCloseList(*ComboBox);
    SortChanges.clear();
    Table->SetIndexFieldNames("City;Name");
    EXPECT_EQ(ComboBox->Text(), "City;Name");
    if (GetParam() == tbSQLite) {
        EXPECT_EQ(ComboBox->ItemIndex(), ComboBox->Items()->IndexOf("City;Name"));
    } else {
        // The server table lists single fields: the first field's entry is selected.
        EXPECT_EQ(ComboBox->ItemIndex(), ComboBox->Items()->IndexOf("City"));
    }
    EXPECT_EQ(SortChanges, (std::vector<TDataSet*>{Table}));
    EXPECT_TRUE(Sorts.empty());
}

TEST_P(SortComboBoxTest, TheLastEntryOfTheFirstFieldIsSelectedWhenTheListIsNotListed) {
    TTable* Table = Connect("customer", "");
    ComboBox->Items()->SetText("City\nName\ncity\nCity\nName;City\n");
    Table->SetIndexFieldNames("City;Name");
    EXPECT_EQ(ComboBox->ItemIndex(), 3);
    EXPECT_EQ(ComboBox->Text(), "City;Name");
    // An exact entry wins over the first field's, and the first of equal entries counts.
    ComboBox->Items()->SetText("Name\nCity;Name\nCity\nCity;Name\n");
    Table->SetIndexFieldNames("Name");
    Table->SetIndexFieldNames("City;Name");
    EXPECT_EQ(ComboBox->ItemIndex(), 1);
    // Neither: the selection stays where it was.
    ComboBox->Items()->SetText("Company;City\nCity;Name\n");
    ComboBox->SetItemIndex(1);
    Table->SetIndexFieldNames("Name");
    EXPECT_EQ(ComboBox->ItemIndex(), 1);
    EXPECT_EQ(ComboBox->Text(), "Name");
}

TEST_P(SortComboBoxTest, ADescendingOrderSetByCodeSelectsItsEntryOrThatOfItsFirstField) {
    struct TCase {
        const char* Name;
        const char* Items;
        const char* Order;
        int Selected; // -1: the selection stays where it was
        bool LocalIndexServes = true;
    };
    const char* const Exact = "City\nCity:D;Name:D\nCity:D\nCity:D;Name\nCity:D\nName\n";
    const char* const FirstFieldOnly = "City\nCity:D\nName\nCity:D\ncity:d\nName;City:D\n";
    const TCase Cases[] = {
        {"exact entry", Exact, "City:D;Name", 3, false},
        {"exact entry read backwards", Exact, "City:D;Name:D", 1},
        {"last entry of the first field", FirstFieldOnly, "City:D;Name", 3, false},
        {"last entry of the first field backwards", FirstFieldOnly, "City:D;Name:D", 3},
        // The ascending field's entry is another order.
        {"no entry", FirstFieldOnly, "Name:D", -1},
    };
    TTable* Table = Connect("customer", "");
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        if (GetParam() == tbSQLite && !Case.LocalIndexServes)
            continue; // no index of the local table holds City descending before Name
        Table->SetIndexFieldNames("");
        ComboBox->Items()->SetText(Case.Items);
        ComboBox->SetItemIndex(0);
        SortChanges.clear();
        Table->SetIndexFieldNames(Case.Order);
        EXPECT_EQ(ComboBox->ItemIndex(), Case.Selected < 0 ? 0 : Case.Selected);
        EXPECT_EQ(ComboBox->Text(), Case.Order);
        EXPECT_EQ(SortChanges, (std::vector<TDataSet*>{Table}));
    }
    EXPECT_TRUE(Sorts.empty());
}

TEST_P(SortComboBoxTest, WithoutAutoUpdateTheComboBoxIsFrozenUntilSwitchedOn) {
    TTable* Table = Connect("customer", "Name");
    ComboBox->SetAutoUpdate(false);
    ComboBox->Items()->SetText("Name\nCity;Name\n");
    ComboBox->SetItemIndex(0);
    Table->SetIndexFieldNames("City;Name");
    EXPECT_EQ(ComboBox->Text(), "Name");
    EXPECT_EQ(ComboBox->ItemIndex(), 0);
    EXPECT_TRUE(SortChanges.empty());
    ComboBox->SetAutoUpdate(true);
    EXPECT_EQ(ComboBox->Text(), "City;Name");
    EXPECT_EQ(ComboBox->ItemIndex(), 1);
    EXPECT_TRUE(SortChanges.empty());
}

TEST_P(SortComboBoxTest, TheRemovedDataSourceIsDropped) {
    Connect("customer", "Name");
    Form.RemoveComponent(Source);
    EXPECT_EQ(ComboBox->GetDataSource(), nullptr);
    delete Source;

    // A freed data source leaves nothing behind either.
    auto* Other = new TDataSource(&Form);
    Other->SetDataSet(CreateTable(Form, Database(), "customer", "City"));
    ComboBox->SetDataSource(Other);
    EXPECT_EQ(ComboBox->Text(), "City");
    delete Other;
    EXPECT_EQ(ComboBox->GetDataSource(), nullptr);
    ComboBox->SetText("Name");
    ComboBox->Sort();
    UserOpenList(*ComboBox);
    EXPECT_TRUE(Sorts.empty());
}

TEST_P(SortComboBoxTest, ATitleSorterOnTheSameDataSourceAndTheComboBoxFollowEachOther) {
    TTable* Table = Connect("customer", "");
    auto* Grid = new TDBGrid(&Form);
    Grid->SetBounds(0, 0, 800, 200); // room for every column's title
    Grid->SetDataSource(Source);
    auto* Sorter = new TDBGridTitleSort(&Form);
    Sorter->RegisterGrid(Grid);
    Grid->OnTitleClick = [&](TColumn* Column) { Sorter->Execute(Column); };
    auto Highlighted = [&] {
        std::vector<std::string> Names;
        for (int Index = 0; Index < Grid->Columns()->Count(); ++Index) {
            const TColumn* Column = Grid->Columns()->Items(Index);
            if (Column->Title()->Font()->Color() == Sorter->ClickedTitleFontColor())
                Names.push_back(Column->FieldName());
        }
        return Names;
    };

    // Linking the grid told the data source's links about the table's first order.
    SortChanges.clear();
    ASSERT_TRUE(UserClickTitle(*Grid, *Grid->Columns()->FindColumn("Name")));
    EXPECT_EQ(Table->IndexFieldNames(), "Name");
    EXPECT_EQ(ComboBox->Text(), "Name");
    EXPECT_EQ(SortChanges, (std::vector<TDataSet*>{Table}));
    EXPECT_EQ(Highlighted(), (std::vector<std::string>{"Name"}));
    EXPECT_TRUE(Sorts.empty());

    ComboBox->SetStrictServerIndexing(true);
    UserOpenList(*ComboBox);
    ASSERT_TRUE(UserSelectItem(*ComboBox, ComboBox->Items()->IndexOf("Company;City")));
    EXPECT_EQ(Table->IndexFieldNames(), "Company;City");
    EXPECT_EQ(Highlighted(), (std::vector<std::string>{"Company", "City"}));
    EXPECT_EQ(Sorts,
              (std::vector<TSortReport>{
                  {.Sender = ComboBox, .DataSet = Table, .SortFieldNames = "Company;City"}}));
}

// ---------------------------------------------------------------- class information

TEST(SortComboBoxClassTest, PublishesItsPropertiesInOrderWithTheirDefaults) {
    dbsortcombobox::Register();
    const auto Classes = PaletteClasses("Vorn");
    EXPECT_NE(std::find(Classes.begin(), Classes.end(), &TDBSortComboBox::StaticClass()),
              Classes.end());
    TComponent Form(nullptr);
    auto* ComboBox =
        dynamic_cast<TDBSortComboBox*>(FindClass("TDBSortComboBox").CreateInstance(&Form));
    ASSERT_NE(ComboBox, nullptr);

    std::vector<std::string> Names;
    for (const TPropertyInfo& Property : TDBSortComboBox::StaticClass().OwnProperties())
        Names.push_back(Property.Name);
    EXPECT_EQ(Names, (std::vector<std::string>{"AutoUpdate", "DataSource", "ReopenAfterError",
                                               "StrictServerIndexing", "AfterSortChange", "OnSort",
                                               "ListDescending"}));
    auto Value = [&](const char* Name) {
        return TDBSortComboBox::StaticClass().FindProperty(Name)->Get(*ComboBox);
    };
    EXPECT_EQ(Value("AutoUpdate"), TPropertyValue(true));
    EXPECT_EQ(Value("DataSource"), TPropertyValue(static_cast<TObject*>(nullptr)));
    EXPECT_EQ(Value("ReopenAfterError"), TPropertyValue(true));
    EXPECT_EQ(Value("StrictServerIndexing"), TPropertyValue(false));
    EXPECT_EQ(Value("ListDescending"), TPropertyValue(false));
    // The combo box's own properties stay published.
    EXPECT_NE(TDBSortComboBox::StaticClass().FindProperty("Items"), nullptr);

    auto* Source = new TDataSource(&Form);
    TDBSortComboBox::StaticClass()
        .FindProperty("DataSource")
        ->Set(*ComboBox, static_cast<TObject*>(Source));
    EXPECT_EQ(ComboBox->GetDataSource(), Source);
}

} // namespace
} // namespace vorn
