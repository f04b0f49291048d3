#include "BackendFixture.h"
#include "TestDatabase.h"

#include "host/data/dataset/Query.h"
#include "host/data/drivers/DatabaseError.h"

#include <gtest/gtest.h>

#include <random>

using namespace vorn;
using vorn::test::BackendTest;
using vorn::test::BackendTestName;
using vorn::test::ReadingBackends;
using vorn::test::Show;

namespace {

class QueryTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        Database->Execute("CREATE TABLE \"Numbers\" (\"N\" INTEGER PRIMARY KEY, "
                          "\"Word\" VARCHAR(20), \"Half\" REAL)");
        for (int N = 1; N <= 40; ++N)
            Database->Execute("INSERT INTO \"Numbers\" VALUES (?1, ?2, ?3)",
                              {N, TVariant("w" + std::to_string(N)), N / 2.0});
        Query.SetDatabaseName(Database->Alias());
        Query.SQL()->SetText("SELECT N, Word, Half FROM Numbers WHERE N % 2 = 1 ORDER BY N DESC");
        Query.SetPageSize(3);
    }

    int Current() { return static_cast<int>(Query.FieldByName("N")->AsInteger()); }

    TQuery Query{nullptr};
};

TEST_P(QueryTest, PagesForwardAndBackPastTheCache) {
    Query.Open();
    std::vector<int> Forward;
    for (; !Query.Eof(); Query.Next())
        Forward.push_back(Current());
    std::vector<int> Expected;
    for (int N = 39; N >= 1; N -= 2)
        Expected.push_back(N);
    EXPECT_EQ(Forward, Expected);
    std::vector<int> Backward;
    for (Query.Last(); !Query.Bof(); Query.Prior())
        Backward.insert(Backward.begin(), Current());
    EXPECT_EQ(Backward, Expected);

    std::mt19937 Random(7);
    int Position = 0;
    Query.First();
    for (int Step = 0; Step < 200; ++Step) {
        const int Distance = static_cast<int>(Random() % 31) - 15;
        const int Target = std::clamp(Position + Distance, 0, 19);
        ASSERT_EQ(Query.MoveBy(Distance), Target - Position);
        Position = Target;
        ASSERT_EQ(Current(), Expected[static_cast<std::size_t>(Position)]) << "step " << Step;
    }
}

TEST_P(QueryTest, GoingBackPastTheCacheRunsTheStatementAgain) {
    Query.Open();
    Query.MoveBy(18);
    EXPECT_EQ(Current(), 3);
    Database->Execute("UPDATE \"Numbers\" SET \"Word\" = 'changed' WHERE \"N\" IN (5, 39)");
    Query.Prior();
    EXPECT_EQ(Query.FieldByName("Word")->AsString(), "w5") << "a cached row is not read again";
    Query.First();
    EXPECT_EQ(Query.FieldByName("Word")->AsString(), "changed") << "the first row left the cache";
}

TEST_P(QueryTest, BookmarksLocateAndLookupWork) {
    Query.Open();
    Query.MoveBy(15);
    const TBookmark Mark = Query.Bookmark();
    Query.First();
    Query.SetBookmark(Mark);
    EXPECT_EQ(Current(), 9);
    EXPECT_TRUE(Query.Locate("Word", TVariant("W3"), {loCaseInsensitive}));
    EXPECT_EQ(Current(), 3);
    EXPECT_TRUE(Query.Locate("Word", TVariant("w3"), {loPartialKey}));
    EXPECT_EQ(Current(), 39) << "the first match in the query's order";
    EXPECT_FALSE(Query.Locate("N", TVariant(4), {}));
    EXPECT_EQ(Current(), 39);
    EXPECT_EQ(Query.Lookup("N", {TVariant(7)}, "Word").AsString(), "w7");
    EXPECT_TRUE(Query.Lookup("N", {TVariant(8)}, "Word").IsNull());
    EXPECT_EQ(Current(), 39);
    EXPECT_THROW(Query.SetBookmark(TBookmark{{TVariant(std::int64_t{500})}}), EDatabaseError);
    EXPECT_EQ(Current(), 39);
}

