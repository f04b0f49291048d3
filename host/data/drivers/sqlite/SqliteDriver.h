#pragma once

#include "host/data/drivers/Driver.h"

#include <memory>
#include <string>

namespace vorn {

// Whether opening a SQLite file may create it. Readers never create: a missing file
// is an error, not a new empty database.
enum TSQLiteOpenMode { somOpenExisting, somCreateIfMissing };

// Opens a SQLite database file (a path in the host code page). Raises EDatabaseError
// naming the file for a missing file (somOpenExisting), a file that is not a SQLite
// database, or a database that another connection keeps locked.
std::unique_ptr<TDriverConnection> OpenSQLiteConnection(const std::string& Path,
                                                        TSQLiteOpenMode Mode);

// The field type and size of a column declared with this type text ("VARCHAR(40)").
TColumnInfo DescribeSQLiteColumn(const std::string& Name, const std::string& DeclaredType);

// SQLite's affinity rules: a column holds its values as text only when its declared type
// names a text type and no integer one. Other columns may hold numbers, which LIKE matches
// by their text but a range on text never reaches.
bool HasSQLiteTextAffinity(const std::string& DeclaredType);

// A SQLite connection's answers to TDriverConnection::ComparesAsBytes and
// NextValueSearchesIndex, asked through Connection's statements.
bool SQLiteComparesAsBytes(TDriverConnection& Connection, const std::string& Table,
                           const TColumnInfo& Column);
bool SQLiteNextValueSearchesIndex(TDriverConnection& Connection, const std::string& Table,
                                  const std::string& Column);

} // namespace vorn
