#pragma once

#include "host/components/controls/Grid.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/grid/DBGridColumns.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vorn {

class TDBGridRecords;

enum TDBGridOption {
    dgTitles,       // a title row at the top
    dgIndicator,    // a fixed column at the left that marks the current record
    dgColumnResize, // the user sizes columns
    dgColLines,     // lines between columns
    dgRowLines,     // lines between rows
    dgTabs,         // Tab moves between columns
    dgRowSelect     // the whole current row is selected
};
using TDBGridOptions = TSet<TDBGridOption>;

const TTypeInfo& DBGridOptionsTypeInfo();

// The column whose title the user clicked.
using TDBGridClickEvent = std::function<void(TColumn* Column)>;

const TTypeInfo& DBGridClickEventTypeInfo();

// A grid that shows the records of a data source's dataset, one record per row and one
// column per TColumn. The grid shows a window of records around the dataset's current
// record, as many as fit its height, and reads nothing else: the dataset stays where it
// is, and the grid follows its moves (the current record's row is the grid's Row).
//
// Layout: row 0 is the title row (dgTitles), column 0 the indicator (dgIndicator); the
// visible columns follow in column order. Without records (or without an open dataset)
// there is one empty data row.
class TCustomDBGrid : public TCustomGrid {
public:
    explicit TCustomDBGrid(TComponent* AOwner);
    ~TCustomDBGrid() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TDataSource* DataSource() const;
    void SetDataSource(TDataSource* Value);
    // The data source's dataset while the data source is enabled and the dataset open.
    TDataSet* ActiveDataSet() const;

    TDBGridColumns* Columns() const { return FColumns.get(); }
    // Copies the columns of another collection (the state becomes customized).
    void SetColumns(const TDBGridColumns* Value);

    TDBGridOptions Options() const { return FOptions; }
    void SetOptions(TDBGridOptions Value);

    // The font the column titles start with.
    TFont* TitleFont() const { return FTitleFont.get(); }
    void SetTitleFont(const TFont* Value) { FTitleFont->Assign(Value); }

    // The text of a cell: a title caption in the title row, the field's text of the shown
    // record in a data row, and the empty text elsewhere (the indicator, a column without
    // field, the empty row). Raises EListError for a cell outside the grid.
    std::string CellText(int ACol, int ARow) const;
    // What the widget set shows in a cell: CellText in the display format of the cell's
    // field (a number with its field's decimals), at the field's alignment; titles and
    // cells without field are left-aligned. Raise EListError as CellText.
    std::string DisplayText(int ACol, int ARow) const;
    TAlignment CellAlignment(int ACol, int ARow) const;
    // The column shown in grid column ACol, or nullptr (the indicator, no columns).
    TColumn* ColumnAt(int ACol) const;
    // The grid column that shows Column, or -1 when it is hidden or not this grid's.
    int ColumnToGridCol(const TColumn* Column) const;
    // How many records the grid shows now, and the most it shows at its height.
    int RecordCount() const;
    int RecordCapacity() const;
    // The grid row of the dataset's current record; -1 when no record is shown.
    int CurrentRecordRow() const;

    // Scrolls the shown records by Distance (positive: towards the end), as a mouse wheel
    // does: the current record stays while it remains among the shown ones, otherwise the
    // record at the edge it left by becomes current.
    void ScrollRecords(int Distance);

    // The user clicked Column's title: fires OnTitleClick.
    virtual void TitleClick(TColumn* Column);

    // Up and Down move the dataset one record, Page Up and Page Down by a grid's height of
    // records, Ctrl+Home and Ctrl+End to the first and last record; the other keys act
    // as in every grid.
    //
    // With a title row and a current column, the titles take keys too: F3 is a title click
    // on the current column's title, and Ctrl+Up puts the keyboard focus on that title.
    // While a title has it, Left, Right, Home and End (without Ctrl) move it along the titles (the
    // current column follows), Space, Enter and F3 click the focused title, and Down or Escape
    // return the focus to the cells; other keys do nothing there. A title click by key
    // reads the modifiers as a click by mouse does (Ctrl+F3 is a Ctrl-click).
    void KeyDown(int& Key, TShiftState Shift) override;
    // Whether a title holds the keyboard focus; it is the current column's title.
    bool TitleFocused() const { return FTitleFocused; }
    // The column whose title holds the keyboard focus, or nullptr while the cells hold it.
    TColumn* FocusedTitle() const { return FTitleFocused ? ColumnAt(Col()) : nullptr; }
    // Leaving the grid returns the focus to the cells for the next visit.
    void DoExit() override;
    // A press on a record's cell makes that record current; a press and release on one
    // title cell is a title click.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    // The rows left above a column scroll bar hold the records: the grid reads more or fewer.
    void SetScrollBarHeight(int Value) override;

    void Notification(TComponent* AComponent, TOperation Operation) override;
    void Loaded() override;

    TDBGridClickEvent OnTitleClick;

protected:
    // Takes the grid out of its owner before its parts are gone, so that the owner's other
    // components are told of the removal while this object is still a data grid.
    void DetachFromOwner();

private:
    class TGridDataLink;
    friend class TGridDataLink;
    friend class TDBGridColumns;

    // Reads the records again when the grid now holds another number of them.
    void RecordCapacityChangedFrom(int OldCapacity);
    // From the data link.
    void LinkActiveChanged();
    void LinkDataChanged();
    void LinkScrolled(int Distance);
    // From the columns.
    void ColumnsChanged();

    bool Updating() const;
    void ReadRecords(int PreferredRow);
    void UpdateLayout();
    int TitleRows() const { return FOptions.Contains(dgTitles) ? 1 : 0; }
    int IndicatorCols() const { return FOptions.Contains(dgIndicator) ? 1 : 0; }
    void MoveDataSet(int Distance);
    void TitleFontChanged();
    // Whether the current column's title can take the keyboard focus.
    bool CanFocusTitle() const;
    void SetTitleFocused(bool Value);
    // A key for the titles, after OnKeyDown: see KeyDown.
    void TitleKeyDown(int Key, TShiftState Shift);

    std::unique_ptr<TGridDataLink> FDataLink;
    std::unique_ptr<TDBGridColumns> FColumns;
    std::unique_ptr<TFont> FTitleFont;
    std::unique_ptr<TDBGridRecords> FRecords;
    // Without dgTabs: Tab and Shift+Tab pass the focus on, as in every other control.
    TDBGridOptions FOptions{dgTitles, dgIndicator, dgColumnResize, dgColLines, dgRowLines};
    std::vector<TColumn*> FShownColumns;
    bool FLayingOut = false;
    // The title cell a left button press started on, for the click at its release.
    int FPressedTitleCol = -1;
    bool FTitleFocused = false;
};

// A data grid with published properties, as placed on forms.
class TDBGrid : public TCustomDBGrid {
public:
    explicit TDBGrid(TComponent* AOwner);
    ~TDBGrid() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }
};

// Acts as the user clicking Column's title: a press and a release at the centre of the
// title cell through the input dispatch (the keyboard state takes Shift first). Returns
// false when the title is not shown (hidden column, no title row, scrolled away) or the
// input did not complete.
bool UserClickTitle(TCustomDBGrid& Grid, const TColumn& Column, TShiftState Shift = {});

} // namespace vorn
