#include "host/data/dataset/Variant.h"

#include "host/components/model/Exception.h"
#include "host/components/text/AsciiText.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace vorn {

namespace {

// Days between 1970-01-01 and 1899-12-30, the origin of TDateTime.
constexpr std::int64_t UnixEpochOffset = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date.
std::int64_t DaysFromCivil(std::int64_t Year, unsigned Month, unsigned Day) {
    Year -= Month <= 2 ? 1 : 0;
    const std::int64_t Era = (Year >= 0 ? Year : Year - 399) / 400;
    const unsigned YearOfEra = static_cast<unsigned>(Year - Era * 400);
    const unsigned DayOfYear = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
    const unsigned DayOfEra = YearOfEra * 365 + YearOfEra / 4 - YearOfEra / 100 + DayOfYear;
    return Era * 146097 + static_cast<std::int64_t>(DayOfEra) - 719468;
}

void CivilFromDays(std::int64_t Days, std::int64_t& Year, unsigned& Month, unsigned& Day) {
    Days += 719468;
    const std::int64_t Era = (Days >= 0 ? Days : Days - 146096) / 146097;
    const unsigned DayOfEra = static_cast<unsigned>(Days - Era * 146097);
    const unsigned YearOfEra =
        (DayOfEra - DayOfEra / 1460 + DayOfEra / 36524 - DayOfEra / 146096) / 365;
    const unsigned DayOfYear = DayOfEra - (365 * YearOfEra + YearOfEra / 4 - YearOfEra / 100);
    const unsigned MonthIndex = (5 * DayOfYear + 2) / 153;
    Day = DayOfYear - (153 * MonthIndex + 2) / 5 + 1;
    Month = MonthIndex < 10 ? MonthIndex + 3 : MonthIndex - 9;
    Year = static_cast<std::int64_t>(YearOfEra) + Era * 400 + (Month <= 2 ? 1 : 0);
}

// Reads exactly Width digits at Position.
bool ReadDigits(const std::string& Text, std::size_t& Position, std::size_t Width,
                unsigned& Value) {
    if (Position + Width > Text.size())
        return false;
    Value = 0;
    for (std::size_t Index = 0; Index < Width; ++Index) {
        const char C = Text[Position + Index];
        if (!std::isdigit(static_cast<unsigned char>(C)))
            return false;
        Value = Value * 10 + static_cast<unsigned>(C - '0');
    }
    Position += Width;
    return true;
}

bool Expect(const std::string& Text, std::size_t& Position, char C) {
    if (Position >= Text.size() || Text[Position] != C)
        return false;
    ++Position;
    return true;
}

// "HH:MM:SS[.fff...]" from Position to the end, as a fraction of a day.
bool ParseTime(const std::string& Text, std::size_t Position, double& Fraction) {
    unsigned Hour = 0, Minute = 0, Second = 0;
    if (!ReadDigits(Text, Position, 2, Hour) || !Expect(Text, Position, ':') ||
        !ReadDigits(Text, Position, 2, Minute) || !Expect(Text, Position, ':') ||
        !ReadDigits(Text, Position, 2, Second))
        return false;
    double Milliseconds = 0;
    if (Position < Text.size()) {
        if (!Expect(Text, Position, '.') || Position == Text.size())
            return false;
        double Scale = 100;
        for (; Position < Text.size(); ++Position, Scale /= 10) {
            if (!std::isdigit(static_cast<unsigned char>(Text[Position])))
                return false;
            Milliseconds += (Text[Position] - '0') * Scale;
        }
    }
    if (Hour > 23 || Minute > 59 || Second > 59)
        return false;
    Fraction = ((Hour * 60.0 + Minute) * 60.0 + Second + Milliseconds / 1000.0) / 86400.0;
    return true;
}

bool ParseDate(const std::string& Text, std::size_t& Position, std::int64_t& Days) {
    unsigned Year = 0, Month = 0, Day = 0;
    if (!ReadDigits(Text, Position, 4, Year) || !Expect(Text, Position, '-') ||
        !ReadDigits(Text, Position, 2, Month) || !Expect(Text, Position, '-') ||
        !ReadDigits(Text, Position, 2, Day))
        return false;
    if (Month < 1 || Month > 12 || Day < 1 || Day > 31)
        return false;
    Days = DaysFromCivil(Year, Month, Day) + UnixEpochOffset;
    std::int64_t CheckYear = 0;
    unsigned CheckMonth = 0, CheckDay = 0;
    CivilFromDays(Days - UnixEpochOffset, CheckYear, CheckMonth, CheckDay);
    return CheckMonth == Month && CheckDay == Day; // rejects 2023-02-30
}

std::string FormatFloat(double Value) {
    if (std::isnan(Value))
        return "NAN";
    if (std::isinf(Value))
        return Value > 0 ? "INF" : "-INF";
    char Buffer[64];
    const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
    return std::string(Buffer, Result.ptr);
}

// The number a whole text spells, blanks around it allowed, with an optional sign;
// nothing for anything else ("12abc", "", "+-5", a value out of range).
template <typename T>
std::optional<T> ParsedNumber(const std::string& Text) {
    const std::string Number = TrimControlsAndSpaces(Text);
    const char* Begin = Number.data();
    const char* End = Begin + Number.size();
    // The reader takes a minus but no plus: a plus is skipped, and a minus after it
    // refused, so that "+-5" is no number.
    if (Begin != End && *Begin == '+' && ++Begin != End && *Begin == '-')
        return std::nullopt;
    T Value{};
    const auto Result = std::from_chars(Begin, End, Value);
    if (Begin == End || Result.ec != std::errc() || Result.ptr != End)
        return std::nullopt;
    return Value;
}

} // namespace

