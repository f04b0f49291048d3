#include "PgTestDatabase.h"

#include "host/data/drivers/DatabaseError.h"

#include <gmock/gmock.h>

using namespace vorn;
using ::testing::HasSubstr;
using vorn::test::PgTest;

namespace {

std::string Joined(const std::vector<std::string>& Parts) {
    std::string Text;
    for (const std::string& Part : Parts)
        Text += (Text.empty() ? "" : ";") + Part;
    return Text;
}

std::string Describe(const TIndexInfo& Index) {
    return Index.Name + "(" + Joined(Index.Fields) + ")" + (Index.Unique ? " unique" : "") +
           (Index.Primary ? " primary" : "");
}

} // namespace

TEST_F(PgTest, ColumnTypesMapToFieldTypes) {
    Exec("DROP TABLE IF EXISTS typed");
    Exec("DROP DOMAIN IF EXISTS short_name");
    Exec("CREATE DOMAIN short_name AS varchar(12)");
    Exec("CREATE TABLE typed (a_int integer, a_int4 int4, a_big bigint, a_small smallint, "
         "a_serial serial, a_bigserial bigserial, a_ident integer GENERATED ALWAYS AS IDENTITY, "
         "a_num numeric(10,2), a_num_plain numeric, a_money money, a_real real, "
         "a_double double precision, a_bool boolean, a_date date, a_time time, "
         "a_stamp timestamp, a_stamptz timestamptz, a_varchar varchar(30), "
         "a_varying character varying, a_char char(5), a_text text, a_bytea bytea, "
         "a_domain short_name, a_uuid uuid)");
    Exec("ALTER TABLE typed DROP COLUMN a_int4");
    const struct {
        const char* Name;
        TFieldType Type;
        int Size;
        const char* Declared;
    } Expected[] = {
        {"a_int", ftInteger, 0, "integer"},
        {"a_big", ftLargeint, 0, "bigint"},
        {"a_small", ftSmallint, 0, "smallint"},
        {"a_serial", ftAutoInc, 0, "integer"},
        {"a_bigserial", ftAutoInc, 0, "bigint"},
        {"a_ident", ftAutoInc, 0, "integer"},
        {"a_num", ftBCD, 2, "numeric(10,2)"},
        {"a_num_plain", ftBCD, 0, "numeric"},
        {"a_money", ftCurrency, 0, "money"},
        {"a_real", ftFloat, 0, "real"},
        {"a_double", ftFloat, 0, "double precision"},
        {"a_bool", ftBoolean, 0, "boolean"},
        {"a_date", ftDate, 0, "date"},
        {"a_time", ftTime, 0, "time without time zone"},
        {"a_stamp", ftDateTime, 0, "timestamp without time zone"},
        {"a_stamptz", ftDateTime, 0, "timestamp with time zone"},
        {"a_varchar", ftString, 30, "character varying(30)"},
        {"a_varying", ftString, 0, "character varying"},
        {"a_char", ftFixedChar, 5, "character(5)"},
        {"a_text", ftMemo, 0, "text"},
        {"a_bytea", ftBlob, 0, "bytea"},
        {"a_domain", ftString, 12, "short_name"},
        {"a_uuid", ftMemo, 0, "uuid"},
    };
    const std::vector<TColumnInfo> Columns = Connection->Columns("typed");
    ASSERT_EQ(Columns.size(), std::size(Expected)) << "a dropped column is not listed";
    for (std::size_t Index = 0; Index < Columns.size(); ++Index) {
        EXPECT_EQ(Columns[Index].Name, Expected[Index].Name);
        EXPECT_EQ(Columns[Index].DataType, Expected[Index].Type) << Expected[Index].Name;
        EXPECT_EQ(Columns[Index].Size, Expected[Index].Size) << Expected[Index].Name;
        EXPECT_EQ(Columns[Index].DeclaredType, Expected[Index].Declared);
    }
    // A query's columns are described the same way (without the sequence behind serial).
    auto Cursor = Connection->Execute("SELECT a_num, a_char, a_serial, a_time FROM typed", {});
    ASSERT_EQ(Cursor->FieldCount(), 4);
    EXPECT_EQ(Cursor->Column(0).DataType, ftBCD);
    EXPECT_EQ(Cursor->Column(0).Size, 2);
    EXPECT_EQ(Cursor->Column(1).DataType, ftFixedChar);
    EXPECT_EQ(Cursor->Column(1).Size, 5);
    EXPECT_EQ(Cursor->Column(2).DataType, ftInteger);
    EXPECT_EQ(Cursor->Column(3).DataType, ftTime);
}

