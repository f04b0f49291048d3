// The test server stopped at once (as a crash or an immediate shutdown would) and started
// again under open datasets. It restarts the server that every suite shares, so CTest runs
// it alone.

#include "Source/DBGridTitleSort.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/grid/DBGrid.h"
#include "tests/Source/TestTables.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace vorn {

namespace {

using testtables::tbPostgreSQL;
using testtables::TTestDatabase;

// Runs "scripts/pg.sh down" or "up" on the test server.
void ServerCommand(const std::string& Command) {
    const std::string Line = std::string(VORN_PG_SCRIPT) + " " + Command + " >/dev/null 2>&1";
    ASSERT_EQ(std::system(Line.c_str()), 0) << Line;
}

std::vector<std::string> Names(TTable& Table) {
    std::vector<std::string> Found;
    for (Table.First(); !Table.Eof(); Table.Next())
        Found.push_back(Table.FieldByName("Name")->AsString());
    return Found;
}

TEST(PgServerRestartSerial, OpenDataSetsWorkAgainOnceTheServerIsBack) {
    ASSERT_NE(std::getenv("VORN_PG_DIR"), nullptr) << "the test server's folder is not set";
    TTestDatabase Database(tbPostgreSQL);
    Database.Execute("CREATE TABLE \"Item\" (\"Id\" INTEGER PRIMARY KEY, \"Name\" VARCHAR(20))");
    Database.Execute("CREATE INDEX \"ItemName\" ON \"Item\" (\"Name\")");
    Database.Execute("INSERT INTO \"Item\" VALUES (1, 'pear'), (2, 'apple'), (3, 'fig')");
    TComponent Form(nullptr);
    auto* Table = new TTable(&Form);
    Table->SetDatabaseName(Database.Alias());
    Table->SetTableName("Item");
    auto* Source = new TDataSource(&Form);
    Source->SetDataSet(Table);
    auto* Grid = new TDBGrid(&Form);
    Grid->SetDataSource(Source);
    auto* Sorter = new TDBGridTitleSort(&Form);
    Sorter->RegisterGrid(Grid);
    Table->Open();
    const std::vector<std::string> ByKey{"pear", "apple", "fig"};
    ASSERT_EQ(Names(*Table), ByKey);

    // While the server is away the error says so; nothing is half changed.
    ServerCommand("down");
    try {
        Table->Refresh();
        ADD_FAILURE() << "refreshed without a server";
    } catch (const EDatabaseError& Error) {
        EXPECT_NE(std::string(Error.Message()).find("PostgreSQL database"), std::string::npos)
            << Error.Message();
    }
    ServerCommand("up");

    // Every first statement after the restart runs on a new connection.
    Table->Refresh();
    EXPECT_EQ(Names(*Table), ByKey);
    ServerCommand("down");
    ServerCommand("up");
    Table->Close();
    Table->Open();
    EXPECT_EQ(Names(*Table), ByKey);
    ServerCommand("down");
    ServerCommand("up");
    Sorter->Execute(Grid->Columns()->FindColumn("Name"));
    EXPECT_EQ(Table->IndexFieldNames(), "Name");
    EXPECT_EQ(Names(*Table), (std::vector<std::string>{"apple", "fig", "pear"}));
}

} // namespace

} // namespace vorn
