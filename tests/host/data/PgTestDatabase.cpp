#include "PgTestDatabase.h"

#include "ServerTestDatabase.h"

#include "host/components/model/Exception.h"
#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace vorn::test {

namespace {

const TServerTestDatabase& ProgramDatabase() {
    static const TServerTestDatabase Database(
        PgServerConnInfo(),
        {[](const std::string& ConnInfo) { return std::make_unique<TPgConnection>(ConnInfo); }, "",
         " WITH (FORCE)",
         [](const std::string& Server, const std::string& Name) {
             return Server + " dbname=" + Name;
         }});
    return Database;
}

constexpr auto ReplayTimeout = std::chrono::seconds(30);

// The standby replays the test database's creation shortly after the primary made it.
std::string ConnectableStandbyDatabase() {
    const std::string Server = PgStandbyServerConnInfo();
    if (Server.empty())
        throw Exception("VORN_PG_STANDBY_CONNINFO is not set: the standby tests need a "
                        "streaming standby. Run scripts/test.sh, or start one with: "
                        "eval \"$(scripts/pg.sh start-standby)\"");
    if (ProgramDatabase().Name().empty())
        throw Exception("VORN_PG_CONNINFO is not set: the standby tests write on the primary");
    const std::string ConnInfo = Server + " dbname=" + ProgramDatabase().Name();
    const auto Deadline = std::chrono::steady_clock::now() + ReplayTimeout;
    for (;;) {
        try {
            TPgConnection Probe(ConnInfo);
            return ConnInfo;
        } catch (const EDatabaseError&) {
            if (std::chrono::steady_clock::now() > Deadline)
                throw;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

} // namespace

std::string PgStandbyServerConnInfo() {
    const char* Value = std::getenv("VORN_PG_STANDBY_CONNINFO");
    return Value ? Value : "";
}

const std::string& PgStandbyTestConnInfo() {
    static const std::string ConnInfo = ConnectableStandbyDatabase();
    return ConnInfo;
}

void AwaitStandbyReplay(TDriverConnection& Primary, TDriverConnection& Standby) {
    const auto Written = Primary.Execute("SELECT CAST(pg_current_wal_lsn() AS TEXT) LIMIT 1", {});
    Written->Next();
    const TVariant Position = Written->Value(0);
    const auto Deadline = std::chrono::steady_clock::now() + ReplayTimeout;
    while (std::chrono::steady_clock::now() < Deadline) {
        const auto Replayed = Standby.Execute(
            "SELECT pg_last_wal_replay_lsn() >= CAST($1 AS pg_lsn) LIMIT 1", {Position});
        if (Replayed->Next() && Replayed->Value(0).AsBoolean())
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    throw Exception("The standby did not replay the primary's changes up to " +
                    Position.AsString() + " within half a minute");
}

std::string PgServerConnInfo() {
    const char* Value = std::getenv("VORN_PG_CONNINFO");
    return Value ? Value : "";
}

const std::string& PgTestConnInfo() {
    return ProgramDatabase().ConnInfo();
}

void PgTest::SetUp() {
    ASSERT_FALSE(PgServerConnInfo().empty())
        << "VORN_PG_CONNINFO is not set: PostgreSQL tests need the test server. Run "
           "scripts/test.sh, or start one with: eval \"$(scripts/pg.sh start)\"";
    SetHostCodePage(cpWindows1250);
    Connection = std::make_unique<TPgConnection>(PgTestConnInfo());
}

void PgTest::TearDown() {
    Connection.reset();
    SetHostCodePage(cpWindows1250);
}

std::vector<std::string> PgTest::Column(const std::string& Sql,
                                        const std::vector<TVariant>& Params) {
    std::vector<std::string> Values;
    auto Cursor = Connection->Execute(Sql, Params);
    while (Cursor->Next())
        Values.push_back(Cursor->Value(0).AsString());
    return Values;
}

} // namespace vorn::test
