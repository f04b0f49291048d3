#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vorn {

enum TSqlTokenKind {
    stkWord,       // a plain word: a keyword, a function name or an unquoted identifier
    stkIdentifier, // a name in double quotes or square brackets, text without the delimiters
    stkString,     // a literal in single quotes, text still holding its backslash pairs
    stkNumber,     // a validated numeric token, text as written
    stkSymbol,     // an operator or punctuation: ( ) , . * + - / % || = <> != < <= > >=
    stkEnd         // the end of the text
};

struct TSqlToken {
    TSqlTokenKind Kind = stkEnd;
    std::string Text;
    std::size_t Position = 0; // 1-based position of the token's first character
};

// Splits a text of the system's dialect into tokens, the last one being stkEnd.
// Raises ESqlSyntaxError for an unterminated literal, bracketed name or quoted
// identifier, a malformed number, a comment, or a character the dialect lacks.
std::vector<TSqlToken> TokenizeSql(const std::string& Text);

} // namespace vorn
