#pragma once

#include "host/components/controls/Control.h"
#include "host/components/model/Strings.h"

#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <vector>

namespace vorn {

// A grid operation that the grid's shape forbids (a fixed count not below the count).
class EInvalidGridOperation : public Exception {
public:
    using Exception::Exception;
};

enum TGridOption {
    goFixedVertLine,
    goFixedHorzLine,
    goVertLine,
    goHorzLine,
    goRangeSelect,
    goDrawFocusSelected,
    goRowSizing,
    goColSizing,
    goRowMoving,
    goColMoving,
    goEditing,
    goTabs,
    goRowSelect,
    goAlwaysShowEditor,
    goThumbTracking
};
using TGridOptions = TSet<TGridOption>;

const TTypeInfo& GridOptionsTypeInfo();

// A cell: X is the column, Y the row. (-1, -1) stands for no cell.
struct TGridCoord {
    int X = 0;
    int Y = 0;
    bool operator==(const TGridCoord&) const = default;
};

enum TGridDrawStateFlag { gdSelected, gdFocused, gdFixed };
using TGridDrawState = TSet<TGridDrawStateFlag>;

using TDrawCellEvent = std::function<void(TObject* Sender, int ACol, int ARow, const TRect& Rect,
                                          TGridDrawState State)>;

const TTypeInfo& DrawCellEventTypeInfo();

// A grid of cells with fixed rows at the top and fixed columns at the left, which do not
// scroll, and a current cell (Col, Row) that is never a fixed cell.
//
// Layout: each column is ColWidths(i) pixels wide and followed by a grid line of
// GridLineWidth pixels; rows likewise with RowHeights(i). From the left come the fixed
// columns, then the columns from LeftCol on; from the top the fixed rows, then the rows
// from TopRow on. A cell is shown when it starts inside the client area.
class TCustomGrid : public TWinControl {
public:
    explicit TCustomGrid(TComponent* AOwner);

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // The most cells (columns times rows) a grid holds.
    static constexpr long long MaxCellCount = 10'000'000;

    int ColCount() const { return static_cast<int>(FColWidths.size()); }
    // New columns come at the right with DefaultColWidth; columns beyond the count go.
    // Raises EInvalidGridOperation for a count below 1 or one that makes more than
    // MaxCellCount cells; a count not above FixedCols lowers FixedCols to the count minus 1.
    void SetColCount(int Value);
    int RowCount() const { return static_cast<int>(FRowHeights.size()); }
    // New rows are appended empty with DefaultRowHeight; rows beyond the count go.
    // Raises EInvalidGridOperation for a count below 1 or one that makes more than
    // MaxCellCount cells; a count not above FixedRows lowers FixedRows to the count minus 1.
    void SetRowCount(int Value);
    int FixedCols() const { return FFixedCols; }
    // Raises EInvalidGridOperation unless 0 <= Value < ColCount.
    void SetFixedCols(int Value);
    int FixedRows() const { return FFixedRows; }
    // Raises EInvalidGridOperation unless 0 <= Value < RowCount.
    void SetFixedRows(int Value);

    // Raise EListError for an index outside the columns (rows); sizes must not be negative.
    int ColWidths(int Index) const;
    void SetColWidths(int Index, int Value);
    int RowHeights(int Index) const;
    void SetRowHeights(int Index, int Value);
    // Setting a default size gives every column (row) that size.
    int DefaultColWidth() const { return FDefaultColWidth; }
    void SetDefaultColWidth(int Value);
    int DefaultRowHeight() const { return FDefaultRowHeight; }
    void SetDefaultRowHeight(int Value);
    int GridLineWidth() const { return FGridLineWidth; }
    void SetGridLineWidth(int Value);

    TGridOptions Options() const { return FOptions; }
    void SetOptions(TGridOptions Value);

    // The current cell. Raise EListError for a fixed or missing column (row); moving
    // scrolls the cell into view.
    int Col() const { return FCol; }
    void SetCol(int Value);
    int Row() const { return FRow; }
    void SetRow(int Value);
    // The first scrolled column and row shown. Raise EListError for a fixed or missing one.
    int LeftCol() const { return FLeftCol; }
    void SetLeftCol(int Value);
    int TopRow() const { return FTopRow; }
    void SetTopRow(int Value);
    // How many scrolled columns (rows) from LeftCol (TopRow) are shown in full.
    int VisibleColCount() const;
    int VisibleRowCount() const;
    // The height of the strip along the bottom edge that the widget set's column scroll bar
    // covers (0 while it shows none): rows under it do not count as shown.
    int ScrollBarHeight() const { return FScrollBarHeight; }
    // Raises EInvalidGridOperation for a negative height, changing nothing.
    virtual void SetScrollBarHeight(int Value);
    // The height the rows are shown in: the client height above that strip.
    int RowAreaHeight() const;

    // The cell at the client point (X, Y); the grid line after a cell belongs to it.
    // (-1, -1) for a point outside every shown cell.
    TGridCoord MouseCoord(int X, int Y) const;
    // The cell's rectangle in client coordinates, grid lines excluded; an empty rectangle
    // for a cell that is not shown (scrolled away, beyond the client area or missing).
    TRect CellRect(int ACol, int ARow) const;

