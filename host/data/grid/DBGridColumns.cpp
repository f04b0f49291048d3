#include "host/data/grid/DBGridColumns.h"

#include "host/components/model/Exception.h"
#include "host/data/grid/DBGrid.h"

#include <algorithm>

namespace vorn {

namespace {

// A headless estimate of text width: no font metrics exist without a screen.
constexpr int CharacterWidth = 7;
constexpr int CellPadding = 4;

bool SameFont(const TFont& A, const TFont& B) {
    return A.Color() == B.Color() && A.Name() == B.Name() && A.Size() == B.Size() &&
           A.Style() == B.Style();
}

} // namespace

// ---------------------------------------------------------------- TColumnTitle

const TClass& TColumnTitle::StaticClass() {
    static const TClass Class = [] {
        TClass C("TColumnTitle", &TPersistent::StaticClass());
        C.AddProperty(MakeProperty("Caption", StringTypeInfo(), &TColumnTitle::Caption,
                                   &TColumnTitle::SetCaption));
        C.AddProperty(
            MakeProperty("Color", ColorTypeInfo(), &TColumnTitle::Color, &TColumnTitle::SetColor));
        C.AddProperty(MakeSubObjectProperty("Font", FontTypeInfo(), &TColumnTitle::Font));
        return C;
    }();
    return Class;
}

TColumnTitle::TColumnTitle(TColumn& Column) : FColumn(Column), FFont(std::make_unique<TFont>()) {
    FFont->OnChange = [this](TObject*) { FontChanged(); };
}

TColumnTitle::~TColumnTitle() {
    FFont->OnChange = nullptr;
}

std::string TColumnTitle::Caption() const {
    if (FCaptionAssigned)
        return FCaption;
    if (const TField* Field = FColumn.Field())
        return Field->DisplayLabel();
    return FColumn.FieldName();
}

void TColumnTitle::SetCaption(const std::string& Value) {
    if (FCaptionAssigned && Value == FCaption)
        return;
    FCaption = Value;
    FCaptionAssigned = true;
    FColumn.TitleChanged();
}

void TColumnTitle::SetColor(TColor Value) {
    if (Value == FColor)
        return;
    FColor = Value;
    FColumn.TitleChanged();
}

void TColumnTitle::SetSortMark(const TTitleSortMark& Value) {
    if (Value == FSortMark)
        return;
    FSortMark = Value;
    FColumn.TitleChanged();
}

void TColumnTitle::RestoreDefaults() {
    FCaption.clear();
    FCaptionAssigned = false;
    FColor = clBtnFace;
    FFontAssigned = false;
    TakeGridFont();
    FColumn.TitleChanged();
}

void TColumnTitle::Assign(const TPersistent* Source) {
    const auto* Other = dynamic_cast<const TColumnTitle*>(Source);
    if (Other == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    FCaption = Other->FCaption;
    FCaptionAssigned = Other->FCaptionAssigned;
    FColor = Other->FColor;
    if (Other->FFontAssigned) {
        FFont->Assign(Other->FFont.get());
    } else {
        FFontAssigned = false;
        TakeGridFont();
    }
    FColumn.TitleChanged();
}

void TColumnTitle::TakeGridFont() {
    const TCustomDBGrid* Grid = FColumn.Grid();
    if (Grid == nullptr)
        return;
    FTakingGridFont = true;
    try {
        FFont->Assign(Grid->TitleFont());
    } catch (...) {
        FTakingGridFont = false;
        throw;
    }
    FTakingGridFont = false;
}

void TColumnTitle::FontChanged() {
    // A font that equals the grid's title font (a form file's copy, a highlight put back)
    // keeps following it.
    const TCustomDBGrid* Grid = FColumn.Grid();
    if (!FTakingGridFont)
        FFontAssigned = Grid == nullptr || !SameFont(*FFont, *Grid->TitleFont());
    FColumn.TitleChanged();
}

// ---------------------------------------------------------------- TColumn

const TClass& TColumn::StaticClass() {
    static const TClass Class = [] {
        TClass C("TColumn", &TCollectionItem::StaticClass());
        static const TTypeInfo TitleType{
            "TColumnTitle", tkObject, {}, &TColumnTitle::StaticClass()};
        C.AddProperty(MakeProperty("FieldName", StringTypeInfo(), &TColumn::FieldName,
                                   &TColumn::SetFieldName));
        C.AddProperty(MakeSubObjectProperty("Title", TitleType, &TColumn::Title));
        C.AddProperty(
            MakeProperty("Visible", BooleanTypeInfo(), &TColumn::Visible, &TColumn::SetVisible));
        C.AddProperty(
            MakeProperty("Width", IntegerTypeInfo(), &TColumn::Width, &TColumn::SetWidth));
        return C;
    }();
    return Class;
}

TColumn::TColumn() : FTitle(std::make_unique<TColumnTitle>(*this)) {}

TColumn::~TColumn() = default;

void TColumn::SetFieldName(const std::string& Value) {
    if (Value == FFieldName)
        return;
    FFieldName = Value;
    Changed(false);
}

TField* TColumn::Field() const {
    const TCustomDBGrid* Owner = Grid();
    if (Owner == nullptr || FFieldName.empty() || Owner->DataSource() == nullptr)
        return nullptr;
    const TDataSet* DataSet = Owner->DataSource()->DataSet();
    return DataSet != nullptr ? DataSet->FindField(FFieldName) : nullptr;
}

TDBGridColumns* TColumn::Columns() const {
    return dynamic_cast<TDBGridColumns*>(Collection());
}

TCustomDBGrid* TColumn::Grid() const {
    const TDBGridColumns* Owner = Columns();
    return Owner != nullptr ? Owner->Grid() : nullptr;
}

int TColumn::Width() const {
    return FWidthAssigned ? FWidth : DefaultWidth();
}

void TColumn::SetWidth(int Value) {
    if (Value < 0)
        throw EListError("TColumn.SetWidth() The width " + std::to_string(Value) + " is negative");
    if (FWidthAssigned && Value == FWidth)
        return;
    FWidth = Value;
    FWidthAssigned = true;
    Changed(false);
}

int TColumn::DefaultWidth() const {
    const TField* AField = Field();
    if (AField == nullptr) {
        const TCustomDBGrid* Owner = Grid();
        return Owner != nullptr ? Owner->DefaultColWidth() : 64;
    }
    const int Characters =
        std::max(AField->DisplayWidth(), static_cast<int>(FTitle->Caption().size()));
    return Characters * CharacterWidth + CellPadding;
}

void TColumn::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    Changed(true);
}

std::string TColumn::DisplayName() const {
    return FFieldName.empty() ? TCollectionItem::DisplayName() : FFieldName;
}

void TColumn::RestoreDefaults() {
    FWidthAssigned = false;
    FVisible = true;
    FTitle->RestoreDefaults();
    Changed(true);
}

void TColumn::Assign(const TPersistent* Source) {
    const auto* Other = dynamic_cast<const TColumn*>(Source);
    if (Other == nullptr) {
        TCollectionItem::Assign(Source);
        return;
    }
    FFieldName = Other->FFieldName;
    FWidth = Other->FWidth;
    FWidthAssigned = Other->FWidthAssigned;
    FVisible = Other->FVisible;
    FTitle->Assign(Other->FTitle.get());
    Changed(true);
}

// ---------------------------------------------------------------- TDBGridColumns

const TClass& TDBGridColumns::StaticClass() {
    static const TClass Class("TDBGridColumns", &TCollection::StaticClass());
    return Class;
}

TDBGridColumns::TDBGridColumns(TCustomDBGrid* Grid) : FGrid(Grid) {}

TDBGridColumns::~TDBGridColumns() {
    // The items outlive this part of the collection: they must not find their grid.
    FGrid = nullptr;
}

TColumn* TDBGridColumns::FindColumn(const std::string& FieldName) const {
    for (int Index = 0; Index < Count(); ++Index)
        if (Items(Index)->FieldName() == FieldName)
            return Items(Index);
    return nullptr;
}

void TDBGridColumns::SetState(TDBGridColumnsState Value) {
    if (Value == csCustomized) {
        FState = csCustomized;
        return;
    }
    FState = csDefault;
    BuildDefaultColumns();
}

void TDBGridColumns::RebuildColumns() {
    SetState(csDefault);
}

void TDBGridColumns::RestoreDefaults() {
    BeginUpdate();
    try {
        for (int Index = 0; Index < Count(); ++Index)
            Items(Index)->RestoreDefaults();
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TDBGridColumns::FieldsChanged() {
    if (FState == csDefault && !MatchesFields())
        BuildDefaultColumns();
}

void TDBGridColumns::GridTitleFontChanged() {
    for (int Index = 0; Index < Count(); ++Index)
        if (!Items(Index)->Title()->FontAssigned())
            Items(Index)->Title()->TakeGridFont();
}

int TDBGridColumns::StreamItemCount() const {
    return FState == csCustomized ? Count() : 0;
}

TObject& TDBGridColumns::StreamItem(int Index) const {
    return *Items(Index);
}

TObject& TDBGridColumns::AddStreamItem() {
    return *Add();
}

void TDBGridColumns::ClearStreamItems() {
    Clear();
}

std::unique_ptr<TCollectionItem> TDBGridColumns::CreateItem() {
    return std::make_unique<TColumn>();
}

void TDBGridColumns::Notify(TCollectionItem* Item, TCollectionNotification Action) {
    if (Action != cnAdded)
        return;
    static_cast<TColumn*>(Item)->Title()->TakeGridFont();
    if (!FBuildingDefault)
        FState = csCustomized;
}

void TDBGridColumns::Update(TCollectionItem*) {
    if (!FBuildingDefault && Count() == 0 && !MatchesFields()) {
        // The last customized column went: the dataset's fields show again.
        FState = csDefault;
        BuildDefaultColumns();
        return;
    }
    if (!FBuildingDefault && Count() == 0)
        FState = csDefault;
    if (FGrid != nullptr)
        FGrid->ColumnsChanged();
}

void TDBGridColumns::BuildDefaultColumns() {
    const TDataSet* DataSet = FGrid != nullptr && FGrid->DataSource() != nullptr
                                  ? FGrid->DataSource()->DataSet()
                                  : nullptr;
    FBuildingDefault = true;
    BeginUpdate();
    try {
        Clear();
        for (int Index = 0; DataSet != nullptr && Index < DataSet->FieldCount(); ++Index)
            Add()->SetFieldName(DataSet->Fields(Index)->FieldName());
    } catch (...) {
        EndUpdate();
        FBuildingDefault = false;
        throw;
    }
    EndUpdate();
    FBuildingDefault = false;
}

bool TDBGridColumns::MatchesFields() const {
    const TDataSet* DataSet = FGrid != nullptr && FGrid->DataSource() != nullptr
                                  ? FGrid->DataSource()->DataSet()
                                  : nullptr;
    const int FieldCount = DataSet != nullptr ? DataSet->FieldCount() : 0;
    if (FieldCount != Count())
        return false;
    for (int Index = 0; Index < FieldCount; ++Index)
        if (Items(Index)->FieldName() != DataSet->Fields(Index)->FieldName())
            return false;
    return true;
}

} // namespace vorn
