#include "apps/samplegen/SampleSchemaSql.h"

#include "host/components/model/Exception.h"

#include <charconv>

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

namespace {

void AppendValue(std::string& Data, const TSampleValue& Value) {
    if (std::holds_alternative<std::monostate>(Value)) {
        Data += "\\N";
        return;
    }
    if (const auto* Integer = std::get_if<std::int64_t>(&Value)) {
        Data += std::to_string(*Integer);
        return;
    }
    if (const auto* Number = std::get_if<double>(&Value)) {
        char Buffer[32];
        const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, *Number);
        Data.append(Buffer, Result.ptr);
        return;
    }
    for (const char Character : std::get<std::string>(Value)) {
        switch (Character) {
        case '\\':
            Data += "\\\\";
            break;
        case '\t':
            Data += "\\t";
            break;
        case '\n':
            Data += "\\n";
            break;
        case '\r':
            Data += "\\r";
            break;
        default:
            Data += Character;
        }
    }
}

} // namespace

void CheckRow(const char* Caller, const TSampleTable* Table, const std::vector<TSampleValue>& Row) {
    const std::string Prefix = std::string(Caller) + " ";
    if (Table == nullptr)
        throw Exception(Prefix + "No table was begun");
    if (Row.size() != Table->Columns.size())
        throw Exception(Prefix + "The row has " + std::to_string(Row.size()) + " values for " +
                        std::to_string(Table->Columns.size()) + " columns");
}

void AppendTextRow(std::string& Data, const std::vector<TSampleValue>& Row) {
    for (std::size_t Index = 0; Index < Row.size(); ++Index) {
        if (Index > 0)
            Data += '\t';
        AppendValue(Data, Row[Index]);
    }
    Data += '\n';
}

} // namespace vorn::sampledata
