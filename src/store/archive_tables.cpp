#include "store/archive_tables.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <charconv>
#include <cmath>

#include "store/postgres_rows.h"
#include "store/sqlite_rows.h"

namespace vrn::store {
namespace {

QVariant number(int64_t value) {
    return QVariant::fromValue<qlonglong>(value);
}

QVariant count(size_t value) {
    return QVariant::fromValue<qulonglong>(value);
}

// A value as the text of a parameter read by CAST(? AS REAL): NULL when missing, else the
// single's shortest text that reads back as the same single (PostgreSQL's real reads it so; a
// double read from it rounds back to the same single), as records without a time were always
// stored and are compared.
QVariant realText(float value) {
    if (!std::isfinite(value)) return QVariant(QMetaType(QMetaType::QString));
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return QString::fromLatin1(text, static_cast<int>(end - text));
}

QVariant optionalNumber(const std::optional<int64_t>& value) {
    return value ? number(*value) : QVariant(QMetaType(QMetaType::LongLong));
}

// Where a record without a time is found: the same values beside the same keyed neighbour. The
// SQL and the values it binds, in order.
struct UnkeyedMatch {
    QString sql;
    QVariantList bound;
};

UnkeyedMatch matchOf(const std::string& station, const UnkeyedRecord& record) {
    UnkeyedMatch m;
    m.bound << QString::fromStdString(station);
    QString beside;
    const Neighbours& n = record.neighbours;
    if (n.prevKey) {
        beside = QStringLiteral("(prev_utc = ? AND prev_step = ?)");
        m.bound << number(*n.prevKey) << number(n.prevStep);
    }
    if (n.nextKey) {
        beside += (beside.isEmpty() ? QString() : QStringLiteral(" OR ")) +
                  QStringLiteral("(next_utc = ? AND next_step = ?)");
        m.bound << number(*n.nextKey) << number(n.nextStep);
    }
    if (beside.isEmpty()) beside = QStringLiteral("1 = 1");
    m.sql = QStringLiteral("SELECT collection_id, position FROM vrn_unkeyed WHERE station = ? AND (%1)")
                .arg(beside);
    for (size_t k = 0; k < record.values.size(); ++k) {
        const float v = record.values[k];
        if (!std::isfinite(v)) {
            m.sql += QStringLiteral(" AND v%1 IS NULL").arg(k + 1);
            continue;
        }
        // As REAL on both sides: a single read back as a double differs from its text's double.
        m.sql += QStringLiteral(" AND v%1 = CAST(? AS REAL)").arg(k + 1);
        m.bound << realText(v);
    }
    return m;
}

bool prepareAndRun(QSqlQuery& q, const QString& sql, const QVariantList& bound, std::string& error) {
    q.prepare(sql);
    for (const QVariant& v : bound)
        q.addBindValue(v);
    return execPrepared(q, error);
}

// Inserts rows of `columns` values each, the values in `bound` one row after the other, many rows
// a statement: each statement is a round trip to a server.
bool insertMany(QSqlDatabase& db, const QString& insert, int columns, const QVariantList& bound,
                std::string& error) {
    constexpr int kRowsAtOnce = 500;
    QSqlQuery q(db);
    const QString row = QLatin1Char('(') +
                        QStringList(columns, QStringLiteral("?")).join(QStringLiteral(", ")) +
                        QLatin1Char(')');
    for (qsizetype from = 0; from < bound.size(); from += qsizetype{columns} * kRowsAtOnce) {
        const qsizetype rows = std::min<qsizetype>(kRowsAtOnce, (bound.size() - from) / columns);
        if (!prepareAndRun(q, insert + QStringList(rows, row).join(QStringLiteral(", ")),
                           bound.mid(from, rows * columns), error))
            return false;
    }
    return true;
}

}  // namespace

bool execPrepared(QSqlQuery& q, std::string& error) {
    if (q.exec()) return true;
    error = q.lastError().text().toStdString();
    return false;
}

bool lockStation(QSqlDatabase& db, const std::string& station, std::optional<StationInfo>& held,
                 std::string& error) {
    held.reset();
    QSqlQuery q(db);
    // A write of a column no other table refers to: SQLite checks no references for it.
    if (!prepareAndRun(q,
                       QStringLiteral("UPDATE vrn_stations SET sends_oldest = sends_oldest WHERE name = ? "
                                      "RETURNING usb_serial, utc_offset_minutes, sends_oldest"),
                       {QString::fromStdString(station)}, error))
        return false;
    if (!q.next()) return true;
    StationInfo info;
    info.name = station;
    if (!q.value(0).isNull()) info.usbSerial = q.value(0).toString().toStdString();
    info.utcOffsetMinutes = q.value(1).toInt();
    info.sendsOldest = q.value(2).toInt() != 0;
    held = info;
    return true;
}

bool newestRecord(QSqlDatabase& db, const std::string& station, std::optional<int64_t>& newest,
                  std::string& error) {
    newest.reset();
    QSqlQuery q(db);
    if (!prepareAndRun(q, QStringLiteral("SELECT max(utc) FROM vrn_records WHERE station = ?"),
                       {QString::fromStdString(station)}, error))
        return false;
    if (q.next() && !q.value(0).isNull()) newest = q.value(0).toLongLong();
    return true;
}

bool insertRecordRows(QSqlDatabase& db, bool postgres, const std::string& station, const RecordRows& rows,
                      size_t& added, std::string& error) {
    return postgres ? insertPostgresRows(db, station, rows, added, error)
                    : insertSqliteRows(db, station, rows, added, error);
}

bool offsetChanges(QSqlDatabase& db, const std::string& station, std::vector<OffsetChange>& changes,
                   std::string& error) {
    changes.clear();
    QSqlQuery q(db);
    if (!prepareAndRun(
            q,
            QStringLiteral("SELECT since_utc, utc_offset_minutes FROM vrn_offsets WHERE station = ? "
                           "ORDER BY since_utc DESC"),
            {QString::fromStdString(station)}, error))
        return false;
    while (q.next())
        changes.push_back({q.value(0).toLongLong(), q.value(1).toInt()});
    return true;
}

bool addOffsetChange(QSqlDatabase& db, const std::string& station, const OffsetChange& change,
                     std::string& error) {
    QSqlQuery q(db);
    return prepareAndRun(
        q,
        QStringLiteral("INSERT INTO vrn_offsets (station, since_utc, utc_offset_minutes) VALUES "
                       "(?, ?, ?) ON CONFLICT (station, since_utc) DO NOTHING"),
        {QString::fromStdString(station), number(change.since), change.formerMinutes}, error);
}

bool putStation(QSqlDatabase& db, const StationInfo& s, std::string& error) {
    const QString name = QString::fromStdString(s.name);
    const QVariant serial = s.usbSerial ? QVariant(QString::fromStdString(*s.usbSerial))
                                        : QVariant(QMetaType(QMetaType::QString));
    QSqlQuery q(db);
    if (s.usbSerial &&
        !prepareAndRun(
            q, QStringLiteral("UPDATE vrn_stations SET usb_serial = NULL WHERE usb_serial = ? AND name <> ?"),
            {serial, name}, error))
        return false;
    return prepareAndRun(
        q,
        QStringLiteral(
            "INSERT INTO vrn_stations (name, usb_serial, utc_offset_minutes, sends_oldest) VALUES (?, "
            "?, ?, ?) ON CONFLICT (name) DO UPDATE SET usb_serial = COALESCE(excluded.usb_serial, "
            "vrn_stations.usb_serial), utc_offset_minutes = excluded.utc_offset_minutes, "
            "sends_oldest = CASE WHEN excluded.sends_oldest = 1 THEN 1 ELSE "
            "vrn_stations.sends_oldest END"),
        {name, serial, s.utcOffsetMinutes, s.sendsOldest ? 1 : 0}, error);
}

bool addCollection(QSqlDatabase& db, const CollectionRow& row, size_t fields, int64_t& id,
                   std::string& error) {
    QSqlQuery q(db);
    if (!prepareAndRun(
            q,
            QStringLiteral("INSERT INTO vrn_collections (station, collected_at, field_count, records, "
                           "new_records, unkeyed, oldest_utc, newest_utc, whole_memory, clock_ahead) VALUES "
                           "(?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id"),
            {QString::fromStdString(row.station), number(row.collectedAt), count(fields), count(row.records),
             count(row.added), count(row.unkeyed), optionalNumber(row.oldest), optionalNumber(row.newest),
             row.wholeMemory ? 1 : 0, optionalNumber(row.clockAhead)},
            error))
        return false;
    if (!q.next()) {
        error = "the new collection got no number";
        return false;
    }
    id = q.value(0).toLongLong();
    return true;
}

bool addCollections(QSqlDatabase& db, bool postgres,
                    const std::vector<std::pair<CollectionRow, size_t>>& rows, std::vector<int64_t>& ids,
                    std::string& error) {
    ids.clear();
    if (rows.empty()) return true;
    QSqlQuery q(db);
    if (postgres) {
        if (!prepareAndRun(
                q,
                QStringLiteral("SELECT nextval(pg_get_serial_sequence('vrn_collections', 'id')) FROM "
                               "generate_series(1, ?)"),
                {count(rows.size())}, error))
            return false;
        while (q.next())
            ids.push_back(q.value(0).toLongLong());
    } else {
        if (!prepareAndRun(q, QStringLiteral("SELECT COALESCE(max(id), 0) FROM vrn_collections"), {},
                           error) ||
            !q.next())
            return false;
        for (int64_t id = q.value(0).toLongLong() + 1; ids.size() < rows.size(); ++id)
            ids.push_back(id);
    }
    if (ids.size() != rows.size()) {
        error = "the new collections got no numbers";
        return false;
    }
    if (postgres) return copyPostgresCollections(db, rows, ids, error);
    QVariantList bound;
    for (size_t r = 0; r < rows.size(); ++r) {
        const CollectionRow& c = rows[r].first;
        bound << number(ids[r]) << QString::fromStdString(c.station) << number(c.collectedAt)
              << count(rows[r].second) << count(c.records) << count(c.added) << count(c.unkeyed)
              << optionalNumber(c.oldest) << optionalNumber(c.newest) << (c.wholeMemory ? 1 : 0)
              << optionalNumber(c.clockAhead);
    }
    return insertMany(
        db,
        QStringLiteral("INSERT INTO vrn_collections (id, station, collected_at, field_count, records, "
                       "new_records, unkeyed, oldest_utc, newest_utc, whole_memory, clock_ahead)%1 VALUES ")
            .arg(postgres ? QStringLiteral(" OVERRIDING SYSTEM VALUE") : QString()),
        11, bound, error);
}

bool addFormats(QSqlDatabase& db, bool postgres, const std::vector<CollectionFormat>& formats,
                std::string& error) {
    if (postgres) return copyPostgresFormats(db, formats, error);
    QVariantList bound;
    for (const CollectionFormat& c : formats)
        for (size_t k = 0; k < c.format->size(); ++k) {
            const setup::RecordField& f = (*c.format)[k];
            bound << number(c.collection) << count(k + 1) << QString::fromStdString(f.label) << f.type
                  << f.width << f.precision;
        }
    return insertMany(
        db,
        QStringLiteral("INSERT INTO vrn_fields (collection_id, position, label, type, width, prec) VALUES "),
        6, bound, error);
}

bool setCollectionCounts(QSqlDatabase& db, int64_t id, const CollectionRow& row, std::string& error) {
    QSqlQuery q(db);
    return prepareAndRun(
        q,
        QStringLiteral("UPDATE vrn_collections SET new_records = ?, unkeyed = ?, oldest_utc = ?, "
                       "newest_utc = ? WHERE id = ?"),
        {count(row.added), count(row.unkeyed), optionalNumber(row.oldest), optionalNumber(row.newest),
         number(id)},
        error);
}

bool insertAttempt(QSqlDatabase& db, const Attempt& a, std::string& error) {
    QSqlQuery q(db);
    return prepareAndRun(
        q,
        QStringLiteral("INSERT INTO vrn_attempts (station, attempted_at, outcome, reason, records, "
                       "new_records, wire_seconds) VALUES (?, ?, ?, ?, ?, ?, ?)"),
        {QString::fromStdString(a.station), number(a.attemptedAt), QString::fromStdString(a.outcome),
         QString::fromStdString(a.reason), count(a.records), count(a.added), a.wireSeconds},
        error);
}

bool keepUnkeyed(QSqlDatabase& db, const std::string& station, const UnkeyedRecord& record, bool& added,
                 std::string& error) {
    added = false;
    QSqlQuery q(db);
    const UnkeyedMatch match = matchOf(station, record);
    if (!prepareAndRun(q, match.sql, match.bound, error)) return false;
    const Neighbours& n = record.neighbours;
    const QVariantList neighbours = {
        optionalNumber(n.prevKey), n.prevKey ? number(n.prevStep) : optionalNumber(std::nullopt),
        optionalNumber(n.nextKey), n.nextKey ? number(n.nextStep) : optionalNumber(std::nullopt)};
    if (q.next()) {
        const QVariantList held = {q.value(0), q.value(1)};
        q.finish();
        return prepareAndRun(
            q,
            QStringLiteral("UPDATE vrn_unkeyed SET prev_utc = COALESCE(prev_utc, ?), prev_step = "
                           "COALESCE(prev_step, ?), next_utc = COALESCE(next_utc, ?), next_step = "
                           "COALESCE(next_step, ?) WHERE collection_id = ? AND position = ?"),
            neighbours + held, error);
    }
    q.finish();
    QString values;
    QVariantList bound = {number(record.collection), number(record.position),
                          QString::fromStdString(station)};
    bound += neighbours;
    for (size_t k = 0; k < record.values.size(); ++k) {
        values += QStringLiteral(", CAST(? AS REAL)");
        bound << realText(record.values[k]);
    }
    QString columns;
    for (size_t k = 1; k <= record.values.size(); ++k)
        columns += QStringLiteral(", v%1").arg(k);
    // A place held already is this record, copied before from the same collection.
    if (!prepareAndRun(q,
                       QStringLiteral("INSERT INTO vrn_unkeyed (collection_id, position, station, prev_utc, "
                                      "prev_step, next_utc, next_step%1) VALUES (?, ?, ?, ?, ?, ?, ?%2) ON "
                                      "CONFLICT (collection_id, position) DO NOTHING")
                           .arg(columns, values),
                       bound, error))
        return false;
    added = q.numRowsAffected() > 0;
    return true;
}

}  // namespace vrn::store
