#include "bench/CustomerRows.h"

#include <algorithm>
#include <stdexcept>

namespace vorn::bench {

namespace {

const std::string& Required(const std::optional<std::string>& Value) {
    if (!Value)
        throw std::runtime_error("a customer row lacks a required value");
    return *Value;
}

template <typename T, typename Convert>
std::optional<T> Optional(const std::optional<std::string>& Value, Convert ConvertText) {
    if (!Value)
        return std::nullopt;
    return ConvertText(*Value);
}

} // namespace

std::vector<TCustomerRow> ReadAllCustomers(TBareDatabase& Database) {
    std::vector<TCustomerRow> Rows;
    Database.Query("SELECT \"CustNo\", \"Company\", \"Name\", \"City\", \"Country\", \"Balance\", "
                   "\"CreditLimit\", \"Since\" FROM customer",
                   {}, [&Rows](const TBareRow& Row) {
                       TCustomerRow Customer;
                       Customer.CustNo = std::stoll(Required(Row[0]));
                       Customer.Company = Required(Row[1]);
                       Customer.Name = Required(Row[2]);
                       Customer.City = Row[3];
                       Customer.Country = Row[4];
                       Customer.Balance = Optional<double>(
                           Row[5], [](const std::string& Text) { return std::stod(Text); });
                       Customer.CreditLimit = Optional<std::int64_t>(
                           Row[6], [](const std::string& Text) { return std::stoll(Text); });
                       Customer.Since = Row[7];
                       Rows.push_back(std::move(Customer));
                   });
    return Rows;
}

void SortByName(std::vector<TCustomerRow>& Rows) {
    std::sort(Rows.begin(), Rows.end(), [](const TCustomerRow& Left, const TCustomerRow& Right) {
        if (Left.Name != Right.Name)
            return Left.Name < Right.Name;
        return Left.CustNo < Right.CustNo;
    });
}

} // namespace vorn::bench
