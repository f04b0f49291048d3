#include "BackendFixture.h"
#include "RecordingConnection.h"

#include "host/components/text/AsciiText.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Database.h"
#include "host/data/dataset/Table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <set>

using namespace vorn;
using vorn::test::AllBackends;
using vorn::test::BackendCaseTest;
using vorn::test::BackendCaseTestName;
using vorn::test::ReadingBackends;
using vorn::test::TRecordedStatement;
using vorn::test::TRecordingConnection;

namespace {

std::string Repeated(const std::string& Unit, std::size_t Length) {
    std::string Text;
    Text.reserve(Length + Unit.size());
    while (Text.size() < Length)
        Text += Unit;
    Text.resize(Length);
    return Text;
}

// Names longer than a key's prefix is walked: variants that part after the walk ends, one
// with a Windows-1250 capital where the walk of its prefix ends, and two that begin with no
// letter at all for longer than the walk.
const std::string LongSmithers = "Smithers" + Repeated("on", 80);
const std::string LongSmIthers = "smIthers" + Repeated("ON", 80);
const std::string LongSMITHERS = "SMITHERS" + Repeated("on", 55) + "\x8A" + Repeated("on", 20);
const std::string LongNumberTail = Repeated("12-", 63) + "\x9ATail";
const std::string LongNumberTale = Repeated("12-", 63) + "\x9Atale";

// Case variants of one name, names that LIKE would read as patterns, Windows-1250
// capitals and small letters (0x8A, 0x9A), neighbours of the letter ranges ('[' follows
// 'Z', '{' follows 'z'), DEL, a number, the empty text and NULLs; nine case variants
// of "abcd", more than one statement asks about once a fifth letter doubles them; and the
// long names.
const std::vector<TVariant> SeekNames{
    "smith", "Smith",      "SMITH",      "sMiTh",      "Smithers",     "smIthers",    "Smi",
    "S",     "s",          "50%",        "50%off",     "50_off",       "a\\b",        "A\\b",
    "a\\c",  "\x8Amit",    "\x9Amit",    "a\x8A",      "A\x9A-b",      "Z[",          "z{",
    "zeta",  "~x\x7F",     "50",         "",           TVariant(),     TVariant(),    "abcdx",
    "Abcdx", "aBcdx",      "abCdx",      "abcDx",      "ABcdx",        "AbCdx",       "AbcDx",
    "aBCdx", LongSmithers, LongSmIthers, LongSMITHERS, LongNumberTail, LongNumberTale};

// Searches that find nothing, besides the prefixes of the names in three letter cases.
// In UTF-16 "a\x8A" sorts between "a`" and "aa".
const std::vector<std::string> Misses{"qq",
                                      "Smithz",
                                      "\x8Amiz",
                                      "a\\d",
                                      "50%of_",
                                      "\x7F",
                                      "a`",
                                      LongSmithers + "x",
                                      LongSMITHERS.substr(0, 63) + "\x9A",
                                      Repeated("12-", 63) + "\x8A"};

std::string AsciiCase(std::string Text, bool Upper) {
    for (char& C : Text)
        if ((C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z'))
            C = static_cast<char>(Upper ? C & ~0x20 : C | 0x20);
    return Text;
}

bool BeginsWithIgnoringAsciiCase(const std::string& Text, const std::string& Prefix) {
    return AsciiCase(Text, true).compare(0, Prefix.size(), AsciiCase(Prefix, true)) == 0;
}

// Every prefix of every name in three letter cases; of a long name, those as long as a
// short one's and those about where the walk of a key's prefix ends, and the whole name.
std::set<std::string> SearchTexts() {
    std::set<std::string> Texts(Misses.begin(), Misses.end());
    for (const TVariant& Name : SeekNames) {
        const std::size_t Size = Name.AsString().size();
        for (std::size_t Length = 1; Length <= Size; ++Length) {
            if (Length > 16 && Length != Size && (Length < 62 || Length > 66))
                continue;
            const std::string Prefix = Name.AsString().substr(0, Length);
            Texts.insert({Prefix, AsciiCase(Prefix, true), AsciiCase(Prefix, false)});
        }
    }
    return Texts;
}

struct TSeekCase {
    const char* Name;
    const char* IndexFieldNames;
    const char* IndexName = "";
    bool Detail = false;             // restricted to group 2 by a master table
    const char* Filter = "";         // also in the oracle's WHERE clause
    const char* TagPrefix = nullptr; // a second located field, or none
    const char* SQLiteNameType = "VARCHAR(200)";
    const char* PostgresNameType = "VARCHAR(200)";
    const char* MariaDbNameType = "VARCHAR(200)";
    const char* SQLiteEncoding = "UTF-8";
    // The table's order as the oracle writes it; a descending Name comes with descending
    // IDs where an ascending index read backward serves it.
    const char* OracleOrder = "\"Name\" ASC NULLS FIRST, \"ID\"";
};

// A filter in the system's dialect as the backends' SQL: "[Tag]" becomes "\"Tag\"".
std::string NativeFilter(std::string Filter) {
    for (char& C : Filter)
        if (C == '[' || C == ']')
            C = '"';
    return Filter;
}

class LocateSeekTest : public BackendCaseTest<TSeekCase> {
protected:
    void SetUp() override {
        BackendCaseTest::SetUp();
        const std::string NameType = Database->IsSQLite()    ? Case().SQLiteNameType
                                     : Database->IsMariaDB() ? Case().MariaDbNameType
                                                             : Case().PostgresNameType;
        if (Database->IsSQLite())
            Database->Execute(std::string("PRAGMA encoding = '") + Case().SQLiteEncoding + "'");
        Database->Execute("CREATE TABLE \"Groups\" (\"Grp\" INTEGER PRIMARY KEY)");
        Database->Execute("INSERT INTO \"Groups\" VALUES (1), (2)");
        Database->Execute("CREATE TABLE \"Names\" (\"ID\" INTEGER PRIMARY KEY, \"Grp\" INTEGER, "
                          "\"Name\" " +
                          NameType + ", \"Tag\" VARCHAR(10))");
        Database->Execute("CREATE INDEX \"ByName\" ON \"Names\" (\"Name\")");
        Database->Execute("CREATE INDEX \"ByNameDesc\" ON \"Names\" (\"Name\" DESC)");
        Database->Execute("CREATE INDEX \"ByGrpName\" ON \"Names\" (\"Grp\", \"Name\")");
        // Every name twice, so that groups and tags differ between equal names.
        const std::vector<TVariant> Tags = {"t1", "T2", TVariant()};
        int Id = 0;
        for (int Round = 0; Round < 2; ++Round)
            for (const TVariant& Name : SeekNames) {
                ++Id;
                Database->Execute("INSERT INTO \"Names\" VALUES (?1, ?2, ?3, ?4)",
                                  {Id, 1 + Id % 2, Name, Tags[static_cast<std::size_t>(Id % 3)]});
            }
        Master->SetDatabaseName(Database->Alias());
        Master->SetTableName("Groups");
        MasterSource->SetDataSet(Master);
        Table->SetDatabaseName(Database->Alias());
        Table->SetTableName("Names");
        Table->SetIndexFieldNames(Case().IndexFieldNames);
        if (*Case().IndexName != '\0')
            Table->SetIndexName(Case().IndexName);
        if (Case().Detail) {
            Master->Open();
            Master->Locate("Grp", TVariant(2), {});
            Table->SetMasterSource(MasterSource);
            Table->SetMasterFields("Grp");
        }
        if (*Case().Filter != '\0') {
            Table->SetFilter(Case().Filter);
            Table->SetFiltered(true);
        }
    }

    struct TOracleRow {
        int Id;
        TVariant Name;
        TVariant Tag;
    };

    // The table's rows in its order, read by the test's own connection.
    std::vector<TOracleRow> OrderedRows() {
        std::string Sql = "SELECT \"ID\", \"Name\", \"Tag\" FROM \"Names\" WHERE 1 = 1";
        if (Case().Detail)
            Sql += " AND \"Grp\" = 2";
        if (*Case().Filter != '\0')
            Sql += " AND " + NativeFilter(Case().Filter);
        Sql += std::string(" ORDER BY ") + Case().OracleOrder;
        std::vector<TOracleRow> Rows;
        auto Cursor = Database->Connection().Execute(Database->NativeSql(Sql), {});
        while (Cursor->Next())
            Rows.push_back({static_cast<int>(Cursor->Value(0).AsInteger()), Cursor->Value(1),
                            Cursor->Value(2)});
        return Rows;
    }

    // The ID that a scan for Text finds, 0 for none.
    int ExpectedId(const std::vector<TOracleRow>& Rows, const std::string& Text) const {
        for (const TOracleRow& Row : Rows) {
            if (Row.Name.IsNull() || !BeginsWithIgnoringAsciiCase(Row.Name.AsString(), Text))
                continue;
            if (Case().TagPrefix != nullptr &&
                (Row.Tag.IsNull() ||
                 !BeginsWithIgnoringAsciiCase(Row.Tag.AsString(), Case().TagPrefix)))
                continue;
            return Row.Id;
        }
        return 0;
    }

    TComponent Owner{nullptr};
    TTable* Master = new TTable(&Owner);
    TDataSource* MasterSource = new TDataSource(&Owner);
    TTable* Table = new TTable(&Owner);
};

TEST_P(LocateSeekTest, FindsWhatAScanFinds) {
    Table->Open();
    const std::vector<TOracleRow> Rows = OrderedRows();
    const std::string KeyFields = Case().TagPrefix != nullptr ? "Name;Tag" : "Name";
    int Found = 0;
    for (const std::string& Text : SearchTexts()) {
        std::vector<TVariant> Values{Text};
        if (Case().TagPrefix != nullptr)
            Values.emplace_back(Case().TagPrefix);
        Table->First();
        const int Before = static_cast<int>(Table->FieldByName("ID")->AsInteger());
        const bool Located = Table->Locate(KeyFields, Values, {loCaseInsensitive, loPartialKey});
        const int Id = static_cast<int>(Table->FieldByName("ID")->AsInteger());
        const int Expected = ExpectedId(Rows, Text);
        EXPECT_EQ(Located ? Id : 0, Expected) << "searching '" << Text << "'";
        if (!Located) {
            EXPECT_EQ(Id, Before) << "a failed search stays put: '" << Text << "'";
        }
        Found += Located ? 1 : 0;
    }
    EXPECT_GT(Found, 20) << "the searches find records at all";
}

// The rows that the table shows around a located record are its rows in its order.
TEST_P(LocateSeekTest, TheRowsAroundTheMatchAreTheTablesRows) {
    // Pages shorter than the rows after the match, so that the walk reads on.
    Table->SetPageSize(4);
    Table->Open();
    const std::vector<TOracleRow> Rows = OrderedRows();
    std::vector<TVariant> Values{TVariant("sm")};
    if (Case().TagPrefix != nullptr)
        Values.emplace_back(Case().TagPrefix);
    const std::string KeyFields = Case().TagPrefix != nullptr ? "Name;Tag" : "Name";
    const auto Locate = [&] {
        return Table->Locate(KeyFields, Values, {loCaseInsensitive, loPartialKey});
    };
    ASSERT_TRUE(Locate());
    const auto Match = std::find_if(Rows.begin(), Rows.end(), [&](const TOracleRow& Row) {
        return Row.Id == Table->FieldByName("ID")->AsInteger();
    });
    ASSERT_NE(Match, Rows.end());
    std::vector<int> Expected;
    for (auto Row = Match; Row != Rows.end(); ++Row)
        Expected.push_back(Row->Id);
    std::vector<int> Walked;
    for (; !Table->Eof(); Table->Next())
        Walked.push_back(static_cast<int>(Table->FieldByName("ID")->AsInteger()));
    EXPECT_EQ(Walked, Expected) << "after the match";

    ASSERT_TRUE(Locate());
    Expected.clear();
    for (auto Row = Match + 1; Row != Rows.begin(); --Row)
        Expected.push_back((Row - 1)->Id);
    Walked.clear();
    for (; !Table->Bof(); Table->Prior())
        Walked.push_back(static_cast<int>(Table->FieldByName("ID")->AsInteger()));
    EXPECT_EQ(Walked, Expected) << "before the match";
}

constexpr const char* Varchar = "VARCHAR(200)";

INSTANTIATE_TEST_SUITE_P(
    Seeks, LocateSeekTest,
    ::testing::Combine(
        ::testing::ValuesIn(vorn::test::WithCaseInsensitiveMariaDB(AllBackends)),
        ::testing::Values(
            TSeekCase{.Name = "Order",
                      .IndexFieldNames = "Name",
                      .IndexName = "",
                      .Detail = false,
                      .Filter = "",
                      .TagPrefix = nullptr,
                      .SQLiteNameType = Varchar,
                      .PostgresNameType = Varchar},
            // A descending index named by IndexName orders by its fields ascending, as
            // before indexes told their directions. Descending orders: that index read
            // forward for "Name:D"; under a master that fixes Grp, the index on (Grp, Name)
            // read backward, so that the IDs of one name descend too.
            TSeekCase{.Name = "DescendingIndex", .IndexFieldNames = "", .IndexName = "ByNameDesc"},
            TSeekCase{.Name = "Descending",
                      .IndexFieldNames = "Name:D",
                      .OracleOrder = "\"Name\" DESC NULLS LAST, \"ID\""},
            TSeekCase{.Name = "DescendingMasterDetail",
                      .IndexFieldNames = "Grp;Name:D",
                      .Detail = true,
                      .OracleOrder = "\"Name\" DESC NULLS LAST, \"ID\" DESC"},
            TSeekCase{.Name = "DescendingDetailFilterSecondField",
                      .IndexFieldNames = "Grp:D;Name:D",
                      .Detail = true,
                      .Filter = "[Tag] <> 'T2'",
                      .TagPrefix = "T",
                      .OracleOrder = "\"Name\" DESC NULLS LAST, \"ID\" DESC"},
            TSeekCase{.Name = "DescendingNoCaseColumn",
                      .IndexFieldNames = "Name:D",
                      .SQLiteNameType = "VARCHAR(200) COLLATE NOCASE",
                      .PostgresNameType = "VARCHAR(200) COLLATE \"POSIX\"",
                      .MariaDbNameType = "VARCHAR(200) COLLATE utf8mb4_bin",
                      .OracleOrder = "\"Name\" DESC NULLS LAST, \"ID\""},
            TSeekCase{.Name = "MasterDetail",
                      .IndexFieldNames = "Grp;Name",
                      .IndexName = "",
                      .Detail = true,
                      .Filter = "",
                      .TagPrefix = nullptr,
                      .SQLiteNameType = Varchar,
                      .PostgresNameType = Varchar},
            TSeekCase{.Name = "Filter",
                      .IndexFieldNames = "Name",
                      .IndexName = "",
                      .Detail = false,
                      .Filter = "[Tag] = 't1'",
                      .TagPrefix = nullptr,
                      .SQLiteNameType = Varchar,
                      .PostgresNameType = Varchar},
            TSeekCase{.Name = "SecondField",
                      .IndexFieldNames = "Name",
                      .IndexName = "",
                      .Detail = false,
                      .Filter = "",
                      .TagPrefix = "t",
                      .SQLiteNameType = Varchar,
                      .PostgresNameType = Varchar},
            TSeekCase{.Name = "DetailFilterSecondField",
                      .IndexFieldNames = "Grp;Name",
                      .IndexName = "",
                      .Detail = true,
                      .Filter = "[Tag] <> 'T2'",
                      .TagPrefix = "T",
                      .SQLiteNameType = Varchar,
                      .PostgresNameType = Varchar},
            // Columns that compare without case or trailing blanks, or by a named
            // collation, or of another text type.
            TSeekCase{.Name = "NoCaseColumn",
                      .IndexFieldNames = "Name",
                      .IndexName = "",
                      .Detail = false,
                      .Filter = "",
                      .TagPrefix = nullptr,
                      .SQLiteNameType = "VARCHAR(200) COLLATE NOCASE",
                      .PostgresNameType = "VARCHAR(200) COLLATE \"POSIX\"",
                      .MariaDbNameType = "VARCHAR(200) COLLATE utf8mb4_bin"},
            TSeekCase{.Name = "RightTrimColumn",
                      .IndexFieldNames = "Name",
                      .IndexName = "",
                      .Detail = false,
                      .Filter = "",
                      .TagPrefix = nullptr,
                      .SQLiteNameType = "VARCHAR(200) COLLATE RTRIM",
                      .PostgresNameType = "TEXT",
                      // PAD SPACE: trailing blanks do not count.
                      .MariaDbNameType = "VARCHAR(200) COLLATE utf8mb4_bin"},
            // SQLite keeps "50" in a MEMO column as a number, which no text range holds.
            TSeekCase{.Name = "NumericAffinityColumn",
                      .IndexFieldNames = "Name",
                      .IndexName = "",
                      .Detail = false,
                      .Filter = "",
                      .TagPrefix = nullptr,
                      .SQLiteNameType = "MEMO",
                      .PostgresNameType = "VARCHAR(200) COLLATE \"C\"",
                      .MariaDbNameType = "VARCHAR(200) COLLATE utf8mb4_nopad_bin"},
            // BINARY on UTF-16 text compares bytes that are not in the characters' order.
            TSeekCase{.Name = "Utf16Database",
                      .IndexFieldNames = "Name",
                      .IndexName = "",
                      .Detail = false,
                      .Filter = "",
                      .TagPrefix = nullptr,
                      .SQLiteNameType = Varchar,
                      .PostgresNameType = Varchar,
                      .SQLiteEncoding = "UTF-16le"})),
    BackendCaseTestName<TSeekCase>);

class LocateSeekPlanTest : public vorn::test::BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        Database->Execute(
            "CREATE TABLE \"Names\" (\"ID\" INTEGER PRIMARY KEY, \"Name\" VARCHAR(200))");
        Database->Execute("CREATE INDEX \"ByName\" ON \"Names\" (\"Name\")");
        for (int Id = 1; Id <= 300; ++Id)
            Database->Execute(
                "INSERT INTO \"Names\" VALUES (?1, ?2)",
                {Id, Id == 200   ? TVariant("smith")
                     : Id == 150 ? TVariant(LongSmythe)
                                 : TVariant((Id > 250 ? "zz" : "Name") + std::to_string(Id))});
        RegisterDatabase(Alias(), [this] {
            return std::make_unique<TRecordingConnection>(Database->Connection(), Log);
        });
    }

    // A set-up that failed (no test server) has no database to unregister.
    void TearDown() override {
        if (Database != nullptr)
            UnregisterDatabase(Alias());
    }

    std::string Alias() const { return Database->Alias() + "Logged"; }

    // Opens the table in the order of names and locates Key; Log keeps the statements of
    // the search only.
    void Locate(TTable& Table, const std::string& Key, int Expected) {
        Table.SetDatabaseName(Alias());
        Table.SetTableName("Names");
        Table.SetIndexFieldNames("Name");
        Table.Open();
        Log.clear();
        EXPECT_TRUE(Table.Locate("Name", TVariant(Key), {loCaseInsensitive, loPartialKey}));
        EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), Expected);
    }

    // The statements of Log that seek a range of names. On SQLite, each must search the
    // index and never scan the table.
    int Seeks() {
        int Seeks = 0;
        for (const TRecordedStatement& Statement : Log) {
            if (Statement.Sql.find(Database->Connection().QuoteIdentifier("Name") + " >=") ==
                std::string::npos)
                continue;
            ++Seeks;
            if (!Database->IsSQLite())
                continue;
            auto Cursor = Database->Connection().Execute("EXPLAIN QUERY PLAN " + Statement.Sql,
                                                         Statement.Params);
            int Searches = 0;
            while (Cursor->Next()) {
                const std::string Step = Cursor->Value(Cursor->FieldCount() - 1).AsString();
                Searches += Step.starts_with("SEARCH Names") ? 1 : 0;
                EXPECT_FALSE(Step.starts_with("SCAN Names")) << Statement.Sql << "\n" << Step;
            }
            EXPECT_GT(Searches, 0) << Statement.Sql;
        }
        return Seeks;
    }

    // Longer than the walk of the key's prefix goes.
    const std::string LongSmythe = "Smythe" + std::string(94, 'x');
    std::vector<TRecordedStatement> Log;
};

