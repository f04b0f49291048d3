#include "host/data/drivers/mariadb/MariaDbValues.h"

#include "host/data/drivers/ServerValues.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace vorn {

namespace {

constexpr unsigned BinaryCharset = 63;

bool IsInteger(enum_field_types Type) {
    return Type == MYSQL_TYPE_TINY || Type == MYSQL_TYPE_SHORT || Type == MYSQL_TYPE_INT24 ||
           Type == MYSQL_TYPE_LONG || Type == MYSQL_TYPE_LONGLONG;
}

bool StartsWith(const std::string& Text, const std::string& Prefix) {
    return Text.compare(0, Prefix.size(), Prefix) == 0;
}

bool EndsWith(const std::string& Text, const std::string& Suffix) {
    return Text.size() >= Suffix.size() &&
           Text.compare(Text.size() - Suffix.size(), Suffix.size(), Suffix) == 0;
}

enum_field_types CatalogTypeCode(const std::string& DataType) {
    struct TName {
        const char* Name;
        enum_field_types Type;
    };
    static const TName Names[] = {
        {"tinyint", MYSQL_TYPE_TINY},
        {"smallint", MYSQL_TYPE_SHORT},
        {"mediumint", MYSQL_TYPE_INT24},
        {"int", MYSQL_TYPE_LONG},
        {"bigint", MYSQL_TYPE_LONGLONG},
        {"decimal", MYSQL_TYPE_NEWDECIMAL},
        {"float", MYSQL_TYPE_FLOAT},
        {"double", MYSQL_TYPE_DOUBLE},
        {"date", MYSQL_TYPE_DATE},
        {"time", MYSQL_TYPE_TIME},
        {"datetime", MYSQL_TYPE_DATETIME},
        {"timestamp", MYSQL_TYPE_TIMESTAMP},
        {"year", MYSQL_TYPE_YEAR},
        {"char", MYSQL_TYPE_STRING},
        {"binary", MYSQL_TYPE_STRING},
        {"varchar", MYSQL_TYPE_VAR_STRING},
        {"varbinary", MYSQL_TYPE_VAR_STRING},
        {"enum", MYSQL_TYPE_STRING},
        {"set", MYSQL_TYPE_STRING},
        {"bit", MYSQL_TYPE_BIT},
    };
    for (const TName& Name : Names)
        if (DataType == Name.Name)
            return Name.Type;
    // The texts and blobs of every size; json (a long text), inet6, uuid and the rest
    // are shown through their text form.
    return MYSQL_TYPE_BLOB;
}

} // namespace

TFieldType MariaDbFieldType(const TMariaDbType& Type) {
    if (Type.AutoIncrement && IsInteger(Type.Type))
        return ftAutoInc;
    switch (Type.Type) {
    case MYSQL_TYPE_TINY:
        return Type.Boolean ? ftBoolean : ftSmallint;
    case MYSQL_TYPE_SHORT:
        return Type.Unsigned ? ftInteger : ftSmallint;
    case MYSQL_TYPE_YEAR:
        return ftSmallint;
    case MYSQL_TYPE_INT24:
        return ftInteger;
    case MYSQL_TYPE_LONG:
        return Type.Unsigned ? ftLargeint : ftInteger;
    case MYSQL_TYPE_LONGLONG:
        return ftLargeint;
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
        return ftBCD;
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE:
        return ftFloat;
    case MYSQL_TYPE_DATE:
    case MYSQL_TYPE_NEWDATE:
        return ftDate;
    case MYSQL_TYPE_TIME:
    case MYSQL_TYPE_TIME2:
        return ftTime;
    case MYSQL_TYPE_DATETIME:
    case MYSQL_TYPE_DATETIME2:
    case MYSQL_TYPE_TIMESTAMP:
    case MYSQL_TYPE_TIMESTAMP2:
        return ftDateTime;
    case MYSQL_TYPE_STRING:
        return Type.Binary ? ftBytes : ftFixedChar;
    case MYSQL_TYPE_VARCHAR:
    case MYSQL_TYPE_VAR_STRING:
        return Type.Binary ? ftVarBytes : ftString;
    case MYSQL_TYPE_ENUM:
    case MYSQL_TYPE_SET:
        return ftString;
    case MYSQL_TYPE_TINY_BLOB:
    case MYSQL_TYPE_MEDIUM_BLOB:
    case MYSQL_TYPE_LONG_BLOB:
    case MYSQL_TYPE_BLOB:
    case MYSQL_TYPE_BIT:
    case MYSQL_TYPE_GEOMETRY:
        return Type.Binary ? ftBlob : ftMemo;
    default:
        return ftMemo;
    }
}

