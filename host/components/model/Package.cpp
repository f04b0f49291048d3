#include "host/components/model/Package.h"

#include <algorithm>
#include <map>
#include <mutex>

namespace vorn {

namespace {

struct TUnitRecord {
    std::mutex Lock;
    std::vector<std::string> Initialized;
    std::map<std::string, int> InitializationRuns;
    std::map<std::string, int> FinalizationRuns;
};

TUnitRecord& Record() {
    static TUnitRecord Instance;
    return Instance;
}

void NoteInitialized(const std::string& Unit) {
    TUnitRecord& R = Record();
    std::lock_guard Guard(R.Lock);
    R.Initialized.push_back(Unit);
    ++R.InitializationRuns[Unit];
}

void NoteFinalized(const std::string& Unit) {
    TUnitRecord& R = Record();
    std::lock_guard Guard(R.Lock);
    auto Last = std::find(R.Initialized.rbegin(), R.Initialized.rend(), Unit);
    if (Last != R.Initialized.rend())
        R.Initialized.erase(std::next(Last).base());
    ++R.FinalizationRuns[Unit];
}

} // namespace

void TUnitSection::Enter() {
    if (++FCount != 1)
        return;
    try {
        if (FInitialization)
            FInitialization();
    } catch (...) {
        FCount = 0;
        throw;
    }
    NoteInitialized(FUnitName);
}

void TUnitSection::Leave() {
    if (FCount == 0 || --FCount != 0)
        return;
    // A finalization that raises still counts as run: the unit is gone either way.
    NoteFinalized(FUnitName);
    if (FFinalization)
        FFinalization();
}

void InitializePackageUnits(const TPackageInitEntry* Table, int Count) {
    int Entered = 0;
    try {
        for (; Entered < Count; ++Entered)
            Table[Entered].Initialization();
    } catch (...) {
        while (Entered > 0)
            Table[--Entered].Finalization();
        throw;
    }
}

void FinalizePackageUnits(const TPackageInitEntry* Table, int Count) {
    for (int Index = Count - 1; Index >= 0; --Index)
        Table[Index].Finalization();
}

std::vector<std::string> InitializedUnits() {
    TUnitRecord& R = Record();
    std::lock_guard Guard(R.Lock);
    return R.Initialized;
}

int UnitInitializationRuns(const std::string& Unit) {
    TUnitRecord& R = Record();
    std::lock_guard Guard(R.Lock);
    auto Found = R.InitializationRuns.find(Unit);
    return Found == R.InitializationRuns.end() ? 0 : Found->second;
}

int UnitFinalizationRuns(const std::string& Unit) {
    TUnitRecord& R = Record();
    std::lock_guard Guard(R.Lock);
    auto Found = R.FinalizationRuns.find(Unit);
    return Found == R.FinalizationRuns.end() ? 0 : Found->second;
}

} // namespace vorn
