#include "Source/DBFilterGrid.h"

#include "Source/VornDataResources.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"
#include "host/data/drivers/DatabaseError.h"

namespace vorn {

namespace {

constexpr int FilterRowHeight = 21;
constexpr int LeftArgWidth = 120;
constexpr int OperatorWidth = 100;
constexpr int RightArgWidth = 120;
constexpr int BoolOperatorWidth = 40;
// Room for a vertical scroll bar beside the columns.
constexpr int ScrollBarAllowance = 24;

const TTypeInfo& DataSourceTypeInfo() {
    static const TTypeInfo Info{"TDataSource", tkComponent, {}, &TDataSource::StaticClass()};
    return Info;
}

// Whether a query reads local table files. A query whose database cannot be reached
// yet (no DatabaseName, an alias not defined so far) is taken as not local: the
// designer only picks defaults from the answer, and the assignment must not fail.
bool IsLocalQuery(const TQuery& Query) {
    try {
        return Query.Local();
    } catch (const EDatabaseError&) {
        return false;
    }
}

} // namespace

const TClass& TDBFilterGrid::StaticClass() {
    static const TClass Class = [] {
        TClass C("TDBFilterGrid", &TStringGrid::StaticClass(), &CreateComponentOf<TDBFilterGrid>);
        C.AddProperty(MakeProperty("DataSource", DataSourceTypeInfo(), &TDBFilterGrid::DataSource,
                                   &TDBFilterGrid::SetDataSource));
        C.AddProperty(MakeProperty("FilterKind", FilterKindTypeInfo(), &TDBFilterGrid::FilterKind,
                                   &TDBFilterGrid::SetFilterKind));
        C.AddProperty(MakeProperty("FilterMaxDropDownCount", IntegerTypeInfo(),
                                   &TDBFilterGrid::FilterMaxDropDownCount,
                                   &TDBFilterGrid::SetFilterMaxDropDownCount));
        C.AddProperty(MakeProperty("DefaultOperator", FilterOperatorIndexTypeInfo(),
                                   &TDBFilterGrid::DefaultOperator,
                                   &TDBFilterGrid::SetDefaultOperator));
        C.AddProperty(MakeProperty("Wildcards", StringTypeInfo(), &TDBFilterGrid::Wildcards,
                                   &TDBFilterGrid::SetWildcards));
        C.AddProperty(MakeProperty("TargetWildcards", StringTypeInfo(),
                                   &TDBFilterGrid::TargetWildcards,
                                   &TDBFilterGrid::SetTargetWildcards));
        C.AddProperty(MakeProperty("FilterGridOptions", FilterGridOptionsTypeInfo(),
                                   &TDBFilterGrid::FilterGridOptions,
                                   &TDBFilterGrid::SetFilterGridOptions));
        C.AddProperty(
            WithStreamDefault(MakeProperty("FilterBuilderOptions", FilterBuilderOptionsTypeInfo(),
                                           &TDBFilterGrid::FilterBuilderOptions,
                                           &TDBFilterGrid::SetFilterBuilderOptions),
                              TFilterBuilderOptions{}));
        C.AddProperty(WithStreamDefault(MakeProperty("FilterRows", StringTypeInfo(),
                                                     &TDBFilterGrid::FilterRows,
                                                     &TDBFilterGrid::SetFilterRows),
                                        std::string()));
        return C;
    }();
    return Class;
}

TDBFilterGrid::TDBFilterGrid(TComponent* AOwner)
    : TStringGrid(AOwner), FDataLink(std::make_unique<TFieldDataLink>()) {
    SetDefaultAccessibleName("Filter");
    if (!ComponentState().Contains(csDesigning)) {
        // The grid makes these itself whenever it is created, so form files leave them out.
        FInCellEditor = new TDBFilterGridComboBox(this);
        FInCellEditor->SetSubComponent(true);
        FInCellEditor->SetParent(this);
        FInCellEditor->SetParentFont(true);
        FInCellEditor->Hide();
        FValueListQuery = new TQuery(this);
        FValueListQuery->SetSubComponent(true);
        FRowButton = new TDBFilterGridSpeedButton(this);
        FRowButton->SetSubComponent(true);
        FRowButton->SetParent(this);
        FRowButton->Hide();
        FDeleteRowBitmap = std::make_unique<TBitmap>();
        FDeleteRowBitmap->LoadFromResourceName(VornDataModuleName, "DELETEFILTERROW");
        FRowButton->SetGlyph(FDeleteRowBitmap.get());
    }

    SetDefaultRowHeight(FilterRowHeight);
    FFilterMaxDropDownCount = 15;
    FDataLink->OnActiveChange = [this](TObject* Sender) { ActiveChange(Sender); };
    FFilterKind = fkSQL;
    SetFixedCols(1);
    SetColCount(FixedCols() + FilterColumnCount);
    SetRowCount(2);
    SetFixedRows(1);
    SetOptions(Options() + TGridOptions{goColSizing, goThumbTracking});
    // The fixed column is as wide as a row is high, so that the row button over it is square.
    SetColWidths(0, DefaultRowHeight());
    SetWidth(ColWidths(0) + LeftArgWidth + OperatorWidth + RightArgWidth + BoolOperatorWidth +
             ScrollBarAllowance);
    SetColWidths(FilterColumn(fciLeftArg), LeftArgWidth);
    SetColWidths(FilterColumn(fciOperator), OperatorWidth);
    SetColWidths(FilterColumn(fciRightArg), RightArgWidth);
    SetColWidths(FilterColumn(fciBoolOperator), BoolOperatorWidth);
    ColumnNames = fcnEnglish;
    OperatorNames = fonComputer;
    BoolNames = fbnComputer;
    GroupNames = fgnComputer;
    MoreOperatorNames = fmonComputer;
    FDefaultOperator = foiEqual;
    for (int Column = fciLeftArg; Column <= fciBoolOperator; ++Column)
        SetCells(FilterColumn(static_cast<TFilterColumnIndex>(Column)), 0,
                 ColumnNames[static_cast<std::size_t>(Column)]);
    FArrowKeyFlag = false;
    FWildcards = "*?";
    FTargetWildcards = "%_";
    FFilterGridOptions = {fgoCorrect, fgoNonTableValueList, fgoStrictOperators};
}

TDBFilterGrid::~TDBFilterGrid() {
    Destroying();
    // The link goes first, so that no notice of the dataset reaches a grid whose
    // owned components are about to go. The button holds a copy of the picture, so
    // the bitmap needs no detaching before it is freed with the grid.
    FDataLink.reset();
}

TDataSource* TDBFilterGrid::DataSource() const {
    return FDataLink->DataSource();
}

void TDBFilterGrid::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
    // A form being read keeps the kind and options it stored.
    const TComponentState State = ComponentState();
    if (!State.Contains(csDesigning) || State.Contains(csLoading) || Value == nullptr)
        return;
    TDataSet* DataSet = Value->DataSet();
    if (dynamic_cast<TTable*>(DataSet) != nullptr) {
        FFilterKind = fkSimple;
        FFilterGridOptions.Include(fgoCaseSensitive);
        return;
    }
    auto* Query = dynamic_cast<TQuery*>(DataSet);
    if (Query != nullptr && IsLocalQuery(*Query))
        FFilterKind = fkSimple;
}

