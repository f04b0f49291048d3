#include "host/data/grid/DBGrid.h"

#include "host/components/controls/Input.h"
#include "host/components/model/AliveGuard.h"
#include "host/data/grid/DBGridRecords.h"

#include <algorithm>

namespace vorn {

namespace {

constexpr int IndicatorWidth = 12;

TGridOptions GridOptionsFor(TDBGridOptions Options, TGridOptions Current) {
    const TGridOptions Mapped = TGridOptions{
        goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goColSizing, goTabs, goRowSelect};
    TGridOptions Result = Current - Mapped + TGridOptions{goFixedVertLine, goFixedHorzLine};
    if (Options.Contains(dgColLines))
        Result.Include(goVertLine);
    if (Options.Contains(dgRowLines))
        Result.Include(goHorzLine);
    if (Options.Contains(dgColumnResize))
        Result.Include(goColSizing);
    if (Options.Contains(dgTabs))
        Result.Include(goTabs);
    if (Options.Contains(dgRowSelect))
        Result.Include(goRowSelect);
    return Result;
}

} // namespace

const TTypeInfo& DBGridOptionsTypeInfo() {
    static const TTypeInfo Info{"TDBGridOptions",
                                tkSet,
                                {"dgTitles", "dgIndicator", "dgColumnResize", "dgColLines",
                                 "dgRowLines", "dgTabs", "dgRowSelect"},
                                nullptr};
    return Info;
}

const TTypeInfo& DBGridClickEventTypeInfo() {
    static const TTypeInfo Info{"TDBGridClickEvent", tkMethod, {}, nullptr};
    return Info;
}

// ---------------------------------------------------------------- TGridDataLink

// Passes the dataset's notifications to the grid.
class TCustomDBGrid::TGridDataLink final : public TDataLink {
public:
    explicit TGridDataLink(TCustomDBGrid& Grid) : FGrid(Grid) {}

