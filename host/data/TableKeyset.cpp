#include "host/data/TableKeyset.h"

#include "host/components/Exception.h"

namespace vorn {

namespace {

// Rows whose terms from Index on come after the start row's: "greater" on the first
// differing term, where NULL is smaller than every value. nullopt stands for "none".
std::optional<std::string> After(const std::vector<TKeysetTerm>& Terms, std::size_t Index,
                                 TBoundParams& Params) {
    if (Index >= Terms.size())
        return std::nullopt;
    const TKeysetTerm& Term = Terms[Index];
    const bool Null = Term.Value.IsNull();
    const std::string Value = Null ? std::string() : Params.Add(Term.Value);
    const std::string Greater = Null ? Term.Sql + " IS NOT NULL" : Term.Sql + " > " + Value;
    const std::string Equal = Null ? Term.Sql + " IS NULL" : Term.Sql + " = " + Value;
    const auto Rest = After(Terms, Index + 1, Params);
    if (!Rest)
        return Greater;
    return "(" + Greater + " OR (" + Equal + " AND " + *Rest + "))";
}

// Rows whose terms from Index on come before the start row's.
std::optional<std::string> Before(const std::vector<TKeysetTerm>& Terms, std::size_t Index,
                                  TBoundParams& Params) {
    if (Index >= Terms.size())
        return std::nullopt;
    const TKeysetTerm& Term = Terms[Index];
    const bool Null = Term.Value.IsNull();
    const std::string Value = Null ? std::string() : Params.Add(Term.Value);
    // Nothing is smaller than NULL; everything NULL is smaller than a value.
    std::optional<std::string> Less;
    if (!Null)
        Less = "(" + Term.Sql + " < " + Value + " OR " + Term.Sql + " IS NULL)";
    const std::string Equal = Null ? Term.Sql + " IS NULL" : Term.Sql + " = " + Value;
    const auto Rest = Before(Terms, Index + 1, Params);
    if (!Rest)
        return Less;
    const std::string EqualThenRest = "(" + Equal + " AND " + *Rest + ")";
    if (!Less)
        return EqualThenRest;
    return "(" + *Less + " OR " + EqualThenRest + ")";
}

} // namespace

int KeysetSegmentCount(const std::vector<TKeysetTerm>& Terms, bool After) {
    VORN_ASSERT(!Terms.empty(), "TableKeyset");
    const bool FirstNull = Terms.front().Value.IsNull();
    // Going forward from a NULL, or backward from a value, the NULLs and the values of
    // the first term are both ahead.
    return FirstNull == After ? 2 : 1;
}

std::optional<std::string> KeysetSegmentCondition(const std::vector<TKeysetTerm>& Terms,
                                                  bool AfterRow, int Segment,
                                                  TBoundParams& Params) {
    VORN_ASSERT(!Terms.empty() && Segment >= 0 && Segment < KeysetSegmentCount(Terms, AfterRow),
                "TableKeyset");
    const TKeysetTerm& First = Terms.front();
    if (Segment == 1)
        return First.Sql + (AfterRow ? " IS NOT NULL" : " IS NULL");
    const auto Rest = AfterRow ? After(Terms, 1, Params) : Before(Terms, 1, Params);
    if (First.Value.IsNull()) {
        if (!Rest)
            return std::nullopt;
        return First.Sql + " IS NULL AND " + *Rest;
    }
    const std::string Value = Params.Add(First.Value);
    const std::string Strict = First.Sql + (AfterRow ? " > " : " < ") + Value;
    if (!Rest)
        return Strict;
    const std::string Bound = First.Sql + (AfterRow ? " >= " : " <= ") + Value;
    return Bound + " AND (" + Strict + " OR (" + First.Sql + " = " + Value + " AND " + *Rest + "))";
}

} // namespace vorn
