#include "store/record_archive.h"

#include <sys/stat.h>

#include <QDeadlineTimer>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>
#include <QUrl>
#include <QUrlQuery>
#include <QVariant>
#include <atomic>
#include <bit>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <limits>
#include <set>

#include "core/records/record_keys.h"
#include "core/records/record_text.h"
#include "store/archive_name.h"
#include "store/postgres_rows.h"
#include "store/record_keying.h"
#include "store/sqlite_rows.h"

namespace vrn::store {
namespace {

// How long a writer waits for another one's transaction on a SQLite file.
constexpr int kSqliteBusyMs = 120000;
// Any number: it names the lock that keeps two first collections from making the tables at once.
constexpr int kSchemaLock = 41700;
// A PostgreSQL server that went away (a restart) is waited for this long before a store gives up,
// trying again at this pace.
constexpr int kReconnectWaitMs = 30000;
constexpr int kReconnectPauseMs = 500;

std::atomic<int> connectionCount{0};

std::string sqlError(const QSqlError& e) {
    return e.text().toStdString();
}

bool exec(QSqlQuery& q, const QString& sql, std::string& error) {
    if (q.exec(sql)) return true;
    error = sqlError(q.lastError());
    return false;
}

bool execPrepared(QSqlQuery& q, std::string& error) {
    if (q.exec()) return true;
    error = sqlError(q.lastError());
    return false;
}

QString valueColumns(int fields) {
    QString columns;
    for (int k = 1; k <= fields; ++k)
        columns += QStringLiteral(", v%1").arg(k);
    return columns;
}

void putFloat(std::vector<uint8_t>& bytes, float value) {
    const auto bits = std::bit_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(bits >> shift));
}

// A value as SQL: NULL when missing, else the single's shortest text that reads back as the same
// single (PostgreSQL's real reads it so; a double read from it rounds back to the same single).
void appendValue(std::string& sql, float value) {
    if (!std::isfinite(value)) {
        sql += "NULL";
        return;
    }
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    sql.append(text, end);
}

bool sameFormat(const std::vector<setup::RecordField>& a, const std::vector<setup::RecordField>& b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k)
        if (a[k].label != b[k].label || a[k].type != b[k].type || a[k].width != b[k].width ||
            a[k].precision != b[k].precision)
            return false;
    return true;
}

// A record without a time, stored unless the station holds it already: the same values next to
// the same keyed neighbour (either one; one missing from an earlier download is filled in). With no
// keyed neighbour at all, the same values alone.
bool storeUnkeyed(QSqlDatabase& db, const std::string& station, qlonglong collection,
                  const records::RecordBlock& block, size_t r, const Neighbours& n, size_t& added,
                  std::string& error) {
    const size_t fields = block.fieldCount();
    std::string same;
    for (size_t k = 0; k < fields; ++k) {
        const float v = block.value(r, k);
        same += " AND v" + std::to_string(k + 1);
        if (!std::isfinite(v)) {
            same += " IS NULL";
            continue;
        }
        // As REAL on both sides: a single read back as a double differs from its text's double.
        same += " = CAST(";
        appendValue(same, v);
        same += " AS REAL)";
    }
    auto anchor = [](std::string_view column, int64_t key, int64_t step) {
        std::string text = "(";
        text.append(column).append("_utc = ").append(std::to_string(key)).append(" AND ");
        text.append(column).append("_step = ").append(std::to_string(step)).append(")");
        return text;
    };
    std::string beside;
    if (n.prevKey) beside = anchor("prev", *n.prevKey, n.prevStep);
    if (n.nextKey) beside += (beside.empty() ? "" : " OR ") + anchor("next", *n.nextKey, n.nextStep);
    if (beside.empty()) beside = "1 = 1";
    QSqlQuery q(db);
    q.prepare(QString::fromStdString(
        "SELECT collection_id, position FROM vrn_unkeyed WHERE station = ? AND (" + beside + ")" + same));
    q.addBindValue(QString::fromStdString(station));
    if (!execPrepared(q, error)) return false;
    auto number = [](const std::optional<int64_t>& v) {
        return v ? std::to_string(*v) : std::string("NULL");
    };
    const std::string prevKey = number(n.prevKey);
    const std::string prevStep = n.prevKey ? std::to_string(n.prevStep) : "NULL";
    const std::string nextKey = number(n.nextKey);
    const std::string nextStep = n.nextKey ? std::to_string(n.nextStep) : "NULL";
    std::string sql;
    if (q.next()) {
        sql = "UPDATE vrn_unkeyed SET prev_utc = COALESCE(prev_utc, " + prevKey +
              "), prev_step = COALESCE(prev_step, " + prevStep + "), next_utc = COALESCE(next_utc, " +
              nextKey + "), next_step = COALESCE(next_step, " + nextStep +
              ") WHERE collection_id = " + std::to_string(q.value(0).toLongLong()) +
              " AND position = " + std::to_string(q.value(1).toLongLong());
    } else {
        sql =
            "INSERT INTO vrn_unkeyed (collection_id, position, station, prev_utc, prev_step, next_utc, "
            "next_step" +
            valueColumns(static_cast<int>(fields)).toStdString() + ") VALUES (" + std::to_string(collection) +
            ", " + std::to_string(r + 1) + ", ?, " + prevKey + ", " + prevStep + ", " + nextKey + ", " +
            nextStep;
        for (size_t k = 0; k < fields; ++k) {
            sql += ", ";
            appendValue(sql, block.value(r, k));
        }
        sql += ")";
    }
    const bool adding = sql.starts_with("INSERT");
    q.finish();
    q.prepare(QString::fromStdString(sql));
    if (adding) q.addBindValue(QString::fromStdString(station));
    if (!execPrepared(q, error)) return false;
    if (adding) ++added;
    return true;
}

