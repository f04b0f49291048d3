#include "apps/samplegen/SampleSchemaSql.h"

#include "host/components/model/Exception.h"
#include "host/data/drivers/mariadb/MariaDbConnInfo.h"

#include <errmsg.h>
#include <mysql.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <set>

namespace vorn::sampledata {

namespace {

// Bytes of rows collected before they are loaded: few statements, little memory.
constexpr std::size_t LoadChunkBytes = 4 << 20;

// Text columns compare byte by byte without trailing-blank padding, so that a prefix
// search on an index (LIKE 'Mc%', ranges on a key) finds exactly what the other backends
// find.
constexpr const char* TableOptions =
    " ENGINE=InnoDB DEFAULT CHARSET=utf8mb4 COLLATE=utf8mb4_nopad_bin";

std::string MariaDbType(const TSampleColumn& Column) {
    switch (Column.Type) {
    case sctInteger:
        return "INT";
    case sctText:
        return "VARCHAR(" + std::to_string(Column.Size) + ")";
    case sctNumeric:
        return "DECIMAL(12,2)";
    case sctDate:
        return "DATE";
    }
    return "TEXT";
}

// The rows that one LOAD DATA LOCAL statement reads, handed to the client library when it
// asks for the "file" the statement names.
struct TLoadSource {
    const std::string* Data = nullptr;
    std::size_t Offset = 0;
};

int OpenLoadSource(void** Handle, const char*, void* Source) {
    static_cast<TLoadSource*>(Source)->Offset = 0;
    *Handle = Source;
    return 0;
}

int ReadLoadSource(void* Handle, char* Buffer, unsigned int Size) {
    auto& Source = *static_cast<TLoadSource*>(Handle);
    const std::size_t Count = std::min<std::size_t>(Size, Source.Data->size() - Source.Offset);
    std::memcpy(Buffer, Source.Data->data() + Source.Offset, Count);
    Source.Offset += Count;
    return static_cast<int>(Count);
}

void CloseLoadSource(void*) {}

int LoadSourceError(void*, char* Message, unsigned int Size) {
    std::snprintf(Message, Size, "the sample rows could not be read");
    return CR_UNKNOWN_ERROR;
}

// The name a table is built under: the sample's own tables stay as they are until the new
// ones are complete.
std::string BuildingName(const std::string& Name) {
    return Name + "__building";
}

// Where a replaced table waits between the swap and its drop.
std::string ReplacedName(const std::string& Name) {
    return Name + "__replaced";
}

// The client library's connection, closed with the object that holds it.
using TConnectionHandle = std::unique_ptr<MYSQL, decltype(&mysql_close)>;

// MariaDB commits every CREATE and DROP at once, so a target cannot hide its work in a
// transaction. It builds each table under another name instead and puts the finished
// tables in place at Commit with one RENAME TABLE, which the server runs as a whole; with
// Replace the tables they displace are dropped only then. A target destroyed before
// Commit drops the tables it built and leaves the existing ones untouched.
class TMariaDbTarget final : public TSampleTarget {
public:
    TMariaDbTarget(const std::string& ConnInfo, bool Replace)
        : FConnection(mysql_init(nullptr), &mysql_close) {
        const TMariaDbConnInfo Info = ParseMariaDbConnInfo(ConnInfo);
        if (FConnection == nullptr)
            throw Exception("CreateMariaDbTarget() Out of memory");
        MYSQL* Connection = FConnection.get();
        mysql_optionsv(Connection, MYSQL_SET_CHARSET_NAME, "utf8mb4");
        const unsigned LocalFiles = 1;
        mysql_optionsv(Connection, MYSQL_OPT_LOCAL_INFILE, &LocalFiles);
        if (!Info.UnixSocket.empty()) {
            const unsigned Protocol = MYSQL_PROTOCOL_SOCKET;
            mysql_optionsv(Connection, MYSQL_OPT_PROTOCOL, &Protocol);
        }
        const auto OrNull = [](const std::string& Text) {
            return Text.empty() ? nullptr : Text.c_str();
        };
        if (!mysql_real_connect(Connection, OrNull(Info.Host), OrNull(Info.User),
                                OrNull(Info.Password), OrNull(Info.Database), Info.Port,
                                OrNull(Info.UnixSocket), 0))
            throw Exception(std::string("CreateMariaDbTarget() Cannot connect: ") +
                            mysql_error(Connection));
        // Every value the rows could not hold raises; identifiers are double-quoted as on
        // the other backends.
        Run("SET SESSION sql_mode = 'STRICT_ALL_TABLES,ANSI_QUOTES,NO_ENGINE_SUBSTITUTION'");
        mysql_set_local_infile_handler(Connection, &OpenLoadSource, &ReadLoadSource,
                                       &CloseLoadSource, &LoadSourceError, &FSource);
        const std::set<std::string> Existing = ExistingTables();
        for (const TSampleTable& Table : SampleSchema()) {
            if (Existing.count(Table.Name) != 0) {
                if (!Replace)
                    throw Exception("CreateMariaDbTarget() The table " + Table.Name +
                                    " already exists");
                FReplaced.push_back(Table.Name);
            }
            // What an earlier target that could not clean up (its process ended) left.
            for (const std::string& Leftover : {BuildingName(Table.Name), ReplacedName(Table.Name)})
                if (Existing.count(Leftover) != 0)
                    Run("DROP TABLE " + QuoteIdentifier(Leftover));
        }
    }

