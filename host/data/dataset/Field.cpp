#include "host/data/dataset/Field.h"

#include "host/data/dataset/DataSet.h"
#include "host/data/drivers/DatabaseError.h"

#include <charconv>

namespace vorn {

const TClass& TField::StaticClass() {
    static const TClass Class("TField", &TObject::StaticClass());
    return Class;
}

TField::TField(TDataSet& DataSet, std::string FieldName, TFieldType DataType, int Size,
               TFieldKind FieldKind)
    : FDataSet(&DataSet), FFieldName(std::move(FieldName)), FDataType(DataType), FSize(Size),
      FFieldKind(FieldKind) {}

TField::~TField() {
    SetLookupDataSet(nullptr);
}

int TField::Index() const {
    for (int Position = 0; Position < FDataSet->FieldCount(); ++Position)
        if (FDataSet->Fields(Position) == this)
            return Position;
    return -1;
}

int TField::DisplayWidth() const {
    if (FDisplayWidth > 0)
        return FDisplayWidth;
    switch (FDataType) {
    case ftString:
    case ftFixedChar:
    case ftWideString:
        return FSize > 0 ? FSize : 20;
    case ftBoolean:
        return 5;
    case ftSmallint:
    case ftWord:
        return 6;
    case ftInteger:
    case ftAutoInc:
        return 11;
    case ftDate:
    case ftTime:
        return 10;
    case ftDateTime:
        return 19;
    default:
        return 20;
    }
}

void TField::SetLookupDataSet(TDataSet* Value) {
    if (Value == FLookupDataSet)
        return;
    if (FLookupDataSet != nullptr)
        FLookupDataSet->RemoveLookupClient(this);
    FLookupDataSet = Value;
    if (FLookupDataSet != nullptr)
        FLookupDataSet->AddLookupClient(this);
}

TVariant TField::ConvertStored(const TVariant& Stored) const {
    if (Stored.IsNull())
        return Stored;
    try {
        switch (FDataType) {
        case ftBoolean:
            return TVariant(Stored.AsBoolean());
        case ftDate:
        case ftTime:
        case ftDateTime:
            return TVariant::FromDateTime(Stored.AsDateTime());
        default:
            return Stored;
        }
    } catch (const EConvertError&) {
        // The database holds something else in this column; show it as it is.
        return Stored;
    }
}

TVariant TField::Value() const {
    return ConvertStored(FDataSet->FieldValue(*this));
}

template <typename F>
auto TField::Converted(F Conversion) const {
    const TVariant Current = Value();
    using TResult = decltype(Conversion(Current));
    if (Current.IsNull())
        return TResult{};
    try {
        return Conversion(Current);
    } catch (const EConvertError& Error) {
        throw EConvertError("Field '" + FFieldName + "': " + Error.Message());
    }
}

std::string TField::AsString() const {
    return TextOf(FDataSet->FieldValue(*this));
}

TAlignment TField::Alignment() const {
    switch (FDataType) {
    case ftSmallint:
    case ftInteger:
    case ftWord:
    case ftFloat:
    case ftCurrency:
    case ftBCD:
    case ftAutoInc:
    case ftLargeint:
        return taRightJustify;
    default:
        return taLeftJustify;
    }
}

int TField::DisplayDecimals() const {
    if (FDataType == ftCurrency)
        return 2;
    return FDataType == ftBCD && FSize > 0 ? FSize : -1;
}

std::string TField::DisplayTextOf(const std::string& Text) const {
    const int Decimals = DisplayDecimals();
    if (Decimals < 0 || Text.empty())
        return Text;
    double Number = 0;
    const char* const End = Text.data() + Text.size();
    const auto Parsed = std::from_chars(Text.data(), End, Number);
    if (Parsed.ec != std::errc() || Parsed.ptr != End)
        return Text;
    char Buffer[400];
    const auto Written =
        std::to_chars(Buffer, Buffer + sizeof Buffer, Number, std::chars_format::fixed, Decimals);
    return Written.ec == std::errc() ? std::string(Buffer, Written.ptr) : Text;
}

std::string TField::TextOf(const TVariant& Stored) const {
    // Text keeps the spelling the database stored (a date as written, not reformatted).
    if (Stored.VarType() == varString && FDataType != ftBoolean)
        return Stored.AsString();
    const TVariant Value = ConvertStored(Stored);
    // A time field's value counts from the day zero of date-times, which is no part of it.
    if (FDataType == ftTime && Value.VarType() == varDateTime)
        return FormatTimeOfDay(Value.AsDateTime());
    return Value.AsString();
}

std::int64_t TField::AsInteger() const {
    return Converted([](const TVariant& V) { return V.AsInteger(); });
}

double TField::AsFloat() const {
    return Converted([](const TVariant& V) { return V.AsFloat(); });
}

bool TField::AsBoolean() const {
    return Converted([](const TVariant& V) { return V.AsBoolean(); });
}

TDateTime TField::AsDateTime() const {
    return Converted([](const TVariant& V) { return V.AsDateTime(); });
}

void TField::SetValue(const TVariant& Value) {
    FDataSet->SetCalculatedValue(*this, Value);
}

} // namespace vorn
