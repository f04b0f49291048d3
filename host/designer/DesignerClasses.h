#pragma once

namespace vorn {

// The module that the data-access framework's creatable classes are registered for.
inline constexpr const char* HostDataClassesModule = "VornHostData";

// Registers the host classes a designed form may hold: the component framework's
// (RegisterHostClasses) and the data-access framework's TDataSource, TTable, TQuery and
// TDBGrid. Calling it again does nothing.
void RegisterDesignerHostClasses();

} // namespace vorn
