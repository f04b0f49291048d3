#include "BackendFixture.h"
#include "TestDatabase.h"

#include "apps/samplegen/SampleDatabase.h"
#include "host/components/model/Exception.h"
#include "host/data/dataset/Table.h"
#include "tests/support/SampleDatabaseFile.h"

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::Show;
using vorn::test::TBackendDatabase;
using vorn::test::tbPostgreSQL;

namespace {

// Every record of a table in its primary key's order: each field's name, type and value.
std::vector<std::string> Dump(const std::string& Alias, const std::string& TableName) {
    TTable Table(nullptr);
    Table.SetDatabaseName(Alias);
    Table.SetTableName(TableName);
    Table.SetPageSize(200);
    Table.Open();
    std::vector<std::string> Lines;
    std::string Header;
    for (int Index = 0; Index < Table.FieldCount(); ++Index)
        Header += Table.Fields(Index)->FieldName() + ":" +
                  std::to_string(Table.Fields(Index)->DataType()) + " ";
    Lines.push_back(Header);
    for (; !Table.Eof(); Table.Next()) {
        std::string Line;
        for (int Index = 0; Index < Table.FieldCount(); ++Index)
            Line += Show(Table.Fields(Index)->Value()) + "|";
        Lines.push_back(Line);
    }
    return Lines;
}

sampledata::TSampleOptions SmallSample() {
    sampledata::TSampleOptions Options;
    Options.Customers = 150;
    Options.MaxOrdersPerCustomer = 3;
    Options.Seed = 77;
    return Options;
}

TEST(SamplePostgresTarget, WritesTheSameSchemaAndRowsAsTheSQLiteTarget) {
    const testsupport::TSampleDatabaseFile File(SmallSample());
    TBackendDatabase Server(tbPostgreSQL);
    const sampledata::TSampleCounts Counts =
        sampledata::CreatePostgresSampleDatabase(Server.ConnInfo(), SmallSample());
    EXPECT_EQ(Counts.Customers, File.Counts().Customers);
    EXPECT_EQ(Counts.Orders, File.Counts().Orders);
    EXPECT_EQ(Counts.Contacts, File.Counts().Contacts);
    for (const sampledata::TSampleTable& Table : sampledata::SampleSchema()) {
        const auto Local = Dump(File.Alias(), Table.Name);
        const auto Remote = Dump(Server.Alias(), Table.Name);
        EXPECT_GT(Local.size(), 10u) << Table.Name;
        EXPECT_EQ(Remote, Local) << Table.Name;
    }
    // The indexes and their mixed-case names come along, each ending in the primary key
    // that settles the ties of its fields, as SQLite's rowid does there.
    TTable Customer(nullptr);
    Customer.SetDatabaseName(Server.Alias());
    Customer.SetTableName("customer");
    Customer.IndexDefs()->Update();
    for (const auto& [Name, Fields] :
         {std::pair{"ByCityName", "City;Name;CustNo"}, std::pair{"ByName", "Name;CustNo"}}) {
        ASSERT_NE(Customer.IndexDefs()->Find(Name), nullptr) << Name;
        EXPECT_EQ(Customer.IndexDefs()->Find(Name)->Fields(), Fields);
    }
}

TEST(SamplePostgresTarget, ExistingTablesAreKeptUnlessReplaced) {
    TBackendDatabase Server(tbPostgreSQL);
    sampledata::CreatePostgresSampleDatabase(Server.ConnInfo(), SmallSample());
    Server.Execute("DELETE FROM \"contact\" WHERE \"ContactNo\" > 5");
    try {
        sampledata::CreatePostgresSampleDatabase(Server.ConnInfo(), SmallSample());
        FAIL() << "existing tables were overwritten";
    } catch (const Exception& Error) {
        EXPECT_NE(Error.Message().find("already exists"), std::string::npos) << Error.Message();
    }
    EXPECT_EQ(Server.Column("SELECT COUNT(*) FROM \"contact\""), std::vector<std::string>{"5"});
    const auto Counts =
        sampledata::CreatePostgresSampleDatabase(Server.ConnInfo(), SmallSample(), true);
    EXPECT_EQ(Server.Column("SELECT COUNT(*) FROM \"contact\""),
              std::vector<std::string>{std::to_string(Counts.Contacts)});
}

TEST(SamplePostgresTarget, AnUnfinishedTargetLeavesNothingBehind) {
    TBackendDatabase Server(tbPostgreSQL);
    {
        auto Target = sampledata::CreatePostgresTarget(Server.ConnInfo(), false);
        Target->BeginTable(sampledata::SampleTable("customer"));
        EXPECT_THROW(Target->AddRow({std::int64_t{1}}), Exception) << "too few values";
    }
    EXPECT_EQ(Server.Column("SELECT COUNT(*) FROM pg_tables WHERE schemaname = '" +
                            Server.Schema() + "'"),
              std::vector<std::string>{"0"});
    EXPECT_THROW(sampledata::CreatePostgresTarget("host=/tmp/vorn-no-server-here", false),
                 Exception);
}

} // namespace
