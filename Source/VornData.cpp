#include "Source/VornData.h"

#include "Source/DBFieldComboBox.h"
#include "Source/DBGridTitleSort.h"
#include "Source/DBLocateEdit.h"
#include "Source/DBSortComboBox.h"
#include "host/components/Version.h"

namespace vorn {

namespace {

constexpr const char* RequiredPackages[] = {"VCLDB40", "vcl40"};

constexpr TPackageUnit ContainedUnits[] = {
    {"VornData", nullptr},
    {"DBSortComboBox", &dbsortcombobox::Register},
    {"Vorn_shared", nullptr},
    {"SysInit", nullptr},
    {"DBLocateEdit", &dblocateedit::Register},
    {"DBGridTitleSort", &dbgridtitlesort::Register},
    {"DBFilterGrid", &dbfiltergrid::Register},
    {"DBFieldComboBox", &dbfieldcombobox::Register},
};

constexpr TPackageInitEntry InitTable[] = {
    {"Vorn_shared", &vorn_shared::InitializeUnit, &vorn_shared::FinalizeUnit},
    {"DBLocateEdit", &dblocateedit::InitializeUnit, &dblocateedit::FinalizeUnit},
    {"DBFieldComboBox", &dbfieldcombobox::InitializeUnit, &dbfieldcombobox::FinalizeUnit},
    {"DBFilterGrid", &dbfiltergrid::InitializeUnit, &dbfiltergrid::FinalizeUnit},
    {"DBGridTitleSort", &dbgridtitlesort::InitializeUnit, &dbgridtitlesort::FinalizeUnit},
    {"DBSortComboBox", &dbsortcombobox::InitializeUnit, &dbsortcombobox::FinalizeUnit},
};

constexpr TPackageInfoTable PackageInfo = MakePackageInfoTable(
    "VornData",
    "Vorn data components: grid title sorting, filter grid, sort and field combo boxes, "
    "locate edit",
    pfNeverBuild | pfModule, RequiredPackages, ContainedUnits, InitTable,
    {{1, 0, 0, 4}, VornVersion, "040904E4"});

// The package's resources belong to the module as a whole, so they come before the first
// unit starts and go after the last one ends.
int PackageStarts = 0;

void DropRegistrations() {
    UnregisterFormClasses();
    UnregisterVornDataResources();
}

} // namespace

void InitializeVornData() {
    if (PackageStarts++ == 0) {
        try {
            RegisterVornDataResources();
            RegisterPaletteBitmaps();
            RegisterFormClasses();
        } catch (...) {
            --PackageStarts;
            DropRegistrations();
            throw;
        }
    }
    try {
        InitializePackageUnits(PackageInfo.InitTable, PackageInfo.InitCount);
    } catch (...) {
        // The units already entered were left again; only the registrations remain to drop.
        if (--PackageStarts == 0)
            DropRegistrations();
        throw;
    }
}

void FinalizeVornData() {
    if (PackageStarts == 0)
        return;
    FinalizePackageUnits(PackageInfo.InitTable, PackageInfo.InitCount);
    if (--PackageStarts == 0)
        DropRegistrations();
}

} // namespace vorn

extern "C" {

void Initialize() {
    vorn::InitializeVornData();
}

void Finalize() {
    vorn::FinalizeVornData();
}

const vorn::TPackageInfoTable* GetPackageInfoTable() {
    return &vorn::PackageInfo;
}
}
