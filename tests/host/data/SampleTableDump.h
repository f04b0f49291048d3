#pragma once

#include "apps/samplegen/SampleDatabase.h"

#include <string>
#include <vector>

namespace vorn::test {

// Every record of a table in its primary key's order, read through a TTable on Alias: a
// first line with each field's name and type, then a line of values per record.
std::vector<std::string> DumpTable(const std::string& Alias, const std::string& TableName);

// A sample database small enough to compare record by record between two backends.
sampledata::TSampleOptions SmallSampleOptions();

} // namespace vorn::test
