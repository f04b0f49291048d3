#include "host/data/drivers/sqlite/SqliteUpperCase.h"

#include "host/components/text/CaseMapping.h"
#include "host/components/text/CodePage.h"
#include "host/data/drivers/DatabaseError.h"
#include "host/data/sql/SqlUpperCase.h"

#include <sqlite3.h>

#include <exception>
#include <new>
#include <string>
#include <string_view>

namespace vorn {

namespace {

// Numbers and blobs are upper-cased as their text, as SQLite's UPPER does.
void UpperCase(sqlite3_context* Context, int, sqlite3_value** Arguments) {
    if (sqlite3_value_type(Arguments[0]) == SQLITE_NULL) {
        sqlite3_result_null(Context);
        return;
    }
    const auto* Text = reinterpret_cast<const char*>(sqlite3_value_text(Arguments[0]));
    if (Text == nullptr) {
        sqlite3_result_error_nomem(Context);
        return;
    }
    try {
        const std::string Upper = UpperCaseUtf8(
            std::string_view(Text, static_cast<std::size_t>(sqlite3_value_bytes(Arguments[0]))));
        sqlite3_result_text64(Context, Upper.data(), Upper.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
    } catch (const std::bad_alloc&) {
        sqlite3_result_error_nomem(Context);
    } catch (const std::exception& Error) {
        sqlite3_result_error(Context, Error.what(), -1);
    }
}

} // namespace

void RegisterSqliteUpperCase(sqlite3* Database) {
    const int Flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
    if (sqlite3_create_function_v2(Database, SqliteUpperCaseFunction, 1, Flags, nullptr, &UpperCase,
                                   nullptr, nullptr, nullptr) != SQLITE_OK)
        throw EDatabaseError("Registering " + std::string(SqliteUpperCaseFunction) + ": " +
                             Utf8ToHost(sqlite3_errmsg(Database)));
}

} // namespace vorn
