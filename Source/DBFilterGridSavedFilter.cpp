#include "Source/DBFilterGrid.h"

namespace vorn {

// Interim: replaced by saved filters.
std::string TDBFilterGrid::FilterRows() const {
    return std::string();
}

void TDBFilterGrid::SetFilterRows(const std::string&) {
    throw Exception("TDBFilterGrid.SetFilterRows() Saved filters are not built yet.");
}

} // namespace vorn
