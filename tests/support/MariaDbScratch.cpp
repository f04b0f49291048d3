#include "tests/support/MariaDbScratch.h"

#include "host/components/model/Exception.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/mariadb/MariaDbConnection.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <iostream>
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

namespace {

// "X [ASC|DESC] NULLS FIRST|LAST" on a quoted column, perhaps qualified by its table:
// MariaDB places NULLs by a term of their own before the column's.
std::string PlaceNulls(const std::string& Code) {
    static const std::regex NullsPlaced(R"(((`[^`]*`\.)?`[^`]*`)( ASC| DESC)? NULLS (FIRST|LAST))",
                                        std::regex::icase);
    std::string Placed;
    auto Rest = Code.cbegin();
    for (std::sregex_iterator Match(Code.begin(), Code.end(), NullsPlaced), End; Match != End;
         ++Match) {
        const std::smatch& Term = *Match;
        Placed.append(Rest, Term[0].first);
        const bool First = std::toupper(static_cast<unsigned char>(Term[4].str()[0])) == 'F';
        Placed +=
            Term[1].str() + " IS NULL" + (First ? " DESC, " : ", ") + Term[1].str() + Term[3].str();
        Rest = Term[0].second;
    }
    Placed.append(Rest, Code.cend());
    return Placed;
}

} // namespace

std::string MariaDbSql(const std::string& Sql) {
    // Identifiers already in backticks are kept as they are, and so are literals ('...'),
    // whose backslashes are doubled; the order terms are rewritten in the text between the
    // literals only.
    std::string Result;
    std::string Code;
    char Quote = 0;
    for (const char C : Sql) {
        if (Quote == '\'') {
            Result += C;
            if (C == '\\')
                Result += C;
            else if (C == Quote)
                Quote = 0;
            continue;
        }
        if (Quote != 0) {
            // Inside an identifier; a double-quoted one ends in a backtick.
            const bool Ends = C == Quote;
            Code += Ends ? '`' : C;
            if (Ends)
                Quote = 0;
            continue;
        }
        if (C == '\'') {
            Result += PlaceNulls(Code);
            Code.clear();
            Quote = C;
            Result += C;
            continue;
        }
        if (C == '`' || C == '"')
            Quote = C;
        Code += C == '"' ? '`' : C;
    }
    Result += PlaceNulls(Code);
    // ANALYZE names the table after TABLE.
    if (Result.starts_with("ANALYZE `"))
        Result.insert(8, "TABLE ");
    return Result;
}

TMariaDbScratchDatabase::TMariaDbScratchDatabase(const std::string& Prefix,
                                                 const std::string& Collation) {
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
        "CREATE DATABASE " + FName + " CHARACTER SET utf8mb4 COLLATE " + Collation, {});
    FConnInfo = MariaDbConnInfoWithDatabase(Server, FName);
}

TMariaDbScratchDatabase::~TMariaDbScratchDatabase() {
    try {
        FAdmin->ExecuteCommand("DROP DATABASE " + FName, {});
    } catch (const EDatabaseError& Error) {
        // A test that left a dataset open has failed already. A destructor cannot fail the
        // test: the database is named for whoever keeps the server across runs.
        std::cerr << "The MariaDB scratch database " << FName
                  << " could not be dropped: " << Error.what() << "\n";
    }
}

} // namespace vorn::testsupport
