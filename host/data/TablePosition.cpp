// Scroll positions of a table: where the current record lies, estimated from the
// database's statistics and a count on the order's index, and jumps to a place in the
// order by skipping rows on that index.
#include "host/data/Driver.h"
#include "host/data/Table.h"
#include "host/data/TableKeyset.h"

#include <algorithm>
#include <cmath>

namespace vorn {

// The statistics describe the whole table: a restricted table (a master's key, a filter)
// holds an unknown part of it and has no estimate.
std::optional<std::int64_t> TTable::EstimatedRows() {
    if (!Restriction().Where.empty())
        return std::nullopt;
    if (!FEstimatedRows) {
        TTableStatistics* Statistics = Connection().TableStatistics();
        const auto Rows =
            Statistics != nullptr ? Statistics->EstimatedRowCount(FTableName) : std::nullopt;
        FEstimatedRows = Rows.value_or(-1);
    }
    if (*FEstimatedRows < 0)
        return std::nullopt;
    return *FEstimatedRows;
}

// One COUNT per keyset segment before Row: each is a range of the order's index, which
// the database counts without reading the rows.
std::int64_t TTable::CountBefore(const TRow& Row) const {
    const std::vector<TKeysetTerm> Terms = OrderValues(Row);
    std::int64_t Count = 0;
    const int Segments = KeysetSegmentCount(Terms, false);
    for (int Segment = 0; Segment < Segments; ++Segment) {
        TConditions Conditions = Restriction();
        const auto Condition = KeysetSegmentCondition(Terms, false, Segment, Conditions.Params);
        if (!Condition)
            continue;
        Conditions.Where.push_back(*Condition);
        auto Cursor = Connection().Execute("SELECT count(*)" + FromWhere(Conditions),
                                           Conditions.Params.Values());
        if (Cursor->Next())
            Count += Cursor->Value(0).AsInteger();
    }
    return Count;
}

// A move inside the window changes the count by the rows between: only a jump counts.
std::int64_t TTable::CurrentRowsBefore() {
    const TBookmark Current = CurrentBookmark();
    if (FCountedPosition) {
        for (std::size_t Index = 0; Index < FWindow.size(); ++Index) {
            if (RowBookmark(FWindow[Index]) != FCountedPosition->Row)
                continue;
            return FCountedPosition->Before + static_cast<std::int64_t>(FCurrent) -
                   static_cast<std::int64_t>(Index);
        }
    }
    const std::int64_t Before = CountBefore(CurrentRow());
    FCountedPosition = TCountedPosition{Current, Before};
    return Before;
}

std::optional<TDataSet::TRecordPosition> TTable::EstimatePosition() {
    const auto Rows = EstimatedRows();
    if (!Rows)
        return std::nullopt;
    const std::int64_t Before = CurrentRowsBefore();
    return TRecordPosition{Before, std::max(*Rows, Before + 1)};
}

// The order's index skips the rows before the place (LIMIT with OFFSET); a place past
// the end (the estimate was high) is the last record.
bool TTable::MoveToEstimatedFraction(double Fraction) {
    const auto Rows = EstimatedRows();
    if (!Rows)
        return false;
    const std::int64_t Offset =
        std::max<std::int64_t>(0, std::llround(Fraction * static_cast<double>(*Rows - 1)));
    const TConditions Conditions = Restriction();
    std::vector<TRow> Found = FetchStatement(Conditions, false, PageSize(), Offset);
    if (Found.empty())
        return MoveToLast();
    const bool ReachesEnd = static_cast<int>(Found.size()) < PageSize();
    StartWindowAt(std::move(Found), ReachesEnd);
    FWindowAtStart = Offset == 0;
    FCountedPosition = TCountedPosition{CurrentBookmark(), Offset};
    return true;
}

} // namespace vorn
