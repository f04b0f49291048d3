#pragma once

// The databases the benchmarks run on: the sample schema at several sizes on SQLite
// (generated once and kept, keyed by size) and on PostgreSQL and MariaDB (filled unless
// an earlier run's sample is reused), plus a small SQLite file with the shapes that size
// alone does not exercise.

#include "bench/BareDatabase.h"

#include <memory>
#include <string>
#include <vector>

namespace vorn::bench {

enum TBenchBackend { bbSQLite, bbPostgres, bbMariaDb };

struct TBenchDatabase {
    std::string Label; // names the benchmarks: "sqlite-1m"
    TBenchBackend Backend = bbSQLite;
    int Customers = 0;
    std::string Alias;    // the DatabaseName the components use
    std::string Location; // the SQLite file or the server's connection string

    std::unique_ptr<TBareDatabase> OpenBare() const;
};

// Where generated databases are kept: $VORN_BENCH_DATA, else ./vorn-bench-data.
std::string BenchDataFolder();

// The sample database with Customers customers in a SQLite file of the data folder,
// generated when the folder has none yet (into a temporary file renamed when complete,
// so that an interrupted run leaves nothing that looks finished). With Generate false a
// missing file is an error. Registers the alias.
TBenchDatabase PrepareSQLiteSample(int Customers, bool Generate);
// The sample database with Customers customers in the PostgreSQL database of ConnInfo:
// replaced by a fresh one with Fill, else used as it is (an error when its customer table
// is missing or holds another number of rows). 1,000,000 customers live in the schema the
// connection starts in, every other size in a schema of its own ("sample_10m"), so that
// several sizes are there side by side. Registers the alias.
TBenchDatabase PreparePostgresSample(const std::string& ConnInfo, int Customers, bool Fill);
// The sample database with Customers customers on the MariaDB server of ConnInfo
// ("unix_socket=... user=... database=..."), in a database of its own ("sample_1m"),
// created when missing, never in the database ConnInfo names: replaced by a fresh one
// with Fill, else used as it is (an error when its customer table is missing or holds
// another number of rows). Registers the alias.
TBenchDatabase PrepareMariaDbSample(const std::string& ConnInfo, int Customers, bool Fill);
// The connection string that reaches the sample of that size: ConnInfo with the size's
// schema first on the search path (ConnInfo itself at 1,000,000).
std::string PostgresSampleConnInfo(const std::string& ConnInfo, int Customers);

// A SQLite file of the data folder, rebuilt on every run, holding "wide" (an integer key
// and WideFieldCount - 1 text fields, sorted on an index of its first three text fields)
// and "indexed" (IndexedTableIndexCount indexes). Registers and returns its alias.
inline constexpr int WideFieldCount = 50;
inline constexpr int IndexedTableIndexCount = 30;
std::string PrepareShapeDatabase();

// Partial keys for a case-insensitive Locate on Name: the first word of names spread over
// the table and the first letters of the second, in lower case (the data is capitalised),
// so that only a case-insensitive search finds them.
std::vector<std::string> LocateKeys(TBareDatabase& Database, int Customers);

// Sizes in labels: 10000 -> "10k", 1000000 -> "1m".
std::string SizeLabel(int Rows);

} // namespace vorn::bench
