#include "host/data/drivers/postgres/PgResult.h"

#include "host/components/model/Exception.h"
#include "host/components/text/CodePage.h"

#include <libpq-fe.h>

#include <cstdlib>
#include <utility>

namespace vorn {

TPgResult::TPgResult(TPgResult&& Other) noexcept : FResult(std::exchange(Other.FResult, nullptr)) {}

TPgResult& TPgResult::operator=(TPgResult&& Other) noexcept {
    if (this != &Other) {
        PQclear(FResult);
        FResult = std::exchange(Other.FResult, nullptr);
    }
    return *this;
}

TPgResult::~TPgResult() {
    PQclear(FResult);
}

int TPgResult::Status() const {
    return PQresultStatus(FResult);
}

std::string TPgResult::ErrorMessage() const {
    const char* Primary = FResult ? PQresultErrorField(FResult, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    return Primary ? Utf8ToHost(Primary) : std::string();
}

std::string TPgResult::SqlState() const {
    const char* Code = FResult ? PQresultErrorField(FResult, PG_DIAG_SQLSTATE) : nullptr;
    return Code ? Code : std::string();
}

int TPgResult::RowCount() const {
    return FResult ? PQntuples(FResult) : 0;
}

int TPgResult::ColumnCount() const {
    return FResult ? PQnfields(FResult) : 0;
}

std::string TPgResult::ColumnName(int Column) const {
    CheckColumn(Column);
    return PQfname(FResult, Column);
}

unsigned TPgResult::ColumnType(int Column) const {
    CheckColumn(Column);
    return PQftype(FResult, Column);
}

int TPgResult::ColumnModifier(int Column) const {
    CheckColumn(Column);
    return PQfmod(FResult, Column);
}

long long TPgResult::AffectedRows() const {
    const char* Count = FResult ? PQcmdTuples(FResult) : "";
    return *Count ? std::atoll(Count) : 0;
}

bool TPgResult::IsNull(int Row, int Column) const {
    CheckCell(Row, Column);
    return PQgetisnull(FResult, Row, Column) != 0;
}

std::string TPgResult::Value(int Row, int Column) const {
    CheckCell(Row, Column);
    return std::string(PQgetvalue(FResult, Row, Column),
                       static_cast<size_t>(PQgetlength(FResult, Row, Column)));
}

void TPgResult::CheckColumn(int Column) const {
    VORN_ASSERT(FResult != nullptr);
    VORN_ASSERT(Column >= 0 && Column < ColumnCount());
}

void TPgResult::CheckCell(int Row, int Column) const {
    CheckColumn(Column);
    VORN_ASSERT(Row >= 0 && Row < RowCount());
}

} // namespace vorn
