#pragma once

// Sorting data grids by a click on a column title, and marking the titles of the
// columns a grid is sorted by.

#include "Source/Vorn_shared.h"
#include "host/components/graphics/Graphics.h"
#include "host/components/model/Component.h"
#include "host/components/model/Set.h"
#include "host/data/grid/DBGrid.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

class TField;
class TIndexDefs;
class TList;
class TTable;

enum TDBGridAutoRegisterMethod { arNone, arForm };

// The modifier keys that make a title click add to (or take from) the current sort.
enum TDBGridMulticolumnSortMethod { mcsShift, mcsAlt, mcsCtrl };
using TDBGridMulticolumnSortMethods = TSet<TDBGridMulticolumnSortMethod>;

// The states a title click moves a column through. scAscending: ascending, then (with
// UnSort) unsorted. scAscendingDescending: ascending, descending, then unsorted, or back
// to ascending without UnSort. scDescendingFirstForNumbersAndDates: like
// scAscendingDescending, but a column of numbers, dates or times starts descending.
enum TDBGridSortCycle { scAscending, scAscendingDescending, scDescendingFirstForNumbersAndDates };

// Told the new sort field list of a grid's dataset after a title click. For a dataset
// that is not a table the handler applies the order itself.
using TDBGridSortEvent = std::function<void(TObject* Sender, TCustomGrid* Grid, TDataSet* DataSet,
                                            const std::string& SortFieldNames)>;

const TTypeInfo& DBGridAutoRegisterMethodTypeInfo();
const TTypeInfo& DBGridMulticolumnSortMethodsTypeInfo();
const TTypeInfo& DBGridSortEventTypeInfo();
const TTypeInfo& DBGridSortCycleTypeInfo();

// What highlighting changed on one column title, so that it can be put back. A value
// means something only when its flag is set.
class TOldColumnState : public TObject {
public:
    int ColumnID = -1;
    TColor TitleColor = clBtnFace;
    bool RestoreTitleColor = false;
    TColor FontColor = clWindowText;
    bool RestoreFontColor = false;
    TFontStyles FontStyle;
    bool RestoreFontStyle = false;
    std::string TitleCaption;
    bool RestoreCaption = false;
    // The direction the column was highlighted for: the order of a dataset that is not a
    // table lives in these states.
    bool Descending = false;
};

// A registered grid and the saved titles of its highlighted columns, in sort order.
class TOldDBGridTitleState : public TObject {
public:
    explicit TOldDBGridTitleState(TDBGrid* AGrid) : Grid(AGrid) {}
    ~TOldDBGridTitleState() override { ClearColumnStates(); }

    // Forgets the saved titles without putting any of them back.
    void ClearColumnStates() { ColumnStates.clear(); }

    TDBGrid* Grid;
    std::vector<std::unique_ptr<TOldColumnState>> ColumnStates;
};

// A non-visual component that sorts the dataset of a data grid when the application
// hands it a clicked column (Execute, from the grid's OnTitleClick), and highlights the
// titles of the columns the grids it serves are sorted by. It follows sort changes made
// elsewhere through one sort data link per data source of its registered grids.
//
// A grid owned by another owner than this component's sends it no removal notice: the
// application unregisters such a grid before freeing it.
class TDBGridTitleSort : public TComponent {
public:
    explicit TDBGridTitleSort(TComponent* AOwner);
    // Titles stay as they are: grids that outlive the component keep their look.
    ~TDBGridTitleSort() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // Sorts by Column (a table is re-ordered; for another dataset the order goes to
    // OnSort) and returns the new sort field list; empty when nothing was done or the
    // sort was cleared. Raises for a missing column or grid, or a grid that is no TDBGrid.
    std::string Execute(TColumn* Column);
    // The sort field list the last Execute refused because no index of the table supports
    // it (StrictLocalIndexing, StrictServerIndexing; an empty list is the default order);
    // nothing after any other outcome. A user interface names it to explain why a title
    // click changed nothing.
    const std::optional<std::string>& RefusedSortFields() const { return FRefusedSortFields; }

