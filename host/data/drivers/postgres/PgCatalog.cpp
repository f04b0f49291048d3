// The catalog questions of TPgConnection: tables, columns, indexes and row keys,
// read from pg_catalog on the command connection.
#include "host/components/text/CodePage.h"
#include "host/data/drivers/postgres/PgConnection.h"
#include "host/data/drivers/postgres/PgValues.h"

namespace vorn {

namespace {

// Relation kinds that rows can be read from: tables, views, materialized views,
// partitioned and foreign tables.
const char* const ReadableRelation =
    "SELECT c.oid FROM pg_catalog.pg_class c WHERE c.oid = pg_catalog.to_regclass($1) "
    "AND c.relkind IN ('r', 'v', 'm', 'p', 'f')";

// A domain column is described by its base type. Only the column's own NOT NULL counts:
// a domain's NOT NULL does not keep NULL out of every row that reads the column.
const char* const ColumnsOfTable =
    "SELECT a.attname, pg_catalog.format_type(a.atttypid, a.atttypmod), "
    "CASE WHEN t.typtype = 'd' THEN t.typbasetype ELSE a.atttypid END, "
    "CASE WHEN t.typtype = 'd' THEN t.typtypmod ELSE a.atttypmod END, "
    "a.attidentity <> '' OR COALESCE(pg_catalog.pg_get_expr(d.adbin, d.adrelid), '') "
    "LIKE 'nextval(%', a.attnotnull "
    "FROM pg_catalog.pg_attribute a "
    "JOIN pg_catalog.pg_type t ON t.oid = a.atttypid "
    "LEFT JOIN pg_catalog.pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum "
    "WHERE a.attrelid = $1 AND a.attnum > 0 AND NOT a.attisdropped ORDER BY a.attnum";

// Key columns of the valid indexes that are neither on expressions nor partial,
// primary key first, then by index name, each index's fields in order. A column's index
// options hold DESC in bit 1 and NULLS FIRST in bit 2: read ascending, the NULLs come
// first when exactly one of them is set.
const char* const IndexColumnsOfTable =
    "SELECT i.relname, x.indisunique, x.indisprimary, a.attname, a.attnotnull, "
    "((x.indoption[k.position - 1] & 1) = 1) <> ((x.indoption[k.position - 1] & 2) = 2), "
    "(x.indoption[k.position - 1] & 1) = 1 "
    "FROM pg_catalog.pg_index x "
    "JOIN pg_catalog.pg_class i ON i.oid = x.indexrelid "
    "CROSS JOIN LATERAL pg_catalog.unnest(x.indkey::pg_catalog.int2[]) "
    "WITH ORDINALITY AS k(attnum, position) "
    "JOIN pg_catalog.pg_attribute a ON a.attrelid = x.indrelid AND a.attnum = k.attnum "
    "WHERE x.indrelid = $1 AND x.indisvalid AND x.indexprs IS NULL AND x.indpred IS NULL "
    "AND k.position <= x.indnkeyatts "
    "ORDER BY NOT x.indisprimary, i.relname, k.position";

bool IsTrue(const TPgResult& Result, int Row, int Column) {
    return Result.Value(Row, Column) == "t";
}

} // namespace

std::string TPgConnection::TableOid(const char* Operation, const std::string& Table) {
    TPgResult Result =
        ReadCatalog(Operation, ReadableRelation, {HostToUtf8(QuoteTableName(Table))});
    if (Result.RowCount() == 0)
        FCommands.Raise(Operation, "Table '" + Table + "' does not exist");
    return Result.Value(0, 0);
}

bool TPgConnection::TableExists(const std::string& Table) {
    return ReadCatalog("TPgConnection.TableExists()", ReadableRelation,
                       {HostToUtf8(QuoteTableName(Table))})
               .RowCount() > 0;
}

std::vector<TColumnInfo> TPgConnection::Columns(const std::string& Table) {
    static const char* const Operation = "TPgConnection.Columns()";
    TPgResult Result = ReadCatalog(Operation, ColumnsOfTable, {TableOid(Operation, Table)});
    std::vector<TColumnInfo> Columns;
    for (int Row = 0; Row < Result.RowCount(); ++Row) {
        TColumnInfo Column;
        Column.Name = Utf8ToHost(Result.Value(Row, 0));
        Column.DeclaredType = Utf8ToHost(Result.Value(Row, 1));
        const unsigned Type = static_cast<unsigned>(std::stoul(Result.Value(Row, 2)));
        Column.DataType = PgFieldType(Type, IsTrue(Result, Row, 4));
        Column.Size = PgFieldSize(Type, std::stoi(Result.Value(Row, 3)));
        Column.NotNull = IsTrue(Result, Row, 5);
        Columns.push_back(std::move(Column));
    }
    return Columns;
}

std::vector<TIndexColumn> TPgConnection::IndexColumns(const char* Operation,
                                                      const std::string& Table) {
    TPgResult Result = ReadCatalog(Operation, IndexColumnsOfTable, {TableOid(Operation, Table)});
    std::vector<TIndexColumn> Columns;
    for (int Row = 0; Row < Result.RowCount(); ++Row) {
        TIndexColumn Column;
        Column.Index = Utf8ToHost(Result.Value(Row, 0));
        Column.Unique = IsTrue(Result, Row, 1);
        Column.Primary = IsTrue(Result, Row, 2);
        Column.Field = Utf8ToHost(Result.Value(Row, 3));
        Column.NotNull = IsTrue(Result, Row, 4);
        Column.NullsFirst = IsTrue(Result, Row, 5);
        Column.Descending = IsTrue(Result, Row, 6);
        Columns.push_back(std::move(Column));
    }
    return Columns;
}

std::vector<TIndexInfo> TPgConnection::Indexes(const std::string& Table) {
    return IndexesFromColumns(IndexColumns("TPgConnection.Indexes()", Table));
}

std::vector<std::string> TPgConnection::RowKey(const std::string& Table) {
    static const char* const Operation = "TPgConnection.RowKey()";
    return RowKeyFromColumns(IndexColumns(Operation, Table), *this, Operation, Table);
}

// As the planner does: the rows per page that VACUUM, ANALYZE or CREATE INDEX last saw,
// times the pages the table has now. A table that none of them has seen with rows has no
// density yet: an estimate only when it has no pages at all.
std::optional<std::int64_t> TPgConnection::EstimatedRowCount(const std::string& Table) {
    static const char* const Operation = "TPgConnection.EstimatedRowCount()";
    static const char* const Estimate =
        "SELECT CASE WHEN c.relpages > 0 AND c.reltuples >= 0 THEN "
        "pg_catalog.round(c.reltuples / c.relpages * (pg_catalog.pg_relation_size(c.oid) / "
        "pg_catalog.current_setting('block_size')::bigint))::bigint "
        "WHEN pg_catalog.pg_relation_size(c.oid) = 0 THEN 0 END "
        "FROM pg_catalog.pg_class c WHERE c.oid = $1 AND c.relkind IN ('r', 'm')";
    TPgResult Result = ReadCatalog(Operation, Estimate, {TableOid(Operation, Table)});
    if (Result.RowCount() == 0 || Result.IsNull(0, 0))
        return std::nullopt;
    return std::stoll(Result.Value(0, 0));
}

} // namespace vorn
