#pragma once

// The shared unit of the data components: string helpers for field names and
// the filter clause composer used by the filter grid.

#include <string>

namespace vorn {

// ---- String helpers -------------------------------------------------------

// True when S is not empty and its first character is C.
bool BeginsWith(const std::string& S, char C);

// True when S is not empty and its last character is C.
bool EndsWith(const std::string& S, char C);

// S trimmed and, unless it already begins with "[" and ends with "]", enclosed
// in square brackets: the way a field name holding blanks is written in a filter.
std::string BracketString(const std::string& S);

// S trimmed and, when it begins with "[" and ends with "]", without that one
// pair of brackets.
std::string UnbracketString(const std::string& S);

// ---- Filter clause composer -----------------------------------------------

// Appends one condition (FieldName Operator Value) to FilterText, joined by the
// connector BoolOperator, and returns the new filter text.
//
// Wildcards (many-wildcard, one-wildcard, optional escape character, as in "*?")
// are the characters the end user types; TargetWildcards (as in "%_") the ones
// the filter's target understands. Empty Wildcards turn wildcard handling off.
// A quoted value always ends up inside exactly one literal that means what the
// user typed, whatever quotes or backslashes it holds.
//
// The in/out parameters are written back normalized (connector, bracketed field
// name, detected operator, value as quoted) so that a caller can show the user
// what was applied; CorrectedValue receives the value with the end user's
// wildcards kept. Raises Exception for a missing field name, bad wildcard
// strings and, when Exceptions is set, for a missing operator or unquoted value;
// a raise leaves Value as given and Operator only trimmed and upper-cased.
// Without Exceptions such a condition is dropped and FilterText comes back
// without a dangling connector.
std::string AppendFilter(const std::string& FilterText, std::string& BoolOperator,
                         std::string& FieldName, std::string& Operator, std::string& Value,
                         std::string& CorrectedValue, bool Quoted, bool CaseSensitive,
                         const std::string& Wildcards, const std::string& TargetWildcards,
                         bool CaseSensitiveContaining, bool Exceptions);

} // namespace vorn
