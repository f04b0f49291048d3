#include "host/data/dataset/DataSet.h"

#include "host/components/model/CheckedArithmetic.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/drivers/Driver.h"

#include <algorithm>
#include <cctype>

namespace vorn {

namespace {

bool IsBlank(const std::string& Text) {
    return std::all_of(Text.begin(), Text.end(),
                       [](char C) { return std::isspace(static_cast<unsigned char>(C)) != 0; });
}

} // namespace

void TDataSet::SetFilter(const std::string& Value) {
    if (Value == FFilter)
        return;
    ApplyFilter(Value, FFiltered);
}

void TDataSet::SetFiltered(bool Value) {
    if (Value == FFiltered)
        return;
    ApplyFilter(FFilter, Value);
}

void TDataSet::ApplyFilter(const std::string& Filter, bool Filtered) {
    // A text that can never be a filter is refused before anything changes, so that the
    // rows and the current record stay as they were. A form being read may set the
    // filter before the fields it names exist: it is checked when the dataset opens.
    if (Filtered && !ComponentState().Contains(csLoading))
        CheckFilter(Filter);
    const std::string OldFilter = FFilter;
    const bool OldFiltered = FFiltered;
    ChangeRows(
        [&] {
            FFilter = Filter;
            FFiltered = Filtered;
        },
        [&] {
            FFilter = OldFilter;
            FFiltered = OldFiltered;
        });
}

void TDataSet::CheckFilter(const std::string& Filter) const {
    if (IsBlank(Filter))
        return;
    TTranslatedSql Translated;
    try {
        // Both backends accept the same texts: either one tells whether a text is valid.
        Translated = TranslateCondition(Filter, sbSQLite, scfSimpleFilter);
    } catch (const EDatabaseError& Error) {
        throw EDatabaseError(DisplayName() + ".Filter: '" + Filter + "': " + Error.Message());
    }
    if (!Active())
        return;
    // Checked here rather than left to the database, so that both backends refuse the
    // same names with the same message; names match exactly, as everywhere else.
    for (const std::string& Name : Translated.FieldNames) {
        const TField* Field = FindField(Name);
        if (Field == nullptr)
            throw EDatabaseError(DisplayName() + ".Filter: '" + Filter + "': Field '" + Name +
                                 "' not found");
        if (Field->FieldKind() != fkData)
            throw EDatabaseError(DisplayName() + ".Filter: '" + Filter + "': Field '" + Name +
                                 "' is not a database column and cannot be filtered on");
    }
}

std::string TDataSet::FilterCondition(const TDriverConnection& Connection,
                                      TBoundParams& Params) const {
    if (!FFiltered || IsBlank(FFilter))
        return {};
    CheckFilter(FFilter);
    const int FirstParameter = CheckedAdd(CheckedCast<int>(Params.Values().size()), 1);
    const TTranslatedSql Translated =
        TranslateCondition(FFilter, Connection.SqlBackend(), scfSimpleFilter, FirstParameter);
    for (const std::string& Value : Translated.Parameters)
        Params.Add(TVariant(Value));
    return Translated.Text;
}

} // namespace vorn
