#include "host/components/controls/Grid.h"
#include "host/qt/QtAccessibleText.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtGridPeers.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QMouseEvent>
#include <QTableView>

#include <algorithm>
#include <cstdlib>

namespace vorn {

// Every cell of the grid, read from the grid whenever the view asks.
class TQtStringGridPeer::TModel : public QAbstractTableModel {
public:
    explicit TModel(TStringGrid& Grid) : FGrid(Grid) {}

    int rowCount(const QModelIndex& Parent) const override {
        return Parent.isValid() ? 0 : FGrid.RowCount();
    }
    int columnCount(const QModelIndex& Parent) const override {
        return Parent.isValid() ? 0 : FGrid.ColCount();
    }

    QVariant data(const QModelIndex& Index, int Role) const override {
        if (!Index.isValid())
            return {};
        const int ACol = Index.column();
        const int ARow = Index.row();
        switch (Role) {
        case Qt::DisplayRole:
            return ToQString(FGrid.Cells(ACol, ARow));
        case Qt::AccessibleTextRole: {
            const std::string Text =
                GridCellAccessibleText(FGrid, ACol, ARow, FGrid.Cells(ACol, ARow));
            return Text.empty() ? QVariant() : QVariant(ToQString(Text));
        }
        case Qt::BackgroundRole: {
            const TGridDrawState State = FGrid.DrawState(ACol, ARow);
            return CellBackground(FGrid, State,
                                  State.Contains(gdFixed) ? clBtnFace : FGrid.Color());
        }
        case Qt::ForegroundRole:
            return CellForeground(FGrid, FGrid.DrawState(ACol, ARow), FGrid.Font()->Color());
        case Qt::FontRole:
            return ToQFont(*FGrid.Font());
        default:
            return {};
        }
    }

    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void CellChanged(int ACol, int ARow) {
        const QModelIndex Cell = index(ARow, ACol);
        emit dataChanged(Cell, Cell);
    }
    void AllCellsChanged() {
        emit dataChanged(index(0, 0), index(FGrid.RowCount() - 1, FGrid.ColCount() - 1));
    }

private:
    TStringGrid& FGrid;
};

TQtStringGridPeer::TQtStringGridPeer(TStringGrid& Grid)
    : TQtGridPeerBase(Grid, new QTableView), FStringGrid(Grid),
      FModel(std::make_unique<TModel>(Grid)) {
    View().horizontalHeader()->hide();
    View().verticalHeader()->hide();
    View().horizontalHeader()->setMinimumSectionSize(0);
    View().verticalHeader()->setMinimumSectionSize(0);
    View().setModel(FModel.get());
    // The cells lie inside a sunken border two pixels wide, where controls laid over a
    // cell (a filter grid's combo box) expect them: at the grid's position plus the
    // cell's plus the border.
    View().setFrameStyle(QFrame::Panel | QFrame::Sunken);
    View().setLineWidth(2);
}

TQtStringGridPeer::~TQtStringGridPeer() {
    // The view goes before the model it shows.
    if (Widget() != nullptr)
        View().setModel(nullptr);
}

void TQtStringGridPeer::AppearanceChanged() {
    TQtPeer::AppearanceChanged();
    FModel->AllCellsChanged();
}

void TQtStringGridPeer::CellChanged(int ACol, int ARow) {
    FModel->CellChanged(ACol, ARow);
}

void TQtStringGridPeer::GridLayoutChanged() {
    FModel->Reset();
    View().setShowGrid(FStringGrid.GridLineWidth() > 0);
    // A view's section includes the line after it; the grid counts the line separately.
    for (int ACol = 0; ACol < FStringGrid.ColCount(); ++ACol)
        View().setColumnWidth(ACol, FStringGrid.ColWidths(ACol) + FStringGrid.GridLineWidth());
    for (int ARow = 0; ARow < FStringGrid.RowCount(); ++ARow)
        View().setRowHeight(ARow, FStringGrid.RowHeights(ARow) + FStringGrid.GridLineWidth());
    GridPositionChanged();
}

void TQtStringGridPeer::GridPositionChanged() {
    ShowScrollPosition();
    TQtGridPeerBase::GridPositionChanged();
    FModel->AllCellsChanged();
}

void TQtStringGridPeer::ShowScrollPosition() {
    for (int ACol = FStringGrid.FixedCols(); ACol < FStringGrid.ColCount(); ++ACol)
        View().setColumnHidden(ACol, ACol < FStringGrid.LeftCol());
    for (int ARow = FStringGrid.FixedRows(); ARow < FStringGrid.RowCount(); ++ARow)
        View().setRowHidden(ARow, ARow < FStringGrid.TopRow());
}

std::optional<std::pair<int, int>> TQtStringGridPeer::ViewCell(int ACol, int ARow) const {
    return std::pair{ACol, ARow};
}

// With goColSizing a column's right edge in the fixed rows can be dragged: the press
// there, the moves and the release size the column and are no clicks on its cells.
bool TQtStringGridPeer::HandleInput(QObject* Source, QEvent* Event) {
    const auto Type = Event->type();
    const bool Mouse = Type == QEvent::MouseButtonPress || Type == QEvent::MouseMove ||
                       Type == QEvent::MouseButtonRelease;
    if (!Mouse || Source != View().viewport())
        return TQtGridPeerBase::HandleInput(Source, Event);
    const auto& MouseEvent = static_cast<QMouseEvent&>(*Event);
    const QPoint Point = MouseEvent.position().toPoint();
    if (FSizingCol >= 0) {
        const int Col = FSizingCol;
        const int Width = std::max(0, FSizingStartWidth + Point.x() - FSizingStartX);
        if (Type == QEvent::MouseButtonRelease)
            FSizingCol = -1;
        Dispatch([&] { FStringGrid.SetColWidths(Col, Width); });
        return true;
    }
    const int Edge = ColumnEdgeAt(Point);
    if (Type == QEvent::MouseMove && MouseEvent.buttons() == Qt::NoButton) {
        if (Edge >= 0)
            View().viewport()->setCursor(Qt::SplitHCursor);
        else
            View().viewport()->unsetCursor();
    }
    if (Type == QEvent::MouseButtonPress && MouseEvent.button() == Qt::LeftButton && Edge >= 0) {
        FSizingCol = Edge;
        FSizingStartX = Point.x();
        FSizingStartWidth = FStringGrid.ColWidths(Edge);
        return true;
    }
    return TQtGridPeerBase::HandleInput(Source, Event);
}

// The column whose right edge lies within a few pixels of Point in a fixed row, or -1.
int TQtStringGridPeer::ColumnEdgeAt(QPoint Point) const {
    constexpr int Reach = 3;
    if (!FStringGrid.Options().Contains(goColSizing))
        return -1;
    const int Row = View().rowAt(Point.y());
    if (Row < 0 || Row >= FStringGrid.FixedRows())
        return -1;
    for (int ACol = 0; ACol < FStringGrid.ColCount(); ++ACol) {
        if (View().isColumnHidden(ACol))
            continue;
        const int Right = View().columnViewportPosition(ACol) + View().columnWidth(ACol);
        if (std::abs(Point.x() - Right) <= Reach)
            return ACol;
    }
    return -1;
}

void TQtStringGridPeer::Wheel(int Steps) {
    const int LastRow = FStringGrid.RowCount() - 1;
    if (LastRow < FStringGrid.FixedRows())
        return;
    const int Target = std::clamp(FStringGrid.TopRow() + Steps, FStringGrid.FixedRows(), LastRow);
    FStringGrid.SetTopRow(Target);
}

} // namespace vorn
