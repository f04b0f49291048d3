#pragma once

// The filter grid: a string grid in which the end user builds a record filter one
// condition per row (field, operator, value, connector) and which turns its rows into
// one filter expression, for a dataset's own filter or for an SQL WHERE clause.

#include "host/components/controls/Button.h"
#include "host/components/controls/ComboBox.h"
#include "host/components/controls/Grid.h"
#include "host/components/graphics/Bitmap.h"
#include "host/components/model/Set.h"
#include "host/components/text/CodePage.h"
#include "host/data/dataset/DataSource.h"

#include "host/data/dataset/Variant.h"
#include "host/data/sql/SqlDialect.h"

#include <array>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

class TAliveGuard;

class TDataSet;
class TField;
class TQuery;
class TTable;

// ---- Vocabulary -------------------------------------------------------------

// The four filter columns, left to right, after the grid's fixed columns.
enum TFilterColumnIndex { fciLeftArg, fciOperator, fciRightArg, fciBoolOperator };

enum TFilterOperatorIndex {
    foiLess,
    foiLessOrEqual,
    foiEqual,
    foiLargerOrEqual,
    foiLarger,
    foiNotEqual,
    foiStartingWith,
    foiContaining,
    foiLike,
    foiIsNull,
    foiIsNotNull
};
using TFilterOperatorIndexes = TSet<TFilterOperatorIndex>;

// fbiFalse is the "and" connector, fbiTrue the "or" connector.
enum TFilterBoolIndex { fbiFalse, fbiTrue };

// fkSimple: an expression for a dataset's own filter; fkSQL: for an SQL WHERE clause.
enum TFilterKind { fkSimple, fkSQL };

enum TFilterGridOption {
    fgoCaseSensitive,
    fgoCaseSensitiveContaining,
    fgoCorrect,
    fgoCorrectTranslateWildcards,
    fgoExceptions,
    fgoNonTableValueList,
    fgoStrictOperators
};
using TFilterGridOptions = TSet<TFilterGridOption>;

inline constexpr int FilterColumnCount = 4;
inline constexpr int FilterOperatorCount = 11;
inline constexpr int FilterBoolCount = 2;

// Name tables, indexed by the ordinal of their enumeration.
using TFilterColumnNames = std::array<std::string, FilterColumnCount>;
using TFilterOperatorNames = std::array<std::string, FilterOperatorCount>;
using TFilterBoolNames = std::array<std::string, FilterBoolCount>;

// Whether Table is one of the exported name tables below, which hold Windows-1250 text.
bool IsExportedFilterNameTable(const void* Table);

// A grid's own copy of a name table, assignable whole or entry by entry. Assigning one of
// the exported tables converts its Windows-1250 text to the host code page, so that its
// names read and match right whatever the code page; any other table is host text already.
template <std::size_t Count>
class TFilterNameCopy {
public:
    using TNames = std::array<std::string, Count>;

    TFilterNameCopy& operator=(const TNames& Names) {
        FNames = Names;
        if (IsExportedFilterNameTable(&Names))
            for (std::string& Name : FNames)
                Name = Windows1250ToHost(Name);
        return *this;
    }
    std::string& operator[](std::size_t Index) { return FNames[Index]; }
    const std::string& operator[](std::size_t Index) const { return FNames[Index]; }
    const TNames& Names() const { return FNames; }
    friend bool operator==(const TFilterNameCopy& Copy, const TNames& Names) {
        return Copy.FNames == Names;
    }

private:
    TNames FNames;
};

// Operator names: the SQL operators themselves, English and Serbian. The Serbian
// tables hold Windows-1250 text.
extern const TFilterOperatorNames& fonComputer;
extern const TFilterOperatorNames& fonEnglish;
extern const TFilterOperatorNames& fonSerbian;
// Column captions of the title row.
extern const TFilterColumnNames& fcnEnglish;
extern const TFilterColumnNames& fcnSerbian;
// Connector names.
extern const TFilterBoolNames& fbnComputer;
extern const TFilterBoolNames& fbnEnglish;
extern const TFilterBoolNames& fbnSerbian;

inline constexpr TFilterOperatorIndexes SimpleFilterOperatorIndexes{
    foiLess, foiLessOrEqual, foiEqual, foiLargerOrEqual, foiLarger, foiNotEqual};
