#include "Source/DBFieldComboBox.h"

#include "Source/DBLocateEdit.h"
#include "host/components/controls/Keyboard.h"
#include "host/components/model/AliveGuard.h"
#include "host/components/model/ClassRegistry.h"

namespace vorn {

const TTypeInfo& FieldKindsTypeInfo() {
    static const TTypeInfo Info{
        "TFieldKinds", tkSet, {"fkData", "fkCalculated", "fkLookup", "fkInternalCalc"}, nullptr};
    return Info;
}

const TTypeInfo& RelateEventTypeInfo() {
    static const TTypeInfo Info{"TRelateEvent", tkMethod, {}, nullptr};
    return Info;
}

const TClass& TDBFieldComboBox::StaticClass() {
    static const TClass Class = [] {
        using T = TDBFieldComboBox;
        TClass C("TDBFieldComboBox", &TComboBox::StaticClass(), &CreateComponentOf<T>);
        static const TTypeInfo DataSourceType{
            "TDataSource", tkComponent, {}, &TDataSource::StaticClass()};
        static const TTypeInfo ComponentType{
            "TComponent", tkComponent, {}, &TComponent::StaticClass()};
        C.AddProperty(
            MakeProperty("DataSource", DataSourceType, &T::GetDataSource, &T::SetDataSource));
        C.AddProperty(
            MakeProperty("FieldKinds", FieldKindsTypeInfo(), &T::FieldKinds, &T::SetFieldKinds));
        C.AddProperty(MakeProperty("RelatedComponent", ComponentType, &T::RelatedComponent,
                                   &T::SetRelatedComponent));
        C.AddProperty(MakeEventProperty("OnRelate", RelateEventTypeInfo(), &T::OnRelate));
        return C;
    }();
    return Class;
}

TDBFieldComboBox::TDBFieldComboBox(TComponent* AOwner)
    : TComboBox(AOwner), FDataLink(std::make_unique<TDataLink>()) {
    SetDefaultAccessibleName("Field");
}

TDBFieldComboBox::~TDBFieldComboBox() {
    Destroying();
    FDataLink.reset();
}

void TDBFieldComboBox::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    FillItems();
    SetText(std::string());
}

void TDBFieldComboBox::FillItems() {
    const TDataSet* DataSet = FDataLink->DataSet();
    if (DataSet == nullptr || !DataSet->Active())
        return;
    Items()->Clear();
    for (int Position = 0; Position < DataSet->FieldCount(); ++Position) {
        const TField& Field = *DataSet->Fields(Position);
        if (FFieldKinds.Contains(Field.FieldKind()))
            Items()->Append(Field.FieldName());
    }
}

void TDBFieldComboBox::DropDown() {
    // No data event is watched, so the list is brought up to date each time it opens.
    FillItems();
    TComboBox::DropDown();
}

// The handlers that the inherited calls fire may free this combo box (closing its form):
// relating then has nobody left to relate.
void TDBFieldComboBox::Click() {
    const TAliveGuard Guard(*this);
    TComboBox::Click();
    if (Guard.Alive())
        Relate();
}

void TDBFieldComboBox::KeyDown(int& Key, TShiftState Shift) {
    const TAliveGuard Guard(*this);
    TComboBox::KeyDown(Key, Shift);
    if (Guard.Alive() && Key == VK_RETURN)
        Relate();
}

TComponent* TDBFieldComboBox::RelatedComponent() const {
    return FRelatedAlive != nullptr && FRelatedAlive->Alive() ? FRelatedComponent : nullptr;
}

void TDBFieldComboBox::SetRelatedComponent(TComponent* Value) {
    FRelatedAlive = Value != nullptr ? std::make_unique<TAliveGuard>(*Value) : nullptr;
    FRelatedComponent = Value;
}

void TDBFieldComboBox::Relate() {
    bool DefaultRelating = true;
    if (OnRelate) {
        const TAliveGuard Guard(*this);
        OnRelate(this, RelatedComponent(), DefaultRelating);
        if (!Guard.Alive())
            return;
    }
    if (!DefaultRelating)
        return;
    auto* LocateEdit = dynamic_cast<TDBLocateEdit*>(RelatedComponent());
    // A locate edit on another data source searches another dataset: this combo box's
    // field names mean nothing there.
    if (LocateEdit == nullptr || LocateEdit->GetDataSource() != GetDataSource())
        return;
    LocateEdit->SetDataField(Text());
}

void TDBFieldComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != nullptr) {
        if (AComponent == GetDataSource())
            SetDataSource(nullptr);
        if (AComponent == FRelatedComponent)
            SetRelatedComponent(nullptr);
    }
    TComboBox::Notification(AComponent, Operation);
}

namespace dbfieldcombobox {

void Register() {
    RegisterComponents("Vorn", {&TDBFieldComboBox::StaticClass()});
}

} // namespace dbfieldcombobox

} // namespace vorn
