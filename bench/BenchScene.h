#pragma once

// A form as an application builds it on one table: a data source, a data grid that shows
// GridRecords records, a title sorter serving the grid, a locate edit and a filter grid.
// The benchmarks and the session-memory program act on it as the user does.

#include "Source/DBFilterGrid.h"
#include "Source/DBGridTitleSort.h"
#include "Source/DBLocateEdit.h"
#include "Source/DBSortComboBox.h"
#include "host/components/controls/Form.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/Table.h"
#include "host/data/grid/DBGrid.h"

#include <memory>
#include <string>

namespace vorn::bench {

inline constexpr int GridRecords = 50;

class TBenchScene {
public:
    // Opens TableName of the alias in the order of IndexFieldNames; the grid reads its
    // first window then. Throws when the grid cannot show GridRecords records.
    TBenchScene(const std::string& Alias, const std::string& TableName,
                const std::string& IndexFieldNames);
    ~TBenchScene();
    TBenchScene(const TBenchScene&) = delete;
    TBenchScene& operator=(const TBenchScene&) = delete;

    TTable& Table() const { return *FTable; }
    TDataSource& Source() const { return *FSource; }
    TDBGrid& Grid() const { return *FGrid; }
    TDBGridTitleSort& Sorter() const { return *FSorter; }
    TDBLocateEdit& LocateEdit() const { return *FLocateEdit; }
    TDBFilterGrid& FilterGrid() const { return *FFilterGrid; }
    // Made on first use: only one benchmark needs it.
    TDBSortComboBox& SortComboBox();

    // The grid's column of FieldName; throws when there is none.
    TColumn& Column(const std::string& FieldName) const;
    // Reads the text of every cell the grid shows, as painting it does; returns the
    // number of characters read.
    std::size_t ReadShownCells() const;
    // A click on the title of FieldName's column, with Ctrl held down when Ctrl is set;
    // returns the sort field list that the sorter reports.
    std::string ClickTitle(const std::string& FieldName, bool Ctrl);
    // Types Text into the locate edit and searches; returns whether a record was found.
    bool Locate(const std::string& Text);
    // Opens the value list of the filter grid's first row for FieldName; returns the
    // number of values listed.
    int OpenValueList(const std::string& FieldName);

private:
    std::unique_ptr<TComponent> FOwner;
    TForm* FWindow = nullptr;
    TTable* FTable = nullptr;
    TDataSource* FSource = nullptr;
    TDBGrid* FGrid = nullptr;
    TDBGridTitleSort* FSorter = nullptr;
    TDBLocateEdit* FLocateEdit = nullptr;
    TDBFilterGrid* FFilterGrid = nullptr;
    TDBSortComboBox* FSortComboBox = nullptr;
};

} // namespace vorn::bench