    // Adds Grid to the registry (once) and brings its titles up to date.
    void RegisterGrid(TDBGrid* Grid);
    void RegisterGrids(const std::vector<TDBGrid*>& Grids);
    // Every TDBGrid that AOwner owns, directly or through other components, depth first.
    void RegisterOwnedGrids(TComponent* AOwner);
    // Puts Grid's titles back and drops it from the registry.
    void UnregisterGrid(TDBGrid* Grid);
    bool IsRegistered(const TDBGrid* Grid) const;
    // The registered grids' names joined by ";", for diagnostics.
    std::string GetRegisteredGridNames() const;

    // Restores and re-highlights Grid's titles, and sets their sort marks, from its
    // table's order; every registered grid when Grid is nullptr. Does nothing while
    // loading or designing.
    void UpdateTitle(TDBGrid* Grid = nullptr);
    // Puts back every saved title of Grid and forgets them, and takes the sort marks off
    // its columns; Grid stays registered.
    void RestoreTitles(TDBGrid* Grid);
    // Highlights the first Count columns (all when Count is negative), which must belong
    // to one TDBGrid, saving what is changed in a new registry entry of that grid.
    // Reports no error of the columns: columns of another grid end the processing and
    // leave the registry as it was. Raises only for a Count beyond the columns.
    void HighlightTitles(const std::vector<TColumn*>& Columns, int Count);
    void HighlightTitlesList(const TList& Columns);
    // Expands the title mask for a caption; Index is the column's position among the
    // columns highlighted together, -1 when it is the only one.
    static std::string ParseTitleMask(const std::string& Mask, const std::string& Title, int Index);
    // The same for a column sorted in Direction: unless Direction is tsdNone, "%a" stands
    // for an arrow (up ascending, down descending; "^" and "v" under a single-byte code
    // page) and "%o" for "asc" or "desc".
    static std::string ParseTitleMask(const std::string& Mask, const std::string& Title, int Index,
                                      TTitleSortDirection Direction);

    TDBGridAutoRegisterMethod AutoRegister() const { return FAutoRegister; }
    void SetAutoRegister(TDBGridAutoRegisterMethod Value);
    bool AutoUpdate() const { return FAutoUpdate; }
    void SetAutoUpdate(bool Value);
    TColor ClickedTitleColor() const { return FClickedTitleColor; }
    void SetClickedTitleColor(TColor Value);
    TColor ClickedTitleFontColor() const { return FClickedTitleFontColor; }
    void SetClickedTitleFontColor(TColor Value);
    TFontStyles ClickedTitleFontStyle() const { return FClickedTitleFontStyle; }
    void SetClickedTitleFontStyle(TFontStyles Value);
    const std::string& ClickedTitleMask() const { return FClickedTitleMask; }
    void SetClickedTitleMask(const std::string& Value);
    bool UseClickedTitleColor() const { return FUseClickedTitleColor; }
    void SetUseClickedTitleColor(bool Value);
    bool UseClickedTitleFontColor() const { return FUseClickedTitleFontColor; }
    void SetUseClickedTitleFontColor(bool Value);
    bool UseClickedTitleFontStyle() const { return FUseClickedTitleFontStyle; }
    void SetUseClickedTitleFontStyle(bool Value);
    bool StrictLocalIndexing() const { return FStrictLocalIndexing; }
    void SetStrictLocalIndexing(bool Value) { FStrictLocalIndexing = Value; }
    bool StrictServerIndexing() const { return FStrictServerIndexing; }
    void SetStrictServerIndexing(bool Value) { FStrictServerIndexing = Value; }
    bool UnSort() const { return FUnSort; }
    void SetUnSort(bool Value) { FUnSort = Value; }
    TDBGridMulticolumnSortMethods MultiColumnSort() const { return FMultiColumnSort; }
    void SetMulticolumnSortMethod(TDBGridMulticolumnSortMethods Value) { FMultiColumnSort = Value; }
    TDBGridSortCycle SortCycle() const { return FSortCycle; }
    void SetSortCycle(TDBGridSortCycle Value);

    TDBGridSortEvent OnSort;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    using TTitleStates = std::vector<std::unique_ptr<TOldDBGridTitleState>>;
    using TDataLinks = std::vector<std::unique_ptr<TSortDataLink>>;

    const TTitleStates& TitleStates() const { return FTitleStates; }
    const TDataLinks& DataLinks() const { return FDataLinks; }
    bool Sorting() const { return FSorting; }

