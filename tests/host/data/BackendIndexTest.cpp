#include "BackendFixture.h"

#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/DatabaseError.h"

#include <gtest/gtest.h>

using namespace vorn;
using vorn::test::BackendTest;
using vorn::test::BackendTestName;
using vorn::test::ReadingBackends;

namespace {

std::string IndexFieldList(const TTable& Table) {
    std::string Result;
    for (int Index = 0; Index < Table.IndexFieldCount(); ++Index)
        Result += (Index == 0 ? "" : ";") + Table.IndexFields(Index)->FieldName();
    return Result;
}

std::string Names(TTable& Table, const char* Field) {
    std::string Result;
    for (Table.First(); !Table.Eof(); Table.Next())
        Result += (Result.empty() ? "" : ",") + Table.FieldByName(Field)->AsString();
    return Result;
}

class TableIndexTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        Database->Execute(
            "CREATE TABLE \"Customer\" (\"CustNo\" INTEGER PRIMARY KEY, "
            "\"Company\" VARCHAR(30), \"City\" VARCHAR(20), \"Country\" VARCHAR(20))");
        Database->Execute("CREATE INDEX \"ByCity\" ON \"Customer\" (\"City\", \"Company\")");
        Database->Execute("CREATE UNIQUE INDEX \"ByCompany\" ON \"Customer\" (\"Company\")");
        if (Database->IsMariaDB()) {
            // MariaDB has no expression or partial indexes; one on a prefix of a column is
            // left out the same way.
            Database->Execute(
                "CREATE INDEX \"ByCompanyPrefix\" ON \"Customer\" (\"Company\"(3), \"City\")");
        } else {
            Database->Execute("CREATE INDEX \"ByUpper\" ON \"Customer\" (upper(\"Company\"))");
            Database->Execute("CREATE INDEX \"ByCountryPartial\" ON \"Customer\" (\"Country\") "
                              "WHERE \"Country\" <> ''");
        }
        Database->Execute("INSERT INTO \"Customer\" VALUES (1, 'Zeta', 'Nis', 'RS'), "
                          "(2, 'Alfa', 'Beograd', 'RS'), (3, 'Beta', 'Atina', 'GR'), "
                          "(4, 'Gama', 'Beograd', 'RS')");
        Customer.SetDatabaseName(Database->Alias());
        Customer.SetTableName("Customer");
    }

    TTable Customer{nullptr};
};

TEST_P(TableIndexTest, IndexDefsComeFromTheCatalog) {
    Customer.IndexDefs()->Update();
    std::vector<std::string> Seen;
    for (int Index = 0; Index < Customer.IndexDefs()->Count(); ++Index) {
        const TIndexDef* Def = Customer.IndexDefs()->Items(Index);
        Seen.push_back(Def->Name() + ":" + Def->Fields() +
                       (Def->Options().Contains(ixPrimary) ? ":primary" : "") +
                       (Def->Options().Contains(ixUnique) ? ":unique" : ""));
    }
    // The primary key first (SQLite's INTEGER PRIMARY KEY too, which it does not list);
    // expression and partial indexes are not listed.
    // MariaDB calls every primary key PRIMARY.
    const std::string Primary =
        Database->IsSQLite() || Database->IsMariaDB() ? "PRIMARY" : "Customer_pkey";
    EXPECT_EQ(Seen, (std::vector<std::string>{Primary + ":CustNo:primary:unique",
                                              "ByCity:City;Company", "ByCompany:Company:unique"}));
    EXPECT_THROW(Customer.IndexDefs()->Items(3), EListError);
}

// The catalog tells which fields an index keeps descending; an index whose fields all
// descend is ixDescending, and naming it orders the table descending.
// IndexName orders by the named index's fields ascending, as it did before indexes told
// their directions: IndexFieldNames is where an application names a direction.
TEST_P(TableIndexTest, IndexDefsReportDescendingFieldsAndIndexNameKeepsItsFieldsAscending) {
    Database->Execute("CREATE INDEX \"ByCityDesc\" ON \"Customer\" (\"City\" DESC)");
    Database->Execute(
        "CREATE INDEX \"ByCountryCity\" ON \"Customer\" (\"Country\", \"City\" DESC)");
    Database->Execute("CREATE UNIQUE INDEX \"ByNameDesc\" ON \"Customer\" "
                      "(\"Company\" DESC, \"City\" DESC)");
    const struct {
        const char* Name;
        const char* DescFields;
        bool AllDescend;
        const char* Companies; // in the order that IndexName gives
    } Cases[] = {
        {"ByCity", "", false, "Beta,Alfa,Gama,Zeta"},
        {"ByCityDesc", "City", true, "Beta,Alfa,Gama,Zeta"},
        {"ByCountryCity", "City", false, "Beta,Alfa,Gama,Zeta"},
        {"ByNameDesc", "Company;City", true, "Alfa,Beta,Gama,Zeta"},
    };
    Customer.Open();
    for (const auto& Case : Cases) {
        const TIndexDef* Def = Customer.IndexDefs()->Find(Case.Name);
        ASSERT_NE(Def, nullptr) << Case.Name;
        EXPECT_EQ(Def->DescFields(), Case.DescFields) << Case.Name;
        EXPECT_EQ(Def->Options().Contains(ixDescending), Case.AllDescend) << Case.Name;
        Customer.SetIndexName(Case.Name);
        EXPECT_EQ(Names(Customer, "Company"), Case.Companies) << Case.Name;
        EXPECT_FALSE(Customer.IndexFieldDescending(0)) << Case.Name;
    }
    // An order without a descending field takes any index that begins with its names, as
    // the local database needs one: here only the index that keeps City descending.
    Customer.SetIndexFieldNames("Country;City");
    EXPECT_EQ(IndexFieldList(Customer), "Country;City");
    EXPECT_EQ(Names(Customer, "Company"), "Beta,Alfa,Gama,Zeta");
}

