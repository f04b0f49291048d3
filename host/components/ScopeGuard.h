// Guards that undo a change to a variable when the scope that made it ends.
#pragma once

#include <type_traits>
#include <utility>

namespace vorn {

// Gives a variable a value for the rest of a scope and puts its old value back when the
// scope ends, however it ends (a return or an exception).
template <typename T>
class TRestoreOnExit {
    static_assert(std::is_nothrow_move_assignable_v<T>,
                  "restoring the old value must not throw from a destructor");

public:
    explicit TRestoreOnExit(T& Variable) : FVariable(Variable), FOld(Variable) {}
    TRestoreOnExit(T& Variable, T Value) : FVariable(Variable), FOld(Variable) {
        FVariable = std::move(Value);
    }
    ~TRestoreOnExit() noexcept { FVariable = std::move(FOld); }

    TRestoreOnExit(const TRestoreOnExit&) = delete;
    TRestoreOnExit& operator=(const TRestoreOnExit&) = delete;

private:
    T& FVariable;
    T FOld;
};

} // namespace vorn
