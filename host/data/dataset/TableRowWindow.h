// The rows a table holds around its current record, and which of them is current.
#pragma once

#include "host/data/dataset/Variant.h"

#include <cstddef>
#include <deque>
#include <vector>

namespace vorn {

// Consecutive rows in the table's current order and the current one among them. The
// window knows whether its first row is the first of the table (AtStart) and whether its
// last is the last (AtEnd). Whenever it holds rows, one of them is current; an empty window
// has no current row. Every operation keeps that and raises EAssertionFailed when asked
// to break it.
class TRowWindow {
public:
    using TRow = std::vector<TVariant>;

    bool Empty() const { return FRows.empty(); }
    std::size_t Size() const { return FRows.size(); }
    // The position of the current row among the rows held; only while not empty.
    std::size_t CurrentIndex() const;
    const TRow& Current() const { return Row(CurrentIndex()); }
    const TRow& Row(std::size_t Index) const;
    const TRow& First() const { return Row(0); }
    const TRow& Last() const { return Row(Size() - 1); }
    bool AtStart() const { return FAtStart; } // no row comes before the first held
    bool AtEnd() const { return FAtEnd; }     // no row comes after the last held

    // Holds nothing and knows nothing about either end.
    void Clear();
    // The table's first rows in order, the first current; ReachEnd when they are all.
    void StartAtFirst(std::vector<TRow> Rows, bool ReachEnd);
    // The table's last rows read backwards (the last first), the last current; ReachStart
    // when they are all.
    void StartAtLast(std::vector<TRow> Rows, bool ReachStart);
    // Rows consecutive in the order from somewhere in the table, the first current; the
    // table's last among them when ReachEnd. At most Limit of them are kept.
    void StartAt(std::vector<TRow> Rows, bool ReachEnd, std::size_t Limit);

    // Makes the row after (before) the current one current when the window holds it.
    bool StepForward();
    bool StepBackward();
    // From the last row held (the first, for Backward), which is current: adds the rows
    // read beyond it, nearest first, and makes the nearest current; ReachEnd (ReachStart)
    // when no row lies beyond them. Returns whether a row was added. The window then keeps
    // at most Limit rows, dropping those farthest behind the current one.
    bool ExtendForward(std::vector<TRow> Rows, bool ReachEnd, std::size_t Limit);
    bool ExtendBackward(std::vector<TRow> Rows, bool ReachStart, std::size_t Limit);

private:
    // Drops rows from the front (KeepEnd) or the back until at most Limit remain, never
    // the current row.
    void Trim(std::size_t Limit, bool KeepEnd);
    void CheckCurrent() const;

    std::deque<TRow> FRows;
    std::size_t FCurrent = 0;
    bool FAtStart = false;
    bool FAtEnd = false;
};

} // namespace vorn
