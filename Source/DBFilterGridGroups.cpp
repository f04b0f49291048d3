#include "Source/DBFilterGrid.h"

namespace vorn {

// Interim: replaced by the grouped expression.
void TDBFilterGrid::SetFilterBuilderOptions(TFilterBuilderOptions Value) {
    FFilterBuilderOptions = Value;
}

std::string TDBFilterGrid::GetBuilderExpression() {
    throw Exception("TDBFilterGrid.GetFilterExpression() Groups are not built yet.");
}

} // namespace vorn
