#include "host/components/Grid.h"

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
        {"ColWidths", [](TStringGrid& G) { G.SetColWidths(2, G.ColWidths(2)); },
         [](TStringGrid& G) { G.SetColWidths(2, G.ColWidths(2) + 1); }},
        {"RowHeights", [](TStringGrid& G) { G.SetRowHeights(3, G.RowHeights(3)); },
         [](TStringGrid& G) { G.SetRowHeights(3, 0); }},
        {"DefaultColWidth", [](TStringGrid& G) { G.SetDefaultColWidth(G.DefaultColWidth()); },
         [](TStringGrid& G) { G.SetDefaultColWidth(G.DefaultColWidth() + 5); }},
        {"DefaultRowHeight", [](TStringGrid& G) { G.SetDefaultRowHeight(G.DefaultRowHeight()); },
         [](TStringGrid& G) { G.SetDefaultRowHeight(G.DefaultRowHeight() + 5); }},
        {"FixedCols", [](TStringGrid& G) { G.SetFixedCols(G.FixedCols()); },
         [](TStringGrid& G) { G.SetFixedCols(0); }},
        {"FixedRows", [](TStringGrid& G) { G.SetFixedRows(G.FixedRows()); },
         [](TStringGrid& G) { G.SetFixedRows(2); }},
        {"GridLineWidth", [](TStringGrid& G) { G.SetGridLineWidth(G.GridLineWidth()); },
         [](TStringGrid& G) { G.SetGridLineWidth(0); }},
        {"Options", [](TStringGrid& G) { G.SetOptions(G.Options()); },
         [](TStringGrid& G) { G.SetOptions(G.Options() + TGridOptions{goEditing}); }},
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
