// The rows beside a table's current record, for controls that show several at once.
#include "host/data/dataset/Table.h"

namespace vorn {

// The rows held in the window come first; the rest is read by key beyond the window's
// edge, into the result only, so that the window the table moves in stays as it was.
std::vector<TDataSet::TNearbyRow> TTable::RowsBeside(bool After, int Count) {
    std::vector<TNearbyRow> Rows;
    const auto Take = [&](const TRow& Row) { Rows.push_back({Row, RowBookmark(Row)}); };
    const std::size_t Current = FWindow.CurrentIndex();
    if (After) {
        for (std::size_t Index = Current + 1;
             Index < FWindow.Size() && static_cast<int>(Rows.size()) < Count; ++Index)
            Take(FWindow.Row(Index));
    } else {
        for (std::size_t Index = Current; Index > 0 && static_cast<int>(Rows.size()) < Count;
             --Index)
            Take(FWindow.Row(Index - 1));
    }
    const bool WindowEnds = After ? FWindow.AtEnd() : FWindow.AtStart();
    const int Missing = Count - static_cast<int>(Rows.size());
    if (Missing == 0 || WindowEnds)
        return Rows;
    const TRow& Edge = After ? FWindow.Last() : FWindow.First();
    for (const TRow& Row : FetchBeside(Edge, After, Missing))
        Take(Row);
    return Rows;
}

} // namespace vorn
