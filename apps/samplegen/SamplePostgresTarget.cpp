#include "apps/samplegen/SampleSchemaSql.h"

#include "host/components/model/Exception.h"

#include <libpq-fe.h>

#include <charconv>
#include <optional>

namespace vorn::sampledata {

namespace {

// Bytes of COPY data collected before they are sent: few calls, little memory.
constexpr std::size_t CopyChunkBytes = 1 << 20;

std::string PostgresType(const TSampleColumn& Column) {
    switch (Column.Type) {
    case sctInteger:
        return "integer";
    case sctText:
        return "varchar(" + std::to_string(Column.Size) + ")";
    case sctNumeric:
        return "numeric(12,2)";
    case sctDate:
        return "date";
    }
    return "text";
}

// A value in PostgreSQL's text format; a float is written with the fewest digits that
// read back as the same number.
std::optional<std::string> ValueText(const TSampleValue& Value) {
    if (std::holds_alternative<std::monostate>(Value))
        return std::nullopt;
    if (const auto* Integer = std::get_if<std::int64_t>(&Value))
        return std::to_string(*Integer);
    if (const auto* Number = std::get_if<double>(&Value)) {
        char Buffer[32];
        const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, *Number);
        return std::string(Buffer, Result.ptr);
    }
    return std::get<std::string>(Value);
}

// Appends a value as a field of COPY's text format: NULL is \N, and a backslash or a
// character that separates fields or rows is escaped.
void AppendCopyField(std::string& Data, const std::optional<std::string>& Text) {
    if (!Text) {
        Data += "\\N";
        return;
    }
    for (const char Character : *Text) {
        switch (Character) {
        case '\\':
            Data += "\\\\";
            break;
        case '\t':
            Data += "\\t";
            break;
        case '\n':
            Data += "\\n";
            break;
        case '\r':
            Data += "\\r";
            break;
        default:
            Data += Character;
        }
    }
}

class TPostgresTarget final : public TSampleTarget {
public:
    TPostgresTarget(const std::string& ConnInfo, bool Replace) {
        FConnection = PQconnectdb(ConnInfo.c_str());
        if (PQstatus(FConnection) != CONNECTION_OK) {
            const std::string Message = PQerrorMessage(FConnection);
            PQfinish(FConnection);
            FConnection = nullptr;
            throw Exception("CreatePostgresTarget() Cannot connect: " + Message);
        }
        try {
            Run("SET client_min_messages = warning");
            // Room to sort the keys of a large table's indexes in memory rather than on disk.
            Run("SET maintenance_work_mem = '256MB'");
            Run("BEGIN");
            for (const TSampleTable& Table : SampleSchema()) {
                if (!TableExists(Table.Name))
                    continue;
                if (!Replace)
                    throw Exception("CreatePostgresTarget() The table " + Table.Name +
                                    " already exists");
                Run("DROP TABLE " + QuoteIdentifier(Table.Name) + " CASCADE");
            }
        } catch (...) {
            Discard();
            throw;
        }
    }

    ~TPostgresTarget() override { Discard(); }

    // The rows go in through COPY, the server's fastest way in: one stream per table.
    void BeginTable(const TSampleTable& Table) override {
        if (FTable != nullptr)
            throw Exception("TPostgresTarget.BeginTable() The table " + FTable->Name +
                            " was not ended");
        Run(CreateTableSql(Table, &PostgresType));
        PGresult* Result =
            PQexec(FConnection, ("COPY " + QuoteIdentifier(Table.Name) + " FROM STDIN").c_str());
        const bool Copying = PQresultStatus(Result) == PGRES_COPY_IN;
        const std::string Message = PQresultErrorMessage(Result);
        PQclear(Result);
        if (!Copying)
            throw Exception("TPostgresTarget: cannot copy into " + Table.Name + ": " + Message);
        FTable = &Table;
    }

    void AddRow(const std::vector<TSampleValue>& Row) override {
        if (FTable == nullptr)
            throw Exception("TPostgresTarget.AddRow() No table was begun");
        if (Row.size() != FTable->Columns.size())
            throw Exception("TPostgresTarget.AddRow() The row has " + std::to_string(Row.size()) +
                            " values for " + std::to_string(FTable->Columns.size()) + " columns");
        for (std::size_t Index = 0; Index < Row.size(); ++Index) {
            if (Index > 0)
                FPending += '\t';
            AppendCopyField(FPending, ValueText(Row[Index]));
        }
        FPending += '\n';
        if (FPending.size() >= CopyChunkBytes)
            SendPending();
    }

