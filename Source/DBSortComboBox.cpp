#include "Source/DBSortComboBox.h"

#include "host/components/controls/Keyboard.h"
#include "host/components/model/AliveGuard.h"
#include "host/components/model/ClassRegistry.h"
#include "host/data/dataset/IndexDefs.h"
#include "host/data/dataset/SortFields.h"
#include "host/data/dataset/Table.h"

#include <algorithm>
#include <vector>

namespace vorn {

namespace {

bool HasDescendingField(const std::vector<TSortField>& Fields) {
    return std::any_of(Fields.begin(), Fields.end(),
                       [](const TSortField& Field) { return Field.Descending; });
}

// Whether the sort field list List starts with the whole list Prefix. Lists of plain
// names compare as text, ending there or at a ";" ("CustNo;OrderDate" begins with
// "CustNo", "CustNo;OrderDate" does not begin with "CustNo;O" and "CustNoX" does not
// begin with "CustNo"). Once either list carries a descending mark the names compare
// item by item and directions do not count: a detail table's rows all share the link
// fields' values, so "CustNo:D;OrderDate:D" leads with the link fields "CustNo" as much
// as "CustNo;OrderDate" does.
bool SortListBeginsWith(const std::string& List, const std::string& Prefix) {
    const std::vector<TSortField> ListFields = ParseSortFields(List);
    const std::vector<TSortField> PrefixFields = ParseSortFields(Prefix);
    if (HasDescendingField(ListFields) || HasDescendingField(PrefixFields))
        return PrefixFields.size() <= ListFields.size() &&
               std::equal(PrefixFields.begin(), PrefixFields.end(), ListFields.begin(),
                          [](const TSortField& Left, const TSortField& Right) {
                              return Left.Name == Right.Name;
                          });
    if (List.compare(0, Prefix.size(), Prefix) != 0)
        return false;
    return List.size() == Prefix.size() || List[Prefix.size()] == ';';
}

// The master field list that restricts Table; empty without a master data source.
std::string MasterFieldsOf(const TTable& Table) {
    return Table.MasterSource() != nullptr ? Table.MasterFields() : std::string();
}

} // namespace

const TTypeInfo& DataSetNotifyEventTypeInfo() {
    static const TTypeInfo Info{"TDataSetNotifyEvent", tkMethod, {}, nullptr};
    return Info;
}

const TTypeInfo& DBSortEventTypeInfo() {
    static const TTypeInfo Info{"TDBSortEvent", tkMethod, {}, nullptr};
    return Info;
}

const TClass& TDBSortComboBox::StaticClass() {
    static const TClass Class = [] {
        using T = TDBSortComboBox;
        TClass C("TDBSortComboBox", &TComboBox::StaticClass(), &CreateComponentOf<T>);
        static const TTypeInfo DataSourceType{
            "TDataSource", tkComponent, {}, &TDataSource::StaticClass()};
        C.AddProperty(
            MakeProperty("AutoUpdate", BooleanTypeInfo(), &T::AutoUpdate, &T::SetAutoUpdate));
        C.AddProperty(
            MakeProperty("DataSource", DataSourceType, &T::GetDataSource, &T::SetDataSource));
        C.AddProperty(MakeProperty("ReopenAfterError", BooleanTypeInfo(), &T::ReopenAfterError,
                                   &T::SetReopenAfterError));
        C.AddProperty(MakeProperty("StrictServerIndexing", BooleanTypeInfo(),
                                   &T::StrictServerIndexing, &T::SetStrictServerIndexing));
        C.AddProperty(MakeEventProperty("AfterSortChange", DataSetNotifyEventTypeInfo(),
                                        &T::AfterSortChange));
        C.AddProperty(MakeEventProperty("OnSort", DBSortEventTypeInfo(), &T::OnSort));
        // Forms written before the switch existed read back, and are written, unchanged.
        C.AddProperty(WithStreamDefault(MakeProperty("ListDescending", BooleanTypeInfo(),
                                                     &T::ListDescending, &T::SetListDescending),
                                        false));
        return C;
    }();
    return Class;
}

TDBSortComboBox::TDBSortComboBox(TComponent* AOwner)
    : TComboBox(AOwner), FSortDataLink(std::make_unique<TSortDataLink>()) {
    SetDefaultAccessibleName("Sort order");
    FSortDataLink->OnSortChange = [this](TObject* Sender, const std::string& OldFields,
                                         const std::string& NewFields, bool& Done) {
        DoAfterSortChange(Sender, OldFields, NewFields, Done);
    };
}

TDBSortComboBox::~TDBSortComboBox() {
    Destroying();
    // The link goes first, so that no sort change reaches a half-destroyed combo box.
    FSortDataLink.reset();
}

void TDBSortComboBox::SetAutoUpdate(bool Value) {
    FAutoUpdate = Value;
    if (Value)
        Refresh();
}

void TDBSortComboBox::SetDataSource(TDataSource* Value) {
    FSortDataLink->SetDataSource(Value);
    Refresh();
}

bool TDBSortComboBox::IsValidTableDataSource() const {
    return LinkedTable() != nullptr;
}

TTable* TDBSortComboBox::LinkedTable() const {
    return dynamic_cast<TTable*>(FSortDataLink->DataSet());
}

void TDBSortComboBox::Refresh() {
    TComboBox::Refresh();
    if (ComponentState().Contains(csLoading) || ComponentState().Contains(csDesigning))
        return;
    if (const TTable* Table = LinkedTable())
        SetText(ExtractSortFieldNames(Table));
}

// OnClick and OnKeyDown may free this combo box (closing its form): there is nothing
// left to sort for.
void TDBSortComboBox::Click() {
    const TAliveGuard Guard(*this);
    TComboBox::Click();
    if (Guard.Alive())
        Sort();
}

void TDBSortComboBox::KeyDown(int& Key, TShiftState Shift) {
    const TAliveGuard Guard(*this);
    TComboBox::KeyDown(Key, Shift);
    if (Guard.Alive() && Key == VK_RETURN)
        Sort();
}

void TDBSortComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent != nullptr && AComponent == GetDataSource())
        SetDataSource(nullptr);
}