inline constexpr TFilterOperatorIndexes UnquotedFilterOperatorIndexes =
    SimpleFilterOperatorIndexes + TFilterOperatorIndexes{foiIsNull, foiIsNotNull};
inline constexpr TFilterOperatorIndexes AllFilterOperatorIndexes =
    UnquotedFilterOperatorIndexes + TFilterOperatorIndexes{foiStartingWith, foiContaining, foiLike};

// ---- Filter builder: groups, negation and more operators (off by default) -----

// fboGroups: three more columns (a negation, opening and closing parentheses) let a row
// negate its condition or the group it opens, and nest groups; fboMoreOperators: the
// operators below join the operator list; fboStoreRows: a form file keeps the rows
// (FilterRows), so that a grid opens with the filter it was designed with.
enum TFilterBuilderOption { fboGroups, fboMoreOperators, fboStoreRows };
using TFilterBuilderOptions = TSet<TFilterBuilderOption>;

// The group columns' roles. With fboGroups the columns after the fixed ones read, left
// to right: negation, "(", field, operator, value, ")", connector, so that a row reads
// as the expression it makes.
enum TFilterGroupColumnIndex { fgciNot, fgciOpen, fgciClose };
inline constexpr int FilterGroupColumnCount = 3;
// The words of the group columns, which are also their captions: the negation word,
// the opening and the closing parenthesis.
using TFilterGroupNames = std::array<std::string, FilterGroupColumnCount>;

enum TFilterMoreOperatorIndex {
    fmoBetween,      // two values, separated by FilterValueSeparator; both ends included
    fmoInList,       // one or more values, separated by FilterValueSeparator
    fmoIsBlank,      // NULL, or for a quoted field also the empty text
    fmoIsNotBlank,   // neither NULL nor, for a quoted field, the empty text
    fmoEndsWith,     // the text ends with the value, taken literally
    fmoNotContaining // the text does not contain the value, taken literally
};
using TFilterMoreOperatorIndexes = TSet<TFilterMoreOperatorIndex>;
inline constexpr int FilterMoreOperatorCount = 6;
using TFilterMoreOperatorNames = std::array<std::string, FilterMoreOperatorCount>;

// Separates the values of a between or in-list value cell; the escape character of the
// grid's Wildcards (a backslash by default) before it makes it part of a value.
inline constexpr char FilterValueSeparator = ';';

// Group words and more operators: computer (the filter syntax's own), English and
// Serbian (Windows-1250).
extern const TFilterGroupNames& fgnComputer;
extern const TFilterGroupNames& fgnEnglish;
extern const TFilterGroupNames& fgnSerbian;
extern const TFilterMoreOperatorNames& fmonComputer;
extern const TFilterMoreOperatorNames& fmonEnglish;
extern const TFilterMoreOperatorNames& fmonSerbian;

inline constexpr TFilterMoreOperatorIndexes UnquotedFilterMoreOperatorIndexes{
    fmoBetween, fmoInList, fmoIsBlank, fmoIsNotBlank};
inline constexpr TFilterMoreOperatorIndexes AllFilterMoreOperatorIndexes =
    UnquotedFilterMoreOperatorIndexes + TFilterMoreOperatorIndexes{fmoEndsWith, fmoNotContaining};

// What loading a saved filter could not take over: the fields, each once in the order
// first met, that the linked dataset does not have (their rows were left out).
struct TFilterLoadReport {
    std::vector<std::string> MissingFields;
};

// A WHERE condition of one backend with numbered placeholders ("?1".. on SQLite, "$1".. on
// PostgreSQL) and the value of each placeholder, typed by the field it is compared with.
struct TParameterizedFilter {
    std::string Condition;
    std::vector<TVariant> Values;
};

const TTypeInfo& FilterKindTypeInfo();
const TTypeInfo& FilterOperatorIndexTypeInfo();
const TTypeInfo& FilterGridOptionsTypeInfo();
const TTypeInfo& FilterBuilderOptionsTypeInfo();

// ---- Grid -------------------------------------------------------------------

class TDBFilterGridComboBox;
class TDBFilterGridSpeedButton;

