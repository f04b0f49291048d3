#pragma once

// What a package (a shared library of components that a host loads at run time) tells
// its host about itself, and the per-unit initialization counters of its units.
//
// The structures are plain C data because the host reaches them through a C entry point
// (GetPackageInfoTable) found by name in the package's own module.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

// Package flags, as bits of TPackageInfoTable::Flags.
inline constexpr std::uint32_t pfNeverBuild = 1u << 0; // never rebuilt implicitly
inline constexpr std::uint32_t pfDesignOnly = 1u << 1; // loaded by a form designer only
inline constexpr std::uint32_t pfRunOnly = 1u << 2;    // never loaded by a form designer
inline constexpr std::uint32_t pfModule = 1u << 3;     // a package module (not a program)

extern "C" {

// A unit contained in the package, in the order the package lists them. Register is the
// unit's registration procedure, or null for a unit that registers nothing.
struct TPackageUnit {
    const char* Name;
    void (*Register)();
};

// One unit's initialization and finalization entries, in initialization order. The
// entries are counted: the unit's sections run once however many packages enter them.
struct TPackageInitEntry {
    const char* Name;
    void (*Initialization)();
    void (*Finalization)();
};

struct TPackageVersion {
    std::uint16_t FileVersion[4];
    const char* ProductVersion;
    // Language and code page as eight hexadecimal digits ("040904E4").
    const char* Language;
};

struct TPackageInfoTable {
    const char* Name;
    const char* Description;
    std::uint32_t Flags;
    const char* const* Requires;
    int RequiresCount;
    const TPackageUnit* Units;
    int UnitCount;
    const TPackageInitEntry* InitTable;
    int InitCount;
    TPackageVersion Version;
};

// The resources of a language resource module (see the package loader).
struct TResourceModuleEntry {
    const char* Name;
    const char* Type;
    const std::uint8_t* Bytes;
    std::size_t Size;
};

struct TResourceModuleTable {
    const TResourceModuleEntry* Resources;
    int Count;
};

} // extern "C"

// The initialization counter of one unit. It is constant-initialised, so nothing runs
// before the package's Initialize entry calls Enter.
class TUnitSection {
public:
    constexpr TUnitSection(const char* UnitName, void (*Initialization)(), void (*Finalization)())
        : FUnitName(UnitName), FInitialization(Initialization), FFinalization(Finalization) {}

    // Runs the initialization section when the counter goes from 0 to 1. A section that
    // raises leaves the counter at 0, so a later attempt runs it again.
    void Enter();
    // Runs the finalization section when the counter returns to 0; an extra Leave is ignored.
    void Leave();
    int Count() const { return FCount; }

private:
    const char* FUnitName;
    void (*FInitialization)();
    void (*FFinalization)();
    int FCount = 0;
};

// A package's information table over its constant arrays, each count taken from its array
// so that a list and its length cannot disagree.
template <std::size_t RequiresCount, std::size_t UnitCount, std::size_t InitCount>
constexpr TPackageInfoTable
MakePackageInfoTable(const char* Name, const char* Description, std::uint32_t Flags,
                     const char* const (&Requires)[RequiresCount],
                     const TPackageUnit (&Units)[UnitCount],
                     const TPackageInitEntry (&InitTable)[InitCount], TPackageVersion Version) {
    return {Name,
            Description,
            Flags,
            Requires,
            static_cast<int>(RequiresCount),
            Units,
            static_cast<int>(UnitCount),
            InitTable,
            static_cast<int>(InitCount),
            Version};
}

// Enters every unit of Table in order; when one raises, the units already entered are
// left again in reverse order and the exception propagates.
void InitializePackageUnits(const TPackageInitEntry* Table, int Count);
// Leaves every unit of Table in reverse order.
void FinalizePackageUnits(const TPackageInitEntry* Table, int Count);

// The host keeps a record of unit sections run in this process, so that tools and tests
// can see what a package's start-up did.
// The units whose initialization ran and whose finalization has not, in order.
std::vector<std::string> InitializedUnits();
// How many times the unit's initialization (or finalization) section ran.
int UnitInitializationRuns(const std::string& Unit);
int UnitFinalizationRuns(const std::string& Unit);

} // namespace vorn