TEST_F(PgTest, ValuesComeBackAsTheirTypes) {
    Exec("DROP TABLE IF EXISTS valued");
    Exec("CREATE TABLE valued (id integer PRIMARY KEY, a_big bigint, a_num numeric(10,2), "
         "a_money money, a_real real, a_bool boolean, a_date date, a_time time, "
         "a_stamp timestamp, a_bytea bytea, a_char char(5), a_none text)");
    std::string AllBytes;
    for (int Byte = 0; Byte < 256; ++Byte)
        AllBytes += static_cast<char>(Byte);
    TDateTime Stamp = 0, Date = 0, Time = 0;
    ASSERT_TRUE(TryParseDateTime("2024-02-29 13:45:30.123456", Stamp));
    ASSERT_TRUE(TryParseDateTime("2024-02-29", Date));
    ASSERT_TRUE(TryParseDateTime("13:45:30.25", Time));
    Connection->ExecuteCommand("INSERT INTO valued VALUES (1, $1, $2, $3, $4, $5, $6, $7, $8, "
                               "decode($9, 'hex'), $10, $11)",
                               {std::int64_t{9007199254740993}, 12.34, -1234.56, 0.5, true,
                                TVariant::FromDateTime(Date), TVariant::FromDateTime(Time),
                                TVariant::FromDateTime(Stamp),
                                "000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f"
                                "202122232425262728292a2b2c2d2e2f303132333435363738393a3b3c3d3e3f"
                                "404142434445464748494a4b4c4d4e4f505152535455565758595a5b5c5d5e5f"
                                "606162636465666768696a6b6c6d6e6f707172737475767778797a7b7c7d7e7f"
                                "808182838485868788898a8b8c8d8e8f909192939495969798999a9b9c9d9e9f"
                                "a0a1a2a3a4a5a6a7a8a9aaabacadaeafb0b1b2b3b4b5b6b7b8b9babbbcbdbebf"
                                "c0c1c2c3c4c5c6c7c8c9cacbcccdcecfd0d1d2d3d4d5d6d7d8d9dadbdcdddedf"
                                "e0e1e2e3e4e5e6e7e8e9eaebecedeeeff0f1f2f3f4f5f6f7f8f9fafbfcfdfeff",
                                "ab", TVariant::Null()});
    auto Row = Connection->Execute("SELECT * FROM valued", {});
    ASSERT_TRUE(Row->Next());
    const struct {
        TVarType Type;
        TVariant Value;
    } Expected[] = {
        {varInteger, 1},
        {varInteger, std::int64_t{9007199254740993}},
        {varFloat, 12.34},
        {varFloat, -1234.56},
        {varFloat, 0.5},
        {varBoolean, true},
        {varDateTime, TVariant::FromDateTime(Date)},
        {varDateTime, TVariant::FromDateTime(Time)},
        {varDateTime, TVariant::FromDateTime(Stamp)},
        {varString, AllBytes},
        {varString, "ab   "},
        {varNull, TVariant::Null()},
    };
    ASSERT_EQ(Row->FieldCount(), static_cast<int>(std::size(Expected)));
    for (int Column = 0; Column < Row->FieldCount(); ++Column) {
        const TVariant Value = Row->Value(Column);
        EXPECT_EQ(Value.VarType(), Expected[Column].Type) << Row->Column(Column).Name;
        EXPECT_EQ(Value.Compare(Expected[Column].Value), 0) << Row->Column(Column).Name;
    }
    // A timestamp read back finds its row again: the microseconds survive the trip.
    EXPECT_EQ(Column("SELECT id FROM valued WHERE a_stamp = $1", {Row->Value(8)}),
              std::vector<std::string>{"1"});
}

