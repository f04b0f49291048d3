#pragma once

// A combo box from which the end user chooses the sort order of a data source's
// dataset, and which follows sort-order changes made elsewhere.

#include "Source/Vorn_shared.h"
#include "host/components/controls/ComboBox.h"
#include "host/data/dataset/DataSource.h"

#include <functional>
#include <memory>
#include <string>

namespace vorn {

class TTable;

// Told the sort field list that the user chose, after it was applied to a table, or
// instead of applying it to any other dataset (the handler sorts that one itself).
using TDBSortEvent =
    std::function<void(TObject* Sender, TDataSet* DataSet, const std::string& SortFieldNames)>;

const TTypeInfo& DataSetNotifyEventTypeInfo();
const TTypeInfo& DBSortEventTypeInfo();

// The list offers a table's index field lists (a local table, or a server table with
// StrictServerIndexing) or its fields (a server table otherwise, or any other dataset);
// choosing an entry or pressing Enter applies the text as the table's IndexFieldNames.
// A detail table keeps its master-link fields at the front of every order. With
// ListDescending each order is followed by the same order read backwards.
class TDBSortComboBox : public TComboBox {
public:
    explicit TDBSortComboBox(TComponent* AOwner);
    ~TDBSortComboBox() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    bool AutoUpdate() const { return FAutoUpdate; }
    // True shows the table's current order at once.
    void SetAutoUpdate(bool Value);
    TDataSource* GetDataSource() const { return FSortDataLink->DataSource(); }
    void SetDataSource(TDataSource* Value);
    bool ReopenAfterError() const { return FReopenAfterError; }
    void SetReopenAfterError(bool Value) { FReopenAfterError = Value; }
    bool StrictServerIndexing() const { return FStrictServerIndexing; }
    void SetStrictServerIndexing(bool Value) { FStrictServerIndexing = Value; }
    // Whether the list also offers every order read backwards: an index's order reversed
    // ("City:D;Name:D" after "City;Name"), a field descending ("Name:D" after "Name").
    bool ListDescending() const { return FListDescending; }
    void SetListDescending(bool Value) { FListDescending = Value; }

    // Fired after the combo box took over a sort order changed by anyone, itself included.
    TDataSetNotifyEvent AfterSortChange;
    // Fired after the combo box applied the order the user chose.
    TDBSortEvent OnSort;

    // Repaints, then shows the table's current sort field list. Does nothing while the
    // component is loading or designed.
    void Refresh();

    // Applies Text as the sort order. A table that rejects it keeps its order (and is
    // opened again when the failure closed it and ReopenAfterError is set); the error
    // then passes on and OnSort stays silent. Without a data source nothing happens.
    virtual void Sort();

    void Click() override;
    void KeyDown(int& Key, TShiftState Shift) override;
    // Fills the list with the orders the dataset offers, then fires OnDropDown.
    void DropDown() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    // A data source is assigned and its dataset is a table.
    bool IsValidTableDataSource() const;
    // The sort data link's handler: shows NewFields and fires AfterSortChange. Every
    // change is accepted, also while AutoUpdate is off.
    void DoAfterSortChange(TObject* Sender, const std::string& OldFields,
                           const std::string& NewFields, bool& Done);
    void DoOnSort(TDataSet* DataSet, const std::string& SortFieldNames);

private:
    TTable* LinkedTable() const;
    void ApplyToTable(TTable& Table);
    void AddIndexEntries(TTable& Table);
    void AddFieldEntries(TDataSet& DataSet, const std::string& MasterFields);
    void AddFieldEntry(const std::string& Prefix, const std::string& Name);
    int EntryToSelect(const std::string& SortFields) const;

    bool FAutoUpdate = true;
    std::unique_ptr<TSortDataLink> FSortDataLink;
    bool FReopenAfterError = true;
    bool FStrictServerIndexing = false;
    bool FListDescending = false;
};

namespace dbsortcombobox {

// Puts TDBSortComboBox on the component palette page "Vorn".
void Register();

} // namespace dbsortcombobox

} // namespace vorn
