#include "host/data/sql/SqlParser.h"

#include "host/components/model/ScopeGuard.h"
#include "host/components/text/AsciiText.h"
#include "host/data/sql/SqlSyntaxError.h"
#include "host/data/sql/SqlToken.h"

#include <algorithm>
#include <string_view>

namespace vorn {

namespace {

// Words that shape a statement and therefore never name a column, table or alias
// unless written in quotes or brackets.
constexpr std::string_view ReservedWords[] = {
    "ALL",      "AND",   "AS",       "ASC",    "BETWEEN", "BY",        "CONTAINING",
    "CROSS",    "DESC",  "DISTINCT", "ESCAPE", "EXCEPT",  "EXISTS",    "FROM",
    "FULL",     "GROUP", "HAVING",   "IN",     "INNER",   "INTERSECT", "IS",
    "JOIN",     "LEFT",  "LIKE",     "LIMIT",  "NATURAL", "NOT",       "NULL",
    "OFFSET",   "ON",    "OR",       "ORDER",  "OUTER",   "RIGHT",     "SELECT",
    "STARTING", "UNION", "USING",    "WHERE",  "WITH",    "WINDOW"};

// Deeper nesting than these is no real query; refusing it keeps hostile text from
// exhausting the stack while the tree is parsed, written or freed.
constexpr int MaxNestingDepth = 200;
constexpr std::size_t MaxTreeHeight = 1000;

bool IsReservedWord(const std::string& Word) {
    return std::any_of(std::begin(ReservedWords), std::end(ReservedWords),
                       [&](std::string_view Reserved) { return SameTextAscii(Word, Reserved); });
}

std::string Describe(const TSqlToken& Token) {
    switch (Token.Kind) {
    case stkEnd:
        return "the end of the text";
    case stkString:
        return "a string literal";
    case stkNumber:
        return "the number " + Token.Text;
    case stkIdentifier:
        return "the name \"" + Token.Text + "\"";
    case stkWord:
    case stkSymbol:
        break;
    }
    return "'" + Token.Text + "'";
}

TSqlOperator ComparisonOperator(const TSqlToken& Token) {
    if (Token.Kind != stkSymbol)
        return sopNone;
    static const std::pair<std::string_view, TSqlOperator> Comparisons[] = {
        {"=", sopEqual},        {"<>", sopNotEqual}, {"!=", sopNotEqual},      {"<", sopLess},
        {"<=", sopLessOrEqual}, {">", sopGreater},   {">=", sopGreaterOrEqual}};
    for (const auto& [Symbol, Operator] : Comparisons)
        if (Token.Text == Symbol)
            return Operator;
    return sopNone;
}

class TSqlParser {
public:
    explicit TSqlParser(const std::string& Text) : FTokens(TokenizeSql(Text)) {}

    std::unique_ptr<TSqlSelect> Statement() {
        auto Select = ParseSelect();
        ExpectEnd();
        return Select;
    }

    TSqlExprPtr Condition() {
        auto Expr = ParseExpression();
        ExpectEnd();
        return Expr;
    }

private:
    std::vector<TSqlToken> FTokens;
    std::size_t FIndex = 0;
    int FDepth = 0;

    // Counts one level of nesting for as long as it lives.
    class TNesting {
    public:
        TNesting(TSqlParser& Parser) : FLevel(Parser.FDepth) {
            if (Parser.FDepth > MaxNestingDepth)
                Parser.Fail("Expression nested too deeply", Parser.Peek());
        }

    private:
        TCountInScope<int> FLevel;
    };

    const TSqlToken& Peek(std::size_t Ahead = 0) const {
        return FTokens[std::min(FIndex + Ahead, FTokens.size() - 1)];
    }
    const TSqlToken& Take() {
        const TSqlToken& Token = Peek();
        if (Token.Kind != stkEnd)
            ++FIndex;
        return Token;
    }