// ---------------------------------------------------------------- sorting

void TDBSortComboBox::Sort() {
    // Without a data source there is nobody to tell: the choice is dropped.
    if (GetDataSource() == nullptr)
        return;
    // Writing Text fires OnChange, and the new order reaches AfterSortChange: either
    // handler may free this combo box.
    const TAliveGuard Guard(*this);
    if (TTable* Table = LinkedTable()) {
        try {
            ApplyToTable(*Table);
        } catch (const Exception&) {
            if (!Guard.Alive())
                throw;
            TDataSet* DataSet = FSortDataLink->DataSet();
            // An error from Open replaces the sort error: it is the one the user must fix.
            if (FReopenAfterError && DataSet != nullptr && !DataSet->Active())
                DataSet->Open();
            throw;
        }
        if (!Guard.Alive())
            return;
    }
    // A copy: an OnSort handler may write Text.
    const std::string Applied = Text();
    DoOnSort(FSortDataLink->DataSet(), Applied);
}

void TDBSortComboBox::ApplyToTable(TTable& Table) {
    const std::string MasterFields = MasterFieldsOf(Table);
    if (!MasterFields.empty() && !SortListBeginsWith(Text(), MasterFields)) {
        const TAliveGuard Guard(*this);
        SetText(Text().empty() ? MasterFields : MasterFields + ";" + Text()); // fires OnChange
        if (!Guard.Alive())
            return;
    }
    // A copy: the table's notifications rewrite Text while the order is being applied.
    const std::string SortFields = Text();
    // The order in force may have been chosen by index name; putting back only the
    // field names would silently switch such a table to another order.
    const std::string SavedFieldNames = Table.IndexFieldNames();
    const std::string SavedIndexName = Table.IndexName();
    try {
        Table.SetIndexFieldNames(SortFields);
    } catch (...) {
        if (!SavedIndexName.empty())
            Table.SetIndexName(SavedIndexName);
        else
            Table.SetIndexFieldNames(SavedFieldNames);
        throw;
    }
}

