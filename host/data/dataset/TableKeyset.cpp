// Keyset conditions on a table's order terms, split into segments an index can seek.
#include "host/data/dataset/TableKeyset.h"

#include "host/components/model/Exception.h"

namespace vorn {

namespace {

// Whether rows may hold NULL in the term. A NULL start value on a NOT NULL term cannot come
// from the database, but the NULL tests keep such a keyset exact all the same.
bool MayBeNull(const TKeysetTerm& Term) {
    return !Term.NotNull || Term.Value.IsNull();
}

// Whether the walk moves away from the term's NULLs: forward where they come first,
// backward where they come last.
bool LeavesNulls(const TKeysetTerm& Term, bool AfterRow) {
    return AfterRow != Term.NullsLast;
}

// The comparison that puts a value on the wanted side of the start row's: beyond it in
// the order, and with the equal values too when OrEqual.
std::string Comparison(const TKeysetTerm& Term, bool AfterRow, bool OrEqual) {
    const bool Greater = AfterRow != Term.Descending;
    return Greater ? (OrEqual ? " >= " : " > ") : (OrEqual ? " <= " : " < ");
}

// The test on one term alone that puts a row strictly on the wanted side of the start
// row's value, with the NULLs on their side of every value; nullopt when no row can be there.
std::optional<std::string> StrictlyBeyond(const TKeysetTerm& Term, const std::string& Value,
                                          bool AfterRow) {
    const bool AwayFromNulls = LeavesNulls(Term, AfterRow);
    if (Term.Value.IsNull())
        return AwayFromNulls ? std::optional<std::string>(Term.Sql + " IS NOT NULL") : std::nullopt;
    const std::string Range = Term.Sql + Comparison(Term, AfterRow, false) + Value;
    if (AwayFromNulls || !MayBeNull(Term))
        return Range;
    return "(" + Range + " OR " + Term.Sql + " IS NULL)";
}

// Rows whose terms from Index on come after (or before) the start row's: beyond it on the
// first differing term. nullopt stands for "none".
std::optional<std::string> Beyond(const std::vector<TKeysetTerm>& Terms, std::size_t Index,
                                  bool AfterRow, TBoundParams& Params) {
    if (Index >= Terms.size())
        return std::nullopt;
    const TKeysetTerm& Term = Terms[Index];
    const bool Null = Term.Value.IsNull();
    const std::string Value = Null ? std::string() : Params.Add(Term.Value);
    const auto Strict = StrictlyBeyond(Term, Value, AfterRow);
    const std::string Equal = Null ? Term.Sql + " IS NULL" : Term.Sql + " = " + Value;
    const auto Rest = Beyond(Terms, Index + 1, AfterRow, Params);
    if (!Rest)
        return Strict;
    const std::string EqualThenRest = "(" + Equal + " AND " + *Rest + ")";
    if (!Strict)
        return EqualThenRest;
    return "(" + *Strict + " OR " + EqualThenRest + ")";
}

// How many terms from the first on one row comparison can bound together: those whose
// start value is not NULL, which go the same way as the first, and whose NULLs, if any,
// lie behind the walk (a row comparison that meets a NULL is never true). The nested
// conditions give an index a range on the first term alone, which on a long run of equal
// first values reads the rows before the start row's second value too; the row
// comparison lets it seek to the start row's values in the leading terms.
std::size_t RowBoundLength(const std::vector<TKeysetTerm>& Terms, bool AfterRow) {
    std::size_t Length = 1;
    while (Length < Terms.size()) {
        const TKeysetTerm& Term = Terms[Length];
        if (Term.Value.IsNull() || Term.Descending != Terms.front().Descending ||
            (MayBeNull(Term) && !LeavesNulls(Term, AfterRow)))
            break;
        ++Length;
    }
    return Length;
}

// "(a, b) >= (v1, v2)" on the first Length terms, the first value already bound as Value.
std::string RowBound(const std::vector<TKeysetTerm>& Terms, std::size_t Length, bool AfterRow,
                     const std::string& Value, TBoundParams& Params) {
    std::string Columns = Terms.front().Sql;
    std::string Values = Value;
    for (std::size_t Index = 1; Index < Length; ++Index) {
        Columns += ", " + Terms[Index].Sql;
        Values += ", " + Params.Add(Terms[Index].Value);
    }
    return "(" + Columns + ")" + Comparison(Terms.front(), AfterRow, true) + "(" + Values + ")";
}

} // namespace

int KeysetSegmentCount(const std::vector<TKeysetTerm>& Terms, bool After) {
    VORN_ASSERT(!Terms.empty());
    const TKeysetTerm& First = Terms.front();
    if (!MayBeNull(First))
        return 1;
    // Leaving the NULLs from a NULL, or heading for them from a value, the NULLs and the
    // values of the first term are both ahead.
    return First.Value.IsNull() == LeavesNulls(First, After) ? 2 : 1;
}

bool KeysetSegmentIsNull(const std::vector<TKeysetTerm>& Terms, bool After, int Segment) {
    VORN_ASSERT(!Terms.empty() && Segment >= 0 && Segment < KeysetSegmentCount(Terms, After));
    const TKeysetTerm& First = Terms.front();
    return Segment == 1 ? !LeavesNulls(First, After) : First.Value.IsNull();
}

std::optional<std::string> KeysetSegmentCondition(const std::vector<TKeysetTerm>& Terms,
                                                  bool AfterRow, int Segment,
                                                  TBoundParams& Params) {
    VORN_ASSERT(!Terms.empty() && Segment >= 0 && Segment < KeysetSegmentCount(Terms, AfterRow));
    const TKeysetTerm& First = Terms.front();
    if (Segment == 1)
        return First.Sql + (LeavesNulls(First, AfterRow) ? " IS NOT NULL" : " IS NULL");
    const auto Rest = Beyond(Terms, 1, AfterRow, Params);
    if (First.Value.IsNull()) {
        if (!Rest)
            return std::nullopt;
        return First.Sql + " IS NULL AND " + *Rest;
    }
    const std::string Value = Params.Add(First.Value);
    const std::string Strict = First.Sql + Comparison(First, AfterRow, false) + Value;
    if (!Rest)
        return Strict;
    std::string Bound = First.Sql + Comparison(First, AfterRow, true) + Value;
    // Implied by the condition below, so that the rows are the same; it only narrows the
    // index range.
    const std::size_t RowLength = RowBoundLength(Terms, AfterRow);
    if (RowLength > 1)
        Bound += " AND " + RowBound(Terms, RowLength, AfterRow, Value, Params);
    return Bound + " AND (" + Strict + " OR (" + First.Sql + " = " + Value + " AND " + *Rest + "))";
}

} // namespace vorn