    void ActiveChanged() override { FGrid.LinkActiveChanged(); }
    void DataSetChanged() override { FGrid.LinkDataChanged(); }
    void DataSetScrolled(int Distance) override { FGrid.LinkScrolled(Distance); }

private:
    TCustomDBGrid& FGrid;
};

// ---------------------------------------------------------------- TCustomDBGrid

const TClass& TCustomDBGrid::StaticClass() {
    static const TClass Class("TCustomDBGrid", &TCustomGrid::StaticClass());
    return Class;
}

TCustomDBGrid::TCustomDBGrid(TComponent* AOwner)
    : TCustomGrid(AOwner), FDataLink(std::make_unique<TGridDataLink>(*this)),
      FColumns(std::make_unique<TDBGridColumns>(this)), FTitleFont(std::make_unique<TFont>()),
      FRecords(std::make_unique<TDBGridRecords>()) {
    FTitleFont->OnChange = [this](TObject*) { TitleFontChanged(); };
    SetDefaultAccessibleName("Data grid");
    UpdateLayout();
}

TCustomDBGrid::~TCustomDBGrid() {
    DetachFromOwner();
    // No notification may reach a grid whose parts are going.
    FDataLink.reset();
}

void TCustomDBGrid::DetachFromOwner() {
    Destroying();
    if (Owner() != nullptr)
        Owner()->RemoveComponent(this);
}

TDataSource* TCustomDBGrid::DataSource() const {
    return FDataLink ? FDataLink->DataSource() : nullptr;
}

void TCustomDBGrid::SetDataSource(TDataSource* Value) {
    FDataLink->SetDataSource(Value);
}

TDataSet* TCustomDBGrid::ActiveDataSet() const {
    return FDataLink && FDataLink->Active() ? FDataLink->DataSet() : nullptr;
}

void TCustomDBGrid::SetColumns(const TDBGridColumns* Value) {
    if (Value == FColumns.get())
        return;
    FColumns->BeginUpdate();
    try {
        FColumns->Clear();
        for (int Index = 0; Value != nullptr && Index < Value->Count(); ++Index)
            FColumns->Add()->Assign(Value->Items(Index));
    } catch (...) {
        FColumns->EndUpdate();
        throw;
    }
    FColumns->EndUpdate();
}

void TCustomDBGrid::SetOptions(TDBGridOptions Value) {
    if (Value == FOptions)
        return;
    FOptions = Value;
    // The title row takes room from the records.
    if (ActiveDataSet() != nullptr && !Updating())
        ReadRecords(FRecords->Active());
    else
        UpdateLayout();
}

std::string TCustomDBGrid::CellText(int ACol, int ARow) const {
    CheckCell("CellText()", ACol, ARow);
    const TColumn* Column = ColumnAt(ACol);
    if (Column == nullptr)
        return {};
    if (ARow < TitleRows())
        return Column->Title()->Caption();
    const TField* Field = Column->Field();
    if (Field == nullptr || ActiveDataSet() == nullptr)
        return {};
    return FRecords->Text(ARow - TitleRows(), Field->Index());
}

// The field a data cell shows, or nullptr (titles, the indicator, no dataset).
static const TField* CellField(const TCustomDBGrid& Grid, int ACol, int ARow) {
    const TColumn* Column = Grid.ColumnAt(ACol);
    if (Column == nullptr || ARow < Grid.FixedRows() || Grid.ActiveDataSet() == nullptr)
        return nullptr;
    return Column->Field();
}

std::string TCustomDBGrid::DisplayText(int ACol, int ARow) const {
    const std::string Text = CellText(ACol, ARow);
    const TField* Field = CellField(*this, ACol, ARow);
    return Field != nullptr ? Field->DisplayTextOf(Text) : Text;
}

TAlignment TCustomDBGrid::CellAlignment(int ACol, int ARow) const {
    CheckCell("CellAlignment()", ACol, ARow);
    const TField* Field = CellField(*this, ACol, ARow);
    return Field != nullptr ? Field->Alignment() : taLeftJustify;
}

TColumn* TCustomDBGrid::ColumnAt(int ACol) const {
    const int Index = ACol - IndicatorCols();
    if (Index < 0 || Index >= static_cast<int>(FShownColumns.size()))
        return nullptr;
    return FShownColumns[static_cast<std::size_t>(Index)];
}

int TCustomDBGrid::ColumnToGridCol(const TColumn* Column) const {
    const auto Position = std::find(FShownColumns.begin(), FShownColumns.end(), Column);
    if (Column == nullptr || Position == FShownColumns.end())
        return -1;
    return static_cast<int>(Position - FShownColumns.begin()) + IndicatorCols();
}

int TCustomDBGrid::RecordCount() const {
    return FRecords->Count();
}

int TCustomDBGrid::RecordCapacity() const {
    const int Line = GridLineWidth();
    const int Titles = TitleRows() * (DefaultRowHeight() + Line);
    const int Room = RowAreaHeight() - Titles + Line;
    return std::max(1, Room / std::max(1, DefaultRowHeight() + Line));
}

int TCustomDBGrid::CurrentRecordRow() const {
    const int Active = FRecords->Active();
    return Active < 0 ? -1 : TitleRows() + Active;
}

void TCustomDBGrid::TitleClick(TColumn* Column) {
    if (OnTitleClick)
        OnTitleClick(Column);
}

void TCustomDBGrid::KeyDown(int& Key, TShiftState Shift) {
    const bool Ctrl = Shift.Contains(ssCtrl);
    const bool ForTitles =
        FTitleFocused || (CanFocusTitle() && (Key == VK_F3 || (Ctrl && Key == VK_UP)));
    if (ForTitles) {
        const TAliveGuard Guard(*this);
        TWinControl::KeyDown(Key, Shift);
        if (Guard.Alive())
            TitleKeyDown(Key, Shift);
        return;
    }
    const bool MovesRecords = Key == VK_UP || Key == VK_DOWN || Key == VK_PRIOR || Key == VK_NEXT ||
                              (Ctrl && (Key == VK_HOME || Key == VK_END));
    TDataSet* DataSet = ActiveDataSet();
    if (!MovesRecords || DataSet == nullptr) {
        TCustomGrid::KeyDown(Key, Shift);
        return;
    }
    const TAliveGuard Guard(*this);
    TWinControl::KeyDown(Key, Shift);
    if (!Guard.Alive())
        return;
    switch (Key) {
    case VK_UP:
        MoveDataSet(-1);
        break;
    case VK_DOWN:
        MoveDataSet(1);
        break;
    case VK_PRIOR:
        MoveDataSet(-RecordCapacity());
        break;
    case VK_NEXT:
        MoveDataSet(RecordCapacity());
        break;
    case VK_HOME:
        DataSet->First();
        break;
    case VK_END:
        DataSet->Last();
        break;
    default: // OnKeyDown changed or cleared the key
        break;
    }
}

bool TCustomDBGrid::CanFocusTitle() const {
    return FOptions.Contains(dgTitles) && ColumnAt(Col()) != nullptr;
}

void TCustomDBGrid::SetTitleFocused(bool Value) {
    if (Value == FTitleFocused)
        return;
    FTitleFocused = Value;
    NotifyPeer([](TControlPeer& Peer) { Peer.GridPositionChanged(); });
}

void TCustomDBGrid::TitleKeyDown(int Key, TShiftState Shift) {
    const int FirstCol = FixedCols();
    const int LastCol = ColCount() - 1;
    switch (Key) {
    case VK_F3:
        if (TColumn* Column = ColumnAt(Col()))
            TitleClick(Column);
        return;
    case VK_UP:
        if (Shift.Contains(ssCtrl) || FTitleFocused)
            SetTitleFocused(true);
        return;
    default:
        break;
    }
    // The keys below belong to a focused title only.
    if (!FTitleFocused)
        return;
    switch (Key) {
    case VK_SPACE:
    case VK_RETURN:
        if (TColumn* Column = ColumnAt(Col()))
            TitleClick(Column);
        return;
    case VK_DOWN:
    case VK_ESCAPE:
        SetTitleFocused(false);
        return;
    case VK_LEFT:
        SetCol(std::max(Col() - 1, FirstCol));
        return;
    case VK_RIGHT:
        SetCol(std::min(Col() + 1, LastCol));
        return;
    case VK_HOME:
    case VK_END:
        // Ctrl+Home and Ctrl+End go to records, which the title row does not show.
        if (!Shift.Contains(ssCtrl))
            SetCol(Key == VK_HOME ? FirstCol : LastCol);
        return;
    default:
        return;
    }
}

void TCustomDBGrid::DoExit() {
    // OnExit may free the grid; when it raises, the focus and the title focus stay.
    const TAliveGuard Guard(*this);
    TCustomGrid::DoExit();
    if (Guard.Alive())
        SetTitleFocused(false);
}

void TCustomDBGrid::ScrollRecords(int Distance) {
    if (ActiveDataSet() == nullptr || Distance == 0)
        return;
    const int Capacity = RecordCapacity();
    const int Row = FRecords->Active() - Distance;
    if (Row >= 0 && Row < Capacity) {
        ReadRecords(Row);
        return;
    }
    const int Edge = Row < 0 ? 0 : Capacity - 1;
    const TAliveGuard Guard(*this);
    MoveDataSet(Edge - Row);
    if (Guard.Alive() && ActiveDataSet() != nullptr)
        ReadRecords(Edge);
}

void TCustomDBGrid::MoveDataSet(int Distance) {
    if (TDataSet* DataSet = ActiveDataSet())
        DataSet->MoveBy(Distance);
}

void TCustomDBGrid::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const TGridCoord Cell = MouseCoord(X, Y);
    const bool OnTitle = Button == mbLeft && Cell.Y >= 0 && Cell.Y < TitleRows();
    FPressedTitleCol = OnTitle && ColumnAt(Cell.X) != nullptr ? Cell.X : -1;
    // The mouse takes over from the keys: the title focus goes back to the cells.
    SetTitleFocused(false);
    // OnMouseDown, and the dataset's scroll events of the move, may free the grid.
    const TAliveGuard Guard(*this);
    TCustomGrid::MouseDown(Button, Shift, X, Y);
    if (!Guard.Alive())
        return;
    const int Record = Cell.Y - TitleRows();
    if (Button == mbLeft && Cell.Y >= 0 && Record >= 0 && Record < RecordCount())
        MoveDataSet(Record - FRecords->Active());
    if (!Guard.Alive())
        return;
    // The current row is the current record's, whatever the press selected.
    UpdateLayout();
}

