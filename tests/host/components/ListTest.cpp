#include "host/components/model/List.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

using namespace vorn;

namespace {

int A, B, C;

TEST(List, AddInsertDeleteKeepOrder) {
    TList List;
    EXPECT_EQ(List.Add(&A), 0);
    EXPECT_EQ(List.Add(&C), 1);
    List.Insert(1, &B);
    List.Insert(3, &A); // at Count: appends
    ASSERT_EQ(List.Count(), 4);
    EXPECT_EQ(List.Items(0), &A);
    EXPECT_EQ(List.Items(1), &B);
    EXPECT_EQ(List.Items(2), &C);
    EXPECT_EQ(List.Items(3), &A);

    List.Delete(0);
    EXPECT_EQ(List.IndexOf(&A), 2);
    EXPECT_EQ(List.Remove(&A), 2);
    EXPECT_EQ(List.Remove(&A), -1);
    EXPECT_EQ(List.Extract(&B), &B);
    EXPECT_EQ(List.Extract(&B), nullptr);
    ASSERT_EQ(List.Count(), 1);
    EXPECT_EQ(List.Items(0), &C);
    List.SetItem(0, &A);
    EXPECT_EQ(List.Items(0), &A);
}

TEST(List, PackDropsNullItemsOnly) {
    TList List;
    void* const Items[] = {nullptr, &A, nullptr, &B, nullptr};
    for (void* Item : Items)
        List.Add(Item);
    List.Pack();
    ASSERT_EQ(List.Count(), 2);
    EXPECT_EQ(List.Items(0), &A);
    EXPECT_EQ(List.Items(1), &B);
}

TEST(List, CapacityNeverDropsBelowCountAndShrinksOnRequest) {
    TList List;
    List.SetCapacity(100);
    EXPECT_GE(List.Capacity(), 100);
    List.Add(&A);
    List.Add(&B);
    List.SetCapacity(2);
    EXPECT_EQ(List.Capacity(), 2);
    EXPECT_EQ(List.Items(1), &B);
    EXPECT_THROW(List.SetCapacity(1), EListError);
    EXPECT_THROW(List.SetCapacity(-1), EListError);
    EXPECT_THROW(List.SetCapacity(MaxListSize + 1), EListError);
    EXPECT_EQ(List.Count(), 2);
}

TEST(List, IndexErrorsNameTheIndexAndChangeNothing) {
    const std::pair<std::string, std::function<void(TList&)>> Cases[] = {
        {"(-1)", [](TList& L) { L.Items(-1); }},      {"(2)", [](TList& L) { L.Items(2); }},
        {"(2)", [](TList& L) { L.SetItem(2, &C); }},  {"(-1)", [](TList& L) { L.Delete(-1); }},
        {"(2)", [](TList& L) { L.Delete(2); }},       {"(3)", [](TList& L) { L.Insert(3, &C); }},
        {"(-1)", [](TList& L) { L.Insert(-1, &C); }},
    };
    for (const auto& [Fragment, Operation] : Cases) {
        SCOPED_TRACE(Fragment);
        TList List;
        List.Add(&A);
        List.Add(&B);
        try {
            Operation(List);
            ADD_FAILURE() << "no EListError";
        } catch (const EListError& Error) {
            EXPECT_EQ(Error.Message(), "List index out of bounds " + Fragment);
        }
        ASSERT_EQ(List.Count(), 2);
        EXPECT_EQ(List.Items(0), &A);
        EXPECT_EQ(List.Items(1), &B);
    }
}

} // namespace