    [[noreturn]] void Fail(const std::string& What, const TSqlToken& At) const {
        throw ESqlSyntaxError(What, At.Position);
    }
    [[noreturn]] void Unexpected(const std::string& Expected) const {
        Fail("Expected " + Expected + ", found " + Describe(Peek()), Peek());
    }

    static bool IsKeyword(const TSqlToken& Token, std::string_view Keyword) {
        return Token.Kind == stkWord && SameTextAscii(Token.Text, Keyword);
    }
    static bool IsSymbol(const TSqlToken& Token, std::string_view Symbol) {
        return Token.Kind == stkSymbol && Token.Text == Symbol;
    }
    bool AcceptKeyword(std::string_view Keyword) {
        if (!IsKeyword(Peek(), Keyword))
            return false;
        Take();
        return true;
    }
    void ExpectKeyword(std::string_view Keyword) {
        if (!AcceptKeyword(Keyword))
            Unexpected(std::string(Keyword));
    }
    bool AcceptSymbol(std::string_view Symbol) {
        if (!IsSymbol(Peek(), Symbol))
            return false;
        Take();
        return true;
    }
    void ExpectClosing(const TSqlToken& Opening) {
        if (AcceptSymbol(")"))
            return;
        Fail("Missing ')' for the '(' at position " + std::to_string(Opening.Position) +
                 ", found " + Describe(Peek()),
             Peek());
    }
    void ExpectEnd() {
        if (Peek().Kind == stkEnd)
            return;
        if (IsSymbol(Peek(), ")"))
            Fail("Unexpected ')' without a matching '('", Peek());
        Unexpected("the end of the text");
    }

    // A name that can stand for a column, table or alias: a quoted or bracketed
    // name, or a plain word that is no reserved word.
    static bool IsName(const TSqlToken& Token) {
        return Token.Kind == stkIdentifier ||
               (Token.Kind == stkWord && !IsReservedWord(Token.Text));
    }
    std::string ExpectName(const std::string& What) {
        if (!IsName(Peek()))
            Unexpected(What);
        return Take().Text;
    }

    // [AS] name, or nothing.
    std::string ParseOptionalAlias() {
        if (AcceptKeyword("AS"))
            return ExpectName("an alias after AS");
        if (IsName(Peek()))
            return Take().Text;
        return "";
    }

    std::unique_ptr<TSqlSelect> ParseSelect() {
        TNesting Nesting(*this);
        const std::size_t Position = Peek().Position;
        ExpectKeyword("SELECT");
        auto Select = std::make_unique<TSqlSelect>();
        if (AcceptKeyword("DISTINCT"))
            Select->Distinct = true;
        else
            AcceptKeyword("ALL");
        do
            Select->Items.push_back(ParseSelectItem());
        while (AcceptSymbol(","));
        if (AcceptKeyword("FROM"))
            ParseFrom(*Select);
        if (AcceptKeyword("WHERE"))
            Select->Where = ParseExpression();
        if (AcceptKeyword("GROUP")) {
            ExpectKeyword("BY");
            do
                Select->GroupBy.push_back(ParseExpression());
            while (AcceptSymbol(","));
        }
        if (AcceptKeyword("HAVING"))
            Select->Having = ParseExpression();
        if (AcceptKeyword("ORDER")) {
            ExpectKeyword("BY");
            do
                Select->OrderBy.push_back(ParseOrderItem());
            while (AcceptSymbol(","));
        }
        if (AcceptKeyword("LIMIT")) {
            Select->Limit = ExpectCount("LIMIT");
            if (AcceptKeyword("OFFSET"))
                Select->Offset = ExpectCount("OFFSET");
        }
        FinishSelect(*Select, Position);
        return Select;
    }

    std::string ExpectCount(const std::string& Clause) {
        const TSqlToken& Token = Peek();
        if (Token.Kind != stkNumber ||
            Token.Text.find_first_not_of("0123456789") != std::string::npos)
            Unexpected("a whole number after " + Clause);
        return Take().Text;
    }

