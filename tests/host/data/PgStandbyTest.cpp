#include "PgTestDatabase.h"

#include "host/data/dataset/Database.h"
#include "host/data/dataset/Query.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/postgres/PgDatabase.h"

#include <gmock/gmock.h>

#include <atomic>
#include <chrono>
#include <ostream>
#include <thread>

#include <stdlib.h>
#include <unistd.h>

using namespace vorn;
using ::testing::AllOf;
using ::testing::HasSubstr;
using vorn::test::AwaitStandbyReplay;
using vorn::test::PgStandbyTestConnInfo;
using vorn::test::PgTestConnInfo;

namespace {

using namespace std::chrono_literals;

std::string FirstValue(TDriverConnection& Connection, const std::string& Sql) {
    const auto Cursor = Connection.Execute(Sql, {});
    return Cursor->Next() ? Cursor->Value(0).AsString() : "";
}

// A primary and its standby, with a table of three rows that the standby has replayed.
class PgStandbyTest : public ::testing::Test {
protected:
    void SetUp() override {
        // scripts/test.sh always starts the standby, so these run wherever the suite
        // runs in full.
        if (vorn::test::StandbyServerConnInfo().empty())
            GTEST_SKIP() << "VORN_PG_STANDBY_CONNINFO is not set; start the test server with "
                            "eval \"$(scripts/pg.sh start-standby)\"";
        Primary = std::make_unique<TPgConnection>(PgTestConnInfo());
        Standby = std::make_unique<TPgConnection>(PgStandbyTestConnInfo());
        Primary->ExecuteCommand("DROP TABLE IF EXISTS standby_rows", {});
        Primary->ExecuteCommand("CREATE TABLE standby_rows (id INTEGER PRIMARY KEY)", {});
        Primary->ExecuteCommand("INSERT INTO standby_rows VALUES (1), (2), (3)", {});
        AwaitStandbyReplay(*Primary, *Standby);
    }

    // Locks the table exclusively for a moment on the primary, the first time after
    // Delay, then every Interval until Stop is set (once for an Interval of 0). The
    // standby takes the lock when it replays it, and cancels a read that holds the
    // table for longer than it waits (scripts/pg.sh makes that short). The lock writes
    // nothing else that could conflict.
    void LockTableRepeatedly(std::chrono::milliseconds Delay, std::chrono::milliseconds Interval) {
        Writer = std::thread([this, Delay, Interval] {
            TPgConnection Connection(PgTestConnInfo());
            std::this_thread::sleep_for(Delay);
            do {
                Connection.ExecuteCommand(
                    "DO $$BEGIN LOCK TABLE standby_rows IN ACCESS EXCLUSIVE MODE; END$$", {});
                std::this_thread::sleep_for(Interval);
            } while (Interval.count() > 0 && !Stop);
        });
    }

    void TearDown() override {
        Stop = true;
        if (Writer.joinable())
            Writer.join();
    }

