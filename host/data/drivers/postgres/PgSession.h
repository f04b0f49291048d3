#pragma once

#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/postgres/PgResult.h"

#include <optional>
#include <string>
#include <vector>

struct pg_conn;

namespace vorn {

// Statement parameters in the text format, UTF-8; std::nullopt is NULL.
using TPgParams = std::vector<std::optional<std::string>>;

// A statement that a standby cancelled, or a session that it ended, because the
// statement's snapshot or locks stood in the way of the changes it replays from the
// primary (a conflict with recovery). Running the statement again usually succeeds.
class EPgRecoveryConflict : public EDatabaseError {
public:
    using EDatabaseError::EDatabaseError;
};

// One libpq connection: connecting (and replacing a connection that was lost),
// running statements with bound parameters, and the transaction that keeps
// server-side cursors alive. Texts given and returned here are UTF-8; error
// messages are EDatabaseError in the host code page, naming the operation and the
// database, then repeating the server's message.
class TPgSession {
public:
    TPgSession(std::string ConnInfo, std::string Description);
    TPgSession(const TPgSession&) = delete;
    TPgSession& operator=(const TPgSession&) = delete;
    ~TPgSession();

    // Opens the connection unless a healthy one is open; a connection that broke
    // is replaced by a new one. Raises when the server cannot be reached or
    // refuses the login.
    void Connect();
    // Whether a connection is open and was not found broken (by libpq, or by a
    // statement that failed because the server ended the session).
    bool Connected() const;
    // The process id of the server backend serving this connection.
    int BackendPid() const;
    // How long a statement waits for a lock before it fails (0: as long as it takes).
    // Kept across reconnects.
    void SetLockTimeout(const char* Operation, int Milliseconds);

    // Runs one statement. While a transaction is open, a failing statement is
    // undone alone, so that the transaction and the cursors in it survive.
    TPgResult Execute(const char* Operation, const std::string& Sql, const TPgParams& Params = {});

    // Changes whenever the open cursors were lost together: the connection was
    // replaced, or their transaction failed and was rolled back.
    unsigned CursorEpoch() const { return FCursorEpoch; }
    // Declares a forward-only server-side cursor for the query Sql and returns its
    // name. Cursors live in a transaction that the first one begins and the last
    // one to close ends (unless the caller's own transaction was open already).
    std::string DeclareCursor(const char* Operation, const std::string& Sql,
                              const TPgParams& Params);
    TPgResult FetchCursor(const char* Operation, const std::string& Name, int RowCount);
    // Closes a cursor of the current epoch; never raises.
    void CloseCursor(const std::string& Name) noexcept;
    // Whether cursors are open, holding the locks of the tables they read.
    bool HasOpenCursors() const { return Connected() && FOpenCursors > 0; }

    [[noreturn]] void Raise(const char* Operation, const std::string& Message) const;

private:
    // Whether a failure of a statement would take down cursors other than the one
    // the statement works on (OwnCursors is 1 for a cursor's own statements).
    bool NeedsSavepoint(int OwnCursors) const;
    TPgResult RunGuarded(const char* Operation, const std::string& Sql, const TPgParams& Params,
                         int OwnCursors);
    TPgResult Run(const char* Operation, const std::string& Sql, const TPgParams& Params);
    TPgResult SendAndWait(const std::string& Sql, const std::vector<const char*>& Values);
    void RunQuietly(const char* Sql) noexcept;
    void AbandonCopy() noexcept;
    void CheckConnected(const char* Operation) const;
    [[noreturn]] void RaiseStatementError(const char* Operation, const TPgResult& Result);
    void EndCursorTransaction(const char* Sql) noexcept;
    void ConfigureConnection(const char* Operation);
    void Disconnect() noexcept;

    std::string FConnInfo;
    std::string FDescription;
    pg_conn* FConnection = nullptr;
    // Set when a statement failed in a way that leaves the connection unusable while
    // libpq may still report it healthy.
    bool FBroken = false;
    unsigned FCursorEpoch = 0;
    unsigned FCursorSerial = 0;
    int FOpenCursors = 0;
    int FLockTimeout = 0;
    int FAppliedLockTimeout = 0;
    // Whether the transaction in force was begun for the cursors (and is ours to end).
    bool FCursorTransaction = false;
};

} // namespace vorn
