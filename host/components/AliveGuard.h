#pragma once

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

} // namespace vorn
