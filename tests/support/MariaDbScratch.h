#pragma once

// Databases of their own on the MariaDB test server, for the backend-parameterised suites.

#include <memory>
#include <string>

namespace vorn {
class TMariaDbConnection;
} // namespace vorn

namespace vorn::testsupport {

// The connection string of the MariaDB test server (VORN_MARIADB_CONNINFO); empty when
// unset.
std::string MariaDbServerConnInfo();

// A MariaDB connection string naming another database.
std::string MariaDbConnInfoWithDatabase(const std::string& ConnInfo, const std::string& Database);

// A statement written for all backends, for MariaDB: identifiers in double quotes move into
// backticks, the NULLS FIRST or LAST of a quoted column in an order (perhaps qualified by
// its table) becomes a term of its own ("X" DESC NULLS LAST: `X` IS NULL, `X` DESC), and
// ANALYZE "X" becomes ANALYZE TABLE `X`. Single-quoted literals are kept, but a backslash in
// one is doubled: it is no escape on the other backends. The ?N placeholders are the
// driver's own.
std::string MariaDbSql(const std::string& Sql);

// The collation the scratch databases compare their texts in unless told otherwise: byte
// order without padding, as on the other backends.
inline constexpr const char* MariaDbByteCollation = "utf8mb4_nopad_bin";

// A fresh database on the MariaDB test server (utf8mb4, compared in Collation), made at
// construction and dropped with the object. Raises vorn::Exception when
// the test server was not started, so that a test that needs it fails instead of passing
// unseen.
class TMariaDbScratchDatabase {
public:
    // The name is Prefix followed by the process id and a counter.
    explicit TMariaDbScratchDatabase(const std::string& Prefix,
                                     const std::string& Collation = MariaDbByteCollation);
    TMariaDbScratchDatabase(const TMariaDbScratchDatabase&) = delete;
    TMariaDbScratchDatabase& operator=(const TMariaDbScratchDatabase&) = delete;
    ~TMariaDbScratchDatabase();

    const std::string& Name() const { return FName; }
    const std::string& ConnInfo() const { return FConnInfo; }

private:
    std::string FName;
    std::string FConnInfo;
    // The server connection that made the database and drops it.
    std::unique_ptr<TMariaDbConnection> FAdmin;
};

} // namespace vorn::testsupport
