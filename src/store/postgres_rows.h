#pragma once

#include <cstddef>
#include <string>

#include "store/archive_tables.h"
#include "store/record_rows.h"

class QSqlDatabase;

namespace vrn::store {

// Sends the server's notices on the connection (its warnings, such as "terminating connection"
// when it shuts down, which libpq would print to stderr as they are) to Qt's log, category
// vrn.store.server, at info level: a lost connection is opened again or ends the store with an
// error of its own, so they are noise to the user.
void logServerNotices(const QSqlDatabase& db);

// Inserts records into vrn_records of a PostgreSQL archive, inside the transaction open on the
// connection: COPY into a temporary table through libpq on the connection Qt SQL opened (Qt SQL
// offers no COPY), then one INSERT of what is new, the station passed as a parameter. Records
// already held are left as they are; added counts the new ones.
bool insertPostgresRows(const QSqlDatabase& db, const std::string& station, const RecordRows& rows,
                        size_t& added, std::string& error);

// Inserts collections' rows numbered `ids`, and collections' formats, by COPY.
bool copyPostgresCollections(const QSqlDatabase& db,
                             const std::vector<std::pair<CollectionRow, size_t>>& rows,
                             const std::vector<int64_t>& ids, std::string& error);
bool copyPostgresFormats(const QSqlDatabase& db, const std::vector<CollectionFormat>& formats,
                         std::string& error);

}  // namespace vrn::store
