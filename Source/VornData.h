#pragma once

// The VornData package unit: the package's entry points, its make-up and the counted
// initialization entries of its units.
//
// An application that links the package starts it once (vorn::TVornDataPackage, or
// vorn::InitializeVornData and vorn::FinalizeVornData); from then on a form file may name
// every host class and component. A form designer finds the C entry points Initialize,
// Finalize and GetPackageInfoTable in the package's own module and calls each unit's
// Register as well.

#include "Source/VornDataResources.h"
#include "host/components/model/Package.h"

#include <vector>

namespace vorn {

class TClass;

// The palette page of the package's components.
inline constexpr const char* VornPalettePage = "Vorn";

// Starts the package: registers its resources and the classes a form file may name (the
// host's form and data classes and the five components, each unless it is registered
// already), and runs the units' initialization sections. Starts are counted: only the
// first does the registering.
void InitializeVornData();
// Ends one start; the last runs the finalization sections in reverse order and drops the
// package's resources and the component classes it registered. Without a start it does
// nothing.
void FinalizeVornData();

// Starts the package for as long as it lives.
class TVornDataPackage {
public:
    TVornDataPackage() { InitializeVornData(); }
    ~TVornDataPackage() { FinalizeVornData(); }
    TVornDataPackage(const TVornDataPackage&) = delete;
    TVornDataPackage& operator=(const TVornDataPackage&) = delete;
};

// The five component classes, in palette order.
std::vector<const TClass*> VornDataComponentClasses();
// Registers what a form file may name (see InitializeVornData); the host classes stay
// registered after UnregisterFormClasses, since they belong to the host libraries.
void RegisterFormClasses();
// Unregisters the component classes that RegisterFormClasses registered.
void UnregisterFormClasses();

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

// The package entry points that every package exports under the same C names, so that a
// form designer finds them with dlsym in the package's own module (the designer's other
// packages have their own). They are InitializeVornData and FinalizeVornData.
extern "C" {
void Initialize();
void Finalize();
const vorn::TPackageInfoTable* GetPackageInfoTable();
}
