#include "host/data/sql/SqlWriter.h"

#include "host/components/model/CheckedArithmetic.h"
#include "host/components/text/AsciiText.h"
#include "host/components/text/CaseMapping.h"
#include "host/data/sql/SqlLiteral.h"
#include "host/data/sql/SqlSyntaxError.h"
#include "host/data/sql/SqlUpperCase.h"

#include <functional>
#include <initializer_list>

namespace vorn {

namespace {

// Binding strength of the written operators, weakest first. The backends agree on
// this order except between || and arithmetic, which is therefore always
// parenthesized when mixed. MariaDB reads || as OR: there a concatenation is a
// CONCAT call, an atom.
enum TSqlLevel {
    slOr = 1,
    slAnd,
    slNot,
    slPredicate,
    slConcat,
    slAdditive,
    slMultiplicative,
    slUnary,
    slAtom
};

TSqlLevel LevelOf(const TSqlExpr& Expr) {
    switch (Expr.Kind) {
    case sekUnary:
        return Expr.Operator == sopNot ? slNot : slUnary;
    case sekBinary:
        switch (Expr.Operator) {
        case sopOr:
            return slOr;
        case sopAnd:
            return slAnd;
        case sopConcat:
            return slConcat;
        case sopAdd:
        case sopSubtract:
            return slAdditive;
        case sopMultiply:
        case sopDivide:
        case sopModulo:
            return slMultiplicative;
        default:
            return slPredicate;
        }
    default:
        return IsSqlPredicateKind(Expr.Kind) ? slPredicate : slAtom;
    }
}

bool IsLeftAssociative(TSqlLevel Level) {
    return Level == slOr || Level == slAnd || Level == slConcat || Level == slAdditive ||
           Level == slMultiplicative;
}

bool IsArithmetic(TSqlLevel Level) {
    return Level == slAdditive || Level == slMultiplicative;
}

// The field that Expr names, alone or upper-cased (without qualifier); empty for anything
// else.
std::string ComparedFieldOf(const TSqlExpr& Expr) {
    const TSqlExpr& Term = IsSqlUpperCall(Expr) ? *Expr.Operands[0] : Expr;
    return Term.Kind == sekColumn ? Term.Name.back() : std::string();
}

// Whether an operand written bare under an operator of level Parent could be read
// with another structure by either backend.
bool NeedsParentheses(TSqlLevel Operand, TSqlLevel Parent, bool RightSide) {
    if (Operand < Parent)
        return true;
    if (Operand == Parent && (RightSide || !IsLeftAssociative(Parent)))
        return true;
    return (Operand == slConcat && IsArithmetic(Parent)) ||
           (Parent == slConcat && IsArithmetic(Operand));
}

const char* BinaryOperatorText(TSqlOperator Operator) {
    switch (Operator) {
    case sopOr:
        return "OR";
    case sopAnd:
        return "AND";
    case sopEqual:
        return "=";
    case sopNotEqual:
        return "<>";
    case sopLess:
        return "<";
    case sopLessOrEqual:
        return "<=";
    case sopGreater:
        return ">";
    case sopGreaterOrEqual:
        return ">=";
    case sopConcat:
        return "||";
    case sopAdd:
        return "+";
    case sopSubtract:
        return "-";
    case sopMultiply:
        return "*";
    case sopDivide:
        return "/";
    case sopModulo:
        return "%";
    default:
        break;
    }
    VORN_ASSERT(false);
    return "";
}

class TSqlWriter {
public:
    TSqlWriter(TSqlBackend Backend, int FirstParameterNumber, TTranslatedSql& Out,
               TSqlValueBinding Binding = svbLiterals)
        : FBackend(Backend), FFirstParameter(FirstParameterNumber),
          FParametersBefore(Out.Parameters.size()), FOut(Out), FBindAll(Binding == svbAllValues) {}

