#pragma once

// Calling AppendFilter with named arguments and reading back every parameter it
// writes, for the filter composer's test files.

#include "Source/Vorn_shared.h"
#include "host/components/model/Exception.h"

#include <string>

namespace vorn::test {

// One call of AppendFilter; the defaults are the filter grid's SQL form.
struct TFilterCall {
    std::string FilterText;
    std::string BoolOperator;
    std::string FieldName = "Name";
    std::string Operator = "=";
    std::string Value;
    bool Quoted = true;
    bool CaseSensitive = false;
    std::string Wildcards = "*?";
    std::string TargetWildcards = "%_";
    bool CaseSensitiveContaining = false;
    bool Exceptions = true;
};

// The returned text and the parameters as AppendFilter left them.
struct TFilterOutcome {
    std::string Result;
    std::string BoolOperator;
    std::string FieldName;
    std::string Operator;
    std::string Value;
    std::string CorrectedValue;
};

// Runs the call; Outcome receives the written-back parameters even when it raises.
inline void RunAppendFilter(const TFilterCall& Call, TFilterOutcome& Outcome) {
    Outcome.BoolOperator = Call.BoolOperator;
    Outcome.FieldName = Call.FieldName;
    Outcome.Operator = Call.Operator;
    Outcome.Value = Call.Value;
    // A left-over from an earlier call that AppendFilter must clear.
    Outcome.CorrectedValue = "stale";
    Outcome.Result = AppendFilter(
        Call.FilterText, Outcome.BoolOperator, Outcome.FieldName, Outcome.Operator, Outcome.Value,
        Outcome.CorrectedValue, Call.Quoted, Call.CaseSensitive, Call.Wildcards,
        Call.TargetWildcards, Call.CaseSensitiveContaining, Call.Exceptions);
}

inline TFilterOutcome RunAppendFilter(const TFilterCall& Call) {
    TFilterOutcome Outcome;
    RunAppendFilter(Call, Outcome);
    return Outcome;
}

// Runs the call, which must raise, and returns the message.
inline std::string AppendFilterError(const TFilterCall& Call, TFilterOutcome& Outcome) {
    try {
        RunAppendFilter(Call, Outcome);
    } catch (const Exception& Error) {
        return Error.Message();
    }
    return "(no exception; result \"" + Outcome.Result + "\")";
}

} // namespace vorn::test