    // name . name . * : the columns of one table in a select list.
    bool AtQualifiedStar() const {
        std::size_t Ahead = 0;
        while (IsName(Peek(Ahead)) && IsSymbol(Peek(Ahead + 1), ".")) {
            if (IsSymbol(Peek(Ahead + 2), "*"))
                return true;
            Ahead += 2;
        }
        return false;
    }

    TSqlSelectItem ParseSelectItem() {
        TSqlSelectItem Item;
        const TSqlToken& Start = Peek();
        if (IsSymbol(Start, "*") || AtQualifiedStar()) {
            Item.Expr = std::make_unique<TSqlExpr>();
            Item.Expr->Kind = sekAllColumns;
            Item.Expr->Position = Start.Position;
            while (!AcceptSymbol("*")) {
                Item.Expr->Name.push_back(Take().Text);
                Take(); // the dot
            }
            return Item;
        }
        Item.Expr = ParseExpression();
        Item.Alias = ParseOptionalAlias();
        return Item;
    }

    void ParseFrom(TSqlSelect& Select) {
        Select.From.push_back(ParseTableReference(sjkNone));
        while (true) {
            if (AcceptSymbol(",")) {
                Select.From.push_back(ParseTableReference(sjkComma));
                continue;
            }
            const TSqlJoinKind Join = ParseJoinKeywords();
            if (Join == sjkNone)
                return;
            TSqlFromItem Item = ParseTableReference(Join);
            if (Join != sjkCross) {
                ExpectKeyword("ON");
                Item.On = ParseExpression();
            }
            Select.From.push_back(std::move(Item));
        }
    }

    // [INNER | LEFT [OUTER] | RIGHT [OUTER] | FULL [OUTER] | CROSS] JOIN, or nothing.
    TSqlJoinKind ParseJoinKeywords() {
        TSqlJoinKind Join = sjkNone;
        if (AcceptKeyword("INNER"))
            Join = sjkInner;
        else if (AcceptKeyword("LEFT"))
            Join = sjkLeft;
        else if (AcceptKeyword("RIGHT"))
            Join = sjkRight;
        else if (AcceptKeyword("FULL"))
            Join = sjkFull;
        else if (AcceptKeyword("CROSS"))
            Join = sjkCross;
        if (Join == sjkLeft || Join == sjkRight || Join == sjkFull)
            AcceptKeyword("OUTER");
        if (Join == sjkNone && !IsKeyword(Peek(), "JOIN"))
            return sjkNone;
        ExpectKeyword("JOIN");
        return Join == sjkNone ? sjkInner : Join;
    }

    TSqlFromItem ParseTableReference(TSqlJoinKind Join) {
        TSqlFromItem Item;
        Item.Join = Join;
        if (IsSymbol(Peek(), "(")) {
            const TSqlToken& Opening = Take();
            Item.Select = ParseSelect();
            ExpectClosing(Opening);
        } else {
            Item.Table.push_back(ExpectName("a table name"));
            while (AcceptSymbol("."))
                Item.Table.push_back(ExpectName("a name after '.'"));
        }
        Item.Alias = ParseOptionalAlias();
        return Item;
    }

    TSqlOrderItem ParseOrderItem() {
        TSqlOrderItem Item;
        Item.Expr = ParseExpression();
        if (AcceptKeyword("DESC"))
            Item.Descending = true;
        else
            AcceptKeyword("ASC");
        // NULLS, FIRST and LAST are no reserved words: they mean something only here.
        if (IsKeyword(Peek(), "NULLS")) {
            Take();
            if (AcceptKeyword("FIRST"))
                Item.Nulls = snoFirst;
            else if (AcceptKeyword("LAST"))
                Item.Nulls = snoLast;
            else
                Unexpected("FIRST or LAST after NULLS");
        }
        return Item;
    }

    static TSqlExprPtr MakeNode(TSqlExprKind Kind, std::size_t Position) {
        auto Node = std::make_unique<TSqlExpr>();
        Node->Kind = Kind;
        Node->Position = Position;
        return Node;
    }

