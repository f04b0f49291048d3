#include "BackendFixture.h"
#include "DataSetWalk.h"

#include "host/components/text/AsciiText.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/DatabaseError.h"

#include <gtest/gtest.h>

#include <random>

using namespace vorn;
using vorn::test::BackendCaseTest;
using vorn::test::BackendCaseTestName;
using vorn::test::BackendTest;
using vorn::test::BackendTestName;
using vorn::test::ReadingBackends;
using vorn::test::TBackendDatabase;
using vorn::test::WalkBackward;
using vorn::test::WalkForward;

namespace {

// 40 people; every fifth has no city and every third no age, so that runs of NULLs
// and of equal values fall across page boundaries for every page size.
void CreatePeople(TBackendDatabase& Database) {
    Database.Execute("CREATE TABLE \"People\" (\"ID\" INTEGER PRIMARY KEY, \"Name\" VARCHAR(30), "
                     "\"City\" VARCHAR(30), \"Age\" INTEGER)");
    Database.Execute("CREATE INDEX \"PeopleCity\" ON \"People\" (\"City\")");
    Database.Execute("CREATE INDEX \"PeopleCityName\" ON \"People\" (\"City\", \"Name\")");
    Database.Execute("CREATE INDEX \"PeopleAge\" ON \"People\" (\"Age\")");
    const char* Cities[] = {"Beograd", "Novi Sad", "Nis", "Kragujevac"};
    const char* Names[] = {"Ana", "Bojan", "Cvijeta", "Dusan", "Ema", "Filip", "Goran"};
    for (int Id = 1; Id <= 40; ++Id) {
        const TVariant City = Id % 5 == 0 ? TVariant() : TVariant(Cities[Id % 4]);
        const TVariant Name = Id % 11 == 0 ? TVariant() : TVariant(Names[Id % 7]);
        const TVariant Age = Id % 3 == 0 ? TVariant() : TVariant(20 + Id % 6);
        Database.Execute("INSERT INTO \"People\" VALUES (?1, ?2, ?3, ?4)", {Id, Name, City, Age});
    }
}

// The statement that reads the IDs of People in the order of IndexFieldNames.
std::string OrderedIds(const std::string& IndexFieldNames) {
    std::string Result = "SELECT \"ID\" FROM \"People\" ORDER BY ";
    for (const std::string& Name : SplitList(IndexFieldNames, ';'))
        Result += "\"" + Name + "\" ASC NULLS FIRST, ";
    return Result + "\"ID\"";
}

class PeopleTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        CreatePeople(*Database);
        Table.SetDatabaseName(Database->Alias());
        Table.SetTableName("People");
    }

    TTable Table{nullptr};
};

struct TOrderCase {
    const char* Name;
    const char* IndexFieldNames;
    int PageSize;
};

class TableOrderTest : public BackendCaseTest<TOrderCase> {
protected:
    void SetUp() override {
        BackendCaseTest::SetUp();
        CreatePeople(*Database);
        Table.SetDatabaseName(Database->Alias());
        Table.SetTableName("People");
        Table.SetIndexFieldNames(Case().IndexFieldNames);
        Table.SetPageSize(Case().PageSize);
        Table.Open();
    }

    TTable Table{nullptr};
};

TEST_P(TableOrderTest, WalksTheWholeOrderBothWaysAcrossWindows) {
    const auto Expected = Database->Column(OrderedIds(Case().IndexFieldNames));
    EXPECT_EQ(WalkForward(Table), Expected);
    EXPECT_EQ(WalkBackward(Table), Expected);
}

TEST_P(TableOrderTest, RandomWalkStaysInStepWithTheOrder) {
    const auto Expected = Database->Column(OrderedIds(Case().IndexFieldNames));
    std::mt19937 Random(42);
    int Position = 0;
    for (int Step = 0; Step < 300; ++Step) {
        const int Distance = static_cast<int>(Random() % 15) - 7;
        const int Moved = Table.MoveBy(Distance);
        const int Target =
            std::clamp(Position + Distance, 0, static_cast<int>(Expected.size()) - 1);
        ASSERT_EQ(Moved, Target - Position) << "step " << Step;
        Position = Target;
        ASSERT_EQ(Table.FieldByName("ID")->AsString(), Expected[static_cast<std::size_t>(Position)])
            << "step " << Step;
    }
}

