#pragma once

// Acts on a filter grid as its user does: every move, click and key goes through the
// input dispatch, so that the handlers run in the order real input calls them.

#include "Source/DBFilterGrid.h"
#include "host/components/controls/Form.h"
#include "host/components/controls/Input.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vorn::test {

// Puts the grid into a window of its own, away from the window's corner, so that the combo
// box, which lives beside the grid, is placed in the window's coordinates.
inline TForm* PutIntoWindow(TDBFilterGrid& Grid, TComponent& Owner, int GridWidth = 425) {
    auto* Window = new TForm(&Owner);
    Window->SetBounds(0, 0, 640, 480);
    Grid.SetParent(Window);
    Grid.SetBounds(10, 20, GridWidth, 200);
    return Window;
}

class TFilterGridUser {
public:
    // Follows the pointer, so that a fixture can make its user before the grid.
    explicit TFilterGridUser(TDBFilterGrid* const& Grid) : FGrid(Grid) {}

    TDBFilterGridComboBox& Combo() const { return *FGrid->InCellEditor(); }
    TDBFilterGridSpeedButton& Button() const { return *FGrid->RowButton(); }

    // Moves the mouse to the middle of the cell (grid client coordinates).
    bool Hover(int Col, int Row) const {
        const TRect R = FGrid->CellRect(Col, Row);
        return UserMouseMove(*FGrid, (R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
    }
    // Moves the mouse into the cell as a hand does, in more than one step: a first move
    // that only catches up after a key is followed by one that counts.
    bool MoveInto(int Col, int Row) const {
        const TRect R = FGrid->CellRect(Col, Row);
        UserMouseMove(*FGrid, R.Left + 1, R.Top + 1);
        return Hover(Col, Row);
    }
    // Opens the combo box's list and returns its items.
    std::vector<std::string> OpenList() const {
        EXPECT_TRUE(UserOpenList(Combo()));
        return Items();
    }
    std::vector<std::string> Items() const {
        std::vector<std::string> Result;
        for (int Index = 0; Index < Combo().Items()->Count(); ++Index)
            Result.push_back(Combo().Items()->Strings(Index));
        return Result;
    }
    // Opens the list and picks the item reading Text.
    void Pick(const std::string& Text) const {
        OpenList();
        const int Index = Combo().Items()->IndexOf(Text);
        ASSERT_GE(Index, 0) << Text << " is not in the list";
        ASSERT_TRUE(UserSelectItem(Combo(), Index));
    }
    // Clicks into the combo box and types Text over its selected text.
    void Type(const std::string& Text) const {
        ASSERT_TRUE(UserSetFocus(Combo()));
        ASSERT_TRUE(UserType(Combo(), Text));
    }
    bool Key(int KeyCode, TShiftState Shift = {}) const {
        return UserKeyDown(Combo(), KeyCode, Shift);
    }
    bool GridKey(int KeyCode, TShiftState Shift = {}) const {
        return UserKeyDown(*FGrid, KeyCode, Shift);
    }

private:
    TDBFilterGrid* const& FGrid;
};

} // namespace vorn::test
