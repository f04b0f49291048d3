#include "BackendFixture.h"
#include "RecordingConnection.h"
#include "TestDatabase.h"

#include "host/data/dataset/Database.h"
#include "host/data/dataset/Query.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vorn;
using vorn::test::BackendCaseTestName;
using vorn::test::ReadingBackends;
using vorn::test::Show;
using vorn::test::TRecordedStatement;
using vorn::test::TRecordingConnection;

namespace {

struct TResult {
    std::string Name;
    TFieldType DataType = ftUnknown;
    int Size = 0;
    std::vector<std::string> Values;

    bool operator==(const TResult&) const = default;
};

std::ostream& operator<<(std::ostream& Out, const TResult& Result) {
    Out << Result.Name << " type " << Result.DataType << " size " << Result.Size << ":";
    for (const std::string& Value : Result.Values)
        Out << " [" << Value << "]";
    return Out;
}

struct TWalkCase {
    const char* Name;
    const char* Sql;
    // The index whose walk gives the rows, or nullptr where the plain statement must run.
    const char* WalkIndex;
    bool Ordered = true;
};

const TWalkCase WalkCases[] = {
    {.Name = "PlainForm",
     .Sql = "SELECT DISTINCT Word FROM Items ORDER BY Word",
     .WalkIndex = "ByWord"},
    {.Name = "AliasForm",
     .Sql = "SELECT DISTINCT ValueTable.\"Word\" ValueField FROM \"Items\" ValueTable ORDER BY "
            "ValueField",
     .WalkIndex = "ByWord"},
    {.Name = "Numbers",
     .Sql = "SELECT DISTINCT Amount FROM Items ORDER BY Amount",
     .WalkIndex = "ByAmountTail"},
    {.Name = "NumbersWithAlias",
     .Sql = "SELECT DISTINCT ValueTable.\"Amount\" ValueField FROM \"Items\" ValueTable ORDER BY "
            "ValueField",
     .WalkIndex = "ByAmountTail"},
    {.Name = "Unordered",
     .Sql = "SELECT DISTINCT Word FROM Items",
     .WalkIndex = "ByWord",
     .Ordered = false},
    {.Name = "NoIndex",
     .Sql = "SELECT DISTINCT Free FROM Items ORDER BY Free",
     .WalkIndex = nullptr},
    {.Name = "IndexCannotSeek",
     .Sql = "SELECT DISTINCT Odd FROM Items ORDER BY Odd",
     .WalkIndex = nullptr},
    {.Name = "IndexNotLeading",
     .Sql = "SELECT DISTINCT Tail FROM Items ORDER BY Tail",
     .WalkIndex = nullptr},
    {.Name = "Where",
     .Sql = "SELECT DISTINCT Word FROM Items WHERE Amount > 0 ORDER BY Word",
     .WalkIndex = nullptr},
    {.Name = "Descending",
     .Sql = "SELECT DISTINCT Word FROM Items ORDER BY Word DESC",
     .WalkIndex = nullptr},
    {.Name = "TwoColumns",
     .Sql = "SELECT DISTINCT Amount, Word FROM Items ORDER BY Amount",
     .WalkIndex = nullptr},
};

class DistinctWalkTest : public vorn::test::BackendCaseTest<TWalkCase> {
protected:
    void SetUp() override {
        BackendCaseTest::SetUp();
        // A collation other than byte order on PostgreSQL: the walk's comparisons must
        // still follow ORDER BY.
        const bool Postgres = !Database->IsSQLite() && !Database->IsMariaDB();
        const std::string Collate = Postgres ? " COLLATE \"und-x-icu\"" : "";
        Database->Execute("CREATE TABLE \"Items\" (\"Id\" INTEGER PRIMARY KEY, \"Word\" "
                          "VARCHAR(20)" +
                          Collate +
                          ", \"Amount\" INTEGER, \"Tail\" VARCHAR(20), \"Free\" VARCHAR(20), "
                          "\"Odd\" VARCHAR(20))");
        Database->Execute("CREATE INDEX \"ByWord\" ON \"Items\" (\"Word\")");
        // An index that leads on Odd but cannot search it in the column's order (MariaDB
        // walks no index).
        if (!Database->IsMariaDB())
            Database->Execute(Database->IsSQLite()
                                  ? "CREATE INDEX \"ByOdd\" ON \"Items\" (\"Odd\" COLLATE NOCASE)"
                                  : "CREATE INDEX \"ByOdd\" ON \"Items\" USING hash (\"Odd\")");
        Database->Execute("CREATE INDEX \"ByAmountTail\" ON \"Items\" (\"Amount\", \"Tail\")");
        const std::vector<TVariant> Words = {"b",  "B", "a",  "A",  "",  TVariant(), "a",
                                             "10", "9", "ab", "Ab", " ", TVariant(), "b"};
        for (std::size_t Index = 0; Index < Words.size(); ++Index) {
            const TVariant Amount = Index % 5 == 4 ? TVariant() : TVariant(int(Index % 4) * 7 - 9);
            Database->Execute("INSERT INTO \"Items\" VALUES (?1, ?2, ?3, ?4, ?5, ?5)",
                              {static_cast<std::int64_t>(Index), Words[Index], Amount,
                               Words[(Index + 3) % Words.size()],
                               Words[(Index + 5) % Words.size()]});
        }
        const std::string Alias = Database->Alias() + "Recorded";
        RegisterDatabase(Alias, [this] {
            return std::make_unique<TRecordingConnection>(Database->Connection(), Statements);
        });
        Query.SetDatabaseName(Alias);
    }

