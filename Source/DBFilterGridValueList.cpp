#include "Source/DBFilterGrid.h"

#include "Source/Vorn_shared.h"
#include "host/components/model/CheckedArithmetic.h"
#include "host/components/text/CaseMapping.h"
#include "host/data/dataset/Field.h"
#include "host/data/dataset/Query.h"
#include "host/data/dataset/Table.h"

#include <algorithm>
#include <unordered_set>
#include <utility>
#include <vector>

namespace vorn {

namespace {

// A plain statement cannot hold a name with a blank as it stands; the bracketed form
// keeps it one identifier.
std::string PlainIdentifier(const std::string& Name) {
    if (Name.find(' ') == std::string::npos)
        return Name;
    return "[" + Name + "]";
}

std::string DistinctValuesStatement(const TTable& Table, const std::string& FieldName) {
    if (Table.IsSequenced())
        return "SELECT DISTINCT ValueTable.\"" + FieldName + "\" ValueField FROM \"" +
               Table.TableName() + "\" ValueTable ORDER BY ValueField";
    const std::string Field = PlainIdentifier(FieldName);
    return "SELECT DISTINCT " + Field + " FROM " + PlainIdentifier(Table.TableName()) +
           " ORDER BY " + Field;
}

// Values in the order of their upper case (UpperCaseText, so that "š" sorts with "Š"),
// bytes compared unsigned; values of one upper case keep the order they came in.
std::vector<std::string> SortedIgnoringCase(std::vector<std::string> Values) {
    std::vector<std::pair<std::string, std::string>> Keyed;
    Keyed.reserve(Values.size());
    for (std::string& Value : Values)
        Keyed.emplace_back(UpperCaseText(Value), std::move(Value));
    std::stable_sort(Keyed.begin(), Keyed.end(),
                     [](const auto& A, const auto& B) { return A.first < B.first; });
    std::vector<std::string> Result;
    Result.reserve(Keyed.size());
    for (auto& Entry : Keyed)
        Result.push_back(std::move(Entry.second));
    return Result;
}

} // namespace

void TDBFilterGridComboBox::DropDown() {
    Items()->Clear();
    const TGridCoord Pos = Grid().CurrentComboCell();
    const TDBFilterGrid::TColumnRole Role = Grid().ColumnRole(Pos.X);
    if (Role.Filter) {
        switch (*Role.Filter) {
        case fciLeftArg:
            AddFieldNames();
            break;
        case fciOperator:
            AddOperatorNames(Pos);
            break;
        case fciRightArg:
            AddValues(Pos);
            break;
        case fciBoolOperator:
            Items()->Add(Grid().BoolNames[fbiFalse]);
            Items()->Add(Grid().BoolNames[fbiTrue]);
            break;
        }
    } else if (Role.Group) {
        AddGroupWords(*Role.Group);
    }
    SetDropDownCount(std::min(Items()->Count(), Grid().FilterMaxDropDownCount()));
    TCustomComboBox::DropDown();
}

// The negation word, or runs of one to three parentheses.
void TDBFilterGridComboBox::AddGroupWords(TFilterGroupColumnIndex Role) {
    if (Role == fgciNot) {
        Items()->Add(Grid().GroupNames[fgciNot]);
        return;
    }
    const char Parenthesis = Role == fgciOpen ? '(' : ')';
    for (std::size_t Count = 1; Count <= 3; ++Count)
        Items()->Add(std::string(Count, Parenthesis));
}

void TDBFilterGridComboBox::AddFieldNames() {
    const TDataSet* DataSet = Grid().DataLink()->DataSet();
    if (DataSet == nullptr || !DataSet->Active())
        return;
    for (int Index = 0; Index < DataSet->FieldCount(); ++Index) {
        const TField* Field = DataSet->Fields(Index);
        if (Field->FieldKind() == fkData && !Field->IsBlob())
            Items()->Add(Field->FieldName());
    }
}

void TDBFilterGridComboBox::AddOperatorNames(const TGridCoord& Pos) {
    TDBFilterGrid& FilterGrid = Grid();
    const TDataSource* Source = FilterGrid.DataSource();
    if (Source == nullptr || Source->DataSet() == nullptr)
        return;
    try {
        const std::string FieldName = FilterGrid.Cells(Pos.X - 1, Pos.Y);
        const TFilterOperatorIndexes Allowed = FilterGrid.ApplicableOperators(FieldName);
        for (int Index = foiLess; Index <= foiIsNotNull; ++Index)
            if (Allowed.Contains(static_cast<TFilterOperatorIndex>(Index)))
                Items()->Add(FilterGrid.OperatorNames[static_cast<std::size_t>(Index)]);
        const TFilterMoreOperatorIndexes More = FilterGrid.ApplicableMoreOperators(FieldName);
        for (int Index = fmoBetween; Index <= fmoNotContaining; ++Index)
            if (More.Contains(static_cast<TFilterMoreOperatorIndex>(Index)))
                Items()->Add(FilterGrid.MoreOperatorNames[static_cast<std::size_t>(Index)]);
    } catch (const Exception&) {
        // A field the dataset does not know simply has no operators to offer.
        if (FilterGrid.FilterGridOptions().Contains(fgoExceptions))
            throw;
    }
}

void TDBFilterGridComboBox::AddValues(const TGridCoord& Pos) {
    TDBFilterGrid& FilterGrid = Grid();
    TDataSet* DataSet = FilterGrid.DataLink()->DataSet();
    if (DataSet == nullptr || !DataSet->Active())
        return;
    const std::string Name =
        UnbracketString(FilterGrid.Cells(FilterGrid.FilterColumn(fciLeftArg), Pos.Y));
    const TField* Field = DataSet->FindField(Name);
    if (Field == nullptr) {
        if (FilterGrid.FilterGridOptions().Contains(fgoExceptions))
            throw Exception("TDBFilterGridComboBox.DropDown() Unknown field: \"" + Name + "\".");
        return;
    }
    if (auto* Table = dynamic_cast<TTable*>(DataSet)) {
        AddTableValues(*Table, Field->FieldName());
        return;
    }
    if (FilterGrid.FilterGridOptions().Contains(fgoNonTableValueList))
        AddScannedValues(*DataSet, *Field);
}

// The database computes the distinct values; the query stays open until the next list
// replaces its statement or the table closes.
void TDBFilterGridComboBox::AddTableValues(TTable& Table, const std::string& FieldName) {
    TQuery* Query = Grid().ValueListQuery();
    if (Query == nullptr)
        return;
    // Closed, the query can follow the table's database even when the table was opened
    // before the grid was linked to it.
    Query->Close();
    Query->SQL()->SetText(DistinctValuesStatement(Table, FieldName));
    Query->SetDatabaseName(Table.DatabaseName());
    Query->Open();
    Query->First();
    while (!Query->Eof()) {
        Items()->Add(Query->Fields(0)->AsString());
        Query->Next();
    }
}

void TDBFilterGridComboBox::AddScannedValues(TDataSet& DataSet, const TField& Field) {
    if (DataSet.IsEmpty())
        return;
    std::vector<std::string> Values;
    DataSet.DisableControls();
    try {
        const TBookmark Saved = DataSet.Bookmark();
        try {
            DataSet.First();
            while (!DataSet.Eof()) {
                Values.push_back(Field.AsString());
                DataSet.Next();
            }
        } catch (...) {
            DataSet.SetBookmark(Saved);
            throw;
        }
        DataSet.SetBookmark(Saved);
    } catch (...) {
        DataSet.EnableControls();
        throw;
    }
    DataSet.EnableControls();

    const std::vector<std::string> Sorted = SortedIgnoringCase(std::move(Values));
    Items()->SetCapacity(CheckedCast<int>(Sorted.size()));
    // The sort ignores letter case, so equal strings need not be neighbours (a, A, a):
    // duplicates are found among all the strings taken so far.
    std::unordered_set<std::string> Taken;
    for (const std::string& Value : Sorted)
        if (Taken.insert(Value).second)
            Items()->Add(Value);
}

} // namespace vorn
