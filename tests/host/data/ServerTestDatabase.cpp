#include "ServerTestDatabase.h"

#include "host/data/drivers/DatabaseError.h"

#include <chrono>
#include <unistd.h>

namespace vorn::test {

TServerTestDatabase::TServerTestDatabase(std::string Server, TServerDatabaseKind Kind)
    : FServer(std::move(Server)), FKind(std::move(Kind)) {
    if (FServer.empty())
        return;
    const auto Ticks = std::chrono::steady_clock::now().time_since_epoch().count();
    FName = "vorn_t" + std::to_string(getpid()) + "_" + std::to_string(Ticks % 1000000);
    FKind.Connect(FServer)->ExecuteCommand("CREATE DATABASE " + FName + FKind.CreateOptions, {});
    FConnInfo = FKind.ConnInfoOf(FServer, FName);
}

TServerTestDatabase::~TServerTestDatabase() {
    if (FName.empty())
        return;
    try {
        FKind.Connect(FServer)->ExecuteCommand("DROP DATABASE " + FName + FKind.DropOptions, {});
    } catch (const EDatabaseError&) {
        // The server is thrown away after the run; a leftover database does no harm.
    }
}

} // namespace vorn::test
