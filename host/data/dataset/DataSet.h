#pragma once

#include "host/components/model/Component.h"
#include "host/components/model/Set.h"
#include "host/data/dataset/Field.h"
#include "host/data/dataset/Variant.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

class TDataSource;
class TDriverConnection;
class TBoundParams;

enum TDataSetState {
    dsInactive,
    dsBrowse,
    dsEdit,
    dsInsert,
    dsSetKey,
    dsCalcFields,
    dsFilter,
    dsNewValue,
    dsOldValue,
    dsCurValue
};

// What a dataset tells its data sources, and they their links.
enum TDataEvent {
    deFieldChange,   // Info: the TField* whose value changed
    deRecordChange,  // Info: the changed TField*, or 0 for the whole record
    deDataSetChange, // the rows changed: open, refresh, re-sort, filter, master move
    deDataSetScroll, // Info: the distance moved; the rows are the same
    deLayoutChange,  // the fields changed
    deUpdateRecord,  // unused: these datasets do not edit
    deUpdateState    // opened or closed (links recompute Active)
};

enum TLocateOption { loCaseInsensitive, loPartialKey };
using TLocateOptions = TSet<TLocateOption>;

class TDataSet;
using TDataSetNotifyEvent = std::function<void(TDataSet* DataSet)>;

// Identifies a record by its key, not its position: it stays valid when the order
// changes. An empty bookmark identifies nothing.
struct TBookmark {
    std::vector<TVariant> Key;
    bool Empty() const { return Key.empty(); }
    bool operator==(const TBookmark&) const = default;
};

// Records around the current one, each as its field values by field index (as the
// fields store them: TField::TextOf gives the text AsString would), with its bookmark.
struct TRecordWindow {
    std::vector<std::vector<TVariant>> Values;
    std::vector<TBookmark> Bookmarks;
    // The index of the current record; -1 when the window is empty.
    int Current = -1;

    int Count() const { return static_cast<int>(Values.size()); }
};

// A set of records read from a database, one of which is current. The records stay in
// the database: a dataset reads the ones it shows and asks the database to order,
// restrict and search. Every change is told to the data sources attached to the
// dataset, which tell their links.
class TDataSet : public TComponent {
public:
    explicit TDataSet(TComponent* AOwner);
    ~TDataSet() override;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    bool Active() const { return FState != dsInactive; }
    // While the component is loading, the value is kept and applied in Loaded.
    void SetActive(bool Value);
    void Loaded() override;
    // Raises EDatabaseError (the dataset stays closed) when the records cannot be read.
    void Open();
    void Close();
    TDataSetState State() const { return FState; }

    // Navigation. A move to another record is a scroll, not a change of the rows.
    void First();
    void Last();
    void Next();
    void Prior();
    // Moves up to Distance records (negative: backwards); returns how far it went.
    int MoveBy(int Distance);
    // At the end (EOF): a Next found no further record, or after Last, or empty.
    bool Eof() const { return FEof; }
    // At the beginning (BOF): after Open or First, or a Prior found no record before.
    bool Bof() const { return FBof; }
    bool IsEmpty() const;

    // Notifications are held while controls are disabled; re-enabling the last level
    // sends one DataSetChanged (and ActiveChanged first if the dataset opened or closed).
    void DisableControls();
    void EnableControls();
    bool ControlsDisabled() const { return FDisableCount > 0; }

    // Reads up to Before records before the current one and up to After after it, in the
    // current order, without moving: the current record, Bof and Eof stay as they are,
    // AfterScroll does not fire and the links are told nothing. Calculated and lookup
    // fields are computed for each record (OnCalcFields runs for the records other than
    // the current one). Empty for a dataset without records; raises EDatabaseError for a
    // closed dataset or a negative count.
    TRecordWindow ReadRecordWindow(int Before, int After);

    TBookmark Bookmark() const;
    // Moves to the bookmarked record; raises EDatabaseError when it no longer exists
    // (or no longer belongs to the dataset), leaving the current record where it was.
    void SetBookmark(const TBookmark& Value);

    int FieldCount() const { return static_cast<int>(FFields.size()); }
    // Raises EListError outside 0..FieldCount-1.
    TField* Fields(int Index) const;
    // The field with exactly this name, or nullptr.
    TField* FindField(const std::string& FieldName) const;
    // Raises EDatabaseError naming the field when there is none.
    TField* FieldByName(const std::string& FieldName) const;

