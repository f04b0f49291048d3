#pragma once

#include "host/data/dataset/FieldType.h"
#include "host/data/dataset/Variant.h"

#include <optional>
#include <string>

namespace vorn {

// Type OIDs of the built-in PostgreSQL types the data-access layer knows by name.
enum TPgTypeOid : unsigned {
    pgBool = 16,
    pgBytea = 17,
    pgInt8 = 20,
    pgInt2 = 21,
    pgInt4 = 23,
    pgText = 25,
    pgOid = 26,
    pgJson = 114,
    pgXml = 142,
    pgFloat4 = 700,
    pgFloat8 = 701,
    pgMoney = 790,
    pgBpchar = 1042,
    pgVarchar = 1043,
    pgDate = 1082,
    pgTime = 1083,
    pgTimestamp = 1114,
    pgTimestampTz = 1184,
    pgTimeTz = 1266,
    pgNumeric = 1700,
    pgJsonb = 3802
};

// The field type of a column of type TypeOid; AutoIncrement marks an integer column
// that a sequence or an identity fills (serial, GENERATED ... AS IDENTITY).
TFieldType PgFieldType(unsigned TypeOid, bool AutoIncrement);
// The declared length of a character column (varchar(n), char(n)), the decimal
// places of numeric(p,s); 0 when the type declares none. Typmod is
// pg_attribute.atttypmod (or the result column's modifier).
int PgFieldSize(unsigned TypeOid, int Typmod);

// A value as a statement parameter in PostgreSQL's text format (UTF-8); nullopt for
// NULL. Date-times keep microseconds, so that a key read back from a timestamp
// compares equal to the row it came from.
std::optional<std::string> PgParamText(const TVariant& Value);
// A non-NULL value that the server sent as text for a column of type TypeOid.
// Texts are converted to the host code page; binary data keeps its bytes; a value
// that has no TVariant form (a date of "infinity") stays text.
TVariant PgValueFromText(unsigned TypeOid, const std::string& Text);

} // namespace vorn