    void Select(const TSqlSelect& Select) {
        Write("SELECT ");
        if (Select.Distinct)
            Write("DISTINCT ");
        for (std::size_t Index = 0; Index < Select.Items.size(); ++Index) {
            if (Index > 0)
                Write(", ");
            Expr(*Select.Items[Index].Expr);
            Alias(Select.Items[Index].Alias);
        }
        if (!Select.From.empty()) {
            Write(" FROM ");
            for (const TSqlFromItem& Item : Select.From)
                FromItem(Item);
        }
        if (Select.Where) {
            Write(" WHERE ");
            Expr(*Select.Where);
        }
        if (!Select.GroupBy.empty()) {
            Write(" GROUP BY ");
            ExprList(Select.GroupBy, 0);
        }
        if (Select.Having) {
            Write(" HAVING ");
            Expr(*Select.Having);
        }
        if (!Select.OrderBy.empty()) {
            Write(" ORDER BY ");
            for (std::size_t Index = 0; Index < Select.OrderBy.size(); ++Index) {
                if (Index > 0)
                    Write(", ");
                OrderItem(Select, Select.OrderBy[Index]);
            }
        }
        if (!Select.Limit.empty())
            Write(" LIMIT " + Select.Limit);
        if (!Select.Offset.empty())
            Write(" OFFSET " + Select.Offset);
    }

    void Expr(const TSqlExpr& Expr) {
        switch (Expr.Kind) {
        case sekColumn:
            QualifiedName(Expr.Name);
            return;
        case sekAllColumns:
            if (!Expr.Name.empty()) {
                QualifiedName(Expr.Name);
                Write(".");
            }
            Write("*");
            return;
        case sekString:
            Parameter(DecodeSqlLiteral(Expr.Text), spkText);
            return;
        case sekNumber:
            if (FBindAll)
                Parameter(Expr.Text, spkNumber);
            else
                Write(Expr.Text);
            return;
        case sekBoolean: {
            // SQLite and MariaDB keep truth values as the integers 1 and 0.
            std::string Text = Expr.Text;
            if (FBackend != sbPostgreSQL)
                Text = Expr.Text == "TRUE" ? "1" : "0";
            if (FBindAll)
                Parameter(std::move(Text), spkBoolean);
            else
                Write(Text);
            return;
        }
        case sekNull:
            Write("NULL");
            return;
        case sekFunction:
            Function(Expr);
            return;
        case sekUnary:
            Unary(Expr);
            return;
        case sekBinary:
            if (LevelOf(Expr) == slPredicate) {
                // A comparison: each side meets the field on the other.
                ComparedOperand(Expr, 0, false, ComparedFieldOf(*Expr.Operands[1]));
                Write(std::string(" ") + BinaryOperatorText(Expr.Operator) + " ");
                ComparedOperand(Expr, 1, true, ComparedFieldOf(*Expr.Operands[0]));
                return;
            }
            if (Expr.Operator == sopConcat && FBackend == sbMariaDB) {
                Write("CONCAT(");
                ExprList(Expr.Operands, 0);
                Write(")");
                return;
            }
            for (std::size_t Index = 0; Index < Expr.Operands.size(); ++Index) {
                if (Index > 0)
                    Write(std::string(" ") + BinaryOperatorText(Expr.Operator) + " ");
                Operand(Expr, Index, Index > 0);
            }
            return;
        case sekIsNull:
            Operand(Expr, 0, false);
            Write(Expr.Negated ? " IS NOT NULL" : " IS NULL");
            return;
        case sekLike:
            Like(Expr);
            return;
        case sekStartingWith:
            StartingWith(Expr);
            return;
        case sekContaining:
            Containing(Expr);
            return;
        case sekInList:
        case sekInSelect:
            In(Expr);
            return;
        case sekBetween:
            Operand(Expr, 0, false);
            Write(Expr.Negated ? " NOT BETWEEN " : " BETWEEN ");
            ComparedOperand(Expr, 1, true, ComparedFieldOf(*Expr.Operands[0]));
            Write(" AND ");
            ComparedOperand(Expr, 2, true, ComparedFieldOf(*Expr.Operands[0]));
            return;
        case sekSubquery:
            SubSelect(*Expr.Select);
            return;
        case sekExists:
            Write("EXISTS ");
            SubSelect(*Expr.Select);
            return;
        }
    }

private:
    TSqlBackend FBackend;
    int FFirstParameter;
    std::size_t FParametersBefore; // parameters Out held before this writer began
    TTranslatedSql& FOut;
    bool FBindAll;              // numbers and truth values become parameters too
    std::string FComparedField; // the field that the value being written is compared with