    // Records the height of a completed node, refusing a tree too deep to handle.
    static TSqlExprPtr Finish(TSqlExprPtr Node) {
        std::size_t Below = Node->Select ? Node->Select->Height : 0;
        for (const TSqlExprPtr& Operand : Node->Operands)
            Below = std::max(Below, Operand->Height);
        Node->Height = Below + 1;
        if (Node->Height > MaxTreeHeight)
            throw ESqlSyntaxError("Expression nested too deeply", Node->Position);
        return Node;
    }

    static void FinishSelect(TSqlSelect& Select, std::size_t Position) {
        std::size_t Below = 0;
        auto Include = [&Below](const TSqlExprPtr& Expr) {
            if (Expr)
                Below = std::max(Below, Expr->Height);
        };
        for (const TSqlSelectItem& Item : Select.Items)
            Include(Item.Expr);
        for (const TSqlFromItem& Item : Select.From) {
            Include(Item.On);
            if (Item.Select)
                Below = std::max(Below, Item.Select->Height);
        }
        Include(Select.Where);
        for (const TSqlExprPtr& Expr : Select.GroupBy)
            Include(Expr);
        Include(Select.Having);
        for (const TSqlOrderItem& Item : Select.OrderBy)
            Include(Item.Expr);
        Select.Height = Below + 1;
        if (Select.Height > MaxTreeHeight)
            throw ESqlSyntaxError("Statement nested too deeply", Position);
    }

    static TSqlExprPtr MakeBinary(TSqlOperator Operator, TSqlExprPtr Left, TSqlExprPtr Right) {
        auto Node = MakeNode(sekBinary, Left->Position);
        Node->Operator = Operator;
        Node->Operands.push_back(std::move(Left));
        Node->Operands.push_back(std::move(Right));
        return Finish(std::move(Node));
    }

    TSqlExprPtr ParseExpression() {
        TNesting Nesting(*this);
        return ParseConnected(sopOr, "OR", &TSqlParser::ParseAnd);
    }

    TSqlExprPtr ParseAnd() { return ParseConnected(sopAnd, "AND", &TSqlParser::ParseNot); }

    // Operands joined by AND (or OR) become one node with all of them, so that a long
    // generated condition does not make a deep tree.
    TSqlExprPtr ParseConnected(TSqlOperator Operator, std::string_view Keyword,
                               TSqlExprPtr (TSqlParser::*ParseOperand)()) {
        auto First = (this->*ParseOperand)();
        if (!IsKeyword(Peek(), Keyword))
            return First;
        auto Node = MakeNode(sekBinary, First->Position);
        Node->Operator = Operator;
        Node->Operands.push_back(std::move(First));
        while (AcceptKeyword(Keyword))
            Node->Operands.push_back((this->*ParseOperand)());
        return Finish(std::move(Node));
    }

    TSqlExprPtr ParseNot() {
        if (!IsKeyword(Peek(), "NOT"))
            return ParsePredicate();
        TNesting Nesting(*this);
        auto Node = MakeNode(sekUnary, Take().Position);
        Node->Operator = sopNot;
        Node->Operands.push_back(ParseNot());
        return Finish(std::move(Node));
    }

    // Whether NOT at the current token negates the predicate keyword after it.
    bool AtNegatedPredicate() const {
        if (!IsKeyword(Peek(), "NOT"))
            return false;
        const TSqlToken& Next = Peek(1);
        return IsKeyword(Next, "LIKE") || IsKeyword(Next, "IN") || IsKeyword(Next, "BETWEEN") ||
               IsKeyword(Next, "STARTING") || IsKeyword(Next, "CONTAINING");
    }

