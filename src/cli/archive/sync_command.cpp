#include "cli/archive/sync_command.h"

#include <QJsonArray>
#include <QJsonObject>

#include "cli/archive_options.h"
#include "cli/session.h"
#include "cli/stop_signal.h"
#include "store/archive_name.h"
#include "store/archive_sync.h"

namespace vrn::cli {
namespace {

constexpr CommandText kSync{
    "sync", "copy the stations of one record archive into another, adding only what it lacks",
    "Copies every station held in the archive FROM into the archive TO, either of them a SQLite\n"
    "file or a postgresql:// URL (as collect takes them; TO is made when it is a file that is\n"
    "not there): the station with its clock offsets, its collections with their record formats,\n"
    "its records with and without a date and time, and its collection attempts. Only what TO\n"
    "lacks is added (a record is known by its station and time, a collection and an attempt by\n"
    "all they hold), so syncing again adds only what is new. Each station is one transaction of\n"
    "TO: a run that fails or is killed leaves TO with whole stations only. FROM is read as it was\n"
    "when each station's copy began, while collect goes on writing to it. A station whose clock\n"
    "offsets in the two disagree (one archive goes on from the other's history only), or a time\n"
    "both hold with different record formats, is left out with an error line, and the others are\n"
    "synced (exit 2). Prints \"STATION NAME: RECORDS n (n NEW), WITHOUT DATE OR TIME n (n NEW),\n"
    "COLLECTIONS n (n NEW), ATTEMPTS n (n NEW)\" for each station and \"STATIONS: n SYNCED, n LEFT\n"
    "OUT, NEW RECORDS: n\" at the end. A FROM that is not there is \"no archive at FROM\" (exit 7)\n"
    "and nothing is made at TO; an archive that cannot be opened, read or written is exit 7; FROM\n"
    "and TO naming one archive is exit 2. SIGINT or SIGTERM stops it between stations.\n"
    "\n"
    "example, a site's archive forwarded to the network's server when the line is up:\n"
    "  vrncomm-cli --quiet sync /var/lib/vrncomm/archive.db postgresql://vrncomm@db.example.org/weather\n"};

struct SyncArgs {
    std::string from;
    std::string to;
};

QJsonObject copiedRow(const std::string& station, const store::StationCopy& c) {
    auto n = [](size_t v) { return static_cast<qint64>(v); };
    return {{"station", QString::fromStdString(station)},
            {"synced", true},
            {"records", n(c.records)},
            {"newRecords", n(c.addedRecords)},
            {"withoutDateOrTime", n(c.unkeyed)},
            {"newWithoutDateOrTime", n(c.addedUnkeyed)},
            {"collections", n(c.collections)},
            {"newCollections", n(c.addedCollections)},
            {"attempts", n(c.attempts)},
            {"newAttempts", n(c.addedAttempts)}};
}

std::string copiedLine(const std::string& station, const store::StationCopy& c) {
    auto part = [](const char* what, size_t all, size_t added) {
        return std::string(what) + " " + std::to_string(all) + " (" + std::to_string(added) + " NEW)";
    };
    return "STATION " + station + ": " + part("RECORDS", c.records, c.addedRecords) + ", " +
           part("WITHOUT DATE OR TIME", c.unkeyed, c.addedUnkeyed) + ", " +
           part("COLLECTIONS", c.collections, c.addedCollections) + ", " +
           part("ATTEMPTS", c.attempts, c.addedAttempts);
}

// The two archives, opened: FROM first, so that a mistyped source makes nothing at the target;
// the exit status after an error line when they cannot be, or are one archive.
int openBoth(Session& s, const SyncArgs& args, std::unique_ptr<store::RecordArchive>& from,
             std::unique_ptr<store::RecordArchive>& to) {
    from = openArchiveToRead(s, args.from);
    if (!from) return kExitArchive;
    to = openArchive(s, args.to);
    if (!to) return kExitArchive;
    bool same = false;
    std::string error;
    if (!store::sameArchive(*from, *to, same, error)) {
        s.host.error("cannot read the archive " + store::redactedArchive(args.to) + ": " + error);
        return kExitArchive;
    }
    if (same) {
        s.host.error(store::redactedArchive(args.from) + " and " + store::redactedArchive(args.to) +
                     " are one archive: there is nothing to sync");
        return kExitUsage;
    }
    return kExitOk;
}

int runSync(Session& s, const SyncArgs& args) {
    std::unique_ptr<store::RecordArchive> from;
    std::unique_ptr<store::RecordArchive> to;
    if (const int status = openBoth(s, args, from, to); status != kExitOk) return status;
    const std::string fromShown = store::redactedArchive(args.from);
    const std::string toShown = store::redactedArchive(args.to);
    std::string error;
    const std::vector<std::string> stations = store::stationsToCopy(*from, error);
    if (!error.empty()) {
        s.host.error("cannot read the archive " + fromShown + ": " + error);
        return kExitArchive;
    }
    s.host.appendLine("SYNCING " + fromShown + " INTO " + toShown + "...");
    QJsonArray rows;
    size_t synced = 0;
    size_t added = 0;
    int status = kExitOk;
    for (const std::string& station : stations) {
        // A stop comes between stations: the ones synced are kept whole.
        if (stopSignal() != 0) break;
        store::StationCopy copy;
        const store::CopyOutcome outcome = store::copyStation(*from, *to, station, copy, error);
        if (outcome == store::CopyOutcome::Failed) {
            s.host.error("cannot sync station " + station + " into " + toShown +
                         " (it is left as it was there): " + error);
            status = kExitArchive;
            break;
        }
        if (outcome == store::CopyOutcome::Conflict) {
            s.host.error("station " + station + " is left out: " + error);
            rows.append(QJsonObject{{"station", QString::fromStdString(station)},
                                    {"synced", false},
                                    {"reason", QString::fromStdString(error)}});
            status = kExitUsage;
            continue;
        }
        s.host.appendLine(copiedLine(station, copy));
        rows.append(copiedRow(station, copy));
        ++synced;
        added += copy.addedRecords;
    }
    const size_t leftOut = static_cast<size_t>(rows.size()) - synced;
    s.host.appendLine("STATIONS: " + std::to_string(synced) + " SYNCED, " + std::to_string(leftOut) +
                      " LEFT OUT, NEW RECORDS: " + std::to_string(added));
    s.result.data = {{"from", QString::fromStdString(fromShown)},
                     {"to", QString::fromStdString(toShown)},
                     {"stations", rows},
                     {"synced", static_cast<qint64>(synced)},
                     {"leftOut", static_cast<qint64>(leftOut)},
                     {"newRecords", static_cast<qint64>(added)}};
    return status;
}

}  // namespace

void addSyncCommand(CLI::App& app, CommandRunner& chosen) {
    CLI::App& sync = addCommand(app, kSync);
    SyncArgs& args = runs(sync, chosen, runSync);
    positional(sync, "FROM", args.from);
    positional(sync, "TO", args.to);
}

}  // namespace vrn::cli
