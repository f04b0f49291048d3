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
        {.Name = "a first page that is not all",
         .Act =
             [](TRowWindow& W, auto&) {
                 W.StartAtFirst(Rows({1, 2, 3}), false);
             },
         .Rows = {1, 2, 3},
         .Current = 1,
         .AtStart = true,
         .AtEnd = false,
         .Answers = {}},
        {.Name = "an empty table from the first",
         .Act = [](TRowWindow& W, auto&) { W.StartAtFirst({}, true); },
         .Rows = {},
         .Current = 0,
         .AtStart = true,
         .AtEnd = true,
         .Answers = {}},
        {.Name = "the last page, read backwards",
         .Act =
             [](TRowWindow& W, auto&) {
                 W.StartAtLast(Rows({9, 8, 7}), false);
             },
         .Rows = {7, 8, 9},
         .Current = 9,
         .AtStart = false,
         .AtEnd = true,
         .Answers = {}},
        {.Name = "an empty table from the last",
         .Act = [](TRowWindow& W, auto&) { W.StartAtLast({}, true); },
         .Rows = {},
         .Current = 0,
         .AtStart = true,
         .AtEnd = true,
         .Answers = {}},
        {.Name = "rows from the middle that reach the end",
         .Act =
             [](TRowWindow& W, auto&) {
                 W.StartAt(Rows({4, 5, 6}), true, 10);
             },
         .Rows = {4, 5, 6},
         .Current = 4,
         .AtStart = false,
         .AtEnd = true,
         .Answers = {}},
        {.Name = "rows from the middle beyond the limit lose their end",
         .Act =
             [](TRowWindow& W, auto&) {
                 W.StartAt(Rows({4, 5, 6, 7, 8, 9}), true, 4);
             },
         .Rows = {4, 5, 6, 7},
         .Current = 4,
         .AtStart = false,
         .AtEnd = false,
         .Answers = {}},
        {.Name = "a limit of nothing keeps the current row",
         .Act =
             [](TRowWindow& W, auto&) {
                 W.StartAt(Rows({4, 5, 6}), false, 0);
             },
         .Rows = {4},
         .Current = 4,
         .AtStart = false,
         .AtEnd = false,
         .Answers = {}},
        {.Name = "steps forward stop at the last row held",
         .Act =
             [](TRowWindow& W, auto& A) {
                 W.StartAtFirst(Rows({1, 2}), true);
                 A.push_back(W.StepForward());
                 A.push_back(W.StepForward());
             },
         .Rows = {1, 2},
         .Current = 2,
         .AtStart = true,
         .AtEnd = true,
         .Answers = {true, false}},
        {.Name = "steps backward stop at the first row held",
         .Act =
             [](TRowWindow& W, auto& A) {
                 W.StartAtLast(Rows({2, 1}), true);
                 A.push_back(W.StepBackward());
                 A.push_back(W.StepBackward());
             },
         .Rows = {1, 2},
         .Current = 1,
         .AtStart = true,
         .AtEnd = true,
         .Answers = {true, false}},
        {.Name = "an empty window does not step",
         .Act =
             [](TRowWindow& W, auto& A) {
                 A.push_back(W.StepForward());
                 A.push_back(W.StepBackward());
             },
         .Rows = {},
         .Current = 0,
         .AtStart = false,
         .AtEnd = false,
         .Answers = {false, false}},
        {.Name = "rows added after the last reach the end",
         .Act =
             [](TRowWindow& W, auto& A) {
                 W.StartAtFirst(Rows({1, 2}), false);
                 W.StepForward();
                 A.push_back(W.ExtendForward(Rows({3, 4}), true, 10));
             },
         .Rows = {1, 2, 3, 4},
         .Current = 3,
         .AtStart = true,
         .AtEnd = true,
         .Answers = {true}},
        {.Name = "rows added after the last push the first ones out",
         .Act =
             [](TRowWindow& W, auto& A) {
                 W.StartAtFirst(Rows({1, 2, 3}), false);
                 W.StepForward();
                 W.StepForward();
                 A.push_back(W.ExtendForward(Rows({4, 5, 6}), false, 4));
             },
         .Rows = {3, 4, 5, 6},
         .Current = 4,
         .AtStart = false,
         .AtEnd = false,
         .Answers = {true}},
        {.Name = "nothing after the last marks the end and stays",
         .Act =
             [](TRowWindow& W, auto& A) {
                 W.StartAt(Rows({5, 6}), false, 10);
                 W.StepForward();
                 A.push_back(W.ExtendForward({}, true, 10));
             },
         .Rows = {5, 6},
         .Current = 6,
         .AtStart = false,
         .AtEnd = true,
         .Answers = {false}},
        {.Name = "rows added before the first come nearest first",
         .Act =
             [](TRowWindow& W, auto& A) {
                 W.StartAt(Rows({5, 6}), true, 10);
                 A.push_back(W.ExtendBackward(Rows({4, 3}), true, 10));
             },
         .Rows = {3, 4, 5, 6},
         .Current = 4,
         .AtStart = true,
         .AtEnd = true,
         .Answers = {true}},
        {.Name = "rows added before the first push the last ones out",
         .Act =
             [](TRowWindow& W, auto& A) {
                 W.StartAtLast(Rows({9, 8, 7}), false);
                 W.StepBackward();
                 W.StepBackward();
                 A.push_back(W.ExtendBackward(Rows({6, 5}), false, 3));
             },
         .Rows = {5, 6, 7},
         .Current = 6,
         .AtStart = false,
         .AtEnd = false,
         .Answers = {true}},
        {.Name = "nothing before the first marks the start and stays",
         .Act =
             [](TRowWindow& W, auto& A) {
                 W.StartAt(Rows({5, 6}), false, 10);
                 A.push_back(W.ExtendBackward({}, true, 10));
             },
         .Rows = {5, 6},
         .Current = 5,
         .AtStart = true,
         .AtEnd = false,
         .Answers = {false}},
        {.Name = "clearing forgets the rows and both ends",
         .Act =
             [](TRowWindow& W, auto&) {
                 W.StartAtFirst(Rows({1}), true);
                 W.Clear();
             },
         .Rows = {},
         .Current = 0,
         .AtStart = false,
         .AtEnd = false,
         .Answers = {}},
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
