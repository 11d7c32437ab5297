// The record archive: storing the largest retrieval into SQLite and PostgreSQL against writing its
// record text file, exporting a month of one station from a year of fifty, the status of a year of
// a hundred stations collected nightly, twenty simulated stations on their own ptys collected
// at once into one PostgreSQL archive, and a year of fifty stations synced from SQLite into
// PostgreSQL. Prints "row" lines; asserts only that every record is there.
//   archive_bench [RUNS] [store] [export] [status] [network] [sync]   (the parts named, or all of them)
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "core/link/virtual_clock.h"
#include "core/records/record_text.h"
#include "pg_cluster.h"
#include "ports/disk_file_store.h"
#include "sim_process.h"
#include "store/archive_tables.h"
#include "store/record_archive.h"

namespace {

using namespace vrn;

// A benchmark that cannot go on: main reports it, and the server and simulators are stopped on the way.
struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

template <class... Args>
[[noreturn]] void fail(const char* format, Args... args) {
    char text[1024];
    std::snprintf(text, sizeof text, format, args...);
    throw Failure(text);
}

constexpr int kLargestRecords = 86507;
constexpr int kLargestFields = 25;
constexpr int64_t kStart = 1767225600;  // 2026-01-01 00:00:00
constexpr int kYearStations = 50;
constexpr int kYearRecords = 365 * 144;  // every ten minutes
constexpr int kNetworkStations = 20;
constexpr int kDayRecords = 1440;
constexpr int kStatusStations = 100;
constexpr int kNightRecords = 144;  // a night's collection: a day every ten minutes
constexpr int kStationFields = 7;   // vrncomm-sim's station: five readings, DATE and TIME
// The wire: 1,250,000 baud, ten bits a byte.
constexpr double kWireSecondsPerByte = 10.0 / 1250000.0;

void putFloat(std::vector<uint8_t>& bytes, float value) {
    const auto bits = std::bit_cast<uint32_t>(value);
    for (int shift = 0; shift < 32; shift += 8)
        bytes.push_back(static_cast<uint8_t>(bits >> shift));
}

// Records every `interval` seconds from `start`: Number fields, then a Date and a Time; about one
// reading in 997 missing (never a date or time, so every record is kept by its time).
store::Collection makeCollection(const std::string& station, int records, int fields, int64_t start,
                                 int64_t interval, uint32_t seed) {
    store::Collection c;
    c.station = station;
    c.collectedAt = start + int64_t{records} * interval;
    for (int k = 0; k < fields; ++k) {
        setup::RecordField f;
        f.label = "FIELD " + std::to_string(k + 1);
        f.type = k == fields - 2 ? 1 : k == fields - 1 ? 2 : 0;
        f.width = 6;
        f.precision = 1;
        c.format.push_back(f);
    }
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> reading(-40.0F, 1100.0F);
    c.bytes.reserve(static_cast<size_t>(records) * static_cast<size_t>(fields) * 4);
    uint64_t n = 0;
    for (int r = 0; r < records; ++r) {
        const LocalDateTime t = civilFromEpochSeconds(start + int64_t{r} * interval);
        for (int k = 0; k < fields; ++k, ++n) {
            float v = reading(random);
            if (k == fields - 2) v = static_cast<float>((t.year - 2000) * 10000 + t.month * 100 + t.day);
            if (k == fields - 1) v = static_cast<float>(t.hour * 10000 + t.minute * 100 + t.second);
            if (n % 997 == 0 && k < fields - 2) v = std::numeric_limits<float>::quiet_NaN();
            putFloat(c.bytes, v);
        }
    }
    return c;
}

double seconds(const QElapsedTimer& t) {
    return static_cast<double>(t.nsecsElapsed()) / 1e9;
}

void row(const std::string& what, double figure, const std::string& figureUnit, double yardstick,
         const std::string& yardstickName, const std::string& goal, bool met) {
    std::printf("row\t%s\t%.3f %s\t%.3f s %s\t%.2fx\t%s\t%s\n", what.c_str(), figure, figureUnit.c_str(),
                yardstick, yardstickName.c_str(), figure / yardstick, goal.c_str(), met ? "met" : "not met");
    std::fflush(stdout);
}

// The record text file of a collection, written as Get Records writes it: formatted and saved.
double writeTextFile(const store::Collection& c, const std::string& path) {
    QElapsedTimer t;
    t.start();
    const records::RecordBlock block(c.format, c.bytes);
    std::string file = records::recordFileHeader(block, ',', civilFromEpochSeconds(c.collectedAt));
    records::appendRecordLines(file, block, 0, block.recordCount(), ',');
    DiskFileStore files;
    std::string error;
    if (!files.writeFile(path, {reinterpret_cast<const uint8_t*>(file.data()), file.size()}, error)) {
        fail("%s", error.c_str());
    }
    return seconds(t);
}

// Stores the collection under a new station name each run (so every record is new); the best time.
double storeBest(store::RecordArchive& archive, store::Collection c, int runs, const char* name) {
    double best = 1e9;
    for (int i = 0; i < runs; ++i) {
        c.station = std::string(name) + "-" + std::to_string(i);
        store::StoreSummary summary;
        std::string error;
        QElapsedTimer t;
        t.start();
        if (!archive.store(c, summary, error) || summary.added + summary.unkeyed != summary.records) {
            fail("storing into %s failed: %s", name, error.c_str());
        }
        best = std::min(best, seconds(t));
        std::printf("%s run %d: %.3f s, %zu records, %zu new\n", name, i + 1, seconds(t), summary.records,
                    summary.added);
    }
    return best;
}

std::unique_ptr<store::RecordArchive> openOrDie(const std::string& where) {
    std::string error;
    auto archive = store::RecordArchive::open(where, error);
    if (!archive) {
        fail("cannot open %s: %s", where.c_str(), error.c_str());
    }
    return archive;
}

void largestRetrieval(const QTemporaryDir& dir, const std::string& pgUrl, int runs) {
    const store::Collection c = makeCollection("largest", kLargestRecords, kLargestFields, kStart, 60, 1);
    double text = 1e9;
    for (int i = 0; i < runs; ++i)
        text = std::min(text, writeTextFile(c, dir.filePath(QStringLiteral("largest.txt")).toStdString()));
    std::printf("record text file: best %.3f s\n", text);
    {
        auto sqlite = openOrDie(dir.filePath(QStringLiteral("largest.db")).toStdString());
        const double s = storeBest(*sqlite, c, runs, "sqlite");
        row("Store 86,507 x 25 records, SQLite", s, "s", text, "record text file", "<= 2x", s <= 2 * text);
    }
    if (pgUrl.empty()) return;
    auto pg = openOrDie(pgUrl);
    const double s = storeBest(*pg, c, runs, "postgresql");
    row("Store 86,507 x 25 records, PostgreSQL", s, "s", text, "record text file", "<= 4x", s <= 4 * text);
}

void monthExport(const QTemporaryDir& dir, int runs) {
    const std::string path = dir.filePath(QStringLiteral("year.db")).toStdString();
    {
        auto archive = openOrDie(path);
        QElapsedTimer t;
        t.start();
        for (int s = 0; s < kYearStations; ++s) {
            const store::Collection c =
                makeCollection("st" + std::to_string(s + 1), kYearRecords, kStationFields, kStart, 600,
                               static_cast<uint32_t>(s + 7));
            store::StoreSummary summary;
            std::string error;
            if (!archive->store(c, summary, error)) {
                fail("%s", error.c_str());
            }
        }
        std::printf("a year of %d stations, %d records: made in %.1f s, %lld MB\n", kYearStations,
                    kYearStations * kYearRecords, seconds(t),
                    static_cast<long long>(QFile(QString::fromStdString(path)).size() >> 20));
    }
    double best = 1e9;
    QString out;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(QStringLiteral(VRN_CLI_PROGRAM),
                {QStringLiteral("export"), QString::fromStdString(path), QStringLiteral("--station"),
                 QStringLiteral("st17"), QStringLiteral("--from"), QStringLiteral("2026-03-01"),
                 QStringLiteral("--to"), QStringLiteral("2026-03-31"),
                 dir.filePath(QStringLiteral("march.txt"))});
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            fail("export failed: %s", p.readAllStandardError().constData());
        }
        best = std::min(best, seconds(t));
        out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    }
    std::printf("export: %s\n", out.toUtf8().constData());
    if (!out.startsWith(QStringLiteral("RECORDS: 4464,"))) {
        fail("the month's export is not 31 x 144 records");
    }
    row("Export a month of 1 station of 50 (2.6 M records, SQLite), vrncomm-cli", best, "s", 1.0, "goal",
        "< 1 s", best < 1.0);
}

