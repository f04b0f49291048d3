#include "PgTestDatabase.h"
#include "RecordingConnection.h"

#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Database.h"
#include "host/data/dataset/Table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>

using namespace vorn;
using vorn::test::PgTest;
using vorn::test::PgTestConnInfo;
using vorn::test::TRecordedStatement;
using vorn::test::TRecordingConnection;

namespace {

const char* const Alias = "vorn_pg_order_plans";

// The most rows that a full Sort node of a plan expects to sort; 0 without one.
long SortedRows(const std::string& Plan) {
    static const std::regex FullSort(R"((^|->  )Sort  \(cost=[0-9.]+ rows=([0-9]+))");
    long Most = 0;
    for (auto Match = std::sregex_iterator(Plan.begin(), Plan.end(), FullSort);
         Match != std::sregex_iterator(); ++Match)
        Most = std::max(Most, std::stol((*Match)[2].str()));
    return Most;
}

// 100,000 rows with default indexes (ascending, NULLs last), as users create them, and
// indexes created NULLS FIRST or descending: the server must read every page the table
// asks for from an index, never sort the table for it.
class PgOrderPlanTest : public PgTest {
protected:
    static void SetUpTestSuite() {
        TPgConnection Setup(PgTestConnInfo());
        const auto Run = [&](const std::string& Sql) { Setup.ExecuteCommand(Sql, {}); };
        Run("DROP TABLE IF EXISTS \"Pager\", \"PagerGroup\"");
        Run("CREATE TABLE \"Pager\" (\"ID\" integer PRIMARY KEY, \"Code\" varchar(10) NOT NULL, "
            "\"Note\" varchar(10), \"Grp\" integer NOT NULL, \"Tag\" varchar(10), "
            "\"Serial\" integer NOT NULL, \"Rank\" integer NOT NULL)");
        Run("INSERT INTO \"Pager\" SELECT n, lpad(((n * 7919) % 100003)::text, 6, '0'), "
            "CASE WHEN n % 10 = 0 THEN NULL ELSE 'n' || (n % 5000) END, n % 500, "
            "CASE WHEN n % 7 = 0 THEN NULL ELSE 't' || (n % 3000) END, 100000 - n, n % 9000 "
            "FROM generate_series(1, 100000) AS s(n)");
        Run("CREATE INDEX \"ByCode\" ON \"Pager\" (\"Code\")");
        Run("CREATE INDEX \"ByNote\" ON \"Pager\" (\"Note\")");
        Run("CREATE INDEX \"ByGrpCode\" ON \"Pager\" (\"Grp\", \"Code\")");
        Run("CREATE INDEX \"ByTag\" ON \"Pager\" (\"Tag\" NULLS FIRST)");
        Run("CREATE INDEX \"BySerial\" ON \"Pager\" (\"Serial\" NULLS FIRST)");
        Run("CREATE INDEX \"ByRank\" ON \"Pager\" (\"Rank\" DESC)");
        Run("CREATE TABLE \"PagerGroup\" (\"Grp\" integer PRIMARY KEY)");
        Run("INSERT INTO \"PagerGroup\" SELECT n FROM generate_series(7, 9) AS s(n)");
        Run("ANALYZE \"Pager\"");
        Run("ANALYZE \"PagerGroup\"");
    }

    void SetUp() override {
        PgTest::SetUp();
        RegisterDatabase(Alias, [this] {
            return std::make_unique<TRecordingConnection>(
                std::make_unique<TPgConnection>(PgTestConnInfo()), Statements);
        });
        Table.SetDatabaseName(Alias);
        Table.SetTableName("Pager");
        Table.SetPageSize(40);
    }
    void TearDown() override {
        Table.Close();
        Master.Close();
        UnregisterDatabase(Alias);
        PgTest::TearDown();
    }

    // Every way a user moves through the table: open, the next pages, the last page and
    // the ones before it, and a search for a value of the leading order field.
    void Browse(const char* LeadingField) {
        Table.Open();
        for (int Step = 0; Step < 100 && !Table.Eof(); ++Step)
            Table.Next();
        const TVariant Found = Table.FieldByName(LeadingField)->Value();
        Table.Last();
        for (int Step = 0; Step < 100 && !Table.Bof(); ++Step)
            Table.Prior();
        ASSERT_TRUE(Table.Locate(LeadingField, Found, {}));
    }

    // The plan of each statement the table issued that reads no index or sorts rows that
    // the index has not put in order. A search for one value sorts the few rows that share
    // it; an incremental sort orders only the rows that tie on the index's fields.
    std::vector<std::string> PlansThatSort() {
        static const std::regex IndexScan(R"(Index (Only )?Scan)");
        std::vector<std::string> Faults;
        for (const TRecordedStatement& Statement : Statements) {
            if (Statement.Sql.find("FROM \"Pager\"") == std::string::npos)
                continue;
            std::string Plan;
            auto Cursor = Connection->Execute("EXPLAIN " + Statement.Sql, Statement.Params);
            while (Cursor->Next())
                Plan += Cursor->Value(0).AsString() + "\n";
            if (SortedRows(Plan) > 100 || !std::regex_search(Plan, IndexScan))
                Faults.push_back(Statement.Sql + "\n" + Plan);
        }
        return Faults;
    }

    std::vector<TRecordedStatement> Statements;
    TTable Table{nullptr};
    TTable Master{nullptr};
};

TEST_F(PgOrderPlanTest, EveryPageOfAnIndexOrderComesFromAnIndex) {
    const struct {
        const char* IndexFieldNames;
        const char* LeadingField;
    } Orders[] = {
        {"", "ID"},           // the primary key
        {"Code", "Code"},     // a NOT NULL column
        {"Note", "Note"},     // a column with NULLs: read as its NULLs, then its values
        {"Grp;Code", "Grp"},  // two fields of one index
        {"Tag", "Tag"},       // a column with NULLs, indexed NULLS FIRST
        {"Serial", "Serial"}, // a NOT NULL column, indexed NULLS FIRST
        {"Rank", "Rank"},     // a NOT NULL column, indexed descending
        // Descending orders: an ascending index read backward (the NULLs of Note read
        // apart, as the default index holds them first when read so), the index made
        // NULLS FIRST read backward, and the descending index read forward.
        {"Code:D", "Code"},
        {"Note:D", "Note"},
        {"Grp:D;Code:D", "Grp"},
        {"Tag:D", "Tag"},
        {"Rank:D", "Rank"},
    };
    for (const auto& Order : Orders) {
        Table.Close();
        Statements.clear();
        Table.SetIndexFieldNames(Order.IndexFieldNames);
        Browse(Order.LeadingField);
        EXPECT_GE(Statements.size(), 4u) << Order.IndexFieldNames;
        for (const std::string& Fault : PlansThatSort())
            ADD_FAILURE() << Order.IndexFieldNames << ": " << Fault;
    }
}

TEST_F(PgOrderPlanTest, TheDetailRangeOfAMasterComesFromAnIndex) {
    Master.SetDatabaseName(Alias);
    Master.SetTableName("PagerGroup");
    TDataSource Source(nullptr);
    Source.SetDataSet(&Master);
    Master.Open();
    Table.SetIndexFieldNames("Grp;Code");
    Table.SetMasterFields("Grp");
    Table.SetMasterSource(&Source);
    Statements.clear();
    Browse("Code");
    Master.Next();
    EXPECT_EQ(Table.FieldByName("Grp")->AsInteger(), 8);
    for (const std::string& Fault : PlansThatSort())
        ADD_FAILURE() << Fault;
    Table.SetMasterSource(nullptr);
}

} // namespace
