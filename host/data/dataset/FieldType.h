#pragma once

namespace vorn {

// The data type of a field, as mapped from the column type the database declares.
enum TFieldType {
    ftUnknown,
    ftString,
    ftSmallint,
    ftInteger,
    ftWord,
    ftBoolean,
    ftFloat,
    ftCurrency,
    ftBCD,
    ftDate,
    ftTime,
    ftDateTime,
    ftBytes,
    ftVarBytes,
    ftAutoInc,
    ftBlob,
    ftMemo,
    ftFixedChar,
    ftWideString,
    ftLargeint
};

// Where a field's value comes from: a column of the database (fkData), the
// application's OnCalcFields handler (fkCalculated, fkInternalCalc) or another
// dataset looked up by key (fkLookup).
enum TFieldKind { fkData, fkCalculated, fkLookup, fkInternalCalc };

// The name of a field type as written in messages ("ftInteger").
const char* FieldTypeName(TFieldType Type);

} // namespace vorn
