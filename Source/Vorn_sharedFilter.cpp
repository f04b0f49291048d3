#include "Source/Vorn_shared.h"

#include "Source/Vorn_sharedInternal.h"
#include "host/components/model/Exception.h"
#include "host/components/text/AsciiText.h"
#include "host/components/text/CaseMapping.h"

#include <optional>
#include <string>
#include <string_view>

namespace vorn {

namespace SharedInternal {

namespace {

constexpr char Backslash = '\\';
constexpr char Quote = '\'';

// A value that opens with a quote and whose first unescaped quote after that is
// its last character: exactly one literal, which already says what it means.
bool IsOneLiteral(std::string_view S) {
    return S.size() >= 2 && S.front() == Quote &&
           FindUnescapedChar(S, std::string_view(&Quote, 1), 1, Backslash) == S.size() - 1;
}

// An odd run of backslashes at the end leaves the last one escaping whatever
// follows, which would be the closing quote.
bool EndsWithLoneBackslash(std::string_view S) {
    std::size_t Run = 0;
    while (Run < S.size() && S[S.size() - 1 - Run] == Backslash)
        ++Run;
    return Run % 2 == 1;
}

// In a pattern backslash pairs are kept as the pattern's escapes; only quotes
// that no backslash escapes yet, and a trailing lone backslash, need one.
std::string EscapePattern(std::string_view S) {
    std::string Result = EscapeChars(S, std::string_view(&Quote, 1), Backslash);
    if (EndsWithLoneBackslash(Result))
        Result += Backslash;
    return Result;
}

} // namespace

void AppendSpace(std::string& T) {
    if (!T.empty() && T.back() != ' ')
        T += ' ';
}

bool ContainsChar(std::string_view S, char C) {
    return S.find(C) != std::string_view::npos;
}

bool EndsWithUnescaped(std::string_view S, char C, char E) {
    if (S.empty() || S.back() != C)
        return false;
    return S.size() == 1 || S[S.size() - 2] != E;
}

std::size_t FindUnescapedChar(std::string_view S, std::string_view Set, std::size_t Start, char E) {
    std::size_t Position = Start;
    while (Position < S.size()) {
        if (S[Position] == E) {
            Position += 2;
            continue;
        }
        if (ContainsChar(Set, S[Position]))
            return Position;
        ++Position;
    }
    return std::string_view::npos;
}

std::size_t CountUnescaped(std::string_view S, char C, char E) {
    const std::string_view Set(&C, 1);
    std::size_t Count = 0;
    for (std::size_t Position = FindUnescapedChar(S, Set, 0, E); Position != std::string_view::npos;
         Position = FindUnescapedChar(S, Set, Position + 1, E))
        ++Count;
    return Count;
}

std::string EscapeEach(std::string_view S, std::string_view Set, char E) {
    std::string Result;
    Result.reserve(S.size() + 2);
    for (char C : S) {
        if (ContainsChar(Set, C))
            Result += E;
        Result += C;
    }
    return Result;
}

std::string EscapeChars(std::string_view S, std::string_view Set, char E) {
    std::string Result;
    std::size_t Copied = 0;
    for (std::size_t Position = FindUnescapedChar(S, Set, 0, E); Position != std::string_view::npos;
         Position = FindUnescapedChar(S, Set, Position + 1, E)) {
        Result.append(S.substr(Copied, Position - Copied));
        Result += E;
        Copied = Position;
    }
    Result.append(S.substr(Copied));
    return Result;
}

std::string RemoveEscapes(std::string_view S, char E) {
    std::string Result;
    Result.reserve(S.size());
    for (std::size_t Position = 0; Position < S.size(); ++Position) {
        if (S[Position] == E) {
            ++Position;
            if (Position == S.size())
                break;
        }
        Result += S[Position];
    }
    return Result;
}

std::string QuoteValue(std::string_view S, bool LikePattern) {
    if (IsOneLiteral(S))
        return std::string(S);
    // Outside a pattern every backslash and quote is plain text.
    const std::string Body = LikePattern ? EscapePattern(S) : EscapeEach(S, "\\'", Backslash);
    return Quote + Body + Quote;
}

std::string TranslateWildcards(std::string_view S, char Many, char One, char E, char TMany,
                               char TOne, char TE) {
    std::string Result(S);
    for (std::size_t Position = 0; Position < Result.size(); ++Position) {
        const char C = Result[Position];
        if (C == E) {
            Result[Position] = TE;
            ++Position;
        } else if (C == Many) {
            Result[Position] = TMany;
        } else if (C == One) {
            Result[Position] = TOne;
        }
    }
    return Result;
}

} // namespace SharedInternal

namespace {

using namespace SharedInternal;

constexpr std::string_view IsNullOperator = "IS NULL";
constexpr std::string_view IsNotNullOperator = "IS NOT NULL";
constexpr std::string_view LikeOperator = "LIKE";
constexpr std::string_view StartingWithOperator = "STARTING WITH";
constexpr std::string_view ContainingOperator = "CONTAINING";

// How AppendFilter writes a condition: its switches and wildcard strings.
struct TClauseOptions {
    bool Quoted = false;
    bool CaseSensitive = false;
    std::string_view Wildcards;
    std::string_view TargetWildcards;
    bool CaseSensitiveContaining = false;
    // Whether a condition that cannot be written raises rather than being dropped.
    bool Exceptions = false;
};

// The three roles of a wildcard string.
struct TWildcardChars {
    char Many;
    char One;
    char Escape;
};

// Wildcards and TargetWildcards are empty or hold two or three characters.
void CheckWildcardLength(std::string_view Chars, const char* ParameterName) {
    if (Chars.size() != 1 && Chars.size() <= 3)
        return;
    throw Exception("AppendFilter() Wrong '" + std::string(ParameterName) +
                    "' length: " + std::to_string(Chars.size()) + ". Must be 0, 2 or 3.");
}

TWildcardChars WildcardChars(std::string_view Chars, char DefaultEscape) {
    return {Chars[0], Chars[1], Chars.size() == 3 ? Chars[2] : DefaultEscape};
}

void AppendWord(std::string& Text, std::string_view Word) {
    AppendSpace(Text);
    Text += Word;
}

// A quoted condition as the wildcard steps leave it, before it is written.
struct TQuotedCondition {
    std::string Operator;
    std::string Value;
    std::string CorrectedValue;
};

// Turns a value typed with the end user's wildcards into the operator and value
// that the target understands. Returns the number of unescaped wildcards of the
// kind that decided the operator.
std::size_t DetectOperator(TQuotedCondition& Condition, const TWildcardChars& User,
                           const TClauseOptions& Options) {
    std::string& Value = Condition.Value;
    const std::size_t OneCount = CountUnescaped(Value, User.One, User.Escape);
    if (OneCount > 0) {
        Condition.Operator = LikeOperator;
        return OneCount;
    }
    const std::size_t ManyCount = CountUnescaped(Value, User.Many, User.Escape);
    const bool EndsWithMany = EndsWithUnescaped(Value, User.Many, User.Escape);
    if (ManyCount == 1 && EndsWithMany) {
        Condition.Operator = StartingWithOperator;
        Value.pop_back();
    } else if (ManyCount == 2 && BeginsWith(Value, User.Many) && EndsWithMany &&
               !Options.CaseSensitive && !Options.CaseSensitiveContaining) {
        Condition.Operator = ContainingOperator;
        Value = Value.substr(1, Value.size() - 2);
    } else if (ManyCount > 0) {
        Condition.Operator = LikeOperator;
    }
    return ManyCount;
}

// A plain value made into a pattern that matches it as a substring: its own
// pattern characters must match only themselves.
std::string ContainingPattern(const std::string& Value) {
    return "%" + EscapeEach(Value, "%_\\", '\\') + "%";
}

void ApplyWildcards(TQuotedCondition& Condition, const TClauseOptions& Options) {
    CheckWildcardLength(Options.Wildcards, "Wildcards");
    const TWildcardChars User = WildcardChars(Options.Wildcards, '\\');
    const std::size_t WildcardCount = DetectOperator(Condition, User, Options);
    Condition.CorrectedValue = Condition.Value;

    const bool IsLike = Condition.Operator == LikeOperator;
    if (WildcardCount > 0) {
        CheckWildcardLength(Options.TargetWildcards, "TargetWildcards");
        // Only a pattern needs the target's characters: any other operator is left
        // with nothing but escapes, which are removed below in the user's own terms,
        // so a target escape character the user typed stays plain text.
        if (IsLike && !Options.TargetWildcards.empty()) {
            const TWildcardChars Target = WildcardChars(Options.TargetWildcards, User.Escape);
            std::string& Value = Condition.Value;
            Value = EscapeChars(Value, std::string_view(&Target.Many, 1), User.Escape);
            Value = EscapeChars(Value, std::string_view(&Target.One, 1), User.Escape);
            Value = TranslateWildcards(Value, User.Many, User.One, User.Escape, Target.Many,
                                       Target.One, Target.Escape);
        }
    }
    if (IsLike)
        return;
    Condition.Value = RemoveEscapes(Condition.Value, User.Escape);
    if (Condition.Operator == ContainingOperator && Options.CaseSensitive &&
        !Options.CaseSensitiveContaining) {
        Condition.Operator = LikeOperator;
        Condition.Value = ContainingPattern(Condition.Value);
    }
}

// The clause for one condition, or nothing when the condition is dropped.
std::optional<std::string> ComposeClause(const std::string& FieldName, std::string& Operator,
                                         std::string& Value, std::string& CorrectedValue,
                                         const TClauseOptions& Options) {
    std::string Clause = FieldName;
    if (Operator == IsNullOperator || Operator == IsNotNullOperator) {
        AppendWord(Clause, Operator);
        return Clause;
    }
    if (Operator.empty()) {
        if (Options.Exceptions)
            throw Exception("AppendFilter() Operator can't be empty.");
        return std::nullopt;
    }
    CorrectedValue = Value;
    if (!Options.Quoted) {
        if (Value.empty()) {
            if (Options.Exceptions)
                throw Exception("AppendFilter() Value must be set.");
            return std::nullopt;
        }
        AppendWord(Clause, Operator);
        AppendWord(Clause, Value);
        return Clause;
    }

    // Worked on a copy so that a wildcard error leaves Operator and Value as they came.
    TQuotedCondition Condition{Operator, Value, Value};
    if (!Options.Wildcards.empty())
        ApplyWildcards(Condition, Options);
    const bool Fold = !Options.CaseSensitive && !(Condition.Operator == ContainingOperator &&
                                                  !Options.CaseSensitiveContaining);
    if (Fold) {
        Clause = "UPPER(" + FieldName + ")";
        Condition.Value = UpperCaseText(Condition.Value);
    }
    AppendWord(Clause, Condition.Operator);
    AppendWord(Clause, QuoteValue(Condition.Value, Condition.Operator == LikeOperator));
    Operator = Condition.Operator;
    Value = Condition.Value;
    CorrectedValue = Condition.CorrectedValue;
    return Clause;
}

} // namespace

std::string AppendFilter(const std::string& FilterText, std::string& BoolOperator,
                         std::string& FieldName, std::string& Operator, std::string& Value,
                         std::string& CorrectedValue, bool Quoted, bool CaseSensitive,
                         const std::string& Wildcards, const std::string& TargetWildcards,
                         bool CaseSensitiveContaining, bool Exceptions) {
    CorrectedValue.clear();
    FieldName = TrimControlsAndSpaces(FieldName);
    if (FieldName.empty())
        throw Exception("AppendFilter() FieldName is empty.");

    std::string Result = TrimControlsAndSpaces(FilterText);
    if (!Result.empty()) {
        BoolOperator = UpperCaseAscii(TrimControlsAndSpaces(BoolOperator));
        if (BoolOperator.empty())
            BoolOperator = "AND";
    }
    if (ContainsChar(FieldName, ' '))
        FieldName = BracketString(FieldName);
    Operator = UpperCaseAscii(TrimControlsAndSpaces(Operator));

    const std::optional<std::string> Clause =
        ComposeClause(FieldName, Operator, Value, CorrectedValue,
                      {.Quoted = Quoted,
                       .CaseSensitive = CaseSensitive,
                       .Wildcards = Wildcards,
                       .TargetWildcards = TargetWildcards,
                       .CaseSensitiveContaining = CaseSensitiveContaining,
                       .Exceptions = Exceptions});
    // A dropped condition adds nothing, its connector included, so that the text
    // stays a complete expression.
    if (!Clause)
        return Result;
    if (!Result.empty())
        AppendWord(Result, BoolOperator);
    AppendWord(Result, *Clause);
    return Result;
}

} // namespace vorn