void TDBFilterGrid::SetFilterMaxDropDownCount(int Value) {
    if (Value < 0)
        throw Exception("TDBFilterGrid.SetFilterMaxDropDownCount() The count " +
                        std::to_string(Value) + " is negative.");
    FFilterMaxDropDownCount = Value;
}

void TDBFilterGrid::SetDefaultOperator(TFilterOperatorIndex Value) {
    if (Value < foiLess || Value > foiIsNotNull)
        throw Exception("TDBFilterGrid.SetDefaultOperator() Unknown operator index.");
    FDefaultOperator = Value;
}

void TDBFilterGrid::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != nullptr) {
        if (AComponent == DataSource())
            SetDataSource(nullptr);
        // The owned helpers are dropped too should anyone free them before the grid.
        if (AComponent == FInCellEditor)
            FInCellEditor = nullptr;
        if (AComponent == FRowButton)
            FRowButton = nullptr;
        if (AComponent == FValueListQuery)
            FValueListQuery = nullptr;
    }
    TStringGrid::Notification(AComponent, Operation);
}

void TDBFilterGrid::SetParent(TWinControl* AParent) {
    TStringGrid::SetParent(AParent);
    if (ComponentState().Contains(csDestroying) || FInCellEditor == nullptr)
        return;
    FInCellEditor->SetParent(AParent);
}

void TDBFilterGrid::ActiveChange(TObject*) {
    if (FValueListQuery == nullptr)
        return;
    // A query changes its database only while closed; the next value list opens it again.
    FValueListQuery->Close();
    auto* Table = dynamic_cast<TTable*>(FDataLink->DataSet());
    if (Table != nullptr && Table->Active())
        FValueListQuery->SetDatabaseName(Table->DatabaseName());
}

int TDBFilterGrid::FilterColumn(TFilterColumnIndex Column) const {
    if (!FFilterBuilderOptions.Contains(fboGroups))
        return FixedCols() + Column;
    // Negation and "(" come before the field, ")" between the value and the connector.
    constexpr int GroupedPosition[FilterColumnCount] = {2, 3, 4, 6};
    return FixedCols() + GroupedPosition[Column];
}

int TDBFilterGrid::GroupColumn(TFilterGroupColumnIndex Column) const {
    if (!FFilterBuilderOptions.Contains(fboGroups))
        return -1;
    constexpr int Position[FilterGroupColumnCount] = {0, 1, 5};
    return FixedCols() + Position[Column];
}

TDBFilterGrid::TColumnRole TDBFilterGrid::ColumnRole(int Column) const {
    TColumnRole Role;
    if (Column < 0)
        return Role;
    for (int Index = fciLeftArg; Index <= fciBoolOperator; ++Index)
        if (FilterColumn(static_cast<TFilterColumnIndex>(Index)) == Column)
            Role.Filter = static_cast<TFilterColumnIndex>(Index);
    for (int Index = fgciNot; Index <= fgciClose; ++Index)
        if (GroupColumn(static_cast<TFilterGroupColumnIndex>(Index)) == Column)
            Role.Group = static_cast<TFilterGroupColumnIndex>(Index);
    return Role;
}

bool TDBFilterGrid::UnexistinqOrEmptyRow(int Row) const {
    if (Row < FixedRows() || Row >= RowCount())
        return true;
    for (int Column = FixedCols(); Column < ColCount(); ++Column)
        if (!Cells(Column, Row).empty())
            return false;
    return true;
}

bool TDBFilterGrid::DeleteOrClearRow(int Row) {
    if (Row < FixedRows() || Row >= RowCount())
        return false;
    for (int Column = 0; Column < ColCount(); ++Column)
        SetCells(Column, Row, std::string());
    if (RowCount() - FixedRows() <= 1)
        return false;
    DeleteRow(Row);
    return true;
}

void TDBFilterGrid::Clear() {
    for (int Row = RowCount() - 1; Row >= FixedRows(); --Row)
        DeleteOrClearRow(Row);
}

void TDBFilterGrid::HideInCellEditor() {
    if (FInCellEditor != nullptr)
        FInCellEditor->Hide();
}

} // namespace vorn
