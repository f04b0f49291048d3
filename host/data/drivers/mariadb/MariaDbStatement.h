#pragma once

#include "host/data/drivers/Driver.h"
#include "host/data/drivers/mariadb/MariaDbSession.h"

#include <mysql.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vorn {

// One prepared statement on a session: its parameters bound (never spliced into the
// text), executed, and its rows read one at a time as the server sends them. Sql is in
// the host code page with numbered placeholders ("?1"); values are in the host code page.
class TMariaDbStatement {
public:
    // Prepares and executes; raises with the server's message.
    TMariaDbStatement(TMariaDbSession& Session, const char* Operation, const std::string& Sql,
                      const std::vector<TVariant>& Params);
    TMariaDbStatement(const TMariaDbStatement&) = delete;
    TMariaDbStatement& operator=(const TMariaDbStatement&) = delete;
    // Reads and drops the rows not read yet; a connection that cannot do so is closed.
    ~TMariaDbStatement();

    const std::vector<TColumnInfo>& Columns() const { return FColumns; }
    std::int64_t AffectedRows() const { return FAffectedRows; }
    // Moves to the next row; false once the rows are exhausted.
    bool Next();
    bool Exhausted() const { return FExhausted; }
    TVariant Value(int Index) const;
    // Reads at most Rows more rows and drops them; true when the result was exhausted.
    bool Skip(std::int64_t Rows);

private:
    struct TColumnBuffer;
    void BindAndExecute(const char* Operation, const std::vector<TVariant>& Params);
    void BindResult();
    void Fetch(const char* Operation);
    // Raises the statement's last error: EOperationCancelled for a statement the server
    // stopped because the user cancelled it.
    [[noreturn]] void RaiseLastError(const char* Operation);

    TMariaDbSession& FSession;
    MYSQL_STMT* FStatement = nullptr;
    std::vector<TColumnInfo> FColumns;
    std::vector<TColumnBuffer> FBuffers;
    std::vector<MYSQL_BIND> FResultBinds;
    std::int64_t FAffectedRows = 0;
    bool FExhausted = true;
    bool FOnRow = false;
    // Whether the user asked to cancel while the statement ran or its rows came.
    bool FCancelled = false;
};

} // namespace vorn
