#include "host/components/text/CodePage.h"
#include "tests/support/CodePageGuard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorn;

namespace {

using test::TCodePageGuard;

struct TRoundTripCase {
    TCodePage CodePage;
    std::string Host;
    std::string Utf8;
};

class CodePageRoundTrip : public ::testing::TestWithParam<TRoundTripCase> {};

} // namespace

TEST_P(CodePageRoundTrip, ConvertsBothWaysExactly) {
    const TRoundTripCase& Case = GetParam();
    TCodePageGuard Guard(Case.CodePage);
    EXPECT_EQ(HostToUtf8(Case.Host), Case.Utf8);
    EXPECT_EQ(Utf8ToHost(Case.Utf8), Case.Host);
    EXPECT_EQ(Utf16ToHost(HostToUtf16(Case.Host)), Case.Host);
}

INSTANTIATE_TEST_SUITE_P(
    Table, CodePageRoundTrip,
    ::testing::Values(
        TRoundTripCase{
            .CodePage = cpWindows1250, .Host = "Plain ASCII 0-9 ~", .Utf8 = "Plain ASCII 0-9 ~"},
        TRoundTripCase{.CodePage = cpWindows1250,
                       .Host = std::string("a\0b", 3),
                       .Utf8 = std::string("a\0b", 3)},
        // Serbian Latin letters, lower and upper case.
        TRoundTripCase{.CodePage = cpWindows1250,
                       .Host = "\x9A\xF0\xE8\xE6\x9E",
                       .Utf8 = "\u0161\u0111\u010D\u0107\u017E"},
        TRoundTripCase{.CodePage = cpWindows1250,
                       .Host = "\x8A\xD0\xC8\xC6\x8E",
                       .Utf8 = "\u0160\u0110\u010C\u0106\u017D"},
        TRoundTripCase{.CodePage = cpWindows1250,
                       .Host = "Pretra\x9Eivanje po\xE8inje",
                       .Utf8 = "Pretra\u017Eivanje po\u010Dinje"},
        TRoundTripCase{
            .CodePage = cpWindows1250, .Host = "\x80\xA0\xFF", .Utf8 = "\u20AC\u00A0\u02D9"},
        TRoundTripCase{.CodePage = cpWindows1252,
                       .Host = "\x80\x9F\xE9\xFF",
                       .Utf8 = "\u20AC\u0178\u00E9\u00FF"},
        TRoundTripCase{.CodePage = cpWindows1252,
                       .Host = "\x8A\x9A\x8E\x9E",
                       .Utf8 = "\u0160\u0161\u017D\u017E"},
        // Under UTF-8 every script passes through as it is, outside the BMP too.
        TRoundTripCase{
            .CodePage = cpUtf8,
            .Host = "\u0160aban \u0110or\u0111e \u0397\u03C1\u03AC \u0416 \u5317\u4EAC \U0001F600",
            .Utf8 = "\u0160aban \u0110or\u0111e \u0397\u03C1\u03AC \u0416 \u5317\u4EAC \U0001F600"},
        TRoundTripCase{
            .CodePage = cpUtf8, .Host = std::string("a\0b", 3), .Utf8 = std::string("a\0b", 3)}));

TEST(CodePage, EveryDefinedByteRoundTripsAndUndefinedBytesBecomeQuestionMarks) {
    // Bytes that the code page leaves undefined.
    const std::string Undefined[] = {"\x81\x83\x88\x90\x98", "\x81\x8D\x8F\x90\x9D"};
    for (TCodePage CodePage : {cpWindows1250, cpWindows1252}) {
        TCodePageGuard Guard(CodePage);
        const std::string& Gaps = Undefined[CodePage];
        for (int Value = 0x80; Value <= 0xFF; ++Value) {
            const std::string Byte(1, static_cast<char>(Value));
            const std::string Utf8 = HostToUtf8(Byte);
            if (Gaps.find(Byte) != std::string::npos) {
                EXPECT_EQ(Utf8, "?") << CodePageName(CodePage) << " byte " << Value;
                EXPECT_EQ(HostToUtf16(Byte), u"?") << CodePageName(CodePage) << " byte " << Value;
                continue;
            }
            EXPECT_GE(Utf8.size(), 2u) << CodePageName(CodePage) << " byte " << Value;
            EXPECT_EQ(Utf8ToHost(Utf8), Byte) << CodePageName(CodePage) << " byte " << Value;
        }
    }
}

