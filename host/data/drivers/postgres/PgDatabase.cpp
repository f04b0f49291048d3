#include "host/data/drivers/postgres/PgDatabase.h"

#include "host/data/dataset/Database.h"
#include "host/data/drivers/postgres/PgConnection.h"

namespace vorn {

void RegisterPostgresDatabase(const std::string& Alias, const std::string& ConnInfo) {
    RegisterDatabase(Alias, [ConnInfo]() -> std::unique_ptr<TDriverConnection> {
        return std::make_unique<TPgConnection>(ConnInfo);
    });
}

} // namespace vorn