    // The registry index of Grid (by address, so that a grid in the middle of being
    // freed is found too), or -1.
    int FindOldTitleState(const TComponent* Grid) const;
    // Drops Grid's entry without restoring any title, then the links nobody uses.
    void RemoveOldTitleState(const TComponent* Grid);
    void AddDataLinkForGrid(TDBGrid* Grid);
    // Frees the links without data source and those no live registered grid shows.
    void PackDataLinks();
    // The links' OnSortChange: re-highlights the grids on the link's data source.
    void DoAfterSortChange(TObject* Sender, const std::string& OldFields,
                           const std::string& NewFields, bool& Done);
    void DoAutoregister();
    void DoOnSort(TCustomGrid* Grid, TDataSet* DataSet, const std::string& SortFieldNames);
    // Whether an index of Indexes serves SortFields. An order with a descending field is
    // served by an index read either way (IndexServesOrder), the directions of its first
    // LinkFields fields aside; a list of ascending fields and the empty list need an index
    // whose field list is that list or begins with it and ";", whatever directions the
    // index keeps.
    static bool IndexesServe(const TIndexDefs& Indexes, const std::string& SortFields,
                             std::size_t LinkFields = 0);

private:
    // A column of an order, with its direction.
    struct TSortedColumn {
        TColumn* Column;
        bool Descending;
    };

    std::string ExecuteSort(TColumn* Column);
    std::string SortTableColumn(TDBGrid& Grid, TField& Field);
    std::string NewTableSortFields(TTable& Table, const TField& Field) const;
    std::string SortOtherColumn(TDBGrid& Grid, TColumn& Column, TDataSet& DataSet);
    bool IsMultiColumnClick() const;
    bool IndexSupports(TTable& Table, const std::string& SortFields) const;

    void RefreshGridTitles(TDBGrid& Grid);
    bool MaskInForce(const TDBGrid& Grid) const;
    bool AnyTitleChangeInForce(const TDBGrid& Grid) const;
    // RestoreTitles without touching the sort marks, for callers that set them next.
    void RestoreSavedTitles(TDBGrid& Grid);
    // HighlightTitles for columns with their directions.
    void HighlightSorted(const std::vector<TSortedColumn>& Columns);
    std::unique_ptr<TOldColumnState> HighlightColumn(const TDBGrid& Grid, TColumn& Column,
                                                     bool Descending, int MaskIndex,
                                                     const TOldColumnState* Earlier);
    // Marks the sorted columns of Grid with their direction and place in the order, and
    // takes the mark off every other column of the grid.
    static void ShowSortMarks(TDBGrid& Grid, const std::vector<TSortedColumn>& Sorted);
    void RefreshAllIfAutoUpdate();

    // A link leaves FDataLinks detached from its data source, so that it is told
    // nothing more, and waits in FRetiredLinks until no link notification is running:
    // the link that asked for its own removal is still inside its DataSetChanged.
    void RetireDataLink(std::size_t Index);
    void ReleaseRetiredLinks();

    bool FSorting = false;
    std::optional<std::string> FRefusedSortFields;
    TTitleStates FTitleStates;
    TDataLinks FDataLinks;
    TColor FClickedTitleColor = cl3DLight;
    TColor FClickedTitleFontColor = clRed;
    TFontStyles FClickedTitleFontStyle{fsBold};
    bool FUseClickedTitleFontColor = true;
    bool FUseClickedTitleFontStyle = true;
    bool FStrictLocalIndexing = true;
    bool FStrictServerIndexing = false;
    bool FUnSort = true;
    bool FAutoUpdate = true;
    std::string FClickedTitleMask;
    TDBGridMulticolumnSortMethods FMultiColumnSort{mcsCtrl};
    bool FUseClickedTitleColor = false;
    TDBGridAutoRegisterMethod FAutoRegister = arForm;
    TDBGridSortCycle FSortCycle = scAscending;

    TDataLinks FRetiredLinks;
    int FLinkNotificationDepth = 0;
};

namespace dbgridtitlesort {

// Puts TDBGridTitleSort on the component palette page "Vorn".
void Register();

} // namespace dbgridtitlesort

} // namespace vorn
