#pragma once

#include "host/data/drivers/Driver.h"
#include "host/data/sql/SqlAst.h"

#include <memory>
#include <string>

namespace vorn {

// "SELECT DISTINCT column FROM table ORDER BY column" reads every row of the table,
// however few values it holds. Where an index leads on the column, the same rows in the
// same order come from walking the index instead: each step seeks the least value
// greater than the last one, so the work grows with the number of values, not of rows.
class TDistinctWalk {
public:
    TDistinctWalk(std::string Sql, TColumnInfo Column)
        : FSql(std::move(Sql)), FColumn(std::move(Column)) {}

    // Runs the walk. Its cursor describes its one column as the plain statement does
    // (name, field type and size), although the walk computes the values.
    std::unique_ptr<TDriverCursor> Execute(TDriverConnection& Connection) const;
    // The walk as the backend receives it.
    const std::string& Sql() const { return FSql; }

private:
    std::string FSql;
    TColumnInfo FColumn;
};

// The walk that gives the rows of Select, whose backend text is PlainSql, or nullptr
// when Select is not exactly a DISTINCT of one plain column of one named table
// (aliases allowed; no WHERE, GROUP BY, HAVING, join, LIMIT or OFFSET; ordered by that
// column ascending with NULLs first, or not ordered), or when no index of the table
// leads on the column. Reads the table's indexes from the connection's catalog.
std::unique_ptr<TDistinctWalk> PlanDistinctWalk(const TSqlSelect& Select,
                                                const std::string& PlainSql,
                                                TDriverConnection& Connection);

} // namespace vorn
