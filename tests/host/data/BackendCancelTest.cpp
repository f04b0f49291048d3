#include "BackendFixture.h"

#include "host/data/dataset/Table.h"
#include "host/data/drivers/LongOperation.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace vorn;
using vorn::test::AllBackends;
using vorn::test::BackendTest;
using vorn::test::BackendTestName;

namespace {

using TClock = std::chrono::steady_clock;

// Asks to cancel once a statement has run for CancelAfter; counts what it saw.
class TCancellingMonitor : public TLongOperationMonitor {
public:
    explicit TCancellingMonitor(std::chrono::milliseconds CancelAfter)
        : FCancelAfter(CancelAfter), FPrevious(SetLongOperationMonitor(this)) {}
    ~TCancellingMonitor() override { SetLongOperationMonitor(FPrevious); }

    void Begin() override {
        if (Depth++ == 0)
            FStarted = TClock::now();
    }
    bool Tick() override {
        ++Ticks;
        return TClock::now() - FStarted >= FCancelAfter;
    }
    void End() override { --Depth; }

    int Depth = 0;
    int Ticks = 0;

private:
    std::chrono::milliseconds FCancelAfter;
    TClock::time_point FStarted;
    TLongOperationMonitor* FPrevious;
};

// Counts to a hundred million on either database: many seconds of work in one statement.
const char* const SlowCount = "WITH RECURSIVE c(n) AS (SELECT 1 UNION ALL SELECT n + 1 FROM c "
                              "WHERE n < 100000000) SELECT count(*) FROM c";

class CancelTest : public BackendTest {};

TEST_P(CancelTest, CancelStopsTheStatementAtOnceAndTheConnectionServesTheNextOne) {
    TDriverConnection& Connection = Database->Connection();
    const auto Started = TClock::now();
    {
        TCancellingMonitor Monitor(std::chrono::milliseconds(50));
        try {
            auto Cursor = Connection.Execute(SlowCount, {});
            Cursor->Next();
            FAIL() << "the statement ran to its end";
        } catch (const EOperationCancelled& Error) {
            EXPECT_STREQ("Operation cancelled by the user", Error.what());
        }
        EXPECT_GT(Monitor.Ticks, 0);
        EXPECT_EQ(0, Monitor.Depth) << "every Begin is matched by an End";
        EXPECT_LT(TClock::now() - Started, std::chrono::seconds(3));

        // The same monitor lets a quick statement through: it is over before the cancel.
        EXPECT_EQ((std::vector<std::string>{"1"}), Database->Column("SELECT 1"));
    }
    auto Cursor = Connection.Execute("SELECT 41 + 1", {});
    ASSERT_TRUE(Cursor->Next());
    EXPECT_EQ(42, Cursor->Value(0).AsInteger());
}

TEST_P(CancelTest, CancelStopsACommandAndLeavesTheTableAsItWas) {
    Database->Execute("CREATE TABLE \"Counted\" (\"N\" INTEGER)");
    {
        TCancellingMonitor Monitor(std::chrono::milliseconds(50));
        EXPECT_THROW(
            Database->Connection().ExecuteCommand(
                Database->NativeSql(std::string("INSERT INTO \"Counted\" ") + SlowCount), {}),
            EOperationCancelled);
    }
    EXPECT_EQ((std::vector<std::string>{"0"}),
              Database->Column("SELECT count(*) FROM \"Counted\""));
}

INSTANTIATE_TEST_SUITE_P(Backends, CancelTest, ::testing::ValuesIn(AllBackends), BackendTestName);

// A server table may be ordered by any column: reading on from a record in the order of a
// column without an index sorts the whole table. Cancelled, the read leaves the table on
// its record, in its order, ready for the next read.
class TableCancelTest : public BackendTest {};

TEST_P(TableCancelTest, ACancelledReadLeavesTheTableOnItsRecord) {
    // Texts compared by ICU sort slowly enough for the cancel to arrive first.
    Database->Execute("CREATE TABLE \"Many\" (\"Id\" INTEGER PRIMARY KEY, "
                      "\"Noise\" TEXT COLLATE \"und-x-icu\")");
    Database->Execute("INSERT INTO \"Many\" SELECT n, md5(n::text) "
                      "FROM generate_series(1, 1000000) AS s(n)");
    TTable Table(nullptr);
    Table.SetDatabaseName(Database->Alias());
    Table.SetTableName("Many");
    Table.Open();
    Table.MoveBy(41);
    Table.SetIndexFieldNames("Noise");
    ASSERT_EQ(Table.FieldByName("Id")->AsInteger(), 42);
    {
        TCancellingMonitor Monitor(std::chrono::milliseconds(0));
        EXPECT_THROW(Table.Next(), EOperationCancelled);
    }
    EXPECT_EQ(Table.State(), dsBrowse);
    EXPECT_EQ(Table.IndexFieldNames(), "Noise");
    EXPECT_EQ(Table.FieldByName("Id")->AsInteger(), 42);
    Table.Next();
    EXPECT_EQ((std::vector<std::string>{Table.FieldByName("Id")->AsString()}),
              Database->Column("SELECT \"Id\" FROM \"Many\" WHERE \"Noise\" > (SELECT "
                               "\"Noise\" FROM \"Many\" WHERE \"Id\" = 42) ORDER BY "
                               "\"Noise\" LIMIT 1"));
}

// SQLite orders a table only by an index, which serves a page at once.
INSTANTIATE_TEST_SUITE_P(Server, TableCancelTest, ::testing::Values(vorn::test::tbPostgreSQL),
                         BackendTestName);

} // namespace
