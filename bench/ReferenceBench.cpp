// What the components are measured against: a grid that reads every row into memory and
// sorts and searches there, and the database's own statements for the same results,
// run bare on the driver without any layer between.

#include "bench/BenchRegistry.h"
#include "bench/CustomerRows.h"

#include "host/components/text/AsciiText.h"

#include <algorithm>

namespace vorn::bench {

namespace {

constexpr int LargeTable = 1'000'000;

void NaiveRead(benchmark::State& State, const TBenchDatabase& Database) {
    const auto Bare = Database.OpenBare();
    for (auto _ : State)
        benchmark::DoNotOptimize(ReadAllCustomers(*Bare).size());
}

void NaiveReadSort(benchmark::State& State, const TBenchDatabase& Database) {
    const auto Bare = Database.OpenBare();
    for (auto _ : State) {
        std::vector<TCustomerRow> Rows = ReadAllCustomers(*Bare);
        SortByName(Rows);
        benchmark::DoNotOptimize(Rows.front().CustNo);
    }
}

// The naive Locate: read, sort, then scan for the first case-insensitive prefix match.
void NaiveReadSortScan(benchmark::State& State, const TBenchDatabase& Database) {
    const auto Bare = Database.OpenBare();
    const std::vector<std::string> Keys = LocateKeys(*Bare, Database.Customers);
    std::size_t Next = 0;
    for (auto _ : State) {
        const std::string Key = UpperCaseAscii(Keys[Next]);
        Next = (Next + 1) % Keys.size();
        std::vector<TCustomerRow> Rows = ReadAllCustomers(*Bare);
        SortByName(Rows);
        const auto Found = std::find_if(Rows.begin(), Rows.end(), [&Key](const TCustomerRow& Row) {
            return UpperCaseAscii(Row.Name.substr(0, Key.size())) == Key;
        });
        if (Found == Rows.end()) {
            State.SkipWithError(("the scan did not find " + Key).c_str());
            break;
        }
    }
}

// The database's case-insensitive prefix search for the first record in Name order. Both
// sides are folded by the server, which may fold letters beyond ASCII (MariaDB does): a key
// such as "đorđe la" then meets its name however the server folds it.
void BareLike(benchmark::State& State, const TBenchDatabase& Database) {
    const auto Bare = Database.OpenBare();
    const std::vector<std::string> Keys = LocateKeys(*Bare, Database.Customers);
    const std::string Sql = "SELECT * FROM customer WHERE upper(\"Name\") LIKE upper(" +
                            Bare->Placeholder(1) + ") ORDER BY \"Name\", \"CustNo\" LIMIT 1";
    std::size_t Next = 0;
    for (auto _ : State) {
        const std::string Pattern = UpperCaseAscii(Keys[Next]) + "%";
        Next = (Next + 1) % Keys.size();
        int Found = 0;
        Bare->Query(Sql, {Pattern}, [&Found](const TBareRow&) { ++Found; });
        if (Found != 1) {
            State.SkipWithError(("the query did not find " + Pattern).c_str());
            break;
        }
    }
}

void BareDistinct(benchmark::State& State, const TBenchDatabase& Database,
                  const std::string& TableName, const std::string& FieldName) {
    const auto Bare = Database.OpenBare();
    const std::string Field = "\"" + FieldName + "\"";
    const std::string Sql =
        "SELECT DISTINCT " + Field + " FROM " + TableName + " ORDER BY " + Field;
    for (auto _ : State) {
        std::vector<std::string> Values;
        Bare->Query(Sql, {},
                    [&Values](const TBareRow& Row) { Values.push_back(Row[0].value_or("")); });
        benchmark::DoNotOptimize(Values.size());
    }
}

void Register(const std::string& Figure, const TBenchDatabase& Database,
              std::function<void(benchmark::State&)> Body, bool Slow) {
    auto* Benchmark = RegisterGuarded(Figure + "/" + Database.Label, std::move(Body))
                          ->Unit(benchmark::kMillisecond);
    // Seconds per run at the large size: a few runs say enough.
    if (Slow && Database.Customers >= LargeTable)
        Benchmark->Iterations(2);
}

} // namespace

void RegisterReferenceBenchmarks(const TBenchDatabase& Database) {
    const auto With = [&Database](void (*Function)(benchmark::State&, const TBenchDatabase&)) {
        return [Function, Database](benchmark::State& State) { Function(State, Database); };
    };
    Register("NaiveRead", Database, With(&NaiveRead), true);
    Register("NaiveReadSort", Database, With(&NaiveReadSort), true);
    Register("NaiveReadSortScan", Database, With(&NaiveReadSortScan), true);
    Register("BareLike", Database, With(&BareLike), false);
    const std::pair<const char*, const char*> DistinctFields[] = {
        {"customer", "Name"}, {"customer", "City"}, {"orders", "ShipCity"}};
    for (const auto& [TableName, FieldName] : DistinctFields)
        Register(
            std::string("BareDistinct") + FieldName, Database,
            [Database, TableName, FieldName](benchmark::State& State) {
                BareDistinct(State, Database, TableName, FieldName);
            },
            false);
}

} // namespace vorn::bench
