// The table dataset: its published properties and the members every part of it shares.
#pragma once

#include "host/data/dataset/BDEDataSet.h"
#include "host/data/dataset/IndexDefs.h"
#include "host/data/dataset/TableConditions.h"
#include "host/data/dataset/TableRowWindow.h"

#include <memory>
#include <string>
#include <vector>

namespace vorn {

class TDataSource;
class TDataLink;
class TTablePrefixSeek;
struct TKeysetTerm;
struct TSortField;

// A database table. The database orders it (by IndexFieldNames, IndexName, or else by
// its primary key or row id), restricts it to the master's current record (MasterSource,
// MasterFields) and searches it; the table keeps only a window of rows around the
// current record and moves that window by key.
//
// Where each part of the table lives:
//   Table.h, Table.cpp      properties, catalog, order, master and detail, open and close
//   TableRows.cpp           statements (restriction, ORDER BY, fetch) and moves by key
//   TableSearch.cpp         locate and lookup by statement; the prefix seek's view of the table
//   TableWindow.cpp         rows beside the current one, for controls that show several
//   TablePosition.cpp       scroll positions from statistics and counts on the index
//   TableRowWindow.h/.cpp   the window of rows held around the current record
//   TableConditions.h       the conditions of one statement
//   TableKeyset.h/.cpp      keyset conditions: the rows after or before a row in the order
//   TableLocate.h/.cpp      case-insensitive prefix searches by index seeks
class TTable : public TBDEDataSet {
public:
    explicit TTable(TComponent* AOwner);
    ~TTable() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    const std::string& TableName() const { return FTableName; }
    // Only while closed.
    void SetTableName(const std::string& Value);

    // The fields to order by, "A;B", each descending where DescendingMark follows it
    // ("A:D;B", SortFields.h). Assigning re-orders an open table and keeps the
    // current record; the empty text restores the default order. Where the database
    // orders by indexes only, the fields must be the leading fields of an index: else
    // EDatabaseError naming them, and the order stays as it was. Clears IndexName.
    const std::string& IndexFieldNames() const { return FIndexFieldNames; }
    void SetIndexFieldNames(const std::string& Value);
    // Orders by the fields of the named index; clears IndexFieldNames.
    const std::string& IndexName() const { return FIndexName; }
    void SetIndexName(const std::string& Value);
    TIndexDefs* IndexDefs() const { return FIndexDefs.get(); }

    int IndexFieldCount() const override { return static_cast<int>(FOrderFields.size()); }
    TField* IndexFields(int Index) const override;
    bool IndexFieldDescending(int Index) const override;

    // Restricts the table to the records whose leading order fields equal the master's
    // MasterFields ("A;B", the master's fields, in the order of the detail's fields).
    // The table follows the master's moves. A closed master restricts nothing.
    TDataSource* MasterSource() const;
    void SetMasterSource(TDataSource* Value);
    const std::string& MasterFields() const { return FMasterFields; }
    void SetMasterFields(const std::string& Value);

    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void OpenCursor() override;
    void CloseCursor() override;
    bool MoveToFirst() override;
    bool MoveToLast() override;
    bool MoveToNext() override;
    bool MoveToPrior() override;
    bool MoveToBookmark(const TBookmark& Bookmark) override;
    bool MoveToMatch(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                     TLocateOptions Options) override;
    TVariant FindValue(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                       TField& Result) override;
    const TRow& CurrentRow() const override;
    TBookmark CurrentBookmark() const override;
    bool HasCurrentRow() const override { return !FWindow.Empty(); }
    void DiscardRows() override;
    std::vector<TNearbyRow> RowsBeside(bool After, int Count) override;
    std::optional<std::int64_t> EstimateRecordCount() override { return EstimatedRows(); }
    std::optional<std::int64_t> RecordsBeforeCurrent(bool MayCount) override;
    bool MoveToEstimatedFraction(double Fraction) override;

private:
    class TMasterLink;
    friend class TMasterLink;
    // What the prefix seek may ask of the table (TableSearch.cpp).
    class TSeekView;

    // A term of the total order: its SQL, where its value sits in a row, whether the
    // database keeps NULL out of it, whether the order and the index that serves it hold
    // its NULLs before its values with the term read ascending (so NULLs last where a
    // NullsFirst term descends), and whether the term descends.
    struct TOrderTerm {
        std::string Sql;
        std::size_t RowIndex;
        bool NotNull = false;
        bool NullsFirst = true;
        bool IndexNullsFirst = false;
        bool Descending = false;
    };
    using TConditions = TTableConditions;
    // The master's key values while the master restricts the table, and how many times
    // the master had been refreshed: its refresh may have changed the rows of the key.
    struct TMasterKey {
        bool Restricts = false;
        std::vector<TVariant> Values;
        unsigned long MasterRefreshes = 0;
        bool operator==(const TMasterKey&) const = default;
    };

