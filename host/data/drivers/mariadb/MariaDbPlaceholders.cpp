#include "host/data/drivers/mariadb/MariaDbPlaceholders.h"

#include "host/data/drivers/DatabaseError.h"

#include <cctype>

namespace vorn {

namespace {

bool IsDigit(char C) {
    return std::isdigit(static_cast<unsigned char>(C)) != 0;
}

// The end of the quoted text that starts at Start with Quote: MariaDB ends it at a
// quote that is neither doubled nor, in a string literal, escaped by a backslash.
std::size_t QuotedEnd(const std::string& Sql, std::size_t Start) {
    const char Quote = Sql[Start];
    std::size_t Position = Start + 1;
    while (Position < Sql.size()) {
        const char C = Sql[Position];
        if (C == '\\' && Quote != '`') {
            Position += 2;
        } else if (C == Quote) {
            if (Position + 1 < Sql.size() && Sql[Position + 1] == Quote)
                Position += 2;
            else
                return Position + 1;
        } else {
            ++Position;
        }
    }
    return Sql.size();
}

// The end of a comment that starts at Start, or Start where none does. "--" opens a
// comment only when a blank (or the end) follows it.
std::size_t CommentEnd(const std::string& Sql, std::size_t Start) {
    const bool LineComment =
        Sql[Start] == '#' ||
        (Sql.compare(Start, 2, "--") == 0 &&
         (Start + 2 == Sql.size() || std::isspace(static_cast<unsigned char>(Sql[Start + 2]))));
    if (LineComment) {
        const std::size_t End = Sql.find('\n', Start);
        return End == std::string::npos ? Sql.size() : End;
    }
    if (Sql.compare(Start, 2, "/*") == 0) {
        const std::size_t End = Sql.find("*/", Start + 2);
        return End == std::string::npos ? Sql.size() : End + 2;
    }
    return Start;
}

} // namespace

TPositionalSql ToPositionalPlaceholders(const std::string& Sql) {
    TPositionalSql Result;
    Result.Sql.reserve(Sql.size());
    std::size_t Position = 0;
    while (Position < Sql.size()) {
        const char C = Sql[Position];
        std::size_t End = Position;
        if (C == '\'' || C == '"' || C == '`')
            End = QuotedEnd(Sql, Position);
        else
            End = CommentEnd(Sql, Position);
        if (End > Position) {
            Result.Sql.append(Sql, Position, End - Position);
            Position = End;
            continue;
        }
        if (C != '?') {
            Result.Sql += C;
            ++Position;
            continue;
        }
        std::size_t Digits = Position + 1;
        while (Digits < Sql.size() && IsDigit(Sql[Digits]))
            ++Digits;
        const std::string Number = Sql.substr(Position + 1, Digits - Position - 1);
        if (Number.empty() || Number.size() > 6 || std::stoi(Number) == 0)
            throw EDatabaseError("Invalid placeholder at offset " + std::to_string(Position) +
                                 " of the statement: expected \"?\" and a number from 1");
        Result.Order.push_back(std::stoi(Number));
        Result.Sql += '?';
        Position = Digits;
    }
    return Result;
}

std::vector<TVariant> OrderParams(const TPositionalSql& Statement,
                                  const std::vector<TVariant>& Values) {
    std::vector<TVariant> Ordered;
    Ordered.reserve(Statement.Order.size());
    for (const int Number : Statement.Order) {
        if (static_cast<std::size_t>(Number) > Values.size())
            throw EDatabaseError("The statement's placeholder ?" + std::to_string(Number) +
                                 " has no value: " + std::to_string(Values.size()) + " given");
        Ordered.push_back(Values[static_cast<std::size_t>(Number - 1)]);
    }
    return Ordered;
}

} // namespace vorn
