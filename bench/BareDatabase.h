#pragma once

// Direct connections to the benchmark databases, below the data-access layer: the
// references (the naive grid and the database's own queries) run on these.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn::bench {

// One result row: a text per column, nullopt for NULL.
using TBareRow = std::vector<std::optional<std::string>>;
using TBareRowHandler = std::function<void(const TBareRow& Row)>;

class TBareDatabase {
public:
    virtual ~TBareDatabase() = default;
    // Runs Sql with its parameters bound ("?" placeholders on SQLite and MariaDB, "$1" on
    // PostgreSQL; identifiers double-quoted on all three)
    // and hands every row to Handler (none for a statement without result rows); throws
    // std::runtime_error naming the statement.
    virtual void Query(const std::string& Sql, const std::vector<std::string>& Params,
                       const TBareRowHandler& Handler) = 0;
    // The placeholder of the parameter at Index (from 1).
    virtual std::string Placeholder(int Index) const = 0;
};

std::unique_ptr<TBareDatabase> OpenBareSQLite(const std::string& Path);
std::unique_ptr<TBareDatabase> OpenBarePostgres(const std::string& ConnInfo);
// A connection string as RegisterMariaDbDatabase takes it.
std::unique_ptr<TBareDatabase> OpenBareMariaDb(const std::string& ConnInfo);

} // namespace vorn::bench
