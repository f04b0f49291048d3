#include "MariaDbTestDatabase.h"

#include "ServerTestDatabase.h"

#include "host/components/text/CodePage.h"
#include "tests/support/MariaDbScratch.h"

namespace vorn::test {

namespace {

const TServerTestDatabase& ProgramDatabase() {
    static const TServerTestDatabase Database(
        MariaDbServerConnInfo(),
        {[](const std::string& ConnInfo) { return std::make_unique<TMariaDbConnection>(ConnInfo); },
         " CHARACTER SET utf8mb4 COLLATE utf8mb4_nopad_bin", "",
         testsupport::MariaDbConnInfoWithDatabase});
    return Database;
}

} // namespace

std::string MariaDbServerConnInfo() {
    return testsupport::MariaDbServerConnInfo();
}

const std::string& MariaDbTestConnInfo() {
    return ProgramDatabase().ConnInfo();
}

const std::string& MariaDbTestDatabaseName() {
    return ProgramDatabase().Name();
}

void MariaDbTest::SetUp() {
    ASSERT_FALSE(MariaDbServerConnInfo().empty())
        << "VORN_MARIADB_CONNINFO is not set: MariaDB tests need the test server. Run "
           "scripts/test.sh, or start one with: eval \"$(scripts/mariadb.sh start)\"";
    SetHostCodePage(cpWindows1250);
    Connection = std::make_unique<TMariaDbConnection>(MariaDbTestConnInfo());
}

void MariaDbTest::TearDown() {
    Connection.reset();
    SetHostCodePage(cpWindows1250);
}

} // namespace vorn::test
