#include "host/components/controls/Grid.h"

#include "host/components/model/AliveGuard.h"
#include "host/components/model/CheckedArithmetic.h"

#include <algorithm>

namespace vorn {

namespace {

// One direction of the grid: columns across, or rows down.
struct TAxis {
    const std::vector<int>& Extents;
    int Fixed;
    int First; // the first scrolled index shown
    int LineWidth;
    int ClientExtent;

    int Count() const { return static_cast<int>(Extents.size()); }
    long long Extent(int Index) const { return Extents[static_cast<std::size_t>(Index)]; }
};

// Calls Visit(Index, Start) for the shown indexes in screen order until Visit returns
// false or the client area ends.
template <class Visitor>
void ForEachShown(const TAxis& Axis, Visitor&& Visit) {
    long long Start = 0;
    auto Step = [&](int Index) {
        if (Start >= Axis.ClientExtent || !Visit(Index, Start))
            return false;
        Start += Axis.Extent(Index) + Axis.LineWidth;
        return true;
    };
    for (int Index = 0; Index < Axis.Fixed; ++Index)
        if (!Step(Index))
            return;
    for (int Index = Axis.First; Index < Axis.Count(); ++Index)
        if (!Step(Index))
            return;
}

// Where Index is shown, its grid line excluded; false when it is not shown.
bool CellSpan(const TAxis& Axis, int Index, long long& Start, long long& End) {
    if (Index < 0 || Index >= Axis.Count() || (Index >= Axis.Fixed && Index < Axis.First))
        return false;
    bool Found = false;
    ForEachShown(Axis, [&](int Shown, long long ShownStart) {
        if (Shown != Index)
            return true;
        Start = ShownStart;
        End = ShownStart + Axis.Extent(Index);
        Found = true;
        return false;
    });
    return Found;
}

int CellAt(const TAxis& Axis, int Position) {
    if (Position < 0 || Position >= Axis.ClientExtent)
        return -1;
    int Result = -1;
    ForEachShown(Axis, [&](int Index, long long Start) {
        if (Position >= Start + Axis.Extent(Index) + Axis.LineWidth)
            return true;
        Result = Index;
        return false;
    });
    return Result;
}

int FullyShownCount(const TAxis& Axis) {
    int Result = 0;
    ForEachShown(Axis, [&](int Index, long long Start) {
        if (Index >= Axis.Fixed && Start + Axis.Extent(Index) <= Axis.ClientExtent)
            ++Result;
        return true;
    });
    return Result;
}

// The first scrolled index to show so that Target is shown in full, moving as little as
// possible from the current first index.
int FirstShowing(const TAxis& Axis, int Target) {
    if (Target < Axis.First)
        return Target;
    long long FixedExtent = 0;
    for (int Index = 0; Index < Axis.Fixed; ++Index)
        FixedExtent += Axis.Extent(Index) + Axis.LineWidth;
    const long long Room = Axis.ClientExtent - FixedExtent;
    int Lowest = Target;
    long long Used = Axis.Extent(Target);
    while (Lowest - 1 >= Axis.Fixed && Used + Axis.LineWidth + Axis.Extent(Lowest - 1) <= Room) {
        Used += Axis.LineWidth + Axis.Extent(Lowest - 1);
        --Lowest;
    }
    return std::max(Axis.First, Lowest);
}

void CheckIndex(const char* Operation, const char* What, int Index, int Count) {
    if (Index < 0 || Index >= Count)
        throw EListError(std::string(Operation) + " " + What + " " + std::to_string(Index) +
                         " is out of bounds (0.." + std::to_string(Count - 1) + ")");
}

void CheckScrolledIndex(const char* Operation, const char* What, int Index, int Fixed, int Count) {
    if (Index < Fixed || Index >= Count)
        throw EListError(std::string(Operation) + " " + What + " " + std::to_string(Index) +
                         " is outside the non-fixed " + What + "s " + std::to_string(Fixed) + ".." +
                         std::to_string(Count - 1));
}

void CheckSize(const char* Operation, int Value) {
    if (Value < 0)
        throw EInvalidGridOperation(std::string(Operation) + " The size " + std::to_string(Value) +
                                    " is negative");
}

bool AllEqual(const std::vector<int>& Extents, int Value) {
    return std::all_of(Extents.begin(), Extents.end(),
                       [Value](int Extent) { return Extent == Value; });
}

} // namespace

const TTypeInfo& GridOptionsTypeInfo() {
    static const TTypeInfo Info{"TGridOptions",
                                tkSet,
                                {"goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine",
                                 "goRangeSelect", "goDrawFocusSelected", "goRowSizing",
                                 "goColSizing", "goRowMoving", "goColMoving", "goEditing", "goTabs",
                                 "goRowSelect", "goAlwaysShowEditor", "goThumbTracking"},
                                nullptr};
    return Info;
}

const TTypeInfo& DrawCellEventTypeInfo() {
    static const TTypeInfo Info{"TDrawCellEvent", tkMethod, {}, nullptr};
    return Info;
}

// ---------------------------------------------------------------- TCustomGrid

const TClass& TCustomGrid::StaticClass() {
    static const TClass Class("TCustomGrid", &TWinControl::StaticClass());
    return Class;
}

TCustomGrid::TCustomGrid(TComponent* AOwner)
    : TWinControl(AOwner), FColWidths(5, 64), FRowHeights(5, 24) {
    SetBounds(0, 0, 320, 120);
    SetTabStop(true);
}

void TCustomGrid::ChangeCount(std::vector<int>& Extents, int Value, int DefaultExtent, int& Fixed,
                              int& Current, int& First) {
    Extents.resize(static_cast<std::size_t>(Value), DefaultExtent);
    Fixed = std::min(Fixed, Value - 1);
    Current = std::clamp(Current, Fixed, Value - 1);
    First = std::clamp(First, Fixed, Value - 1);
}

// Every cell costs memory and every line work when the grid changes size: a count that
// no screen could show (a damaged or hostile form file's) is refused before any of it.
void TCustomGrid::CheckCellCount(const char* Operation, int Cols, int Rows) {
    if (static_cast<long long>(Cols) * Rows <= MaxCellCount)
        return;
    throw EInvalidGridOperation(std::string(Operation) + " " + std::to_string(Cols) +
                                " columns of " + std::to_string(Rows) +
                                " rows are too many: a grid holds at most " +
                                std::to_string(MaxCellCount) + " cells");
}

void TCustomGrid::SetColCount(int Value) {
    if (Value < 1)
        throw EInvalidGridOperation("SetColCount() A grid needs at least one column, not " +
                                    std::to_string(Value));
    CheckCellCount("SetColCount()", Value, RowCount());
    if (Value == ColCount())
        return;
    const int OldColCount = ColCount();
    ChangeCount(FColWidths, Value, FDefaultColWidth, FFixedCols, FCol, FLeftCol);
    SizeChanged(OldColCount, RowCount());
    LayoutChanged();
}

void TCustomGrid::SetRowCount(int Value) {
    if (Value < 1)
        throw EInvalidGridOperation("SetRowCount() A grid needs at least one row, not " +
                                    std::to_string(Value));
    CheckCellCount("SetRowCount()", ColCount(), Value);
    if (Value == RowCount())
        return;
    const int OldRowCount = RowCount();
    ChangeCount(FRowHeights, Value, FDefaultRowHeight, FFixedRows, FRow, FTopRow);
    SizeChanged(ColCount(), OldRowCount);
    LayoutChanged();
}

void TCustomGrid::SetFixedCols(int Value) {
    if (Value < 0 || Value >= ColCount())
        throw EInvalidGridOperation("SetFixedCols() FixedCols " + std::to_string(Value) +
                                    " must be at least 0 and below ColCount " +
                                    std::to_string(ColCount()));
    if (Value == FFixedCols)
        return;
    FFixedCols = Value;
    FCol = std::max(FCol, Value);
    FLeftCol = std::max(FLeftCol, Value);
    LayoutChanged();
}

void TCustomGrid::SetFixedRows(int Value) {
    if (Value < 0 || Value >= RowCount())
        throw EInvalidGridOperation("SetFixedRows() FixedRows " + std::to_string(Value) +
                                    " must be at least 0 and below RowCount " +
                                    std::to_string(RowCount()));
    if (Value == FFixedRows)
        return;
    FFixedRows = Value;
    FRow = std::max(FRow, Value);
    FTopRow = std::max(FTopRow, Value);
    LayoutChanged();
}

int TCustomGrid::ColWidths(int Index) const {
    CheckIndex("ColWidths()", "Column", Index, ColCount());
    return FColWidths[static_cast<std::size_t>(Index)];
}

void TCustomGrid::SetColWidths(int Index, int Value) {
    CheckIndex("SetColWidths()", "Column", Index, ColCount());
    CheckSize("SetColWidths()", Value);
    int& Width = FColWidths[static_cast<std::size_t>(Index)];
    if (Value == Width)
        return;
    Width = Value;
    LayoutChanged();
}

int TCustomGrid::RowHeights(int Index) const {
    CheckIndex("RowHeights()", "Row", Index, RowCount());
    return FRowHeights[static_cast<std::size_t>(Index)];
}

void TCustomGrid::SetRowHeights(int Index, int Value) {
    CheckIndex("SetRowHeights()", "Row", Index, RowCount());
    CheckSize("SetRowHeights()", Value);
    int& Height = FRowHeights[static_cast<std::size_t>(Index)];
    if (Value == Height)
        return;
    Height = Value;
    LayoutChanged();
}

void TCustomGrid::SetDefaultColWidth(int Value) {
    CheckSize("SetDefaultColWidth()", Value);
    if (Value == FDefaultColWidth && AllEqual(FColWidths, Value))
        return;
    FDefaultColWidth = Value;
    std::fill(FColWidths.begin(), FColWidths.end(), Value);
    LayoutChanged();
}

void TCustomGrid::SetDefaultRowHeight(int Value) {
    CheckSize("SetDefaultRowHeight()", Value);
    if (Value == FDefaultRowHeight && AllEqual(FRowHeights, Value))
        return;
    FDefaultRowHeight = Value;
    std::fill(FRowHeights.begin(), FRowHeights.end(), Value);
    LayoutChanged();
}

void TCustomGrid::SetGridLineWidth(int Value) {
    CheckSize("SetGridLineWidth()", Value);
    if (Value == FGridLineWidth)
        return;
    FGridLineWidth = Value;
    LayoutChanged();
}

void TCustomGrid::SetOptions(TGridOptions Value) {
    if (Value == FOptions)
        return;
    FOptions = Value;
    if (!FOptions.Contains(goEditing))
        FEditorMode = false;
    LayoutChanged();
}

void TCustomGrid::SetCol(int Value) {
    CheckScrolledIndex("SetCol()", "column", Value, FFixedCols, ColCount());
    MoveCurrent(Value, FRow);
}

void TCustomGrid::SetRow(int Value) {
    CheckScrolledIndex("SetRow()", "row", Value, FFixedRows, RowCount());
    MoveCurrent(FCol, Value);
}

void TCustomGrid::SetLeftCol(int Value) {
    CheckScrolledIndex("SetLeftCol()", "column", Value, FFixedCols, ColCount());
    FLeftCol = Value;
    PositionChanged();
}

void TCustomGrid::SetTopRow(int Value) {
    CheckScrolledIndex("SetTopRow()", "row", Value, FFixedRows, RowCount());
    FTopRow = Value;
    PositionChanged();
}

int TCustomGrid::VisibleColCount() const {
    return FullyShownCount({FColWidths, FFixedCols, FLeftCol, FGridLineWidth, ClientWidth()});
}

void TCustomGrid::SetScrollBarHeight(int Value) {
    CheckSize("SetScrollBarHeight()", Value);
    if (Value == FScrollBarHeight)
        return;
    FScrollBarHeight = Value;
    PositionChanged();
}

int TCustomGrid::RowAreaHeight() const {
    return std::max(0, ClientHeight() - FScrollBarHeight);
}

int TCustomGrid::VisibleRowCount() const {
    return FullyShownCount({FRowHeights, FFixedRows, FTopRow, FGridLineWidth, RowAreaHeight()});
}

TGridCoord TCustomGrid::MouseCoord(int X, int Y) const {
    const int ACol = CellAt({FColWidths, FFixedCols, FLeftCol, FGridLineWidth, ClientWidth()}, X);
    const int ARow = CellAt({FRowHeights, FFixedRows, FTopRow, FGridLineWidth, RowAreaHeight()}, Y);
    if (ACol < 0 || ARow < 0)
        return {-1, -1};
    return {ACol, ARow};
}

TRect TCustomGrid::CellRect(int ACol, int ARow) const {
    long long Left = 0, Right = 0, Top = 0, Bottom = 0;
    if (!CellSpan({FColWidths, FFixedCols, FLeftCol, FGridLineWidth, ClientWidth()}, ACol, Left,
                  Right) ||
        !CellSpan({FRowHeights, FFixedRows, FTopRow, FGridLineWidth, RowAreaHeight()}, ARow, Top,
                  Bottom))
        return {};
    return {CheckedCast<int>(Left), CheckedCast<int>(Top), CheckedCast<int>(Right),
            CheckedCast<int>(Bottom)};
}

void TCustomGrid::SetEditorMode(bool Value) {
    const bool Shown = Value && FOptions.Contains(goEditing);
    if (Shown == FEditorMode)
        return;
    FEditorMode = Shown;
    PositionChanged();
}

void TCustomGrid::DeleteRow(int ARow) {
    CheckIndex("DeleteRow()", "Row", ARow, RowCount());
    if (RowCount() - 1 <= FFixedRows)
        throw EInvalidGridOperation("DeleteRow() Row " + std::to_string(ARow) +
                                    " cannot go: the grid would have no rows but fixed ones");
    MoveRow(ARow, RowCount() - 1);
    SetRowCount(RowCount() - 1);
}

void TCustomGrid::InsertRow(int ARow) {
    CheckIndex("InsertRow()", "Row", ARow, RowCount() + 1);
    SetRowCount(CheckedAdd(RowCount(), 1));
    MoveRow(RowCount() - 1, ARow);
}

void TCustomGrid::MoveRow(int FromIndex, int ToIndex) {
    CheckIndex("MoveRow()", "Row", FromIndex, RowCount());
    CheckIndex("MoveRow()", "Row", ToIndex, RowCount());
    if (FromIndex == ToIndex)
        return;
    MoveItem(FRowHeights, FromIndex, ToIndex);
    RowMoved(FromIndex, ToIndex);
    LayoutChanged();
}

void TCustomGrid::KeyDown(int& Key, TShiftState Shift) {
    const TAliveGuard Guard(*this);
    TWinControl::KeyDown(Key, Shift);
    if (!Guard.Alive() || Key == 0)
        return;
    const int LastCol = ColCount() - 1;
    const int LastRow = RowCount() - 1;
    const int Page = std::max(VisibleRowCount(), 1);
    int ACol = FCol;
    int ARow = FRow;
    switch (Key) {
    case VK_UP:
        ARow = std::max(FRow - 1, FFixedRows);
        break;
    case VK_DOWN:
        ARow = std::min(FRow + 1, LastRow);
        break;
    case VK_LEFT:
        ACol = std::max(FCol - 1, FFixedCols);
        break;
    case VK_RIGHT:
        ACol = std::min(FCol + 1, LastCol);
        break;
    case VK_PRIOR:
        ARow = std::max(FRow - Page, FFixedRows);
        break;
    case VK_NEXT:
        ARow = std::min(FRow + Page, LastRow);
        break;
    case VK_HOME:
        ACol = FFixedCols;
        ARow = Shift.Contains(ssCtrl) ? FFixedRows : FRow;
        break;
    case VK_END:
        ACol = LastCol;
        ARow = Shift.Contains(ssCtrl) ? LastRow : FRow;
        break;
    case VK_TAB: {
        if (!FOptions.Contains(goTabs))
            return;
        const bool Backward = Shift.Contains(ssShift);
        if (Backward ? (FCol == FFixedCols && FRow == FFixedRows)
                     : (FCol == LastCol && FRow == LastRow))
            return; // the last cell passes the focus on
        ACol = FCol + (Backward ? -1 : 1);
        if (ACol > LastCol || ACol < FFixedCols) {
            ACol = Backward ? LastCol : FFixedCols;
            ARow = FRow + (Backward ? -1 : 1);
        }
        Key = 0;
        break;
    }
    case VK_F2:
        ShowEditor();
        return;
    default:
        return;
    }
    if (ACol != FCol || ARow != FRow)
        MoveCurrent(ACol, ARow);
}

void TCustomGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (Button == mbLeft) {
        const TGridCoord Cell = MouseCoord(X, Y);
        if (Cell.X >= FFixedCols && Cell.Y >= FFixedRows)
            MoveCurrent(Cell.X, Cell.Y);
    }
    TWinControl::MouseDown(Button, Shift, X, Y);
}

