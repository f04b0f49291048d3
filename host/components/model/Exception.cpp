#include "host/components/model/Exception.h"

#include <cstddef>
#include <string_view>
#include <utility>

namespace vorn {

Exception::Exception(std::string Message) : FMessage(std::move(Message)) {}

void AssertionFailed(const char* Condition, const char* File, int Line) {
    // The compiler names the file as it was given on its command line; the message keeps only
    // the file's own name, so that it does not depend on where the source tree lies.
    const std::string_view Path(File);
    const std::size_t Separator = Path.find_last_of("/\\");
    const std::string_view Name =
        Separator == std::string_view::npos ? Path : Path.substr(Separator + 1);
    throw EAssertionFailed(std::string("Assertion failed: ") + Condition + " (" +
                           std::string(Name) + ", line " + std::to_string(Line) + ")");
}

} // namespace vorn
