#include "bench/BenchSummary.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

namespace vorn::bench {

namespace {

// Figures whose operation an index serves: their time may grow only a little with size.
const char* const IndexedFigures[] = {"Open", "TitleSort", "DescendingTitleSort", "MultiColumnSort",
                                      "Last", "Locate",    "ValueListName",       "ValueListCity"};

// Reference over figure, and the least factor by which the figure must be faster.
struct TSpeedUp {
    const char* Reference;
    const char* Figure;
    double AtLeast;
};

const TSpeedUp SpeedUps[] = {
    {"NaiveReadSort", "TitleSort", 100},
    {"QtProxySort", "TitleSort", 500},
    {"NaiveReadSort", "DescendingTitleSort", 100},
    {"QtProxySort", "DescendingTitleSort", 500},
    {"NaiveRead", "Open", 100},
    {"NaiveRead", "Last", 100},
    {"BareLike", "Locate", 20},
};

std::string FormatNumber(double Value) {
    char Text[32];
    std::snprintf(Text, sizeof Text, Value >= 100 ? "%.0f" : "%.2f", Value);
    return Text;
}

} // namespace

TSummaryReporter::TSummaryReporter()
    : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular) {}

void TSummaryReporter::ReportRuns(const std::vector<Run>& Runs) {
    ConsoleReporter::ReportRuns(Runs);
    for (const Run& Each : Runs) {
        if (Each.error_occurred) {
            ++FFailures;
            std::fprintf(stderr, "benchmark %s failed: %s\n", Each.benchmark_name().c_str(),
                         Each.error_message.c_str());
        } else if (Each.run_type == Run::RT_Iteration) {
            // The function name is the registered one, without "/iterations:N".
            FSeconds[Each.run_name.function_name] =
                Each.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(Each.time_unit);
        }
    }
}

const std::vector<std::string>& ScaleFigures() {
    static const std::vector<std::string> Figures = {
        "Open", "TitleSort", "MultiColumnSort", "Last", "Locate", "ValueListName", "ValueListCity"};
    return Figures;
}

std::vector<TRatioTarget> GrowthTargets(const std::vector<std::string>& Figures,
                                        const std::string& SmallLabel,
                                        const std::string& LargeLabel) {
    std::vector<TRatioTarget> Targets;
    for (const std::string& Figure : Figures)
        Targets.push_back(
            {Figure + "/" + LargeLabel, Figure + "/" + SmallLabel, GrowthBound, true});
    return Targets;
}

std::vector<TRatioTarget> RatioTargets(const std::string& SmallLabel, const std::string& LargeLabel,
                                       const std::vector<std::string>& LargeLabels) {
    std::vector<TRatioTarget> Targets = GrowthTargets(
        std::vector<std::string>(std::begin(IndexedFigures), std::end(IndexedFigures)), SmallLabel,
        LargeLabel);
    for (const std::string& Label : LargeLabels) {
        for (const TSpeedUp& SpeedUp : SpeedUps)
            Targets.push_back({std::string(SpeedUp.Reference) + "/" + Label,
                               std::string(SpeedUp.Figure) + "/" + Label, SpeedUp.AtLeast, false});
        Targets.push_back({"ValueListName/" + Label, "BareDistinctName/" + Label, 1.5, true});
    }
    return Targets;
}

std::string FormatSeconds(double Seconds) {
    char Text[32];
    if (Seconds < 1e-3)
        std::snprintf(Text, sizeof Text, "%.1f us", Seconds * 1e6);
    else if (Seconds < 1)
        std::snprintf(Text, sizeof Text, "%.2f ms", Seconds * 1e3);
    else
        std::snprintf(Text, sizeof Text, "%.2f s", Seconds);
    return Text;
}

int PrintSummary(const std::map<std::string, double>& Seconds,
                 const std::vector<TRatioTarget>& Targets) {
    // The console table writes through std::cout and may end in a colour reset without a
    // line break: the summary starts on a line of its own.
    std::cout << std::endl;
    std::fflush(stdout);
    for (const auto& [Name, Time] : Seconds)
        std::printf("figure %s %s\n", Name.c_str(), FormatSeconds(Time).c_str());
    int Missed = 0;
    for (const TRatioTarget& Target : Targets) {
        const std::string Label = Target.Numerator + " / " + Target.Denominator;
        const std::string Bound =
            std::string(Target.AtMost ? "<= " : ">= ") + FormatNumber(Target.Bound);
        const auto Numerator = Seconds.find(Target.Numerator);
        const auto Denominator = Seconds.find(Target.Denominator);
        if (Numerator == Seconds.end() || Denominator == Seconds.end() ||
            Denominator->second <= 0) {
            std::printf("ratio %s: no figure (target %s) MISSED\n", Label.c_str(), Bound.c_str());
            ++Missed;
            continue;
        }
        const double Ratio = Numerator->second / Denominator->second;
        const bool Met = Target.AtMost ? Ratio <= Target.Bound : Ratio >= Target.Bound;
        std::printf("ratio %s = %s (target %s) %s\n", Label.c_str(), FormatNumber(Ratio).c_str(),
                    Bound.c_str(), Met ? "ok" : "MISSED");
        Missed += Met ? 0 : 1;
    }
    std::fflush(stdout);
    return Missed;
}

} // namespace vorn::bench
