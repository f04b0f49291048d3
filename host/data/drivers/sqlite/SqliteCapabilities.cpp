// The questions of TDriverConnection that a SQLite connection answers by asking the
// database: the encoding, a column's collation, and the plans of statements.
#include "host/data/drivers/sqlite/SqliteDriver.h"

namespace vorn {

bool SQLiteComparesAsBytes(TDriverConnection& Connection, const std::string& Table,
                           const TColumnInfo& Column) {
    if (!HasSQLiteTextAffinity(Column.DeclaredType))
        return false;
    // BINARY compares the stored bytes, which follow the characters' order in UTF-8 only:
    // in UTF-16 a character whose low byte is an ASCII letter's sorts beside that letter.
    auto Encoding = Connection.Execute("PRAGMA encoding", {});
    if (!Encoding->Next() || Encoding->Value(0).AsString() != "UTF-8")
        return false;
    // SQL does not show a column's collation, but a compound SELECT compares by the
    // collation of its leftmost column: three texts stay distinct under BINARY only, as
    // NOCASE folds the capital and RTRIM the trailing blank.
    const std::string Sql = "SELECT count(DISTINCT x) FROM (SELECT " +
                            Connection.QuoteIdentifier(Column.Name) + " AS x FROM " +
                            Connection.QuoteTableName(Table) +
                            " WHERE 0 UNION ALL SELECT 'a' UNION ALL SELECT 'A' UNION ALL "
                            "SELECT 'a ')";
    auto Cursor = Connection.Execute(Sql, {});
    return Cursor->Next() && Cursor->Value(0) == TVariant(3);
}

bool SQLiteNextValueSearchesIndex(TDriverConnection& Connection, const std::string& Table,
                                  const std::string& Column) {
    const std::string Quoted = Connection.QuoteIdentifier(Column);
    const auto Plan =
        Connection.Execute("EXPLAIN QUERY PLAN SELECT MIN(" + Quoted + ") FROM " +
                               Connection.QuoteTableName(Table) + " WHERE " + Quoted + " > ?1",
                           {TVariant("")});
    const std::string Search = "(" + Column + ">?)";
    bool Searches = false;
    while (Plan->Next())
        Searches = Searches ||
                   Plan->Value(Plan->FieldCount() - 1).AsString().find(Search) != std::string::npos;
    return Searches;
}

} // namespace vorn
