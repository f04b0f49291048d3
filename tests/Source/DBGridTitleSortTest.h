#pragma once

#include "Source/DBGridTitleSort.h"
#include "host/components/controls/Keyboard.h"
#include "host/data/dataset/Table.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vorn::titlesorttest {

// The component with its registry and links in view, for checks of its bookkeeping.
class TInspectableTitleSort : public TDBGridTitleSort {
public:
    using TDBGridTitleSort::DataLinks;
    using TDBGridTitleSort::DoAfterSortChange;
    using TDBGridTitleSort::FindOldTitleState;
    using TDBGridTitleSort::IndexesServe;
    using TDBGridTitleSort::PackDataLinks;
    using TDBGridTitleSort::Sorting;
    using TDBGridTitleSort::TDBGridTitleSort;
    using TDBGridTitleSort::TitleStates;

    // The saved column IDs of Grid's entry, in their order; empty when not registered.
    std::vector<int> SavedColumnIDs(const TDBGrid* Grid) const;
};

// The tables every test uses, created once per program on each backend:
//   item (Id primary key, A, B, C text) with indexes on A;B and B;A, none on C,
//   cust (CustNo primary key, Region, Name), and
//   ord (OrderNo primary key, CustNo, Region, Cust, OrderDate) with indexes on
//   CustNo;OrderDate and CustNo;Region;OrderDate.
// Aliases: the local SQLite file, and a schema of its own on the PostgreSQL test server
// (on the standby: the same tables, same names).
const std::string& LocalAlias();
// Fails the calling test (never skips) when no server was started.
const std::string& ServerAlias();
// The server's tables read from its streaming standby (VORN_PG_STANDBY_CONNINFO), once
// the standby has them; fails the calling test when no standby was started.
const std::string& StandbyAlias();
// The table name to give a TTable on the server or its standby ("schema.item").
std::string ServerTable(const std::string& Name);

// A form with tables, data sources, grids and a title sorter on them; frees it all.
class TitleSortTest : public ::testing::Test {
protected:
    TitleSortTest();
    ~TitleSortTest() override;

    TTable* OpenTable(const std::string& Alias, const std::string& TableName,
                      const std::string& IndexFieldNames = "");
    TDataSource* SourceFor(TDataSet* DataSet);
    // A grid on Source with customized columns for FieldNames, or default columns.
    TDBGrid* GridOn(TDataSource* Source, const std::vector<std::string>& FieldNames = {});
    // The grid's column showing FieldName.
    static TColumn* ColumnOf(const TDBGrid& Grid, const std::string& FieldName);
    // A title click with Keys held down.
    std::string Click(TColumn* Column, std::vector<int> Keys = {});
    // The captions of the grid's columns whose titles carry the clicked colour or style.
    static std::vector<std::string> Highlighted(const TDBGrid& Grid);

    std::unique_ptr<TComponent> Form;
    // Created after the grids' data, so freed before them with the form.
    TInspectableTitleSort* Sorter = nullptr;
    std::vector<std::string> Sorts; // what OnSort was told
};

} // namespace vorn::titlesorttest
