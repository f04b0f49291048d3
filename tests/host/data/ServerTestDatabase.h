#pragma once

#include "host/data/drivers/Driver.h"

#include <functional>
#include <memory>
#include <string>

namespace vorn::test {

// How a test server makes and drops a database, and how a connection string names one.
struct TServerDatabaseKind {
    std::function<std::unique_ptr<TDriverConnection>(const std::string& ConnInfo)> Connect;
    // Written after "CREATE DATABASE <name>" and "DROP DATABASE <name>".
    std::string CreateOptions;
    std::string DropOptions;
    std::function<std::string(const std::string& Server, const std::string& Name)> ConnInfoOf;
};

// A database of a test program's own on a test server, made at construction and dropped
// at destruction, so that concurrent test programs (the normal and the sanitizer build,
// single cases run side by side) never see each other's tables. Nothing is made where
// the server's connection string is empty.
class TServerTestDatabase {
public:
    TServerTestDatabase(std::string Server, TServerDatabaseKind Kind);
    TServerTestDatabase(const TServerTestDatabase&) = delete;
    TServerTestDatabase& operator=(const TServerTestDatabase&) = delete;
    ~TServerTestDatabase();

    const std::string& ConnInfo() const { return FConnInfo; }
    const std::string& Name() const { return FName; }

private:
    std::string FServer;
    TServerDatabaseKind FKind;
    std::string FName;
    std::string FConnInfo;
};

} // namespace vorn::test