// The connection to a PostgreSQL URL: postgresql://[USER[:PASSWORD]@][HOST][:PORT]/DATABASE[?OPTIONS],
// where the option host=/a/folder names a Unix socket's folder and the others go to libpq as they are.
bool setUpPostgres(QSqlDatabase& db, const std::string& where, std::string& error) {
    const QUrl url(QString::fromStdString(where), QUrl::StrictMode);
    if (!url.isValid()) {
        // Qt repeats the URL in its reason.
        error = "not a valid PostgreSQL URL: " +
                url.errorString()
                    .replace(QString::fromStdString(where), QString::fromStdString(redactedArchive(where)))
                    .toStdString();
        return false;
    }
    if (!url.host().isEmpty()) db.setHostName(url.host());
    if (url.port() > 0) db.setPort(url.port());
    if (!url.userName().isEmpty()) db.setUserName(url.userName());
    if (!url.password().isEmpty()) db.setPassword(url.password());
    db.setDatabaseName(url.path().mid(1));
    QStringList options;
    bool timeoutGiven = false;
    for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
        if (key == QLatin1String("host")) {
            db.setHostName(value);
            continue;
        }
        if (key.contains(QLatin1Char('=')) || key.contains(QLatin1Char(';')) ||
            value.contains(QLatin1Char(';'))) {
            error = "the PostgreSQL URL's option " + key.toStdString() + " cannot be passed on";
            return false;
        }
        timeoutGiven = timeoutGiven || key == QLatin1String("connect_timeout");
        options << key + QLatin1Char('=') + value;
    }
    if (!timeoutGiven) options << QStringLiteral("connect_timeout=10");
    db.setConnectOptions(options.join(QLatin1Char(';')));
    return true;
}

// Opens the connection; the server's notices ("already exists, skipping") are not for the user.
bool openConnection(QSqlDatabase& db, bool postgres, std::string& error) {
    if (!db.open()) {
        error = sqlError(db.lastError());
        return false;
    }
    if (!postgres) return true;
    logServerNotices(db);
    QSqlQuery q(db);
    return exec(q, QStringLiteral("SET client_min_messages TO WARNING"), error);
}

bool isPostgresUrl(const std::string& where) {
    return where.starts_with("postgresql://") || where.starts_with("postgres://");
}

// The file as a SQLite URI that opens it only if it is there: every byte of the path is kept.
QString existingSqliteFile(const std::string& path) {
    const QByteArray encoded = QUrl::toPercentEncoding(QByteArray::fromStdString(path), "/");
    // An absolute path after an empty authority, so that "//x" is not taken for a host.
    return QStringLiteral("file:%1%2?mode=rw")
        .arg(path.starts_with('/') ? QStringLiteral("//") : QString(), QString::fromLatin1(encoded));
}

}  // namespace

