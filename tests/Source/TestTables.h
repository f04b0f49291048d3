#pragma once

#include "host/components/controls/Application.h"
#include "tests/support/TestBackend.h"

#include <memory>
#include <string>
#include <vector>

namespace vorn {
class TComponent;
class TPgConnection;
class TQuery;
class TTable;
namespace testsupport {
class TMariaDbScratchDatabase;
}
} // namespace vorn

namespace vorn::testtables {

// The backends the suites run on, shared with the data layer's tests.
using testsupport::BackendCount;
using testsupport::BackendName;
using testsupport::ReadingBackends;
using testsupport::TTestBackend;
using enum testsupport::TTestBackend;

// For a table of cases that name their backend in a Backend member: the cases on the
// PostgreSQL server (Server) moved to another server backend (To).
template <typename TCase, typename TBackendKind = TTestBackend>
std::vector<TCase> ServerCasesOn(const std::vector<TCase>& Cases, TBackendKind To,
                                 TBackendKind Server = tbPostgreSQL) {
    std::vector<TCase> Moved;
    for (const TCase& Case : Cases)
        if (Case.Backend == Server) {
            Moved.push_back(Case);
            Moved.back().Backend = To;
        }
    return Moved;
}

// The cases on the PostgreSQL server (Server) moved to its standby (Standby), or none when
// the test server has no standby.
template <typename TCase, typename TBackendKind = TTestBackend>
std::vector<TCase> ServerCasesOnStandby(const std::vector<TCase>& Cases,
                                        TBackendKind Server = tbPostgreSQL,
                                        TBackendKind Standby = tbPostgreSQLStandby) {
    if (ReadingBackends().back() != tbPostgreSQLStandby)
        return {};
    return ServerCasesOn(Cases, Standby, Server);
}

// An empty database of its own registered as a database alias: a SQLite file in the
// temporary folder (a local table: sequenced), a schema of its own on the test
// server named by VORN_PG_CONNINFO, or a database of its own on the MariaDB test server
// named by VORN_MARIADB_CONNINFO (server tables: not sequenced). The alias and the
// database go with the object; free every dataset on the alias first.
//
// On the standby the schema is made and filled on the primary while the alias reads
// the standby (VORN_PG_STANDBY_CONNINFO); Execute returns once the standby has
// replayed what it wrote.
//
// Statements are written once for all backends: identifiers in double quotes (Execute
// puts them in backticks on MariaDB), the types INTEGER, VARCHAR(n), DATE and TEXT (a
// memo field on all).
class TTestDatabase {
public:
    // Raises vorn::Exception when the backend's test server (or, for the standby, its
    // standby) is not configured, so that a test that needs it fails instead of passing
    // unseen.
    explicit TTestDatabase(TTestBackend Backend);
    TTestDatabase(const TTestDatabase&) = delete;
    TTestDatabase& operator=(const TTestDatabase&) = delete;
    ~TTestDatabase();

    TTestBackend Backend() const { return FBackend; }
    const std::string& Alias() const { return FAlias; }
    // The database file (SQLite) or the connection string that reaches the tables
    // (PostgreSQL: on the standby, the standby's), for a test that opens a connection of
    // its own with the backend's own client library; empty on the other backends.
    const std::string& Path() const { return FPath; }
    const std::string& ConnInfo() const { return FConnInfo; }
    // Runs one statement without rows (on the standby: on the primary, and waits until
    // the standby has it).
    void Execute(const std::string& Sql) const;

private:
    TTestBackend FBackend;
    std::string FAlias;
    std::string FPath;   // SQLite
    std::string FSchema; // PostgreSQL
    std::string FConnInfo;
    // The standby's writer on the primary, and the standby connection it waits on.
    std::unique_ptr<TPgConnection> FPrimary;
    std::unique_ptr<TPgConnection> FStandby;
    // The database of its own on the MariaDB server.
    std::unique_ptr<testsupport::TMariaDbScratchDatabase> FMariaDb;
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
