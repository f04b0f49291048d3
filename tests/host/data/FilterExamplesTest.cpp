#include "BackendFixture.h"

#include "host/data/DatabaseError.h"
#include "host/data/Query.h"
#include "host/data/Table.h"

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::AllBackends;
using vorn::test::BackendCaseTest;
using vorn::test::BackendCaseTestName;
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
    {"EscapedQuoteInBracketedName", "UPPER([Last Name]) = 'O\\'BRIEN'", "1,2"},
    {"UpperOrNumber", "UPPER(City) = 'PARIS' OR Salary >= 5000", "1,3,6"},
    {"NumberAndNullTest", "Salary >= 5000 AND Phone IS NULL", "1,3"},
    {"StartingWithFolded", "UPPER(Name) STARTING WITH 'SM'", "1,2,3,18"},
    {"ContainingIgnoresCase", "Name CONTAINING 'ith'", "1,2,3,4,5,18"},
    {"LikeKeepsCase", "Name LIKE '%ith%'", "1,2,3,4,18"},
    {"LikeFolded", "UPPER(Name) LIKE '%ITH%'", "1,2,3,4,5,18"},
    {"LikeAnyRunBetween", "UPPER(Name) LIKE 'A%B'", "9,10"},
    {"LiteralUnderscoreMatchesOnlyAnUnderscore", "UPPER(Name) LIKE 'A\\_B_'", "6,8"},
    {"CaseSensitiveContainingAsLike", "Name LIKE '%ab%'", "9"},
    {"FoldedContaining", "UPPER(Name) CONTAINING 'AB'", "9,17"},
    {"EscapedStarIsAPlainCharacter", "UPPER(Name) = '50*'", "11"},
    {"StartingWithNothingIsEveryName", "UPPER(Name) STARTING WITH ''",
     "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,17,18"},
    {"StarIsLiteralInLike", "Name LIKE 'a*b'", "10"},
    {"GridDefaultOperatorOrNumber", "UPPER(Name) = 'SMITH' OR Age > 30", "1,2,6,18"},
    {"GridNullTestAndStartingWith", "City IS NULL AND UPPER(Name) STARTING WITH 'SM'", "2"},
    {"GridTranslatedWildcards", "UPPER(Name) LIKE 'J_N%'", "13,14"},
    {"GridConnectorOfAnEmptyRow", "UPPER(Name) = 'SMITH' AND Age >= 30", "1,2"},
    {"GridSimpleFormEmptyValue", "Name = 'Smith' AND City = ''", "18"},
    {"GridCorrectedNullTest", "Phone IS NULL", "1,3,5,7,8,9,10,11,12,13,14,15,16,17,18"},
    {"GridDefaultOperatorForBadName", "Age = 5", "3"},
    {"GridEnglishOperatorName", "Age < 5", "4"},
    {"BackslashInsideAValue", "[Last Name] = 'O\\\\\\'Brien'", "6"},
    {"NotAndParentheses", "NOT (Name LIKE 'S%' OR Name IS NULL) AND (Age > 4 OR Age IS NULL)",
     "2,5,6,7,8,9,10,11,12,13,14,15,17"},
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
    {"LoneQuote", "'", "Name = '''", true},
    {"TrailingBackslash", "abc\\", "Name = 'abc\\'", true},
    {"QuoteOrTrue", "' OR 1=1 --", "Name = '\\' OR 1=1 --'", false},
    {"BackslashQuoteOrTrue", "\\' OR 1=1 --", "Name = '\\\\\\' OR 1=1 --'", false},
    {"QuotedOrTrue", "x' OR 'a'='a", "Name = 'x\\' OR \\'a\\'=\\'a'", false},
    {"QuoteThenStatement", "x'; DROP TABLE People; --", "Name = 'x\\'; DROP TABLE People; --'",
     false},
    {"BackslashPair", "a\\\\b", "Name = 'a\\\\\\\\b'", false},
};

// Texts that no composer writes but a hand-made filter might hold.
const THostileCase RawFilters[] = {
    {"StatementAfterTheValue", "x", "Name = 'x'; DROP TABLE People; --'", true},
    {"CommentHidesTheRest", "x", "Name = 'x' -- OR 1=1", true},
    {"ComparisonWithoutAField", "x", "Name = 'x' OR 1=1", true},
    {"SubSelect", "x", "Name = (SELECT Name FROM People)", true},
    {"FunctionOtherThanUpper", "x", "lower(Name) = 'x'", true},
    {"FieldAgainstField", "x", "Name = City", true},
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
                         ::testing::Combine(::testing::ValuesIn(AllBackends),
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
                         ::testing::Combine(::testing::ValuesIn(AllBackends),
                                            ::testing::ValuesIn(RawFilters)),
                         BackendCaseTestName<THostileCase>);

} // namespace