    void Write(const std::string& Text) { FOut.Text += Text; }

    void Parameter(std::string Value, TSqlParameterKind Kind) {
        Write(AddParameter(std::move(Value), Kind, FComparedField));
    }

    // The placeholder of a new parameter, for SQL that names it more than once.
    std::string AddParameter(std::string Value, TSqlParameterKind Kind,
                             const std::string& FieldName) {
        const int Offset = CheckedCast<int>(FOut.Parameters.size() - FParametersBefore);
        FOut.Parameters.push_back(std::move(Value));
        FOut.ParameterSources.push_back({Kind, FieldName});
        return (FBackend == sbPostgreSQL ? "$" : "?") +
               std::to_string(CheckedAdd(FFirstParameter, Offset));
    }

    void Identifier(const std::string& Name) {
        const char Quote = FBackend == sbMariaDB ? '`' : '"';
        std::string Quoted(1, Quote);
        for (char C : Name) {
            if (C == Quote)
                Quoted += Quote;
            Quoted += C;
        }
        Write(Quoted + Quote);
    }

    void QualifiedName(const std::vector<std::string>& Parts) {
        for (std::size_t Index = 0; Index < Parts.size(); ++Index) {
            if (Index > 0)
                Write(".");
            Identifier(Parts[Index]);
        }
    }

    void Alias(const std::string& Name) {
        if (Name.empty())
            return;
        Write(" AS ");
        Identifier(Name);
    }

    // A text constant of the translator's own (never a value from the input).
    void Constant(const std::string& Text) {
        const bool HasBackslash = Text.find('\\') != std::string::npos;
        // MariaDB reads backslashes in literals according to the session's sql_mode; a
        // hexadecimal literal of the connection's character set reads the same in every mode.
        if (FBackend == sbMariaDB && HasBackslash) {
            static constexpr char Digits[] = "0123456789ABCDEF";
            std::string Hex;
            for (char C : Text) {
                Hex += Digits[static_cast<unsigned char>(C) >> 4];
                Hex += Digits[static_cast<unsigned char>(C) & 0x0F];
            }
            Write("_utf8mb4 X'" + Hex + "'");
            return;
        }
        // PostgreSQL reads backslashes in plain literals according to a server
        // setting; an escape-string literal reads them the same way everywhere.
        const bool EscapeString = FBackend == sbPostgreSQL && HasBackslash;
        std::string Literal = EscapeString ? "E'" : "'";
        for (char C : Text) {
            if (C == '\'')
                Literal += '\'';
            if (C == '\\' && EscapeString)
                Literal += '\\';
            Literal += C;
        }
        Write(Literal + "'");
    }

    void EscapeClause() { Write(SqlLikeEscapeClause(FBackend)); }

    void ExprList(const std::vector<TSqlExprPtr>& List, std::size_t First) {
        for (std::size_t Index = First; Index < List.size(); ++Index) {
            if (Index > First)
                Write(", ");
            Expr(*List[Index]);
        }
    }

    TSqlLevel Level(const TSqlExpr& Expr) const {
        if (FBackend == sbMariaDB && Expr.Kind == sekBinary && Expr.Operator == sopConcat)
            return slAtom;
        return LevelOf(Expr);
    }

    void Operand(const TSqlExpr& Parent, std::size_t Index, bool RightSide) {
        Operand(*Parent.Operands[Index], Level(Parent), RightSide);
    }

    // Child as an operand of an operator of level Parent, in parentheses where it needs them.
    void Operand(const TSqlExpr& Child, TSqlLevel Parent, bool RightSide = false) {
        if (!NeedsParentheses(Level(Child), Parent, RightSide)) {
            Expr(Child);
            return;
        }
        Write("(");
        Expr(Child);
        Write(")");
    }

