#include "Source/DBGridTitleSort.h"

#include "host/components/controls/Keyboard.h"
#include "host/components/model/AliveGuard.h"
#include "host/components/model/List.h"
#include "host/components/text/AsciiText.h"
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
    std::vector<TColumn*> Sorted;
    const int Index = FindOldTitleState(&Grid);
    const TOldDBGridTitleState* Entry =
        Index >= 0 ? FTitleStates[static_cast<std::size_t>(Index)].get() : nullptr;
    if (IsMultiColumnClick()) {
        if (Entry != nullptr)
            for (const auto& State : Entry->ColumnStates)
                if (TColumn* Highlighted = Grid.Columns()->FindItemID(State->ColumnID))
                    Sorted.push_back(Highlighted);
        const auto Removed = std::erase_if(Sorted, [&Column](const TColumn* Highlighted) {
            return Highlighted->FieldName() == Column.FieldName();
        });
        if (Removed == 0)
            Sorted.push_back(&Column);
    } else {
        Sorted.push_back(&Column);
        const bool OnlySortedColumn = Entry != nullptr && Entry->ColumnStates.size() == 1 &&
                                      Entry->ColumnStates.front()->ColumnID == Column.ID();
        if (FUnSort && OnlySortedColumn)
            Sorted.clear();
    }

    RestoreTitles(&Grid);
    TList SortedList;
    for (TColumn* Sort : Sorted)
        SortedList.Add(Sort);
    HighlightTitlesList(SortedList);

    std::vector<std::string> Names;
    for (const TColumn* Sort : Sorted)
        Names.push_back(Sort->FieldName());
    const std::string NewFields = JoinList(Names, ';');
    DoOnSort(&Grid, &DataSet, NewFields);
    return NewFields;
}

std::string TDBGridTitleSort::SortTableColumn(TDBGrid& Grid, TField& Field) {
    auto& Table = static_cast<TTable&>(*Field.DataSet());
    const std::string& Name = Field.FieldName();
    const std::string Current = ExtractSortFieldNames(&Table);
    const bool HasMaster = GetMasterSource(&Table) != nullptr;
    const std::string MasterFields = GetMasterFields(&Table);
    // The fields that tie a detail table to its master always lead its order.
    const bool IsMasterField = HasMaster && IsItemOf(Name, MasterFields);

    std::string NewFields = Name;
    if (IsMultiColumnClick()) {
        std::vector<std::string> Items = SplitList(Current, ';');
        const auto Item = std::find(Items.begin(), Items.end(), Name);
        if (Item == Items.end()) {
            Items.push_back(Name);
            NewFields = JoinList(Items, ';');
        } else if (IsMasterField) {
            NewFields = Current;
        } else {
            Items.erase(Item);
            NewFields = JoinList(Items, ';');
        }
    } else if (HasMaster && !MasterFields.empty()) {
        NewFields = IsMasterField ? MasterFields : MasterFields + ";" + Name;
        if (FUnSort && Current == NewFields)
            NewFields = MasterFields;
    } else if (FUnSort && Current == Name) {
        NewFields = "";
    }

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
    const std::string Leading = SortFields + ";";
    for (int Index = 0; Index < Indexes.Count(); ++Index) {
        const std::string& Fields = Indexes.Items(Index)->Fields();
        if (Fields == SortFields || Fields.starts_with(Leading))
            return true;
    }
    return false;
}

} // namespace vorn
