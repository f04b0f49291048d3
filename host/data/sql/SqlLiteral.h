#pragma once

#include <cstddef>
#include <string>

namespace vorn {

// The text a literal stands for outside LIKE: every backslash pair \x becomes x.
// Body is the literal's text between its quotes, as the tokenizer keeps it.
std::string DecodeSqlLiteral(const std::string& Body);

// The pattern a literal stands for as the pattern of LIKE: backslash pairs stay the
// pattern's escapes (for ESCAPE '\'), only \' becomes a plain quote.
std::string SqlLikePatternOfLiteral(const std::string& Body);

// Text made into a LIKE pattern (ESCAPE '\') that matches exactly that text.
std::string EscapeSqlLikeText(const std::string& Text);

// The longest LIKE pattern that SQLite matches, in bytes of UTF-8: it refuses a longer one
// as too complex whatever the pattern holds. Where a text match of any length is wanted,
// SQL for SQLite is written without LIKE once its pattern would be longer than this.
constexpr std::size_t MaxLikePatternBytes = 50000;

// The length of a LIKE pattern (host code page) as SQLite measures it: in bytes of UTF-8.
std::size_t LikePatternBytes(const std::string& Pattern);

// Whether SQLite refuses Pattern (host code page) as the pattern of LIKE.
bool IsOverlongLikePattern(const std::string& Pattern);

} // namespace vorn
