#pragma once

#include "host/data/dataset/FieldType.h"
#include "host/data/dataset/Variant.h"

#include <mysql.h>

#include <string>

namespace vorn {

// What the field type of a MariaDB column depends on, from a result's metadata or from
// information_schema.
struct TMariaDbType {
    enum_field_types Type = MYSQL_TYPE_NULL;
    bool Unsigned = false;
    bool Binary = false; // binary data rather than text (the "binary" character set)
    bool AutoIncrement = false;
    bool Boolean = false; // TINYINT(1), which BOOLEAN stands for
};

TFieldType MariaDbFieldType(const TMariaDbType& Type);

// The type of a result column as the server describes it.
TMariaDbType MariaDbResultType(const MYSQL_FIELD& Field);
// The type of a table column from information_schema.COLUMNS: DATA_TYPE ("varchar"),
// COLUMN_TYPE ("int(10) unsigned"), CHARACTER_SET_NAME (NULL for non-text, empty here)
// and EXTRA ("auto_increment").
TMariaDbType MariaDbCatalogType(const std::string& DataType, const std::string& ColumnType,
                                const std::string& CharacterSet, const std::string& Extra);

// Whether a table column orders its texts as the bytes of their UTF-8 encoding: a
// VARCHAR or TEXT column (DATA_TYPE) in a UTF-8 character set (CHARACTER_SET_NAME) whose
// collation (COLLATION_NAME) compares bytes without padding, as utf8mb4_nopad_bin does.
// The PAD SPACE binary collations (utf8mb4_bin) ignore trailing blanks, which a byte range
// does not; CHAR columns drop their trailing blanks.
bool MariaDbComparesAsBytes(const std::string& DataType, const std::string& CharacterSet,
                            const std::string& Collation);

// A date, time or date-time value as TVariant; a time outside one day (MariaDB's TIME
// spans -838 to 838 hours) or a zero date stays text.
TVariant MariaDbTimeValue(const MYSQL_TIME& Time, enum_field_types Type);
// A date-time value as MariaDB's DATETIME (a TIME for a time of day alone), with
// microseconds, so that a key read back from a column compares equal to the row it came
// from.
MYSQL_TIME MariaDbTimeParam(TDateTime Value);

} // namespace vorn
