#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace vorn::sampledata {

// The demo database: customers, their orders (a detail table on CustNo) and contacts
// whose field names hold blanks. The schema below is the one place that defines it;
// every target writes it in its own dialect.

enum TSampleColumnType { sctInteger, sctText, sctNumeric, sctDate };

struct TSampleColumn {
    std::string Name;
    TSampleColumnType Type;
    int Size = 0; // characters of a text column
    bool Nullable = true;
};

struct TSampleIndex {
    std::string Name;
    std::vector<std::string> Fields;
};

struct TSampleTable {
    std::string Name;
    std::vector<TSampleColumn> Columns;
    // The first column is the integer primary key.
    std::vector<TSampleIndex> Indexes;
};

const std::vector<TSampleTable>& SampleSchema();
const TSampleTable& SampleTable(const std::string& Name);

// A value of one column: null, integer, number, or text (dates as "YYYY-MM-DD").
using TSampleValue = std::variant<std::monostate, std::int64_t, double, std::string>;

// Where the generated rows go. A target runs everything in one transaction that Commit
// ends; a target destroyed without Commit leaves nothing behind.
class TSampleTarget {
public:
    virtual ~TSampleTarget() = default;
    // Creates the table (without its secondary indexes) and readies the insertion of rows.
    virtual void BeginTable(const TSampleTable& Table) = 0;
    // One row: a value for every column, in column order.
    virtual void AddRow(const std::vector<TSampleValue>& Row) = 0;
    // Creates the table's indexes once its rows are in (faster than keeping them current).
    virtual void EndTable(const TSampleTable& Table) = 0;
    virtual void Commit() = 0;
};

// A new SQLite database file at Path. An existing file is an error unless Replace is set,
// which removes it first.
std::unique_ptr<TSampleTarget> CreateSQLiteTarget(const std::string& Path, bool Replace);

// The tables in the PostgreSQL database of a libpq connection string, in the first schema
// of its search path, every name quoted as spelled. Existing tables of the schema are an
// error unless Replace is set, which drops them in the same transaction.
std::unique_ptr<TSampleTarget> CreatePostgresTarget(const std::string& ConnInfo, bool Replace);

// The tables in the MariaDB database of a connection string ("unix_socket=... user=...
// database=..."): InnoDB, text in utf8mb4 compared byte by byte. Existing tables are an
// error unless Replace is set. The server commits each table as it is created, so the
// tables are built under other names and take their places at Commit in one step, which
// is also when Replace drops the tables they displace; a target destroyed before Commit
// drops the tables it built and leaves the existing ones as they were.
std::unique_ptr<TSampleTarget> CreateMariaDbTarget(const std::string& ConnInfo, bool Replace);

struct TSampleOptions {
    int Customers = 10000;
    // Each customer gets 0 to MaxOrdersPerCustomer orders.
    int MaxOrdersPerCustomer = 4;
    std::uint64_t Seed = 20240501;
    // Told how far the generation got, for large tables: for each table about every 5% of
    // its rows, then once more when the rows and indexes are in (Done == Total). Orders
    // are counted by the customers whose orders were written.
    std::function<void(const std::string& Table, std::int64_t Done, std::int64_t Total)> Progress;
};

struct TSampleCounts {
    std::int64_t Customers = 0;
    std::int64_t Orders = 0;
    std::int64_t Contacts = 0;
};

// Fills Target with the demo data and commits; the same options give the same rows on
// every machine. Raises vorn::Exception for options out of range before anything is
// written.
TSampleCounts GenerateSampleDatabase(TSampleTarget& Target, const TSampleOptions& Options);

// Both steps for a SQLite file.
TSampleCounts CreateSQLiteSampleDatabase(const std::string& Path, const TSampleOptions& Options,
                                         bool Replace = false);
TSampleCounts CreatePostgresSampleDatabase(const std::string& ConnInfo,
                                           const TSampleOptions& Options, bool Replace = false);
TSampleCounts CreateMariaDbSampleDatabase(const std::string& ConnInfo,
                                          const TSampleOptions& Options, bool Replace = false);

} // namespace vorn::sampledata
