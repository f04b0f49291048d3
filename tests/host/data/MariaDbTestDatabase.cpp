#include "MariaDbTestDatabase.h"

#include "ServerTestDatabase.h"

#include "host/components/text/CodePage.h"

#include <cstdlib>
#include <sstream>

namespace vorn::test {

namespace {

// The server's connection string naming another database.
std::string WithDatabase(const std::string& ConnInfo, const std::string& Database) {
    std::istringstream Words(ConnInfo);
    std::string Result;
    std::string Word;
    while (Words >> Word)
        if (Word.rfind("database=", 0) != 0)
            Result += Word + " ";
    return Result + "database=" + Database;
}

const TServerTestDatabase& ProgramDatabase() {
    static const TServerTestDatabase Database(
        MariaDbServerConnInfo(),
        {[](const std::string& ConnInfo) { return std::make_unique<TMariaDbConnection>(ConnInfo); },
         " CHARACTER SET utf8mb4 COLLATE utf8mb4_nopad_bin", "", WithDatabase});
    return Database;
}

} // namespace

std::string MariaDbServerConnInfo() {
    const char* Value = std::getenv("VORN_MARIADB_CONNINFO");
    return Value ? Value : "";
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
