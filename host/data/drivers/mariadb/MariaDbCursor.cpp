#include "host/data/drivers/mariadb/MariaDbCursor.h"

#include "host/data/drivers/DatabaseError.h"

namespace vorn {

TMariaDbCursor::TMariaDbCursor(TMariaDbSessionPool& Pool, std::unique_ptr<TMariaDbSession> Session,
                               std::unique_ptr<TMariaDbStatement> Statement)
    : FPool(Pool), FSession(std::move(Session)), FStatement(std::move(Statement)),
      FColumns(FStatement->Columns()), FDescription(FSession->Description()) {
    if (FStatement->Exhausted())
        Finish();
}

TMariaDbCursor::~TMariaDbCursor() {
    Finish();
}

// The statement is closed before its connection is given back or closed.
void TMariaDbCursor::Finish() noexcept {
    FStatement.reset();
    if (FSession)
        FPool.Release(std::move(FSession));
}

bool TMariaDbCursor::Next() {
    if (!FStatement)
        return false;
    try {
        if (FStatement->Next())
            return true;
    } catch (const EDatabaseError&) {
        Finish();
        throw;
    }
    Finish();
    return false;
}

const TColumnInfo& TMariaDbCursor::Column(int Index) const {
    if (Index < 0 || Index >= FieldCount())
        throw EDatabaseError("TMariaDbCursor.Column() " + FDescription + ": Column index " +
                             std::to_string(Index) + " out of range");
    return FColumns[static_cast<std::size_t>(Index)];
}

TVariant TMariaDbCursor::Value(int Index) const {
    if (!FStatement)
        throw EDatabaseError("TMariaDbCursor.Value() " + FDescription +
                             ": There is no current row");
    return FStatement->Value(Index);
}

} // namespace vorn
