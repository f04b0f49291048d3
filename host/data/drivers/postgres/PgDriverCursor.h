#pragma once

#include "host/data/drivers/Driver.h"
#include "host/data/drivers/postgres/PgCursor.h"

#include <memory>
#include <vector>

namespace vorn {

// The rows of one statement on PostgreSQL, as the datasets read them: a query
// comes through a server-side cursor a page at a time; any other statement
// (INSERT ... RETURNING) brings its rows at once. The session must outlive it.
class TPgDriverCursor : public TDriverCursor {
public:
    // Declares a cursor for the query Sql and reads the first page, so that a query
    // the server rejects raises here. Sql and Params are UTF-8.
    TPgDriverCursor(TPgSession& Session, const std::string& Sql, const TPgParams& Params,
                    int PageSize);
    // The rows of a statement that already ran on Session.
    TPgDriverCursor(TPgSession& Session, TPgResult Rows);

    bool Next() override;
    int FieldCount() const override { return static_cast<int>(FColumns.size()); }
    const TColumnInfo& Column(int Index) const override;
    TVariant Value(int Index) const override;

private:
    void DescribeColumns();

    TPgSession& FSession;
    std::unique_ptr<TPgCursor> FCursor; // none for a statement that is not a query
    TPgResult FPage;
    std::vector<TColumnInfo> FColumns;
    // The current row within FPage; -1 before the first row of the page.
    int FRow = -1;
    bool FEnded = false;
};

// Whether Sql (UTF-8) is a query that a server-side cursor can run: it begins,
// after blanks, comments and opening parentheses, with SELECT, VALUES, TABLE or WITH.
bool PgIsQuery(const std::string& Sql);

// The row count of a query that ends in "LIMIT <n>" (any case, trailing blanks), else -1.
int PgTrailingLimit(const std::string& Sql);

} // namespace vorn
