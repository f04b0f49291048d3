#include "PgTestDatabase.h"

#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/postgres/PgDriverCursor.h"

#include <gmock/gmock.h>

using namespace vorn;
using ::testing::HasSubstr;
using vorn::test::PgTest;
using vorn::test::PgTestConnInfo;

namespace {

const int PageSize = TPgConnection::FetchPageSize;

// Reads the rest of a cursor's first column as integers.
std::vector<std::int64_t> ReadIntegers(TDriverCursor& Cursor) {
    std::vector<std::int64_t> Values;
    while (Cursor.Next())
        Values.push_back(Cursor.Value(0).AsInteger());
    return Values;
}

std::vector<std::int64_t> Range(std::int64_t First, std::int64_t Last) {
    std::vector<std::int64_t> Values;
    for (std::int64_t Value = First; Value <= Last; ++Value)
        Values.push_back(Value);
    return Values;
}

} // namespace

TEST_F(PgTest, QueriesArePagedThroughAServerSideCursor) {
    for (const int Count : {0, 1, PageSize - 1, PageSize, PageSize + 1, 2 * PageSize + 50}) {
        auto Cursor = Connection->Execute(
            "SELECT n FROM generate_series(1, $1::integer) AS s(n) ORDER BY n", {Count});
        ASSERT_EQ(Cursor->FieldCount(), 1);
        EXPECT_EQ(Cursor->Column(0).Name, "n");
        EXPECT_EQ(Cursor->Column(0).DataType, ftInteger);
        EXPECT_EQ(ReadIntegers(*Cursor), Range(1, Count)) << Count << " rows";
        EXPECT_FALSE(Cursor->Next()) << "stays at the end";
    }
}

TEST_F(PgTest, CursorsStayOpenSideBySideAndSurviveFailedStatements) {
    auto First = Connection->Execute("SELECT n FROM generate_series(1, 250) AS s(n)", {});
    ASSERT_TRUE(First->Next());
    // The first query is a real cursor on the server, visible to its own session.
    auto Cursors = Connection->Execute("SELECT name FROM pg_cursors WHERE name LIKE 'vorn%'", {});
    std::vector<std::string> Names;
    while (Cursors->Next())
        Names.push_back(Cursors->Value(0).AsString());
    EXPECT_EQ(Names.size(), 2u) << "this query's cursor and the first one";

    EXPECT_THROW(Connection->Execute("SELECT 1 / 0", {}), EDatabaseError);
    auto FailsOnItsSecondPage =
        Connection->Execute("SELECT 1 / (150 - n) FROM generate_series(1, 300) AS s(n)", {});
    EXPECT_THROW(ReadIntegers(*FailsOnItsSecondPage), EDatabaseError);
    auto Second = Connection->Execute("SELECT n * 10 FROM generate_series(1, 150) AS s(n)", {});

    std::vector<std::int64_t> FromFirst = {First->Value(0).AsInteger()};
    std::vector<std::int64_t> FromSecond;
    // Interleaved reads cross the page boundaries of both cursors.
    for (bool More = true; More;) {
        More = false;
        if (First->Next()) {
            FromFirst.push_back(First->Value(0).AsInteger());
            More = true;
        }
        if (Second->Next()) {
            FromSecond.push_back(Second->Value(0).AsInteger() / 10);
            More = true;
        }
    }
    EXPECT_EQ(FromFirst, Range(1, 250));
    EXPECT_EQ(FromSecond, Range(1, 150));
}

TEST_F(PgTest, AFailureInsideTheLastCursorLeavesTheConnectionUsable) {
    auto Failing =
        Connection->Execute("SELECT 1 / (150 - n) FROM generate_series(1, 300) AS s(n)", {});
    int Rows = 0;
    try {
        while (Failing->Next())
            ++Rows;
        FAIL() << "the division by zero went unnoticed";
    } catch (const EDatabaseError& Error) {
        EXPECT_THAT(Error.Message(), HasSubstr("division by zero"));
    }
    EXPECT_EQ(Rows, PageSize);
    // A failed query never passes for one that ended.
    EXPECT_THROW(Failing->Next(), EDatabaseError);
    EXPECT_EQ(ReadIntegers(*Connection->Execute("SELECT 7", {})), std::vector<std::int64_t>{7});
}

