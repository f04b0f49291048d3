#include "host/components/graphics/Resources.h"

#include "host/components/model/Exception.h"
#include "host/components/text/AsciiText.h"

#include <algorithm>
#include <mutex>

namespace vorn {

namespace {

struct TResource {
    std::string Module;
    std::string Name;
    std::string Type;
    std::vector<std::uint8_t> Bytes;
};

// Modules are loaded and unloaded on the user-interface thread, but a lock keeps the
// registry sound should a tool read resources from another thread.
struct TResourceRegistry {
    std::mutex Lock;
    std::vector<TResource> Resources;
};

TResourceRegistry& Registry() {
    static TResourceRegistry Instance;
    return Instance;
}

bool Matches(const TResource& Resource, const std::string& Module, const std::string& Name,
             const std::string& Type) {
    return Resource.Module == Module && SameTextAscii(Resource.Name, Name) &&
           SameTextAscii(Resource.Type, Type);
}

} // namespace

void RegisterResource(const std::string& Module, const std::string& Name, const std::string& Type,
                      std::vector<std::uint8_t> Bytes) {
    if (Module.empty() || Name.empty() || Type.empty())
        throw Exception("RegisterResource() Module, resource name and type must not be empty");
    TResourceRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    const bool Exists =
        std::any_of(R.Resources.begin(), R.Resources.end(), [&](const TResource& Resource) {
            return Matches(Resource, Module, Name, Type);
        });
    if (Exists)
        throw Exception("RegisterResource() Module " + Module + " already has a " + Type +
                        " resource named " + Name);
    R.Resources.push_back(TResource{Module, Name, Type, std::move(Bytes)});
}

void UnregisterModuleResources(const std::string& Module) {
    TResourceRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    std::erase_if(R.Resources,
                  [&](const TResource& Resource) { return Resource.Module == Module; });
}

std::optional<std::vector<std::uint8_t>>
FindResource(const std::string& Module, const std::string& Name, const std::string& Type) {
    TResourceRegistry& R = Registry();
    std::lock_guard Guard(R.Lock);
    for (const TResource& Resource : R.Resources)
        if (Matches(Resource, Module, Name, Type))
            return Resource.Bytes;
    return std::nullopt;
}

} // namespace vorn