TGridDrawState TCustomGrid::DrawState(int ACol, int ARow) const {
    if (ACol < FFixedCols || ARow < FFixedRows)
        return {gdFixed};
    const bool Current = ACol == FCol && ARow == FRow;
    const bool InCurrentRow = ARow == FRow && FOptions.Contains(goRowSelect);
    TGridDrawState State;
    if (Current || InCurrentRow)
        State.Include(gdSelected);
    if (Current && Focused())
        State.Include(gdFocused);
    return State;
}

void TCustomGrid::DrawCell(int, int, const TRect&, TGridDrawState) {}

void TCustomGrid::SizeChanged(int, int) {}

void TCustomGrid::RowMoved(int, int) {}

void TCustomGrid::CheckCell(const char* Operation, int ACol, int ARow) const {
    if (ACol < 0 || ACol >= ColCount() || ARow < 0 || ARow >= RowCount())
        throw EListError(std::string(Operation) + " Cell (" + std::to_string(ACol) + ", " +
                         std::to_string(ARow) + ") is outside the grid of " +
                         std::to_string(ColCount()) + " columns and " + std::to_string(RowCount()) +
                         " rows");
}

void TCustomGrid::MoveCurrent(int ACol, int ARow) {
    FCol = ACol;
    FRow = ARow;
    if (!FOptions.Contains(goAlwaysShowEditor))
        FEditorMode = false;
    ScrollIntoView();
    PositionChanged();
}

