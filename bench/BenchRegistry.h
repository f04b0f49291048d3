#pragma once

// The benchmark groups. Each registers its benchmarks as "<figure>/<database label>".

#include "bench/BenchDatabases.h"

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

namespace vorn::bench {

// The components on the customer table (and the orders table for a value list of a
// field without index); with Only, just the figures it names.
void RegisterComponentBenchmarks(const TBenchDatabase& Database,
                                 const std::vector<std::string>* Only = nullptr);
// The 50-column grid and the table of 30 indexes of the shape database.
void RegisterShapeBenchmarks(const std::string& ShapeAlias);
// The naive grid (every row read into memory, sorted and searched there) and the
// database's own statements, run bare.
void RegisterReferenceBenchmarks(const TBenchDatabase& Database);
// A sort proxy model over a table model holding every customer row.
void RegisterQtProxyBenchmark(const TBenchDatabase& Database);

// Registers Body under Name; an exception that escapes it marks the run as failed with
// its message instead of ending the program.
benchmark::internal::Benchmark* RegisterGuarded(const std::string& Name,
                                                std::function<void(benchmark::State&)> Body);

} // namespace vorn::bench
