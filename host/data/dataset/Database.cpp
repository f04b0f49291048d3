#include "host/data/dataset/Database.h"

#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/sqlite/SqliteDriver.h"

#include <map>

namespace vorn {

namespace {

struct TDatabaseEntry {
    TConnectionFactory Factory;
    std::unique_ptr<TDriverConnection> Connection;
    int Holders = 0;
};

std::map<std::string, TDatabaseEntry>& Registry() {
    static std::map<std::string, TDatabaseEntry> Entries;
    return Entries;
}

TDatabaseEntry& FindEntry(const std::string& Alias) {
    auto Position = Registry().find(Alias);
    if (Position == Registry().end())
        throw EDatabaseError("Unknown database alias '" + Alias + "'");
    return Position->second;
}

void RequireUnused(const std::string& Alias, const char* Operation) {
    auto Position = Registry().find(Alias);
    if (Position != Registry().end() && Position->second.Holders > 0)
        throw EDatabaseError(std::string(Operation) + ": database alias '" + Alias +
                             "' is in use by " + std::to_string(Position->second.Holders) +
                             " open dataset(s)");
}

} // namespace

void RegisterDatabase(const std::string& Alias, TConnectionFactory Factory) {
    if (Alias.empty())
        throw EDatabaseError("RegisterDatabase: the alias is empty");
    if (!Factory)
        throw EDatabaseError("RegisterDatabase: no connection factory for alias '" + Alias + "'");
    RequireUnused(Alias, "RegisterDatabase");
    Registry()[Alias] = TDatabaseEntry{std::move(Factory), nullptr, 0};
}

void RegisterSQLiteDatabase(const std::string& Alias, const std::string& Path) {
    RegisterDatabase(Alias, [Path] { return OpenSQLiteConnection(Path, somOpenExisting); });
}

void UnregisterDatabase(const std::string& Alias) {
    FindEntry(Alias);
    RequireUnused(Alias, "UnregisterDatabase");
    Registry().erase(Alias);
}

bool IsDatabaseRegistered(const std::string& Alias) {
    return Registry().count(Alias) != 0;
}

void CreateSQLiteDatabase(const std::string& Path) {
    OpenSQLiteConnection(Path, somCreateIfMissing);
}

TConnectionLease::TConnectionLease(const std::string& Alias) : FAlias(Alias) {
    TDatabaseEntry& Entry = FindEntry(Alias);
    if (Entry.Connection == nullptr)
        Entry.Connection = Entry.Factory();
    ++Entry.Holders;
    FConnection = Entry.Connection.get();
}

TConnectionLease::~TConnectionLease() {
    auto Position = Registry().find(FAlias);
    if (Position == Registry().end())
        return;
    TDatabaseEntry& Entry = Position->second;
    if (--Entry.Holders == 0)
        Entry.Connection.reset();
}

} // namespace vorn
