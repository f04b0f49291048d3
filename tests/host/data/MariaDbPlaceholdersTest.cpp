#include "host/data/drivers/mariadb/MariaDbPlaceholders.h"
#include "host/data/drivers/DatabaseError.h"

#include <gtest/gtest.h>

using namespace vorn;

TEST(MariaDbPlaceholders, NumbersBecomePositionalOutsideQuotesAndComments) {
    const struct {
        const char* Sql;
        const char* Expected;
        std::vector<int> Order;
    } Cases[] = {
        {"SELECT 1", "SELECT 1", {}},
        {"a = ?1 AND b = ?2", "a = ? AND b = ?", {1, 2}},
        {"a = ?2 OR b = ?1 OR c = ?2", "a = ? OR b = ? OR c = ?", {2, 1, 2}},
        {"a IN (?10,?9)", "a IN (?,?)", {10, 9}},
        {"`x?1` = ?1", "`x?1` = ?", {1}},
        {"`a``?1` = ?1", "`a``?1` = ?", {1}},
        {"'?1' = ?1", "'?1' = ?", {1}},
        {"'it''s ?1' = ?1", "'it''s ?1' = ?", {1}},
        {"'a\\' ?1' = ?2", "'a\\' ?1' = ?", {2}},
        {"\"?1\" = ?3", "\"?1\" = ?", {3}},
        {"x -- ?1\n= ?2", "x -- ?1\n= ?", {2}},
        {"x # ?1\n= ?2", "x # ?1\n= ?", {2}},
        {"x /* ?1 */ = ?2", "x /* ?1 */ = ?", {2}},
        // "--" without a blank after it is two minus signs.
        {"5--?1", "5--?", {1}},
        {"'open ?1", "'open ?1", {}},
    };
    for (const auto& Case : Cases) {
        const TPositionalSql Result = ToPositionalPlaceholders(Case.Sql);
        EXPECT_EQ(Result.Sql, Case.Expected) << Case.Sql;
        EXPECT_EQ(Result.Order, Case.Order) << Case.Sql;
    }
}

TEST(MariaDbPlaceholders, PlaceholdersWithoutANumberAreRefused) {
    for (const char* Sql : {"a = ?", "a = ?0", "a = ? AND b = ?1", "a = ?x"}) {
        try {
            ToPositionalPlaceholders(Sql);
            ADD_FAILURE() << "accepted: " << Sql;
        } catch (const EDatabaseError& Error) {
            EXPECT_NE(Error.Message().find("Invalid placeholder at offset 4"), std::string::npos)
                << Error.Message();
        }
    }
}

TEST(MariaDbPlaceholders, ValuesFollowThePlaceholders) {
    const TPositionalSql Statement = ToPositionalPlaceholders("?2 ?1 ?2");
    const std::vector<TVariant> Ordered = OrderParams(Statement, {TVariant("one"), TVariant(2)});
    ASSERT_EQ(Ordered.size(), 3u);
    EXPECT_EQ(Ordered[0], TVariant(2));
    EXPECT_EQ(Ordered[1], TVariant("one"));
    EXPECT_EQ(Ordered[2], TVariant(2));

    try {
        OrderParams(ToPositionalPlaceholders("?1 ?3"), {TVariant(1), TVariant(2)});
        ADD_FAILURE() << "a number without a value was accepted";
    } catch (const EDatabaseError& Error) {
        EXPECT_EQ(Error.Message(), "The statement's placeholder ?3 has no value: 2 given");
    }
}
