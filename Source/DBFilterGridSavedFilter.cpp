#include "Source/DBFilterGrid.h"

#include "Source/Vorn_shared.h"
#include "host/components/text/AsciiText.h"
#include "host/data/dataset/DataSet.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdint>
#include <istream>
#include <iterator>
#include <ostream>

namespace vorn {

namespace {

using TJson = nlohmann::ordered_json;

constexpr const char* SavedFilterFormat = "vorn-filter";
constexpr int SavedFilterVersion = 1;
// More parentheses than this on one row are taken for a damaged text, not a filter.
constexpr std::uint64_t MaxParentheses = 100;

constexpr const char* ConnectorAnd = "AND";
constexpr const char* ConnectorOr = "OR";

const char* const LoadPrefix = "TDBFilterGrid.LoadFilterFromJSON() ";
const char* const SaveContext = "TDBFilterGrid.SaveFilterToJSON() ";

// One filter row as it is saved: the connector joins the row to the next saved row.
struct TSavedRow {
    bool Not = false;
    int Open = 0;
    std::string Field;
    std::string Operator;
    std::string Value;
    int Close = 0;
    std::string Connector;

    bool HasGroups() const { return Not || Open > 0 || Close > 0; }
};

// Names compare with blanks around them and the letter case of a-z ignored. A blank cell
// names nothing, even where a vocabulary leaves an entry empty.
bool SameName(const std::string& Text, const std::string& Name) {
    const std::string Wanted = UpperCaseAscii(TrimControlsAndSpaces(Text));
    return !Wanted.empty() && Wanted == UpperCaseAscii(TrimControlsAndSpaces(Name));
}

// The index of the entry of Names that Text names, or -1.
template <std::size_t Count>
int FindName(const std::array<std::string, Count>& Names, const std::string& Text) {
    for (std::size_t Index = 0; Index < Count; ++Index)
        if (SameName(Text, Names[Index]))
            return static_cast<int>(Index);
    return -1;
}

// The filter syntax name of the operator a cell names: an entry of the grid's operator
// vocabularies or a syntax name itself. Other text is saved as it stands.
std::string SyntaxOperatorName(const TDBFilterGrid& Grid, const std::string& CellText) {
    if (const int Index = FindName(Grid.OperatorNames.Names(), CellText); Index >= 0)
        return fonComputer[static_cast<std::size_t>(Index)];
    if (const int Index = FindName(Grid.MoreOperatorNames.Names(), CellText); Index >= 0)
        return fmonComputer[static_cast<std::size_t>(Index)];
    if (const int Index = FindName(fonComputer, CellText); Index >= 0)
        return fonComputer[static_cast<std::size_t>(Index)];
    if (const int Index = FindName(fmonComputer, CellText); Index >= 0)
        return fmonComputer[static_cast<std::size_t>(Index)];
    return CellText;
}

// The grid's name of a saved syntax operator; other text is shown as it was saved.
std::string DisplayOperatorName(const TDBFilterGrid& Grid, const std::string& SyntaxName) {
    if (const int Index = FindName(fonComputer, SyntaxName); Index >= 0)
        return Grid.OperatorNames[static_cast<std::size_t>(Index)];
    if (const int Index = FindName(fmonComputer, SyntaxName); Index >= 0)
        return Grid.MoreOperatorNames[static_cast<std::size_t>(Index)];
    return SyntaxName;
}

std::string SyntaxConnectorName(const TDBFilterGrid& Grid, const std::string& CellText) {
    if (SameName(CellText, Grid.BoolNames[fbiFalse]) || SameName(CellText, ConnectorAnd))
        return ConnectorAnd;
    if (SameName(CellText, Grid.BoolNames[fbiTrue]) || SameName(CellText, ConnectorOr))
        return ConnectorOr;
    return CellText;
}

std::string DisplayConnectorName(const TDBFilterGrid& Grid, const std::string& SyntaxName) {
    if (SyntaxName == ConnectorAnd)
        return Grid.BoolNames[fbiFalse];
    if (SyntaxName == ConnectorOr)
        return Grid.BoolNames[fbiTrue];
    return SyntaxName;
}

// The filter cells of a row; its group cells are read by the grid.
TSavedRow ReadFilterCells(const TDBFilterGrid& Grid, int Row) {
    TSavedRow Saved;
    Saved.Field = Grid.Cells(Grid.FilterColumn(fciLeftArg), Row);
    Saved.Operator = SyntaxOperatorName(Grid, Grid.Cells(Grid.FilterColumn(fciOperator), Row));
    Saved.Value = Grid.Cells(Grid.FilterColumn(fciRightArg), Row);
    Saved.Connector =
        SyntaxConnectorName(Grid, Grid.Cells(Grid.FilterColumn(fciBoolOperator), Row));
    return Saved;
}

// ---- Reading the text. Everything is checked before the grid changes.

[[noreturn]] void LoadError(const std::string& What) {
    throw Exception(LoadPrefix + What + ".");
}

std::string RowMember(std::size_t RowIndex, const char* Name) {
    return "Row " + std::to_string(RowIndex + 1) + ": member \"" + Name + "\"";
}

const TJson& RequiredMember(const TJson& Object, const char* Name) {
    const auto Found = Object.find(Name);
    if (Found == Object.end())
        LoadError(std::string("Member \"") + Name + "\" is missing");
    return *Found;
}

// A row member absent from the text keeps its default, so that a filter can be written
// by hand with only the members it needs.
void ReadText(const TJson& Row, std::size_t RowIndex, const char* Name, std::string& Target) {
    const auto Found = Row.find(Name);
    if (Found == Row.end())
        return;
    if (!Found->is_string())
        LoadError(RowMember(RowIndex, Name) + " is not a string");
    Target = Utf8ToHost(Found->get<std::string>());
}

void ReadCount(const TJson& Row, std::size_t RowIndex, const char* Name, int& Target) {
    const auto Found = Row.find(Name);
    if (Found == Row.end())
        return;
    if (!Found->is_number_integer())
        LoadError(RowMember(RowIndex, Name) + " is not an integer");
    // Positive numbers are read unsigned, negative ones signed.
    if (!Found->is_number_unsigned())
        LoadError(RowMember(RowIndex, Name) + " is negative");
    const std::uint64_t Count = Found->get<std::uint64_t>();
    if (Count > MaxParentheses)
        LoadError(RowMember(RowIndex, Name) + " is more than " + std::to_string(MaxParentheses));
    Target = static_cast<int>(Count);
}

TSavedRow ReadSavedRow(const TJson& Row, std::size_t RowIndex) {
    if (!Row.is_object())
        LoadError("Row " + std::to_string(RowIndex + 1) + " is not an object");
    TSavedRow Saved;
    if (const auto Found = Row.find("not"); Found != Row.end()) {
        if (!Found->is_boolean())
            LoadError(RowMember(RowIndex, "not") + " is not a boolean");
        Saved.Not = Found->get<bool>();
    }
    ReadCount(Row, RowIndex, "open", Saved.Open);
    ReadText(Row, RowIndex, "field", Saved.Field);
    ReadText(Row, RowIndex, "operator", Saved.Operator);
    ReadText(Row, RowIndex, "value", Saved.Value);
    ReadCount(Row, RowIndex, "close", Saved.Close);
    ReadText(Row, RowIndex, "connector", Saved.Connector);
    return Saved;
}

std::vector<TSavedRow> ParseSavedFilter(const std::string& Text) {
    TJson Document;
    try {
        Document = TJson::parse(HostToUtf8(Text));
    } catch (const TJson::parse_error& Error) {
        LoadError("The text is no JSON (error at byte " + std::to_string(Error.byte) + ")");
    }
    if (!Document.is_object())
        LoadError("The text is no JSON object");
    const TJson& Format = RequiredMember(Document, "format");
    if (!Format.is_string() || Format.get<std::string>() != SavedFilterFormat)
        LoadError("The text is no saved filter (format " + Format.dump() + ")");
    const TJson& Version = RequiredMember(Document, "version");
    if (!Version.is_number_integer() || Version.get<std::int64_t>() != SavedFilterVersion)
        LoadError("Unsupported version " + Version.dump());
    const TJson& Rows = RequiredMember(Document, "rows");
    if (!Rows.is_array())
        LoadError("Member \"rows\" is not an array");
    std::vector<TSavedRow> Result;
    Result.reserve(Rows.size());
    for (std::size_t Index = 0; Index < Rows.size(); ++Index)
        Result.push_back(ReadSavedRow(Rows[Index], Index));
    return Result;
}

// Rows naming a field the open dataset lacks lose their condition: the row goes, or keeps
// its parentheses (and the negation of the group it opens) so that the groups stay
// balanced. Each such field is reported once.
std::vector<TSavedRow> DropMissingFields(std::vector<TSavedRow> Rows, const TDataSet& DataSet,
                                         TFilterLoadReport& Report) {
    std::vector<TSavedRow> Kept;
    for (TSavedRow& Row : Rows) {
        const std::string Name = UnbracketString(TrimControlsAndSpaces(Row.Field));
        if (Name.empty() || DataSet.FindField(Name) != nullptr) {
            Kept.push_back(std::move(Row));
            continue;
        }
        std::vector<std::string>& Missing = Report.MissingFields;
        if (std::find(Missing.begin(), Missing.end(), Name) == Missing.end())
            Missing.push_back(Name);
        if (Row.Open == 0 && Row.Close == 0)
            continue;
        Row.Field.clear();
        Row.Operator.clear();
        Row.Value.clear();
        Kept.push_back(std::move(Row));
    }
    return Kept;
}

} // namespace

std::string TDBFilterGrid::SaveFilterToJSON() const {
    TJson Rows = TJson::array();
    for (int Row = FixedRows(); Row < RowCount(); ++Row) {
        if (UnexistinqOrEmptyRow(Row))
            continue;
        TSavedRow Saved = ReadFilterCells(*this, Row);
        Saved.Not = ReadNegation(Row, SaveContext);
        Saved.Open = ReadParentheses(fgciOpen, Row, SaveContext);
        Saved.Close = ReadParentheses(fgciClose, Row, SaveContext);
        Rows.push_back(TJson{{"not", Saved.Not},
                             {"open", Saved.Open},
                             {"field", HostToUtf8(Saved.Field)},
                             {"operator", HostToUtf8(Saved.Operator)},
                             {"value", HostToUtf8(Saved.Value)},
                             {"close", Saved.Close},
                             {"connector", HostToUtf8(Saved.Connector)}});
    }
    const TJson Document{
        {"format", SavedFilterFormat}, {"version", SavedFilterVersion}, {"rows", std::move(Rows)}};
    // Non-ASCII characters are written as escapes, so that the text reads the same under
    // every host code page.
    return Document.dump(-1, ' ', true);
}

TFilterLoadReport TDBFilterGrid::LoadFilterFromJSON(const std::string& Text) {
    std::vector<TSavedRow> Rows = ParseSavedFilter(Text);
    const bool NeedsGroups =
        std::any_of(Rows.begin(), Rows.end(), [](const TSavedRow& Row) { return Row.HasGroups(); });
    // A form file that holds groups was written by a grid with the group columns, whose
    // options it holds as well; it reads the same whichever of the two comes first.
    const bool Loading = ComponentState().Contains(csLoading);
    if (NeedsGroups && !FFilterBuilderOptions.Contains(fboGroups)) {
        if (!Loading)
            LoadError("The filter has groups or negations: set fboGroups in FilterBuilderOptions");
        SetFilterBuilderOptions(FFilterBuilderOptions + TFilterBuilderOptions{fboGroups});
    }
    const bool Groups = FFilterBuilderOptions.Contains(fboGroups);

    TFilterLoadReport Report;
    const TDataSet* DataSet = FDataLink->DataSet();
    if (DataSet != nullptr && DataSet->Active())
        Rows = DropMissingFields(std::move(Rows), *DataSet, Report);

    HideInCellEditor();
    Clear();
    SetRowCount(FixedRows() + std::max<int>(1, static_cast<int>(Rows.size())));
    for (std::size_t Index = 0; Index < Rows.size(); ++Index) {
        const TSavedRow& Saved = Rows[Index];
        const int Row = FixedRows() + static_cast<int>(Index);
        if (Groups) {
            SetCells(GroupColumn(fgciNot), Row, Saved.Not ? GroupNames[fgciNot] : std::string());
            SetCells(GroupColumn(fgciOpen), Row,
                     std::string(static_cast<std::size_t>(Saved.Open), '('));
            SetCells(GroupColumn(fgciClose), Row,
                     std::string(static_cast<std::size_t>(Saved.Close), ')'));
        }
        SetFilterCell(fciLeftArg, Row, Saved.Field);
        SetFilterCell(fciOperator, Row, DisplayOperatorName(*this, Saved.Operator));
        SetFilterCell(fciRightArg, Row, Saved.Value);
        SetFilterCell(fciBoolOperator, Row, DisplayConnectorName(*this, Saved.Connector));
    }
    return Report;
}

void TDBFilterGrid::SaveFilterToStream(std::ostream& Stream) const {
    Stream << SaveFilterToJSON();
    if (!Stream)
        throw Exception("TDBFilterGrid.SaveFilterToStream() The stream could not be written.");
}

TFilterLoadReport TDBFilterGrid::LoadFilterFromStream(std::istream& Stream) {
    if (!Stream)
        throw Exception("TDBFilterGrid.LoadFilterFromStream() The stream could not be read.");
    const std::string Text{std::istreambuf_iterator<char>(Stream),
                           std::istreambuf_iterator<char>()};
    return LoadFilterFromJSON(Text);
}

std::string TDBFilterGrid::FilterRows() const {
    if (!FFilterBuilderOptions.Contains(fboStoreRows))
        return std::string();
    for (int Row = FixedRows(); Row < RowCount(); ++Row)
        if (!UnexistinqOrEmptyRow(Row))
            return SaveFilterToJSON();
    return std::string();
}

void TDBFilterGrid::SetFilterRows(const std::string& Value) {
    if (Value.empty()) {
        HideInCellEditor();
        Clear();
        return;
    }
    LoadFilterFromJSON(Value);
}

} // namespace vorn
