#pragma once

#include <cstddef>
#include <string>

#include "store/record_rows.h"

class QSqlDatabase;

namespace vrn::store {

// Inserts records into vrn_records of a SQLite archive, inside the transaction open on the
// connection, with SQLite's own prepared statement on the connection Qt SQL opened: binding each
// value through Qt costs several times what SQLite itself does. Records already held are left as
// they are; added counts the new ones.
bool insertSqliteRows(const QSqlDatabase& db, const std::string& station, const RecordRows& rows,
                      size_t& added, std::string& error);

// Reads up to `limit` of the station's records after the time `after`, oldest first, with their
// first rows.fields values, by SQLite's own statement on the connection; a NULL is a NaN.
bool readSqliteRows(const QSqlDatabase& db, const std::string& station, int64_t after, size_t limit,
                    RecordRows& rows, std::string& error);

}  // namespace vrn::store
