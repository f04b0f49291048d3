#include "host/components/Exception.h"

#include <utility>

namespace vorn {

Exception::Exception(std::string Message) : FMessage(std::move(Message)) {}

void AssertionFailed(const char* Condition, const char* Unit, int Line) {
    throw EAssertionFailed(std::string("Assertion failed: ") + Condition + " (" + Unit + ", line " +
                           std::to_string(Line) + ")");
}

} // namespace vorn
