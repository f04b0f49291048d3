#pragma once

#include "host/data/drivers/Driver.h"
#include "tests/support/MariaDbScratch.h"
#include "tests/support/TestBackend.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace vorn::test {

class TTempDatabase;

// INSTANTIATE_TEST_SUITE_P(..., ::testing::ValuesIn(AllBackends), ...), or ReadingBackends()
// for tests whose datasets only read.
using testsupport::AllBackends;
using testsupport::BackendCount;
using testsupport::BackendName;
using testsupport::ReadingBackends;
using testsupport::ReadingBackendsBut;
using testsupport::tbMariaDB;
using testsupport::tbMariaDBCaseInsensitive;
using testsupport::tbPostgreSQL;
using testsupport::tbPostgreSQLStandby;
using testsupport::tbSQLite;
using testsupport::TTestBackend;
using testsupport::WithCaseInsensitiveMariaDB;

// A fresh, empty database on one backend, registered under an alias of its own: a SQLite
// file in a temporary folder, a schema of its own in the PostgreSQL test database
// (which the alias's connections search first), or a database of its own on the MariaDB
// test server. A connection of its own sets up data and checks results.
//
// On the standby the alias and Connection() read from the standby, while Execute and
// Column work on the primary; Execute returns once the standby has replayed what it
// wrote.
//
// Statements are written once for all backends: identifiers in double quotes (so that
// PostgreSQL keeps their case; backticks on MariaDB) and parameters as ?1, ?2, ... Raises
// when the backend's test server was not started (VORN_PG_CONNINFO or VORN_MARIADB_CONNINFO
// unset).
class TBackendDatabase {
public:
    explicit TBackendDatabase(TTestBackend Backend);
    TBackendDatabase(const TBackendDatabase&) = delete;
    TBackendDatabase& operator=(const TBackendDatabase&) = delete;
    ~TBackendDatabase();

    TTestBackend Backend() const { return FBackend; }
    bool IsSQLite() const { return FBackend == tbSQLite; }
    bool IsMariaDB() const { return FBackend == tbMariaDB || FBackend == tbMariaDBCaseInsensitive; }
    const std::string& Alias() const { return FAlias; }
    // The schema holding the tables on PostgreSQL (the database on MariaDB), and the
    // connection string that reaches it; both empty on SQLite.
    const std::string& Schema() const { return FSchema; }
    const std::string& ConnInfo() const { return FConnInfo; }

    void Execute(const std::string& Sql, const std::vector<TVariant>& Params = {});
    // The first column of every row of a query, as text ("NULL" for null).
    std::vector<std::string> Column(const std::string& Sql,
                                    const std::vector<TVariant>& Params = {});
    // The connection that reads what the alias reads. It takes the database's own SQL:
    // a statement written as for Execute goes through NativeSql first.
    TDriverConnection& Connection() { return FStandby ? *FStandby : *FConnection; }
    // A statement written for all backends (as Execute takes it) in the database's own
    // SQL: $N placeholders on PostgreSQL, backticks and literal backslashes on MariaDB
    // (MariaDbSql).
    std::string NativeSql(const std::string& Sql) const;

private:
    TTestBackend FBackend;
    std::unique_ptr<TTempDatabase> FFile;
    std::unique_ptr<testsupport::TMariaDbScratchDatabase> FMariaDb;
    std::string FAlias;
    std::string FSchema;
    std::string FConnInfo;
    std::unique_ptr<TDriverConnection> FConnection;
    std::unique_ptr<TDriverConnection> FStandby;
};

// A test that runs once per backend, with a fresh database in Database. The database
// outlives the datasets that derived fixtures declare, which close first.
class BackendTest : public ::testing::TestWithParam<TTestBackend> {
protected:
    void SetUp() override;

    std::unique_ptr<TBackendDatabase> Database;
};

// A test that runs once per backend and case.
template <typename TCase>
class BackendCaseTest : public ::testing::TestWithParam<std::tuple<TTestBackend, TCase>> {
protected:
    void SetUp() override {
        Database = std::make_unique<TBackendDatabase>(std::get<0>(this->GetParam()));
    }

    const TCase& Case() const { return std::get<1>(this->GetParam()); }

    std::unique_ptr<TBackendDatabase> Database;
};

// Test names of BackendTest instantiations: "SQLite", "PostgreSQL", "PostgreSQLStandby".
std::string BackendTestName(const ::testing::TestParamInfo<TTestBackend>& Info);

// Test names of BackendCaseTest instantiations whose cases have a Name member.
template <typename TCase>
std::string
BackendCaseTestName(const ::testing::TestParamInfo<std::tuple<TTestBackend, TCase>>& Info) {
    return std::string(BackendName(std::get<0>(Info.param))) + "_" + std::get<1>(Info.param).Name;
}

} // namespace vorn::test