    std::unique_ptr<TPgConnection> Primary;
    std::unique_ptr<TPgConnection> Standby;
    std::thread Writer;
    std::atomic<bool> Stop{false};
};

struct TConflictCase {
    const char* Name;
    // Reads the three rows slowly (a third of a second each), in one statement or
    // through a server-side cursor.
    const char* Sql;
    // 0: one lock that cancels the read once; else locks at this interval, which
    // cancel the read and its second attempt.
    std::chrono::milliseconds Interval;
};

void PrintTo(const TConflictCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class PgStandbyConflictTest : public PgStandbyTest,
                              public ::testing::WithParamInterface<TConflictCase> {};

// A read that the standby cancels once for a conflict with recovery is run again and
// returns every row; a read cancelled on both attempts raises an error naming the
// conflict.
TEST_P(PgStandbyConflictTest, AReadCancelledByRecoveryIsRunOnceMore) {
    const TConflictCase& Case = GetParam();
    LockTableRepeatedly(150ms, Case.Interval);
    std::vector<std::string> Ids;
    try {
        const auto Cursor = Standby->Execute(Case.Sql, {});
        while (Cursor->Next())
            Ids.push_back(Cursor->Value(0).AsString());
    } catch (const EDatabaseError& Error) {
        EXPECT_GT(Case.Interval.count(), 0) << Error.Message();
        EXPECT_THAT(Error.Message(),
                    AllOf(HasSubstr("onflict with recovery"), HasSubstr("twice in a row")));
        return;
    }
    EXPECT_EQ(Case.Interval.count(), 0) << "the locks never cancelled the read";
    EXPECT_EQ(Ids, (std::vector<std::string>{"1", "2", "3"}));
}

INSTANTIATE_TEST_SUITE_P(
    Reads, PgStandbyConflictTest,
    ::testing::Values(TConflictCase{"Statement",
                                    "SELECT id FROM standby_rows WHERE CAST(pg_sleep(0.3 + id * 0) "
                                    "AS TEXT) = '' ORDER BY id LIMIT 3",
                                    0ms},
                      TConflictCase{"Cursor",
                                    "SELECT id FROM standby_rows WHERE CAST(pg_sleep(0.3 + id * 0) "
                                    "AS TEXT) = '' ORDER BY id",
                                    0ms},
                      TConflictCase{"StatementTwice",
                                    "SELECT id FROM standby_rows WHERE CAST(pg_sleep(0.3 + id * 0) "
                                    "AS TEXT) = '' ORDER BY id LIMIT 3",
                                    250ms}),
    [](const ::testing::TestParamInfo<TConflictCase>& Info) { return Info.param.Name; });

struct THostsCase {
    const char* Name;
    // The hosts in the order the connection string names them.
    enum { hStandbyPrimary, hPrimaryStandby, hGoneStandbyPrimary, hGoneStandby } Hosts;
    const char* SessionAttrs;
    enum { sStandby, sPrimary, sNone } Reaches;
};

void PrintTo(const THostsCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

class PgStandbyHostsTest : public PgStandbyTest,
                           public ::testing::WithParamInterface<THostsCase> {};

// An alias with several hosts reaches the server that target_session_attrs asks for,
// and one whose standby is gone reaches what is left or says why it cannot.
TEST_P(PgStandbyHostsTest, AnAliasReachesTheServerItsSessionAttributesAskFor) {
    const THostsCase& Case = GetParam();
    const std::string PrimaryHost =
        FirstValue(*Primary, "SELECT current_setting('unix_socket_directories') LIMIT 1");
    const std::string StandbyHost =
        FirstValue(*Standby, "SELECT current_setting('unix_socket_directories') LIMIT 1");
    const std::string GoneHost = PrimaryHost + "/gone";
    std::string Hosts;
    switch (Case.Hosts) {
    case THostsCase::hStandbyPrimary:
        Hosts = StandbyHost + "," + PrimaryHost;
        break;
    case THostsCase::hPrimaryStandby:
        Hosts = PrimaryHost + "," + StandbyHost;
        break;
    case THostsCase::hGoneStandbyPrimary:
        Hosts = GoneHost + "," + PrimaryHost;
        break;
    case THostsCase::hGoneStandby:
        Hosts = GoneHost;
        break;
    }
    const std::string Alias = std::string("PgStandbyHosts") + Case.Name;
    RegisterPostgresDatabase(Alias, PgStandbyTestConnInfo() + " host=" + Hosts +
                                        " target_session_attrs=" + Case.SessionAttrs);
    TQuery Query(nullptr);
    Query.SetDatabaseName(Alias);
    Query.SQL()->SetText("SELECT pg_is_in_recovery() AS \"InRecovery\"");
    if (Case.Reaches == THostsCase::sNone) {
        try {
            Query.Open();
            ADD_FAILURE() << "opened " << Query.FieldByName("InRecovery")->AsString();
        } catch (const EDatabaseError& Error) {
            EXPECT_THAT(Error.Message(), AllOf(HasSubstr(GoneHost), HasSubstr("TPgConnection")));
        }
    } else {
        Query.Open();
        EXPECT_EQ(Query.FieldByName("InRecovery")->AsBoolean(),
                  Case.Reaches == THostsCase::sStandby);
    }
    Query.Close();
    UnregisterDatabase(Alias);
}

INSTANTIATE_TEST_SUITE_P(
    Hosts, PgStandbyHostsTest,
    ::testing::Values(THostsCase{"PreferStandbyFirst", THostsCase::hStandbyPrimary,
                                 "prefer-standby", THostsCase::sStandby},
                      THostsCase{"PreferStandbySecond", THostsCase::hPrimaryStandby,
                                 "prefer-standby", THostsCase::sStandby},
                      THostsCase{"PreferStandbyGone", THostsCase::hGoneStandbyPrimary,
                                 "prefer-standby", THostsCase::sPrimary},
                      THostsCase{"StandbyGone", THostsCase::hGoneStandby, "standby",
                                 THostsCase::sNone}),
    [](const ::testing::TestParamInfo<THostsCase>& Info) { return Info.param.Name; });

// A standby that goes away (its socket disappears and its sessions end, as when it
// shuts down) makes an open query's next read fail with a message that says so;
// opening the query again connects to the server that is left.
TEST_F(PgStandbyTest, AQueryWhoseStandbyIsLostRaisesAndOpensOnWhatIsLeft) {
    Primary->ExecuteCommand("INSERT INTO standby_rows SELECT generate_series(4, 1000)", {});
    AwaitStandbyReplay(*Primary, *Standby);
    // The alias reaches the standby through a socket folder of its own, which the test
    // can empty.
    char Folder[] = "/tmp/vsbXXXXXX";
    ASSERT_NE(mkdtemp(Folder), nullptr);
    const std::string StandbySocket =
        FirstValue(*Standby, "SELECT current_setting('unix_socket_directories') || "
                             "'/.s.PGSQL.' || current_setting('port') LIMIT 1");
    const std::string Link = std::string(Folder) + "/.s.PGSQL." +
                             FirstValue(*Standby, "SELECT current_setting('port') LIMIT 1");
    ASSERT_EQ(symlink(StandbySocket.c_str(), Link.c_str()), 0);
    const std::string PrimaryHost =
        FirstValue(*Primary, "SELECT current_setting('unix_socket_directories') LIMIT 1");
    RegisterPostgresDatabase("PgStandbyLost", PgStandbyTestConnInfo() + " host=" + Folder + "," +
                                                  PrimaryHost +
                                                  " target_session_attrs=prefer-standby");
    TQuery Query(nullptr);
    Query.SetDatabaseName("PgStandbyLost");
    Query.SQL()->SetText("SELECT id, pg_is_in_recovery() AS \"Standby\" FROM standby_rows "
                         "ORDER BY id");
    Query.SetPageSize(10);
    Query.Open();
    EXPECT_TRUE(Query.FieldByName("Standby")->AsBoolean());

    unlink(Link.c_str());
    rmdir(Folder);
    Standby->ExecuteCommand("SELECT pg_terminate_backend(pid) FROM pg_stat_activity "
                            "WHERE datname = current_database() AND pid <> pg_backend_pid()",
                            {});
    try {
        Query.Last();
        ADD_FAILURE() << "read on after the standby was lost";
    } catch (const EDatabaseError& Error) {
        EXPECT_THAT(Error.Message(), HasSubstr("connection to the server was lost"));
    }
    Query.Close();
    Query.Open();
    EXPECT_FALSE(Query.FieldByName("Standby")->AsBoolean());
    Query.Last();
    EXPECT_EQ(Query.FieldByName("id")->AsInteger(), 1000);
    Query.Close();
    UnregisterDatabase("PgStandbyLost");
}

} // namespace
