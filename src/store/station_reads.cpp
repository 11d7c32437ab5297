#include "store/station_reads.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>
#include <limits>
#include <map>

#include "store/sqlite_rows.h"

namespace vrn::store {
namespace {

constexpr float kMissing = std::numeric_limits<float>::quiet_NaN();

// The columns of the values read: ", v1, v2, ...".
QString readValueColumns(size_t fields) {
    QString columns;
    for (size_t k = 1; k <= fields; ++k)
        columns += QStringLiteral(", v%1").arg(k);
    return columns;
}

float valueOf(const QVariant& v) {
    return v.isNull() ? kMissing : static_cast<float>(v.toDouble());
}

QVariant boundNumber(int64_t value) {
    return QVariant::fromValue<qlonglong>(value);
}

}  // namespace

bool readCollections(QSqlDatabase& db, const std::string& station, std::vector<StoredCollection>& out,
                     std::string& error) {
    out.clear();
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("SELECT id, collected_at, records, new_records, unkeyed, oldest_utc, newest_utc, "
                       "whole_memory, clock_ahead FROM vrn_collections WHERE station = ? ORDER BY id"));
    q.addBindValue(QString::fromStdString(station));
    if (!execPrepared(q, error)) return false;
    std::map<int64_t, size_t> at;
    while (q.next()) {
        StoredCollection c;
        c.id = q.value(0).toLongLong();
        auto optional = [&q](int column) {
            return q.value(column).isNull() ? std::nullopt
                                            : std::optional<int64_t>(q.value(column).toLongLong());
        };
        c.row = {station,
                 q.value(1).toLongLong(),
                 static_cast<size_t>(q.value(2).toLongLong()),
                 static_cast<size_t>(q.value(3).toLongLong()),
                 static_cast<size_t>(q.value(4).toLongLong()),
                 optional(5),
                 optional(6),
                 q.value(7).toInt() != 0,
                 optional(8)};
        at[c.id] = out.size();
        out.push_back(std::move(c));
    }
    q.finish();
    q.prepare(
        QStringLiteral("SELECT f.collection_id, f.label, f.type, f.width, f.prec FROM vrn_fields f JOIN "
                       "vrn_collections c ON c.id = f.collection_id WHERE c.station = ? ORDER BY "
                       "f.collection_id, f.position"));
    q.addBindValue(QString::fromStdString(station));
    if (!execPrepared(q, error)) return false;
    while (q.next())
        out[at.at(q.value(0).toLongLong())].format.push_back({q.value(1).toString().toStdString(),
                                                              q.value(2).toInt(), q.value(3).toInt(),
                                                              q.value(4).toInt()});
    return true;
}

bool readUnkeyed(QSqlDatabase& db, const std::string& station,
                 const std::vector<StoredCollection>& collections, std::vector<UnkeyedRecord>& out,
                 std::string& error) {
    out.clear();
    std::map<int64_t, size_t> fieldsOf;
    for (const StoredCollection& c : collections)
        fieldsOf[c.id] = c.format.size();
    QSqlQuery q(db);
    q.prepare(
        QStringLiteral("SELECT collection_id, position, prev_utc, prev_step, next_utc, next_step%1 FROM "
                       "vrn_unkeyed WHERE station = ? ORDER BY collection_id, position")
            .arg(readValueColumns(RecordArchive::kMaxFields)));
    q.addBindValue(QString::fromStdString(station));
    if (!execPrepared(q, error)) return false;
    while (q.next()) {
        UnkeyedRecord r;
        r.collection = q.value(0).toLongLong();
        r.position = q.value(1).toLongLong();
        if (!q.value(2).isNull()) r.neighbours.prevKey = q.value(2).toLongLong();
        r.neighbours.prevStep = q.value(3).toLongLong();
        if (!q.value(4).isNull()) r.neighbours.nextKey = q.value(4).toLongLong();
        r.neighbours.nextStep = q.value(5).toLongLong();
        const auto fields = fieldsOf.find(r.collection);
        if (fields == fieldsOf.end()) {
            error = "a record without a time of station " + station + " belongs to no collection of it";
            return false;
        }
        for (size_t k = 0; k < fields->second; ++k)
            r.values.push_back(valueOf(q.value(static_cast<int>(k) + 6)));
        out.push_back(std::move(r));
    }
    return true;
}

bool readRecords(QSqlDatabase& db, const std::string& station, int64_t after, size_t limit, RecordRows& rows,
                 std::string& error) {
    // SQLite's own statement: reading each value through Qt costs several times what SQLite does.
    if (db.driverName() == QLatin1String("QSQLITE"))
        return readSqliteRows(db, station, after, limit, rows, error);
    rows.clear();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(
        QStringLiteral("SELECT utc, collection_id%1 FROM vrn_records WHERE station = ? AND utc > ? ORDER BY "
                       "utc LIMIT ?")
            .arg(readValueColumns(rows.fields)));
    q.addBindValue(QString::fromStdString(station));
    q.addBindValue(boundNumber(after));
    q.addBindValue(QVariant::fromValue<qulonglong>(limit));
    if (!execPrepared(q, error)) return false;
    while (q.next()) {
        rows.utc.push_back(q.value(0).toLongLong());
        rows.collection.push_back(q.value(1).toLongLong());
        for (size_t k = 0; k < rows.fields; ++k)
            rows.values.push_back(valueOf(q.value(static_cast<int>(k) + 2)));
    }
    return true;
}

bool readKeys(QSqlDatabase& db, const std::string& station, int64_t from, int64_t to,
              std::vector<std::pair<int64_t, int64_t>>& keys, std::string& error) {
    keys.clear();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.prepare(
        QStringLiteral("SELECT utc, collection_id FROM vrn_records WHERE station = ? AND utc >= ? AND utc <= "
                       "? ORDER BY utc"));
    q.addBindValue(QString::fromStdString(station));
    q.addBindValue(boundNumber(from));
    q.addBindValue(boundNumber(to));
    if (!execPrepared(q, error)) return false;
    while (q.next())
        keys.emplace_back(q.value(0).toLongLong(), q.value(1).toLongLong());
    return true;
}

}  // namespace vrn::store
