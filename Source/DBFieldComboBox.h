#pragma once

// A combo box that lists the fields of a data source's dataset and relates the chosen
// name to another component, by default a locate edit that then searches that field.

#include "host/components/controls/ComboBox.h"
#include "host/components/model/AliveGuard.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/dataset/FieldType.h"

#include <functional>
#include <memory>

namespace vorn {

using TFieldKinds = TSet<TFieldKind>;

// Told before a chosen field name is related to RelateTarget (possibly nullptr); a
// handler sets DefaultRelating to false to do the relating itself, or none.
using TRelateEvent =
    std::function<void(TComponent* Sender, TComponent* RelateTarget, bool& DefaultRelating)>;

const TTypeInfo& FieldKindsTypeInfo();
const TTypeInfo& RelateEventTypeInfo();

// The list holds the names of the dataset's fields whose kind is in FieldKinds, rebuilt
// whenever it opens while the dataset is open. Picking a name, or typing one and
// pressing Enter, sets the DataField of a related TDBLocateEdit on the same data source.
class TDBFieldComboBox : public TComboBox {
public:
    explicit TDBFieldComboBox(TComponent* AOwner);
    ~TDBFieldComboBox() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    TDataSource* GetDataSource() const { return FDataLink->DataSource(); }
    // Connects to Value, lists its fields and empties the text.
    void SetDataSource(TDataSource* Value);
    TFieldKinds FieldKinds() const { return FFieldKinds; }
    void SetFieldKinds(TFieldKinds Value) { FFieldKinds = Value; }
    // A reference, dropped when the component is removed from this combo box's owner;
    // nullptr once the component is freed, wherever it was owned.
    TComponent* RelatedComponent() const;
    void SetRelatedComponent(TComponent* Value);

    TRelateEvent OnRelate;

    // Lists the fields of an open dataset; leaves the list alone otherwise.
    void FillItems();

    void Click() override;
    void KeyDown(int& Key, TShiftState Shift) override;
    void DropDown() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    // Relates Text to RelatedComponent, after OnRelate had its say.
    virtual void Relate();

private:
    std::unique_ptr<TDataLink> FDataLink;
    TFieldKinds FFieldKinds{fkData};
    TComponent* FRelatedComponent = nullptr;
    // Watches the related component: one owned by another form is freed without a
    // removal notice reaching this combo box.
    std::unique_ptr<TAliveGuard> FRelatedAlive;
};

namespace dbfieldcombobox {

// Puts TDBFieldComboBox on the component palette page "Vorn".
void Register();

} // namespace dbfieldcombobox

} // namespace vorn
