#include "Source/DBFilterGrid.h"

#include "Source/DBFilterGridInternal.h"
#include "Source/Vorn_shared.h"
#include "Source/Vorn_sharedInternal.h"
#include "host/components/text/AsciiText.h"
#include "host/components/text/CaseMapping.h"
#include "host/data/dataset/Field.h"

#include <algorithm>

namespace vorn {

namespace FilterGridInternal {

namespace {

char FoldAscii(char C) {
    return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C;
}

// How many leading characters two texts share, a-z compared without case.
std::size_t CommonPrefixLength(std::string_view A, std::string_view B) {
    const std::size_t Length = std::min(A.size(), B.size());
    std::size_t Count = 0;
    while (Count < Length && FoldAscii(A[Count]) == FoldAscii(B[Count]))
        ++Count;
    return Count;
}

} // namespace

std::string NormalizedName(std::string_view Name) {
    return UpperCaseAscii(TrimControlsAndSpaces(Name));
}

std::optional<std::size_t> ClosestName(const std::vector<std::string>& Names,
                                       std::string_view Text) {
    std::optional<std::size_t> Found;
    std::size_t BestLength = 0;
    for (std::size_t Index = 0; Index < Names.size(); ++Index) {
        const std::size_t Length = CommonPrefixLength(Names[Index], Text);
        const bool Longer = Length > BestLength;
        const bool ShorterName = Found && Length == BestLength && Length > 0 &&
                                 Names[Index].size() < Names[*Found].size();
        if (Longer || ShorterName) {
            Found = Index;
            BestLength = Length;
        }
    }
    return Found;
}

char ValueEscape(std::string_view Wildcards) {
    return Wildcards.size() == 3 ? Wildcards[2] : '\\';
}

std::vector<std::string> SplitValueItems(std::string_view Text, char Escape) {
    std::vector<std::string> Items;
    if (TrimControlsAndSpaces(Text).empty())
        return Items;
    std::string Item;
    for (std::size_t Position = 0; Position < Text.size(); ++Position) {
        const char C = Text[Position];
        const bool Escaping =
            C == Escape && Position + 1 < Text.size() &&
            (Text[Position + 1] == FilterValueSeparator || Text[Position + 1] == Escape);
        if (Escaping) {
            Item += Text[++Position];
        } else if (C == FilterValueSeparator) {
            Items.push_back(TrimControlsAndSpaces(Item));
            Item.clear();
        } else {
            Item += C;
        }
    }
    Items.push_back(TrimControlsAndSpaces(Item));
    return Items;
}

std::string JoinValueItems(const std::vector<std::string>& Items, char Escape) {
    const char Special[] = {FilterValueSeparator, Escape};
    std::string Text;
    for (const std::string& Item : Items) {
        if (!Text.empty())
            Text += "; ";
        Text += SharedInternal::EscapeEach(Item, std::string_view(Special, 2), Escape);
    }
    return Text;
}

} // namespace FilterGridInternal

using namespace FilterGridInternal;

namespace {

constexpr const char* ExpressionError = "TDBFilterGrid.GetFilterExpression() ";

const std::string& MoreOperatorSQL(TFilterMoreOperatorIndex Index) {
    return fmonComputer[static_cast<std::size_t>(Index)];
}

// Only text can be empty without being NULL; a date or a number compared with the empty
// text is an error on a server that types its comparisons.
bool IsTextType(TFieldType DataType) {
    return DataType == ftString || DataType == ftMemo || DataType == ftFixedChar ||
           DataType == ftWideString;
}

[[noreturn]] void RaiseInRow(TFilterMoreOperatorIndex Index, int Row, const std::string& What) {
    throw Exception(ExpressionError + MoreOperatorSQL(Index) + " in row " + std::to_string(Row) +
                    " " + What + ".");
}

// A literal that a backslash-escaping reader takes to mean exactly Text.
std::string TextLiteral(std::string_view Text) {
    return "'" + SharedInternal::EscapeEach(Text, "\\'", '\\') + "'";
}

// A LIKE pattern literal matching every text that ends with Text, or with AnyAfter every
// text that holds it: the pattern's own characters in Text are escaped to match
// themselves, and in a pattern literal only the quote needs escaping besides.
std::string PatternLiteral(std::string_view Text, bool AnyAfter) {
    const std::string Pattern =
        "%" + SharedInternal::EscapeEach(Text, "%_\\", '\\') + (AnyAfter ? "%" : "");
    return "'" + SharedInternal::EscapeEach(Pattern, "'", '\\') + "'";
}

} // namespace

TFilterMoreOperatorIndexes
TDBFilterGrid::ApplicableMoreOperators(const std::string& FieldName) const {
    if (!FFilterBuilderOptions.Contains(fboMoreOperators))
        return {};
    return QuotedType(FieldName) ? AllFilterMoreOperatorIndexes : UnquotedFilterMoreOperatorIndexes;
}

std::optional<TFilterMoreOperatorIndex>
TDBFilterGrid::FindMoreOperatorName(const std::string& OperatorName) const {
    const std::string Wanted = NormalizedName(OperatorName);
    for (int Index = fmoBetween; Index <= fmoNotContaining; ++Index) {
        const auto Entry = static_cast<std::size_t>(Index);
        if (NormalizedName(MoreOperatorNames[Entry]) == Wanted ||
            NormalizedName(fmonComputer[Entry]) == Wanted)
            return static_cast<TFilterMoreOperatorIndex>(Index);
    }
    return std::nullopt;
}

TDBFilterGrid::TRowOperator TDBFilterGrid::GetRowOperator(int Row,
                                                          const std::string& FieldName) const {
    if (!FFilterBuilderOptions.Contains(fboMoreOperators))
        return {GetOpCell(Row, FieldName), std::nullopt};
    const std::string OperatorText = FilterCellText(fciOperator, Row);
    const bool Strict = FFilterGridOptions.Contains(fgoStrictOperators);
    const bool Correct = FFilterGridOptions.Contains(fgoCorrect);
    // A name of today's operators keeps its meaning, whatever the more operators are named.
    if (OperatorText.empty() || FindOperatorName(OperatorText))
        return {GetOpCell(Row, FieldName), std::nullopt};
    if (const auto More = FindMoreOperatorName(OperatorText)) {
        if (Strict && !Correct && !ApplicableMoreOperators(FieldName).Contains(*More))
            throw Exception("TDBFilterGrid.OperatorNameToIndexStrict() Operator \"" + OperatorText +
                            "\" not applicable to field \"" + FieldName + "\".");
        return {MoreOperatorSQL(*More), More};
    }
    if (!Strict || !Correct)
        return {GetOpCell(Row, FieldName), std::nullopt};
    // The correcting path reads the text as the closest name of either list, leaving out
    // the more operators that do not fit the field (an empty name is never the closest).
    std::vector<std::string> Names(OperatorNames.Names().begin(), OperatorNames.Names().end());
    const TFilterMoreOperatorIndexes Fitting = ApplicableMoreOperators(FieldName);
    for (int Index = fmoBetween; Index <= fmoNotContaining; ++Index)
        Names.push_back(Fitting.Contains(static_cast<TFilterMoreOperatorIndex>(Index))
                            ? MoreOperatorNames[static_cast<std::size_t>(Index)]
                            : std::string());
    const std::optional<std::size_t> Closest = ClosestName(Names, OperatorText);
    if (!Closest || *Closest < static_cast<std::size_t>(FilterOperatorCount))
        return {GetOpCell(Row, FieldName), std::nullopt};
    const auto More = static_cast<TFilterMoreOperatorIndex>(*Closest - FilterOperatorCount);
    return {MoreOperatorSQL(More), More};
}

std::string TDBFilterGrid::ComposeMoreOperator(TFilterMoreOperatorIndex Index,
                                               const std::string& FieldName,
                                               const std::string& Value, int Row) const {
    if (Value.find('\0') != std::string::npos)
        RaiseInRow(Index, Row, "has a value holding a NUL character");
    const std::string Name = UnbracketString(FieldName);
    const std::string Field = SharedInternal::ContainsChar(Name, ' ') ? BracketString(Name) : Name;
    const TFieldType DataType = FieldOf(FieldName).DataType();
    const bool Quoted = QuotedType(FieldName);
    const bool Fold = IsTextType(DataType) && !FFilterGridOptions.Contains(fgoCaseSensitive);
    const std::string Subject = Fold ? "UPPER(" + Field + ")" : Field;

    // One value as the condition writes it: a literal of what was typed, or a number
    // (or truth value) checked as the grid checks any unquoted value.
    auto Item = [&](const std::string& Text) {
        if (Quoted)
            return TextLiteral(Fold ? UpperCaseText(Text) : Text);
        try {
            CheckUnquotedValue(FieldName, MoreOperatorSQL(Index), Text);
        } catch (const Exception& Error) {
            const std::string& Message = Error.Message();
            throw Exception(Message.substr(0, Message.size() - 1) + " (" + MoreOperatorSQL(Index) +
                            " in row " + std::to_string(Row) + ").");
        }
        return Text;
    };
    const std::vector<std::string> Items = SplitValueItems(Value, ValueEscape(FWildcards));
    const bool AnyEmpty = std::any_of(Items.begin(), Items.end(),
                                      [](const std::string& Text) { return Text.empty(); });
    const std::string Separator(1, FilterValueSeparator);

    switch (Index) {
    case fmoBetween:
        if (Items.size() != 2 || AnyEmpty)
            RaiseInRow(Index, Row, "takes two values separated by '" + Separator + "'");
        return Subject + " BETWEEN " + Item(Items[0]) + " AND " + Item(Items[1]);
    case fmoInList: {
        if (Items.empty() || AnyEmpty)
            RaiseInRow(Index, Row, "takes one or more values separated by '" + Separator + "'");
        std::string List;
        for (const std::string& Text : Items)
            List += (List.empty() ? "" : ", ") + Item(Text);
        return Subject + " IN (" + List + ")";
    }
    case fmoIsBlank:
        if (IsTextType(DataType))
            return "(" + Field + " IS NULL OR " + Field + " = '')";
        return Field + " IS NULL";
    case fmoIsNotBlank:
        if (IsTextType(DataType))
            return "(" + Field + " IS NOT NULL AND " + Field + " <> '')";
        return Field + " IS NOT NULL";
    default:
        break;
    }

    const std::string Text = TrimControlsAndSpaces(Value);
    if (Text.empty())
        RaiseInRow(Index, Row, "takes a value");
    if (!Quoted)
        RaiseInRow(Index, Row, "does not apply to field \"" + FieldName + "\"");
    if (Index == fmoEndsWith)
        return Subject + " LIKE " + PatternLiteral(Fold ? UpperCaseText(Text) : Text, false);

    // Letter case is treated as the composer treats a containing condition: the dialect's
    // CONTAINING ignores it, and the case-sensitive SQL kind with wildcards matches with
    // LIKE. The value is always matched as the exact text typed.
    const bool CaseSensitive = FFilterGridOptions.Contains(fgoCaseSensitive);
    const bool CaseSensitiveContaining = FFilterGridOptions.Contains(fgoCaseSensitiveContaining);
    if (CaseSensitive && !CaseSensitiveContaining && FFilterKind == fkSQL && !FWildcards.empty())
        return "NOT (" + Field + " LIKE " + PatternLiteral(Text, true) + ")";
    const bool FoldContaining = !CaseSensitive && CaseSensitiveContaining;
    return "NOT (" + (FoldContaining ? "UPPER(" + Field + ")" : Field) + " CONTAINING " +
           TextLiteral(FoldContaining ? UpperCaseText(Text) : Text) + ")";
}

std::optional<std::string> TDBFilterGrid::PickIntoValueList(int Row,
                                                            const std::string& Picked) const {
    if (!FFilterBuilderOptions.Contains(fboMoreOperators))
        return std::nullopt;
    std::optional<TFilterMoreOperatorIndex> More;
    try {
        More = GetRowOperator(Row, FilterCellText(fciLeftArg, Row)).More;
    } catch (const Exception&) {
        // An operator the grid cannot read yet takes a value as any other row does.
        return std::nullopt;
    }
    if (More != fmoInList && More != fmoBetween)
        return std::nullopt;
    const char Escape = ValueEscape(FWildcards);
    std::vector<std::string> Items = SplitValueItems(FilterCellText(fciRightArg, Row), Escape);
    std::erase(Items, std::string());
    const std::string Value = TrimControlsAndSpaces(Picked);
    if (More == fmoBetween) {
        // The first pick sets the lower end, the second the upper; a full pair starts over.
        if (Items.size() != 1)
            Items.clear();
        Items.push_back(Value);
    } else if (std::erase(Items, Value) == 0) {
        Items.push_back(Value);
    }
    return JoinValueItems(Items, Escape);
}

} // namespace vorn
