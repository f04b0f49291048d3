#include "MariaDbTestDatabase.h"

#include <chrono>

using namespace vorn;
using namespace vorn::test;

namespace {

constexpr int RowCount = 100000;

class MariaDbStreamingTest : public MariaDbTest {
protected:
    void SetUp() override {
        MariaDbTest::SetUp();
        if (!Connection->TableExists("Wide")) {
            // Rows of about 300 bytes: 30 MB in all, far more than the socket buffers hold,
            // so that a server whose client stops reading has to wait for it.
            Exec("CREATE TABLE Wide (Id int PRIMARY KEY, Filler varchar(300) NOT NULL)");
            Exec("INSERT INTO Wide SELECT seq, REPEAT('x', 300) FROM seq_1_to_" +
                 std::to_string(RowCount));
        }
    }

    // Whether the server is still sending the result of the query marked Marker.
    bool ServerStillSending(const std::string& Marker) {
        return !Rows("SELECT ID FROM information_schema.PROCESSLIST WHERE INFO LIKE ?1 "
                     "AND ID <> CONNECTION_ID()",
                     {TVariant("%" + Marker + "%")})
                    .empty();
    }
};

TEST_F(MariaDbStreamingTest, RowsArriveAsAskedWhileOtherStatementsRun) {
    const std::string Sql = "SELECT Id, Filler /* stream one */ FROM Wide ORDER BY Id";
    auto Stream = Connection->Execute(Sql, {});
    for (int Id = 1; Id <= 10; ++Id) {
        ASSERT_TRUE(Stream->Next());
        ASSERT_EQ(Stream->Value(0), TVariant(Id));
    }
    // The client holds a few rows; the server waits with the rest.
    EXPECT_TRUE(ServerStillSending("stream one"));

    // Reads, commands and catalog questions run meanwhile, and a second stream too.
    Exec("CREATE OR REPLACE TABLE Side (A int PRIMARY KEY)");
    Exec("INSERT INTO Side VALUES (?1), (?2)", {TVariant(1), TVariant(2)});
    EXPECT_EQ(Rows("SELECT SUM(A) FROM Side")[0][0], TVariant(3));
    EXPECT_EQ(Connection->RowKey("Side"), std::vector<std::string>{"`A`"});
    auto Second = Connection->Execute("SELECT Id FROM Wide WHERE Id > ?1 ORDER BY Id DESC",
                                      {TVariant(RowCount - 3)});
    ASSERT_TRUE(Second->Next());
    EXPECT_EQ(Second->Value(0), TVariant(RowCount));

    // The first stream goes on where it stopped.
    int Id = 10;
    while (Stream->Next()) {
        ++Id;
        if (Stream->Value(0) != TVariant(Id)) {
            ADD_FAILURE() << "row " << Id << " read as " << Stream->Value(0).AsString();
            break;
        }
    }
    EXPECT_EQ(Id, RowCount);
    EXPECT_FALSE(ServerStillSending("stream one"));
}

TEST_F(MariaDbStreamingTest, AStreamLeftEarlyDoesNotReadTheRest) {
    const auto Started = std::chrono::steady_clock::now();
    {
        auto Stream = Connection->Execute("SELECT Id, Filler /* left early */ FROM Wide", {});
        ASSERT_TRUE(Stream->Next());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - Started, std::chrono::seconds(2));
    EXPECT_EQ(Rows("SELECT COUNT(*) FROM Wide WHERE Id <= ?1", {TVariant(5)})[0][0], TVariant(5));

    // A short read left early, and one read to its end, keep their connection for the
    // next statement.
    {
        auto Short = Connection->Execute("SELECT Id FROM Wide ORDER BY Id LIMIT 50", {});
        ASSERT_TRUE(Short->Next());
    }
    const TVariant First = Rows("SELECT CONNECTION_ID()")[0][0];
    EXPECT_EQ(Rows("SELECT CONNECTION_ID()")[0][0], First);
    EXPECT_GE(Connection->IdleReaderCount(), 1u);
}

} // namespace