TEST_P(QueryTest, DescribesItsResultAndClosesOnANewStatement) {
    Query.SQL()->SetText("SELECT a.N, b.N, a.Word || '!' AS Shout, a.Half FROM Numbers a "
                         "JOIN Numbers b ON b.N = a.N + 1 WHERE a.N = 4");
    Query.Open();
    ASSERT_EQ(Query.FieldCount(), 4);
    EXPECT_EQ(Query.Fields(0)->FieldName(), "N");
    EXPECT_EQ(Query.Fields(1)->FieldName(), "N_1");
    EXPECT_EQ(Query.Fields(1)->AsInteger(), 5);
    EXPECT_EQ(Query.FieldByName("Shout")->AsString(), "w4!");
    EXPECT_EQ(Query.Fields(0)->DataType(), ftInteger);
    EXPECT_EQ(Query.FieldByName("Half")->DataType(), ftFloat);
    EXPECT_DOUBLE_EQ(Query.FieldByName("Half")->AsFloat(), 2.0);
    EXPECT_EQ(Query.IndexFieldCount(), 0);
    EXPECT_EQ(Query.Local(), Database->IsSQLite());
    EXPECT_EQ(Query.IsSequenced(), Database->IsSQLite());
    Query.SQL()->SetText("SELECT COUNT(*) FROM Numbers");
    EXPECT_FALSE(Query.Active()) << "a new statement closes the query";
    Query.Open();
    EXPECT_EQ(Query.Fields(0)->AsInteger(), 40);
}

TEST_P(QueryTest, BadStatementsRaiseAndLeaveTheQueryClosed) {
    for (const char* Sql :
         {"", "SELEC nothing", "SELECT * FROM NoSuchTable", "SELECT 1; DELETE FROM Numbers",
          "DELETE FROM Numbers", "DELETE FROM Numbers RETURNING N", "BEGIN",
          "SELECT * FROM Numbers WHERE Word = 'x", "SELECT * FROM Numbers -- comment"}) {
        Query.SQL()->SetText(Sql);
        EXPECT_THROW(Query.Open(), EDatabaseError) << Sql;
        EXPECT_FALSE(Query.Active());
    }
    EXPECT_EQ(Database->Column("SELECT COUNT(*) FROM \"Numbers\""), std::vector<std::string>{"40"});
}

TEST_P(QueryTest, TheStatementsLiteralsAreBoundAndItsNamesKeepTheirCase) {
    Database->Execute("CREATE TABLE \"MixedCase\" (\"Id\" INTEGER PRIMARY KEY, \"Note\" "
                      "VARCHAR(20))");
    Database->Execute("INSERT INTO \"MixedCase\" VALUES (1, 'it''s'), (2, 'a\\b'), (3, '?1')");
    const struct {
        const char* Sql;
        std::vector<std::string> Ids;
    } Cases[] = {
        {"SELECT Id FROM MixedCase WHERE Note = 'it\\'s'", {"1"}},
        {"SELECT Id FROM MixedCase WHERE Note = 'a\\\\b'", {"2"}},
        {"SELECT Id FROM MixedCase WHERE Note = '?1' OR Note = '$1'", {"3"}},
        {"SELECT [Id] FROM [MixedCase] WHERE [Note] STARTING WITH 'it'", {"1"}},
        {"SELECT Id FROM MixedCase WHERE Note CONTAINING 'IT' ORDER BY Id DESC", {"1"}},
        {"SELECT Id FROM MixedCase WHERE Note LIKE 'a\\\\%' ", {"2"}},
    };
    for (const auto& Case : Cases) {
        Query.SQL()->SetText(Case.Sql);
        Query.Open();
        std::vector<std::string> Ids;
        for (; !Query.Eof(); Query.Next())
            Ids.push_back(Query.Fields(0)->AsString());
        EXPECT_EQ(Ids, Case.Ids) << Case.Sql;
        Query.Close();
    }
}

// The value list of a filter grid's field: one of two statements, for a local table
// (quoted names and aliases) and for a server table (plain names).
TEST_P(QueryTest, TheDistinctValueStatementsListEachValueOnceInOrder) {
    Database->Execute("CREATE TABLE \"CustomerList\" (\"CustNo\" INTEGER PRIMARY KEY, "
                      "\"City\" VARCHAR(20))");
    Database->Execute("INSERT INTO \"CustomerList\" VALUES (1, 'Paris'), (2, 'Berlin'), "
                      "(3, NULL), (4, 'Paris'), (5, 'berlin'), (6, ''), (7, NULL), (8, 'Zagreb')");
    const std::vector<std::string> Expected = {"NULL", "", "Berlin", "Paris", "Zagreb", "berlin"};
    for (const char* Sql :
         {"SELECT DISTINCT ValueTable.\"City\" ValueField FROM \"CustomerList\" ValueTable "
          "ORDER BY ValueField",
          "SELECT DISTINCT City FROM CustomerList ORDER BY City"}) {
        Query.SQL()->SetText(Sql);
        Query.Open();
        std::vector<std::string> Values;
        for (Query.First(); !Query.Eof(); Query.Next())
            Values.push_back(Show(Query.Fields(0)->Value()));
        EXPECT_EQ(Values, Expected) << Sql;
        Query.Close();
    }
}

INSTANTIATE_TEST_SUITE_P(Backends, QueryTest, ::testing::ValuesIn(ReadingBackends()),
                         BackendTestName);

} // namespace