    // The operand of a comparison, IN or BETWEEN that meets the field FieldName. Only a
    // value of its own is taken to be compared with it: a value inside an expression
    // meets that expression.
    void ComparedOperand(const TSqlExpr& Parent, std::size_t Index, bool RightSide,
                         const std::string& FieldName) {
        if (!IsSqlValueTerm(*Parent.Operands[Index])) {
            Operand(Parent, Index, RightSide);
            return;
        }
        FComparedField = FieldName;
        Operand(Parent, Index, RightSide);
        FComparedField.clear();
    }

    void Unary(const TSqlExpr& Expr) {
        // A negative number is one value: PostgreSQL cannot negate a parameter whose type
        // it has yet to infer.
        if (FBindAll && IsSqlSignedNumber(Expr)) {
            const std::string Sign = Expr.Operator == sopNegate ? "-" : "";
            Parameter(Sign + Expr.Operands[0]->Text, spkNumber);
            return;
        }
        if (Expr.Operator == sopNot)
            Write("NOT ");
        else
            Write(Expr.Operator == sopNegate ? "-" : "+");
        Operand(Expr, 0, true);
    }

    void Function(const TSqlExpr& Expr) {
        if (IsSqlUpperCall(Expr)) {
            Upper(*Expr.Operands[0]);
            return;
        }
        Write(Expr.Name[0] + "(");
        if (Expr.Distinct)
            Write("DISTINCT ");
        ExprList(Expr.Operands, 0);
        Write(")");
    }

    // UPPER folds as the components do under the host code page (SqlUpperCase).
    void Upper(const TSqlExpr& Argument) {
        const TSqlUpperCase Call = SqlUpperCase(FBackend);
        Write(Call.Before);
        Expr(Argument);
        Write(Call.After);
    }

    // The text a LIKE matches. PostgreSQL has LIKE for text only, so a date or a number
    // is matched by its text there, as SQLite and MariaDB do by themselves.
    void LikeSubject(const TSqlExpr& Expr) {
        const TSqlExpr& Subject = *Expr.Operands[0];
        if (FBackend != sbPostgreSQL || IsSqlUpperCall(Subject)) {
            Operand(Expr, 0, false);
            return;
        }
        Write("CAST(");
        this->Expr(Subject);
        Write(" AS text)");
    }

    void LikeOperator(const TSqlExpr& Expr) { Write(Expr.Negated ? " NOT LIKE " : " LIKE "); }

    // SQLite cannot match a LIKE pattern past its limit, and a clause selects the same rows
    // on every backend: such a pattern is refused whatever the backend.
    void Like(const TSqlExpr& Expr) {
        const TSqlExpr& Pattern = *Expr.Operands[1];
        std::string PatternText;
        if (Pattern.Kind == sekString) {
            PatternText = SqlLikePatternOfLiteral(Pattern.Text);
            if (IsOverlongLikePattern(PatternText))
                throw ESqlSyntaxError("LIKE pattern of " +
                                          std::to_string(LikePatternBytes(PatternText)) +
                                          " bytes is longer than the " +
                                          std::to_string(MaxLikePatternBytes) + " bytes allowed",
                                      Pattern.Position);
        }
        LikeSubject(Expr);
        LikeOperator(Expr);
        if (Pattern.Kind == sekString)
            Write(AddParameter(std::move(PatternText), spkPattern,
                               ComparedFieldOf(*Expr.Operands[0])));
        else
            Operand(Expr, 1, true);
        EscapeClause();
    }

