#include "host/data/sql/SqlUpperCase.h"

#include "host/components/text/CodePage.h"

namespace vorn {

TSqlUpperCase SqlUpperCase(TSqlBackend Backend) {
    const bool Unicode = HostCodePage() == cpUtf8;
    if (Backend == sbSQLite) {
        if (Unicode)
            return {std::string(SqliteUpperCaseFunction) + "(", ")"};
        return {"UPPER(", ")"};
    }
    // The ICU collation gives upper() ICU's mapping; the outer one keeps comparisons of
    // the result in the database's own order rather than ICU's.
    if (Unicode)
        return {"(upper(CAST(", " AS text) COLLATE \"und-x-icu\") COLLATE \"default\")"};
    return {"translate(CAST(", " AS text), 'abcdefghijklmnopqrstuvwxyz', "
                               "'ABCDEFGHIJKLMNOPQRSTUVWXYZ')"};
}

std::string SqlUpperCaseOf(TSqlBackend Backend, const std::string& ArgumentSql) {
    const TSqlUpperCase Call = SqlUpperCase(Backend);
    return Call.Before + ArgumentSql + Call.After;
}

} // namespace vorn