    std::vector<TIndexInfo> ReadIndexes();
    bool KeepsOtherOrderProperty(const std::string& Value) const;
    std::vector<TSortField> ResolveOrder(const std::string& FieldNames,
                                         const std::string& IndexName) const;
    static std::vector<TSortField> AscendingFields(const TIndexDef& Index);
    void ApplyOrder(const std::vector<TSortField>& Order);
    std::vector<TSortField> OrderInForce() const;
    // How many leading order fields a master fixes while one is assigned: every row then
    // holds one value in them, so their directions do not matter to an index.
    std::size_t MasterFixedFields() const;
    const TIndexInfo* ServingIndex() const;
    bool IndexHoldsOrderNulls(const TIndexInfo& Index) const;
    TOrderTerm ColumnTerm(const std::string& Name) const;
    void FollowIndexNulls(const TIndexInfo& Serving);
    void ChangeOrder(const std::string& FieldNames, const std::string& IndexName);
    TMasterKey ReadMasterKey(const std::string& Fields, std::size_t OrderFieldCount) const;
    void MasterChanged(bool Force);

    // Statements: the restriction (master and filter) comes first in every one.
    TConditions Restriction() const;
    std::vector<TRow> Fetch(TConditions& Conditions, bool Descending, int Limit) const;
    // Offset skips that many rows of the order first.
    std::vector<TRow> FetchStatement(const TConditions& Conditions, bool Descending, int Limit,
                                     std::int64_t Offset = 0) const;
    // " FROM table WHERE ..." of a statement under Conditions.
    std::string FromWhere(const TConditions& Conditions) const;
    std::string OrderByClause(const TConditions& Conditions, bool Descending) const;
    // One term of an ORDER BY clause; NullFree where the rows hold no NULL in it, Backward
    // when the statement reads the order from its end.
    std::string TermOrder(const TOrderTerm& Term, bool NullFree, bool Backward) const;
    std::size_t LeadingOrderTerm() const;
    std::vector<TRow> FetchBeside(const TRow& Row, bool After, int Limit) const;
    std::vector<TKeysetTerm> OrderValues(const TRow& Row) const;
    std::string ColumnSql(const TField& Field) const;
    // The restriction and the conditions that Fields match Values under Options.
    TConditions MatchConditions(const std::vector<TField*>& Fields,
                                const std::vector<TVariant>& Values, TLocateOptions Options) const;
    TBookmark RowBookmark(const TRow& Row) const;
    // Makes the first of Rows current: rows consecutive in the order from there on, the
    // last of the table when RowsReachEnd.
    void StartWindowAt(std::vector<TRow> Rows, bool RowsReachEnd = false);
    // Reads the first row that Conditions select and makes it current, followed by the
    // rows after it (a page) when FillWindow; false when none.
    bool MoveToFirstOf(TConditions& Conditions, bool FillWindow);
    // The most rows the window holds.
    std::size_t WindowLimit() const;

    // Scroll positions (TablePosition.cpp): the table's estimated rows while it is not
    // restricted, and the rows before Row, counted on the order's index.
    std::optional<std::int64_t> EstimatedRows();
    std::int64_t CountBefore(const TRow& Row) const;
    std::optional<TVariant> LeadingValueAt(std::int64_t Offset) const;

    std::string FTableName;
    std::string FIndexFieldNames;
    std::string FIndexName;
    std::string FMasterFields;
    std::unique_ptr<TIndexDefs> FIndexDefs;
    std::unique_ptr<TMasterLink> FMasterLink;
    // Case-insensitive prefix searches by index seeks; what it learns holds while open.
    std::unique_ptr<TTablePrefixSeek> FPrefixSeek;

    // While open: the table's columns, the row key and the order in force.
    std::vector<TColumnInfo> FColumns;
    std::vector<std::string> FRowKey;
    std::vector<TIndexInfo> FIndexes; // as the catalog gave them at open
    std::vector<std::string> FOrderFields;
    std::vector<bool> FOrderDescending; // per order field
    // The order fields, the further fields of the index that serves them, then the row key.
    std::vector<TOrderTerm> FOrderTerms;
    std::string FSelectList;
    TMasterKey FMasterKey;

    // The window: consecutive rows in the current order, and the current one.
    TRowWindow FWindow;

    // The last position counted (a row and how many rows come before it), so that moves
    // inside the window add their distance instead of counting again; forgotten with the
    // rows. The table's estimated rows, read once per opening (-1: none).
    struct TCountedPosition {
        TBookmark Row;
        std::int64_t Before = 0;
    };
    std::optional<TCountedPosition> FCountedPosition;
    std::optional<std::int64_t> FEstimatedRows;
};

} // namespace vorn
