// The benchmarks at scale: the components on the sample database at 10,000 and
// 1,000,000 customers on SQLite and at 1,000,000 on PostgreSQL and on MariaDB (when
// VORN_PG_CONNINFO and VORN_MARIADB_CONNINFO name servers), the references in the same
// run, then the summary. With --large, the user's indexed actions alone at 10,000 and
// 10,000,000 customers on SQLite and on PostgreSQL, each backend's large figures against
// its small ones. Exits 0 when the run completed, whether or not each target was met; the
// summary says which were.

#include "bench/BenchDatabases.h"
#include "bench/BenchRegistry.h"
#include "bench/BenchSummary.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string_view>
#include <utility>

namespace {

using namespace vorn::bench;

constexpr int SmallTable = 10'000;
constexpr int LargeTable = 1'000'000;
constexpr int HugeTable = 10'000'000;

// VORN_BENCH_PG_REUSE=1 keeps the servers' samples (PostgreSQL's and MariaDB's) from an
// earlier run.
bool ReuseServerSamples() {
    const char* Reuse = std::getenv("VORN_BENCH_PG_REUSE");
    return Reuse != nullptr && std::string(Reuse) == "1";
}

// The connection string in the environment variable Name; nullptr, said on the output,
// when it is unset or empty.
const char* ServerConnInfo(const char* Name, const char* Server) {
    const char* ConnInfo = std::getenv(Name);
    if (ConnInfo != nullptr && *ConnInfo != '\0')
        return ConnInfo;
    std::printf("%s is not set: no %s figures\n", Name, Server);
    return nullptr;
}

const char* PostgresConnInfo() {
    return ServerConnInfo("VORN_PG_CONNINFO", "PostgreSQL");
}

const char* MariaDbConnInfo() {
    return ServerConnInfo("VORN_MARIADB_CONNINFO", "MariaDB");
}

std::vector<TBenchDatabase> PrepareDatabases() {
    std::vector<TBenchDatabase> Databases;
    Databases.push_back(PrepareSQLiteSample(SmallTable, true));
    Databases.push_back(PrepareSQLiteSample(LargeTable, true));
    if (const char* ConnInfo = PostgresConnInfo())
        Databases.push_back(PreparePostgresSample(ConnInfo, LargeTable, !ReuseServerSamples()));
    if (const char* ConnInfo = MariaDbConnInfo())
        Databases.push_back(PrepareMariaDbSample(ConnInfo, LargeTable, !ReuseServerSamples()));
    return Databases;
}

// The normal run; returns the targets of its summary.
std::vector<TRatioTarget> RegisterNormalRun() {
    std::vector<std::string> LargeLabels;
    for (const TBenchDatabase& Database : PrepareDatabases()) {
        RegisterComponentBenchmarks(Database);
        RegisterReferenceBenchmarks(Database);
        RegisterQtProxyBenchmark(Database);
        if (Database.Customers == LargeTable)
            LargeLabels.push_back(Database.Label);
    }
    RegisterShapeBenchmarks(PrepareShapeDatabase());
    return RatioTargets("sqlite-" + SizeLabel(SmallTable), "sqlite-" + SizeLabel(LargeTable),
                        LargeLabels);
}

// The large run: no references (they read every row), the small and the huge sample of
// each backend; returns each backend's growth targets.
std::vector<TRatioTarget> RegisterLargeRun() {
    std::vector<std::pair<TBenchDatabase, TBenchDatabase>> Pairs;
    Pairs.emplace_back(PrepareSQLiteSample(SmallTable, true), PrepareSQLiteSample(HugeTable, true));
    if (const char* ConnInfo = PostgresConnInfo()) {
        const bool Fill = !ReuseServerSamples();
        Pairs.emplace_back(PreparePostgresSample(ConnInfo, SmallTable, Fill),
                           PreparePostgresSample(ConnInfo, HugeTable, Fill));
    }
    std::vector<TRatioTarget> Targets;
    for (const auto& [Small, Huge] : Pairs) {
        RegisterComponentBenchmarks(Small, &ScaleFigures());
        RegisterComponentBenchmarks(Huge, &ScaleFigures());
        const std::vector<TRatioTarget> Growth =
            GrowthTargets(ScaleFigures(), Small.Label, Huge.Label);
        Targets.insert(Targets.end(), Growth.begin(), Growth.end());
    }
    return Targets;
}

// Takes --large out of the arguments (Google Benchmark rejects what it does not know);
// returns whether it was there.
bool TakeLargeOption(int& ArgumentCount, char** Arguments) {
    const auto End = std::remove_if(Arguments + 1, Arguments + ArgumentCount, [](const char* Each) {
        return std::string_view(Each) == "--large";
    });
    const bool Found = End != Arguments + ArgumentCount;
    ArgumentCount = static_cast<int>(End - Arguments);
    return Found;
}

} // namespace

int main(int ArgumentCount, char** Arguments) {
    const bool Large = TakeLargeOption(ArgumentCount, Arguments);
    benchmark::Initialize(&ArgumentCount, Arguments);
    if (benchmark::ReportUnrecognizedArguments(ArgumentCount, Arguments))
        return 2;
    std::vector<TRatioTarget> Targets;
    try {
        Targets = Large ? RegisterLargeRun() : RegisterNormalRun();
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "cannot prepare the benchmark databases: %s\n", Error.what());
        return 1;
    }
    TSummaryReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    benchmark::Shutdown();
    PrintSummary(Reporter.Seconds(), Targets);
    return Reporter.Failures() == 0 ? 0 : 1;
}
