#include "host/data/sql/SqlSyntaxError.h"
#include "host/data/sql/SqlToken.h"

namespace vorn {

namespace {

bool IsBlank(char C) {
    return C == ' ' || C == '\t' || C == '\n' || C == '\r' || C == '\f' || C == '\v';
}

bool IsDigit(char C) {
    return C >= '0' && C <= '9';
}

// Bytes from 0x80 up are letters of the host code page, so names in the
// application's own language need no quoting.
bool IsWordStart(char C) {
    return (C >= 'A' && C <= 'Z') || (C >= 'a' && C <= 'z') || C == '_' ||
           static_cast<unsigned char>(C) >= 0x80;
}

bool IsWordPart(char C) {
    return IsWordStart(C) || IsDigit(C) || C == '$';
}

std::string DescribeCharacter(char C) {
    const auto Code = static_cast<unsigned char>(C);
    if (Code < 32 || Code == 127)
        return "Unknown character (code " + std::to_string(Code) + ")";
    return std::string("Unknown character '") + C + "'";
}

class TSqlLexer {
public:
    explicit TSqlLexer(const std::string& Text) : FText(Text) {}

    std::vector<TSqlToken> Run() {
        std::vector<TSqlToken> Tokens;
        while (SkipBlanks())
            Tokens.push_back(NextToken());
        Tokens.push_back({stkEnd, "", FText.size() + 1});
        return Tokens;
    }

private:
    const std::string& FText;
    std::size_t FIndex = 0;

    char At(std::size_t Index) const { return Index < FText.size() ? FText[Index] : '\0'; }
    bool AtEnd(std::size_t Index) const { return Index >= FText.size(); }

    [[noreturn]] void Fail(const std::string& What, std::size_t Index) const {
        throw ESqlSyntaxError(What, Index + 1);
    }

    // Moves past blanks; false at the end of the text.
    bool SkipBlanks() {
        while (!AtEnd(FIndex) && IsBlank(FText[FIndex]))
            ++FIndex;
        return !AtEnd(FIndex);
    }

    TSqlToken NextToken() {
        const char C = FText[FIndex];
        if (C == '\'')
            return ReadString();
        if (C == '"')
            return ReadQuotedIdentifier();
        if (C == '[')
            return ReadBracketedName();
        if (IsDigit(C) || (C == '.' && IsDigit(At(FIndex + 1))))
            return ReadNumber();
        if (IsWordStart(C))
            return ReadWord();
        return ReadSymbol();
    }

    // A literal runs to the next quote that no backslash escapes; the token keeps the
    // backslash pairs because their meaning depends on where the literal is used.
    TSqlToken ReadString() {
        const std::size_t Start = FIndex;
        std::size_t Index = Start + 1;
        std::size_t LastEscapedQuote = 0;
        while (!AtEnd(Index)) {
            const char C = FText[Index];
            if (C == '\0')
                Fail("NUL character in a string literal", Index);
            if (C == '\'') {
                FIndex = Index + 1;
                return {stkString, FText.substr(Start + 1, Index - Start - 1), Start + 1};
            }
            if (C != '\\') {
                ++Index;
                continue;
            }
            if (AtEnd(Index + 1))
                Fail("Lone backslash at the end of the string literal that starts", Start);
            if (FText[Index + 1] == '\0')
                Fail("NUL character in a string literal", Index + 1);
            if (FText[Index + 1] == '\'')
                LastEscapedQuote = Index;
            Index += 2;
        }
        if (LastEscapedQuote != 0)
            Fail("Unterminated string literal (the backslash at position " +
                     std::to_string(LastEscapedQuote + 1) + " escapes a quote) starting",
                 Start);
        Fail("Unterminated string literal starting", Start);
    }

    TSqlToken ReadQuotedIdentifier() {
        const std::size_t Start = FIndex;
        std::string Name;
        std::size_t Index = Start + 1;
        while (true) {
            if (AtEnd(Index))
                Fail("Unterminated quoted identifier starting", Start);
            const char C = FText[Index];
            if (C == '\0')
                Fail("NUL character in a quoted identifier", Index);
            if (C == '"' && At(Index + 1) == '"') {
                Name += '"';
                Index += 2;
                continue;
            }
            if (C == '"')
                break;
            Name += C;
            ++Index;
        }
        if (Name.empty())
            Fail("Empty quoted identifier", Start);
        FIndex = Index + 1;
        return {stkIdentifier, Name, Start + 1};
    }

    TSqlToken ReadBracketedName() {
        const std::size_t Start = FIndex;
        const std::size_t Close = FText.find(']', Start + 1);
        if (Close == std::string::npos)
            Fail("Unterminated bracketed name starting", Start);
        std::string Name = FText.substr(Start + 1, Close - Start - 1);
        if (Name.empty())
            Fail("Empty bracketed name", Start);
        if (Name.find('\0') != std::string::npos)
            Fail("NUL character in a bracketed name", Start);
        FIndex = Close + 1;
        return {stkIdentifier, Name, Start + 1};
    }

    // digits [. digits] [e [+|-] digits], or . digits [e ...]; a number running
    // straight into a letter, a dot or another digit group is malformed.
    TSqlToken ReadNumber() {
        const std::size_t Start = FIndex;
        std::size_t Index = Start;
        while (IsDigit(At(Index)))
            ++Index;
        if (At(Index) == '.') {
            ++Index;
            while (IsDigit(At(Index)))
                ++Index;
        }
        if (At(Index) == 'e' || At(Index) == 'E') {
            std::size_t Exponent = Index + 1;
            if (At(Exponent) == '+' || At(Exponent) == '-')
                ++Exponent;
            if (!IsDigit(At(Exponent)))
                Fail("Malformed number", Start);
            Index = Exponent;
            while (IsDigit(At(Index)))
                ++Index;
        }
        if (IsWordPart(At(Index)) || At(Index) == '.')
            Fail("Malformed number", Start);
        FIndex = Index;
        return {stkNumber, FText.substr(Start, Index - Start), Start + 1};
    }

    TSqlToken ReadWord() {
        const std::size_t Start = FIndex;
        while (!AtEnd(FIndex) && IsWordPart(FText[FIndex]))
            ++FIndex;
        return {stkWord, FText.substr(Start, FIndex - Start), Start + 1};
    }

    TSqlToken ReadSymbol() {
        const std::size_t Start = FIndex;
        const char C = FText[Start];
        const char Next = At(Start + 1);
        if ((C == '-' && Next == '-') || (C == '/' && Next == '*'))
            Fail("Comments are not allowed", Start);
        static const char* const TwoCharacterSymbols[] = {"<>", "<=", ">=", "!=", "||"};
        for (const char* Symbol : TwoCharacterSymbols)
            if (C == Symbol[0] && Next == Symbol[1]) {
                FIndex += 2;
                return {stkSymbol, Symbol, Start + 1};
            }
        static const std::string SingleCharacterSymbols = "(),.*+-/%=<>";
        if (SingleCharacterSymbols.find(C) == std::string::npos)
            Fail(DescribeCharacter(C), Start);
        ++FIndex;
        return {stkSymbol, std::string(1, C), Start + 1};
    }
};

} // namespace

std::vector<TSqlToken> TokenizeSql(const std::string& Text) {
    return TSqlLexer(Text).Run();
}

} // namespace vorn
