#pragma once

// The summary after the benchmark table: one line per figure and one per ratio, each
// ratio with its target and whether this run met it.

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace vorn::bench {

// Keeps each run's real time per iteration, besides printing the usual console table.
class TSummaryReporter : public benchmark::ConsoleReporter {
public:
    // Colours only on a terminal, so that a log stays plain text.
    TSummaryReporter();
    void ReportRuns(const std::vector<Run>& Runs) override;
    const std::map<std::string, double>& Seconds() const { return FSeconds; }
    // The runs that stopped with an error: they give no figure.
    int Failures() const { return FFailures; }

private:
    std::map<std::string, double> FSeconds;
    int FFailures = 0;
};

// Numerator / Denominator, bounded from above (AtMost) or below.
struct TRatioTarget {
    std::string Numerator;
    std::string Denominator;
    double Bound = 1;
    bool AtMost = true;
};

// The figures of the user's actions that an index serves, which the large run measures:
// open, title click, Ctrl-click, Last, Locate and the value lists of indexed fields.
const std::vector<std::string>& ScaleFigures();

// Each of Figures on LargeLabel at most GrowthBound times the same figure on SmallLabel.
inline constexpr double GrowthBound = 3;
std::vector<TRatioTarget> GrowthTargets(const std::vector<std::string>& Figures,
                                        const std::string& SmallLabel,
                                        const std::string& LargeLabel);

// The targets for the labels of the databases that ran: the growth from SmallLabel to
// LargeLabel (same backend) and, on each label of LargeLabels, the speed-ups.
std::vector<TRatioTarget> RatioTargets(const std::string& SmallLabel, const std::string& LargeLabel,
                                       const std::vector<std::string>& LargeLabels);

// Prints the figures and the ratios; returns the number of targets missed (a ratio whose
// figures are missing counts as missed).
int PrintSummary(const std::map<std::string, double>& Seconds,
                 const std::vector<TRatioTarget>& Targets);

// "12.3 us", "4.56 ms", "1.23 s".
std::string FormatSeconds(double Seconds);

} // namespace vorn::bench
