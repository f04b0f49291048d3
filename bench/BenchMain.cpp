// The benchmarks at scale: the components on the sample database at 10,000 and
// 1,000,000 customers on SQLite and at 1,000,000 on PostgreSQL (when VORN_PG_CONNINFO
// names a server), the references in the same run, then the summary. Exits 0 when the
// run completed, whether or not each target was met; the summary says which were.

#include "bench/BenchDatabases.h"
#include "bench/BenchRegistry.h"
#include "bench/BenchSummary.h"

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace {

using namespace vorn::bench;

constexpr int SmallTable = 10'000;
constexpr int LargeTable = 1'000'000;

// VORN_BENCH_PG_REUSE=1 keeps the server's sample tables from an earlier run.
bool ReusePostgresTables() {
    const char* Reuse = std::getenv("VORN_BENCH_PG_REUSE");
    return Reuse != nullptr && std::string(Reuse) == "1";
}

std::vector<TBenchDatabase> PrepareDatabases() {
    std::vector<TBenchDatabase> Databases;
    Databases.push_back(PrepareSQLiteSample(SmallTable, true));
    Databases.push_back(PrepareSQLiteSample(LargeTable, true));
    const char* ConnInfo = std::getenv("VORN_PG_CONNINFO");
    if (ConnInfo != nullptr && *ConnInfo != '\0')
        Databases.push_back(PreparePostgresSample(ConnInfo, LargeTable, !ReusePostgresTables()));
    else
        std::printf("VORN_PG_CONNINFO is not set: no PostgreSQL figures\n");
    return Databases;
}

} // namespace

int main(int ArgumentCount, char** Arguments) {
    benchmark::Initialize(&ArgumentCount, Arguments);
    if (benchmark::ReportUnrecognizedArguments(ArgumentCount, Arguments))
        return 2;
    std::vector<std::string> LargeLabels;
    try {
        for (const TBenchDatabase& Database : PrepareDatabases()) {
            RegisterComponentBenchmarks(Database);
            RegisterReferenceBenchmarks(Database);
            RegisterQtProxyBenchmark(Database);
            if (Database.Customers == LargeTable)
                LargeLabels.push_back(Database.Label);
        }
        RegisterShapeBenchmarks(PrepareShapeDatabase());
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "cannot prepare the benchmark databases: %s\n", Error.what());
        return 1;
    }
    TSummaryReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    benchmark::Shutdown();
    PrintSummary(Reporter.Seconds(), RatioTargets("sqlite-" + SizeLabel(SmallTable),
                                                  "sqlite-" + SizeLabel(LargeTable), LargeLabels));
    return Reporter.Failures() == 0 ? 0 : 1;
}
