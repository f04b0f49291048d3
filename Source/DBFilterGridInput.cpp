#include "Source/DBFilterGrid.h"

#include "host/components/model/AliveGuard.h"

#include <algorithm>

namespace vorn {

bool TDBFilterGrid::ValidCellCoordinates(const TGridCoord& Coord) const {
    return Coord.X >= std::max(FixedCols(), 0) && Coord.Y >= std::max(FixedRows(), 0);
}

TGridCoord TDBFilterGrid::CurrentComboCell() const {
    if (FInCellEditor == nullptr)
        return {-1, -1};
    return MouseCoord(FInCellEditor->Left() - Left(), FInCellEditor->Top() - Top());
}

// The inherited handlers fire the user's OnMouseMove and OnKeyDown, which may free this
// grid by closing its form; the grid then has no editor left to place.
void TDBFilterGrid::MouseMove(TShiftState Shift, int X, int Y) {
    const TAliveGuard Guard(*this);
    TStringGrid::MouseMove(Shift, X, Y);
    if (!Guard.Alive())
        return;
    if (ComponentState().Contains(csDesigning) || FInCellEditor == nullptr || FRowButton == nullptr)
        return;
    // The combo box stays on the cell being typed into, and on the cell whose list is
    // open: that list was filled for it.
    if (FInCellEditor->Focused() || FInCellEditor->DroppedDown())
        return;
    // The keyboard moved the current cell; this move is the mouse catching up.
    if (FArrowKeyFlag) {
        FArrowKeyFlag = false;
        return;
    }
    const TGridCoord Pos = MouseCoord(X, Y);
    if (FInCellEditor->ShowPositioned(Pos))
        return;
    FInCellEditor->Hide();
    if (Pos.X != FixedCols() - 1 || Pos.Y < FixedRows())
        return;
    FRowButton->TargetRow = Pos.Y;
    const TRect R = CellRect(Pos.X, Pos.Y);
    FRowButton->SetBounds(R.Left, R.Top, R.Width(), R.Height());
    FRowButton->Show();
}

void TDBFilterGrid::KeyDown(int& Key, TShiftState Shift) {
    if (FListKeys && FInCellEditor != nullptr &&
        (Key == VK_F4 || (Key == VK_DOWN && Shift.Contains(ssAlt)))) {
        OpenInCellList();
        return;
    }
    HideInCellEditor();
    // Down on a filled last row moves into a new empty row.
    if (Key == VK_DOWN && (RowCount() == FixedRows() ||
                           (Row() == RowCount() - 1 && !UnexistinqOrEmptyRow(RowCount() - 1))))
        SetRowCount(RowCount() + 1);
    if (Key == VK_LEFT || Key == VK_UP || Key == VK_RIGHT || Key == VK_DOWN) {
        FArrowKeyFlag = true;
        HideInCellEditor();
    }
    const TAliveGuard Guard(*this);
    TStringGrid::KeyDown(Key, Shift);
    if (!Guard.Alive())
        return;
    if (Key == VK_RETURN) {
        HideEditor();
        if (FInCellEditor == nullptr)
            return;
        const bool Shown = FInCellEditor->ShowPositioned({Col(), Row()});
        VORN_ASSERT(Shown);
        FInCellEditor->SetFocus();
        return;
    }
    if (Key == VK_DELETE && Shift.Contains(ssCtrl))
        DeleteOrClearRow(Row());
}

// The combo box goes on the current cell with the focus, as Enter puts it there, and
// opens its list.
void TDBFilterGrid::OpenInCellList() {
    HideEditor();
    const TAliveGuard Guard(*this);
    const bool Shown = FInCellEditor->ShowPositioned({Col(), Row()});
    VORN_ASSERT(Shown);
    FInCellEditor->SetFocus();
    if (Guard.Alive())
        FInCellEditor->SetDroppedDown(true);
}

const TClass& TDBFilterGridSpeedButton::StaticClass() {
    static const TClass Class("TDBFilterGridSpeedButton", &TSpeedButton::StaticClass());
    return Class;
}

TDBFilterGridSpeedButton::TDBFilterGridSpeedButton(TComponent* AOwner) : TSpeedButton(AOwner) {}

// OnClick and OnMouseLeave may free the grid, and this button with it.
void TDBFilterGridSpeedButton::Click() {
    const TAliveGuard Guard(*this);
    TSpeedButton::Click();
    if (!Guard.Alive())
        return;
    auto* Grid = dynamic_cast<TDBFilterGrid*>(Owner());
    VORN_ASSERT(Grid != nullptr);
    // DeleteOrClearRow leaves the fixed rows alone; the check keeps that promise here too.
    if (TargetRow >= Grid->FixedRows())
        Grid->DeleteOrClearRow(TargetRow);
    Hide();
}

void TDBFilterGridSpeedButton::CMMouseLeave() {
    const TAliveGuard Guard(*this);
    TSpeedButton::CMMouseLeave();
    if (Guard.Alive())
        SetVisible(false);
}

} // namespace vorn