const TOrderCase Orders[] = {
    {.Name = "Default_1", .IndexFieldNames = "", .PageSize = 1},
    {.Name = "Default_7", .IndexFieldNames = "", .PageSize = 7},
    {.Name = "City_1", .IndexFieldNames = "City", .PageSize = 1},
    {.Name = "City_2", .IndexFieldNames = "City", .PageSize = 2},
    {.Name = "City_3", .IndexFieldNames = "City", .PageSize = 3},
    {.Name = "CityName_2", .IndexFieldNames = "City;Name", .PageSize = 2},
    {.Name = "CityName_4", .IndexFieldNames = "City;Name", .PageSize = 4},
    {.Name = "Age_3", .IndexFieldNames = "Age", .PageSize = 3},
    {.Name = "Age_5", .IndexFieldNames = "Age", .PageSize = 5},
    {.Name = "Age_50", .IndexFieldNames = "Age", .PageSize = 50},
};

INSTANTIATE_TEST_SUITE_P(OrdersAndPageSizes, TableOrderTest,
                         ::testing::Combine(::testing::ValuesIn(ReadingBackends()),
                                            ::testing::ValuesIn(Orders)),
                         BackendCaseTestName<TOrderCase>);

TEST_P(PeopleTest, EofAndBofFollowTheEdges) {
    Table.SetPageSize(4);
    Table.Open();
    EXPECT_TRUE(Table.Bof());
    EXPECT_FALSE(Table.Eof());
    Table.Prior();
    EXPECT_TRUE(Table.Bof());
    EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), 1);
    Table.Last();
    EXPECT_TRUE(Table.Eof());
    EXPECT_FALSE(Table.Bof());
    EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), 40);
    Table.Next();
    EXPECT_TRUE(Table.Eof());
    EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), 40);
    Table.Prior();
    EXPECT_FALSE(Table.Eof());
    EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), 39);
    EXPECT_EQ(Table.MoveBy(100), 1);
    EXPECT_TRUE(Table.Eof());
    EXPECT_EQ(Table.MoveBy(-100), -39);
    EXPECT_TRUE(Table.Bof());
    EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), 1);
}

TEST_P(PeopleTest, AnEmptyTableIsAtBothEnds) {
    Database->Execute("DELETE FROM \"People\"");
    Table.Open();
    EXPECT_TRUE(Table.IsEmpty());
    EXPECT_TRUE(Table.Eof());
    EXPECT_TRUE(Table.Bof());
    Table.Last();
    EXPECT_TRUE(Table.Eof() && Table.Bof());
    EXPECT_TRUE(Table.FieldByName("Name")->IsNull());
    EXPECT_TRUE(Table.Bookmark().Empty());
}

TEST_P(PeopleTest, NullKeysAtPageBoundariesAreNeitherSkippedNorRepeated) {
    // Rows whose order field is NULL except one: a NULL run longer than a page, followed
    // by values, and NULLs in the second order field too.
    Database->Execute("UPDATE \"People\" SET \"City\" = NULL WHERE \"ID\" <= 12");
    Database->Execute("UPDATE \"People\" SET \"Name\" = NULL WHERE \"ID\" % 2 = 0");
    for (const char* Order : {"City", "City;Name"}) {
        for (int PageSize : {1, 2, 3, 5}) {
            Table.SetIndexFieldNames(Order);
            Table.SetPageSize(PageSize);
            Table.Open();
            const auto Expected = Database->Column(OrderedIds(Order));
            EXPECT_EQ(WalkForward(Table), Expected) << Order << " page " << PageSize;
            EXPECT_EQ(WalkBackward(Table), Expected) << Order << " page " << PageSize;
            Table.Close();
        }
    }
}

