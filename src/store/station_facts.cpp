// What the archive tells of each station's health, read from the collections and attempts (a row
// per night) and the newest records, never by going over every record held.
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "core/records/collect_plan.h"
#include "store/record_archive.h"

namespace vrn::store {
namespace {

// How many of the station's newest records tell its interval, as for a collection.
constexpr int kIntervalRecords = 64;

bool run(QSqlQuery& q, std::string& error) {
    if (q.exec()) return true;
    error = q.lastError().text().toStdString();
    return false;
}

std::optional<int64_t> utcOrNone(const QVariant& v) {
    if (v.isNull()) return std::nullopt;
    return v.toLongLong();
}

}  // namespace

std::vector<std::string> RecordArchive::knownStations(std::string& error) {
    std::vector<std::string> names;
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(connection_), false));
    q.prepare(
        QStringLiteral("SELECT name FROM vrn_stations UNION SELECT station FROM vrn_attempts ORDER BY 1"));
    if (!run(q, error)) return names;
    while (q.next())
        names.push_back(q.value(0).toString().toStdString());
    return names;
}

bool RecordArchive::stationFacts(const std::string& station, records::StationFacts& facts,
                                 std::string& error) {
    facts = {};
    facts.name = station;
    const QString name = QString::fromStdString(station);
    QSqlQuery q(QSqlDatabase::database(QString::fromStdString(connection_), false));
    q.prepare(
        QStringLiteral("SELECT collected_at, oldest_utc, newest_utc, whole_memory, clock_ahead, field_count, "
                       "new_records FROM vrn_collections WHERE station = ? ORDER BY collected_at, id"));
    q.addBindValue(name);
    if (!run(q, error)) return false;
    while (q.next()) {
        records::CollectionFacts c;
        c.collectedAt = q.value(0).toLongLong();
        c.oldest = utcOrNone(q.value(1));
        c.newest = utcOrNone(q.value(2));
        c.wholeMemory = q.value(3).toInt() != 0;
        c.clockAhead = utcOrNone(q.value(4));
        c.fields = q.value(5).toInt();
        facts.recordsHeld += static_cast<uint64_t>(q.value(6).toLongLong());
        facts.collections.push_back(c);
    }
    q.finish();

    q.prepare(
        QStringLiteral("SELECT attempted_at, outcome, reason FROM vrn_attempts WHERE station = ? ORDER BY "
                       "attempted_at DESC LIMIT 1"));
    q.addBindValue(name);
    if (!run(q, error)) return false;
    if (q.next())
        facts.lastAttempt =
            records::AttemptFacts{q.value(0).toLongLong(), q.value(1).toString().toStdString(),
                                  q.value(2).toString().toStdString()};
    q.finish();
    // An archive kept before attempts were recorded knows its successes by their collections.
    if (!facts.lastAttempt && !facts.collections.empty())
        facts.lastSuccess = facts.collections.back().collectedAt;
    q.prepare(
        QStringLiteral("SELECT max(attempted_at) FROM vrn_attempts WHERE station = ? AND outcome = 'ok'"));
    q.addBindValue(name);
    if (!run(q, error) || !q.next()) return false;
    if (!q.value(0).isNull()) facts.lastSuccess = q.value(0).toLongLong();
    q.finish();

    const std::vector<int64_t> times = newestTimes(station, kIntervalRecords, error);
    if (!error.empty()) return false;
    facts.interval = records::recordInterval(times);
    return true;
}

}  // namespace vrn::store
