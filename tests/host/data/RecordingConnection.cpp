#include "RecordingConnection.h"

#include <utility>

namespace vorn::test {

TRecordingConnection::TRecordingConnection(TDriverConnection& Target,
                                           std::vector<TRecordedStatement>& Statements)
    : FTarget(Target), FStatements(Statements) {}

TRecordingConnection::TRecordingConnection(std::unique_ptr<TDriverConnection> Target,
                                           std::vector<TRecordedStatement>& Statements)
    : FOwnedTarget(std::move(Target)), FTarget(*FOwnedTarget), FStatements(Statements) {}

const std::string& TRecordingConnection::Description() const {
    return FTarget.Description();
}

TSqlBackend TRecordingConnection::SqlBackend() const {
    return FTarget.SqlBackend();
}

bool TRecordingConnection::IsSequenced() const {
    return FTarget.IsSequenced();
}

bool TRecordingConnection::OrdersByIndexOnly() const {
    return FTarget.OrdersByIndexOnly();
}

std::string TRecordingConnection::QuoteIdentifier(const std::string& Name) const {
    return FTarget.QuoteIdentifier(Name);
}

std::string TRecordingConnection::QuoteTableName(const std::string& Table) const {
    return FTarget.QuoteTableName(Table);
}

std::string TRecordingConnection::Placeholder(int Number) const {
    return FTarget.Placeholder(Number);
}

bool TRecordingConnection::TableExists(const std::string& Table) {
    return FTarget.TableExists(Table);
}

std::vector<TColumnInfo> TRecordingConnection::Columns(const std::string& Table) {
    return FTarget.Columns(Table);
}

std::vector<TIndexInfo> TRecordingConnection::Indexes(const std::string& Table) {
    return FTarget.Indexes(Table);
}

std::vector<std::string> TRecordingConnection::RowKey(const std::string& Table) {
    return FTarget.RowKey(Table);
}

bool TRecordingConnection::ComparesAsBytes(const std::string& Table, const TColumnInfo& Column) {
    return FTarget.ComparesAsBytes(Table, Column);
}

bool TRecordingConnection::NextValueSearchesIndex(const std::string& Table,
                                                  const std::string& Column) {
    return FTarget.NextValueSearchesIndex(Table, Column);
}

bool TRecordingConnection::DistinctSearchesIndex() const {
    return FTarget.DistinctSearchesIndex();
}

bool TRecordingConnection::HasMinimum(TFieldType Type) const {
    return FTarget.HasMinimum(Type);
}

bool TRecordingConnection::RefusesLikePattern(const std::string& Pattern) const {
    return FTarget.RefusesLikePattern(Pattern);
}

std::unique_ptr<TDriverCursor> TRecordingConnection::Execute(const std::string& Sql,
                                                             const std::vector<TVariant>& Params) {
    FStatements.push_back({Sql, Params});
    return FTarget.Execute(Sql, Params);
}

std::int64_t TRecordingConnection::ExecuteCommand(const std::string& Sql,
                                                  const std::vector<TVariant>& Params) {
    return FTarget.ExecuteCommand(Sql, Params);
}

} // namespace vorn::test
