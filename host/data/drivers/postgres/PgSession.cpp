#include "host/data/drivers/postgres/PgSession.h"

#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/LongOperation.h"

#include <libpq-fe.h>
#include <poll.h>

#include <cerrno>

#include <utility>

namespace vorn {

namespace {

// libpq ends its messages with a line break (and indents continuation lines);
// an exception message reads better without the trailing white space.
std::string MessageText(const char* Utf8Message) {
    std::string Text = Utf8Message ? Utf8Message : "";
    while (!Text.empty() && (Text.back() == '\n' || Text.back() == ' ' || Text.back() == '\t'))
        Text.pop_back();
    return Utf8ToHost(Text);
}

// Whether a failed statement leaves its connection unusable although libpq may still
// report it healthy (it does after failing to send to a server that closed the socket):
// the exchange failed without a word from the server (a result without SQLSTATE; libpq
// gives no result at all when it refuses a statement before sending it), or the server
// ended the session (a connection exception, class 08, or an operator intervention,
// 57P01 to 57P05: a shutdown or restart, a crash of another backend, a dropped database,
// an idle timeout).
bool EndsSession(const TPgResult& Result) {
    if (!Result.Exists())
        return false;
    const std::string State = Result.SqlState();
    return State.empty() || State.rfind("08", 0) == 0 || State.rfind("57P0", 0) == 0;
}

// A standby cancels a statement, or ends an idle session in a transaction, whose
// snapshot or locks stand in the way of the changes it replays from the primary, with
// SQLSTATE 40001. On a standby nothing else fails with that code: it refuses
// serializable transactions. (The server tells whether it is a standby since
// PostgreSQL 14.)
bool IsRecoveryConflict(pg_conn* Connection, const TPgResult& Result) {
    const char* InHotStandby = PQparameterStatus(Connection, "in_hot_standby");
    return Result.Exists() && Result.SqlState() == "40001" && InHotStandby != nullptr &&
           std::string(InHotStandby) == "on";
}

// How often a statement that waits for the server ticks the long-operation monitor.
constexpr int TickMilliseconds = 10;

// The SQLSTATE of a statement the server stopped on a cancel request.
constexpr const char* QueryCanceledState = "57014";

// Asks the server to stop the statement that Connection is running. Whether it stopped
// shows in the statement's result: it may have finished first.
void RequestCancel(pg_conn* Connection) {
    PGcancel* Cancel = PQgetCancel(Connection);
    if (Cancel == nullptr)
        return;
    char Error[256];
    PQcancel(Cancel, Error, static_cast<int>(sizeof Error));
    PQfreeCancel(Cancel);
}

// Waits until Connection has the whole result of the statement it sent, ticking the
// long-operation monitor meanwhile; asks the server to cancel the statement once the
// user wants it. Returns false when the connection failed while waiting.
bool AwaitResult(pg_conn* Connection, TLongOperationScope& Scope) {
    bool CancelSent = false;
    while (PQisBusy(Connection)) {
        pollfd Socket{PQsocket(Connection), POLLIN, 0};
        const int Ready = poll(&Socket, 1, Scope.Watched() ? TickMilliseconds : -1);
        if (Ready < 0 && errno != EINTR)
            return false;
        if (Ready > 0 && PQconsumeInput(Connection) == 0)
            return false;
        if (!CancelSent && Scope.CancelRequested()) {
            RequestCancel(Connection);
            CancelSent = true;
        }
    }
    return true;
}

// The result of the statement Connection sent, as PQexecParams gives it: the last one,
// or the first error.
PGresult* CollectResult(pg_conn* Connection) {
    PGresult* Kept = nullptr;
    while (PGresult* Next = PQgetResult(Connection)) {
        const bool Failed = Kept != nullptr && PQresultStatus(Kept) == PGRES_FATAL_ERROR;
        if (Failed) {
            PQclear(Next);
            continue;
        }
        PQclear(Kept);
        Kept = Next;
        // A COPY result comes before the end of the results; the caller ends the COPY.
        const ExecStatusType Status = PQresultStatus(Kept);
        if (Status == PGRES_COPY_IN || Status == PGRES_COPY_OUT || Status == PGRES_COPY_BOTH)
            break;
    }
    return Kept;
}

} // namespace

TPgSession::TPgSession(std::string ConnInfo, std::string Description)
    : FConnInfo(std::move(ConnInfo)), FDescription(std::move(Description)) {}

TPgSession::~TPgSession() {
    Disconnect();
}

void TPgSession::Raise(const char* Operation, const std::string& Message) const {
    throw EDatabaseError(std::string(Operation) + " " + FDescription + ": " + Message);
}

bool TPgSession::Connected() const {
    return FConnection && !FBroken && PQstatus(FConnection) == CONNECTION_OK;
}

int TPgSession::BackendPid() const {
    return FConnection ? PQbackendPID(FConnection) : 0;
}

void TPgSession::Connect() {
    static const char* const Operation = "TPgConnection.Connect()";
    if (Connected())
        return;
    Disconnect();
    // Whatever used the old connection is gone with it.
    ++FCursorEpoch;
    FOpenCursors = 0;
    FCursorTransaction = false;
    FAppliedLockTimeout = 0;
    if (FConnInfo.find('\0') != std::string::npos)
        Raise(Operation, "The connection string contains a NUL character");
    FConnection = PQconnectdb(HostToUtf8(FConnInfo).c_str());
    if (!FConnection)
        Raise(Operation, "Out of memory");
    if (PQstatus(FConnection) != CONNECTION_OK) {
        const std::string Message = MessageText(PQerrorMessage(FConnection));
        Disconnect();
        Raise(Operation, Message);
    }
    try {
        ConfigureConnection(Operation);
    } catch (const EDatabaseError&) {
        // A half-configured connection would pass for a healthy one next time.
        Disconnect();
        throw;
    }
}

void TPgSession::ConfigureConnection(const char* Operation) {
    // Notices ("table does not exist, skipping") are no errors; a library does not print them.
    PQsetNoticeProcessor(
        FConnection, [](void*, const char*) {}, nullptr);
    // Text travels as UTF-8 and is converted to the host code page here, so that a
    // character the code page lacks becomes "?" instead of failing the whole query.
    if (PQsetClientEncoding(FConnection, "UTF8") != 0)
        Raise(Operation, MessageText(PQerrorMessage(FConnection)));
    // Dates, binary values and money are asked for in formats that do not depend on
    // the server's settings.
    Run(Operation,
        "SELECT pg_catalog.set_config('DateStyle', 'ISO, YMD', false), "
        "pg_catalog.set_config('bytea_output', 'hex', false), "
        "pg_catalog.set_config('lc_monetary', 'C', false), "
        "pg_catalog.set_config('extra_float_digits', '1', false)",
        {});
    SetLockTimeout(Operation, FLockTimeout);
}

void TPgSession::SetLockTimeout(const char* Operation, int Milliseconds) {
    FLockTimeout = Milliseconds;
    if (!Connected() || FAppliedLockTimeout == FLockTimeout)
        return;
    Execute(Operation, "SELECT pg_catalog.set_config('lock_timeout', $1, false)",
            {std::to_string(FLockTimeout)});
    FAppliedLockTimeout = FLockTimeout;
}

void TPgSession::Disconnect() noexcept {
    PQfinish(FConnection);
    FConnection = nullptr;
    FBroken = false;
}

void TPgSession::CheckConnected(const char* Operation) const {
    if (Connected())
        return;
    Raise(Operation,
          FConnection ? "The connection to the server was lost" : "Not connected to the server");
}

TPgResult TPgSession::Execute(const char* Operation, const std::string& Sql,
                              const TPgParams& Params) {
    return RunGuarded(Operation, Sql, Params, 0);
}

bool TPgSession::NeedsSavepoint(int OwnCursors) const {
    if (PQtransactionStatus(FConnection) != PQTRANS_INTRANS)
        return false;
    return !FCursorTransaction || FOpenCursors > OwnCursors;
}

TPgResult TPgSession::RunGuarded(const char* Operation, const std::string& Sql,
                                 const TPgParams& Params, int OwnCursors) {
    CheckConnected(Operation);
    if (NeedsSavepoint(OwnCursors)) {
        Run(Operation, "SAVEPOINT vorn_statement", {});
        try {
            TPgResult Result = Run(Operation, Sql, Params);
            Run(Operation, "RELEASE SAVEPOINT vorn_statement", {});
            return Result;
        } catch (const EDatabaseError&) {
            RunQuietly("ROLLBACK TO SAVEPOINT vorn_statement; RELEASE SAVEPOINT vorn_statement");
            throw;
        }
    }
    try {
        return Run(Operation, Sql, Params);
    } catch (const EDatabaseError&) {
        // A failed statement spoils the cursors' transaction for everything after it.
        if (FCursorTransaction && Connected() &&
            PQtransactionStatus(FConnection) == PQTRANS_INERROR)
            EndCursorTransaction("ROLLBACK");
        throw;
    }
}

TPgResult TPgSession::Run(const char* Operation, const std::string& Sql, const TPgParams& Params) {
    // A NUL byte would cut the text short inside libpq, so that the server would run
    // something other than what was asked.
    if (Sql.find('\0') != std::string::npos)
        Raise(Operation, "The statement contains a NUL character");
    std::vector<const char*> Values;
    Values.reserve(Params.size());
    for (std::size_t Index = 0; Index < Params.size(); ++Index) {
        const std::optional<std::string>& Param = Params[Index];
        if (Param && Param->find('\0') != std::string::npos)
            Raise(Operation, "Parameter $" + std::to_string(Index + 1) +
                                 " contains a NUL character, which PostgreSQL text cannot hold");
        Values.push_back(Param ? Param->c_str() : nullptr);
    }
    TPgResult Result = SendAndWait(Sql, Values);
    switch (Result.Status()) {
    case PGRES_COMMAND_OK:
    case PGRES_TUPLES_OK:
    case PGRES_EMPTY_QUERY:
        return Result;
    case PGRES_COPY_IN:
    case PGRES_COPY_OUT:
    case PGRES_COPY_BOTH:
        AbandonCopy();
        Raise(Operation, "COPY statements are not supported");
    default:
        RaiseStatementError(Operation, Result);
    }
}

// Sent asynchronously so that the wait can be watched and cancelled; a connection that
// breaks on the way gives no result, as with PQexecParams.
// The statement the user cancelled raises EOperationCancelled; one that finished before
// the cancel request arrived gives its result.
TPgResult TPgSession::SendAndWait(const std::string& Sql, const std::vector<const char*>& Values) {
    TLongOperationScope Scope;
    if (PQsendQueryParams(FConnection, Sql.c_str(), static_cast<int>(Values.size()), nullptr,
                          Values.data(), nullptr, nullptr, 0) == 0)
        return TPgResult(nullptr);
    const bool Answered = AwaitResult(FConnection, Scope);
    TPgResult Result(CollectResult(FConnection));
    if (Answered && Scope.Cancelled() && Result.Exists() && Result.SqlState() == QueryCanceledState)
        throw EOperationCancelled();
    return Result;
}

// A COPY leaves the connection waiting for data; ending it restores the normal state.
void TPgSession::AbandonCopy() noexcept {
    PQputCopyEnd(FConnection, "COPY is not supported by this client");
    char* Buffer = nullptr;
    while (PQgetCopyData(FConnection, &Buffer, 0) > 0)
        PQfreemem(Buffer);
    while (PGresult* Pending = PQgetResult(FConnection))
        PQclear(Pending);
}

void TPgSession::RaiseStatementError(const char* Operation, const TPgResult& Result) {
    std::string ServerMessage = Result.ErrorMessage();
    if (ServerMessage.empty())
        ServerMessage = MessageText(PQerrorMessage(FConnection));
    if (EndsSession(Result))
        FBroken = true;
    if (IsRecoveryConflict(FConnection, Result))
        throw EPgRecoveryConflict(std::string(Operation) + " " + FDescription +
                                  ": Conflict with recovery on the standby: " + ServerMessage);
    if (!Connected())
        Raise(Operation, "The connection to the server was lost: " + ServerMessage);
    Raise(Operation, ServerMessage);
}

void TPgSession::RunQuietly(const char* Sql) noexcept {
    if (Connected())
        PQclear(PQexec(FConnection, Sql));
}

std::string TPgSession::DeclareCursor(const char* Operation, const std::string& Sql,
                                      const TPgParams& Params) {
    CheckConnected(Operation);
    if (PQtransactionStatus(FConnection) == PQTRANS_IDLE) {
        Run(Operation, "BEGIN", {});
        FCursorTransaction = true;
    }
    ++FOpenCursors;
    std::string Name = "vorn_cursor_" + std::to_string(++FCursorSerial);
    try {
        RunGuarded(Operation, "DECLARE " + Name + " NO SCROLL CURSOR WITHOUT HOLD FOR " + Sql,
                   Params, 1);
    } catch (const EDatabaseError&) {
        CloseCursor(Name);
        throw;
    }
    return Name;
}

TPgResult TPgSession::FetchCursor(const char* Operation, const std::string& Name, int RowCount) {
    return RunGuarded(Operation, "FETCH FORWARD " + std::to_string(RowCount) + " FROM " + Name, {},
                      1);
}

void TPgSession::CloseCursor(const std::string& Name) noexcept {
    if (FOpenCursors == 0)
        return;
    // Ending the transaction closes its last cursor without a round trip of its own.
    if (FOpenCursors > 1 || !FCursorTransaction) {
        try {
            RunGuarded("TPgCursor.Close()", "CLOSE " + Name, {}, 1);
        } catch (const EDatabaseError&) {
            // A cursor that cannot be closed went with its transaction or connection.
        }
    }
    if (FOpenCursors > 0)
        --FOpenCursors;
    if (FOpenCursors == 0 && FCursorTransaction)
        EndCursorTransaction("COMMIT");
}

void TPgSession::EndCursorTransaction(const char* Sql) noexcept {
    RunQuietly(Sql);
    FCursorTransaction = false;
    FOpenCursors = 0;
    ++FCursorEpoch;
}

} // namespace vorn