bool TryParseDateTime(const std::string& Text, TDateTime& Result) {
    std::size_t Position = 0;
    std::int64_t Days = 0;
    if (!ParseDate(Text, Position, Days)) {
        double Fraction = 0;
        if (!ParseTime(Text, 0, Fraction))
            return false;
        Result = Fraction;
        return true;
    }
    double Fraction = 0;
    if (Position < Text.size()) {
        if (Text[Position] != ' ' && Text[Position] != 'T')
            return false;
        if (!ParseTime(Text, Position + 1, Fraction))
            return false;
    }
    Result = static_cast<double>(Days) + Fraction;
    return true;
}

namespace {

// "HH:MM:SS", and ".fff" when the milliseconds are not zero.
std::string FormatMilliseconds(std::int64_t Milliseconds) {
    const auto Seconds = Milliseconds / 1000;
    char Buffer[24];
    int Length = std::snprintf(
        Buffer, sizeof Buffer, "%02lld:%02lld:%02lld", static_cast<long long>(Seconds / 3600),
        static_cast<long long>(Seconds / 60 % 60), static_cast<long long>(Seconds % 60));
    if (Milliseconds % 1000 != 0)
        std::snprintf(Buffer + Length, sizeof Buffer - static_cast<std::size_t>(Length), ".%03lld",
                      static_cast<long long>(Milliseconds % 1000));
    return Buffer;
}

// Splits Value into whole days and the milliseconds of the day, rounded to the
// millisecond first, so that 23:59:59.9996 becomes the next midnight, not 24:00.
void SplitDateTime(TDateTime Value, std::int64_t& Days, std::int64_t& Milliseconds) {
    const double WholeDays = std::floor(Value);
    Milliseconds = std::llround((Value - WholeDays) * 86400000.0);
    Days = static_cast<std::int64_t>(WholeDays);
    if (Milliseconds >= 86400000) {
        Milliseconds -= 86400000;
        ++Days;
    }
}

} // namespace

std::string FormatDateTime(TDateTime Value) {
    std::int64_t Days = 0;
    std::int64_t Milliseconds = 0;
    SplitDateTime(Value, Days, Milliseconds);
    std::int64_t Year = 0;
    unsigned Month = 0, Day = 0;
    CivilFromDays(Days - UnixEpochOffset, Year, Month, Day);
    char Buffer[24];
    std::snprintf(Buffer, sizeof Buffer, "%04lld-%02u-%02u", static_cast<long long>(Year), Month,
                  Day);
    return Milliseconds != 0 ? std::string(Buffer) + " " + FormatMilliseconds(Milliseconds)
                             : std::string(Buffer);
}

std::string FormatTimeOfDay(TDateTime Value) {
    std::int64_t Days = 0;
    std::int64_t Milliseconds = 0;
    SplitDateTime(Value, Days, Milliseconds);
    // The last half millisecond of a day rounds up to the next midnight, which as a time
    // of day would read as its start: it stays the day's last millisecond.
    if (Days != static_cast<std::int64_t>(std::floor(Value)))
        Milliseconds = 86399999;
    return FormatMilliseconds(Milliseconds);
}

TVariant TVariant::FromDateTime(TDateTime Value) {
    TVariant Result;
    Result.FValue = TDateTimeValue{Value};
    return Result;
}

