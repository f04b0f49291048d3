#include "apps/samplegen/SampleSchemaSql.h"

#include "host/components/Exception.h"

#include <libpq-fe.h>

#include <charconv>
#include <optional>

namespace vorn::sampledata {

namespace {

// Rows sent in one INSERT: fewer round trips, and far below the server's limit of
// 65535 parameters for any table of the schema.
constexpr std::size_t RowsPerInsert = 500;

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

    void BeginTable(const TSampleTable& Table) override {
        Flush();
        Run(CreateTableSql(Table, &PostgresType));
        FTable = &Table;
    }

    void AddRow(const std::vector<TSampleValue>& Row) override {
        if (FTable == nullptr)
            throw Exception("TPostgresTarget.AddRow() No table was begun");
        if (Row.size() != FTable->Columns.size())
            throw Exception("TPostgresTarget.AddRow() The row has " + std::to_string(Row.size()) +
                            " values for " + std::to_string(FTable->Columns.size()) + " columns");
        for (const TSampleValue& Value : Row)
            FPending.push_back(ValueText(Value));
        if (FPending.size() >= RowsPerInsert * FTable->Columns.size())
            Flush();
    }

    void EndTable(const TSampleTable& Table) override {
        Flush();
        for (const TSampleIndex& Index : Table.Indexes)
            Run(CreateIndexSql(Table, Index));
        Run("ANALYZE " + QuoteIdentifier(Table.Name));
        FTable = nullptr;
    }

    void Commit() override {
        Flush();
        Run("COMMIT");
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

    // Sends the rows collected so far as one INSERT with bound values.
    void Flush() {
        if (FPending.empty())
            return;
        const std::size_t Columns = FTable->Columns.size();
        std::string Sql = "INSERT INTO " + QuoteIdentifier(FTable->Name) + " VALUES ";
        for (std::size_t Index = 0; Index < FPending.size(); ++Index) {
            const bool RowStart = Index % Columns == 0;
            if (RowStart)
                Sql += Index == 0 ? "(" : "), (";
            else
                Sql += ", ";
            Sql += "$" + std::to_string(Index + 1);
        }
        Sql += ")";
        PQclear(Execute(Sql, FPending));
        FPending.clear();
    }

    PGresult* Execute(const std::string& Sql,
                      const std::vector<std::optional<std::string>>& Params) {
        std::vector<const char*> Values;
        for (const auto& Param : Params)
            Values.push_back(Param ? Param->c_str() : nullptr);
        PGresult* Result = PQexecParams(FConnection, Sql.c_str(), static_cast<int>(Values.size()),
                                        nullptr, Values.data(), nullptr, nullptr, 0);
        const ExecStatusType Status = PQresultStatus(Result);
        if (Status != PGRES_COMMAND_OK && Status != PGRES_TUPLES_OK) {
            const std::string Message = PQresultErrorMessage(Result);
            PQclear(Result);
            throw Exception("TPostgresTarget: cannot run " + Sql.substr(0, 80) + ": " + Message);
        }
        return Result;
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
    std::vector<std::optional<std::string>> FPending;
};

} // namespace

std::unique_ptr<TSampleTarget> CreatePostgresTarget(const std::string& ConnInfo, bool Replace) {
    return std::make_unique<TPostgresTarget>(ConnInfo, Replace);
}

} // namespace vorn::sampledata
