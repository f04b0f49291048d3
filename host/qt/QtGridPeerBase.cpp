#include "host/components/controls/Grid.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtGridPeers.h"

#include <QBrush>

#include <QHeaderView>
#include <QTableView>
#include <QWheelEvent>

#include <algorithm>

namespace vorn {

TQtGridPeerBase::TQtGridPeerBase(TCustomGrid& Grid, QTableView* View, QWidget* Container)
    : TQtPeer(Grid, Container != nullptr ? Container : View), FGrid(Grid), FView(*View) {
    // The grid decides what is shown where: the view neither scrolls nor selects by itself.
    View->setFrameShape(QFrame::NoFrame);
    View->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    View->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    View->setSelectionMode(QAbstractItemView::NoSelection);
    View->setEditTriggers(QAbstractItemView::NoEditTriggers);
    View->setCornerButtonEnabled(false);
    View->viewport()->setMouseTracking(true);
    WatchInput(View->viewport());
    if (Container != nullptr) {
        WatchInput(View);
        Container->setFocusProxy(View);
    }
}

void TQtGridPeerBase::Synchronize() {
    GridLayoutChanged();
    TQtPeer::Synchronize();
}

void TQtGridPeerBase::GridPositionChanged() {
    const TPushScope Scope(*this);
    const auto Cell = ViewCell(FGrid.Col(), FGrid.Row());
    if (!Cell)
        return;
    const QModelIndex Current = FView.model()->index(Cell->second, Cell->first);
    FView.selectionModel()->setCurrentIndex(Current, QItemSelectionModel::NoUpdate);
}

void TQtGridPeerBase::FocusChanged() {
    TQtPeer::FocusChanged();
    FView.viewport()->update();
}

namespace {

bool ShowsHighlight(TGridDrawState State) {
    return State.Contains(gdSelected) && !State.Contains(gdFixed);
}

} // namespace

QVariant TQtGridPeerBase::CellBackground(const TCustomGrid& Grid, TGridDrawState State,
                                         TColor Color) {
    if (!ShowsHighlight(State))
        return ColorBrush(Color);
    return Grid.Focused() ? ColorBrush(clHighlight) : QVariant(QBrush(InactiveHighlight()));
}

QVariant TQtGridPeerBase::CellForeground(const TCustomGrid& Grid, TGridDrawState State,
                                         TColor TextColor) {
    if (!ShowsHighlight(State))
        return ColorBrush(TextColor);
    if (Grid.Focused())
        return ColorBrush(clHighlightText);
    const auto Text = ToQColor(clWindowText);
    return QBrush(ReadableTextColor(InactiveHighlight(), Text.value_or(QColor(Qt::black))));
}

QPoint TQtGridPeerBase::ToClientPoint(QObject* Source, QPoint Position) const {
    if (Source != FView.viewport())
        return TQtPeer::ToClientPoint(Source, Position);
    const QModelIndex Index = FView.indexAt(Position);
    if (Index.isValid()) {
        const TRect Cell = FGrid.CellRect(GridCol(Index.column()), GridRow(Index.row()));
        if (!Cell.IsEmpty()) {
            return PointInCell(Cell, Position - FView.visualRect(Index).topLeft());
        }
    }
    return TQtPeer::ToClientPoint(Source, Position);
}

// The view's cell and the grid's cell may differ in size by the grid line and the
// header's height: the point keeps its offset inside the part of the cell that lies
// inside the grid.
QPoint TQtGridPeerBase::PointInCell(const TRect& Cell, QPoint Offset) const {
    const int Right = std::min(Cell.Right, FGrid.ClientWidth());
    const int Bottom = std::min(Cell.Bottom, FGrid.ClientHeight());
    return {std::clamp(Cell.Left + Offset.x(), Cell.Left, Right - 1),
            std::clamp(Cell.Top + Offset.y(), Cell.Top, Bottom - 1)};
}

bool TQtGridPeerBase::ConsumesButtons(QObject* Source) const {
    return Source == FView.viewport();
}

bool TQtGridPeerBase::HandleInput(QObject* Source, QEvent* Event) {
    if (Event->type() != QEvent::Wheel || Source != FView.viewport())
        return TQtPeer::HandleInput(Source, Event);
    const int Degrees = static_cast<QWheelEvent*>(Event)->angleDelta().y() / 8;
    const int Steps = -Degrees / 15;
    if (Steps != 0)
        Dispatch([&] { Wheel(Steps); });
    return true;
}

} // namespace vorn
