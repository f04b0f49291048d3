#include "DataSetWalk.h"

namespace vorn::test {

std::vector<std::string> WalkForward(TDataSet& DataSet, const std::string& FieldName) {
    std::vector<std::string> Values;
    for (DataSet.First(); !DataSet.Eof(); DataSet.Next())
        Values.push_back(DataSet.FieldByName(FieldName)->AsString());
    return Values;
}

std::vector<std::string> WalkBackward(TDataSet& DataSet, const std::string& FieldName) {
    std::vector<std::string> Values;
    for (DataSet.Last(); !DataSet.Bof(); DataSet.Prior())
        Values.insert(Values.begin(), DataSet.FieldByName(FieldName)->AsString());
    return Values;
}

} // namespace vorn::test
