#include "BackendFixture.h"

#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Table.h"

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::BackendTest;
using vorn::test::BackendTestName;
using vorn::test::ReadingBackends;

namespace {

// Records every notification a link receives, in order.
class TRecordingLink : public TDataLink {
public:
    std::vector<std::string> Events;

    void ActiveChanged() override { Events.push_back(Active() ? "active" : "inactive"); }
    void DataSetChanged() override { Events.push_back("changed"); }
    void DataSetScrolled(int) override { Events.push_back("scrolled"); }
    void RecordChanged(TField*) override { Events.push_back("record"); }

    std::vector<std::string> Take() { return std::exchange(Events, {}); }
};

class DataLinkTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        Database->Execute(
            "CREATE TABLE \"Items\" (\"ID\" INTEGER PRIMARY KEY, \"Name\" VARCHAR(20))");
        Database->Execute("CREATE INDEX \"ItemsName\" ON \"Items\" (\"Name\")");
        for (int Id = 1; Id <= 10; ++Id)
            Database->Execute("INSERT INTO \"Items\" VALUES (?1, ?2)",
                              {Id, TVariant("Item" + std::to_string(11 - Id))});
        Table->SetDatabaseName(Database->Alias());
        Table->SetTableName("Items");
        Source->SetDataSet(Table);
        Link.SetDataSource(Source);
        Link.Take();
    }

    using Events = std::vector<std::string>;

    TComponent Owner{nullptr};
    TTable* Table = new TTable(&Owner);
    TDataSource* Source = new TDataSource(&Owner);
    TRecordingLink Link;
};

TEST_P(DataLinkTest, EachOperationSendsItsOwnNotifications) {
    struct TStep {
        const char* Name;
        std::function<void()> Run;
        Events Expected;
    };
    const std::vector<TStep> Steps = {
        {.Name = "open", .Run = [&] { Table->Open(); }, .Expected = {"active", "changed"}},
        {.Name = "next is a scroll", .Run = [&] { Table->Next(); }, .Expected = {"scrolled"}},
        {.Name = "next past the end tells nothing",
         .Run =
             [&] {
                 Table->Last();
                 Link.Take();
                 Table->Next();
             },
         .Expected = {}},
        {.Name = "prior is a scroll", .Run = [&] { Table->Prior(); }, .Expected = {"scrolled"}},
        {.Name = "locate is a scroll",
         .Run = [&] { Table->Locate("ID", TVariant(3), {}); },
         .Expected = {"scrolled"}},
        {.Name = "failed locate tells nothing",
         .Run = [&] { Table->Locate("ID", TVariant(99), {}); },
         .Expected = {}},
        {.Name = "re-sort changes the rows",
         .Run = [&] { Table->SetIndexFieldNames("Name"); },
         .Expected = {"changed"}},
        {.Name = "rejected re-sort tells nothing",
         .Run = [&] { EXPECT_ANY_THROW(Table->SetIndexFieldNames("Nope")); },
         .Expected = {}},
        {.Name = "filter changes the rows",
         .Run = [&] { Table->SetFilter("Name = 'x'"); },
         .Expected = {"changed"}},
        {.Name = "filtered changes the rows",
         .Run = [&] { Table->SetFiltered(true); },
         .Expected = {"changed"}},
        {.Name = "refresh changes the rows",
         .Run = [&] { Table->Refresh(); },
         .Expected = {"changed"}},
        {.Name = "close", .Run = [&] { Table->Close(); }, .Expected = {"inactive"}},
    };
    for (const TStep& Step : Steps) {
        Step.Run();
        EXPECT_EQ(Link.Take(), Step.Expected) << Step.Name;
    }
}

TEST_P(DataLinkTest, DisabledControlsHoldNotificationsUntilTheLastEnable) {
    Table->Open();
    Link.Take();
    Table->DisableControls();
    Table->DisableControls();
    EXPECT_TRUE(Table->ControlsDisabled());
    Table->Next();
    Table->SetIndexFieldNames("Name");
    Table->Last();
    Table->EnableControls();
    EXPECT_TRUE(Table->ControlsDisabled());
    EXPECT_EQ(Link.Take(), Events{});
    Table->EnableControls();
    EXPECT_FALSE(Table->ControlsDisabled());
    EXPECT_EQ(Link.Take(), Events{"changed"});
    // An unbalanced enable is harmless.
    Table->EnableControls();
    EXPECT_EQ(Link.Take(), Events{});
}

TEST_P(DataLinkTest, OpeningWhileDisabledReportsActiveThenChangedOnEnable) {
    Table->DisableControls();
    Table->Open();
    EXPECT_EQ(Link.Take(), Events{});
    Table->EnableControls();
    EXPECT_EQ(Link.Take(), (Events{"active", "changed"}));
}

TEST_P(DataLinkTest, DataSourceStateReachesTheLinks) {
    Table->Open();
    Link.Take();
    Source->SetEnabled(false);
    EXPECT_FALSE(Link.Active());
    Table->Next();
    EXPECT_EQ(Link.Take(), Events{"inactive"});
    Source->SetEnabled(true);
    EXPECT_EQ(Link.Take(), Events{"active"});

    TDataSource Other(nullptr);
    Link.SetDataSource(&Other);
    EXPECT_EQ(Link.DataSet(), nullptr);
    EXPECT_EQ(Link.Take(), Events{"inactive"});
    Link.SetDataSource(Source);
    EXPECT_EQ(Link.DataSet(), Table);
    EXPECT_EQ(Link.Take(), Events{"active"});
}

TEST_P(DataLinkTest, FreeingTheDataSetOrTheDataSourceDetachesSafely) {
    Table->Open();
    Link.Take();
    delete Table;
    EXPECT_EQ(Source->DataSet(), nullptr);
    EXPECT_EQ(Link.Take(), Events{"inactive"});
    delete Source;
    EXPECT_EQ(Link.DataSource(), nullptr);
}

TEST_P(DataLinkTest, FieldDataLinkReportsItsField) {
    TFieldDataLink FieldLink;
    int DataChanges = 0;
    int ActiveChanges = 0;
    FieldLink.OnDataChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, &FieldLink);
        ++DataChanges;
    };
    FieldLink.OnActiveChange = [&](TObject*) { ++ActiveChanges; };
    FieldLink.SetFieldName("Name");
    FieldLink.SetDataSource(Source);
    EXPECT_EQ(FieldLink.Field(), nullptr);
    const int ActiveAfterAttach = ActiveChanges;

    Table->Open();
    EXPECT_EQ(ActiveChanges, ActiveAfterAttach + 1);
    ASSERT_NE(FieldLink.Field(), nullptr);
    EXPECT_EQ(FieldLink.Field()->FieldName(), "Name");
    EXPECT_EQ(FieldLink.Field()->AsString(), "Item10");

    DataChanges = 0;
    Table->Next();
    EXPECT_EQ(DataChanges, 1) << "a scroll";
    EXPECT_EQ(FieldLink.Field()->AsString(), "Item9");
    Table->SetIndexFieldNames("Name");
    EXPECT_EQ(DataChanges, 2) << "a change of the rows";

    FieldLink.SetFieldName("Missing");
    EXPECT_EQ(FieldLink.Field(), nullptr);
    Table->Close();
    EXPECT_EQ(ActiveChanges, ActiveAfterAttach + 2);
    EXPECT_EQ(FieldLink.Field(), nullptr);
}

INSTANTIATE_TEST_SUITE_P(Backends, DataLinkTest, ::testing::ValuesIn(ReadingBackends()),
                         BackendTestName);

} // namespace
