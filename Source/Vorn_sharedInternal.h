#pragma once

// Building blocks of the shared unit that its own sources share and that tests
// exercise directly. Not part of the unit's public interface.

#include <cstddef>
#include <string>
#include <string_view>

namespace vorn::SharedInternal {

// The number of items of a sort field list: every ";" ends an item, and the last
// character ends one more unless it is itself a ";".
int CountSortFields(const std::string& S);

// Appends one blank unless T is empty or already ends with a blank.
void AppendSpace(std::string& T);

bool ContainsChar(std::string_view S, char C);

// True when S ends with C and the character before it is not E. Only the one
// character before is looked at, so an escaped escape in front of C reads as
// escaping C.
bool EndsWithUnescaped(std::string_view S, char C, char E);

// The position (from 0) of the first character of Set at or after Start that no
// E escapes, or npos. An E escapes exactly the one character after it.
std::size_t FindUnescapedChar(std::string_view S, std::string_view Set, std::size_t Start, char E);

// How many times C occurs in S without an E escaping it.
std::size_t CountUnescaped(std::string_view S, char C, char E);

// S with E put before every character of Set, for text in which nothing is escaped yet.
std::string EscapeEach(std::string_view S, std::string_view Set, char E);

// S with E inserted before every unescaped character of Set.
std::string EscapeChars(std::string_view S, std::string_view Set, char E);

// S with each escape E dropped and the character after it kept; a trailing lone
// E is dropped too.
std::string RemoveEscapes(std::string_view S, char E);

// S as one single-quoted literal that a backslash-escaping reader takes to mean
// what S means. A value that is already one well-formed literal is kept as it is.
// Otherwise quotes inside are escaped with a backslash; outside a LIKE pattern
// every backslash is doubled so that it stands for itself, while in a pattern
// backslash pairs are the pattern's escapes and only a trailing lone backslash
// is doubled.
std::string QuoteValue(std::string_view S, bool LikePattern);

// S with every unescaped Many turned into TMany, One into TOne, and each escape
// E into TE with the escaped character kept as it is. The length is unchanged.
std::string TranslateWildcards(std::string_view S, char Many, char One, char E, char TMany,
                               char TOne, char TE);

} // namespace vorn::SharedInternal
