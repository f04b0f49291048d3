#include "BackendFixture.h"
#include "DataSetWalk.h"

#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Table.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace vorn;
using vorn::test::AllBackends;
using vorn::test::BackendCaseTest;
using vorn::test::BackendCaseTestName;
using vorn::test::WalkBackward;
using vorn::test::WalkForward;

namespace {

// Orders that mix NOT NULL columns (written without NULL placement) with a column that
// has NULLs (read as its NULLs, then its values), alone and under a master: a walk both
// ways must meet every row once, in the order the database gives for NULLs first. A
// descending field is the exact reverse (NULLs last), and where an index read backward
// serves the order, the row key descends with it.
struct TWalkCase {
    const char* Name;
    const char* IndexFieldNames;
    const char* MasterFields; // restricted to Shelf 2 when not empty
    int PageSize;
    const char* OrderBy;
    const char* Where;
};

class NotNullOrderTest : public BackendCaseTest<TWalkCase> {
protected:
    void SetUp() override {
        BackendCaseTest::SetUp();
        Database->Execute("CREATE TABLE \"Stock\" (\"ID\" INTEGER PRIMARY KEY, "
                          "\"Shelf\" INTEGER NOT NULL, \"Label\" VARCHAR(10), "
                          "\"Code\" VARCHAR(10) NOT NULL)");
        Database->Execute("CREATE INDEX \"StockShelfLabel\" ON \"Stock\" (\"Shelf\", \"Label\")");
        Database->Execute("CREATE INDEX \"StockLabel\" ON \"Stock\" (\"Label\")");
        Database->Execute("CREATE INDEX \"StockCode\" ON \"Stock\" (\"Code\")");
        Database->Execute(
            "CREATE INDEX \"StockShelfDescLabel\" ON \"Stock\" (\"Shelf\" DESC, \"Label\")");
        for (int Id = 1; Id <= 36; ++Id) {
            const TVariant Label =
                Id % 4 == 0 ? TVariant() : TVariant("L" + std::to_string(Id % 5));
            Database->Execute("INSERT INTO \"Stock\" VALUES (?1, ?2, ?3, ?4)",
                              {Id, Id % 3, Label, "C" + std::to_string(Id % 6)});
        }
        Database->Execute("CREATE TABLE \"Shelves\" (\"Shelf\" INTEGER PRIMARY KEY)");
        Database->Execute("INSERT INTO \"Shelves\" VALUES (2)");
        Table.SetDatabaseName(Database->Alias());
        Table.SetTableName("Stock");
        Table.SetIndexFieldNames(Case().IndexFieldNames);
        Table.SetPageSize(Case().PageSize);
        if (*Case().MasterFields != '\0') {
            Master.SetDatabaseName(Database->Alias());
            Master.SetTableName("Shelves");
            Source.SetDataSet(&Master);
            Master.Open();
            Table.SetMasterSource(&Source);
            Table.SetMasterFields(Case().MasterFields);
        }
        Table.Open();
    }
    void TearDown() override {
        Table.Close();
        Table.SetMasterSource(nullptr);
        Master.Close();
    }

    std::vector<std::string> Expected() {
        return Database->Column(std::string("SELECT \"ID\" FROM \"Stock\" ") + Case().Where +
                                " ORDER BY " + Case().OrderBy);
    }

