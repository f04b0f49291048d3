#include "host/data/DBGridRecords.h"

#include <algorithm>

namespace vorn {

namespace {

// Moving the dataset to read its records sets and clears Bof and Eof; an application loop
// such as "while not Eof" must not notice that a grid looked at the records. Called on
// the record the dataset was on: a failed move sets a flag without moving, a step away
// and back clears both.
void RestoreBofEof(TDataSet& DataSet, bool WasBof, bool WasEof) {
    if ((DataSet.Bof() && !WasBof) || (DataSet.Eof() && !WasEof)) {
        if (DataSet.MoveBy(1) == 1)
            DataSet.MoveBy(-1);
        else if (DataSet.MoveBy(-1) == -1)
            DataSet.MoveBy(1);
    }
    // A record that appeared before the first (or after the last) makes the move succeed:
    // step back then, the flag being wrong anyway.
    if (WasBof && !DataSet.Bof() && DataSet.MoveBy(-1) != 0)
        DataSet.MoveBy(1);
    if (WasEof && !DataSet.Eof() && DataSet.MoveBy(1) != 0)
        DataSet.MoveBy(-1);
}

} // namespace

std::string TDBGridRecords::Text(int Record, int FieldIndex) const {
    if (Record < 0 || Record >= Count())
        return {};
    const auto& Texts = FRecords[static_cast<std::size_t>(Record)].Texts;
    if (FieldIndex < 0 || FieldIndex >= static_cast<int>(Texts.size()))
        return {};
    return Texts[static_cast<std::size_t>(FieldIndex)];
}

void TDBGridRecords::Clear() {
    FRecords.clear();
    FActive = 0;
}

TDBGridRecords::TRecord TDBGridRecords::ReadCurrent(const TDataSet& DataSet) {
    TRecord Record;
    Record.Bookmark = DataSet.Bookmark();
    Record.Texts.reserve(static_cast<std::size_t>(DataSet.FieldCount()));
    for (int Index = 0; Index < DataSet.FieldCount(); ++Index)
        Record.Texts.push_back(DataSet.Fields(Index)->AsString());
    return Record;
}

void TDBGridRecords::Read(TDataSet& DataSet, int Capacity, int PreferredActive) {
    Clear();
    if (!DataSet.Active() || DataSet.IsEmpty() || Capacity < 1)
        return;
    PreferredActive = std::clamp(PreferredActive, 0, Capacity - 1);
    const bool WasBof = DataSet.Bof();
    const bool WasEof = DataSet.Eof();
    std::deque<TRecord> Records;
    int Active = 0;
    DataSet.DisableControls();
    try {
        // Positions count from the window's first record.
        Active = -DataSet.MoveBy(-PreferredActive);
        int Position = 0;
        Records.push_back(ReadCurrent(DataSet));
        while (static_cast<int>(Records.size()) < Capacity && DataSet.MoveBy(1) == 1) {
            Records.push_back(ReadCurrent(DataSet));
            ++Position;
        }
        if (static_cast<int>(Records.size()) < Capacity) {
            // The dataset ended first: fill the window with records before it.
            DataSet.MoveBy(-Position);
            Position = 0;
            while (static_cast<int>(Records.size()) < Capacity && DataSet.MoveBy(-1) == -1) {
                Records.push_front(ReadCurrent(DataSet));
                ++Active;
            }
        }
        DataSet.MoveBy(Active - Position);
        RestoreBofEof(DataSet, WasBof, WasEof);
    } catch (...) {
        DataSet.EnableControls();
        throw;
    }
    DataSet.EnableControls();
    FRecords = std::move(Records);
    FActive = Active;
}

bool TDBGridRecords::Follow(const TDataSet& DataSet, int Distance, int Capacity) {
    if (FRecords.empty() || !DataSet.Active() || DataSet.IsEmpty())
        return false;
    const TBookmark Current = DataSet.Bookmark();
    const auto Held = std::find_if(FRecords.begin(), FRecords.end(), [&](const TRecord& Record) {
        return Record.Bookmark == Current;
    });
    if (Held != FRecords.end()) {
        FActive = static_cast<int>(Held - FRecords.begin());
        return true;
    }
    if (Count() != Capacity)
        return false;
    if (Distance == 1 && FActive == Count() - 1) {
        FRecords.pop_front();
        FRecords.push_back(ReadCurrent(DataSet));
        return true;
    }
    if (Distance == -1 && FActive == 0) {
        FRecords.pop_back();
        FRecords.push_front(ReadCurrent(DataSet));
        return true;
    }
    return false;
}

} // namespace vorn
