#include "store/postgres_rows.h"

#include <libpq-fe.h>

#include <QLoggingCategory>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QVariant>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "core/records/record_text.h"

namespace vrn::store {
namespace {

// COPY data goes to the server in pieces of about this many bytes.
constexpr size_t kCopyChunk = size_t{1} << 20;

using Result = std::unique_ptr<PGresult, void (*)(PGresult*)>;

Q_LOGGING_CATEGORY(lcServer, "vrn.store.server", QtWarningMsg)

void logNotice(void*, const char* message) {
    qCInfo(lcServer, "%s", message);
}

// libpq's connection under Qt's; none when the driver is not Qt's PostgreSQL one.
PGconn* connectionOf(const QSqlDatabase& db) {
    const QVariant handle = db.driver()->handle();
    // Qt names the type by libpq's own struct.
    if (!handle.isValid() || qstrcmp(handle.typeName(), "pg_conn*") != 0) return nullptr;
    return *static_cast<PGconn* const*>(handle.constData());
}

bool run(PGconn* connection, const std::string& sql, ExecStatusType expected, std::string& error,
         size_t* affected = nullptr) {
    const Result result(PQexec(connection, sql.c_str()), PQclear);
    if (PQresultStatus(result.get()) != expected) {
        error = PQerrorMessage(connection);
        return false;
    }
    if (affected) *affected = std::strtoull(PQcmdTuples(result.get()), nullptr, 10);
    return true;
}

// COPY's binary format: every number big-endian.
void putBigEndian(std::string& out, uint64_t value, int bytes) {
    for (int shift = 8 * (bytes - 1); shift >= 0; shift -= 8)
        out += static_cast<char>((value >> shift) & 0xFF);
}

void putField(std::string& out, uint64_t value, int bytes) {
    putBigEndian(out, static_cast<uint64_t>(bytes), 4);
    putBigEndian(out, value, bytes);
}

// A REAL as its four bytes, or NULL (length -1) when missing.
void putValue(std::string& out, float value) {
    if (!std::isfinite(value)) {
        putBigEndian(out, 0xFFFFFFFFU, 4);
        return;
    }
    putField(out, std::bit_cast<uint32_t>(value), 4);
}

// Whether two of the records share a time: a plain INSERT would stop at the second.
bool repeatsATime(const std::vector<std::pair<size_t, int64_t>>& rows) {
    std::vector<int64_t> times;
    times.reserve(rows.size());
    for (const auto& row : rows)
        times.push_back(row.second);
    std::sort(times.begin(), times.end());
    return std::adjacent_find(times.begin(), times.end()) != times.end();
}

}  // namespace

void logServerNotices(const QSqlDatabase& db) {
    if (PGconn* connection = connectionOf(db)) PQsetNoticeProcessor(connection, logNotice, nullptr);
}

bool insertPostgresRows(const QSqlDatabase& db, const std::string& station, int64_t collection,
                        const records::RecordBlock& block,
                        const std::vector<std::pair<size_t, int64_t>>& rows, size_t& added,
                        std::string& error) {
    if (rows.empty()) return true;
    PGconn* connection = connectionOf(db);
    if (!connection) {
        error = "the archive's connection is not a PostgreSQL one";
        return false;
    }
    const size_t fields = block.fieldCount();
    std::string columns = "utc";
    std::string table = "utc BIGINT";
    for (size_t k = 1; k <= fields; ++k) {
        columns += ", v" + std::to_string(k);
        table += ", v" + std::to_string(k) + " REAL";
    }
    // Gone at the end of the collection's transaction, however it ends.
    if (!run(connection, "CREATE TEMPORARY TABLE vrn_incoming (" + table + ") ON COMMIT DROP",
             PGRES_COMMAND_OK, error) ||
        !run(connection, "COPY vrn_incoming (" + columns + ") FROM STDIN (FORMAT binary)", PGRES_COPY_IN,
             error))
        return false;
    // The binary format spares the server reading every value back from text.
    std::string data("PGCOPY\n\xFF\r\n\0", 11);
    data.reserve(kCopyChunk + 512);
    putBigEndian(data, 0, 4);  // flags
    putBigEndian(data, 0, 4);  // no header extension
    auto send = [&] {
        if (PQputCopyData(connection, data.data(), static_cast<int>(data.size())) != 1) {
            error = PQerrorMessage(connection);
            return false;
        }
        data.clear();
        return true;
    };
    for (const auto& [r, utc] : rows) {
        putBigEndian(data, fields + 1, 2);
        putField(data, static_cast<uint64_t>(utc), 8);
        for (size_t k = 0; k < fields; ++k)
            putValue(data, block.value(r, k));
        if (data.size() >= kCopyChunk && !send()) {
            PQputCopyEnd(connection, "abandoned");
            return false;
        }
    }
    putBigEndian(data, 0xFFFF, 2);  // the end of the rows
    if (!send()) {
        PQputCopyEnd(connection, "abandoned");
        return false;
    }
    if (PQputCopyEnd(connection, nullptr) != 1) {
        error = PQerrorMessage(connection);
        return false;
    }
    const Result copied(PQgetResult(connection), PQclear);
    if (PQresultStatus(copied.get()) != PGRES_COMMAND_OK) {
        error = PQerrorMessage(connection);
        while (PGresult* rest = PQgetResult(connection))
            PQclear(rest);
        return false;
    }
    while (PGresult* rest = PQgetResult(connection))
        PQclear(rest);
    char* text = PQescapeLiteral(connection, station.data(), station.size());
    if (!text) {
        error = PQerrorMessage(connection);
        return false;
    }
    const std::string literal = text;
    PQfreemem(text);
    // ON CONFLICT costs the server a second look at the key for every row, so it is asked for only
    // when the station already has records in the collection's time span (or the collection
    // repeats a time). No other collection of the station can add some meanwhile: the store's
    // upsert of the station's row holds that row until this transaction ends.
    const auto [oldest, newest] = std::minmax_element(
        rows.begin(), rows.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
    bool overlap = repeatsATime(rows);
    if (!overlap) {
        const Result held(PQexec(connection, ("SELECT EXISTS (SELECT 1 FROM vrn_records WHERE station = " +
                                              literal + " AND utc BETWEEN " + std::to_string(oldest->second) +
                                              " AND " + std::to_string(newest->second) + ")")
                                                 .c_str()),
                          PQclear);
        if (PQresultStatus(held.get()) != PGRES_TUPLES_OK || PQntuples(held.get()) != 1) {
            error = PQerrorMessage(connection);
            return false;
        }
        overlap = *PQgetvalue(held.get(), 0, 0) == 't';
    }
    size_t inserted = 0;
    if (!run(connection,
             "INSERT INTO vrn_records (station, collection_id, " + columns + ") SELECT " + literal + ", " +
                 std::to_string(collection) + ", " + columns + " FROM vrn_incoming" +
                 (overlap ? " ON CONFLICT (station, utc) DO NOTHING" : ""),
             PGRES_COMMAND_OK, error, &inserted))
        return false;
    added += inserted;
    return true;
}

}  // namespace vrn::store
