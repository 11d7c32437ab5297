#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class QSqlDatabase;

namespace vrn::records {
class RecordBlock;
}

namespace vrn::store {

// Inserts records into vrn_records of a PostgreSQL archive, inside the transaction open on the
// connection: COPY into a temporary table through libpq on the connection Qt SQL opened (Qt SQL
// offers no COPY), then one INSERT of what is new. rows: each record's number and UTC time.
// Records already held are left as they are; added counts the new ones.
// Sends the server's notices on the connection (its warnings, such as "terminating connection"
// when it shuts down, which libpq would print to stderr as they are) to Qt's log, category
// vrn.store.server, at info level: a lost connection is opened again or ends the store with an
// error of its own, so they are noise to the user.
void logServerNotices(const QSqlDatabase& db);

bool insertPostgresRows(const QSqlDatabase& db, const std::string& station, int64_t collection,
                        const records::RecordBlock& block,
                        const std::vector<std::pair<size_t, int64_t>>& rows, size_t& added,
                        std::string& error);

}  // namespace vrn::store