bool RecordArchive::isMissing(const std::string& where) {
    struct stat info {};
    return !where.empty() && !isPostgresUrl(where) && ::stat(where.c_str(), &info) != 0 &&
           (errno == ENOENT || errno == ENOTDIR);
}

std::unique_ptr<RecordArchive> RecordArchive::open(const std::string& where, std::string& error,
                                                   Access access) {
    const bool postgres = isPostgresUrl(where);
    const QString driver = postgres ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE");
    if (!QSqlDatabase::isDriverAvailable(driver)) {
        error = "the Qt SQL driver " + driver.toStdString() +
                " is not installed (Debian: " + (postgres ? "libqt6sql6-psql" : "libqt6sql6-sqlite") + ")";
        return nullptr;
    }
    const QString name = QStringLiteral("vrn-archive-%1").arg(connectionCount.fetch_add(1));
    std::unique_ptr<RecordArchive> archive(new RecordArchive(name.toStdString(), postgres));
    QSqlDatabase db = QSqlDatabase::addDatabase(driver, name);
    if (postgres) {
        if (!setUpPostgres(db, where, error)) return nullptr;
    } else {
        if (where.empty()) {
            error = "no archive file named";
            return nullptr;
        }
        const bool mustExist = access == Access::MustExist;
        db.setDatabaseName(mustExist ? existingSqliteFile(where) : QString::fromStdString(where));
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1%2")
                                 .arg(kSqliteBusyMs)
                                 .arg(mustExist ? QStringLiteral(";QSQLITE_OPEN_URI") : QString()));
    }
    if (!openConnection(db, postgres, error)) return nullptr;
    if (!archive->makeTables(error)) return nullptr;
    return archive;
}

RecordArchive::~RecordArchive() {
    const QString name = QString::fromStdString(connection_);
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

bool RecordArchive::makeTables(std::string& error) {
    QSqlDatabase db = QSqlDatabase::database(QString::fromStdString(connection_), false);
    const QString id = postgres_ ? QStringLiteral("BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY")
                                 : QStringLiteral("INTEGER PRIMARY KEY");
    QString values;
    for (int k = 1; k <= kMaxFields; ++k)
        values += QStringLiteral(", v%1 REAL").arg(k);
    const QStringList tables = {
        QStringLiteral("CREATE TABLE IF NOT EXISTS vrn_stations (name TEXT PRIMARY KEY, usb_serial TEXT, "
                       "utc_offset_minutes INTEGER NOT NULL)"),
        QStringLiteral("CREATE TABLE IF NOT EXISTS vrn_collections (id %1, station TEXT NOT NULL REFERENCES "
                       "vrn_stations(name), collected_at BIGINT NOT NULL, field_count INTEGER NOT NULL, "
                       "records INTEGER NOT NULL, new_records INTEGER NOT NULL, unkeyed INTEGER NOT NULL)")
            .arg(id),
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS vrn_fields (collection_id BIGINT NOT NULL REFERENCES "
            "vrn_collections(id), position INTEGER NOT NULL, label TEXT NOT NULL, type INTEGER NOT "
            "NULL, width INTEGER NOT NULL, prec INTEGER NOT NULL, PRIMARY KEY (collection_id, "
            "position))"),
        // The key is also the index a station's time range is read by; SQLite keeps the rows in it.
        // A record's collection is the one stored in the same transaction, so PostgreSQL is not
        // asked to check that: its trigger, run for each row, took nearly half a collection's time.
        // (SQLite does not check it; archives made with the check keep it, and both kinds are read
        // and written alike.)
        QStringLiteral("CREATE TABLE IF NOT EXISTS vrn_records (station TEXT NOT NULL, utc BIGINT NOT NULL, "
                       "collection_id BIGINT NOT NULL%1%2, PRIMARY KEY (station, utc))%3")
            .arg(postgres_ ? QString() : QStringLiteral(" REFERENCES vrn_collections(id)"), values,
                 postgres_ ? QString() : QStringLiteral(" WITHOUT ROWID")),
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS vrn_unkeyed (collection_id BIGINT NOT NULL REFERENCES "
            "vrn_collections(id), position INTEGER NOT NULL%1, PRIMARY KEY (collection_id, position))")
            .arg(values),
    };
    if (!db.transaction()) {
        error = sqlError(db.lastError());
        return false;
    }
    QSqlQuery q(db);
    bool ok =
        !postgres_ || exec(q, QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kSchemaLock), error);
    for (const QString& sql : tables)
        ok = ok && exec(q, sql, error);
    // An archive without the version table has the first version's tables.
    ok = ok &&
         exec(q, QStringLiteral("CREATE TABLE IF NOT EXISTS vrn_schema (version INTEGER NOT NULL)"), error) &&
         exec(q, QStringLiteral("SELECT max(version) FROM vrn_schema"), error) && q.next();
    const int version = ok && !q.value(0).isNull() ? q.value(0).toInt() : 1;
    q.finish();
    if (ok && version > kSchemaVersion) {
        error = "the archive's tables are of a newer version (" + std::to_string(version) +
                ") than this program knows (" + std::to_string(kSchemaVersion) + ")";
        ok = false;
    }
    ok = ok && (version == kSchemaVersion || migrate(version, error));
    if (ok && db.commit()) return true;
    if (ok) error = sqlError(db.lastError());
    db.rollback();
    return false;
}

