#include "host/data/drivers/postgres/PgValues.h"

#include "host/components/text/CodePage.h"
#include "host/data/drivers/ServerValues.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>

namespace vorn {

namespace {

// pg_attribute.atttypmod of a character or numeric type carries a header of 4.
constexpr int TypmodHeader = 4;

bool IsIntegerType(unsigned TypeOid) {
    return TypeOid == pgInt2 || TypeOid == pgInt4 || TypeOid == pgInt8 || TypeOid == pgOid;
}

std::string FloatParamText(double Value) {
    if (std::isnan(Value))
        return "NaN";
    if (std::isinf(Value))
        return Value > 0 ? "Infinity" : "-Infinity";
    char Buffer[64];
    const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
    return std::string(Buffer, Result.ptr);
}

std::string DateTimeParamText(TDateTime Value) {
    const auto [Day, Microseconds] = SplitMicroseconds(Value);
    const std::int64_t Seconds = Microseconds / 1000000;
    char Time[32];
    std::snprintf(Time, sizeof Time, " %02lld:%02lld:%02lld.%06lld",
                  static_cast<long long>(Seconds / 3600), static_cast<long long>(Seconds / 60 % 60),
                  static_cast<long long>(Seconds % 60),
                  static_cast<long long>(Microseconds % 1000000));
    return FormatDateTime(Day) + Time;
}

std::optional<std::int64_t> ParseInteger(const std::string& Text) {
    std::int64_t Value = 0;
    const auto Result = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    if (Result.ec != std::errc() || Result.ptr != Text.data() + Text.size())
        return std::nullopt;
    return Value;
}

std::optional<double> ParseFloat(const std::string& Text) {
    if (Text == "NaN")
        return std::nan("");
    if (Text == "Infinity")
        return HUGE_VAL;
    if (Text == "-Infinity")
        return -HUGE_VAL;
    double Value = 0;
    const auto Result = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    if (Result.ec != std::errc() || Result.ptr != Text.data() + Text.size())
        return std::nullopt;
    return Value;
}

// Money is written with a currency sign and group separators ("-$1,234.56"); the
// number is what remains of sign, digits and decimal point.
std::optional<double> ParseMoney(const std::string& Text) {
    std::string Number;
    for (char C : Text) {
        if (C == '-' || C == '.' || (C >= '0' && C <= '9'))
            Number += C;
    }
    return ParseFloat(Number);
}

// timestamptz and timetz end in the session's offset ("+02", "-05:30"); the value
// is the local time in that session time zone.
std::string WithoutZoneOffset(const std::string& Text) {
    const std::size_t TimeStart = Text.find(':');
    if (TimeStart == std::string::npos)
        return Text;
    const std::size_t Offset = Text.find_first_of("+-", TimeStart);
    return Offset == std::string::npos ? Text : Text.substr(0, Offset);
}

std::optional<TVariant> ParseDateTime(const std::string& Text) {
    TDateTime Value = 0;
    if (!TryParseDateTime(Text, Value))
        return std::nullopt;
    return TVariant::FromDateTime(Value);
}

int HexDigit(char C) {
    if (C >= '0' && C <= '9')
        return C - '0';
    if (C >= 'a' && C <= 'f')
        return C - 'a' + 10;
    if (C >= 'A' && C <= 'F')
        return C - 'A' + 10;
    return -1;
}

// bytea in the hex output format: "\x" followed by two hex digits per byte.
std::optional<std::string> ParseBytea(const std::string& Text) {
    if (Text.size() < 2 || Text[0] != '\\' || Text[1] != 'x' || Text.size() % 2 != 0)
        return std::nullopt;
    std::string Bytes;
    Bytes.reserve((Text.size() - 2) / 2);
    for (std::size_t Index = 2; Index < Text.size(); Index += 2) {
        const int High = HexDigit(Text[Index]);
        const int Low = HexDigit(Text[Index + 1]);
        if (High < 0 || Low < 0)
            return std::nullopt;
        Bytes += static_cast<char>(High * 16 + Low);
    }
    return Bytes;
}

template <class T>
TVariant OrText(const std::optional<T>& Value, const std::string& Text) {
    return Value ? TVariant(*Value) : TVariant(Utf8ToHost(Text));
}

} // namespace

TFieldType PgFieldType(unsigned TypeOid, bool AutoIncrement) {
    if (AutoIncrement && IsIntegerType(TypeOid))
        return ftAutoInc;
    switch (TypeOid) {
    case pgInt2:
        return ftSmallint;
    case pgInt4:
        return ftInteger;
    case pgInt8:
    case pgOid: // unsigned 32 bits: more than an ftInteger holds
        return ftLargeint;
    case pgNumeric:
        return ftBCD;
    case pgMoney:
        return ftCurrency;
    case pgFloat4:
    case pgFloat8:
        return ftFloat;
    case pgBool:
        return ftBoolean;
    case pgDate:
        return ftDate;
    case pgTime:
    case pgTimeTz:
        return ftTime;
    case pgTimestamp:
    case pgTimestampTz:
        return ftDateTime;
    case pgVarchar:
        return ftString;
    case pgBpchar:
        return ftFixedChar;
    case pgBytea:
        return ftBlob;
    default:
        // text, json, xml and every type without a field type of its own are
        // shown through their text form, which has no declared length.
        return ftMemo;
    }
}

int PgFieldSize(unsigned TypeOid, int Typmod) {
    if (Typmod < TypmodHeader)
        return 0;
    if (TypeOid == pgVarchar || TypeOid == pgBpchar)
        return Typmod - TypmodHeader;
    if (TypeOid != pgNumeric)
        return 0;
    // The scale is the low 11 bits, signed since negative scales were allowed;
    // a negative scale has no decimal places.
    const int Scale = (Typmod - TypmodHeader) & 0x7FF;
    return Scale >= 0x400 ? 0 : Scale;
}

std::optional<std::string> PgParamText(const TVariant& Value) {
    switch (Value.VarType()) {
    case varNull:
        return std::nullopt;
    case varInteger:
        return std::to_string(Value.AsInteger());
    case varFloat:
        return FloatParamText(Value.AsFloat());
    case varBoolean:
        return Value.AsBoolean() ? "true" : "false";
    case varDateTime:
        return DateTimeParamText(Value.AsDateTime());
    case varString:
        return HostToUtf8(Value.AsString());
    }
    return HostToUtf8(Value.AsString());
}

TVariant PgValueFromText(unsigned TypeOid, const std::string& Text) {
    switch (TypeOid) {
    case pgInt2:
    case pgInt4:
    case pgInt8:
    case pgOid:
        return OrText(ParseInteger(Text), Text);
    case pgFloat4:
    case pgFloat8:
    case pgNumeric:
        return OrText(ParseFloat(Text), Text);
    case pgMoney:
        return OrText(ParseMoney(Text), Text);
    case pgBool:
        return TVariant(Text == "t");
    case pgDate:
    case pgTime:
    case pgTimestamp:
        return OrText(ParseDateTime(Text), Text);
    case pgTimestampTz:
    case pgTimeTz:
        return OrText(ParseDateTime(WithoutZoneOffset(Text)), Text);
    case pgBytea:
        return TVariant(ParseBytea(Text).value_or(Text));
    default:
        return TVariant(Utf8ToHost(Text));
    }
}

} // namespace vorn