    TSqlExprPtr ParsePredicate() {
        auto Left = ParseConcat();
        while (true) {
            if (const TSqlOperator Comparison = ComparisonOperator(Peek()); Comparison != sopNone) {
                Take();
                Left = MakeBinary(Comparison, std::move(Left), ParseConcat());
                continue;
            }
            if (IsKeyword(Peek(), "IS")) {
                Take();
                auto Node = MakeNode(sekIsNull, Left->Position);
                Node->Negated = AcceptKeyword("NOT");
                ExpectKeyword("NULL");
                Node->Operands.push_back(std::move(Left));
                Left = Finish(std::move(Node));
                continue;
            }
            const bool Negated = AtNegatedPredicate();
            if (Negated)
                Take();
            TSqlExprPtr Node = ParsePredicateTail(Left);
            if (!Node)
                return Left;
            Node->Negated = Negated;
            Left = std::move(Node);
        }
    }

    // LIKE, STARTING WITH, CONTAINING, IN, BETWEEN with Left as their first operand;
    // null (Left untouched) when none of them follows.
    TSqlExprPtr ParsePredicateTail(TSqlExprPtr& Left) {
        TSqlExprKind Kind;
        if (AcceptKeyword("LIKE"))
            Kind = sekLike;
        else if (AcceptKeyword("CONTAINING"))
            Kind = sekContaining;
        else if (AcceptKeyword("STARTING")) {
            ExpectKeyword("WITH");
            Kind = sekStartingWith;
        } else if (AcceptKeyword("IN"))
            return ParseIn(Left);
        else if (AcceptKeyword("BETWEEN"))
            Kind = sekBetween;
        else
            return nullptr;
        auto Node = MakeNode(Kind, Left->Position);
        Node->Operands.push_back(std::move(Left));
        Node->Operands.push_back(ParseConcat());
        if (Kind == sekBetween) {
            ExpectKeyword("AND");
            Node->Operands.push_back(ParseConcat());
        }
        return Finish(std::move(Node));
    }

    TSqlExprPtr ParseIn(TSqlExprPtr& Left) {
        if (!IsSymbol(Peek(), "("))
            Unexpected("'(' after IN");
        const TSqlToken& Opening = Take();
        auto Node = MakeNode(sekInList, Left->Position);
        Node->Operands.push_back(std::move(Left));
        if (IsKeyword(Peek(), "SELECT")) {
            Node->Kind = sekInSelect;
            Node->Select = ParseSelect();
        } else {
            do
                Node->Operands.push_back(ParseExpression());
            while (AcceptSymbol(","));
        }
        ExpectClosing(Opening);
        return Finish(std::move(Node));
    }

    TSqlExprPtr ParseConcat() {
        auto Left = ParseAdditive();
        while (AcceptSymbol("||"))
            Left = MakeBinary(sopConcat, std::move(Left), ParseAdditive());
        return Left;
    }

    TSqlExprPtr ParseAdditive() {
        auto Left = ParseMultiplicative();
        while (true) {
            if (AcceptSymbol("+"))
                Left = MakeBinary(sopAdd, std::move(Left), ParseMultiplicative());
            else if (AcceptSymbol("-"))
                Left = MakeBinary(sopSubtract, std::move(Left), ParseMultiplicative());
            else
                return Left;
        }
    }

    TSqlExprPtr ParseMultiplicative() {
        auto Left = ParseUnary();
        while (true) {
            if (AcceptSymbol("*"))
                Left = MakeBinary(sopMultiply, std::move(Left), ParseUnary());
            else if (AcceptSymbol("/"))
                Left = MakeBinary(sopDivide, std::move(Left), ParseUnary());
            else if (AcceptSymbol("%"))
                Left = MakeBinary(sopModulo, std::move(Left), ParseUnary());
            else
                return Left;
        }
    }

    TSqlExprPtr ParseUnary() {
        if (!IsSymbol(Peek(), "-") && !IsSymbol(Peek(), "+"))
            return ParsePrimary();
        TNesting Nesting(*this);
        const TSqlToken& Sign = Take();
        auto Node = MakeNode(sekUnary, Sign.Position);
        Node->Operator = Sign.Text == "-" ? sopNegate : sopPlus;
        Node->Operands.push_back(ParseUnary());
        return Finish(std::move(Node));
    }

