#include "tests/support/StandbyReplay.h"

#include "host/components/model/Exception.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/postgres/PgConnection.h"

#include <chrono>
#include <cstdlib>
#include <thread>

namespace vorn::testsupport {

namespace {

constexpr auto ReplayTimeout = std::chrono::seconds(30);

} // namespace

std::string StandbyServerConnInfo() {
    const char* Value = std::getenv("VORN_PG_STANDBY_CONNINFO");
    return Value ? Value : "";
}

std::string StandbyDatabaseConnInfo(const std::string& DatabaseName) {
    const std::string Server = StandbyServerConnInfo();
    if (Server.empty())
        throw Exception("VORN_PG_STANDBY_CONNINFO is not set: the standby tests need a "
                        "streaming standby. Run scripts/test.sh, or start one with: "
                        "eval \"$(scripts/pg.sh start-standby)\"");
    const std::string ConnInfo = Server + " dbname=" + DatabaseName;
    // The standby replays the database's creation shortly after the primary made it.
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

void RequireStandby(TDriverConnection& Connection) {
    const auto Recovering = Connection.Execute("SELECT pg_is_in_recovery() LIMIT 1", {});
    if (!Recovering->Next() || !Recovering->Value(0).AsBoolean())
        throw Exception("VORN_PG_STANDBY_CONNINFO reaches a server that is no standby");
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

} // namespace vorn::testsupport
