#include "host/components/model/AliveGuard.h"

#include "host/components/model/Component.h"

namespace vorn {

// The guards of a component form a doubly linked list whose head the component holds,
// so that a guard leaves it in any order, not only the reverse of its making.
TAliveGuard::TAliveGuard(const TComponent& Component) : FComponent(&Component) {
    FNext = Component.FAliveGuards;
    if (FNext != nullptr)
        FNext->FPrevious = this;
    Component.FAliveGuards = this;
}

TAliveGuard::~TAliveGuard() {
    if (FComponent == nullptr)
        return;
    if (FPrevious != nullptr)
        FPrevious->FNext = FNext;
    else
        FComponent->FAliveGuards = FNext;
    if (FNext != nullptr)
        FNext->FPrevious = FPrevious;
}

void TAliveGuard::ComponentGone(TAliveGuard* First) {
    for (TAliveGuard* Guard = First; Guard != nullptr;) {
        TAliveGuard* Next = Guard->FNext;
        Guard->FComponent = nullptr;
        Guard->FPrevious = nullptr;
        Guard->FNext = nullptr;
        Guard = Next;
    }
}

} // namespace vorn
