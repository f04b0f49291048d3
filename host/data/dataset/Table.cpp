// The table's properties, its catalog and order, master and detail, opening and closing.
#include "host/data/dataset/Table.h"

#include "host/components/text/AsciiText.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/SortFields.h"
#include "host/data/dataset/TableLocate.h"
#include "host/data/drivers/DatabaseError.h"

#include <algorithm>

namespace vorn {

// Follows the master data source: a move of the master to another key re-reads the
// detail. A master that re-sorts, refreshes or changes its filter tells its links so,
// yet the detail's rows depend on the master key alone: they are read again only when it
// changed. A master that opens or closes (or is another dataset) always re-reads them.
class TTable::TMasterLink : public TDataLink {
public:
    explicit TMasterLink(TTable& Table) : FTable(Table) {}

    void ActiveChanged() override { FTable.MasterChanged(true); }
    void DataSetChanged() override { FTable.MasterChanged(false); }
    void DataSetScrolled(int) override { FTable.MasterChanged(false); }
    void RecordChanged(TField*) override { FTable.MasterChanged(false); }

private:
    TTable& FTable;
};

const TClass& TTable::StaticClass() {
    static const TClass Class = [] {
        TClass C("TTable", &TBDEDataSet::StaticClass(), &CreateComponentOf<TTable>);
        static const TTypeInfo DataSourceType{
            "TDataSource", tkComponent, {}, &TDataSource::StaticClass()};
        C.AddProperty(MakeProperty("IndexFieldNames", StringTypeInfo(), &TTable::IndexFieldNames,
                                   &TTable::SetIndexFieldNames));
        C.AddProperty(
            MakeProperty("IndexName", StringTypeInfo(), &TTable::IndexName, &TTable::SetIndexName));
        C.AddProperty(MakeProperty("MasterFields", StringTypeInfo(), &TTable::MasterFields,
                                   &TTable::SetMasterFields));
        C.AddProperty(MakeProperty("MasterSource", DataSourceType, &TTable::MasterSource,
                                   &TTable::SetMasterSource));
        C.AddProperty(
            MakeProperty("TableName", StringTypeInfo(), &TTable::TableName, &TTable::SetTableName));
        return C;
    }();
    return Class;
}

TTable::TTable(TComponent* AOwner)
    : TBDEDataSet(AOwner),
      FIndexDefs(std::make_unique<TIndexDefs>([this] { return ReadIndexes(); })),
      FMasterLink(std::make_unique<TMasterLink>(*this)) {}

TTable::~TTable() {
    // The master link goes first, so that the master's last notices find no table.
    FMasterLink.reset();
    DestroyDataSet();
}

void TTable::Notification(TComponent* AComponent, TOperation Operation) {
    TBDEDataSet::Notification(AComponent, Operation);
    if (Operation == opRemove && FMasterLink != nullptr && AComponent == MasterSource())
        SetMasterSource(nullptr);
}

void TTable::SetTableName(const std::string& Value) {
    if (Value == FTableName)
        return;
    CheckInactive("SetTableName");
    FTableName = Value;
}

// ---------------------------------------------------------------- catalog and order

std::vector<TIndexInfo> TTable::ReadIndexes() {
    if (FTableName.empty())
        throw EDatabaseError(DisplayName() + ".IndexDefs.Update: no TableName");
    if (HasConnection())
        return Connection().Indexes(FTableName);
    if (DatabaseName().empty())
        throw EDatabaseError(DisplayName() + ".IndexDefs.Update: no DatabaseName");
    const TConnectionLease Lease(DatabaseName());
    return Lease.Connection().Indexes(FTableName);
}

std::vector<TSortField> TTable::ResolveOrder(const std::string& FieldNames,
                                             const std::string& Index) const {
    if (!Index.empty()) {
        const TIndexDef* Definition = FIndexDefs->Find(Index);
        if (Definition == nullptr)
            throw EDatabaseError(DisplayName() + ": Index '" + Index + "' not found in table '" +
                                 FTableName + "'");
        return AscendingFields(*Definition);
    }
    if (FieldNames.empty()) {
        for (int Position = 0; Position < FIndexDefs->Count(); ++Position)
            if (FIndexDefs->Items(Position)->Options().Contains(ixPrimary))
                return AscendingFields(*FIndexDefs->Items(Position));
        return {};
    }
    const std::vector<TSortField> Order = ParseSortFields(FieldNames);
    for (const TSortField& Field : Order) {
        const bool Known =
            std::any_of(FColumns.begin(), FColumns.end(),
                        [&](const TColumnInfo& Column) { return Column.Name == Field.Name; });
        if (!Known)
            throw EDatabaseError(DisplayName() + ": cannot order by '" + FieldNames + "': Field '" +
                                 Field.Name + "' not found in table '" + FTableName + "'");
    }
    if (!Connection().OrdersByIndexOnly())
        return Order;
    for (int Position = 0; Position < FIndexDefs->Count(); ++Position)
        if (IndexServesOrder(*FIndexDefs->Items(Position), Order, MasterFixedFields()))
            return Order;
    throw EDatabaseError(DisplayName() + ": cannot order by '" + FieldNames +
                         "': no index of table '" + FTableName + "' begins with these fields");
}

// The order of a named index, and the default order of the primary key: the index's fields
// ascending, whichever way the index keeps them (IndexFieldNames names directions).
std::vector<TSortField> TTable::AscendingFields(const TIndexDef& Index) {
    std::vector<TSortField> Fields;
    for (const std::string& Name : SplitList(Index.Fields(), ';'))
        Fields.push_back({Name, false});
    return Fields;
}

TTable::TOrderTerm TTable::ColumnTerm(const std::string& Name) const {
    const auto Column = std::find_if(FColumns.begin(), FColumns.end(),
                                     [&](const TColumnInfo& C) { return C.Name == Name; });
    VORN_ASSERT(Column != FColumns.end());
    return {Connection().QuoteIdentifier(Name), static_cast<std::size_t>(Column - FColumns.begin()),
            Column->NotNull};
}

// Where the serving index has more fields than the order, its further fields go between the
// order fields and the row key: rows that tie on the order fields then come in the index's
// order, so that the index serves every page instead of the database sorting each tie.
// Those terms are the table's own, so they take the index's NULL placement and the
// direction in which the order reads the index. So does the row key, where the order has
// a descending field: an index read backward holds the rows of one value with their row
// keys descending. An order without one keeps every further term ascending, as it always
// did.
void TTable::ApplyOrder(const std::vector<TSortField>& Order) {
    FOrderFields.clear();
    FOrderDescending.clear();
    FOrderTerms.clear();
    bool AnyDescending = false;
    for (const TSortField& Field : Order) {
        FOrderFields.push_back(Field.Name);
        FOrderDescending.push_back(Field.Descending);
        FOrderTerms.push_back(ColumnTerm(Field.Name));
        FOrderTerms.back().Descending = Field.Descending;
        AnyDescending = AnyDescending || Field.Descending;
    }
    const TIndexInfo* Serving = ServingIndex();
    const bool Backward = Serving != nullptr && IndexReading(IndexSortFields(*Serving), Order,
                                                             MasterFixedFields()) == irBackward;
    if (Serving != nullptr && IndexHoldsOrderNulls(*Serving)) {
        const std::vector<TSortField> IndexFields = IndexSortFields(*Serving);
        for (std::size_t Position = FOrderFields.size(); Position < IndexFields.size();
             ++Position) {
            TOrderTerm Term = ColumnTerm(IndexFields[Position].Name);
            Term.NullsFirst =
                Position < Serving->NullsFirst.size() && Serving->NullsFirst[Position];
            Term.Descending = AnyDescending && IndexFields[Position].Descending != Backward;
            FOrderTerms.push_back(std::move(Term));
        }
    }
    for (std::size_t Index = 0; Index < FRowKey.size(); ++Index) {
        FOrderTerms.push_back({FRowKey[Index], FColumns.size() + Index, true});
        FOrderTerms.back().Descending = AnyDescending && Backward;
    }
    if (Serving != nullptr)
        FollowIndexNulls(*Serving);
}

TField* TTable::IndexFields(int Index) const {
    if (Index < 0 || Index >= IndexFieldCount())
        return TBDEDataSet::IndexFields(Index);
    return FieldByName(FOrderFields[static_cast<std::size_t>(Index)]);
}

bool TTable::IndexFieldDescending(int Index) const {
    return Index >= 0 && Index < IndexFieldCount() &&
           FOrderDescending[static_cast<std::size_t>(Index)];
}

std::size_t TTable::MasterFixedFields() const {
    return MasterSource() != nullptr ? SplitList(FMasterFields, ';').size() : 0;
}

std::vector<TSortField> TTable::OrderInForce() const {
    std::vector<TSortField> Order;
    for (std::size_t Index = 0; Index < FOrderFields.size(); ++Index)
        Order.push_back({FOrderFields[Index], FOrderDescending[Index]});
    return Order;
}

void TTable::ChangeOrder(const std::string& FieldNames, const std::string& Index) {
    const std::vector<TSortField> NewOrder = ResolveOrder(FieldNames, Index);
    const TMasterKey NewKey = ReadMasterKey(FMasterFields, NewOrder.size());
    const std::string OldFieldNames = FIndexFieldNames;
    const std::string OldIndexName = FIndexName;
    const std::vector<TSortField> OldOrder = OrderInForce();
    const TMasterKey OldKey = FMasterKey;
    // A new order keeps the current record.
    const TBookmark Current = HasCurrentRow() ? CurrentBookmark() : TBookmark{};
    ChangeRows(
        [&] {
            FIndexFieldNames = FieldNames;
            FIndexName = Index;
            FMasterKey = NewKey;
            ApplyOrder(NewOrder);
        },
        [&] {
            FIndexFieldNames = OldFieldNames;
            FIndexName = OldIndexName;
            FMasterKey = OldKey;
            ApplyOrder(OldOrder);
        },
        Current);
}

// A form file holds both IndexName and IndexFieldNames, one of them empty, in any order:
// the empty one, read after the other, must not clear the order the other one chose.
bool TTable::KeepsOtherOrderProperty(const std::string& Value) const {
    return Value.empty() && ComponentState().Contains(csLoading);
}

void TTable::SetIndexFieldNames(const std::string& Value) {
    if (Value == FIndexFieldNames && FIndexName.empty())
        return;
    if (!Active()) {
        FIndexFieldNames = Value;
        if (!KeepsOtherOrderProperty(Value))
            FIndexName.clear();
        return;
    }
    ChangeOrder(Value, "");
}

void TTable::SetIndexName(const std::string& Value) {
    if (Value == FIndexName && FIndexFieldNames.empty())
        return;
    if (!Active()) {
        FIndexName = Value;
        if (!KeepsOtherOrderProperty(Value))
            FIndexFieldNames.clear();
        return;
    }
    ChangeOrder("", Value);
}

// ---------------------------------------------------------------- master and detail

TDataSource* TTable::MasterSource() const {
    return FMasterLink->DataSource();
}

void TTable::SetMasterSource(TDataSource* Value) {
    if (Value == MasterSource())
        return;
    if (Value != nullptr && Value->DataSet() == this)
        throw EDatabaseError(DisplayName() + ".SetMasterSource: a table cannot be its own master");
    // The link reports the new master as an ActiveChanged, which re-reads the rows.
    FMasterLink->SetDataSource(Value);
}

void TTable::SetMasterFields(const std::string& Value) {
    if (Value == FMasterFields)
        return;
    if (!Active()) {
        FMasterFields = Value;
        return;
    }
    const TMasterKey NewKey = ReadMasterKey(Value, FOrderFields.size());
    const std::string OldFields = FMasterFields;
    const TMasterKey OldKey = FMasterKey;
    ChangeRows(
        [&] {
            FMasterFields = Value;
            FMasterKey = NewKey;
        },
        [&] {
            FMasterFields = OldFields;
            FMasterKey = OldKey;
        });
}

TTable::TMasterKey TTable::ReadMasterKey(const std::string& Fields,
                                         std::size_t OrderFieldCount) const {
    TMasterKey Key;
    TDataSet* Master = MasterSource() != nullptr ? MasterSource()->DataSet() : nullptr;
    if (Master == nullptr || !Master->Active() || Fields.empty())
        return Key;
    const std::vector<std::string> Names = SplitList(Fields, ';');
    if (Names.size() > OrderFieldCount)
        throw EDatabaseError(DisplayName() + ": MasterFields '" + Fields + "' name " +
                             std::to_string(Names.size()) +
                             " field(s), but the order of the table has only " +
                             std::to_string(OrderFieldCount) + " field(s) to match them");
    Key.Restricts = true;
    Key.MasterRefreshes = Master->RefreshCount();
    for (const std::string& Name : Names)
        Key.Values.push_back(Master->FieldByName(Name)->Value());
    return Key;
}

void TTable::MasterChanged(bool Force) {
    if (!Active() || ComponentState().Contains(csDestroying))
        return;
    const TMasterKey Key = ReadMasterKey(FMasterFields, FOrderFields.size());
    if (!Force && Key == FMasterKey)
        return;
    // A refreshed master on the same key: the rows are read again as a refresh of this
    // table reads them, keeping its current record.
    if (!Force && Key.Restricts == FMasterKey.Restricts && Key.Values == FMasterKey.Values) {
        Refresh();
        FMasterKey = Key;
        return;
    }
    const TMasterKey OldKey = FMasterKey;
    ChangeRows([&] { FMasterKey = Key; }, [&] { FMasterKey = OldKey; });
}

// ---------------------------------------------------------------- opening and closing

void TTable::OpenCursor() {
    if (FTableName.empty())
        throw EDatabaseError(DisplayName() + ".Open: no TableName");
    AcquireConnection();
    TDriverConnection& Database = Connection();
    TTableSchema Schema = Database.Schema(FTableName);
    FColumns = std::move(Schema.Columns);
    FRowKey = std::move(Schema.RowKey);
    FIndexes = std::move(Schema.Indexes);
    FIndexDefs->Assign(FIndexes);
    for (const TColumnInfo& Column : FColumns)
        CreateDataField(Column.Name, Column.DataType, Column.Size);
    ApplyOrder(ResolveOrder(FIndexFieldNames, FIndexName));
    FSelectList.clear();
    for (const TColumnInfo& Column : FColumns)
        FSelectList += (FSelectList.empty() ? "" : ", ") + Database.QuoteIdentifier(Column.Name);
    for (const std::string& Key : FRowKey)
        FSelectList += ", " + Key;
    FMasterKey = ReadMasterKey(FMasterFields, FOrderFields.size());
    DiscardRows();
}

void TTable::CloseCursor() {
    DiscardRows();
    FPrefixSeek.reset();
    FEstimatedRows.reset();
    FColumns.clear();
    FRowKey.clear();
    FIndexes.clear();
    FOrderFields.clear();
    FOrderDescending.clear();
    FOrderTerms.clear();
    FSelectList.clear();
    FMasterKey = {};
    ReleaseConnection();
}

} // namespace vorn