TEST_P(LocateSeekPlanTest, SeeksTheIndexInsteadOfScanning) {
    {
        TTable Table(nullptr);
        Locate(Table, "SMITH", 200);
        const std::size_t Statements = Log.size();
        for (int Id = 251; Id <= 260; ++Id) {
            Table.Next();
            EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), Id);
        }
        EXPECT_EQ(Log.size(), Statements) << "the rows after the match come with it";
        Log.resize(Statements);
    }
    for (const TRecordedStatement& Statement : Log) {
        // A scan folds the column: UPPER, or the upper-casing of the UTF-8 host code page.
        const std::string Sql = UpperCaseAscii(Statement.Sql);
        EXPECT_EQ(Sql.find("UPPER("), std::string::npos) << "a scan: " << Statement.Sql;
    }
    // The 16 case variants of "SMIT" in one statement, which keeps "smit"; then the row
    // that begins with "smitH" or "smith", the first of the window.
    EXPECT_EQ(Seeks(), 2);
}

// The rest of a long key is matched within the ranges of its walked prefix, not by a scan.
TEST_P(LocateSeekPlanTest, LongKeysSeekTheIndexToo) {
    {
        TTable Table(nullptr);
        Locate(Table, AsciiCase(LongSmythe, true), 150);
    }
    // Four statements that walk the key's prefix, each keeping "Smyt", "Smythexx", ...;
    // then the match within the ranges of the 16 variants of the walked prefix.
    EXPECT_EQ(Seeks(), 5);
}

