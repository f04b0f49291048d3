#pragma once

#include "host/components/model/ScopeGuard.h"

#include <utility>

namespace vorn {

class TComponent;

// Watches a component across a call that may free it: an event handler may close the
// form, or free the very control whose event it handles. The component's destructor
// tells every guard that watches it, so code that goes on after such a call asks the
// guard before it touches the component again:
//
//     const TAliveGuard Guard(*this);
//     TWinControl::KeyDown(Key, Shift); // fires OnKeyDown
//     if (!Guard.Alive())
//         return;
//
// A guard lives on the stack for the length of one call; watching costs no allocation,
// and any number of guards may watch one component. A component that keeps a reference
// to one it does not own, and that may be freed without telling it (one on another
// form), keeps a guard beside the reference for as long as it holds it.
class TAliveGuard {
public:
    explicit TAliveGuard(const TComponent& Component);
    ~TAliveGuard();
    TAliveGuard(const TAliveGuard&) = delete;
    TAliveGuard& operator=(const TAliveGuard&) = delete;

    // Whether the watched component has not been freed since the guard was made.
    bool Alive() const { return FComponent != nullptr; }

    // Called by a component's destructor with the first of the guards that watch it.
    static void ComponentGone(TAliveGuard* First);

private:
    const TComponent* FComponent;
    TAliveGuard* FPrevious = nullptr;
    TAliveGuard* FNext = nullptr;
};

// Gives a member of a component a new value for the length of a scope and puts the old
// one back at scope exit, as TRestoreOnExit does, unless a call made meanwhile freed the
// component, and the member with it.
template <typename T>
class TRestoreWhileAlive {
public:
    TRestoreWhileAlive(const TComponent& Component, T& Member, T NewValue)
        : FAlive(Component), FRestore(Member, std::move(NewValue)) {}
    // Runs before the members are destroyed, so FRestore learns in time to leave the
    // member alone.
    ~TRestoreWhileAlive() {
        if (!FAlive.Alive())
            FRestore.Dismiss();
    }
    TRestoreWhileAlive(const TRestoreWhileAlive&) = delete;
    TRestoreWhileAlive& operator=(const TRestoreWhileAlive&) = delete;

private:
    // Made before FRestore and destroyed after it, so it watches for as long as FRestore
    // may write.
    TAliveGuard FAlive;
    TRestoreOnExit<T> FRestore;
};

} // namespace vorn
