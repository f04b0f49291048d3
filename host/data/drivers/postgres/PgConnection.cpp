#include "host/data/drivers/postgres/PgConnection.h"

#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/postgres/PgDriverCursor.h"
#include "host/data/drivers/postgres/PgValues.h"

#include <libpq-fe.h>

namespace vorn {

namespace {

// "PostgreSQL database "shop" on /tmp/pg.ab12", from the connection string.
std::string DescribeConnInfo(const std::string& ConnInfo) {
    char* Error = nullptr;
    PQconninfoOption* Options = PQconninfoParse(HostToUtf8(ConnInfo).c_str(), &Error);
    PQfreemem(Error);
    if (!Options)
        return "PostgreSQL database";
    std::string Database, Host;
    for (const PQconninfoOption* Option = Options; Option->keyword; ++Option) {
        if (!Option->val)
            continue;
        if (std::string(Option->keyword) == "dbname")
            Database = Option->val;
        else if (std::string(Option->keyword) == "host")
            Host = Option->val;
    }
    PQconninfoFree(Options);
    std::string Description = "PostgreSQL database";
    if (!Database.empty())
        Description += " \"" + Utf8ToHost(Database) + "\"";
    if (!Host.empty())
        Description += " on " + Utf8ToHost(Host);
    return Description;
}

// Splits "schema.table" at dots outside double quotes; a quoted part has its
// doubled quotes undone. Returns false for an empty part or an open quote.
bool SplitTableName(const std::string& Table, std::vector<std::string>& Parts) {
    std::string Part;
    bool Quoted = false;
    bool PartWasQuoted = false;
    for (std::size_t Index = 0; Index < Table.size(); ++Index) {
        const char C = Table[Index];
        if (Quoted) {
            if (C != '"') {
                Part += C;
            } else if (Index + 1 < Table.size() && Table[Index + 1] == '"') {
                Part += '"';
                ++Index;
            } else {
                Quoted = false;
            }
        } else if (C == '"' && Part.empty() && !PartWasQuoted) {
            Quoted = PartWasQuoted = true;
        } else if (C == '.') {
            if (Part.empty())
                return false;
            Parts.push_back(std::move(Part));
            Part.clear();
            PartWasQuoted = false;
        } else if (PartWasQuoted) {
            return false; // text after a closing quote
        } else {
            Part += C;
        }
    }
    if (Quoted || Part.empty())
        return false;
    Parts.push_back(std::move(Part));
    return true;
}

// Runs Read on Session and returns what it returns. A read is run once more, on a new
// connection where the old one was lost: a connection that died while idle (a server
// restart, a lost standby) shows only when used, and a standby cancels a read whose
// snapshot or locks are in the way of the changes it replays (a recovery conflict).
// Reading again is harmless. A second failure is raised; a second recovery conflict
// says that the read was tried twice.
template <typename TRead>
auto ReadAgainOnce(TPgSession& Session, TRead Read) -> decltype(Read()) {
    Session.Connect();
    try {
        return Read();
    } catch (const EPgRecoveryConflict&) {
    } catch (const EDatabaseError&) {
        if (Session.Connected())
            throw;
    }
    Session.Connect();
    try {
        return Read();
    } catch (const EPgRecoveryConflict& Error) {
        throw EPgRecoveryConflict(Error.Message() + " (cancelled twice in a row)");
    }
}

} // namespace

TPgParams PgParams(const std::vector<TVariant>& Values) {
    TPgParams Params;
    Params.reserve(Values.size());
    for (const TVariant& Value : Values)
        Params.push_back(PgParamText(Value));
    return Params;
}

TPgConnection::TPgConnection(const std::string& ConnInfo)
    : FDescription(DescribeConnInfo(ConnInfo)), FCommands(ConnInfo, FDescription),
      FReader(ConnInfo, FDescription) {
    FCommands.Connect();
}

std::string TPgConnection::QuoteTableName(const std::string& Table) const {
    std::vector<std::string> Parts;
    if (!SplitTableName(Table, Parts) || Parts.size() > 2)
        FCommands.Raise("TPgConnection.QuoteTableName()",
                        "Invalid table name '" + Table +
                            "': expected a table, optionally after a schema and a dot");
    std::string Quoted;
    for (const std::string& Part : Parts)
        Quoted += (Quoted.empty() ? "" : ".") + QuoteIdentifier(Part);
    return Quoted;
}

std::unique_ptr<TDriverCursor> TPgConnection::Execute(const std::string& Sql,
                                                      const std::vector<TVariant>& Params) {
    const std::string Utf8Sql = HostToUtf8(Sql);
    const TPgParams Values = PgParams(Params);
    // A statement that changes data (INSERT ... RETURNING) is committed at once, like
    // any command, rather than wait in the transaction of the open queries.
    if (!PgIsQuery(Utf8Sql))
        return std::make_unique<TPgDriverCursor>(
            FCommands, RunCommand("TPgConnection.Execute()", Utf8Sql, Values));
    // A read of no more rows than one fetch brings runs as one plain statement: a
    // server-side cursor would add its transaction, declaration and fetch round trips
    // to every short read (a window of a table, each probe of a search).
    const int Limit = PgTrailingLimit(Utf8Sql);
    const auto Read = [&]() -> std::unique_ptr<TDriverCursor> {
        if (Limit >= 0 && Limit <= FetchPageSize)
            return std::make_unique<TPgDriverCursor>(
                FReader, FReader.Execute("TPgConnection.Execute()", Utf8Sql, Values));
        return std::make_unique<TPgDriverCursor>(FReader, Utf8Sql, Values, FetchPageSize);
    };
    return ReadAgainOnce(FReader, Read);
}

TPgResult TPgConnection::ReadCatalog(const char* Operation, const char* Sql,
                                     const TPgParams& Params) {
    return ReadAgainOnce(FCommands, [&] { return FCommands.Execute(Operation, Sql, Params); });
}

std::int64_t TPgConnection::ExecuteCommand(const std::string& Sql,
                                           const std::vector<TVariant>& Params) {
    return RunCommand("TPgConnection.ExecuteCommand()", HostToUtf8(Sql), PgParams(Params))
        .AffectedRows();
}

// A command is never run a second time after a lost connection: it may have been
// carried out before the connection broke.
TPgResult TPgConnection::RunCommand(const char* Operation, const std::string& Sql,
                                    const TPgParams& Params) {
    FCommands.Connect();
    // An open query holds its tables' locks on the reader connection; a command that
    // needs one of them (DROP, ALTER, TRUNCATE) would wait for it forever, since the
    // reader waits for the application. Waiting is bounded while queries are open.
    FCommands.SetLockTimeout(Operation, FReader.HasOpenCursors() ? CommandLockTimeout : 0);
    return FCommands.Execute(Operation, Sql, Params);
}

} // namespace vorn