    // Prefix match, case-sensitive: LIKE with the prefix's own wildcards escaped. A prefix
    // too long for a LIKE pattern on SQLite is compared with as many of the subject's first
    // characters instead.
    void StartingWith(const TSqlExpr& Expr) {
        const TSqlExpr& Prefix = *Expr.Operands[1];
        if (Prefix.Kind == sekString) {
            std::string Text = DecodeSqlLiteral(Prefix.Text);
            std::string Pattern = EscapeSqlLikeText(Text) + "%";
            if (FBackend == sbSQLite && IsOverlongLikePattern(Pattern)) {
                Write("substr(");
                this->Expr(*Expr.Operands[0]);
                const std::string Placeholder =
                    AddParameter(std::move(Text), spkPattern, ComparedFieldOf(*Expr.Operands[0]));
                Write(", 1, length(" + Placeholder + ")) " + (Expr.Negated ? "<> " : "= ") +
                      Placeholder);
                return;
            }
            LikeSubject(Expr);
            LikeOperator(Expr);
            Write(AddParameter(std::move(Pattern), spkPattern, ComparedFieldOf(*Expr.Operands[0])));
        } else {
            LikeSubject(Expr);
            LikeOperator(Expr);
            Concatenation(
                {[&] { EscapedLikeText([&] { this->Expr(Prefix); }); }, [&] { Write("'%'"); }});
        }
        EscapeClause();
    }

    // Substring match, case-insensitive as UPPER folds. A part too long for a LIKE pattern
    // on SQLite is looked for with instr instead.
    void Containing(const TSqlExpr& Expr) {
        const TSqlExpr& Part = *Expr.Operands[1];
        if (Part.Kind == sekString) {
            std::string Text = UpperCaseText(DecodeSqlLiteral(Part.Text));
            std::string Pattern = "%" + EscapeSqlLikeText(Text) + "%";
            if (FBackend == sbSQLite && IsOverlongLikePattern(Pattern)) {
                Write("instr(");
                Upper(*Expr.Operands[0]);
                Write(
                    ", " +
                    AddParameter(std::move(Text), spkPattern, ComparedFieldOf(*Expr.Operands[0])) +
                    (Expr.Negated ? ") = 0" : ") > 0"));
                return;
            }
            Upper(*Expr.Operands[0]);
            LikeOperator(Expr);
            Write(AddParameter(std::move(Pattern), spkPattern, ComparedFieldOf(*Expr.Operands[0])));
        } else {
            Upper(*Expr.Operands[0]);
            LikeOperator(Expr);
            Concatenation({[&] { Write("'%'"); }, [&] { EscapedLikeText([&] { Upper(Part); }); },
                           [&] { Write("'%'"); }});
        }
        EscapeClause();
    }

    // The texts that each of Parts writes, joined into one, as one operand.
    void Concatenation(std::initializer_list<std::function<void()>> Parts) {
        const bool Call = FBackend == sbMariaDB;
        Write(Call ? "CONCAT(" : "(");
        bool First = true;
        for (const auto& Part : Parts) {
            if (!First)
                Write(Call ? ", " : " || ");
            First = false;
            Part();
        }
        Write(")");
    }

    // The SQL that escapes the LIKE wildcards and the escape character in the text
    // that WriteText writes, for a pattern built while the statement runs.
    template <typename TWriteText>
    void EscapedLikeText(TWriteText WriteText) {
        Write("replace(replace(replace(");
        if (FBackend == sbPostgreSQL)
            Write("CAST(");
        WriteText();
        if (FBackend == sbPostgreSQL)
            Write(" AS text)");
        Write(", ");
        Constant("\\");
        Write(", ");
        Constant("\\\\");
        Write("), '%', ");
        Constant("\\%");
        Write("), '_', ");
        Constant("\\_");
        Write(")");
    }

    void In(const TSqlExpr& Expr) {
        Operand(Expr, 0, false);
        Write(Expr.Negated ? " NOT IN " : " IN ");
        if (Expr.Kind == sekInSelect) {
            SubSelect(*Expr.Select);
            return;
        }
        Write("(");
        const std::string FieldName = ComparedFieldOf(*Expr.Operands[0]);
        for (std::size_t Index = 1; Index < Expr.Operands.size(); ++Index) {
            if (Index > 1)
                Write(", ");
            // The items are written bare, as ExprList writes them.
            if (IsSqlValueTerm(*Expr.Operands[Index]))
                FComparedField = FieldName;
            this->Expr(*Expr.Operands[Index]);
            FComparedField.clear();
        }
        Write(")");
    }

