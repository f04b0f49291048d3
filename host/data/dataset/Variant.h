#pragma once

#include <cstdint>
#include <string>
#include <variant>

namespace vorn {

// A point in time as days since 1899-12-30 00:00 (the fraction is the time of day).
using TDateTime = double;

enum TVarType { varNull, varInteger, varFloat, varString, varBoolean, varDateTime };

// One field value or key value: null, a 64-bit integer, a double, a host code page
// string, a boolean or a date-time. Conversions that make no sense raise
// EConvertError naming the value and the type asked for.
class TVariant {
public:
    TVariant() = default;
    TVariant(std::int64_t Value) : FValue(Value) {}
    TVariant(int Value) : FValue(static_cast<std::int64_t>(Value)) {}
    TVariant(double Value) : FValue(Value) {}
    TVariant(std::string Value) : FValue(std::move(Value)) {}
    TVariant(const char* Value) : FValue(std::string(Value)) {}
    TVariant(bool Value) : FValue(Value) {}

    static TVariant Null() { return TVariant(); }
    static TVariant FromDateTime(TDateTime Value);

    TVarType VarType() const;
    bool IsNull() const { return VarType() == varNull; }

    // The value as text: integers in decimal, floats in the shortest form that reads
    // back to the same double, booleans as "True"/"False", date-times as
    // "YYYY-MM-DD" or "YYYY-MM-DD HH:MM:SS", null as the empty text.
    std::string AsString() const;
    // Integers; floats only when they hold a whole number; decimal text; booleans as 0/1.
    std::int64_t AsInteger() const;
    double AsFloat() const;
    // Booleans; integers (0 is false); the texts "True"/"False"/"1"/"0" in any case.
    bool AsBoolean() const;
    // Date-times; numbers as days; texts in "YYYY-MM-DD[ HH:MM:SS[.fff]]" or "HH:MM:SS".
    TDateTime AsDateTime() const;

    // Total order used for sorting and equality: null first, then numbers (integers,
    // floats, booleans and date-times compared by value), then strings (byte order).
    int Compare(const TVariant& Other) const;
    bool operator==(const TVariant& Other) const { return Compare(Other) == 0; }
    bool operator<(const TVariant& Other) const { return Compare(Other) < 0; }

private:
    struct TDateTimeValue {
        TDateTime Days;
    };
    using TStorage =
        std::variant<std::monostate, std::int64_t, double, std::string, bool, TDateTimeValue>;

    std::string Describe() const;

    TStorage FValue;
};

// Parses "YYYY-MM-DD", "YYYY-MM-DD HH:MM:SS[.fff]" (also with a "T"), or "HH:MM:SS[.fff]";
// returns false for anything else, leaving Result untouched.
bool TryParseDateTime(const std::string& Text, TDateTime& Result);
// The text form used by AsString: the time is left out when it is exactly midnight.
std::string FormatDateTime(TDateTime Value);
// The time of day alone, "HH:MM:SS[.fff]", midnight included.
std::string FormatTimeOfDay(TDateTime Value);

} // namespace vorn
