#include "PgTestDatabase.h"

#include "ServerTestDatabase.h"

#include "host/components/model/Exception.h"
#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"

#include <cstdlib>

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
