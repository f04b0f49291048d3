// Keyset conditions: the rows after or before a given row in a table's order.
#pragma once

#include "host/data/drivers/Driver.h"

#include <optional>
#include <string>
#include <vector>

namespace vorn {

// One term of a total order: its SQL expression, the value it has in the row that the
// keyset starts from, whether the column refuses NULL, so that no test for NULL needs
// writing for it, whether its NULLs come after its values in the order rather than before,
// and whether its values descend (then the rows after a value hold lesser ones).
struct TKeysetTerm {
    std::string Sql;
    TVariant Value;
    bool NotNull = false;
    bool NullsLast = false;
    bool Descending = false;
};

// The rows strictly after (or before) a row in a total order are read in at most two
// segments, so that each segment's condition begins with a plain range or IS NULL test
// on the first term that the database can answer from an index: the rows that share
// the first term's NULL-ness with the start row, and the rows on the other side of the
// NULLs. Every row of a segment has the same NULL-ness in the first term, so a segment
// can be ordered by that term without saying where its NULLs go. Segments are read in
// order; the first is the nearest to the start row.
int KeysetSegmentCount(const std::vector<TKeysetTerm>& Terms, bool After);
// The condition of one segment, its values bound in Params; nullopt when the segment
// cannot hold any row.
std::optional<std::string> KeysetSegmentCondition(const std::vector<TKeysetTerm>& Terms, bool After,
                                                  int Segment, TBoundParams& Params);
// Whether the rows of the segment hold NULL in the first term (else none of them does).
bool KeysetSegmentIsNull(const std::vector<TKeysetTerm>& Terms, bool After, int Segment);

} // namespace vorn
