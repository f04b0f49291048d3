#include "TestDatabase.h"

#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/DatabaseError.h"

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::TTempDatabase;

namespace {

TEST(FieldTypes, DeclaredColumnTypesMapToFieldTypes) {
    struct TCase {
        const char* Declared;
        TFieldType Type;
        int Size;
    };
    const TCase Cases[] = {
        {.Declared = "INTEGER", .Type = ftInteger, .Size = 0},
        {.Declared = "int", .Type = ftInteger, .Size = 0},
        {.Declared = "BIGINT", .Type = ftLargeint, .Size = 0},
        {.Declared = "SMALLINT", .Type = ftSmallint, .Size = 0},
        {.Declared = "REAL", .Type = ftFloat, .Size = 0},
        {.Declared = "FLOAT", .Type = ftFloat, .Size = 0},
        {.Declared = "DOUBLE PRECISION", .Type = ftFloat, .Size = 0},
        {.Declared = "NUMERIC(10,2)", .Type = ftBCD, .Size = 2},
        {.Declared = "DECIMAL(12, 4)", .Type = ftBCD, .Size = 4},
        {.Declared = "CURRENCY", .Type = ftCurrency, .Size = 0},
        {.Declared = "MONEY", .Type = ftCurrency, .Size = 0},
        {.Declared = "BOOLEAN", .Type = ftBoolean, .Size = 0},
        {.Declared = "DATE", .Type = ftDate, .Size = 0},
        {.Declared = "TIME", .Type = ftTime, .Size = 0},
        {.Declared = "DATETIME", .Type = ftDateTime, .Size = 0},
        {.Declared = "TIMESTAMP", .Type = ftDateTime, .Size = 0},
        {.Declared = "VARCHAR(40)", .Type = ftString, .Size = 40},
        {.Declared = "varchar (12)", .Type = ftString, .Size = 12},
        {.Declared = "TEXT(8)", .Type = ftString, .Size = 8},
        {.Declared = "CHAR(3)", .Type = ftFixedChar, .Size = 3},
        {.Declared = "TEXT", .Type = ftMemo, .Size = 0},
        {.Declared = "CLOB", .Type = ftMemo, .Size = 0},
        {.Declared = "MEMO", .Type = ftMemo, .Size = 0},
        {.Declared = "VARCHAR", .Type = ftMemo, .Size = 0},
        {.Declared = "BLOB", .Type = ftBlob, .Size = 0},
        {.Declared = "", .Type = ftUnknown, .Size = 0},
        {.Declared = "NVARCHAR(5)", .Type = ftWideString, .Size = 5},
        {.Declared = "UNSIGNED BIG INT", .Type = ftLargeint, .Size = 0},
    };
    for (const TCase& Case : Cases) {
        const TColumnInfo Column = DescribeSQLiteColumn("C", Case.Declared);
        EXPECT_EQ(Column.DataType, Case.Type) << Case.Declared;
        EXPECT_EQ(Column.Size, Case.Size) << Case.Declared;
    }
}

class FieldsTest : public ::testing::Test {
protected:
    void SetUp() override {
        Database.Execute("CREATE TABLE Country (Code CHAR(2) PRIMARY KEY, Name VARCHAR(30))");
        Database.Execute("CREATE TABLE City (ID INTEGER PRIMARY KEY, Name VARCHAR(30), "
                         "Country CHAR(2), Population INTEGER, Area REAL, Capital BOOLEAN, "
                         "Founded DATE, Notes TEXT, Photo BLOB)");
        Database.Execute("INSERT INTO Country VALUES ('RS', 'Srbija'), ('GR', 'Ellada')");
        Database.Execute("INSERT INTO City VALUES "
                         "(1, 'Beograd', 'RS', 1700000, 360.0, 1, '0279-01-01', 'big', x'0001'), "
                         "(2, 'Atina', 'GR', 660000, 39.0, 'true', NULL, NULL, NULL), "
                         "(3, 'Nowhere', 'XX', NULL, 0.5, 0, 'not a date', NULL, NULL), "
                         "(4, 'Nis', NULL, 260000, 597.0, NULL, '1878-01-10', NULL, NULL)");
        for (TTable* Table : {&Cities, &Countries})
            Table->SetDatabaseName(Database.Alias());
        Cities.SetTableName("City");
        Countries.SetTableName("Country");
    }

