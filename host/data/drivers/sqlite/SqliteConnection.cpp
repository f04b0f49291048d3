#include "host/components/text/AsciiText.h"
#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/LongOperation.h"
#include "host/data/drivers/SqliteFunctions.h"
#include "host/data/drivers/sqlite/SqliteDriver.h"
#include "host/data/sql/SqlLiteral.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <charconv>

namespace vorn {

namespace {

// How long a statement waits for another connection's lock before it reports "busy".
constexpr int BusyTimeoutMilliseconds = 200;

// The pages a connection keeps in memory, in KiB, taken only as pages are read. SQLite's
// own 2 MiB hold no more than a small file's indexes: on a large table each distinct walk
// (a leaf page per value) or seek read its pages through the file again every time.
constexpr int PageCacheKibibytes = 16384;

// How many steps of SQLite's engine run between two ticks of the long-operation monitor: a
// few microseconds of work, so that a cancel stops a statement at once.
constexpr int ProgressInstructions = 1000;

// Steps Statement once. While a long-operation monitor is installed, SQLite's progress
// handler ticks it and interrupts the statement when the user cancels; without one no
// handler is installed and stepping costs nothing extra.
int Step(sqlite3_stmt* Statement) {
    TLongOperationScope Scope;
    if (!Scope.Watched())
        return sqlite3_step(Statement);
    sqlite3* Database = sqlite3_db_handle(Statement);
    sqlite3_progress_handler(
        Database, ProgressInstructions,
        [](void* Context) {
            return static_cast<TLongOperationScope*>(Context)->CancelRequested() ? 1 : 0;
        },
        &Scope);
    const int Result = sqlite3_step(Statement);
    sqlite3_progress_handler(Database, 0, nullptr, nullptr);
    if ((Result & 0xFF) == SQLITE_INTERRUPT && Scope.Cancelled()) {
        sqlite3_reset(Statement);
        throw EOperationCancelled();
    }
    return Result;
}

class TSQLiteStatement {
public:
    TSQLiteStatement(sqlite3* Database, sqlite3_stmt* Statement)
        : FDatabase(Database), FStatement(Statement) {}
    TSQLiteStatement(const TSQLiteStatement&) = delete;
    TSQLiteStatement& operator=(const TSQLiteStatement&) = delete;
    ~TSQLiteStatement() { sqlite3_finalize(FStatement); }

    sqlite3* Database() const { return FDatabase; }
    sqlite3_stmt* Handle() const { return FStatement; }

private:
    sqlite3* FDatabase;
    sqlite3_stmt* FStatement;
};

class TSQLiteConnection;

class TSQLiteCursor : public TDriverCursor {
public:
    TSQLiteCursor(const TSQLiteConnection& Connection, std::unique_ptr<TSQLiteStatement> Statement);

    bool Next() override;
    int FieldCount() const override { return static_cast<int>(FColumns.size()); }
    const TColumnInfo& Column(int Index) const override;
    TVariant Value(int Index) const override;

private:
    const TSQLiteConnection& FConnection;
    std::unique_ptr<TSQLiteStatement> FStatement;
    std::vector<TColumnInfo> FColumns;
    bool FOnRow = false;
    bool FDone = false;
};

class TSQLiteConnection : public TDriverConnection, public TTableStatistics {
public:
    TSQLiteConnection(std::string Path, sqlite3* Database)
        : FPath(std::move(Path)), FDatabase(Database) {}
    ~TSQLiteConnection() override { sqlite3_close_v2(FDatabase); }

    const std::string& Description() const override { return FPath; }
    TSqlBackend SqlBackend() const override { return sbSQLite; }
    bool IsSequenced() const override { return true; }
    bool OrdersByIndexOnly() const override { return true; }
    std::string Placeholder(int Number) const override { return "?" + std::to_string(Number); }

    bool TableExists(const std::string& Table) override;
    std::vector<TColumnInfo> Columns(const std::string& Table) override;
    std::vector<TIndexInfo> Indexes(const std::string& Table) override;
    std::vector<std::string> RowKey(const std::string& Table) override;
    TTableStatistics* TableStatistics() override { return this; }
    std::optional<std::int64_t> EstimatedRowCount(const std::string& Table) override;

