#include "Source/DBGridTitleSort.h"

#include "host/components/model/CheckedArithmetic.h"
#include "host/components/model/List.h"
#include "host/components/text/AsciiText.h"
#include "host/components/text/CodePage.h"
#include "host/data/dataset/SortFields.h"
#include "host/data/dataset/Table.h"

#include <algorithm>

namespace vorn {

namespace {

TColumn* FirstColumnShowing(const TDBGrid& Grid, const std::string& FieldName) {
    const TDBGridColumns& Columns = *Grid.Columns();
    for (int Index = 0; Index < Columns.Count(); ++Index) {
        TColumn* Column = Columns.Items(Index);
        const TField* Field = Column->Field();
        if (Field != nullptr && Field->FieldName() == FieldName)
            return Column;
    }
    return nullptr;
}

// Single-byte code pages have no arrows: letters that look like them stand in.
const char* DirectionArrow(bool Up) {
    if (HostCodePage() != cpUtf8)
        return Up ? "^" : "v";
    return Up ? "\xE2\x96\xB2" : "\xE2\x96\xBC"; // U+25B2, U+25BC
}

} // namespace

bool TDBGridTitleSort::MaskInForce(const TDBGrid& Grid) const {
    return !FClickedTitleMask.empty() && Grid.Columns()->State() == csCustomized;
}

bool TDBGridTitleSort::AnyTitleChangeInForce(const TDBGrid& Grid) const {
    return FUseClickedTitleColor || FUseClickedTitleFontColor || FUseClickedTitleFontStyle ||
           MaskInForce(Grid);
}

void TDBGridTitleSort::RestoreTitles(TDBGrid* Grid) {
    if (FindOldTitleState(Grid) < 0)
        return;
    RestoreSavedTitles(*Grid);
    ShowSortMarks(*Grid, {});
}

void TDBGridTitleSort::RestoreSavedTitles(TDBGrid& Grid) {
    const int Index = FindOldTitleState(&Grid);
    if (Index < 0)
        return;
    TOldDBGridTitleState& Entry = *FTitleStates[static_cast<std::size_t>(Index)];
    for (const auto& State : Entry.ColumnStates) {
        TColumn* Column = Grid.Columns()->FindItemID(State->ColumnID);
        if (Column == nullptr)
            continue; // deleted since it was highlighted
        TColumnTitle& Title = *Column->Title();
        if (State->RestoreTitleColor)
            Title.SetColor(State->TitleColor);
        // One assignment, so that the title hears of one font change only.
        TFont Font;
        Font.Assign(Title.Font());
        if (State->RestoreFontColor)
            Font.SetColor(State->FontColor);
        if (State->RestoreFontStyle)
            Font.SetStyle(State->FontStyle);
        Title.SetFont(&Font);
        if (State->RestoreCaption)
            Title.SetCaption(State->TitleCaption);
    }
    Entry.ClearColumnStates();
}

void TDBGridTitleSort::ShowSortMarks(TDBGrid& Grid, const std::vector<TSortedColumn>& Sorted) {
    const int Count = static_cast<int>(Sorted.size());
    const TDBGridColumns& Columns = *Grid.Columns();
    for (int Index = 0; Index < Columns.Count(); ++Index) {
        TColumn* Column = Columns.Items(Index);
        TTitleSortMark Mark;
        const auto Item = std::find_if(Sorted.begin(), Sorted.end(), [Column](const auto& Sort) {
            return Sort.Column == Column;
        });
        if (Item != Sorted.end())
            Mark = {Item->Descending ? tsdDescending : tsdAscending,
                    static_cast<int>(Item - Sorted.begin()) + 1, Count};
        Column->Title()->SetSortMark(Mark);
    }
}

std::unique_ptr<TOldColumnState> TDBGridTitleSort::HighlightColumn(const TDBGrid& Grid,
                                                                   TColumn& Column, bool Descending,
                                                                   int MaskIndex,
                                                                   const TOldColumnState* Earlier) {
    TColumnTitle& Title = *Column.Title();
    auto State = std::make_unique<TOldColumnState>();
    State->ColumnID = Column.ID();
    State->Descending = Descending;
    // A column highlighted twice in one call keeps the look it had before the first time.
    State->RestoreTitleColor = FUseClickedTitleColor;
    if (State->RestoreTitleColor) {
        State->TitleColor =
            Earlier && Earlier->RestoreTitleColor ? Earlier->TitleColor : Title.Color();
        Title.SetColor(FClickedTitleColor);
    }
    State->RestoreFontColor = FUseClickedTitleFontColor;
    if (State->RestoreFontColor) {
        State->FontColor =
            Earlier && Earlier->RestoreFontColor ? Earlier->FontColor : Title.Font()->Color();
        Title.Font()->SetColor(FClickedTitleFontColor);
    }
    State->RestoreFontStyle = FUseClickedTitleFontStyle;
    if (State->RestoreFontStyle) {
        State->FontStyle =
            Earlier && Earlier->RestoreFontStyle ? Earlier->FontStyle : Title.Font()->Style();
        Title.Font()->SetStyle(FClickedTitleFontStyle);
    }
    State->RestoreCaption = MaskInForce(Grid);
    if (State->RestoreCaption) {
        State->TitleCaption =
            Earlier && Earlier->RestoreCaption ? Earlier->TitleCaption : Title.Caption();
        // The default cycle keeps every mask's old meaning: no direction placeholders.
        const TTitleSortDirection Direction = FSortCycle == scAscending ? tsdNone
                                              : Descending              ? tsdDescending
                                                                        : tsdAscending;
        Title.SetCaption(
            ParseTitleMask(FClickedTitleMask, State->TitleCaption, MaskIndex, Direction));
    }
    return State;
}

void TDBGridTitleSort::HighlightTitles(const std::vector<TColumn*>& Columns, int Count) {
    if (Count > static_cast<int>(Columns.size()))
        throw Exception("TDBGridTitleSort.HighlightTitles() Count " + std::to_string(Count) +
                        " exceeds the " + std::to_string(Columns.size()) + " columns given.");
    const std::size_t Processed = Count < 0 ? Columns.size() : static_cast<std::size_t>(Count);
    std::vector<TSortedColumn> Sorted;
    for (std::size_t Position = 0; Position < Processed; ++Position)
        Sorted.push_back({Columns[Position], false});
    HighlightSorted(Sorted);
}

void TDBGridTitleSort::HighlightSorted(const std::vector<TSortedColumn>& Columns) {
    const std::size_t Processed = Columns.size();
    if (Processed == 0)
        return;
    // Columns of several grids, or of no data grid, are the caller's muddle, not the user's:
    // titles changed so far stay changed, and nothing is remembered.
    TColumn* First = Columns.front().Column;
    auto* Grid = First != nullptr ? dynamic_cast<TDBGrid*>(First->Grid()) : nullptr;
    if (Grid == nullptr)
        return;
    auto Entry = std::make_unique<TOldDBGridTitleState>(nullptr);
    auto& States = Entry->ColumnStates;
    for (std::size_t Position = 0; Position < Processed; ++Position) {
        TColumn* Column = Columns[Position].Column;
        if (Column == nullptr || Column->Grid() != Grid)
            return;
        if (!AnyTitleChangeInForce(*Grid))
            continue;
        const int MaskIndex = Processed >= 2 ? static_cast<int>(Position) : -1;
        auto Earlier = std::find_if(States.begin(), States.end(), [Column](const auto& State) {
            return State->ColumnID == Column->ID();
        });
        try {
            auto State = HighlightColumn(*Grid, *Column, Columns[Position].Descending, MaskIndex,
                                         Earlier != States.end() ? Earlier->get() : nullptr);
            if (Earlier != States.end())
                States.erase(Earlier);
            States.push_back(std::move(State));
        } catch (const std::exception&) {
            // This title may be left half changed; the other columns still get theirs.
        }
    }
    Entry->Grid = Grid;
    const int Index = FindOldTitleState(Grid);
    if (Index >= 0)
        FTitleStates[static_cast<std::size_t>(Index)] = std::move(Entry);
    else
        FTitleStates.push_back(std::move(Entry));
    AddDataLinkForGrid(Grid);
}

void TDBGridTitleSort::HighlightTitlesList(const TList& Columns) {
    std::vector<TColumn*> Array;
    Array.reserve(static_cast<std::size_t>(Columns.Count()));
    for (int Index = 0; Index < Columns.Count(); ++Index)
        Array.push_back(static_cast<TColumn*>(Columns.Items(Index)));
    HighlightTitles(Array, Columns.Count());
}

void TDBGridTitleSort::UpdateTitle(TDBGrid* Grid) {
    const TComponentState State = ComponentState();
    if (State.Contains(csDesigning) || State.Contains(csLoading))
        return;
    if (Grid != nullptr) {
        RefreshGridTitles(*Grid);
        return;
    }
    // Refreshing replaces registry entries: walk the grids registered now.
    std::vector<TDBGrid*> Grids;
    for (const auto& Entry : FTitleStates)
        Grids.push_back(Entry->Grid);
    for (TDBGrid* Registered : Grids)
        if (FindOldTitleState(Registered) >= 0)
            RefreshGridTitles(*Registered);
}

void TDBGridTitleSort::RefreshGridTitles(TDBGrid& Grid) {
    RestoreSavedTitles(Grid);
    const TDataSource* Source = Grid.DataSource();
    const auto* Table =
        Source != nullptr ? dynamic_cast<const TTable*>(Source->DataSet()) : nullptr;
    if (Table == nullptr) {
        ShowSortMarks(Grid, {});
        return;
    }
    // An empty order is taken as one empty name, which a column showing a field without
    // a name (a database may allow that) matches.
    std::vector<TSortField> Order = ParseSortFields(ExtractSortFieldNames(Table));
    if (Order.empty())
        Order.emplace_back();
    std::vector<TSortedColumn> Sorted;
    for (const TSortField& Field : Order)
        if (TColumn* Column = FirstColumnShowing(Grid, Field.Name))
            Sorted.push_back({Column, Field.Descending});
    HighlightSorted(Sorted);
    ShowSortMarks(Grid, Sorted);
}

std::string TDBGridTitleSort::ParseTitleMask(const std::string& Mask, const std::string& Title,
                                             int Index) {
    return ParseTitleMask(Mask, Title, Index, tsdNone);
}

std::string TDBGridTitleSort::ParseTitleMask(const std::string& Mask, const std::string& Title,
                                             int Index, TTitleSortDirection Direction) {
    VORN_ASSERT(!Mask.empty());
    const bool Directed = Direction != tsdNone;
    const bool Up = Direction == tsdAscending;
    const bool Numbered = Index >= 0;
    // Positions count from 0 ("%s0", "%i0") or from 1 ("%s1", "%s", "%i1", "%i").
    auto FromZero = [&] { return std::to_string(Index); };
    auto FromOne = [&] { return std::to_string(CheckedAdd(Index, 1)); };
    auto Follows = [&](std::size_t At, const char* Sequence) {
        return Mask.compare(At, std::char_traits<char>::length(Sequence), Sequence) == 0;
    };

    std::string Result;
    std::size_t Position = 0;
    while (Position < Mask.size()) {
        const std::size_t Percent = Mask.find('%', Position);
        if (Percent == std::string::npos)
            break;
        Result.append(Mask, Position, Percent - Position);
        std::size_t Skipped = 2;
        if (Follows(Percent, "%t")) {
            Result += Title;
        } else if (Follows(Percent, "%s0")) {
            Result += Numbered ? FromZero() : "";
            Skipped = 3;
        } else if (Follows(Percent, "%s1")) {
            Result += Numbered ? FromOne() : "";
            Skipped = 3;
        } else if (Follows(Percent, "%s")) {
            Result += Numbered ? FromOne() : "";
        } else if (Follows(Percent, "%i0")) {
            Result += Numbered ? FromZero() : "0";
            Skipped = 3;
        } else if (Follows(Percent, "%i1")) {
            Result += Numbered ? FromOne() : "1";
            Skipped = 3;
        } else if (Follows(Percent, "%i")) {
            Result += Numbered ? FromOne() : "1";
        } else if (Directed && Follows(Percent, "%a")) {
            Result += DirectionArrow(Up);
        } else if (Directed && Follows(Percent, "%o")) {
            Result += Up ? "asc" : "desc";
        } else if (Percent + 1 < Mask.size()) {
            // "%%" and any other pair stand for their second character.
            Result += Mask[Percent + 1];
        } else {
            Skipped = 1; // a "%" at the very end stands for nothing
        }
        Position = Percent + Skipped;
    }
    if (Position < Mask.size())
        Result.append(Mask, Position, std::string::npos);
    return Result;
}

} // namespace vorn
