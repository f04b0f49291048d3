#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// Text handled byte by byte: names (classes, components, resources, fields, SQL words,
// declared types) and the lists that hold them. Only the ASCII letters a to z and A to Z
// change case; every other byte stays as it is, so the result depends neither on the
// process locale nor on the host code page. Text that users read and type is folded by
// whole characters instead (TextCase.h, CaseMapping.h).

// Text with a to z turned into A to Z.
std::string UpperCaseAscii(std::string_view Text);

// Text with A to Z turned into a to z.
std::string LowerCaseAscii(std::string_view Text);

// Compares two texts byte by byte with the ASCII letters folded to upper case: -1, 0 or
// 1. Bytes compare unsigned; a text that is the start of the other comes first.
int CompareTextAscii(std::string_view A, std::string_view B);
bool SameTextAscii(std::string_view A, std::string_view B);

// Text without the bytes 0 to 32 (control characters and the space) at either end; bytes
// of the upper half of a code page are never taken for them.
std::string TrimControlsAndSpaces(std::string_view Text);

// Text without spaces and tabs at either end.
std::string TrimSpacesAndTabs(std::string_view Text);

// Text without spaces at either end.
std::string TrimSpaces(std::string_view Text);

// The items of a list such as "A;B": every Separator ends an item, empty items included
// ("A;;B" has three, "A;" two). An empty text is a list of no items.
std::vector<std::string> SplitList(std::string_view Text, char Separator);

// The items with Separator between them: the reverse of SplitList for any list of at
// least one item.
std::string JoinList(const std::vector<std::string>& Items, char Separator);

} // namespace vorn
