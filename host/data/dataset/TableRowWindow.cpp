// The rows a table holds around its current record: moving inside them, replacing them and
// adding rows at either end.
#include "host/data/dataset/TableRowWindow.h"

#include "host/components/model/Exception.h"

#include <iterator>

namespace vorn {

void TRowWindow::CheckCurrent() const {
    VORN_ASSERT(FRows.empty() ? FCurrent == 0 : FCurrent < FRows.size());
}

std::size_t TRowWindow::CurrentIndex() const {
    VORN_ASSERT(!FRows.empty());
    return FCurrent;
}

const TRowWindow::TRow& TRowWindow::Row(std::size_t Index) const {
    VORN_ASSERT(Index < FRows.size());
    return FRows[Index];
}

void TRowWindow::Clear() {
    FRows.clear();
    FCurrent = 0;
    FAtStart = false;
    FAtEnd = false;
}

void TRowWindow::StartAtFirst(std::vector<TRow> Rows, bool ReachEnd) {
    FRows.assign(std::make_move_iterator(Rows.begin()), std::make_move_iterator(Rows.end()));
    FCurrent = 0;
    FAtStart = true;
    FAtEnd = ReachEnd;
}

void TRowWindow::StartAtLast(std::vector<TRow> Rows, bool ReachStart) {
    FRows.assign(std::make_move_iterator(Rows.rbegin()), std::make_move_iterator(Rows.rend()));
    FCurrent = FRows.empty() ? 0 : FRows.size() - 1;
    FAtStart = ReachStart;
    FAtEnd = true;
}

void TRowWindow::StartAt(std::vector<TRow> Rows, bool ReachEnd, std::size_t Limit) {
    FRows.assign(std::make_move_iterator(Rows.begin()), std::make_move_iterator(Rows.end()));
    FCurrent = 0;
    FAtStart = false;
    FAtEnd = ReachEnd;
    Trim(Limit, false);
}

bool TRowWindow::StepForward() {
    if (FRows.empty() || FCurrent + 1 >= FRows.size())
        return false;
    ++FCurrent;
    return true;
}

bool TRowWindow::StepBackward() {
    if (FRows.empty() || FCurrent == 0)
        return false;
    --FCurrent;
    return true;
}

// Rows read beyond an end that holds the table's last row, or from a row that is not at
// the window's edge, would not be consecutive with the rows held.
bool TRowWindow::ExtendForward(std::vector<TRow> Rows, bool ReachEnd, std::size_t Limit) {
    VORN_ASSERT(!FRows.empty() && FCurrent + 1 == FRows.size() && !FAtEnd);
    FAtEnd = ReachEnd;
    if (Rows.empty())
        return false;
    for (TRow& Row : Rows)
        FRows.push_back(std::move(Row));
    ++FCurrent;
    Trim(Limit, true);
    return true;
}

bool TRowWindow::ExtendBackward(std::vector<TRow> Rows, bool ReachStart, std::size_t Limit) {
    VORN_ASSERT(!FRows.empty() && FCurrent == 0 && !FAtStart);
    FAtStart = ReachStart;
    if (Rows.empty())
        return false;
    // The rows come nearest first: each goes in front of the one before it.
    for (TRow& Row : Rows)
        FRows.push_front(std::move(Row));
    FCurrent = Rows.size() - 1;
    Trim(Limit, false);
    return true;
}

void TRowWindow::Trim(std::size_t Limit, bool KeepEnd) {
    while (FRows.size() > Limit) {
        if (KeepEnd && FCurrent > 0) {
            FRows.pop_front();
            --FCurrent;
            FAtStart = false;
        } else if (!KeepEnd && FCurrent + 1 < FRows.size()) {
            FRows.pop_back();
            FAtEnd = false;
        } else {
            break;
        }
    }
    CheckCurrent();
}

} // namespace vorn
