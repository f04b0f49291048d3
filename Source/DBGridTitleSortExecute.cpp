#include "Source/DBGridTitleSort.h"

#include "host/components/controls/Keyboard.h"
#include "host/components/model/AliveGuard.h"
#include "host/components/text/AsciiText.h"
#include "host/data/dataset/SortFields.h"
#include "host/data/dataset/Table.h"

#include <algorithm>

namespace vorn {

namespace {

bool IsItemOf(const std::string& Name, const std::string& SortFields) {
    const std::vector<std::string> Items = SplitList(SortFields, ';');
    return std::find(Items.begin(), Items.end(), Name) != Items.end();
}

bool KeyIsDown(int VirtualKey) {
    return GetKeyState(VirtualKey) < 0;
}

// Where a title click leaves one column of an order.
enum class TColumnSort { Unsorted, Ascending, Descending };

TColumnSort SortOf(bool Descending) {
    return Descending ? TColumnSort::Descending : TColumnSort::Ascending;
}

// The kinds of data whose most recent or largest values a user most often looks for first.
constexpr TFieldType NumberAndDateTypes[] = {ftSmallint, ftInteger, ftWord,     ftAutoInc,
                                             ftLargeint, ftFloat,   ftCurrency, ftBCD,
                                             ftDate,     ftTime,    ftDateTime};

bool IsNumberOrDate(TFieldType Type) {
    return std::find(std::begin(NumberAndDateTypes), std::end(NumberAndDateTypes), Type) !=
           std::end(NumberAndDateTypes);
}

bool StartsDescending(TDBGridSortCycle Cycle, const TField& Field) {
    return Cycle == scDescendingFirstForNumbersAndDates && IsNumberOrDate(Field.DataType());
}

// The state a click moves Field's column to from Current. Every column starts at its first
// direction; under scAscending a sorted column, whatever its direction (set by code), is at
// the end of its cycle. At the end the column leaves the order when MayUnsort is set, and
// starts the cycle again otherwise.
TColumnSort NextColumnSort(TDBGridSortCycle Cycle, const TField& Field, TColumnSort Current,
                           bool MayUnsort) {
    const bool DescendingFirst = StartsDescending(Cycle, Field);
    const TColumnSort First = SortOf(DescendingFirst);
    if (Current == TColumnSort::Unsorted)
        return First;
    if (Cycle != scAscending && Current == First)
        return SortOf(!DescendingFirst);
    return MayUnsort ? TColumnSort::Unsorted : First;
}

// Lists are the same order for a click whatever their directions.
bool SameNames(const std::vector<TSortField>& Left, const std::vector<TSortField>& Right) {
    return std::equal(Left.begin(), Left.end(), Right.begin(), Right.end(),
                      [](const TSortField& A, const TSortField& B) { return A.Name == B.Name; });
}

} // namespace

std::string TDBGridTitleSort::Execute(TColumn* Column) {
    // Restored rather than cleared, so that a sort started from an OnSort handler does
    // not end the guard of the sort that called the handler. OnSort, and the table's
    // handlers while it re-sorts, may free this component (closing its form): the flag
    // then went with it.
    const TRestoreWhileAlive<bool> Sorting(*this, FSorting, true);
    FRefusedSortFields.reset();
    return ExecuteSort(Column);
}

std::string TDBGridTitleSort::ExecuteSort(TColumn* Column) {
    if (Column == nullptr)
        throw Exception("TDBGridTitleSort.Execute() Column is not assigned.");
    TCustomDBGrid* ColumnGrid = Column->Grid();
    if (ColumnGrid == nullptr)
        throw Exception("TDBGridTitleSort.Execute() Column.Grid is not assigned.");
    auto* Grid = dynamic_cast<TDBGrid*>(ColumnGrid);
    if (Grid == nullptr)
        throw Exception("TDBGridTitleSort.Execute() Column.Grid must be of TDBGrid type.");

    // Columns that cannot be sorted by are no error: the click just does nothing.
    TField* Field = Column->Field();
    if (Field == nullptr || Field->DataSet() == nullptr || Field->FieldKind() != fkData)
        return "";
    if (dynamic_cast<TTable*>(Field->DataSet()) != nullptr)
        return SortTableColumn(*Grid, *Field);
    return SortOtherColumn(*Grid, *Column, *Field->DataSet());
}

bool TDBGridTitleSort::IsMultiColumnClick() const {
    return (FMultiColumnSort.Contains(mcsShift) && KeyIsDown(VK_SHIFT)) ||
           (FMultiColumnSort.Contains(mcsAlt) && KeyIsDown(VK_MENU)) ||
           (FMultiColumnSort.Contains(mcsCtrl) && KeyIsDown(VK_CONTROL));
}

std::string TDBGridTitleSort::SortOtherColumn(TDBGrid& Grid, TColumn& Column, TDataSet& DataSet) {
    // The order of such a dataset lives only in the highlighted columns of its grid.
    std::vector<TSortedColumn> Sorted;
    const int Index = FindOldTitleState(&Grid);
    const TOldDBGridTitleState* Entry =
        Index >= 0 ? FTitleStates[static_cast<std::size_t>(Index)].get() : nullptr;
    const TField& Field = *Column.Field();
    if (IsMultiColumnClick()) {
        if (Entry != nullptr)
            for (const auto& State : Entry->ColumnStates)
                if (TColumn* Highlighted = Grid.Columns()->FindItemID(State->ColumnID))
                    Sorted.push_back({Highlighted, State->Descending});
        auto SameField = [&Column](const TSortedColumn& Item) {
            return Item.Column->FieldName() == Column.FieldName();
        };
        const auto Found = std::find_if(Sorted.begin(), Sorted.end(), SameField);
        const TColumnSort Next = NextColumnSort(
            FSortCycle, Field,
            Found == Sorted.end() ? TColumnSort::Unsorted : SortOf(Found->Descending), true);
        if (Found == Sorted.end())
            Sorted.push_back({&Column, Next == TColumnSort::Descending});
        else if (Next == TColumnSort::Unsorted)
            std::erase_if(Sorted, SameField);
        else
            for (TSortedColumn& Item : Sorted)
                if (SameField(Item))
                    Item.Descending = Next == TColumnSort::Descending;
    } else {
        const bool OnlySortedColumn = Entry != nullptr && Entry->ColumnStates.size() == 1 &&
                                      Entry->ColumnStates.front()->ColumnID == Column.ID();
        const TColumnSort Next =
            NextColumnSort(FSortCycle, Field,
                           OnlySortedColumn ? SortOf(Entry->ColumnStates.front()->Descending)
                                            : TColumnSort::Unsorted,
                           FUnSort);
        if (Next != TColumnSort::Unsorted)
            Sorted.push_back({&Column, Next == TColumnSort::Descending});
    }

    RestoreSavedTitles(Grid);
    HighlightSorted(Sorted);
    ShowSortMarks(Grid, Sorted);

    std::vector<TSortField> Order;
    for (const TSortedColumn& Item : Sorted)
        Order.push_back({Item.Column->FieldName(), Item.Descending});
    const std::string NewFields = SortFieldsText(Order);
    DoOnSort(&Grid, &DataSet, NewFields);
    return NewFields;
}

std::string TDBGridTitleSort::NewTableSortFields(TTable& Table, const TField& Field) const {
    const std::string& Name = Field.FieldName();
    const std::string Current = ExtractSortFieldNames(&Table);
    const std::vector<TSortField> CurrentOrder = ParseSortFields(Current);
    const bool HasMaster = GetMasterSource(&Table) != nullptr;
    const std::string MasterFields = GetMasterFields(&Table);
    // The fields that tie a detail table to its master always lead its order.
    const bool IsMasterField = HasMaster && IsItemOf(Name, MasterFields);
    auto Next = [&](TColumnSort State, bool MayUnsort) {
        return NextColumnSort(FSortCycle, Field, State, MayUnsort);
    };

    if (IsMultiColumnClick()) {
        std::vector<TSortField> Items = CurrentOrder;
        const auto Item = std::find_if(Items.begin(), Items.end(), [&Name](const TSortField& Sort) {
            return Sort.Name == Name;
        });
        if (Item == Items.end()) {
            Items.push_back({Name, Next(TColumnSort::Unsorted, true) == TColumnSort::Descending});
            return SortFieldsText(Items);
        }
        if (IsMasterField)
            return Current;
        const TColumnSort State = Next(SortOf(Item->Descending), true);
        if (State == TColumnSort::Unsorted)
            Items.erase(Item);
        else
            Item->Descending = State == TColumnSort::Descending;
        return SortFieldsText(Items);
    }

    // A plain click sorts by the clicked field alone, after a detail table's master fields;
    // a click while the table is sorted so moves the field along its cycle.
    const bool Detail = HasMaster && !MasterFields.empty();
    if (Detail && IsMasterField)
        return MasterFields;
    const std::string Leading = Detail ? MasterFields + ";" : "";
    const TColumnSort State = SameNames(CurrentOrder, ParseSortFields(Leading + Name))
                                  ? SortOf(CurrentOrder.back().Descending)
                                  : TColumnSort::Unsorted;
    const TColumnSort NewState = Next(State, FUnSort);
    if (NewState == TColumnSort::Unsorted)
        return Detail ? MasterFields : "";
    return Leading + SortFieldText({Name, NewState == TColumnSort::Descending});
}

std::string TDBGridTitleSort::SortTableColumn(TDBGrid& Grid, TField& Field) {
    auto& Table = static_cast<TTable&>(*Field.DataSet());
    std::string NewFields = NewTableSortFields(Table, Field);
    // A table in its default order reports the key it is read by, so a click on the key
    // would lead from the default order back to it, and a key whose cycle starts
    // descending would never get there: such a click starts the key's cycle instead.
    const bool DefaultOrder = Table.IndexFieldNames().empty() && Table.IndexName().empty();
    if (NewFields.empty() && DefaultOrder && FSortCycle != scAscending)
        NewFields = SortFieldText({Field.FieldName(), StartsDescending(FSortCycle, Field)});
    if (!IndexSupports(Table, NewFields)) {
        FRefusedSortFields = NewFields;
        return "";
    }
    // The re-sort reaches the handlers of every control on the table, which may close
    // the form of this component or of the grid.
    const TAliveGuard Alive(*this);
    const TAliveGuard GridAlive(Grid);
    Table.SetIndexFieldNames(NewFields);
    if (!Alive.Alive() || !GridAlive.Alive())
        return NewFields;

    RegisterGrid(&Grid);
    UpdateTitle(FAutoUpdate ? nullptr : &Grid);
    DoOnSort(&Grid, &Table, NewFields);
    return NewFields;
}

bool TDBGridTitleSort::IndexSupports(TTable& Table, const std::string& SortFields) const {
    const bool Sequenced = Table.IsSequenced();
    const bool Checked = (FStrictServerIndexing && !SortFields.empty() && !Sequenced) ||
                         (FStrictLocalIndexing && Sequenced);
    if (!Checked)
        return true;
    TIndexDefs& Indexes = *Table.IndexDefs();
    Indexes.Update();
    // A detail table's link fields hold one value in every row it shows: their direction
    // does not matter to an index, as the table itself reads it.
    const std::size_t LinkFields =
        Table.MasterSource() != nullptr ? SplitList(Table.MasterFields(), ';').size() : 0;
    return IndexesServe(Indexes, SortFields, LinkFields);
}

bool TDBGridTitleSort::IndexesServe(const TIndexDefs& Indexes, const std::string& SortFields,
                                    std::size_t LinkFields) {
    const std::vector<TSortField> Order = ParseSortFields(SortFields);
    const bool OrderDescends = std::any_of(Order.begin(), Order.end(),
                                           [](const TSortField& Sort) { return Sort.Descending; });
    const std::string Leading = SortFields + ";";
    for (int Index = 0; Index < Indexes.Count(); ++Index) {
        const TIndexDef& Definition = *Indexes.Items(Index);
        const std::string& Fields = Definition.Fields();
        if (OrderDescends ? IndexServesOrder(Definition, Order, LinkFields)
                          : Fields == SortFields || Fields.starts_with(Leading))
            return true;
    }
    return false;
}

} // namespace vorn
