#include "PgTestDatabase.h"

#include "host/components/model/Strings.h"
#include "host/data/dataset/Database.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/postgres/PgDatabase.h"

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::PgTest;
using vorn::test::PgTestConnInfo;

namespace {

const char* const Alias = "vorn_pg_tables";

// Datasets on a server table, end to end: mixed-case names in a schema, runs of
// NULLs and of equal values across every page and window boundary.
class PgTableTest : public PgTest {
protected:
    void SetUp() override {
        PgTest::SetUp();
        if (!Connection)
            return;
        Exec("DROP SCHEMA IF EXISTS shop CASCADE");
        Exec("CREATE SCHEMA shop");
        Exec("CREATE TABLE shop.\"Customer\" (\"CustNo\" integer PRIMARY KEY, "
             "\"City\" varchar(30), \"Since\" timestamp)");
        Exec("CREATE INDEX \"ByCity\" ON shop.\"Customer\" (\"City\")");
        Exec("INSERT INTO shop.\"Customer\" SELECT n, CASE WHEN n % 5 = 0 THEN NULL ELSE "
             "(ARRAY['Beograd', 'Novi Sad', 'Ni\x9a'])[n % 3 + 1] END, "
             "CASE WHEN n % 7 = 0 THEN NULL ELSE timestamp '2024-01-01 00:00:00.000001' + "
             "(n % 4) * interval '1.5 seconds' END FROM generate_series(1, 230) AS s(n)");
        RegisterPostgresDatabase(Alias, PgTestConnInfo());
        Table.SetDatabaseName(Alias);
        Table.SetTableName("shop.Customer");
    }
    void TearDown() override {
        Table.Close();
        UnregisterDatabase(Alias);
        PgTest::TearDown();
    }

    std::vector<std::string> Forward() {
        std::vector<std::string> Keys;
        for (Table.First(); !Table.Eof(); Table.Next())
            Keys.push_back(Table.FieldByName("CustNo")->AsString());
        return Keys;
    }
    std::vector<std::string> Backward() {
        std::vector<std::string> Keys;
        for (Table.Last(); !Table.Bof(); Table.Prior())
            Keys.insert(Keys.begin(), Table.FieldByName("CustNo")->AsString());
        return Keys;
    }

    TTable Table{nullptr};
};

} // namespace

TEST_F(PgTableTest, WalksEveryOrderBothWaysAsTheServerSortsIt) {
    const struct {
        const char* IndexFieldNames;
        const char* OrderBy;
    } Orders[] = {
        {"", "\"CustNo\""},
        {"City", "\"City\" NULLS FIRST, \"CustNo\""},
        {"Since;City", "\"Since\" NULLS FIRST, \"City\" NULLS FIRST, \"CustNo\""},
    };
    for (const int PageSize : {7, 64}) {
        for (const auto& Order : Orders) {
            Table.Close();
            Table.SetIndexFieldNames(Order.IndexFieldNames);
            Table.SetPageSize(PageSize);
            Table.Open();
            const auto Expected = Column(
                std::string("SELECT \"CustNo\" FROM shop.\"Customer\" ORDER BY ") + Order.OrderBy);
            ASSERT_EQ(Expected.size(), 230u);
            EXPECT_EQ(Forward(), Expected) << Order.IndexFieldNames << " / " << PageSize;
            EXPECT_EQ(Backward(), Expected) << Order.IndexFieldNames << " / " << PageSize;
        }
    }
}

TEST_F(PgTableTest, LocatesByTextInTheHostCodePage) {
    Table.SetIndexFieldNames("City");
    Table.Open();
    ASSERT_TRUE(Table.Locate("City", TVariant("Ni\x9a"), TLocateOptions()));
    EXPECT_EQ(Table.FieldByName("City")->AsString(), "Ni\x9a");
    EXPECT_EQ(Table.FieldByName("CustNo")->AsInteger(), 2);
    EXPECT_FALSE(Table.Locate("City", TVariant("Nis"), TLocateOptions()));
}

TEST_F(PgTableTest, AQueryReadsForwardThroughItsCursor) {
    TQuery Query(nullptr);
    Query.SetDatabaseName(Alias);
    Query.SQL()->SetText("SELECT \"CustNo\" FROM shop.\"Customer\" ORDER BY \"CustNo\" DESC");
    Query.Open();
    EXPECT_FALSE(Query.Local());
    std::vector<std::int64_t> Keys;
    for (; !Query.Eof(); Query.Next())
        Keys.push_back(Query.FieldByName("CustNo")->AsInteger());
    ASSERT_EQ(Keys.size(), 230u);
    EXPECT_EQ(Keys.front(), 230);
    EXPECT_EQ(Keys.back(), 1);
    Query.Close();
}
