#include "Source/DBFilterGrid.h"

#include "Source/DBFilterGridInternal.h"
#include "Source/Vorn_shared.h"
#include "Source/Vorn_sharedInternal.h"
#include "host/components/text/AsciiText.h"
#include "host/data/dataset/Field.h"

#include <optional>

namespace vorn {

namespace {

using FilterGridInternal::ClosestName;
using FilterGridInternal::NormalizedName;
using SharedInternal::EscapeEach;
using SharedInternal::QuoteValue;

constexpr const char* ConnectorAnd = "AND";
constexpr const char* ConnectorOr = "OR";

// The filter syntax's own operators are the names of the computer vocabulary.
const std::string& SQLOperatorOf(TFilterOperatorIndex Index) {
    return fonComputer[static_cast<std::size_t>(Index)];
}

bool IsNullTest(const std::string& SQLOperator) {
    const std::string Operator = NormalizedName(SQLOperator);
    return Operator == SQLOperatorOf(foiIsNull) || Operator == SQLOperatorOf(foiIsNotNull);
}

// Text that names no operator of the grid's vocabulary reaches a condition as it was
// typed; it is let through only when it is itself an operator of the filter syntax, as
// anything else would be spliced into the expression.
std::string SyntaxOperator(const std::string& OperatorText) {
    const std::string Operator = NormalizedName(OperatorText);
    for (int Index = foiLess; Index <= foiIsNotNull; ++Index)
        if (Operator == SQLOperatorOf(static_cast<TFilterOperatorIndex>(Index)))
            return Operator;
    throw Exception("GetOpCell() Bad operator.");
}

bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

// Skips a run of digits from Position; false when there was none.
bool SkipDigits(const std::string& Text, std::size_t& Position) {
    const std::size_t Start = Position;
    while (Position < Text.size() && IsDigit(Text[Position]))
        ++Position;
    return Position > Start;
}

// One decimal number as the filter texts write it: an optional minus, digits with an
// optional fraction (or a fraction alone), and an optional exponent.
bool IsNumberLiteral(const std::string& Text) {
    std::size_t Position = 0;
    if (Position < Text.size() && Text[Position] == '-')
        ++Position;
    const bool IntegerDigits = SkipDigits(Text, Position);
    if (Position < Text.size() && Text[Position] == '.') {
        ++Position;
        if (!SkipDigits(Text, Position))
            return false;
    } else if (!IntegerDigits) {
        return false;
    }
    if (Position < Text.size() && (Text[Position] == 'e' || Text[Position] == 'E')) {
        ++Position;
        if (Position < Text.size() && (Text[Position] == '+' || Text[Position] == '-'))
            ++Position;
        if (!SkipDigits(Text, Position))
            return false;
    }
    return Position == Text.size();
}

bool IsUnquotedType(TFieldType DataType) {
    switch (DataType) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftBoolean:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc:
    case ftLargeint:
        return true;
    default:
        return false;
    }
}

} // namespace

std::string TDBFilterGrid::OperatorIndexTOSQLOperator(TFilterOperatorIndex Index) {
    if (Index < foiLess || Index > foiIsNotNull)
        throw Exception("TDBFilterGrid.OperatorIndexTOSQLOperator() Unknown operator index.");
    return SQLOperatorOf(Index);
}

std::optional<TFilterOperatorIndex>
TDBFilterGrid::FindOperatorName(const std::string& OperatorName) const {
    const std::string Wanted = NormalizedName(OperatorName);
    for (int Index = foiLess; Index <= foiIsNotNull; ++Index)
        if (NormalizedName(OperatorNames[static_cast<std::size_t>(Index)]) == Wanted)
            return static_cast<TFilterOperatorIndex>(Index);
    return std::nullopt;
}

TFilterOperatorIndex TDBFilterGrid::OperatorNameToIndex(const std::string& OperatorName) const {
    const std::optional<TFilterOperatorIndex> Index = FindOperatorName(OperatorName);
    if (!Index)
        throw Exception("TDBFilterGrid.OperatorNameToIndex() Unknown operator name: '" +
                        OperatorName + "'.");
    return *Index;
}