// The grid's layout: a fixed title row captioned from ColumnNames, a fixed column
// that holds the row-delete button, then the four filter columns (with fboGroups, the
// group columns captioned from GroupNames stand among them); every row below
// the title row is a filter row, and there is always at least one. The connector
// cell of a row joins it to the row below.
//
// At run time the grid owns an in-cell combo box, a row-delete button with its
// picture and a query for value lists; in the form designer none of them exists.
class TDBFilterGrid : public TStringGrid {
public:
    explicit TDBFilterGrid(TComponent* AOwner);
    ~TDBFilterGrid() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // ---- Published properties
    TDataSource* DataSource() const;
    // In the form designer (not while the form is being read) a table's data source
    // switches to the simple filter kind and case-sensitive comparison, a local
    // query's to the simple filter kind; at run time only the link changes.
    void SetDataSource(TDataSource* Value);
    TFilterKind FilterKind() const { return FFilterKind; }
    void SetFilterKind(TFilterKind Value) { FFilterKind = Value; }
    int FilterMaxDropDownCount() const { return FFilterMaxDropDownCount; }
    // Raises for a negative count, which no list can show.
    void SetFilterMaxDropDownCount(int Value);
    TFilterOperatorIndex DefaultOperator() const { return FDefaultOperator; }
    void SetDefaultOperator(TFilterOperatorIndex Value);
    const std::string& Wildcards() const { return FWildcards; }
    void SetWildcards(const std::string& Value) { FWildcards = Value; }
    const std::string& TargetWildcards() const { return FTargetWildcards; }
    void SetTargetWildcards(const std::string& Value) { FTargetWildcards = Value; }
    TFilterGridOptions FilterGridOptions() const { return FFilterGridOptions; }
    void SetFilterGridOptions(TFilterGridOptions Value) { FFilterGridOptions = Value; }
    // Switching fboGroups on or off adds or removes the group columns; the text of the
    // four filter columns moves with them, the group cells' text goes.
    TFilterBuilderOptions FilterBuilderOptions() const { return FFilterBuilderOptions; }
    void SetFilterBuilderOptions(TFilterBuilderOptions Value);
    // With fboStoreRows, the rows as a saved filter (SaveFilterToJSON) while a row holds
    // text; empty otherwise, so that a form file leaves the property out. Setting it loads
    // the text (LoadFilterFromJSON); the empty text clears the rows.
    std::string FilterRows() const;
    void SetFilterRows(const std::string& Value);

    // ---- The grid's own vocabulary, assignable whole or entry by entry. The title
    // row is captioned from ColumnNames once, by the constructor.
    TFilterNameCopy<FilterColumnCount> ColumnNames;
    TFilterNameCopy<FilterOperatorCount> OperatorNames;
    TFilterNameCopy<FilterBoolCount> BoolNames;
    // Words of the group columns (fboGroups) and names of the more operators
    // (fboMoreOperators); initially fgnComputer and fmonComputer.
    TFilterNameCopy<FilterGroupColumnCount> GroupNames;
    TFilterNameCopy<FilterMoreOperatorCount> MoreOperatorNames;

    // ---- Columns
    // The grid column of a filter column, and of a group column (-1 without fboGroups).
    int FilterColumn(TFilterColumnIndex Column) const;
    int GroupColumn(TFilterGroupColumnIndex Column) const;

    // ---- Rows
    // True for a row outside the filter rows, or a filter row whose filter cells all
    // hold the empty string (a blank counts as text).
    bool UnexistinqOrEmptyRow(int Row) const;
    // Empties the row and removes it unless it is the only filter row; true when it
    // was removed. A row that is no filter row is left alone (false).
    bool DeleteOrClearRow(int Row);
    // Leaves exactly one filter row, empty.
    void Clear();

