// A night's collection: `vrncomm-cli collect` without a count takes the 144 new records of 25 fields
// from a simulated instrument whose memory is full (86,507 records), into a SQLite and a PostgreSQL
// archive that hold the others, against the wire time of those records and the record-format read
// that every record download begins with (its floor measured over the same pty in the same run).
// Prints "row" lines; asserts only that each collection took the night's records and not the memory.
//   night_bench [RUNS]
#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "core/link/exchange.h"
#include "core/link/usb_port.h"
#include "core/link/virtual_clock.h"
#include "core/records/collect_plan.h"
#include "core/records/record_retrieval.h"
#include "core/setup/setup_model.h"
#include "core/setup/setup_transfer.h"
#include "pg_cluster.h"
#include "ports/port_factory.h"
#include "recording_host.h"
#include "sim_process.h"
#include "store/record_archive.h"
#include "transfer_floor.h"

namespace {

using namespace vrn;

constexpr int kFields = 25;
constexpr int kHeld = 86507;  // a full memory: 86,507 x 25 values
constexpr int kNight = 144;   // a record every ten minutes
constexpr int64_t kInterval = 600;
// What a night's collection may ask for beyond the night's records: its margin, and a record or
// two logged while the benchmark runs.
constexpr unsigned kMostAsked = kNight + records::kCollectMargin + 2;
const char* const kStation = "night";

// The instrument's record format: readings, then its Date and Time.
setup::RecordField fieldOf(int k) {
    setup::RecordField f;
    char label[8];
    std::snprintf(label, sizeof label, "F%d", k + 1);
    f.label = k == kFields - 2 ? "DATE" : k == kFields - 1 ? "TIME" : label;
    f.type = k == kFields - 2 ? 1 : k == kFields - 1 ? 2 : 0;
    f.width = 6;
    f.precision = k >= kFields - 2 ? 0 : 1;
    return f;
}

bool writeText(const QString& path, const std::string& text) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) &&
           f.write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
}

// The simulator's Setup and full memory, its newest record just before its clock (the PC's).
bool writeState(const QString& dir, int64_t firstSeconds) {
    std::string setup = "fields-per-record 25\n";
    char line[96];
    for (int k = 0; k < kFields; ++k) {
        const setup::RecordField f = fieldOf(k);
        std::snprintf(line, sizeof line, "field %d %d %d %d %s\n", k + 1, f.type, f.width, f.precision,
                      f.label.c_str());
        setup += line;
    }
    std::snprintf(line, sizeof line, "logged %d\nfirst %lld\ninterval %lld\n", kHeld,
                  static_cast<long long>(firstSeconds), static_cast<long long>(kInterval));
    return writeText(dir + QStringLiteral("/setup.txt"), setup) &&
           writeText(dir + QStringLiteral("/records.txt"), line);
}

// The archive holds every record but the night's (their values do not matter: records are kept by
// their time).
bool fillArchive(const std::string& where, int64_t firstSeconds) {
    store::Collection c;
    c.station = kStation;
    c.collectedAt = firstSeconds;
    for (int k = 0; k < kFields; ++k)
        c.format.push_back(fieldOf(k));
    for (int r = 0; r < kHeld - kNight; ++r) {
        const LocalDateTime t = civilFromEpochSeconds(firstSeconds + r * kInterval);
        for (int k = 0; k < kFields; ++k) {
            float v = static_cast<float>(r % 1000) / 10.0F;
            if (k == kFields - 2) v = static_cast<float>((t.year - 2000) * 10000 + t.month * 100 + t.day);
            if (k == kFields - 1) v = static_cast<float>(t.hour * 10000 + t.minute * 100 + t.second);
            const auto bits = std::bit_cast<uint32_t>(v);
            for (int shift = 0; shift < 32; shift += 8)
                c.bytes.push_back(static_cast<uint8_t>(bits >> shift));
        }
    }
    std::string error;
    const auto archive = store::RecordArchive::open(where, error);
    store::StoreSummary summary;
    if (!archive || !archive->store(c, summary, error)) {
        std::fprintf(stderr, "night_bench: %s: %s\n", where.c_str(), error.c_str());
        return false;
    }
    return true;
}

// Takes the night's records out of the archive again, so that the next run finds them new.
bool forgetNight(const std::string& where) {
    const bool pg = where.starts_with("postgresql:");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(pg ? QStringLiteral("QPSQL") : QStringLiteral("QSQLITE"),
                                                    QStringLiteral("forget"));
        const QString w = QString::fromStdString(where);
        db.setDatabaseName(pg ? QStringLiteral("postgres") : w);
        if (pg) {
            db.setHostName(w.section(QStringLiteral("host="), 1).section(QLatin1Char('&'), 0, 0));
            db.setUserName(QStringLiteral("vrn"));
        }
        QSqlQuery q(db);
        ok = db.open() &&
             q.exec(QStringLiteral("DELETE FROM vrn_records WHERE station = 'night' AND utc > "
                                   "(SELECT max(utc) FROM vrn_records WHERE station = 'night') - %1")
                        .arg(kNight * kInterval));
        if (!ok) std::fprintf(stderr, "night_bench: %s\n", q.lastError().text().toUtf8().constData());
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("forget"));
    return ok;
}

