// The simulated year: a network of stations collected night after night on virtual time in one
// process, by the tool's own collect from simulated instruments, into SQLite, and for a shorter
// span into PostgreSQL with the server restarted during a store. Prints each span's table and a
// "row" line; exits 1 when the archive does not hold every record logged once, but the lost.
//   year_bench [STATIONS] [NIGHTS] [POSTGRES_NIGHTS]   (100 365 30; 0 nights leaves a part out)
#include <QCoreApplication>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "pg_cluster.h"
#include "station_network.h"
#include "store_restart.h"

namespace {

using namespace vrn::test;

// Prints a line every thirty nights, to follow a long run.
std::function<void(int)> progress() {
    return [start = std::chrono::steady_clock::now()](int night) {
        if (night % 30 != 0) return;
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf("night %d: %.1f s wall\n", night, wall);
        std::fflush(stdout);
    };
}

// Prints the span's table, its problems and its row; whether every record is where it belongs.
bool report(const NetworkResult& r, const std::string& archive) {
    const std::string what = "The simulated year, " + std::to_string(r.stations) + " stations x " +
                             std::to_string(r.nights) + " nights, " + archive;
    std::printf("%s", networkTable(r, what).c_str());
    for (const std::string& p : r.problems)
        std::printf("  problem: %s\n", p.c_str());
    const bool met = r.problems.empty() && r.missing == 0 && r.extra == 0;
    std::printf(
        "row\t%s\t%.1f s wall\t%.1f s collecting (virtual)\t%.4fx\tevery record once but the %llu lost\t%s\n",
        what.c_str(), r.wallSeconds, r.collectSeconds, r.wallSeconds / r.collectSeconds,
        static_cast<unsigned long long>(r.lost), met ? "met" : "not met");
    std::fflush(stdout);
    return met;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const int stations = argc > 1 ? std::atoi(argv[1]) : 100;
    const int nights = argc > 2 ? std::atoi(argv[2]) : 365;
    const int pgNights = argc > 3 ? std::atoi(argv[3]) : 30;
    double load[3] = {};
    if (getloadavg(load, 3) == 3) std::printf("load average %.2f %.2f %.2f\n", load[0], load[1], load[2]);
    bool met = true;
    if (nights > 0) {
        QTemporaryDir dir(QString::fromStdString(scratchFolder() + "/vrn-year-XXXXXX"));
        NetworkOptions options;
        options.stations = stations;
        options.nights = nights;
        options.archive = dir.filePath(QStringLiteral("year.db")).toStdString();
        options.nightDone = progress();
        met = report(runNetwork(options), "SQLite") && met;
    }
    if (pgNights > 0) {
        PgCluster pg(true);
        if (!pg.running()) {
            std::printf("no PostgreSQL server: %s\n", pg.error().c_str());
            return 1;
        }
        StoreRestart restart(pg);
        NetworkOptions options;
        options.stations = stations;
        options.nights = pgNights;
        options.archive = pg.url();
        options.interrupted = {{pgNights / 2, stations - 1, &restart}};
        const NetworkResult r = runNetwork(options);
        if (!r.interrupted) std::printf("the server's restart did not come during the store\n");
        met = report(r, "PostgreSQL") && r.interrupted && met;
    }
    return met ? 0 : 1;
}
