// Case-insensitive prefix searches of a table, answered by seeking ranges of its index.
#pragma once

#include "host/data/dataset/DataSet.h"
#include "host/data/dataset/IndexDefs.h"
#include "host/data/dataset/SortFields.h"
#include "host/data/dataset/TableConditions.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

// All that a prefix seek asks of its table; the table hands its seek an implementation.
class TPrefixSeekTable {
public:
    virtual ~TPrefixSeekTable() = default;

    virtual TDriverConnection& Connection() const = 0;
    virtual const std::string& TableName() const = 0;
    virtual const std::vector<TColumnInfo>& Columns() const = 0;
    virtual const TIndexDefs& Indexes() const = 0;
    // The order fields with their directions up to the first that the master's key does
    // not fix, which a seek ranges on; empty when the key fixes them all.
    virtual std::vector<TSortField> OrderThroughLeading() const = 0;
    // Whether the table's searches compare Field's values as text.
    virtual bool IsTextField(const TField& Field) const = 0;
    virtual std::string ColumnSql(const TField& Field) const = 0;
    // The condition that Field (written as ColumnSql) matches Value under Options.
    virtual std::string MatchCondition(const std::string& ColumnSql, const TField& Field,
                                       const TVariant& Value, TLocateOptions Options,
                                       TBoundParams& Params) const = 0;
    // The table's restriction (master and filter), with which every statement begins.
    virtual TTableConditions Restriction() const = 0;
    // Reads the first row that Conditions select in the table's order and makes it
    // current, followed by the rows after it when FillWindow; false when none.
    virtual bool MoveToFirstOf(TTableConditions& Conditions, bool FillWindow) = 0;
};

// Answers a table's case-insensitive partial search on the field that leads its order
// (after the fields fixed by the master) by seeking index ranges instead of scanning.
// A text matches when it begins with one of the prefix's case variants: each character
// replaced by one of the characters of the same upper case (CharacterCaseVariants; a to z
// only under a single-byte code page). The walk extends the prefix one character at a
// time, each letter in all its cases; before the variants grow past what one statement
// asks about, one statement keeps those that begin a row, so that the variants tried are
// those the data holds. A few such statements walk usual keys whole; the rest of a longer
// key is matched within the ranges of the prefix walked so far, so that a search costs a
// bounded number of statements however long its key. A key letter that upper-cases to
// several (ß to SS) leaves the search to the scan; rows are matched character for
// character, so a row's "ß" is not among the variants of a key's "ss". Ranges mean
// prefixes only where the column compares as bytes; elsewhere the caller keeps scanning.
class TTablePrefixSeek {
public:
    explicit TTablePrefixSeek(std::unique_ptr<TPrefixSeekTable> Table)
        : FOwnTable(std::move(Table)), FTable(*FOwnTable) {}

    // Makes the first match in the table's order current, as MoveToMatch does, and
    // returns whether there was one; nullopt when seeks cannot answer this search, so
    // that the caller scans.
    std::optional<bool> MoveToMatch(const std::vector<TField*>& Fields,
                                    const std::vector<TVariant>& Values, TLocateOptions Options);

private:
    bool Applies(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                 TLocateOptions Options);
    // Whether an index, read forward or backward, begins with the fields of Order (the
    // directions of those the master's key fixes aside).
    bool HasIndexLeadingTo(const std::vector<TSortField>& Order) const;
    bool ComparesAsBytes(const TField& Field);

    // The terms that select exactly the rows whose Field begins with Prefix.
    std::vector<std::string> PrefixRange(TBoundParams& Params, const TField& Field,
                                         const std::string& Prefix) const;
    // "EXISTS (...)": whether a row that Terms select begins with Prefix.
    std::string AnyRowBeginning(std::vector<std::string> Terms, TBoundParams& Params,
                                const TField& Field, const std::string& Prefix) const;
    // The prefixes, in their order, that begin a row of the table; one statement.
    std::vector<std::string> PrefixesBegun(const TField& Field,
                                           const std::vector<std::string>& Prefixes) const;
    // Makes current the first match in the table's order that begins with one of Prefixes
    // (ascending, of one length): the case variants of the whole key when WholeKey, else
    // of the key's beginning, every match beginning with one of them; one statement. The
    // field leads the order descending when Descending.
    bool MoveToFirstMatch(const std::vector<std::string>& Prefixes, bool WholeKey, bool Descending,
                          const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                          TLocateOptions Options);
    // "(SELECT Column ... LIMIT 1)": the extreme value of Field (the greatest when
    // Greatest, else the least) among the rows that Terms select, that begin with Prefix
    // and that KeyMatch (a condition already bound) accepts, when there is one.
    std::string ExtremeBeginning(std::vector<std::string> Terms, TBoundParams& Params,
                                 const TField& Field, const std::string& Prefix,
                                 const std::optional<std::string>& KeyMatch, bool Greatest) const;

    std::unique_ptr<TPrefixSeekTable> FOwnTable;
    TPrefixSeekTable& FTable;
    // Whether a field's comparisons follow byte order, asked of the catalog once per open.
    std::map<std::string, bool> FComparesAsBytes;
};

} // namespace vorn
