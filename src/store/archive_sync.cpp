#include "store/archive_sync.h"

#include <sys/stat.h>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <algorithm>
#include <limits>
#include <map>
#include <optional>
#include <random>
#include <tuple>

#include "core/records/record_keys.h"
#include "store/archive_tables.h"
#include "store/offset_history.h"
#include "store/station_reads.h"

namespace vrn::store {
namespace {

// Records are read from the source and written to the target this many at a time.
constexpr size_t kRowsAtOnce = 100000;

// A record format as one text, to compare formats by.
std::string formatKey(const std::vector<setup::RecordField>& format) {
    std::string key;
    for (const setup::RecordField& f : format)
        key += f.label + '\x1f' + std::to_string(f.type) + ',' + std::to_string(f.width) + ',' +
               std::to_string(f.precision) + '\x1e';
    return key;
}

// The source's read as of one moment: its rows of the station come from one snapshot even while
// others write to it. Read-only: it ends by rolling back.
class Snapshot {
public:
    Snapshot(QSqlDatabase& db, bool postgres, std::string& error) : db_(db) {
        open_ = db_.transaction();
        if (!open_) {
            error = db_.lastError().text().toStdString();
            return;
        }
        QSqlQuery q(db_);
        if (postgres &&
            !q.exec(QStringLiteral("SET TRANSACTION ISOLATION LEVEL REPEATABLE READ, READ ONLY"))) {
            error = q.lastError().text().toStdString();
            ok_ = false;
        }
    }
    ~Snapshot() {
        if (open_) db_.rollback();
    }
    Snapshot(const Snapshot&) = delete;
    Snapshot& operator=(const Snapshot&) = delete;
    bool ok() const { return open_ && ok_; }

private:
    QSqlDatabase& db_;
    bool open_ = false;
    bool ok_ = true;
};

// A station as the source holds it, but for its records.
struct Source {
    std::optional<StationInfo> info;
    OffsetHistory offsets;
    std::vector<StoredCollection> collections;
    std::vector<UnkeyedRecord> unkeyed;
    std::vector<Attempt> attempts;
};

bool offsetHistory(QSqlDatabase& db, const std::string& station, const std::optional<StationInfo>& info,
                   OffsetHistory& history, std::string& error) {
    std::vector<OffsetChange> newestFirst;
    if (!offsetChanges(db, station, newestFirst, error)) return false;
    history.changes.assign(newestFirst.rbegin(), newestFirst.rend());
    history.currentMinutes = info ? info->utcOffsetMinutes : 0;
    return newestRecord(db, station, history.newest, error);
}

bool readSource(RecordArchive& from, QSqlDatabase& db, const std::string& station, Source& s,
                std::string& error) {
    s.info = from.station(station, error);
    if (!error.empty()) return false;
    if (!offsetHistory(db, station, s.info, s.offsets, error) ||
        !readCollections(db, station, s.collections, error) ||
        !readUnkeyed(db, station, s.collections, s.unkeyed, error))
        return false;
    s.attempts = from.attempts(station, error);
    return error.empty();
}

// The target's side of the copy, inside its transaction.
struct Target {
    RecordArchive& archive;
    QSqlDatabase db;
    std::string station;
    std::map<int64_t, int64_t> collectionOf;      // the source's collection: the target's
    std::map<int64_t, std::string> sourceFormat;  // by the source's collection
    std::map<int64_t, std::string> targetFormat;  // by the target's collection
};

// The station's row and its former offsets, when the target's history agrees with the source's.
CopyOutcome copyStationRow(Target& t, const Source& s, std::string& error) {
    std::optional<StationInfo> held;
    OffsetHistory heldOffsets;
    if (!lockStation(t.db, t.station, held, error) ||
        !offsetHistory(t.db, t.station, held, heldOffsets, error))
        return CopyOutcome::Failed;
    if (!s.info) return CopyOutcome::Copied;  // only attempts
    const OffsetMerge merge = held ? mergeOffsets(s.offsets, heldOffsets) : OffsetMerge::TakeFrom;
    if (merge == OffsetMerge::Conflict) {
        error = "its clock offsets disagree: the source has " + offsetHistoryText(s.offsets) +
                ", the target " + offsetHistoryText(heldOffsets);
        return CopyOutcome::Conflict;
    }
    StationInfo row = *s.info;
    if (merge != OffsetMerge::TakeFrom) row.utcOffsetMinutes = held->utcOffsetMinutes;
    if (!putStation(t.db, row, error)) return CopyOutcome::Failed;
    if (merge == OffsetMerge::TakeFrom)
        for (const OffsetChange& change : s.offsets.changes)
            if (!addOffsetChange(t.db, t.station, change, error)) return CopyOutcome::Failed;
    return CopyOutcome::Copied;
}

// The collections the target lacks, known by their time, their record count and their format;
// every source collection is then matched with one of the target's.
bool copyCollections(Target& t, const Source& s, StationCopy& copy, std::string& error) {
    std::vector<StoredCollection> held;
    if (!readCollections(t.db, t.station, held, error)) return false;
    using Key = std::tuple<int64_t, size_t, std::string>;
    std::multimap<Key, int64_t> unmatched;
    for (const StoredCollection& c : held) {
        t.targetFormat[c.id] = formatKey(c.format);
        unmatched.emplace(Key{c.row.collectedAt, c.row.records, t.targetFormat[c.id]}, c.id);
    }
    std::vector<const StoredCollection*> lacked;
    for (const StoredCollection& c : s.collections) {
        t.sourceFormat[c.id] = formatKey(c.format);
        const auto match = unmatched.find(Key{c.row.collectedAt, c.row.records, t.sourceFormat[c.id]});
        if (match == unmatched.end()) {
            lacked.push_back(&c);
            continue;
        }
        t.collectionOf[c.id] = match->second;
        unmatched.erase(match);
    }
    std::vector<std::pair<CollectionRow, size_t>> rows;
    for (const StoredCollection* c : lacked) {
        rows.emplace_back(c->row, c->format.size());
        rows.back().first.station = t.station;
    }
    std::vector<int64_t> ids;
    if (!addCollections(t.db, t.archive.isPostgres(), rows, ids, error)) return false;
    std::vector<CollectionFormat> formats;
    for (size_t k = 0; k < lacked.size(); ++k) {
        t.collectionOf[lacked[k]->id] = ids[k];
        t.targetFormat[ids[k]] = t.sourceFormat[lacked[k]->id];
        formats.push_back({ids[k], &lacked[k]->format});
    }
    copy.addedCollections = lacked.size();
    return addFormats(t.db, t.archive.isPostgres(), formats, error);
}

// Of a batch of the source's records, the ones the target lacks, with its collections; Conflict
// when the target holds a time of them with another record format.
CopyOutcome lackedRecords(const Target& t, const RecordRows& batch,
                          const std::vector<std::pair<int64_t, int64_t>>& held, RecordRows& lacked,
                          std::string& error) {
    lacked.clear();
    lacked.fields = batch.fields;
    auto h = held.begin();
    for (size_t r = 0; r < batch.size(); ++r) {
        while (h != held.end() && h->first < batch.utc[r])
            ++h;
        const auto source = t.sourceFormat.find(batch.collection[r]);
        if (source == t.sourceFormat.end()) {
            error =
                "a record of " + records::utcTimeText(batch.utc[r]) + " UTC belongs to no collection of it";
            return CopyOutcome::Failed;
        }
        if (h != held.end() && h->first == batch.utc[r]) {
            const auto target = t.targetFormat.find(h->second);
            if (target == t.targetFormat.end() || target->second != source->second) {
                error = "its record of " + records::utcTimeText(batch.utc[r]) +
                        " UTC was collected with another record format in each archive";
                return CopyOutcome::Conflict;
            }
            continue;
        }
        lacked.utc.push_back(batch.utc[r]);
        lacked.collection.push_back(t.collectionOf.at(batch.collection[r]));
        for (size_t k = 0; k < batch.fields; ++k)
            lacked.values.push_back(batch.value(r, k));
    }
    return CopyOutcome::Copied;
}

CopyOutcome copyRecords(QSqlDatabase& fromDb, Target& t, const Source& s, StationCopy& copy,
                        std::string& error) {
    RecordRows batch;
    for (const StoredCollection& c : s.collections)
        batch.fields = std::max(batch.fields, c.format.size());
    RecordRows lacked;
    std::vector<std::pair<int64_t, int64_t>> held;
    int64_t after = std::numeric_limits<int64_t>::min();
    while (true) {
        if (!readRecords(fromDb, t.station, after, kRowsAtOnce, batch, error)) return CopyOutcome::Failed;
        if (batch.size() == 0) return CopyOutcome::Copied;
        copy.records += batch.size();
        if (!readKeys(t.db, t.station, batch.utc.front(), batch.utc.back(), held, error))
            return CopyOutcome::Failed;
        if (const CopyOutcome o = lackedRecords(t, batch, held, lacked, error); o != CopyOutcome::Copied)
            return o;
        if (!insertRecordRows(t.db, t.archive.isPostgres(), t.station, lacked, copy.addedRecords, error))
            return CopyOutcome::Failed;
        after = batch.utc.back();
    }
}

bool copyUnkeyed(Target& t, const Source& s, StationCopy& copy, std::string& error) {
    for (UnkeyedRecord record : s.unkeyed) {
        record.collection = t.collectionOf.at(record.collection);
        bool added = false;
        if (!keepUnkeyed(t.db, t.station, record, added, error)) return false;
        copy.addedUnkeyed += added ? 1 : 0;
    }
    return true;
}

// The attempts the target lacks: each is known by all it holds (its wire seconds as the single
// a PostgreSQL REAL keeps), and one held twice is copied twice.
bool copyAttempts(Target& t, const Source& s, StationCopy& copy, std::string& error) {
    using Key = std::tuple<int64_t, std::string, std::string, size_t, size_t, float>;
    auto key = [](const Attempt& a) {
        return Key{a.attemptedAt, a.outcome, a.reason, a.records, a.added, static_cast<float>(a.wireSeconds)};
    };
    std::multimap<Key, bool> held;
    for (const Attempt& a : t.archive.attempts(t.station, error))
        held.emplace(key(a), true);
    if (!error.empty()) return false;
    for (const Attempt& a : s.attempts) {
        if (const auto match = held.find(key(a)); match != held.end()) {
            held.erase(match);
            continue;
        }
        if (!insertAttempt(t.db, a, error)) return false;
        ++copy.addedAttempts;
    }
    return true;
}

CopyOutcome copyInto(QSqlDatabase& fromDb, Target& t, const Source& s, StationCopy& copy,
                     std::string& error) {
    if (const CopyOutcome o = copyStationRow(t, s, error); o != CopyOutcome::Copied) return o;
    if (!copyCollections(t, s, copy, error)) return CopyOutcome::Failed;
    if (const CopyOutcome o = copyRecords(fromDb, t, s, copy, error); o != CopyOutcome::Copied) return o;
    if (!copyUnkeyed(t, s, copy, error) || !copyAttempts(t, s, copy, error)) return CopyOutcome::Failed;
    return CopyOutcome::Copied;
}

// The file a SQLite archive is kept in; empty when it has none.
std::string sqliteFile(RecordArchive& archive, std::string& error) {
    QSqlQuery q(databaseOf(archive));
    if (!q.exec(QStringLiteral("PRAGMA database_list"))) {
        error = q.lastError().text().toStdString();
        return {};
    }
    while (q.next())
        if (q.value(1).toString() == QLatin1String("main")) return q.value(2).toString().toStdString();
    return {};
}

// Whether another session's lock of the key keeps this one from taking it (PostgreSQL's advisory
// locks are the database's own); the lock is let go again.
bool lockTaken(RecordArchive& archive, qlonglong key, bool& taken, std::string& error) {
    QSqlQuery q(databaseOf(archive));
    q.prepare(QStringLiteral("SELECT pg_try_advisory_lock(?)"));
    q.addBindValue(key);
    if (!execPrepared(q, error) || !q.next()) return false;
    taken = q.value(0).toBool();
    return true;
}

bool unlock(RecordArchive& archive, qlonglong key, std::string& error) {
    QSqlQuery q(databaseOf(archive));
    q.prepare(QStringLiteral("SELECT pg_advisory_unlock(?)"));
    q.addBindValue(key);
    return execPrepared(q, error);
}

}  // namespace

std::vector<std::string> stationsToCopy(RecordArchive& from, std::string& error) {
    std::vector<std::string> names;
    QSqlQuery q(databaseOf(from));
    if (!q.exec(QStringLiteral(
            "SELECT name FROM vrn_stations UNION SELECT station FROM vrn_attempts ORDER BY 1"))) {
        error = q.lastError().text().toStdString();
        return names;
    }
    while (q.next())
        names.push_back(q.value(0).toString().toStdString());
    return names;
}

bool sameArchive(RecordArchive& a, RecordArchive& b, bool& same, std::string& error) {
    same = false;
    if (a.isPostgres() != b.isPostgres()) return true;
    if (!a.isPostgres()) {
        const std::string fileA = sqliteFile(a, error);
        const std::string fileB = sqliteFile(b, error);
        struct stat infoA {};
        struct stat infoB {};
        same = !fileA.empty() && !fileB.empty() && ::stat(fileA.c_str(), &infoA) == 0 &&
               ::stat(fileB.c_str(), &infoB) == 0 && infoA.st_dev == infoB.st_dev &&
               infoA.st_ino == infoB.st_ino;
        return error.empty();
    }
    std::random_device random;
    const auto key = static_cast<qlonglong>((uint64_t{random()} << 32) | random());
    bool takenByA = false;
    bool takenByB = false;
    if (!lockTaken(a, key, takenByA, error) || !lockTaken(b, key, takenByB, error)) return false;
    same = takenByA && !takenByB;
    return unlock(a, key, error) && (!takenByB || unlock(b, key, error));
}

CopyOutcome copyStation(RecordArchive& from, RecordArchive& to, const std::string& station, StationCopy& copy,
                        std::string& error) {
    copy = {};
    QSqlDatabase fromDb = databaseOf(from);
    const Snapshot snapshot(fromDb, from.isPostgres(), error);
    Source source;
    if (!snapshot.ok() || !readSource(from, fromDb, station, source, error)) return CopyOutcome::Failed;
    Target target{to, databaseOf(to), station, {}, {}, {}};
    if (!target.db.transaction()) {
        error = target.db.lastError().text().toStdString();
        return CopyOutcome::Failed;
    }
    CopyOutcome outcome = copyInto(fromDb, target, source, copy, error);
    if (outcome == CopyOutcome::Copied && target.db.commit()) {
        copy.unkeyed = source.unkeyed.size();
        copy.collections = source.collections.size();
        copy.attempts = source.attempts.size();
        return outcome;
    }
    if (outcome == CopyOutcome::Copied) {
        error = target.db.lastError().text().toStdString();
        outcome = CopyOutcome::Failed;
    }
    target.db.rollback();
    copy = {};
    return outcome;
}

}  // namespace vrn::store