// Brings the tables from version `from` up to this program's, inside makeTables' transaction.
bool RecordArchive::migrate(int from, std::string& error) {
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(connection_), false));
    const std::vector<std::vector<QString>> steps = {
        // 2: a record without a time is kept once per station, known by its keyed neighbours: the
        // nearest one before it and after it in the download (UTC key and how many records away).
        {
            QStringLiteral("ALTER TABLE vrn_unkeyed ADD COLUMN station TEXT"),
            QStringLiteral("ALTER TABLE vrn_unkeyed ADD COLUMN prev_utc BIGINT"),
            QStringLiteral("ALTER TABLE vrn_unkeyed ADD COLUMN prev_step INTEGER"),
            QStringLiteral("ALTER TABLE vrn_unkeyed ADD COLUMN next_utc BIGINT"),
            QStringLiteral("ALTER TABLE vrn_unkeyed ADD COLUMN next_step INTEGER"),
            QStringLiteral("UPDATE vrn_unkeyed SET station = (SELECT station FROM vrn_collections c WHERE "
                           "c.id = vrn_unkeyed.collection_id)"),
            QStringLiteral("CREATE INDEX vrn_unkeyed_station ON vrn_unkeyed (station)"),
            // A station's former clock offsets: the records up to since_utc were logged with it.
            QStringLiteral("CREATE TABLE vrn_offsets (station TEXT NOT NULL REFERENCES vrn_stations(name), "
                           "since_utc BIGINT NOT NULL, utc_offset_minutes INTEGER NOT NULL, PRIMARY KEY "
                           "(station, since_utc))"),
        },
        // 3: the station's instrument answers a count with its oldest records, found by a collection.
        {
            QStringLiteral("ALTER TABLE vrn_stations ADD COLUMN sends_oldest INTEGER NOT NULL DEFAULT 0"),
        },
        // 4: every collection attempt, the failed ones too: a failure may come before the station
        // is held, so the station is not a reference.
        {
            QStringLiteral("CREATE TABLE vrn_attempts (station TEXT NOT NULL, attempted_at BIGINT NOT NULL, "
                           "outcome TEXT NOT NULL, reason TEXT NOT NULL, records INTEGER NOT NULL, "
                           "new_records INTEGER NOT NULL, wire_seconds REAL NOT NULL)"),
            QStringLiteral("CREATE INDEX vrn_attempts_station ON vrn_attempts (station, attempted_at)"),
        },
        // 5: what each collection tells of the instrument's memory: the span of keyed records that
        // came (for earlier ones, of those they added), whether that was all it held, and its clock.
        {
            QStringLiteral("ALTER TABLE vrn_collections ADD COLUMN oldest_utc BIGINT"),
            QStringLiteral("ALTER TABLE vrn_collections ADD COLUMN newest_utc BIGINT"),
            QStringLiteral("ALTER TABLE vrn_collections ADD COLUMN whole_memory INTEGER NOT NULL DEFAULT 0"),
            QStringLiteral("ALTER TABLE vrn_collections ADD COLUMN clock_ahead BIGINT"),
            QStringLiteral(
                "UPDATE vrn_collections SET oldest_utc = s.oldest, newest_utc = s.newest FROM (SELECT "
                "collection_id, min(utc) AS oldest, max(utc) AS newest FROM vrn_records GROUP BY "
                "collection_id) AS s WHERE s.collection_id = vrn_collections.id"),
            QStringLiteral("CREATE INDEX vrn_collections_station ON vrn_collections (station, collected_at)"),
        },
    };
    for (int version = from; version < kSchemaVersion; ++version)
        for (const QString& sql : steps[static_cast<size_t>(version - 1)])
            if (!exec(q, sql, error)) return false;
    return exec(q, QStringLiteral("DELETE FROM vrn_schema"), error) &&
           exec(q, QStringLiteral("INSERT INTO vrn_schema (version) VALUES (%1)").arg(kSchemaVersion), error);
}

