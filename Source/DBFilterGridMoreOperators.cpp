#include "Source/DBFilterGrid.h"

namespace vorn {

// Interim: replaced by the more operators.
TFilterMoreOperatorIndexes TDBFilterGrid::ApplicableMoreOperators(const std::string&) const {
    return {};
}

TDBFilterGrid::TRowOperator TDBFilterGrid::GetRowOperator(int Row,
                                                          const std::string& FieldName) const {
    return {GetOpCell(Row, FieldName), std::nullopt};
}

std::string TDBFilterGrid::ComposeMoreOperator(TFilterMoreOperatorIndex, const std::string&,
                                               const std::string&, int) const {
    throw Exception("TDBFilterGrid.GetFilterExpression() More operators are not built yet.");
}

} // namespace vorn