TEST_P(PeopleTest, BookmarkSurvivesAReSortAndADeletedRecordRaises) {
    Table.SetPageSize(3);
    Table.Open();
    Table.MoveBy(17);
    const TBookmark Mark = Table.Bookmark();
    const std::string Id = Table.FieldByName("ID")->AsString();
    Table.SetIndexFieldNames("City;Name");
    EXPECT_EQ(Table.FieldByName("ID")->AsString(), Id) << "the re-sort keeps the record";
    Table.First();
    Table.SetBookmark(Mark);
    EXPECT_EQ(Table.FieldByName("ID")->AsString(), Id);
    // The window around a bookmark reaches its neighbours in the new order.
    const auto Expected = Database->Column(OrderedIds("City;Name"));
    const auto Here = std::find(Expected.begin(), Expected.end(), Id) - Expected.begin();
    Table.Prior();
    EXPECT_EQ(Table.FieldByName("ID")->AsString(), Expected[static_cast<std::size_t>(Here - 1)]);
    Table.MoveBy(2);
    EXPECT_EQ(Table.FieldByName("ID")->AsString(), Expected[static_cast<std::size_t>(Here + 1)]);

    Database->Execute("DELETE FROM \"People\" WHERE \"ID\" = ?1", {TVariant(Id)});
    const std::string Before = Table.FieldByName("ID")->AsString();
    try {
        Table.SetBookmark(Mark);
        FAIL() << "a bookmark of a deleted record was accepted";
    } catch (const EDatabaseError& Error) {
        EXPECT_NE(Error.Message().find("Record not found"), std::string::npos) << Error.Message();
    }
    EXPECT_EQ(Table.FieldByName("ID")->AsString(), Before);
}

struct TLocateCase {
    const char* Name;
    const char* KeyFields;
    std::vector<TVariant> Values;
    TLocateOptions Options;
    int ExpectedId; // 0: no match
};

class LocateTest : public BackendCaseTest<TLocateCase> {
protected:
    void SetUp() override {
        BackendCaseTest::SetUp();
        Database->Execute("CREATE TABLE \"Contacts\" (\"ID\" INTEGER PRIMARY KEY, "
                          "\"Name\" VARCHAR(40), \"City\" VARCHAR(30), \"Code\" VARCHAR(10), "
                          "\"Score\" INTEGER)");
        Database->Execute("CREATE INDEX \"ContactsCity\" ON \"Contacts\" (\"City\")");
        const std::vector<std::vector<TVariant>> Rows = {
            {1, "Smith", "Zagreb", "A;B", 10},     {2, "smith", "Beograd", "50%_x", 20},
            {3, "Smithson", "Ajaccio", "50x", 30}, {4, "Jones", TVariant(), "C", 40},
            {5, "Smith", "Atina", "a;b", 50},      {6, "O'Brien", "Beograd", "\\d", TVariant()},
        };
        for (const auto& Row : Rows)
            Database->Execute("INSERT INTO \"Contacts\" VALUES (?1, ?2, ?3, ?4, ?5)", Row);
        Table.SetDatabaseName(Database->Alias());
        Table.SetTableName("Contacts");
        Table.SetPageSize(2);
    }

    TTable Table{nullptr};
};

TEST_P(LocateTest, FindsTheFirstMatchInTheCurrentOrderOrStaysPut) {
    const TLocateCase& Case = this->Case();
    Table.SetIndexFieldNames("City");
    Table.Open();
    Table.Last();
    const bool Found = Table.Locate(Case.KeyFields, Case.Values, Case.Options);
    EXPECT_EQ(Found, Case.ExpectedId != 0);
    EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), Found ? Case.ExpectedId : 1)
        << "current record after the search";
    EXPECT_FALSE(Table.Eof() && Found);
}

