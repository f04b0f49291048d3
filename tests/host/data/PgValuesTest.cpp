#include "host/data/drivers/postgres/PgValues.h"
#include "host/components/text/CodePage.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace vorn;

namespace {

TVariant DateTime(const char* Text) {
    TDateTime Value = 0;
    EXPECT_TRUE(TryParseDateTime(Text, Value)) << Text;
    return TVariant::FromDateTime(Value);
}

} // namespace

TEST(PgValues, ServerTextBecomesTypedValues) {
    SetHostCodePage(cpWindows1250);
    const struct {
        unsigned Type;
        const char* Text;
        TVariant Expected;
        TVarType ExpectedType;
    } Cases[] = {
        {pgInt8, "-9223372036854775808", std::numeric_limits<std::int64_t>::min(), varInteger},
        {pgNumeric, "-0.5", -0.5, varFloat},
        {pgMoney, "-$1,234.56", -1234.56, varFloat},
        {pgMoney, "$0.07", 0.07, varFloat},
        {pgBool, "f", false, varBoolean},
        {pgTimestampTz, "2024-03-01 10:20:30.5+01", DateTime("2024-03-01 10:20:30.5"), varDateTime},
        {pgTimeTz, "10:20:30-05:30", DateTime("10:20:30"), varDateTime},
        {pgDate, "infinity", "infinity", varString},
        {pgDate, "0044-03-15 BC", "0044-03-15 BC", varString},
        {pgBytea, "\\x00ff41",
         std::string("\0\xff"
                     "A",
                     3),
         varString},
        {pgText, "\xc5\xa1", "\x9a", varString}, // "š" in UTF-8, then in Windows-1250
        {pgJson, "{\"a\": 1}", "{\"a\": 1}", varString},
    };
    for (const auto& Case : Cases) {
        const TVariant Value = PgValueFromText(Case.Type, Case.Text);
        EXPECT_EQ(Value.VarType(), Case.ExpectedType) << Case.Text;
        EXPECT_EQ(Value.Compare(Case.Expected), 0) << Case.Text << " read as " << Value.AsString();
    }
    EXPECT_TRUE(std::isnan(PgValueFromText(pgFloat8, "NaN").AsFloat()));
    EXPECT_EQ(PgValueFromText(pgFloat4, "-Infinity").AsFloat(), -HUGE_VAL);
}

TEST(PgValues, ParametersUseTheServersTextForms) {
    SetHostCodePage(cpWindows1250);
    const struct {
        TVariant Value;
        std::optional<std::string> Text;
    } Cases[] = {
        {TVariant::Null(), std::nullopt},
        {std::int64_t{-42}, "-42"},
        {0.1, "0.1"},
        {std::nan(""), "NaN"},
        {-HUGE_VAL, "-Infinity"},
        {true, "true"},
        {"\x9a\xf0", "\xc5\xa1\xc4\x91"}, // "šđ" from Windows-1250 to UTF-8
        {"", ""},
        {DateTime("2024-02-29 13:45:30.123456"), "2024-02-29 13:45:30.123456"},
        {DateTime("2024-02-29"), "2024-02-29 00:00:00.000000"},
        {DateTime("1899-12-30 06:00:00"), "1899-12-30 06:00:00.000000"},
        // A hair before midnight rounds to the next day, never to "24:00:00".
        {TVariant::FromDateTime(45351.0 - 1e-12), "2024-02-29 00:00:00.000000"},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(PgParamText(Case.Value), Case.Text) << Case.Value.AsString();
}

TEST(PgValues, SizesComeFromTheTypeModifier) {
    const struct {
        unsigned Type;
        int Typmod;
        int Size;
    } Cases[] = {
        {pgVarchar, 34, 30}, {pgVarchar, -1, 0},
        {pgBpchar, 5, 1},    {pgNumeric, ((10 << 16) | 2) + 4, 2},
        {pgNumeric, -1, 0},  {pgNumeric, ((5 << 16) | 0x7FE) + 4, 0}, // numeric(5,-2)
        {pgInt4, -1, 0},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(PgFieldSize(Case.Type, Case.Typmod), Case.Size)
            << Case.Type << "/" << Case.Typmod;
}