TEST_F(PgTest, ChangesAreCommittedWhileAQueryIsOpen) {
    Exec("DROP TABLE IF EXISTS visits");
    Exec("CREATE TABLE visits (id integer PRIMARY KEY)");
    auto Open = Connection->Execute("SELECT n FROM generate_series(1, 500) AS s(n)", {});
    ASSERT_TRUE(Open->Next());
    EXPECT_EQ(Connection->ExecuteCommand("INSERT INTO visits SELECT generate_series(1, 3)", {}), 3);
    EXPECT_EQ(ReadIntegers(*Connection->Execute("INSERT INTO visits VALUES (4) RETURNING id", {})),
              std::vector<std::int64_t>{4});

    TPgConnection Other(PgTestConnInfo());
    EXPECT_EQ(ReadIntegers(*Other.Execute("SELECT count(*) FROM visits", {})),
              std::vector<std::int64_t>{4});
    EXPECT_EQ(ReadIntegers(*Open).size(), 499u);
}

TEST_F(PgTest, StatementsWithoutCursorStillReturnTheirRows) {
    Exec("DROP TABLE IF EXISTS returned");
    Exec("CREATE TABLE returned (id serial PRIMARY KEY, t text)");
    auto Inserted =
        Connection->Execute("INSERT INTO returned (t) VALUES ($1), ($2) RETURNING id", {"a", "b"});
    EXPECT_EQ(ReadIntegers(*Inserted), (std::vector<std::int64_t>{1, 2}));
    EXPECT_EQ(ReadIntegers(*Connection->Execute(" /* c */ -- line\n ((SELECT 5))", {})),
              std::vector<std::int64_t>{5});
}

TEST_F(PgTest, ALostConnectionRaisesAtTheNextFetchThenReconnects) {
    auto Cursor = Connection->Execute("SELECT n FROM generate_series(1, 1000) AS s(n)", {});
    for (int Row = 0; Row < PageSize; ++Row)
        ASSERT_TRUE(Cursor->Next());

    TPgConnection Admin(PgTestConnInfo());
    // The timeout makes the server wait until the backends are gone.
    for (const int Pid : {Connection->ReaderBackendPid(), Connection->CommandBackendPid()})
        EXPECT_EQ(ReadIntegers(*Admin.Execute("SELECT pg_terminate_backend($1, 10000)", {Pid})),
                  std::vector<std::int64_t>{1});

    try {
        Cursor->Next();
        FAIL() << "fetching on a lost connection raised nothing";
    } catch (const EDatabaseError& Error) {
        EXPECT_THAT(Error.Message(), HasSubstr("TPgCursor.Fetch()"));
    }
    EXPECT_THROW(Cursor->Next(), EDatabaseError) << "a failed query stays failed";

    // The next query and the next catalog question open new connections (reading
    // again is harmless); a command reports the loss once rather than risk running
    // twice, and the one after it reconnects.
    EXPECT_EQ(ReadIntegers(*Connection->Execute("SELECT 3", {})), std::vector<std::int64_t>{3});
    EXPECT_TRUE(Connection->TableExists("pg_catalog.pg_class"));
    EXPECT_EQ(ReadIntegers(*Admin.Execute("SELECT pg_terminate_backend($1, 10000)",
                                          {Connection->CommandBackendPid()})),
              std::vector<std::int64_t>{1});
    EXPECT_THROW(Connection->ExecuteCommand("SET search_path = public", {}), EDatabaseError);
    EXPECT_EQ(Connection->ExecuteCommand("SET search_path = public", {}), 0);
    // The old cursor belongs to the lost connection and never reads from the new one.
    EXPECT_THROW(Cursor->Next(), EDatabaseError);
}