const TLocateCase Searches[] = {
    // In City order: Ajaccio(3), Atina(5), Beograd(2, 6), Zagreb(1); NULL (4) first.
    TLocateCase{.Name = "ExactFirstInOrder",
                .KeyFields = "Name",
                .Values = {"Smith"},
                .Options = {},
                .ExpectedId = 5},
    TLocateCase{.Name = "ExactIsCaseSensitive",
                .KeyFields = "Name",
                .Values = {"SMITH"},
                .Options = {},
                .ExpectedId = 0},
    TLocateCase{.Name = "CaseInsensitive",
                .KeyFields = "Name",
                .Values = {"SMITH"},
                .Options = {loCaseInsensitive},
                .ExpectedId = 5},
    TLocateCase{.Name = "PartialKey",
                .KeyFields = "Name",
                .Values = {"Smi"},
                .Options = {loPartialKey},
                .ExpectedId = 3},
    TLocateCase{.Name = "PartialIsCaseSensitive",
                .KeyFields = "Name",
                .Values = {"smi"},
                .Options = {loPartialKey},
                .ExpectedId = 2},
    TLocateCase{.Name = "PartialCaseInsensitive",
                .KeyFields = "Name",
                .Values = {"sMITHS"},
                .Options = {loPartialKey, loCaseInsensitive},
                .ExpectedId = 3},
    TLocateCase{.Name = "SemicolonInsideAValue",
                .KeyFields = "Code",
                .Values = {"A;B"},
                .Options = {},
                .ExpectedId = 1},
    TLocateCase{.Name = "MultiField",
                .KeyFields = "Name;City",
                .Values = {"Smith", "Zagreb"},
                .Options = {},
                .ExpectedId = 1},
    TLocateCase{.Name = "MultiFieldNoMatch",
                .KeyFields = "Name;City",
                .Values = {"Jones", "Zagreb"},
                .Options = {},
                .ExpectedId = 0},
    TLocateCase{.Name = "PercentIsLiteralInPartialKey",
                .KeyFields = "Code",
                .Values = {"50%"},
                .Options = {loPartialKey},
                .ExpectedId = 2},
    TLocateCase{.Name = "UnderscoreIsLiteralInPartialKey",
                .KeyFields = "Code",
                .Values = {"50_"},
                .Options = {loPartialKey},
                .ExpectedId = 0},
    TLocateCase{.Name = "BackslashIsLiteral",
                .KeyFields = "Code",
                .Values = {"\\"},
                .Options = {loPartialKey},
                .ExpectedId = 6},
    TLocateCase{.Name = "QuoteInValue",
                .KeyFields = "Name",
                .Values = {"O'Brien"},
                .Options = {},
                .ExpectedId = 6},
    TLocateCase{.Name = "NullKeyFindsNull",
                .KeyFields = "City",
                .Values = {TVariant()},
                .Options = {},
                .ExpectedId = 4},
    TLocateCase{.Name = "IntegerFromText",
                .KeyFields = "Score",
                .Values = {"30"},
                .Options = {},
                .ExpectedId = 3},
    TLocateCase{.Name = "IntegerPartial",
                .KeyFields = "Score",
                .Values = {"5"},
                .Options = {loPartialKey},
                .ExpectedId = 5},
};

INSTANTIATE_TEST_SUITE_P(Searches, LocateTest,
                         ::testing::Combine(::testing::ValuesIn(ReadingBackends()),
                                            ::testing::ValuesIn(Searches)),
                         BackendCaseTestName<TLocateCase>);

TEST_P(PeopleTest, LocateWithBadKeysRaisesAndAMissStaysPut) {
    Table.Open();
    Table.MoveBy(3);
    EXPECT_FALSE(Table.Locate("Name", TVariant("Nobody"), {}));
    EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), 4);
    EXPECT_THROW(Table.Locate("Name;City", std::vector<TVariant>{"Ana"}, {}), EDatabaseError);
    EXPECT_THROW(Table.Locate("Nickname", TVariant("x"), {}), EDatabaseError);
    EXPECT_THROW(Table.Locate("ID", TVariant("seven"), {}), EConvertError);
    EXPECT_EQ(Table.FieldByName("ID")->AsInteger(), 4);
}

// A time field shows the time of day alone, midnight included, on both databases.
TEST_P(PeopleTest, TimesShowTheTimeOfDayAlone) {
    Database->Execute("CREATE TABLE \"Shifts\" (\"ID\" INTEGER PRIMARY KEY, \"Starts\" TIME)");
    Database->Execute("INSERT INTO \"Shifts\" VALUES (1, '00:00:00'), (2, '10:11:12'), (3, NULL)");
    Table.SetTableName("Shifts");
    Table.Open();
    ASSERT_EQ(Table.FieldByName("Starts")->DataType(), ftTime);
    std::vector<std::string> Shown;
    for (; !Table.Eof(); Table.Next())
        Shown.push_back(Table.FieldByName("Starts")->AsString());
    EXPECT_EQ(Shown, (std::vector<std::string>{"00:00:00", "10:11:12", ""}));
}

INSTANTIATE_TEST_SUITE_P(Backends, PeopleTest, ::testing::ValuesIn(ReadingBackends()),
                         BackendTestName);

} // namespace
