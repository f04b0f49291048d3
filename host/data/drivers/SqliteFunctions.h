#pragma once

struct sqlite3;

namespace vorn {

// Readies a SQLite connection that an application opened itself for the SQL that
// TranslateCondition and TranslateStatement write for sbSQLite, as every connection of
// the library's own driver is readied: registers the upper-casing function that UPPER and
// CONTAINING call (SqliteUpperCaseFunction) and makes LIKE case-sensitive. Call it once
// after opening the connection. Raises EDatabaseError when SQLite refuses either.
void PrepareSqliteConnection(sqlite3* Database);

} // namespace vorn
