#pragma once

// The VornData package unit: the package's entry points, its make-up and the counted
// initialization entries of its units.
//
// An application that links the package calls Initialize once at start and Finalize
// before it ends; a form designer finds both, with GetPackageInfoTable, in the package's
// own module and calls each unit's Register as well.

#include "Source/VornDataResources.h"
#include "host/components/Package.h"

namespace vorn {

// The palette page of the package's components.
inline constexpr const char* VornPalettePage = "Vorn";

// Registers the palette images of the five components (24 x 24, 16 colours, named after
// the class in upper case) that are not registered yet under the package's module name.
void RegisterPaletteBitmaps();

// The counted initialization and finalization entries of the runtime units. Other
// packages that use a unit enter it through these, so each section runs once.
namespace vorn_shared {
void InitializeUnit();
void FinalizeUnit();
} // namespace vorn_shared

namespace dblocateedit {
void InitializeUnit();
void FinalizeUnit();
} // namespace dblocateedit

namespace dbfieldcombobox {
void InitializeUnit();
void FinalizeUnit();
} // namespace dbfieldcombobox

namespace dbfiltergrid {
void InitializeUnit();
void FinalizeUnit();
// Puts TDBFilterGrid on the palette page "Vorn"; its in-cell editors stay off the palette.
void Register();
} // namespace dbfiltergrid

namespace dbgridtitlesort {
void InitializeUnit();
void FinalizeUnit();
} // namespace dbgridtitlesort

namespace dbsortcombobox {
void InitializeUnit();
void FinalizeUnit();
} // namespace dbsortcombobox

} // namespace vorn

extern "C" {
// Registers the package's resources and runs the units' initialization sections.
void Initialize();
// Runs the finalization sections in reverse order and drops the package's resources.
void Finalize();
const vorn::TPackageInfoTable* GetPackageInfoTable();
}