TEST_F(PgTest, IndexesListPrimaryKeyFirstThenByNameWithoutExpressionOrPartialOnes) {
    Exec("DROP TABLE IF EXISTS indexed");
    Exec("CREATE TABLE indexed (a integer, b integer, c integer, t text, "
         "CONSTRAINT indexed_pk PRIMARY KEY (b, a))");
    Exec("CREATE UNIQUE INDEX by_c ON indexed (c)");
    Exec("CREATE INDEX by_t_c ON indexed (t, c DESC) INCLUDE (a)");
    Exec("CREATE INDEX a_lower_t ON indexed (lower(t))");
    Exec("CREATE INDEX a_positive_c ON indexed (c) WHERE c > 0");
    const std::vector<std::string> Expected{"indexed_pk(b;a) unique primary", "by_c(c) unique",
                                            "by_t_c(t;c)"};
    // Asked alone, and with the columns and the row key in one statement.
    for (const std::vector<TIndexInfo>& Indexes :
         {Connection->Indexes("indexed"), Connection->Schema("indexed").Indexes}) {
        std::vector<std::string> Described;
        for (const TIndexInfo& Index : Indexes)
            Described.push_back(Describe(Index));
        EXPECT_EQ(Described, Expected);
    }
}

// Each key column's direction, and where its NULLs lie with the column read ascending.
TEST_F(PgTest, IndexesTellEachFieldsDirectionAndNullPlacement) {
    Exec("DROP TABLE IF EXISTS directed");
    Exec("CREATE TABLE directed (a integer, b integer)");
    const struct {
        const char* Columns;
        std::vector<bool> Descending; // empty: every field ascends
        std::vector<bool> NullsFirst;
    } Cases[] = {
        {"a, b", {}, {false, false}},
        {"a NULLS FIRST, b", {}, {true, false}},
        {"a DESC, b", {true, false}, {false, false}},
        {"a, b DESC NULLS LAST", {false, true}, {false, true}},
        {"a DESC NULLS LAST, b DESC NULLS FIRST", {true, true}, {true, false}},
    };
    for (const auto& Case : Cases) {
        Exec("DROP INDEX IF EXISTS by_direction");
        Exec(std::string("CREATE INDEX by_direction ON directed (") + Case.Columns + ")");
        const std::vector<TIndexInfo> Indexes = Connection->Indexes("directed");
        ASSERT_EQ(Indexes.size(), 1u) << Case.Columns;
        EXPECT_EQ(Indexes[0].Descending, Case.Descending) << Case.Columns;
        EXPECT_EQ(Indexes[0].NullsFirst, Case.NullsFirst) << Case.Columns;
    }
}

TEST_F(PgTest, SchemaQualifiedAndMixedCaseNamesAreMatchedExactly) {
    Exec("DROP SCHEMA IF EXISTS sales CASCADE");
    Exec("CREATE SCHEMA sales");
    Exec("CREATE TABLE sales.\"Orders\" (\"OrderNo\" integer PRIMARY KEY, \"CustNo\" integer, "
         "\"Say \"\"hi\"\"\" text)");
    Exec("CREATE INDEX \"ByCustNo\" ON sales.\"Orders\" (\"CustNo\")");
    Exec("CREATE TABLE sales.orders (id integer)");
    Exec("INSERT INTO sales.\"Orders\" VALUES (1, 10, 'x')");

    const struct {
        const char* Table;
        bool Exists;
    } Tables[] = {{"sales.Orders", true},         {"sales.orders", true},
                  {"sales.ORDERS", false},        {"Orders", false},
                  {"\"sales\".\"Orders\"", true}, {"nowhere.Orders", false},
                  {"pg_catalog.pg_class", true},  {"information_schema.tables", true}};
    for (const auto& Case : Tables)
        EXPECT_EQ(Connection->TableExists(Case.Table), Case.Exists) << Case.Table;

    std::vector<std::string> Names;
    for (const TColumnInfo& Column : Connection->Columns("sales.Orders"))
        Names.push_back(Column.Name);
    EXPECT_EQ(Names, (std::vector<std::string>{"OrderNo", "CustNo", "Say \"hi\""}));
    EXPECT_EQ(Connection->Columns("sales.orders").size(), 1u);
    ASSERT_EQ(Connection->Indexes("sales.Orders").size(), 2u);
    EXPECT_EQ(Describe(Connection->Indexes("sales.Orders")[1]), "ByCustNo(CustNo)");
    EXPECT_EQ(Connection->RowKey("sales.Orders"), std::vector<std::string>{"\"OrderNo\""});

    const std::string Sql = "SELECT " + Connection->QuoteIdentifier("Say \"hi\"") + " FROM " +
                            Connection->QuoteTableName("sales.Orders") + " WHERE " +
                            Connection->QuoteIdentifier("CustNo") + " = $1";
    EXPECT_EQ(Column(Sql, {10}), std::vector<std::string>{"x"});
}