    void TearDown() override {
        Query.Close();
        if (!Query.DatabaseName().empty())
            UnregisterDatabase(Query.DatabaseName());
    }

    TResult Read(TQuery& Source) {
        Source.Open();
        TResult Result{Source.Fields(0)->FieldName(),
                       Source.Fields(0)->DataType(),
                       Source.Fields(0)->Size(),
                       {}};
        for (Source.First(); !Source.Eof(); Source.Next())
            Result.Values.push_back(Show(Source.Fields(0)->Value()));
        return Result;
    }

    // The statement as the translator writes it, run bare on the fixture's connection.
    TResult ReadBare(const std::string& Sql) {
        const TTranslatedSql Bare = TranslateStatement(Sql, Database->Connection().SqlBackend());
        const auto Cursor = Database->Connection().Execute(
            Bare.Text, std::vector<TVariant>(Bare.Parameters.begin(), Bare.Parameters.end()));
        TResult Result{
            Cursor->Column(0).Name, Cursor->Column(0).DataType, Cursor->Column(0).Size, {}};
        while (Cursor->Next())
            Result.Values.push_back(Show(Cursor->Value(0)));
        return Result;
    }

    // The index walk that the query ran, if any.
    std::string WalkRan() const {
        const auto Walk =
            std::find_if(Statements.begin(), Statements.end(), [](const TRecordedStatement& Ran) {
                return Ran.Sql.find("WITH RECURSIVE") != std::string::npos;
            });
        return Walk == Statements.end() ? "" : Walk->Sql;
    }

    std::string PlanOf(const std::string& Sql) {
        const std::string Explain = Database->IsSQLite() ? "EXPLAIN QUERY PLAN " : "EXPLAIN ";
        const auto Cursor = Database->Connection().Execute(Explain + Sql, {});
        std::string Plan;
        while (Cursor->Next())
            Plan += Cursor->Value(Cursor->FieldCount() - 1).AsString() + "\n";
        return Plan;
    }

    std::vector<TRecordedStatement> Statements;
    TQuery Query{nullptr};
};

TEST_P(DistinctWalkTest, GivesTheRowsOfThePlainStatement) {
    Query.SQL()->SetText(Case().Sql);
    TResult Expected = ReadBare(Case().Sql);
    TResult Actual = Read(Query);
    const std::string First = Actual.Values.front();
    if (!Case().Ordered) {
        std::sort(Expected.Values.begin(), Expected.Values.end());
        std::sort(Actual.Values.begin(), Actual.Values.end());
    }
    EXPECT_EQ(Actual, Expected);
    const std::string Walk = WalkRan();
    // MariaDB reads the whole index for each step of a walk, and serves SELECT DISTINCT by
    // the index itself: it never walks.
    const bool Walks = Case().WalkIndex != nullptr && !Database->IsMariaDB();
    ASSERT_EQ(Walk.empty(), !Walks) << Walk;
    // A second run, as going back past the cache makes, gives the same rows.
    Query.Last();
    Query.First();
    EXPECT_EQ(Show(Query.Fields(0)->Value()), First);
    if (Walk.empty())
        return;
    // A small table is read whole cheaper than searched; the index must still be able to
    // serve every step, as it does where reading is dear.
    if (!Database->IsSQLite())
        Database->Execute("SET enable_seqscan = off");
    const std::string Plan = PlanOf(Walk);
    EXPECT_EQ(Plan.find(Database->IsSQLite() ? "SCAN Items" : "Seq Scan"), std::string::npos)
        << Plan;
    EXPECT_NE(Plan.find(Case().WalkIndex), std::string::npos) << Plan;
}

class DistinctWalkFilterTest : public DistinctWalkTest {};

TEST_P(DistinctWalkFilterTest, FilterAppliesToTheValues) {
    Query.SQL()->SetText("SELECT DISTINCT Word FROM Items ORDER BY Word");
    Query.SetFilter("Word <> 'a'");
    Query.SetFiltered(true);
    TResult Expected = ReadBare("SELECT DISTINCT Word FROM Items WHERE Word <> 'a' ORDER BY Word");
    EXPECT_EQ(Read(Query).Values, Expected.Values);
    EXPECT_EQ(WalkRan(), "");
}

INSTANTIATE_TEST_SUITE_P(
    Backends, DistinctWalkTest,
    ::testing::Combine(
        ::testing::ValuesIn(vorn::test::WithCaseInsensitiveMariaDB(ReadingBackends())),
        ::testing::ValuesIn(WalkCases)),
    BackendCaseTestName<TWalkCase>);

INSTANTIATE_TEST_SUITE_P(
    Backends, DistinctWalkFilterTest,
    ::testing::Combine(
        ::testing::ValuesIn(vorn::test::WithCaseInsensitiveMariaDB(ReadingBackends())),
        ::testing::Values(WalkCases[0])),
    BackendCaseTestName<TWalkCase>);

} // namespace
