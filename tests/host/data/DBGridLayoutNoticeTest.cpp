#include "tests/host/components/ControlTestSupport.h"
#include "tests/host/data/DBGridTestFixture.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace vorn::dbgridtest {
namespace {

// Every change the grid follows, whether to its titles, its columns or the records it
// shows, reaches the widget set as one layout, however many of the grid's properties the
// change sets.
TEST_F(DBGridTest, EachChangeLaysTheGridOutOnce) {
    Table->Open();
    std::vector<std::string> Notices;
    Grid->SetPeer(std::make_unique<vorn::testing::TRecordingPeer>(Notices));
    struct TCase {
        const char* Name;
        std::function<void()> Change;
    };
    const TCase Cases[] = {
        {"title caption", [this] { Grid->Columns()->Items(0)->Title()->SetCaption("Number"); }},
        {"column width", [this] { Grid->Columns()->Items(1)->SetWidth(99); }},
        {"records beyond the window", [this] { Table->MoveBy(GridRecords * 3); }},
        {"re-read records", [this] { Table->Refresh(); }},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        Notices.clear();
        Case.Change();
        EXPECT_EQ(std::count(Notices.begin(), Notices.end(), "layout"), 1);
    }
}

} // namespace
} // namespace vorn::dbgridtest
