#include "tests/support/MariaDbScratch.h"

#include "host/components/model/Exception.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/mariadb/MariaDbConnection.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <regex>
#include <sstream>
#include <unistd.h>

namespace vorn::testsupport {

std::string MariaDbServerConnInfo() {
    const char* Value = std::getenv("VORN_MARIADB_CONNINFO");
    return Value ? Value : "";
}

std::string MariaDbConnInfoWithDatabase(const std::string& ConnInfo, const std::string& Database) {
    std::istringstream Words(ConnInfo);
    std::string Result;
    std::string Word;
    while (Words >> Word)
        if (Word.rfind("database=", 0) != 0)
            Result += Word + " ";
    return Result + "database=" + Database;
}

std::string MariaDbSql(const std::string& Sql, bool DoubleBackslashes) {
    // Identifiers already in backticks are kept as they are, and so are literals ('...').
    std::string Result;
    char Quote = 0;
    for (const char C : Sql) {
        if (Quote != 0) {
            if (C == Quote)
                Quote = 0;
            else if (C == '\\' && Quote == '\'' && DoubleBackslashes)
                Result += C;
        } else if (C == '\'' || C == '`') {
            Quote = C;
        } else if (C == '"') {
            Result += '`';
            continue;
        }
        Result += C;
    }
    // "X [ASC|DESC] NULLS FIRST|LAST" on a quoted column: MariaDB places NULLs by a term of
    // their own before the column's.
    static const std::regex NullsPlaced(R"((`[^`]*`)( ASC| DESC)? NULLS (FIRST|LAST))",
                                        std::regex::icase);
    std::string Placed;
    auto Rest = Result.cbegin();
    for (std::sregex_iterator Match(Result.begin(), Result.end(), NullsPlaced), End; Match != End;
         ++Match) {
        const std::smatch& Term = *Match;
        Placed.append(Rest, Term[0].first);
        const bool First = std::toupper(static_cast<unsigned char>(Term[3].str()[0])) == 'F';
        Placed +=
            Term[1].str() + " IS NULL" + (First ? " DESC, " : ", ") + Term[1].str() + Term[2].str();
        Rest = Term[0].second;
    }
    Placed.append(Rest, Result.cend());
    // ANALYZE names the table after TABLE.
    if (Placed.starts_with("ANALYZE `"))
        Placed.insert(8, "TABLE ");
    return Placed;
}

namespace {

class TStatementConnection : public TMariaDbConnection {
public:
    explicit TStatementConnection(const std::string& ConnInfo) : TMariaDbConnection(ConnInfo) {
        // Rows made by a recursive WITH in a test's set-up may be many (the server's
        // default stops at a thousand).
        TMariaDbConnection::ExecuteCommand("SET SESSION max_recursive_iterations = 1000000", {});
    }

    std::unique_ptr<TDriverCursor> Execute(const std::string& Sql,
                                           const std::vector<TVariant>& Params) override {
        return TMariaDbConnection::Execute(MariaDbSql(Sql, false), Params);
    }
    std::int64_t ExecuteCommand(const std::string& Sql,
                                const std::vector<TVariant>& Params) override {
        return TMariaDbConnection::ExecuteCommand(MariaDbSql(Sql, false), Params);
    }
};

} // namespace

TMariaDbScratchDatabase::TMariaDbScratchDatabase(const std::string& Prefix) {
    const std::string Server = MariaDbServerConnInfo();
    if (Server.empty())
        throw Exception("VORN_MARIADB_CONNINFO is not set: MariaDB tests need the test server. "
                        "Run scripts/test.sh, or start one with: eval \"$(scripts/mariadb.sh "
                        "start)\"");
    static std::atomic<int> Counter{0};
    FName = Prefix + std::to_string(getpid()) + "_" + std::to_string(++Counter);
    FAdmin = std::make_unique<TMariaDbConnection>(Server);
    // A dataset left open by a failed test must not make the drop wait forever.
    FAdmin->ExecuteCommand("SET SESSION lock_wait_timeout = 10", {});
    FAdmin->ExecuteCommand(
        "CREATE DATABASE " + FName + " CHARACTER SET utf8mb4 COLLATE utf8mb4_nopad_bin", {});
    FConnInfo = MariaDbConnInfoWithDatabase(Server, FName);
}

std::unique_ptr<TDriverConnection> TMariaDbScratchDatabase::ConnectForStatements() const {
    return std::make_unique<TStatementConnection>(FConnInfo);
}

TMariaDbScratchDatabase::~TMariaDbScratchDatabase() {
    try {
        FAdmin->ExecuteCommand("DROP DATABASE " + FName, {});
    } catch (const EDatabaseError&) {
        // A test that left a dataset open has failed already; the server is thrown away
        // after the run.
    }
}

} // namespace vorn::testsupport
