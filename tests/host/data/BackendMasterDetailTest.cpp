#include "BackendFixture.h"

#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Table.h"

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>
#include <vector>

using namespace vorn;
using vorn::test::BackendCaseTest;
using vorn::test::BackendCaseTestName;
using vorn::test::ReadingBackends;

namespace {

// Counts the detail's re-reads: each reaches the detail's links as one DataSetChanged.
class TChangeCounter : public TDataLink {
public:
    int Changes = 0;
    void DataSetChanged() override { ++Changes; }
};

struct TMasterDetailCase {
    const char* Name;
    // What happens to the master (the customers, ordered by CustNo, on customer 2).
    std::function<void(TTable& Customers, TTable& Orders)> Act;
    int ExpectedRereads;
    std::vector<int> ExpectedOrders; // of the customer the master then stands on
    bool AddsOrder22First = false;   // customer 2's order 22, written behind the tables
    int ExpectedCurrentOrder = 0;    // the detail's current order after Act; 0: any
};

void PrintTo(const TMasterDetailCase& Case, std::ostream* Out) {
    *Out << Case.Name;
}

// Customers 1..4 ("Name" runs backwards); orders 10 and 11 of customer 1, 20 and 21 of
// customer 2, 30 of customer 3, none of customer 4.
class DetailRereadTest : public BackendCaseTest<TMasterDetailCase> {
protected:
    void SetUp() override {
        BackendCaseTest::SetUp();
        Database->Execute("CREATE TABLE \"Customers\" (\"CustNo\" INTEGER PRIMARY KEY, "
                          "\"Name\" VARCHAR(20))");
        Database->Execute("CREATE INDEX \"CustomersName\" ON \"Customers\" (\"Name\")");
        Database->Execute("CREATE TABLE \"Orders\" (\"OrderNo\" INTEGER PRIMARY KEY, "
                          "\"CustNo\" INTEGER)");
        Database->Execute("CREATE INDEX \"OrdersCustNo\" ON \"Orders\" (\"CustNo\")");
        for (int CustNo = 1; CustNo <= 4; ++CustNo)
            Database->Execute("INSERT INTO \"Customers\" VALUES (?1, ?2)",
                              {CustNo, TVariant("N" + std::to_string(10 - CustNo))});
        for (int OrderNo : {10, 11, 20, 21, 30})
            Database->Execute("INSERT INTO \"Orders\" VALUES (?1, ?2)", {OrderNo, OrderNo / 10});
        Customers->SetDatabaseName(Database->Alias());
        Customers->SetTableName("Customers");
        Customers->SetIndexFieldNames("CustNo");
        CustomerSource->SetDataSet(Customers);
        Orders->SetDatabaseName(Database->Alias());
        Orders->SetTableName("Orders");
        Orders->SetIndexFieldNames("CustNo");
        Orders->SetMasterFields("CustNo");
        Orders->SetMasterSource(CustomerSource);
        OrderSource->SetDataSet(Orders);
        Counter.SetDataSource(OrderSource);
        Customers->Open();
        Orders->Open();
        Customers->Next();
        Counter.Changes = 0;
    }

    std::vector<int> OrderNumbers() {
        std::vector<int> Numbers;
        for (Orders->First(); !Orders->Eof(); Orders->Next())
            Numbers.push_back(static_cast<int>(Orders->FieldByName("OrderNo")->AsInteger()));
        return Numbers;
    }