TEST(PgIsQuery, TellsQueriesFromCommands) {
    const struct {
        const char* Sql;
        bool Query;
    } Cases[] = {
        {"SELECT 1", true},
        {"  select 1", true},
        {"((select 1))", true},
        {"-- note\nWITH a AS (SELECT 1) SELECT * FROM a", true},
        {"/* SELECT */ VALUES (1)", true},
        {"TABLE customer", true},
        {"INSERT INTO t VALUES (1)", false},
        {"SELECTED", false},
        {"/* unterminated SELECT", false},
        {"-- only a comment", false},
        {"", false},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(PgIsQuery(Case.Sql), Case.Query) << Case.Sql;
}

TEST(PgTrailingLimit, ReadsOnlyALimitThatEndsTheStatement) {
    const struct {
        const char* Sql;
        int Limit;
    } Cases[] = {
        {"SELECT a FROM t LIMIT 1", 1},
        {"SELECT a FROM t ORDER BY a limit 50 \n", 50},
        {"SELECT a FROM t", -1},
        {"SELECT a FROM t LIMIT", -1},
        {"SELECT a FROM t LIMIT 5 OFFSET 10", -1},
        {"SELECT a FROM t WHERE b = 'LIMIT 5'", -1},
        {"SELECT xLIMIT 5", -1},
        {"SELECT a FROM t LIMIT 12345678901", -1},
        {"", -1},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(PgTrailingLimit(Case.Sql), Case.Limit) << Case.Sql;
}

TEST_F(PgTest, AShortReadRunsWithoutACursorAndSeesTheOpenQuerysRows) {
    Exec("DROP TABLE IF EXISTS short_read");
    Exec("CREATE TABLE short_read (id integer PRIMARY KEY)");
    Exec("INSERT INTO short_read SELECT generate_series(1, 300)");
    auto Long = Connection->Execute("SELECT id FROM short_read ORDER BY id", {});
    ASSERT_TRUE(Long->Next());
    // Inside the open query's transaction and outside any, a bounded read gives its rows.
    auto Short = Connection->Execute("SELECT id FROM short_read WHERE id > $1 ORDER BY id LIMIT 3",
                                     {TVariant(297)});
    std::vector<std::int64_t> Ids;
    while (Short->Next())
        Ids.push_back(Short->Value(0).AsInteger());
    EXPECT_EQ(Ids, (std::vector<std::int64_t>{298, 299, 300}));
    int LongRows = 1;
    while (Long->Next())
        ++LongRows;
    EXPECT_EQ(LongRows, 300); // the open query reads on past its first fetch
    Long.reset();
    auto Alone = Connection->Execute("SELECT id FROM short_read ORDER BY id DESC LIMIT 1", {});
    ASSERT_TRUE(Alone->Next());
    EXPECT_EQ(Alone->Value(0).AsInteger(), 300);
    EXPECT_FALSE(Alone->Next());
    Exec("DROP TABLE short_read");
}

TEST_F(PgTest, ACommandBlockedByAnOpenQueryFailsInsteadOfHanging) {
    Exec("DROP TABLE IF EXISTS locked");
    Exec("CREATE TABLE locked (id integer PRIMARY KEY)");
    Exec("INSERT INTO locked SELECT generate_series(1, 300)");
    {
        auto Open = Connection->Execute("SELECT id FROM locked", {});
        ASSERT_TRUE(Open->Next());
        EXPECT_EQ(Connection->ExecuteCommand("UPDATE locked SET id = id + 1000 WHERE id = 1", {}),
                  1)
            << "changing rows needs no lock that the query holds";
        try {
            Connection->ExecuteCommand("DROP TABLE locked", {});
            FAIL() << "dropped a table that an open query reads";
        } catch (const EDatabaseError& Error) {
            EXPECT_THAT(Error.Message(), HasSubstr("lock timeout"));
        }
        EXPECT_EQ(ReadIntegers(*Open).size(), 299u);
    }
    Exec("DROP TABLE locked");
    EXPECT_FALSE(Connection->TableExists("locked"));
}
