#include "host/data/dataset/DistinctWalk.h"

#include "host/components/text/AsciiText.h"

#include <algorithm>
#include <optional>

namespace vorn {

namespace {

// The names that the walk gives its own steps; a table of one of these names would be
// hidden by them inside the walk.
constexpr const char* WalkName = "DistinctWalk";
constexpr const char* StepsName = "DistinctSteps";

struct TDistinctColumn {
    std::string Table;
    std::string Column;
};

bool IsNamedTable(const TSqlFromItem& Item) {
    return Item.Join == sjkNone && !Item.Select && !Item.On && Item.Table.size() == 1;
}

// Whether Name is Column, bare or qualified by the name the table goes by.
bool NamesColumn(const std::vector<std::string>& Name, const std::string& Column,
                 const std::string& Qualifier) {
    if (Name.size() == 1)
        return Name[0] == Column;
    return Name.size() == 2 && Name[0] == Qualifier && Name[1] == Column;
}

bool OrdersByColumnAscending(const TSqlSelect& Select, const std::string& Column,
                             const std::string& Qualifier) {
    if (Select.OrderBy.empty())
        return true;
    if (Select.OrderBy.size() != 1)
        return false;
    const TSqlOrderItem& Order = Select.OrderBy.front();
    if (Order.Descending || Order.Nulls == snoLast || Order.Expr->Kind != sekColumn)
        return false;
    // A bare name is the result column's alias before it is a column of the table.
    const std::string& Alias = Select.Items.front().Alias;
    const std::vector<std::string>& Name = Order.Expr->Name;
    if (!Alias.empty() && Name.size() == 1 && Name[0] == Alias)
        return true;
    return NamesColumn(Name, Column, Qualifier);
}

std::optional<TDistinctColumn> DistinctColumnOf(const TSqlSelect& Select) {
    if (!Select.Distinct || Select.Items.size() != 1 || Select.From.size() != 1 || Select.Where ||
        !Select.GroupBy.empty() || Select.Having || !Select.Limit.empty() || !Select.Offset.empty())
        return std::nullopt;
    const TSqlFromItem& From = Select.From.front();
    const TSqlExpr& Item = *Select.Items.front().Expr;
    if (!IsNamedTable(From) || Item.Kind != sekColumn)
        return std::nullopt;
    const std::string& Table = From.Table.front();
    const std::string& Qualifier = From.Alias.empty() ? Table : From.Alias;
    const std::string& Column = Item.Name.back();
    if (!NamesColumn(Item.Name, Column, Qualifier) ||
        !OrdersByColumnAscending(Select, Column, Qualifier))
        return std::nullopt;
    if (SameTextAscii(Table, WalkName) || SameTextAscii(Table, StepsName))
        return std::nullopt;
    return TDistinctColumn{Table, Column};
}

bool HasIndexLeadingOn(TDriverConnection& Connection, const TDistinctColumn& Distinct) {
    if (!Connection.TableExists(Distinct.Table))
        return false;
    const std::vector<TIndexInfo> Indexes = Connection.Indexes(Distinct.Table);
    return std::any_of(Indexes.begin(), Indexes.end(), [&](const TIndexInfo& Index) {
        return !Index.Fields.empty() && Index.Fields.front() == Distinct.Column;
    });
}

// MIN and > compare in the column's collation, as ORDER BY does, so the steps come in
// the statement's order. The NULL, which MIN never yields, comes first when the column
// holds one; the step numbers keep that order without comparing the values again.
std::string WalkSql(const TDriverConnection& Connection, const TDistinctColumn& Distinct,
                    const std::string& ResultName) {
    const std::string Table = Connection.QuoteTableName(Distinct.Table);
    const std::string Column = Connection.QuoteIdentifier(Distinct.Column);
    const std::string Walk = WalkName;
    const std::string Steps = StepsName;
    return "WITH RECURSIVE " + Walk + "(n, v) AS (SELECT 0, MIN(" + Column + ") FROM " + Table +
           " UNION ALL SELECT n + 1, (SELECT MIN(" + Column + ") FROM " + Table + " WHERE " +
           Column + " > " + Walk + ".v) FROM " + Walk + " WHERE " + Walk +
           ".v IS NOT NULL) SELECT v AS " + Connection.QuoteIdentifier(ResultName) +
           " FROM (SELECT -1 AS n, NULL AS v WHERE EXISTS (SELECT 1 FROM " + Table + " WHERE " +
           Column + " IS NULL) UNION ALL SELECT n, v FROM " + Walk + " WHERE v IS NOT NULL) AS " +
           Steps + " ORDER BY n";
}

// The rows of the walk under the column description of the plain statement.
class TDescribedCursor : public TDriverCursor {
public:
    TDescribedCursor(std::unique_ptr<TDriverCursor> Rows, TColumnInfo Column)
        : FRows(std::move(Rows)), FColumn(std::move(Column)) {}

    bool Next() override { return FRows->Next(); }
    int FieldCount() const override { return FRows->FieldCount(); }
    const TColumnInfo& Column(int Index) const override {
        return Index == 0 ? FColumn : FRows->Column(Index);
    }
    TVariant Value(int Index) const override { return FRows->Value(Index); }

private:
    std::unique_ptr<TDriverCursor> FRows;
    TColumnInfo FColumn;
};

} // namespace

std::unique_ptr<TDriverCursor> TDistinctWalk::Execute(TDriverConnection& Connection) const {
    return std::make_unique<TDescribedCursor>(Connection.Execute(FSql, {}), FColumn);
}

std::unique_ptr<TDistinctWalk> PlanDistinctWalk(const TSqlSelect& Select,
                                                const std::string& PlainSql,
                                                TDriverConnection& Connection) {
    const std::optional<TDistinctColumn> Distinct = DistinctColumnOf(Select);
    // An index that leads on the column may still not serve the steps, and then every
    // step would read the whole table.
    if (!Distinct || Connection.DistinctSearchesIndex() ||
        !HasIndexLeadingOn(Connection, *Distinct) ||
        !Connection.NextValueSearchesIndex(Distinct->Table, Distinct->Column))
        return nullptr;
    // Both backends stop a statement limited to no rows before reading any; its
    // description is the one the walk must show.
    const auto Described = Connection.Execute(PlainSql + " LIMIT 0", {});
    if (Described->FieldCount() != 1 || !Connection.HasMinimum(Described->Column(0).DataType))
        return nullptr;
    const TColumnInfo& Column = Described->Column(0);
    return std::make_unique<TDistinctWalk>(WalkSql(Connection, *Distinct, Column.Name), Column);
}

} // namespace vorn
