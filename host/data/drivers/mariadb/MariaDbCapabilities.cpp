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

bool TMariaDbConnection::NextValueSearchesIndex(const std::string& Table,
                                                const std::string& Column) {
    static const char* const LeadingIndex =
        "SELECT 1 FROM information_schema.STATISTICS WHERE TABLE_SCHEMA = DATABASE() "
        "AND TABLE_NAME = ?1 AND COLUMN_NAME = ?2 AND SEQ_IN_INDEX = 1 "
        "AND INDEX_TYPE = 'BTREE' AND SUB_PART IS NULL";
    return !ReadCatalog("TMariaDbConnection.NextValueSearchesIndex()", LeadingIndex,
                        {TVariant(Table), TVariant(Column)})
                .empty();
}

// MIN of a TINYINT(1) is a boolean's. Texts and binary data of unbounded length (memos,
// blobs) are compared by a prefix of their bytes only (max_sort_length): left alone.
bool TMariaDbConnection::HasMinimum(TFieldType Type) const {
    return Type == ftBoolean || IsOrderedScalar(Type);
}

} // namespace vorn