    // Defines fields that live beside the database columns; only while closed. The
    // fields stay defined across Close and Open.
    TField* AddCalculatedField(const std::string& FieldName, TFieldType DataType, int Size = 0);
    TField* AddLookupField(const std::string& FieldName, TFieldType DataType,
                           TDataSet* LookupDataSet, const std::string& KeyFields,
                           const std::string& LookupKeyFields, const std::string& LookupResultField,
                           int Size = 0);

    // Makes the first record (in the current order) whose KeyFields ("A;B") match
    // KeyValues (one value per field) current and returns true; returns false and
    // stays put when none matches. loPartialKey matches text prefixes,
    // loCaseInsensitive ignores letter case.
    bool Locate(const std::string& KeyFields, const std::vector<TVariant>& KeyValues,
                TLocateOptions Options);
    bool Locate(const std::string& KeyFields, const TVariant& KeyValue, TLocateOptions Options) {
        return Locate(KeyFields, std::vector<TVariant>{KeyValue}, Options);
    }
    // The value of ResultField in the first record matching the keys, without moving;
    // null when none matches.
    TVariant Lookup(const std::string& KeyFields, const std::vector<TVariant>& KeyValues,
                    const std::string& ResultField);

    // Where the current record lies, for a scroll bar: about how many records come before
    // it and how many the dataset holds, estimated without counting the dataset (the
    // database's statistics give the count). Nothing where the dataset cannot tell
    // cheaply: closed, empty, or a dataset that keeps no such figures. Finding the place
    // of a record reached by a jump counts the records before it on the order's index
    // (tens of milliseconds at a million records); without MayCount such a place is not
    // known and the call gives nothing, while the ends and places reached by steps from a
    // known one still are.
    struct TRecordPosition {
        std::int64_t Before = 0;
        std::int64_t Count = 0;
    };
    std::optional<TRecordPosition> EstimatedRecordPosition(bool MayCount = true);
    // Makes the record about Fraction (0 the first, 1 the last) of the way through the
    // dataset current, in one jump by the order's index (a dragged scroll bar thumb).
    // Returns false and moves nothing where the dataset cannot jump so.
    bool MoveToFraction(double Fraction);

    // Re-reads the records, keeping the current one when it still exists.
    void Refresh();
    // How many times Refresh has run: a dataset that follows this one's records reads
    // its own again when the count has changed.
    unsigned long RefreshCount() const { return FRefreshCount; }

    // True for a local file database, false for a server.
    virtual bool IsSequenced() const = 0;

    // The record filter, in the simple filter form of the system's SQL dialect: fields or
    // UPPER(field) compared with literals or numbers, IS [NOT] NULL, AND, OR, NOT and
    // parentheses. The database applies it while Filtered is set. Applying a filter
    // that is malformed, names a field the dataset lacks or that the database rejects
    // raises EDatabaseError and leaves the previous filter in force.
    const std::string& Filter() const { return FFilter; }
    void SetFilter(const std::string& Value);
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool Value);

    TDataSetNotifyEvent BeforeOpen;
    TDataSetNotifyEvent AfterOpen;
    TDataSetNotifyEvent BeforeClose;
    TDataSetNotifyEvent AfterClose;
    TDataSetNotifyEvent AfterScroll;
    TDataSetNotifyEvent OnCalcFields;