// A year of a hundred stations collected every night (144 ten-minute records and an attempt each),
// then `vrncomm-cli status` over all of them.
void yearStatus(const QTemporaryDir& dir, int runs) {
    // Made in memory where there is a RAM disk: 73,000 commits, each waiting for the disk, would
    // take most of an hour. The status is read from the page cache either way.
    const QTemporaryDir shm(QStringLiteral("/dev/shm/archive_bench-XXXXXX"));
    const std::string path =
        (shm.isValid() ? shm : dir).filePath(QStringLiteral("status-year.db")).toStdString();
    {
        auto archive = openOrDie(path);
        QElapsedTimer t;
        t.start();
        for (int night = 0; night < 365; ++night) {
            for (int s = 0; s < kStatusStations; ++s) {
                store::Collection c = makeCollection("st" + std::to_string(s + 1), kNightRecords,
                                                     kStationFields, kStart + int64_t{night} * 86400, 600,
                                                     static_cast<uint32_t>(night * kStatusStations + s));
                c.clockAhead = 0;
                store::StoreSummary summary;
                std::string error;
                if (!archive->store(c, summary, error) ||
                    !archive->addAttempt(
                        {c.station, c.collectedAt, "ok", "", summary.records, summary.added, 0.2}, error)) {
                    fail("%s", error.c_str());
                }
            }
        }
        std::printf("a year of %d stations, %d records, %d collections: made in %.1f s, %lld MB\n",
                    kStatusStations, kStatusStations * 365 * kNightRecords, kStatusStations * 365, seconds(t),
                    static_cast<long long>(QFile(QString::fromStdString(path)).size() >> 20));
    }
    double best = 1e9;
    qsizetype lines = 0;
    for (int i = 0; i < runs; ++i) {
        QProcess p;
        QElapsedTimer t;
        t.start();
        p.start(QStringLiteral(VRN_CLI_PROGRAM), {QStringLiteral("status"), QString::fromStdString(path)});
        // Exit 8 is a finding (stations stale at the machine's date), not a failure.
        if (!p.waitForFinished(120000) || (p.exitCode() != 0 && p.exitCode() != 8)) {
            fail("status failed: %s", p.readAllStandardError().constData());
        }
        best = std::min(best, seconds(t));
        lines = QString::fromUtf8(p.readAllStandardOutput()).count(QStringLiteral("STATION "));
    }
    if (lines != kStatusStations) {
        fail("status showed %lld stations, not %d", static_cast<long long>(lines), kStatusStations);
    }
    row("Status of 100 stations x a year (5.3 M records, 36,500 collections, SQLite), vrncomm-cli", best, "s",
        1.0, "goal", "< 1 s", best < 1.0);
}

