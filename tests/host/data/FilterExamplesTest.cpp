#include "BackendFixture.h"

#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/DatabaseError.h"

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::AllBackends;
using vorn::test::BackendCaseTest;
using vorn::test::BackendCaseTestName;
using vorn::test::ReadingBackends;
using vorn::test::TBackendDatabase;

namespace {

// The rows that the filter texts below talk about: names that differ only in letter
// case, in a literal underscore or star, or by holding a wildcard's text.
void CreatePeople(TBackendDatabase& Database) {
    Database.Execute("CREATE TABLE \"People\" (\"ID\" INTEGER PRIMARY KEY, \"Name\" VARCHAR(30), "
                     "\"Last Name\" VARCHAR(20), \"City\" VARCHAR(20), \"Phone\" VARCHAR(10), "
                     "\"Age\" INTEGER, \"Salary\" INTEGER)");
    const TVariant Null;
    const std::vector<std::vector<TVariant>> Rows = {
        {1, "Smith", "O'Brien", "Paris", Null, 30, 5000},
        {2, "smith", "o'brien", Null, "555", 31, 4999},
        {3, "Smithson", "OBrien", "PARIS", Null, 5, 6000},
        {4, "Keith", "Brien", Null, "777", 4, 100},
        {5, "WITH", Null, "", Null, Null, Null},
        {6, "a_b_", "O\\'Brien", "Rome", "1", 40, 7000},
        {7, "aXbY", Null, Null, Null, 20, Null},
        {8, "A_BZ", Null, Null, Null, Null, Null},
        {9, "ab", Null, Null, Null, Null, Null},
        {10, "a*b", Null, Null, Null, Null, Null},
        {11, "50*", Null, Null, Null, Null, Null},
        {12, "50x", Null, Null, Null, Null, Null},
        {13, "Jon", Null, Null, Null, Null, Null},
        {14, "JANE", Null, Null, Null, Null, Null},
        {15, "Joan", Null, Null, Null, Null, Null},
        {16, Null, Null, Null, Null, Null, Null},
        {17, "cAb", Null, Null, Null, Null, Null},
        {18, "Smith", Null, "", Null, Null, Null},
    };
    for (const auto& Row : Rows)
        Database.Execute("INSERT INTO \"People\" VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)", Row);
}

std::string Ids(TDataSet& DataSet) {
    std::string Result;
    for (DataSet.First(); !DataSet.Eof(); DataSet.Next())
        Result += (Result.empty() ? "" : ",") + DataSet.FieldByName("ID")->AsString();
    return Result;
}

struct TFilterCase {
    const char* Name;
    const char* Filter;
    const char* ExpectedIds; // in ID order
};

// The clause texts that the filter clause composer and the filter grid write, each
// with the rows that it means.
const TFilterCase WorkedExamples[] = {
    {.Name = "EscapedQuoteInBracketedName",
     .Filter = "UPPER([Last Name]) = 'O\\'BRIEN'",
     .ExpectedIds = "1,2"},
    {.Name = "UpperOrNumber",
     .Filter = "UPPER(City) = 'PARIS' OR Salary >= 5000",
     .ExpectedIds = "1,3,6"},
    {.Name = "NumberAndNullTest",
     .Filter = "Salary >= 5000 AND Phone IS NULL",
     .ExpectedIds = "1,3"},
    {.Name = "StartingWithFolded",
     .Filter = "UPPER(Name) STARTING WITH 'SM'",
     .ExpectedIds = "1,2,3,18"},
    {.Name = "ContainingIgnoresCase",
     .Filter = "Name CONTAINING 'ith'",
     .ExpectedIds = "1,2,3,4,5,18"},
    {.Name = "LikeKeepsCase", .Filter = "Name LIKE '%ith%'", .ExpectedIds = "1,2,3,4,18"},
    {.Name = "LikeFolded", .Filter = "UPPER(Name) LIKE '%ITH%'", .ExpectedIds = "1,2,3,4,5,18"},
    {.Name = "LikeAnyRunBetween", .Filter = "UPPER(Name) LIKE 'A%B'", .ExpectedIds = "9,10"},
    {.Name = "LiteralUnderscoreMatchesOnlyAnUnderscore",
     .Filter = "UPPER(Name) LIKE 'A\\_B_'",
     .ExpectedIds = "6,8"},
    {.Name = "CaseSensitiveContainingAsLike", .Filter = "Name LIKE '%ab%'", .ExpectedIds = "9"},
    {.Name = "FoldedContaining", .Filter = "UPPER(Name) CONTAINING 'AB'", .ExpectedIds = "9,17"},
    {.Name = "EscapedStarIsAPlainCharacter", .Filter = "UPPER(Name) = '50*'", .ExpectedIds = "11"},
    {.Name = "StartingWithNothingIsEveryName",
     .Filter = "UPPER(Name) STARTING WITH ''",
     .ExpectedIds = "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,17,18"},
    {.Name = "StarIsLiteralInLike", .Filter = "Name LIKE 'a*b'", .ExpectedIds = "10"},
    {.Name = "GridDefaultOperatorOrNumber",
     .Filter = "UPPER(Name) = 'SMITH' OR Age > 30",
     .ExpectedIds = "1,2,6,18"},
    {.Name = "GridNullTestAndStartingWith",
     .Filter = "City IS NULL AND UPPER(Name) STARTING WITH 'SM'",
     .ExpectedIds = "2"},
    {.Name = "GridTranslatedWildcards",
     .Filter = "UPPER(Name) LIKE 'J_N%'",
     .ExpectedIds = "13,14"},
    {.Name = "GridConnectorOfAnEmptyRow",
     .Filter = "UPPER(Name) = 'SMITH' AND Age >= 30",
     .ExpectedIds = "1,2"},
    {.Name = "GridSimpleFormEmptyValue",
     .Filter = "Name = 'Smith' AND City = ''",
     .ExpectedIds = "18"},
    {.Name = "GridCorrectedNullTest",
     .Filter = "Phone IS NULL",
     .ExpectedIds = "1,3,5,7,8,9,10,11,12,13,14,15,16,17,18"},
    {.Name = "GridDefaultOperatorForBadName", .Filter = "Age = 5", .ExpectedIds = "3"},
    {.Name = "GridEnglishOperatorName", .Filter = "Age < 5", .ExpectedIds = "4"},
    {.Name = "BackslashInsideAValue",
     .Filter = "[Last Name] = 'O\\\\\\'Brien'",
     .ExpectedIds = "6"},
    {.Name = "NotAndParentheses",
     .Filter = "NOT (Name LIKE 'S%' OR Name IS NULL) AND (Age > 4 OR Age IS NULL)",
     .ExpectedIds = "2,5,6,7,8,9,10,11,12,13,14,15,17"},
};

class FilterExamplesTest : public BackendCaseTest<TFilterCase> {
protected:
    void SetUp() override {
        BackendCaseTest::SetUp();
        CreatePeople(*Database);
    }
};

TEST_P(FilterExamplesTest, TheTableFilterSelectsTheRowsTheClauseMeans) {
    TTable Table(nullptr);
    Table.SetDatabaseName(Database->Alias());
    Table.SetTableName("People");
    Table.SetPageSize(2);
    Table.SetFilter(Case().Filter);
    Table.SetFiltered(true);
    Table.Open();
    EXPECT_EQ(Ids(Table), Case().ExpectedIds);
}

TEST_P(FilterExamplesTest, TheQueryFilterWrapsTheStatement) {
    TQuery Query(nullptr);
    Query.SetDatabaseName(Database->Alias());
    // The statement's own condition and order stay in force under the filter.
    Query.SQL()->SetText("SELECT * FROM People WHERE ID <> 99 ORDER BY ID");
    Query.SetPageSize(3);
    Query.Open();
    Query.SetFilter(Case().Filter);
    Query.SetFiltered(true);
    EXPECT_EQ(Ids(Query), Case().ExpectedIds);
}

TEST_P(FilterExamplesTest, TheClauseWorksAsTheWhereClauseOfAQuery) {
    TQuery Query(nullptr);
    Query.SetDatabaseName(Database->Alias());
    Query.SQL()->SetText(std::string("SELECT ID FROM People WHERE ") + Case().Filter +
                         " ORDER BY ID");
    Query.Open();
    EXPECT_EQ(Ids(Query), Case().ExpectedIds);
}

INSTANTIATE_TEST_SUITE_P(Backends, FilterExamplesTest,
                         ::testing::Combine(::testing::ValuesIn(AllBackends),
                                            ::testing::ValuesIn(WorkedExamples)),
                         BackendCaseTestName<TFilterCase>);

// Values an end user may type, quoted as the clause composer quotes them: a ' gets a
// backslash unless one stands before it already, and a value that begins and ends with
// ' is taken as quoted. Each filter either keeps the value inside its literal, and then
// finds exactly the row holding the value, or is refused as a whole.
struct THostileCase {
    const char* Name;
    const char* Value;  // stored in a row of its own
    const char* Filter; // the clause for that value
    bool Refused;       // the clause cannot be applied
};

const THostileCase ComposedClauses[] = {
    {.Name = "LoneQuote", .Value = "'", .Filter = "Name = '''", .Refused = true},
    {.Name = "TrailingBackslash", .Value = "abc\\", .Filter = "Name = 'abc\\'", .Refused = true},
    {.Name = "QuoteOrTrue",
     .Value = "' OR 1=1 --",
     .Filter = "Name = '\\' OR 1=1 --'",
     .Refused = false},
    {.Name = "BackslashQuoteOrTrue",
     .Value = "\\' OR 1=1 --",
     .Filter = "Name = '\\\\\\' OR 1=1 --'",
     .Refused = false},
    {.Name = "QuotedOrTrue",
     .Value = "x' OR 'a'='a",
     .Filter = "Name = 'x\\' OR \\'a\\'=\\'a'",
     .Refused = false},
    {.Name = "QuoteThenStatement",
     .Value = "x'; DROP TABLE People; --",
     .Filter = "Name = 'x\\'; DROP TABLE People; --'",
     .Refused = false},
    {.Name = "BackslashPair", .Value = "a\\\\b", .Filter = "Name = 'a\\\\\\\\b'", .Refused = false},
};

// Texts that no composer writes but a hand-made filter might hold.
const THostileCase RawFilters[] = {
    {.Name = "StatementAfterTheValue",
     .Value = "x",
     .Filter = "Name = 'x'; DROP TABLE People; --'",
     .Refused = true},
    {.Name = "CommentHidesTheRest",
     .Value = "x",
     .Filter = "Name = 'x' -- OR 1=1",
     .Refused = true},
    {.Name = "ComparisonWithoutAField",
     .Value = "x",
     .Filter = "Name = 'x' OR 1=1",
     .Refused = true},
    {.Name = "SubSelect",
     .Value = "x",
     .Filter = "Name = (SELECT Name FROM People)",
     .Refused = true},
    {.Name = "FunctionOtherThanUpper",
     .Value = "x",
     .Filter = "lower(Name) = 'x'",
     .Refused = true},
    {.Name = "FieldAgainstField", .Value = "x", .Filter = "Name = City", .Refused = true},
};

class FilterHostileTest : public BackendCaseTest<THostileCase> {
protected:
    void SetUp() override {
        BackendCaseTest::SetUp();
        CreatePeople(*Database);
        Database->Execute("INSERT INTO \"People\" (\"ID\", \"Name\") VALUES (50, ?1)",
                          {TVariant(Case().Value)});
    }

