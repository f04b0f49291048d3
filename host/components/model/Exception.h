#pragma once

#include <exception>
#include <string>

namespace vorn {

// The general error of the library: every error a caller can cause is an
// Exception (or a descendant) whose message begins with the raising operation.
class Exception : public std::exception {
public:
    explicit Exception(std::string Message);

    const std::string& Message() const { return FMessage; }
    const char* what() const noexcept override { return FMessage.c_str(); }

private:
    std::string FMessage;
};

// A broken internal invariant, naming the source file and the line that found it.
class EAssertionFailed : public Exception {
public:
    using Exception::Exception;
};

// Integer arithmetic that left the range of its type.
class EIntOverflow : public Exception {
public:
    using Exception::Exception;
};

// An index outside a list, grid or collection.
class EListError : public Exception {
public:
    using Exception::Exception;
};

// A component operation that the component's state forbids (bad name, duplicate name).
class EComponentError : public Exception {
public:
    using Exception::Exception;
};

// A text that cannot be converted to the type asked for.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// Raises EAssertionFailed naming the source file (without its folders) and the line of the
// failed check.
[[noreturn]] void AssertionFailed(const char* Condition, const char* File, int Line);

} // namespace vorn

// Checks an internal invariant; a failure names the source file and line of the check.
#define VORN_ASSERT(Condition)                                                                     \
    do {                                                                                           \
        if (!(Condition))                                                                          \
            ::vorn::AssertionFailed(#Condition, __FILE__, __LINE__);                               \
    } while (false)