// Twenty stations on their own ptys, each with a day of one-minute records, collected at once.
void network(const QTemporaryDir& dir, const std::string& pgUrl) {
    std::vector<std::unique_ptr<test::SimProcess>> sims;
    for (int s = 0; s < kNetworkStations; ++s) {
        const QString state = dir.filePath(QStringLiteral("sim%1").arg(s));
        QDir().mkpath(state);
        QFile f(state + QStringLiteral("/records.txt"));
        if (!f.open(QIODevice::WriteOnly)) throw Failure("cannot write " + state.toStdString());
        f.write(QStringLiteral("logged %1\nfirst %2\ninterval 60\n")
                    .arg(kDayRecords)
                    .arg(kStart + s * 86400)
                    .toUtf8());
        f.close();
        sims.push_back(
            std::make_unique<test::SimProcess>(std::vector<std::string>{"--state", state.toStdString()}));
        if (sims.back()->path().empty()) {
            fail("vrncomm-sim did not start: %s", sims.back()->errorText().c_str());
        }
    }
    auto collect = [&](QProcess& p, int s) {
        p.start(QStringLiteral(VRN_CLI_PROGRAM),
                {QStringLiteral("--port"), QString::fromStdString(sims[static_cast<size_t>(s)]->path()),
                 QStringLiteral("collect"), QString::fromStdString(pgUrl), QStringLiteral("--station"),
                 QStringLiteral("net%1").arg(s), QStringLiteral("--count"), QString::number(kDayRecords)});
    };
    // A finished collection's summary: records that came, new ones, ones without a time.
    struct Summary {
        unsigned records = 0, added = 0, unkeyed = 0;
    };
    auto finish = [](QProcess& p) {
        Summary r;
        if (!p.waitForFinished(120000) || p.exitCode() != 0) {
            fail("a collection failed: %s", p.readAllStandardError().constData());
        }
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        const QString line = out.section(QStringLiteral("RECORDS: "), 1).section(QLatin1Char('\n'), 0, 0);
        if (std::sscanf(line.toUtf8().constData(), "%u, NEW: %u, WITHOUT DATE OR TIME: %u", &r.records,
                        &r.added, &r.unkeyed) != 3) {
            fail("no summary in: %s", out.toUtf8().constData());
        }
        return r;
    };
    // One station alone first: what a collection costs without the others.
    QElapsedTimer t;
    t.start();
    QProcess first;
    collect(first, 0);
    std::vector<Summary> summaries{finish(first)};
    const double alone = seconds(t);
    std::printf("one station alone: %.3f s\n", alone);

    std::vector<std::unique_ptr<QProcess>> runs;
    t.start();
    for (int s = 1; s < kNetworkStations; ++s) {
        runs.push_back(std::make_unique<QProcess>());
        collect(*runs.back(), s);
    }
    // The first station again alongside the others: nothing of it is new.
    runs.push_back(std::make_unique<QProcess>());
    collect(*runs.back(), 0);
    for (auto& p : runs)
        summaries.push_back(finish(*p));
    const double wall = seconds(t);

    // Every record that came is in the archive: each station's records all new the first time,
    // none the second, and the archive's rows the sum of the new ones.
    bool all = summaries.back().added == 0;
    size_t added = 0;
    for (size_t i = 0; i + 1 < summaries.size(); ++i) {
        const Summary& r = summaries[i];
        all = all && r.records == kDayRecords && r.added + r.unkeyed == r.records;
        added += r.added;
    }
    long long rows = -1;
    {
        auto archive = openOrDie(pgUrl);
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("count"));
        db.setHostName(QString::fromStdString(pgUrl)
                           .section(QStringLiteral("host="), 1)
                           .section(QLatin1Char('&'), 0, 0));
        db.setUserName(QStringLiteral("vrn"));
        db.setDatabaseName(QStringLiteral("postgres"));
        if (db.open()) {
            QSqlQuery q(db);
            if (q.exec(QStringLiteral("SELECT count(*) FROM vrn_records WHERE station LIKE 'net%'")) &&
                q.next())
                rows = q.value(0).toLongLong();
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("count"));
    all = all && rows == static_cast<long long>(added);
    std::printf("%d collections at once: %.3f s wall; %zu new records reported, %lld rows in the archive\n",
                kNetworkStations, wall, added, rows);
    const double wire = kDayRecords * kStationFields * 4 * kWireSecondsPerByte;
    row("20 stations x 1,440 records collected at once into PostgreSQL", wall, "s wall", wire,
        "one station's wire time", "every record archived", all);
    row("The same", wall, "s wall", alone, "one station's collection alone", "every record archived, <= 3x",
        all && wall <= 3 * alone);
}

