// The catalog questions of TPgConnection: tables, columns, indexes and row keys,
// read from pg_catalog on the command connection.
#include "host/components/text/CodePage.h"
#include "host/data/drivers/postgres/PgConnection.h"
#include "host/data/drivers/postgres/PgValues.h"

namespace vorn {

namespace {

// Relation kinds that rows can be read from: tables, views, materialized views,
// partitioned and foreign tables.
const std::string ReadableRelation =
    "SELECT c.oid FROM pg_catalog.pg_class c WHERE c.oid = pg_catalog.to_regclass($1) "
    "AND c.relkind IN ('r', 'v', 'm', 'p', 'f')";

// Everything opening a table asks, in one round trip: a row that says the table exists
// (part 0), its columns (part 1) and the key columns of its indexes (part 2), as rows of
// one shape:
//   0 part, 1 order of the index, 2 index, 3 position, 4 column name,
//   5 declared type, 6 type, 7 type modifier, 8 to 12 flags.
// A column row's flags are "auto-increment", "NOT NULL" and what ComparesAsBytes
// answers for it. A domain column is described
// by its base type; only the column's own NOT NULL counts: a domain's NOT NULL does not
// keep NULL out of every row that reads the column.
// Index rows are those of the valid indexes that are neither on expressions nor
// partial, primary key first, then by index name, each index's fields in order; their
// flags are unique, primary, NOT NULL, NULLS FIRST and descending. A column's index
// options hold DESC in bit 1 and NULLS FIRST in bit 2: read ascending, the NULLs come
// first when exactly one of them is set.
const std::string& SchemaOfTable() {
    static const std::string Sql =
        "WITH r AS (" + ReadableRelation +
        ") "
        "SELECT 0, 0, NULL::pg_catalog.name, 0, NULL::pg_catalog.name, NULL::pg_catalog.text, "
        "NULL::pg_catalog.oid, NULL::pg_catalog.int4, NULL::pg_catalog.bool, "
        "NULL::pg_catalog.bool, "
        "NULL::pg_catalog.bool, NULL::pg_catalog.bool, NULL::pg_catalog.bool FROM r "
        "UNION ALL "
        "SELECT 1, 0, NULL, a.attnum, a.attname, pg_catalog.format_type(a.atttypid, a.atttypmod), "
        "CASE WHEN t.typtype = 'd' THEN t.typbasetype ELSE a.atttypid END, "
        "CASE WHEN t.typtype = 'd' THEN t.typtypmod ELSE a.atttypmod END, "
        "a.attidentity <> '' OR COALESCE(pg_catalog.pg_get_expr(d.adbin, d.adrelid), '') "
        "LIKE 'nextval(%', a.attnotnull, " +
        PgByteOrderedColumn +
        ", NULL, NULL "
        "FROM r JOIN pg_catalog.pg_attribute a ON a.attrelid = r.oid "
        "JOIN pg_catalog.pg_type t ON t.oid = a.atttypid "
        "LEFT JOIN pg_catalog.pg_attrdef d ON d.adrelid = a.attrelid AND d.adnum = a.attnum "
        "LEFT JOIN pg_catalog.pg_collation coll ON coll.oid = a.attcollation "
        "JOIN pg_catalog.pg_database db ON db.datname = pg_catalog.current_database() "
        "WHERE a.attnum > 0 AND NOT a.attisdropped "
        "UNION ALL "
        "SELECT 2, CASE WHEN x.indisprimary THEN 0 ELSE 1 END, i.relname, k.position, a.attname, "
        "NULL, NULL, NULL, x.indisunique, x.indisprimary, a.attnotnull, "
        "((x.indoption[k.position - 1] & 1) = 1) <> ((x.indoption[k.position - 1] & 2) = 2), "
        "(x.indoption[k.position - 1] & 1) = 1 "
        "FROM r JOIN pg_catalog.pg_index x ON x.indrelid = r.oid "
        "JOIN pg_catalog.pg_class i ON i.oid = x.indexrelid "
        "CROSS JOIN LATERAL pg_catalog.unnest(x.indkey::pg_catalog.int2[]) "
        "WITH ORDINALITY AS k(attnum, position) "
        "JOIN pg_catalog.pg_attribute a ON a.attrelid = x.indrelid AND a.attnum = k.attnum "
        "WHERE x.indisvalid AND x.indexprs IS NULL AND x.indpred IS NULL "
        "AND k.position <= x.indnkeyatts "
        "ORDER BY 1, 2, 3, 4";
    return Sql;
}

bool IsTrue(const TPgResult& Result, int Row, int Column) {
    return Result.Value(Row, Column) == "t";
}

} // namespace

struct TPgConnection::TCatalogSchema {
    std::vector<TColumnInfo> Columns;
    std::vector<TIndexColumn> IndexColumns;
};

TPgConnection::TCatalogSchema TPgConnection::ReadSchema(const char* Operation,
                                                        const std::string& Table) {
    TPgResult Result =
        ReadCatalog(Operation, SchemaOfTable().c_str(), {HostToUtf8(QuoteTableName(Table))});
    if (Result.RowCount() == 0)
        FCommands.Raise(Operation, "Table '" + Table + "' does not exist");
    TCatalogSchema Schema;
    for (int Row = 1; Row < Result.RowCount(); ++Row) {
        if (Result.Value(Row, 0) == "1") {
            TColumnInfo Column;
            Column.Name = Utf8ToHost(Result.Value(Row, 4));
            Column.DeclaredType = Utf8ToHost(Result.Value(Row, 5));
            const unsigned Type = static_cast<unsigned>(std::stoul(Result.Value(Row, 6)));
            Column.DataType = PgFieldType(Type, IsTrue(Result, Row, 8));
            Column.Size = PgFieldSize(Type, std::stoi(Result.Value(Row, 7)));
            Column.NotNull = IsTrue(Result, Row, 9);
            Column.ComparesAsBytes = IsTrue(Result, Row, 10);
            Schema.Columns.push_back(std::move(Column));
            continue;
        }
        TIndexColumn Column;
        Column.Index = Utf8ToHost(Result.Value(Row, 2));
        Column.Field = Utf8ToHost(Result.Value(Row, 4));
        Column.Unique = IsTrue(Result, Row, 8);
        Column.Primary = IsTrue(Result, Row, 9);
        Column.NotNull = IsTrue(Result, Row, 10);
        Column.NullsFirst = IsTrue(Result, Row, 11);
        Column.Descending = IsTrue(Result, Row, 12);
        Schema.IndexColumns.push_back(std::move(Column));
    }
    return Schema;
}

bool TPgConnection::TableExists(const std::string& Table) {
    return ReadCatalog("TPgConnection.TableExists()", ReadableRelation.c_str(),
                       {HostToUtf8(QuoteTableName(Table))})
               .RowCount() > 0;
}

std::vector<TColumnInfo> TPgConnection::Columns(const std::string& Table) {
    return ReadSchema("TPgConnection.Columns()", Table).Columns;
}

TTableSchema TPgConnection::Schema(const std::string& Table) {
    TCatalogSchema Read = ReadSchema("TPgConnection.Columns()", Table);
    TTableSchema Schema;
    Schema.RowKey = RowKeyFromColumns(Read.IndexColumns, *this, "TPgConnection.RowKey()", Table);
    Schema.Indexes = IndexesFromColumns(Read.IndexColumns);
    Schema.Columns = std::move(Read.Columns);
    return Schema;
}

std::vector<TIndexInfo> TPgConnection::Indexes(const std::string& Table) {
    return IndexesFromColumns(ReadSchema("TPgConnection.Indexes()", Table).IndexColumns);
}

std::vector<std::string> TPgConnection::RowKey(const std::string& Table) {
    static const char* const Operation = "TPgConnection.RowKey()";
    return RowKeyFromColumns(ReadSchema(Operation, Table).IndexColumns, *this, Operation, Table);
}

// As the planner does: the rows per page that VACUUM, ANALYZE or CREATE INDEX last saw,
// times the pages the table has now. A table that none of them has seen with rows has no
// density yet: an estimate only when it has no pages at all.
std::optional<std::int64_t> TPgConnection::EstimatedRowCount(const std::string& Table) {
    static const char* const Operation = "TPgConnection.EstimatedRowCount()";
    static const std::string Estimate =
        "SELECT CASE WHEN c.relpages > 0 AND c.reltuples >= 0 THEN "
        "pg_catalog.round(c.reltuples / c.relpages * (pg_catalog.pg_relation_size(c.oid) / "
        "pg_catalog.current_setting('block_size')::bigint))::bigint "
        "WHEN pg_catalog.pg_relation_size(c.oid) = 0 THEN 0 END "
        "FROM (" +
        ReadableRelation +
        ") r "
        "LEFT JOIN pg_catalog.pg_class c ON c.oid = r.oid AND c.relkind IN ('r', 'm')";
    TPgResult Result =
        ReadCatalog(Operation, Estimate.c_str(), {HostToUtf8(QuoteTableName(Table))});
    if (Result.RowCount() == 0)
        FCommands.Raise(Operation, "Table '" + Table + "' does not exist");
    if (Result.IsNull(0, 0))
        return std::nullopt;
    return std::stoll(Result.Value(0, 0));
}

} // namespace vorn
