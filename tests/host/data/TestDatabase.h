#pragma once

#include "host/data/dataset/Database.h"
#include "host/data/drivers/sqlite/SqliteDriver.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace vorn::test {

// A SQLite database file in a fresh temporary folder, registered under its own alias,
// with a connection of its own for setting up data and checking results.
class TTempDatabase {
public:
    TTempDatabase();
    TTempDatabase(const TTempDatabase&) = delete;
    TTempDatabase& operator=(const TTempDatabase&) = delete;
    ~TTempDatabase();

    const std::string& Alias() const { return FAlias; }
    const std::string& Path() const { return FPath; }
    const std::filesystem::path& Folder() const { return FFolder; }

    void Execute(const std::string& Sql, const std::vector<TVariant>& Params = {});
    // Every row of a query, each as its values.
    std::vector<std::vector<TVariant>> Rows(const std::string& Sql,
                                            const std::vector<TVariant>& Params = {});
    // The first column of every row, as text ("NULL" for null).
    std::vector<std::string> Column(const std::string& Sql);
    TDriverConnection& Connection() { return *FConnection; }

private:
    std::filesystem::path FFolder;
    std::string FPath;
    std::string FAlias;
    std::unique_ptr<TDriverConnection> FConnection;
};

// Every row of a query on Connection, each as its values.
std::vector<std::vector<TVariant>> ReadRows(TDriverConnection& Connection, const std::string& Sql,
                                            const std::vector<TVariant>& Params = {});

// Text of a value for comparisons in tests: "NULL" for null.
std::string Show(const TVariant& Value);

} // namespace vorn::test