void TCustomGrid::ScrollIntoView() {
    FLeftCol =
        FirstShowing({FColWidths, FFixedCols, FLeftCol, FGridLineWidth, ClientWidth()}, FCol);
    FTopRow =
        FirstShowing({FRowHeights, FFixedRows, FTopRow, FGridLineWidth, RowAreaHeight()}, FRow);
}

void TCustomGrid::EndLayoutUpdate() {
    VORN_ASSERT(FLayoutUpdates > 0);
    if (--FLayoutUpdates == 0)
        LayoutChanged();
}

void TCustomGrid::LayoutChanged() {
    if (FLayoutUpdates > 0)
        return;
    NotifyPeer([](TControlPeer& Peer) { Peer.GridLayoutChanged(); });
}

void TCustomGrid::PositionChanged() {
    NotifyPeer([](TControlPeer& Peer) { Peer.GridPositionChanged(); });
}

// ---------------------------------------------------------------- TDrawGrid

const TClass& TDrawGrid::StaticClass() {
    static const TClass Class = [] {
        TClass C("TDrawGrid", &TCustomGrid::StaticClass(), &CreateComponentOf<TDrawGrid>);
        C.AddProperty(MakeProperty("ColCount", IntegerTypeInfo(), &TCustomGrid::ColCount,
                                   &TCustomGrid::SetColCount));
        C.AddProperty(MakeProperty("RowCount", IntegerTypeInfo(), &TCustomGrid::RowCount,
                                   &TCustomGrid::SetRowCount));
        C.AddProperty(MakeProperty("FixedCols", IntegerTypeInfo(), &TCustomGrid::FixedCols,
                                   &TCustomGrid::SetFixedCols));
        C.AddProperty(MakeProperty("FixedRows", IntegerTypeInfo(), &TCustomGrid::FixedRows,
                                   &TCustomGrid::SetFixedRows));
        C.AddProperty(MakeProperty("DefaultColWidth", IntegerTypeInfo(),
                                   &TCustomGrid::DefaultColWidth,
                                   &TCustomGrid::SetDefaultColWidth));
        C.AddProperty(MakeProperty("DefaultRowHeight", IntegerTypeInfo(),
                                   &TCustomGrid::DefaultRowHeight,
                                   &TCustomGrid::SetDefaultRowHeight));
        C.AddProperty(MakeProperty("GridLineWidth", IntegerTypeInfo(), &TCustomGrid::GridLineWidth,
                                   &TCustomGrid::SetGridLineWidth));
        C.AddProperty(MakeProperty("Options", GridOptionsTypeInfo(), &TCustomGrid::Options,
                                   &TCustomGrid::SetOptions));
        C.AddProperty(
            MakeEventProperty("OnDrawCell", DrawCellEventTypeInfo(), &TDrawGrid::OnDrawCell));
        return C;
    }();
    return Class;
}

TDrawGrid::TDrawGrid(TComponent* AOwner) : TCustomGrid(AOwner) {}

void TDrawGrid::DrawCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) {
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

} // namespace vorn
