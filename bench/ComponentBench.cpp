// The data components at work on the customer table, each figure timed from the user's
// action to the grid's cells read for display.

#include "bench/BenchRegistry.h"
#include "bench/BenchScene.h"

#include "host/components/text/AsciiText.h"

#include "host/data/dataset/Database.h"
#include "host/data/dataset/Field.h"
#include "host/data/dataset/SortFields.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <functional>

namespace vorn::bench {

namespace {

const std::string Customer = "customer";

// The connection stays open between the runs, as in an application whose other datasets
// hold it (and as the references have theirs): the figure is the table's own work.
void OpenFirstWindow(benchmark::State& State, const TBenchDatabase& Database) {
    const TConnectionLease Connection(Database.Alias);
    TBenchScene Scene(Database.Alias, Customer, "Name");
    for (auto _ : State) {
        State.PauseTiming();
        Scene.Table().Close();
        State.ResumeTiming();
        Scene.Table().Open();
        benchmark::DoNotOptimize(Scene.ReadShownCells());
    }
}

// Plain clicks that alternate between two indexed columns, so that every click sorts.
void TitleSort(benchmark::State& State, const TBenchDatabase& Database) {
    TBenchScene Scene(Database.Alias, Customer, "");
    const std::array<std::string, 2> Fields = {"Name", "Company"};
    std::size_t Next = 0;
    for (auto _ : State) {
        const std::string& Field = Fields[Next];
        Next = 1 - Next;
        if (Scene.ClickTitle(Field, false) != Field) {
            State.SkipWithError(("the click did not sort by " + Field).c_str());
            break;
        }
        benchmark::DoNotOptimize(Scene.ReadShownCells());
    }
}

// The second click on a title under the ascending-descending cycle: the order read
// backwards, which the index of the ascending order serves.
void DescendingTitleSort(benchmark::State& State, const TBenchDatabase& Database) {
    TBenchScene Scene(Database.Alias, Customer, "");
    Scene.Sorter().SetSortCycle(scAscendingDescending);
    const std::array<std::string, 2> Fields = {"Name", "Company"};
    std::size_t Next = 0;
    for (auto _ : State) {
        const std::string& Field = Fields[Next];
        Next = 1 - Next;
        State.PauseTiming();
        const std::string Ascending = Scene.ClickTitle(Field, false);
        State.ResumeTiming();
        const std::string Descending = Scene.ClickTitle(Field, false);
        if (Ascending != Field || Descending != SortFieldText({Field, true})) {
            State.SkipWithError(
                ("the clicks sorted by " + Ascending + ", then " + Descending).c_str());
            break;
        }
        benchmark::DoNotOptimize(Scene.ReadShownCells());
    }
}

// A Ctrl-click that adds Name to a sort by City (the index City;Name serves both).
void MultiColumnSort(benchmark::State& State, const TBenchDatabase& Database) {
    TBenchScene Scene(Database.Alias, Customer, "");
    for (auto _ : State) {
        State.PauseTiming();
        const std::string Single = Scene.ClickTitle("City", false);
        State.ResumeTiming();
        const std::string Multiple = Scene.ClickTitle("Name", true);
        if (Single != "City" || Multiple != "City;Name") {
            State.SkipWithError(("the clicks sorted by " + Single + ", then " + Multiple).c_str());
            break;
        }
        benchmark::DoNotOptimize(Scene.ReadShownCells());
    }
}

void Last(benchmark::State& State, const TBenchDatabase& Database) {
    TBenchScene Scene(Database.Alias, Customer, "Name");
    for (auto _ : State) {
        Scene.Table().Last();
        benchmark::DoNotOptimize(Scene.ReadShownCells());
        State.PauseTiming();
        Scene.Table().First();
        State.ResumeTiming();
    }
}

// The record the database's own case-insensitive query finds first in Name order.
std::string FirstMatchByQuery(const TBenchDatabase& Database, const std::string& Key) {
    const auto Bare = Database.OpenBare();
    std::string CustNo;
    Bare->Query("SELECT \"CustNo\" FROM customer WHERE upper(\"Name\") LIKE " +
                    Bare->Placeholder(1) + " ORDER BY \"Name\", \"CustNo\" LIMIT 1",
                {UpperCaseAscii(Key) + "%"}, [&](const TBareRow& Row) { CustNo = Row[0].value(); });
    return CustNo;
}

// Partial keys typed in lower case into the locate edit on a table sorted by Name.
void LocatePartialKey(benchmark::State& State, const TBenchDatabase& Database) {
    const std::vector<std::string> Keys = LocateKeys(*Database.OpenBare(), Database.Customers);
    TBenchScene Scene(Database.Alias, Customer, "Name");
    TField& Name = *Scene.Table().FieldByName("Name");
    if (!Scene.Locate(Keys.front()) || Scene.Table().FieldByName("CustNo")->AsString() !=
                                           FirstMatchByQuery(Database, Keys.front())) {
        State.SkipWithError(("Locate did not find the first match of " + Keys.front()).c_str());
        return;
    }
    std::size_t Next = 0;
    for (auto _ : State) {
        const std::string& Key = Keys[Next];
        Next = (Next + 1) % Keys.size();
        if (!Scene.Locate(Key) ||
            !UpperCaseAscii(Name.AsString()).starts_with(UpperCaseAscii(Key))) {
            State.SkipWithError(("Locate did not find " + Key).c_str());
            break;
        }
        benchmark::DoNotOptimize(Scene.ReadShownCells());
    }
}

void ValueList(benchmark::State& State, const TBenchDatabase& Database,
               const std::string& TableName, const std::string& FieldName) {
    TBenchScene Scene(Database.Alias, TableName, "");
    int Values = 0;
    for (auto _ : State) {
        Values = Scene.OpenValueList(FieldName);
        if (Values == 0) {
            State.SkipWithError(("the value list of " + FieldName + " is empty").c_str());
            break;
        }
    }
    State.counters["values"] = Values;
}

constexpr int FilterRows = 20;

// Twenty conditions on four fields of both kinds, joined with OR, as a user fills them
// in; most records pass, as with the filters people apply to browse.
void FillFilterRows(TDBFilterGrid& Grid) {
    struct TCondition {
        const char* Field;
        const char* Operator;
        const char* Value;
    };
    static const TCondition Conditions[] = {{"Name", "=", "Anna Smith"},
                                            {"City", "=", "Ashbury"},
                                            {"Balance", ">", "1000"},
                                            {"Country", "<>", "Spain"}};
    Grid.SetFilterKind(fkSimple);
    Grid.SetRowCount(Grid.FixedRows() + FilterRows);
    for (int Row = 0; Row < FilterRows; ++Row) {
        const TCondition& Condition = Conditions[Row % std::size(Conditions)];
        const int GridRow = Grid.FixedRows() + Row;
        Grid.SetCells(Grid.FixedCols() + fciLeftArg, GridRow, Condition.Field);
        Grid.SetCells(Grid.FixedCols() + fciOperator, GridRow, Condition.Operator);
        Grid.SetCells(Grid.FixedCols() + fciRightArg, GridRow, Condition.Value);
        Grid.SetCells(Grid.FixedCols() + fciBoolOperator, GridRow,
                      Row + 1 < FilterRows ? "OR" : "");
    }
}

void FilterExpression(benchmark::State& State, const TBenchDatabase& Database) {
    TBenchScene Scene(Database.Alias, Customer, "Name");
    FillFilterRows(Scene.FilterGrid());
    for (auto _ : State)
        benchmark::DoNotOptimize(Scene.FilterGrid().GetFilterExpression());
}

void FilterApply(benchmark::State& State, const TBenchDatabase& Database) {
    TBenchScene Scene(Database.Alias, Customer, "Name");
    FillFilterRows(Scene.FilterGrid());
    for (auto _ : State) {
        Scene.Table().SetFilter(Scene.FilterGrid().GetFilterExpression());
        Scene.Table().SetFiltered(true);
        benchmark::DoNotOptimize(Scene.ReadShownCells());
        State.PauseTiming();
        Scene.Table().SetFiltered(false);
        State.ResumeTiming();
    }
    if (Scene.Grid().RecordCount() < GridRecords)
        State.SkipWithError("the filtered grid is not full");
}

void UpdateWideTitles(benchmark::State& State, const std::string& ShapeAlias) {
    TBenchScene Scene(ShapeAlias, "wide", "F01;F02;F03");
    if (Scene.Grid().Columns()->Count() != WideFieldCount) {
        State.SkipWithError("the wide grid does not have its columns");
        return;
    }
    for (auto _ : State)
        Scene.Sorter().UpdateTitle(&Scene.Grid());
}

void SortComboDropDown(benchmark::State& State, const std::string& ShapeAlias) {
    TBenchScene Scene(ShapeAlias, "indexed", "");
    TDBSortComboBox& Combo = Scene.SortComboBox();
    for (auto _ : State) {
        Combo.DropDown();
        State.PauseTiming();
        const int Entries = Combo.Items()->Count();
        Combo.SetDroppedDown(false);
        State.ResumeTiming();
        if (Entries < IndexedTableIndexCount) {
            State.SkipWithError("the sort combo box lists fewer orders than indexes");
            break;
        }
    }
}

// A figure's name and its body on one database.
struct TComponentFigure {
    std::string Name;
    std::function<void(benchmark::State&, const TBenchDatabase&)> Body;
};

std::vector<TComponentFigure> ComponentFigures() {
    const auto OnValueList = [](const std::string& TableName, const std::string& FieldName) {
        return [=](benchmark::State& State, const TBenchDatabase& Database) {
            ValueList(State, Database, TableName, FieldName);
        };
    };
    return {{"Open", &OpenFirstWindow},
            {"TitleSort", &TitleSort},
            {"DescendingTitleSort", &DescendingTitleSort},
            {"MultiColumnSort", &MultiColumnSort},
            {"Last", &Last},
            {"Locate", &LocatePartialKey},
            {"ValueListName", OnValueList(Customer, "Name")},
            {"ValueListCity", OnValueList(Customer, "City")},
            {"ValueListShipCity", OnValueList("orders", "ShipCity")},
            {"FilterExpression", &FilterExpression},
            {"FilterApply", &FilterApply}};
}

} // namespace

void RegisterComponentBenchmarks(const TBenchDatabase& Database,
                                 const std::vector<std::string>* Only) {
    for (TComponentFigure& Figure : ComponentFigures()) {
        if (Only != nullptr && std::find(Only->begin(), Only->end(), Figure.Name) == Only->end())
            continue;
        RegisterGuarded(Figure.Name + "/" + Database.Label, [Body = std::move(Figure.Body),
                                                             Database](benchmark::State& State) {
            Body(State, Database);
        })->Unit(benchmark::kMicrosecond);
    }
}

void RegisterShapeBenchmarks(const std::string& ShapeAlias) {
    RegisterGuarded("UpdateTitle50Columns/sqlite", [ShapeAlias](benchmark::State& State) {
        UpdateWideTitles(State, ShapeAlias);
    })->Unit(benchmark::kMicrosecond);
    RegisterGuarded("SortComboDropDown30Indexes/sqlite", [ShapeAlias](benchmark::State& State) {
        SortComboDropDown(State, ShapeAlias);
    })->Unit(benchmark::kMicrosecond);
}

} // namespace vorn::bench
