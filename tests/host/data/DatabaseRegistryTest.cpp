#include "TestDatabase.h"

#include "host/components/text/CodePage.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/DatabaseError.h"

#include <gtest/gtest.h>

#include <fstream>

using namespace vorn;
using vorn::test::TTempDatabase;

namespace {

// Runs Action, expecting an EDatabaseError whose message holds every one of Parts.
template <typename F>
void ExpectDatabaseError(F Action, std::initializer_list<std::string> Parts) {
    try {
        Action();
        ADD_FAILURE() << "no error raised";
    } catch (const EDatabaseError& Error) {
        for (const std::string& Part : Parts)
            EXPECT_NE(Error.Message().find(Part), std::string::npos)
                << "'" << Part << "' missing in: " << Error.Message();
    }
}

class BadInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        // The host text of these cases is Windows-1250, whichever case ran before.
        SetHostCodePage(cpWindows1250);
        Database.Execute("CREATE TABLE T (ID INTEGER PRIMARY KEY, Name VARCHAR(10))");
        Database.Execute("INSERT INTO T VALUES (1, 'one'), (2, 'two')");
        Table.SetName("Things");
        Table.SetDatabaseName(Database.Alias());
        Table.SetTableName("T");
    }

    TTempDatabase Database;
    TTable Table{nullptr};
};

TEST_F(BadInputTest, OpeningFailuresNameTheCauseAndLeaveTheTableClosed) {
    struct TCase {
        const char* Name;
        std::function<void()> Prepare;
        std::vector<std::string> MessageParts;
    };
    const std::string Missing = (Database.Folder() / "missing.db").string();
    const std::string Garbage = (Database.Folder() / "garbage.db").string();
    std::ofstream(Garbage) << "this is certainly not a database file, just some text....";
    RegisterSQLiteDatabase("BadMissing", Missing);
    RegisterSQLiteDatabase("BadGarbage", Garbage);
    const std::vector<TCase> Cases = {
        {.Name = "unknown alias",
         .Prepare = [&] { Table.SetDatabaseName("NoSuchAlias"); },
         .MessageParts = {"'NoSuchAlias'"}},
        {.Name = "no alias",
         .Prepare = [&] { Table.SetDatabaseName(""); },
         .MessageParts = {"Things", "DatabaseName"}},
        {.Name = "unknown table",
         .Prepare = [&] { Table.SetTableName("NoSuchTable"); },
         .MessageParts = {"'NoSuchTable'"}},
        {.Name = "no table",
         .Prepare = [&] { Table.SetTableName(""); },
         .MessageParts = {"Things", "TableName"}},
        {.Name = "missing file",
         .Prepare = [&] { Table.SetDatabaseName("BadMissing"); },
         .MessageParts = {Missing}},
        {.Name = "not a database",
         .Prepare = [&] { Table.SetDatabaseName("BadGarbage"); },
         .MessageParts = {Garbage, "not a database"}},
        {.Name = "unknown order field",
         .Prepare = [&] { Table.SetIndexFieldNames("Nope"); },
         .MessageParts = {"'Nope'"}},
    };
    for (const TCase& Case : Cases) {
        Table.SetDatabaseName(Database.Alias());
        Table.SetTableName("T");
        Table.SetIndexFieldNames("");
        Case.Prepare();
        SCOPED_TRACE(Case.Name);
        std::vector<std::string> Parts = Case.MessageParts;
        try {
            Table.Open();
            ADD_FAILURE() << "opened";
        } catch (const EDatabaseError& Error) {
            for (const std::string& Part : Parts)
                EXPECT_NE(Error.Message().find(Part), std::string::npos) << Error.Message();
        }
        EXPECT_FALSE(Table.Active());
        EXPECT_EQ(Table.FieldCount(), 0);
    }
    EXPECT_FALSE(std::filesystem::exists(Missing)) << "opening never creates a database";
    UnregisterDatabase("BadMissing");
    UnregisterDatabase("BadGarbage");
}

TEST_F(BadInputTest, ALockedDatabaseIsReportedAsBusy) {
    Database.Execute("BEGIN EXCLUSIVE");
    Database.Execute("UPDATE T SET Name = 'locked' WHERE ID = 1");
    ExpectDatabaseError([&] { Table.Open(); }, {Database.Path(), "locked"});
    EXPECT_FALSE(Table.Active());
    Database.Execute("ROLLBACK");
    Table.Open();
    EXPECT_EQ(Table.FieldByName("Name")->AsString(), "one");
}

