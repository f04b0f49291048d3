#include "host/data/sql/SqlConditionRules.h"

#include <algorithm>

namespace vorn {

namespace {

bool IsComparison(const TSqlExpr& Expr) {
    return Expr.Kind == sekBinary && Expr.Operator >= sopEqual &&
           Expr.Operator <= sopGreaterOrEqual;
}

bool IsPredicate(const TSqlExpr& Expr) {
    return IsSqlPredicateKind(Expr.Kind) || IsComparison(Expr);
}

bool IsConnective(const TSqlExpr& Expr) {
    return (Expr.Kind == sekBinary && (Expr.Operator == sopAnd || Expr.Operator == sopOr)) ||
           (Expr.Kind == sekUnary && Expr.Operator == sopNot);
}

bool IsSubSelect(const TSqlExpr& Expr) {
    return Expr.Kind == sekSubquery || Expr.Kind == sekExists || Expr.Kind == sekInSelect;
}

// What a construct is called in a message that refuses it.
std::string Describe(const TSqlExpr& Expr) {
    if (IsSubSelect(Expr))
        return "A sub-select";
    if (IsComparison(Expr))
        return "A comparison";
    switch (Expr.Kind) {
    case sekColumn:
        return Expr.Name.size() > 1 ? "A qualified name" : "A field name";
    case sekAllColumns:
        return "'*'";
    case sekString:
        return "A string literal";
    case sekNumber:
        return "A number";
    case sekBoolean:
        return Expr.Text;
    case sekNull:
        return "NULL";
    case sekFunction:
        return "The function " + Expr.Name[0];
    case sekUnary:
        return Expr.Operator == sopNot ? "NOT" : "A signed expression";
    case sekBinary:
        return Expr.Operator == sopConcat ? "A concatenation" : "An arithmetic expression";
    case sekIsNull:
        return "IS NULL";
    case sekLike:
        return "LIKE";
    case sekStartingWith:
        return "STARTING WITH";
    case sekContaining:
        return "CONTAINING";
    case sekInList:
        return "IN";
    case sekBetween:
        return "BETWEEN";
    default:
        return "This expression";
    }
}

[[noreturn]] void Refuse(const std::string& What, const TSqlExpr& At) {
    throw ESqlSyntaxError(What, At.Position);
}

template <typename TVisit>
void VisitTree(const TSqlExpr& Expr, TVisit& Visit) {
    Visit(Expr);
    for (const TSqlExprPtr& Operand : Expr.Operands)
        VisitTree(*Operand, Visit);
}

bool MentionsColumn(const TSqlExpr& Expr) {
    bool Found = false;
    auto Visit = [&Found](const TSqlExpr& Node) { Found = Found || Node.Kind == sekColumn; };
    VisitTree(Expr, Visit);
    return Found;
}

// A field, or UPPER of a field: what a filter compares.
bool IsFieldTerm(const TSqlExpr& Expr) {
    if (Expr.Kind == sekColumn)
        return Expr.Name.size() == 1;
    return IsSqlUpperCall(Expr) && Expr.Operands[0]->Kind == sekColumn &&
           Expr.Operands[0]->Name.size() == 1;
}

// Applies Check to each condition that AND, OR and NOT join in Expr.
void ForEachJoinedCondition(const TSqlExpr& Expr, void (*Check)(const TSqlExpr&)) {
    if (!IsConnective(Expr)) {
        Check(Expr);
        return;
    }
    for (const TSqlExprPtr& Operand : Expr.Operands)
        ForEachJoinedCondition(*Operand, Check);
}

class TFilterRules {
public:
    // One condition that no connective joins.
    static void Condition(const TSqlExpr& Expr) {
        if (IsComparison(Expr)) {
            Comparison(Expr);
            return;
        }
        switch (Expr.Kind) {
        case sekIsNull:
            Field(*Expr.Operands[0]);
            return;
        case sekLike:
        case sekStartingWith:
        case sekContaining:
            Field(*Expr.Operands[0]);
            if (Expr.Operands[1]->Kind != sekString)
                Refuse(Describe(*Expr.Operands[1]) + " is not allowed after " + Describe(Expr) +
                           " in a filter: it takes a string literal",
                       *Expr.Operands[1]);
            return;
        case sekInList:
        case sekBetween:
            Field(*Expr.Operands[0]);
            for (std::size_t Index = 1; Index < Expr.Operands.size(); ++Index)
                Value(*Expr.Operands[Index], Expr);
            return;
        default:
            break;
        }
        if (IsPredicate(Expr) || IsSubSelect(Expr))
            Refuse(Describe(Expr) + " is not allowed in a filter", Expr);
        Refuse(Describe(Expr) + " is no condition: a filter needs a comparison", Expr);
    }

private:
    static void Field(const TSqlExpr& Expr) {
        if (!IsFieldTerm(Expr))
            Refuse(Describe(Expr) + " is not allowed in a filter: it takes a field or "
                                    "UPPER(field) here",
                   Expr);
    }

    // A value of an IN list or a BETWEEN range.
    static void Value(const TSqlExpr& Expr, const TSqlExpr& Predicate) {
        if (!IsSqlValueTerm(Expr))
            Refuse(Describe(Expr) + " is not allowed after " + Describe(Predicate) +
                       " in a filter: it takes string literals and numbers",
                   Expr);
    }

    static void Comparison(const TSqlExpr& Expr) {
        const TSqlExpr& Left = *Expr.Operands[0];
        const TSqlExpr& Right = *Expr.Operands[1];
        for (const TSqlExpr* Side : {&Left, &Right})
            if (!IsFieldTerm(*Side) && !IsSqlValueTerm(*Side))
                Refuse(Describe(*Side) + " is not allowed in a filter comparison", *Side);
        if (IsFieldTerm(Left) == IsFieldTerm(Right))
            Refuse(IsFieldTerm(Left) ? "A filter compares a field with a literal or a number, "
                                       "not with another field"
                                     : "A filter comparison must name a field",
                   Expr);
    }
};

class TWhereRules {
public:
    // One condition that no connective joins.
    static void Condition(const TSqlExpr& Expr) {
        // A field on its own is a condition when it holds a truth value.
        if (Expr.Kind == sekColumn)
            return;
        if (!IsPredicate(Expr))
            Refuse(Describe(Expr) + " is no condition", Expr);
        // A comparison of constants decides nothing about a row; in a condition it
        // is the mark of text that has left its literal.
        if (!MentionsColumn(Expr))
            Refuse("The condition does not involve any field", Expr);
    }
};

void RefuseSubSelects(const TSqlExpr& Condition) {
    auto Visit = [](const TSqlExpr& Node) {
        if (IsSubSelect(Node))
            Refuse("A sub-select is not allowed in a condition", Node);
    };
    VisitTree(Condition, Visit);
}

} // namespace

void CheckSqlCondition(const TSqlExpr& Condition, TSqlConditionForm Form) {
    RefuseSubSelects(Condition);
    ForEachJoinedCondition(Condition, Form == scfSimpleFilter ? &TFilterRules::Condition
                                                              : &TWhereRules::Condition);
}

std::vector<std::string> SqlReferencedFieldNames(const TSqlExpr& Condition) {
    std::vector<std::string> Names;
    auto Visit = [&Names](const TSqlExpr& Node) {
        if (Node.Kind != sekColumn)
            return;
        if (std::find(Names.begin(), Names.end(), Node.Name.back()) == Names.end())
            Names.push_back(Node.Name.back());
    };
    VisitTree(Condition, Visit);
    return Names;
}

} // namespace vorn
