#pragma once

// A filter grid in a form on a table of a local file database (sequenced) or of the test
// server (not sequenced), for the filter grid tests that run on both backends.

#include "Source/DBFilterGrid.h"
#include "Source/VornDataResources.h"
#include "host/components/controls/Form.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Table.h"
#include "tests/Source/TestTables.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vorn::test {

class FilterGridBackendTest : public ::testing::TestWithParam<testtables::TTestBackend> {
protected:
    void SetUp() override {
        RegisterVornDataResources();
        Database = std::make_unique<testtables::TTestDatabase>(GetParam());
    }
    // The components go before the database they read.
    void TearDown() override {
        Form.reset();
        Database.reset();
    }

    // Links a grid, inside a window, to the table (which the test made) and opens it.
    void OpenGridOn(const std::string& TableName) {
        Form = std::make_unique<TComponent>(nullptr);
        Table = new TTable(Form.get());
        Table->SetDatabaseName(Database->Alias());
        Table->SetTableName(TableName);
        Source = new TDataSource(Form.get());
        Source->SetDataSet(Table);
        Window = new TForm(Form.get());
        Window->SetBounds(0, 0, 640, 480);
        Grid = new TDBFilterGrid(Form.get());
        Grid->SetParent(Window);
        Grid->SetBounds(8, 8, 425, 200);
        Grid->SetDataSource(Source);
        Table->Open();
    }

    std::unique_ptr<testtables::TTestDatabase> Database;
    std::unique_ptr<TComponent> Form;
    TTable* Table = nullptr;
    TDataSource* Source = nullptr;
    TForm* Window = nullptr;
    TDBFilterGrid* Grid = nullptr;
};

} // namespace vorn::test