bool RecordArchive::reconnectIfLost(std::string& error) {
    if (!postgres_) return true;
    QSqlDatabase db = QSqlDatabase::database(QString::fromStdString(connection_), false);
    {
        QSqlQuery probe(db);
        if (probe.exec(QStringLiteral("SELECT 1"))) return true;
    }
    // The server went away since the archive was opened (a restart during a long download).
    const QDeadlineTimer deadline(kReconnectWaitMs);
    while (true) {
        db.close();
        if (openConnection(db, postgres_, error)) return true;
        if (deadline.hasExpired()) {
            error = "the connection to the database was lost and could not be made again: " + error;
            return false;
        }
        QThread::msleep(kReconnectPauseMs);
    }
}

bool RecordArchive::store(const Collection& c, StoreSummary& summary, std::string& error) {
    summary = {};
    const int fields = static_cast<int>(c.format.size());
    if (fields < 1 || fields > kMaxFields) {
        error = "a record format has 1 to 25 fields";
        return false;
    }
    const auto where = records::timeFieldsOf(c.format);
    if (!where) {
        error = "the record format has no Date and Time fields to key the records by";
        return false;
    }
    const records::RecordBlock block(c.format, c.bytes);
    summary.records = block.recordCount();
    if (!reconnectIfLost(error)) return false;

    QSqlDatabase db = QSqlDatabase::database(QString::fromStdString(connection_), false);
    if (!db.transaction()) {
        error = sqlError(db.lastError());
        return false;
    }
    QSqlQuery q(db);
    auto fail = [&] {
        q.finish();
        db.rollback();
        summary = {};
        return false;
    };

    const QString station = QString::fromStdString(c.station);
    // A write, so the station's row is held until the transaction ends: no other collection of
    // the station keys records meanwhile.
    q.prepare(
        QStringLiteral("UPDATE vrn_stations SET name = name WHERE name = ? RETURNING utc_offset_minutes"));
    q.addBindValue(station);
    if (!execPrepared(q, error)) return fail();
    std::optional<int> heldOffset;
    if (q.next()) heldOffset = q.value(0).toInt();
    q.finish();
    if (heldOffset && *heldOffset != c.utcOffsetMinutes) {
        if (!c.newUtcOffset) {
            error = "station " + c.station + " is held with the UTC offset " +
                    records::utcOffsetText(*heldOffset) + ", not " +
                    records::utcOffsetText(c.utcOffsetMinutes);
            return fail();
        }
        // The records held so far keep the former offset, in this and every later collection.
        q.prepare(
            QStringLiteral("INSERT INTO vrn_offsets (station, since_utc, utc_offset_minutes) SELECT CAST(? "
                           "AS TEXT), max(utc), "
                           "CAST(? AS INTEGER) FROM "
                           "vrn_records WHERE station = ? HAVING max(utc) IS NOT NULL ON CONFLICT (station, "
                           "since_utc) DO NOTHING"));
        q.addBindValue(station);
        q.addBindValue(*heldOffset);
        q.addBindValue(station);
        if (!execPrepared(q, error)) return fail();
    }
    std::vector<OffsetChange> changes;
    q.prepare(QStringLiteral(
        "SELECT since_utc, utc_offset_minutes FROM vrn_offsets WHERE station = ? ORDER BY since_utc DESC"));
    q.addBindValue(station);
    if (!execPrepared(q, error)) return fail();
    while (q.next())
        changes.push_back({q.value(0).toLongLong(), q.value(1).toInt()});
    q.finish();

    q.prepare(QStringLiteral("UPDATE vrn_stations SET usb_serial = NULL WHERE usb_serial = ? AND name <> ?"));
    const QVariant serial = c.usbSerial ? QVariant(QString::fromStdString(*c.usbSerial)) : QVariant();
    q.addBindValue(serial);
    q.addBindValue(station);
    if (c.usbSerial && !execPrepared(q, error)) return fail();
    q.prepare(QStringLiteral(
        "INSERT INTO vrn_stations (name, usb_serial, utc_offset_minutes) VALUES (?, ?, ?) ON CONFLICT (name) "
        "DO UPDATE SET usb_serial = COALESCE(excluded.usb_serial, vrn_stations.usb_serial), "
        "utc_offset_minutes = excluded.utc_offset_minutes"));
    q.addBindValue(station);
    q.addBindValue(serial);
    q.addBindValue(c.utcOffsetMinutes);
    if (!execPrepared(q, error)) return fail();

    q.prepare(
        QStringLiteral("INSERT INTO vrn_collections (station, collected_at, field_count, records, "
                       "new_records, unkeyed, whole_memory, clock_ahead) VALUES (?, ?, ?, ?, 0, 0, ?, ?) "
                       "RETURNING id"));
    q.addBindValue(station);
    q.addBindValue(QVariant::fromValue<qlonglong>(c.collectedAt));
    q.addBindValue(fields);
    q.addBindValue(QVariant::fromValue<qulonglong>(summary.records));
    q.addBindValue(c.wholeMemory ? 1 : 0);
    q.addBindValue(c.clockAhead ? QVariant::fromValue<qlonglong>(*c.clockAhead) : QVariant());
    if (!execPrepared(q, error) || !q.next()) {
        if (error.empty()) error = "the new collection got no number";
        return fail();
    }
    const qlonglong id = q.value(0).toLongLong();
    q.finish();

    q.prepare(
        QStringLiteral("INSERT INTO vrn_fields (collection_id, position, label, type, width, prec) VALUES "
                       "(?, ?, ?, ?, ?, ?)"));
    for (int k = 0; k < fields; ++k) {
        const setup::RecordField& f = c.format[static_cast<size_t>(k)];
        q.addBindValue(id);
        q.addBindValue(k + 1);
        q.addBindValue(QString::fromStdString(f.label));
        q.addBindValue(f.type);
        q.addBindValue(f.width);
        q.addBindValue(f.precision);
        if (!execPrepared(q, error)) return fail();
    }

    const std::vector<std::optional<int64_t>> keys = recordKeys(block, *where, c.utcOffsetMinutes, changes);
    // The records with a time go in at the end, each database's quickest way.
    std::vector<std::pair<size_t, int64_t>> keyed;  // record, UTC time
    std::optional<int64_t> oldest;
    for (size_t r = 0; r < keys.size(); ++r) {
        if (keys[r]) {
            summary.newest = std::max(summary.newest.value_or(*keys[r]), *keys[r]);
            oldest = std::min(oldest.value_or(*keys[r]), *keys[r]);
            keyed.emplace_back(r, *keys[r]);
        } else if (!records::recordSeconds(block, r, *where)) {
            ++summary.unkeyed;
            if (!storeUnkeyed(db, c.station, id, block, r, neighboursOf(keys, r), summary.unkeyedAdded,
                              error))
                return fail();
        }
    }
    const bool inserted = postgres_
                              ? insertPostgresRows(db, c.station, id, block, keyed, summary.added, error)
                              : insertSqliteRows(db, c.station, id, block, keyed, summary.added, error);
    if (!inserted) return fail();

    q.prepare(
        QStringLiteral("UPDATE vrn_collections SET new_records = ?, unkeyed = ?, oldest_utc = ?, newest_utc "
                       "= ? WHERE id = ?"));
    auto utcOrNull = [](const std::optional<int64_t>& t) {
        return t ? QVariant::fromValue<qlonglong>(*t) : QVariant();
    };
    q.addBindValue(QVariant::fromValue<qulonglong>(summary.added));
    q.addBindValue(QVariant::fromValue<qulonglong>(summary.unkeyed));
    q.addBindValue(utcOrNull(oldest));
    q.addBindValue(utcOrNull(summary.newest));
    q.addBindValue(id);
    if (!execPrepared(q, error)) return fail();
    q.finish();
    if (!db.commit()) {
        error = sqlError(db.lastError());
        return fail();
    }
    return true;
}

