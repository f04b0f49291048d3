#include "host/data/drivers/ServerValues.h"

#include <cmath>

namespace vorn {

TDateTimeMicroseconds SplitMicroseconds(TDateTime Value) {
    constexpr std::int64_t MicrosecondsPerDay = 86400LL * 1000000LL;
    TDateTimeMicroseconds Parts;
    Parts.Day = std::floor(Value);
    Parts.Microseconds = std::llround((Value - Parts.Day) * MicrosecondsPerDay);
    if (Parts.Microseconds >= MicrosecondsPerDay) {
        Parts.Microseconds -= MicrosecondsPerDay;
        Parts.Day += 1;
    }
    return Parts;
}

bool IsOrderedScalar(TFieldType Type) {
    switch (Type) {
    case ftString:
    case ftFixedChar:
    case ftSmallint:
    case ftInteger:
    case ftLargeint:
    case ftAutoInc:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftDate:
    case ftTime:
    case ftDateTime:
        return true;
    default:
        return false;
    }
}

} // namespace vorn