TFilterOperatorIndex TDBFilterGrid::OperatorNameToIndexStrict(const std::string& OperatorName,
                                                              const std::string& FieldName) const {
    const TFilterOperatorIndexes Allowed = ApplicableOperators(FieldName);
    const TFilterOperatorIndex Index = OperatorNameToIndex(OperatorName);
    if (Allowed.Contains(Index))
        return Index;
    throw Exception("TDBFilterGrid.OperatorNameToIndexStrict() Operator \"" + OperatorName +
                    "\" not applicable to field \"" + FieldName + "\".");
}

TFilterOperatorIndexes TDBFilterGrid::ApplicableOperators(const std::string& FieldName) const {
    const TFilterOperatorIndexes Allowed =
        QuotedType(FieldName) ? AllFilterOperatorIndexes : UnquotedFilterOperatorIndexes;
    if (FFilterKind == fkSimple)
        return Allowed * SimpleFilterOperatorIndexes;
    return Allowed;
}

TField& TDBFilterGrid::FieldOf(const std::string& FieldName) const {
    const TDataSet* DataSet = FDataLink->DataSet();
    if (DataSet == nullptr)
        throw Exception("TDBFilterGrid.QuotedType() DataSet is not assigned.");
    if (!DataSet->Active())
        throw Exception("TDBFilterGrid.QuotedType() DataSet is not active.");
    return *DataSet->FieldByName(UnbracketString(FieldName));
}

bool TDBFilterGrid::QuotedType(const std::string& FieldName) const {
    return !IsUnquotedType(FieldOf(FieldName).DataType());
}

std::string TDBFilterGrid::FilterCellText(TFilterColumnIndex Column, int Row) const {
    return TrimControlsAndSpaces(Cells(FilterColumn(Column), Row));
}

void TDBFilterGrid::SetFilterCell(TFilterColumnIndex Column, int Row, const std::string& Value) {
    SetCells(FilterColumn(Column), Row, Value);
}

std::optional<TFilterOperatorIndex>
TDBFilterGrid::ClosestOperatorName(const std::string& OperatorText) const {
    const TFilterOperatorNames& Names = OperatorNames.Names();
    const auto Found = ClosestName({Names.begin(), Names.end()}, OperatorText);
    if (!Found)
        return std::nullopt;
    return static_cast<TFilterOperatorIndex>(*Found);
}

std::string TDBFilterGrid::GetOpCell(int Row, const std::string& FieldName) const {
    const std::string OperatorText = FilterCellText(fciOperator, Row);
    if (OperatorText.empty())
        return std::string();
    const bool Correct = FFilterGridOptions.Contains(fgoCorrect);
    if (!FFilterGridOptions.Contains(fgoStrictOperators)) {
        if (const auto Index = FindOperatorName(OperatorText))
            return OperatorIndexTOSQLOperator(*Index);
        return OperatorText;
    }
    if (!Correct)
        return OperatorIndexTOSQLOperator(OperatorNameToIndexStrict(OperatorText, FieldName));
    if (const auto Index = ClosestOperatorName(OperatorText))
        return OperatorIndexTOSQLOperator(*Index);
    if (FFilterGridOptions.Contains(fgoExceptions))
        throw Exception("GetOpCell() Bad operator.");
    return OperatorIndexTOSQLOperator(FDefaultOperator);
}

std::string TDBFilterGrid::ConnectorToSQL(const std::string& ConnectorText, int Row) const {
    if (ConnectorText.empty())
        return std::string();
    const std::string Connector = NormalizedName(ConnectorText);
    if (Connector == NormalizedName(BoolNames[fbiFalse]) || Connector == ConnectorAnd)
        return ConnectorAnd;
    if (Connector == NormalizedName(BoolNames[fbiTrue]) || Connector == ConnectorOr)
        return ConnectorOr;
    throw Exception("TDBFilterGrid.GetFilterExpression() Unknown connector in row " +
                    std::to_string(Row) + ": '" + ConnectorText + "'.");
}

