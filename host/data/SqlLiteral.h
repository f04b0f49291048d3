#pragma once

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

// Upper-cases the ASCII letters a to z only, as UPPER(...) does on every backend.
std::string SqlAsciiUpperCase(std::string Text);

} // namespace vorn
