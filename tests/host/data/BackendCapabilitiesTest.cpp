// Each driver's answers to the questions that generic code asks of a connection, checked
// against what the database then does with the statements that rely on them.
#include "BackendFixture.h"

#include "host/data/drivers/DatabaseError.h"
#include "host/data/sql/SqlDialect.h"
#include "host/data/sql/SqlLiteral.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vorn;
using vorn::test::AllBackends;
using vorn::test::BackendCaseTest;
using vorn::test::BackendCaseTestName;

namespace {

const TColumnInfo& ColumnNamed(const std::vector<TColumnInfo>& Columns, const std::string& Name) {
    const auto Found = std::find_if(Columns.begin(), Columns.end(),
                                    [&](const TColumnInfo& Column) { return Column.Name == Name; });
    if (Found == Columns.end())
        throw EDatabaseError("no column " + Name);
    return *Found;
}

struct TBytesCase {
    const char* Name;
    const char* SQLiteType;
    bool SQLiteBytes;
    const char* PostgresType;
    bool PostgresBytes;
    const char* SQLiteEncoding = "UTF-8";
};

class ComparesAsBytesTest : public BackendCaseTest<TBytesCase> {};

TEST_P(ComparesAsBytesTest, ByteOrderedTextColumnsOnly) {
    const bool SQLite = Database->IsSQLite();
    if (SQLite)
        Database->Execute(std::string("PRAGMA encoding = '") + Case().SQLiteEncoding + "'");
    Database->Execute("CREATE TABLE \"Words\" (\"ID\" INTEGER PRIMARY KEY, \"Word\" " +
                      std::string(SQLite ? Case().SQLiteType : Case().PostgresType) + ")");
    TDriverConnection& Connection = Database->Connection();
    const TColumnInfo& Word = ColumnNamed(Connection.Columns("Words"), "Word");
    const bool Expected = SQLite ? Case().SQLiteBytes : Case().PostgresBytes;
    ASSERT_EQ(Connection.ComparesAsBytes("Words", Word), Expected) << Word.DeclaredType;
    if (!Expected)
        return;
    // Where the answer is yes, the database orders the texts as their bytes sort.
    std::vector<std::string> Words{"b", "B", "a", "A", "a ", "_", "~", "ab", "Ab"};
    for (std::size_t Index = 0; Index < Words.size(); ++Index)
        Database->Execute("INSERT INTO \"Words\" VALUES (?1, ?2)",
                          {static_cast<std::int64_t>(Index), Words[Index]});
    std::sort(Words.begin(), Words.end());
    EXPECT_EQ(Database->Column("SELECT \"Word\" FROM \"Words\" ORDER BY \"Word\""), Words);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, ComparesAsBytesTest,
    ::testing::Combine(
        ::testing::ValuesIn(AllBackends),
        ::testing::Values(
            TBytesCase{"Varchar", "VARCHAR(40)", true, "VARCHAR(40)", true},
            TBytesCase{"Text", "TEXT", true, "TEXT", true},
            TBytesCase{"ByteCollation", "CLOB COLLATE BINARY", true,
                       "VARCHAR(40) COLLATE \"POSIX\"", true},
            TBytesCase{"CaseFolding", "VARCHAR(40) COLLATE NOCASE", false,
                       "TEXT COLLATE \"und-x-icu\"", false},
            TBytesCase{"TrailingBlanksIgnored", "VARCHAR(40) COLLATE RTRIM", false, "CHAR(10)",
                       false},
            TBytesCase{"Numbers", "INTEGER", false, "INTEGER", false},
            // SQLite keeps numbers of a MEMO column as numbers, which no text range holds.
            TBytesCase{"NoTextAffinity", "MEMO", false, "NUMERIC(10, 2)", false},
            // UTF-16 bytes do not follow the characters' order.
            TBytesCase{"Utf16Database", "VARCHAR(40)", false, "VARCHAR(40)", true, "UTF-16le"})),
    BackendCaseTestName<TBytesCase>);

struct TIndexCase {
    const char* Name;
    const char* SQLiteIndex; // on "Words", or none
    const char* PostgresIndex;
    bool Expected;
};

class NextValueSearchesIndexTest : public BackendCaseTest<TIndexCase> {};

TEST_P(NextValueSearchesIndexTest, OnlyAnIndexThatServesTheComparison) {
    Database->Execute("CREATE TABLE \"Words\" (\"ID\" INTEGER PRIMARY KEY, \"Word\" VARCHAR(40), "
                      "\"Other\" VARCHAR(40))");
    for (int Id = 1; Id <= 200; ++Id)
        Database->Execute("INSERT INTO \"Words\" VALUES (?1, ?2, ?2)",
                          {Id, TVariant("w" + std::to_string(Id % 20))});
    const char* Index = Database->IsSQLite() ? Case().SQLiteIndex : Case().PostgresIndex;
    if (Index != nullptr)
        Database->Execute(Index);
    EXPECT_EQ(Database->Connection().NextValueSearchesIndex("Words", "Word"), Case().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Indexes, NextValueSearchesIndexTest,
    ::testing::Combine(
        ::testing::ValuesIn(AllBackends),
        ::testing::Values(
            TIndexCase{"LeadingIndex", "CREATE INDEX \"ByWord\" ON \"Words\" (\"Word\")",
                       "CREATE INDEX \"ByWord\" ON \"Words\" (\"Word\")", true},
            TIndexCase{"UniqueIndex",
                       "CREATE UNIQUE INDEX \"ByWord\" ON \"Words\" (\"Word\", \"ID\")",
                       "CREATE UNIQUE INDEX \"ByWord\" ON \"Words\" (\"Word\", \"ID\")", true},
            TIndexCase{"NoIndex", nullptr, nullptr, false},
            TIndexCase{"IndexOnAnotherColumn", "CREATE INDEX \"ByOther\" ON \"Words\" (\"Other\")",
                       "CREATE INDEX \"ByOther\" ON \"Words\" (\"Other\")", false},
            // Neither index compares as the column does.
            TIndexCase{"IndexThatCannotServe",
                       "CREATE INDEX \"ByWord\" ON \"Words\" (\"Word\" COLLATE NOCASE)",
                       "CREATE INDEX \"ByWord\" ON \"Words\" USING hash (\"Word\")", false})),
    BackendCaseTestName<TIndexCase>);

struct TMinimumCase {
    const char* Name;
    const char* SQLiteType;
    const char* PostgresType;
    bool PostgresHasMinimum;
    // The database has no MIN or > for the type.
    bool PostgresRefuses;
};

class HasMinimumTest : public BackendCaseTest<TMinimumCase> {};

TEST_P(HasMinimumTest, TheStepOfAWalkRunsWhereTheDriverSaysSo) {
    const bool SQLite = Database->IsSQLite();
    Database->Execute("CREATE TABLE \"Samples\" (\"V\" " +
                      std::string(SQLite ? Case().SQLiteType : Case().PostgresType) + ")");
    TDriverConnection& Connection = Database->Connection();
    const TFieldType Type =
        Connection.Execute("SELECT \"V\" FROM \"Samples\" LIMIT 0", {})->Column(0).DataType;
    const bool HasMinimum = Connection.HasMinimum(Type);
    // SQLite orders every value.
    EXPECT_EQ(HasMinimum, SQLite || Case().PostgresHasMinimum) << Type;
    const auto Step = [&] {
        return Connection
            .Execute("SELECT MIN(\"V\") FROM \"Samples\" WHERE \"V\" > (SELECT MIN(\"V\") "
                     "FROM \"Samples\")",
                     {})
            ->Next();
    };
    if (HasMinimum) {
        EXPECT_NO_THROW(Step());
    }
    if (!SQLite && Case().PostgresRefuses) {
        EXPECT_THROW(Step(), EDatabaseError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, HasMinimumTest,
    ::testing::Combine(
        ::testing::ValuesIn(AllBackends),
        ::testing::Values(TMinimumCase{"Integer", "INTEGER", "INTEGER", true, false},
                          TMinimumCase{"Varchar", "VARCHAR(20)", "VARCHAR(20)", true, false},
                          TMinimumCase{"Float", "FLOAT", "DOUBLE PRECISION", true, false},
                          TMinimumCase{"Numeric", "NUMERIC(10, 2)", "NUMERIC(10, 2)", true, false},
                          TMinimumCase{"Date", "DATE", "DATE", true, false},
                          TMinimumCase{"Timestamp", "TIMESTAMP", "TIMESTAMP", true, false},
                          TMinimumCase{"Boolean", "BOOLEAN", "BOOLEAN", false, true},
                          TMinimumCase{"Json", "TEXT", "JSON", false, true},
                          // Text shown as a memo is left alone with the types that are.
                          TMinimumCase{"Memo", "TEXT", "TEXT", false, false})),
    BackendCaseTestName<TMinimumCase>);

struct TLikeCase {
    const char* Name;
    std::size_t Length; // of a pattern of letters
    bool SQLiteRefuses;
};

class RefusesLikePatternTest : public BackendCaseTest<TLikeCase> {};

TEST_P(RefusesLikePatternTest, AsTheDatabaseDoes) {
    TDriverConnection& Connection = Database->Connection();
    const std::string Pattern(Case().Length, 'a');
    const bool Refuses = Database->IsSQLite() && Case().SQLiteRefuses;
    EXPECT_EQ(Connection.RefusesLikePattern(Pattern), Refuses);
    const auto Match = [&] {
        auto Cursor =
            Connection.Execute("SELECT CAST(" + Connection.Placeholder(1) + " AS TEXT) LIKE CAST(" +
                                   Connection.Placeholder(2) + " AS TEXT)",
                               {TVariant(Pattern), TVariant(Pattern)});
        return Cursor->Next() && Cursor->Value(0).AsBoolean();
    };
    if (Refuses) {
        EXPECT_THROW(Match(), EDatabaseError);
    } else {
        EXPECT_TRUE(Match());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Patterns, RefusesLikePatternTest,
    ::testing::Combine(::testing::ValuesIn(AllBackends),
                       ::testing::Values(TLikeCase{"Short", 10, false},
                                         TLikeCase{"Longest", MaxLikePatternBytes, false},
                                         TLikeCase{"TooLong", MaxLikePatternBytes + 1, true})),
    BackendCaseTestName<TLikeCase>);

class SqlBackendTest : public vorn::test::BackendTest {};

// The translator writes the placeholders of the connection's database.
TEST_P(SqlBackendTest, TranslatedSqlRunsOnTheConnection) {
    Database->Execute("CREATE TABLE \"Words\" (\"Word\" VARCHAR(20))");
    Database->Execute("INSERT INTO \"Words\" VALUES ('alpha'), ('beta')");
    TDriverConnection& Connection = Database->Connection();
    const TTranslatedSql Sql = TranslateStatement(
        "SELECT [Word] FROM \"Words\" WHERE [Word] STARTING WITH 'b'", Connection.SqlBackend());
    EXPECT_NE(Sql.Text.find(Connection.Placeholder(1)), std::string::npos) << Sql.Text;
    auto Cursor = Connection.Execute(
        Sql.Text, std::vector<TVariant>(Sql.Parameters.begin(), Sql.Parameters.end()));
    ASSERT_TRUE(Cursor->Next());
    EXPECT_EQ(Cursor->Value(0).AsString(), "beta");
    EXPECT_FALSE(Cursor->Next());
}

INSTANTIATE_TEST_SUITE_P(Backends, SqlBackendTest, ::testing::ValuesIn(AllBackends),
                         vorn::test::BackendTestName);

} // namespace
