#include "host/components/controls/Input.h"
#include "host/data/dataset/DataSet.h"
#include "host/data/grid/DBGrid.h"
#include "host/qt/QtAccessibleText.h"
#include "host/qt/QtConvert.h"
#include "host/qt/QtDBGridHeader.h"
#include "host/qt/QtGridPeers.h"

#include <QAbstractTableModel>
#include <QAccessible>
#include <QApplication>
#include <QBrush>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLayout>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <utility>

namespace vorn {

namespace {

// The vertical scroll bar shows the ends exactly and anything between as the dataset
// estimates it (EstimatedRecordPosition), with a thumb as long as the shown part; a
// dataset without estimates gets a fixed thumb that follows its moves approximately.
constexpr int ScrollRange = 1000;
// Without estimates: a dragged slider moves a tenth of a page per step of the range.
constexpr int SliderStepsPerPage = 100;
constexpr int RecordsPerSliderStep = 10;
// Milliseconds between the last jump and the count of the record's place.
constexpr int PositionCountDelay = 200;

} // namespace

// The records the grid holds now, read from the grid whenever the view asks; the titles
// are the horizontal header, the indicator the vertical one.
class TQtDBGridPeer::TModel : public QAbstractTableModel {
public:
    explicit TModel(TCustomDBGrid& Grid) : FGrid(Grid) {}

    int rowCount(const QModelIndex& Parent) const override {
        return Parent.isValid() ? 0 : FGrid.RowCount() - FGrid.FixedRows();
    }
    int columnCount(const QModelIndex& Parent) const override {
        return Parent.isValid() ? 0 : FGrid.ColCount() - FGrid.FixedCols();
    }

    QVariant data(const QModelIndex& Index, int Role) const override {
        if (!Index.isValid())
            return {};
        const int ACol = Index.column() + FGrid.FixedCols();
        const int ARow = Index.row() + FGrid.FixedRows();
        const TGridDrawState State = FGrid.DrawState(ACol, ARow);
        switch (Role) {
        case Qt::DisplayRole:
            return CellText(ACol, ARow);
        case Qt::TextAlignmentRole:
            return QVariant::fromValue((FGrid.CellAlignment(ACol, ARow) == taRightJustify
                                            ? Qt::AlignRight
                                            : Qt::AlignLeft) |
                                       Qt::AlignVCenter);
        case Qt::BackgroundRole:
            return TQtGridPeerBase::CellBackground(FGrid, State, FGrid.Color());
        case Qt::ForegroundRole:
            return TQtGridPeerBase::CellForeground(FGrid, State, FGrid.Font()->Color());
        case Qt::FontRole:
            return ToQFont(*FGrid.Font());
        default:
            return {};
        }
    }

    QVariant headerData(int Section, Qt::Orientation Orientation, int Role) const override {
        if (Orientation == Qt::Vertical)
            return Role == Qt::DisplayRole &&
                           Section + FGrid.FixedRows() == FGrid.CurrentRecordRow()
                       ? QVariant(QStringLiteral("\u25B6"))
                       : QVariant();
        const TColumn* Column = FGrid.ColumnAt(Section + FGrid.FixedCols());
        if (Column == nullptr)
            return {};
        const TColumnTitle& Title = *Column->Title();
        switch (Role) {
        case Qt::DisplayRole:
            return ToQString(Title.Caption());
        case Qt::BackgroundRole:
            return ColorBrush(Title.Color());
        case Qt::ForegroundRole:
            return TitleForeground(Title);
        case Qt::FontRole:
            return ToQFont(*Title.Font());
        case Qt::AccessibleDescriptionRole: {
            const std::string Description = SortedTitleDescription(Title);
            return Description.empty() ? QVariant() : QVariant(ToQString(Description));
        }
        default:
            return {};
        }
    }

