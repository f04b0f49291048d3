#include "Source/Vorn_shared.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "tests/support/SampleDatabaseFile.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace vorn {
namespace {

using testsupport::TSampleDatabaseFile;

// One demo database for the whole suite, with a table that has no index at all and one
// whose only index spells a field in capitals.
class DataSetFunctionsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        Database = std::make_unique<TSampleDatabaseFile>(60);
        Database->Execute("CREATE TABLE plain (A INTEGER, B TEXT);"
                          "INSERT INTO plain VALUES (2, 'x'), (1, 'y');");
    }
    static void TearDownTestSuite() { Database.reset(); }

    TTable* MakeTable(const std::string& TableName) {
        auto* Table = new TTable(&Owner);
        Table->SetDatabaseName(Database->Alias());
        Table->SetTableName(TableName);
        return Table;
    }

    TQuery* MakeQuery(const std::string& Sql) {
        auto* Query = new TQuery(&Owner);
        Query->SetDatabaseName(Database->Alias());
        Query->SQL()->SetText(Sql);
        return Query;
    }

    // Orders on CustNo;OrderDate linked to an open customer table on CustNo.
    TTable* MakeDetail(const std::string& MasterTable, const std::string& MasterFields) {
        TTable* Master = MakeTable(MasterTable);
        Master->Open();
        auto* Source = new TDataSource(&Owner);
        Source->SetDataSet(Master);
        TTable* Detail = MakeTable("orders");
        Detail->SetIndexFieldNames("CustNo;OrderDate");
        Detail->SetMasterSource(Source);
        Detail->SetMasterFields(MasterFields);
        Detail->Open();
        MasterTable_ = Master;
        return Detail;
    }

    static std::unique_ptr<TSampleDatabaseFile> Database;
    TComponent Owner{nullptr};
    TTable* MasterTable_ = nullptr;
};

std::unique_ptr<TSampleDatabaseFile> DataSetFunctionsTest::Database;

struct TSortListCase;

class SortListTest : public DataSetFunctionsTest,
                     public ::testing::WithParamInterface<TSortListCase> {
public:
    using DataSetFunctionsTest::MakeQuery;
    using DataSetFunctionsTest::MakeTable;
};

struct TSortListCase {
    const char* Name;
    std::function<const TDataSet*(SortListTest&)> Make;
    const char* Expected;
};

