#include "Source/DBLocateEdit.h"

#include "Source/Vorn_shared.h"
#include "host/components/controls/Keyboard.h"
#include "host/components/model/AliveGuard.h"
#include "host/components/model/ClassRegistry.h"

namespace vorn {

namespace {

// Sets a re-entrancy flag of Owner for the lifetime of the guard, whatever way the scope
// is left. A handler called meanwhile may free Owner, and the flag with it: a flag that
// is gone is left alone.
class TFlagGuard {
public:
    TFlagGuard(const TComponent& Owner, bool& Flag) : FOwner(Owner), FFlag(Flag) { FFlag = true; }
    ~TFlagGuard() {
        if (FOwner.Alive())
            FFlag = false;
    }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    const TAliveGuard FOwner;
    bool& FFlag;
};

} // namespace

const TTypeInfo& AutoLocateTypeInfo() {
    static const TTypeInfo Info{
        "TAutoLocate", tkEnumeration, {"alNone", "alReturnKey", "alOnChange"}, nullptr};
    return Info;
}

const TTypeInfo& LocateOptionsTypeInfo() {
    static const TTypeInfo Info{
        "TLocateOptions", tkSet, {"loCaseInsensitive", "loPartialKey"}, nullptr};
    return Info;
}

const TClass& TDBLocateEdit::StaticClass() {
    static const TClass Class = [] {
        using T = TDBLocateEdit;
        TClass C("TDBLocateEdit", &TEdit::StaticClass(), &CreateComponentOf<T>);
        static const TTypeInfo DataSourceType{
            "TDataSource", tkComponent, {}, &TDataSource::StaticClass()};
        C.AddProperty(MakeEventProperty("AfterLocate", NotifyEventTypeInfo(), &T::AfterLocate));
        C.AddProperty(
            MakeProperty("AutoLocate", AutoLocateTypeInfo(), &T::AutoLocate, &T::SetAutoLocate));
        C.AddProperty(
            MakeProperty("AutoUpdate", BooleanTypeInfo(), &T::AutoUpdate, &T::SetAutoUpdate));
        C.AddProperty(
            MakeProperty("DataField", StringTypeInfo(), &T::GetDataField, &T::SetDataField));
        C.AddProperty(
            MakeProperty("DataSource", DataSourceType, &T::GetDataSource, &T::SetDataSource));
        C.AddProperty(MakeProperty("LocateOptions", LocateOptionsTypeInfo(), &T::LocateOptions,
                                   &T::SetLocateOptions));
        return C;
    }();
    return Class;
}

TDBLocateEdit::TDBLocateEdit(TComponent* AOwner)
    : TEdit(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
    SetDefaultAccessibleName("Locate");
    FDataLink->OnDataChange = [this](TObject* Sender) { DataChange(Sender); };
    FDataLink->OnActiveChange = [this](TObject* Sender) { DataChange(Sender); };
}

TDBLocateEdit::~TDBLocateEdit() {
    Destroying();
    // The link goes first, so that no record move reaches a half-destroyed edit box.
    FDataLink.reset();
}

std::string TDBLocateEdit::GetLocateField() const {
    if (!FDataLink->FieldName().empty())
        return FDataLink->FieldName();
    return ExtractFirstSortFieldName(FDataLink->DataSet());
}

bool TDBLocateEdit::Locate() {
    VORN_ASSERT(FDataLink != nullptr);
    // The text UpdateText writes is a record's value, not a search.
    if (FUpdating)
        return false;
    TFlagGuard Locating(*this, FLocating);
    FLocated = false;
    TDataSet* DataSet = FDataLink->DataSet();
    if (Text().empty() || DataSet == nullptr)
        return false;
    // The record move fires the dataset's scroll handlers, and AfterLocate is a handler
    // too: either may free this edit.
    const TAliveGuard Guard(*this);
    bool Found = false;
    try {
        Found = DataSet->Locate(GetLocateField(), TVariant(Text()), FLocateOptions);
    } catch (const std::exception&) {
        // Whatever the user has typed so far may be no value of the field (yet): a
        // search that cannot be made finds nothing, and typing goes on.
        Found = false;
    }
    if (!Guard.Alive())
        return Found;
    FLocated = Found;
    DoAfterLocate();
    return Found;
}

void TDBLocateEdit::DoAfterLocate() {
    if (AfterLocate)
        AfterLocate(this);
}

void TDBLocateEdit::UpdateText() {
    // The record move caused by our own search must not overwrite what is being typed.
    if (FLocating)
        return;
    TFlagGuard Updating(*this, FUpdating);
    VORN_ASSERT(FDataLink != nullptr);
    TDataSet* DataSet = FDataLink->DataSet();
    const std::string LocateField = DataSet != nullptr ? GetLocateField() : std::string();
    const TField* Field = LocateField.empty() ? nullptr : DataSet->FindField(LocateField);
    if (Field == nullptr) {
        ClearText();
        return;
    }
    // A closed dataset has no current record: a calculated field that outlives the
    // closing has no value to show.
    SetText(DataSet->Active() ? Field->AsString() : std::string());
}

void TDBLocateEdit::ClearText() {
    SetText(ComponentState().Contains(csDesigning) ? Name() : std::string());
}

void TDBLocateEdit::InternalUpdateText() {
    if (IsLoading())
        return;
    if (FAutoUpdate)
        UpdateText();
    else
        ClearText();
}

void TDBLocateEdit::DataChange(TObject*) {
    if (FAutoUpdate)
        InternalUpdateText();
}

void TDBLocateEdit::SetDataField(const std::string& Value) {
    FDataLink->SetFieldName(Value);
    InternalUpdateText();
}

void TDBLocateEdit::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    InternalUpdateText();
}

void TDBLocateEdit::SetAutoUpdate(bool Value) {
    FAutoUpdate = Value;
    if (Value && !IsLoading())
        UpdateText();
}

// An OnChange or OnKeyDown handler may free this edit (closing its form): nothing is
// located for an edit that is gone. In the form designer the text changes with the
// edit's name and settings, and nothing is located.
void TDBLocateEdit::Change() {
    const TAliveGuard Guard(*this);
    TEdit::Change();
    if (Guard.Alive() && FAutoLocate == alOnChange && !IsLoading() &&
        !ComponentState().Contains(csDesigning))
        Locate();
}

void TDBLocateEdit::KeyDown(int& Key, TShiftState Shift) {
    const TAliveGuard Guard(*this);
    TEdit::KeyDown(Key, Shift);
    if (!Guard.Alive() || Key != VK_RETURN)
        return;
    if (FAutoLocate == alReturnKey)
        Locate();
    else
        InternalUpdateText();
}

void TDBLocateEdit::DoExit() {
    // Showing the record's value fires OnChange, which may free this edit.
    const TAliveGuard Guard(*this);
    if (FAutoUpdate)
        InternalUpdateText();
    if (Guard.Alive())
        TEdit::DoExit();
}

void TDBLocateEdit::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != nullptr && AComponent == GetDataSource())
        SetDataSource(nullptr);
    TEdit::Notification(AComponent, Operation);
}

namespace dblocateedit {

void Register() {
    RegisterComponents("Vorn", {&TDBLocateEdit::StaticClass()});
}

} // namespace dblocateedit

} // namespace vorn
