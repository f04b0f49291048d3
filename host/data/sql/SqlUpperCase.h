#pragma once

#include "host/data/sql/SqlDialect.h"

#include <string>

namespace vorn {

// The SQL that upper-cases a text on a backend the way UpperCaseText does in C++ under
// the host code page, so that the database filters exactly as the components fold.
// Under UTF-8: on SQLite the function that every connection of the driver registers
// (ICU's mapping), on PostgreSQL upper() under the ICU root collation, its result
// compared by the database's default collation; on MariaDB UPPER under its Unicode 14
// collation, then the characters that ICU maps to several ("ß" to "SS") replaced, the
// result compared by its code points. Under a single-byte code page: the letters a to z
// only, SQLite's UPPER, a translate() on PostgreSQL, replacements on MariaDB.
struct TSqlUpperCase {
    std::string Before; // written before the text's SQL
    std::string After;  // and after it
};
TSqlUpperCase SqlUpperCase(TSqlBackend Backend);

// ArgumentSql upper-cased on Backend.
std::string SqlUpperCaseOf(TSqlBackend Backend, const std::string& ArgumentSql);

// The name under which SQLite connections register their upper-casing function.
inline constexpr const char* SqliteUpperCaseFunction = "vorn_upper";

} // namespace vorn