    void EndTable(const TSampleTable& Table) override {
        if (FTable != &Table)
            throw Exception("TPostgresTarget.EndTable() The table " + Table.Name +
                            " was not begun");
        SendPending();
        if (PQputCopyEnd(FConnection, nullptr) != 1)
            throw Exception("TPostgresTarget: cannot end the copy into " + Table.Name + ": " +
                            PQerrorMessage(FConnection));
        PQclear(CheckedResult(PQgetResult(FConnection), "COPY " + Table.Name));
        // The end of a COPY is followed by a null result once all was read.
        while (PGresult* Extra = PQgetResult(FConnection))
            PQclear(Extra);
        FTable = nullptr;
        for (const TSampleIndex& Index : Table.Indexes)
            Run(CreateIndexSql(Table, Index, {.NullsFirst = true, .EndsInKey = true}));
        FWritten.push_back(Table.Name);
    }

    void Commit() override {
        if (FTable != nullptr)
            throw Exception("TPostgresTarget.Commit() The table " + FTable->Name +
                            " was not ended");
        Run("COMMIT");
        // Outside the transaction, as VACUUM must be: the rows' visibility is recorded and
        // the statistics gathered now, so that the first reader does not pay for it and
        // index-only scans work from the start.
        for (const std::string& Name : FWritten)
            Run("VACUUM (ANALYZE) " + QuoteIdentifier(Name));
        PQfinish(FConnection);
        FConnection = nullptr;
    }

private:
    bool TableExists(const std::string& Name) {
        const std::vector<std::optional<std::string>> Params = {QuoteIdentifier(Name)};
        PGresult* Result = Execute("SELECT to_regclass($1) IS NOT NULL", Params);
        const bool Exists = std::string(PQgetvalue(Result, 0, 0)) == "t";
        PQclear(Result);
        return Exists;
    }

    void SendPending() {
        if (FPending.empty())
            return;
        if (PQputCopyData(FConnection, FPending.data(), static_cast<int>(FPending.size())) != 1)
            throw Exception("TPostgresTarget: cannot copy into " + FTable->Name + ": " +
                            PQerrorMessage(FConnection));
        FPending.clear();
    }

    static PGresult* CheckedResult(PGresult* Result, const std::string& Sql) {
        const ExecStatusType Status = PQresultStatus(Result);
        if (Status == PGRES_COMMAND_OK || Status == PGRES_TUPLES_OK)
            return Result;
        const std::string Message = PQresultErrorMessage(Result);
        PQclear(Result);
        throw Exception("TPostgresTarget: cannot run " + Sql.substr(0, 80) + ": " + Message);
    }

    PGresult* Execute(const std::string& Sql,
                      const std::vector<std::optional<std::string>>& Params) {
        std::vector<const char*> Values;
        for (const auto& Param : Params)
            Values.push_back(Param ? Param->c_str() : nullptr);
        return CheckedResult(PQexecParams(FConnection, Sql.c_str(), static_cast<int>(Values.size()),
                                          nullptr, Values.data(), nullptr, nullptr, 0),
                             Sql);
    }

    void Run(const std::string& Sql) { PQclear(Execute(Sql, {})); }

    // Ends the connection; a transaction that was not committed is rolled back by the
    // server, so that an unfinished sample database leaves nothing behind.
    void Discard() noexcept {
        if (FConnection != nullptr)
            PQfinish(FConnection);
        FConnection = nullptr;
    }

    PGconn* FConnection = nullptr;
    const TSampleTable* FTable = nullptr;
    std::string FPending;              // COPY data not sent yet
    std::vector<std::string> FWritten; // the tables ended so far
};

} // namespace

std::unique_ptr<TSampleTarget> CreatePostgresTarget(const std::string& ConnInfo, bool Replace) {
    return std::make_unique<TPostgresTarget>(ConnInfo, Replace);
}

} // namespace vorn::sampledata
