#include "cli/archive/status_command.h"

#include <QJsonArray>
#include <algorithm>
#include <optional>
#include <string>

#include "cli/archive/status_report.h"
#include "cli/archive_options.h"
#include "cli/output_target.h"
#include "cli/session.h"
#include "cli/value_checks.h"
#include "core/io/file_store.h"
#include "core/link/clock.h"
#include "store/archive_name.h"

namespace vrn::cli {
namespace {

// A station collected nightly is stale once it missed a night and a half.
constexpr int kDefaultStaleHours = 36;
constexpr int kMostStaleHours = 24 * 366;

constexpr CommandText kStatus{
    "status", "every station's health in a record archive: last collection, gaps, records lost, memory left",
    "One line a station of ARCHIVE (a SQLite file or a postgresql:// URL, as collect fills it),\n"
    "or only of --station NAME: its last collection attempt and how it ended, its last success,\n"
    "its newest record and that record's age, the records held, the gaps (spans of more than\n"
    "three record intervals with no record) and how many of their records the instrument still\n"
    "holds, the records lost for good (overwritten or erased in the instrument before any\n"
    "collection took them), the records logged since the newest held, and the memory horizon:\n"
    "how long the instrument's memory (2162675 values: records x fields) holds records at the\n"
    "station's interval, and how long until it overwrites the oldest record not collected yet.\n"
    "A station is stale when its newest record is older than --stale HOURS (36 unless given) or\n"
    "it has none, and failing when its last collection attempt did not succeed; each such\n"
    "station gets an error line saying why. Exit 0 when every station is well, 8 when one is\n"
    "stale or failing, 7 when the archive cannot be read, 2 for an unknown station or an archive\n"
    "with none. --prometheus FILE writes every station's figures in node_exporter's textfile\n"
    "format (vrncomm_station_well, vrncomm_station_last_success_timestamp_seconds,\n"
    "vrncomm_station_records_lost, ... labelled {station=\"NAME\"}), replacing FILE whole, also\n"
    "when a station is not well; FILE is checked before the archive is read. --json lists each\n"
    "gap. Needs no instrument.\n"
    "\n"
    "example, a check after the night's collections, with figures for Prometheus:\n"
    "  vrncomm-cli --quiet status /var/lib/vrncomm/archive.db --stale 26 \\\n"
    "      --prometheus /var/lib/prometheus/node-exporter/vrncomm.prom\n"};

struct StatusArgs {
    std::string archive;
    std::optional<std::string> station;
    int staleHours = kDefaultStaleHours;
    std::optional<std::string> prometheus;
};

std::string stationList(const std::vector<std::string>& names) {
    std::string known;
    for (const std::string& name : names)
        known += (known.empty() ? "" : ", ") + name;
    return known.empty() ? std::string(" (it has none)") : " (it has: " + known + ")";
}

// The stations asked about; none after an error line.
std::optional<std::vector<std::string>> stationsAsked(Session& s, store::RecordArchive& archive,
                                                      const StatusArgs& args, int& status) {
    const std::string shown = store::redactedArchive(args.archive);
    std::string error;
    std::vector<std::string> names = archive.knownStations(error);
    status = kExitArchive;
    if (!error.empty()) {
        s.host.error("cannot read the archive " + shown + ": " + error);
        return std::nullopt;
    }
    status = kExitUsage;
    if (args.station && std::ranges::find(names, *args.station) == names.end()) {
        s.host.error("no station \"" + *args.station + "\" in " + shown + stationList(names));
        return std::nullopt;
    }
    if (names.empty()) {
        s.host.error("no station in " + shown + ": collect one first");
        return std::nullopt;
    }
    if (args.station) names = {*args.station};
    return names;
}

int runStatus(Session& s, const StatusArgs& args) {
    if (args.prometheus && !claimOutputFile(s, *args.prometheus)) return kExitUsage;
    const auto archive = openArchiveToRead(s, args.archive);
    if (!archive) return kExitArchive;
    int status = kExitOk;
    const std::optional<std::vector<std::string>> names = stationsAsked(s, *archive, args, status);
    if (!names) return status;

    const int64_t now = s.env.clock.wallSeconds();
    const int64_t staleSeconds = int64_t{args.staleHours} * 3600;
    std::vector<records::StationHealth> stations;
    QJsonArray json;
    bool well = true;
    for (const std::string& name : *names) {
        // A stop signal ends the run between stations, writing nothing; its status is the signal's.
        if (s.host.closing()) return kExitFailed;
        records::StationFacts facts;
        std::string error;
        if (!archive->stationFacts(name, facts, error)) {
            s.host.error("cannot read the archive " + store::redactedArchive(args.archive) + ": " + error);
            return kExitArchive;
        }
        const records::StationHealth& h =
            stations.emplace_back(records::stationHealth(facts, now, staleSeconds));
        s.host.appendLine(statusLine(h, now));
        for (const std::string& reason : unwellReasons(h, now, staleSeconds))
            s.host.error(reason);
        well = well && h.well();
        json.append(statusJson(h, now));
    }
    s.result.data = {{"well", well}, {"staleHours", args.staleHours}, {"stations", json}};
    if (s.host.closing()) return kExitFailed;
    // The figures are written whatever they say: a monitor needs them most when a station is not well.
    if (args.prometheus) {
        const std::string text = prometheusText(stations, now);
        std::string error;
        if (!s.env.files.writeFile(*args.prometheus,
                                   {reinterpret_cast<const uint8_t*>(text.data()), text.size()}, error)) {
            s.host.error("cannot write " + *args.prometheus + ": " + error);
            return kExitUsage;
        }
    }
    return well ? kExitOk : kExitStationUnwell;
}

}  // namespace

void addStatusCommand(CLI::App& app, CommandRunner& chosen) {
    CLI::App& command = addCommand(app, kStatus);
    StatusArgs& args = runs(command, chosen, runStatus);
    positional(command, "ARCHIVE", args.archive);
    command.add_option("--station", args.station)->type_name("NAME")->check(notEmpty());
    command.add_option("--stale", args.staleHours)
        ->type_name("HOURS")
        ->check(wholeNumber(1, kMostStaleHours));
    command.add_option("--prometheus", args.prometheus)->type_name("FILE")->check(notEmpty());
}

}  // namespace vrn::cli
