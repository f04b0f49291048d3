#pragma once

#include "TestDatabase.h"

#include "host/data/drivers/mariadb/MariaDbConnection.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vorn::test {

// The connection string of the MariaDB test server (VORN_MARIADB_CONNINFO); empty when
// unset.
std::string MariaDbServerConnInfo();

// The connection string of a database of this test program's own on the test server,
// created at first use and dropped when the program ends, so that concurrent test
// programs never see each other's tables.
const std::string& MariaDbTestConnInfo();
// The name of that database.
const std::string& MariaDbTestDatabaseName();

// A test on the MariaDB test server. Fails (never skips) when no server was started
// for the run.
class MariaDbTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    void Exec(const std::string& Sql, const std::vector<TVariant>& Params = {}) {
        Connection->ExecuteCommand(Sql, Params);
    }
    // Every row of a query, as values.
    std::vector<std::vector<TVariant>> Rows(TDriverConnection& On, const std::string& Sql,
                                            const std::vector<TVariant>& Params = {}) {
        return ReadRows(On, Sql, Params);
    }
    std::vector<std::vector<TVariant>> Rows(const std::string& Sql,
                                            const std::vector<TVariant>& Params = {}) {
        return ReadRows(*Connection, Sql, Params);
    }

    std::unique_ptr<TMariaDbConnection> Connection;
};

} // namespace vorn::test
