// Searches of a table: locating a record and looking up a value by one statement, and what
// the prefix seek may ask of the table.
#include "host/data/dataset/Table.h"
#include "host/data/dataset/TableLocate.h"

namespace vorn {

// The table as its prefix seek sees it: a few questions about its shape and statements,
// and one move.
class TTable::TSeekView final : public TPrefixSeekTable {
public:
    explicit TSeekView(TTable& Table) : FTable(Table) {}

    TDriverConnection& Connection() const override { return FTable.Connection(); }
    const std::string& TableName() const override { return FTable.FTableName; }
    const std::vector<TColumnInfo>& Columns() const override { return FTable.FColumns; }
    const TIndexDefs& Indexes() const override { return *FTable.FIndexDefs; }
    std::vector<TSortField> OrderThroughLeading() const override {
        const std::size_t Leading = FTable.LeadingOrderTerm();
        std::vector<TSortField> Order = FTable.OrderInForce();
        if (Leading >= Order.size())
            return {};
        Order.resize(Leading + 1);
        return Order;
    }
    bool IsTextField(const TField& Field) const override { return TTable::IsTextField(Field); }
    std::string ColumnSql(const TField& Field) const override { return FTable.ColumnSql(Field); }
    std::string MatchCondition(const std::string& ColumnSql, const TField& Field,
                               const TVariant& Value, TLocateOptions Options,
                               TBoundParams& Params) const override {
        return FTable.MatchCondition(ColumnSql, Field, Value, Options, Params);
    }
    TTableConditions Restriction() const override { return FTable.Restriction(); }
    bool MoveToFirstOf(TTableConditions& Conditions, bool FillWindow) override {
        return FTable.MoveToFirstOf(Conditions, FillWindow);
    }

private:
    TTable& FTable;
};

std::string TTable::ColumnSql(const TField& Field) const {
    return Connection().QuoteIdentifier(Field.FieldName());
}

TTable::TConditions TTable::MatchConditions(const std::vector<TField*>& Fields,
                                            const std::vector<TVariant>& Values,
                                            TLocateOptions Options) const {
    TConditions Conditions = Restriction();
    for (std::size_t Index = 0; Index < Fields.size(); ++Index)
        Conditions.Where.push_back(MatchCondition(ColumnSql(*Fields[Index]), *Fields[Index],
                                                  Values[Index], Options, Conditions.Params));
    return Conditions;
}

bool TTable::MoveToMatch(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                         TLocateOptions Options) {
    if (FPrefixSeek == nullptr)
        FPrefixSeek = std::make_unique<TTablePrefixSeek>(std::make_unique<TSeekView>(*this));
    if (const std::optional<bool> Found = FPrefixSeek->MoveToMatch(Fields, Values, Options))
        return *Found;
    TConditions Conditions = MatchConditions(Fields, Values, Options);
    return MoveToFirstOf(Conditions, false);
}

TVariant TTable::FindValue(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                           TField& Result) {
    TConditions Conditions = MatchConditions(Fields, Values, {});
    std::vector<TRow> Rows = Fetch(Conditions, false, 1);
    if (Rows.empty())
        return TVariant();
    return Rows.front()[static_cast<std::size_t>(Result.Index())];
}

} // namespace vorn
