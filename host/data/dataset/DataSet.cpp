#include "host/data/dataset/DataSet.h"

#include "host/components/model/ScopeGuard.h"
#include "host/components/text/AsciiText.h"
#include "host/data/dataset/DataSource.h"
#include "host/data/drivers/DatabaseError.h"

#include <algorithm>

namespace vorn {

const TClass& TDataSet::StaticClass() {
    static const TClass Class = [] {
        TClass C("TDataSet", &TComponent::StaticClass());
        C.AddProperty(
            MakeProperty("Active", BooleanTypeInfo(), &TDataSet::Active, &TDataSet::SetActive));
        C.AddProperty(
            MakeProperty("Filter", StringTypeInfo(), &TDataSet::Filter, &TDataSet::SetFilter));
        C.AddProperty(MakeProperty("Filtered", BooleanTypeInfo(), &TDataSet::Filtered,
                                   &TDataSet::SetFiltered));
        return C;
    }();
    return Class;
}

TDataSet::TDataSet(TComponent* AOwner) : TComponent(AOwner) {}

TDataSet::~TDataSet() {
    DestroyDataSet();
}

void TDataSet::DestroyDataSet() {
    Destroying();
    if (Active()) {
        CloseCursor();
        FState = dsInactive;
    }
    while (!FDataSources.empty()) {
        TDataSource* Source = FDataSources.back();
        FDataSources.pop_back();
        Source->FDataSet = nullptr;
        Source->UpdateLinkStates();
    }
    for (TField* Client : FLookupClients)
        Client->FLookupDataSet = nullptr;
    FLookupClients.clear();
}

std::string TDataSet::DisplayName() const {
    return Name().empty() ? ClassName() : Name();
}

void TDataSet::CheckActive(const char* Operation) const {
    if (!Active())
        throw EDatabaseError(DisplayName() + "." + Operation +
                             ": Cannot perform this operation on a closed dataset");
}

void TDataSet::CheckInactive(const char* Operation) const {
    if (Active())
        throw EDatabaseError(DisplayName() + "." + Operation +
                             ": Cannot perform this operation on an open dataset");
}

// ---------------------------------------------------------------- opening and closing

void TDataSet::SetActive(bool Value) {
    // A form file sets Active before the properties that follow it: open in Loaded.
    if (ComponentState().Contains(csLoading)) {
        FStreamedActive = Value;
        return;
    }
    if (Value)
        Open();
    else
        Close();
}

void TDataSet::Loaded() {
    TComponent::Loaded();
    if (FStreamedActive) {
        FStreamedActive = false;
        Open();
    }
}

void TDataSet::Open() {
    if (Active())
        return;
    if (BeforeOpen)
        BeforeOpen(this);
    bool HasRecord = false;
    try {
        RetireDataFields();
        OpenCursor();
        FState = dsBrowse;
        HasRecord = MoveToFirst();
    } catch (...) {
        CloseCursor();
        FState = dsInactive;
        RetireDataFields();
        throw;
    }
    FBof = true;
    FEof = !HasRecord;
    FCalculatedValid = false;
    DataEvent(deUpdateState);
    DataEvent(deDataSetChange);
    if (AfterOpen)
        AfterOpen(this);
}

void TDataSet::Close() {
    if (!Active())
        return;
    if (BeforeClose)
        BeforeClose(this);
    DoClose(true);
    if (AfterClose)
        AfterClose(this);
}

void TDataSet::DoClose(bool Notify) {
    CloseCursor();
    FState = dsInactive;
    FBof = true;
    FEof = true;
    FCalculatedValid = false;
    RetireDataFields();
    if (Notify)
        DataEvent(deUpdateState);
}

void TDataSet::RetireDataFields() {
    for (int Index = 0; Index < FDataFieldCount; ++Index) {
        FFields.front()->FDetached = true;
        FRetiredFields.push_back(std::move(FFields.front()));
        FFields.erase(FFields.begin());
    }
    FDataFieldCount = 0;
}

void TDataSet::CreateDataField(const std::string& Name, TFieldType DataType, int Size) {
    for (int Index = FDataFieldCount; Index < FieldCount(); ++Index)
        if (FFields[static_cast<std::size_t>(Index)]->FieldName() == Name)
            throw EDatabaseError(DisplayName() + ".Open: the defined field '" + Name +
                                 "' has the name of a column");
    if (FindField(Name) != nullptr)
        throw EDatabaseError(DisplayName() + ".Open: duplicate field name '" + Name + "'");
    // An earlier opening's field of the same shape comes back, so that pointers to it
    // that the application kept across Close and Open stay good.
    auto Retired = std::find_if(FRetiredFields.begin(), FRetiredFields.end(), [&](auto& Field) {
        return Field->FieldName() == Name && Field->DataType() == DataType && Field->Size() == Size;
    });
    std::unique_ptr<TField> Field;
    if (Retired != FRetiredFields.end()) {
        Field = std::move(*Retired);
        FRetiredFields.erase(Retired);
        Field->FDetached = false;
    } else {
        Field = std::make_unique<TField>(*this, Name, DataType, Size, fkData);
    }
    Field->FSlot = FDataFieldCount;
    FFields.insert(FFields.begin() + FDataFieldCount, std::move(Field));
    ++FDataFieldCount;
}

// ---------------------------------------------------------------- navigation

void TDataSet::First() {
    CheckActive("First");
    const bool HasRecord = MoveToFirst();
    FBof = true;
    FEof = !HasRecord;
    if (HasRecord)
        Scrolled(0);
}

void TDataSet::Last() {
    CheckActive("Last");
    const bool HasRecord = MoveToLast();
    FEof = true;
    FBof = !HasRecord;
    if (HasRecord)
        Scrolled(0);
}

std::optional<TDataSet::TRecordPosition> TDataSet::EstimatedRecordPosition(bool MayCount) {
    if (!Active() || !HasCurrentRow())
        return std::nullopt;
    const auto Count = EstimateRecordCount();
    if (!Count)
        return std::nullopt;
    const auto Before = FBof   ? std::optional<std::int64_t>(0)
                        : FEof ? std::optional<std::int64_t>(std::max<std::int64_t>(*Count - 1, 0))
                               : RecordsBeforeCurrent(MayCount);
    if (!Before)
        return std::nullopt;
    return TRecordPosition{*Before, std::max(*Count, *Before + 1)};
}

bool TDataSet::MoveToFraction(double Fraction) {
    CheckActive("MoveToFraction");
    if (!HasCurrentRow() || !MoveToEstimatedFraction(std::clamp(Fraction, 0.0, 1.0)))
        return false;
    FBof = false;
    FEof = false;
    Scrolled(0);
    return true;
}

void TDataSet::Next() {
    CheckActive("Next");
    if (!MoveToNext()) {
        FEof = true;
        return;
    }
    FBof = false;
    FEof = false;
    Scrolled(1);
}

void TDataSet::Prior() {
    CheckActive("Prior");
    if (!MoveToPrior()) {
        FBof = true;
        return;
    }
    FBof = false;
    FEof = false;
    Scrolled(-1);
}

int TDataSet::MoveBy(int Distance) {
    CheckActive("MoveBy");
    int Moved = 0;
    while (Moved < Distance && MoveToNext())
        ++Moved;
    while (Moved > Distance && MoveToPrior())
        --Moved;
    if (Moved != 0) {
        FBof = false;
        FEof = false;
    }
    if (Moved != Distance) {
        if (Distance > 0)
            FEof = true;
        else
            FBof = true;
    }
    if (Moved != 0)
        Scrolled(Moved);
    return Moved;
}

bool TDataSet::IsEmpty() const {
    CheckActive("IsEmpty");
    return !HasCurrentRow();
}

void TDataSet::Scrolled(int Distance) {
    FCalculatedValid = false;
    DataEvent(deDataSetScroll, Distance);
    if (AfterScroll)
        AfterScroll(this);
}

void TDataSet::RowsChangedFromFirst(bool HasRecord) {
    FBof = true;
    FEof = !HasRecord;
    FCalculatedValid = false;
    DataEvent(deDataSetChange);
}

void TDataSet::RowsChangedAround() {
    FBof = false;
    FEof = false;
    FCalculatedValid = false;
    DataEvent(deDataSetChange);
}

TDataSet::TReread TDataSet::ReadRowsAgain(const TBookmark& Keep) {
    DiscardRows();
    if (!Keep.Empty() && MoveToBookmark(Keep))
        return TReread::Kept;
    return MoveToFirst() ? TReread::FromFirst : TReread::Empty;
}

void TDataSet::RowsReadAgain(TReread Read) {
    if (Read == TReread::Kept)
        RowsChangedAround();
    else
        RowsChangedFromFirst(Read == TReread::FromFirst);
}

void TDataSet::ChangeRows(const std::function<void()>& Change, const std::function<void()>& Undo,
                          const TBookmark& Keep) {
    Change();
    if (!Active())
        return;
    TReread Read = TReread::Empty;
    try {
        Read = ReadRowsAgain(Keep);
    } catch (...) {
        Undo();
        try {
            // Back on the record it kept, the dataset shows what it showed before.
            const TReread Again = ReadRowsAgain(Keep);
            if (Again != TReread::Kept)
                RowsReadAgain(Again);
        } catch (...) {
            // The old rows cannot be read either: a closed dataset is the honest state.
            Close();
        }
        throw;
    }
    RowsReadAgain(Read);
}

void TDataSet::Refresh() {
    CheckActive("Refresh");
    ++FRefreshCount;
    RowsReadAgain(ReadRowsAgain(Bookmark()));
}

// ---------------------------------------------------------------- notifications

void TDataSet::DisableControls() {
    if (FDisableCount++ == 0)
        FActiveWhenDisabled = Active();
}

void TDataSet::EnableControls() {
    if (FDisableCount == 0)
        return;
    if (--FDisableCount > 0)
        return;
    if (Active() != FActiveWhenDisabled)
        DataEvent(deUpdateState);
    if (Active())
        DataEvent(deDataSetChange);
}

void TDataSet::DataEvent(TDataEvent Event, std::intptr_t Info) {
    if (FDisableCount > 0)
        return;
    // A link's handler may free a data source: tell only those still attached.
    const std::vector<TDataSource*> Sources = FDataSources;
    for (TDataSource* Source : Sources)
        if (std::find(FDataSources.begin(), FDataSources.end(), Source) != FDataSources.end())
            Source->NotifyDataLinks(Event, Info);
}

void TDataSet::AddDataSource(TDataSource* Source) {
    FDataSources.push_back(Source);
}

void TDataSet::RemoveDataSource(TDataSource* Source) {
    FDataSources.erase(std::remove(FDataSources.begin(), FDataSources.end(), Source),
                       FDataSources.end());
}

// ---------------------------------------------------------------- bookmarks

TBookmark TDataSet::Bookmark() const {
    CheckActive("Bookmark");
    return HasCurrentRow() ? CurrentBookmark() : TBookmark{};
}

void TDataSet::SetBookmark(const TBookmark& Value) {
    CheckActive("SetBookmark");
    if (Value.Empty())
        return;
    if (!MoveToBookmark(Value))
        throw EDatabaseError(DisplayName() +
                             ".SetBookmark: Record not found: the bookmarked record no longer "
                             "exists in the dataset");
    FBof = false;
    FEof = false;
    Scrolled(0);
}

// ---------------------------------------------------------------- fields

TField* TDataSet::Fields(int Index) const {
    if (Index < 0 || Index >= FieldCount())
        throw EListError(DisplayName() + ".Fields: List index out of bounds (" +
                         std::to_string(Index) + ")");
    return FFields[static_cast<std::size_t>(Index)].get();
}

TField* TDataSet::FindField(const std::string& FieldName) const {
    for (const auto& Field : FFields)
        if (Field->FieldName() == FieldName)
            return Field.get();
    return nullptr;
}

TField* TDataSet::FieldByName(const std::string& FieldName) const {
    TField* Field = FindField(FieldName);
    if (Field == nullptr)
        throw EDatabaseError(DisplayName() + ": Field '" + FieldName + "' not found");
    return Field;
}

std::vector<TField*> TDataSet::FieldList(const std::string& FieldNames) const {
    std::vector<TField*> Fields;
    for (const std::string& Name : SplitList(FieldNames, ';'))
        Fields.push_back(FieldByName(Name));
    return Fields;
}

TField* TDataSet::AddDefinedField(std::unique_ptr<TField> Field) {
    CheckInactive("AddField");
    if (Field->FieldName().empty())
        throw EDatabaseError(DisplayName() + ".AddField: a field needs a name");
    if (FindField(Field->FieldName()) != nullptr)
        throw EDatabaseError(DisplayName() + ".AddField: Field '" + Field->FieldName() +
                             "' already exists");
    Field->FSlot = FieldCount() - FDataFieldCount;
    FFields.push_back(std::move(Field));
    return FFields.back().get();
}

TField* TDataSet::AddCalculatedField(const std::string& FieldName, TFieldType DataType, int Size) {
    return AddDefinedField(
        std::make_unique<TField>(*this, FieldName, DataType, Size, fkCalculated));
}

TField* TDataSet::AddLookupField(const std::string& FieldName, TFieldType DataType,
                                 TDataSet* LookupDataSet, const std::string& KeyFields,
                                 const std::string& LookupKeyFields,
                                 const std::string& LookupResultField, int Size) {
    if (LookupDataSet == nullptr || LookupDataSet == this)
        throw EDatabaseError(DisplayName() + ".AddLookupField: field '" + FieldName +
                             "' needs another dataset to look up in");
    if (SplitList(KeyFields, ';').size() != SplitList(LookupKeyFields, ';').size() ||
        KeyFields.empty())
        throw EDatabaseError(DisplayName() + ".AddLookupField: field '" + FieldName +
                             "': KeyFields '" + KeyFields + "' and LookupKeyFields '" +
                             LookupKeyFields + "' must name as many fields");
    auto Field = std::make_unique<TField>(*this, FieldName, DataType, Size, fkLookup);
    Field->SetKeyFields(KeyFields);
    Field->SetLookupKeyFields(LookupKeyFields);
    Field->SetLookupResultField(LookupResultField);
    Field->SetLookupDataSet(LookupDataSet);
    return AddDefinedField(std::move(Field));
}

void TDataSet::AddLookupClient(TField* Field) {
    FLookupClients.push_back(Field);
}

void TDataSet::RemoveLookupClient(TField* Field) {
    FLookupClients.erase(std::remove(FLookupClients.begin(), FLookupClients.end(), Field),
                         FLookupClients.end());
}

TVariant TDataSet::FieldValue(const TField& Field) {
    if (Field.FDetached)
        throw EDatabaseError(DisplayName() + ": Field '" + Field.FieldName() +
                             "' belongs to an earlier opening of the dataset");
    CheckActive("FieldValue");
    if (FCalculatedRow == nullptr && !HasCurrentRow())
        return TVariant();
    if (Field.FieldKind() == fkData) {
        const TRow& Row = FCalculatedRow != nullptr ? *FCalculatedRow : CurrentRow();
        return Row[static_cast<std::size_t>(Field.FSlot)];
    }
    if (!FCalculatedValid && !FCalculating)
        CalculateFields();
    return FCalculatedValues[static_cast<std::size_t>(Field.FSlot)];
}

void TDataSet::SetCalculatedValue(const TField& Field, const TVariant& Value) {
    if (!FCalculating || !Field.Calculated())
        throw EDatabaseError(DisplayName() + ": Field '" + Field.FieldName() +
                             "' cannot be modified");
    FCalculatedValues[static_cast<std::size_t>(Field.FSlot)] = Value;
}

void TDataSet::CalculateFields() {
    FCalculatedValues.assign(static_cast<std::size_t>(FieldCount() - FDataFieldCount), TVariant());
    {
        const TRestoreOnExit<bool> Calculating(FCalculating, true);
        const TRestoreOnExit<TDataSetState> State(FState, dsCalcFields);
        for (int Index = FDataFieldCount; Index < FieldCount(); ++Index) {
            const TField& Field = *FFields[static_cast<std::size_t>(Index)];
            if (Field.Lookup())
                FCalculatedValues[static_cast<std::size_t>(Field.FSlot)] = ResolveLookup(Field);
        }
        if (OnCalcFields)
            OnCalcFields(this);
    }
    FCalculatedValid = true;
}

TVariant TDataSet::ResolveLookup(const TField& Field) {
    TDataSet* Source = Field.LookupDataSet();
    if (Source == nullptr || !Source->Active())
        return TVariant();
    std::vector<TVariant> Keys;
    for (TField* KeyField : FieldList(Field.KeyFields())) {
        Keys.push_back(KeyField->Value());
        if (Keys.back().IsNull())
            return TVariant();
    }
    return Source->Lookup(Field.LookupKeyFields(), Keys, Field.LookupResultField());
}

// ---------------------------------------------------------------- searching

namespace {

void CheckKeys(const std::string& Operation, const std::vector<TField*>& Fields,
               const std::vector<TVariant>& Values) {
    if (Fields.empty())
        throw EDatabaseError(Operation + ": no key fields given");
    if (Fields.size() != Values.size())
        throw EDatabaseError(Operation + ": " + std::to_string(Fields.size()) +
                             " key field(s) but " + std::to_string(Values.size()) + " value(s)");
    for (TField* Field : Fields)
        if (Field->FieldKind() != fkData)
            throw EDatabaseError(Operation + ": field '" + Field->FieldName() +
                                 "' is not a database column and cannot be searched");
}

} // namespace

bool TDataSet::Locate(const std::string& KeyFields, const std::vector<TVariant>& KeyValues,
                      TLocateOptions Options) {
    CheckActive("Locate");
    const std::vector<TField*> Fields = FieldList(KeyFields);
    CheckKeys(DisplayName() + ".Locate", Fields, KeyValues);
    if (!MoveToMatch(Fields, KeyValues, Options))
        return false;
    FBof = false;
    FEof = false;
    Scrolled(0);
    return true;
}

TVariant TDataSet::Lookup(const std::string& KeyFields, const std::vector<TVariant>& KeyValues,
                          const std::string& ResultField) {
    CheckActive("Lookup");
    const std::vector<TField*> Fields = FieldList(KeyFields);
    CheckKeys(DisplayName() + ".Lookup", Fields, KeyValues);
    TField* Result = FieldByName(ResultField);
    if (Result->FieldKind() != fkData)
        throw EDatabaseError(DisplayName() + ".Lookup: field '" + ResultField +
                             "' is not a database column");
    return FindValue(Fields, KeyValues, *Result);
}

} // namespace vorn
