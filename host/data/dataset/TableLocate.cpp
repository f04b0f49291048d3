// The prefix seek: walking a search key's case variants and turning them into index ranges.
#include "host/data/dataset/TableLocate.h"

#include "host/components/text/AsciiText.h"
#include "host/components/text/CaseMapping.h"
#include "host/components/text/CodePage.h"

#include <algorithm>

namespace vorn {

namespace {

// The most case variants that one statement asks about; a search whose prefix has more
// variants in the data than this is answered by one scan.
constexpr std::size_t MaxCaseVariants = 16;

// How far the walk goes: at most this many characters of the key, and at most this many
// statements that keep the variants the data holds (each one character at least after the
// last, mostly several). Usual keys are walked whole; the rest of a longer key is matched
// within the ranges of the prefix walked so far, by one statement more.
constexpr std::size_t MaxWalkLength = 64;
constexpr int MaxWalkStatements = 4;

// Every prefix followed by every case variant of a character. Ascending prefixes with as
// many characters each stay ascending, and so do the variants: the output is in ascending
// byte order (UTF-8 keeps the code points' order, and no variant begins another).
std::vector<std::string> Extended(const std::vector<std::string>& Prefixes,
                                  const std::vector<std::string>& Variants) {
    std::vector<std::string> Result;
    for (const std::string& Prefix : Prefixes)
        for (const std::string& Variant : Variants)
            Result.push_back(Prefix + Variant);
    return Result;
}

// A text that every text beginning with Prefix sorts below, in the byte order of any
// ASCII-compatible database encoding; nullopt when nothing bounds them. Only ASCII keeps
// its byte values when the host code page is converted to the database's encoding, so the
// character raised is the last ASCII one below DEL and whatever follows it is dropped: the
// bound is then looser than the prefix's own successor, never tighter.
std::optional<std::string> PrefixUpperBound(const std::string& Prefix) {
    std::string Bound = Prefix;
    while (!Bound.empty()) {
        const auto Last = static_cast<unsigned char>(Bound.back());
        if (Last < 0x7F) {
            Bound.back() = static_cast<char>(Last + 1);
            return Bound;
        }
        Bound.pop_back();
    }
    return std::nullopt;
}

} // namespace

std::optional<bool> TTablePrefixSeek::MoveToMatch(const std::vector<TField*>& Fields,
                                                  const std::vector<TVariant>& Values,
                                                  TLocateOptions Options) {
    if (!Applies(Fields, Values, Options))
        return std::nullopt;
    const TField& Field = *Fields.front();
    const std::string Key = Values.front().AsString();
    const bool Descending = FTable.OrderThroughLeading().back().Descending;
    std::vector<std::string> Prefixes{""};
    int WalkStatements = 0;
    std::size_t Pos = 0;
    for (std::size_t Walked = 0; Pos < Key.size() && Walked < MaxWalkLength; ++Walked) {
        const std::size_t Length = CharacterLength(Key, Pos);
        // A letter that upper-cases to several (ß to SS) has no variants of one character.
        const std::optional<std::vector<std::string>> CharacterVariants =
            CharacterCaseVariants(std::string_view(Key).substr(Pos, Length));
        if (!CharacterVariants)
            return std::nullopt;
        const std::size_t Variants = CharacterVariants->size();
        // Extending without asking costs nothing until the variants grow too many for
        // one statement; then one statement keeps those that begin a row.
        if (Prefixes.size() * Variants > MaxCaseVariants) {
            if (WalkStatements == MaxWalkStatements)
                return MoveToFirstMatch(Prefixes, false, Descending, Fields, Values, Options);
            ++WalkStatements;
            Prefixes = PrefixesBegun(Field, Prefixes);
            if (Prefixes.empty())
                return false;
            if (Prefixes.size() * Variants > MaxCaseVariants)
                return std::nullopt;
        }
        Prefixes = Extended(Prefixes, *CharacterVariants);
        Pos += Length;
    }
    return MoveToFirstMatch(Prefixes, Pos == Key.size(), Descending, Fields, Values, Options);
}

bool TTablePrefixSeek::Applies(const std::vector<TField*>& Fields,
                               const std::vector<TVariant>& Values, TLocateOptions Options) {
    if (!Options.Contains(loPartialKey) || !Options.Contains(loCaseInsensitive))
        return false;
    if (Values.front().IsNull() || Values.front().AsString().empty())
        return false;
    const TField& Field = *Fields.front();
    const std::vector<TSortField> Order = FTable.OrderThroughLeading();
    return FTable.IsTextField(Field) && !Order.empty() && Order.back().Name == Field.FieldName() &&
           HasIndexLeadingTo(Order) && ComparesAsBytes(Field);
}

bool TTablePrefixSeek::HasIndexLeadingTo(const std::vector<TSortField>& Order) const {
    const TIndexDefs& Indexes = FTable.Indexes();
    for (int Index = 0; Index < Indexes.Count(); ++Index)
        if (IndexServesOrder(*Indexes.Items(Index), Order, Order.size() - 1))
            return true;
    return false;
}

bool TTablePrefixSeek::ComparesAsBytes(const TField& Field) {
    const auto Known = FComparesAsBytes.find(Field.FieldName());
    if (Known != FComparesAsBytes.end())
        return Known->second;
    // A field that names no column of the table is asked about by its name alone.
    TColumnInfo Column;
    Column.Name = Field.FieldName();
    const auto Declared =
        std::find_if(FTable.Columns().begin(), FTable.Columns().end(),
                     [&](const TColumnInfo& C) { return C.Name == Field.FieldName(); });
    if (Declared != FTable.Columns().end())
        Column = *Declared;
    // The catalog read of the open may have answered already.
    const bool Result = Column.ComparesAsBytes
                            ? *Column.ComparesAsBytes
                            : FTable.Connection().ComparesAsBytes(FTable.TableName(), Column);
    FComparesAsBytes.emplace(Field.FieldName(), Result);
    return Result;
}

std::vector<std::string> TTablePrefixSeek::PrefixRange(TBoundParams& Params, const TField& Field,
                                                       const std::string& Prefix) const {
    const std::string Column = FTable.ColumnSql(Field);
    // The range is what the index seeks; no NULL lies in it.
    std::vector<std::string> Terms{Column + " >= " + Params.Add(Prefix)};
    const std::optional<std::string> Bound = PrefixUpperBound(Prefix);
    if (Bound)
        Terms.push_back(Column + " < " + Params.Add(*Bound));
    // Raising the last character bounds exactly the texts that begin with the prefix; a
    // bound that had to drop characters, or none, leaves the case-sensitive test to decide.
    if (!Bound || Bound->size() != Prefix.size())
        Terms.push_back(
            FTable.MatchCondition(Column, Field, TVariant(Prefix), {loPartialKey}, Params));
    return Terms;
}

std::string TTablePrefixSeek::AnyRowBeginning(std::vector<std::string> Terms, TBoundParams& Params,
                                              const TField& Field,
                                              const std::string& Prefix) const {
    for (std::string& Term : PrefixRange(Params, Field, Prefix))
        Terms.push_back(std::move(Term));
    std::string Sql =
        "EXISTS (SELECT 1 FROM " + FTable.Connection().QuoteTableName(FTable.TableName());
    for (std::size_t Index = 0; Index < Terms.size(); ++Index)
        Sql += (Index == 0 ? " WHERE " : " AND ") + Terms[Index];
    return Sql + ")";
}

std::vector<std::string>
TTablePrefixSeek::PrefixesBegun(const TField& Field,
                                const std::vector<std::string>& Prefixes) const {
    TTableConditions Conditions = FTable.Restriction();
    std::string Sql;
    for (std::size_t Index = 0; Index < Prefixes.size(); ++Index)
        Sql += (Index == 0 ? "SELECT " : " UNION ALL SELECT ") + std::to_string(Index) + " WHERE " +
               AnyRowBeginning(Conditions.Where, Conditions.Params, Field, Prefixes[Index]);
    // A row per prefix at most: the limit tells the driver that the answer is short.
    Sql += " LIMIT " + std::to_string(Prefixes.size());
    auto Cursor = FTable.Connection().Execute(Sql, Conditions.Params.Values());
    std::vector<bool> Begun(Prefixes.size(), false);
    while (Cursor->Next()) {
        const auto Index = static_cast<std::size_t>(Cursor->Value(0).AsInteger());
        if (Index < Begun.size())
            Begun[Index] = true;
    }
    std::vector<std::string> Result;
    for (std::size_t Index = 0; Index < Prefixes.size(); ++Index)
        if (Begun[Index])
            Result.push_back(Prefixes[Index]);
    return Result;
}

std::string TTablePrefixSeek::ExtremeBeginning(std::vector<std::string> Terms, TBoundParams& Params,
                                               const TField& Field, const std::string& Prefix,
                                               const std::optional<std::string>& KeyMatch,
                                               bool Greatest) const {
    for (std::string& Term : PrefixRange(Params, Field, Prefix))
        Terms.push_back(std::move(Term));
    if (KeyMatch)
        Terms.push_back(*KeyMatch);
    const std::string Column = FTable.ColumnSql(Field);
    std::string Sql =
        "(SELECT " + Column + " FROM " + FTable.Connection().QuoteTableName(FTable.TableName());
    for (std::size_t Index = 0; Index < Terms.size(); ++Index)
        Sql += (Index == 0 ? " WHERE " : " AND ") + Terms[Index];
    return Sql + " ORDER BY " + Column + (Greatest ? " DESC" : "") + " LIMIT 1)";
}

bool TTablePrefixSeek::MoveToFirstMatch(const std::vector<std::string>& Prefixes, bool WholeKey,
                                        bool Descending, const std::vector<TField*>& Fields,
                                        const std::vector<TVariant>& Values,
                                        TLocateOptions Options) {
    const TField& Field = *Fields.front();
    TTableConditions Conditions = FTable.Restriction();
    std::vector<std::string> FurtherFields;
    for (std::size_t Index = 1; Index < Fields.size(); ++Index)
        FurtherFields.push_back(FTable.MatchCondition(FTable.ColumnSql(*Fields[Index]),
                                                      *Fields[Index], Values[Index], Options,
                                                      Conditions.Params));
    std::vector<std::string> Matching = Conditions.Where;
    Matching.insert(Matching.end(), FurtherFields.begin(), FurtherFields.end());
    // The table orders the restricted rows by this field first, in byte order, and texts
    // of one length that begin differently do not interleave: the first prefix in the
    // order that begins a match begins the first match.
    std::string Start;
    if (WholeKey && !Descending) {
        // The prefixes are the key's own variants: no row that sorts between the first
        // one that begins a match and that match fails to begin with it. Each prefix
        // yields itself if it begins a match, so that the first one that does is where
        // the rows start.
        for (const std::string& Prefix : Prefixes)
            Start += (Start.empty() ? "" : ", ") + std::string("(SELECT ") +
                     Conditions.Params.Add(Prefix) + " WHERE " +
                     AnyRowBeginning(Matching, Conditions.Params, Field, Prefix) + ")";
    } else {
        // Each prefix, in the order's direction, yields the first value of its range in the
        // order that matches the whole key: the least, or the greatest where the field
        // descends. Where the prefixes begin the key only, rows that begin with one of them
        // may still differ from the key further on, so the match is one more condition,
        // bound once and named in every range; the ranges of the key's own variants are
        // exact without it.
        std::optional<std::string> KeyMatch;
        if (!WholeKey)
            KeyMatch = FTable.MatchCondition(FTable.ColumnSql(Field), Field, Values.front(),
                                             Options, Conditions.Params);
        std::vector<std::string> InOrder = Prefixes;
        if (Descending)
            std::reverse(InOrder.begin(), InOrder.end());
        for (const std::string& Prefix : InOrder)
            Start +=
                (Start.empty() ? "" : ", ") +
                ExtremeBeginning(Matching, Conditions.Params, Field, Prefix, KeyMatch, Descending);
    }
    if (Prefixes.size() > 1)
        Start = "COALESCE(" + Start + ")";
    Conditions.Where.push_back(FTable.ColumnSql(Field) + (Descending ? " <= " : " >= ") + Start);
    Conditions.Where.insert(Conditions.Where.end(), FurtherFields.begin(), FurtherFields.end());
    Conditions.LeadingNullsSettled = true;
    // Located by this field alone, the match starts the rows that follow it in the
    // table's order, which fill the window in the same statement.
    return FTable.MoveToFirstOf(Conditions, Fields.size() == 1);
}

} // namespace vorn