TEST_F(PgTest, QuoteTableNameQuotesEveryPartOrRaises) {
    const struct {
        const char* Table;
        const char* Quoted; // nullptr: the name is refused
    } Cases[] = {
        {"customer", "\"customer\""},
        {"public.customer", "\"public\".\"customer\""},
        {"sales.Orders", "\"sales\".\"Orders\""},
        {"\"odd.name\"", "\"odd.name\""},
        {"s.\"a\"\"b\"", "\"s\".\"a\"\"b\""},
        {"x\"; DROP TABLE y; --", "\"x\"\"; DROP TABLE y; --\""},
        {"", nullptr},
        {"a.b.c", nullptr},
        {".a", nullptr},
        {"a.", nullptr},
        {"\"open", nullptr},
        {"\"a\"b", nullptr},
    };
    for (const auto& Case : Cases) {
        if (Case.Quoted)
            EXPECT_EQ(Connection->QuoteTableName(Case.Table), Case.Quoted) << Case.Table;
        else
            EXPECT_THROW(Connection->QuoteTableName(Case.Table), EDatabaseError) << Case.Table;
    }
}

TEST_F(PgTest, RowKeyNeedsAPrimaryKeyOrAUniqueIndexOnNotNullFields) {
    const struct {
        const char* Table;
        const char* Definition;
        const char* Index;
        const char* Key; // nullptr: no key, RowKey raises
    } Cases[] = {
        {"keyed", "(a integer, b integer, PRIMARY KEY (b, a))", nullptr, "\"b\";\"a\""},
        {"unique_not_null", "(a integer NOT NULL, b integer NOT NULL, c integer UNIQUE)",
         "CREATE UNIQUE INDEX z_ab ON unique_not_null (a, b)", "\"a\";\"b\""},
        {"unique_nullable", "(a integer UNIQUE, b integer)", nullptr, nullptr},
        {"unindexed", "(a integer NOT NULL)", "CREATE INDEX plain ON unindexed (a)", nullptr},
    };
    for (const auto& Case : Cases) {
        Exec(std::string("DROP TABLE IF EXISTS ") + Case.Table);
        Exec(std::string("CREATE TABLE ") + Case.Table + " " + Case.Definition);
        if (Case.Index)
            Exec(Case.Index);
        if (Case.Key) {
            EXPECT_EQ(Joined(Connection->RowKey(Case.Table)), Case.Key) << Case.Table;
            const TTableSchema Schema = Connection->Schema(Case.Table);
            EXPECT_EQ(Joined(Schema.RowKey), Case.Key) << Case.Table;
            EXPECT_EQ(Schema.Columns.size(), Connection->Columns(Case.Table).size()) << Case.Table;
            EXPECT_EQ(Schema.Indexes.size(), Connection->Indexes(Case.Table).size()) << Case.Table;
            continue;
        }
        for (const auto& Ask : std::vector<std::function<void()>>{
                 [&] { Connection->RowKey(Case.Table); },
                 [&] { Connection->Schema(Case.Table); },
             }) {
            try {
                Ask();
                ADD_FAILURE() << Case.Table << " got a row key";
            } catch (const EDatabaseError& Error) {
                EXPECT_THAT(Error.Message(), HasSubstr("has no primary key")) << Case.Table;
            }
        }
    }
}

TEST_F(PgTest, CatalogQuestionsAboutAMissingTableRaise) {
    for (const auto& Ask : std::vector<std::function<void()>>{
             [&] { Connection->Columns("vorn_nowhere"); },
             [&] { Connection->Indexes("vorn_nowhere"); },
             [&] { Connection->RowKey("vorn_nowhere"); },
             [&] { Connection->Schema("vorn_nowhere"); },
             [&] { Connection->EstimatedRowCount("vorn_nowhere"); },
         }) {
        try {
            Ask();
            ADD_FAILURE() << "no error";
        } catch (const EDatabaseError& Error) {
            EXPECT_THAT(Error.Message(), HasSubstr("Table 'vorn_nowhere' does not exist"));
        }
    }
    EXPECT_FALSE(Connection->TableExists("vorn_nowhere"));
    // A table without columns exists all the same.
    Exec("DROP TABLE IF EXISTS vorn_no_columns");
    Exec("CREATE TABLE vorn_no_columns ()");
    EXPECT_TRUE(Connection->Columns("vorn_no_columns").empty());
    EXPECT_TRUE(Connection->Indexes("vorn_no_columns").empty());
    EXPECT_FALSE(Connection->TableExists("pg_catalog.pg_class_oid_index")) << "an index";
}
