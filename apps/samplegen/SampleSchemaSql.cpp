#include "apps/samplegen/SampleSchemaSql.h"

namespace vorn::sampledata {

std::string QuoteIdentifier(const std::string& Name) {
    std::string Result = "\"";
    for (char C : Name) {
        if (C == '"')
            Result += '"';
        Result += C;
    }
    return Result + "\"";
}

std::string CreateTableSql(const TSampleTable& Table, TSampleColumnTypeName ColumnType) {
    std::string Sql = "CREATE TABLE " + QuoteIdentifier(Table.Name) + " (";
    for (std::size_t Index = 0; Index < Table.Columns.size(); ++Index) {
        const TSampleColumn& Column = Table.Columns[Index];
        if (Index > 0)
            Sql += ", ";
        Sql += QuoteIdentifier(Column.Name) + " " + ColumnType(Column);
        if (Index == 0)
            Sql += " PRIMARY KEY";
        else if (!Column.Nullable)
            Sql += " NOT NULL";
    }
    return Sql + ")";
}

std::string CreateIndexSql(const TSampleTable& Table, const TSampleIndex& Index,
                           TSampleIndexStyle Style) {
    std::vector<std::string> Fields = Index.Fields;
    const std::string& Key = Table.Columns.front().Name;
    if (Style.EndsInKey && (Fields.empty() || Fields.back() != Key))
        Fields.push_back(Key);
    std::string Sql =
        "CREATE INDEX " + QuoteIdentifier(Index.Name) + " ON " + QuoteIdentifier(Table.Name) + " (";
    for (std::size_t Position = 0; Position < Fields.size(); ++Position) {
        if (Position > 0)
            Sql += ", ";
        Sql += QuoteIdentifier(Fields[Position]);
        if (Style.NullsFirst)
            Sql += " NULLS FIRST";
    }
    return Sql + ")";
}

} // namespace vorn::sampledata
