// Guards that undo a change to a variable when the scope that made it ends.
#pragma once

#include <type_traits>
#include <utility>

namespace vorn {

// Puts a variable back to the value it had when the guard was made, when the guard goes
// out of scope: at a return, at the end of the block, or while an exception passes. For
// flags and settings that a call changes for its own length:
//
//     const TRestoreOnExit<bool> Sorting(FSorting, true);
//
// Restoring is a plain assignment of a value that cannot throw, so the destructor never
// throws.
template <typename T>
class TRestoreOnExit {
    static_assert(std::is_nothrow_move_assignable_v<T>,
                  "restoring must not throw: it runs while an exception may pass");

public:
    explicit TRestoreOnExit(T& Variable) : FVariable(&Variable), FSaved(Variable) {}
    // Saves the variable, then gives it NewValue.
    TRestoreOnExit(T& Variable, T NewValue) : TRestoreOnExit(Variable) {
        Variable = std::move(NewValue);
    }
    ~TRestoreOnExit() noexcept {
        if (FVariable != nullptr)
            *FVariable = std::move(FSaved);
    }
    TRestoreOnExit(const TRestoreOnExit&) = delete;
    TRestoreOnExit& operator=(const TRestoreOnExit&) = delete;

    // Leaves the variable as it will be at scope exit: for a variable that is gone by then.
    void Dismiss() noexcept { FVariable = nullptr; }

private:
    T* FVariable;
    T FSaved;
};

// Counts one more for as long as the guard lives: a depth of nested calls, a number of
// open scopes. The counter goes down by one when the guard goes out of scope, whatever
// other guards did to it meanwhile.
template <typename T>
class TCountInScope {
    static_assert(std::is_integral_v<T>, "a counter is an integer");

public:
    explicit TCountInScope(T& Counter) : FCounter(Counter) { ++FCounter; }
    ~TCountInScope() noexcept { --FCounter; }
    TCountInScope(const TCountInScope&) = delete;
    TCountInScope& operator=(const TCountInScope&) = delete;

private:
    T& FCounter;
};

} // namespace vorn
