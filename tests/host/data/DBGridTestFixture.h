#pragma once

#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"
#include "tests/support/SampleDatabaseFile.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vorn::dbgridtest {

// A demo database shared by a suite, and per test a customer table, its data source and a
// grid five records high, all owned by one component.
class DBGridTest : public ::testing::Test {
protected:
    static constexpr int Customers = 120;
    static constexpr int GridRecords = 5;

    static void SetUpTestSuite() {
        Database = std::make_unique<testsupport::TSampleDatabaseFile>(Customers);
    }
    static void TearDownTestSuite() { Database.reset(); }

    DBGridTest() {
        Table = new TTable(&Owner);
        Table->SetDatabaseName(Database->Alias());
        Table->SetTableName("customer");
        Source = new TDataSource(&Owner);
        Source->SetDataSet(Table);
        Grid = new TDBGrid(&Owner);
        // A title row and five records of 24 pixels, each with its grid line.
        Grid->SetBounds(0, 0, 400, (GridRecords + 1) * 25);
        Grid->SetDataSource(Source);
    }

    // The grid column showing FieldName.
    int ColOf(const std::string& FieldName) const {
        return Grid->ColumnToGridCol(Grid->Columns()->FindColumn(FieldName));
    }

    // The texts of one field in the record rows, top to bottom.
    std::vector<std::string> Shown(const std::string& FieldName) const {
        std::vector<std::string> Result;
        for (int Record = 0; Record < Grid->RecordCount(); ++Record)
            Result.push_back(Grid->CellText(ColOf(FieldName), Grid->FixedRows() + Record));
        return Result;
    }

    static std::unique_ptr<testsupport::TSampleDatabaseFile> Database;
    TComponent Owner{nullptr};
    TTable* Table = nullptr;
    TDataSource* Source = nullptr;
    TDBGrid* Grid = nullptr;
};

} // namespace vorn::dbgridtest