std::string TDBFilterGrid::ConnectorDisplayName(const std::string& SQLConnector) const {
    if (SQLConnector == ConnectorAnd)
        return BoolNames[fbiFalse];
    if (SQLConnector == ConnectorOr)
        return BoolNames[fbiTrue];
    return SQLConnector;
}

std::string TDBFilterGrid::OperatorDisplayName(const std::string& SQLOperator) const {
    for (int Index = foiLess; Index <= foiIsNotNull; ++Index)
        if (SQLOperator == SQLOperatorOf(static_cast<TFilterOperatorIndex>(Index)))
            return OperatorNames[static_cast<std::size_t>(Index)];
    return SQLOperator;
}

void TDBFilterGrid::CheckUnquotedValue(const std::string& FieldName, const std::string& Operator,
                                       const std::string& Value) const {
    // An empty value is the composer's to judge; a null test ignores the value.
    if (Value.empty() || IsNullTest(Operator))
        return;
    if (FieldOf(FieldName).DataType() == ftBoolean) {
        const std::string Word = NormalizedName(Value);
        if (Word == "TRUE" || Word == "FALSE")
            return;
        throw Exception("TDBFilterGrid.GetFilterExpression() Value '" + Value + "' of field \"" +
                        FieldName + "\" is neither true nor false.");
    }
    if (IsNumberLiteral(Value))
        return;
    throw Exception("TDBFilterGrid.GetFilterExpression() Value '" + Value + "' of field \"" +
                    FieldName + "\" is not a number.");
}

// A value that reads as one literal ('x') would be taken for the literal: it is written
// as a literal of itself. In the SQL kind the composer first looks for wildcards and then
// drops one level of its escape character, so wildcards and escapes are escaped once more.
std::string TDBFilterGrid::ExactValueText(const std::string& Value) const {
    std::string Text = Value;
    if (QuoteValue(Value, false) == Value)
        Text = "'" + EscapeEach(Value, "\\'", '\\') + "'";
    if (FFilterKind != fkSQL || FWildcards.size() < 2)
        return Text;
    const char Escape = FWildcards.size() == 3 ? FWildcards[2] : '\\';
    const char Escaped[] = {FWildcards[0], FWildcards[1], Escape};
    return EscapeEach(Text, std::string_view(Escaped, 3), Escape);
}

bool TDBFilterGrid::BeginExpression() {
    HideInCellEditor();
    VORN_ASSERT(FDataLink != nullptr);
    const TDataSet* DataSet = FDataLink->DataSet();
    if (DataSet != nullptr && DataSet->Active())
        return true;
    if (FFilterGridOptions.Contains(fgoCorrect))
        Clear();
    return false;
}

TDBFilterGrid::TExpressionSettings TDBFilterGrid::ExpressionSettings() const {
    TExpressionSettings Settings;
    Settings.Correct = FFilterGridOptions.Contains(fgoCorrect);
    Settings.SQLKind = FFilterKind == fkSQL;
    if (Settings.SQLKind) {
        Settings.Wildcards = FWildcards;
        Settings.TargetWildcards = FTargetWildcards;
    }
    // On the correcting path the cells are written back in the grid's own vocabulary,
    // which is what its user reads and types.
    Settings.ShowVocabulary = Settings.Correct && FFilterGridOptions.Contains(fgoStrictOperators);
    return Settings;
}

TDBFilterGrid::TRowCondition
TDBFilterGrid::ReadRowCondition(int Row, const std::string& FieldName,
                                const TRowOperator& RowOperator,
                                const TExpressionSettings& Settings) const {
    TRowCondition Condition;
    Condition.Row = Row;
    Condition.FieldName = FieldName;
    Condition.Value = FilterCellText(fciRightArg, Row);
    // The more operators compose and check their own values.
    Condition.More = RowOperator.More;
    if (Condition.More)
        return Condition;
    Condition.Operator = RowOperator.SQLOperator;
    if (Condition.Operator.empty())
        Condition.Operator = Condition.Value.empty() && Settings.SQLKind
                                 ? OperatorIndexTOSQLOperator(foiIsNull)
                                 : OperatorIndexTOSQLOperator(FDefaultOperator);
    Condition.Operator = SyntaxOperator(Condition.Operator);
    Condition.Quoted = QuotedType(FieldName);
    if (!Condition.Quoted)
        CheckUnquotedValue(FieldName, Condition.Operator, Condition.Value);
    return Condition;
}