void TCustomDBGrid::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    const int PressedCol = FPressedTitleCol;
    FPressedTitleCol = -1;
    const TAliveGuard Guard(*this);
    if (Button == mbLeft && PressedCol >= 0) {
        const TGridCoord Cell = MouseCoord(X, Y);
        if (Cell.X == PressedCol && Cell.Y >= 0 && Cell.Y < TitleRows())
            if (TColumn* Column = ColumnAt(Cell.X))
                TitleClick(Column);
    }
    if (Guard.Alive())
        TCustomGrid::MouseUp(Button, Shift, X, Y);
}

void TCustomDBGrid::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const int OldCapacity = RecordCapacity();
    TCustomGrid::SetBounds(ALeft, ATop, AWidth, AHeight);
    RecordCapacityChangedFrom(OldCapacity);
}

void TCustomDBGrid::SetScrollBarHeight(int Value) {
    const int OldCapacity = RecordCapacity();
    TCustomGrid::SetScrollBarHeight(Value);
    RecordCapacityChangedFrom(OldCapacity);
}

void TCustomDBGrid::RecordCapacityChangedFrom(int OldCapacity) {
    if (!FDataLink || RecordCapacity() == OldCapacity || Updating())
        return;
    if (ActiveDataSet() != nullptr)
        ReadRecords(FRecords->Active());
}