    void SubSelect(const TSqlSelect& Inner) {
        Write("(");
        Select(Inner);
        Write(")");
    }

    void FromItem(const TSqlFromItem& Item) {
        switch (Item.Join) {
        case sjkNone:
            break;
        case sjkComma:
            Write(", ");
            break;
        case sjkInner:
            Write(" INNER JOIN ");
            break;
        case sjkLeft:
            Write(" LEFT JOIN ");
            break;
        case sjkRight:
            Write(" RIGHT JOIN ");
            break;
        case sjkFull:
            // MariaDB would read FULL as the alias of the table before it.
            if (FBackend == sbMariaDB)
                throw EDatabaseError("FULL JOIN is not available on MariaDB.");
            Write(" FULL JOIN ");
            break;
        case sjkCross:
            Write(" CROSS JOIN ");
            break;
        }
        if (Item.Select)
            SubSelect(*Item.Select);
        else
            QualifiedName(Item.Table);
        Alias(Item.Alias);
        if (Item.On) {
            Write(" ON ");
            Expr(*Item.On);
        }
    }

    // NULLs come first in an ascending order on every backend, as they do on SQLite.
    void OrderItem(const TSqlSelect& Select, const TSqlOrderItem& Item) {
        if (FBackend == sbMariaDB) {
            MariaDbOrderItem(Select, Item);
            return;
        }
        Expr(*Item.Expr);
        if (Item.Descending)
            Write(" DESC");
        TSqlNullsOrder Nulls = Item.Nulls;
        if (Nulls == snoDefault && FBackend == sbPostgreSQL)
            Nulls = Item.Descending ? snoLast : snoFirst;
        if (Nulls == snoFirst)
            Write(" NULLS FIRST");
        else if (Nulls == snoLast)
            Write(" NULLS LAST");
    }

    // MariaDB has no NULLS FIRST or LAST but puts NULLs where SQLite does. NULLs put
    // elsewhere are ordered by a test for NULL first, which a column number cannot take.
    // Inside an expression MariaDB looks a name up among the tables' columns before the
    // select list's names: the test names the expression that an alias stands for.
    void MariaDbOrderItem(const TSqlSelect& Select, const TSqlOrderItem& Item) {
        const TSqlNullsOrder Usual = Item.Descending ? snoLast : snoFirst;
        if (Item.Nulls != snoDefault && Item.Nulls != Usual) {
            if (Item.Expr->Kind == sekNumber)
                throw ESqlSyntaxError("NULLS FIRST or LAST after a column number",
                                      Item.Expr->Position);
            Operand(AliasedExpr(Select, *Item.Expr), slPredicate);
            Write(Item.Nulls == snoLast ? " IS NULL, " : " IS NOT NULL, ");
        }
        Expr(*Item.Expr);
        if (Item.Descending)
            Write(" DESC");
    }

    // The select list's expression that Expr names by its alias, else Expr itself.
    static const TSqlExpr& AliasedExpr(const TSqlSelect& Select, const TSqlExpr& Expr) {
        if (Expr.Kind != sekColumn || Expr.Name.size() != 1)
            return Expr;
        for (const TSqlSelectItem& Item : Select.Items)
            if (!Item.Alias.empty() && SameTextAscii(Item.Alias, Expr.Name[0]))
                return *Item.Expr;
        return Expr;
    }
};

} // namespace

void WriteSqlStatement(const TSqlSelect& Select, TSqlBackend Backend, TTranslatedSql& Out) {
    TSqlWriter(Backend, 1, Out).Select(Select);
}

void WriteSqlCondition(const TSqlExpr& Condition, TSqlBackend Backend, int FirstParameterNumber,
                       TTranslatedSql& Out, TSqlValueBinding Binding) {
    TSqlWriter(Backend, FirstParameterNumber, Out, Binding).Expr(Condition);
}

} // namespace vorn
