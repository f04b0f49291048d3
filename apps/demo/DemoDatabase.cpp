#include "apps/demo/DemoDatabase.h"

#include "apps/samplegen/SampleDatabase.h"
#include "host/components/model/Exception.h"
#include "host/data/dataset/Database.h"
#include "host/data/drivers/mariadb/MariaDbConnection.h"
#include "host/data/drivers/mariadb/MariaDbDatabase.h"
#include "host/data/drivers/postgres/PgConnection.h"
#include "host/data/drivers/postgres/PgDatabase.h"

#include <iostream>
#include <memory>
#include <system_error>

namespace vorn {

namespace {

sampledata::TSampleOptions SampleOptions(int Customers) {
    sampledata::TSampleOptions Options;
    Options.Customers = Customers;
    return Options;
}

// Generating a large database takes a while: it is written beside its final name and
// renamed when complete, so that an interrupted run never leaves a partial database that
// later runs would take for a finished one.
void CreateSQLiteDemoDatabase(const std::filesystem::path& Path, int Customers) {
    std::filesystem::path Partial = Path;
    Partial += ".part";
    std::cout << "Creating the sample database " << Path.string() << "\n";
    sampledata::CreateSQLiteSampleDatabase(Partial.string(), SampleOptions(Customers), true);
    std::error_code Error;
    std::filesystem::rename(Partial, Path, Error);
    if (Error)
        throw Exception("Could not rename " + Partial.string() + " to " + Path.string() + ": " +
                        Error.message());
}

// Whether the server's database holds the sample: every table of it (true) or none
// (false). Some of them alone are an error: a database left half-filled, or with tables of
// the same names that are not the sample, is neither used as it is nor overwritten.
// The connection is closed before the caller fills the database.
bool HoldsSample(std::unique_ptr<TDriverConnection> Connection, const char* Server) {
    std::string Present;
    std::string Missing;
    for (const sampledata::TSampleTable& Table : sampledata::SampleSchema())
        (Connection->TableExists(Table.Name) ? Present : Missing) += ", " + Table.Name;
    if (!Present.empty() && !Missing.empty())
        throw Exception(std::string("The ") + Server + " database holds the sample tables " +
                        Present.substr(2) + " but not " + Missing.substr(2) +
                        ": drop them, or choose another database");
    return Missing.empty();
}

} // namespace

std::filesystem::path RegisterSQLiteDemoDatabase(const std::filesystem::path& Folder,
                                                 int Customers) {
    std::filesystem::create_directories(Folder);
    const std::filesystem::path Path = Folder / ("sample-" + std::to_string(Customers) + ".db");
    if (!std::filesystem::exists(Path))
        CreateSQLiteDemoDatabase(Path, Customers);
    RegisterSQLiteDatabase(DemoDatabaseAlias, Path.string());
    return Path;
}

void RegisterPostgresDemoDatabase(const std::string& ConnInfo, int Customers) {
    // Connection failures surface here, before any window is shown.
    if (!HoldsSample(std::make_unique<TPgConnection>(ConnInfo), "PostgreSQL")) {
        std::cout << "Filling the PostgreSQL database with the sample data\n";
        sampledata::CreatePostgresSampleDatabase(ConnInfo, SampleOptions(Customers));
    }
    RegisterPostgresDatabase(DemoDatabaseAlias, ConnInfo);
}

void RegisterMariaDbDemoDatabase(const std::string& ConnInfo, int Customers) {
    // Connection failures surface here, before any window is shown.
    if (!HoldsSample(std::make_unique<TMariaDbConnection>(ConnInfo), "MariaDB")) {
        std::cout << "Filling the MariaDB database with the sample data\n";
        sampledata::CreateMariaDbSampleDatabase(ConnInfo, SampleOptions(Customers));
    }
    RegisterMariaDbDatabase(DemoDatabaseAlias, ConnInfo);
}

} // namespace vorn
