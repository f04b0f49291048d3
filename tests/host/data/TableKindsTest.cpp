#include "TestDatabase.h"

#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/Driver.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace vorn;
using vorn::test::TTempDatabase;

namespace {

struct TKeyKindCase {
    const char* Name;
    const char* Schema;
    const char* DefaultOrder; // the index fields of the default order
    const char* Expected;     // the Tag column in the default order
};

class TableKeyKindTest : public ::testing::TestWithParam<TKeyKindCase> {};

// Tables with every kind of key browse in their default order in both directions.
TEST_P(TableKeyKindTest, BrowsesInItsDefaultOrder) {
    TTempDatabase Database;
    Database.Execute(GetParam().Schema);
    Database.Execute("INSERT INTO T (K, Tag) VALUES (3, 'c'), (1, 'a'), (2, 'b'), (5, 'e'), "
                     "(4, 'd')");
    TTable Table(nullptr);
    Table.SetDatabaseName(Database.Alias());
    Table.SetTableName("T");
    Table.SetPageSize(2);
    Table.Open();
    std::string Order;
    for (int Index = 0; Index < Table.IndexFieldCount(); ++Index)
        Order += (Index == 0 ? "" : ";") + Table.IndexFields(Index)->FieldName();
    EXPECT_EQ(Order, GetParam().DefaultOrder);
    std::string Forward, Backward;
    for (Table.First(); !Table.Eof(); Table.Next())
        Forward += Table.FieldByName("Tag")->AsString();
    for (Table.Last(); !Table.Bof(); Table.Prior())
        Backward.insert(0, Table.FieldByName("Tag")->AsString());
    EXPECT_EQ(Forward, GetParam().Expected);
    EXPECT_EQ(Backward, GetParam().Expected);
    Table.Last();
    const TBookmark Mark = Table.Bookmark();
    Table.First();
    Table.SetBookmark(Mark);
    EXPECT_EQ(Table.FieldByName("Tag")->AsString(),
              std::string(1, GetParam().Expected[std::strlen(GetParam().Expected) - 1]));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, TableKeyKindTest,
    ::testing::Values(
        TKeyKindCase{.Name = "IntegerPrimaryKey",
                     .Schema = "CREATE TABLE T (K INTEGER PRIMARY KEY, Tag TEXT)",
                     .DefaultOrder = "K",
                     .Expected = "abcde"},
        TKeyKindCase{.Name = "NoKeyRowIdOrder",
                     .Schema = "CREATE TABLE T (K INTEGER, Tag TEXT)",
                     .DefaultOrder = "",
                     .Expected = "cabed"},
        TKeyKindCase{.Name = "TextPrimaryKey",
                     .Schema = "CREATE TABLE T (Tag TEXT PRIMARY KEY, K INTEGER)",
                     .DefaultOrder = "Tag",
                     .Expected = "abcde"},
        TKeyKindCase{
            .Name = "WithoutRowId",
            .Schema = "CREATE TABLE T (K INTEGER, Tag TEXT, PRIMARY KEY (Tag, K)) WITHOUT ROWID",
            .DefaultOrder = "Tag;K",
            .Expected = "abcde"},
        TKeyKindCase{.Name = "ColumnNamedRowId",
                     .Schema = "CREATE TABLE T (rowid INTEGER, K INTEGER, Tag TEXT)",
                     .DefaultOrder = "",
                     .Expected = "cabed"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST(StreamedActive, OpensWhenLoadingEnds) {
    TTempDatabase Database;
    Database.Execute("CREATE TABLE T (ID INTEGER PRIMARY KEY)");
    TTable Table(nullptr);
    Table.SetLoading();
    Table.SetActive(true);
    EXPECT_FALSE(Table.Active());
    Table.SetDatabaseName(Database.Alias());
    Table.SetTableName("T");
    Table.Loaded();
    EXPECT_TRUE(Table.Active());
    EXPECT_TRUE(Table.IsEmpty());
}

} // namespace