TEST_P(SortListTest, ExtractSortFieldNamesReadsTheOrderInForce) {
    const TDataSet* DataSet = GetParam().Make(*this);
    EXPECT_EQ(ExtractSortFieldNames(DataSet), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, SortListTest,
    ::testing::Values(TSortListCase{.Name = "NoDataSet",
                                    .Make = [](SortListTest&) -> const TDataSet* {
                                        return nullptr;
                                    },
                                    .Expected = ""},
                      TSortListCase{.Name = "Query",
                                    .Make = [](SortListTest& T) -> const TDataSet* {
                                        TQuery* Query =
                                            T.MakeQuery("SELECT * FROM customer ORDER BY Name");
                                        Query->Open();
                                        return Query;
                                    },
                                    .Expected = ""},
                      TSortListCase{.Name = "UnindexedTable",
                                    .Make = [](SortListTest& T) -> const TDataSet* {
                                        TTable* Table = T.MakeTable("plain");
                                        Table->Open();
                                        return Table;
                                    },
                                    .Expected = ""},
                      TSortListCase{.Name = "IndexFieldNames",
                                    .Make = [](SortListTest& T) -> const TDataSet* {
                                        TTable* Table = T.MakeTable("customer");
                                        Table->Open();
                                        Table->SetIndexFieldNames("City;Name");
                                        return Table;
                                    },
                                    .Expected = "City;Name"},
                      TSortListCase{.Name = "IndexName",
                                    .Make = [](SortListTest& T) -> const TDataSet* {
                                        TTable* Table = T.MakeTable("customer");
                                        Table->SetIndexName("ByCompanyCity");
                                        Table->Open();
                                        return Table;
                                    },
                                    .Expected = "Company;City"},
                      TSortListCase{.Name = "FieldNamesWithBlanksKeptAsSpelled",
                                    .Make = [](SortListTest& T) -> const TDataSet* {
                                        TTable* Table = T.MakeTable("contact");
                                        Table->SetIndexFieldNames("Last Name;First Name");
                                        Table->Open();
                                        return Table;
                                    },
                                    .Expected = "Last Name;First Name"},
                      TSortListCase{.Name = "DefaultOrderIsThePrimaryKey",
                                    .Make = [](SortListTest& T) -> const TDataSet* {
                                        TTable* Table = T.MakeTable("customer");
                                        Table->Open();
                                        return Table;
                                    },
                                    .Expected = "CustNo"}),
    [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(DataSetFunctionsTest, FirstSortFieldSkipsTheLinkFieldsOfAnOpenMasterOnly) {
    TTable* Detail = MakeDetail("customer", "CustNo");
    EXPECT_EQ(ExtractFirstSortFieldName(Detail), "OrderDate");

    // A closed master restricts nothing: its link field is the user's order again.
    MasterTable_->Close();
    EXPECT_EQ(ExtractFirstSortFieldName(Detail), "CustNo");

    Detail->Close();
    EXPECT_EQ(ExtractFirstSortFieldName(Detail), "");
}

TEST_F(DataSetFunctionsTest, FirstSortFieldIsEmptyWhenTheLinkCoversTheWholeOrder) {
    // An orders master has both link fields.
    TTable* Detail = MakeDetail("orders", "CustNo;OrderDate");
    EXPECT_EQ(ExtractSortFieldNames(Detail), "CustNo;OrderDate");
    EXPECT_EQ(ExtractFirstSortFieldName(Detail), "");
}

TEST_F(DataSetFunctionsTest, FirstSortFieldOfOtherDataSets) {
    EXPECT_EQ(ExtractFirstSortFieldName(nullptr), "");
    TQuery* Query = MakeQuery("SELECT * FROM customer");
    Query->Open();
    EXPECT_EQ(ExtractFirstSortFieldName(Query), "");
    TTable* Table = MakeTable("customer");
    Table->SetIndexFieldNames("City;Name");
    Table->Open();
    EXPECT_EQ(ExtractFirstSortFieldName(Table), "City");
}

TEST_F(DataSetFunctionsTest, MasterLinkOfTables) {
    TTable* Plain = MakeTable("customer");
    EXPECT_EQ(GetMasterSource(Plain), nullptr);
    EXPECT_EQ(GetMasterFields(Plain), "");

    TTable* Detail = MakeDetail("customer", "CustNo");
    ASSERT_NE(GetMasterSource(Detail), nullptr);
    EXPECT_EQ(GetMasterSource(Detail)->DataSet(), MasterTable_);
    EXPECT_EQ(GetMasterFields(Detail), "CustNo");
}

TEST_F(DataSetFunctionsTest, MasterLinkOfAnythingButATableRaises) {
    TQuery* Query = MakeQuery("SELECT * FROM orders");
    for (const TDataSet* DataSet :
         {static_cast<const TDataSet*>(Query), static_cast<const TDataSet*>(nullptr)}) {
        try {
            GetMasterSource(DataSet);
            ADD_FAILURE() << "GetMasterSource raised nothing";
        } catch (const Exception& Error) {
            EXPECT_EQ(Error.Message(), "GetMasterSource() Unknown DataSet type.");
        }
        try {
            GetMasterFields(DataSet);
            ADD_FAILURE() << "GetMasterFields raised nothing";
        } catch (const Exception& Error) {
            EXPECT_EQ(Error.Message(), "GetMasterFields() Unknown DataSet type.");
        }
    }
}

} // namespace
} // namespace vorn