    TSqlExprPtr ParsePrimary() {
        const TSqlToken& Token = Peek();
        switch (Token.Kind) {
        case stkString:
        case stkNumber: {
            auto Node = MakeNode(Token.Kind == stkString ? sekString : sekNumber, Token.Position);
            Node->Text = Take().Text;
            return Node;
        }
        case stkIdentifier:
            return ParseColumn();
        case stkWord:
            return ParseWordPrimary();
        case stkSymbol:
            if (IsSymbol(Token, "("))
                return ParseParenthesized();
            break;
        case stkEnd:
            break;
        }
        Unexpected("an operand");
    }

    TSqlExprPtr ParseWordPrimary() {
        const TSqlToken& Token = Peek();
        if (IsKeyword(Token, "NULL"))
            return MakeNode(sekNull, Take().Position);
        if (IsKeyword(Token, "TRUE") || IsKeyword(Token, "FALSE")) {
            auto Node = MakeNode(sekBoolean, Token.Position);
            Node->Text = IsKeyword(Take(), "TRUE") ? "TRUE" : "FALSE";
            return Node;
        }
        if (IsKeyword(Token, "EXISTS")) {
            auto Node = MakeNode(sekExists, Take().Position);
            if (!IsSymbol(Peek(), "("))
                Unexpected("'(' after EXISTS");
            const TSqlToken& Opening = Take();
            Node->Select = ParseSelect();
            ExpectClosing(Opening);
            return Finish(std::move(Node));
        }
        if (IsSymbol(Peek(1), "(") && IsFunctionName(Token.Text))
            return ParseFunctionCall();
        if (!IsName(Token))
            Unexpected("an operand");
        return ParseColumn();
    }

    // LEFT and RIGHT are join words but also string functions.
    static bool IsFunctionName(const std::string& Word) {
        return !IsReservedWord(Word) || SameTextAscii(Word, "LEFT") || SameTextAscii(Word, "RIGHT");
    }

    TSqlExprPtr ParseColumn() {
        auto Node = MakeNode(sekColumn, Peek().Position);
        Node->Name.push_back(Take().Text);
        while (AcceptSymbol("."))
            Node->Name.push_back(ExpectName("a name after '.'"));
        return Node;
    }

    TSqlExprPtr ParseFunctionCall() {
        TNesting Nesting(*this);
        const TSqlToken& NameToken = Take();
        const TSqlToken& Opening = Take();
        auto Node = MakeNode(sekFunction, NameToken.Position);
        Node->Name.push_back(NameToken.Text);
        if (IsSymbol(Peek(), "*") && IsSymbol(Peek(1), ")")) {
            Node->Operands.push_back(MakeNode(sekAllColumns, Take().Position));
        } else if (!IsSymbol(Peek(), ")")) {
            Node->Distinct = AcceptKeyword("DISTINCT");
            do
                Node->Operands.push_back(ParseExpression());
            while (AcceptSymbol(","));
        }
        ExpectClosing(Opening);
        if (SameTextAscii(NameToken.Text, "UPPER") &&
            (Node->Operands.size() != 1 || Node->Distinct ||
             Node->Operands[0]->Kind == sekAllColumns))
            Fail("UPPER takes exactly one argument", NameToken);
        return Finish(std::move(Node));
    }

    TSqlExprPtr ParseParenthesized() {
        const TSqlToken& Opening = Take();
        TSqlExprPtr Node;
        if (IsKeyword(Peek(), "SELECT")) {
            Node = MakeNode(sekSubquery, Opening.Position);
            Node->Select = ParseSelect();
            Node = Finish(std::move(Node));
        } else {
            Node = ParseExpression();
        }
        ExpectClosing(Opening);
        return Node;
    }
};

} // namespace

std::unique_ptr<TSqlSelect> ParseSqlStatement(const std::string& Text) {
    return TSqlParser(Text).Statement();
}

TSqlExprPtr ParseSqlCondition(const std::string& Text) {
    return TSqlParser(Text).Condition();
}

} // namespace vorn
