// The questions of TDriverConnection that a MariaDB connection answers from
// information_schema.
#include "host/data/drivers/ServerValues.h"
#include "host/data/drivers/mariadb/MariaDbConnection.h"

namespace vorn {

bool TMariaDbConnection::ComparesAsBytes(const std::string& Table, const TColumnInfo& Column) {
    static const char* const ByteOrderedColumn =
        "SELECT 1 FROM information_schema.COLUMNS WHERE TABLE_SCHEMA = DATABASE() "
        "AND TABLE_NAME = ?1 AND COLUMN_NAME = ?2 "
        "AND DATA_TYPE IN ('varchar', 'tinytext', 'text', 'mediumtext', 'longtext') "
        "AND CHARACTER_SET_NAME IN ('utf8mb4', 'utf8mb3', 'ascii') "
        "AND COLLATION_NAME LIKE '%\\_nopad\\_bin' ESCAPE '\\\\'";
    return !ReadCatalog("TMariaDbConnection.ComparesAsBytes()", ByteOrderedColumn,
                        {TVariant(Table), TVariant(Column.Name)})
                .empty();
}

// MariaDB plans the recursive walk's MIN(Column) ... WHERE Column > value as a scan of the
// index from its start at every step (seconds for a thousand values on a large table),
// while its plain SELECT DISTINCT ... ORDER BY reads one entry per value by the index
// ("index for group-by"): the walk is never the faster.
bool TMariaDbConnection::NextValueSearchesIndex(const std::string&, const std::string&) {
    return false;
}

// MIN of a TINYINT(1) is a boolean's. Texts and binary data of unbounded length (memos,
// blobs) are compared by a prefix of their bytes only (max_sort_length): left alone.
bool TMariaDbConnection::HasMinimum(TFieldType Type) const {
    return Type == ftBoolean || IsOrderedScalar(Type);
}

} // namespace vorn
