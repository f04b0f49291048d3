// Each driver's answers to the questions that generic code asks of a connection, checked
// against what the database then does with the statements that rely on them.
#include "BackendFixture.h"

#include "host/data/drivers/DatabaseError.h"
#include "host/data/sql/SqlDialect.h"
#include "host/data/sql/SqlLiteral.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vorn;
using vorn::test::BackendCaseTest;
using vorn::test::BackendCaseTestName;
using vorn::test::ReadingBackends;
using vorn::test::ReadingBackendsBut;

namespace {

// A copy: the list is often a temporary.
TColumnInfo ColumnNamed(const std::vector<TColumnInfo>& Columns, const std::string& Name) {
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
    const char* MariaDbType;
    bool MariaDbBytes;
    const char* SQLiteEncoding = "UTF-8";
};

class ComparesAsBytesTest : public BackendCaseTest<TBytesCase> {};

TEST_P(ComparesAsBytesTest, ByteOrderedTextColumnsOnly) {
    const bool SQLite = Database->IsSQLite();
    if (SQLite)
        Database->Execute(std::string("PRAGMA encoding = '") + Case().SQLiteEncoding + "'");
    const bool MariaDB = Database->IsMariaDB();
    Database->Execute("CREATE TABLE \"Words\" (\"ID\" INTEGER PRIMARY KEY, \"Word\" " +
                      std::string(SQLite    ? Case().SQLiteType
                                  : MariaDB ? Case().MariaDbType
                                            : Case().PostgresType) +
                      ")");
    TDriverConnection& Connection = Database->Connection();
    const TColumnInfo Word = ColumnNamed(Connection.Columns("Words"), "Word");
    const bool Expected = SQLite    ? Case().SQLiteBytes
                          : MariaDB ? Case().MariaDbBytes
                                    : Case().PostgresBytes;
    ASSERT_EQ(Connection.ComparesAsBytes("Words", Word), Expected) << Word.DeclaredType;
    // A server tells it with the columns already, so that a search need not ask.
    if (!SQLite) {
        ASSERT_TRUE(Word.ComparesAsBytes.has_value()) << Word.DeclaredType;
        EXPECT_EQ(*Word.ComparesAsBytes, Expected) << Word.DeclaredType;
    }
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
        ::testing::ValuesIn(ReadingBackends()),
        ::testing::Values(TBytesCase{.Name = "Varchar",
                                     .SQLiteType = "VARCHAR(40)",
                                     .SQLiteBytes = true,
                                     .PostgresType = "VARCHAR(40)",
                                     .PostgresBytes = true,
                                     .MariaDbType = "VARCHAR(40)",
                                     .MariaDbBytes = true},
                          TBytesCase{.Name = "Text",
                                     .SQLiteType = "TEXT",
                                     .SQLiteBytes = true,
                                     .PostgresType = "TEXT",
                                     .PostgresBytes = true,
                                     .MariaDbType = "TEXT",
                                     .MariaDbBytes = true},
                          TBytesCase{.Name = "ByteCollation",
                                     .SQLiteType = "CLOB COLLATE BINARY",
                                     .SQLiteBytes = true,
                                     .PostgresType = "VARCHAR(40) COLLATE \"POSIX\"",
                                     .PostgresBytes = true,
                                     .MariaDbType = "VARCHAR(40) COLLATE utf8mb4_nopad_bin",
                                     .MariaDbBytes = true},
                          TBytesCase{.Name = "CaseFolding",
                                     .SQLiteType = "VARCHAR(40) COLLATE NOCASE",
                                     .SQLiteBytes = false,
                                     .PostgresType = "TEXT COLLATE \"und-x-icu\"",
                                     .PostgresBytes = false,
                                     .MariaDbType = "VARCHAR(40) COLLATE utf8mb4_unicode_ci",
                                     .MariaDbBytes = false},
                          TBytesCase{.Name = "TrailingBlanksIgnored",
                                     .SQLiteType = "VARCHAR(40) COLLATE RTRIM",
                                     .SQLiteBytes = false,
                                     .PostgresType = "CHAR(10)",
                                     .PostgresBytes = false,
                                     .MariaDbType = "VARCHAR(40) COLLATE utf8mb4_bin",
                                     .MariaDbBytes = false},
                          TBytesCase{.Name = "Numbers",
                                     .SQLiteType = "INTEGER",
                                     .SQLiteBytes = false,
                                     .PostgresType = "INTEGER",
                                     .PostgresBytes = false,
                                     .MariaDbType = "INTEGER",
                                     .MariaDbBytes = false},
                          // SQLite keeps numbers of a MEMO column as numbers, which
                          // no text range holds.
                          TBytesCase{.Name = "NoTextAffinity",
                                     .SQLiteType = "MEMO",
                                     .SQLiteBytes = false,
                                     .PostgresType = "NUMERIC(10, 2)",
                                     .PostgresBytes = false,
                                     .MariaDbType = "NUMERIC(10, 2)",
                                     .MariaDbBytes = false},
                          // UTF-16 bytes do not follow the characters' order.
                          TBytesCase{
                              .Name = "Utf16Database",
                              .SQLiteType = "VARCHAR(40)",
                              .SQLiteBytes = false,
                              .PostgresType = "VARCHAR(40)",
                              .PostgresBytes = true,
                              .MariaDbType = "VARCHAR(40) CHARACTER SET utf16 COLLATE utf16_bin",
                              .MariaDbBytes = false,
                              .SQLiteEncoding = "UTF-16le"})),
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

// MariaDB reads the whole index for each step of such a walk: never, not even over an index
// that leads with the column.
class MariaDbNextValueTest : public vorn::test::BackendTest {};

TEST_P(MariaDbNextValueTest, NeverSearchesAnIndex) {
    Database->Execute("CREATE TABLE \"Words\" (\"ID\" INTEGER PRIMARY KEY, \"Word\" VARCHAR(40))");
    Database->Execute("CREATE INDEX \"ByWord\" ON \"Words\" (\"Word\")");
    EXPECT_FALSE(Database->Connection().NextValueSearchesIndex("Words", "Word"));
}

INSTANTIATE_TEST_SUITE_P(Never, MariaDbNextValueTest, ::testing::Values(vorn::test::tbMariaDB),
                         vorn::test::BackendTestName);

INSTANTIATE_TEST_SUITE_P(
    Indexes, NextValueSearchesIndexTest,
    ::testing::Combine(
        ::testing::ValuesIn(ReadingBackendsBut(vorn::test::tbMariaDB)),
        ::testing::Values(
            TIndexCase{.Name = "LeadingIndex",
                       .SQLiteIndex = "CREATE INDEX \"ByWord\" ON \"Words\" (\"Word\")",
                       .PostgresIndex = "CREATE INDEX \"ByWord\" ON \"Words\" (\"Word\")",
                       .Expected = true},
            TIndexCase{
                .Name = "UniqueIndex",
                .SQLiteIndex = "CREATE UNIQUE INDEX \"ByWord\" ON \"Words\" (\"Word\", \"ID\")",
                .PostgresIndex = "CREATE UNIQUE INDEX \"ByWord\" ON \"Words\" (\"Word\", \"ID\")",
                .Expected = true},
            TIndexCase{.Name = "NoIndex",
                       .SQLiteIndex = nullptr,
                       .PostgresIndex = nullptr,
                       .Expected = false},
            TIndexCase{.Name = "IndexOnAnotherColumn",
                       .SQLiteIndex = "CREATE INDEX \"ByOther\" ON \"Words\" (\"Other\")",
                       .PostgresIndex = "CREATE INDEX \"ByOther\" ON \"Words\" (\"Other\")",
                       .Expected = false},
            // Neither index compares as the column does.
            TIndexCase{
                .Name = "IndexThatCannotServe",
                .SQLiteIndex = "CREATE INDEX \"ByWord\" ON \"Words\" (\"Word\" COLLATE NOCASE)",
                .PostgresIndex = "CREATE INDEX \"ByWord\" ON \"Words\" USING hash (\"Word\")",
                .Expected = false})),
    BackendCaseTestName<TIndexCase>);

struct TMinimumCase {
    const char* Name;
    const char* SQLiteType;
    const char* PostgresType;
    bool PostgresHasMinimum;
    // The database has no MIN or > for the type.
    bool PostgresRefuses;
    // MariaDB orders every type here (a boolean is a number); texts of unbounded length
    // are compared by a prefix only.
    bool MariaDbHasMinimum = true;
};

class HasMinimumTest : public BackendCaseTest<TMinimumCase> {};

TEST_P(HasMinimumTest, TheStepOfAWalkRunsWhereTheDriverSaysSo) {
    const bool SQLite = Database->IsSQLite();
    Database->Execute("CREATE TABLE \"Samples\" (\"V\" " +
                      std::string(SQLite ? Case().SQLiteType : Case().PostgresType) + ")");
    TDriverConnection& Connection = Database->Connection();
    const TFieldType Type =
        Connection.Execute(Database->NativeSql("SELECT \"V\" FROM \"Samples\" LIMIT 0"), {})
            ->Column(0)
            .DataType;
    const bool HasMinimum = Connection.HasMinimum(Type);
    // SQLite orders every value.
    const bool MariaDB = Database->IsMariaDB();
    EXPECT_EQ(HasMinimum,
              SQLite || (MariaDB ? Case().MariaDbHasMinimum : Case().PostgresHasMinimum))
        << Type;
    const auto Step = [&] {
        return Connection
            .Execute(Database->NativeSql("SELECT MIN(\"V\") FROM \"Samples\" WHERE \"V\" > "
                                         "(SELECT MIN(\"V\") FROM \"Samples\")"),
                     {})
            ->Next();
    };
    if (HasMinimum) {
        EXPECT_NO_THROW(Step());
    }
    if (!SQLite && !MariaDB && Case().PostgresRefuses) {
        EXPECT_THROW(Step(), EDatabaseError);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, HasMinimumTest,
    ::testing::Combine(
        ::testing::ValuesIn(ReadingBackends()),
        ::testing::Values(TMinimumCase{.Name = "Integer",
                                       .SQLiteType = "INTEGER",
                                       .PostgresType = "INTEGER",
                                       .PostgresHasMinimum = true,
                                       .PostgresRefuses = false},
                          TMinimumCase{.Name = "Varchar",
                                       .SQLiteType = "VARCHAR(20)",
                                       .PostgresType = "VARCHAR(20)",
                                       .PostgresHasMinimum = true,
                                       .PostgresRefuses = false},
                          TMinimumCase{.Name = "Float",
                                       .SQLiteType = "FLOAT",
                                       .PostgresType = "DOUBLE PRECISION",
                                       .PostgresHasMinimum = true,
                                       .PostgresRefuses = false},
                          TMinimumCase{.Name = "Numeric",
                                       .SQLiteType = "NUMERIC(10, 2)",
                                       .PostgresType = "NUMERIC(10, 2)",
                                       .PostgresHasMinimum = true,
                                       .PostgresRefuses = false},
                          TMinimumCase{.Name = "Date",
                                       .SQLiteType = "DATE",
                                       .PostgresType = "DATE",
                                       .PostgresHasMinimum = true,
                                       .PostgresRefuses = false},
                          TMinimumCase{.Name = "Timestamp",
                                       .SQLiteType = "TIMESTAMP",
                                       .PostgresType = "TIMESTAMP",
                                       .PostgresHasMinimum = true,
                                       .PostgresRefuses = false},
                          TMinimumCase{.Name = "Boolean",
                                       .SQLiteType = "BOOLEAN",
                                       .PostgresType = "BOOLEAN",
                                       .PostgresHasMinimum = false,
                                       .PostgresRefuses = true},
                          TMinimumCase{.Name = "Json",
                                       .SQLiteType = "TEXT",
                                       .PostgresType = "JSON",
                                       .PostgresHasMinimum = false,
                                       .PostgresRefuses = true,
                                       .MariaDbHasMinimum = false},
                          // Text shown as a memo is left alone with the types that are.
                          TMinimumCase{.Name = "Memo",
                                       .SQLiteType = "TEXT",
                                       .PostgresType = "TEXT",
                                       .PostgresHasMinimum = false,
                                       .PostgresRefuses = false,
                                       .MariaDbHasMinimum = false})),
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
    // MariaDB casts to CHAR, which has no length limit there.
    const std::string Text = Database->IsMariaDB() ? " AS CHAR)" : " AS TEXT)";
    const auto Match = [&] {
        auto Cursor = Connection.Execute("SELECT CAST(" + Connection.Placeholder(1) + Text +
                                             " LIKE CAST(" + Connection.Placeholder(2) + Text,
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
    ::testing::Combine(
        ::testing::ValuesIn(ReadingBackends()),
        ::testing::Values(
            TLikeCase{.Name = "Short", .Length = 10, .SQLiteRefuses = false},
            TLikeCase{.Name = "Longest", .Length = MaxLikePatternBytes, .SQLiteRefuses = false},
            TLikeCase{
                .Name = "TooLong", .Length = MaxLikePatternBytes + 1, .SQLiteRefuses = true})),
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

INSTANTIATE_TEST_SUITE_P(Backends, SqlBackendTest, ::testing::ValuesIn(ReadingBackends()),
                         vorn::test::BackendTestName);

} // namespace