    // Whether the in-place editor is shown (only with goEditing).
    bool EditorMode() const { return FEditorMode; }
    void SetEditorMode(bool Value);
    void ShowEditor() { SetEditorMode(true); }
    void HideEditor() { SetEditorMode(false); }

    // Removes row ARow; the rows below move up. Raises EListError for a missing row and
    // EInvalidGridOperation when only fixed rows would remain, changing nothing.
    void DeleteRow(int ARow);
    // Inserts an empty row before ARow (RowCount appends). Raises EListError outside
    // 0..RowCount.
    void InsertRow(int ARow);
    // Moves row FromIndex to ToIndex, the rows between shifting by one. Raises EListError
    // for a missing row.
    void MoveRow(int FromIndex, int ToIndex);

    // After OnKeyDown: the arrow keys, Home, End, Page Up and Page Down move the current
    // cell inside the non-fixed cells (Ctrl with Home and End: to the first or last row);
    // Tab moves to the next cell with goTabs; F2 shows the editor with goEditing.
    void KeyDown(int& Key, TShiftState Shift) override;
    // A left button press on a non-fixed cell makes it current; OnMouseDown follows.
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;

    // How a cell is to be drawn: fixed, selected (the current cell, or its row with
    // goRowSelect), focused (the current cell while the grid has the focus).
    TGridDrawState DrawState(int ACol, int ARow) const;
    // Called by the widget set to draw one cell; the base draws nothing.
    virtual void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState);

protected:
    // Descendants keep their cell data in step with the grid's shape.
    virtual void SizeChanged(int OldColCount, int OldRowCount);
    virtual void RowMoved(int FromIndex, int ToIndex);

    void CheckCell(const char* Operation, int ACol, int ARow) const;

    // A descendant that rebuilds its whole layout in one go brackets the rebuild with
    // these: the layout notices of the changes made meanwhile are held back, and the
    // outermost EndLayoutUpdate sends a single one, whatever changed.
    void BeginLayoutUpdate() { ++FLayoutUpdates; }
    void EndLayoutUpdate();

    // Moves Items[FromIndex] to ToIndex, the items between shifting by one.
    template <class T>
    static void MoveItem(std::vector<T>& Items, int FromIndex, int ToIndex) {
        const auto From = Items.begin() + FromIndex;
        const auto To = Items.begin() + ToIndex;
        if (FromIndex < ToIndex)
            std::rotate(From, From + 1, To + 1);
        else
            std::rotate(To, From, From + 1);
    }

private:
    static void CheckCellCount(const char* Operation, int Cols, int Rows);
    void ChangeCount(std::vector<int>& Extents, int Value, int DefaultExtent, int& Fixed,
                     int& Current, int& First);
    void MoveCurrent(int ACol, int ARow);
    void ScrollIntoView();
    void LayoutChanged();
    void PositionChanged();

    std::vector<int> FColWidths;
    std::vector<int> FRowHeights;
    int FFixedCols = 1;
    int FFixedRows = 1;
    int FDefaultColWidth = 64;
    int FDefaultRowHeight = 24;
    int FGridLineWidth = 1;
    TGridOptions FOptions{goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goRangeSelect};
    int FCol = 1;
    int FRow = 1;
    int FLeftCol = 1;
    int FTopRow = 1;
    bool FEditorMode = false;
    int FLayoutUpdates = 0;
    int FScrollBarHeight = 0;
};

// A grid whose cells the application draws in OnDrawCell.
class TDrawGrid : public TCustomGrid {
public:
    explicit TDrawGrid(TComponent* AOwner);

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // Fires OnDrawCell.
    void DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;

    TDrawCellEvent OnDrawCell;
};

// A grid of text cells, each with an object that the grid does not own.
class TStringGrid : public TDrawGrid {
public:
    explicit TStringGrid(TComponent* AOwner);
    ~TStringGrid() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // Raise EListError for a cell outside the grid.
    std::string Cells(int ACol, int ARow) const;
    void SetCells(int ACol, int ARow, const std::string& Value);
    TObject* Objects(int ACol, int ARow) const;
    void SetObjects(int ACol, int ARow, TObject* Value);

    // The cells of one row (column) as strings, live: writing a string writes the cell.
    // Its length is the grid's; inserting or deleting strings raises, Clear empties the
    // cells. The grid keeps the list; it raises EListError once its row (column) is gone.
    // Rows and Cols themselves raise EListError for a missing row (column).
    TStrings* Rows(int ARow);
    TStrings* Cols(int ACol);

protected:
    void SizeChanged(int OldColCount, int OldRowCount) override;
    void RowMoved(int FromIndex, int ToIndex) override;

private:
    struct TCell {
        std::string Text;
        TObject* Object = nullptr;
    };
    class TLineStrings;

    TCell& Cell(int ACol, int ARow);
    const TCell& Cell(int ACol, int ARow) const;

    std::vector<std::vector<TCell>> FCells; // by row, then column
    std::map<int, std::unique_ptr<TLineStrings>> FRowStrings;
    std::map<int, std::unique_ptr<TLineStrings>> FColStrings;
};

} // namespace vorn
