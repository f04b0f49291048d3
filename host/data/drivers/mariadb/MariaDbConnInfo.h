#pragma once

#include <string>
#include <vector>

namespace vorn {

// The settings of a MariaDB connection string: blank-separated key=value pairs
// ("unix_socket=/tmp/mdb.ab12/s user=root database=shop"). A value may be single-quoted,
// with \' and \\ standing for a quote and a backslash, to hold blanks. Keys: host, port,
// unix_socket, user, password, database. Texts are in the host code page.
struct TMariaDbConnInfo {
    std::string Host;
    unsigned Port = 0; // 0: the client library's default
    std::string UnixSocket;
    std::string User;
    std::string Password;
    std::string Database;

    // "MariaDB database "shop" on /tmp/mdb.ab12/s", for messages.
    std::string Describe() const;
};

// Parses a connection string; raises EDatabaseError naming the fault (an unknown or
// repeated key, a missing "=", an unterminated quote, a port that is not a number).
TMariaDbConnInfo ParseMariaDbConnInfo(const std::string& ConnInfo);

} // namespace vorn
