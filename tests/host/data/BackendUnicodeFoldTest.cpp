#include "BackendFixture.h"
#include "DataSetWalk.h"
#include "RecordingConnection.h"

#include "host/data/dataset/Database.h"
#include "host/data/dataset/Table.h"
#include "tests/support/CodePageGuard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <optional>
#include <string>
#include <vector>

using namespace vorn;
using vorn::test::BackendTest;
using vorn::test::BackendTestName;
using vorn::test::ReadingBackends;
using vorn::test::TCodePageGuard;
using vorn::test::TRecordedStatement;
using vorn::test::TRecordingConnection;
using vorn::test::WalkForward;

namespace {

// Names in several scripts, in ID order; "Sabor" and "SABA" sort among the variants of
// "ša" without being matches, the digraph has three cases (Ǆ, ǅ, ǆ).
const std::vector<std::string> Names{"\u0160aban",
                                     "\u0110or\u0111e",
                                     "\u010Ca\u010Dak",
                                     "\u0395\u03BB\u03BB\u03AC\u03B4\u03B1",
                                     "\u0402\u043E\u0440\u0452\u0435",
                                     "\u5317\u4EAC",
                                     "\U0001F600 smile",
                                     "Sabor",
                                     "SABA",
                                     "\u01C5emal",
                                     "Stra\u00DFe",
                                     "\u0161abac"};

// Every search and filter here runs under UTF-8, whatever the process's default.
class UnicodeFoldTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        Guard.emplace(cpUtf8);
        Database->Execute(
            "CREATE TABLE \"Names\" (\"ID\" INTEGER PRIMARY KEY, \"Name\" VARCHAR(40))");
        Database->Execute("CREATE INDEX \"ByName\" ON \"Names\" (\"Name\")");
        for (std::size_t Index = 0; Index < Names.size(); ++Index)
            Database->Execute("INSERT INTO \"Names\" VALUES (?1, ?2)",
                              {static_cast<int>(Index + 1), Names[Index]});
        Table->SetDatabaseName(Database->Alias());
        Table->SetTableName("Names");
        Table->SetIndexFieldNames("Name");
    }

    std::optional<TCodePageGuard> Guard;
    TComponent Owner{nullptr};
    TTable* Table = new TTable(&Owner);
};

TEST_P(UnicodeFoldTest, NamesReadBackByteForByte) {
    Table->SetIndexFieldNames("ID");
    Table->Open();
    EXPECT_EQ(WalkForward(*Table, "Name"), Names);
}

TEST_P(UnicodeFoldTest, APartialCaseInsensitiveLocateFindsEveryLetterCase) {
    struct TCase {
        std::string Key;
        std::string Found; // empty: no match
    };
    const std::vector<TCase> Cases = {
        {"\u0161a", "\u0160aban"},
        {"\u0160AB", "\u0160aban"},
        {"\u0161abac", "\u0161abac"},
        {"sab", "SABA"},
        {"sabo", "Sabor"},
        {"\u0110OR\u0110E", "\u0110or\u0111e"},
        {"\u0111or\u0111", "\u0110or\u0111e"},
        {"\u010D", "\u010Ca\u010Dak"},
        {"\u03B5\u03BB\u03BB", "\u0395\u03BB\u03BB\u03AC\u03B4\u03B1"},
        {"\u0395\u039B\u039B\u0386", "\u0395\u03BB\u03BB\u03AC\u03B4\u03B1"},
        {"\u0452\u043E\u0440", "\u0402\u043E\u0440\u0452\u0435"},
        {"\u5317", "\u5317\u4EAC"},
        {"\U0001F600 SM", "\U0001F600 smile"},
        {"\u01C6e", "\u01C5emal"},
        {"\u01C4EMAL", "\u01C5emal"},
        // A letter that upper-cases to two is searched for by a scan.
        {"stra\u00DF", "Stra\u00DFe"},
        {"\u017E", ""},
        {"\u0161ab\u00E1", ""},
    };
    Table->Open();
    for (const TCase& Case : Cases) {
        SCOPED_TRACE("searching «" + Case.Key + "»");
        Table->First();
        const bool Located =
            Table->Locate("Name", TVariant(Case.Key), {loCaseInsensitive, loPartialKey});
        EXPECT_EQ(Located, !Case.Found.empty());
        if (Located) {
            EXPECT_EQ(Table->FieldByName("Name")->AsString(), Case.Found);
        }
    }
    // A whole key, case-insensitive.
    EXPECT_TRUE(Table->Locate("Name", TVariant("\u0111OR\u0110E"), {loCaseInsensitive}));
    EXPECT_EQ(Table->FieldByName("ID")->AsInteger(), 2);
    EXPECT_FALSE(Table->Locate("Name", TVariant("\u0111or"), {loCaseInsensitive}));
}