TEST_P(TableIndexTest, DefaultOrderIsThePrimaryKeyAndTheIndexFieldsFollowTheOrder) {
    Customer.Open();
    EXPECT_EQ(Customer.IsSequenced(), Database->IsSQLite()) << "a local file, or a server table";
    EXPECT_EQ(IndexFieldList(Customer), "CustNo");
    EXPECT_EQ(Names(Customer, "Company"), "Zeta,Alfa,Beta,Gama");
    Customer.SetIndexName("ByCity");
    EXPECT_EQ(Customer.IndexFieldNames(), "");
    EXPECT_EQ(IndexFieldList(Customer), "City;Company");
    EXPECT_EQ(Names(Customer, "Company"), "Beta,Alfa,Gama,Zeta");
    Customer.SetIndexFieldNames("Company");
    EXPECT_EQ(Customer.IndexName(), "");
    EXPECT_EQ(IndexFieldList(Customer), "Company");
    Customer.SetIndexFieldNames("");
    EXPECT_EQ(IndexFieldList(Customer), "CustNo");
    EXPECT_EQ(Names(Customer, "Company"), "Zeta,Alfa,Beta,Gama");
}

// A local table orders only by the leading fields of an index; a server table by any
// fields it has.
TEST_P(TableIndexTest, OrdersThatTheTableCannotTakeAreRejectedAndTheOrderStays) {
    struct TCase {
        const char* Fields;
        const char* MessagePart;
    };
    const bool ByIndexOnly = Database->IsSQLite();
    const TCase Cases[] = {
        {"City", nullptr},
        {"City;Company", nullptr},
        {"Company;City", ByIndexOnly ? "'Company;City'" : nullptr},
        {"Country", ByIndexOnly ? "'Country'" : nullptr},
        {"city", "Field 'city' not found"},
        {"Nope", "Field 'Nope' not found"},
        {"City;", "Field '' not found"},
        {"City:D", nullptr},
        {"City:D;Company:D", nullptr},
        {"City:D;Company", ByIndexOnly ? "'City:D;Company'" : nullptr},
        {"Nope:D", "Field 'Nope' not found"},
        {"City;Nope:D", "Field 'Nope' not found"},
    };
    Customer.Open();
    Customer.SetIndexFieldNames("Company");
    Customer.Locate("Company", TVariant("Beta"), {});
    int Notifications = 0;
    TDataSource Source(nullptr);
    Source.SetDataSet(&Customer);
    struct TCountingLink : TDataLink {
        int* Count;
        void DataSetChanged() override { ++*Count; }
    } Link;
    Link.Count = &Notifications;
    Link.SetDataSource(&Source);
    for (const TCase& Case : Cases) {
        Customer.SetIndexFieldNames("Company");
        Customer.Locate("Company", TVariant("Beta"), {});
        Notifications = 0;
        if (Case.MessagePart == nullptr) {
            Customer.SetIndexFieldNames(Case.Fields);
            EXPECT_EQ(Customer.IndexFieldNames(), Case.Fields);
            EXPECT_EQ(Notifications, 1) << Case.Fields;
            EXPECT_EQ(Customer.FieldByName("Company")->AsString(), "Beta")
                << "the current record stays";
            continue;
        }
        try {
            Customer.SetIndexFieldNames(Case.Fields);
            ADD_FAILURE() << Case.Fields << " was accepted";
        } catch (const EDatabaseError& Error) {
            EXPECT_NE(Error.Message().find(Case.MessagePart), std::string::npos) << Error.Message();
        }
        EXPECT_EQ(Customer.IndexFieldNames(), "Company") << Case.Fields;
        EXPECT_EQ(IndexFieldList(Customer), "Company");
        EXPECT_EQ(Notifications, 0);
        EXPECT_EQ(Customer.FieldByName("Company")->AsString(), "Beta");
        EXPECT_EQ(Names(Customer, "Company"), "Alfa,Beta,Gama,Zeta");
    }
}