namespace {

std::optional<StationInfo> stationFrom(QSqlQuery& q, std::string& error) {
    if (!q.exec()) {
        error = sqlError(q.lastError());
        return std::nullopt;
    }
    if (!q.next()) return std::nullopt;
    StationInfo info;
    info.name = q.value(0).toString().toStdString();
    if (!q.value(1).isNull()) info.usbSerial = q.value(1).toString().toStdString();
    info.utcOffsetMinutes = q.value(2).toInt();
    info.sendsOldest = q.value(3).toInt() != 0;
    return info;
}

}  // namespace

std::optional<StationInfo> RecordArchive::station(const std::string& name, std::string& error) {
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(connection_), false));
    q.prepare(QStringLiteral(
        "SELECT name, usb_serial, utc_offset_minutes, sends_oldest FROM vrn_stations WHERE name = ?"));
    q.addBindValue(QString::fromStdString(name));
    return stationFrom(q, error);
}

std::optional<StationInfo> RecordArchive::stationWithSerial(const std::string& serial, std::string& error) {
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(connection_), false));
    q.prepare(QStringLiteral(
        "SELECT name, usb_serial, utc_offset_minutes, sends_oldest FROM vrn_stations WHERE usb_serial = ?"));
    q.addBindValue(QString::fromStdString(serial));
    return stationFrom(q, error);
}

