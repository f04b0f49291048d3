#include "host/data/dataset/Variant.h"
#include "host/components/model/Exception.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vorn;

namespace {

TEST(Variant, ConvertsBetweenTypes) {
    struct TCase {
        TVariant Value;
        const char* Text;
        std::int64_t Integer;
        double Float;
    };
    const TCase Cases[] = {
        {.Value = TVariant(std::int64_t{-42}), .Text = "-42", .Integer = -42, .Float = -42.0},
        {.Value = TVariant(2.5), .Text = "2.5", .Integer = 0, .Float = 2.5},
        {.Value = TVariant(3.0), .Text = "3", .Integer = 3, .Float = 3.0},
        {.Value = TVariant(0.1), .Text = "0.1", .Integer = 0, .Float = 0.1},
        {.Value = TVariant(" 17 "), .Text = " 17 ", .Integer = 17, .Float = 17.0},
        {.Value = TVariant("+8"), .Text = "+8", .Integer = 8, .Float = 8.0},
        {.Value = TVariant(true), .Text = "True", .Integer = 1, .Float = 1.0},
        {.Value = TVariant(false), .Text = "False", .Integer = 0, .Float = 0.0},
        {.Value = TVariant(std::numeric_limits<std::int64_t>::min()),
         .Text = "-9223372036854775808",
         .Integer = std::numeric_limits<std::int64_t>::min(),
         .Float = -9223372036854775808.0},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        EXPECT_EQ(Case.Value.AsString(), Case.Text);
        EXPECT_DOUBLE_EQ(Case.Value.AsFloat(), Case.Float);
        if (std::trunc(Case.Float) == Case.Float)
            EXPECT_EQ(Case.Value.AsInteger(), Case.Integer);
        else
            EXPECT_THROW(Case.Value.AsInteger(), EConvertError);
    }
}

TEST(Variant, RejectsConversionsThatMakeNoSenseWithAClearMessage) {
    const std::vector<std::pair<TVariant, std::function<void(const TVariant&)>>> Cases = {
        {TVariant("12abc"), [](const TVariant& V) { (void)V.AsInteger(); }},
        {TVariant(""), [](const TVariant& V) { (void)V.AsInteger(); }},
        {TVariant("99999999999999999999"), [](const TVariant& V) { (void)V.AsInteger(); }},
        {TVariant("+-5"), [](const TVariant& V) { (void)V.AsInteger(); }},
        {TVariant("+-5"), [](const TVariant& V) { (void)V.AsFloat(); }},
        {TVariant("+"), [](const TVariant& V) { (void)V.AsFloat(); }},
        {TVariant(1e19), [](const TVariant& V) { (void)V.AsInteger(); }},
        {TVariant("x"), [](const TVariant& V) { (void)V.AsFloat(); }},
        {TVariant("yes"), [](const TVariant& V) { (void)V.AsBoolean(); }},
        {TVariant(), [](const TVariant& V) { (void)V.AsInteger(); }},
        {TVariant("2023-02-30"), [](const TVariant& V) { (void)V.AsDateTime(); }},
        {TVariant("2023-1-5"), [](const TVariant& V) { (void)V.AsDateTime(); }},
        {TVariant("10:61:00"), [](const TVariant& V) { (void)V.AsDateTime(); }},
    };
    for (const auto& [Value, Convert] : Cases) {
        try {
            Convert(Value);
            ADD_FAILURE() << Value.AsString() << " converted";
        } catch (const EConvertError& Error) {
            EXPECT_NE(Error.Message().find("Could not convert variant"), std::string::npos);
        }
    }
}

TEST(Variant, ReadsAndWritesDatesAndTimes) {
    struct TCase {
        const char* Text;
        double Days;
        const char* Written;
    };
    const TCase Cases[] = {
        {.Text = "1899-12-30", .Days = 0.0, .Written = "1899-12-30"},
        {.Text = "1900-01-01", .Days = 2.0, .Written = "1900-01-01"},
        {.Text = "2000-02-29", .Days = 36585.0, .Written = "2000-02-29"},
        {.Text = "2024-03-01 12:00:00", .Days = 45352.5, .Written = "2024-03-01 12:00:00"},
        {.Text = "2024-03-01T06:00:00", .Days = 45352.25, .Written = "2024-03-01 06:00:00"},
        {.Text = "2024-03-01 00:00:01.250",
         .Days = 45352.0 + 1.25 / 86400,
         .Written = "2024-03-01 00:00:01.250"},
        {.Text = "1800-01-01", .Days = -36522.0, .Written = "1800-01-01"},
        {.Text = "18:00:00", .Days = 0.75, .Written = "1899-12-30 18:00:00"},
    };
    for (const TCase& Case : Cases) {
        SCOPED_TRACE(Case.Text);
        TDateTime Parsed = -1;
        ASSERT_TRUE(TryParseDateTime(Case.Text, Parsed));
        EXPECT_NEAR(Parsed, Case.Days, 1e-9);
        EXPECT_EQ(FormatDateTime(Parsed), Case.Written);
        EXPECT_EQ(TVariant::FromDateTime(Parsed).AsString(), Case.Written);
    }
    EXPECT_EQ(FormatDateTime(45352.0 + 86399.9996 / 86400), "2024-03-02")
        << "rounding to the millisecond carries into the next day";

    // A time of day keeps midnight and never rounds into the next day's start.
    const std::pair<double, const char*> Times[] = {
        {0.0, "00:00:00"},
        {0.5, "12:00:00"},
        {45352.0 + 1.25 / 86400, "00:00:01.250"},
        {86399.9996 / 86400, "23:59:59.999"},
        {-0.25, "18:00:00"},
    };
    for (const auto& [Days, Written] : Times)
        EXPECT_EQ(FormatTimeOfDay(Days), Written) << Days;
}

TEST(Variant, OrdersNullFirstThenNumbersThenText) {
    const std::vector<TVariant> Ascending = {TVariant(),      TVariant(std::int64_t{-5}),
                                             TVariant(false), TVariant(0.5),
                                             TVariant(true),  TVariant(2),
                                             TVariant(2.5),   TVariant(""),
                                             TVariant("A"),   TVariant("a"),
                                             TVariant("ab")};
    for (std::size_t I = 0; I < Ascending.size(); ++I)
        for (std::size_t J = 0; J < Ascending.size(); ++J)
            EXPECT_EQ(Ascending[I].Compare(Ascending[J]), (I > J) - (I < J))
                << Ascending[I].AsString() << " vs " << Ascending[J].AsString();
    EXPECT_EQ(TVariant(3), TVariant(3.0));
    EXPECT_FALSE(TVariant("3") == TVariant(3)) << "text and numbers never equal";
    EXPECT_EQ(TVariant::FromDateTime(2.0), TVariant(2));
}

} // namespace
