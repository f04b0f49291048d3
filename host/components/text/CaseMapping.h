#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vorn {

// Case folding for matching that ignores letter case. Under UTF-8 every letter is
// upper-cased by ICU's full case mapping of the root locale (so "ß" becomes "SS"), the
// mapping that PostgreSQL's upper() applies under an ICU collation and that the SQLite
// driver registers as a function; under a single-byte code page only a to z change, as
// the databases' own ASCII UPPER does.

// Host code page text with its letters in upper case. Malformed UTF-8 bytes are kept
// as they are.
std::string UpperCaseText(std::string_view Text);

// UTF-8 text with its letters in upper case, whatever the host code page: the mapping
// the SQLite driver runs on the database's own (UTF-8) text.
std::string UpperCaseUtf8(std::string_view Text);

// Every code point whose upper case is the same single code point as C's (C included),
// ascending: "š" gives "Š" and "š", "s" gives "S", "s" and the long s "ſ". nullopt when
// C upper-cases to several code points ("ß" to "SS"), which no one character matches.
std::optional<std::vector<char32_t>> CaseVariants(char32_t C);

// The same for one character of host text (CharacterLength bytes), each variant as host
// text, ascending in byte order. Under a single-byte code page an ASCII letter has its two
// cases and any other byte only itself; so has a malformed byte under UTF-8.
std::optional<std::vector<std::string>> CharacterCaseVariants(std::string_view Character);

} // namespace vorn
