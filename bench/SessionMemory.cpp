// The peak memory of one user session on the sample database (1,000,000 customers unless
// the size is given), in a process of its own: open, a title-click sort, scrolling page by page and
// to the end, a case-insensitive partial Locate and the value list of City. The benchmark program
// must have prepared the database first (the SQLite file in VORN_BENCH_DATA, or the server's
// tables). Prints a figure line and a ratio line against the 100 MB target.
//
//   VornSessionMemoryBench sqlite|pg [CUSTOMERS]

#include "bench/BenchDatabases.h"
#include "bench/BenchScene.h"

#include "host/components/controls/Keyboard.h"

#include <sys/resource.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <stdexcept>

namespace {

using namespace vorn;
using namespace vorn::bench;

constexpr int DefaultCustomers = 1'000'000;
constexpr int PagesScrolled = 200;
constexpr double TargetMegabytes = 100;

TBenchDatabase SessionDatabase(const std::string& Backend, int Customers) {
    if (Backend == "sqlite")
        return PrepareSQLiteSample(Customers, false);
    if (Backend != "pg")
        throw std::runtime_error("unknown backend " + Backend + ": sqlite or pg");
    const char* ConnInfo = std::getenv("VORN_PG_CONNINFO");
    if (ConnInfo == nullptr || *ConnInfo == '\0')
        throw std::runtime_error("VORN_PG_CONNINFO is not set");
    return PreparePostgresSample(ConnInfo, Customers, false);
}

void Expect(bool Condition, const std::string& What) {
    if (!Condition)
        throw std::runtime_error("the session failed: " + What);
}

void RunSession(const TBenchDatabase& Database) {
    const std::vector<std::string> Keys = LocateKeys(*Database.OpenBare(), Database.Customers);
    TBenchScene Scene(Database.Alias, "customer", "");
    Expect(Scene.ClickTitle("Name", false) == "Name", "the title click did not sort");
    for (int Page = 0; Page < PagesScrolled; ++Page) {
        int Key = VK_NEXT;
        Scene.Grid().KeyDown(Key, {});
        Scene.ReadShownCells();
    }
    int Key = VK_END;
    Scene.Grid().KeyDown(Key, {ssCtrl});
    Expect(Scene.Grid().RecordCount() > 0, "the grid shows nothing at the end");
    Scene.ReadShownCells();
    for (const std::string& LocateKey : Keys)
        Expect(Scene.Locate(LocateKey), "Locate did not find " + LocateKey);
    Scene.ReadShownCells();
    Expect(Scene.OpenValueList("City") > 0, "the value list of City is empty");
}

} // namespace

int main(int ArgumentCount, char** Arguments) {
    int Customers = DefaultCustomers;
    if (ArgumentCount == 3) {
        const char* End = Arguments[2] + std::strlen(Arguments[2]);
        const auto [Rest, Error] = std::from_chars(Arguments[2], End, Customers);
        if (Error != std::errc() || Rest != End || Customers < 1)
            ArgumentCount = 0;
    }
    if (ArgumentCount != 2 && ArgumentCount != 3) {
        std::fprintf(stderr, "usage: %s sqlite|pg [CUSTOMERS]\n", Arguments[0]);
        return 2;
    }
    std::string Label;
    try {
        const TBenchDatabase Database = SessionDatabase(Arguments[1], Customers);
        Label = Database.Label;
        RunSession(Database);
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "%s\n", Error.what());
        return 1;
    }
    rusage Usage{};
    getrusage(RUSAGE_SELF, &Usage);
    const double Megabytes = static_cast<double>(Usage.ru_maxrss) / 1024.0;
    std::printf("figure SessionPeakMemory/%s %.1f MB\n", Label.c_str(), Megabytes);
    std::printf("ratio SessionPeakMemory/%s = %.1f MB (target < %.0f MB) %s\n", Label.c_str(),
                Megabytes, TargetMegabytes, Megabytes < TargetMegabytes ? "ok" : "MISSED");
    return 0;
}
