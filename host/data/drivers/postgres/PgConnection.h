#pragma once

#include "host/data/drivers/Driver.h"
#include "host/data/drivers/IndexColumns.h"
#include "host/data/drivers/postgres/PgSession.h"

#include <memory>
#include <string>
#include <vector>

namespace vorn {

// A PostgreSQL database reached through libpq with a connection string
// ("host=/tmp/pg.ab12 dbname=shop user=clerk"). Server tables are not sequenced:
// their order comes from ORDER BY alone, and a table is paged by its primary key
// (or a unique index on NOT NULL columns), never by the unstable row address.
//
// Queries run on a reader connection in server-side cursors, which live in a
// transaction of their own; commands and catalog questions run on a second
// connection that commits each statement at once, so that a change never waits
// for a query to be closed. A connection found broken is replaced by the next
// operation that needs it; the cursors it carried raise at their next fetch.
// A command that needs a lock held by an open query fails after a while instead
// of waiting for it forever.
//
// The connection string may name several servers ("host=/tmp/a,/tmp/b
// target_session_attrs=prefer-standby"): each of the two connections picks its
// server as libpq does. Reads never write, create temporary objects or change
// anything that a hot standby refuses, so a database on a standby can be read. A
// read that a standby cancels for a conflict with recovery is run once more.
// Cursors returned by Execute must be freed before the connection.
class TPgConnection : public TDriverConnection, public TTableStatistics {
public:
    // Connects; raises EDatabaseError with the server's message when the server
    // cannot be reached, the database does not exist or the login is refused.
    explicit TPgConnection(const std::string& ConnInfo);

    const std::string& Description() const override { return FDescription; }
    TSqlBackend SqlBackend() const override { return sbPostgreSQL; }
    bool IsSequenced() const override { return false; }
    bool OrdersByIndexOnly() const override { return false; }

    // "customer", "public.customer", "sales.Orders" or "\"odd.name\"": an optional
    // schema, then the table; each part quoted exactly as spelled.
    std::string QuoteTableName(const std::string& Table) const override;
    std::string Placeholder(int Number) const override { return "$" + std::to_string(Number); }

    bool TableExists(const std::string& Table) override;
    std::vector<TColumnInfo> Columns(const std::string& Table) override;
    std::vector<TIndexInfo> Indexes(const std::string& Table) override;
    // The primary key's fields, else those of the first unique index (by name)
    // whose fields are all NOT NULL; raises for a table that has neither.
    std::vector<std::string> RowKey(const std::string& Table) override;
    // One catalog statement for the three.
    TTableSchema Schema(const std::string& Table) override;
    TTableStatistics* TableStatistics() override { return this; }
    // The planner's estimate from pg_class (reltuples per relpages, times the pages the
    // table has now); nothing for a table that VACUUM, ANALYZE or CREATE INDEX has never
    // seen with rows, and for views.
    std::optional<std::int64_t> EstimatedRowCount(const std::string& Table) override;

    // A text or varchar column whose collation is C or POSIX (the database's where it
    // has the default one).
    bool ComparesAsBytes(const std::string& Table, const TColumnInfo& Column) override;
    // True unless the planner's plan for the search scans the table sequentially.
    bool NextValueSearchesIndex(const std::string& Table, const std::string& Column) override;
    // PostgreSQL's DISTINCT reads every row of the index or the table.
    bool DistinctSearchesIndex() const override { return false; }
    bool HasMinimum(TFieldType Type) const override;
    // PostgreSQL matches a LIKE pattern of any length.
    bool RefusesLikePattern(const std::string&) const override { return false; }

    std::unique_ptr<TDriverCursor> Execute(const std::string& Sql,
                                           const std::vector<TVariant>& Params) override;
    std::int64_t ExecuteCommand(const std::string& Sql,
                                const std::vector<TVariant>& Params) override;

    // The server processes of the two connections (0 for one not opened yet).
    int CommandBackendPid() const { return FCommands.BackendPid(); }
    int ReaderBackendPid() const { return FReader.BackendPid(); }

    // Rows a query cursor fetches per round trip.
    static constexpr int FetchPageSize = 100;
    // Milliseconds a command waits for a lock while queries of this connection are
    // open (one of them may hold it); without open queries a command waits as long
    // as it takes.
    static constexpr int CommandLockTimeout = 3000;

private:
    struct TCatalogSchema;
    // Runs a statement on the command connection; Sql and Params are UTF-8.
    TPgResult RunCommand(const char* Operation, const std::string& Sql, const TPgParams& Params);
    // Runs a catalog query, once more when the connection was lost or the standby
    // cancelled it (see ReadAgainOnce).
    TPgResult ReadCatalog(const char* Operation, const char* Sql, const TPgParams& Params);
    // The columns and the index columns of a table, in one statement; raises naming the
    // table when it does not exist.
    TCatalogSchema ReadSchema(const char* Operation, const std::string& Table);

    std::string FDescription;
    TPgSession FCommands;
    TPgSession FReader;
};

// A boolean SQL expression: whether the column "a" (pg_attribute) compares as its bytes,
// given its collation "coll" (pg_collation) and the current database "db" (pg_database).
extern const char* const PgByteOrderedColumn;

// The parameters of a statement in PostgreSQL's text format.
TPgParams PgParams(const std::vector<TVariant>& Values);

} // namespace vorn