std::string TDBFilterGrid::AppendRowCondition(const std::string& FilterText, std::string& Connector,
                                              TRowCondition& Condition,
                                              const TExpressionSettings& Settings) {
    const int Row = Condition.Row;
    // Only the builder reads more operators, and it joins each condition itself.
    if (Condition.More) {
        VORN_ASSERT(FilterText.empty());
        const std::size_t Index = static_cast<std::size_t>(*Condition.More);
        const std::string Text =
            ComposeMoreOperator(*Condition.More, Condition.FieldName, Condition.Value, Row);
        if (Settings.Correct) {
            SetFilterCell(fciLeftArg, Row, Condition.FieldName);
            SetFilterCell(fciOperator, Row,
                          Settings.ShowVocabulary ? MoreOperatorNames[Index] : fmonComputer[Index]);
        }
        return Text;
    }

    std::string CorrectedValue;
    const std::string Result = AppendFilter(
        FilterText, Connector, Condition.FieldName, Condition.Operator, Condition.Value,
        CorrectedValue, Condition.Quoted, FFilterGridOptions.Contains(fgoCaseSensitive),
        Settings.Wildcards, Settings.TargetWildcards,
        FFilterGridOptions.Contains(fgoCaseSensitiveContaining),
        FFilterGridOptions.Contains(fgoExceptions));
    if (Settings.Correct) {
        SetFilterCell(fciLeftArg, Row, Condition.FieldName);
        SetFilterCell(fciOperator, Row,
                      Settings.ShowVocabulary ? OperatorDisplayName(Condition.Operator)
                                              : Condition.Operator);
        const std::string& CellValue = FFilterGridOptions.Contains(fgoCorrectTranslateWildcards)
                                           ? Condition.Value
                                           : CorrectedValue;
        // A value with blanks at an end ("New " of "New *") would be read back trimmed, as
        // another value: the cell keeps what the user typed.
        if (TrimControlsAndSpaces(CellValue) == CellValue)
            SetFilterCell(fciRightArg, Row, CellValue);
    }
    return Result;
}

void TDBFilterGrid::WriteBackConnector(int Row, const std::string& Connector,
                                       const TExpressionSettings& Settings) {
    if (Settings.Correct && Row >= FixedRows())
        SetFilterCell(fciBoolOperator, Row,
                      Settings.ShowVocabulary ? ConnectorDisplayName(Connector) : Connector);
}

std::string TDBFilterGrid::GetFilterExpression() {
    if (FFilterBuilderOptions.Contains(fboGroups) ||
        FFilterBuilderOptions.Contains(fboMoreOperators))
        return GetBuilderExpression();
    std::string Result;
    if (!BeginExpression())
        return Result;
    const TExpressionSettings Settings = ExpressionSettings();
    std::string ConnectorText;
    for (int Row = FixedRows(); Row < RowCount(); ++Row) {
        const std::string FieldName = FilterCellText(fciLeftArg, Row);
        const TRowOperator RowOperator = GetRowOperator(Row, FieldName);
        if (!FieldName.empty()) {
            TRowCondition Condition = ReadRowCondition(Row, FieldName, RowOperator, Settings);
            // Before the first condition the connector joins nothing: it stays as it is.
            std::string Connector =
                Result.empty() ? ConnectorText : ConnectorToSQL(ConnectorText, Row - 1);
            Result = AppendRowCondition(Result, Connector, Condition, Settings);
            WriteBackConnector(Row - 1, Connector, Settings);
        }
        ConnectorText = FilterCellText(fciBoolOperator, Row);
    }
    return Result;
}

} // namespace vorn
