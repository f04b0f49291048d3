#pragma once

#include "apps/samplegen/SampleDatabase.h"

#include <string>
#include <vector>

namespace vorn::testsupport {

// A demo database in a temporary file, registered as a database alias. The alias and the
// file go with the object.
class TSampleDatabaseFile {
public:
    explicit TSampleDatabaseFile(int Customers = 200, int MaxOrdersPerCustomer = 4);
    explicit TSampleDatabaseFile(const sampledata::TSampleOptions& Options);
    TSampleDatabaseFile(const TSampleDatabaseFile&) = delete;
    TSampleDatabaseFile& operator=(const TSampleDatabaseFile&) = delete;
    ~TSampleDatabaseFile();

    const std::string& Alias() const { return FAlias; }
    const std::string& Path() const { return FPath; }
    const sampledata::TSampleCounts& Counts() const { return FCounts; }

    // Runs SQL on the file directly (extra tables and indexes a test needs); raises
    // vorn::Exception with SQLite's message on failure.
    void Execute(const std::string& Sql) const;
    // The first column of every row of a query, as text ("NULL" for null).
    std::vector<std::string> Column(const std::string& Sql) const;

private:
    std::string FAlias;
    std::string FPath;
    sampledata::TSampleCounts FCounts;
};

} // namespace vorn::testsupport
