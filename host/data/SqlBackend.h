#pragma once

#include "host/data/Driver.h"
#include "host/data/SqlDialect.h"

namespace vorn {

// The SQL that the translator writes for a connection's database.
inline TSqlBackend SqlBackendOf(const TDriverConnection& Connection) {
    return Connection.BackendKind() == bkPostgreSQL ? sbPostgreSQL : sbSQLite;
}

} // namespace vorn
