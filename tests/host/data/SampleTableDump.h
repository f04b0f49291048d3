#pragma once

#include <string>
#include <vector>

namespace vorn::test {

// Every record of a table in its primary key's order, read through a TTable on Alias: a
// first line with each field's name and type, then a line of values per record.
std::vector<std::string> DumpTable(const std::string& Alias, const std::string& TableName);

} // namespace vorn::test
