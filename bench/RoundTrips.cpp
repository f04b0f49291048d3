// The round trips of each user action on the PostgreSQL 1,000,000-customer sample, counted
// by a loopback proxy between libpq and the server, and the same actions timed when the
// proxy holds every chunk for 2 ms each way, as a network would. The benchmark program
// must have filled the server first, unless --fill is given. Prints one "roundtrips
// ACTION N" line per action (with its target where it has one), then one "latency ACTION"
// line per action and the click-to-first-rows figure; exits 1 when an action missed its
// target.
//
//   VornRoundTripBench [--fill]        (reads VORN_PG_CONNINFO)

#include "bench/BenchDatabases.h"
#include "bench/BenchScene.h"
#include "bench/LatencyProxy.h"

#include "host/components/controls/Keyboard.h"
#include "host/data/dataset/Database.h"

#include <libpq-fe.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <functional>
#include <stdexcept>

namespace {

// Each action is repeated; the count is the most of any repetition, the time the median.
constexpr int Repeats = 9;
constexpr int TargetRoundTrips = 2;
constexpr std::chrono::milliseconds OneWayDelay{2};
constexpr int Customers = 1'000'000;

using namespace vorn;
using namespace vorn::bench;

// The server's socket and the connection string that reaches it through the proxy: the
// same options with the host and port replaced, without TLS or GSS negotiation (a unix
// socket has neither, and asking costs round trips).
struct TProxiedServer {
    std::string SocketPath;
    std::string Options;
};

std::string QuotedOption(const std::string& Value) {
    std::string Quoted = "'";
    for (const char C : Value) {
        if (C == '\'' || C == '\\')
            Quoted += '\\';
        Quoted += C;
    }
    return Quoted + "'";
}

TProxiedServer ProxiedServer(const std::string& ConnInfo) {
    char* Error = nullptr;
    PQconninfoOption* Options = PQconninfoParse(ConnInfo.c_str(), &Error);
    if (Options == nullptr) {
        const std::string Message = Error ? Error : "out of memory";
        PQfreemem(Error);
        throw std::runtime_error("VORN_PG_CONNINFO: " + Message);
    }
    TProxiedServer Server;
    std::string Host, Port = "5432";
    for (const PQconninfoOption* Option = Options; Option->keyword; ++Option) {
        if (Option->val == nullptr || *Option->val == '\0')
            continue;
        const std::string Keyword = Option->keyword;
        if (Keyword == "host")
            Host = Option->val;
        else if (Keyword == "port")
            Port = Option->val;
        else if (Keyword != "hostaddr" && Keyword != "sslmode" && Keyword != "gssencmode")
            Server.Options += Keyword + "=" + QuotedOption(Option->val) + " ";
    }
    PQconninfoFree(Options);
    if (Host.empty() || Host.front() != '/' || Host.find(',') != std::string::npos)
        throw std::runtime_error("VORN_PG_CONNINFO must name one server by its socket folder");
    Server.SocketPath = Host + "/.s.PGSQL." + Port;
    Server.Options += "sslmode=disable gssencmode=disable";
    return Server;
}

// One user action: Prepare puts the scene where the action starts (not measured), Run
// is the action up to the grid's cells read for display.
struct TAction {
    const char* Name;
    bool Targeted;
    std::string IndexFieldNames;
    std::function<void(TBenchScene&)> Prepare;
    std::function<void(TBenchScene&)> Run;
};

struct TMeasure {
    std::int64_t RoundTrips = 0; // the most of any repetition
    double Milliseconds = 0;     // the median
};

void Expect(bool Condition, const std::string& What) {
    if (!Condition)
        throw std::runtime_error("the action failed: " + What);
}

void PressKey(TBenchScene& Scene, int Key, TShiftState Shift) {
    Scene.Grid().KeyDown(Key, Shift);
}

std::vector<TAction> Actions(const std::vector<std::string>& LocateKeys) {
    auto TitleClicks = std::make_shared<int>(0);
    auto Locates = std::make_shared<std::size_t>(0);
    return {
        {"open", true, "Name", [](TBenchScene& Scene) { Scene.Table().Close(); },
         [](TBenchScene& Scene) { Scene.Table().Open(); }},
        // Alternating columns, so that every click sorts.
        {"title-click", true, "", nullptr,
         [TitleClicks](TBenchScene& Scene) {
             const std::string Field = (*TitleClicks)++ % 2 == 0 ? "Name" : "Company";
             Expect(Scene.ClickTitle(Field, false) == Field, "the click did not sort");
         }},
        {"ctrl-click", false, "",
         [](TBenchScene& Scene) { Expect(Scene.ClickTitle("City", false) == "City", "City"); },
         [](TBenchScene& Scene) {
             Expect(Scene.ClickTitle("Name", true) == "City;Name", "the Ctrl-click");
         }},
        {"last", true, "Name", [](TBenchScene& Scene) { Scene.Table().First(); },
         [](TBenchScene& Scene) { Scene.Table().Last(); }},
        // Consecutive windows from the first.
        {"scroll", true, "Name", nullptr, [](TBenchScene& Scene) { PressKey(Scene, VK_NEXT, {}); }},
        {"locate", true, "Name", nullptr,
         [Locates, LocateKeys](TBenchScene& Scene) {
             const std::string& Key = LocateKeys[(*Locates)++ % LocateKeys.size()];
             Expect(Scene.Locate(Key), "Locate did not find " + Key);
         }},
        {"value-list", false, "", nullptr,
         [](TBenchScene& Scene) { Expect(Scene.OpenValueList("City") > 0, "no cities"); }},
    };
}

TMeasure Measure(TLatencyProxy& Proxy, const TBenchDatabase& Database, const TAction& Action) {
    TBenchScene Scene(Database.Alias, "customer", Action.IndexFieldNames);
    TMeasure Result;
    std::vector<double> Times;
    for (int Repeat = 0; Repeat < Repeats; ++Repeat) {
        if (Action.Prepare)
            Action.Prepare(Scene);
        Proxy.ResetRoundTrips();
        const auto Start = std::chrono::steady_clock::now();
        Action.Run(Scene);
        Scene.ReadShownCells();
        const std::chrono::duration<double, std::milli> Time =
            std::chrono::steady_clock::now() - Start;
        Result.RoundTrips = std::max(Result.RoundTrips, Proxy.RoundTrips());
        Times.push_back(Time.count());
    }
    std::nth_element(Times.begin(), Times.begin() + Repeats / 2, Times.end());
    Result.Milliseconds = Times[Repeats / 2];
    return Result;
}

bool Run(const std::string& ConnInfo, bool Fill) {
    if (Fill)
        PreparePostgresSample(ConnInfo, Customers, true);
    const TProxiedServer Server = ProxiedServer(ConnInfo);
    TLatencyProxy Proxy(Server.SocketPath);
    const std::string Proxied =
        Server.Options + " host=127.0.0.1 port=" + std::to_string(Proxy.Port());
    const TBenchDatabase Database = PreparePostgresSample(Proxied, Customers, false);
    const std::vector<std::string> Keys = LocateKeys(*Database.OpenBare(), Database.Customers);
    // The connection stays open, as in an application whose other datasets hold it.
    const TConnectionLease Connection(Database.Alias);
    const std::vector<TAction> All = Actions(Keys);

    bool Missed = false;
    std::vector<TMeasure> Direct;
    for (const TAction& Action : All) {
        const TMeasure Counted = Measure(Proxy, Database, Action);
        Direct.push_back(Counted);
        if (!Action.Targeted) {
            std::printf("roundtrips %s %lld\n", Action.Name,
                        static_cast<long long>(Counted.RoundTrips));
            continue;
        }
        const bool Ok = Counted.RoundTrips <= TargetRoundTrips;
        Missed = Missed || !Ok;
        std::printf("roundtrips %s %lld (target <= %d) %s\n", Action.Name,
                    static_cast<long long>(Counted.RoundTrips), TargetRoundTrips,
                    Ok ? "ok" : "MISSED");
    }
    std::fflush(stdout);

    Proxy.SetDelay(OneWayDelay);
    const double RoundTripMs = 2.0 * static_cast<double>(OneWayDelay.count());
    for (std::size_t Index = 0; Index < All.size(); ++Index) {
        const TMeasure Delayed = Measure(Proxy, Database, All[Index]);
        const double Expected =
            static_cast<double>(Delayed.RoundTrips) * RoundTripMs + Direct[Index].Milliseconds;
        std::printf("latency %s %.1f ms at %lld ms each way (%lld round trips x %.0f ms + %.1f ms "
                    "= %.1f ms)\n",
                    All[Index].Name, Delayed.Milliseconds,
                    static_cast<long long>(OneWayDelay.count()),
                    static_cast<long long>(Delayed.RoundTrips), RoundTripMs,
                    Direct[Index].Milliseconds, Expected);
        if (std::string(All[Index].Name) == "title-click")
            std::printf("figure ClickToFirstRows/%s-%lldms %.1f ms\n", Database.Label.c_str(),
                        static_cast<long long>(OneWayDelay.count()), Delayed.Milliseconds);
    }
    return !Missed;
}

} // namespace

int main(int ArgumentCount, char** Arguments) {
    const bool Fill = ArgumentCount == 2 && std::string(Arguments[1]) == "--fill";
    if (ArgumentCount != 1 && !Fill) {
        std::fprintf(stderr, "usage: %s [--fill] (with VORN_PG_CONNINFO set)\n", Arguments[0]);
        return 2;
    }
    try {
        const char* ConnInfo = std::getenv("VORN_PG_CONNINFO");
        if (ConnInfo == nullptr || *ConnInfo == '\0')
            throw std::runtime_error("VORN_PG_CONNINFO is not set");
        return Run(ConnInfo, Fill) ? 0 : 1;
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "%s\n", Error.what());
        return 1;
    }
}
