#pragma once

#include "host/data/drivers/postgres/PgConnection.h"
#include "tests/support/StandbyReplay.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vorn::test {

// The connection string of the test server (VORN_PG_CONNINFO); empty when unset.
std::string PgServerConnInfo();

// A database of this test program's own on the test server, created at first use
// and dropped when the program ends, so that concurrent test programs (the normal
// and the sanitizer build) never see each other's tables.
const std::string& PgTestConnInfo();

// The test program's database (PgTestConnInfo) on the standby; raises when the standby
// was not started or does not have the database within half a minute.
const std::string& PgStandbyTestConnInfo();

using testsupport::AwaitStandbyReplay;
using testsupport::StandbyServerConnInfo;

// A test on the PostgreSQL test server. Fails (never skips) when no server was
// started for the run.
class PgTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs one statement without rows on the test database.
    void Exec(const std::string& Sql) { Connection->ExecuteCommand(Sql, {}); }
    // The first column of every row of a query, as text.
    std::vector<std::string> Column(const std::string& Sql,
                                    const std::vector<TVariant>& Params = {});

    std::unique_ptr<TPgConnection> Connection;
};

} // namespace vorn::test
