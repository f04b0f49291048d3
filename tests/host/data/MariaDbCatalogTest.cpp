#include "MariaDbTestDatabase.h"

#include "host/data/drivers/DatabaseError.h"

using namespace vorn;
using namespace vorn::test;

namespace {

class MariaDbCatalogTest : public MariaDbTest {
protected:
    void SetUp() override {
        MariaDbTest::SetUp();
        Exec("DROP TABLE IF EXISTS `Order Line`, Loose, Keyless");
        // The primary key's fields come in another order than the table's columns.
        Exec("CREATE TABLE `Order Line` (Item int NOT NULL, `Order` bigint NOT NULL, "
             "Note varchar(40) COLLATE utf8mb4_bin, Code char(3) NOT NULL, "
             "Price decimal(9,2), Shipped tinyint(1), Made datetime(6), Body text, "
             "Picture blob, Label varchar(20) COLLATE utf8mb4_general_ci, "
             "Count int unsigned, Serial int NOT NULL AUTO_INCREMENT UNIQUE, "
             "PRIMARY KEY (`Order`, Item), INDEX ByPriceMade (Price DESC, Made), "
             "INDEX ByNote (Note(10)), INDEX ByCode (Code), FULLTEXT INDEX ByBody (Body))");
        Exec("CREATE TABLE Loose (A int, B int NOT NULL, C int NOT NULL, "
             "UNIQUE INDEX ZOnC (C), UNIQUE INDEX AOnAB (A, B))");
        Exec("CREATE TABLE Keyless (A int, UNIQUE INDEX OnA (A))");
    }
};

TEST_F(MariaDbCatalogTest, ColumnsComeWithTypesSizesAndNotNull) {
    const struct {
        const char* Name;
        const char* DeclaredType;
        TFieldType Type;
        int Size;
        bool NotNull;
    } Expected[] = {
        {"Item", "int(11)", ftInteger, 0, true},
        {"Order", "bigint(20)", ftLargeint, 0, true},
        {"Note", "varchar(40)", ftString, 40, false},
        {"Code", "char(3)", ftFixedChar, 3, true},
        {"Price", "decimal(9,2)", ftBCD, 2, false},
        {"Shipped", "tinyint(1)", ftBoolean, 0, false},
        {"Made", "datetime(6)", ftDateTime, 0, false},
        {"Body", "text", ftMemo, 0, false},
        {"Picture", "blob", ftBlob, 0, false},
        {"Label", "varchar(20)", ftString, 20, false},
        {"Count", "int(10) unsigned", ftLargeint, 0, false},
        {"Serial", "int(11)", ftAutoInc, 0, true},
    };
    const std::vector<TColumnInfo> Columns = Connection->Columns("Order Line");
    ASSERT_EQ(Columns.size(), std::size(Expected));
    for (std::size_t Index = 0; Index < Columns.size(); ++Index) {
        const auto& Column = Columns[Index];
        EXPECT_EQ(Column.Name, Expected[Index].Name);
        EXPECT_EQ(Column.DeclaredType, Expected[Index].DeclaredType) << Column.Name;
        EXPECT_EQ(Column.DataType, Expected[Index].Type) << Column.Name;
        EXPECT_EQ(Column.Size, Expected[Index].Size) << Column.Name;
        EXPECT_EQ(Column.NotNull, Expected[Index].NotNull) << Column.Name;
    }
}

TEST_F(MariaDbCatalogTest, IndexesComePrimaryFirstThenByNameInFieldOrder) {
    const std::vector<TIndexInfo> Indexes = Connection->Indexes("Order Line");
    // ByNote (a column prefix) and ByBody (full text) cannot serve an order.
    ASSERT_EQ(Indexes.size(), 4u);
    const struct {
        const char* Name;
        std::vector<std::string> Fields;
        bool Unique;
        bool Primary;
        std::vector<bool> Descending;
    } Expected[] = {
        {"PRIMARY", {"Order", "Item"}, true, true, {}},
        {"ByCode", {"Code"}, false, false, {}},
        {"ByPriceMade", {"Price", "Made"}, false, false, {true, false}},
        {"Serial", {"Serial"}, true, false, {}},
    };
    for (std::size_t Index = 0; Index < Indexes.size(); ++Index) {
        const TIndexInfo& Info = Indexes[Index];
        EXPECT_EQ(Info.Name, Expected[Index].Name);
        EXPECT_EQ(Info.Fields, Expected[Index].Fields) << Info.Name;
        EXPECT_EQ(Info.Unique, Expected[Index].Unique) << Info.Name;
        EXPECT_EQ(Info.Primary, Expected[Index].Primary) << Info.Name;
        EXPECT_EQ(Info.Descending, Expected[Index].Descending) << Info.Name;
        // NULL sorts below every value, whichever way an index keeps the field.
        EXPECT_EQ(Info.NullsFirst, std::vector<bool>(Info.Fields.size(), true)) << Info.Name;
    }
}

TEST_F(MariaDbCatalogTest, RowKeyIsThePrimaryKeyElseAUniqueNotNullIndex) {
    EXPECT_EQ(Connection->RowKey("Order Line"), (std::vector<std::string>{"`Order`", "`Item`"}));
    // AOnAB comes first by name but A may be NULL.
    EXPECT_EQ(Connection->RowKey("Loose"), (std::vector<std::string>{"`C`"}));
    try {
        Connection->RowKey("Keyless");
        ADD_FAILURE() << "a table without a usable key got one";
    } catch (const EDatabaseError& Error) {
        EXPECT_EQ(Error.Message(),
                  "TMariaDbConnection.RowKey() " + Connection->Description() +
                      ": Table 'Keyless' has no primary key and no unique index on NOT NULL "
                      "fields, which paging through a server table needs");
    }
}

TEST_F(MariaDbCatalogTest, UnknownTablesAreReportedByName) {
    EXPECT_TRUE(Connection->TableExists("Order Line"));
    EXPECT_FALSE(Connection->TableExists("order line")); // names are matched exactly
    EXPECT_FALSE(Connection->TableExists("Nowhere"));
    const std::string Prefix = " " + Connection->Description() + ": Table 'Nowhere' does not exist";
    const struct {
        const char* Operation;
        std::function<void()> Ask;
    } Cases[] = {
        {"TMariaDbConnection.Columns()", [&] { Connection->Columns("Nowhere"); }},
        {"TMariaDbConnection.Indexes()", [&] { Connection->Indexes("Nowhere"); }},
        {"TMariaDbConnection.RowKey()", [&] { Connection->RowKey("Nowhere"); }},
        {"TMariaDbConnection.EstimatedRowCount()",
         [&] { Connection->EstimatedRowCount("Nowhere"); }},
    };
    for (const auto& Case : Cases) {
        try {
            Case.Ask();
            ADD_FAILURE() << Case.Operation << " answered for a missing table";
        } catch (const EDatabaseError& Error) {
            EXPECT_EQ(Error.Message(), Case.Operation + Prefix);
        }
    }
}

TEST_F(MariaDbCatalogTest, CapabilitiesFollowCollationsAndIndexes) {
    const auto Column = [&](const std::string& Name) {
        for (const TColumnInfo& Info : Connection->Columns("Order Line"))
            if (Info.Name == Name)
                return Info;
        throw EDatabaseError("no column " + Name);
    };
    const struct {
        const char* Column;
        bool ComparesAsBytes;
    } Cases[] = {
        {"Code", false},  // CHAR drops trailing blanks
        {"Note", false},  // utf8mb4_bin pads with blanks
        {"Label", false}, // case-insensitive
        {"Body", true},   // the table's utf8mb4_nopad_bin
        {"Picture", false},
    };
    for (const auto& Case : Cases) {
        const TColumnInfo Info = Column(Case.Column);
        EXPECT_EQ(Connection->ComparesAsBytes("Order Line", Info), Case.ComparesAsBytes)
            << Case.Column;
        // The columns tell it already, so that a search need not ask.
        EXPECT_EQ(Info.ComparesAsBytes, std::optional<bool>(Case.ComparesAsBytes)) << Case.Column;
        // The walk of distinct values is left to SELECT DISTINCT, even on a leading index.
        EXPECT_FALSE(Connection->NextValueSearchesIndex("Order Line", Case.Column)) << Case.Column;
    }
    EXPECT_TRUE(Connection->HasMinimum(ftBoolean));
    EXPECT_FALSE(Connection->HasMinimum(ftMemo));
    EXPECT_FALSE(Connection->RefusesLikePattern(std::string(100000, '%')));
    EXPECT_EQ(Connection->SqlBackend(), sbMariaDB);
    EXPECT_FALSE(Connection->IsSequenced());
    EXPECT_FALSE(Connection->OrdersByIndexOnly());
}

TEST_F(MariaDbCatalogTest, RowEstimatesComeFromTheTableStatistics) {
    Exec("INSERT INTO Loose (A, B, C) SELECT seq, seq, seq FROM seq_1_to_500");
    Exec("ANALYZE TABLE Loose");
    ASSERT_NE(Connection->TableStatistics(), nullptr);
    const auto Estimate = Connection->TableStatistics()->EstimatedRowCount("Loose");
    ASSERT_TRUE(Estimate.has_value());
    EXPECT_GT(*Estimate, 250);
    EXPECT_LT(*Estimate, 1000);
    Exec("CREATE OR REPLACE VIEW LooseView AS SELECT A FROM Loose");
    EXPECT_FALSE(Connection->EstimatedRowCount("LooseView").has_value());
}

} // namespace
