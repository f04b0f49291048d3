// The statements of a table (its restriction, order and keyset reads) and its moves by key.
#include "host/data/dataset/SortFields.h"
#include "host/data/dataset/Table.h"
#include "host/data/dataset/TableKeyset.h"
#include "host/data/drivers/DatabaseError.h"

#include <algorithm>

namespace vorn {

namespace {

// The window holds this many pages at most; the rest is read again by key when needed.
constexpr std::size_t WindowPages = 3;

} // namespace

TTable::TConditions TTable::Restriction() const {
    TConditions Conditions(Connection());
    if (FMasterKey.Restricts) {
        for (std::size_t Index = 0; Index < FMasterKey.Values.size(); ++Index)
            Conditions.Where.push_back(FOrderTerms[Index].Sql + " = " +
                                       Conditions.Params.Add(FMasterKey.Values[Index]));
    }
    const std::string Filter = FilterCondition(Connection(), Conditions.Params);
    if (!Filter.empty())
        Conditions.Where.push_back("(" + Filter + ")");
    return Conditions;
}

// The index that serves the order, read forward or backward (the directions of the fields
// that a master fixes aside): the one named by IndexName, else the first whose fields are
// the order's (one read forward first), else one that continues the order with further
// fields and holds the order's NULLs where they are (a unique one first, as its fields
// alone settle the ties), else the first that begins with the order's fields.
const TIndexInfo* TTable::ServingIndex() const {
    if (FOrderFields.empty())
        return nullptr;
    const std::vector<TSortField> Order = OrderInForce();
    const std::size_t Fixed = MasterFixedFields();
    const TIndexInfo* Exact = nullptr;
    const TIndexInfo* Extending = nullptr;
    const TIndexInfo* Leading = nullptr;
    for (const TIndexInfo& Index : FIndexes) {
        const TIndexReading Reading = IndexReading(IndexSortFields(Index), Order, Fixed);
        if (Reading == irNone)
            continue;
        if (Index.Name == FIndexName)
            return &Index;
        if (Leading == nullptr)
            Leading = &Index;
        if (Index.Fields.size() == FOrderFields.size()) {
            if (Exact == nullptr ||
                (Reading == irForward &&
                 IndexReading(IndexSortFields(*Exact), Order, Fixed) != irForward))
                Exact = &Index;
        } else if (IndexHoldsOrderNulls(Index) &&
                   (Extending == nullptr || (Index.Unique && !Extending->Unique))) {
            Extending = &Index;
        }
    }
    if (Exact != nullptr)
        return Exact;
    return Extending != nullptr ? Extending : Leading;
}

// Whether the index holds the NULLs of the order fields where the order puts them. The
// leading field is exempt: its NULLs are read apart from its values when the index holds
// them elsewhere. Both sides say where the NULLs go with the field read ascending, so a
// descending field, or an index read backward, compares the same way: an index read
// backward holds its NULLs on the other side, as a descending field wants them.
bool TTable::IndexHoldsOrderNulls(const TIndexInfo& Index) const {
    for (std::size_t Position = 1; Position < FOrderFields.size(); ++Position) {
        const bool IndexFirst = Position < Index.NullsFirst.size() && Index.NullsFirst[Position];
        if (!FOrderTerms[Position].NotNull && FOrderTerms[Position].NullsFirst != IndexFirst)
            return false;
    }
    return true;
}

// The terms take the serving index's NULL placement for as far as the index follows the
// order (into the row key, where the index holds it).
void TTable::FollowIndexNulls(const TIndexInfo& Serving) {
    const std::size_t Known = std::min(Serving.Fields.size(), Serving.NullsFirst.size());
    for (std::size_t Position = 0; Position < FOrderTerms.size() && Position < Known; ++Position) {
        if (FOrderTerms[Position].Sql != Connection().QuoteIdentifier(Serving.Fields[Position]))
            return;
        FOrderTerms[Position].IndexNullsFirst = Serving.NullsFirst[Position];
    }
}

// The first order term that the master's key does not fix: the one whose range the
// database seeks in an index.
std::size_t TTable::LeadingOrderTerm() const {
    return FMasterKey.Restricts ? FMasterKey.Values.size() : 0;
}

// An ascending order field sorts its NULLs first, a descending one last: the exact reverse.
// A term that cannot be NULL in these rows is ordered with its NULLs where the serving index
// holds them, so that a default index (which keeps NULLs last) serves the order as well as
// one created NULLS FIRST: the terms fixed to a master's value, NOT NULL columns and the
// row key, and a leading term whose NULL-ness the conditions settle. MariaDB sorts rows
// that an index holds in order when the order names a term that the conditions fix to
// NULL: such a term is left out there, as it orders nothing.
std::string TTable::OrderByClause(const TConditions& Conditions, bool Descending) const {
    const std::size_t Leading = LeadingOrderTerm();
    const bool OmitNullLeading =
        Conditions.LeadingTermNull && Connection().SqlBackend() == sbMariaDB;
    std::string Sql;
    for (std::size_t Index = 0; Index < FOrderTerms.size(); ++Index) {
        if (Index == Leading && OmitNullLeading)
            continue;
        const TOrderTerm& Term = FOrderTerms[Index];
        const bool NullFree =
            Index < Leading || Term.NotNull || (Index == Leading && Conditions.LeadingNullsSettled);
        Sql += (Sql.empty() ? " ORDER BY " : ", ") + TermOrder(Term, NullFree, Descending);
    }
    return Sql;
}

// Without NULLs either placement gives the same rows: the index's is the one that lets it
// serve the order. MariaDB has no NULLS FIRST or LAST: it puts NULLs before the values
// read ascending, as its indexes hold them, and NULLs wanted after them are ordered by a
// test for NULL first.
std::string TTable::TermOrder(const TOrderTerm& Term, bool NullFree, bool Backward) const {
    const bool Descending = Backward != Term.Descending;
    std::string Sql = Term.Sql + (Descending ? " DESC" : " ASC");
    if (Connection().SqlBackend() == sbMariaDB) {
        if (NullFree || Term.NullsFirst)
            return Sql;
        return Term.Sql + (Descending ? " IS NOT NULL, " : " IS NULL, ") + Sql;
    }
    const bool NullsFirst = NullFree ? Term.IndexNullsFirst : Term.NullsFirst;
    if (NullsFirst)
        Sql += Descending ? " NULLS LAST" : " NULLS FIRST";
    else if (!NullFree)
        Sql += Descending ? " NULLS FIRST" : " NULLS LAST";
    return Sql;
}

// A leading term that may hold NULL where the index does not is read as two statements,
// its NULLs and its values, each of which the index serves, instead of one that the
// database would sort; an index that holds the NULLs where the order does serves the one
// statement.
std::vector<TTable::TRow> TTable::Fetch(TConditions& Conditions, bool Descending, int Limit) const {
    const std::size_t Leading = LeadingOrderTerm();
    if (Conditions.LeadingNullsSettled || Leading >= FOrderTerms.size() ||
        FOrderTerms[Leading].NotNull ||
        FOrderTerms[Leading].NullsFirst == FOrderTerms[Leading].IndexNullsFirst)
        return FetchStatement(Conditions, Descending, Limit);
    std::vector<TRow> Rows;
    const TOrderTerm& Term = FOrderTerms[Leading];
    const bool NullsComeFirst = Term.NullsFirst != (Descending != Term.Descending);
    for (const bool Nulls : {NullsComeFirst, !NullsComeFirst}) {
        if (static_cast<int>(Rows.size()) >= Limit)
            break;
        TConditions Part = Conditions;
        Part.Where.push_back(FOrderTerms[Leading].Sql + (Nulls ? " IS NULL" : " IS NOT NULL"));
        Part.LeadingNullsSettled = true;
        Part.LeadingTermNull = Nulls;
        for (TRow& Row : FetchStatement(Part, Descending, Limit - static_cast<int>(Rows.size())))
            Rows.push_back(std::move(Row));
    }
    return Rows;
}

std::string TTable::FromWhere(const TConditions& Conditions) const {
    std::string Sql = " FROM " + Connection().QuoteTableName(FTableName);
    for (std::size_t Index = 0; Index < Conditions.Where.size(); ++Index)
        Sql += (Index == 0 ? " WHERE " : " AND ") + Conditions.Where[Index];
    return Sql;
}

std::vector<TTable::TRow> TTable::FetchStatement(const TConditions& Conditions, bool Descending,
                                                 int Limit, std::int64_t Offset) const {
    std::string Sql = "SELECT " + FSelectList + FromWhere(Conditions);
    Sql += OrderByClause(Conditions, Descending);
    Sql += " LIMIT " + std::to_string(Limit);
    if (Offset > 0)
        Sql += " OFFSET " + std::to_string(Offset);
    auto Cursor = Connection().Execute(Sql, Conditions.Params.Values());
    std::vector<TRow> Rows;
    while (static_cast<int>(Rows.size()) < Limit && Cursor->Next()) {
        TRow Row;
        Row.reserve(static_cast<std::size_t>(Cursor->FieldCount()));
        for (int Column = 0; Column < Cursor->FieldCount(); ++Column)
            Row.push_back(Cursor->Value(Column));
        Rows.push_back(std::move(Row));
    }
    return Rows;
}

// The terms that the master's key fixes are equal in every row of the restriction: the
// keyset begins after them, so that its range is on the term that the index seeks next.
std::vector<TKeysetTerm> TTable::OrderValues(const TRow& Row) const {
    std::vector<TKeysetTerm> Terms;
    for (std::size_t Index = LeadingOrderTerm(); Index < FOrderTerms.size(); ++Index) {
        const TOrderTerm& Term = FOrderTerms[Index];
        Terms.push_back({Term.Sql, Row[Term.RowIndex], Term.NotNull,
                         Term.NullsFirst == Term.Descending, Term.Descending});
    }
    return Terms;
}

std::vector<TTable::TRow> TTable::FetchBeside(const TRow& Row, bool After, int Limit) const {
    const std::vector<TKeysetTerm> Terms = OrderValues(Row);
    std::vector<TRow> Result;
    const int Segments = KeysetSegmentCount(Terms, After);
    for (int Segment = 0; Segment < Segments && static_cast<int>(Result.size()) < Limit;
         ++Segment) {
        TConditions Conditions = Restriction();
        const auto Condition = KeysetSegmentCondition(Terms, After, Segment, Conditions.Params);
        if (!Condition)
            continue;
        Conditions.Where.push_back(*Condition);
        Conditions.LeadingNullsSettled = true;
        Conditions.LeadingTermNull = KeysetSegmentIsNull(Terms, After, Segment);
        for (TRow& Found : Fetch(Conditions, !After, Limit - static_cast<int>(Result.size())))
            Result.push_back(std::move(Found));
    }
    return Result;
}

void TTable::DiscardRows() {
    FCountedPosition.reset();
    FWindow.Clear();
}

std::size_t TTable::WindowLimit() const {
    return WindowPages * static_cast<std::size_t>(PageSize());
}

void TTable::StartWindowAt(std::vector<TRow> Rows, bool RowsReachEnd) {
    FWindow.StartAt(std::move(Rows), RowsReachEnd, WindowLimit());
}

bool TTable::MoveToFirst() {
    TConditions Conditions = Restriction();
    std::vector<TRow> Rows = Fetch(Conditions, false, PageSize());
    const bool ReachEnd = static_cast<int>(Rows.size()) < PageSize();
    FWindow.StartAtFirst(std::move(Rows), ReachEnd);
    return !FWindow.Empty();
}

bool TTable::MoveToLast() {
    TConditions Conditions = Restriction();
    std::vector<TRow> Rows = Fetch(Conditions, true, PageSize());
    const bool ReachStart = static_cast<int>(Rows.size()) < PageSize();
    FWindow.StartAtLast(std::move(Rows), ReachStart);
    return !FWindow.Empty();
}

bool TTable::MoveToNext() {
    if (FWindow.Empty())
        return false;
    if (FWindow.StepForward())
        return true;
    if (FWindow.AtEnd())
        return false;
    std::vector<TRow> Rows = FetchBeside(FWindow.Last(), true, PageSize());
    const bool ReachEnd = static_cast<int>(Rows.size()) < PageSize();
    return FWindow.ExtendForward(std::move(Rows), ReachEnd, WindowLimit());
}

bool TTable::MoveToPrior() {
    if (FWindow.Empty())
        return false;
    if (FWindow.StepBackward())
        return true;
    if (FWindow.AtStart())
        return false;
    std::vector<TRow> Rows = FetchBeside(FWindow.First(), false, PageSize());
    const bool ReachStart = static_cast<int>(Rows.size()) < PageSize();
    return FWindow.ExtendBackward(std::move(Rows), ReachStart, WindowLimit());
}

bool TTable::MoveToBookmark(const TBookmark& Bookmark) {
    if (Bookmark.Key.size() != FRowKey.size())
        return false;
    TConditions Conditions = Restriction();
    for (std::size_t Index = 0; Index < FRowKey.size(); ++Index)
        Conditions.Where.push_back(FRowKey[Index] + " = " +
                                   Conditions.Params.Add(Bookmark.Key[Index]));
    // One row at most: its NULL-ness is one.
    Conditions.LeadingNullsSettled = true;
    return MoveToFirstOf(Conditions, false);
}

bool TTable::MoveToFirstOf(TConditions& Conditions, bool FillWindow) {
    const int Limit = FillWindow ? PageSize() : 1;
    std::vector<TRow> Rows = Fetch(Conditions, false, Limit);
    if (Rows.empty())
        return false;
    const bool ReachEnd = FillWindow && static_cast<int>(Rows.size()) < Limit;
    StartWindowAt(std::move(Rows), ReachEnd);
    return true;
}

const TTable::TRow& TTable::CurrentRow() const {
    return FWindow.Current();
}

TBookmark TTable::CurrentBookmark() const {
    return RowBookmark(CurrentRow());
}

// A row ends with its row key, after the table's columns.
TBookmark TTable::RowBookmark(const TRow& Row) const {
    return TBookmark{TRow(Row.begin() + static_cast<std::ptrdiff_t>(FColumns.size()), Row.end())};
}

} // namespace vorn
