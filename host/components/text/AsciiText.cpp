#include "host/components/text/AsciiText.h"

#include <algorithm>

namespace vorn {

namespace {

char UpperAscii(char C) {
    return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C;
}

char LowerAscii(char C) {
    return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}

template <typename TIsBlank>
std::string TrimmedBy(std::string_view Text, TIsBlank IsBlank) {
    const auto Begin = std::find_if_not(Text.begin(), Text.end(), IsBlank);
    const auto End = std::find_if_not(Text.rbegin(), Text.rend(), IsBlank).base();
    return Begin < End ? std::string(Begin, End) : std::string();
}

} // namespace

std::string UpperCaseAscii(std::string_view Text) {
    std::string Result(Text);
    std::transform(Result.begin(), Result.end(), Result.begin(), UpperAscii);
    return Result;
}

std::string LowerCaseAscii(std::string_view Text) {
    std::string Result(Text);
    std::transform(Result.begin(), Result.end(), Result.begin(), LowerAscii);
    return Result;
}

int CompareTextAscii(std::string_view A, std::string_view B) {
    const std::size_t Common = std::min(A.size(), B.size());
    for (std::size_t Index = 0; Index < Common; ++Index) {
        const auto X = static_cast<unsigned char>(UpperAscii(A[Index]));
        const auto Y = static_cast<unsigned char>(UpperAscii(B[Index]));
        if (X != Y)
            return X < Y ? -1 : 1;
    }
    if (A.size() == B.size())
        return 0;
    return A.size() < B.size() ? -1 : 1;
}

bool SameTextAscii(std::string_view A, std::string_view B) {
    return A.size() == B.size() && CompareTextAscii(A, B) == 0;
}

std::string TrimControlsAndSpaces(std::string_view Text) {
    return TrimmedBy(Text, [](char C) { return static_cast<unsigned char>(C) <= ' '; });
}

std::string TrimSpacesAndTabs(std::string_view Text) {
    return TrimmedBy(Text, [](char C) { return C == ' ' || C == '\t'; });
}

std::string TrimSpaces(std::string_view Text) {
    return TrimmedBy(Text, [](char C) { return C == ' '; });
}

std::vector<std::string> SplitList(std::string_view Text, char Separator) {
    std::vector<std::string> Items;
    if (Text.empty())
        return Items;
    std::size_t Start = 0;
    for (;;) {
        const std::size_t End = Text.find(Separator, Start);
        Items.emplace_back(Text.substr(Start, End - Start));
        if (End == std::string_view::npos)
            return Items;
        Start = End + 1;
    }
}

std::string JoinList(const std::vector<std::string>& Items, char Separator) {
    std::string Joined;
    for (std::size_t Index = 0; Index < Items.size(); ++Index) {
        if (Index > 0)
            Joined += Separator;
        Joined += Items[Index];
    }
    return Joined;
}

} // namespace vorn
