#pragma once

#include "host/data/dataset/DataClasses.h"

namespace vorn {

// Registers the host classes a designed form may hold: the component framework's
// (RegisterHostClasses) and the data-access framework's (DataClasses). Calling it again
// does nothing.
void RegisterDesignerHostClasses();

} // namespace vorn
