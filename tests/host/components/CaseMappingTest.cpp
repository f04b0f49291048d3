#include "host/components/text/CaseMapping.h"
#include "tests/support/CodePageGuard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorn;

namespace {

using test::TCodePageGuard;

struct TUpperCase {
    TCodePage CodePage;
    std::string Text;
    std::string Upper;
};

class UpperCaseTextTable : public ::testing::TestWithParam<TUpperCase> {};

struct TVariantsCase {
    char32_t Character;
    std::vector<char32_t> Variants;
};

class CaseVariantsTable : public ::testing::TestWithParam<TVariantsCase> {};

} // namespace

TEST_P(UpperCaseTextTable, UpperCasesByTheHostCodePage) {
    const TUpperCase& Case = GetParam();
    TCodePageGuard Guard(Case.CodePage);
    EXPECT_EQ(UpperCaseText(Case.Text), Case.Upper);
}

INSTANTIATE_TEST_SUITE_P(
    Table, UpperCaseTextTable,
    ::testing::Values(
        TUpperCase{.CodePage = cpUtf8, .Text = "", .Upper = ""},
        TUpperCase{.CodePage = cpUtf8, .Text = "abc xyz 09_%", .Upper = "ABC XYZ 09_%"},
        TUpperCase{.CodePage = cpUtf8,
                   .Text = "\u0161aban \u0111or\u0111e \u010Da\u010Dak",
                   .Upper = "\u0160ABAN \u0110OR\u0110E \u010CA\u010CAK"},
        TUpperCase{.CodePage = cpUtf8,
                   .Text = "\u03B5\u03BB\u03BB\u03AC\u03B4\u03B1",
                   .Upper = "\u0395\u039B\u039B\u0386\u0394\u0391"},
        TUpperCase{.CodePage = cpUtf8,
                   .Text = "\u0452\u043E\u0440\u0452\u0435",
                   .Upper = "\u0402\u041E\u0420\u0402\u0415"},
        // Full case mapping: one letter may become several.
        TUpperCase{.CodePage = cpUtf8, .Text = "stra\u00DFe", .Upper = "STRASSE"},
        // Characters without case, beyond the basic plane too, and a lone combining mark.
        TUpperCase{.CodePage = cpUtf8,
                   .Text = "\u5317\u4EAC \U0001F600 a\u0301",
                   .Upper = "\u5317\u4EAC \U0001F600 A\u0301"},
        // Malformed bytes stay as they are; the letters around them are still mapped.
        TUpperCase{.CodePage = cpUtf8,
                   .Text = "a\xFF"
                           "b\xC3",
                   .Upper = "A\xFF"
                            "B\xC3"},
        TUpperCase{
            .CodePage = cpUtf8, .Text = std::string("a\0b", 3), .Upper = std::string("A\0B", 3)},
        // Single-byte code pages: a to z only, every other byte as it was.
        TUpperCase{.CodePage = cpWindows1250,
                   .Text = "\x9A"
                           "aban \xE8"
                           "a\xE8"
                           "ak",
                   .Upper = "\x9A"
                            "ABAN \xE8"
                            "A\xE8"
                            "AK"},
        TUpperCase{.CodePage = cpWindows1252,
                   .Text = "stra\xDF"
                           "e \xE9t\xE9",
                   .Upper = "STRA\xDF"
                            "E \xE9T\xE9"}));

TEST(UpperCaseUtf8, MapsUtf8WhateverTheHostCodePage) {
    TCodePageGuard Guard(cpWindows1250);
    EXPECT_EQ(UpperCaseUtf8("\u0161a"), "\u0160A");
    EXPECT_EQ(UpperCaseText("\u0161a"), "\u0161A");
}

TEST_P(CaseVariantsTable, ListsEveryCodePointOfTheSameUpperCase) {
    const TVariantsCase& Case = GetParam();
    const auto Variants = CaseVariants(Case.Character);
    ASSERT_TRUE(Variants.has_value());
    EXPECT_EQ(*Variants, Case.Variants);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CaseVariantsTable,
    ::testing::Values(TVariantsCase{U'a', {U'A', U'a'}}, TVariantsCase{U'A', {U'A', U'a'}},
                      TVariantsCase{U'1', {U'1'}}, TVariantsCase{U'\u5317', {U'\u5317'}},
                      TVariantsCase{U'\u0161', {U'\u0160', U'\u0161'}},
                      TVariantsCase{U'\u0110', {U'\u0110', U'\u0111'}},
                      // Upper-casing folds more than two letters into one.
                      TVariantsCase{U's', {U'S', U's', U'\u017F'}},
                      TVariantsCase{U'i', {U'I', U'i', U'\u0131'}},
                      TVariantsCase{U'\u03C3', {U'\u03A3', U'\u03C2', U'\u03C3'}},
                      // Title case: the digraph's three forms.
                      TVariantsCase{U'\u01C5', {U'\u01C4', U'\u01C5', U'\u01C6'}},
                      TVariantsCase{U'\u0452', {U'\u0402', U'\u0452'}}));

TEST(CaseVariants, NoneWhenTheUpperCaseIsSeveralCodePoints) {
    EXPECT_FALSE(CaseVariants(U'\u00DF').has_value());
    EXPECT_FALSE(CaseVariants(U'\uFB01').has_value());
}
