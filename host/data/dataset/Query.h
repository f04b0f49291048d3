#pragma once

#include "host/components/model/Strings.h"
#include "host/data/dataset/BDEDataSet.h"
#include "host/data/dataset/DistinctWalk.h"
#include "host/data/sql/SqlDialect.h"

#include <deque>
#include <memory>
#include <string>

namespace vorn {

// The result of a SELECT statement. It is read forward in pages; the query keeps a
// bounded cache of recent rows, and going back past the cache runs the statement
// again. A query has no key: its bookmarks are record positions, and it has no order
// fields (IndexFieldCount is 0).
class TQuery : public TBDEDataSet {
public:
    explicit TQuery(TComponent* AOwner);
    ~TQuery() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // The statement, in the system's SQL dialect (one SELECT); changing it closes an open
    // query. It is translated for the database when the query opens; its literals are
    // bound as parameters. A filter restricts the statement's rows: the query runs
    // SELECT * FROM (statement) WHERE filter.
    TStrings* SQL() const { return FSQL.get(); }
    // True when the database is a local file database.
    bool Local() const { return IsSequenced(); }

protected:
    void OpenCursor() override;
    void CloseCursor() override;
    bool MoveToFirst() override;
    bool MoveToLast() override;
    bool MoveToNext() override;
    bool MoveToPrior() override;
    bool MoveToBookmark(const TBookmark& Bookmark) override;
    bool MoveToMatch(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                     TLocateOptions Options) override;
    TVariant FindValue(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                       TField& Result) override;
    const TRow& CurrentRow() const override;
    TBookmark CurrentBookmark() const override;
    bool HasCurrentRow() const override { return FCurrent >= 0; }
    void DiscardRows() override;
    std::vector<TNearbyRow> RowsBeside(bool After, int Count) override;

private:
    std::string StatementText() const;
    std::unique_ptr<TDriverCursor> Execute() const;
    // Makes the row at Position cached, reading forward (and running the statement
    // again when Position lies before the cache); false when the result is shorter.
    bool Reach(std::int64_t Position);
    // Reads up to a page of rows into the cache, then drops the oldest rows beyond the
    // cache's size, but none from KeepFrom on; false when no row was left to read.
    bool ReadPage(std::int64_t KeepFrom);
    void Restart();
    // Empties the cache: no row read from a cursor yet, and none known to be the last.
    void ForgetRowsRead();
    bool IsCached(std::int64_t Position) const;
    const TRow& CachedRow(std::int64_t Position) const;
    // Rows From..To-1 of the result, read by a second run of the statement, which leaves
    // the cursor and the cache alone.
    std::vector<TRow> ReadAgain(std::int64_t From, std::int64_t To) const;
    static TRow ReadRow(TDriverCursor& Cursor);
    static TBookmark PositionBookmark(std::int64_t Position);
    static bool RowMatches(const std::vector<TField*>& Fields, const TRow& Row,
                           const std::vector<TVariant>& Values, TLocateOptions Options);
    std::size_t CacheLimit() const;

    std::unique_ptr<TStringList> FSQL;
    // The statement as translated for the connection, while open.
    TTranslatedSql FStatement;
    // The statement as the derived table that a filter restricts (see FilteredStatement).
    std::string FFilteredStatement;
    // An index walk that gives the statement's rows faster, while open; it serves only
    // runs without a filter.
    std::unique_ptr<TDistinctWalk> FDistinctWalk;
    std::unique_ptr<TDriverCursor> FCursor;
    bool FCursorExhausted = false;
    // Rows FCacheStart.. of the result; FRowsRead rows have come from the cursor so far.
    std::deque<TRow> FCache;
    std::int64_t FCacheStart = 0;
    std::int64_t FRowsRead = 0;
    std::int64_t FCurrent = -1;
};

} // namespace vorn