    ~TMariaDbTarget() override {
        if (!FCommitted && FConnection != nullptr)
            for (const std::string& Name : FCreated)
                mysql_query(
                    FConnection.get(),
                    ("DROP TABLE IF EXISTS " + QuoteIdentifier(BuildingName(Name))).c_str());
    }

    void BeginTable(const TSampleTable& Table) override {
        if (FTable != nullptr)
            throw Exception("TMariaDbTarget.BeginTable() The table " + FTable->Name +
                            " was not ended");
        FBuilding = Table;
        FBuilding.Name = BuildingName(Table.Name);
        Run(CreateTableSql(FBuilding, &MariaDbType) + TableOptions);
        FCreated.push_back(Table.Name);
        FTable = &Table;
    }

    void AddRow(const std::vector<TSampleValue>& Row) override {
        CheckRow("TMariaDbTarget.AddRow()", FTable, Row);
        AppendTextRow(FPending, Row);
        if (FPending.size() >= LoadChunkBytes)
            LoadPending();
    }

    // The secondary indexes are built once the rows are in: one sort per index instead
    // of a tree kept current row by row.
    void EndTable(const TSampleTable& Table) override {
        if (FTable != &Table)
            throw Exception("TMariaDbTarget.EndTable() The table " + Table.Name + " was not begun");
        LoadPending();
        FTable = nullptr;
        // NULLs come first in an index already, and each entry of a secondary index ends
        // in the primary key, which orders the rows of equal values.
        for (const TSampleIndex& Index : Table.Indexes)
            Run(CreateIndexSql(FBuilding, Index, {}));
    }

    void Commit() override {
        if (FTable != nullptr)
            throw Exception("TMariaDbTarget.Commit() The table " + FTable->Name + " was not ended");
        // Statistics now, so that the first reader's plans see the finished tables.
        for (const std::string& Name : FCreated)
            Run("ANALYZE TABLE " + QuoteIdentifier(BuildingName(Name)));
        std::string Rename;
        for (const std::string& Name : FReplaced)
            Rename += ", " + QuoteIdentifier(Name) + " TO " + QuoteIdentifier(ReplacedName(Name));
        for (const std::string& Name : FCreated)
            Rename += ", " + QuoteIdentifier(BuildingName(Name)) + " TO " + QuoteIdentifier(Name);
        if (!Rename.empty())
            Run("RENAME TABLE " + Rename.substr(2));
        FCommitted = true;
        for (const std::string& Name : FReplaced)
            Run("DROP TABLE " + QuoteIdentifier(ReplacedName(Name)));
        FConnection.reset();
    }

private:
    std::set<std::string> ExistingTables() {
        Query("SELECT table_name FROM information_schema.tables WHERE table_schema = DATABASE()");
        std::set<std::string> Names;
        MYSQL_RES* Result = mysql_store_result(FConnection.get());
        if (Result == nullptr)
            Fail("SELECT table_name");
        while (MYSQL_ROW Row = mysql_fetch_row(Result))
            Names.insert(Row[0]);
        mysql_free_result(Result);
        return Names;
    }

    // The collected rows in one LOAD DATA LOCAL statement, which reads the tab-separated
    // text of AppendTextRow with its default field and line settings. The server turns
    // a value it cannot store into a warning rather than an error for a local load, so
    // a warning fails the load.
    void LoadPending() {
        if (FPending.empty())
            return;
        FSource.Data = &FPending;
        Run("LOAD DATA LOCAL INFILE 'sample-rows' INTO TABLE " + QuoteIdentifier(FBuilding.Name) +
            " CHARACTER SET utf8mb4");
        if (mysql_warning_count(FConnection.get()) > 0)
            throw Exception("TMariaDbTarget: loading " + FTable->Name +
                            " gave warnings: " + FirstWarning());
        FPending.clear();
    }

    std::string FirstWarning() {
        Query("SHOW WARNINGS LIMIT 1");
        std::string Message;
        if (MYSQL_RES* Result = mysql_store_result(FConnection.get())) {
            if (MYSQL_ROW Row = mysql_fetch_row(Result); Row != nullptr && Row[2] != nullptr)
                Message = Row[2];
            mysql_free_result(Result);
        }
        return Message;
    }

    void Query(const std::string& Sql) {
        if (mysql_real_query(FConnection.get(), Sql.data(), Sql.size()) != 0)
            Fail(Sql);
    }

    // Runs a statement and discards any rows it returns (ANALYZE TABLE reports some).
    void Run(const std::string& Sql) {
        Query(Sql);
        if (MYSQL_RES* Result = mysql_store_result(FConnection.get()))
            mysql_free_result(Result);
        else if (mysql_field_count(FConnection.get()) != 0)
            Fail(Sql);
    }

    [[noreturn]] void Fail(const std::string& Sql) {
        throw Exception("TMariaDbTarget: cannot run " + Sql.substr(0, 80) + ": " +
                        mysql_error(FConnection.get()));
    }

    TConnectionHandle FConnection;
    const TSampleTable* FTable = nullptr;
    TSampleTable FBuilding; // the table begun, under the name it is built with
    std::string FPending;   // rows not loaded yet
    TLoadSource FSource;
    std::vector<std::string> FCreated;  // the tables this target built, by their final names
    std::vector<std::string> FReplaced; // the existing tables that Commit replaces
    bool FCommitted = false;
};

} // namespace

std::unique_ptr<TSampleTarget> CreateMariaDbTarget(const std::string& ConnInfo, bool Replace) {
    return std::make_unique<TMariaDbTarget>(ConnInfo, Replace);
}

} // namespace vorn::sampledata
