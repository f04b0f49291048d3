#include "BackendFixture.h"
#include "DataSetWalk.h"
#include "RecordingConnection.h"

#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Database.h"
#include "host/data/dataset/Table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>

using namespace vorn;
using vorn::test::BackendCaseTest;
using vorn::test::BackendCaseTestName;
using vorn::test::BackendTest;
using vorn::test::ReadingBackends;
using vorn::test::TRecordedStatement;
using vorn::test::TRecordingConnection;
using vorn::test::WalkBackward;
using vorn::test::WalkForward;

namespace {

// Ordered by City, which leads the two-field index (City, Name): rows that tie on City come
// in Name order (with the NULLs where the index holds them) and then by key. Both fields
// hold NULLs and the key order differs from the Name order within a city. Ordered by City
// descending, the index is read backward: the ties come in descending Name order (the
// index's NULLs on the other side) and descending key order.
struct TTieCase {
    const char* Name;
    const char* IndexFieldNames;
    int PageSize;
    bool Detail = false;     // restricted to the master's city C1
    const char* Filter = ""; // applied when not empty
    const char* Where = "";  // the same restriction for the expected rows
};

class IndexTieOrderTest : public BackendCaseTest<TTieCase> {
protected:
    void SetUp() override {
        BackendCaseTest::SetUp();
        Database->Execute("CREATE TABLE \"Cust\" (\"ID\" INTEGER PRIMARY KEY, "
                          "\"City\" VARCHAR(10), \"Name\" VARCHAR(10))");
        Database->Execute("CREATE INDEX \"CustCityName\" ON \"Cust\" (\"City\", \"Name\")");
        for (int Id = 1; Id <= 40; ++Id) {
            const TVariant City = Id % 7 == 0 ? TVariant() : TVariant("C" + std::to_string(Id % 3));
            const TVariant Name =
                Id % 4 == 0 ? TVariant() : TVariant("N" + std::to_string((50 - Id) % 5));
            Database->Execute("INSERT INTO \"Cust\" VALUES (?1, ?2, ?3)", {Id, City, Name});
        }
        Database->Execute("CREATE TABLE \"Cities\" (\"City\" VARCHAR(10) PRIMARY KEY)");
        Database->Execute("INSERT INTO \"Cities\" VALUES ('C1')");
        Table.SetDatabaseName(Database->Alias());
        Table.SetTableName("Cust");
        Table.SetIndexFieldNames(Case().IndexFieldNames);
        Table.SetPageSize(Case().PageSize);
        if (Case().Detail) {
            Master.SetDatabaseName(Database->Alias());
            Master.SetTableName("Cities");
            Source.SetDataSet(&Master);
            Master.Open();
            Table.SetMasterSource(&Source);
            Table.SetMasterFields("City");
        }
        if (*Case().Filter != '\0') {
            Table.SetFilter(Case().Filter);
            Table.SetFiltered(true);
        }
        Table.Open();
    }
    void TearDown() override {
        Table.Close();
        Table.SetMasterSource(nullptr);
        Master.Close();
    }

    // A default SQLite or MariaDB index holds NULLs first, a default PostgreSQL index last.
    // Under the master, City is one value and the index is read forward whichever way City
    // goes.
    std::vector<std::string> Expected() {
        const bool Descending = std::string(Case().IndexFieldNames) == "City:D";
        const bool TiesDescend = Descending && !Case().Detail;
        const bool NullsFirst = (Database->IsSQLite() || Database->IsMariaDB()) != TiesDescend;
        const std::string NamePlacement = NullsFirst ? "FIRST" : "LAST";
        const std::string TieDirection = TiesDescend ? " DESC" : "";
        return Database->Column(
            std::string("SELECT \"ID\" FROM \"Cust\" ") + Case().Where + " ORDER BY \"City\"" +
            (Descending ? " DESC NULLS LAST" : " NULLS FIRST") + ", \"Name\"" + TieDirection +
            " NULLS " + NamePlacement + ", \"ID\"" + TieDirection);
    }