std::vector<std::string> RecordArchive::stationNames(std::string& error) {
    std::vector<std::string> names;
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(connection_), false));
    if (!exec(q, QStringLiteral("SELECT name FROM vrn_stations ORDER BY name"), error)) return names;
    while (q.next())
        names.push_back(q.value(0).toString().toStdString());
    return names;
}

std::optional<std::pair<int64_t, int64_t>> RecordArchive::timeSpan(const std::string& station,
                                                                   std::string& error) {
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(connection_), false));
    q.prepare(QStringLiteral("SELECT min(utc), max(utc) FROM vrn_records WHERE station = ?"));
    q.addBindValue(QString::fromStdString(station));
    if (!execPrepared(q, error) || !q.next() || q.value(0).isNull()) return std::nullopt;
    return std::make_pair(int64_t{q.value(0).toLongLong()}, int64_t{q.value(1).toLongLong()});
}

std::vector<int64_t> RecordArchive::newestTimes(const std::string& station, int count, std::string& error) {
    std::vector<int64_t> times;
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(connection_), false));
    q.prepare(QStringLiteral("SELECT utc FROM vrn_records WHERE station = ? ORDER BY utc DESC LIMIT ?"));
    q.addBindValue(QString::fromStdString(station));
    q.addBindValue(count);
    if (!execPrepared(q, error)) return times;
    while (q.next())
        times.push_back(q.value(0).toLongLong());
    return times;
}

bool RecordArchive::addAttempt(const Attempt& a, std::string& error) {
    if (!reconnectIfLost(error)) return false;
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(connection_), false));
    q.prepare(
        QStringLiteral("INSERT INTO vrn_attempts (station, attempted_at, outcome, reason, records, "
                       "new_records, wire_seconds) VALUES (?, ?, ?, ?, ?, ?, ?)"));
    q.addBindValue(QString::fromStdString(a.station));
    q.addBindValue(QVariant::fromValue<qlonglong>(a.attemptedAt));
    q.addBindValue(QString::fromStdString(a.outcome));
    q.addBindValue(QString::fromStdString(a.reason));
    q.addBindValue(QVariant::fromValue<qlonglong>(static_cast<qlonglong>(a.records)));
    q.addBindValue(QVariant::fromValue<qlonglong>(static_cast<qlonglong>(a.added)));
    q.addBindValue(a.wireSeconds);
    return execPrepared(q, error);
}

