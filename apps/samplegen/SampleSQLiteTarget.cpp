#include "apps/samplegen/SampleSchemaSql.h"

#include "host/components/model/Exception.h"

#include <sqlite3.h>

#include <filesystem>
#include <system_error>

namespace vorn::sampledata {

namespace {

std::string SQLiteType(const TSampleColumn& Column) {
    switch (Column.Type) {
    case sctInteger:
        return "INTEGER";
    case sctText:
        return "VARCHAR(" + std::to_string(Column.Size) + ")";
    case sctNumeric:
        return "NUMERIC(12,2)";
    case sctDate:
        return "DATE";
    }
    return "TEXT";
}

std::string InsertSql(const TSampleTable& Table) {
    std::string Sql = "INSERT INTO " + QuoteIdentifier(Table.Name) + " VALUES (";
    for (std::size_t Index = 0; Index < Table.Columns.size(); ++Index)
        Sql += Index == 0 ? "?" : ", ?";
    return Sql + ")";
}

class TSQLiteTarget final : public TSampleTarget {
public:
    TSQLiteTarget(const std::string& Path, bool Replace) : FPath(Path) {
        std::error_code Error;
        if (std::filesystem::exists(FPath, Error)) {
            if (!Replace)
                throw Exception("CreateSQLiteTarget() The file " + Path + " already exists");
            if (!std::filesystem::remove(FPath, Error) || Error)
                throw Exception("CreateSQLiteTarget() Cannot replace " + Path + ": " +
                                Error.message());
        }
        if (sqlite3_open_v2(Path.c_str(), &FDatabase, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                            nullptr) != SQLITE_OK) {
            const std::string Message =
                FDatabase != nullptr ? sqlite3_errmsg(FDatabase) : std::string("out of memory");
            sqlite3_close(FDatabase);
            FDatabase = nullptr;
            RemoveFile();
            throw Exception("CreateSQLiteTarget() Cannot create " + Path + ": " + Message);
        }
        try {
            // The file is new and useless until committed (a failure removes it): no journal,
            // no syncing, and room to build the indexes in memory.
            Run("PRAGMA journal_mode=OFF");
            Run("PRAGMA synchronous=OFF");
            Run("PRAGMA locking_mode=EXCLUSIVE");
            Run("PRAGMA cache_size=-65536");
            Run("PRAGMA temp_store=MEMORY");
            Run("BEGIN");
        } catch (...) {
            Discard();
            throw;
        }
    }

    ~TSQLiteTarget() override {
        if (!FCommitted)
            Discard();
    }

    void BeginTable(const TSampleTable& Table) override {
        FinalizeInsert();
        Run(CreateTableSql(Table, &SQLiteType));
        const std::string Sql = InsertSql(Table);
        if (sqlite3_prepare_v2(FDatabase, Sql.c_str(), -1, &FInsert, nullptr) != SQLITE_OK)
            Fail("prepare the insertion into " + Table.Name);
        FColumnCount = Table.Columns.size();
    }

    void AddRow(const std::vector<TSampleValue>& Row) override {
        if (FInsert == nullptr)
            throw Exception("TSQLiteTarget.AddRow() No table was begun");
        if (Row.size() != FColumnCount)
            throw Exception("TSQLiteTarget.AddRow() The row has " + std::to_string(Row.size()) +
                            " values for " + std::to_string(FColumnCount) + " columns");
        for (std::size_t Index = 0; Index < Row.size(); ++Index)
            Bind(static_cast<int>(Index) + 1, Row[Index]);
        if (sqlite3_step(FInsert) != SQLITE_DONE)
            Fail("insert a row");
        sqlite3_reset(FInsert);
    }

    void EndTable(const TSampleTable& Table) override {
        FinalizeInsert();
        for (const TSampleIndex& Index : Table.Indexes)
            Run(CreateIndexSql(Table, Index, {}));
    }

    void Commit() override {
        FinalizeInsert();
        Run("COMMIT");
        FCommitted = true;
        sqlite3_close(FDatabase);
        FDatabase = nullptr;
    }

private:
    void Bind(int Position, const TSampleValue& Value) {
        int Result = SQLITE_OK;
        if (std::holds_alternative<std::monostate>(Value))
            Result = sqlite3_bind_null(FInsert, Position);
        else if (const auto* Integer = std::get_if<std::int64_t>(&Value))
            Result = sqlite3_bind_int64(FInsert, Position, *Integer);
        else if (const auto* Number = std::get_if<double>(&Value))
            Result = sqlite3_bind_double(FInsert, Position, *Number);
        else {
            const std::string& Text = std::get<std::string>(Value);
            Result = sqlite3_bind_text(FInsert, Position, Text.data(),
                                       static_cast<int>(Text.size()), SQLITE_TRANSIENT);
        }
        if (Result != SQLITE_OK)
            Fail("bind a value");
    }

    void Run(const std::string& Sql) {
        if (sqlite3_exec(FDatabase, Sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
            Fail("run " + Sql);
    }

    [[noreturn]] void Fail(const std::string& What) {
        throw Exception("TSQLiteTarget: cannot " + What + " in " + FPath + ": " +
                        sqlite3_errmsg(FDatabase));
    }

    void FinalizeInsert() {
        sqlite3_finalize(FInsert);
        FInsert = nullptr;
    }

    // Drops everything: an unfinished sample database is of no use.
    void Discard() noexcept {
        FinalizeInsert();
        if (FDatabase != nullptr) {
            sqlite3_exec(FDatabase, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close(FDatabase);
            FDatabase = nullptr;
        }
        RemoveFile();
    }

    void RemoveFile() noexcept {
        std::error_code Ignored;
        std::filesystem::remove(FPath, Ignored);
    }

    std::string FPath;
    sqlite3* FDatabase = nullptr;
    sqlite3_stmt* FInsert = nullptr;
    std::size_t FColumnCount = 0;
    bool FCommitted = false;
};

} // namespace

std::unique_ptr<TSampleTarget> CreateSQLiteTarget(const std::string& Path, bool Replace) {
    return std::make_unique<TSQLiteTarget>(Path, Replace);
}

} // namespace vorn::sampledata
