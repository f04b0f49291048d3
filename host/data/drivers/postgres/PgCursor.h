#pragma once

#include "host/data/drivers/postgres/PgSession.h"

#include <string>

namespace vorn {

// A query read forward in pages through a server-side cursor, so that a large
// result never has to fit in memory at once. The cursor lives in its session's
// cursor transaction: when that was lost (the connection broke, or a statement
// failed it), fetching raises.
class TPgCursor {
public:
    // Declares the cursor; raises EDatabaseError when the server rejects the query.
    TPgCursor(TPgSession& Session, const std::string& Sql, const TPgParams& Params, int PageSize);
    TPgCursor(const TPgCursor&) = delete;
    TPgCursor& operator=(const TPgCursor&) = delete;
    ~TPgCursor();

    // The next page of at most PageSize rows; a page without rows after the last.
    // The cursor is closed on the server as soon as a page comes back short. Once
    // a fetch failed, every later one raises too.
    TPgResult FetchPage();

private:
    void Close() noexcept;

    TPgSession& FSession;
    std::string FName;
    unsigned FEpoch;
    int FPageSize;
    bool FOpen = true;
    bool FFailed = false;
};

} // namespace vorn
