#pragma once

// The backends that the parameterised database tests run on, and the names they give.

#include <cstddef>
#include <vector>

namespace vorn::testsupport {

// tbPostgreSQLStandby reads from a streaming hot standby of the PostgreSQL test server;
// tbMariaDB works on the MariaDB test server (VORN_MARIADB_CONNINFO).
enum TTestBackend { tbSQLite, tbPostgreSQL, tbPostgreSQLStandby, tbMariaDB };
// The number of backends, for a suite that keeps a database per backend.
inline constexpr std::size_t BackendCount = 4;

// The backends a test that writes through its datasets runs on.
inline const std::vector<TTestBackend> AllBackends = {tbSQLite, tbPostgreSQL, tbMariaDB};
// For tests whose datasets only read: AllBackends, and the standby when the test server
// has one (VORN_PG_STANDBY_CONNINFO is set, as scripts/test.sh does).
const std::vector<TTestBackend>& ReadingBackends();
// ReadingBackends without Left, for a suite whose cases cannot differ on that backend.
std::vector<TTestBackend> ReadingBackendsBut(TTestBackend Left);

// "SQLite", "PostgreSQL", "PostgreSQLStandby" or "MariaDB", for the names of parameterised
// tests.
const char* BackendName(TTestBackend Backend);

} // namespace vorn::testsupport
