#include "host/data/drivers/IndexColumns.h"

#include "host/data/drivers/DatabaseError.h"

#include <algorithm>

namespace vorn {

std::vector<TIndexInfo> IndexesFromColumns(const std::vector<TIndexColumn>& Columns) {
    std::vector<TIndexInfo> Indexes;
    for (const TIndexColumn& Column : Columns) {
        if (Indexes.empty() || Indexes.back().Name != Column.Index)
            Indexes.push_back({Column.Index, {}, Column.Unique, Column.Primary, {}, {}});
        Indexes.back().Fields.push_back(Column.Field);
        Indexes.back().NullsFirst.push_back(Column.NullsFirst);
        Indexes.back().Descending.push_back(Column.Descending);
    }
    for (TIndexInfo& Index : Indexes)
        if (std::none_of(Index.Descending.begin(), Index.Descending.end(),
                         [](bool Descends) { return Descends; }))
            Index.Descending.clear();
    return Indexes;
}

std::vector<std::string> RowKeyFromColumns(const std::vector<TIndexColumn>& Columns,
                                           const TDriverConnection& Connection,
                                           const char* Operation, const std::string& Table) {
    for (std::size_t Start = 0; Start < Columns.size();) {
        std::size_t End = Start;
        bool Qualifies = Columns[Start].Unique;
        for (; End < Columns.size() && Columns[End].Index == Columns[Start].Index; ++End)
            Qualifies = Qualifies && Columns[End].NotNull;
        if (Qualifies) {
            std::vector<std::string> Key;
            for (std::size_t Index = Start; Index < End; ++Index)
                Key.push_back(Connection.QuoteIdentifier(Columns[Index].Field));
            return Key;
        }
        Start = End;
    }
    throw EDatabaseError(std::string(Operation) + " " + Connection.Description() + ": Table '" +
                         Table +
                         "' has no primary key and no unique index on NOT NULL fields, which "
                         "paging through a server table needs");
}

} // namespace vorn
