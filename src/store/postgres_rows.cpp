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

// Runs a statement whose only outside value, the station, goes as a parameter ($1) when given.
Result run(PGconn* connection, const std::string& sql, ExecStatusType expected, std::string& error,
           const std::string* station = nullptr) {
    const char* values[] = {station ? station->c_str() : nullptr};
    Result result(station ? PQexecParams(connection, sql.c_str(), 1, nullptr, values, nullptr, nullptr, 0)
                          : PQexec(connection, sql.c_str()),
                  PQclear);
    if (PQresultStatus(result.get()) != expected) {
        error = PQerrorMessage(connection);
        return Result(nullptr, PQclear);
    }
    return result;
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

// A BIGINT, or NULL (length -1) when there is none.
void putOptional(std::string& out, const std::optional<int64_t>& value) {
    if (value)
        putField(out, static_cast<uint64_t>(*value), 8);
    else
        putBigEndian(out, 0xFFFFFFFFU, 4);
}

// The columns of the rows' values: ", v1, v2, ...".
std::string valueColumns(size_t fields) {
    std::string columns;
    for (size_t k = 1; k <= fields; ++k)
        columns += ", v" + std::to_string(k);
    return columns;
}

// A text field: its bytes as they are.
void putText(std::string& out, const std::string& text) {
    putBigEndian(out, text.size(), 4);
    out += text;
}

// COPY in the binary format, which spares the server reading each value from text, of `count`
// rows into `target` ("table (columns)"); putRow(data, r) appends row r's fields.
template <class PutRow>
bool copyBinary(PGconn* connection, const std::string& target, size_t count, PutRow putRow,
                std::string& error) {
    if (!run(connection, "COPY " + target + " FROM STDIN (FORMAT binary)", PGRES_COPY_IN, error))
        return false;
    std::string data("PGCOPY\n\xFF\r\n\0", 11);
    data.reserve(kCopyChunk + 512);
    putBigEndian(data, 0, 4);  // flags
    putBigEndian(data, 0, 4);  // no header extension
    auto send = [&] {
        if (PQputCopyData(connection, data.data(), static_cast<int>(data.size())) == 1) {
            data.clear();
            return true;
        }
        error = PQerrorMessage(connection);
        PQputCopyEnd(connection, "abandoned");
        return false;
    };
    for (size_t r = 0; r < count; ++r) {
        putRow(data, r);
        if (data.size() >= kCopyChunk && !send()) return false;
    }
    putBigEndian(data, 0xFFFF, 2);  // the end of the rows
    if (!send()) return false;
    if (PQputCopyEnd(connection, nullptr) != 1) {
        error = PQerrorMessage(connection);
        return false;
    }
    const Result copied(PQgetResult(connection), PQclear);
    const bool ok = PQresultStatus(copied.get()) == PGRES_COMMAND_OK;
    if (!ok) error = PQerrorMessage(connection);
    while (PGresult* rest = PQgetResult(connection))
        PQclear(rest);
    return ok;
}

// The rows into `table`: the station first when given, then utc, collection_id and the values.
bool copyRows(PGconn* connection, const std::string& table, const RecordRows& rows,
              const std::string* station, std::string& error) {
    const std::string target =
        table + " (" + (station ? "station, " : "") + "utc, collection_id" + valueColumns(rows.fields) + ")";
    return copyBinary(
        connection, target, rows.size(),
        [&](std::string& data, size_t r) {
            putBigEndian(data, rows.fields + (station ? 3 : 2), 2);
            if (station) putText(data, *station);
            putField(data, static_cast<uint64_t>(rows.utc[r]), 8);
            putField(data, static_cast<uint64_t>(rows.collection[r]), 8);
            for (size_t k = 0; k < rows.fields; ++k)
                putValue(data, rows.value(r, k));
        },
        error);
}

// The rows into a temporary table, then those not held into the records: ON CONFLICT costs the
// server a second look at the key for every row.
bool insertWhatIsNew(PGconn* connection, const std::string& station, const RecordRows& rows, size_t& added,
                     std::string& error) {
    std::string table = "utc BIGINT, collection_id BIGINT";
    for (size_t k = 1; k <= rows.fields; ++k)
        table += ", v" + std::to_string(k) + " REAL";
    // Gone at the end of the transaction however it ends; dropped before, as another batch may come.
    if (!run(connection, "CREATE TEMPORARY TABLE vrn_incoming (" + table + ") ON COMMIT DROP",
             PGRES_COMMAND_OK, error) ||
        !copyRows(connection, "vrn_incoming", rows, nullptr, error))
        return false;
    const std::string columns = "utc, collection_id" + valueColumns(rows.fields);
    const Result inserted = run(connection,
                                "INSERT INTO vrn_records (station, " + columns + ") SELECT $1, " + columns +
                                    " FROM vrn_incoming ON CONFLICT (station, utc) DO NOTHING",
                                PGRES_COMMAND_OK, error, &station);
    if (!inserted) return false;
    added += std::strtoull(PQcmdTuples(inserted.get()), nullptr, 10);
    return static_cast<bool>(run(connection, "DROP TABLE vrn_incoming", PGRES_COMMAND_OK, error));
}

// Whether two of the rows share a time: a plain INSERT would stop at the second.
bool repeatsATime(const RecordRows& rows) {
    std::vector<int64_t> times = rows.utc;
    std::sort(times.begin(), times.end());
    return std::adjacent_find(times.begin(), times.end()) != times.end();
}

// Whether the rows may meet records held: they repeat a time, or the station has records in their
// time span.
bool mayMeetHeldRecords(PGconn* connection, const std::string& station, const RecordRows& rows, bool& may,
                        std::string& error) {
    may = repeatsATime(rows);
    if (may) return true;
    const auto [oldest, newest] = std::minmax_element(rows.utc.begin(), rows.utc.end());
    const Result held = run(connection,
                            "SELECT EXISTS (SELECT 1 FROM vrn_records WHERE station = $1 AND utc BETWEEN " +
                                std::to_string(*oldest) + " AND " + std::to_string(*newest) + ")",
                            PGRES_TUPLES_OK, error, &station);
    if (!held) return false;
    if (PQntuples(held.get()) != 1) {
        error = "the server did not say whether records are held";
        return false;
    }
    may = *PQgetvalue(held.get(), 0, 0) == 't';
    return true;
}

}  // namespace

