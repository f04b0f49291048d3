#include "host/components/controls/Grid.h"

#include "tests/host/components/ControlTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace vorn;

namespace {

// A widget set lays a grid out again for every layout notice, which is costly: writing a
// layout property with the value it already has must send none, and a real change one.
TEST(GridLayoutNotice, OnlyAChangedValueLaysTheGridOutAgain) {
    struct TCase {
        const char* Name;
        std::function<void(TStringGrid&)> Same;
        std::function<void(TStringGrid&)> Changed;
    };
    const std::vector<TCase> Cases = {
        {.Name = "ColWidths",
         .Same = [](TStringGrid& G) { G.SetColWidths(2, G.ColWidths(2)); },
         .Changed = [](TStringGrid& G) { G.SetColWidths(2, G.ColWidths(2) + 1); }},
        {.Name = "RowHeights",
         .Same = [](TStringGrid& G) { G.SetRowHeights(3, G.RowHeights(3)); },
         .Changed = [](TStringGrid& G) { G.SetRowHeights(3, 0); }},
        {.Name = "DefaultColWidth",
         .Same = [](TStringGrid& G) { G.SetDefaultColWidth(G.DefaultColWidth()); },
         .Changed = [](TStringGrid& G) { G.SetDefaultColWidth(G.DefaultColWidth() + 5); }},
        {.Name = "DefaultRowHeight",
         .Same = [](TStringGrid& G) { G.SetDefaultRowHeight(G.DefaultRowHeight()); },
         .Changed = [](TStringGrid& G) { G.SetDefaultRowHeight(G.DefaultRowHeight() + 5); }},
        {.Name = "FixedCols",
         .Same = [](TStringGrid& G) { G.SetFixedCols(G.FixedCols()); },
         .Changed = [](TStringGrid& G) { G.SetFixedCols(0); }},
        {.Name = "FixedRows",
         .Same = [](TStringGrid& G) { G.SetFixedRows(G.FixedRows()); },
         .Changed = [](TStringGrid& G) { G.SetFixedRows(2); }},
        {.Name = "GridLineWidth",
         .Same = [](TStringGrid& G) { G.SetGridLineWidth(G.GridLineWidth()); },
         .Changed = [](TStringGrid& G) { G.SetGridLineWidth(0); }},
        {.Name = "Options",
         .Same = [](TStringGrid& G) { G.SetOptions(G.Options()); },
         .Changed = [](TStringGrid& G) { G.SetOptions(G.Options() + TGridOptions{goEditing}); }},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        std::vector<std::string> Log;
        TStringGrid Grid(nullptr);
        Grid.SetPeer(std::make_unique<vorn::testing::TRecordingPeer>(Log));

        Case.Same(Grid);
        EXPECT_EQ(Log, std::vector<std::string>{});
        Case.Changed(Grid);
        EXPECT_EQ(Log, (std::vector<std::string>{"layout"}));
    }
}

// A default extent that stays the same still lays out the rows or columns that another
// extent was given, since it resets them.
TEST(GridLayoutNotice, TheSameDefaultExtentResetsCustomExtents) {
    std::vector<std::string> Log;
    TStringGrid Grid(nullptr);
    Grid.SetColWidths(1, 10);
    Grid.SetRowHeights(1, 10);
    Grid.SetPeer(std::make_unique<vorn::testing::TRecordingPeer>(Log));

    Grid.SetDefaultColWidth(Grid.DefaultColWidth());
    Grid.SetDefaultRowHeight(Grid.DefaultRowHeight());

    EXPECT_EQ(Grid.ColWidths(1), Grid.DefaultColWidth());
    EXPECT_EQ(Grid.RowHeights(1), Grid.DefaultRowHeight());
    EXPECT_EQ(Log, (std::vector<std::string>{"layout", "layout"}));
}

} // namespace
