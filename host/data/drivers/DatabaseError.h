#pragma once

#include "host/components/model/Exception.h"

namespace vorn {

// An error of the data-access layer: a database that cannot be opened, an unknown
// table or field, a statement the database rejects, records asked of a closed dataset.
class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

} // namespace vorn