INSTANTIATE_TEST_SUITE_P(Seeks, LocateSeekPlanTest, ::testing::ValuesIn(ReadingBackends()),
                         vorn::test::BackendTestName);

} // namespace

namespace {

// Keys and names a hundred thousand characters long: twice what a LIKE pattern may hold on
// SQLite, and far more than a walk of the key's prefix letter by letter could afford.
constexpr std::size_t LongLength = 100000;

std::string Replaced(std::string Text, std::size_t At, char C) {
    Text[At] = C;
    return Text;
}

const std::string LongLetters = Repeated("abcdefghij", LongLength);
const std::string LongDigits = Repeated("0123456789", LongLength - 10);

// In the table's order by name: NULL, 5, 1, 3, 6, 4, 8, 2. Rows 1, 3 and 8 are one name in
// three letter cases, which rows 2 and 4 follow up to one character.
const std::vector<std::pair<int, TVariant>> LongNames{
    {1, AsciiCase(LongLetters, true)},
    {2, Replaced(LongLetters, LongLength - 1, 'k')},
    {3, Repeated("Abcdefghij", LongLength) + "tail"},
    {4, Replaced(LongLetters, LongLength / 2, '#')},
    {5, LongDigits + "abcdefghij"},
    {6, "abc"},
    {7, TVariant()},
    {8, LongLetters},
};

struct TLongKeyCase {
    const char* Name;
    const char* IndexFieldNames; // "Name" seeks the key's prefix, "ID" scans
    TLocateOptions Options;
    std::string Key;
    int Expected; // the located ID, 0 for none
    bool Indexed = true;
};

const TLocateOptions AnyCase{loCaseInsensitive, loPartialKey};
const TLocateOptions ThisCase{loPartialKey};

class LocateLongKeyTest : public BackendCaseTest<TLongKeyCase> {};

TEST_P(LocateLongKeyTest, FindsTheFirstMatchInAFewQuickStatements) {
    // MariaDB keeps texts this long in a MEDIUMTEXT, and indexes no such column whole.
    const bool MariaDB = Database->IsMariaDB();
    Database->Execute(std::string("CREATE TABLE \"Names\" (\"ID\" INTEGER PRIMARY KEY, \"Name\" ") +
                      (MariaDB ? "MEDIUMTEXT" : "TEXT") + ")");
    if (Case().Indexed && !MariaDB)
        Database->Execute("CREATE INDEX \"ByName\" ON \"Names\" (\"Name\")");
    for (const auto& [Id, Name] : LongNames)
        Database->Execute("INSERT INTO \"Names\" VALUES (?1, ?2)", {Id, Name});
    std::vector<TRecordedStatement> Log;
    const std::string Alias = Database->Alias() + "Logged";
    RegisterDatabase(
        Alias, [&] { return std::make_unique<TRecordingConnection>(Database->Connection(), Log); });
    std::chrono::steady_clock::duration Took{};
    {
        TTable Table(nullptr);
        Table.SetDatabaseName(Alias);
        Table.SetTableName("Names");
        Table.SetIndexFieldNames(Case().IndexFieldNames);
        Table.Open();
        // A short search first, which asks the catalog what it needs to once per open.
        Table.Locate("Name", TVariant("a"), Case().Options);
        Table.First();
        const std::int64_t Before = Table.FieldByName("ID")->AsInteger();
        Log.clear();
        const auto Start = std::chrono::steady_clock::now();
        const bool Located = Table.Locate("Name", TVariant(Case().Key), Case().Options);
        Took = std::chrono::steady_clock::now() - Start;
        EXPECT_EQ(Located ? Table.FieldByName("ID")->AsInteger() : 0, Case().Expected);
        if (!Located) {
            EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), Before) << "a failed search stays put";
        }
    }
    UnregisterDatabase(Alias);
    // No more than the walk of a short key and the match that ends it.
    EXPECT_LE(Log.size(), 5u);
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Took).count(), 1000)
        << "milliseconds";
}