TEST_F(BadInputTest, RecordsOfAClosedDataSetRaiseNamingIt) {
    Table.Open();
    TField* Name = Table.FieldByName("Name");
    Table.Close();
    const std::vector<std::pair<const char*, std::function<void()>>> Operations = {
        {"First", [&] { Table.First(); }},
        {"Next", [&] { Table.Next(); }},
        {"Prior", [&] { Table.Prior(); }},
        {"Last", [&] { Table.Last(); }},
        {"MoveBy", [&] { Table.MoveBy(1); }},
        {"IsEmpty", [&] { (void)Table.IsEmpty(); }},
        {"Bookmark", [&] { (void)Table.Bookmark(); }},
        {"Locate", [&] { Table.Locate("ID", TVariant(1), {}); }},
        {"Lookup", [&] { Table.Lookup("ID", {TVariant(1)}, "Name"); }},
        {"Refresh", [&] { Table.Refresh(); }},
        {"field value", [&] { (void)Name->AsString(); }},
    };
    for (const auto& [Operation, Run] : Operations) {
        SCOPED_TRACE(Operation);
        ExpectDatabaseError(Run, {"Things"});
    }
    ExpectDatabaseError([&] { Table.FieldByName("Name"); }, {"Field 'Name' not found"});
}

TEST_F(BadInputTest, PropertiesThatNeedAClosedTableRefuseOnAnOpenOne) {
    Table.Open();
    ExpectDatabaseError([&] { Table.SetTableName("Other"); }, {"Things", "open dataset"});
    ExpectDatabaseError([&] { Table.SetDatabaseName("Other"); }, {"Things", "open dataset"});
    ExpectDatabaseError([&] { Table.AddCalculatedField("X", ftInteger); }, {"open dataset"});
    ExpectDatabaseError([&] { Table.FieldByName("Nope"); }, {"Field 'Nope' not found"});
    EXPECT_EQ(Table.FindField("Nope"), nullptr);
    EXPECT_THROW(Table.Fields(2), EListError);
    EXPECT_THROW(Table.IndexFields(1), EListError);
    EXPECT_THROW(Table.SetPageSize(0), EDatabaseError);
    EXPECT_EQ(Table.TableName(), "T");
}

TEST_F(BadInputTest, DataSetsOnOneAliasShareOneConnection) {
    TTable Second(nullptr);
    Second.SetDatabaseName(Database.Alias());
    Second.SetTableName("T");
    Table.Open();
    Second.Open();
    // The alias cannot change under open datasets.
    ExpectDatabaseError([&] { UnregisterDatabase(Database.Alias()); }, {"in use"});
    ExpectDatabaseError([&] { RegisterSQLiteDatabase(Database.Alias(), "/elsewhere.db"); },
                        {"in use"});
    const TConnectionLease Lease(Database.Alias());
    TConnectionLease Other(Database.Alias());
    EXPECT_EQ(&Lease.Connection(), &Other.Connection());
    Table.Close();
    Second.Close();
    ExpectDatabaseError([] { UnregisterDatabase("NeverRegistered"); }, {"'NeverRegistered'"});
}

TEST_F(BadInputTest, ValuesAreBoundNeverSplicedAndTextUsesTheHostCodePage) {
    // "Š" and "č" in Windows-1250, stored as UTF-8 by SQLite.
    const std::string Host = "\x8A"
                             "abac \xE8";
    Database.Execute("INSERT INTO T VALUES (3, ?1)", {TVariant(Host)});
    EXPECT_EQ(Database.Column("SELECT hex(Name) FROM T WHERE ID = 3"),
              std::vector<std::string>{"C5A06162616320C48D"})
        << "stored as UTF-8";
    Database.Execute("INSERT INTO T VALUES (4, ?1)", {TVariant("x'); DROP TABLE T; --")});
    Table.Open();
    ASSERT_TRUE(Table.Locate("Name", TVariant(Host), {}));
    EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), 3);
    EXPECT_EQ(Table.FieldByName("Name")->AsString(), Host);
    ASSERT_TRUE(Table.Locate("Name", TVariant("x'); DROP TABLE T; --"), {}));
    EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), 4);
    EXPECT_FALSE(Table.Locate("Name", TVariant("' OR '1'='1"), {loPartialKey}));
    EXPECT_EQ(Database.Column("SELECT COUNT(*) FROM T"), std::vector<std::string>{"4"});
}

} // namespace
