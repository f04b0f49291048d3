#pragma once

// Helpers that the filter grid's sources share: how names are compared and matched,
// and how the value cell of a between or in-list row holds several values.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn::FilterGridInternal {

// The name with blanks and control characters at its ends removed and a-z upper-cased,
// which is how the grid compares operator and connector names.
std::string NormalizedName(std::string_view Name);

// The index of the name sharing the longest prefix with Text (a-z compared without case);
// among equals the shorter name, among names of one length the first. Nothing when no
// name shares even the first character.
std::optional<std::size_t> ClosestName(const std::vector<std::string>& Names,
                                       std::string_view Text);

// The escape character of a value cell: the third character of the grid's Wildcards,
// else a backslash.
char ValueEscape(std::string_view Wildcards);

// The values of a between or in-list cell: split at each FilterValueSeparator that no
// Escape precedes, each piece trimmed, then Escape before the separator or before itself
// dropped (any other Escape stays with the character after it). No values for a cell of
// blanks only.
std::vector<std::string> SplitValueItems(std::string_view Text, char Escape);

// The cell text that SplitValueItems reads back as Items (each trimmed already).
std::string JoinValueItems(const std::vector<std::string>& Items, char Escape);

} // namespace vorn::FilterGridInternal