    TTable Master{nullptr};
    TDataSource Source{nullptr};
    TTable Table{nullptr};
};

TEST_P(IndexTieOrderTest, WalksEveryRowOnceBothWaysInTheIndexOrder) {
    const auto Ids = Expected();
    ASSERT_GT(Ids.size(), 3u);
    EXPECT_EQ(WalkForward(Table), Ids);
    EXPECT_EQ(WalkBackward(Table), Ids);
    // The longer order is the table's own: it still reports the one field it was given.
    EXPECT_EQ(Table.IndexFieldCount(), 1);
}

// A search lands on the row, and the grid's window around it holds its neighbours in order.
TEST_P(IndexTieOrderTest, LocateAndTheWindowAroundItFollowTheOrder) {
    const auto Ids = Expected();
    for (const std::size_t Position : {std::size_t{0}, Ids.size() / 2, Ids.size() - 1}) {
        Table.First();
        ASSERT_TRUE(Table.Locate("ID", TVariant(std::stoi(Ids[Position])), {}));
        const TRecordWindow Window = Table.ReadRecordWindow(3, 3);
        const std::size_t First = Position - static_cast<std::size_t>(Window.Current);
        ASSERT_EQ(static_cast<std::size_t>(Window.Current), std::min<std::size_t>(Position, 3));
        ASSERT_EQ(static_cast<std::size_t>(Window.Count()),
                  std::min(Ids.size(), Position + 4) - First);
        for (int Row = 0; Row < Window.Count(); ++Row)
            EXPECT_EQ(Window.Values[static_cast<std::size_t>(Row)][0].AsString(),
                      Ids[First + static_cast<std::size_t>(Row)])
                << "around " << Ids[Position];
    }
}

const TTieCase Ties[] = {
    {.Name = "Page1", .IndexFieldNames = "City", .PageSize = 1},
    {.Name = "Page3", .IndexFieldNames = "City", .PageSize = 3},
    {.Name = "Detail_Page2",
     .IndexFieldNames = "City",
     .PageSize = 2,
     .Detail = true,
     .Where = "WHERE \"City\" = 'C1'"},
    {.Name = "Filtered_Page2",
     .IndexFieldNames = "City",
     .PageSize = 2,
     .Filter = "ID > 9",
     .Where = "WHERE \"ID\" > 9"},
    {.Name = "Desc_Page1", .IndexFieldNames = "City:D", .PageSize = 1},
    {.Name = "Desc_Page3", .IndexFieldNames = "City:D", .PageSize = 3},
    {.Name = "DescDetail_Page2",
     .IndexFieldNames = "City:D",
     .PageSize = 2,
     .Detail = true,
     .Where = "WHERE \"City\" = 'C1'"},
    {.Name = "DescFiltered_Page2",
     .IndexFieldNames = "City:D",
     .PageSize = 2,
     .Filter = "ID > 9",
     .Where = "WHERE \"ID\" > 9"},
};

INSTANTIATE_TEST_SUITE_P(Ties, IndexTieOrderTest,
                         ::testing::Combine(::testing::ValuesIn(ReadingBackends()),
                                            ::testing::ValuesIn(Ties)),
                         BackendCaseTestName<TTieCase>);

// Over many rows the database must read each page of the City order from the index, with
// at most the rows that tie on both of its fields left to sort: forward, backward for City
// descending, and forward on a descending index.
class IndexTieOrderPlanTest : public BackendTest {
protected:
    // 20,000 rows spread over Cities cities, their names in no relation to their keys.
    void CreateCustomers(int Cities) {
        Database->Execute("CREATE TABLE \"Cust\" (\"ID\" INTEGER PRIMARY KEY, "
                          "\"City\" VARCHAR(10), \"Name\" VARCHAR(10))");
        const std::string Rows = "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                                 "WHERE i < 20000) ";
        const std::string Modulo = std::to_string(Cities);
        // MariaDB writes these two its own way: || is OR there.
        Database->Execute(Database->IsMariaDB()
                              ? "INSERT INTO \"Cust\" " + Rows + "SELECT i, CONCAT('C', i % " +
                                    Modulo + "), CONCAT('N', (i * 7919) % 10007) FROM n"
                              : Rows + "INSERT INTO \"Cust\" SELECT i, 'C' || (i % " + Modulo +
                                    "), 'N' || ((i * 7919) % 10007) FROM n");
    }

    // MariaDB's plan is a row per table: the table is read through Index itself (the key it
    // chose, not one it only considered), by a range, a lookup or in index order, and no
    // sort follows.
    void ExpectMariaDbReadsIndex(const TRecordedStatement& Statement, const std::string& Index) {
        auto Cursor = Database->Connection().Execute("EXPLAIN " + Statement.Sql, Statement.Params);
        std::map<std::string, int> Columns;
        for (int Field = 0; Field < Cursor->FieldCount(); ++Field)
            Columns[Cursor->Column(Field).Name] = Field;
        ASSERT_TRUE(Columns.contains("type") && Columns.contains("key") &&
                    Columns.contains("Extra"));
        int Rows = 0;
        while (Cursor->Next()) {
            ++Rows;
            const std::string Type = Cursor->Value(Columns["type"]).AsString();
            const std::string Extra = Cursor->Value(Columns["Extra"]).AsString();
            EXPECT_EQ(Cursor->Value(Columns["key"]).AsString(), Index) << Statement.Sql;
            EXPECT_TRUE(Type == "range" || Type == "ref" || Type == "index")
                << Statement.Sql << "\n"
                << Type;
            EXPECT_EQ(Extra.find("filesort"), std::string::npos) << Statement.Sql << "\n" << Extra;
        }
        EXPECT_EQ(Rows, 1) << Statement.Sql;
    }

