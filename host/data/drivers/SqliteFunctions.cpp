#include "host/data/drivers/SqliteFunctions.h"

#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/sqlite/SqliteUpperCase.h"

#include <sqlite3.h>

#include <string>

namespace vorn {

void PrepareSqliteConnection(sqlite3* Database) {
    RegisterSqliteUpperCase(Database);
    char* Message = nullptr;
    if (sqlite3_exec(Database, "PRAGMA case_sensitive_like = ON", nullptr, nullptr, &Message) ==
        SQLITE_OK)
        return;
    const std::string Reason = Message != nullptr ? Message : sqlite3_errmsg(Database);
    sqlite3_free(Message);
    throw EDatabaseError("Making LIKE case-sensitive: " + Utf8ToHost(Reason));
}

} // namespace vorn
