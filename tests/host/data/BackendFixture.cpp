#include "BackendFixture.h"

#include "PgTestDatabase.h"
#include "TestDatabase.h"

#include "host/components/model/Exception.h"
#include "host/components/text/CodePage.h"
#include "host/data/dataset/Database.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/mariadb/MariaDbConnection.h"
#include "host/data/drivers/mariadb/MariaDbDatabase.h"
#include "host/data/drivers/postgres/PgDatabase.h"
#include "tests/support/MariaDbScratch.h"

#include <atomic>
#include <cctype>
#include <unistd.h>

namespace vorn::test {

namespace {

std::string UniqueSuffix() {
    static std::atomic<int> Counter{0};
    return std::to_string(getpid()) + "_" + std::to_string(++Counter);
}

} // namespace

std::string BackendTestName(const ::testing::TestParamInfo<TTestBackend>& Info) {
    return BackendName(Info.param);
}

TBackendDatabase::TBackendDatabase(TTestBackend Backend) : FBackend(Backend) {
    SetHostCodePage(cpWindows1250);
    if (Backend == tbSQLite) {
        FFile = std::make_unique<TTempDatabase>();
        FAlias = FFile->Alias();
        FConnection = OpenSQLiteConnection(FFile->Path(), somOpenExisting);
        // Readers and the test's writer do not block each other in WAL mode.
        FConnection->ExecuteCommand("PRAGMA journal_mode = WAL", {});
        return;
    }
    if (IsMariaDB()) {
        // A database per test: on MariaDB a schema is a database.
        FMariaDb = std::make_unique<testsupport::TMariaDbScratchDatabase>(
            "vorn_b",
            Backend == tbMariaDB ? testsupport::MariaDbByteCollation : "utf8mb4_unicode_ci");
        FSchema = FMariaDb->Name();
        FAlias = "MariaDbBackend" + UniqueSuffix();
        FConnInfo = FMariaDb->ConnInfo();
        FConnection = std::make_unique<TMariaDbConnection>(FConnInfo);
        RegisterMariaDbDatabase(FAlias, FConnInfo);
        return;
    }
    if (PgServerConnInfo().empty())
        throw Exception("VORN_PG_CONNINFO is not set: PostgreSQL tests need the test server. "
                        "Run scripts/test.sh, or start one with: eval \"$(scripts/pg.sh start)\"");
    FSchema = "vorn_b" + UniqueSuffix();
    FAlias = "PgBackend" + UniqueSuffix();
    FConnInfo = PgTestConnInfo() + " options='-c search_path=" + FSchema + "'";
    FConnection = std::make_unique<TPgConnection>(FConnInfo);
    FConnection->ExecuteCommand("CREATE SCHEMA " + FSchema, {});
    // A dataset left open by a failed test must not make the clean-up wait forever.
    FConnection->ExecuteCommand("SET lock_timeout = 10000", {});
    if (Backend == tbPostgreSQLStandby) {
        FConnInfo = PgStandbyTestConnInfo() + " options='-c search_path=" + FSchema + "'";
        FStandby = std::make_unique<TPgConnection>(FConnInfo);
        testsupport::RequireStandby(*FStandby);
        AwaitStandbyReplay(*FConnection, *FStandby);
    }
    RegisterPostgresDatabase(FAlias, FConnInfo);
}

TBackendDatabase::~TBackendDatabase() {
    if (FBackend == tbSQLite) {
        FConnection.reset();
        FFile.reset();
        return;
    }
    if (FMariaDb) {
        FConnection.reset();
        UnregisterDatabase(FAlias);
        FMariaDb.reset();
        return;
    }
    try {
        FStandby.reset();
        FConnection->ExecuteCommand("DROP SCHEMA " + FSchema + " CASCADE", {});
        FConnection.reset();
        UnregisterDatabase(FAlias);
    } catch (const Exception&) {
        // A test that left a dataset open has failed already; the schema goes with the
        // test database when the program ends.
    }
}

std::string TBackendDatabase::NativeSql(const std::string& Sql) const {
    if (FBackend == tbSQLite)
        return Sql;
    if (IsMariaDB())
        return testsupport::MariaDbSql(Sql);
    // ?N becomes $N outside quotes; the test statements hold no other question marks.
    std::string Result;
    char Quote = 0;
    for (std::size_t Index = 0; Index < Sql.size(); ++Index) {
        const char C = Sql[Index];
        if (Quote != 0) {
            if (C == Quote)
                Quote = 0;
        } else if (C == '\'' || C == '"') {
            Quote = C;
        } else if (C == '?' && Index + 1 < Sql.size() &&
                   std::isdigit(static_cast<unsigned char>(Sql[Index + 1]))) {
            Result += '$';
            continue;
        }
        Result += C;
    }
    return Result;
}

void TBackendDatabase::Execute(const std::string& Sql, const std::vector<TVariant>& Params) {
    FConnection->ExecuteCommand(NativeSql(Sql), Params);
    if (FStandby)
        AwaitStandbyReplay(*FConnection, *FStandby);
}

std::vector<std::string> TBackendDatabase::Column(const std::string& Sql,
                                                  const std::vector<TVariant>& Params) {
    std::vector<std::string> Values;
    auto Cursor = FConnection->Execute(NativeSql(Sql), Params);
    while (Cursor->Next())
        Values.push_back(Show(Cursor->Value(0)));
    return Values;
}

void BackendTest::SetUp() {
    Database = std::make_unique<TBackendDatabase>(GetParam());
}

} // namespace vorn::test
