#pragma once

#include <string>

namespace vorn {

// An alias (DatabaseName) for a PostgreSQL database reached with a libpq connection
// string ("host=/tmp/pg.ab12 dbname=shop user=clerk"). The server is connected to
// when a dataset first needs the alias; a connection or login failure raises
// EDatabaseError then, carrying the server's message.
void RegisterPostgresDatabase(const std::string& Alias, const std::string& ConnInfo);

} // namespace vorn