    // ---- Expression
    // The filter expression of all filter rows; empty when no row names a field or
    // the dataset is missing or closed (with fgoCorrect the rows are then cleared).
    // With fgoCorrect the cells of each used row are rewritten with what went into
    // the expression.
    std::string GetFilterExpression();
    // The text of a value cell that GetFilterExpression reads as exactly Value, whatever
    // it holds (wildcards, escape characters, quotes). A value picked from the value list
    // is written so.
    std::string ExactValueText(const std::string& Value) const;
    // Whether values of the field (a name, possibly in square brackets) are written
    // quoted: false for the numeric and boolean types.
    bool QuotedType(const std::string& FieldName) const;
    // The index of the OperatorNames entry the name denotes (blanks around and the
    // letter case of a-z ignored).
    TFilterOperatorIndex OperatorNameToIndex(const std::string& OperatorName) const;
    // As OperatorNameToIndex, for an operator that fits the field and the filter kind.
    TFilterOperatorIndex OperatorNameToIndexStrict(const std::string& OperatorName,
                                                   const std::string& FieldName) const;
    static std::string OperatorIndexTOSQLOperator(TFilterOperatorIndex Index);
    // The operators that fit the field under the current filter kind.
    TFilterOperatorIndexes ApplicableOperators(const std::string& FieldName) const;
    // The more operators that fit the field: none without fboMoreOperators, all for a
    // quoted field, the value tests for the others.
    TFilterMoreOperatorIndexes ApplicableMoreOperators(const std::string& FieldName) const;

    // ---- Saved filters
    // The rows (groups, fields, operators, values, connectors) as a small JSON text.
    // Operators and connectors are saved by their filter syntax names, so that a filter
    // saved under one vocabulary opens under another.
    std::string SaveFilterToJSON() const;
    // Replaces the rows by those of the text. While the dataset is open, rows naming a
    // field it lacks are left out and reported. Malformed text raises and changes nothing.
    TFilterLoadReport LoadFilterFromJSON(const std::string& Text);
    void SaveFilterToStream(std::ostream& Stream) const;
    TFilterLoadReport LoadFilterFromStream(std::istream& Stream);

    // ---- Parameterised condition
    // The condition of GetFilterExpression (which it calls, with its corrections) in the
    // SQL of Backend with every value bound as a parameter, for an application that runs
    // its own statement. Empty when the expression is.
    TParameterizedFilter GetParameterizedFilter(TSqlBackend Backend);

    // ---- In-cell editing
    // Whether the cell may be edited: it lies right of the fixed columns and below the
    // fixed rows.
    bool ValidCellCoordinates(const TGridCoord& Coord) const;
    // The cell under the in-cell combo box's top-left corner.
    TGridCoord CurrentComboCell() const;
    // Hovering lays the combo box over an editable cell, or the row button over the
    // fixed cell at the left of a filter row.
    void MouseMove(TShiftState Shift, int X, int Y) override;
    // Enter opens the combo box on the current cell, Down on a filled last row appends
    // a row, Ctrl+Delete deletes the current row; with ListKeys, F4 and Alt+Down open
    // the combo box on the current cell with its list.
    void KeyDown(int& Key, TShiftState Shift) override;

    // ---- Editing options (off by default; not streamed)
    // A value picked from the combo box's list moves the current cell as Enter after
    // typing does: one column to the right (in the connector column, into the new row).
    bool AdvanceAfterPick() const { return FAdvanceAfterPick; }
    void SetAdvanceAfterPick(bool Value) { FAdvanceAfterPick = Value; }
    // F4 and Alt+Down in the grid open the combo box's list on the current cell, as
    // opening it with the mouse does.
    bool ListKeys() const { return FListKeys; }
    void SetListKeys(bool Value) { FListKeys = Value; }

    // ---- Owned objects (nullptr in the form designer, except the data link)
    TFieldDataLink* DataLink() const { return FDataLink.get(); }
    TDBFilterGridComboBox* InCellEditor() const { return FInCellEditor; }
    TDBFilterGridSpeedButton* RowButton() const { return FRowButton; }
    TBitmap* DeleteRowBitmap() const { return FDeleteRowBitmap.get(); }
    TQuery* ValueListQuery() const { return FValueListQuery; }
    bool ArrowKeyFlag() const { return FArrowKeyFlag; }
    bool FocusReturnFlag() const { return FFocusReturnFlag; }

    void Notification(TComponent* AComponent, TOperation Operation) override;
    // Keeps the in-cell combo box beside the grid: it lives in the grid's parent.
    void SetParent(TWinControl* AParent) override;
    // Handler of the data link's OnActiveChange: the value-list query follows an
    // active linked table's database and is closed otherwise.
    void ActiveChange(TObject* Sender);

private:
    friend class TDBFilterGridComboBox;
    friend struct TMoreOperatorsTestAccess;

