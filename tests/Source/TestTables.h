#pragma once

#include "host/components/controls/Application.h"

#include <memory>
#include <string>
#include <vector>

namespace vorn {
class TComponent;
class TQuery;
class TTable;
} // namespace vorn

namespace vorn::testtables {

enum TTestBackend { tbSQLite, tbPostgreSQL };

// "SQLite" or "PostgreSQL", for the names of parameterised tests.
std::string BackendName(TTestBackend Backend);

// An empty database of its own registered as a database alias: a SQLite file in the
// temporary folder (a local table: sequenced), or a schema of its own on the test
// server named by VORN_PG_CONNINFO (a server table: not sequenced). The alias and
// the database go with the object; free every dataset on the alias first.
//
// Statements are written once for both backends: identifiers in double quotes, the
// types INTEGER, VARCHAR(n), DATE and TEXT (a memo field on both).
class TTestDatabase {
public:
    // Raises vorn::Exception when the PostgreSQL test server is not configured, so
    // that a test that needs it fails instead of passing unseen.
    explicit TTestDatabase(TTestBackend Backend);
    TTestDatabase(const TTestDatabase&) = delete;
    TTestDatabase& operator=(const TTestDatabase&) = delete;
    ~TTestDatabase();

    TTestBackend Backend() const { return FBackend; }
    const std::string& Alias() const { return FAlias; }
    // The database file (SQLite) or the connection string that reaches the tables
    // (PostgreSQL), for a test that opens a connection of its own with the backend's own
    // client library; empty on the other backend.
    const std::string& Path() const { return FPath; }
    const std::string& ConnInfo() const { return FConnInfo; }
    // Runs one statement without rows.
    void Execute(const std::string& Sql) const;

private:
    TTestBackend FBackend;
    std::string FAlias;
    std::string FPath;   // SQLite
    std::string FSchema; // PostgreSQL
    std::string FConnInfo;
};

// A database holding the tables "customer" and "orders" (a detail of customer on
// CustNo) that the component tests share:
//
//   customer: CustNo (primary key), Company, City, Name, Notes (TEXT)
//     indexes ByCity (City), ByCityName (City;Name), ByCompanyCity (Company;City),
//     ByName (Name)
//     rows (CustNo, Company, City, Name): 1 Acme Berlin Zed, 2 Bolt Athens Smith,
//     3 Acme Athens Adams, 4 Core Cairo smythe, 5 Dyne Berlin Baker
//   orders: OrderNo (primary key), CustNo, CustNoX, OrderDate (DATE), Amount
//     indexes A_ByCustNo (CustNo), B_ByCustNoDate (CustNo;OrderDate),
//     C_ByCustNoX (CustNoX), D_ByOrderDate (OrderDate)
//     rows (OrderNo, CustNo, OrderDate, Amount): 10 1 2024-01-05 100,
//     11 1 2023-03-01 50, 12 2 2024-02-02 75, 13 4 2022-07-07 20; CustNoX = CustNo
std::unique_ptr<TTestDatabase> CreateCustomerOrders(TTestBackend Backend);

// A table of Database owned by Owner, ordered by IndexFieldNames; opened when Open is set.
TTable* CreateTable(TComponent& Owner, const TTestDatabase& Database, const std::string& TableName,
                    const std::string& IndexFieldNames, bool Open = true);
// An open query of Database owned by Owner.
TQuery* OpenQuery(TComponent& Owner, const TTestDatabase& Database, const std::string& Sql);

// Records the messages of the errors that the input dispatch hands to the application
// while the recorder lives.
class TErrorRecorder {
public:
    TErrorRecorder();
    ~TErrorRecorder();
    TErrorRecorder(const TErrorRecorder&) = delete;
    TErrorRecorder& operator=(const TErrorRecorder&) = delete;

    const std::vector<std::string>& Messages() const { return FMessages; }

private:
    std::vector<std::string> FMessages;
    TApplicationErrorHandler FPrevious;
};

} // namespace vorn::testtables
