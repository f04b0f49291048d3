#pragma once

#include "host/data/drivers/mariadb/MariaDbConnInfo.h"

#include <memory>
#include <string>
#include <vector>

// The client library's connection and statement handles (MYSQL, MYSQL_STMT).
struct st_mysql;
struct st_mysql_stmt;

namespace vorn {

// One client connection to the server: connecting (and replacing a connection that was
// lost), and raising its errors as EDatabaseError in the host code page, naming the
// operation and the database, then repeating the server's message.
class TMariaDbSession {
public:
    TMariaDbSession(const TMariaDbConnInfo& Info, const std::string& Description);
    TMariaDbSession(const TMariaDbSession&) = delete;
    TMariaDbSession& operator=(const TMariaDbSession&) = delete;
    ~TMariaDbSession();

    // Opens the connection unless a healthy one is open; a lost one is replaced.
    void Connect();
    // Whether a connection is open and no statement found it lost.
    bool Connected() const { return FHandle != nullptr && !FLost; }
    st_mysql* Handle() const { return FHandle; }
    const std::string& Description() const { return FDescription; }
    // The server's id of this connection (for KILL); 0 when not connected.
    unsigned long ThreadId() const;
    // Asks the server, over a connection of its own, to stop the statement this one is
    // running (KILL QUERY). Whether it stopped shows in the statement's result: it may have
    // finished first. Raises nothing; a request that cannot be sent lets the statement run.
    void RequestCancel() const noexcept;

    [[noreturn]] void Raise(const char* Operation, const std::string& Message) const;
    // Raises the last error of the connection or of Statement, marking the connection
    // lost where the error says so.
    [[noreturn]] void RaiseLastError(const char* Operation, st_mysql_stmt* Statement = nullptr);
    // Closes the connection at once, without reading what the server still sends.
    void Disconnect() noexcept;

private:
    const TMariaDbConnInfo& FInfo;
    const std::string& FDescription;
    st_mysql* FHandle = nullptr;
    bool FLost = false;
};

// Connections that are not in use, kept for the next statement. Each open cursor holds a
// connection of its own while its rows stream in, so that any number of cursors and
// other statements interleave without reading ahead.
class TMariaDbSessionPool {
public:
    TMariaDbSessionPool(const TMariaDbConnInfo& Info, const std::string& Description)
        : FInfo(Info), FDescription(Description) {}

    // An idle connection, else a new one (not yet connected).
    std::unique_ptr<TMariaDbSession> Acquire();
    // Keeps a connection for reuse; one that was lost is closed.
    void Release(std::unique_ptr<TMariaDbSession> Session) noexcept;
    std::size_t IdleCount() const { return FIdle.size(); }
    // Closes the idle connections (after one was found lost: the others likely are too).
    void Clear() noexcept { FIdle.clear(); }

    // Idle connections kept at most; more are closed when released.
    static constexpr std::size_t MaxIdle = 4;

private:
    const TMariaDbConnInfo& FInfo;
    const std::string& FDescription;
    std::vector<std::unique_ptr<TMariaDbSession>> FIdle;
};

} // namespace vorn
