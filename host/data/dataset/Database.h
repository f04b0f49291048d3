#pragma once

#include "host/data/drivers/Driver.h"

#include <functional>
#include <memory>
#include <string>

namespace vorn {

// Opens a new connection for an alias; raises EDatabaseError when it cannot.
using TConnectionFactory = std::function<std::unique_ptr<TDriverConnection>()>;

// The registry of database aliases (DatabaseName). Datasets on one alias share one
// connection, opened when the first of them needs it and closed when the last lets go.
// Defining an alias again replaces it; neither that nor UnregisterDatabase is allowed
// while a dataset holds the alias's connection.
void RegisterDatabase(const std::string& Alias, TConnectionFactory Factory);
// An alias for an existing SQLite database file; the file is opened when first used.
void RegisterSQLiteDatabase(const std::string& Alias, const std::string& Path);
void UnregisterDatabase(const std::string& Alias);
bool IsDatabaseRegistered(const std::string& Alias);

// Creates an empty SQLite database file, or checks that an existing file is one.
void CreateSQLiteDatabase(const std::string& Path);

// A hold on the shared connection of an alias: acquiring opens the connection if
// nobody holds it yet, and releasing the last hold closes it. Raises EDatabaseError
// for an alias that is not registered or a database that cannot be opened.
class TConnectionLease {
public:
    explicit TConnectionLease(const std::string& Alias);
    TConnectionLease(const TConnectionLease&) = delete;
    TConnectionLease& operator=(const TConnectionLease&) = delete;
    ~TConnectionLease();

    const std::string& Alias() const { return FAlias; }
    TDriverConnection& Connection() const { return *FConnection; }

private:
    std::string FAlias;
    TDriverConnection* FConnection = nullptr;
};

} // namespace vorn
