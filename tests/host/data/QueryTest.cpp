#include "TestDatabase.h"

#include "host/data/DataSource.h"
#include "host/data/DatabaseError.h"
#include "host/data/Query.h"

#include <gtest/gtest.h>

#include <random>

using namespace vorn;
using vorn::test::TTempDatabase;

namespace {

class QueryTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Readers and the test's writer do not block each other in WAL mode.
        Database.Execute("PRAGMA journal_mode = WAL");
        Database.Execute("CREATE TABLE Numbers (N INTEGER PRIMARY KEY, Word VARCHAR(20), "
                         "Half REAL)");
        Database.Execute("BEGIN");
        for (int N = 1; N <= 40; ++N)
            Database.Execute("INSERT INTO Numbers VALUES (?1, ?2, ?3)",
                             {N, TVariant("w" + std::to_string(N)), N / 2.0});
        Database.Execute("COMMIT");
        Query.SetDatabaseName(Database.Alias());
        Query.SQL()->SetText("SELECT N, Word, Half FROM Numbers WHERE N % 2 = 1 ORDER BY N DESC");
        Query.SetPageSize(3);
    }

    int Current() { return static_cast<int>(Query.FieldByName("N")->AsInteger()); }

    TTempDatabase Database;
    TQuery Query{nullptr};
};

TEST_F(QueryTest, PagesForwardAndBackPastTheCache) {
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

TEST_F(QueryTest, GoingBackPastTheCacheRunsTheStatementAgain) {
    Query.Open();
    Query.MoveBy(18);
    EXPECT_EQ(Current(), 3);
    Database.Execute("UPDATE Numbers SET Word = 'changed' WHERE N IN (5, 39)");
    Query.Prior();
    EXPECT_EQ(Query.FieldByName("Word")->AsString(), "w5") << "a cached row is not read again";
    Query.First();
    EXPECT_EQ(Query.FieldByName("Word")->AsString(), "changed") << "the first row left the cache";
}

TEST_F(QueryTest, BookmarksLocateAndLookupWork) {
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

TEST_F(QueryTest, DescribesItsResultAndClosesOnANewStatement) {
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
    EXPECT_TRUE(Query.Local());
    EXPECT_TRUE(Query.IsSequenced());
    Query.SQL()->SetText("SELECT COUNT(*) FROM Numbers");
    EXPECT_FALSE(Query.Active()) << "a new statement closes the query";
    Query.Open();
    EXPECT_EQ(Query.Fields(0)->AsInteger(), 40);
}

TEST_F(QueryTest, BadStatementsRaiseAndLeaveTheQueryClosed) {
    for (const char* Sql :
         {"", "SELEC nothing", "SELECT * FROM NoSuchTable", "SELECT 1; DELETE FROM Numbers",
          "DELETE FROM Numbers", "DELETE FROM Numbers RETURNING N", "BEGIN"}) {
        Query.SQL()->SetText(Sql);
        EXPECT_THROW(Query.Open(), EDatabaseError) << Sql;
        EXPECT_FALSE(Query.Active());
    }
    EXPECT_EQ(Database.Column("SELECT COUNT(*) FROM Numbers"), std::vector<std::string>{"40"});
}

} // namespace