    bool ComparesAsBytes(const std::string& Table, const TColumnInfo& Column) override {
        return SQLiteComparesAsBytes(*this, Table, Column);
    }
    bool NextValueSearchesIndex(const std::string& Table, const std::string& Column) override {
        return SQLiteNextValueSearchesIndex(*this, Table, Column);
    }
    // SQLite's DISTINCT reads every row of the index.
    bool DistinctSearchesIndex() const override { return false; }
    // SQLite orders every value.
    bool HasMinimum(TFieldType) const override { return true; }
    bool RefusesLikePattern(const std::string& Pattern) const override {
        return IsOverlongLikePattern(Pattern);
    }

    std::unique_ptr<TDriverCursor> Execute(const std::string& Sql,
                                           const std::vector<TVariant>& Params) override;
    std::int64_t ExecuteCommand(const std::string& Sql,
                                const std::vector<TVariant>& Params) override;

    // Raises the EDatabaseError for a failed call on this database.
    [[noreturn]] void Fail(const std::string& Operation) const;

private:
    std::unique_ptr<TSQLiteStatement> Prepare(const std::string& Sql,
                                              const std::vector<TVariant>& Params);
    void Bind(sqlite3_stmt* Statement, int Number, const TVariant& Value);
    void RequireTable(const std::string& Table);

