#pragma once

#include <string>
#include <string_view>

namespace vorn {

// Compares two host code page texts character by character (whole UTF-8 sequences under
// UTF-8, bytes under a single-byte code page) with the case of each character folded:
// -1, 0 or 1. Folded characters compare by their bytes, which under UTF-8 is the order
// of their code points; a text that is the start of the other comes first.
//
// Characters fold to their upper case as the filters and searches fold them (every letter
// under UTF-8, a to z under a single-byte code page); the result never depends on the
// process locale. FoldCharacterCase is the one place that decides a character's folded form.
int CompareTextIgnoringCase(std::string_view A, std::string_view B);

// The case-folded form of one whole character of the host code page.
std::string FoldCharacterCase(std::string_view Character);

} // namespace vorn
