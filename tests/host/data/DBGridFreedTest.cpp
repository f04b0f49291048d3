#include "host/components/controls/Input.h"
#include "tests/host/data/DBGridTestFixture.h"

#include <functional>
#include <string>
#include <vector>

namespace vorn::dbgridtest {
namespace {

// A handler that frees the grid (a form closing from it) ends the user's act there: the
// grid is not touched again and the input reports that its control went.
TEST_F(DBGridTest, AHandlerThatFreesTheGridEndsTheInput) {
    struct TCase {
        const char* Name;
        const char* FreeOn;
        std::function<bool()> Act;
        std::vector<std::string> ExpectedLog;
        int ExpectedCustNo; // the current record afterwards: only the user's move moves it
    };
    const auto PressRecord = [this] {
        const TRect Cell = Grid->CellRect(ColOf("CustNo"), 3);
        return UserMouseDown(*Grid, mbLeft, {}, Cell.Left + 1, Cell.Top + 1);
    };
    const std::vector<TCase> Cases = {
        {.Name = "title click",
         .FreeOn = "title",
         .Act = [this] { return UserClickTitle(*Grid, *Grid->Columns()->FindColumn("CustNo")); },
         .ExpectedLog = {"mousedown", "title"},
         .ExpectedCustNo = 1001},
        {.Name = "press on a record",
         .FreeOn = "mousedown",
         .Act = PressRecord,
         .ExpectedLog = {"mousedown"},
         .ExpectedCustNo = 1001},
        {.Name = "scroll of a press on a record",
         .FreeOn = "afterscroll",
         .Act = PressRecord,
         .ExpectedLog = {"mousedown", "afterscroll"},
         .ExpectedCustNo = 1003},
        {.Name = "Down key",
         .FreeOn = "keydown",
         .Act = [this] { return UserKeyDown(*Grid, VK_DOWN); },
         .ExpectedLog = {"keydown"},
         .ExpectedCustNo = 1001},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        Grid = new TDBGrid(&Owner);
        Grid->SetBounds(0, 0, 400, (GridRecords + 1) * 25);
        Grid->SetDataSource(Source);
        Table->Open();
        Table->First();
        std::vector<std::string> Log;
        const auto Fired = [&](const char* Event) {
            Log.push_back(Event);
            if (Case.FreeOn == std::string(Event)) {
                delete Grid;
                Grid = nullptr;
            }
        };
        Grid->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) {
            Fired("mousedown");
        };
        Grid->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { Fired("mouseup"); };
        Grid->OnKeyDown = [&](TObject*, int&, TShiftState) { Fired("keydown"); };
        Grid->OnTitleClick = [&](TColumn*) { Fired("title"); };
        Table->AfterScroll = [&](TDataSet*) { Fired("afterscroll"); };

        EXPECT_FALSE(Case.Act());

        EXPECT_EQ(Log, Case.ExpectedLog);
        EXPECT_EQ(Grid, nullptr);
        EXPECT_EQ(Table->FieldByName("CustNo")->AsInteger(), Case.ExpectedCustNo);
        Table->AfterScroll = nullptr;
        Table->Close();
    }
}

} // namespace
} // namespace vorn::dbgridtest
