#pragma once

// Databases of their own on the MariaDB test server, for the backend-parameterised suites.

#include <memory>
#include <string>

namespace vorn {
class TDriverConnection;
class TMariaDbConnection;
} // namespace vorn

namespace vorn::testsupport {

// The connection string of the MariaDB test server (VORN_MARIADB_CONNINFO); empty when
// unset.
std::string MariaDbServerConnInfo();

// A MariaDB connection string naming another database.
std::string MariaDbConnInfoWithDatabase(const std::string& ConnInfo, const std::string& Database);

// A statement written for all backends, for MariaDB: identifiers in double quotes move into
// backticks, and the NULLS FIRST or LAST of a quoted column in an order becomes a term of
// its own ("X" DESC NULLS LAST: `X` IS NULL, `X` DESC), and ANALYZE "X" becomes ANALYZE
// TABLE `X`. Single-quoted literals are kept, but with DoubleBackslashes a backslash in one
// is doubled: it is no escape on the other backends. The ?N placeholders are the driver's
// own.
std::string MariaDbSql(const std::string& Sql, bool DoubleBackslashes);

// A fresh database on the MariaDB test server (utf8mb4, compared byte by byte without
// padding), made at construction and dropped with the object. Raises vorn::Exception when
// the test server was not started, so that a test that needs it fails instead of passing
// unseen.
class TMariaDbScratchDatabase {
public:
    // The name is Prefix followed by the process id and a counter.
    explicit TMariaDbScratchDatabase(const std::string& Prefix);
    TMariaDbScratchDatabase(const TMariaDbScratchDatabase&) = delete;
    TMariaDbScratchDatabase& operator=(const TMariaDbScratchDatabase&) = delete;
    ~TMariaDbScratchDatabase();

    const std::string& Name() const { return FName; }
    const std::string& ConnInfo() const { return FConnInfo; }
    // A connection to the database for the test's own statements, which it takes as the
    // other backends do: identifiers in double quotes (MariaDbSql, backslashes kept: what
    // a dataset writes passes through unchanged).
    std::unique_ptr<TDriverConnection> ConnectForStatements() const;

private:
    std::string FName;
    std::string FConnInfo;
    // The server connection that made the database and drops it.
    std::unique_ptr<TMariaDbConnection> FAdmin;
};

} // namespace vorn::testsupport
