#include "tests/support/TestBackend.h"

#include "tests/support/StandbyReplay.h"

namespace vorn::testsupport {

const std::vector<TTestBackend>& ReadingBackends() {
    static const std::vector<TTestBackend> Backends = [] {
        std::vector<TTestBackend> Result = AllBackends;
        if (!StandbyServerConnInfo().empty())
            Result.push_back(tbPostgreSQLStandby);
        return Result;
    }();
    return Backends;
}

std::vector<TTestBackend> WithCaseInsensitiveMariaDB(std::vector<TTestBackend> Backends) {
    Backends.push_back(tbMariaDBCaseInsensitive);
    return Backends;
}

std::vector<TTestBackend> ReadingBackendsBut(TTestBackend Left) {
    std::vector<TTestBackend> Backends = ReadingBackends();
    std::erase(Backends, Left);
    return Backends;
}

const char* BackendName(TTestBackend Backend) {
    switch (Backend) {
    case tbSQLite:
        return "SQLite";
    case tbPostgreSQL:
        return "PostgreSQL";
    case tbPostgreSQLStandby:
        return "PostgreSQLStandby";
    case tbMariaDB:
        return "MariaDB";
    case tbMariaDBCaseInsensitive:
        return "MariaDBCaseInsensitive";
    }
    return "?";
}

} // namespace vorn::testsupport