    void Reset() {
        beginResetModel();
        endResetModel();
    }
    void AllChanged() {
        if (rowCount({}) == 0 || columnCount({}) == 0)
            return;
        emit dataChanged(index(0, 0), index(rowCount({}) - 1, columnCount({}) - 1));
        emit headerDataChanged(Qt::Vertical, 0, rowCount({}) - 1);
    }

private:
    // An explicit title colour may come with a text colour that can hardly be read on it
    // (the palette's light text on a light sort highlight): the text then turns black or
    // white, whichever reads better.
    static QVariant TitleForeground(const TColumnTitle& Title) {
        const auto Text = ToQColor(Title.Font()->Color());
        const auto Background = ToQColor(Title.Color());
        if (!Text || !Background)
            return ColorBrush(Title.Font()->Color());
        return QBrush(ReadableTextColor(*Background, *Text));
    }

    // A field whose text cannot be read shows empty rather than failing the paint.
    QVariant CellText(int ACol, int ARow) const {
        try {
            return ToQString(FGrid.DisplayText(ACol, ARow));
        } catch (const std::exception&) {
            return {};
        }
    }

    TCustomDBGrid& FGrid;
};

TQtDBGridPeer::TQtDBGridPeer(TCustomDBGrid& Grid)
    : TQtGridPeerBase(Grid, new QTableView, new QWidget), FDBGrid(Grid),
      FModel(std::make_unique<TModel>(Grid)), FScrollBar(new QScrollBar(Qt::Vertical)),
      FColumnScrollBar(new QScrollBar(Qt::Horizontal)), FCountTimer(new QTimer(Widget())) {
    auto* Layout = new QGridLayout(Widget());
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->setSpacing(0);
    Layout->addWidget(&View(), 0, 0);
    Layout->addWidget(FScrollBar, 0, 1);
    Layout->addWidget(FColumnScrollBar, 1, 0);
    FColumnScrollBar->hide();
    View().setHorizontalHeader(new TQtDBGridHeader(Grid));
    View().setModel(FModel.get());
    View().horizontalHeader()->setMinimumSectionSize(0);
    View().horizontalHeader()->setSectionsClickable(true);
    View().horizontalHeader()->viewport()->setMouseTracking(true);
    WatchInput(View().horizontalHeader()->viewport());
    FScrollBar->setRange(0, ScrollRange);
    FScrollBar->setPageStep(SliderStepsPerPage);
    QObject::connect(View().horizontalHeader(), &QHeaderView::sectionClicked, Context(),
                     [this](int Section) { TitleClicked(Section); });
    QObject::connect(View().horizontalHeader(), &QHeaderView::sectionResized, Context(),
                     [this](int Section, int, int Size) { TitleResized(Section, Size); });
    QObject::connect(FScrollBar, &QScrollBar::actionTriggered, Context(),
                     [this](int Action) { ScrollActionTriggered(Action); });
    FCountTimer->setSingleShot(true);
    FCountTimer->setInterval(PositionCountDelay);
    QObject::connect(FCountTimer, &QTimer::timeout, Context(), [this] { ShowCountedPosition(); });
    QObject::connect(FColumnScrollBar, &QScrollBar::valueChanged, Context(), [this](int Value) {
        if (!Pushing())
            Dispatch([&] { FDBGrid.SetLeftCol(Value); });
    });
}

TQtDBGridPeer::~TQtDBGridPeer() {
    FLayoutPending = false;
    if (Widget() != nullptr)
        View().setModel(nullptr);
}

int TQtDBGridPeer::GridCol(int ViewColumn) const {
    return ViewColumn + FDBGrid.FixedCols();
}

int TQtDBGridPeer::GridRow(int ViewRow) const {
    return ViewRow + FDBGrid.FixedRows();
}

std::optional<std::pair<int, int>> TQtDBGridPeer::ViewCell(int ACol, int ARow) const {
    if (ACol < FDBGrid.FixedCols() || ARow < FDBGrid.FixedRows())
        return std::nullopt;
    return std::pair{ACol - FDBGrid.FixedCols(), ARow - FDBGrid.FixedRows()};
}

QPoint TQtDBGridPeer::ToClientPoint(QObject* Source, QPoint Position) const {
    const QHeaderView& Header = *View().horizontalHeader();
    if (Source != Header.viewport() || FDBGrid.FixedRows() == 0)
        return TQtGridPeerBase::ToClientPoint(Source, Position);
    const int Section = Header.logicalIndexAt(Position.x());
    const TRect Cell = Section < 0 ? TRect{} : FDBGrid.CellRect(GridCol(Section), 0);
    if (Cell.IsEmpty())
        return TQtGridPeerBase::ToClientPoint(Source, Position);
    return PointInCell(Cell, Position - QPoint(Header.sectionViewportPosition(Section), 0));
}

// Title presses arrive as whole title clicks (sectionClicked), not as presses.
bool TQtDBGridPeer::ForwardsButtons(QObject* Source) const {
    return Source != View().horizontalHeader()->viewport();
}

// The view and the scroll bar take their places at once, not at the next event loop
// turn, so that input arriving before it already finds the cells where the grid has them.
void TQtDBGridPeer::BoundsChanged() {
    TQtPeer::BoundsChanged();
    Widget()->layout()->activate();
    if (!FLayoutPending)
        ShowColumnPosition();
}

// While a layout waits, the view's rows may no longer be the grid's: the layout shows the
// cells and the position once it is applied.
void TQtDBGridPeer::AppearanceChanged() {
    TQtPeer::AppearanceChanged();
    if (!FLayoutPending)
        FModel->AllChanged();
}

void TQtDBGridPeer::CellChanged(int /*ACol*/, int /*ARow*/) {
    if (!FLayoutPending)
        FModel->AllChanged();
}

// A re-sort changes every title's caption, colour and font, and the records: each change
// lays the grid out anew, and the view, whose every layout measures all its titles, follows
// them once.
void TQtDBGridPeer::GridLayoutChanged() {
    FLayoutPending = true;
    DeferUntilCallbacksReturn();
}

void TQtDBGridPeer::ApplyDeferredChanges() {
    if (!std::exchange(FLayoutPending, false))
        return;
    // The view's own resizes of the titles are no user's.
    const TPushScope Scope(*this);
    FModel->Reset();
    View().horizontalHeader()->setVisible(FDBGrid.FixedRows() > 0);
    View().verticalHeader()->setVisible(FDBGrid.FixedCols() > 0);
    View().setShowGrid(FDBGrid.GridLineWidth() > 0);
    View().horizontalHeader()->setSectionResizeMode(
        FDBGrid.Options().Contains(dgColumnResize) ? QHeaderView::Interactive : QHeaderView::Fixed);
    for (int Section = 0; Section < FModel->columnCount({}); ++Section)
        View().setColumnWidth(Section,
                              FDBGrid.ColWidths(GridCol(Section)) + FDBGrid.GridLineWidth());
    for (int Section = 0; Section < FModel->rowCount({}); ++Section)
        View().setRowHeight(Section,
                            FDBGrid.RowHeights(GridRow(Section)) + FDBGrid.GridLineWidth());
    GridPositionChanged();
}

void TQtDBGridPeer::GridPositionChanged() {
    if (FLayoutPending)
        return;
    TQtGridPeerBase::GridPositionChanged();
    FModel->AllChanged();
    ShowDataSetPosition();
    ShowColumnPosition();
    // The focus frame follows the title focus.
    View().horizontalHeader()->viewport()->update();
    AnnounceKeyboardFocus();
}

// Assistive tools hear where the keyboard focus went when it moves onto a title, along the
// titles, and back to the cells; the view announces the moves between cells itself.
void TQtDBGridPeer::AnnounceKeyboardFocus() {
    const int TitleCol = FDBGrid.TitleFocused() ? FDBGrid.Col() : -1;
    if (TitleCol == FAnnouncedTitleCol)
        return;
    const bool BackToCells = FAnnouncedTitleCol >= 0 && TitleCol < 0;
    FAnnouncedTitleCol = TitleCol;
    if (!AccessibleEventsHeard())
        return;
    QAccessibleInterface* Table = QAccessible::queryAccessibleInterface(&View());
    const auto Cell = ViewCell(FDBGrid.Col(), FDBGrid.Row());
    if (Table == nullptr || Table->tableInterface() == nullptr || !Cell ||
        (TitleCol < 0 && !BackToCells))
        return;
    QAccessibleInterface* Focused = Table->tableInterface()->cellAt(Cell->second, Cell->first);
    if (Focused == nullptr)
        return;
    int Child = -1;
    if (TitleCol >= 0) {
        const QList<QAccessibleInterface*> Titles =
            Focused->tableCellInterface()->columnHeaderCells();
        Child = Titles.isEmpty() ? -1 : Table->indexOfChild(Titles.first());
        for (QAccessibleInterface* Title : Titles)
            FreeLooseAccessible(Title);
    } else {
        Child = Table->indexOfChild(Focused);
    }
    if (Child < 0)
        return;
    QAccessibleEvent Event(&View(), QAccessible::Focus);
    Event.setChild(Child);
    RaiseAccessibleEvent(Event);
}

void TQtDBGridPeer::TitleClicked(int ViewColumn) {
    const TColumn* Column = FDBGrid.ColumnAt(GridCol(ViewColumn));
    if (Column == nullptr)
        return;
    const TShiftState Shift = ShiftFromQt(QGuiApplication::keyboardModifiers());
    Dispatch([&] { UserClickTitle(FDBGrid, *Column, Shift); });
}

// A title's edge dragged by the user (dgColumnResize) sizes its column; the view's section
// holds the grid line after the column too.
void TQtDBGridPeer::TitleResized(int ViewColumn, int Size) {
    if (Pushing())
        return;
    TColumn* Column = FDBGrid.ColumnAt(GridCol(ViewColumn));
    if (Column == nullptr)
        return;
    Dispatch([&] { Column->SetWidth(std::max(0, Size - FDBGrid.GridLineWidth())); });
}

void TQtDBGridPeer::ScrollActionTriggered(int Action) {
    const int Page = std::max(1, FDBGrid.RecordCapacity());
    const bool Alive = Dispatch([&] {
        TDataSet* DataSet = FDBGrid.ActiveDataSet();
        if (DataSet == nullptr || !FDBGrid.CanReceiveInput())
            return;
        switch (Action) {
        case QAbstractSlider::SliderSingleStepAdd:
            return MoveDataSet(1);
        case QAbstractSlider::SliderSingleStepSub:
            return MoveDataSet(-1);
        case QAbstractSlider::SliderPageStepAdd:
            return MoveDataSet(Page);
        case QAbstractSlider::SliderPageStepSub:
            return MoveDataSet(-Page);
        case QAbstractSlider::SliderToMinimum:
            return DataSet->First();
        case QAbstractSlider::SliderToMaximum:
            return DataSet->Last();
        case QAbstractSlider::SliderMove:
            if (FScrollBar->sliderPosition() == 0)
                return DataSet->First();
            if (FScrollBar->sliderPosition() == ScrollRange)
                return DataSet->Last();
            if (DataSet->MoveToFraction(static_cast<double>(FScrollBar->sliderPosition()) /
                                        ScrollRange))
                return;
            return MoveDataSet((FScrollBar->sliderPosition() - FScrollBar->value()) *
                               std::max(1, Page / RecordsPerSliderStep));
        default:
            return;
        }
    });
    if (Alive)
        ShowDataSetPosition();
}

void TQtDBGridPeer::MoveDataSet(int Distance) {
    if (TDataSet* DataSet = FDBGrid.ActiveDataSet())
        DataSet->MoveBy(Distance);
}

// A failing estimate leaves the thumb where it was: showing the position must not fail
// the move that is being shown, and the next statement on the database reports the fault.
std::optional<TDataSet::TRecordPosition> TQtDBGridPeer::EstimatedPosition(bool MayCount) {
    TDataSet* DataSet = FDBGrid.ActiveDataSet();
    if (DataSet == nullptr)
        return std::nullopt;
    try {
        return DataSet->EstimatedRecordPosition(MayCount);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

// The place of a record reached by a jump is counted a moment after the last of a burst of
// jumps (typing into a locate edit, clicking titles), once the grid has been repainted: the
// count takes tens of milliseconds on a large table, the records show at once and the
// thumb follows.
void TQtDBGridPeer::ShowDataSetPosition() {
    TDataSet* DataSet = FDBGrid.ActiveDataSet();
    FScrollBar->setEnabled(DataSet != nullptr);
    const auto Known = EstimatedPosition(false);
    if (Known || DataSet == nullptr || DataSet->Bof() || DataSet->Eof())
        return ShowPosition(Known);
    ShowPosition(std::nullopt);
    FCountTimer->start();
}

bool TQtDBGridPeer::PositionCountPending() const {
    return FCountTimer->isActive();
}

void TQtDBGridPeer::ShowCountedPosition() {
    if (const auto Counted = EstimatedPosition(true))
        ShowPosition(Counted);
}

void TQtDBGridPeer::ShowPosition(const std::optional<TDataSet::TRecordPosition>& Estimate) {
    const TDataSet* DataSet = FDBGrid.ActiveDataSet();
    int Position = std::clamp(FScrollBar->sliderPosition(), 1, ScrollRange - 1);
    int PageStep = Estimate ? FScrollBar->pageStep() : SliderStepsPerPage;
    if (Estimate) {
        const double Count = static_cast<double>(std::max<std::int64_t>(Estimate->Count, 1));
        PageStep = std::clamp(static_cast<int>(ScrollRange * FDBGrid.RecordCapacity() / Count), 1,
                              ScrollRange);
        Position = std::clamp(static_cast<int>(std::lround(ScrollRange * Estimate->Before /
                                                           std::max(1.0, Count - 1))),
                              1, ScrollRange - 1);
    }
    if (DataSet == nullptr || DataSet->Bof())
        Position = 0;
    else if (DataSet->Eof())
        Position = ScrollRange;
    const QSignalBlocker Blocker(FScrollBar);
    FScrollBar->setPageStep(PageStep);
    FScrollBar->setSliderPosition(Position);
}

// The columns scrolled away to the left are hidden; the bar shows while the columns do
// not all fit.
void TQtDBGridPeer::ShowColumnPosition() {
    const TPushScope Scope(*this);
    int Width = 0;
    for (int Section = 0; Section < FModel->columnCount({}); ++Section) {
        const bool Hidden = GridCol(Section) < FDBGrid.LeftCol();
        // Every change of a section makes the view lay out its titles again.
        if (View().isColumnHidden(Section) != Hidden)
            View().setColumnHidden(Section, Hidden);
        Width += FDBGrid.ColWidths(GridCol(Section)) + FDBGrid.GridLineWidth();
    }
    const int Room =
        View().viewport()->width() > 0 ? View().viewport()->width() : FDBGrid.ClientWidth();
    const bool Fits = FDBGrid.LeftCol() == FDBGrid.FixedCols() && Width <= Room;
    FColumnScrollBar->setRange(FDBGrid.FixedCols(),
                               std::max(FDBGrid.FixedCols(), FDBGrid.ColCount() - 1));
    FColumnScrollBar->setValue(FDBGrid.LeftCol());
    FColumnScrollBar->setVisible(!Fits);
    // The bar takes its height from the rows: the grid learns it once the notification that
    // brought us here has returned, since it may read its records again.
    const int Covered = Fits ? 0 : FColumnScrollBar->sizeHint().height();
    if (Covered != FDBGrid.ScrollBarHeight())
        QMetaObject::invokeMethod(
            Context(), [this, Covered] { Dispatch([&] { FDBGrid.SetScrollBarHeight(Covered); }); },
            Qt::QueuedConnection);
}

void TQtDBGridPeer::Wheel(int Steps) {
    FDBGrid.ScrollRecords(Steps * QApplication::wheelScrollLines());
}

} // namespace vorn