    // The operator of a row: an operator of the filter syntax, or a more operator.
    struct TRowOperator {
        std::string SQLOperator;
        std::optional<TFilterMoreOperatorIndex> More;
    };
    // GetOpCell, and with fboMoreOperators also the more operators' names.
    TRowOperator GetRowOperator(int Row, const std::string& FieldName) const;
    // The condition of a more operator in the filter syntax, for the value cell's text.
    std::string ComposeMoreOperator(TFilterMoreOperatorIndex Index, const std::string& FieldName,
                                    const std::string& Value, int Row) const;
    // The more operator a MoreOperatorNames entry or a filter syntax name denotes.
    std::optional<TFilterMoreOperatorIndex>
    FindMoreOperatorName(const std::string& OperatorName) const;
    // The value cell's text after a pick from the value list in a between or in-list row:
    // the pick joins the list or leaves it, or fills the next end of the range. Nothing
    // for any other row.
    std::optional<std::string> PickIntoValueList(int Row, const std::string& Picked) const;
    // The expression with groups, negation or more operators.
    std::string GetBuilderExpression();

    // What a grid column holds: one of the four filter columns or, with fboGroups, one of
    // the group columns; neither for the fixed columns.
    struct TColumnRole {
        std::optional<TFilterColumnIndex> Filter;
        std::optional<TFilterGroupColumnIndex> Group;
    };
    TColumnRole ColumnRole(int Column) const;
    // Whether the row's negation cell negates (empty, the negation word or "NOT"); raises
    // for other text, the message starting with Context ("TDBFilterGrid.Method() ").
    // False without fboGroups.
    bool ReadNegation(int Row, const char* Context) const;
    // The number of parentheses in the row's "(" or ")" cell, which holds them and blanks
    // only; raises for other text as ReadNegation does. 0 without fboGroups.
    int ReadParentheses(TFilterGroupColumnIndex Role, int Row, const char* Context) const;

    // What both expression paths compose their conditions with, taken once per call.
    struct TExpressionSettings {
        bool Correct = false;
        bool SQLKind = false;
        // Cells are written back in the grid's vocabulary rather than in the filter syntax.
        bool ShowVocabulary = false;
        std::string Wildcards;
        std::string TargetWildcards;
    };
    // Puts the editor away; false, clearing the rows with fgoCorrect, when the dataset is
    // missing or closed.
    bool BeginExpression();
    TExpressionSettings ExpressionSettings() const;
    // A row's condition as read from its cells, before it is composed.
    struct TRowCondition {
        int Row = 0;
        std::string FieldName;
        // The operator in the filter syntax, or a more operator.
        std::string Operator;
        std::optional<TFilterMoreOperatorIndex> More;
        std::string Value;
        // Whether the field's values are quoted; read for the filter syntax's operators
        // only, as a more operator checks its field itself.
        bool Quoted = true;
    };
    // The condition of a row whose field cell names FieldName (not empty) with the row's
    // operator: the default operator (or the null test) for none, the value checked for
    // a field whose values are not quoted.
    TRowCondition ReadRowCondition(int Row, const std::string& FieldName,
                                   const TRowOperator& RowOperator,
                                   const TExpressionSettings& Settings) const;
    // Appends the condition to FilterText joined by Connector and with fgoCorrect writes
    // the row's field, operator and value back. A condition the composer drops leaves
    // FilterText as it is. A more operator's condition (always some text) is returned
    // alone: FilterText must be empty then.
    std::string AppendRowCondition(const std::string& FilterText, std::string& Connector,
                                   TRowCondition& Condition, const TExpressionSettings& Settings);
    // With fgoCorrect, writes the connector that joined the row below into the row's cell.
    void WriteBackConnector(int Row, const std::string& Connector,
                            const TExpressionSettings& Settings);

