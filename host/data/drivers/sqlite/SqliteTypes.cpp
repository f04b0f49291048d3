#include "host/data/drivers/sqlite/SqliteDriver.h"

#include "host/components/text/AsciiText.h"

#include <cstdlib>
#include <utility>

namespace vorn {

namespace {

// Splits "VARCHAR(40)" into "VARCHAR" and its arguments {40}; "NUMERIC(10, 2)" gives {10, 2}.
std::pair<std::string, std::vector<int>> SplitTypeName(const std::string& Type) {
    const auto Open = Type.find('(');
    if (Open == std::string::npos)
        return {Type, {}};
    std::string Base = TrimSpaces(UpperCaseAscii(Type.substr(0, Open)));
    std::vector<int> Arguments;
    const char* Cursor = Type.c_str() + Open + 1;
    while (*Cursor != '\0' && *Cursor != ')') {
        char* End = nullptr;
        const long Value = std::strtol(Cursor, &End, 10);
        if (End == Cursor)
            break;
        Arguments.push_back(Value > 0 && Value < 1000000000 ? static_cast<int>(Value) : 0);
        Cursor = End;
        while (*Cursor == ' ' || *Cursor == ',')
            ++Cursor;
    }
    return {Base, Arguments};
}

bool Contains(const std::string& Text, const char* Part) {
    return Text.find(Part) != std::string::npos;
}

struct TTypeMapping {
    const char* Name;
    TFieldType Type;
};

// Declared type names recognised by their whole base name.
constexpr TTypeMapping ExactTypes[] = {
    {"INTEGER", ftInteger},
    {"INT", ftInteger},
    {"MEDIUMINT", ftInteger},
    {"BIGINT", ftLargeint},
    {"INT8", ftLargeint},
    {"SMALLINT", ftSmallint},
    {"INT2", ftSmallint},
    {"TINYINT", ftSmallint},
    {"WORD", ftWord},
    {"REAL", ftFloat},
    {"FLOAT", ftFloat},
    {"DOUBLE", ftFloat},
    {"DOUBLE PRECISION", ftFloat},
    {"NUMERIC", ftBCD},
    {"DECIMAL", ftBCD},
    {"CURRENCY", ftCurrency},
    {"MONEY", ftCurrency},
    {"BOOLEAN", ftBoolean},
    {"BOOL", ftBoolean},
    {"DATE", ftDate},
    {"TIME", ftTime},
    {"DATETIME", ftDateTime},
    {"TIMESTAMP", ftDateTime},
    {"BLOB", ftBlob},
    {"MEMO", ftMemo},
    {"CLOB", ftMemo},
};

constexpr TTypeMapping SizedTextTypes[] = {
    {"VARCHAR", ftString}, {"CHARACTER VARYING", ftString}, {"VARYING CHARACTER", ftString},
    {"TEXT", ftString},    {"NVARCHAR", ftWideString},      {"NATIVE CHARACTER", ftWideString},
    {"CHAR", ftFixedChar}, {"CHARACTER", ftFixedChar},      {"NCHAR", ftFixedChar},
};

// SQLite's own affinity rules, for type names that the tables above do not know.
TFieldType TypeByAffinity(const std::string& Base) {
    if (Contains(Base, "INT"))
        return ftLargeint;
    if (HasSQLiteTextAffinity(Base))
        return ftMemo;
    if (Contains(Base, "BLOB"))
        return ftBlob;
    if (Contains(Base, "REAL") || Contains(Base, "FLOA") || Contains(Base, "DOUB"))
        return ftFloat;
    return ftUnknown;
}

} // namespace

bool HasSQLiteTextAffinity(const std::string& DeclaredType) {
    const std::string Type = UpperCaseAscii(DeclaredType);
    return !Contains(Type, "INT") &&
           (Contains(Type, "CHAR") || Contains(Type, "CLOB") || Contains(Type, "TEXT"));
}

TColumnInfo DescribeSQLiteColumn(const std::string& Name, const std::string& DeclaredType) {
    TColumnInfo Column{Name, DeclaredType, ftUnknown, 0};
    const auto [Base, Arguments] = SplitTypeName(TrimSpaces(UpperCaseAscii(DeclaredType)));
    if (Base.empty())
        return Column;
    for (const TTypeMapping& Mapping : SizedTextTypes) {
        if (Base != Mapping.Name)
            continue;
        if (!Arguments.empty() && Arguments[0] > 0) {
            Column.DataType = Mapping.Type;
            Column.Size = Arguments[0];
            return Column;
        }
        // A character type without a length is one character long in SQL; the
        // varying ones without a length hold text of any size.
        if (Mapping.Type == ftFixedChar) {
            Column.DataType = ftFixedChar;
            Column.Size = 1;
        } else {
            Column.DataType = ftMemo;
        }
        return Column;
    }
    for (const TTypeMapping& Mapping : ExactTypes) {
        if (Base != Mapping.Name)
            continue;
        Column.DataType = Mapping.Type;
        if (Mapping.Type == ftBCD && Arguments.size() > 1)
            Column.Size = Arguments[1];
        return Column;
    }
    Column.DataType = TypeByAffinity(Base);
    return Column;
}

} // namespace vorn
