#include "TestDatabase.h"

#include "host/data/dataset/TableKeyset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

using namespace vorn;
using namespace vorn::test;

namespace {

// A row of the test table: two nullable order fields and the key.
struct TKeyRow {
    std::optional<int> A;
    std::optional<int> B;
    int Id = 0;
};

// How one nullable term is ordered.
struct TTermOrder {
    bool Descending = false;
    bool NullsLast = false;
};

// Whether X comes before Y in the order of one term; nullopt where they tie.
std::optional<bool> TermBefore(const std::optional<int>& X, const std::optional<int>& Y,
                               TTermOrder Order) {
    if (!X && !Y)
        return std::nullopt;
    if (!X || !Y)
        return !X != Order.NullsLast;
    if (*X == *Y)
        return std::nullopt;
    return (*X < *Y) != Order.Descending;
}

// The total order of the rows, written out independently of any SQL.
bool RowBefore(const TKeyRow& X, const TKeyRow& Y, TTermOrder OrderA, TTermOrder OrderB) {
    if (const auto Before = TermBefore(X.A, Y.A, OrderA))
        return *Before;
    if (const auto Before = TermBefore(X.B, Y.B, OrderB))
        return *Before;
    return X.Id < Y.Id;
}

TVariant ValueOf(const std::optional<int>& Value) {
    return Value ? TVariant(static_cast<std::int64_t>(*Value)) : TVariant();
}

std::string NameOf(TTermOrder Order) {
    return std::string(Order.Descending ? "DESC" : "ASC") +
           (Order.NullsLast ? " NULLS LAST" : " NULLS FIRST");
}

} // namespace

// The segments of a keyset select exactly the rows strictly beyond the start row in the
// order, nearest segment first, whatever the directions, the NULL placements and where the
// start row's NULLs are. The table holds every combination of NULL, 1 and 2 twice.
TEST(TableKeyset, SegmentsSelectExactlyTheRowsBeyondTheStartRow) {
    TTempDatabase Database;
    Database.Execute("CREATE TABLE t (a INTEGER, b INTEGER, id INTEGER PRIMARY KEY)");
    std::vector<TKeyRow> Rows;
    const std::vector<std::optional<int>> Values = {std::nullopt, 1, 2};
    for (const auto& A : Values)
        for (const auto& B : Values)
            for (int Copy = 0; Copy < 2; ++Copy) {
                Rows.push_back({A, B, static_cast<int>(Rows.size()) + 1});
                Database.Execute("INSERT INTO t VALUES (?1, ?2, ?3)",
                                 {ValueOf(A), ValueOf(B), TVariant(std::int64_t{Rows.back().Id})});
            }
    std::vector<TTermOrder> Orders;
    for (bool Descending : {false, true})
        for (bool NullsLast : {false, true})
            Orders.push_back({Descending, NullsLast});

    for (const TTermOrder OrderA : Orders)
        for (const TTermOrder OrderB : Orders)
            for (const bool After : {true, false})
                for (const TKeyRow& Start : Rows) {
                    SCOPED_TRACE("a " + NameOf(OrderA) + ", b " + NameOf(OrderB) +
                                 (After ? ", after" : ", before") + " row " +
                                 std::to_string(Start.Id));
                    const std::vector<TKeysetTerm> Terms = {
                        {"a", ValueOf(Start.A), false, OrderA.NullsLast, OrderA.Descending},
                        {"b", ValueOf(Start.B), false, OrderB.NullsLast, OrderB.Descending},
                        {"id", TVariant(std::int64_t{Start.Id}), true, false, false}};
                    std::vector<int> Expected;
                    for (const TKeyRow& Row : Rows)
                        if (After ? RowBefore(Start, Row, OrderA, OrderB)
                                  : RowBefore(Row, Start, OrderA, OrderB))
                            Expected.push_back(Row.Id);

                    std::vector<int> Selected;
                    std::vector<std::vector<int>> Segments;
                    const int Count = KeysetSegmentCount(Terms, After);
                    for (int Segment = 0; Segment < Count; ++Segment) {
                        TBoundParams Params(Database.Connection());
                        const auto Condition =
                            KeysetSegmentCondition(Terms, After, Segment, Params);
                        Segments.emplace_back();
                        if (!Condition)
                            continue;
                        for (const auto& Row :
                             Database.Rows("SELECT id FROM t WHERE " + *Condition, Params.Values()))
                            Segments.back().push_back(static_cast<int>(Row[0].AsInteger()));
                        Selected.insert(Selected.end(), Segments.back().begin(),
                                        Segments.back().end());
                        const bool Null = KeysetSegmentIsNull(Terms, After, Segment);
                        for (int Found : Segments.back())
                            EXPECT_EQ(!Rows[static_cast<std::size_t>(Found - 1)].A, Null)
                                << "segment " << Segment << ", row " << Found;
                    }
                    std::sort(Selected.begin(), Selected.end());
                    EXPECT_EQ(Selected, Expected);
                    // A row of the nearer segment comes before every row of the farther one
                    // in the walk's direction.
                    if (Segments.size() == 2)
                        for (int Near : Segments[0])
                            for (int Far : Segments[1]) {
                                const TKeyRow& X = Rows[static_cast<std::size_t>(Near - 1)];
                                const TKeyRow& Y = Rows[static_cast<std::size_t>(Far - 1)];
                                EXPECT_EQ(RowBefore(X, Y, OrderA, OrderB), After)
                                    << Near << " and " << Far;
                            }
                }
}

// Without NULLs the expansion selects what SQLite's row-value comparison selects.
TEST(TableKeyset, WithoutNullsTheSegmentIsTheRowValueComparison) {
    TTempDatabase Database;
    Database.Execute("CREATE TABLE t (a INTEGER NOT NULL, b INTEGER NOT NULL, id INTEGER PRIMARY "
                     "KEY)");
    int Id = 0;
    for (int A = 1; A <= 3; ++A)
        for (int B = 1; B <= 3; ++B)
            for (int Copy = 0; Copy < 2; ++Copy)
                Database.Execute("INSERT INTO t VALUES (?1, ?2, ?3)",
                                 {TVariant(std::int64_t{A}), TVariant(std::int64_t{B}),
                                  TVariant(std::int64_t{++Id})});
    for (const auto& Start : Database.Rows("SELECT a, b, id FROM t"))
        for (const bool After : {true, false}) {
            std::vector<TKeysetTerm> Terms;
            for (std::size_t Index = 0; Index < 3; ++Index)
                Terms.push_back({std::string(Index == 0   ? "a"
                                             : Index == 1 ? "b"
                                                          : "id"),
                                 Start[Index], true, false, false});
            ASSERT_EQ(KeysetSegmentCount(Terms, After), 1);
            TBoundParams Params(Database.Connection());
            const auto Condition = KeysetSegmentCondition(Terms, After, 0, Params);
            ASSERT_TRUE(Condition);
            const auto Ids = [&](const std::string& Where, const std::vector<TVariant>& Bound) {
                std::vector<std::int64_t> Found;
                for (const auto& Row :
                     Database.Rows("SELECT id FROM t WHERE " + Where + " ORDER BY id", Bound))
                    Found.push_back(Row[0].AsInteger());
                return Found;
            };
            EXPECT_EQ(Ids(*Condition, Params.Values()),
                      Ids(std::string("(a, b, id) ") + (After ? ">" : "<") + " (?1, ?2, ?3)",
                          {Start[0], Start[1], Start[2]}))
                << *Condition;
        }
}