    TComponent Owner{nullptr};
    TTable* Customers = new TTable(&Owner);
    TDataSource* CustomerSource = new TDataSource(&Owner);
    TTable* Orders = new TTable(&Owner);
    TDataSource* OrderSource = new TDataSource(&Owner);
    TChangeCounter Counter;
};

// The detail's rows follow the master key: whatever else the master does, the detail
// reads its rows again exactly when that key changed, or the master was refreshed or
// reopened, and then shows the rows of the key as they are.
TEST_P(DetailRereadTest, TheDetailRereadsWhenTheMasterKeyChangesOrItIsRefreshed) {
    const TMasterDetailCase& C = Case();
    ASSERT_EQ(Customers->FieldByName("CustNo")->AsInteger(), 2);
    if (C.AddsOrder22First)
        Database->Execute("INSERT INTO \"Orders\" VALUES (22, 2)");

    C.Act(*Customers, *Orders);
    if (C.ExpectedCurrentOrder != 0) {
        EXPECT_EQ(Orders->FieldByName("OrderNo")->AsInteger(), C.ExpectedCurrentOrder);
    }

    EXPECT_EQ(Counter.Changes, C.ExpectedRereads);
    EXPECT_EQ(OrderNumbers(), C.ExpectedOrders);
}

const TMasterDetailCase MasterDetailCases[] = {
    {.Name = "MasterResorted",
     .Act = [](TTable& M, TTable&) { M.SetIndexFieldNames("Name"); },
     .ExpectedRereads = 0,
     .ExpectedOrders = {20, 21}},
    {.Name = "MasterResortedTwice",
     .Act =
         [](TTable& M, TTable&) {
             M.SetIndexFieldNames("Name");
             M.SetIndexFieldNames("CustNo");
         },
     .ExpectedRereads = 0,
     .ExpectedOrders = {20, 21}},
    {.Name = "MasterRefreshed",
     .Act =
         [](TTable& M, TTable& D) {
             D.Locate("OrderNo", TVariant(21), {});
             M.Refresh();
         },
     .ExpectedRereads = 1,
     .ExpectedOrders = {20, 21, 22},
     .AddsOrder22First = true,
     .ExpectedCurrentOrder = 21},
    {.Name = "MasterRefreshedTwice",
     .Act =
         [](TTable& M, TTable&) {
             M.Refresh();
             M.Refresh();
         },
     .ExpectedRereads = 2,
     .ExpectedOrders = {20, 21}},
    {.Name = "MasterControlsReenabled",
     .Act =
         [](TTable& M, TTable&) {
             M.DisableControls();
             M.EnableControls();
         },
     .ExpectedRereads = 0,
     .ExpectedOrders = {20, 21}},
    {.Name = "MasterMovedToAnotherKey",
     .Act = [](TTable& M, TTable&) { M.Next(); },
     .ExpectedRereads = 1,
     .ExpectedOrders = {30}},
    {.Name = "MasterMovedWhileControlsDisabled",
     .Act =
         [](TTable& M, TTable&) {
             M.DisableControls();
             M.First();
             M.EnableControls();
         },
     .ExpectedRereads = 1,
     .ExpectedOrders = {10, 11}},
    {.Name = "MasterResortedOntoAnotherRecord",
     .Act =
         [](TTable& M, TTable&) {
             M.SetIndexFieldNames("Name");
             M.First(); // the greatest name: customer 4
         },
     .ExpectedRereads = 1,
     .ExpectedOrders = {}},
    {.Name = "MasterReopened",
     .Act =
         [](TTable& M, TTable&) {
             M.Close();
             M.Open();
         },
     .ExpectedRereads = 2,
     .ExpectedOrders = {10, 11}},
    {.Name = "DetailReopenedAfterTheMasterMoved",
     .Act =
         [](TTable& M, TTable& D) {
             D.Close();
             M.Next();
             D.Open();
             M.SetIndexFieldNames("Name");
         },
     .ExpectedRereads = 1,
     .ExpectedOrders = {30}},
    {.Name = "MasterFieldsDropped",
     .Act = [](TTable&, TTable& D) { D.SetMasterFields(""); },
     .ExpectedRereads = 1,
     .ExpectedOrders = {10, 11, 20, 21, 30}},
};

INSTANTIATE_TEST_SUITE_P(Cases, DetailRereadTest,
                         ::testing::Combine(::testing::ValuesIn(ReadingBackends()),
                                            ::testing::ValuesIn(MasterDetailCases)),
                         BackendCaseTestName<TMasterDetailCase>);

} // namespace
