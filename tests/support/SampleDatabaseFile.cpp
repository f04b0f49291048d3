#include "tests/support/SampleDatabaseFile.h"

#include "host/components/Exception.h"
#include "host/data/Database.h"

#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <system_error>

namespace vorn::testsupport {

namespace {

int NextFileNumber() {
    static int Number = 0;
    return ++Number;
}

} // namespace

TSampleDatabaseFile::TSampleDatabaseFile(int Customers, int MaxOrdersPerCustomer) {
    const std::string Suffix =
        std::to_string(static_cast<long>(getpid())) + "_" + std::to_string(NextFileNumber());
    FAlias = "VornSample" + Suffix;
    FPath = (std::filesystem::temp_directory_path() / ("vorn-sample-" + Suffix + ".db")).string();
    sampledata::TSampleOptions Options;
    Options.Customers = Customers;
    Options.MaxOrdersPerCustomer = MaxOrdersPerCustomer;
    FCounts = sampledata::CreateSQLiteSampleDatabase(FPath, Options, true);
    RegisterSQLiteDatabase(FAlias, FPath);
}

TSampleDatabaseFile::~TSampleDatabaseFile() {
    try {
        UnregisterDatabase(FAlias);
    } catch (...) {
        // A dataset a failed test left open holds the alias: the file goes anyway.
    }
    std::error_code Ignored;
    std::filesystem::remove(FPath, Ignored);
}

void TSampleDatabaseFile::Execute(const std::string& Sql) const {
    sqlite3* Database = nullptr;
    if (sqlite3_open_v2(FPath.c_str(), &Database, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(Database);
        throw Exception("TSampleDatabaseFile.Execute() Cannot open " + FPath);
    }
    char* Error = nullptr;
    if (sqlite3_exec(Database, Sql.c_str(), nullptr, nullptr, &Error) != SQLITE_OK) {
        const std::string Message = Error != nullptr ? Error : "unknown error";
        sqlite3_free(Error);
        sqlite3_close(Database);
        throw Exception("TSampleDatabaseFile.Execute() " + Message + " in: " + Sql);
    }
    sqlite3_close(Database);
}

} // namespace vorn::testsupport
