#include "Source/Vorn_shared.h"

#include "Source/Vorn_sharedInternal.h"
#include "host/components/model/CheckedArithmetic.h"
#include "host/components/text/AsciiText.h"

#include <cstddef>

namespace vorn {

namespace SharedInternal {

int CountSortFields(const std::string& S) {
    std::size_t Count = 0;
    for (char C : S) {
        if (C == ';')
            ++Count;
    }
    if (!S.empty() && S.back() != ';')
        ++Count;
    return CheckedCast<int>(Count);
}

} // namespace SharedInternal

bool BeginsWith(const std::string& S, char C) {
    return !S.empty() && S.front() == C;
}

bool EndsWith(const std::string& S, char C) {
    return !S.empty() && S.back() == C;
}

namespace {

bool IsBracketed(const std::string& S) {
    return BeginsWith(S, '[') && EndsWith(S, ']');
}

} // namespace

std::string BracketString(const std::string& S) {
    std::string Trimmed = TrimControlsAndSpaces(S);
    if (IsBracketed(Trimmed))
        return Trimmed;
    return "[" + Trimmed + "]";
}

std::string UnbracketString(const std::string& S) {
    std::string Trimmed = TrimControlsAndSpaces(S);
    if (!IsBracketed(Trimmed))
        return Trimmed;
    // One character cannot be both "[" and "]", so a bracketed text has two or more.
    return Trimmed.substr(1, Trimmed.size() - 2);
}

} // namespace vorn
