#pragma once

#include "host/data/drivers/Driver.h"
#include "host/data/drivers/IndexColumns.h"
#include "host/data/drivers/mariadb/MariaDbConnInfo.h"
#include "host/data/drivers/mariadb/MariaDbSession.h"

#include <memory>
#include <string>
#include <vector>

namespace vorn {

// A MariaDB (or MySQL) database reached through the client library with a connection
// string ("unix_socket=/tmp/mdb.ab12/s user=clerk database=shop"). Server tables are not
// sequenced: a table is paged by its primary key (or a unique index on NOT NULL columns).
//
// A result streams from the server as the rows are asked for, and the protocol lets a
// connection run nothing else until the rest of it was read. So each open cursor holds a
// connection of its own, taken from a small pool of idle ones and given back when its
// rows are exhausted or it is freed; commands and catalog questions run on the
// connection that the object opens first. No rows are read ahead. A cursor freed early
// reads a few more rows to keep its connection, and closes it when more are left.
// A lost connection is replaced by the next statement that needs one; a read that found
// it lost before any row is run once more. Cursors must be freed before the connection.
class TMariaDbConnection : public TDriverConnection, public TTableStatistics {
public:
    // Connects; raises EDatabaseError for a bad connection string, a server that cannot be
    // reached, a database that does not exist or a refused login.
    explicit TMariaDbConnection(const std::string& ConnInfo);
    ~TMariaDbConnection() override;

    // Statements: numbered placeholders ("?1") become MariaDB's positional ones.
    std::unique_ptr<TDriverCursor> Execute(const std::string& Sql,
                                           const std::vector<TVariant>& Params) override;
    std::int64_t ExecuteCommand(const std::string& Sql,
                                const std::vector<TVariant>& Params) override;
    std::string Placeholder(int Number) const override { return "?" + std::to_string(Number); }
    // In backticks, embedded backticks doubled.
    std::string QuoteIdentifier(const std::string& Name) const override;

    // What the connection is.
    const std::string& Description() const override { return FDescription; }
    TSqlBackend SqlBackend() const override { return sbMariaDB; }
    bool IsSequenced() const override { return false; }
    bool OrdersByIndexOnly() const override { return false; }
    bool RefusesLikePattern(const std::string&) const override { return false; }
    bool HasMinimum(TFieldType Type) const override;

    // The catalog, from information_schema of the current database.
    bool TableExists(const std::string& Table) override;
    std::vector<TColumnInfo> Columns(const std::string& Table) override;
    // The BTREE and HASH indexes on whole columns; indexes on column prefixes and
    // full-text and spatial indexes are left out.
    std::vector<TIndexInfo> Indexes(const std::string& Table) override;
    // The primary key's fields, else those of the first unique index (by name) whose
    // fields are all NOT NULL; raises for a table that has neither.
    std::vector<std::string> RowKey(const std::string& Table) override;
    // A VARCHAR or TEXT column in a UTF-8 character set whose collation compares bytes
    // without padding (utf8mb4_nopad_bin): MariaDbComparesAsBytes. Columns tells it too.
    bool ComparesAsBytes(const std::string& Table, const TColumnInfo& Column) override;
    // Never: MariaDB reads the whole index for each step of such a walk.
    bool NextValueSearchesIndex(const std::string& Table, const std::string& Column) override;
    // Always: its SELECT DISTINCT ... ORDER BY reads one entry per value by the index
    // ("index for group-by").
    bool DistinctSearchesIndex() const override { return true; }
    TTableStatistics* TableStatistics() override { return this; }
    // information_schema.TABLES.TABLE_ROWS: the storage engine's estimate; nothing for
    // a view.
    std::optional<std::int64_t> EstimatedRowCount(const std::string& Table) override;

    // The server's id of the command connection (for KILL in tests).
    unsigned long CommandThreadId() const { return FCommands.ThreadId(); }
    // Connections kept idle for the next cursor.
    std::size_t IdleReaderCount() const { return FReaders.IdleCount(); }

private:
    std::vector<TIndexColumn> IndexColumns(const char* Operation, const std::string& Table);
    // Rows of a catalog question, read on the command connection.
    std::vector<std::vector<TVariant>> ReadCatalog(const char* Operation, const char* Sql,
                                                   const std::vector<TVariant>& Params);
    void CheckTableExists(const char* Operation, const std::string& Table);

    TMariaDbConnInfo FInfo;
    std::string FDescription;
    TMariaDbSession FCommands;
    TMariaDbSessionPool FReaders;
};

} // namespace vorn
