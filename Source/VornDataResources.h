#pragma once

// The resources that the VornData package carries: they are registered under the
// package's module name when the package is initialised and dropped when it is
// finalised.

#include <cstdint>
#include <vector>

namespace vorn {

// The module name under which the package's resources are found.
inline constexpr const char* VornDataModuleName = "VornData";

// Registers every resource of the package that is not registered yet, so that a
// second initialisation does no harm.
void RegisterVornDataResources();
// Drops every resource of the package.
void UnregisterVornDataResources();

// The BMP data (without file header) of the "DELETEFILTERROW" bitmap resource.
std::vector<std::uint8_t> DeleteFilterRowBitmapBytes();

} // namespace vorn
