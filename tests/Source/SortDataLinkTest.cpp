#include "Source/Vorn_shared.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "tests/support/SampleDatabaseFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <vector>

namespace vorn {
namespace {

using testsupport::TSampleDatabaseFile;

struct TReport {
    TObject* Sender;
    std::string OldFields;
    std::string NewFields;
    bool operator==(const TReport&) const = default;
};

class SortDataLinkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Database = std::make_unique<TSampleDatabaseFile>(40);
        // Two indexes on the same field, and a table that spells its field in capitals.
        Database->Execute("CREATE INDEX ByNameAgain ON customer (Name);"
                          "CREATE TABLE shouting (Id INTEGER PRIMARY KEY, NAME TEXT);"
                          "CREATE INDEX ByShoutedName ON shouting (NAME);"
                          "INSERT INTO shouting (NAME) VALUES ('b'), ('a');");
    }
    static void TearDownTestSuite() { Database.reset(); }

    SortDataLinkTest() {
        Link.OnSortChange = [this](TObject* Sender, const std::string& OldFields,
                                   const std::string& NewFields, bool& Done) {
            Reports.push_back({Sender, OldFields, NewFields});
            Done = Accept;
        };
    }

    TTable* OpenTable(const std::string& TableName, const std::string& IndexFieldNames) {
        auto* Table = new TTable(&Owner);
        Table->SetDatabaseName(Database->Alias());
        Table->SetTableName(TableName);
        Table->SetIndexFieldNames(IndexFieldNames);
        Table->Open();
        return Table;
    }

    TDataSource* SourceFor(TDataSet* DataSet) {
        auto* Source = new TDataSource(&Owner);
        Source->SetDataSet(DataSet);
        return Source;
    }

    static std::unique_ptr<TSampleDatabaseFile> Database;
    TComponent Owner{nullptr};
    TSortDataLink Link;
    std::vector<TReport> Reports;
    bool Accept = true;
};

std::unique_ptr<TSampleDatabaseFile> SortDataLinkTest::Database;

TEST_F(SortDataLinkTest, ReportsEachChangeOnceWithTheAcceptedList) {
    TTable* Table = OpenTable("customer", "Name");
    Link.SetDataSource(SourceFor(Table));
    // The first report of a sorted table starts from the empty list.
    Link.DataSetChanged();
    Table->SetIndexFieldNames("City;Name");
    Table->Refresh();
    Table->SetIndexFieldNames("CustNo");
    EXPECT_EQ(Reports, (std::vector<TReport>{
                           {.Sender = &Link, .OldFields = "", .NewFields = "Name"},
                           {.Sender = &Link, .OldFields = "Name", .NewFields = "City;Name"},
                           {.Sender = &Link, .OldFields = "City;Name", .NewFields = "CustNo"}}));
    EXPECT_EQ(Link.SortFields(), "CustNo");
}

TEST_F(SortDataLinkTest, ADeclinedChangeIsReportedAgainUntilAccepted) {
    TTable* Table = OpenTable("customer", "Name");
    Link.SetDataSource(SourceFor(Table));
    Link.DataSetChanged();
    Accept = false;
    Table->SetIndexFieldNames("City;Name");
    Table->Refresh();
    EXPECT_EQ(Link.SortFields(), "Name");
    Accept = true;
    Table->Refresh();
    Table->Refresh();
    EXPECT_EQ(Reports, (std::vector<TReport>{
                           {.Sender = &Link, .OldFields = "", .NewFields = "Name"},
                           {.Sender = &Link, .OldFields = "Name", .NewFields = "City;Name"},
                           {.Sender = &Link, .OldFields = "Name", .NewFields = "City;Name"},
                           {.Sender = &Link, .OldFields = "Name", .NewFields = "City;Name"}}));
    EXPECT_EQ(Link.SortFields(), "City;Name");
}

TEST_F(SortDataLinkTest, AnOrderThatReturnsBeforeAcceptanceIsNotReported) {
    TTable* Table = OpenTable("customer", "Name");
    Link.SetDataSource(SourceFor(Table));
    Link.DataSetChanged();
    Accept = false;
    Table->SetIndexFieldNames("City");
    Table->SetIndexFieldNames("Name");
    EXPECT_EQ(Reports.size(), 2u);
    EXPECT_EQ(Link.SortFields(), "Name");
}

TEST_F(SortDataLinkTest, AnotherIndexOnTheSameFieldsIsNoChange) {
    TTable* Table = OpenTable("customer", "");
    Table->SetIndexName("ByName");
    Link.SetDataSource(SourceFor(Table));
    Link.DataSetChanged();
    Table->SetIndexName("ByNameAgain");
    EXPECT_EQ(Reports,
              (std::vector<TReport>{{.Sender = &Link, .OldFields = "", .NewFields = "Name"}}));
}

TEST_F(SortDataLinkTest, ARepointedLinkComparesWithItsLastAcceptedListExactly) {
    TTable* Mixed = OpenTable("customer", "Name");
    TTable* Shouting = OpenTable("shouting", "NAME");
    Link.SetDataSource(SourceFor(Mixed));
    Link.DataSetChanged();
    // Only the letter case differs: still a change.
    Link.SetDataSource(SourceFor(Shouting));
    Link.DataSetChanged();
    EXPECT_EQ(Reports,
              (std::vector<TReport>{{.Sender = &Link, .OldFields = "", .NewFields = "Name"},
                                    {.Sender = &Link, .OldFields = "Name", .NewFields = "NAME"}}));
}

TEST_F(SortDataLinkTest, WithoutHandlerEveryChangeIsAccepted) {
    TSortDataLink Silent;
    TTable* Table = OpenTable("customer", "City");
    Silent.SetDataSource(SourceFor(Table));
    Silent.DataSetChanged();
    EXPECT_EQ(Silent.SortFields(), "City");
    Table->SetIndexFieldNames("Company;City");
    EXPECT_EQ(Silent.SortFields(), "Company;City");
}

TEST_F(SortDataLinkTest, QueriesAndMissingDataSetsAreNeverReported) {
    auto* Query = new TQuery(&Owner);
    Query->SetDatabaseName(Database->Alias());
    Query->SQL()->SetText("SELECT * FROM customer ORDER BY Name");
    Link.SetDataSource(SourceFor(Query));
    Query->Open();
    Link.DataSetChanged();
    Query->Refresh();

    Link.SetDataSource(SourceFor(nullptr));
    Link.DataSetChanged();
    Link.SetDataSource(nullptr);
    Link.DataSetChanged();
    EXPECT_TRUE(Reports.empty());
    EXPECT_EQ(Link.SortFields(), "");
}

TEST_F(SortDataLinkTest, AHandlerThatRaisesLeavesTheChangePending) {
    TTable* Table = OpenTable("customer", "Name");
    Link.SetDataSource(SourceFor(Table));
    Link.OnSortChange = [](TObject*, const std::string&, const std::string&, bool&) {
        throw std::runtime_error("handler failed");
    };
    EXPECT_THROW(Link.DataSetChanged(), std::runtime_error);
    EXPECT_EQ(Link.SortFields(), "");
    Link.OnSortChange = nullptr;
    Link.DataSetChanged();
    EXPECT_EQ(Link.SortFields(), "Name");
}

} // namespace
} // namespace vorn