TMariaDbType MariaDbResultType(const MYSQL_FIELD& Field) {
    TMariaDbType Type;
    Type.Type = Field.type;
    Type.Unsigned = (Field.flags & UNSIGNED_FLAG) != 0;
    Type.Binary = Field.charsetnr == BinaryCharset && (Field.flags & BINARY_FLAG) != 0 &&
                  !IsInteger(Field.type);
    Type.AutoIncrement = (Field.flags & AUTO_INCREMENT_FLAG) != 0;
    Type.Boolean = Field.type == MYSQL_TYPE_TINY && Field.length == 1;
    return Type;
}

TMariaDbType MariaDbCatalogType(const std::string& DataType, const std::string& ColumnType,
                                const std::string& CharacterSet, const std::string& Extra) {
    TMariaDbType Type;
    Type.Type = CatalogTypeCode(DataType);
    Type.Unsigned = ColumnType.find("unsigned") != std::string::npos;
    Type.Binary = CharacterSet.empty() &&
                  (Type.Type == MYSQL_TYPE_STRING || Type.Type == MYSQL_TYPE_VAR_STRING ||
                   (Type.Type == MYSQL_TYPE_BLOB && EndsWith(DataType, "blob")));
    Type.AutoIncrement = Extra.find("auto_increment") != std::string::npos;
    Type.Boolean = StartsWith(ColumnType, "tinyint(1)");
    return Type;
}

TVariant MariaDbTimeValue(const MYSQL_TIME& Time, enum_field_types Type) {
    char Text[64];
    if (Type == MYSQL_TYPE_TIME) {
        std::snprintf(Text, sizeof Text, "%s%02u:%02u:%02u.%06lu", Time.neg ? "-" : "", Time.hour,
                      Time.minute, Time.second, Time.second_part);
        if (Time.neg || Time.day != 0 || Time.hour >= 24)
            return TVariant(std::string(Text));
    } else {
        std::snprintf(Text, sizeof Text, "%04u-%02u-%02u %02u:%02u:%02u.%06lu", Time.year,
                      Time.month, Time.day, Time.hour, Time.minute, Time.second, Time.second_part);
    }
    TDateTime Value = 0;
    if (!TryParseDateTime(Text, Value))
        return TVariant(std::string(Text));
    return TVariant::FromDateTime(Value);
}

MYSQL_TIME MariaDbTimeParam(TDateTime Value) {
    const auto [Day, Microseconds] = SplitMicroseconds(Value);
    MYSQL_TIME Time{};
    // Day 0 holds the times of day alone: MariaDB would compare a date-time on that day
    // with a TIME column as a date-time of today.
    Time.time_type = Day == 0 ? MYSQL_TIMESTAMP_TIME : MYSQL_TIMESTAMP_DATETIME;
    unsigned Year = 0, Month = 0, DayOfMonth = 0;
    // The date as the layer writes it ("YYYY-MM-DD"), which saves a calendar of our own.
    if (Time.time_type == MYSQL_TIMESTAMP_DATETIME &&
        std::sscanf(FormatDateTime(Day).c_str(), "%u-%u-%u", &Year, &Month, &DayOfMonth) == 3) {
        Time.year = Year;
        Time.month = Month;
        Time.day = DayOfMonth;
    }
    const std::int64_t Seconds = Microseconds / 1000000;
    Time.hour = static_cast<unsigned>(Seconds / 3600);
    Time.minute = static_cast<unsigned>(Seconds / 60 % 60);
    Time.second = static_cast<unsigned>(Seconds % 60);
    Time.second_part = static_cast<unsigned long>(Microseconds % 1000000);
    return Time;
}

bool MariaDbComparesAsBytes(const std::string& DataType, const std::string& CharacterSet,
                            const std::string& Collation) {
    static const char* const TextTypes[] = {"varchar", "tinytext", "text", "mediumtext",
                                            "longtext"};
    static const char* const Utf8Sets[] = {"utf8mb4", "utf8mb3", "ascii"};
    const auto Among = [](const std::string& Value, const auto& Names) {
        return std::find(std::begin(Names), std::end(Names), Value) != std::end(Names);
    };
    return Among(DataType, TextTypes) && Among(CharacterSet, Utf8Sets) &&
           Collation.ends_with("_nopad_bin");
}

} // namespace vorn
