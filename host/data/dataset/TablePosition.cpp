// Scroll positions of a table: where the current record lies, estimated from the
// database's statistics and a count on the order's index, and jumps to a place in the
// order by skipping rows on that index.
#include "host/data/dataset/Table.h"
#include "host/data/dataset/TableKeyset.h"
#include "host/data/drivers/Driver.h"

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

// A move inside the window changes the count by the rows between, and the current row
// becomes the new reference, so that steps and pages never count: only a jump away from
// the first rows does.
std::optional<std::int64_t> TTable::RecordsBeforeCurrent(bool MayCount) {
    if (!EstimatedRows())
        return std::nullopt;
    const TBookmark Current = CurrentBookmark();
    // A window that starts at the first row knows the place of each of its rows.
    std::optional<std::int64_t> Before;
    const auto CurrentIndex = static_cast<std::int64_t>(FWindow.CurrentIndex());
    if (FWindow.AtStart())
        Before = CurrentIndex;
    for (std::size_t Index = 0; FCountedPosition && !Before && Index < FWindow.Size(); ++Index)
        if (RowBookmark(FWindow.Row(Index)) == FCountedPosition->Row)
            Before = FCountedPosition->Before + CurrentIndex - static_cast<std::int64_t>(Index);
    if (!Before && !MayCount)
        return std::nullopt;
    if (!Before)
        Before = CountBefore(CurrentRow());
    FCountedPosition = TCountedPosition{Current, *Before};
    return Before;
}

// The leading order term of the row Offset rows into the order, read from the index
// alone (the other terms would make the database fetch every skipped row); nothing past
// the end.
std::optional<TVariant> TTable::LeadingValueAt(std::int64_t Offset) const {
    const TOrderTerm& Term = FOrderTerms[LeadingOrderTerm()];
    TConditions Conditions = Restriction();
    const std::string Sql = "SELECT " + Term.Sql + FromWhere(Conditions) + " ORDER BY " +
                            TermOrder(Term, Term.NotNull, false) + " LIMIT 1 OFFSET " +
                            std::to_string(Offset);
    auto Cursor = Connection().Execute(Sql, Conditions.Params.Values());
    if (!Cursor->Next())
        return std::nullopt;
    return Cursor->Value(0);
}

// Two seeks on the order's index: the leading term's value at the place, then the rows
// from the first that holds it. The new record is the first of its value, at most the
// rows of that value before the place: its position is taken as the place itself.
bool TTable::MoveToEstimatedFraction(double Fraction) {
    const auto Rows = EstimatedRows();
    if (!Rows)
        return false;
    const std::int64_t Offset =
        std::max<std::int64_t>(0, std::llround(Fraction * static_cast<double>(*Rows - 1)));
    const auto Value = LeadingValueAt(Offset);
    if (!Value)
        return MoveToLast();
    const TOrderTerm& Term = FOrderTerms[LeadingOrderTerm()];
    TConditions Conditions = Restriction();
    Conditions.LeadingTermNull = Value->IsNull();
    if (Value->IsNull())
        Conditions.Where.push_back(Term.Sql + " IS NULL");
    else
        Conditions.Where.push_back(Term.Sql + (Term.Descending ? " <= " : " >= ") +
                                   Conditions.Params.Add(*Value));
    Conditions.LeadingNullsSettled = true;
    std::vector<TRow> Found = Fetch(Conditions, false, PageSize());
    if (Found.empty())
        return MoveToLast();
    StartWindowAt(std::move(Found));
    FCountedPosition = TCountedPosition{CurrentBookmark(), Offset};
    return true;
}

} // namespace vorn
