#pragma once

#include "host/data/Table.h"

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace vorn {

// Answers a table's case-insensitive partial search on the field that leads its order
// (after the fields fixed by the master) by seeking index ranges instead of scanning.
// Upper-casing is ASCII only, so a text matches when it begins with one of the prefix's
// ASCII letter case variants. The walk extends the prefix one character at a time and
// keeps only the variants that begin at least one row, so that the variants tried are
// those the data holds. Ranges mean prefixes only where the column compares as bytes;
// elsewhere the caller keeps scanning.
class TTablePrefixSeek {
public:
    explicit TTablePrefixSeek(TTable& Table) : FTable(Table) {}

    // Makes the first match in the table's order current, as MoveToMatch does, and
    // returns whether there was one; nullopt when seeks cannot answer this search, so
    // that the caller scans.
    std::optional<bool> MoveToMatch(const std::vector<TField*>& Fields,
                                    const std::vector<TVariant>& Values, TLocateOptions Options);

private:
    using TRow = TTable::TRow;

    bool Applies(const std::vector<TField*>& Fields, const std::vector<TVariant>& Values,
                 TLocateOptions Options);
    bool HasIndexLeadingTo(std::size_t Position) const;
    bool ComparesAsBytes(const TField& Field);
    bool SQLiteComparesAsBytes(const TField& Field) const;
    bool PostgresComparesAsBytes(const TField& Field) const;

    void AddPrefixRange(TTable::TConditions& Conditions, const TField& Field,
                        const std::string& Prefix) const;
    bool AnyRowBeginsWith(const TField& Field, const std::string& Prefix) const;
    std::vector<TRow> FirstRowBeginningWith(const std::string& Prefix,
                                            const std::vector<TField*>& Fields,
                                            const std::vector<TVariant>& Values,
                                            TLocateOptions Options) const;

    TTable& FTable;
    // Whether a field's comparisons follow byte order, asked of the catalog once per open.
    std::map<std::string, bool> FComparesAsBytes;
};

} // namespace vorn
