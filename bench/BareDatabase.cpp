#include "bench/BareDatabase.h"

#include "host/components/model/Exception.h"
#include "host/data/drivers/mariadb/MariaDbConnInfo.h"
#include "host/data/drivers/mariadb/MariaDbSession.h"

#include <libpq-fe.h>
#include <mysql.h>
#include <sqlite3.h>

#include <stdexcept>

namespace vorn::bench {

namespace {

class TBareSQLite final : public TBareDatabase {
public:
    explicit TBareSQLite(const std::string& Path) {
        if (sqlite3_open_v2(Path.c_str(), &FDatabase, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
            return;
        const std::string Message = FDatabase ? sqlite3_errmsg(FDatabase) : "out of memory";
        sqlite3_close(FDatabase);
        throw std::runtime_error("cannot open " + Path + ": " + Message);
    }
    ~TBareSQLite() override { sqlite3_close(FDatabase); }

    void Query(const std::string& Sql, const std::vector<std::string>& Params,
               const TBareRowHandler& Handler) override {
        sqlite3_stmt* Statement = nullptr;
        if (sqlite3_prepare_v2(FDatabase, Sql.c_str(), -1, &Statement, nullptr) != SQLITE_OK)
            throw Failure(Sql);
        for (std::size_t Index = 0; Index < Params.size(); ++Index)
            sqlite3_bind_text(Statement, static_cast<int>(Index + 1), Params[Index].c_str(),
                              static_cast<int>(Params[Index].size()), SQLITE_TRANSIENT);
        TBareRow Row(static_cast<std::size_t>(sqlite3_column_count(Statement)));
        int Step = SQLITE_ROW;
        try {
            while ((Step = sqlite3_step(Statement)) == SQLITE_ROW) {
                for (std::size_t Column = 0; Column < Row.size(); ++Column) {
                    const auto* Text = reinterpret_cast<const char*>(
                        sqlite3_column_text(Statement, static_cast<int>(Column)));
                    if (Text == nullptr)
                        Row[Column].reset();
                    else
                        Row[Column].emplace(Text);
                }
                Handler(Row);
            }
        } catch (...) {
            sqlite3_finalize(Statement);
            throw;
        }
        sqlite3_finalize(Statement);
        if (Step != SQLITE_DONE)
            throw Failure(Sql);
    }

    std::string Placeholder(int) const override { return "?"; }

private:
    std::runtime_error Failure(const std::string& Sql) const {
        return std::runtime_error("SQLite cannot run " + Sql + ": " + sqlite3_errmsg(FDatabase));
    }

    sqlite3* FDatabase = nullptr;
};

class TBarePostgres final : public TBareDatabase {
public:
    explicit TBarePostgres(const std::string& ConnInfo)
        : FConnection(PQconnectdb(ConnInfo.c_str())) {
        if (PQstatus(FConnection) == CONNECTION_OK)
            return;
        const std::string Message = PQerrorMessage(FConnection);
        PQfinish(FConnection);
        throw std::runtime_error("cannot connect to PostgreSQL: " + Message);
    }
    ~TBarePostgres() override { PQfinish(FConnection); }

    void Query(const std::string& Sql, const std::vector<std::string>& Params,
               const TBareRowHandler& Handler) override {
        std::vector<const char*> Values;
        for (const std::string& Param : Params)
            Values.push_back(Param.c_str());
        PGresult* Result = PQexecParams(FConnection, Sql.c_str(), static_cast<int>(Values.size()),
                                        nullptr, Values.data(), nullptr, nullptr, 0);
        const ExecStatusType Status = PQresultStatus(Result);
        if (Status != PGRES_TUPLES_OK && Status != PGRES_COMMAND_OK) {
            const std::string Message = PQresultErrorMessage(Result);
            PQclear(Result);
            throw std::runtime_error("PostgreSQL cannot run " + Sql + ": " + Message);
        }
        const int Rows = PQntuples(Result);
        TBareRow Row(static_cast<std::size_t>(PQnfields(Result)));
        try {
            for (int Index = 0; Index < Rows; ++Index) {
                for (std::size_t Column = 0; Column < Row.size(); ++Column) {
                    const int Field = static_cast<int>(Column);
                    if (PQgetisnull(Result, Index, Field))
                        Row[Column].reset();
                    else
                        Row[Column].emplace(
                            PQgetvalue(Result, Index, Field),
                            static_cast<std::size_t>(PQgetlength(Result, Index, Field)));
                }
                Handler(Row);
            }
        } catch (...) {
            PQclear(Result);
            throw;
        }
        PQclear(Result);
    }

    std::string Placeholder(int Index) const override {
        std::string Text = std::to_string(Index);
        Text.insert(Text.begin(), '$');
        return Text;
    }

private:
    PGconn* FConnection;
};

// The text protocol with each "?" of the statement, outside quoted text, replaced by its
// parameter as a string literal that the client library escaped. Every parameter goes as
// a string, so that the server converts it where it meets a number column: the library's
// own statements bind typed values instead, a difference that the reference figures carry.
// A statement whose placeholders do not match its parameters in number is refused rather
// than measured. The session sets ANSI_QUOTES, so that the statements written for the
// other servers ("Name" quoted) run unchanged.
class TBareMariaDb final : public TBareDatabase {
public:
    explicit TBareMariaDb(const std::string& ConnInfo)
        : FInfo(ParseMariaDbConnInfo(ConnInfo)), FDescription(FInfo.Describe()),
          FSession(FInfo, FDescription) {
        try {
            FSession.Connect();
        } catch (const Exception& Error) {
            throw std::runtime_error("cannot connect to MariaDB: " + Error.Message());
        }
        Query("SET SESSION sql_mode = CONCAT(@@sql_mode, ',ANSI_QUOTES')", {}, {});
    }

    void Query(const std::string& Sql, const std::vector<std::string>& Params,
               const TBareRowHandler& Handler) override {
        MYSQL* Connection = FSession.Handle();
        const std::string Text = WithParameters(Sql, Params);
        if (mysql_real_query(Connection, Text.data(), Text.size()) != 0)
            Fail(Sql);
        // Rows stream in as the handler takes them, as a grid that reads every row would.
        MYSQL_RES* Result = mysql_use_result(Connection);
        if (Result == nullptr) {
            if (mysql_field_count(Connection) != 0)
                Fail(Sql);
            return;
        }
        TBareRow Row(mysql_num_fields(Result));
        try {
            while (MYSQL_ROW Values = mysql_fetch_row(Result)) {
                const unsigned long* Lengths = mysql_fetch_lengths(Result);
                for (std::size_t Column = 0; Column < Row.size(); ++Column) {
                    if (Values[Column] == nullptr)
                        Row[Column].reset();
                    else
                        Row[Column].emplace(Values[Column], Lengths[Column]);
                }
                if (Handler)
                    Handler(Row);
            }
        } catch (...) {
            mysql_free_result(Result);
            throw;
        }
        const bool Failed = mysql_errno(Connection) != 0;
        mysql_free_result(Result);
        if (Failed)
            Fail(Sql);
    }

    std::string Placeholder(int) const override { return "?"; }

private:
    // Sql with its placeholders replaced. A quote opens text (or a quoted name) that runs to
    // the next quote of its kind; a doubled quote or a backslash inside text does not end it.
    std::string WithParameters(const std::string& Sql, const std::vector<std::string>& Params) {
        std::string Text;
        std::size_t Next = 0;
        char Quote = 0;
        for (std::size_t Index = 0; Index < Sql.size(); ++Index) {
            const char Character = Sql[Index];
            if (Quote != 0) {
                Text += Character;
                if (Character == '\\' && Quote == '\'' && Index + 1 < Sql.size())
                    Text += Sql[++Index];
                else if (Character == Quote)
                    Quote = 0;
            } else if (Character == '\'' || Character == '"' || Character == '`') {
                Text += Character;
                Quote = Character;
            } else if (Character != '?') {
                Text += Character;
            } else if (Next < Params.size()) {
                const std::string& Param = Params[Next++];
                std::string Escaped(Param.size() * 2 + 1, '\0');
                Escaped.resize(mysql_real_escape_string(FSession.Handle(), Escaped.data(),
                                                        Param.data(), Param.size()));
                Text += "'" + Escaped + "'";
            } else {
                ++Next;
            }
        }
        if (Next != Params.size())
            throw std::runtime_error("MariaDB statement " + Sql + " has " + std::to_string(Next) +
                                     " placeholders for " + std::to_string(Params.size()) +
                                     " parameters");
        return Text;
    }

    [[noreturn]] void Fail(const std::string& Sql) {
        throw std::runtime_error("MariaDB cannot run " + Sql + ": " +
                                 mysql_error(FSession.Handle()));
    }

    TMariaDbConnInfo FInfo;
    std::string FDescription;
    TMariaDbSession FSession;
};

} // namespace

std::unique_ptr<TBareDatabase> OpenBareSQLite(const std::string& Path) {
    return std::make_unique<TBareSQLite>(Path);
}

std::unique_ptr<TBareDatabase> OpenBarePostgres(const std::string& ConnInfo) {
    return std::make_unique<TBarePostgres>(ConnInfo);
}

std::unique_ptr<TBareDatabase> OpenBareMariaDb(const std::string& ConnInfo) {
    return std::make_unique<TBareMariaDb>(ConnInfo);
}

} // namespace vorn::bench
