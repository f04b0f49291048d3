#pragma once

#include "host/data/dataset/FieldType.h"
#include "host/data/dataset/Variant.h"
#include "host/data/drivers/TableStatistics.h"
#include "host/data/sql/SqlDialect.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

// A column of a table or of a result, as the database's catalog describes it.
struct TColumnInfo {
    std::string Name;         // spelled as the catalog spells it
    std::string DeclaredType; // the type text the database declares ("VARCHAR(40)"); may be empty
    TFieldType DataType = ftUnknown;
    int Size = 0; // characters of a string type, decimal places of a BCD type, else 0
    // The database refuses NULL in this column (a table column declared NOT NULL or part
    // of the primary key where the database enforces that); false where unknown.
    bool NotNull = false;
    // What ComparesAsBytes answers for the column, where the catalog read that gave it
    // told already; otherwise unknown until asked.
    std::optional<bool> ComparesAsBytes = std::nullopt;
};

// An index of a table. Expression and partial indexes are not reported.
struct TIndexInfo {
    std::string Name;
    std::vector<std::string> Fields; // in index order
    bool Unique = false;
    bool Primary = false;
    // Per field: true where the index, read so that the field ascends, holds the field's
    // NULLs before its values (an ascending index created NULLS FIRST, a descending one
    // created NULLS LAST; every SQLite index). Reading an index backward reverses both
    // its direction and its NULLs, so the same value describes it read either way.
    // A database serves an order from an index only where their NULLs go the same way.
    std::vector<bool> NullsFirst;
    // Per field: true where the index keeps the field descending; empty when every field
    // ascends.
    std::vector<bool> Descending;
};

// What opening a table needs to know of it: its columns, its row key and its indexes.
struct TTableSchema {
    std::vector<TColumnInfo> Columns;
    std::vector<std::string> RowKey;
    std::vector<TIndexInfo> Indexes;
};

// The rows of one executed statement, read forward only. The cursor starts before
// the first row; Value reads the row that the last successful Next reached.
class TDriverCursor {
public:
    virtual ~TDriverCursor() = default;

    // Moves to the next row; false once the rows are exhausted.
    virtual bool Next() = 0;
    virtual int FieldCount() const = 0;
    // Name, declared type and mapped field type of a result column.
    virtual const TColumnInfo& Column(int Index) const = 0;
    // The value of a column of the current row: text in the host code page, integers as
    // integers, reals as floats, NULL as null, binary data as a byte string.
    virtual TVariant Value(int Index) const = 0;
};

// One open connection to a database. Every error is an EDatabaseError whose message
// names the database and repeats the database's own message. Parameters are always
// bound by the driver, never written into the SQL text.
class TDriverConnection {
public:
    virtual ~TDriverConnection() = default;

    // What the connection is opened on (a file name, a server and database), for messages.
    virtual const std::string& Description() const = 0;
    // The SQL that the translator writes for this database.
    virtual TSqlBackend SqlBackend() const = 0;
    // True for a local file database, false for a server.
    virtual bool IsSequenced() const = 0;
    // True where a table can only be ordered by the leading fields of one of its indexes.
    virtual bool OrdersByIndexOnly() const = 0;

    // An identifier in the quotes of the backend (embedded quotes doubled); by default the
    // double quotes of standard SQL.
    virtual std::string QuoteIdentifier(const std::string& Name) const;
    // A table name as it goes into a FROM clause; a backend with schemas may split it.
    virtual std::string QuoteTableName(const std::string& Table) const {
        return QuoteIdentifier(Table);
    }
    // The placeholder of the Number-th parameter (from 1) of a statement.
    virtual std::string Placeholder(int Number) const = 0;

    virtual bool TableExists(const std::string& Table) = 0;
    // The columns of a table in their order; raises for a table that does not exist.
    virtual std::vector<TColumnInfo> Columns(const std::string& Table) = 0;
    // The indexes of a table: the primary key first, then the others by name.
    virtual std::vector<TIndexInfo> Indexes(const std::string& Table) = 0;
    // SQL expressions (quoted) that identify a row uniquely and are never NULL: the last
    // keys of a total order and the content of a bookmark.
    virtual std::vector<std::string> RowKey(const std::string& Table) = 0;
    // Columns, RowKey and Indexes of a table together, raising as they do (in that
    // order); a server answers them in one statement instead of a round trip each.
    virtual TTableSchema Schema(const std::string& Table);

    // The table statistics of the database, or nullptr where it keeps none.
    virtual TTableStatistics* TableStatistics() { return nullptr; }

    // What the database does with the SQL that generic code writes, so that such code
    // chooses its statements without knowing the database. Questions that take a table
    // may run statements: their callers keep the answers for as long as they hold.

    // Whether a column of Table (as Columns describes it) holds text only and compares it
    // by the bytes of its UTF-8 encoding: then the texts that begin with a prefix are
    // exactly those from the prefix up to its successor, a range that an index on the
    // column seeks. False where unknown.
    virtual bool ComparesAsBytes(const std::string& Table, const TColumnInfo& Column) = 0;
    // Whether the database finds the least value of Column above a given one
    // (MIN(Column) ... WHERE Column > value) by searching an index rather than by reading
    // the table. An index that leads on the column may still not serve that search (a
    // hash index, another collation or operator class).
    virtual bool NextValueSearchesIndex(const std::string& Table, const std::string& Column) = 0;
    // Whether the database's own SELECT DISTINCT of a column that an index leads on reads
    // one index entry per value, so that no walk from value to value can be faster (and
    // no question about the table need be asked to plan one).
    virtual bool DistinctSearchesIndex() const = 0;
    // Whether MIN and > exist for the values of a result column shown as Type.
    virtual bool HasMinimum(TFieldType Type) const = 0;
    // Whether the database refuses Pattern (host code page) as the pattern of LIKE,
    // whatever it holds, for its length alone.
    virtual bool RefusesLikePattern(const std::string& Pattern) const = 0;

    // Runs a statement that returns rows.
    virtual std::unique_ptr<TDriverCursor> Execute(const std::string& Sql,
                                                   const std::vector<TVariant>& Params) = 0;
    // Runs a statement that changes data or schema; returns the rows changed.
    virtual std::int64_t ExecuteCommand(const std::string& Sql,
                                        const std::vector<TVariant>& Params) = 0;
};

// Collects the parameters of a statement under construction: Add returns the
// placeholder to write into the SQL text in the value's place.
class TBoundParams {
public:
    explicit TBoundParams(const TDriverConnection& Connection) : FConnection(&Connection) {}

    std::string Add(TVariant Value);
    const std::vector<TVariant>& Values() const { return FValues; }

private:
    const TDriverConnection* FConnection;
    std::vector<TVariant> FValues;
};

} // namespace vorn
