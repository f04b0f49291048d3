#pragma once

struct sqlite3;

namespace vorn {

// Registers on a connection the function named SqliteUpperCaseFunction: its one argument's
// text upper-cased by UpperCaseUtf8 (SQLite's own UPPER changes a to z only), NULL for
// NULL. Raises EDatabaseError when SQLite refuses it.
void RegisterSqliteUpperCase(sqlite3* Database);

} // namespace vorn
