#pragma once

#include "host/data/dataset/DataSet.h"

#include <string>
#include <vector>

namespace vorn::test {

// The values of FieldName, as text, of every record from First to the end.
std::vector<std::string> WalkForward(TDataSet& DataSet, const std::string& FieldName = "ID");
// The same read from Last back to the start, returned in first-to-last order so that it
// compares with WalkForward.
std::vector<std::string> WalkBackward(TDataSet& DataSet, const std::string& FieldName = "ID");

} // namespace vorn::test
