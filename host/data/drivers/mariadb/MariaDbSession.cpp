#include "host/data/drivers/mariadb/MariaDbSession.h"

#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"

#include <errmsg.h>
#include <mysql.h>
#include <mysqld_error.h>

namespace vorn {

namespace {

// Errors after which the connection is gone: the server went away or closed it (KILL,
// shutdown, a timeout).
bool EndsConnection(unsigned Error) {
    return Error == CR_SERVER_GONE_ERROR || Error == CR_SERVER_LOST ||
           Error == CR_CONNECTION_ERROR || Error == ER_CONNECTION_KILLED ||
           Error == ER_SERVER_SHUTDOWN || Error == ER_NET_READ_ERROR ||
           Error == ER_NET_ERROR_ON_WRITE;
}

const char* OrNull(const std::string& Text) {
    return Text.empty() ? nullptr : Text.c_str();
}

} // namespace

TMariaDbSession::TMariaDbSession(const TMariaDbConnInfo& Info, const std::string& Description)
    : FInfo(Info), FDescription(Description) {}

TMariaDbSession::~TMariaDbSession() {
    Disconnect();
}

void TMariaDbSession::Raise(const char* Operation, const std::string& Message) const {
    throw EDatabaseError(std::string(Operation) + " " + FDescription + ": " + Message);
}

void TMariaDbSession::RaiseLastError(const char* Operation, MYSQL_STMT* Statement) {
    // Some errors of a statement's rows (the server stopped it) are the connection's only.
    if (Statement && mysql_stmt_errno(Statement) == 0)
        Statement = nullptr;
    const unsigned Error = Statement ? mysql_stmt_errno(Statement) : mysql_errno(FHandle);
    const std::string Message =
        Utf8ToHost(Statement ? mysql_stmt_error(Statement) : mysql_error(FHandle));
    if (EndsConnection(Error)) {
        FLost = true;
        Raise(Operation, "The connection to the server was lost: " + Message);
    }
    Raise(Operation, Message);
}

unsigned long TMariaDbSession::ThreadId() const {
    return FHandle ? mysql_thread_id(FHandle) : 0;
}

void TMariaDbSession::RequestCancel() const noexcept {
    const unsigned long Thread = ThreadId();
    if (Thread == 0)
        return;
    try {
        TMariaDbSession Killer(FInfo, FDescription);
        Killer.Connect();
        const std::string Kill = "KILL QUERY " + std::to_string(Thread);
        mysql_real_query(Killer.Handle(), Kill.data(), Kill.size());
    } catch (const EDatabaseError&) {
        // The statement runs on to its end.
    }
}

void TMariaDbSession::Disconnect() noexcept {
    if (FHandle)
        mysql_close(FHandle);
    FHandle = nullptr;
    FLost = false;
}

void TMariaDbSession::Connect() {
    static const char* const Operation = "TMariaDbConnection.Connect()";
    if (Connected())
        return;
    Disconnect();
    FHandle = mysql_init(nullptr);
    if (!FHandle)
        Raise(Operation, "Out of memory");
    // Text travels as UTF-8 and is converted to the host code page at this boundary.
    mysql_optionsv(FHandle, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    // Statements that a long-operation monitor watches run through the non-blocking calls.
    mysql_options(FHandle, MYSQL_OPT_NONBLOCK, nullptr);
    const unsigned NoLocalFiles = 0;
    mysql_optionsv(FHandle, MYSQL_OPT_LOCAL_INFILE, &NoLocalFiles);
    if (!FInfo.UnixSocket.empty()) {
        const unsigned Protocol = MYSQL_PROTOCOL_SOCKET;
        mysql_optionsv(FHandle, MYSQL_OPT_PROTOCOL, &Protocol);
    }
    const std::string Host = HostToUtf8(FInfo.Host);
    const std::string User = HostToUtf8(FInfo.User);
    const std::string Password = HostToUtf8(FInfo.Password);
    const std::string Database = HostToUtf8(FInfo.Database);
    const std::string Socket = HostToUtf8(FInfo.UnixSocket);
    if (!mysql_real_connect(FHandle, OrNull(Host), OrNull(User), OrNull(Password), OrNull(Database),
                            FInfo.Port, OrNull(Socket), 0)) {
        const std::string Message = Utf8ToHost(mysql_error(FHandle));
        Disconnect();
        Raise(Operation, Message);
    }
}

std::unique_ptr<TMariaDbSession> TMariaDbSessionPool::Acquire() {
    if (FIdle.empty())
        return std::make_unique<TMariaDbSession>(FInfo, FDescription);
    std::unique_ptr<TMariaDbSession> Session = std::move(FIdle.back());
    FIdle.pop_back();
    return Session;
}

void TMariaDbSessionPool::Release(std::unique_ptr<TMariaDbSession> Session) noexcept {
    if (Session && Session->Connected() && FIdle.size() < MaxIdle)
        FIdle.push_back(std::move(Session));
}

} // namespace vorn