TEST_P(TableIndexTest, AnInvalidOrderOnAClosedTableFailsAtOpenAndLeavesItClosed) {
    Customer.SetIndexFieldNames(Database->IsSQLite() ? "Country" : "Nope");
    EXPECT_THROW(Customer.Open(), EDatabaseError);
    EXPECT_FALSE(Customer.Active());
    Customer.SetIndexName("NoSuchIndex");
    EXPECT_THROW(Customer.Open(), EDatabaseError);
    EXPECT_FALSE(Customer.Active());
    Customer.SetIndexName("ByCompany");
    Customer.Open();
    EXPECT_EQ(Names(Customer, "Company"), "Alfa,Beta,Gama,Zeta");
}

class MasterDetailTest : public BackendTest {
protected:
    void SetUp() override {
        BackendTest::SetUp();
        Database->Execute("CREATE TABLE \"Customer\" (\"CustNo\" INTEGER PRIMARY KEY, "
                          "\"Company\" VARCHAR(30))");
        Database->Execute("CREATE TABLE \"Orders\" (\"OrderNo\" INTEGER PRIMARY KEY, "
                          "\"CustNo\" INTEGER, \"OrderDate\" DATE)");
        Database->Execute("CREATE INDEX \"OrdersCust\" ON \"Orders\" (\"CustNo\", \"OrderDate\")");
        Database->Execute(
            "INSERT INTO \"Customer\" VALUES (1, 'A'), (2, 'B'), (3, 'C'), (4, NULL)");
        Database->Execute("INSERT INTO \"Orders\" VALUES (10, 1, '2024-03-01'), "
                          "(11, 2, '2024-01-05'), (12, 1, '2024-01-01'), (13, 2, NULL), "
                          "(14, NULL, '2024-02-02'), (15, 1, '2024-02-01')");
        Master->SetDatabaseName(Database->Alias());
        Master->SetTableName("Customer");
        MasterSource->SetDataSet(Master);
        Detail->SetDatabaseName(Database->Alias());
        Detail->SetTableName("Orders");
        Detail->SetIndexFieldNames("CustNo;OrderDate");
        Detail->SetMasterSource(MasterSource);
        Detail->SetMasterFields("CustNo");
        DetailSource->SetDataSet(Detail);
        Link.SetDataSource(DetailSource);
    }

    struct TCountingLink : TDataLink {
        int Changes = 0;
        void DataSetChanged() override { ++Changes; }
    };

    TComponent Owner{nullptr};
    TTable* Master = new TTable(&Owner);
    TDataSource* MasterSource = new TDataSource(&Owner);
    TTable* Detail = new TTable(&Owner);
    TDataSource* DetailSource = new TDataSource(&Owner);
    TCountingLink Link;
};

TEST_P(MasterDetailTest, TheDetailFollowsTheMastersMoves) {
    Master->Open();
    Detail->SetPageSize(1);
    Detail->Open();
    EXPECT_EQ(Names(*Detail, "OrderNo"), "12,15,10");
    const int Before = Link.Changes;
    Master->Next();
    EXPECT_EQ(Link.Changes, Before + 1) << "a master move re-reads the detail";
    EXPECT_EQ(Names(*Detail, "OrderNo"), "13,11");
    Master->Next();
    EXPECT_TRUE(Detail->IsEmpty());
    Master->Locate("CustNo", TVariant(1), {});
    EXPECT_EQ(Names(*Detail, "OrderNo"), "12,15,10");
    EXPECT_FALSE(Detail->Locate("OrderNo", TVariant(11), {})) << "outside the master's records";
    Detail->Last();
    EXPECT_EQ(Detail->FieldByName("OrderNo")->AsInteger(), 10);
}

TEST_P(MasterDetailTest, AClosedOrMissingMasterRestrictsNothing) {
    Detail->Open();
    EXPECT_EQ(Names(*Detail, "OrderNo"), "14,12,15,10,13,11");
    Master->Open();
    EXPECT_EQ(Names(*Detail, "OrderNo"), "12,15,10");
    Master->Close();
    EXPECT_EQ(Names(*Detail, "OrderNo"), "14,12,15,10,13,11");
    Master->Open();
    delete MasterSource;
    EXPECT_EQ(Detail->MasterSource(), nullptr);
    EXPECT_EQ(Names(*Detail, "OrderNo"), "14,12,15,10,13,11");
}

TEST_P(MasterDetailTest, MasterFieldsMustMatchLeadingOrderFields) {
    Master->Open();
    Detail->Open();
    EXPECT_THROW(Detail->SetMasterFields("CustNo;Company;CustNo"), EDatabaseError);
    EXPECT_EQ(Detail->MasterFields(), "CustNo");
    EXPECT_EQ(Names(*Detail, "OrderNo"), "12,15,10");
    EXPECT_THROW(Detail->SetMasterFields("NoSuchField"), EDatabaseError);
    EXPECT_EQ(Detail->MasterFields(), "CustNo");
    EXPECT_THROW(Detail->SetMasterSource(DetailSource), EDatabaseError);
}

INSTANTIATE_TEST_SUITE_P(Backends, TableIndexTest, ::testing::ValuesIn(ReadingBackends()),
                         BackendTestName);
INSTANTIATE_TEST_SUITE_P(Backends, MasterDetailTest, ::testing::ValuesIn(ReadingBackends()),
                         BackendTestName);

} // namespace
