#pragma once

#include "host/components/model/Component.h"
#include "host/data/dataset/FieldType.h"
#include "host/data/dataset/Variant.h"

#include <cstdint>
#include <string>

namespace vorn {

class TDataSet;

// How a field's text sits in its cell.
enum TAlignment { taLeftJustify, taRightJustify, taCenter };

// One field of a dataset: a column of the current record (fkData), a value computed by
// the dataset's OnCalcFields handler (fkCalculated), or a value looked up in another
// dataset by key (fkLookup). A field reads the dataset's current record; asking a
// closed dataset for a value raises EDatabaseError.
class TField : public TObject {
public:
    TField(TDataSet& DataSet, std::string FieldName, TFieldType DataType, int Size,
           TFieldKind FieldKind);
    ~TField() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    const std::string& FieldName() const { return FFieldName; }
    TDataSet* DataSet() const { return FDataSet; }
    TFieldKind FieldKind() const { return FFieldKind; }
    TFieldType DataType() const { return FDataType; }
    int Size() const { return FSize; }
    // The position of the field in its dataset's Fields.
    int Index() const;
    bool IsBlob() const { return FDataType == ftMemo || FDataType == ftBlob; }
    bool Calculated() const { return FFieldKind == fkCalculated || FFieldKind == fkInternalCalc; }
    bool Lookup() const { return FFieldKind == fkLookup; }

    // The caption for the field; the field name until set.
    std::string DisplayLabel() const { return FDisplayLabel.empty() ? FFieldName : FDisplayLabel; }
    void SetDisplayLabel(const std::string& Value) { FDisplayLabel = Value; }
    // Characters shown by default: the size of a text field, else a width fit for the type.
    int DisplayWidth() const;
    void SetDisplayWidth(int Value) { FDisplayWidth = Value; }
    // Numbers sit at the right of their cells, everything else at the left.
    TAlignment Alignment() const;
    // The decimal places a number of this field shows: the scale the catalog gives a
    // fixed-point column (NUMERIC(12,2): 2), 2 for money; -1 where the text is shown as the
    // database gave it (other types, a fixed-point column of no declared scale).
    int DisplayDecimals() const;
    // The text to show for Text, a value of this field as AsString gives it: a number
    // with DisplayDecimals places; Text itself where it has none or is no number.
    std::string DisplayTextOf(const std::string& Text) const;

    // The value of the current record, converted to the field's type where the database
    // stored a compatible representation (0/1 for a boolean, ISO text for a date).
    TVariant Value() const;
    bool IsNull() const { return Value().IsNull(); }
    // Null reads as the empty text, 0 or false; other conversion failures raise
    // EConvertError naming the field.
    std::string AsString() const;
    // The text AsString gives when the field stores Stored (a value of a record window).
    std::string TextOf(const TVariant& Stored) const;
    std::int64_t AsInteger() const;
    double AsFloat() const;
    bool AsBoolean() const;
    TDateTime AsDateTime() const;

    // Only calculated fields are written, and only inside the dataset's OnCalcFields.
    void SetValue(const TVariant& Value);
    void SetAsString(const std::string& Value) { SetValue(TVariant(Value)); }
    void SetAsInteger(std::int64_t Value) { SetValue(TVariant(Value)); }
    void SetAsFloat(double Value) { SetValue(TVariant(Value)); }
    void SetAsBoolean(bool Value) { SetValue(TVariant(Value)); }

    // Lookup fields: the dataset searched, this dataset's fields whose values are the
    // key ("A;B"), the lookup dataset's matching fields, and the field whose value is
    // shown. The lookup dataset is dropped when it is freed.
    TDataSet* LookupDataSet() const { return FLookupDataSet; }
    const std::string& KeyFields() const { return FKeyFields; }
    const std::string& LookupKeyFields() const { return FLookupKeyFields; }
    const std::string& LookupResultField() const { return FLookupResultField; }
    void SetLookupDataSet(TDataSet* Value);
    void SetKeyFields(const std::string& Value) { FKeyFields = Value; }
    void SetLookupKeyFields(const std::string& Value) { FLookupKeyFields = Value; }
    void SetLookupResultField(const std::string& Value) { FLookupResultField = Value; }

private:
    friend class TDataSet;

    TVariant ConvertStored(const TVariant& Stored) const;
    template <typename F>
    auto Converted(F Conversion) const;

    TDataSet* FDataSet;
    std::string FFieldName;
    TFieldType FDataType;
    int FSize;
    TFieldKind FFieldKind;
    std::string FDisplayLabel;
    int FDisplayWidth = 0;
    // For a data field the column in the dataset's record, for the others the slot in
    // the dataset's calculated values.
    int FSlot = 0;
    // A data field of an earlier opening of its dataset: it stays a valid object, but
    // has no value any more.
    bool FDetached = false;
    TDataSet* FLookupDataSet = nullptr;
    std::string FKeyFields;
    std::string FLookupKeyFields;
    std::string FLookupResultField;
};

} // namespace vorn
