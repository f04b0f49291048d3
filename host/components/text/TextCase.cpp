#include "host/components/text/TextCase.h"

#include "host/components/text/CaseMapping.h"
#include "host/components/text/CodePage.h"

namespace vorn {

// Everything that compares text without case comes through this function: the upper case
// that the filters and searches fold to (every letter under UTF-8, a to z otherwise).
std::string FoldCharacterCase(std::string_view Character) {
    return UpperCaseText(Character);
}

int CompareTextIgnoringCase(std::string_view A, std::string_view B) {
    std::size_t PosA = 0;
    std::size_t PosB = 0;
    while (PosA < A.size() && PosB < B.size()) {
        const std::size_t LengthA = CharacterLength(A, PosA);
        const std::size_t LengthB = CharacterLength(B, PosB);
        const int Result = FoldCharacterCase(A.substr(PosA, LengthA))
                               .compare(FoldCharacterCase(B.substr(PosB, LengthB)));
        if (Result != 0)
            return Result < 0 ? -1 : 1;
        PosA += LengthA;
        PosB += LengthB;
    }
    if (PosA < A.size())
        return 1;
    return PosB < B.size() ? -1 : 0;
}

} // namespace vorn
