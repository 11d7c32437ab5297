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
#include "store/archive_tables.h"
#include "store/postgres_rows.h"
#include "store/record_keying.h"

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

bool sameFormat(const std::vector<setup::RecordField>& a, const std::vector<setup::RecordField>& b) {
    if (a.size() != b.size()) return false;
    for (size_t k = 0; k < a.size(); ++k)
        if (a[k].label != b[k].label || a[k].type != b[k].type || a[k].width != b[k].width ||
            a[k].precision != b[k].precision)
            return false;
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
// SQLite checks the tables' references only on a connection that asks it to, as PostgreSQL always does.
bool openConnection(QSqlDatabase& db, bool postgres, std::string& error) {
    if (!db.open()) {
        error = sqlError(db.lastError());
        return false;
    }
    QSqlQuery q(db);
    if (!postgres) return exec(q, QStringLiteral("PRAGMA foreign_keys = ON"), error);
    logServerNotices(db);
    return exec(q, QStringLiteral("SET client_min_messages TO WARNING"), error);
}

// The first version's tables, which the migrations bring up to this program's.
QStringList firstTables(bool postgres) {
    const QString id = postgres ? QStringLiteral("BIGINT GENERATED ALWAYS AS IDENTITY PRIMARY KEY")
                                : QStringLiteral("INTEGER PRIMARY KEY");
    QString values;
    for (int k = 1; k <= RecordArchive::kMaxFields; ++k)
        values += QStringLiteral(", v%1 REAL").arg(k);
    return {
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
        // A record's collection is the one stored in the same transaction, so neither database is
        // asked to check that: PostgreSQL's trigger, run for each row, took nearly half a
        // collection's time. (Archives made with the check keep it, and it is checked.)
        QStringLiteral("CREATE TABLE IF NOT EXISTS vrn_records (station TEXT NOT NULL, utc BIGINT NOT NULL, "
                       "collection_id BIGINT NOT NULL%1, PRIMARY KEY (station, utc))%2")
            .arg(values, postgres ? QString() : QStringLiteral(" WITHOUT ROWID")),
        QStringLiteral(
            "CREATE TABLE IF NOT EXISTS vrn_unkeyed (collection_id BIGINT NOT NULL REFERENCES "
            "vrn_collections(id), position INTEGER NOT NULL%1, PRIMARY KEY (collection_id, position))")
            .arg(values),
    };
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

QSqlDatabase databaseOf(const RecordArchive& archive) {
    return QSqlDatabase::database(QString::fromStdString(archive.connection_), false);
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
    QSqlDatabase db = databaseOf(*this);
    if (!db.transaction()) {
        error = sqlError(db.lastError());
        return false;
    }
    QSqlQuery q(db);
    // An archive without the version table has the first version's tables, or none.
    bool ok =
        (!postgres_ || exec(q, QStringLiteral("SELECT pg_advisory_xact_lock(%1)").arg(kSchemaLock), error)) &&
        exec(q, QStringLiteral("CREATE TABLE IF NOT EXISTS vrn_schema (version INTEGER NOT NULL)"), error) &&
        exec(q, QStringLiteral("SELECT max(version) FROM vrn_schema"), error) && q.next();
    const int version = ok && !q.value(0).isNull() ? q.value(0).toInt() : 1;
    q.finish();
    if (ok && version > kSchemaVersion) {
        error = "its tables are of version " + std::to_string(version) + ", newer than this program's (" +
                std::to_string(kSchemaVersion) + "): it is left as it is; use a newer VRNComm for it";
        ok = false;
    }
    for (const QString& sql : firstTables(postgres_))
        ok = ok && exec(q, sql, error);
    ok = ok && (version == kSchemaVersion || migrate(version, error));
    if (ok && db.commit()) return true;
    if (ok) error = sqlError(db.lastError());
    db.rollback();
    return false;
}

// Brings the tables from version `from` up to this program's, inside makeTables' transaction.
bool RecordArchive::migrate(int from, std::string& error) {
    QSqlQuery q(databaseOf(*this));
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
    QSqlDatabase db = databaseOf(*this);
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

namespace {

// The time fields a collection's records are keyed by; none, with the reason, when it has none or
// too many fields for the rows.
std::optional<records::TimeFields> keyingFields(const Collection& c, std::string& error) {
    if (c.format.empty() || c.format.size() > static_cast<size_t>(RecordArchive::kMaxFields)) {
        error = "a record format has 1 to 25 fields";
        return std::nullopt;
    }
    const auto where = records::timeFieldsOf(c.format);
    if (!where) error = "the record format has no Date and Time fields to key the records by";
    return where;
}

// Holds the station and checks the collection's clock offset against the one held; a new one is
// noted as a change after the newest record held. changes: the station's, newest first.
bool keyingOffsets(QSqlDatabase& db, const Collection& c, std::vector<OffsetChange>& changes,
                   std::string& error) {
    std::optional<StationInfo> held;
    if (!lockStation(db, c.station, held, error)) return false;
    if (held && held->utcOffsetMinutes != c.utcOffsetMinutes) {
        if (!c.newUtcOffset) {
            error = "station " + c.station + " is held with the UTC offset " +
                    records::utcOffsetText(held->utcOffsetMinutes) + ", not " +
                    records::utcOffsetText(c.utcOffsetMinutes);
            return false;
        }
        // The records held so far keep the former offset, in this and every later collection.
        std::optional<int64_t> newest;
        if (!newestRecord(db, c.station, newest, error)) return false;
        if (newest && !addOffsetChange(db, c.station, {*newest, held->utcOffsetMinutes}, error)) return false;
    }
    return offsetChanges(db, c.station, changes, error);
}

// The records with a time as rows of the collection `id`, which go in at the end, each database's
// quickest way; the records without one are stored now. The summary counts both.
bool keyRecords(QSqlDatabase& db, const Collection& c, const records::RecordBlock& block,
                records::TimeFields where, const std::vector<OffsetChange>& changes, int64_t id,
                RecordRows& rows, StoreSummary& summary, std::string& error) {
    const std::vector<std::optional<int64_t>> keys = recordKeys(block, where, c.utcOffsetMinutes, changes);
    rows.fields = block.fieldCount();
    for (size_t r = 0; r < keys.size(); ++r) {
        if (keys[r]) {
            summary.newest = std::max(summary.newest.value_or(*keys[r]), *keys[r]);
            rows.utc.push_back(*keys[r]);
            rows.collection.push_back(id);
            for (size_t k = 0; k < rows.fields; ++k)
                rows.values.push_back(block.value(r, k));
            continue;
        }
        if (records::recordSeconds(block, r, where)) continue;  // a time already held, after a change
        ++summary.unkeyed;
        UnkeyedRecord record{id, static_cast<int64_t>(r) + 1, {}, neighboursOf(keys, r)};
        for (size_t k = 0; k < rows.fields; ++k)
            record.values.push_back(block.value(r, k));
        bool added = false;
        if (!keepUnkeyed(db, c.station, record, added, error)) return false;
        summary.unkeyedAdded += added ? 1 : 0;
    }
    return true;
}

// The collection's row once its records are keyed: what it added and the span of its keyed records.
CollectionRow& counted(CollectionRow& row, const RecordRows& rows, const StoreSummary& summary) {
    row.added = summary.added;
    row.unkeyed = summary.unkeyed;
    if (!rows.utc.empty()) row.oldest = *std::min_element(rows.utc.begin(), rows.utc.end());
    row.newest = summary.newest;
    return row;
}

}  // namespace

bool RecordArchive::store(const Collection& c, StoreSummary& summary, std::string& error) {
    summary = {};
    const auto where = keyingFields(c, error);
    if (!where || !reconnectIfLost(error)) return false;
    const records::RecordBlock block(c.format, c.bytes);
    summary.records = block.recordCount();
    QSqlDatabase db = databaseOf(*this);
    if (!db.transaction()) {
        error = sqlError(db.lastError());
        summary = {};
        return false;
    }
    std::vector<OffsetChange> changes;
    int64_t id = 0;
    RecordRows rows;
    CollectionRow row{c.station, c.collectedAt, summary.records, 0, 0, {}, {}, c.wholeMemory, c.clockAhead};
    const bool stored = keyingOffsets(db, c, changes, error) &&
                        putStation(db, {c.station, c.usbSerial, c.utcOffsetMinutes, false}, error) &&
                        addCollection(db, row, c.format.size(), id, error) &&
                        addFormats(db, postgres_, {{id, &c.format}}, error) &&
                        keyRecords(db, c, block, *where, changes, id, rows, summary, error) &&
                        insertRecordRows(db, postgres_, c.station, rows, summary.added, error) &&
                        setCollectionCounts(db, id, counted(row, rows, summary), error);
    if (stored && db.commit()) return true;
    if (stored) error = sqlError(db.lastError());
    db.rollback();
    summary = {};
    return false;
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
    QSqlQuery q(databaseOf(*this));
    q.prepare(QStringLiteral(
        "SELECT name, usb_serial, utc_offset_minutes, sends_oldest FROM vrn_stations WHERE name = ?"));
    q.addBindValue(QString::fromStdString(name));
    return stationFrom(q, error);
}

std::optional<StationInfo> RecordArchive::stationWithSerial(const std::string& serial, std::string& error) {
    QSqlQuery q(databaseOf(*this));
    q.prepare(QStringLiteral(
        "SELECT name, usb_serial, utc_offset_minutes, sends_oldest FROM vrn_stations WHERE usb_serial = ?"));
    q.addBindValue(QString::fromStdString(serial));
    return stationFrom(q, error);
}

std::vector<std::string> RecordArchive::stationNames(std::string& error) {
    std::vector<std::string> names;
    QSqlQuery q(databaseOf(*this));
    if (!exec(q, QStringLiteral("SELECT name FROM vrn_stations ORDER BY name"), error)) return names;
    while (q.next())
        names.push_back(q.value(0).toString().toStdString());
    return names;
}

std::optional<std::pair<int64_t, int64_t>> RecordArchive::timeSpan(const std::string& station,
                                                                   std::string& error) {
    QSqlQuery q(databaseOf(*this));
    q.prepare(QStringLiteral("SELECT min(utc), max(utc) FROM vrn_records WHERE station = ?"));
    q.addBindValue(QString::fromStdString(station));
    if (!execPrepared(q, error) || !q.next() || q.value(0).isNull()) return std::nullopt;
    return std::make_pair(int64_t{q.value(0).toLongLong()}, int64_t{q.value(1).toLongLong()});
}

std::vector<int64_t> RecordArchive::newestTimes(const std::string& station, int count, std::string& error) {
    std::vector<int64_t> times;
    QSqlQuery q(databaseOf(*this));
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
    QSqlDatabase db = databaseOf(*this);
    return insertAttempt(db, a, error);
}

std::vector<Attempt> RecordArchive::attempts(const std::string& station, std::string& error) {
    std::vector<Attempt> out;
    QSqlQuery q(databaseOf(*this));
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
    QSqlQuery q(databaseOf(*this));
    q.prepare(QStringLiteral("UPDATE vrn_stations SET sends_oldest = 1 WHERE name = ?"));
    q.addBindValue(QString::fromStdString(station));
    return execPrepared(q, error);
}

bool RecordArchive::read(const std::string& station, int64_t from, int64_t to, StoredRecords& out,
                         std::string& error) {
    out = {};
    QSqlDatabase db = databaseOf(*this);
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
