#include "bench/BenchDatabases.h"

#include "apps/samplegen/SampleDatabase.h"
#include "host/components/text/AsciiText.h"
#include "host/data/dataset/Database.h"
#include "host/data/drivers/mariadb/MariaDbConnInfo.h"
#include "host/data/drivers/mariadb/MariaDbDatabase.h"
#include "host/data/drivers/postgres/PgDatabase.h"

#include <sqlite3.h>

#include <cctype>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>

namespace vorn::bench {

namespace {

// Orders are only read by the value list of a field without index; one per customer on
// average keeps that table as large as the customer table.
constexpr int MaxOrdersPerCustomer = 2;

// The tables of the normal run's PostgreSQL sample stay in the connection's own schema (other
// programs read them there); every other size has a schema of its own, so that several sizes
// live side by side on one server.
constexpr int PostgresDefaultSchemaCustomers = 1'000'000;

// From this size on the generation reports its progress: it takes minutes.
constexpr int ProgressFromCustomers = 1'000'000;

sampledata::TSampleOptions SampleOptions(int Customers) {
    sampledata::TSampleOptions Options;
    Options.Customers = Customers;
    Options.MaxOrdersPerCustomer = MaxOrdersPerCustomer;
    if (Customers < ProgressFromCustomers)
        return Options;
    const auto Start = std::chrono::steady_clock::now();
    Options.Progress = [Start](const std::string& Table, std::int64_t Done, std::int64_t Total) {
        const std::chrono::duration<double> Elapsed = std::chrono::steady_clock::now() - Start;
        if (Done == Total)
            std::fprintf(stderr, "  %s: rows and indexes in after %.1f s\n", Table.c_str(),
                         Elapsed.count());
        else
            std::fprintf(stderr, "  %s: %3d%% (%lld of %lld) after %.1f s\n", Table.c_str(),
                         static_cast<int>(Done * 100 / Total), static_cast<long long>(Done),
                         static_cast<long long>(Total), Elapsed.count());
    };
    return Options;
}

double SecondsSince(std::chrono::steady_clock::time_point Start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

// ConnInfo with Schema first on the search path; ConnInfo is a URI or a list of key=value.
std::string WithSearchPath(const std::string& ConnInfo, const std::string& Schema) {
    if (ConnInfo.starts_with("postgresql://") || ConnInfo.starts_with("postgres://"))
        return ConnInfo + (ConnInfo.find('?') == std::string::npos ? "?" : "&") +
               "options=-csearch_path%3D" + Schema;
    return ConnInfo + " options='-csearch_path=" + Schema + "'";
}

// ConnInfo, a MariaDB connection string, naming the database Database instead. Every value
// is quoted again, so that one holding blanks, quotes or backslashes survives.
std::string MariaDbWithDatabase(const std::string& ConnInfo, const std::string& Database) {
    TMariaDbConnInfo Info = ParseMariaDbConnInfo(ConnInfo);
    Info.Database = Database;
    std::string Result;
    const auto Add = [&](const char* Key, const std::string& Value) {
        if (Value.empty())
            return;
        Result += std::string(Result.empty() ? "" : " ") + Key + "='";
        for (const char Character : Value) {
            if (Character == '\\' || Character == '\'')
                Result += '\\';
            Result += Character;
        }
        Result += '\'';
    };
    Add("host", Info.Host);
    Add("port", Info.Port == 0 ? "" : std::to_string(Info.Port));
    Add("unix_socket", Info.UnixSocket);
    Add("user", Info.User);
    Add("password", Info.Password);
    Add("database", Info.Database);
    return Result;
}

void RunSQLite(sqlite3* Database, const std::string& Sql) {
    char* Message = nullptr;
    if (sqlite3_exec(Database, Sql.c_str(), nullptr, nullptr, &Message) == SQLITE_OK)
        return;
    const std::string Text = Message ? Message : "unknown error";
    sqlite3_free(Message);
    throw std::runtime_error("cannot run " + Sql.substr(0, 60) + ": " + Text);
}

std::string TwoDigits(int Number) {
    char Text[8];
    std::snprintf(Text, sizeof Text, "%02d", Number);
    return Text;
}

void CreateWideTable(sqlite3* Database) {
    std::string Create = "CREATE TABLE wide (\"Id\" INTEGER PRIMARY KEY";
    std::string Insert =
        "INSERT INTO wide WITH RECURSIVE Numbers(value) AS (SELECT 1 UNION ALL SELECT value + 1 "
        "FROM Numbers WHERE value < 1000) SELECT value";
    for (int Field = 1; Field < WideFieldCount; ++Field) {
        Create += ", \"F" + TwoDigits(Field) + "\" TEXT";
        Insert += ", 'v' || (value % " + std::to_string(Field + 2) + ")";
    }
    RunSQLite(Database, Create + ")");
    RunSQLite(Database, "CREATE INDEX wide_first ON wide (\"F01\", \"F02\", \"F03\")");
    RunSQLite(Database, Insert + " FROM Numbers");
}

void CreateIndexedTable(sqlite3* Database) {
    std::string Create = "CREATE TABLE indexed (\"Id\" INTEGER PRIMARY KEY";
    for (int Field = 1; Field <= IndexedTableIndexCount; ++Field)
        Create += ", \"C" + TwoDigits(Field) + "\" TEXT";
    RunSQLite(Database, Create + ")");
    // Single fields and pairs, as tables with many indexes have them.
    for (int Index = 1; Index <= IndexedTableIndexCount; ++Index) {
        std::string Fields = "\"C" + TwoDigits(Index) + "\"";
        if (Index % 2 == 0)
            Fields += ", \"C" + TwoDigits(Index - 1) + "\"";
        RunSQLite(Database,
                  "CREATE INDEX indexed_" + TwoDigits(Index) + " ON indexed (" + Fields + ")");
    }
}

// Runs Fill, which writes the sample of Customers customers to Server, saying so on stderr
// with the time it took.
void FillServer(const char* Server, int Customers, const std::function<void()>& Fill) {
    std::fprintf(stderr, "filling %s with %d customers...\n", Server, Customers);
    const auto Start = std::chrono::steady_clock::now();
    Fill();
    std::fprintf(stderr, "filled %s with %d customers in %.1f s\n", Server, Customers,
                 SecondsSince(Start));
}

// The sample of a server: its label ("pg-1m"), its alias, and a check that its customer
// table holds the number of rows the label promises.
TBenchDatabase ServerSample(TBenchBackend Backend, const std::string& LabelPrefix,
                            const std::string& ConnInfo, int Customers) {
    TBenchDatabase Database;
    Database.Label = LabelPrefix + SizeLabel(Customers);
    Database.Backend = Backend;
    Database.Customers = Customers;
    Database.Alias = "Bench" + Database.Label;
    Database.Location = ConnInfo;
    std::int64_t Count = 0;
    Database.OpenBare()->Query("SELECT count(*) FROM customer", {},
                               [&](const TBareRow& Row) { Count = std::stoll(Row[0].value()); });
    if (Count != Customers)
        throw std::runtime_error("the customer table of " + Database.Label + " holds " +
                                 std::to_string(Count) + " rows, not " + std::to_string(Customers));
    return Database;
}

} // namespace

std::unique_ptr<TBareDatabase> TBenchDatabase::OpenBare() const {
    switch (Backend) {
    case bbSQLite:
        return OpenBareSQLite(Location);
    case bbPostgres:
        return OpenBarePostgres(Location);
    case bbMariaDb:
        return OpenBareMariaDb(Location);
    }
    throw std::logic_error("TBenchDatabase::OpenBare: unknown backend");
}

std::string BenchDataFolder() {
    const char* Folder = std::getenv("VORN_BENCH_DATA");
    return Folder != nullptr && *Folder != '\0' ? Folder : "vorn-bench-data";
}

std::string SizeLabel(int Rows) {
    if (Rows % 1'000'000 == 0)
        return std::to_string(Rows / 1'000'000) + "m";
    if (Rows % 1'000 == 0)
        return std::to_string(Rows / 1'000) + "k";
    return std::to_string(Rows);
}

TBenchDatabase PrepareSQLiteSample(int Customers, bool Generate) {
    std::filesystem::create_directories(BenchDataFolder());
    const std::filesystem::path Path =
        std::filesystem::path(BenchDataFolder()) / ("sample-" + std::to_string(Customers) + ".db");
    if (!std::filesystem::exists(Path)) {
        if (!Generate)
            throw std::runtime_error(Path.string() + " is missing: run the benchmarks first");
        std::fprintf(stderr, "generating %s...\n", Path.c_str());
        const auto Start = std::chrono::steady_clock::now();
        const std::filesystem::path Partial = Path.string() + ".partial";
        sampledata::CreateSQLiteSampleDatabase(Partial.string(), SampleOptions(Customers), true);
        std::filesystem::rename(Partial, Path);
        std::fprintf(stderr, "generated %s in %.1f s\n", Path.c_str(), SecondsSince(Start));
    }
    TBenchDatabase Database;
    Database.Label = "sqlite-" + SizeLabel(Customers);
    Database.Backend = bbSQLite;
    Database.Customers = Customers;
    Database.Alias = "Bench" + Database.Label;
    Database.Location = Path.string();
    RegisterSQLiteDatabase(Database.Alias, Database.Location);
    return Database;
}

std::string PostgresSampleConnInfo(const std::string& ConnInfo, int Customers) {
    if (Customers == PostgresDefaultSchemaCustomers)
        return ConnInfo;
    return WithSearchPath(ConnInfo, "sample_" + SizeLabel(Customers));
}

TBenchDatabase PreparePostgresSample(const std::string& ServerConnInfo, int Customers, bool Fill) {
    const std::string ConnInfo = PostgresSampleConnInfo(ServerConnInfo, Customers);
    if (Fill)
        FillServer("PostgreSQL", Customers, [&] {
            if (ConnInfo != ServerConnInfo)
                OpenBarePostgres(ServerConnInfo)
                    ->Query("CREATE SCHEMA IF NOT EXISTS sample_" + SizeLabel(Customers), {},
                            [](const TBareRow&) {});
            sampledata::CreatePostgresSampleDatabase(ConnInfo, SampleOptions(Customers), true);
        });
    const TBenchDatabase Database = ServerSample(bbPostgres, "pg-", ConnInfo, Customers);
    RegisterPostgresDatabase(Database.Alias, Database.Location);
    return Database;
}

TBenchDatabase PrepareMariaDbSample(const std::string& ServerConnInfo, int Customers, bool Fill) {
    const std::string Name = "sample_" + SizeLabel(Customers);
    const std::string ConnInfo = MariaDbWithDatabase(ServerConnInfo, Name);
    if (Fill)
        FillServer("MariaDB", Customers, [&] {
            OpenBareMariaDb(ServerConnInfo)
                ->Query("CREATE DATABASE IF NOT EXISTS " + Name + " CHARACTER SET utf8mb4", {}, {});
            sampledata::CreateMariaDbSampleDatabase(ConnInfo, SampleOptions(Customers), true);
        });
    const TBenchDatabase Database = ServerSample(bbMariaDb, "mariadb-", ConnInfo, Customers);
    RegisterMariaDbDatabase(Database.Alias, Database.Location);
    return Database;
}

std::string PrepareShapeDatabase() {
    std::filesystem::create_directories(BenchDataFolder());
    const std::filesystem::path Path = std::filesystem::path(BenchDataFolder()) / "shapes.db";
    std::filesystem::remove(Path);
    sqlite3* Database = nullptr;
    if (sqlite3_open(Path.c_str(), &Database) != SQLITE_OK) {
        sqlite3_close(Database);
        throw std::runtime_error("cannot create " + Path.string());
    }
    try {
        CreateWideTable(Database);
        CreateIndexedTable(Database);
    } catch (...) {
        sqlite3_close(Database);
        throw;
    }
    sqlite3_close(Database);
    const std::string Alias = "BenchShapes";
    RegisterSQLiteDatabase(Alias, Path.string());
    return Alias;
}

std::vector<std::string> LocateKeys(TBareDatabase& Database, int Customers) {
    constexpr int KeyCount = 16;
    std::vector<std::string> Keys;
    const std::string Sql = "SELECT \"Name\" FROM customer WHERE \"CustNo\" % " +
                            std::to_string(Customers / KeyCount) + " = 7 ORDER BY \"CustNo\"";
    Database.Query(Sql, {}, [&](const TBareRow& Row) {
        const std::string Name = Row[0].value_or("");
        const std::size_t Blank = Name.find(' ');
        if (Blank == std::string::npos || Name.size() < Blank + 3)
            return;
        Keys.push_back(LowerCaseAscii(Name.substr(0, Blank + 3)));
    });
    if (Keys.empty())
        throw std::runtime_error("the customer table has no names to locate");
    return Keys;
}

} // namespace vorn::bench
