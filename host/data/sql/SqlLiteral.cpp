#include "host/data/sql/SqlLiteral.h"

#include "host/components/text/CodePage.h"

namespace vorn {

namespace {

// Walks the backslash pairs of a literal body; the tokenizer guarantees that no
// body ends in a lone backslash, so every backslash has a character after it.
template <typename TPairWriter>
std::string RewritePairs(const std::string& Body, TPairWriter WritePair) {
    std::string Result;
    Result.reserve(Body.size());
    for (std::size_t Index = 0; Index < Body.size(); ++Index) {
        if (Body[Index] != '\\' || Index + 1 == Body.size()) {
            Result += Body[Index];
            continue;
        }
        WritePair(Result, Body[Index + 1]);
        ++Index;
    }
    return Result;
}

} // namespace

std::string DecodeSqlLiteral(const std::string& Body) {
    return RewritePairs(Body, [](std::string& Out, char Escaped) { Out += Escaped; });
}

std::string SqlLikePatternOfLiteral(const std::string& Body) {
    return RewritePairs(Body, [](std::string& Out, char Escaped) {
        if (Escaped != '\'')
            Out += '\\';
        Out += Escaped;
    });
}

std::string EscapeSqlLikeText(const std::string& Text) {
    std::string Result;
    Result.reserve(Text.size());
    for (char C : Text) {
        if (C == '\\' || C == '%' || C == '_')
            Result += '\\';
        Result += C;
    }
    return Result;
}

std::size_t LikePatternBytes(const std::string& Pattern) {
    return HostToUtf8(Pattern).size();
}

bool IsOverlongLikePattern(const std::string& Pattern) {
    // A host code page byte is at most three bytes of UTF-8: a short pattern needs no
    // conversion to be known short.
    return Pattern.size() * 3 > MaxLikePatternBytes &&
           LikePatternBytes(Pattern) > MaxLikePatternBytes;
}

} // namespace vorn
