#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

namespace vorn {

// The syntax tree of the system's dialect. Parentheses of the source are not kept:
// the writer puts them back wherever the tree needs them on a backend.

enum TSqlExprKind {
    sekColumn,       // Name: the parts of a possibly qualified name
    sekAllColumns,   // * or qualifier.*: Name holds the qualifier parts, if any
    sekString,       // Text: the literal's body, backslash pairs still in it
    sekNumber,       // Text: a validated numeric token
    sekBoolean,      // Text: "TRUE" or "FALSE"
    sekNull,         // NULL
    sekFunction,     // Name[0]: the function name as written; Operands: arguments
    sekUnary,        // Operator, Operands[0]
    sekBinary,       // Operands[0] Operator Operands[1]; AND and OR join two or more
    sekIsNull,       // Operands[0] IS [NOT] NULL
    sekLike,         // Operands[0] [NOT] LIKE Operands[1]
    sekStartingWith, // Operands[0] [NOT] STARTING WITH Operands[1]
    sekContaining,   // Operands[0] [NOT] CONTAINING Operands[1]
    sekInList,       // Operands[0] [NOT] IN (Operands[1] ...)
    sekInSelect,     // Operands[0] [NOT] IN (Select)
    sekBetween,      // Operands[0] [NOT] BETWEEN Operands[1] AND Operands[2]
    sekSubquery,     // (Select) as a value
    sekExists        // EXISTS (Select)
};

enum TSqlOperator {
    sopNone,
    sopOr,
    sopAnd,
    sopNot,
    sopEqual,
    sopNotEqual,
    sopLess,
    sopLessOrEqual,
    sopGreater,
    sopGreaterOrEqual,
    sopConcat,
    sopAdd,
    sopSubtract,
    sopMultiply,
    sopDivide,
    sopModulo,
    sopNegate,
    sopPlus
};

struct TSqlSelect;

struct TSqlExpr {
    TSqlExprKind Kind = sekNull;
    std::size_t Position = 0; // 1-based position of the expression's first character
    std::size_t Height = 1;   // levels of the tree below and including this node
    TSqlOperator Operator = sopNone;
    bool Negated = false;  // NOT LIKE, IS NOT NULL, NOT IN, ...
    bool Distinct = false; // COUNT(DISTINCT ...)
    std::vector<std::string> Name;
    std::string Text;
    std::vector<std::unique_ptr<TSqlExpr>> Operands;
    std::unique_ptr<TSqlSelect> Select;
};

using TSqlExprPtr = std::unique_ptr<TSqlExpr>;

// Whether Kind is one of the predicates that test a value (IS NULL, LIKE, IN, ...);
// comparisons are binary operators and not among them.
inline bool IsSqlPredicateKind(TSqlExprKind Kind) {
    switch (Kind) {
    case sekIsNull:
    case sekLike:
    case sekStartingWith:
    case sekContaining:
    case sekInList:
    case sekInSelect:
    case sekBetween:
        return true;
    default:
        return false;
    }
}

// Whether Expr calls UPPER, the dialect's one function with a meaning of its own.
inline bool IsSqlUpperCall(const TSqlExpr& Expr) {
    if (Expr.Kind != sekFunction || Expr.Name[0].size() != 5)
        return false;
    for (std::size_t Index = 0; Index < 5; ++Index)
        if ((Expr.Name[0][Index] | 0x20) != "upper"[Index])
            return false;
    return true;
}

// A number with a sign before it (- or +).
inline bool IsSqlSignedNumber(const TSqlExpr& Expr) {
    return Expr.Kind == sekUnary && (Expr.Operator == sopNegate || Expr.Operator == sopPlus) &&
           Expr.Operands[0]->Kind == sekNumber;
}

// A literal, a truth value or a (signed) number: one value of its own, what a filter
// compares a field with.
inline bool IsSqlValueTerm(const TSqlExpr& Expr) {
    return Expr.Kind == sekString || Expr.Kind == sekNumber || Expr.Kind == sekBoolean ||
           IsSqlSignedNumber(Expr);
}

struct TSqlSelectItem {
    TSqlExprPtr Expr;
    std::string Alias; // empty: no alias (names are never empty)
};

enum TSqlJoinKind { sjkNone, sjkComma, sjkInner, sjkLeft, sjkRight, sjkFull, sjkCross };

struct TSqlFromItem {
    TSqlJoinKind Join = sjkNone;        // how this item joins the ones before it
    std::vector<std::string> Table;     // the parts of a possibly qualified table name
    std::unique_ptr<TSqlSelect> Select; // a derived table instead of a named one
    std::string Alias;
    TSqlExprPtr On;
};

enum TSqlNullsOrder { snoDefault, snoFirst, snoLast };

struct TSqlOrderItem {
    TSqlExprPtr Expr;
    bool Descending = false;
    TSqlNullsOrder Nulls = snoDefault;
};

struct TSqlSelect {
    std::size_t Height = 1; // levels of the tree below and including this statement
    bool Distinct = false;
    std::vector<TSqlSelectItem> Items;
    std::vector<TSqlFromItem> From;
    TSqlExprPtr Where;
    std::vector<TSqlExprPtr> GroupBy;
    TSqlExprPtr Having;
    std::vector<TSqlOrderItem> OrderBy;
    std::string Limit;  // numeric token, empty when absent
    std::string Offset; // numeric token, empty when absent
};

} // namespace vorn
