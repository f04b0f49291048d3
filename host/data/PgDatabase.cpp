#include "host/data/PgDatabase.h"

#include "host/data/Database.h"
#include "host/data/PgConnection.h"

namespace vorn {

void RegisterPostgresDatabase(const std::string& Alias, const std::string& ConnInfo) {
    RegisterDatabase(Alias, [ConnInfo]() -> std::unique_ptr<TDriverConnection> {
        return std::make_unique<TPgConnection>(ConnInfo);
    });
}

} // namespace vorn
