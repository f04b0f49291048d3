#include "PgTestDatabase.h"

#include "host/components/model/Exception.h"
#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"

#include <chrono>
#include <cstdlib>
#include <unistd.h>

namespace vorn::test {

namespace {

class TTestDatabase {
public:
    TTestDatabase() {
        FServer = PgServerConnInfo();
        if (FServer.empty())
            return;
        const auto Ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        FName = "vorn_t" + std::to_string(getpid()) + "_" + std::to_string(Ticks % 1000000);
        TPgConnection(FServer).ExecuteCommand("CREATE DATABASE " + FName, {});
        FConnInfo = FServer + " dbname=" + FName;
    }
    ~TTestDatabase() {
        if (FName.empty())
            return;
        try {
            TPgConnection(FServer).ExecuteCommand("DROP DATABASE " + FName + " WITH (FORCE)", {});
        } catch (const EDatabaseError&) {
            // The cluster is thrown away after the run; a leftover database does no harm.
        }
    }
    const std::string& ConnInfo() const { return FConnInfo; }
    const std::string& Name() const { return FName; }

private:
    std::string FServer;
    std::string FName;
    std::string FConnInfo;
};

const TTestDatabase& ProgramDatabase() {
    static const TTestDatabase Database;
    return Database;
}

} // namespace

const std::string& PgStandbyTestConnInfo() {
    static const std::string ConnInfo = [] {
        if (ProgramDatabase().Name().empty())
            throw Exception("VORN_PG_CONNINFO is not set: the standby tests write on the primary");
        return testsupport::StandbyDatabaseConnInfo(ProgramDatabase().Name());
    }();
    return ConnInfo;
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
