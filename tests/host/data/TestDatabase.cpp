#include "TestDatabase.h"

#include <atomic>
#include <cstdlib>
#include <unistd.h>

namespace vorn::test {

TTempDatabase::TTempDatabase() {
    static std::atomic<int> Counter{0};
    const int Number = ++Counter;
    std::string Template = (std::filesystem::temp_directory_path() / "vorn-data-XXXXXX").string();
    if (mkdtemp(Template.data()) == nullptr)
        throw std::runtime_error("cannot create a temporary folder");
    FFolder = Template;
    FPath = (FFolder / "test.db").string();
    FAlias = "TestDb" + std::to_string(getpid()) + "_" + std::to_string(Number);
    CreateSQLiteDatabase(FPath);
    FConnection = OpenSQLiteConnection(FPath, somOpenExisting);
    // The files are thrown away after the test: no need to wait for the disk.
    FConnection->ExecuteCommand("PRAGMA synchronous = OFF", {});
    FConnection->ExecuteCommand("PRAGMA journal_mode = MEMORY", {});
    RegisterSQLiteDatabase(FAlias, FPath);
}

TTempDatabase::~TTempDatabase() {
    FConnection.reset();
    if (IsDatabaseRegistered(FAlias)) {
        try {
            UnregisterDatabase(FAlias);
        } catch (...) {
            // A test that left a dataset open has failed already; keep the files then.
            return;
        }
    }
    std::error_code Ignored;
    std::filesystem::remove_all(FFolder, Ignored);
}

void TTempDatabase::Execute(const std::string& Sql, const std::vector<TVariant>& Params) {
    FConnection->ExecuteCommand(Sql, Params);
}

std::vector<std::vector<TVariant>> TTempDatabase::Rows(const std::string& Sql,
                                                       const std::vector<TVariant>& Params) {
    return ReadRows(*FConnection, Sql, Params);
}

std::vector<std::vector<TVariant>> ReadRows(TDriverConnection& Connection, const std::string& Sql,
                                            const std::vector<TVariant>& Params) {
    std::vector<std::vector<TVariant>> Result;
    auto Cursor = Connection.Execute(Sql, Params);
    while (Cursor->Next()) {
        std::vector<TVariant> Row;
        for (int Index = 0; Index < Cursor->FieldCount(); ++Index)
            Row.push_back(Cursor->Value(Index));
        Result.push_back(std::move(Row));
    }
    return Result;
}

std::vector<std::string> TTempDatabase::Column(const std::string& Sql) {
    std::vector<std::string> Result;
    for (const auto& Row : Rows(Sql))
        Result.push_back(Show(Row.front()));
    return Result;
}

std::string Show(const TVariant& Value) {
    return Value.IsNull() ? "NULL" : Value.AsString();
}

} // namespace vorn::test