TVarType TVariant::VarType() const {
    switch (FValue.index()) {
    case 1:
        return varInteger;
    case 2:
        return varFloat;
    case 3:
        return varString;
    case 4:
        return varBoolean;
    case 5:
        return varDateTime;
    default:
        return varNull;
    }
}

std::string TVariant::Describe() const {
    switch (VarType()) {
    case varNull:
        return "Null";
    case varString:
        return "'" + std::get<std::string>(FValue) + "'";
    default:
        return AsString();
    }
}

std::string TVariant::AsString() const {
    switch (VarType()) {
    case varNull:
        return {};
    case varInteger:
        return std::to_string(std::get<std::int64_t>(FValue));
    case varFloat:
        return FormatFloat(std::get<double>(FValue));
    case varString:
        return std::get<std::string>(FValue);
    case varBoolean:
        return std::get<bool>(FValue) ? "True" : "False";
    case varDateTime:
        return FormatDateTime(std::get<TDateTimeValue>(FValue).Days);
    }
    return {};
}

std::int64_t TVariant::AsInteger() const {
    switch (VarType()) {
    case varInteger:
        return std::get<std::int64_t>(FValue);
    case varBoolean:
        return std::get<bool>(FValue) ? 1 : 0;
    case varFloat: {
        const double Value = std::get<double>(FValue);
        // 2^63 itself is not representable, hence the strict upper bound.
        if (std::trunc(Value) == Value && Value >= -9223372036854775808.0 &&
            Value < 9223372036854775808.0)
            return static_cast<std::int64_t>(Value);
        break;
    }
    case varString:
        if (const auto Value = ParsedNumber<std::int64_t>(std::get<std::string>(FValue)))
            return *Value;
        break;
    default:
        break;
    }
    throw EConvertError("Could not convert variant " + Describe() + " to an integer");
}

double TVariant::AsFloat() const {
    switch (VarType()) {
    case varInteger:
        return static_cast<double>(std::get<std::int64_t>(FValue));
    case varFloat:
        return std::get<double>(FValue);
    case varBoolean:
        return std::get<bool>(FValue) ? 1.0 : 0.0;
    case varDateTime:
        return std::get<TDateTimeValue>(FValue).Days;
    case varString:
        if (const auto Value = ParsedNumber<double>(std::get<std::string>(FValue)))
            return *Value;
        break;
    default:
        break;
    }
    throw EConvertError("Could not convert variant " + Describe() + " to a float");
}

bool TVariant::AsBoolean() const {
    switch (VarType()) {
    case varBoolean:
        return std::get<bool>(FValue);
    case varInteger:
        return std::get<std::int64_t>(FValue) != 0;
    case varFloat:
        return std::get<double>(FValue) != 0;
    case varString: {
        const std::string Text =
            UpperCaseAscii(TrimControlsAndSpaces(std::get<std::string>(FValue)));
        if (Text == "TRUE" || Text == "1")
            return true;
        if (Text == "FALSE" || Text == "0")
            return false;
        break;
    }
    default:
        break;
    }
    throw EConvertError("Could not convert variant " + Describe() + " to a boolean");
}

TDateTime TVariant::AsDateTime() const {
    switch (VarType()) {
    case varDateTime:
        return std::get<TDateTimeValue>(FValue).Days;
    case varInteger:
    case varFloat:
        return AsFloat();
    case varString: {
        TDateTime Result = 0;
        if (TryParseDateTime(TrimControlsAndSpaces(std::get<std::string>(FValue)), Result))
            return Result;
        break;
    }
    default:
        break;
    }
    throw EConvertError("Could not convert variant " + Describe() + " to a date-time");
}

int TVariant::Compare(const TVariant& Other) const {
    const TVarType Left = VarType();
    const TVarType Right = Other.VarType();
    if (Left == varNull || Right == varNull)
        return (Left == varNull ? 0 : 1) - (Right == varNull ? 0 : 1);
    if (Left == varString || Right == varString) {
        if (Left != Right)
            return Left == varString ? 1 : -1;
        const int Order =
            std::get<std::string>(FValue).compare(std::get<std::string>(Other.FValue));
        return (Order > 0) - (Order < 0);
    }
    if (Left != varFloat && Left != varDateTime && Right != varFloat && Right != varDateTime) {
        const std::int64_t A = AsInteger();
        const std::int64_t B = Other.AsInteger();
        return (A > B) - (A < B);
    }
    const double A = AsFloat();
    const double B = Other.AsFloat();
    return (A > B) - (A < B);
}

} // namespace vorn
