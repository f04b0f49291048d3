#include "Source/DBFilterGrid.h"

namespace vorn {

// Interim: replaced by the parameterised condition.
TParameterizedFilter TDBFilterGrid::GetParameterizedFilter(TSqlBackend) {
    throw Exception("TDBFilterGrid.GetParameterizedFilter() Not built yet.");
}

} // namespace vorn
