#include "Source/Vorn_shared.h"

#include "Source/Vorn_sharedInternal.h"
#include "host/components/CheckedArithmetic.h"

#include <cstddef>

namespace vorn {

namespace SharedInternal {

namespace {

// Blanks and control characters; the test is on the unsigned byte so that
// letters of the upper half of the code page are never taken for them.
bool IsTrimmed(char C) {
    return static_cast<unsigned char>(C) <= 32;
}

} // namespace

std::string TrimText(const std::string& S) {
    std::size_t First = 0;
    std::size_t Last = S.size();
    while (First < Last && IsTrimmed(S[First]))
        ++First;
    while (Last > First && IsTrimmed(S[Last - 1]))
        --Last;
    return S.substr(First, Last - First);
}

std::string UpperCaseAscii(const std::string& S) {
    std::string Result = S;
    for (char& C : Result) {
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
    }
    return Result;
}

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
    std::string Trimmed = SharedInternal::TrimText(S);
    if (IsBracketed(Trimmed))
        return Trimmed;
    return "[" + Trimmed + "]";
}

std::string UnbracketString(const std::string& S) {
    std::string Trimmed = SharedInternal::TrimText(S);
    if (!IsBracketed(Trimmed))
        return Trimmed;
    // One character cannot be both "[" and "]", so a bracketed text has two or more.
    return Trimmed.substr(1, Trimmed.size() - 2);
}

} // namespace vorn
