#include "host/components/text/CaseMapping.h"

#include "host/components/text/AsciiText.h"
#include "host/components/text/CodePage.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>
#include <unicode/utf8.h>

#include <algorithm>
#include <stdexcept>
#include <unordered_map>

namespace vorn {

namespace {

void CheckIcu(UErrorCode Status, const char* Operation) {
    if (U_FAILURE(Status))
        throw std::runtime_error(std::string("CaseMapping: ") + Operation + ": " +
                                 u_errorName(Status));
}

// ICU's calls fill a buffer of a given capacity and report the length they needed: the
// call runs again with that capacity when the first guess was short.
template <typename TChar, typename TCall>
std::basic_string<TChar> IcuString(int32_t Guess, TCall Call, const char* Operation) {
    std::basic_string<TChar> Result(static_cast<std::size_t>(Guess), TChar{});
    UErrorCode Status = U_ZERO_ERROR;
    int32_t Length = Call(Result.data(), Guess, &Status);
    if (Status == U_BUFFER_OVERFLOW_ERROR) {
        Result.resize(static_cast<std::size_t>(Length));
        Status = U_ZERO_ERROR;
        Length = Call(Result.data(), Length, &Status);
    }
    CheckIcu(Status, Operation);
    Result.resize(static_cast<std::size_t>(Length));
    return Result;
}

std::u16string Utf16UpperCase(const std::u16string& Text) {
    const auto Size = static_cast<int32_t>(Text.size());
    return IcuString<char16_t>(
        Size + Size / 4 + 4,
        [&](char16_t* Out, int32_t Capacity, UErrorCode* Status) {
            return u_strToUpper(Out, Capacity, Text.data(), Size, "", Status);
        },
        "u_strToUpper");
}

// Well-formed UTF-8 upper-cased through ICU's UTF-16 interface.
std::string UpperCaseWellFormed(std::string_view Text) {
    const auto Size = static_cast<int32_t>(Text.size());
    const std::u16string Wide = IcuString<char16_t>(
        Size,
        [&](char16_t* Out, int32_t Capacity, UErrorCode* Status) {
            int32_t Length = 0;
            u_strFromUTF8(Out, Capacity, &Length, Text.data(), Size, Status);
            return Length;
        },
        "u_strFromUTF8");
    const std::u16string Upper = Utf16UpperCase(Wide);
    const auto UpperSize = static_cast<int32_t>(Upper.size());
    return IcuString<char>(
        UpperSize * 3,
        [&](char* Out, int32_t Capacity, UErrorCode* Status) {
            int32_t Length = 0;
            u_strToUTF8(Out, Capacity, &Length, Upper.data(), UpperSize, Status);
            return Length;
        },
        "u_strToUTF8");
}

// The full upper case of one code point, in UTF-16.
std::u16string UpperCaseOf(char32_t C) {
    char16_t Unit[U16_MAX_LENGTH];
    int32_t Length = 0;
    U16_APPEND_UNSAFE(Unit, Length, static_cast<UChar32>(C));
    return Utf16UpperCase(std::u16string(Unit, static_cast<std::size_t>(Length)));
}

// The single code point that a UTF-16 text is, or nullopt.
std::optional<char32_t> SingleCodePoint(const std::u16string& Text) {
    if (Text.empty() || Text.size() > 2)
        return std::nullopt;
    UChar32 C = 0;
    int32_t Offset = 0;
    U16_NEXT(Text.data(), Offset, static_cast<int32_t>(Text.size()), C);
    if (static_cast<std::size_t>(Offset) != Text.size())
        return std::nullopt;
    return static_cast<char32_t>(C);
}

using TCaseClasses = std::unordered_map<char32_t, std::vector<char32_t>>;

// For every upper-case code point that others upper-case to, those others. Upper-casing
// maps many to one (i and dotless i to I), so the classes come from one pass over the
// code points that change when upper-cased.
TCaseClasses BuildCaseClasses() {
    TCaseClasses Classes;
    for (UChar32 C = 0; C <= UCHAR_MAX_VALUE; ++C) {
        if (!u_hasBinaryProperty(C, UCHAR_CHANGES_WHEN_UPPERCASED))
            continue;
        const std::optional<char32_t> Upper = SingleCodePoint(UpperCaseOf(char32_t(C)));
        if (Upper && *Upper != static_cast<char32_t>(C))
            Classes[*Upper].push_back(static_cast<char32_t>(C));
    }
    return Classes;
}

const TCaseClasses& CaseClasses() {
    static const TCaseClasses Classes = BuildCaseClasses();
    return Classes;
}

} // namespace

std::string UpperCaseUtf8(std::string_view Text) {
    std::string Result;
    Result.reserve(Text.size());
    const auto Size = static_cast<int32_t>(Text.size());
    int32_t Offset = 0;
    // Well-formed runs go to ICU whole; a malformed byte is kept as it stands.
    while (Offset < Size) {
        int32_t RunEnd = Offset;
        while (RunEnd < Size) {
            int32_t Next = RunEnd;
            UChar32 C = 0;
            U8_NEXT(Text.data(), Next, Size, C);
            if (C < 0)
                break;
            RunEnd = Next;
        }
        Result += UpperCaseWellFormed(Text.substr(static_cast<std::size_t>(Offset),
                                                  static_cast<std::size_t>(RunEnd - Offset)));
        if (RunEnd < Size)
            Result += Text[static_cast<std::size_t>(RunEnd++)];
        Offset = RunEnd;
    }
    return Result;
}

std::string UpperCaseText(std::string_view Text) {
    if (HostCodePage() != cpUtf8)
        return UpperCaseAscii(Text);
    return UpperCaseUtf8(Text);
}

std::optional<std::vector<char32_t>> CaseVariants(char32_t C) {
    if (C > UCHAR_MAX_VALUE || U_IS_SURROGATE(C))
        return std::vector<char32_t>{C};
    const std::optional<char32_t> Upper = SingleCodePoint(UpperCaseOf(C));
    if (!Upper)
        return std::nullopt;
    std::vector<char32_t> Variants{*Upper};
    const TCaseClasses& Classes = CaseClasses();
    const auto Class = Classes.find(*Upper);
    if (Class != Classes.end())
        Variants.insert(Variants.end(), Class->second.begin(), Class->second.end());
    std::sort(Variants.begin(), Variants.end());
    return Variants;
}

std::optional<std::vector<std::string>> CharacterCaseVariants(std::string_view Character) {
    const std::string Itself(Character);
    if (HostCodePage() != cpUtf8) {
        const std::string Upper = UpperCaseAscii(Character);
        const std::string Lower = LowerCaseAscii(Character);
        if (Upper == Lower)
            return std::vector<std::string>{Itself};
        // The capital's byte is the lower one.
        return std::vector<std::string>{Upper, Lower};
    }
    const auto Size = static_cast<int32_t>(Character.size());
    int32_t Offset = 0;
    UChar32 C = 0;
    U8_NEXT(Character.data(), Offset, Size, C);
    if (C < 0 || Offset != Size)
        return std::vector<std::string>{Itself};
    const std::optional<std::vector<char32_t>> Variants = CaseVariants(static_cast<char32_t>(C));
    if (!Variants)
        return std::nullopt;
    std::vector<std::string> Result;
    for (const char32_t Variant : *Variants) {
        char Bytes[U8_MAX_LENGTH];
        int32_t Length = 0;
        U8_APPEND_UNSAFE(Bytes, Length, static_cast<UChar32>(Variant));
        Result.emplace_back(Bytes, static_cast<std::size_t>(Length));
    }
    return Result;
}

} // namespace vorn
