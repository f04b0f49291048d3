#include "host/data/Table.h"

namespace vorn {

// The rows held in the window come first; the rest is read by key beyond the window's
// edge, into the result only, so that the window the table moves in stays as it was.
std::vector<TDataSet::TNearbyRow> TTable::RowsBeside(bool After, int Count) {
    std::vector<TNearbyRow> Rows;
    const auto Take = [&](const TRow& Row) { Rows.push_back({Row, RowBookmark(Row)}); };
    if (After) {
        for (std::size_t Index = FCurrent + 1;
             Index < FWindow.size() && static_cast<int>(Rows.size()) < Count; ++Index)
            Take(FWindow[Index]);
    } else {
        for (std::size_t Index = FCurrent; Index > 0 && static_cast<int>(Rows.size()) < Count;
             --Index)
            Take(FWindow[Index - 1]);
    }
    const bool WindowEnds = After ? FWindowAtEnd : FWindowAtStart;
    const int Missing = Count - static_cast<int>(Rows.size());
    if (Missing == 0 || WindowEnds)
        return Rows;
    const TRow& Edge = After ? FWindow.back() : FWindow.front();
    for (const TRow& Row : FetchBeside(Edge, After, Missing))
        Take(Row);
    return Rows;
}

} // namespace vorn
