#pragma once

// Reading from the PostgreSQL test server's streaming standby: what the tests write on
// the primary reaches the standby a moment later, so a test waits for the replay before
// it reads there.

#include "host/data/drivers/Driver.h"

#include <string>

namespace vorn::testsupport {

// The connection string of the test server's streaming standby
// (VORN_PG_STANDBY_CONNINFO); empty when unset.
std::string StandbyServerConnInfo();

// The connection string that reaches the database DatabaseName on the standby, once the
// standby has replayed its creation on the primary. Raises when no standby was started or
// the database does not appear there within half a minute.
std::string StandbyDatabaseConnInfo(const std::string& DatabaseName);

// Raises unless Connection reaches a server in recovery: the standby's connection string
// may name the primary as well, and a test meant for the standby must not pass there.
void RequireStandby(TDriverConnection& Connection);

// Waits until the standby has replayed everything the primary wrote so far, so that what
// a test has just written can be read there; raises after half a minute.
void AwaitStandbyReplay(TDriverConnection& Primary, TDriverConnection& Standby);

} // namespace vorn::testsupport
