// The questions of TDriverConnection that a MariaDB connection answers from
// information_schema.
#include "host/data/drivers/ServerValues.h"
#include "host/data/drivers/mariadb/MariaDbConnection.h"
#include "host/data/drivers/mariadb/MariaDbValues.h"

namespace vorn {

bool TMariaDbConnection::ComparesAsBytes(const std::string& Table, const TColumnInfo& Column) {
    static const char* const TextColumn =
        "SELECT DATA_TYPE, COALESCE(CHARACTER_SET_NAME, ''), COALESCE(COLLATION_NAME, '') "
        "FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() "
        "AND TABLE_NAME = ?1 AND COLUMN_NAME = ?2";
    const auto Rows = ReadCatalog("TMariaDbConnection.ComparesAsBytes()", TextColumn,
                                  {TVariant(Table), TVariant(Column.Name)});
    return !Rows.empty() && MariaDbComparesAsBytes(Rows[0][0].AsString(), Rows[0][1].AsString(),
                                                   Rows[0][2].AsString());
}

// MariaDB plans the recursive walk's MIN(Column) ... WHERE Column > value as a scan of the
// index from its start at every step (seconds for a thousand values on a large table).
bool TMariaDbConnection::NextValueSearchesIndex(const std::string&, const std::string&) {
    return false;
}

// MIN of a TINYINT(1) is a boolean's. Texts and binary data of unbounded length (memos,
// blobs) are compared by a prefix of their bytes only (max_sort_length): left alone.
bool TMariaDbConnection::HasMinimum(TFieldType Type) const {
    return Type == ftBoolean || IsOrderedScalar(Type);
}

} // namespace vorn
