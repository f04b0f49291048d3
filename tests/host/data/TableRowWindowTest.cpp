#include "host/data/dataset/TableRowWindow.h"

#include "host/components/model/Exception.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using namespace vorn;

namespace {

using TRows = std::vector<TRowWindow::TRow>;

// One row per number, in the order given: the number stands for the row's place in the
// table's order.
TRows Rows(std::initializer_list<int> Numbers) {
    TRows Result;
    for (const int Number : Numbers)
        Result.push_back({TVariant(std::int64_t{Number})});
    return Result;
}

std::vector<int> Held(const TRowWindow& Window) {
    std::vector<int> Numbers;
    for (std::size_t Index = 0; Index < Window.Size(); ++Index)
        Numbers.push_back(static_cast<int>(Window.Row(Index).front().AsInteger()));
    return Numbers;
}

// What a series of operations leaves: the rows held, the current one (0: none), the two
// end flags, and what each operation that answers returned.
struct TWindowCase {
    const char* Name;
    std::function<void(TRowWindow&, std::vector<bool>&)> Act;
    std::vector<int> Rows;
    int Current;
    bool AtStart;
    bool AtEnd;
    std::vector<bool> Answers;
};

TEST(TableRowWindow, OperationsKeepRowsCurrentAndEnds) {
    const TWindowCase Cases[] = {
        {"a first page that is not all",
         [](TRowWindow& W, auto&) {
             W.StartAtFirst(Rows({1, 2, 3}), false);
         },
         {1, 2, 3},
         1,
         true,
         false,
         {}},
        {"an empty table from the first",
         [](TRowWindow& W, auto&) { W.StartAtFirst({}, true); },
         {},
         0,
         true,
         true,
         {}},
        {"the last page, read backwards",
         [](TRowWindow& W, auto&) {
             W.StartAtLast(Rows({9, 8, 7}), false);
         },
         {7, 8, 9},
         9,
         false,
         true,
         {}},
        {"an empty table from the last",
         [](TRowWindow& W, auto&) { W.StartAtLast({}, true); },
         {},
         0,
         true,
         true,
         {}},
        {"rows from the middle that reach the end",
         [](TRowWindow& W, auto&) {
             W.StartAt(Rows({4, 5, 6}), true, 10);
         },
         {4, 5, 6},
         4,
         false,
         true,
         {}},
        {"rows from the middle beyond the limit lose their end",
         [](TRowWindow& W, auto&) {
             W.StartAt(Rows({4, 5, 6, 7, 8, 9}), true, 4);
         },
         {4, 5, 6, 7},
         4,
         false,
         false,
         {}},
        {"a limit of nothing keeps the current row",
         [](TRowWindow& W, auto&) {
             W.StartAt(Rows({4, 5, 6}), false, 0);
         },
         {4},
         4,
         false,
         false,
         {}},
        {"steps forward stop at the last row held",
         [](TRowWindow& W, auto& A) {
             W.StartAtFirst(Rows({1, 2}), true);
             A.push_back(W.StepForward());
             A.push_back(W.StepForward());
         },
         {1, 2},
         2,
         true,
         true,
         {true, false}},
        {"steps backward stop at the first row held",
         [](TRowWindow& W, auto& A) {
             W.StartAtLast(Rows({2, 1}), true);
             A.push_back(W.StepBackward());
             A.push_back(W.StepBackward());
         },
         {1, 2},
         1,
         true,
         true,
         {true, false}},
        {"an empty window does not step",
         [](TRowWindow& W, auto& A) {
             A.push_back(W.StepForward());
             A.push_back(W.StepBackward());
         },
         {},
         0,
         false,
         false,
         {false, false}},
        {"rows added after the last reach the end",
         [](TRowWindow& W, auto& A) {
             W.StartAtFirst(Rows({1, 2}), false);
             W.StepForward();
             A.push_back(W.ExtendForward(Rows({3, 4}), true, 10));
         },
         {1, 2, 3, 4},
         3,
         true,
         true,
         {true}},
        {"rows added after the last push the first ones out",
         [](TRowWindow& W, auto& A) {
             W.StartAtFirst(Rows({1, 2, 3}), false);
             W.StepForward();
             W.StepForward();
             A.push_back(W.ExtendForward(Rows({4, 5, 6}), false, 4));
         },
         {3, 4, 5, 6},
         4,
         false,
         false,
         {true}},
        {"nothing after the last marks the end and stays",
         [](TRowWindow& W, auto& A) {
             W.StartAt(Rows({5, 6}), false, 10);
             W.StepForward();
             A.push_back(W.ExtendForward({}, true, 10));
         },
         {5, 6},
         6,
         false,
         true,
         {false}},
        {"rows added before the first come nearest first",
         [](TRowWindow& W, auto& A) {
             W.StartAt(Rows({5, 6}), true, 10);
             A.push_back(W.ExtendBackward(Rows({4, 3}), true, 10));
         },
         {3, 4, 5, 6},
         4,
         true,
         true,
         {true}},
        {"rows added before the first push the last ones out",
         [](TRowWindow& W, auto& A) {
             W.StartAtLast(Rows({9, 8, 7}), false);
             W.StepBackward();
             W.StepBackward();
             A.push_back(W.ExtendBackward(Rows({6, 5}), false, 3));
         },
         {5, 6, 7},
         6,
         false,
         false,
         {true}},
        {"nothing before the first marks the start and stays",
         [](TRowWindow& W, auto& A) {
             W.StartAt(Rows({5, 6}), false, 10);
             A.push_back(W.ExtendBackward({}, true, 10));
         },
         {5, 6},
         5,
         true,
         false,
         {false}},
        {"clearing forgets the rows and both ends",
         [](TRowWindow& W, auto&) {
             W.StartAtFirst(Rows({1}), true);
             W.Clear();
         },
         {},
         0,
         false,
         false,
         {}},
    };
    for (const TWindowCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TRowWindow Window;
        std::vector<bool> Answers;
        Case.Act(Window, Answers);
        EXPECT_EQ(Held(Window), Case.Rows);
        EXPECT_EQ(Window.Empty(), Case.Rows.empty());
        if (Case.Current != 0) {
            EXPECT_EQ(Window.Current().front().AsInteger(), Case.Current);
        }
        EXPECT_EQ(Window.AtStart(), Case.AtStart);
        EXPECT_EQ(Window.AtEnd(), Case.AtEnd);
        EXPECT_EQ(Answers, Case.Answers);
    }
}

// Requests that would leave no current row among rows held, or rows that are not
// consecutive, are refused.
TEST(TableRowWindow, RefusesToBreakItsInvariant) {
    struct TCase {
        const char* Name;
        std::function<void(TRowWindow&)> Act;
    };
    const TCase Cases[] = {
        {"the current row of an empty window", [](TRowWindow& W) { W.Current(); }},
        {"the first row of an empty window", [](TRowWindow& W) { W.First(); }},
        {"a row past the last",
         [](TRowWindow& W) {
             W.StartAtFirst(Rows({1, 2}), true);
             W.Row(2);
         }},
        {"rows after an empty window", [](TRowWindow& W) { W.ExtendForward(Rows({1}), false, 9); }},
        {"rows after the last while another row is current",
         [](TRowWindow& W) {
             W.StartAtFirst(Rows({1, 2}), false);
             W.ExtendForward(Rows({3}), false, 9);
         }},
        {"rows after the table's last",
         [](TRowWindow& W) {
             W.StartAtFirst(Rows({1}), true);
             W.ExtendForward(Rows({2}), false, 9);
         }},
        {"rows before the first while another row is current",
         [](TRowWindow& W) {
             W.StartAtLast(Rows({2, 1}), false);
             W.ExtendBackward(Rows({0}), false, 9);
         }},
        {"rows before the table's first",
         [](TRowWindow& W) {
             W.StartAtFirst(Rows({1}), false);
             W.ExtendBackward(Rows({0}), false, 9);
         }},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Name);
        TRowWindow Window;
        EXPECT_THROW(Case.Act(Window), EAssertionFailed);
    }
}

} // namespace
