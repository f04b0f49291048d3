#include "host/data/sql/SqlSyntaxError.h"

namespace vorn {

ESqlSyntaxError::ESqlSyntaxError(const std::string& What, std::size_t Position)
    : EDatabaseError(What + " at position " + std::to_string(Position) + "."), FPosition(Position) {
}

} // namespace vorn
