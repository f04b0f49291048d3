#include "host/data/drivers/postgres/PgDriverCursor.h"

#include "host/components/text/AsciiText.h"
#include "host/components/text/CodePage.h"
#include "host/data/drivers/postgres/PgValues.h"

#include <algorithm>
#include <cctype>

namespace vorn {

namespace {

const char* const ValueOperation = "TPgDriverCursor.Value()";

// Skips blanks, "--" line comments, "/* */" block comments and "(" from Position.
std::size_t SkipToFirstWord(const std::string& Sql, std::size_t Position) {
    while (Position < Sql.size()) {
        const unsigned char C = static_cast<unsigned char>(Sql[Position]);
        if (std::isspace(C) || C == '(') {
            ++Position;
        } else if (Sql.compare(Position, 2, "--") == 0) {
            Position = Sql.find('\n', Position);
        } else if (Sql.compare(Position, 2, "/*") == 0) {
            const std::size_t End = Sql.find("*/", Position + 2);
            Position = End == std::string::npos ? End : End + 2;
        } else {
            break;
        }
    }
    return Position;
}

} // namespace

bool PgIsQuery(const std::string& Sql) {
    const std::size_t Start = SkipToFirstWord(Sql, 0);
    if (Start >= Sql.size())
        return false;
    std::size_t End = Start;
    while (End < Sql.size() && std::isalpha(static_cast<unsigned char>(Sql[End])))
        ++End;
    const std::string Word = UpperCaseAscii(Sql.substr(Start, End - Start));
    return Word == "SELECT" || Word == "VALUES" || Word == "TABLE" || Word == "WITH";
}

int PgTrailingLimit(const std::string& Sql) {
    std::size_t End = Sql.find_last_not_of(" \t\r\n");
    if (End == std::string::npos)
        return -1;
    std::size_t Start = End + 1;
    while (Start > 0 && std::isdigit(static_cast<unsigned char>(Sql[Start - 1])))
        --Start;
    constexpr std::size_t MaxDigits = 9; // keeps the count within an int
    if (Start == End + 1 || End + 1 - Start > MaxDigits)
        return -1;
    const std::string Keyword = " LIMIT ";
    if (Start < Keyword.size())
        return -1;
    const std::string Before = UpperCaseAscii(Sql.substr(Start - Keyword.size(), Keyword.size()));
    if (Before != Keyword)
        return -1;
    return std::stoi(Sql.substr(Start, End + 1 - Start));
}

TPgDriverCursor::TPgDriverCursor(TPgSession& Session, const std::string& Sql,
                                 const TPgParams& Params, int PageSize)
    : FSession(Session), FCursor(std::make_unique<TPgCursor>(Session, Sql, Params, PageSize)) {
    FPage = FCursor->FetchPage();
    DescribeColumns();
}

TPgDriverCursor::TPgDriverCursor(TPgSession& Session, TPgResult Rows)
    : FSession(Session), FPage(std::move(Rows)) {
    DescribeColumns();
}

void TPgDriverCursor::DescribeColumns() {
    for (int Index = 0; Index < FPage.ColumnCount(); ++Index) {
        TColumnInfo Info;
        Info.Name = Utf8ToHost(FPage.ColumnName(Index));
        const unsigned Type = FPage.ColumnType(Index);
        Info.DataType = PgFieldType(Type, false);
        Info.Size = PgFieldSize(Type, FPage.ColumnModifier(Index));
        FColumns.push_back(std::move(Info));
    }
}

bool TPgDriverCursor::Next() {
    if (FEnded)
        return false;
    if (FRow + 1 < FPage.RowCount()) {
        ++FRow;
        return true;
    }
    // An exhausted cursor answers with an empty page, a failed one raises again.
    if (FCursor) {
        FRow = -1;
        FPage = TPgResult();
        FPage = FCursor->FetchPage();
        if (FPage.RowCount() > 0) {
            FRow = 0;
            return true;
        }
    }
    FEnded = true;
    FRow = -1;
    FPage = TPgResult();
    return false;
}

const TColumnInfo& TPgDriverCursor::Column(int Index) const {
    if (Index < 0 || Index >= FieldCount())
        FSession.Raise("TPgDriverCursor.Column()",
                       "Column index " + std::to_string(Index) + " out of range");
    return FColumns[static_cast<std::size_t>(Index)];
}

TVariant TPgDriverCursor::Value(int Index) const {
    if (Index < 0 || Index >= FieldCount())
        FSession.Raise(ValueOperation, "Column index " + std::to_string(Index) + " out of range");
    if (FRow < 0)
        FSession.Raise(ValueOperation, "There is no current row");
    if (FPage.IsNull(FRow, Index))
        return TVariant();
    return PgValueFromText(FPage.ColumnType(Index), FPage.Value(FRow, Index));
}

} // namespace vorn
