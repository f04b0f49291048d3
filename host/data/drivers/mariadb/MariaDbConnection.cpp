#include "host/data/drivers/mariadb/MariaDbConnection.h"

#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/mariadb/MariaDbCursor.h"
#include "host/data/drivers/mariadb/MariaDbStatement.h"

#include <mysqld_error.h>

namespace vorn {

namespace {

// Runs Read with Session connected, and once more on a new connection when the first
// try found the connection lost: a connection that died while idle (a server restart,
// a timeout, KILL) shows only when used. Reading again is harmless.
template <typename TRead>
auto ReadAgainOnce(TMariaDbSession& Session, TRead Read) -> decltype(Read()) {
    try {
        return Read();
    } catch (const EDatabaseError&) {
        if (Session.Connected())
            throw;
    }
    return Read();
}

} // namespace

TMariaDbConnection::TMariaDbConnection(const std::string& ConnInfo)
    : FInfo(ParseMariaDbConnInfo(ConnInfo)), FDescription(FInfo.Describe()),
      FCommands(FInfo, FDescription), FReaders(FInfo, FDescription) {
    FCommands.Connect();
}

TMariaDbConnection::~TMariaDbConnection() {
    FReaders.Clear();
}

std::string TMariaDbConnection::QuoteIdentifier(const std::string& Name) const {
    std::string Quoted = "`";
    for (const char C : Name) {
        Quoted += C;
        if (C == '`')
            Quoted += '`';
    }
    return Quoted + "`";
}

std::unique_ptr<TDriverCursor> TMariaDbConnection::Execute(const std::string& Sql,
                                                           const std::vector<TVariant>& Params) {
    static const char* const Operation = "TMariaDbConnection.Execute()";
    std::unique_ptr<TMariaDbSession> Session = FReaders.Acquire();
    const auto Open = [&] {
        return std::make_unique<TMariaDbStatement>(*Session, Operation, Sql, Params);
    };
    std::unique_ptr<TMariaDbStatement> Statement;
    try {
        Statement = Open();
    } catch (const EDatabaseError&) {
        if (Session->Connected()) {
            FReaders.Release(std::move(Session));
            throw;
        }
        // The idle connections went the way of this one.
        FReaders.Clear();
        Statement = Open();
    }
    return std::make_unique<TMariaDbCursor>(FReaders, std::move(Session), std::move(Statement));
}

std::int64_t TMariaDbConnection::ExecuteCommand(const std::string& Sql,
                                                const std::vector<TVariant>& Params) {
    // A command is never run a second time after a lost connection: it may have been
    // carried out before the connection broke.
    TMariaDbStatement Statement(FCommands, "TMariaDbConnection.ExecuteCommand()", Sql, Params);
    const std::int64_t Affected = Statement.AffectedRows();
    // Rows that a command returns anyway are read and dropped.
    while (Statement.Next()) {
    }
    return Affected;
}

std::vector<std::vector<TVariant>>
TMariaDbConnection::ReadCatalog(const char* Operation, const char* Sql,
                                const std::vector<TVariant>& Params) {
    return ReadAgainOnce(FCommands, [&] {
        TMariaDbStatement Statement(FCommands, Operation, Sql, Params);
        std::vector<std::vector<TVariant>> Rows;
        const int Count = static_cast<int>(Statement.Columns().size());
        while (Statement.Next()) {
            std::vector<TVariant> Row;
            for (int Index = 0; Index < Count; ++Index)
                Row.push_back(Statement.Value(Index));
            Rows.push_back(std::move(Row));
        }
        return Rows;
    });
}

} // namespace vorn
