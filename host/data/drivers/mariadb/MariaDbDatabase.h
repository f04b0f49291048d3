#pragma once

#include <string>

namespace vorn {

// An alias (DatabaseName) for a MariaDB database reached with a connection string
// ("unix_socket=/tmp/mdb.ab12/s user=clerk database=shop"; also host, port, password).
// The server is connected to when a dataset first needs the alias; a connection or
// login failure raises EDatabaseError then, carrying the server's message.
void RegisterMariaDbDatabase(const std::string& Alias, const std::string& ConnInfo);

} // namespace vorn