    std::string FPath;
    sqlite3* FDatabase;
};

[[noreturn]] void RaiseSQLiteError(const std::string& Path, const std::string& Operation,
                                   sqlite3* Database) {
    const char* Message = Database != nullptr ? sqlite3_errmsg(Database) : "out of memory";
    throw EDatabaseError(Operation + " on SQLite database '" + Path + "': " + Utf8ToHost(Message));
}

// ---------------------------------------------------------------- cursor

TSQLiteCursor::TSQLiteCursor(const TSQLiteConnection& Connection,
                             std::unique_ptr<TSQLiteStatement> Statement)
    : FConnection(Connection), FStatement(std::move(Statement)) {
    sqlite3_stmt* Handle = FStatement->Handle();
    const int Count = sqlite3_column_count(Handle);
    for (int Index = 0; Index < Count; ++Index) {
        const char* Name = sqlite3_column_name(Handle, Index);
        const char* Declared = sqlite3_column_decltype(Handle, Index);
        TColumnInfo Column = DescribeSQLiteColumn(Utf8ToHost(Name != nullptr ? Name : ""),
                                                  Declared != nullptr ? Declared : "");
        // An expression has no declared type; its values are shown as text.
        if (Column.DataType == ftUnknown)
            Column.DataType = ftString;
        FColumns.push_back(std::move(Column));
    }
}

bool TSQLiteCursor::Next() {
    if (FDone)
        return false;
    // A failed or cancelled step ends the rows.
    FOnRow = false;
    FDone = true;
    const int Result = Step(FStatement->Handle());
    if (Result == SQLITE_ROW) {
        FOnRow = true;
        FDone = false;
        return true;
    }
    if (Result != SQLITE_DONE)
        FConnection.Fail("Reading rows");
    return false;
}

const TColumnInfo& TSQLiteCursor::Column(int Index) const {
    if (Index < 0 || Index >= FieldCount())
        throw EDatabaseError("Result column index out of range (" + std::to_string(Index) + ")");
    return FColumns[static_cast<std::size_t>(Index)];
}

TVariant TSQLiteCursor::Value(int Index) const {
    Column(Index);
    if (!FOnRow)
        throw EDatabaseError("No current row to read a value from");
    sqlite3_stmt* Handle = FStatement->Handle();
    switch (sqlite3_column_type(Handle, Index)) {
    case SQLITE_INTEGER:
        return TVariant(static_cast<std::int64_t>(sqlite3_column_int64(Handle, Index)));
    case SQLITE_FLOAT:
        return TVariant(sqlite3_column_double(Handle, Index));
    case SQLITE_TEXT: {
        const auto* Text = reinterpret_cast<const char*>(sqlite3_column_text(Handle, Index));
        return TVariant(Utf8ToHost(
            std::string_view(Text, static_cast<std::size_t>(sqlite3_column_bytes(Handle, Index)))));
    }
    case SQLITE_BLOB: {
        const auto* Bytes = static_cast<const char*>(sqlite3_column_blob(Handle, Index));
        const auto Size = static_cast<std::size_t>(sqlite3_column_bytes(Handle, Index));
        return TVariant(Bytes != nullptr ? std::string(Bytes, Size) : std::string());
    }
    default:
        return TVariant();
    }
}

// ---------------------------------------------------------------- connection

void TSQLiteConnection::Fail(const std::string& Operation) const {
    RaiseSQLiteError(FPath, Operation, FDatabase);
}

void TSQLiteConnection::Bind(sqlite3_stmt* Statement, int Number, const TVariant& Value) {
    int Result = SQLITE_OK;
    switch (Value.VarType()) {
    case varNull:
        Result = sqlite3_bind_null(Statement, Number);
        break;
    case varInteger:
        Result = sqlite3_bind_int64(Statement, Number, Value.AsInteger());
        break;
    case varBoolean:
        Result = sqlite3_bind_int(Statement, Number, Value.AsBoolean() ? 1 : 0);
        break;
    case varFloat:
        Result = sqlite3_bind_double(Statement, Number, Value.AsFloat());
        break;
    case varString:
    case varDateTime: {
        const std::string Text = HostToUtf8(Value.AsString());
        Result = sqlite3_bind_text64(Statement, Number, Text.data(), Text.size(), SQLITE_TRANSIENT,
                                     SQLITE_UTF8);
        break;
    }
    }
    if (Result != SQLITE_OK)
        Fail("Binding parameter " + std::to_string(Number));
}

std::unique_ptr<TSQLiteStatement> TSQLiteConnection::Prepare(const std::string& Sql,
                                                             const std::vector<TVariant>& Params) {
    const std::string Utf8 = HostToUtf8(Sql);
    sqlite3_stmt* Handle = nullptr;
    const char* Tail = nullptr;
    if (sqlite3_prepare_v2(FDatabase, Utf8.c_str(), static_cast<int>(Utf8.size() + 1), &Handle,
                           &Tail) != SQLITE_OK)
        Fail("Preparing \"" + Sql + "\"");
    if (Handle == nullptr)
        throw EDatabaseError("Preparing \"" + Sql + "\" on SQLite database '" + FPath +
                             "': the text holds no statement");
    auto Statement = std::make_unique<TSQLiteStatement>(FDatabase, Handle);
    if (Tail != nullptr && std::any_of(Tail, Utf8.c_str() + Utf8.size(), [](char C) {
            return !std::isspace(static_cast<unsigned char>(C)) && C != ';';
        }))
        throw EDatabaseError("Preparing \"" + Sql + "\" on SQLite database '" + FPath +
                             "': only one statement can be run at a time");
    const int Expected = sqlite3_bind_parameter_count(Handle);
    if (Expected != static_cast<int>(Params.size()))
        throw EDatabaseError("Preparing \"" + Sql + "\" on SQLite database '" + FPath +
                             "': the statement takes " + std::to_string(Expected) +
                             " parameters, " + std::to_string(Params.size()) + " given");
    for (std::size_t Index = 0; Index < Params.size(); ++Index)
        Bind(Handle, static_cast<int>(Index + 1), Params[Index]);
    return Statement;
}

std::unique_ptr<TDriverCursor> TSQLiteConnection::Execute(const std::string& Sql,
                                                          const std::vector<TVariant>& Params) {
    auto Statement = Prepare(Sql, Params);
    // Reading rows must never change the database: a query that deletes would do so
    // merely by being opened.
    if (!sqlite3_stmt_readonly(Statement->Handle()))
        throw EDatabaseError("Executing \"" + Sql + "\" on SQLite database '" + FPath +
                             "': the statement changes the database; only reading statements "
                             "return rows");
    return std::make_unique<TSQLiteCursor>(*this, std::move(Statement));
}

std::int64_t TSQLiteConnection::ExecuteCommand(const std::string& Sql,
                                               const std::vector<TVariant>& Params) {
    auto Statement = Prepare(Sql, Params);
    int Result = SQLITE_ROW;
    while (Result == SQLITE_ROW)
        Result = Step(Statement->Handle());
    if (Result != SQLITE_DONE)
        Fail("Executing \"" + Sql + "\"");
    return sqlite3_changes64(FDatabase);
}

bool TSQLiteConnection::TableExists(const std::string& Table) {
    auto Cursor = Execute(
        "SELECT 1 FROM sqlite_schema WHERE type IN ('table', 'view') AND name = ?1", {Table});
    return Cursor->Next();
}

void TSQLiteConnection::RequireTable(const std::string& Table) {
    if (!TableExists(Table))
        throw EDatabaseError("Table '" + Table + "' does not exist in SQLite database '" + FPath +
                             "'");
}

std::vector<TColumnInfo> TSQLiteConnection::Columns(const std::string& Table) {
    RequireTable(Table);
    std::vector<TColumnInfo> Result;
    // A PRIMARY KEY alone does not keep NULL out of a SQLite table; NOT NULL does.
    auto Cursor =
        Execute("SELECT name, type, \"notnull\" FROM pragma_table_info(?1) ORDER BY cid", {Table});
    while (Cursor->Next()) {
        TColumnInfo Column =
            DescribeSQLiteColumn(Cursor->Value(0).AsString(), Cursor->Value(1).AsString());
        Column.NotNull = Cursor->Value(2).AsInteger() != 0;
        Result.push_back(std::move(Column));
    }
    return Result;
}

std::vector<TIndexInfo> TSQLiteConnection::Indexes(const std::string& Table) {
    RequireTable(Table);
    std::vector<TIndexInfo> Result;
    auto List = Execute("SELECT name, \"unique\", origin FROM pragma_index_list(?1) "
                        "WHERE partial = 0 ORDER BY origin <> 'pk', name",
                        {Table});
    while (List->Next()) {
        TIndexInfo Index{List->Value(0).AsString(),         {}, List->Value(1).AsInteger() != 0,
                         List->Value(2).AsString() == "pk", {}, {}};
        auto Keys = Execute(
            "SELECT cid, name, \"desc\" FROM pragma_index_xinfo(?1) WHERE key = 1 ORDER BY seqno",
            {Index.Name});
        bool HasExpression = false;
        bool AnyDescending = false;
        std::vector<bool> Descending;
        while (Keys->Next()) {
            HasExpression = HasExpression || Keys->Value(0).AsInteger() < 0;
            Index.Fields.push_back(Keys->Value(1).AsString());
            Descending.push_back(Keys->Value(2).AsInteger() != 0);
            AnyDescending = AnyDescending || Descending.back();
        }
        if (AnyDescending)
            Index.Descending = std::move(Descending);
        // NULL is SQLite's smallest value, whichever way an index runs.
        Index.NullsFirst.assign(Index.Fields.size(), true);
        if (!HasExpression && !Index.Fields.empty())
            Result.push_back(std::move(Index));
    }
    if (!Result.empty() && Result.front().Primary)
        return Result;
    // An INTEGER PRIMARY KEY is the row id itself, and SQLite lists no index for it.
    auto Key = Execute("SELECT name, type FROM pragma_table_info(?1) WHERE pk > 0", {Table});
    std::vector<std::pair<std::string, std::string>> KeyColumns;
    while (Key->Next())
        KeyColumns.emplace_back(Key->Value(0).AsString(), Key->Value(1).AsString());
    if (KeyColumns.size() == 1 && UpperCaseAscii(KeyColumns[0].second) == "INTEGER")
        Result.insert(Result.begin(),
                      TIndexInfo{"PRIMARY", {KeyColumns[0].first}, true, true, {true}, {}});
    return Result;
}

std::vector<std::string> TSQLiteConnection::RowKey(const std::string& Table) {
    RequireTable(Table);
    auto Kind =
        Execute("SELECT type, wr FROM pragma_table_list(?1) WHERE schema = 'main'", {Table});
    if (!Kind->Next() || Kind->Value(0).AsString() != "table")
        throw EDatabaseError("Table '" + Table + "' of SQLite database '" + FPath +
                             "' has no row key: only tables can be browsed by key");
    std::vector<std::string> Result;
    if (Kind->Value(1).AsInteger() != 0) {
        // A table without row id: its primary key is unique and never NULL.
        auto Key =
            Execute("SELECT name FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk", {Table});
        while (Key->Next())
            Result.push_back(QuoteIdentifier(Key->Value(0).AsString()));
        return Result;
    }
    // The row id goes by three names; a column may have taken any of them.
    std::vector<std::string> Names;
    for (const TColumnInfo& Column : Columns(Table))
        Names.push_back(UpperCaseAscii(Column.Name));
    for (const char* Alias : {"rowid", "_rowid_", "oid"}) {
        if (std::find(Names.begin(), Names.end(), UpperCaseAscii(Alias)) == Names.end())
            return {Alias};
    }
    throw EDatabaseError("Table '" + Table + "' of SQLite database '" + FPath +
                         "' has columns named rowid, _rowid_ and oid, which hide its row id");
}

} // namespace

std::unique_ptr<TDriverConnection> OpenSQLiteConnection(const std::string& Path,
                                                        TSQLiteOpenMode Mode) {
    const int Flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX |
                      (Mode == somCreateIfMissing ? SQLITE_OPEN_CREATE : 0);
    sqlite3* Database = nullptr;
    const std::string Utf8Path = HostToUtf8(Path);
    if (sqlite3_open_v2(Utf8Path.c_str(), &Database, Flags, nullptr) != SQLITE_OK) {
        const std::string Message =
            Database != nullptr ? sqlite3_errmsg(Database) : "out of memory";
        sqlite3_close_v2(Database);
        throw EDatabaseError("Opening SQLite database '" + Path + "': " + Utf8ToHost(Message));
    }
    auto Connection = std::make_unique<TSQLiteConnection>(Path, Database);
    sqlite3_busy_timeout(Database, BusyTimeoutMilliseconds);
    sqlite3_extended_result_codes(Database, 1);
    Connection->ExecuteCommand("PRAGMA cache_size = -" + std::to_string(PageCacheKibibytes), {});
    PrepareSqliteConnection(Database);
    // Reading the schema here finds a file that is not a database, or one that another
    // connection keeps locked, when the connection opens rather than at the first query.
    try {
        Connection->ExecuteCommand("SELECT count(*) FROM sqlite_schema", {});
    } catch (const EDatabaseError&) {
        throw EDatabaseError("Opening SQLite database '" + Path +
                             "': " + Utf8ToHost(sqlite3_errmsg(Database)));
    }
    return Connection;
}

// ANALYZE leaves each table's row count at the head of its sqlite_stat1 entries; without
// them, the span of the row ids, read from both ends of the table's b-tree, is the
// estimate (exact until rows are deleted). A table without row id and without statistics
// has no estimate.
std::optional<std::int64_t> TSQLiteConnection::EstimatedRowCount(const std::string& Table) {
    const std::vector<std::string> Key = RowKey(Table);
    auto Statistics = Execute("SELECT 1 FROM sqlite_master WHERE name = 'sqlite_stat1'", {});
    if (Statistics->Next()) {
        auto Entry = Execute("SELECT stat FROM sqlite_stat1 WHERE tbl = ?1 LIMIT 1", {Table});
        if (Entry->Next()) {
            const std::string Stat = Entry->Value(0).AsString();
            std::int64_t Rows = 0;
            const auto Parsed = std::from_chars(Stat.data(), Stat.data() + Stat.size(), Rows);
            if (Parsed.ec == std::errc())
                return Rows;
        }
    }
    // RowKey names the row id by one of its unquoted aliases; a table without row id has
    // its primary key's quoted columns instead.
    const bool HasRowId = Key.size() == 1 && Key.front().front() != '"';
    if (!HasRowId)
        return std::nullopt;
    const std::string From = " FROM " + QuoteIdentifier(Table);
    auto Span = Execute("SELECT (SELECT max(" + Key.front() + ")" + From + ") - (SELECT min(" +
                            Key.front() + ")" + From + ") + 1",
                        {});
    if (!Span->Next() || Span->Value(0).IsNull())
        return 0;
    return Span->Value(0).AsInteger();
}

} // namespace vorn