    // The text of a filter cell without blanks and control characters at its ends.
    std::string FilterCellText(TFilterColumnIndex Column, int Row) const;
    void SetFilterCell(TFilterColumnIndex Column, int Row, const std::string& Value);
    TField& FieldOf(const std::string& FieldName) const;
    std::optional<TFilterOperatorIndex> FindOperatorName(const std::string& OperatorName) const;
    // The OperatorNames entry sharing the longest prefix with the text (the shorter
    // name among equals), or nothing when none shares even the first character.
    std::optional<TFilterOperatorIndex> ClosestOperatorName(const std::string& OperatorText) const;
    std::string GetOpCell(int Row, const std::string& FieldName) const;
    // "AND" or "OR" for a connector cell's text (a BoolNames entry or the connector
    // itself); Row names the cell in the error for anything else.
    std::string ConnectorToSQL(const std::string& ConnectorText, int Row) const;
    std::string ConnectorDisplayName(const std::string& SQLConnector) const;
    std::string OperatorDisplayName(const std::string& SQLOperator) const;
    void CheckUnquotedValue(const std::string& FieldName, const std::string& Operator,
                            const std::string& Value) const;
    void HideInCellEditor();
    void OpenInCellList();

    std::unique_ptr<TFieldDataLink> FDataLink;
    TDBFilterGridComboBox* FInCellEditor = nullptr;
    TDBFilterGridSpeedButton* FRowButton = nullptr;
    std::unique_ptr<TBitmap> FDeleteRowBitmap;
    TQuery* FValueListQuery = nullptr;
    bool FFocusReturnFlag = false;
    bool FArrowKeyFlag = false;
    bool FAdvanceAfterPick = false;
    bool FListKeys = false;

    TFilterKind FFilterKind = fkSQL;
    int FFilterMaxDropDownCount = 15;
    TFilterOperatorIndex FDefaultOperator = foiEqual;
    std::string FWildcards;
    std::string FTargetWildcards;
    TFilterGridOptions FFilterGridOptions;
    TFilterBuilderOptions FFilterBuilderOptions;
};

// ---- In-cell editors --------------------------------------------------------

// The grid's one combo box, laid over the cell being edited. It reaches its grid
// only through its owner.
class TDBFilterGridComboBox : public TCustomComboBox {
public:
    explicit TDBFilterGridComboBox(TComponent* AOwner);

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // The cell being edited; -1 once its text has been written back.
    int CellCol = 0;
    int CellRow = 0;

    using TCustomComboBox::SetText;

    // Lays the combo box over the cell and shows it; false, changing nothing, for a cell
    // that may not be edited.
    bool ShowPositioned(const TGridCoord& Coord);
    // Shows the combo box, remembering whether the grid had the focus.
    void Show();
    // Hides the combo box; a visible one writes its text into its cell and hands the
    // focus back to the grid when the grid had it.
    void Hide();
    // Writes the text into the edited cell, once.
    void SetText();
    // Makes the edited cell the grid's current cell.
    void Select();
    // After a connector was chosen, appends a filter row unless an empty one waits.
    void AppendRow();

    // Fills the list with what fits the cell's column, then opens it.
    void DropDown() override;
    // A choice made with the list closed is committed.
    void Click() override;
    // Enter commits, Escape discards, Down opens the list.
    void KeyDown(int& Key, TShiftState Shift) override;
    // The mouse leaving a combo box that is neither focused nor open hides it.
    void CMMouseLeave() override;
    // A changed text is no longer the one picked from the list.
    void Change() override;

private:
    TDBFilterGrid& Grid() const;
    bool EditsExistingCell() const;
    void ConfirmAndAdvance(const TAliveGuard& Guard, bool ByKey);
    void AddGroupWords(TFilterGroupColumnIndex Role);
    void AddFieldNames();
    void AddOperatorNames(const TGridCoord& Pos);
    void AddValues(const TGridCoord& Pos);
    void AddTableValues(TTable& Table, const std::string& FieldName);
    void AddScannedValues(TDataSet& DataSet, const TField& Field);
    // The text to write into the edited cell: a value picked from the value list is
    // written so that it matches exactly itself, or joins a between or in-list row's
    // values; typed text, even an item's, is written as typed in such a row.
    std::string CellText() const;
    bool PicksHeldGroupWord() const;

    // The text is an item the user picked from the list (typing an item's text selects
    // the item too, but is no pick).
    bool FPickedFromList = false;
};

// The button laid over the fixed cell at the left of a filter row to delete it.
class TDBFilterGridSpeedButton : public TSpeedButton {
public:
    explicit TDBFilterGridSpeedButton(TComponent* AOwner);

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // The grid row the button deletes.
    int TargetRow = 0;

    // Deletes the target row (or empties it when it is the only filter row).
    void Click() override;
    void CMMouseLeave() override;
};

} // namespace vorn