    TTable Master{nullptr};
    TDataSource Source{nullptr};
    TTable Table{nullptr};
};

TEST_P(NotNullOrderTest, WalksEveryRowOnceBothWays) {
    const auto Ids = Expected();
    ASSERT_FALSE(Ids.empty());
    EXPECT_EQ(WalkForward(Table), Ids);
    EXPECT_EQ(WalkBackward(Table), Ids);
}

// A search lands on the first match in the order, and the rows around it follow it.
TEST_P(NotNullOrderTest, LocateFindsTheFirstMatchAndMovesOnFromIt) {
    const auto Ids = Expected();
    for (std::size_t Position : {std::size_t{0}, Ids.size() / 2, Ids.size() - 1}) {
        Table.Close();
        Table.Open();
        for (std::size_t Step = 0; Step < Position; ++Step)
            Table.Next();
        const TVariant Label = Table.FieldByName("Label")->Value();
        const TVariant Code = Table.FieldByName("Code")->Value();
        Table.First();
        ASSERT_TRUE(Table.Locate("Label;Code", std::vector<TVariant>{Label, Code}, {}));
        const auto Found =
            std::find(Ids.begin(), Ids.end(), Table.FieldByName("ID")->AsString()) - Ids.begin();
        EXPECT_LE(static_cast<std::size_t>(Found), Position);
        if (static_cast<std::size_t>(Found) + 1 < Ids.size()) {
            Table.Next();
            EXPECT_EQ(Table.FieldByName("ID")->AsString(),
                      Ids[static_cast<std::size_t>(Found) + 1]);
            Table.Prior();
        }
        Table.Prior();
        if (Found > 0) {
            EXPECT_EQ(Table.FieldByName("ID")->AsString(),
                      Ids[static_cast<std::size_t>(Found) - 1]);
        }
    }
}

// A bookmark leads back to its row, and the walk goes on from there in the order.
TEST_P(NotNullOrderTest, BookmarksReturnToTheirRowsAndTheWalkGoesOnFromThem) {
    const auto Ids = Expected();
    std::vector<TBookmark> Marks;
    for (Table.First(); !Table.Eof(); Table.Next())
        Marks.push_back(Table.Bookmark());
    ASSERT_EQ(Marks.size(), Ids.size());
    for (std::size_t Position = Ids.size(); Position-- > 0;) {
        if (Position % 5 != 0 && Position + 1 != Ids.size())
            continue;
        Table.SetBookmark(Marks[Position]);
        EXPECT_EQ(Table.FieldByName("ID")->AsString(), Ids[Position]);
        Table.Next();
        if (Position + 1 < Ids.size())
            EXPECT_EQ(Table.FieldByName("ID")->AsString(), Ids[Position + 1]);
        else
            EXPECT_TRUE(Table.Eof());
        Table.SetBookmark(Marks[Position]);
        Table.Prior();
        if (Position > 0)
            EXPECT_EQ(Table.FieldByName("ID")->AsString(), Ids[Position - 1]);
        else
            EXPECT_TRUE(Table.Bof());
    }
}

// A scroll position counts the rows before the current one in the order; a jump to a
// place lands on the first row of the leading value found there. A detail has neither.
TEST_P(NotNullOrderTest, PositionsCountTheRowsBeforeInTheOrder) {
    const auto Ids = Expected();
    Database->Execute("ANALYZE \"Stock\"");
    Table.Close();
    Table.Open();
    for (const std::size_t Position : {std::size_t{1}, Ids.size() / 2, Ids.size() - 1}) {
        ASSERT_TRUE(Table.Locate("ID", TVariant(std::stoi(Ids[Position])), {}));
        const auto Counted = Table.EstimatedRecordPosition();
        if (*Case().MasterFields != '\0') {
            EXPECT_FALSE(Counted);
            EXPECT_FALSE(Table.MoveToFraction(0.5));
            continue;
        }
        ASSERT_TRUE(Counted);
        EXPECT_EQ(Counted->Before, static_cast<std::int64_t>(Position)) << Ids[Position];
        const std::string Leading = Table.IndexFields(0)->FieldName();
        const std::string Value = Table.FieldByName(Leading)->AsString();
        ASSERT_TRUE(Table.MoveToFraction(static_cast<double>(Position) /
                                         static_cast<double>(Ids.size() - 1)));
        const auto Landed = static_cast<std::size_t>(
            std::find(Ids.begin(), Ids.end(), Table.FieldByName("ID")->AsString()) - Ids.begin());
        EXPECT_LE(Landed, Position);
        EXPECT_EQ(Table.FieldByName(Leading)->AsString(), Value) << Ids[Position];
        if (Landed > 0) {
            Table.Prior();
            EXPECT_EQ(Table.FieldByName("ID")->AsString(), Ids[Landed - 1]);
            EXPECT_NE(Table.FieldByName(Leading)->AsString(), Value) << Ids[Position];
        }
    }
}

const TWalkCase Walks[] = {
    {.Name = "Key_4",
     .IndexFieldNames = "",
     .MasterFields = "",
     .PageSize = 4,
     .OrderBy = "\"ID\"",
     .Where = ""},
    {.Name = "Code_1",
     .IndexFieldNames = "Code",
     .MasterFields = "",
     .PageSize = 1,
     .OrderBy = "\"Code\", \"ID\"",
     .Where = ""},
    {.Name = "Code_5",
     .IndexFieldNames = "Code",
     .MasterFields = "",
     .PageSize = 5,
     .OrderBy = "\"Code\", \"ID\"",
     .Where = ""},
    {.Name = "Label_2",
     .IndexFieldNames = "Label",
     .MasterFields = "",
     .PageSize = 2,
     .OrderBy = "\"Label\" NULLS FIRST, \"ID\"",
     .Where = ""},
    {.Name = "Label_7",
     .IndexFieldNames = "Label",
     .MasterFields = "",
     .PageSize = 7,
     .OrderBy = "\"Label\" NULLS FIRST, \"ID\"",
     .Where = ""},
    {.Name = "ShelfLabel_3",
     .IndexFieldNames = "Shelf;Label",
     .MasterFields = "",
     .PageSize = 3,
     .OrderBy = "\"Shelf\", \"Label\" NULLS FIRST, \"ID\"",
     .Where = ""},
    {.Name = "DetailLabel_1",
     .IndexFieldNames = "Shelf;Label",
     .MasterFields = "Shelf",
     .PageSize = 1,
     .OrderBy = "\"Label\" NULLS FIRST, \"ID\"",
     .Where = "WHERE \"Shelf\" = 2"},
    {.Name = "DetailLabel_4",
     .IndexFieldNames = "Shelf;Label",
     .MasterFields = "Shelf",
     .PageSize = 4,
     .OrderBy = "\"Label\" NULLS FIRST, \"ID\"",
     .Where = "WHERE \"Shelf\" = 2"},
    {.Name = "CodeDesc_3",
     .IndexFieldNames = "Code:D",
     .MasterFields = "",
     .PageSize = 3,
     .OrderBy = "\"Code\" DESC, \"ID\" DESC",
     .Where = ""},
    {.Name = "LabelDesc_1",
     .IndexFieldNames = "Label:D",
     .MasterFields = "",
     .PageSize = 1,
     .OrderBy = "\"Label\" DESC NULLS LAST, \"ID\" DESC",
     .Where = ""},
    {.Name = "LabelDesc_4",
     .IndexFieldNames = "Label:D",
     .MasterFields = "",
     .PageSize = 4,
     .OrderBy = "\"Label\" DESC NULLS LAST, \"ID\" DESC",
     .Where = ""},
    {.Name = "ShelfDescLabel_3",
     .IndexFieldNames = "Shelf:D;Label",
     .MasterFields = "",
     .PageSize = 3,
     .OrderBy = "\"Shelf\" DESC, \"Label\" NULLS FIRST, \"ID\"",
     .Where = ""},
    {.Name = "ShelfLabelDesc_2",
     .IndexFieldNames = "Shelf;Label:D",
     .MasterFields = "",
     .PageSize = 2,
     .OrderBy = "\"Shelf\", \"Label\" DESC NULLS LAST, \"ID\" DESC",
     .Where = ""},
    {.Name = "DetailLabelDesc_2",
     .IndexFieldNames = "Shelf;Label:D",
     .MasterFields = "Shelf",
     .PageSize = 2,
     .OrderBy = "\"Label\" DESC NULLS LAST, \"ID\" DESC",
     .Where = "WHERE \"Shelf\" = 2"},
};

INSTANTIATE_TEST_SUITE_P(Orders, NotNullOrderTest,
                         ::testing::Combine(::testing::ValuesIn(AllBackends),
                                            ::testing::ValuesIn(Walks)),
                         BackendCaseTestName<TWalkCase>);

} // namespace
