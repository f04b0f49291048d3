#include "host/data/grid/DBGridRecords.h"

#include <algorithm>

namespace vorn {

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
    if (!DataSet.Active() || Capacity < 1)
        return;
    PreferredActive = std::clamp(PreferredActive, 0, Capacity - 1);
    // The records before the current one that the rows above it show, and those after it
    // that the rows below show; where the dataset ends on one side only, the other side
    // fills the window instead, read once more with its share raised.
    const int Above = PreferredActive;
    const int Below = Capacity - 1 - PreferredActive;
    TRecordWindow Window = DataSet.ReadRecordWindow(Above, Below);
    if (Window.Current < 0)
        return;
    const int Preceding = Window.Current;
    const int Following = Window.Count() - 1 - Window.Current;
    if (Preceding < Above && Following == Below)
        Window = DataSet.ReadRecordWindow(Preceding, Capacity - 1 - Preceding);
    else if (Following < Below && Preceding == Above)
        Window = DataSet.ReadRecordWindow(Capacity - 1 - Following, Following);
    const int Start = std::max(0, Window.Current - PreferredActive);
    const int Last = std::min(Window.Count(), Start + Capacity);
    const int First = std::max(0, Last - Capacity);
    std::deque<TRecord> Records;
    for (int Index = First; Index < Last; ++Index) {
        const auto& Values = Window.Values[static_cast<std::size_t>(Index)];
        TRecord Record;
        Record.Bookmark = Window.Bookmarks[static_cast<std::size_t>(Index)];
        Record.Texts.reserve(Values.size());
        for (std::size_t Field = 0; Field < Values.size(); ++Field)
            Record.Texts.push_back(DataSet.Fields(static_cast<int>(Field))->TextOf(Values[Field]));
        Records.push_back(std::move(Record));
    }
    FRecords = std::move(Records);
    FActive = Window.Current - First;
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
