#include "host/components/text/CodePage.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <utility>

namespace vorn {

namespace {

// Unicode code points of bytes 0x80-0xFF; 0 marks a byte the code page leaves undefined.
using TUpperHalf = std::array<char16_t, 128>;

constexpr TUpperHalf Windows1250 = {
    0x20AC, 0,      0x201A, 0,      0x201E, 0x2026, 0x2020, 0x2021, // 80
    0,      0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179, // 88
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0,      0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A, // 98
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7, // A0
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B, // A8
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7, // B0
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C, // B8
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7, // C0
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E, // C8
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7, // D0
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF, // D8
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7, // E0
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F, // E8
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7, // F0
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9, // F8
};

constexpr TUpperHalf MakeWindows1252() {
    TUpperHalf Table = {
        0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80
        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,      // 88
        0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
        0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178, // 98
    };
    // From 0xA0 on the code page coincides with Latin-1.
    for (int Index = 0x20; Index < 0x80; ++Index)
        Table[Index] = static_cast<char16_t>(0x80 + Index);
    return Table;
}

constexpr TUpperHalf Windows1252 = MakeWindows1252();

std::atomic<TCodePage> CurrentCodePage{cpUtf8};

constexpr char Replacement = '?';
// U+FFFD, the character that stands for malformed text under UTF-8.
constexpr char32_t ReplacementCharacter = 0xFFFD;

const TUpperHalf& UpperHalf(TCodePage CodePage) {
    return CodePage == cpWindows1252 ? Windows1252 : Windows1250;
}

// The code point of one host byte, or 0 for an undefined byte.
char32_t HostByteToCodePoint(const TUpperHalf& Table, unsigned char Byte) {
    return Byte < 0x80 ? Byte : Table[Byte - 0x80];
}

// Code points with the byte that stands for them, sorted for binary search; the
// undefined bytes (code point 0) sort first and are never found.
struct TReverseEntry {
    char16_t CodePoint;
    unsigned char Byte;
};
using TReverseTable = std::array<TReverseEntry, 128>;

constexpr TReverseTable MakeReverseTable(const TUpperHalf& Table) {
    TReverseTable Result{};
    for (std::size_t Index = 0; Index < Table.size(); ++Index)
        Result[Index] = {Table[Index], static_cast<unsigned char>(0x80 + Index)};
    std::sort(Result.begin(), Result.end(), [](const TReverseEntry& A, const TReverseEntry& B) {
        return A.CodePoint < B.CodePoint;
    });
    return Result;
}

constexpr TReverseTable Windows1250Reverse = MakeReverseTable(Windows1250);
constexpr TReverseTable Windows1252Reverse = MakeReverseTable(Windows1252);

char CodePointToHostByte(TCodePage CodePage, char32_t CodePoint) {
    if (CodePoint < 0x80)
        return static_cast<char>(CodePoint);
    const TReverseTable& Table =
        CodePage == cpWindows1252 ? Windows1252Reverse : Windows1250Reverse;
    const auto Found = std::lower_bound(
        Table.begin(), Table.end(), CodePoint,
        [](const TReverseEntry& Entry, char32_t Value) { return Entry.CodePoint < Value; });
    if (Found == Table.end() || Found->CodePoint != CodePoint)
        return Replacement;
    return static_cast<char>(Found->Byte);
}

void AppendUtf8(std::string& Out, char32_t CodePoint) {
    if (CodePoint < 0x80) {
        Out += static_cast<char>(CodePoint);
    } else if (CodePoint < 0x800) {
        Out += static_cast<char>(0xC0 | (CodePoint >> 6));
        Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
    } else if (CodePoint < 0x10000) {
        Out += static_cast<char>(0xE0 | (CodePoint >> 12));
        Out += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (CodePoint >> 18));
        Out += static_cast<char>(0x80 | ((CodePoint >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((CodePoint >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (CodePoint & 0x3F));
    }
}

void AppendUtf16(std::u16string& Out, char32_t CodePoint) {
    if (CodePoint < 0x10000) {
        Out += static_cast<char16_t>(CodePoint);
        return;
    }
    CodePoint -= 0x10000;
    Out += static_cast<char16_t>(0xD800 + (CodePoint >> 10));
    Out += static_cast<char16_t>(0xDC00 + (CodePoint & 0x3FF));
}

// Appends one character, given by its code point, in the host code page.
void AppendHost(std::string& Out, TCodePage CodePage, char32_t CodePoint) {
    if (CodePage == cpUtf8)
        AppendUtf8(Out, CodePoint);
    else
        Out += CodePointToHostByte(CodePage, CodePoint);
}

// The range the second byte of a sequence must lie in: narrower than a plain continuation
// byte after the leads whose full range would allow overlong forms, surrogates or code
// points above U+10FFFF.
std::pair<unsigned char, unsigned char> SecondByteRange(unsigned char Lead) {
    switch (Lead) {
    case 0xE0:
        return {0xA0, 0xBF};
    case 0xED:
        return {0x80, 0x9F};
    case 0xF0:
        return {0x90, 0xBF};
    case 0xF4:
        return {0x80, 0x8F};
    default:
        return {0x80, 0xBF};
    }
}

// The number of bytes of a sequence starting with Lead, or 0 for a byte that cannot start one.
int SequenceLength(unsigned char Lead) {
    if (Lead < 0x80)
        return 1;
    if (Lead >= 0xC2 && Lead <= 0xDF)
        return 2;
    if (Lead >= 0xE0 && Lead <= 0xEF)
        return 3;
    if (Lead >= 0xF0 && Lead <= 0xF4)
        return 4;
    return 0;
}

// Decodes the UTF-8 sequence at Text[Pos], advancing Pos. A malformed sequence yields no
// code point and advances past its longest well-formed prefix (at least one byte), so
// that each maximal ill-formed part is replaced exactly once.
bool DecodeUtf8(std::string_view Text, std::size_t& Pos, char32_t& CodePoint) {
    const auto Lead = static_cast<unsigned char>(Text[Pos++]);
    const int Length = SequenceLength(Lead);
    if (Length == 0)
        return false;
    if (Length == 1) {
        CodePoint = Lead;
        return true;
    }
    CodePoint = Lead & (0x7F >> Length);
    auto [Low, High] = SecondByteRange(Lead);
    for (int Index = 1; Index < Length; ++Index) {
        if (Pos >= Text.size())
            return false;
        const auto Byte = static_cast<unsigned char>(Text[Pos]);
        if (Byte < Low || Byte > High)
            return false;
        CodePoint = (CodePoint << 6) | (Byte & 0x3F);
        ++Pos;
        Low = 0x80;
        High = 0xBF;
    }
    return true;
}

} // namespace

TCodePage HostCodePage() {
    return CurrentCodePage.load();
}

void SetHostCodePage(TCodePage CodePage) {
    CurrentCodePage.store(CodePage);
}

std::string HostToUtf8(std::string_view Text) {
    const TCodePage CodePage = HostCodePage();
    if (CodePage == cpUtf8)
        return Utf8ToHost(Text);
    const TUpperHalf& Table = UpperHalf(CodePage);
    std::string Result;
    Result.reserve(Text.size());
    for (char Byte : Text) {
        const char32_t CodePoint = HostByteToCodePoint(Table, static_cast<unsigned char>(Byte));
        if (CodePoint == 0 && Byte != 0)
            Result += Replacement;
        else
            AppendUtf8(Result, CodePoint);
    }
    return Result;
}

std::string Utf8ToHost(std::string_view Text) {
    const TCodePage CodePage = HostCodePage();
    std::string Result;
    Result.reserve(Text.size());
    std::size_t Pos = 0;
    while (Pos < Text.size()) {
        const std::size_t Start = Pos;
        char32_t CodePoint = 0;
        if (!DecodeUtf8(Text, Pos, CodePoint))
            AppendHost(Result, CodePage, CodePage == cpUtf8 ? ReplacementCharacter : Replacement);
        else if (CodePage == cpUtf8)
            Result.append(Text.substr(Start, Pos - Start));
        else
            Result += CodePointToHostByte(CodePage, CodePoint);
    }
    return Result;
}

std::u16string HostToUtf16(std::string_view Text) {
    const TCodePage CodePage = HostCodePage();
    std::u16string Result;
    Result.reserve(Text.size());
    if (CodePage == cpUtf8) {
        std::size_t Pos = 0;
        while (Pos < Text.size()) {
            char32_t CodePoint = 0;
            AppendUtf16(Result,
                        DecodeUtf8(Text, Pos, CodePoint) ? CodePoint : ReplacementCharacter);
        }
        return Result;
    }
    const TUpperHalf& Table = UpperHalf(CodePage);
    for (char Byte : Text) {
        const char32_t CodePoint = HostByteToCodePoint(Table, static_cast<unsigned char>(Byte));
        const bool Undefined = CodePoint == 0 && Byte != 0;
        Result += Undefined ? char16_t{Replacement} : static_cast<char16_t>(CodePoint);
    }
    return Result;
}

std::string Utf16ToHost(std::u16string_view Text) {
    const TCodePage CodePage = HostCodePage();
    const char32_t Unpaired = CodePage == cpUtf8 ? ReplacementCharacter : Replacement;
    std::string Result;
    Result.reserve(Text.size());
    for (std::size_t Pos = 0; Pos < Text.size(); ++Pos) {
        const char16_t Unit = Text[Pos];
        const bool HighSurrogate = Unit >= 0xD800 && Unit <= 0xDBFF;
        const bool LowSurrogate = Unit >= 0xDC00 && Unit <= 0xDFFF;
        if (HighSurrogate && Pos + 1 < Text.size() && Text[Pos + 1] >= 0xDC00 &&
            Text[Pos + 1] <= 0xDFFF) {
            ++Pos;
            const char32_t CodePoint =
                0x10000 + ((char32_t{Unit} - 0xD800) << 10) + (char32_t{Text[Pos]} - 0xDC00);
            AppendHost(Result, CodePage, CodePoint);
        } else if (HighSurrogate || LowSurrogate) {
            AppendHost(Result, CodePage, Unpaired);
        } else {
            AppendHost(Result, CodePage, Unit);
        }
    }
    return Result;
}

std::string Windows1250ToHost(std::string_view Text) {
    const TCodePage CodePage = HostCodePage();
    if (CodePage == cpWindows1250)
        return std::string(Text);
    std::string Result;
    Result.reserve(Text.size());
    for (char Byte : Text) {
        const char32_t CodePoint =
            HostByteToCodePoint(Windows1250, static_cast<unsigned char>(Byte));
        if (CodePoint == 0 && Byte != 0)
            Result += Replacement;
        else
            AppendHost(Result, CodePage, CodePoint);
    }
    return Result;
}

const char* CodePageName(TCodePage CodePage) {
    switch (CodePage) {
    case cpWindows1250:
        return "windows-1250";
    case cpWindows1252:
        return "windows-1252";
    case cpUtf8:
        break;
    }
    return "utf-8";
}

std::size_t CharacterLength(std::string_view Text, std::size_t Pos) {
    if (Pos >= Text.size())
        return 0;
    if (HostCodePage() != cpUtf8)
        return 1;
    std::size_t End = Pos;
    char32_t CodePoint = 0;
    DecodeUtf8(Text, End, CodePoint);
    return End - Pos;
}

std::size_t PreviousCharacterStart(std::string_view Text, std::size_t Pos) {
    Pos = std::min(Pos, Text.size());
    if (Pos == 0)
        return 0;
    if (HostCodePage() != cpUtf8)
        return Pos - 1;
    // A character is at most four bytes: the farthest start whose character ends at Pos
    // (nearer ones would be continuation bytes, each a malformed character of its own).
    for (std::size_t Back = std::min<std::size_t>(4, Pos); Back > 1; --Back)
        if (CharacterLength(Text, Pos - Back) == Back)
            return Pos - Back;
    return Pos - 1;
}

std::size_t CharacterCount(std::string_view Text) {
    if (HostCodePage() != cpUtf8)
        return Text.size();
    std::size_t Count = 0;
    for (std::size_t Pos = 0; Pos < Text.size(); Pos += CharacterLength(Text, Pos))
        ++Count;
    return Count;
}

std::size_t CharacterOffset(std::string_view Text, std::size_t Index) {
    if (HostCodePage() != cpUtf8)
        return std::min(Index, Text.size());
    std::size_t Pos = 0;
    for (; Index > 0 && Pos < Text.size(); --Index)
        Pos += CharacterLength(Text, Pos);
    return Pos;
}

} // namespace vorn