TEST_P(UnicodeFoldTest, AFilterFoldsEveryLetterInTheDatabase) {
    struct TCase {
        std::string Filter;
        std::vector<std::string> Ids;
    };
    const std::vector<TCase> Cases = {
        {"UPPER(Name) = '\u0160ABAN'", {"1"}},
        {"UPPER(Name) = '\u0110OR\u0110E'", {"2"}},
        {"UPPER(Name) STARTING WITH '\u0160A'", {"1", "12"}},
        {"Name CONTAINING '\u010Da\u010D'", {"3"}},
        {"Name CONTAINING '\u03B5\u03BB\u03BB'", {"4"}},
        {"UPPER(Name) STARTING WITH '\u0402\u041E'", {"5"}},
        {"Name CONTAINING 'strasse'", {"11"}},
        {"Name CONTAINING '\u01C6'", {"10"}},
        {"Name STARTING WITH '\u0161a'", {"12"}},
    };
    Table->SetIndexFieldNames("ID");
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Filter);
        Table->Close();
        Table->SetFilter(Case.Filter);
        Table->SetFiltered(true);
        Table->Open();
        EXPECT_EQ(WalkForward(*Table), Case.Ids);
    }
}

// The search for "ša" walks the index: every statement seeks a range of Name.
TEST_P(UnicodeFoldTest, ALocateOfNonAsciiLettersSeeksTheIndex) {
    for (int Id = 100; Id < 400; ++Id)
        Database->Execute("INSERT INTO \"Names\" VALUES (?1, ?2)",
                          {Id, "Filler" + std::to_string(Id)});
    std::vector<TRecordedStatement> Log;
    const std::string Alias = Database->Alias() + "Logged";
    RegisterDatabase(
        Alias, [&] { return std::make_unique<TRecordingConnection>(Database->Connection(), Log); });
    {
        TTable Logged(nullptr);
        Logged.SetDatabaseName(Alias);
        Logged.SetTableName("Names");
        Logged.SetIndexFieldNames("Name");
        Logged.Open();
        Log.clear();
        EXPECT_TRUE(
            Logged.Locate("Name", TVariant("\u0160ABA"), {loCaseInsensitive, loPartialKey}));
        EXPECT_EQ(Logged.FieldByName("ID")->AsInteger(), 1);
    }
    UnregisterDatabase(Alias);
    int Seeks = 0;
    for (const TRecordedStatement& Statement : Log) {
        // A scan would fold the column; the seek folds nothing, in any spelling.
        std::string Lower = Statement.Sql;
        std::transform(Lower.begin(), Lower.end(), Lower.begin(),
                       [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
        for (const char* Fold : {"upper(", "lower(", "replace(", "translate("})
            EXPECT_EQ(Lower.find(Fold), std::string::npos) << Statement.Sql;
        if (Statement.Sql.find(Database->Connection().QuoteIdentifier("Name") + " >=") ==
            std::string::npos)
            continue;
        ++Seeks;
        if (!Database->IsSQLite())
            continue;
        auto Cursor =
            Database->Connection().Execute("EXPLAIN QUERY PLAN " + Statement.Sql, Statement.Params);
        while (Cursor->Next()) {
            const std::string Step = Cursor->Value(Cursor->FieldCount() - 1).AsString();
            EXPECT_FALSE(Step.starts_with("SCAN Names")) << Statement.Sql << "\n" << Step;
        }
    }
    EXPECT_GT(Seeks, 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, UnicodeFoldTest, ::testing::ValuesIn(ReadingBackends()),
                         BackendTestName);

} // namespace
