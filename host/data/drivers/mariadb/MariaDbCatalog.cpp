// The catalog questions of TMariaDbConnection, read from information_schema of the
// connection's current database on the command connection.
#include "host/data/drivers/mariadb/MariaDbConnection.h"
#include "host/data/drivers/mariadb/MariaDbValues.h"

#include <set>

namespace vorn {

namespace {

const char* const TableOfDatabase = "SELECT TABLE_TYPE FROM information_schema.TABLES "
                                    "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ?1";

const char* const ColumnsOfTable =
    "SELECT COLUMN_NAME, COLUMN_TYPE, DATA_TYPE, CHARACTER_MAXIMUM_LENGTH, NUMERIC_SCALE, "
    "IS_NULLABLE, COALESCE(CHARACTER_SET_NAME, ''), EXTRA, COALESCE(COLLATION_NAME, '') "
    "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ?1 "
    "ORDER BY ORDINAL_POSITION";

// The primary key first, then by name; each index's fields in order, with what tells
// whether the index can serve an order (see IndexColumns). A plain read: a subquery over
// STATISTICS would make the server open the index list of every table it holds.
const char* const IndexColumnsOfTable =
    "SELECT INDEX_NAME, NON_UNIQUE, COLUMN_NAME, NULLABLE, COLLATION, "
    "SUB_PART IS NULL AND COLUMN_NAME IS NOT NULL AND INDEX_TYPE IN ('BTREE', 'HASH') "
    "FROM information_schema.STATISTICS "
    "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ?1 "
    "ORDER BY INDEX_NAME <> 'PRIMARY', INDEX_NAME, SEQ_IN_INDEX";

std::string Text(const TVariant& Value) {
    return Value.IsNull() ? std::string() : Value.AsString();
}

} // namespace

void TMariaDbConnection::CheckTableExists(const char* Operation, const std::string& Table) {
    if (ReadCatalog(Operation, TableOfDatabase, {TVariant(Table)}).empty())
        FCommands.Raise(Operation, "Table '" + Table + "' does not exist");
}

bool TMariaDbConnection::TableExists(const std::string& Table) {
    return !ReadCatalog("TMariaDbConnection.TableExists()", TableOfDatabase, {TVariant(Table)})
                .empty();
}

std::vector<TColumnInfo> TMariaDbConnection::Columns(const std::string& Table) {
    static const char* const Operation = "TMariaDbConnection.Columns()";
    const auto Rows = ReadCatalog(Operation, ColumnsOfTable, {TVariant(Table)});
    if (Rows.empty())
        CheckTableExists(Operation, Table);
    std::vector<TColumnInfo> Columns;
    for (const auto& Row : Rows) {
        TColumnInfo Column;
        Column.Name = Text(Row[0]);
        Column.DeclaredType = Text(Row[1]);
        Column.DataType = MariaDbFieldType(
            MariaDbCatalogType(Text(Row[2]), Column.DeclaredType, Text(Row[6]), Text(Row[7])));
        if (Column.DataType == ftString || Column.DataType == ftFixedChar)
            Column.Size = Row[3].IsNull() ? 0 : static_cast<int>(Row[3].AsInteger());
        else if (Column.DataType == ftBCD)
            Column.Size = Row[4].IsNull() ? 0 : static_cast<int>(Row[4].AsInteger());
        Column.NotNull = Text(Row[5]) == "NO";
        Column.ComparesAsBytes = MariaDbComparesAsBytes(Text(Row[2]), Text(Row[6]), Text(Row[8]));
        Columns.push_back(std::move(Column));
    }
    return Columns;
}

std::vector<TIndexColumn> TMariaDbConnection::IndexColumns(const char* Operation,
                                                           const std::string& Table) {
    const auto Rows = ReadCatalog(Operation, IndexColumnsOfTable, {TVariant(Table)});
    if (Rows.empty())
        CheckTableExists(Operation, Table);
    // An index that has a column prefix, an expression or a kind other than BTREE and
    // HASH is left out as a whole.
    std::set<std::string> Unusable;
    for (const auto& Row : Rows)
        if (Row[5].AsInteger() == 0)
            Unusable.insert(Text(Row[0]));
    std::vector<TIndexColumn> Columns;
    for (const auto& Row : Rows) {
        if (Unusable.contains(Text(Row[0])))
            continue;
        TIndexColumn Column;
        Column.Index = Text(Row[0]);
        Column.Unique = Row[1].AsInteger() == 0;
        Column.Field = Text(Row[2]);
        Column.NotNull = Text(Row[3]) != "YES";
        Column.Primary = Column.Index == "PRIMARY";
        // MariaDB sorts NULL below every value: read so that the field ascends, an
        // index holds its NULLs first, whichever way it keeps the field.
        Column.NullsFirst = true;
        Column.Descending = Text(Row[4]) == "D";
        Columns.push_back(std::move(Column));
    }
    return Columns;
}

std::vector<TIndexInfo> TMariaDbConnection::Indexes(const std::string& Table) {
    return IndexesFromColumns(IndexColumns("TMariaDbConnection.Indexes()", Table));
}

std::vector<std::string> TMariaDbConnection::RowKey(const std::string& Table) {
    static const char* const Operation = "TMariaDbConnection.RowKey()";
    return RowKeyFromColumns(IndexColumns(Operation, Table), *this, Operation, Table);
}

std::optional<std::int64_t> TMariaDbConnection::EstimatedRowCount(const std::string& Table) {
    static const char* const Operation = "TMariaDbConnection.EstimatedRowCount()";
    const auto Rows = ReadCatalog(Operation,
                                  "SELECT TABLE_ROWS FROM information_schema.TABLES "
                                  "WHERE TABLE_SCHEMA = DATABASE() AND TABLE_NAME = ?1",
                                  {TVariant(Table)});
    if (Rows.empty())
        FCommands.Raise(Operation, "Table '" + Table + "' does not exist");
    if (Rows[0][0].IsNull())
        return std::nullopt;
    return Rows[0][0].AsInteger();
}

} // namespace vorn
