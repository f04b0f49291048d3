#include "Source/DBFilterGrid.h"

#include "host/components/model/AliveGuard.h"
#include "host/components/text/AsciiText.h"

namespace vorn {

// The editors are created by their grid and never by name, so their classes carry no
// factory.

const TClass& TDBFilterGridComboBox::StaticClass() {
    static const TClass Class("TDBFilterGridComboBox", &TCustomComboBox::StaticClass());
    return Class;
}

TDBFilterGridComboBox::TDBFilterGridComboBox(TComponent* AOwner) : TCustomComboBox(AOwner) {}

TDBFilterGrid& TDBFilterGridComboBox::Grid() const {
    auto* FilterGrid = dynamic_cast<TDBFilterGrid*>(Owner());
    VORN_ASSERT(FilterGrid != nullptr);
    return *FilterGrid;
}

// The edited cell may have gone since the combo box was laid over it (rows removed by
// code); such a cell is neither written nor selected.
bool TDBFilterGridComboBox::EditsExistingCell() const {
    const TDBFilterGrid& FilterGrid = Grid();
    return FilterGrid.ValidCellCoordinates({CellCol, CellRow}) && CellCol < FilterGrid.ColCount() &&
           CellRow < FilterGrid.RowCount();
}

bool TDBFilterGridComboBox::ShowPositioned(const TGridCoord& Coord) {
    TDBFilterGrid& FilterGrid = Grid();
    if (!FilterGrid.ValidCellCoordinates(Coord))
        return false;
    Hide();
    const TRect R = FilterGrid.CellRect(Coord.X, Coord.Y);
    // The list belongs to the cell it was opened on; the next opening fills it anew.
    Items()->Clear();
    SetText(FilterGrid.Cells(Coord.X, Coord.Y));
    FPickedFromList = false;
    SetBounds(FilterGrid.Left() + R.Left + 2, FilterGrid.Top() + R.Top + 2, R.Width(), R.Height());
    CellCol = Coord.X;
    CellRow = Coord.Y;
    Show();
    return true;
}

void TDBFilterGridComboBox::Show() {
    if (!Visible())
        Grid().FFocusReturnFlag = Grid().Focused();
    TCustomComboBox::Show();
}

void TDBFilterGridComboBox::Hide() {
    const bool WasVisible = Visible();
    TCustomComboBox::Hide();
    if (!WasVisible)
        return;
    SetText();
    TDBFilterGrid& FilterGrid = Grid();
    if (FilterGrid.FFocusReturnFlag && FilterGrid.CanFocus())
        FilterGrid.SetFocus();
    FilterGrid.HideEditor();
}

void TDBFilterGridComboBox::SetText() {
    if (!EditsExistingCell())
        return;
    Grid().SetCells(CellCol, CellRow, CellText());
    CellCol = -1;
    CellRow = -1;
}

std::string TDBFilterGridComboBox::CellText() const {
    const bool ValueColumn = Grid().ColumnRole(CellCol).Filter == fciRightArg;
    const bool Picked = ItemIndex() >= 0 && Items()->Strings(ItemIndex()) == Text();
    if (!ValueColumn || !Picked)
        return Text();
    if (std::optional<std::string> List = Grid().PickIntoValueList(CellRow, Text()))
        return FPickedFromList ? *List : Text();
    return Grid().ExactValueText(Text());
}

void TDBFilterGridComboBox::Change() {
    FPickedFromList = false;
    TCustomComboBox::Change();
}

// Picking the word a group cell already holds takes it away, so that the mouse alone can
// remove a negation or parentheses.
bool TDBFilterGridComboBox::PicksHeldGroupWord() const {
    if (!EditsExistingCell() || !Grid().ColumnRole(CellCol).Group)
        return false;
    return UpperCaseAscii(TrimControlsAndSpaces(Grid().Cells(CellCol, CellRow))) ==
           UpperCaseAscii(Text());
}

void TDBFilterGridComboBox::Select() {
    if (!EditsExistingCell())
        return;
    Grid().SetCol(CellCol);
    Grid().SetRow(CellRow);
}

void TDBFilterGridComboBox::AppendRow() {
    TDBFilterGrid& FilterGrid = Grid();
    if (FilterGrid.ColumnRole(CellCol).Filter != fciBoolOperator)
        return;
    if (Text() != FilterGrid.BoolNames[fbiFalse] && Text() != FilterGrid.BoolNames[fbiTrue])
        return;
    // At most one empty row waits at the end.
    const int LastRow = FilterGrid.RowCount() - 1;
    if (FilterGrid.RowCount() != FilterGrid.FixedRows() && FilterGrid.UnexistinqOrEmptyRow(LastRow))
        return;
    FilterGrid.SetRowCount(FilterGrid.RowCount() + 1);
    FilterGrid.SetRow(FilterGrid.RowCount() - 1);
    FilterGrid.SetCol(FilterGrid.FilterColumn(fciLeftArg));
}

// The handlers fired on the way (the combo box's own, and the focus handlers when the grid
// takes the focus) may free the grid, and this combo box with it, by closing the form:
// each step that follows one of them first asks whether the combo box is left.
void TDBFilterGridComboBox::Click() {
    const TAliveGuard Guard(*this);
    FPickedFromList = true;
    TCustomComboBox::Click();
    // Browsing the open list commits nothing.
    if (!Guard.Alive() || DroppedDown())
        return;
    if (PicksHeldGroupWord()) {
        SetText(std::string()); // fires OnChange
        if (!Guard.Alive())
            return;
    }
    if (Grid().AdvanceAfterPick()) {
        ConfirmAndAdvance(Guard, false);
        return;
    }
    Select();
    AppendRow();
    Hide();
    if (Grid().CanFocus())
        Grid().SetFocus();
}

void TDBFilterGridComboBox::KeyDown(int& Key, TShiftState Shift) {
    const TAliveGuard Guard(*this);
    TCustomComboBox::KeyDown(Key, Shift);
    if (!Guard.Alive())
        return;
    // Alt+Down already toggled the list in the host's handling.
    if (Key == VK_DOWN && !Shift.Contains(ssAlt)) {
        SetDroppedDown(true);
        return;
    }
    if (Key != VK_RETURN && Key != VK_ESCAPE)
        return;
    TDBFilterGrid& FilterGrid = Grid();
    if (Key == VK_ESCAPE && EditsExistingCell()) {
        SetText(FilterGrid.Cells(CellCol, CellRow)); // fires OnChange
        if (!Guard.Alive())
            return;
    }
    if (Key == VK_RETURN) {
        ConfirmAndAdvance(Guard, true);
        return;
    }
    Select();
    Hide();
}

// Enter after typing: the current cell moves one column to the right (when there is text
// and a column), or into the row a connector appends. After a key the grid keeps its new
// current cell until the mouse really moves again; a pick was made with the mouse.
void TDBFilterGridComboBox::ConfirmAndAdvance(const TAliveGuard& Guard, bool ByKey) {
    TDBFilterGrid& FilterGrid = Grid();
    Select();
    if (FilterGrid.Col() < FilterGrid.ColCount() - 1 && !Text().empty())
        FilterGrid.SetCol(FilterGrid.Col() + 1);
    AppendRow();
    FilterGrid.HideEditor();
    if (ByKey)
        FilterGrid.FArrowKeyFlag = true;
    if (FilterGrid.CanFocus())
        FilterGrid.SetFocus();
    if (!Guard.Alive())
        return;
    // The text goes into the cell that was edited, not into the one moved to.
    Hide();
}

void TDBFilterGridComboBox::CMMouseLeave() {
    const TAliveGuard Guard(*this);
    TCustomComboBox::CMMouseLeave();
    if (Guard.Alive() && Visible() && !DroppedDown() && !Focused())
        Hide();
}

} // namespace vorn