// The floor of the protocol steps `steps` takes over the pty: pacing, mandated pauses, the wire.
double floorMs(const std::string& pty, const std::function<bool(setup::SetupTransfer&)>& steps) {
    bench::Floor floor;
    bench::FloorClock clock{floor};
    test::RecordingHost host{clock};
    const std::unique_ptr<Port> serial = makeHardwarePort(pty);
    bench::FloorPort port{*serial, floor};
    UsbPort usb{port, host};
    usb.OpenUsbPort();
    Exchange ex{usb, host};
    setup::SetupModel model;
    setup::SetupTransfer transfer{ex, model};
    const bool ok = usb.isOpen() && steps(transfer);
    usb.closeAtExit();
    return ok ? static_cast<double>(floor.totalUs(0)) / 1000.0 : -1.0;
}

// One collection's wall time in seconds, or a negative figure when it did not take the night.
double collectOnce(const std::string& pty, const std::string& where) {
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral(VRN_CLI_PROGRAM),
            {QStringLiteral("--port"), QString::fromStdString(pty), QStringLiteral("collect"),
             QString::fromStdString(where), QStringLiteral("--station"), QString::fromLatin1(kStation)});
    const bool finished = p.waitForFinished(120000);
    const double seconds = static_cast<double>(t.nsecsElapsed()) / 1e9;
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    unsigned came = 0, added = 0, unkeyed = 0;
    const QString line = out.section(QStringLiteral("RECORDS: "), 1).section(QLatin1Char('\n'), 0, 0);
    const bool summed = std::sscanf(line.toUtf8().constData(), "%u, NEW: %u, WITHOUT DATE OR TIME: %u", &came,
                                    &added, &unkeyed) == 3;
    std::printf("  %.3f s: %s", seconds, out.section(QStringLiteral("RECORDS: "), 1).toUtf8().constData());
    if (!finished || p.exitCode() != 0 || !summed || added < kNight || came > kMostAsked) {
        std::fprintf(stderr, "night_bench: the collection did not take the night: %s%s\n",
                     out.toUtf8().constData(), p.readAllStandardError().constData());
        return -1.0;
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    double load[3] = {};
    if (getloadavg(load, 3) == 3) std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    QTemporaryDir dir;
    const QDateTime now = QDateTime::currentDateTime();
    const int64_t firstSeconds =
        QDateTime(now.date(), now.time(), Qt::UTC).toSecsSinceEpoch() - int64_t{kHeld} * kInterval;
    if (!writeState(dir.path(), firstSeconds)) return 1;
    test::SimProcess sim({"--state", dir.path().toStdString()});
    if (sim.path().empty()) {
        std::fprintf(stderr, "night_bench: vrncomm-sim did not start: %s\n", sim.errorText().c_str());
        return 1;
    }

    // The record-format read as every record download makes it: CMD315, the pause, CMD325.
    const double formatMs = floorMs(sim.path(), [](setup::SetupTransfer& t) {
        if (!t.GetFieldsPerRecord().ok()) return false;
        t.exchange().host().clock().sleepMs(records::RecordRetrieval::kFormatPauseMs);
        return t.GetRecordFormats().ok();
    });
    const double clockMs = floorMs(sim.path(), [](setup::SetupTransfer& t) { return t.GetClock().ok(); });
    const double wireMs = kNight * kFields * 4 * static_cast<double>(bench::kByteUs) / 1000.0;
    if (formatMs < 0 || clockMs < 0) {
        std::fprintf(stderr, "night_bench: the instrument did not answer over %s\n", sim.path().c_str());
        return 1;
    }
    const double yardstick = (formatMs + wireMs) / 1000.0;
    std::printf(
        "floors: the record-format read %.1f ms, the clock %.1f ms; the night's records on the wire "
        "%.1f ms\n",
        formatMs, clockMs, wireMs);

    test::PgCluster pg(true);
    if (!pg.running()) std::printf("no PostgreSQL server: %s\n", pg.error().c_str());
    const std::string sqlite = dir.filePath(QStringLiteral("archive.db")).toStdString();
    struct Archive {
        const char* name;
        std::string where;
    };
    std::vector<Archive> archives{{"SQLite", sqlite}};
    if (pg.running()) archives.push_back({"PostgreSQL", pg.url()});
    bool failed = false;
    for (const Archive& a : archives) {
        if (!fillArchive(a.where, firstSeconds)) return 1;
        double best = 1e9;
        for (int i = 0; i < runs; ++i) {
            const double s = i == 0 || forgetNight(a.where) ? collectOnce(sim.path(), a.where) : -1.0;
            if (s < 0) {
                failed = true;
                break;
            }
            best = std::min(best, s);
        }
        if (failed) {
            std::printf(
                "row\tA night's collect, 144 new of 25 fields in a full memory, %s\tfailed\t-\t-\t<= 1.2x\t"
                "not met\n",
                a.name);
            continue;
        }
        std::printf(
            "row\tA night's collect, 144 new of 25 fields in a full memory, %s\t%.3f s\t%.3f s wire + "
            "format read\t%.2fx\t<= 1.2x\t%s\n",
            a.name, best, yardstick, best / yardstick, best <= 1.2 * yardstick ? "met" : "not met");
        std::fflush(stdout);
    }
    return failed ? 1 : 0;
}