void TCustomDBGrid::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomGrid::Notification(AComponent, Operation);
    if (Operation == opRemove && FDataLink && AComponent == DataSource())
        SetDataSource(nullptr);
}

void TCustomDBGrid::Loaded() {
    TCustomGrid::Loaded();
    LinkActiveChanged();
}

bool TCustomDBGrid::Updating() const {
    const TComponentState State = ComponentState();
    return State.Contains(csLoading) || State.Contains(csDestroying);
}

void TCustomDBGrid::LinkActiveChanged() {
    if (Updating())
        return;
    FColumns->FieldsChanged();
    // Another dataset, or one just opened: its current record goes to the top.
    ReadRecords(0);
}

void TCustomDBGrid::LinkDataChanged() {
    if (Updating())
        return;
    FColumns->FieldsChanged();
    ReadRecords(FRecords->Active());
}

void TCustomDBGrid::LinkScrolled(int Distance) {
    if (Updating())
        return;
    TDataSet* DataSet = ActiveDataSet();
    if (DataSet != nullptr && FRecords->Follow(*DataSet, Distance, RecordCapacity())) {
        UpdateLayout();
        return;
    }
    // A jump: a step down shows the record at the bottom, a step up at the top, and a
    // jump of unknown length keeps its row where the records allow.
    const int Preferred = Distance > 0   ? RecordCapacity() - 1
                          : Distance < 0 ? 0
                                         : FRecords->Active();
    ReadRecords(Preferred);
}

void TCustomDBGrid::ReadRecords(int PreferredRow) {
    TDataSet* DataSet = ActiveDataSet();
    if (DataSet == nullptr) {
        FRecords->Clear();
        UpdateLayout();
        return;
    }
    try {
        FRecords->Read(*DataSet, RecordCapacity(), std::max(PreferredRow, 0));
    } catch (...) {
        FRecords->Clear();
        UpdateLayout();
        throw;
    }
    UpdateLayout();
}

void TCustomDBGrid::ColumnsChanged() {
    if (FColumns && !FLayingOut)
        UpdateLayout();
}

void TCustomDBGrid::TitleFontChanged() {
    if (FColumns)
        FColumns->GridTitleFontChanged();
}