void TDBSortComboBox::DoOnSort(TDataSet* DataSet, const std::string& SortFieldNames) {
    if (OnSort)
        OnSort(this, DataSet, SortFieldNames);
}

// ---------------------------------------------------------------- the list

void TDBSortComboBox::DropDown() {
    TDataSet* DataSet = FSortDataLink->DataSet();
    // Without a dataset the entries typed in at design time stay.
    if (DataSet != nullptr) {
        Items()->Clear();
        if (auto* Table = dynamic_cast<TTable*>(DataSet)) {
            if (Table->IsSequenced() || FStrictServerIndexing)
                AddIndexEntries(*Table);
            else
                AddFieldEntries(*Table, MasterFieldsOf(*Table));
        } else {
            AddFieldEntries(*DataSet, std::string());
        }
    }
    TComboBox::DropDown();
}

void TDBSortComboBox::AddIndexEntries(TTable& Table) {
    TIndexDefs& Indexes = *Table.IndexDefs();
    Indexes.Update();
    const std::string MasterFields = MasterFieldsOf(Table);
    for (int Position = 0; Position < Indexes.Count(); ++Position) {
        const TIndexDef& Index = *Indexes.Items(Position);
        const std::vector<TSortField> Forward = IndexSortFields(Index);
        // Without the backward orders the entry is the index's field list as it stands.
        const std::string Entry = FListDescending ? SortFieldsText(Forward) : Index.Fields();
        // A detail table can only be ordered by indexes that lead with its link fields.
        if (!MasterFields.empty() && !SortListBeginsWith(Entry, MasterFields))
            continue;
        Items()->Append(Entry);
        // An index without fields has no other end to be read from.
        if (FListDescending && !Forward.empty())
            Items()->Append(SortFieldsText(Reversed(Forward)));
    }
}

void TDBSortComboBox::AddFieldEntries(TDataSet& DataSet, const std::string& MasterFields) {
    for (int Position = 0; Position < DataSet.FieldCount(); ++Position) {
        const TField& Field = *DataSet.Fields(Position);
        if (Field.FieldKind() != fkData || Field.IsBlob())
            continue;
        const std::string& Name = Field.FieldName();
        // The link fields lead every other field's order, written as the table has them.
        if (MasterFields.empty() || MasterFields == Name)
            AddFieldEntry(std::string(), Name);
        else
            AddFieldEntry(MasterFields + ";", Name);
    }
}

void TDBSortComboBox::AddFieldEntry(const std::string& Prefix, const std::string& Name) {
    Items()->Append(Prefix + Name);
    if (FListDescending)
        Items()->Append(Prefix + SortFieldText({.Name = Name, .Descending = true}));
}

// ---------------------------------------------------------------- following the table

int TDBSortComboBox::EntryToSelect(const std::string& SortFields) const {
    // Exact comparison: the list's own IndexOf ignores letter case.
    for (int Position = 0; Position < Items()->Count(); ++Position)
        if (Items()->Strings(Position) == SortFields)
            return Position;
    const std::string FirstField = SortFields.substr(0, SortFields.find(';'));
    for (int Position = Items()->Count() - 1; Position >= 0; --Position)
        if (Items()->Strings(Position) == FirstField)
            return Position;
    return -1;
}

void TDBSortComboBox::DoAfterSortChange(TObject* Sender, const std::string&,
                                        const std::string& NewFields, bool&) {
    if (!FAutoUpdate || !IsValidTableDataSource())
        return;
    // Selecting the entry and writing Text fire OnChange, which may free this combo box.
    const TAliveGuard Guard(*this);
    const int Entry = EntryToSelect(NewFields);
    if (Entry >= 0)
        SetItemIndex(Entry);
    if (!Guard.Alive())
        return;
    SetText(NewFields);
    if (!Guard.Alive() || !AfterSortChange)
        return;
    auto* Link = dynamic_cast<TDataLink*>(Sender);
    VORN_ASSERT(Link != nullptr);
    AfterSortChange(Link->DataSet());
}

namespace dbsortcombobox {

void Register() {
    RegisterComponents("Vorn", {&TDBSortComboBox::StaticClass()});
}

} // namespace dbsortcombobox

} // namespace vorn
