#include "host/data/dataset/DataSource.h"

#include "host/components/model/Exception.h"

#include <algorithm>

namespace vorn {

// ---------------------------------------------------------------- TDataSource

const TClass& TDataSource::StaticClass() {
    static const TClass Class = [] {
        TClass C("TDataSource", &TComponent::StaticClass(), &CreateComponentOf<TDataSource>);
        static const TTypeInfo DataSetType{"TDataSet", tkComponent, {}, &TDataSet::StaticClass()};
        C.AddProperty(
            MakeProperty("DataSet", DataSetType, &TDataSource::DataSet, &TDataSource::SetDataSet));
        C.AddProperty(MakeProperty("Enabled", BooleanTypeInfo(), &TDataSource::Enabled,
                                   &TDataSource::SetEnabled));
        return C;
    }();
    return Class;
}

TDataSource::TDataSource(TComponent* AOwner) : TComponent(AOwner) {}

TDataSource::~TDataSource() {
    Destroying();
    // Components recognise their data source in the removal notice through their data
    // links, which are detached below: the notice goes out while they are still attached.
    if (Owner() != nullptr)
        Owner()->RemoveComponent(this);
    if (FDataSet != nullptr)
        FDataSet->RemoveDataSource(this);
    FDataSet = nullptr;
    while (!FDataLinks.empty()) {
        TDataLink* Link = FDataLinks.back();
        FDataLinks.pop_back();
        Link->FDataSource = nullptr;
        Link->UpdateState();
    }
}

void TDataSource::SetDataSet(TDataSet* Value) {
    if (Value == FDataSet)
        return;
    if (FDataSet != nullptr)
        FDataSet->RemoveDataSource(this);
    FDataSet = Value;
    if (FDataSet != nullptr)
        FDataSet->AddDataSource(this);
    UpdateLinkStates();
}

void TDataSource::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    UpdateLinkStates();
}

TDataSetState TDataSource::State() const {
    return FDataSet != nullptr && FEnabled ? FDataSet->State() : dsInactive;
}

TDataLink* TDataSource::DataLinks(int Index) const {
    if (Index < 0 || Index >= DataLinkCount())
        throw EListError("TDataSource.DataLinks: List index out of bounds (" +
                         std::to_string(Index) + ")");
    return FDataLinks[static_cast<std::size_t>(Index)];
}

void TDataSource::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDataSet)
        SetDataSet(nullptr);
}

void TDataSource::NotifyDataLinks(TDataEvent Event, std::intptr_t Info) {
    if (Event == deUpdateState) {
        UpdateLinkStates();
        return;
    }
    if (!FEnabled)
        return;
    // A handler may free a link or re-point it elsewhere: tell only those still here.
    const std::vector<TDataLink*> Links = FDataLinks;
    for (TDataLink* Link : Links)
        if (std::find(FDataLinks.begin(), FDataLinks.end(), Link) != FDataLinks.end())
            Link->DataEvent(Event, Info);
}

void TDataSource::UpdateLinkStates() {
    const std::vector<TDataLink*> Links = FDataLinks;
    for (TDataLink* Link : Links)
        if (std::find(FDataLinks.begin(), FDataLinks.end(), Link) != FDataLinks.end())
            Link->UpdateState();
}

// ---------------------------------------------------------------- TDataLink

const TClass& TDataLink::StaticClass() {
    static const TClass Class("TDataLink", &TPersistent::StaticClass());
    return Class;
}

TDataLink::~TDataLink() {
    // Detach without notifications: the descendant's part is already gone.
    if (FDataSource != nullptr) {
        auto& Links = FDataSource->FDataLinks;
        Links.erase(std::remove(Links.begin(), Links.end(), this), Links.end());
    }
}

TDataSet* TDataLink::DataSet() const {
    return FDataSource != nullptr ? FDataSource->DataSet() : nullptr;
}

void TDataLink::SetDataSource(TDataSource* Value) {
    if (Value == FDataSource)
        return;
    if (FDataSource != nullptr) {
        auto& Links = FDataSource->FDataLinks;
        Links.erase(std::remove(Links.begin(), Links.end(), this), Links.end());
    }
    FDataSource = Value;
    if (FDataSource != nullptr)
        FDataSource->FDataLinks.push_back(this);
    // Another data source is news even when the link stays (in)active.
    UpdateState(true);
}

void TDataLink::UpdateState(bool Always) {
    TDataSet* Current = DataSet();
    const bool NowActive =
        FDataSource != nullptr && FDataSource->Enabled() && Current != nullptr && Current->Active();
    if (!Always && NowActive == FActive && Current == FStateDataSet)
        return;
    FActive = NowActive;
    FStateDataSet = Current;
    ActiveChanged();
}

void TDataLink::DataEvent(TDataEvent Event, std::intptr_t Info) {
    if (!FActive)
        return;
    switch (Event) {
    case deDataSetChange:
    case deLayoutChange:
        DataSetChanged();
        break;
    case deDataSetScroll:
        DataSetScrolled(static_cast<int>(Info));
        break;
    case deFieldChange:
    case deRecordChange:
        RecordChanged(reinterpret_cast<TField*>(Info));
        break;
    case deUpdateRecord:
    case deUpdateState:
        break;
    }
}

// ---------------------------------------------------------------- TFieldDataLink

const TClass& TFieldDataLink::StaticClass() {
    static const TClass Class("TFieldDataLink", &TDataLink::StaticClass());
    return Class;
}

void TFieldDataLink::SetFieldName(const std::string& Value) {
    if (Value == FFieldName)
        return;
    FFieldName = Value;
    UpdateField();
    RecordChanged(nullptr);
}

void TFieldDataLink::UpdateField() {
    FField = Active() && !FFieldName.empty() ? DataSet()->FindField(FFieldName) : nullptr;
}

void TFieldDataLink::ActiveChanged() {
    UpdateField();
    if (OnActiveChange)
        OnActiveChange(this);
}

void TFieldDataLink::DataSetChanged() {
    UpdateField();
    RecordChanged(nullptr);
}

void TFieldDataLink::DataSetScrolled(int) {
    RecordChanged(nullptr);
}

void TFieldDataLink::RecordChanged(TField* Field) {
    if (Field != nullptr && Field != FField)
        return;
    if (OnDataChange)
        OnDataChange(this);
}

} // namespace vorn
