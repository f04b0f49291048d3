#include "tests/support/SampleDatabaseFile.h"

#include "host/components/model/Exception.h"
#include "host/data/dataset/Database.h"

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

namespace {

sampledata::TSampleOptions OptionsFor(int Customers, int MaxOrdersPerCustomer) {
    sampledata::TSampleOptions Options;
    Options.Customers = Customers;
    Options.MaxOrdersPerCustomer = MaxOrdersPerCustomer;
    return Options;
}

} // namespace

TSampleDatabaseFile::TSampleDatabaseFile(int Customers, int MaxOrdersPerCustomer)
    : TSampleDatabaseFile(OptionsFor(Customers, MaxOrdersPerCustomer)) {}

TSampleDatabaseFile::TSampleDatabaseFile(const sampledata::TSampleOptions& Options) {
    const std::string Suffix =
        std::to_string(static_cast<long>(getpid())) + "_" + std::to_string(NextFileNumber());
    FAlias = "VornSample" + Suffix;
    FPath = (std::filesystem::temp_directory_path() / ("vorn-sample-" + Suffix + ".db")).string();
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

namespace {

int CollectFirstColumn(void* Rows, int, char** Values, char**) {
    static_cast<std::vector<std::string>*>(Rows)->push_back(Values[0] != nullptr ? Values[0]
                                                                                 : "NULL");
    return 0;
}

void RunSql(const std::string& Path, const std::string& Sql, std::vector<std::string>* Rows) {
    sqlite3* Database = nullptr;
    if (sqlite3_open_v2(Path.c_str(), &Database, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(Database);
        throw Exception("TSampleDatabaseFile: cannot open " + Path);
    }
    char* Error = nullptr;
    if (sqlite3_exec(Database, Sql.c_str(), Rows != nullptr ? &CollectFirstColumn : nullptr, Rows,
                     &Error) != SQLITE_OK) {
        const std::string Message = Error != nullptr ? Error : "unknown error";
        sqlite3_free(Error);
        sqlite3_close(Database);
        throw Exception("TSampleDatabaseFile: " + Message + " in: " + Sql);
    }
    sqlite3_close(Database);
}

} // namespace

void TSampleDatabaseFile::Execute(const std::string& Sql) const {
    RunSql(FPath, Sql, nullptr);
}

std::vector<std::string> TSampleDatabaseFile::Column(const std::string& Sql) const {
    std::vector<std::string> Rows;
    RunSql(FPath, Sql, &Rows);
    return Rows;
}

} // namespace vorn::testsupport
