#include "Source/DBFilterGrid.h"

#include "host/components/text/AsciiText.h"

#include <algorithm>
#include <vector>

namespace vorn {

namespace {

constexpr int NotWidth = 40;
constexpr int ParenthesisWidth = 24;

constexpr const char* SyntaxNot = "NOT";
constexpr const char* SyntaxAnd = "AND";
constexpr const char* ExpressionContext = "TDBFilterGrid.GetFilterExpression() ";

int InitialGroupWidth(TFilterGroupColumnIndex Column) {
    return Column == fgciNot ? NotWidth : ParenthesisWidth;
}

bool IsBlank(char C) {
    return static_cast<unsigned char>(C) <= ' ';
}

// The number of Parenthesis characters in a cell made of them and blanks only.
std::optional<int> CountParentheses(const std::string& Text, char Parenthesis) {
    int Count = 0;
    for (const char C : Text) {
        if (C == Parenthesis)
            ++Count;
        else if (!IsBlank(C))
            return std::nullopt;
    }
    return Count;
}

// A group being read: the items joined so far, and the row that opened it.
struct TGroupFrame {
    int OpenRow = 0;
    bool Negated = false;
    std::string Text;
};

} // namespace

void TDBFilterGrid::SetFilterBuilderOptions(TFilterBuilderOptions Value) {
    const bool Grouped = Value.Contains(fboGroups);
    if (Grouped == FFilterBuilderOptions.Contains(fboGroups)) {
        FFilterBuilderOptions = Value;
        return;
    }
    // The combo box writes its text into the cell it lies over before the cells move.
    HideInCellEditor();
    const TColumnRole CurrentRole = ColumnRole(Col());
    std::array<int, FilterColumnCount> Widths{};
    std::array<std::vector<std::string>, FilterColumnCount> Texts;
    for (int Index = fciLeftArg; Index <= fciBoolOperator; ++Index) {
        const int Column = FilterColumn(static_cast<TFilterColumnIndex>(Index));
        Widths[static_cast<std::size_t>(Index)] = ColWidths(Column);
        for (int Row = 0; Row < RowCount(); ++Row)
            Texts[static_cast<std::size_t>(Index)].push_back(Cells(Column, Row));
    }
    int GroupWidths = 0;
    for (int Index = fgciNot; Index <= fgciClose; ++Index) {
        const auto Column = static_cast<TFilterGroupColumnIndex>(Index);
        GroupWidths += Grouped ? InitialGroupWidth(Column) : ColWidths(GroupColumn(Column));
    }

    FFilterBuilderOptions = Value;
    SetColCount(FixedCols() + FilterColumnCount + (Grouped ? FilterGroupColumnCount : 0));
    for (int Index = fciLeftArg; Index <= fciBoolOperator; ++Index) {
        const int Column = FilterColumn(static_cast<TFilterColumnIndex>(Index));
        SetColWidths(Column, Widths[static_cast<std::size_t>(Index)]);
        for (int Row = 0; Row < RowCount(); ++Row)
            SetCells(Column, Row,
                     Texts[static_cast<std::size_t>(Index)][static_cast<std::size_t>(Row)]);
    }
    if (Grouped)
        for (int Index = fgciNot; Index <= fgciClose; ++Index) {
            const auto Role = static_cast<TFilterGroupColumnIndex>(Index);
            const int Column = GroupColumn(Role);
            SetColWidths(Column, InitialGroupWidth(Role));
            SetCells(Column, 0, GroupNames[static_cast<std::size_t>(Index)]);
            for (int Row = 1; Row < RowCount(); ++Row)
                SetCells(Column, Row, std::string());
        }
    // A form being read has already set the width it stored, group columns included.
    if (!ComponentState().Contains(csLoading))
        SetWidth(Width() + (Grouped ? GroupWidths : -GroupWidths));
    // The current cell stays on its filter column; a group column that goes hands it to
    // the field column.
    if (CurrentRole.Filter)
        SetCol(FilterColumn(*CurrentRole.Filter));
    else if (CurrentRole.Group)
        SetCol(FilterColumn(fciLeftArg));
}

bool TDBFilterGrid::ReadNegation(int Row, const char* Context) const {
    const int Column = GroupColumn(fgciNot);
    if (Column < 0)
        return false;
    const std::string Text = TrimControlsAndSpaces(Cells(Column, Row));
    if (Text.empty())
        return false;
    const std::string Word = UpperCaseAscii(Text);
    if (Word == UpperCaseAscii(TrimControlsAndSpaces(GroupNames[fgciNot])) || Word == SyntaxNot)
        return true;
    throw Exception(Context + std::string("Unknown negation in row ") + std::to_string(Row) +
                    ": '" + Text + "'.");
}

int TDBFilterGrid::ReadParentheses(TFilterGroupColumnIndex Role, int Row,
                                   const char* Context) const {
    const int Column = GroupColumn(Role);
    if (Column < 0)
        return 0;
    const bool Opening = Role == fgciOpen;
    const std::string Text = Cells(Column, Row);
    if (const std::optional<int> Count = CountParentheses(Text, Opening ? '(' : ')'))
        return *Count;
    throw Exception(Context + std::string("Unknown group ") + (Opening ? "opening" : "closing") +
                    " in row " + std::to_string(Row) + ": '" + TrimControlsAndSpaces(Text) + "'.");
}

// The rows make a stream of tokens, each row read as it stands: [NOT] ["("...] [condition]
// [")"...] [connector]. A group's text is built while it is open; once closed it joins
// the enclosing group as one item, unless it holds no condition, in which case it leaves
// nothing behind (its negation and the connector that would have joined it included).
std::string TDBFilterGrid::GetBuilderExpression() {
    if (!BeginExpression())
        return std::string();
    const TExpressionSettings Settings = ExpressionSettings();
    const bool Exceptions = FFilterGridOptions.Contains(fgoExceptions);
    const int NotColumn = GroupColumn(fgciNot);

    std::vector<TGroupFrame> Groups(1);
    // An item joins the group with the connector of the row above the one it starts in.
    const auto Join = [&](TGroupFrame& Group, const std::string& Item, bool Negated, int StartRow) {
        const std::string Text = Negated ? std::string(SyntaxNot) + " " + Item : Item;
        if (Group.Text.empty()) {
            // Before the first condition the connector joins nothing: it stays as it is.
            if (&Group == &Groups.front())
                WriteBackConnector(StartRow - 1, FilterCellText(fciBoolOperator, StartRow - 1),
                                   Settings);
            Group.Text = Text;
            return;
        }
        std::string Connector =
            ConnectorToSQL(FilterCellText(fciBoolOperator, StartRow - 1), StartRow - 1);
        if (Connector.empty())
            Connector = SyntaxAnd;
        WriteBackConnector(StartRow - 1, Connector, Settings);
        Group.Text += " " + Connector + " " + Text;
    };
    const auto CloseGroup = [&] {
        const TGroupFrame Group = std::move(Groups.back());
        Groups.pop_back();
        if (!Group.Text.empty())
            Join(Groups.back(), "(" + Group.Text + ")", Group.Negated, Group.OpenRow);
    };

    int LastConditionRow = -1;
    for (int Row = FixedRows(); Row < RowCount(); ++Row) {
        const bool Negated = ReadNegation(Row, ExpressionContext);
        const int Opens = ReadParentheses(fgciOpen, Row, ExpressionContext);
        const int Closes = ReadParentheses(fgciClose, Row, ExpressionContext);
        const std::string FieldName = FilterCellText(fciLeftArg, Row);
        const TRowOperator RowOperator = GetRowOperator(Row, FieldName);
        // The negation stands left of the parentheses: it negates the outermost group the
        // row opens, or else the row's condition.
        for (int Index = 0; Index < Opens; ++Index)
            Groups.push_back({Row, Negated && Index == 0, std::string()});
        if (!FieldName.empty()) {
            TRowCondition Condition = ReadRowCondition(Row, FieldName, RowOperator, Settings);
            std::string Unused;
            const std::string Text = AppendRowCondition(std::string(), Unused, Condition, Settings);
            if (!Text.empty()) {
                Join(Groups.back(), Text, Negated && Opens == 0, Row);
                LastConditionRow = Row;
            }
        }
        int Closed = 0;
        for (; Closed < Closes && Groups.size() > 1; ++Closed)
            CloseGroup();
        if (Closed < Closes && Exceptions)
            throw Exception("TDBFilterGrid.GetFilterExpression() Unmatched ')' in row " +
                            std::to_string(Row) + ".");
        if (Settings.Correct && NotColumn >= 0) {
            SetCells(NotColumn, Row,
                     !Negated                  ? std::string()
                     : Settings.ShowVocabulary ? GroupNames[fgciNot]
                                               : std::string(SyntaxNot));
            SetCells(GroupColumn(fgciOpen), Row, std::string(static_cast<std::size_t>(Opens), '('));
            SetCells(GroupColumn(fgciClose), Row,
                     std::string(static_cast<std::size_t>(Closed), ')'));
        }
    }

    if (Groups.size() > 1) {
        if (Exceptions)
            throw Exception("TDBFilterGrid.GetFilterExpression() Unclosed '(' in row " +
                            std::to_string(Groups[1].OpenRow) + ".");
        // The missing parentheses close after the last condition, and never before the
        // row that opens the innermost group.
        const int Row = std::max(LastConditionRow, Groups.back().OpenRow);
        const std::size_t Missing = Groups.size() - 1;
        while (Groups.size() > 1)
            CloseGroup();
        if (Settings.Correct) {
            const int Column = GroupColumn(fgciClose);
            SetCells(Column, Row, Cells(Column, Row) + std::string(Missing, ')'));
        }
    }
    return Groups.front().Text;
}

} // namespace vorn
