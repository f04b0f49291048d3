#pragma once

#include <string>

struct pg_result;

namespace vorn {

// Owns one libpq result. Values are handed out as the server sent them (text
// format, UTF-8); converting them is the caller's business.
class TPgResult {
public:
    TPgResult() = default;
    explicit TPgResult(pg_result* Result) : FResult(Result) {}
    TPgResult(TPgResult&& Other) noexcept;
    TPgResult& operator=(TPgResult&& Other) noexcept;
    TPgResult(const TPgResult&) = delete;
    TPgResult& operator=(const TPgResult&) = delete;
    ~TPgResult();

    // Whether libpq gave a result at all (it gives none when out of memory or when it
    // refuses a statement before sending it).
    bool Exists() const { return FResult != nullptr; }
    // libpq's ExecStatusType of the result.
    int Status() const;
    // The server's primary error message in the host code page; empty when the
    // server sent none (a lost connection, an error of libpq itself).
    std::string ErrorMessage() const;
    // The five-character SQLSTATE code of the server's error; empty when the server
    // sent none.
    std::string SqlState() const;

    int RowCount() const;
    int ColumnCount() const;
    // The column's name as the server spells it (UTF-8).
    std::string ColumnName(int Column) const;
    // The type OID of the column's values (pg_type.oid).
    unsigned ColumnType(int Column) const;
    // The type modifier of the column (a length, a precision and scale), -1 for none.
    int ColumnModifier(int Column) const;
    // The rows a command inserted, changed or deleted (or a query returned).
    long long AffectedRows() const;
    bool IsNull(int Row, int Column) const;
    // The value's text; empty for NULL (ask IsNull to tell the two apart).
    std::string Value(int Row, int Column) const;

private:
    void CheckColumn(int Column) const;
    void CheckCell(int Row, int Column) const;

    pg_result* FResult = nullptr;
};

} // namespace vorn
