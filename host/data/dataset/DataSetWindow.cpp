#include "host/data/dataset/DataSet.h"

#include "host/data/drivers/DatabaseError.h"

namespace vorn {

TRecordWindow TDataSet::ReadRecordWindow(int Before, int After) {
    CheckActive("ReadRecordWindow");
    if (Before < 0 || After < 0)
        throw EDatabaseError(DisplayName() + ".ReadRecordWindow: cannot read " +
                             std::to_string(Before < 0 ? Before : After) + " records");
    TRecordWindow Window;
    if (!HasCurrentRow())
        return Window;
    const std::vector<TNearbyRow> Preceding =
        Before > 0 ? RowsBeside(false, Before) : std::vector<TNearbyRow>();
    const std::vector<TNearbyRow> Following =
        After > 0 ? RowsBeside(true, After) : std::vector<TNearbyRow>();
    for (auto Nearby = Preceding.rbegin(); Nearby != Preceding.rend(); ++Nearby) {
        Window.Values.push_back(ValuesOf(Nearby->Row));
        Window.Bookmarks.push_back(Nearby->Bookmark);
    }
    Window.Current = Window.Count();
    Window.Values.push_back(CurrentValues());
    Window.Bookmarks.push_back(CurrentBookmark());
    for (const TNearbyRow& Nearby : Following) {
        Window.Values.push_back(ValuesOf(Nearby.Row));
        Window.Bookmarks.push_back(Nearby.Bookmark);
    }
    return Window;
}

std::vector<TVariant> TDataSet::CurrentValues() {
    std::vector<TVariant> Values;
    Values.reserve(FFields.size());
    for (const auto& Field : FFields)
        Values.push_back(FieldValue(*Field));
    return Values;
}

// The calculated values of the current record stay cached: the row's are computed in
// their place and the current record's put back afterwards, also when OnCalcFields raises.
std::vector<TVariant> TDataSet::ValuesOf(const TRow& Row) {
    std::vector<TVariant> CurrentCalculated = std::move(FCalculatedValues);
    const bool CurrentValid = FCalculatedValid;
    const auto Restore = [&] {
        FCalculatedRow = nullptr;
        FCalculatedValues = std::move(CurrentCalculated);
        FCalculatedValid = CurrentValid;
    };
    FCalculatedRow = &Row;
    FCalculatedValid = false;
    std::vector<TVariant> Values;
    try {
        Values = CurrentValues();
    } catch (...) {
        Restore();
        throw;
    }
    Restore();
    return Values;
}

} // namespace vorn
