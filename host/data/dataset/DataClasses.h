#pragma once

#include "host/components/model/Component.h"

#include <vector>

namespace vorn {

// The module that the data-access framework's creatable classes are registered for.
inline constexpr const char* HostDataClassesModule = "VornHostData";

// The data-access framework's creatable classes that form files may name: TDataSource,
// TTable, TQuery and TDBGrid.
std::vector<const TClass*> DataClasses();

} // namespace vorn
