#pragma once

#include "host/components/model/Exception.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

// A resource that no loaded module has registered.
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

// The resource type of bitmaps: device-independent bitmap data without a file header.
inline constexpr const char* RT_BITMAP = "BITMAP";

// The process's named resources. A library module registers the resources it carries
// under its own module name when it is initialised and unregisters them when it is
// unloaded. Resource names and types are matched with ASCII letter case ignored; module
// names exactly.

// Raises for an empty module, name or type, and for a resource that the module has
// already registered under this name and type.
void RegisterResource(const std::string& Module, const std::string& Name, const std::string& Type,
                      std::vector<std::uint8_t> Bytes);
// Forgets every resource of Module; a module without resources is no error.
void UnregisterModuleResources(const std::string& Module);
// A copy of the resource's bytes, or nothing when Module has no such resource.
std::optional<std::vector<std::uint8_t>>
FindResource(const std::string& Module, const std::string& Name, const std::string& Type);

} // namespace vorn
