#include "host/data/drivers/mariadb/MariaDbDatabase.h"

#include "host/data/dataset/Database.h"
#include "host/data/drivers/mariadb/MariaDbConnection.h"

namespace vorn {

void RegisterMariaDbDatabase(const std::string& Alias, const std::string& ConnInfo) {
    RegisterDatabase(Alias, [ConnInfo]() -> std::unique_ptr<TDriverConnection> {
        return std::make_unique<TMariaDbConnection>(ConnInfo);
    });
}

} // namespace vorn