// A year of 50 stations, each collected every night (144 records of 7 fields), in a SQLite archive
// synced into an empty PostgreSQL one by vrncomm-cli, against writing each station's year as its
// record text file.
void yearSync(const QTemporaryDir& dir, const std::string& pgUrl) {
    const std::string path = dir.filePath(QStringLiteral("nights.db")).toStdString();
    double text = 0;
    {
        auto archive = openOrDie(path);
        // Only the making of the year skips waiting for the disk at each of its 18,250 commits.
        QSqlQuery(store::databaseOf(*archive)).exec(QStringLiteral("PRAGMA synchronous = OFF"));
        QElapsedTimer t;
        t.start();
        constexpr int kNight = 144;
        const size_t nightBytes = size_t{kNight} * kStationFields * 4;
        for (int s = 0; s < kYearStations; ++s) {
            const store::Collection year =
                makeCollection("st" + std::to_string(s + 1), kYearRecords, kStationFields, kStart, 600,
                               static_cast<uint32_t>(s + 7));
            text += writeTextFile(year, dir.filePath(QStringLiteral("year.txt")).toStdString());
            for (int night = 0; night < kYearRecords / kNight; ++night) {
                store::Collection c = year;
                c.collectedAt = kStart + int64_t{night + 1} * 86400 + 300;
                c.bytes.assign(year.bytes.begin() + static_cast<ptrdiff_t>(night * nightBytes),
                               year.bytes.begin() + static_cast<ptrdiff_t>((night + 1) * nightBytes));
                store::StoreSummary summary;
                std::string error;
                if (!archive->store(c, summary, error)) fail("%s", error.c_str());
            }
        }
        std::printf(
            "a year of %d stations collected every night: made in %.1f s, %lld MB; their record text "
            "files written in %.3f s\n",
            kYearStations, seconds(t),
            static_cast<long long>(QFile(QString::fromStdString(path)).size() >> 20), text);
    }
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral(VRN_CLI_PROGRAM),
            {QStringLiteral("sync"), QString::fromStdString(path), QString::fromStdString(pgUrl)});
    if (!p.waitForFinished(1800000) || p.exitCode() != 0)
        fail("sync failed: %s", p.readAllStandardError().constData());
    const double synced = seconds(t);
    const QString out = QString::fromUtf8(p.readAllStandardOutput()).trimmed();
    std::printf("sync: %.3f s; %s\n", synced, out.section(QLatin1Char('\n'), -1).toUtf8().constData());
    if (!out.endsWith(QStringLiteral("STATIONS: 50 SYNCED, 0 LEFT OUT, NEW RECORDS: %1")
                          .arg(kYearStations * kYearRecords)))
        fail("the sync did not copy every record");
    row("Sync a year of 50 stations (2.6 M records in 18,250 collections), SQLite to PostgreSQL, vrncomm-cli",
        synced, "s", text, "their record text files", "<= 4x", synced <= 4 * text);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int runs = 3;
    std::vector<std::string> parts;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "store" || a == "export" || a == "status" || a == "network" || a == "sync")
            parts.push_back(a);
        else
            runs = std::max(1, std::atoi(argv[i]));
    }
    auto wanted = [&](const char* part) {
        return parts.empty() || std::find(parts.begin(), parts.end(), part) != parts.end();
    };
    double load[3] = {};
    if (getloadavg(load, 3) == 3) std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    QTemporaryDir dir;
    test::PgCluster pg(true);
    if (!pg.running()) std::printf("no PostgreSQL server: %s\n", pg.error().c_str());
    const std::string pgUrl = pg.running() ? pg.url() : std::string();
    try {
        if (wanted("store")) largestRetrieval(dir, pgUrl, runs);
        if (wanted("export")) monthExport(dir, runs);
        if (wanted("status")) yearStatus(dir, runs);
        if (wanted("network") && !pgUrl.empty()) network(dir, pgUrl);
        if (wanted("sync") && !pgUrl.empty()) yearSync(dir, pgUrl);
    } catch (const Failure& failure) {
        std::fprintf(stderr, "archive_bench: %s\n", failure.what());
        return 1;
    }
    return 0;
}