    // The statements that read a page while a table in IndexFieldNames order is browsed.
    std::vector<TRecordedStatement> PageStatements(const char* IndexFieldNames) {
        std::vector<TRecordedStatement> Statements;
        const std::string Alias = Database->Alias() + "_recorded";
        RegisterDatabase(Alias, [&] {
            return std::make_unique<TRecordingConnection>(Database->Connection(), Statements);
        });
        {
            TTable Table(nullptr);
            Table.SetDatabaseName(Alias);
            Table.SetTableName("Cust");
            Table.SetIndexFieldNames(IndexFieldNames);
            Table.SetPageSize(50);
            Table.Open();
            for (int Step = 0; Step < 120; ++Step)
                Table.Next();
            Table.Last();
            for (int Step = 0; Step < 120; ++Step)
                Table.Prior();
        }
        UnregisterDatabase(Alias);
        std::erase_if(Statements, [](const TRecordedStatement& Statement) {
            return Statement.Sql.find("ORDER BY") == std::string::npos;
        });
        return Statements;
    }

    // Each page's plan reads Index and sorts nothing that the index has not ordered.
    void ExpectIndexServesEveryPage(const char* IndexFieldNames, const std::string& Index) {
        // A search for a NULL City may sort the few rows the planner expects to hold it.
        static const std::regex FullSort(R"((^|->  )Sort  \(cost=[0-9.]+ rows=([0-9]{3,}))");
        const std::vector<TRecordedStatement> Statements = PageStatements(IndexFieldNames);
        for (const TRecordedStatement& Statement : Statements) {
            if (Database->IsMariaDB()) {
                ExpectMariaDbReadsIndex(Statement, Index);
                continue;
            }
            std::string Plan;
            auto Cursor = Database->Connection().Execute(
                (Database->IsSQLite() ? "EXPLAIN QUERY PLAN " : "EXPLAIN ") + Statement.Sql,
                Statement.Params);
            while (Cursor->Next())
                Plan += Cursor->Value(Cursor->FieldCount() - 1).AsString() + "\n";
            EXPECT_NE(Plan.find(Index), std::string::npos) << Statement.Sql << "\n" << Plan;
            EXPECT_EQ(Plan.find("TEMP B-TREE"), std::string::npos) << Statement.Sql << "\n" << Plan;
            EXPECT_FALSE(std::regex_search(Plan, FullSort)) << Statement.Sql << "\n" << Plan;
            if (Plan.find("Incremental Sort") != std::string::npos) {
                EXPECT_NE(Plan.find("Presorted Key: \"City\", \"Name\""), std::string::npos)
                    << Statement.Sql << "\n"
                    << Plan;
            }
        }
        EXPECT_GE(Statements.size(), 4u) << IndexFieldNames;
    }
};

TEST_P(IndexTieOrderPlanTest, PagesComeFromTheLongerIndexWithoutASort) {
    CreateCustomers(20);
    Database->Execute("CREATE INDEX \"CustCityName\" ON \"Cust\" (\"City\", \"Name\")");
    Database->Execute("ANALYZE \"Cust\"");
    ExpectIndexServesEveryPage("City", "CustCityName");
    ExpectIndexServesEveryPage("City:D", "CustCityName");
    Database->Execute(std::string("DROP INDEX \"CustCityName\"") +
                      (Database->IsMariaDB() ? " ON \"Cust\"" : ""));
    Database->Execute("CREATE INDEX \"CustCityDesc\" ON \"Cust\" (\"City\" DESC, \"Name\" DESC)");
    Database->Execute("ANALYZE \"Cust\"");
    ExpectIndexServesEveryPage("City:D", "CustCityDesc");
}

// An index whose last field is the row key holds the ties of its leading fields in the key
// order that settles them: ordered by City, with each city a long run of rows, every page
// is read from it without sorting the run.
TEST_P(IndexTieOrderPlanTest, AnIndexEndingInTheKeyServesTheOrderOfItsOtherFields) {
    CreateCustomers(4);
    Database->Execute("CREATE INDEX \"CustCityKey\" ON \"Cust\" (\"City\", \"ID\")");
    Database->Execute("ANALYZE \"Cust\"");
    ExpectIndexServesEveryPage("City", "CustCityKey");
    ExpectIndexServesEveryPage("City:D", "CustCityKey");
}

INSTANTIATE_TEST_SUITE_P(Plans, IndexTieOrderPlanTest, ::testing::ValuesIn(ReadingBackends()),
                         vorn::test::BackendTestName);

} // namespace
