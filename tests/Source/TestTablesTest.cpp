// The shared test databases put each backend's datasets where its name says: a suite that
// passes on the standby must have read from a server in recovery, and what the test wrote
// first must be there when its datasets open.

#include "tests/Source/TestTables.h"
#include "host/data/dataset/Field.h"
#include "host/data/dataset/Query.h"

#include <gtest/gtest.h>

namespace vorn {
namespace {

using testtables::TTestBackend;

class TestDatabaseTest : public ::testing::TestWithParam<TTestBackend> {};

INSTANTIATE_TEST_SUITE_P(Backends, TestDatabaseTest,
                         ::testing::ValuesIn(testtables::ReadingBackends()),
                         [](const auto& Info) { return testtables::BackendName(Info.param); });

TEST_P(TestDatabaseTest, DatasetsReadTheServerTheBackendNamesAndWhatExecuteWrote) {
    const TTestBackend Backend = GetParam();
    testtables::TTestDatabase Database(Backend);
    TComponent Form(nullptr);
    if (Backend == testtables::tbMariaDB) {
        TQuery* Version = testtables::OpenQuery(Form, Database, "SELECT VERSION() AS \"Version\"");
        EXPECT_NE(Version->FieldByName("Version")->AsString().find("MariaDB"), std::string::npos);
    } else if (Backend != testtables::tbSQLite) {
        TQuery* Recovery =
            testtables::OpenQuery(Form, Database, "SELECT pg_is_in_recovery() AS \"InRecovery\"");
        EXPECT_EQ(Recovery->FieldByName("InRecovery")->AsBoolean(),
                  Backend == testtables::tbPostgreSQLStandby);
    }
    // Each statement's effect is readable at once, the last one included.
    Database.Execute(R"(CREATE TABLE "note" ("Id" INTEGER PRIMARY KEY, "Text" VARCHAR(10)))");
    for (int Id = 1; Id <= 3; ++Id) {
        Database.Execute("INSERT INTO \"note\" VALUES (" + std::to_string(Id) + ", 'n')");
        TQuery* Count =
            testtables::OpenQuery(Form, Database, R"(SELECT COUNT(*) AS "Rows" FROM "note")");
        EXPECT_EQ(Count->FieldByName("Rows")->AsInteger(), Id);
    }
}

} // namespace
} // namespace vorn
