#pragma once

// The backends that the parameterised database tests run on, and the names they give.

#include <cstddef>
#include <vector>

namespace vorn::testsupport {

// tbPostgreSQLStandby reads from a streaming hot standby of the PostgreSQL test server;
// tbMariaDB works on the MariaDB test server (VORN_MARIADB_CONNINFO), in a database whose
// texts compare as their bytes, as on the other backends. tbMariaDBCaseInsensitive is the
// same server in a database of a case-insensitive collation that pads with spaces, as a
// server's default is: a few suites run on it as well.
enum TTestBackend {
    tbSQLite,
    tbPostgreSQL,
    tbPostgreSQLStandby,
    tbMariaDB,
    tbMariaDBCaseInsensitive
};
// The number of backends, for a suite that keeps a database per backend.
inline constexpr std::size_t BackendCount = 5;

// The backends a test that writes through its datasets runs on.
inline const std::vector<TTestBackend> AllBackends = {tbSQLite, tbPostgreSQL, tbMariaDB};
// For tests whose datasets only read: AllBackends, and the standby when the test server
// has one (VORN_PG_STANDBY_CONNINFO is set, as scripts/test.sh does).
const std::vector<TTestBackend>& ReadingBackends();
// Backends and tbMariaDBCaseInsensitive, for the suites whose results a collation that
// folds case and pads could change.
std::vector<TTestBackend> WithCaseInsensitiveMariaDB(std::vector<TTestBackend> Backends);
// ReadingBackends without Left, for a suite whose cases cannot differ on that backend.
std::vector<TTestBackend> ReadingBackendsBut(TTestBackend Left);

// "SQLite", "PostgreSQL", "PostgreSQLStandby", "MariaDB" or "MariaDBCaseInsensitive", for
// the names of parameterised tests.
const char* BackendName(TTestBackend Backend);

} // namespace vorn::testsupport
