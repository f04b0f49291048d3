#include "PgTestDatabase.h"

#include "host/data/dataset/Database.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/postgres/PgDatabase.h"

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::PgServerConnInfo;
using vorn::test::PgTest;
using vorn::test::PgTestConnInfo;

namespace {

const char* const Alias = "vorn_pg_bad_input";

// Datasets on a server that cannot be reached, refuses the login or loses the
// connection: the server's message reaches the application, nothing crashes, and a
// dataset that failed is closed and can be opened again.
class PgBadInputTest : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (!Connection)
            return;
        Exec("DROP TABLE IF EXISTS \"Numbers\"");
        Exec("CREATE TABLE \"Numbers\" (\"N\" integer PRIMARY KEY)");
        Exec("INSERT INTO \"Numbers\" SELECT n FROM generate_series(1, 230) AS s(n)");
    }
    void TearDown() override {
        if (IsDatabaseRegistered(Alias))
            UnregisterDatabase(Alias);
        PgTest::TearDown();
    }

    // Ends every other session on the test database, the datasets' included.
    void DropOtherConnections() {
        Column("SELECT pg_terminate_backend(pid, 5000) FROM pg_stat_activity "
               "WHERE datname = current_database() AND pid <> pg_backend_pid()");
    }
};

TEST_F(PgBadInputTest, AFailedConnectionRaisesTheServersMessageAndTheDataSetStaysClosed) {
    Exec("ALTER ROLE vorn_password_check PASSWORD 'right horse'");
    const struct {
        const char* Name;
        std::string ConnInfo;
        const char* Message;
    } Cases[] = {
        {"server down", "host=/tmp/vorn-no-server-here dbname=vorn user=postgres",
         "No such file or directory"},
        {"wrong password", PgServerConnInfo() + " user=vorn_password_check password=wrong",
         "password authentication failed for user \"vorn_password_check\""},
        {"unknown database", PgServerConnInfo() + " dbname=vorn_no_such_database",
         "database \"vorn_no_such_database\" does not exist"},
    };
    for (const auto& Case : Cases) {
        RegisterPostgresDatabase(Alias, Case.ConnInfo);
        TTable Table(nullptr);
        Table.SetDatabaseName(Alias);
        Table.SetTableName("Numbers");
        TQuery Query(nullptr);
        Query.SetDatabaseName(Alias);
        Query.SQL()->SetText("SELECT N FROM Numbers");
        for (TDataSet* DataSet : {static_cast<TDataSet*>(&Table), static_cast<TDataSet*>(&Query)}) {
            try {
                DataSet->Open();
                ADD_FAILURE() << Case.Name << ": opened";
            } catch (const Exception& Error) {
                EXPECT_NE(Error.Message().find(Case.Message), std::string::npos)
                    << Case.Name << ": " << Error.Message();
            }
            EXPECT_FALSE(DataSet->Active()) << Case.Name;
        }
        UnregisterDatabase(Alias);
    }
}

TEST_F(PgBadInputTest, ALostConnectionRaisesAtTheNextFetchAndTheQueryOpensAgain) {
    RegisterPostgresDatabase(Alias, PgTestConnInfo());
    TQuery Query(nullptr);
    Query.SetDatabaseName(Alias);
    Query.SQL()->SetText("SELECT N FROM Numbers ORDER BY N");
    Query.Open();
    DropOtherConnections();
    // The rows read so far stay readable; reading on past them needs the server.
    EXPECT_THROW(
        {
            while (!Query.Eof())
                Query.Next();
        },
        EDatabaseError);
    EXPECT_GT(Query.FieldByName("N")->AsInteger(), 0);
    Query.Close();
    Query.Open();
    int Count = 0;
    for (; !Query.Eof(); Query.Next())
        ++Count;
    EXPECT_EQ(Count, 230);
}

TEST_F(PgBadInputTest, ATableThatLostItsConnectionReadsOnOrRaisesAndOpensAgain) {
    RegisterPostgresDatabase(Alias, PgTestConnInfo());
    TTable Table(nullptr);
    Table.SetDatabaseName(Alias);
    Table.SetTableName("Numbers");
    Table.SetPageSize(10);
    Table.Open();
    DropOtherConnections();
    auto Walk = [&] {
        std::int64_t Expected = 0;
        for (Table.First(); !Table.Eof(); Table.Next())
            EXPECT_EQ(Table.FieldByName("N")->AsInteger(), ++Expected);
        return Expected;
    };
    try {
        // A table reads each window with a statement of its own, which may run on a
        // new connection: then it must read the right rows.
        EXPECT_EQ(Walk(), 230);
    } catch (const EDatabaseError&) {
        Table.Close();
        Table.Open();
        EXPECT_EQ(Walk(), 230);
    }
}

} // namespace
