#include "MariaDbTestDatabase.h"

#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"

#include <chrono>
#include <cstdlib>
#include <sstream>
#include <unistd.h>

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

class TTestDatabase {
public:
    TTestDatabase() {
        FServer = MariaDbServerConnInfo();
        if (FServer.empty())
            return;
        const auto Ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        FName = "vorn_t" + std::to_string(getpid()) + "_" + std::to_string(Ticks % 1000000);
        TMariaDbConnection(FServer).ExecuteCommand(
            "CREATE DATABASE " + FName + " CHARACTER SET utf8mb4 COLLATE utf8mb4_nopad_bin", {});
        FConnInfo = WithDatabase(FServer, FName);
    }
    ~TTestDatabase() {
        if (FName.empty())
            return;
        try {
            TMariaDbConnection(FServer).ExecuteCommand("DROP DATABASE " + FName, {});
        } catch (const EDatabaseError&) {
            // The server is thrown away after the run; a leftover database does no harm.
        }
    }

    std::string FServer;
    std::string FName;
    std::string FConnInfo;
};

const TTestDatabase& ProgramDatabase() {
    static const TTestDatabase Database;
    return Database;
}

} // namespace

std::string MariaDbServerConnInfo() {
    const char* Value = std::getenv("VORN_MARIADB_CONNINFO");
    return Value ? Value : "";
}

const std::string& MariaDbTestConnInfo() {
    return ProgramDatabase().FConnInfo;
}

const std::string& MariaDbTestDatabaseName() {
    return ProgramDatabase().FName;
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

std::vector<std::vector<TVariant>> MariaDbTest::Rows(TDriverConnection& On, const std::string& Sql,
                                                     const std::vector<TVariant>& Params) {
    std::vector<std::vector<TVariant>> Result;
    auto Cursor = On.Execute(Sql, Params);
    while (Cursor->Next()) {
        std::vector<TVariant> Row;
        for (int Index = 0; Index < Cursor->FieldCount(); ++Index)
            Row.push_back(Cursor->Value(Index));
        Result.push_back(std::move(Row));
    }
    return Result;
}

} // namespace vorn::test