    void CheckTableIsWhole() {
        EXPECT_EQ(Database->Column("SELECT COUNT(*) FROM \"People\""),
                  std::vector<std::string>{"19"});
    }

    void CheckFilter(TDataSet& DataSet) {
        DataSet.SetFilter("ID = 9");
        DataSet.SetFiltered(true);
        if (!Case().Refused) {
            DataSet.SetFilter(Case().Filter);
            EXPECT_EQ(Ids(DataSet), "50");
            return;
        }
        EXPECT_THROW(DataSet.SetFilter(Case().Filter), EDatabaseError);
        EXPECT_EQ(DataSet.Filter(), "ID = 9") << "the previous filter stays in force";
        EXPECT_TRUE(DataSet.Active());
        EXPECT_EQ(Ids(DataSet), "9");
        CheckTableIsWhole();
    }

    void CheckTableFilter() {
        TTable Table(nullptr);
        Table.SetDatabaseName(Database->Alias());
        Table.SetTableName("People");
        Table.Open();
        CheckFilter(Table);
    }

    void CheckQueryFilter() {
        TQuery Query(nullptr);
        Query.SetDatabaseName(Database->Alias());
        Query.SQL()->SetText("SELECT ID, Name, City FROM People ORDER BY ID");
        Query.Open();
        CheckFilter(Query);
    }
};

class FilterComposedTest : public FilterHostileTest {};

TEST_P(FilterComposedTest, AValueStaysInsideItsLiteralOrTheTableFilterIsRefused) {
    CheckTableFilter();
}

TEST_P(FilterComposedTest, AValueStaysInsideItsLiteralOrTheQueryFilterIsRefused) {
    CheckQueryFilter();
}

TEST_P(FilterComposedTest, AValueStaysInsideItsLiteralOrTheWhereClauseIsRefused) {
    TQuery Query(nullptr);
    Query.SetDatabaseName(Database->Alias());
    Query.SQL()->SetText(std::string("SELECT ID FROM People WHERE ") + Case().Filter);
    if (Case().Refused) {
        EXPECT_THROW(Query.Open(), EDatabaseError);
        EXPECT_FALSE(Query.Active());
    } else {
        Query.Open();
        EXPECT_EQ(Ids(Query), "50");
    }
    CheckTableIsWhole();
}

INSTANTIATE_TEST_SUITE_P(Backends, FilterComposedTest,
                         ::testing::Combine(::testing::ValuesIn(ReadingBackends()),
                                            ::testing::ValuesIn(ComposedClauses)),
                         BackendCaseTestName<THostileCase>);

class FilterRawTextTest : public FilterHostileTest {};

TEST_P(FilterRawTextTest, TheTableRefusesAnythingButASimpleFilter) {
    CheckTableFilter();
}

TEST_P(FilterRawTextTest, TheQueryRefusesAnythingButASimpleFilter) {
    CheckQueryFilter();
}

INSTANTIATE_TEST_SUITE_P(Backends, FilterRawTextTest,
                         ::testing::Combine(::testing::ValuesIn(ReadingBackends()),
                                            ::testing::ValuesIn(RawFilters)),
                         BackendCaseTestName<THostileCase>);

} // namespace
