#pragma once

#include "host/data/drivers/Driver.h"
#include "host/data/drivers/mariadb/MariaDbSession.h"
#include "host/data/drivers/mariadb/MariaDbStatement.h"

#include <memory>
#include <vector>

namespace vorn {

// The rows of one statement, read from the server as Next asks for them, on a
// connection that the cursor holds until its rows are exhausted or it is freed; then the
// connection goes back to the pool. The pool must outlive the cursor.
class TMariaDbCursor : public TDriverCursor {
public:
    TMariaDbCursor(TMariaDbSessionPool& Pool, std::unique_ptr<TMariaDbSession> Session,
                   std::unique_ptr<TMariaDbStatement> Statement);
    ~TMariaDbCursor() override;

    bool Next() override;
    int FieldCount() const override { return static_cast<int>(FColumns.size()); }
    const TColumnInfo& Column(int Index) const override;
    TVariant Value(int Index) const override;

private:
    void Finish() noexcept;

    TMariaDbSessionPool& FPool;
    std::unique_ptr<TMariaDbSession> FSession;
    std::unique_ptr<TMariaDbStatement> FStatement;
    std::vector<TColumnInfo> FColumns;
    std::string FDescription;
};

} // namespace vorn
