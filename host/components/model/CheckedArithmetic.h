#pragma once

#include "host/components/model/Exception.h"

#include <concepts>

namespace vorn {

// Integer arithmetic that raises EIntOverflow instead of wrapping.
template <std::integral T>
T CheckedAdd(T A, T B) {
    T Result;
    if (__builtin_add_overflow(A, B, &Result))
        throw EIntOverflow("Integer overflow");
    return Result;
}

template <std::integral T>
T CheckedSub(T A, T B) {
    T Result;
    if (__builtin_sub_overflow(A, B, &Result))
        throw EIntOverflow("Integer overflow");
    return Result;
}

template <std::integral T>
T CheckedMul(T A, T B) {
    T Result;
    if (__builtin_mul_overflow(A, B, &Result))
        throw EIntOverflow("Integer overflow");
    return Result;
}

// Narrows a value to a smaller integer type, raising when it does not fit.
template <std::integral To, std::integral From>
To CheckedCast(From Value) {
    To Result;
    if (__builtin_add_overflow(Value, From{0}, &Result))
        throw EIntOverflow("Integer overflow");
    return Result;
}

} // namespace vorn
