#pragma once

#include "host/data/drivers/Driver.h"

#include <memory>
#include <string>
#include <vector>

namespace vorn::test {

struct TRecordedStatement {
    std::string Sql;
    std::vector<TVariant> Params;
};

// A connection that passes everything to a target connection and keeps every statement
// that returns rows in Statements, so that a test can check (or ask the server to plan)
// exactly what a dataset issued. Register it as an alias of its own for the dataset under
// test; statements that change data pass through unrecorded, and so do those that the
// target runs to answer a question about a table's columns or plans (ComparesAsBytes,
// NextValueSearchesIndex).
class TRecordingConnection : public TDriverConnection {
public:
    // Target must outlive the recording connection.
    TRecordingConnection(TDriverConnection& Target, std::vector<TRecordedStatement>& Statements);
    // The recording connection owns Target.
    TRecordingConnection(std::unique_ptr<TDriverConnection> Target,
                         std::vector<TRecordedStatement>& Statements);

    const std::string& Description() const override;
    TSqlBackend SqlBackend() const override;
    bool IsSequenced() const override;
    bool OrdersByIndexOnly() const override;
    std::string QuoteIdentifier(const std::string& Name) const override;
    std::string QuoteTableName(const std::string& Table) const override;
    std::string Placeholder(int Number) const override;
    bool TableExists(const std::string& Table) override;
    std::vector<TColumnInfo> Columns(const std::string& Table) override;
    std::vector<TIndexInfo> Indexes(const std::string& Table) override;
    std::vector<std::string> RowKey(const std::string& Table) override;
    bool ComparesAsBytes(const std::string& Table, const TColumnInfo& Column) override;
    bool NextValueSearchesIndex(const std::string& Table, const std::string& Column) override;
    bool DistinctSearchesIndex() const override;
    bool HasMinimum(TFieldType Type) const override;
    bool RefusesLikePattern(const std::string& Pattern) const override;
    std::unique_ptr<TDriverCursor> Execute(const std::string& Sql,
                                           const std::vector<TVariant>& Params) override;
    std::int64_t ExecuteCommand(const std::string& Sql,
                                const std::vector<TVariant>& Params) override;

private:
    std::unique_ptr<TDriverConnection> FOwnedTarget;
    TDriverConnection& FTarget;
    std::vector<TRecordedStatement>& FStatements;
};

} // namespace vorn::test
