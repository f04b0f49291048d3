#pragma once

#include <filesystem>
#include <string>

namespace vorn {

// The database alias that the demo's form file names.
inline constexpr const char* DemoDatabaseAlias = "VornDemo";

// The SQLite sample database of Customers customers in Folder ("sample-N.db"), generated
// when it is not there yet, registered under the demo's alias. Returns its path.
std::filesystem::path RegisterSQLiteDemoDatabase(const std::filesystem::path& Folder,
                                                 int Customers);

// The PostgreSQL database of ConnInfo under the demo's alias, filled with the sample data
// of Customers customers when it has none of the sample's tables yet; a database with only
// some of them is an error.
void RegisterPostgresDemoDatabase(const std::string& ConnInfo, int Customers);

// The same for the MariaDB database of a connection string ("unix_socket=... user=...
// database=...").
void RegisterMariaDbDemoDatabase(const std::string& ConnInfo, int Customers);

} // namespace vorn
