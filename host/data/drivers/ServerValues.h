#pragma once

#include "host/data/dataset/FieldType.h"
#include "host/data/dataset/Variant.h"

#include <cstdint>

namespace vorn {

// What the drivers of database servers share about values.

// A date-time as whole days and the microseconds into the last of them, rounded to the
// nearest microsecond, so that a key read back from a column compares equal to the row
// it came from; 23:59:59.9999996 rounds to midnight of the next day.
struct TDateTimeMicroseconds {
    double Day = 0;
    std::int64_t Microseconds = 0;
};
TDateTimeMicroseconds SplitMicroseconds(TDateTime Value);

// Texts of a declared length, numbers, dates and times: the field types whose values every
// server orders, compares with > and takes the MIN of.
bool IsOrderedScalar(TFieldType Type);

} // namespace vorn
