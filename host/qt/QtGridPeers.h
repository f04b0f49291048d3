#pragma once

#include "host/components/controls/Grid.h"
#include "host/data/dataset/DataSet.h"
#include "host/qt/QtPeer.h"

#include <QVariant>

#include <memory>
#include <optional>

class QModelIndex;
class QScrollBar;
class QTimer;
class QTableView;
class QWheelEvent;

namespace vorn {

class TCustomDBGrid;
class TCustomGrid;
class TStringGrid;

// The parts that both grid peers share: a table view whose cells stand for grid cells,
// mouse positions translated into the grid's own client coordinates, and the grid's
// current cell shown as the view's current index.
class TQtGridPeerBase : public TQtPeer {
public:
    // The peer's widget is Container, or the view itself when there is none.
    TQtGridPeerBase(TCustomGrid& Grid, QTableView* View, QWidget* Container = nullptr);

    void Synchronize() override;
    void GridPositionChanged() override;
    // Only the grid with the focus shows the active highlight: gaining or losing it
    // repaints the current cell.
    void FocusChanged() override;

    // The brushes of a non-fixed cell in State for the view's colour roles: the highlight
    // for the selected cells of the grid with the focus, a dimmed highlight (see
    // InactiveHighlight) for those of a grid without it, Color and TextColor elsewhere.
    static QVariant CellBackground(const TCustomGrid& Grid, TGridDrawState State, TColor Color);
    static QVariant CellForeground(const TCustomGrid& Grid, TGridDrawState State, TColor TextColor);

protected:
    // The grid cell that view cell (Row, Column) shows.
    virtual int GridCol(int ViewColumn) const = 0;
    virtual int GridRow(int ViewRow) const = 0;
    // The view cell that shows grid cell (ACol, ARow), if any.
    virtual std::optional<std::pair<int, int>> ViewCell(int ACol, int ARow) const = 0;

    QPoint ToClientPoint(QObject* Source, QPoint Position) const override;
    // The point at Offset from the top left of the grid's Cell, kept inside the cell and
    // the grid.
    QPoint PointInCell(const TRect& Cell, QPoint Offset) const;
    bool ConsumesButtons(QObject* Source) const override;
    bool HandleInput(QObject* Source, QEvent* Event) override;
    // The user turned the mouse wheel by Steps notches (positive: towards the end).
    virtual void Wheel(int Steps) = 0;

    QTableView& View() const { return FView; }
    TCustomGrid& Grid() const { return FGrid; }

private:
    TCustomGrid& FGrid;
    QTableView& FView;
};

// A string grid: every grid cell is a view cell (fixed ones drawn like headers), and the
// rows and columns that the grid has scrolled away are hidden, so that the view lays out
// what the grid lays out.
class TQtStringGridPeer : public TQtGridPeerBase {
public:
    explicit TQtStringGridPeer(TStringGrid& Grid);
    ~TQtStringGridPeer() override;

    void AppearanceChanged() override;
    void CellChanged(int ACol, int ARow) override;
    void GridLayoutChanged() override;
    void GridPositionChanged() override;

protected:
    int GridCol(int ViewColumn) const override { return ViewColumn; }
    int GridRow(int ViewRow) const override { return ViewRow; }
    std::optional<std::pair<int, int>> ViewCell(int ACol, int ARow) const override;
    void Wheel(int Steps) override;
    bool HandleInput(QObject* Source, QEvent* Event) override;

private:
    class TModel;
    void ShowScrollPosition();
    int ColumnEdgeAt(QPoint Point) const;

    TStringGrid& FStringGrid;
    std::unique_ptr<TModel> FModel;
    // The column being sized by a drag of its edge (-1: none), where the drag started and
    // the column's width then.
    int FSizingCol = -1;
    int FSizingStartX = 0;
    int FSizingStartWidth = 0;
};

// A data grid: the view's rows are the records the grid holds (never the whole table),
// the horizontal header shows the column titles and takes title clicks, and a scroll bar
// beside the view moves the dataset.
class TQtDBGridPeer : public TQtGridPeerBase {
public:
    explicit TQtDBGridPeer(TCustomDBGrid& Grid);
    ~TQtDBGridPeer() override;

    void BoundsChanged() override;
    void AppearanceChanged() override;
    void CellChanged(int ACol, int ARow) override;
    void GridLayoutChanged() override;
    void GridPositionChanged() override;

    QTableView& TableView() const { return View(); }
    QScrollBar& ScrollBar() const { return *FScrollBar; }
    QScrollBar& ColumnScrollBar() const { return *FColumnScrollBar; }
    // Whether the count of the current record's place still waits.
    bool PositionCountPending() const;

protected:
    int GridCol(int ViewColumn) const override;
    int GridRow(int ViewRow) const override;
    std::optional<std::pair<int, int>> ViewCell(int ACol, int ARow) const override;
    void Wheel(int Steps) override;
    QPoint ToClientPoint(QObject* Source, QPoint Position) const override;
    bool ForwardsButtons(QObject* Source) const override;
    void ApplyDeferredChanges() override;

private:
    class TModel;
    void TitleClicked(int ViewColumn);
    void TitleResized(int ViewColumn, int Size);
    void ScrollActionTriggered(int Action);
    void MoveDataSet(int Distance);
    void ShowDataSetPosition();
    void ShowColumnPosition();
    void ShowPosition(const std::optional<TDataSet::TRecordPosition>& Estimate);
    void ShowCountedPosition();
    std::optional<TDataSet::TRecordPosition> EstimatedPosition(bool MayCount);
    void AnnounceKeyboardFocus();

    TCustomDBGrid& FDBGrid;
    std::unique_ptr<TModel> FModel;
    QScrollBar* FScrollBar;
    QScrollBar* FColumnScrollBar;
    bool FLayoutPending = false;
    QTimer* FCountTimer;
    // The grid column whose title was last announced as focused; -1 for the cells.
    int FAnnouncedTitleCol = -1;
};

} // namespace vorn