void TCustomDBGrid::UpdateLayout() {
    if (FLayingOut || !FColumns)
        return;
    FLayingOut = true;
    // The shown columns, their titles or the records changed: the peer hears of it once,
    // however many of the grid's properties the layout sets.
    BeginLayoutUpdate();
    try {
        FShownColumns.clear();
        for (int Index = 0; Index < FColumns->Count(); ++Index)
            if (FColumns->Items(Index)->Visible())
                FShownColumns.push_back(FColumns->Items(Index));
        const int FixedColCount = IndicatorCols();
        const int FixedRowCount = TitleRows();
        SetColCount(FixedColCount + std::max(1, static_cast<int>(FShownColumns.size())));
        SetFixedCols(FixedColCount);
        SetRowCount(FixedRowCount + std::max(1, RecordCount()));
        SetFixedRows(FixedRowCount);
        if (FixedColCount > 0)
            SetColWidths(0, IndicatorWidth);
        for (int Index = 0; Index < static_cast<int>(FShownColumns.size()); ++Index)
            SetColWidths(FixedColCount + Index,
                         FShownColumns[static_cast<std::size_t>(Index)]->Width());
        TCustomGrid::SetOptions(GridOptionsFor(FOptions, TCustomGrid::Options()));
        if (Col() < FixedColCount || Col() >= ColCount())
            SetCol(FixedColCount);
        SetRow(FixedRowCount + std::max(0, FRecords->Active()));
        // The window holds the records that fit: the first of them is always the top row.
        SetTopRow(FixedRowCount);
        // A title that went (the title row hidden, the columns gone) gives the focus back.
        if (FTitleFocused && !CanFocusTitle())
            SetTitleFocused(false);
    } catch (...) {
        FLayingOut = false;
        EndLayoutUpdate();
        throw;
    }
    FLayingOut = false;
    EndLayoutUpdate();
}

// ---------------------------------------------------------------- TDBGrid

const TClass& TDBGrid::StaticClass() {
    static const TClass Class = [] {
        TClass C("TDBGrid", &TCustomDBGrid::StaticClass(), &CreateComponentOf<TDBGrid>);
        static const TTypeInfo ColumnsType{
            "TDBGridColumns", tkObject, {}, &TDBGridColumns::StaticClass()};
        static const TTypeInfo DataSourceType{
            "TDataSource", tkComponent, {}, &TDataSource::StaticClass()};
        // The title font before the columns, so that titles read from a form file that
        // equal it keep following it.
        C.AddProperty(
            MakeSubObjectProperty("TitleFont", FontTypeInfo(), &TCustomDBGrid::TitleFont));
        C.AddProperty(MakeSubObjectProperty("Columns", ColumnsType, &TCustomDBGrid::Columns));
        C.AddProperty(MakeProperty("DataSource", DataSourceType, &TCustomDBGrid::DataSource,
                                   &TCustomDBGrid::SetDataSource));
        C.AddProperty(MakeProperty("Options", DBGridOptionsTypeInfo(), &TCustomDBGrid::Options,
                                   &TCustomDBGrid::SetOptions));
        C.AddProperty(MakeEventProperty("OnTitleClick", DBGridClickEventTypeInfo(),
                                        &TCustomDBGrid::OnTitleClick));
        return C;
    }();
    return Class;
}

TDBGrid::TDBGrid(TComponent* AOwner) : TCustomDBGrid(AOwner) {}

TDBGrid::~TDBGrid() {
    // While this object is still a TDBGrid, for the owner's components that are told.
    DetachFromOwner();
}

// ---------------------------------------------------------------- input

bool UserClickTitle(TCustomDBGrid& Grid, const TColumn& Column, TShiftState Shift) {
    const int ACol = Grid.ColumnToGridCol(&Column);
    if (ACol < 0 || !Grid.Options().Contains(dgTitles))
        return false;
    const TRect Cell = Grid.CellRect(ACol, 0);
    if (Cell.IsEmpty())
        return false;
    const int X = (Cell.Left + Cell.Right) / 2;
    const int Y = (Cell.Top + Cell.Bottom) / 2;
    return UserMouseDown(Grid, mbLeft, Shift, X, Y) && UserMouseUp(Grid, mbLeft, Shift, X, Y);
}

} // namespace vorn