protected:
    // One record as read: the data columns in field order, possibly followed by values
    // the dataset keeps for itself (the row key).
    using TRow = std::vector<TVariant>;

    // The record source that TTable and TQuery implement. OpenCursor reads the column
    // descriptions (calling CreateDataField for each) without reading records.
    // CloseCursor also cleans up after an OpenCursor that raised half-way.
    virtual void OpenCursor() = 0;
    virtual void CloseCursor() = 0;
    // Each Move makes another record current and returns true, or returns false and
    // leaves the current record as it was.
    virtual bool MoveToFirst() = 0;
    virtual bool MoveToLast() = 0;
    virtual bool MoveToNext() = 0;
    virtual bool MoveToPrior() = 0;
    virtual bool MoveToBookmark(const TBookmark& Bookmark) = 0;
    virtual bool MoveToMatch(const std::vector<TField*>& Fields,
                             const std::vector<TVariant>& Values, TLocateOptions Options) = 0;
    virtual TVariant FindValue(const std::vector<TField*>& Fields,
                               const std::vector<TVariant>& Values, TField& Result) = 0;
    // Only called while a record is current.
    virtual const TRow& CurrentRow() const = 0;
    virtual TBookmark CurrentBookmark() const = 0;
    virtual bool HasCurrentRow() const = 0;
    // Forgets every row read so far, so that the next move reads from the database.
    virtual void DiscardRows() = 0;
    // The estimates behind EstimatedRecordPosition and MoveToFraction; by default a
    // dataset has none. Only called while a record is current.
    virtual std::optional<std::int64_t> EstimateRecordCount() { return std::nullopt; }
    virtual std::optional<std::int64_t> RecordsBeforeCurrent(bool /*MayCount*/) {
        return std::nullopt;
    }
    virtual bool MoveToEstimatedFraction(double /*Fraction*/) { return false; }
    // A row beside the current one and the bookmark that leads to it.
    struct TNearbyRow {
        TRow Row;
        TBookmark Bookmark;
    };
    // Up to Count rows after (or before) the current one, nearest first, read without
    // changing the current record. Only called while a record is current.
    virtual std::vector<TNearbyRow> RowsBeside(bool After, int Count) = 0;

    void CreateDataField(const std::string& Name, TFieldType DataType, int Size);
    // Raises the closed-dataset error for Operation unless the dataset is open.
    void CheckActive(const char* Operation) const;
    // Raises unless the dataset is closed.
    void CheckInactive(const char* Operation) const;
    // Text naming this dataset in messages: its name, or its class for a nameless one.
    std::string DisplayName() const;

    // The rows were re-read from the first record (a filter, a new order, a master's move).
    void RowsChangedFromFirst(bool HasRecord);
    // The rows were re-read around the current record (which still exists).
    void RowsChangedAround();
    // The SQL condition of the filter in force for Connection's backend, its values
    // added to Params; empty when not filtered.
    std::string FilterCondition(const TDriverConnection& Connection, TBoundParams& Params) const;
    // Runs Change and reads the rows again: from the record Keep when it still belongs to
    // them, else from the first. On error runs Undo and reads them again; where even that
    // fails, the dataset closes.
    void ChangeRows(const std::function<void()>& Change, const std::function<void()>& Undo,
                    const TBookmark& Keep = TBookmark{});
    void DataEvent(TDataEvent Event, std::intptr_t Info = 0);
    // Frees the record source and detaches the data sources; concrete datasets call it
    // first in their destructors, while their record source still exists.
    void DestroyDataSet();

private:
    friend class TField;
    friend class TDataSource;

    TVariant FieldValue(const TField& Field);
    // The values of all fields for Row, which need not be the current one.
    std::vector<TVariant> ValuesOf(const TRow& Row);
    std::vector<TVariant> CurrentValues();
    void SetCalculatedValue(const TField& Field, const TVariant& Value);
    void CalculateFields();
    TVariant ResolveLookup(const TField& Field);
    void Scrolled(int Distance);
    // How rows read again came out: on the record to keep, from the first, or none.
    enum class TReread { Kept, FromFirst, Empty };
    // Forgets the rows and reads them again, from Keep when it still belongs to them.
    TReread ReadRowsAgain(const TBookmark& Keep);
    // Tells the links that the rows were read again.
    void RowsReadAgain(TReread Read);
    void DoClose(bool Notify);
    void RetireDataFields();
    std::vector<TField*> FieldList(const std::string& FieldNames) const;
    void AddDataSource(TDataSource* Source);
    void RemoveDataSource(TDataSource* Source);
    void AddLookupClient(TField* Field);
    void RemoveLookupClient(TField* Field);
    TField* AddDefinedField(std::unique_ptr<TField> Field);
    void ApplyFilter(const std::string& Filter, bool Filtered);
    // Raises unless Filter is a simple filter whose fields (once open) are columns here.
    void CheckFilter(const std::string& Filter) const;

    TDataSetState FState = dsInactive;
    bool FEof = true;
    bool FBof = true;
    int FDisableCount = 0;
    bool FActiveWhenDisabled = false;
    unsigned long FRefreshCount = 0;
    std::string FFilter;
    bool FFiltered = false;
    bool FStreamedActive = false;

    std::vector<std::unique_ptr<TField>> FFields;
    // Data fields of an earlier opening, kept so that pointers to them stay valid.
    std::vector<std::unique_ptr<TField>> FRetiredFields;
    int FDataFieldCount = 0;
    std::vector<TVariant> FCalculatedValues;
    bool FCalculatedValid = false;
    bool FCalculating = false;
    // While the fields of a record other than the current one are calculated: its row,
    // which the data fields read instead of the current one.
    const TRow* FCalculatedRow = nullptr;

    std::vector<TDataSource*> FDataSources;
    std::vector<TField*> FLookupClients;
};

} // namespace vorn