INSTANTIATE_TEST_SUITE_P(
    LongKeys, LocateLongKeyTest,
    ::testing::Combine(
        ::testing::ValuesIn(ReadingBackends()),
        ::testing::Values(TLongKeyCase{.Name = "AnyCase",
                                       .IndexFieldNames = "Name",
                                       .Options = AnyCase,
                                       .Key = Repeated("aBcDeFgHiJ", LongLength),
                                       .Expected = 1},
                          TLongKeyCase{
                              .Name = "LastCharacterDiffers",
                              .IndexFieldNames = "Name",
                              .Options = AnyCase,
                              .Key = AsciiCase(Replaced(LongLetters, LongLength - 1, 'k'), true),
                              .Expected = 2},
                          TLongKeyCase{.Name = "LongerThanMostNames",
                                       .IndexFieldNames = "Name",
                                       .Options = AnyCase,
                                       .Key = LongLetters + "TAIL",
                                       .Expected = 3},
                          TLongKeyCase{.Name = "MiddleCharacterDiffers",
                                       .IndexFieldNames = "Name",
                                       .Options = AnyCase,
                                       .Key = Replaced(LongLetters, LongLength / 2, '#'),
                                       .Expected = 4},
                          TLongKeyCase{.Name = "NoName",
                                       .IndexFieldNames = "Name",
                                       .Options = AnyCase,
                                       .Key = LongLetters + "x",
                                       .Expected = 0},
                          TLongKeyCase{.Name = "DigitsFirst",
                                       .IndexFieldNames = "Name",
                                       .Options = AnyCase,
                                       .Key = LongDigits + "ABCDEFGHIJ",
                                       .Expected = 5},
                          TLongKeyCase{.Name = "DigitsFirstNoName",
                                       .IndexFieldNames = "Name",
                                       .Options = AnyCase,
                                       .Key = LongDigits + "abcdefghiZ",
                                       .Expected = 0},
                          TLongKeyCase{.Name = "ScanAnyCase",
                                       .IndexFieldNames = "ID",
                                       .Options = AnyCase,
                                       .Key = AsciiCase(LongLetters, false),
                                       .Expected = 1},
                          TLongKeyCase{.Name = "ScanLastCharacterDiffers",
                                       .IndexFieldNames = "ID",
                                       .Options = AnyCase,
                                       .Key = Replaced(LongLetters, LongLength - 1, 'K'),
                                       .Expected = 2},
                          TLongKeyCase{.Name = "ScanNoName",
                                       .IndexFieldNames = "ID",
                                       .Options = AnyCase,
                                       .Key = LongLetters + "x",
                                       .Expected = 0},
                          TLongKeyCase{.Name = "CaseSensitive",
                                       .IndexFieldNames = "Name",
                                       .Options = ThisCase,
                                       .Key = LongLetters,
                                       .Expected = 8},
                          // SQLite seeks an index for a prefix LIKE without matching the pattern,
                          // but without an index it must match it.
                          TLongKeyCase{.Name = "UnindexedCaseSensitive",
                                       .IndexFieldNames = "ID",
                                       .Options = ThisCase,
                                       .Key = LongLetters,
                                       .Expected = 8,
                                       .Indexed = false},
                          TLongKeyCase{.Name = "CaseSensitiveCapital",
                                       .IndexFieldNames = "Name",
                                       .Options = ThisCase,
                                       .Key = Repeated("Abcdefghij", LongLength),
                                       .Expected = 3},
                          TLongKeyCase{.Name = "CaseSensitiveNoName",
                                       .IndexFieldNames = "Name",
                                       .Options = ThisCase,
                                       .Key = AsciiCase(LongLetters, true) + "x",
                                       .Expected = 0})),
    BackendCaseTestName<TLongKeyCase>);

} // namespace