    TTempDatabase Database;
    TTable Countries{nullptr};
    TTable Cities{nullptr};
};

TEST_F(FieldsTest, DataFieldsReadAndConvertTheCurrentRecord) {
    Cities.Open();
    ASSERT_EQ(Cities.FieldCount(), 9);
    TField* Capital = Cities.FieldByName("Capital");
    TField* Founded = Cities.FieldByName("Founded");
    EXPECT_EQ(Capital->DataType(), ftBoolean);
    EXPECT_EQ(Capital->Index(), 5);
    EXPECT_EQ(Cities.FieldByName("Country")->DataType(), ftFixedChar);
    EXPECT_TRUE(Cities.FieldByName("Notes")->IsBlob());
    EXPECT_TRUE(Cities.FieldByName("Photo")->IsBlob());
    EXPECT_FALSE(Cities.FieldByName("Name")->IsBlob());
    EXPECT_EQ(Cities.FieldByName("Name")->FieldKind(), fkData);
    EXPECT_EQ(Cities.FieldByName("Name")->DataSet(), &Cities);
    EXPECT_EQ(Cities.FindField("name"), nullptr) << "names match exactly";

    EXPECT_TRUE(Capital->AsBoolean());
    EXPECT_EQ(Capital->AsString(), "True");
    EXPECT_EQ(Founded->AsString(), "0279-01-01");
    EXPECT_EQ(Founded->Value().VarType(), varDateTime);
    EXPECT_EQ(Cities.FieldByName("Photo")->AsString(), std::string("\0\1", 2));
    Cities.Next();
    EXPECT_TRUE(Capital->AsBoolean()) << "'true' is read as a boolean";
    EXPECT_TRUE(Founded->IsNull());
    EXPECT_EQ(Founded->AsString(), "");
    Cities.Next();
    EXPECT_FALSE(Capital->AsBoolean());
    EXPECT_EQ(Cities.FieldByName("Population")->AsInteger(), 0) << "null reads as 0";
    EXPECT_EQ(Founded->AsString(), "not a date") << "text that is no date stays text";
    try {
        Founded->AsDateTime();
        FAIL() << "a text that is no date converted";
    } catch (const EConvertError& Error) {
        EXPECT_NE(Error.Message().find("Founded"), std::string::npos) << Error.Message();
    }
    EXPECT_THROW(Cities.FieldByName("Name")->SetAsString("x"), EDatabaseError);
}

TEST_F(FieldsTest, CalculatedAndLookupFieldsFollowTheRecord) {
    TField* Density = Cities.AddCalculatedField("Density", ftFloat);
    TField* CountryName =
        Cities.AddLookupField("CountryName", ftString, &Countries, "Country", "Code", "Name", 30);
    int Calculations = 0;
    Cities.OnCalcFields = [&](TDataSet* DataSet) {
        ++Calculations;
        EXPECT_EQ(DataSet->State(), dsCalcFields);
        const TField* Area = DataSet->FieldByName("Area");
        if (!DataSet->FieldByName("Population")->IsNull())
            DataSet->FieldByName("Density")->SetAsFloat(
                DataSet->FieldByName("Population")->AsFloat() / Area->AsFloat());
    };
    EXPECT_THROW(Cities.AddCalculatedField("Density", ftFloat), EDatabaseError);
    Countries.Open();
    Cities.Open();
    EXPECT_EQ(Cities.FieldCount(), 11);
    EXPECT_EQ(Density->Index(), 9);
    EXPECT_EQ(Density->FieldKind(), fkCalculated);
    EXPECT_EQ(CountryName->FieldKind(), fkLookup);
    EXPECT_THROW(Cities.AddCalculatedField("Late", ftFloat), EDatabaseError);

    struct TExpected {
        const char* Country;
        bool HasDensity;
        double Density;
    };
    const TExpected Rows[] = {{.Country = "Srbija", .HasDensity = true, .Density = 1700000 / 360.0},
                              {.Country = "Ellada", .HasDensity = true, .Density = 660000 / 39.0},
                              {.Country = "", .HasDensity = false, .Density = 0},
                              {.Country = "", .HasDensity = true, .Density = 260000 / 597.0}};
    int Row = 0;
    for (Cities.First(); !Cities.Eof(); Cities.Next(), ++Row) {
        EXPECT_EQ(CountryName->AsString(), Rows[Row].Country) << Row;
        EXPECT_EQ(Density->IsNull(), !Rows[Row].HasDensity) << Row;
        EXPECT_DOUBLE_EQ(Density->AsFloat(), Rows[Row].Density) << Row;
        EXPECT_EQ(Cities.State(), dsBrowse);
    }
    EXPECT_EQ(Calculations, 4) << "once per record, when a value is asked for";
    EXPECT_EQ(Countries.FieldByName("Code")->AsString(), "GR") << "the lookup does not move";

    Countries.Close();
    Cities.First();
    EXPECT_TRUE(CountryName->IsNull()) << "a closed lookup dataset finds nothing";
    EXPECT_THROW(Density->SetAsFloat(1), EDatabaseError) << "outside OnCalcFields";
    Cities.Close();
    Cities.Open();
    EXPECT_EQ(Cities.FieldCount(), 11) << "defined fields stay across Close and Open";
}

TEST_F(FieldsTest, FreeingTheLookupDataSetDropsItFromTheField) {
    auto* Lookup = new TTable(nullptr);
    TField* Field =
        Cities.AddLookupField("CountryName", ftString, Lookup, "Country", "Code", "Name");
    EXPECT_EQ(Field->LookupDataSet(), Lookup);
    delete Lookup;
    EXPECT_EQ(Field->LookupDataSet(), nullptr);
    Cities.Open();
    EXPECT_TRUE(Field->IsNull());
    EXPECT_THROW(Cities.AddLookupField("Bad", ftString, &Countries, "Country;Name", "Code", "Name"),
                 EDatabaseError);
}

TEST_F(FieldsTest, FieldsKeptAcrossCloseAndOpenStayUsable) {
    Cities.Open();
    TField* Name = Cities.FieldByName("Name");
    Cities.Close();
    EXPECT_EQ(Cities.FieldCount(), 0);
    EXPECT_THROW(Name->AsString(), EDatabaseError);
    Cities.Open();
    EXPECT_EQ(Cities.FieldByName("Name"), Name);
    EXPECT_EQ(Name->AsString(), "Beograd");
}

} // namespace
