// The questions of TDriverConnection that a PostgreSQL connection answers from the
// catalog and from the planner, asked through the connection's queries.
#include "host/data/drivers/ServerValues.h"
#include "host/data/drivers/postgres/PgConnection.h"

namespace vorn {

// True when a column's collation orders by bytes and upper-cases ASCII only: a text or
// varchar column whose effective collation (the database's for "default") is C or POSIX
// of the libc provider. The database's provider is only recorded since PostgreSQL 15,
// hence the JSON look-up that reads as NULL (libc) before.
const char* const PgByteOrderedColumn =
    "(a.atttypid IN ('pg_catalog.text'::pg_catalog.regtype, "
    "'pg_catalog.varchar'::pg_catalog.regtype) AND CASE WHEN coll.collname = 'default' THEN "
    "COALESCE(pg_catalog.to_jsonb(db) ->> 'datlocprovider', 'c') = 'c' "
    "AND db.datcollate IN ('C', 'POSIX') AND db.datctype IN ('C', 'POSIX') "
    "ELSE coll.collprovider = 'c' AND coll.collcollate IN ('C', 'POSIX') "
    "AND coll.collctype IN ('C', 'POSIX') END)";

namespace {

// One row at most: the LIMIT lets it run as one plain statement instead of in a cursor.
const std::string ByteOrderedColumn =
    std::string("SELECT ") + PgByteOrderedColumn +
    " FROM pg_catalog.pg_attribute a "
    "JOIN pg_catalog.pg_collation coll ON coll.oid = a.attcollation "
    "JOIN pg_catalog.pg_database db ON db.datname = pg_catalog.current_database() "
    "WHERE a.attrelid = pg_catalog.to_regclass($1) AND a.attname = $2 AND NOT a.attisdropped "
    "LIMIT 1";

} // namespace

bool TPgConnection::ComparesAsBytes(const std::string& Table, const TColumnInfo& Column) {
    auto Cursor =
        Execute(ByteOrderedColumn, {TVariant(QuoteTableName(Table)), TVariant(Column.Name)});
    if (!Cursor->Next())
        return false;
    const TVariant Answer = Cursor->Value(0);
    return !Answer.IsNull() && Answer.AsBoolean();
}

// The search is planned for a bound that the planner cannot know, a sub-select's.
bool TPgConnection::NextValueSearchesIndex(const std::string& Table, const std::string& Column) {
    const std::string From = " FROM " + QuoteTableName(Table);
    const std::string Quoted = QuoteIdentifier(Column);
    const auto Plan = Execute("EXPLAIN SELECT MIN(" + Quoted + ")" + From + " WHERE " + Quoted +
                                  " > (SELECT MIN(" + Quoted + ")" + From + ")",
                              {});
    bool SeqScan = false;
    while (Plan->Next())
        SeqScan = SeqScan || Plan->Value(0).AsString().find("Seq Scan") != std::string::npos;
    return !SeqScan;
}

// PostgreSQL has no MIN for booleans, and types shown as memos (text, but also json,
// uuid, ...) are left alone rather than told apart here.
bool TPgConnection::HasMinimum(TFieldType Type) const {
    return IsOrderedScalar(Type);
}

} // namespace vorn
