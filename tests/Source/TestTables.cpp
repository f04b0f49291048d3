#include "tests/Source/TestTables.h"

#include "host/components/model/Exception.h"
#include "host/data/dataset/Database.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/mariadb/MariaDbDatabase.h"
#include "host/data/drivers/postgres/PgConnection.h"
#include "host/data/drivers/postgres/PgDatabase.h"
#include "tests/support/MariaDbScratch.h"
#include "tests/support/StandbyReplay.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <unistd.h>

namespace vorn::testtables {

namespace {

std::string NextSuffix() {
    static std::atomic<int> Counter{0};
    return std::to_string(static_cast<long>(getpid())) + "_" + std::to_string(++Counter);
}

std::string ServerConnInfo() {
    const char* Value = std::getenv("VORN_PG_CONNINFO");
    if (Value == nullptr || *Value == '\0')
        throw Exception("VORN_PG_CONNINFO is not set: the PostgreSQL tests need the test "
                        "server. Run scripts/test.sh, or start one with: eval \"$(scripts/pg.sh "
                        "start)\"");
    return Value;
}

// A database of this test program's own on the test server, created at first use and
// dropped when the program ends, so that concurrent test programs never meet.
class TProgramDatabase {
public:
    TProgramDatabase() : FServer(ServerConnInfo()) {
        const auto Ticks = std::chrono::steady_clock::now().time_since_epoch().count();
        FName = "vorn_src" + std::to_string(getpid()) + "_" + std::to_string(Ticks % 1000000);
        TPgConnection(FServer).ExecuteCommand("CREATE DATABASE " + FName, {});
    }
    ~TProgramDatabase() {
        try {
            TPgConnection(FServer).ExecuteCommand("DROP DATABASE " + FName + " WITH (FORCE)", {});
        } catch (const EDatabaseError&) {
            // The cluster is thrown away after the run; a leftover database does no harm.
        }
    }
    std::string ConnInfo() const { return FServer + " dbname=" + FName; }
    const std::string& Name() const { return FName; }

private:
    std::string FServer;
    std::string FName;
};

const TProgramDatabase& ProgramDatabase() {
    static const TProgramDatabase Database;
    return Database;
}

// The program's database on the standby, once the standby has it.
const std::string& StandbyConnInfo() {
    static const std::string ConnInfo =
        testsupport::StandbyDatabaseConnInfo(ProgramDatabase().Name());
    return ConnInfo;
}

std::string WithSchema(const std::string& ConnInfo, const std::string& Schema) {
    return ConnInfo + " options='-csearch_path=" + Schema + "'";
}

} // namespace

TTestDatabase::TTestDatabase(TTestBackend Backend) : FBackend(Backend) {
    const std::string Suffix = NextSuffix();
    FAlias = "VornTestTables" + Suffix;
    if (Backend == tbSQLite) {
        FPath =
            (std::filesystem::temp_directory_path() / ("vorn-tables-" + Suffix + ".db")).string();
        std::filesystem::remove(FPath);
        CreateSQLiteDatabase(FPath);
        RegisterSQLiteDatabase(FAlias, FPath);
        return;
    }
    if (Backend == tbMariaDB) {
        FMariaDb = std::make_unique<testsupport::TMariaDbScratchDatabase>("vorn_tables");
        FConnInfo = FMariaDb->ConnInfo();
        RegisterMariaDbDatabase(FAlias, FConnInfo);
        return;
    }
    const std::string ConnInfo = ProgramDatabase().ConnInfo();
    FSchema = "tables_" + Suffix;
    TPgConnection(ConnInfo).ExecuteCommand("CREATE SCHEMA " + FSchema, {});
    FConnInfo = WithSchema(ConnInfo, FSchema);
    if (Backend == tbPostgreSQLStandby) {
        FPrimary = std::make_unique<TPgConnection>(FConnInfo);
        FConnInfo = WithSchema(StandbyConnInfo(), FSchema);
        FStandby = std::make_unique<TPgConnection>(FConnInfo);
        testsupport::RequireStandby(*FStandby);
        testsupport::AwaitStandbyReplay(*FPrimary, *FStandby);
    }
    RegisterPostgresDatabase(FAlias, FConnInfo);
}

TTestDatabase::~TTestDatabase() {
    UnregisterDatabase(FAlias);
    if (FBackend == tbSQLite) {
        std::error_code Ignored;
        std::filesystem::remove(FPath, Ignored);
        return;
    }
    if (FMariaDb) {
        FMariaDb.reset();
        return;
    }
    FStandby.reset();
    FPrimary.reset();
    try {
        TPgConnection(ProgramDatabase().ConnInfo())
            .ExecuteCommand("DROP SCHEMA " + FSchema + " CASCADE", {});
    } catch (const EDatabaseError&) {
        // The program's database is dropped at the end anyway.
    }
}

void TTestDatabase::Execute(const std::string& Sql) const {
    if (FPrimary) {
        FPrimary->ExecuteCommand(Sql, {});
        testsupport::AwaitStandbyReplay(*FPrimary, *FStandby);
        return;
    }
    TConnectionLease Lease(FAlias);
    Lease.Connection().ExecuteCommand(FMariaDb ? testsupport::MariaDbSql(Sql) : Sql, {});
}

std::unique_ptr<TTestDatabase> CreateCustomerOrders(TTestBackend Backend) {
    auto Database = std::make_unique<TTestDatabase>(Backend);
    const char* Statements[] = {
        R"(CREATE TABLE "customer" ("CustNo" INTEGER PRIMARY KEY, "Company" VARCHAR(40),
           "City" VARCHAR(30), "Name" VARCHAR(40), "Notes" TEXT))",
        R"(CREATE INDEX "ByCity" ON "customer" ("City"))",
        R"(CREATE INDEX "ByCityName" ON "customer" ("City", "Name"))",
        R"(CREATE INDEX "ByCompanyCity" ON "customer" ("Company", "City"))",
        R"(CREATE INDEX "ByName" ON "customer" ("Name"))",
        R"(INSERT INTO "customer" VALUES (1, 'Acme', 'Berlin', 'Zed', 'first'),
           (2, 'Bolt', 'Athens', 'Smith', NULL), (3, 'Acme', 'Athens', 'Adams', 'third'),
           (4, 'Core', 'Cairo', 'smythe', NULL), (5, 'Dyne', 'Berlin', 'Baker', 'fifth'))",
        R"(CREATE TABLE "orders" ("OrderNo" INTEGER PRIMARY KEY, "CustNo" INTEGER,
           "CustNoX" INTEGER, "OrderDate" DATE, "Amount" INTEGER))",
        R"(CREATE INDEX "A_ByCustNo" ON "orders" ("CustNo"))",
        R"(CREATE INDEX "B_ByCustNoDate" ON "orders" ("CustNo", "OrderDate"))",
        R"(CREATE INDEX "C_ByCustNoX" ON "orders" ("CustNoX"))",
        R"(CREATE INDEX "D_ByOrderDate" ON "orders" ("OrderDate"))",
        R"(INSERT INTO "orders" VALUES (10, 1, 1, '2024-01-05', 100),
           (11, 1, 1, '2023-03-01', 50), (12, 2, 2, '2024-02-02', 75),
           (13, 4, 4, '2022-07-07', 20))",
    };
    for (const char* Sql : Statements)
        Database->Execute(Sql);
    return Database;
}

TTable* CreateTable(TComponent& Owner, const TTestDatabase& Database, const std::string& TableName,
                    const std::string& IndexFieldNames, bool Open) {
    auto* Table = new TTable(&Owner);
    Table->SetDatabaseName(Database.Alias());
    Table->SetTableName(TableName);
    Table->SetIndexFieldNames(IndexFieldNames);
    if (Open)
        Table->Open();
    return Table;
}

TQuery* OpenQuery(TComponent& Owner, const TTestDatabase& Database, const std::string& Sql) {
    auto* Query = new TQuery(&Owner);
    Query->SetDatabaseName(Database.Alias());
    Query->SQL()->SetText(Sql);
    Query->Open();
    return Query;
}

TErrorRecorder::TErrorRecorder()
    : FPrevious(SetApplicationErrorHandler(
          [this](const std::exception& Error) { FMessages.push_back(Error.what()); })) {}

TErrorRecorder::~TErrorRecorder() {
    SetApplicationErrorHandler(FPrevious);
}

} // namespace vorn::testtables
