// The VornDataDesign package unit: the design-only package that adds the title-mask
// editor to the form designer. Its entry points have the same names as every package's;
// the designer finds them in this module itself.

#include "Source/VornData.h"
#include "design/DBGridTitleSort_Design.h"
#include "host/components/Version.h"

namespace vorn {

namespace {

constexpr const char* RequiredPackages[] = {"VornData", "VCLDB40", "vcl40"};

constexpr TPackageUnit ContainedUnits[] = {
    {"VornDataDesign", nullptr},
    {"DBGridTitleSort_Design", &dbgridtitlesort_design::Register},
    {"SysInit", nullptr},
};

// The runtime units this package uses are entered through the runtime package's counted
// entries, so their sections run once however many packages use them.
constexpr TPackageInitEntry InitTable[] = {
    {"Vorn_shared", &vorn_shared::InitializeUnit, &vorn_shared::FinalizeUnit},
    {"DBGridTitleSort", &dbgridtitlesort::InitializeUnit, &dbgridtitlesort::FinalizeUnit},
    {"DBGridTitleSort_Design", &dbgridtitlesort_design::InitializeUnit,
     &dbgridtitlesort_design::FinalizeUnit},
};

constexpr TPackageInfoTable PackageInfo = MakePackageInfoTable(
    "VornDataDesign", "Vorn data components: designer support (title mask editor)",
    pfNeverBuild | pfDesignOnly | pfModule, RequiredPackages, ContainedUnits, InitTable,
    {{1, 0, 0, 0}, VornVersion, "040904E4"});

} // namespace

} // namespace vorn

extern "C" {

void Initialize() {
    vorn::InitializePackageUnits(vorn::PackageInfo.InitTable, vorn::PackageInfo.InitCount);
}

void Finalize() {
    vorn::FinalizePackageUnits(vorn::PackageInfo.InitTable, vorn::PackageInfo.InitCount);
}

const vorn::TPackageInfoTable* GetPackageInfoTable() {
    return &vorn::PackageInfo;
}
}
