#pragma once

#include "host/data/dataset/DataSet.h"

#include <deque>
#include <string>
#include <vector>

namespace vorn {

// The records a data grid shows: consecutive records of the dataset around its current
// one, each as the display texts of all fields, and which of them is current.
class TDBGridRecords {
public:
    int Count() const { return static_cast<int>(FRecords.size()); }
    // The index of the current record; -1 when there are no records.
    int Active() const { return FRecords.empty() ? -1 : FActive; }
    // The text of field FieldIndex in record Record; empty for a field the record lacks.
    std::string Text(int Record, int FieldIndex) const;
    void Clear();

    // Reads up to Capacity records around the dataset's current record, the current one
    // at index PreferredActive where the records before it allow, and the window filled
    // from the other side where the dataset ends. The dataset does not move
    // (TDataSet::ReadRecordWindow): no scroll event fires and its links are told nothing.
    void Read(TDataSet& DataSet, int Capacity, int PreferredActive);

    // Follows a move of the dataset without reading: true when the new current record is
    // one of the records held, or the next (previous) one after a step of one record off
    // the end (start) of a full window; false when the window must be read anew.
    bool Follow(const TDataSet& DataSet, int Distance, int Capacity);

private:
    struct TRecord {
        TBookmark Bookmark;
        std::vector<std::string> Texts;
    };

    static TRecord ReadCurrent(const TDataSet& DataSet);

    std::deque<TRecord> FRecords;
    int FActive = 0;
};

} // namespace vorn
