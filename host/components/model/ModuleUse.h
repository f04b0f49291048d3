#pragma once

// What a loaded module's code still serves: components made through a class that the
// module registered, and objects that hold a use of it (a property editor of one of its
// registrations). A package loader refuses to unload a module in use, as unloading would
// take away the code that those objects run.

#include <string>

namespace vorn {

class TComponent;

// One use of a module for as long as it lives; none for the empty name (the application).
class TModuleUse {
public:
    explicit TModuleUse(std::string Module);
    ~TModuleUse();
    TModuleUse(const TModuleUse&) = delete;
    TModuleUse& operator=(const TModuleUse&) = delete;

private:
    std::string FModule;
};

// Counts Instance as a use of Module until it is freed.
void TrackModuleInstance(const std::string& Module, const TComponent& Instance);

// How many uses of Module are alive.
int ModuleUseCount(const std::string& Module);

} // namespace vorn