std::vector<Attempt> RecordArchive::attempts(const std::string& station, std::string& error) {
    std::vector<Attempt> out;
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(connection_), false));
    q.prepare(
        QStringLiteral("SELECT attempted_at, outcome, reason, records, new_records, wire_seconds FROM "
                       "vrn_attempts WHERE station = ? ORDER BY attempted_at"));
    q.addBindValue(QString::fromStdString(station));
    if (!execPrepared(q, error)) return out;
    while (q.next())
        out.push_back({station, q.value(0).toLongLong(), q.value(1).toString().toStdString(),
                       q.value(2).toString().toStdString(), static_cast<size_t>(q.value(3).toLongLong()),
                       static_cast<size_t>(q.value(4).toLongLong()), q.value(5).toDouble()});
    return out;
}

bool RecordArchive::setSendsOldest(const std::string& station, std::string& error) {
    if (!reconnectIfLost(error)) return false;
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(connection_), false));
    q.prepare(QStringLiteral("UPDATE vrn_stations SET sends_oldest = 1 WHERE name = ?"));
    q.addBindValue(QString::fromStdString(station));
    return execPrepared(q, error);
}

bool RecordArchive::read(const std::string& station, int64_t from, int64_t to, StoredRecords& out,
                         std::string& error) {
    out = {};
    QSqlDatabase db = QSqlDatabase::database(QString::fromStdString(connection_), false);
    QSqlQuery q(db);
    // Each collection's format is read while the rows are; Qt's PostgreSQL driver streams a
    // forward-only query's rows and loses the rest of them when another query runs meanwhile.
    q.setForwardOnly(!postgres_);
    q.prepare(
        QStringLiteral("SELECT utc, collection_id%1 FROM vrn_records WHERE station = ? AND utc >= ? AND "
                       "utc <= ? ORDER BY utc")
            .arg(valueColumns(kMaxFields)));
    q.addBindValue(QString::fromStdString(station));
    q.addBindValue(QVariant::fromValue<qlonglong>(from));
    q.addBindValue(QVariant::fromValue<qlonglong>(to));
    if (!execPrepared(q, error)) return false;

    // Each collection's format, read once; every record must share the first one's.
    std::optional<qlonglong> formatOf;
    QSqlQuery f(db);
    f.prepare(
        QStringLiteral("SELECT label, type, width, prec FROM vrn_fields WHERE collection_id = ? ORDER BY "
                       "position"));
    std::set<qlonglong> checked;
    auto formatOfCollection = [&](qlonglong id, std::vector<setup::RecordField>& format) {
        format.clear();
        f.addBindValue(id);
        if (!execPrepared(f, error)) return false;
        while (f.next())
            format.push_back({f.value(0).toString().toStdString(), f.value(1).toInt(), f.value(2).toInt(),
                              f.value(3).toInt()});
        f.finish();
        return true;
    };
    constexpr float kMissing = std::numeric_limits<float>::quiet_NaN();
    std::vector<setup::RecordField> other;
    while (q.next()) {
        const qlonglong id = q.value(1).toLongLong();
        if (!formatOf) {
            if (!formatOfCollection(id, out.format)) return false;
            formatOf = id;
            checked.insert(id);
        } else if (checked.insert(id).second) {
            if (!formatOfCollection(id, other)) return false;
            if (!sameFormat(out.format, other)) {
                error = "the record format of station " + station + " changed at " +
                        records::utcTimeText(q.value(0).toLongLong()) +
                        " UTC; read the times before and after it separately";
                out = {};
                out.formatChangedAt = q.value(0).toLongLong();
                return false;
            }
        }
        out.utc.push_back(q.value(0).toLongLong());
        for (size_t k = 0; k < out.format.size(); ++k) {
            const QVariant v = q.value(static_cast<int>(k) + 2);
            putFloat(out.bytes, v.isNull() ? kMissing : static_cast<float>(v.toDouble()));
        }
    }
    if (q.lastError().isValid()) {
        error = sqlError(q.lastError());
        return false;
    }
    return true;
}

}  // namespace vrn::store
