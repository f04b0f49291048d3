#pragma once

// The customer table held in memory whole, as a grid that reads every row keeps it.

#include "bench/BareDatabase.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vorn::bench {

struct TCustomerRow {
    std::int64_t CustNo = 0;
    std::string Company;
    std::string Name;
    std::optional<std::string> City;
    std::optional<std::string> Country;
    std::optional<double> Balance;
    std::optional<std::int64_t> CreditLimit;
    std::optional<std::string> Since;
};

inline constexpr int CustomerColumnCount = 8;
inline constexpr int CustomerNameColumn = 2;

std::vector<TCustomerRow> ReadAllCustomers(TBareDatabase& Database);

// By Name, then CustNo: the order the components show for a sort by Name.
void SortByName(std::vector<TCustomerRow>& Rows);

} // namespace vorn::bench
