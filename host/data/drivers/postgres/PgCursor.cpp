#include "host/data/drivers/postgres/PgCursor.h"

namespace vorn {

namespace {
const char* const FetchOperation = "TPgCursor.Fetch()";
}

TPgCursor::TPgCursor(TPgSession& Session, const std::string& Sql, const TPgParams& Params,
                     int PageSize)
    : FSession(Session), FName(Session.DeclareCursor("TPgCursor.Open()", Sql, Params)),
      FEpoch(Session.CursorEpoch()), FPageSize(PageSize > 0 ? PageSize : 1) {}

TPgCursor::~TPgCursor() {
    Close();
}

TPgResult TPgCursor::FetchPage() {
    // A failed query stays failed: reading on would pass off what is missing as
    // the end of the rows.
    if (FFailed || (FOpen && FSession.CursorEpoch() != FEpoch)) {
        FFailed = true;
        FOpen = false;
        FSession.Raise(FetchOperation, "The query was closed by a lost connection or a failed "
                                       "statement; open it again");
    }
    if (!FOpen)
        return TPgResult();
    TPgResult Page;
    try {
        Page = FSession.FetchCursor(FetchOperation, FName, FPageSize);
    } catch (...) {
        FFailed = true;
        Close();
        throw;
    }
    if (Page.RowCount() < FPageSize)
        Close();
    return Page;
}

void TPgCursor::Close() noexcept {
    if (!FOpen)
        return;
    FOpen = false;
    if (FSession.CursorEpoch() == FEpoch)
        FSession.CloseCursor(FName);
}

} // namespace vorn