TEST(CodePage, CharactersTheCodePageLacksAndMalformedUtf8BecomeOneQuestionMarkEach) {
    TCodePageGuard Guard(cpWindows1250);
    const struct {
        std::string Utf8;
        std::string Host;
    } Cases[] = {
        {"\u00E9", "\xE9"},            // in both code pages
        {"\u00E8", "?"},               // e grave: Windows-1252 only
        {"\u4E2D x", "? x"},           // a CJK character
        {"\U0001F600!", "?!"},         // outside the BMP
        {"a\x80z", "a?z"},             // stray continuation byte
        {"a\xC3", "a?"},               // truncated at the end
        {"\xC3(", "?("},               // lead byte without its continuation
        {"\xC0\xAF", "??"},            // overlong encoding of "/"
        {"\xE0\x80\xAF", "???"},       // overlong three-byte form
        {"\xED\xA0\x80", "???"},       // an encoded surrogate
        {"\xF4\x90\x80\x80", "????"},  // above U+10FFFF
        {"\xE2\x82", "?"},             // truncated three-byte sequence
        {"\xE2\x82\xAC\xFF", "\x80?"}, // euro sign, then a byte never used in UTF-8
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(Utf8ToHost(Case.Utf8), Case.Host) << Case.Utf8;
}

TEST(CodePage, Utf16SurrogatesOutsideTheCodePageBecomeQuestionMarks) {
    TCodePageGuard Guard(cpWindows1250);
    EXPECT_EQ(Utf16ToHost(u"a\U0001F600b"), "a?b"); // one mark for the whole pair
    EXPECT_EQ(Utf16ToHost(std::u16string{u'x', char16_t{0xD800}}), "x?");
    EXPECT_EQ(Utf16ToHost(std::u16string{char16_t{0xDC00}, u'y'}), "?y");
    EXPECT_EQ(HostToUtf16("\x9A\x8A"), u"\u0161\u0160");
}

// Under UTF-8 nothing malformed passes unseen: each maximal malformed part becomes one
// U+FFFD, whichever way the text goes.
TEST(CodePage, MalformedTextUnderUtf8BecomesOneReplacementCharacterEach) {
    TCodePageGuard Guard(cpUtf8);
    const std::string R = "\uFFFD";
    const struct {
        std::string Text;
        std::string Clean;
    } Cases[] = {
        {"a\x80z", "a" + R + "z"}, {"a\xC3", "a" + R},
        {"\xC0\xAF", R + R},       {"\xED\xA0\x80", R + R + R},
        {"\xE2\x82", R},           {"\x9A\xE8", R + R}, // Windows-1250 bytes are no UTF-8
    };
    for (const auto& Case : Cases) {
        EXPECT_EQ(Utf8ToHost(Case.Text), Case.Clean);
        EXPECT_EQ(HostToUtf8(Case.Text), Case.Clean);
        EXPECT_EQ(Utf16ToHost(HostToUtf16(Case.Text)), Case.Clean);
    }
    EXPECT_EQ(Utf16ToHost(std::u16string{u'x', char16_t{0xD800}}), "x" + R);
    EXPECT_EQ(Utf16ToHost(u"a\U0001F600b"), "a\U0001F600b");
    EXPECT_EQ(HostToUtf16("\U0001F600"), u"\U0001F600");
}

// Texts are walked by whole characters: bytes under a single-byte code page, UTF-8
// sequences under UTF-8, where a malformed part counts as one character.
TEST(CodePage, CharactersAreWholeSequences) {
    const struct {
        TCodePage CodePage;
        std::string Text;
        std::vector<std::size_t> Starts; // of each character, then the end
    } Cases[] = {
        {cpUtf8, "a\u0161\u5317\U0001F600z", {0, 1, 3, 6, 10, 11}},
        {cpUtf8, "\xC3(\x80", {0, 1, 2, 3}},
        {cpUtf8, "", {0}},
        {cpWindows1250, "a\x9A\xE8", {0, 1, 2, 3}},
    };
    for (const auto& Case : Cases) {
        TCodePageGuard Guard(Case.CodePage);
        const std::size_t Count = Case.Starts.size() - 1;
        EXPECT_EQ(CharacterCount(Case.Text), Count);
        for (std::size_t Index = 0; Index < Count; ++Index) {
            const std::size_t Start = Case.Starts[Index];
            const std::size_t Next = Case.Starts[Index + 1];
            EXPECT_EQ(CharacterLength(Case.Text, Start), Next - Start) << Case.Text << " " << Index;
            EXPECT_EQ(PreviousCharacterStart(Case.Text, Next), Start) << Case.Text << " " << Index;
            EXPECT_EQ(CharacterOffset(Case.Text, Index), Start);
        }
        EXPECT_EQ(CharacterOffset(Case.Text, Count + 5), Case.Text.size());
        EXPECT_EQ(CharacterLength(Case.Text, Case.Text.size()), 0u);
    }
}

TEST(CodePage, VocabularyTextsOfWindows1250ReadInEveryCodePage) {
    const std::string Veca = std::string("ve\xE6") + "e"; // "veće" in Windows-1250
    const std::pair<TCodePage, std::string> Cases[] = {
        {cpWindows1250, Veca}, {cpUtf8, "ve\u0107e"}, {cpWindows1252, "ve?e"}};
    for (const auto& [CodePage, Host] : Cases) {
        TCodePageGuard Guard(CodePage);
        EXPECT_EQ(Windows1250ToHost(Veca), Host) << CodePageName(CodePage);
    }
}

TEST(CodePage, SettingIsProcessWideAndNamed) {
    EXPECT_EQ(HostCodePage(), cpUtf8);
    EXPECT_STREQ(CodePageName(cpWindows1250), "windows-1250");
    EXPECT_STREQ(CodePageName(cpWindows1252), "windows-1252");
    EXPECT_STREQ(CodePageName(cpUtf8), "utf-8");
    TCodePageGuard Guard(cpWindows1252);
    EXPECT_EQ(HostCodePage(), cpWindows1252);
    // The same byte means another letter in the other code page.
    EXPECT_EQ(HostToUtf8("\xE8"), "\u00E8");
}
