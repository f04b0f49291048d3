#pragma once

#include "host/data/drivers/DatabaseError.h"

#include <cstddef>
#include <string>

namespace vorn {

// A clause or statement text that the SQL translator cannot accept: malformed
// text, or a construct that the requested form does not allow. The message says
// what was wrong and where (a 1-based character position); nothing has been sent
// to a database when it is raised.
class ESqlSyntaxError : public EDatabaseError {
public:
    ESqlSyntaxError(const std::string& What, std::size_t Position);

    // 1-based character position of the offending text; one past the end for
    // text that ended too early.
    std::size_t Position() const { return FPosition; }

private:
    std::size_t FPosition;
};

} // namespace vorn
