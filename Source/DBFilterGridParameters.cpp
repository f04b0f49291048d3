#include "Source/DBFilterGrid.h"

#include "host/components/text/AsciiText.h"
#include "host/data/dataset/Field.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace vorn {

namespace {

constexpr const char* ParameterizedFilterContext = "TDBFilterGrid.GetParameterizedFilter() ";

enum TValueType { vtString, vtInteger, vtFloat, vtBoolean };

TValueType ValueTypeOfField(TFieldType DataType) {
    switch (DataType) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftAutoInc:
    case ftLargeint:
        return vtInteger;
    case ftFloat:
    case ftCurrency:
    case ftBCD:
        return vtFloat;
    case ftBoolean:
        return vtBoolean;
    default:
        return vtString;
    }
}

// The type a value is bound with: the type of the field it is compared with; a value that
// meets no field of the dataset keeps the type it was written with. A pattern is text
// whatever it matches.
TValueType ValueTypeOf(const TSqlParameterSource& Source, const TDataSet* DataSet) {
    if (Source.Kind == spkPattern)
        return vtString;
    if (DataSet != nullptr && !Source.FieldName.empty())
        if (const TField* Field = DataSet->FindField(Source.FieldName))
            return ValueTypeOfField(Field->DataType());
    switch (Source.Kind) {
    case spkNumber:
        return vtInteger;
    case spkBoolean:
        return vtBoolean;
    default:
        return vtString;
    }
}

template <typename TNumber>
bool ReadWhole(const std::string& Text, TNumber& Number) {
    const char* End = Text.data() + Text.size();
    const auto Read = std::from_chars(Text.data(), End, Number);
    return Read.ec == std::errc() && Read.ptr == End;
}

[[noreturn]] void RefuseValue(const std::string& Text, const TSqlParameterSource& Source,
                              const char* What) {
    throw Exception(std::string(ParameterizedFilterContext) + "Value '" + Text + "' of field \"" +
                    Source.FieldName + "\" is not " + What + ".");
}

// A number for an integer field is an integer when it has one, a fraction (30.5) stays a
// fraction: the comparison keeps its meaning.
TVariant IntegerValue(const std::string& Text, const TSqlParameterSource& Source) {
    std::int64_t Integer = 0;
    if (ReadWhole(Text, Integer))
        return TVariant(Integer);
    double Number = 0;
    if (!ReadWhole(Text, Number) || !std::isfinite(Number))
        RefuseValue(Text, Source, "a number");
    // Both bounds are powers of two, exact as doubles.
    constexpr double Bound = 9223372036854775808.0;
    if (Number == std::trunc(Number) && Number >= -Bound && Number < Bound)
        return TVariant(static_cast<std::int64_t>(Number));
    return TVariant(Number);
}

TVariant FloatValue(const std::string& Text, const TSqlParameterSource& Source) {
    double Number = 0;
    if (!ReadWhole(Text, Number) || !std::isfinite(Number))
        RefuseValue(Text, Source, "a number");
    return TVariant(Number);
}

TVariant BooleanValue(const std::string& Text, const TSqlParameterSource& Source) {
    const std::string Word = UpperCaseAscii(Text);
    if (Word == "TRUE" || Word == "1")
        return TVariant(true);
    if (Word == "FALSE" || Word == "0")
        return TVariant(false);
    RefuseValue(Text, Source, "true or false");
}

TVariant TypedValue(const std::string& Text, const TSqlParameterSource& Source,
                    const TDataSet* DataSet) {
    switch (ValueTypeOf(Source, DataSet)) {
    case vtInteger:
        return IntegerValue(Text, Source);
    case vtFloat:
        return FloatValue(Text, Source);
    case vtBoolean:
        return BooleanValue(Text, Source);
    case vtString:
        break;
    }
    return TVariant(Text);
}

} // namespace

TParameterizedFilter TDBFilterGrid::GetParameterizedFilter(TSqlBackend Backend) {
    // A NUL would end the value early where it is handed on as a C string: refused before
    // anything, the corrections included, is done, but after the in-cell editor has put
    // its text into its cell.
    HideInCellEditor();
    for (int Row = FixedRows(); Row < RowCount(); ++Row)
        if (Cells(FilterColumn(fciRightArg), Row).find('\0') != std::string::npos)
            throw Exception(std::string(ParameterizedFilterContext) + "The value in row " +
                            std::to_string(Row) + " holds a NUL character.");
    const std::string Expression = GetFilterExpression();
    TParameterizedFilter Result;
    if (Expression.empty())
        return Result;
    const TSqlConditionForm Form = FFilterKind == fkSQL ? scfWhereClause : scfSimpleFilter;
    const TTranslatedSql Translated =
        TranslateCondition(Expression, Backend, Form, 1, svbAllValues);
    const TDataSet* DataSet = FDataLink->DataSet();
    Result.Values.reserve(Translated.Parameters.size());
    for (std::size_t Index = 0; Index < Translated.Parameters.size(); ++Index)
        Result.Values.push_back(
            TypedValue(Translated.Parameters[Index], Translated.ParameterSources[Index], DataSet));
    Result.Condition = Translated.Text;
    return Result;
}

} // namespace vorn
