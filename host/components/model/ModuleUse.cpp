#include "host/components/model/ModuleUse.h"

#include "host/components/model/AliveGuard.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace vorn {

namespace {

struct TTrackedInstance {
    std::string Module;
    std::unique_ptr<TAliveGuard> Alive;
};

struct TModuleUses {
    std::mutex Lock;
    std::map<std::string, int> Held;
    // Freed instances are dropped as new ones come.
    std::vector<TTrackedInstance> Instances;
};

// Never freed: uses end as late as the objects that hold them, which may be freed after
// this file's static objects (an editor held by a static).
TModuleUses& Uses() {
    static TModuleUses& Instance = *new TModuleUses;
    return Instance;
}

} // namespace

TModuleUse::TModuleUse(std::string Module) : FModule(std::move(Module)) {
    if (FModule.empty())
        return;
    TModuleUses& U = Uses();
    std::lock_guard Guard(U.Lock);
    ++U.Held[FModule];
}

TModuleUse::~TModuleUse() {
    if (FModule.empty())
        return;
    TModuleUses& U = Uses();
    std::lock_guard Guard(U.Lock);
    if (--U.Held[FModule] == 0)
        U.Held.erase(FModule);
}

void TrackModuleInstance(const std::string& Module, const TComponent& Instance) {
    if (Module.empty())
        return;
    TModuleUses& U = Uses();
    std::lock_guard Guard(U.Lock);
    std::erase_if(U.Instances,
                  [](const TTrackedInstance& Tracked) { return !Tracked.Alive->Alive(); });
    U.Instances.push_back({Module, std::make_unique<TAliveGuard>(Instance)});
}

int ModuleUseCount(const std::string& Module) {
    TModuleUses& U = Uses();
    std::lock_guard Guard(U.Lock);
    const auto Held = U.Held.find(Module);
    const auto Alive =
        std::count_if(U.Instances.begin(), U.Instances.end(), [&](const TTrackedInstance& Tracked) {
            return Tracked.Module == Module && Tracked.Alive->Alive();
        });
    return (Held != U.Held.end() ? Held->second : 0) + static_cast<int>(Alive);
}

} // namespace vorn