void logServerNotices(const QSqlDatabase& db) {
    if (PGconn* connection = connectionOf(db)) PQsetNoticeProcessor(connection, logNotice, nullptr);
}

bool insertPostgresRows(const QSqlDatabase& db, const std::string& station, const RecordRows& rows,
                        size_t& added, std::string& error) {
    if (rows.size() == 0) return true;
    PGconn* connection = connectionOf(db);
    if (!connection) {
        error = "the archive's connection is not a PostgreSQL one";
        return false;
    }
    // No other writer adds records of the station meanwhile: the store holds the station's row
    // until this transaction ends.
    bool overlap = false;
    if (!mayMeetHeldRecords(connection, station, rows, overlap, error)) return false;
    if (overlap) return insertWhatIsNew(connection, station, rows, added, error);
    // None can be held: straight into the records.
    if (!copyRows(connection, "vrn_records", rows, &station, error)) return false;
    added += rows.size();
    return true;
}

bool copyPostgresCollections(const QSqlDatabase& db,
                             const std::vector<std::pair<CollectionRow, size_t>>& rows,
                             const std::vector<int64_t>& ids, std::string& error) {
    PGconn* connection = connectionOf(db);
    if (!connection) {
        error = "the archive's connection is not a PostgreSQL one";
        return false;
    }
    return copyBinary(
        connection,
        "vrn_collections (id, station, collected_at, field_count, records, new_records, unkeyed, oldest_utc, "
        "newest_utc, whole_memory, clock_ahead)",
        rows.size(),
        [&](std::string& data, size_t r) {
            const CollectionRow& c = rows[r].first;
            putBigEndian(data, 11, 2);
            putField(data, static_cast<uint64_t>(ids[r]), 8);
            putText(data, c.station);
            putField(data, static_cast<uint64_t>(c.collectedAt), 8);
            for (const size_t n : {rows[r].second, c.records, c.added, c.unkeyed})
                putField(data, n, 4);
            for (const std::optional<int64_t>& t : {c.oldest, c.newest})
                putOptional(data, t);
            putField(data, c.wholeMemory ? 1 : 0, 4);
            putOptional(data, c.clockAhead);
        },
        error);
}

bool copyPostgresFormats(const QSqlDatabase& db, const std::vector<CollectionFormat>& formats,
                         std::string& error) {
    PGconn* connection = connectionOf(db);
    if (!connection) {
        error = "the archive's connection is not a PostgreSQL one";
        return false;
    }
    std::vector<std::pair<int64_t, size_t>> fields;  // collection, field from 0
    for (const CollectionFormat& c : formats)
        for (size_t k = 0; k < c.format->size(); ++k)
            fields.emplace_back(c.collection, k);
    size_t at = 0;
    return copyBinary(
        connection, "vrn_fields (collection_id, position, label, type, width, prec)", fields.size(),
        [&](std::string& data, size_t r) {
            while (formats[at].collection != fields[r].first)
                ++at;
            const setup::RecordField& f = (*formats[at].format)[fields[r].second];
            putBigEndian(data, 6, 2);
            putField(data, static_cast<uint64_t>(fields[r].first), 8);
            putField(data, fields[r].second + 1, 4);
            putText(data, f.label);
            for (const int n : {f.type, f.width, f.precision})
                putField(data, static_cast<uint32_t>(n), 4);
        },
        error);
}

}  // namespace vrn::store
