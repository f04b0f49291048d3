#pragma once

// The shared unit of the data components: string helpers for field names, the
// filter clause composer used by the filter grid, and the dataset introspection
// and sort data link used by the sorting components.

#include "host/data/dataset/DataSource.h"

#include <functional>
#include <string>

namespace vorn {

// ---- String helpers -------------------------------------------------------

// True when S is not empty and its first character is C.
bool BeginsWith(const std::string& S, char C);

// True when S is not empty and its last character is C.
bool EndsWith(const std::string& S, char C);

// S trimmed and, unless it already begins with "[" and ends with "]", enclosed
// in square brackets: the way a field name holding blanks is written in a filter.
std::string BracketString(const std::string& S);

// S trimmed and, when it begins with "[" and ends with "]", without that one
// pair of brackets.
std::string UnbracketString(const std::string& S);

// ---- Filter clause composer -----------------------------------------------

// Appends one condition (FieldName Operator Value) to FilterText, joined by the
// connector BoolOperator, and returns the new filter text.
//
// Wildcards (many-wildcard, one-wildcard, optional escape character, as in "*?")
// are the characters the end user types; TargetWildcards (as in "%_") the ones
// the filter's target understands. Empty Wildcards turn wildcard handling off.
// A quoted value always ends up inside exactly one literal that means what the
// user typed, whatever quotes or backslashes it holds.
//
// The in/out parameters are written back normalized (connector, bracketed field
// name, detected operator, value as quoted) so that a caller can show the user
// what was applied; CorrectedValue receives the value with the end user's
// wildcards kept. Raises Exception for a missing field name, bad wildcard
// strings and, when Exceptions is set, for a missing operator or unquoted value;
// a raise leaves Value as given and Operator only trimmed and upper-cased.
// Without Exceptions such a condition is dropped and FilterText comes back
// without a dangling connector.
std::string AppendFilter(const std::string& FilterText, std::string& BoolOperator,
                         std::string& FieldName, std::string& Operator, std::string& Value,
                         std::string& CorrectedValue, bool Quoted, bool CaseSensitive,
                         const std::string& Wildcards, const std::string& TargetWildcards,
                         bool CaseSensitiveContaining, bool Exceptions);

// ---- Dataset introspection and the sort data link -------------------------
//
// Sort field lists ("City;Name") describe the order of a table: its index fields,
// most significant first. Only tables have one; every other dataset answers with
// the empty text.

// The table's current order as a sort field list; empty for no dataset, a dataset
// that is not a table, or a table without index fields. A descending field carries
// DescendingMark ("Date:D"), so a list of ascending fields is plain names. Raises nothing
// of its own.
std::string ExtractSortFieldNames(const TDataSet* DataSet);

// The first field of the open table's order after the fields that link it to an open
// master; empty for a closed table, a dataset that is not a table, or an order made of
// link fields only.
std::string ExtractFirstSortFieldName(const TDataSet* DataSet);

// The table's master data source (may be nullptr) and master field list. Raise
// Exception "GetMasterSource() Unknown DataSet type." and "GetMasterFields() Unknown
// DataSet type." for anything but a table, no dataset included.
TDataSource* GetMasterSource(const TDataSet* DataSet);
std::string GetMasterFields(const TDataSet* DataSet);

// Told that the sort field list of a linked table changed from OldFields to NewFields;
// Done arrives true, and a handler sets it to false to decline the change, which is
// then reported again at the next change of the dataset, as is one whose handler raised.
// A handler may free the link (with the component that owns it) only when it accepts the
// change.
using TSortChangeEvent = std::function<void(TObject* Sender, const std::string& OldFields,
                                            const std::string& NewFields, bool& Done)>;

// A data link that reports changes of the linked table's sort field list, whoever made
// them. Queries and other datasets are never reported.
class TSortDataLink : public TDataLink {
public:
    TSortDataLink() = default;

    static const TClass& StaticClass();
    const TClass& ClassType() const override { return StaticClass(); }

    // Compares the table's sort field list with the last accepted one and reports a
    // difference to OnSortChange; without a handler every change is accepted.
    void DataSetChanged() override;

    // The last accepted sort field list. Re-pointing the link keeps it, so the first
    // report from another table compares against the old table's list.
    const std::string& SortFields() const { return FSortFields; }

    TSortChangeEvent OnSortChange;

private:
    std::string FSortFields;
};

} // namespace vorn
