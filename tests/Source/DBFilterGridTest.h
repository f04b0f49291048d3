#pragma once

// A filter grid on a real SQLite table, for the filter grid's test files.

#include "Source/DBFilterGrid.h"
#include "Source/VornDataResources.h"
#include "host/components/model/Component.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Database.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"

#include <gtest/gtest.h>

#include <array>
#include <atomic>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

namespace vorn::test {

// One filter row as field | operator | value | connector.
using TFilterRow = std::array<std::string, 4>;

// A fresh SQLite database file per test, registered under its own alias, with the
// table People (string fields Name, City, Phone and the integer field Age) and the
// table Members, whose field names and types the People table lacks.
class TFilterGridDatabase {
public:
    TFilterGridDatabase() {
        static std::atomic<int> Counter{0};
        const std::string Suffix = std::to_string(::getpid()) + "-" + std::to_string(++Counter);
        FAlias = "FilterGridTest" + Suffix;
        FPath = std::filesystem::temp_directory_path() / ("vorn-filtergrid-" + Suffix + ".db");
        std::filesystem::remove(FPath);
        CreateSQLiteDatabase(FPath.string());
        RegisterSQLiteDatabase(FAlias, FPath.string());
        const TConnectionLease Lease(FAlias);
        TDriverConnection& Connection = Lease.Connection();
        Connection.ExecuteCommand("CREATE TABLE People (Name VARCHAR(40), City VARCHAR(40), "
                                  "Phone VARCHAR(20), Age INTEGER)",
                                  {});
        Connection.ExecuteCommand("INSERT INTO People VALUES ('Smith', 'Paris', '555', 45), "
                                  "('Smithers', NULL, NULL, 30), ('Jones', 'Rome', '777', 25), "
                                  "('Jane', 'Oslo', NULL, 31), ('John', 'Paris', '123', 5)",
                                  {});
        Connection.ExecuteCommand("CREATE TABLE Members (\"First Name\" VARCHAR(40), "
                                  "Active BOOLEAN, Fee REAL, Joined DATE)",
                                  {});
        Connection.ExecuteCommand("INSERT INTO Members VALUES ('Ann', 1, 10.5, '2020-01-02')", {});
    }
    TFilterGridDatabase(const TFilterGridDatabase&) = delete;
    TFilterGridDatabase& operator=(const TFilterGridDatabase&) = delete;
    ~TFilterGridDatabase() {
        UnregisterDatabase(FAlias);
        std::filesystem::remove(FPath);
    }

    const std::string& Alias() const { return FAlias; }

private:
    std::string FAlias;
    std::filesystem::path FPath;
};

// A form (a plain owner) holding the People table, a data source on it and a filter
// grid linked to that data source, at run time.
class FilterGridTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterVornDataResources();
        Table = new TTable(Form.get());
        Table->SetDatabaseName(Database.Alias());
        Table->SetTableName("People");
        Source = new TDataSource(Form.get());
        Source->SetDataSet(Table);
        Grid = new TDBFilterGrid(Form.get());
        Grid->SetDataSource(Source);
        Table->Open();
    }

    // The components go before the database they read.
    void TearDown() override { Form.reset(); }

    // Replaces the filter rows with Rows.
    void SetRows(const std::vector<TFilterRow>& Rows) {
        Grid->SetRowCount(Grid->FixedRows() + static_cast<int>(Rows.size()));
        for (std::size_t Index = 0; Index < Rows.size(); ++Index)
            for (int Column = 0; Column < 4; ++Column)
                Grid->SetCells(Grid->FixedCols() + Column,
                               Grid->FixedRows() + static_cast<int>(Index),
                               Rows[Index][static_cast<std::size_t>(Column)]);
    }

    std::vector<TFilterRow> Rows() const {
        std::vector<TFilterRow> Result;
        for (int Row = Grid->FixedRows(); Row < Grid->RowCount(); ++Row) {
            TFilterRow Cells;
            for (int Column = 0; Column < 4; ++Column)
                Cells[static_cast<std::size_t>(Column)] =
                    Grid->Cells(Grid->FixedCols() + Column, Row);
            Result.push_back(Cells);
        }
        return Result;
    }

    // GetFilterExpression, which must raise; returns the message.
    std::string ExpressionError() {
        try {
            const std::string Expression = Grid->GetFilterExpression();
            return "(no exception; result \"" + Expression + "\")";
        } catch (const Exception& Error) {
            return Error.Message();
        }
    }

    TFilterGridDatabase Database;
    std::unique_ptr<TComponent> Form = std::make_unique<TComponent>(nullptr);
    TTable* Table = nullptr;
    TDataSource* Source = nullptr;
    TDBFilterGrid* Grid = nullptr;
};

} // namespace vorn::test
